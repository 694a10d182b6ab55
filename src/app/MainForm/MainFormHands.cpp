// The commands that let the picture out and the window answer the hand: the whole picture and
// the pattern in the context menu, the keys of the common buttons (shown in their hints and in
// the menu), and the wheel, drag and arrow keys of the main view.

#include <QAction>
#include <QComboBox>
#include <QKeySequence>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

#include "app/MainForm/MainForm.h"
#include "app/StartClickGuard.h"
#include "view/ImageSurface.h"
#include "view/PictureCommands.h"
#include "view/ViewGestures.h"

namespace {

// An action that clicks `button`, so a key does exactly what the button does, and nothing
// while the button is disabled.
QAction* keyFor(TForm1& form, QPushButton* button, const QString& caption, const QKeySequence& key) {
    auto* action = new QAction(caption, &form);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(action, &QAction::triggered, button, [button] { button->click(); });
    form.addAction(action);
    return action;
}

QString withKey(const QString& hint, const QKeySequence& key) {
    return hint + QStringLiteral(" (") + key.toString(QKeySequence::NativeText) + QLatin1Char(')');
}

}  // namespace

void TForm1::buildHandCommands() {
    pictureCommands = std::make_unique<PictureCommands>(*this);
    viewGestures = std::make_unique<ViewGestures>(*this);
    startClickGuard = std::make_unique<StartClickGuard>(*Button1);

    // The view export's key, usable without opening the menu.
    SavetoBMP1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    SavetoBMP1->setShortcutContext(Qt::WindowShortcut);
    addAction(SavetoBMP1);
    SaveWholePicture1 = new QAction(QStringLiteral("Save whole picture..."), this);
    SavePattern1 = new QAction(QStringLiteral("Save pattern (RLE)..."), this);
    // After the design's three commands, which keep their places.
    PopupMenu2->addSeparator();
    PopupMenu2->addActions({SaveWholePicture1, SavePattern1});
    connect(SaveWholePicture1, &QAction::triggered, this, [this] { pictureCommands->saveWholePicture(); });
    connect(SavePattern1, &QAction::triggered, this, [this] { pictureCommands->savePattern(); });

    StartKey = keyFor(*this, Button1, QStringLiteral("Start or break the run"), QKeySequence(Qt::Key_F9));
    RedrawKey = keyFor(*this, Button14, QStringLiteral("Redraw"), QKeySequence(Qt::CTRL | Qt::Key_R));
    EyeKey = keyFor(*this, Button7, QStringLiteral("Show or hide the eye"), QKeySequence(Qt::Key_F8));
    PopupMenu2->addSeparator();
    PopupMenu2->addActions({StartKey, RedrawKey, EyeKey});
    Button1->setToolTip(withKey(StartKey->text(), StartKey->shortcut()));
    Button14->setToolTip(withKey(QStringLiteral("Redraw the main view"), RedrawKey->shortcut()));
    Button7->setToolTip(withKey(EyeKey->text(), EyeKey->shortcut()));

    const QString arrows = QStringLiteral(" (arrow keys in the view; drag it with the left button)");
    SpeedButton1->setToolTip(QStringLiteral("Move right") + arrows);
    SpeedButton2->setToolTip(QStringLiteral("Move left") + arrows);
    SpeedButton3->setToolTip(QStringLiteral("Move up") + arrows);
    SpeedButton4->setToolTip(QStringLiteral("Move down") + arrows);
    ComboBoxSize->setToolTip(QStringLiteral("Square size (the mouse wheel over the view steps it)"));

    PaintBox1->setFocusPolicy(Qt::ClickFocus);
    PaintBox1->onWheel = [this](QWheelEvent* e) { viewGestures->wheel(e); };
    PaintBox1->onMousePress = [this](QMouseEvent* e) { viewGestures->mousePress(e); };
    PaintBox1->onMouseMove = [this](QMouseEvent* e) { viewGestures->mouseMove(e); };
    PaintBox1->onMouseRelease = [this](QMouseEvent* e) { viewGestures->mouseRelease(e); };
    PaintBox1->onKeyPress = [this](QKeyEvent* e) { return viewGestures->keyPress(e); };
}
