// The main window's life: construction, first activation, resize, close and destruction, and
// the forwarding of every handler to the subsystem that owns the work.

#include "app/MainForm/MainForm.h"
#include "app/StartClickGuard.h"

#include <exception>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTimer>
#include <QToolButton>

#include "app/Dialogs.h"
#include "core/RunSetup.h"
#include "definitions/qt/EditorCommands.h"
#include "settings/AboutBoxUnit/AboutBoxUnit.h"
#include "settings/AboutBoxUnit/RadioGroup.h"
#include "view/BitmapExport.h"
#include "view/EyeWindow.h"
#include "view/ImageSurface.h"
#include "view/MainView.h"
#include "view/Navigation.h"
#include "view/PictureCommands.h"
#include "view/StatePanel.h"
#include "view/ViewGestures.h"

namespace {

inline constexpr const char* MsgConstructorFailed = "ERROR: 5001, Message: ";
inline constexpr const char* MsgResizeFailed = "ERROR: 5002, Message: ";
inline constexpr const char* MsgActivateFailed = "ERROR: 5003, Message: ";

// The first-activation defaults of the run (before the settings dialog computes the limits).
constexpr int64_t DefaultFilledMax = 178257920;  // 0x0AA00000
constexpr int64_t DefaultStepMax = 4294967285;   // 2^32 - 11

// Selects an item by program so that its change handler runs exactly once, also when the
// item is already the current one.
template <class Handler>
void chooseItem(QComboBox* combo, int index, Handler handler) {
    if (combo->currentIndex() == index) handler();
    else combo->setCurrentIndex(index);
}

std::string textOf(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "undefined exception";
    }
}

}  // namespace

TForm1::TForm1(Dialogs& dialogs_, QWidget* parent)
    : QWidget(parent), dialogs(&dialogs_), pump(world), settingsHost_(*this) {
    try {
        world.pump = &pump;
        world.messages = &runMessages;
        buildControls();
        mainView = std::make_unique<MainView>(*this);
        statePanel = std::make_unique<StatePanel>(*this);
        navigation = std::make_unique<Navigation>(*this);
        eyeWindow = std::make_unique<EyeWindow>(*this);
        bitmapExport = std::make_unique<BitmapExport>(*this);
        editorCommands = std::make_unique<EditorCommands>(*this);
        setInitialState();
        connectHandlers();
        buildHandCommands();
        if (QScreen* screen = QApplication::primaryScreen()) {
            move(screen->availableGeometry().center() - rect().center());
        }
        FormCreate();
    } catch (...) {
        dialogs->showMessage(MsgConstructorFailed + textOf(std::current_exception()), qm::BoxType::Error);
        throw;
    }
}

TForm1::~TForm1() {
    Timer1->stop();
    // Ant positions, ant colours, fast grid, programs, directions, the three stores ...
    world.releaseAll();
    // ... then the memory reserve and the export bitmap.
    bitmapExport.reset();
}

void TForm1::setInitialState() {
    world.idle = 1;
    EyeTrackBar3->setValue(5);
    EyeTrackBar2->setValue(1);
    EyeTrackBar1->setValue(1);
    eyeWindow->eyeScale = 5;
    PanelRun->hide();
    EyeTrackBar3Change();
}

void TForm1::connectHandlers() {
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button6, &QPushButton::clicked, this, [this] { Button6Click(); });
    connect(Edit1, &QLineEdit::textChanged, this, [this] { Edit1Change(); });
    connect(Button9, &QPushButton::clicked, this, [this] { Button9Click(); });
    connect(ComboBoxSize, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) ComboBoxSizeChange();
    });
    connect(TrackBarSpeed, &QSlider::valueChanged, this, [this] { TrackBarSpeedChange(); });
    connect(CBShow, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) CBShowChange();
    });
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });

    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button5, &QPushButton::clicked, this, [this] { Button5Click(); });
    connect(Button8, &QPushButton::clicked, this, [this] { Button8Click(); });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
    connect(Button10, &QPushButton::clicked, this, [this] { Button10Click(); });

    PaintBox1->onRender = [this] { PaintBox1Paint(); };
    PaintBox1->onContextMenu = [this](const QPoint& at) { PopupMenu2->popup(at); };
    connect(Button14, &QPushButton::clicked, this, [this] { Button14Click(); });
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    connect(SpeedButton2, &QToolButton::clicked, this, [this] { SpeedButton2Click(); });
    connect(SpeedButton3, &QToolButton::clicked, this, [this] { SpeedButton3Click(); });
    connect(SpeedButton4, &QToolButton::clicked, this, [this] { SpeedButton4Click(); });
    connect(SpeedButton8, &QToolButton::clicked, this, [this] { SpeedButton8Click(); });
    connect(SpeedButton9, &QToolButton::clicked, this, [this] { SpeedButton9Click(); });
    connect(SpeedButton10, &QToolButton::clicked, this, [this] { SpeedButton10Click(); });
    connect(SpeedButton11, &QToolButton::clicked, this, [this] { SpeedButton11Click(); });
    connect(SpeedButton5, &QToolButton::clicked, this, [this] { SpeedButton5Click(); });
    connect(SpeedButton6, &QToolButton::clicked, this, [this] { SpeedButton6Click(); });
    connect(SpeedButton7, &QToolButton::clicked, this, [this] { SpeedButton7Click(); });
    connect(Button11, &QPushButton::clicked, this, [this] { Button11Click(); });
    connect(Button12, &QPushButton::clicked, this, [this] { Button12Click(); });
    connect(Button13, &QPushButton::clicked, this, [this] { Button13Click(); });

    connect(Button7, &QPushButton::clicked, this, [this] { Button7Click(); });
    connect(CFlaconSize, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) CFlaconSizeChange();
    });
    for (QSlider* bar : {EyeTrackBar1, EyeTrackBar2, EyeTrackBar3})
        connect(bar, &QSlider::valueChanged, this, [this] { EyeTrackBar3Change(); });
    connect(Redraw, &QPushButton::clicked, this, [this] { RedrawClick(); });
    connect(CheckBox2, &QCheckBox::clicked, this, [this] { CheckBox2Click(); });
    connect(CheckBox3, &QCheckBox::clicked, this, [this] { CheckBox3Click(); });
    connect(CheckBox4, &QCheckBox::clicked, this, [this] { CheckBox3Click(); });
    PaintBoxEye->onRender = [this] { PaintBoxEyePaint(); };
    PaintBoxEye->onContextMenu = [this](const QPoint& at) { PopupMenu2->popup(at); };
    PaintBoxEye->onMousePress = [this](QMouseEvent* e) { eyeWindow->mouseDown(e); };
    PaintBoxEye->onMouseMove = [this](QMouseEvent* e) { eyeWindow->mouseMove(e); };
    PaintBoxEye->onMouseRelease = [this](QMouseEvent* e) { eyeWindow->mouseUp(e); };

    connect(SavetoBMP1, &QAction::triggered, this, [this] { SavetoBMP1Click(); });
    connect(Changebackgroundcolor1, &QAction::triggered, this, [this] { Changebackgroundcolor1Click(); });
    connect(Changeeyebackgroundcolor1, &QAction::triggered, this, [this] { Changeeyebackgroundcolor1Click(); });
    connect(ContinueRun1, &QAction::triggered, this, [this] { ContinueRun1Click(); });
    connect(SaveWorld1, &QAction::triggered, this, [this] { SaveWorld1Click(); });
    connect(OpenWorld1, &QAction::triggered, this, [this] { OpenWorld1Click(); });
    connect(PopupMenu2, &QMenu::aboutToShow, this, [this] { updateWorldActions(); });
    connect(Edit1, &QLineEdit::textChanged, this, [this] { updateWorldActions(); });
}

// ---------------------------------------------------------------------------------------------
// Life of the window

void TForm1::FormCreate() { firstActivation = true; }

void TForm1::FormActivate() {
    if (!firstActivation) return;
    firstActivation = false;
    try {
        applyFirstActivation();
    } catch (...) {
        // Qt lets no exception leave an event handler; the box is the report, the loop goes on.
        dialogs->showMessage(MsgActivateFailed + textOf(std::current_exception()), qm::BoxType::Error);
    }
}

void TForm1::applyFirstActivation() {
    // 1. State colours: spectrum 2 of 64 states, then the entry of the (still zero) state count white.
    qm::fillInitialStateColours(stateColours, world.states);
    // 2. Eye size.
    chooseItem(CFlaconSize, 4, [this] { CFlaconSizeChange(); });
    QPalette eyePalette = PanelFalconEye->palette();
    eyePalette.setColor(QPalette::Window,
                        QColor(int(qm::redOf(qm::EyeFrameColour)), int(qm::greenOf(qm::EyeFrameColour)),
                               int(qm::blueOf(qm::EyeFrameColour))));
    PanelFalconEye->setPalette(eyePalette);
    // 3. Memory item 1, under the dialog's warning guard.
    if (aboutBox) aboutBox->RadioGroupMem->setItemIndex(1);
    // 4. Square size "2" with its painters.
    chooseItem(ComboBoxSize, 2, [this] { ComboBoxSizeChange(); });
    // 5. Display mode "Show grahhics state only".
    statePanel->displayItem = 1;
    statePanel->previousItem = 1;
    chooseItem(CBShow, 1, [this] { CBShowChange(); });
    // 6. Memory choices fitted to the machine.
    if (aboutBox) aboutBox->fitMemoryChoices();
    // 7. Run defaults.
    world.idle = 1;
    world.antMax = 255;
    world.antMaxMode = qm::AntMaxMode::Ants255;
    if (!qm::allocateIndexedAntArrays(world, world.antMax))
        dialogs->showMessage(MsgAntArraysMemory, qm::BoxType::Error);
    world.limits.filledMax = DefaultFilledMax;
    world.limits.stepMax = DefaultStepMax;
    if (aboutBox) aboutBox->Edit1->setText(QStringLiteral("50"));
    // 8. "Continue compute" where the system allows it.
    if (aboutBox) aboutBox->CheckBoxContinue->setChecked(true);
    if (windows9xFamily) {
        if (aboutBox) {
            aboutBox->CheckBoxContinue->setChecked(false);
            aboutBox->CheckBoxContinue->setToolTip(QString::fromLatin1(MsgNotPossibleOn9x));
        }
        EyeTrackBar1->hide();
        EyeTrackBar2->hide();
    } else {
        continuePossible = true;
    }
    if (aboutBox) aboutBox->CheckBoxContinue->setEnabled(continuePossible);
    // 9. Half sizes, limits, counters, square size and hand brake.
    if (aboutBox) {
        aboutBox->computeHalfSizes();
        aboutBox->memoryChoiceChanged();
    }
    qm::resetCounters(world, 0, 0.0);
    ComboBoxSizeChange();
    TrackBarSpeedChange();
    // 10. Memory warnings from now on; eye window update options.
    if (aboutBox) aboutBox->clearWarningGuard();
    CheckBox3Click();
}

void TForm1::FormResize() {
    try {
        eyeWindow->layout();
        if (!bitmapExport->resizeBitmap()) {
            bitmapExport->exportBitmap.reset();
            dialogs->showMessage(MsgFatalBitmapMemory, qm::BoxType::Error);
        }
        mainView->updateViewCentre();
    } catch (...) {
        dialogs->showMessage(MsgResizeFailed + textOf(std::current_exception()), qm::BoxType::Error);
    }
}

bool TForm1::FormCloseQuery() {
    world.idle = 1;
    return true;
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutAnchoredControls();
    FormResize();
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Window managers differ in whether (and when) a new window is activated; the first
    // showing counts as the first activation in any case.
    FormActivate();
}

void TForm1::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    if (runInProgress_) {
        // The run loop is on the stack: it sees the idle flag and returns; the close follows.
        closePending_ = true;
        event->ignore();
        return;
    }
    event->accept();
}

// ---------------------------------------------------------------------------------------------
// Forwarding to the subsystems

void TForm1::Button6Click() {
    editorCommands->setting();
    updateWorldActions();  // the limits may have changed, or the run's structures gone
}
void TForm1::Edit1Change() { editorCommands->maxStepsChange(); }
void TForm1::Button9Click() { editorCommands->almostUnlimited(); }
void TForm1::Button2Click() { editorCommands->add4Diagonal(); }
void TForm1::Button5Click() { editorCommands->add4Axis(); }
void TForm1::Button8Click() { editorCommands->clear(); }
void TForm1::Button3Click() { editorCommands->load(); }
void TForm1::Button4Click() { editorCommands->save(); }
void TForm1::Button10Click() { editorCommands->selectFile(); }

void TForm1::ComboBoxSizeChange() { mainView->sizeSelection(); }

void TForm1::TrackBarSpeedChange() {
    world.trackBarPosition = TrackBarSpeed->value();
    statePanel->handBrakeChange();
}

void TForm1::Label19Click() { statePanel->pauseLinkClick(); }
void TForm1::CBShowChange() { statePanel->displayModeChange(); }
void TForm1::Timer1Timer() { statePanel->timerEvent(); }

void TForm1::PaintBox1Paint() { mainView->paintHandler(); }
void TForm1::Button14Click() { mainView->paintHandler(); }
void TForm1::SpeedButton1Click() { navigation->pan(-1, 0); }
void TForm1::SpeedButton2Click() { navigation->pan(1, 0); }
void TForm1::SpeedButton3Click() { navigation->pan(0, -1); }
void TForm1::SpeedButton4Click() { navigation->pan(0, 1); }
void TForm1::SpeedButton8Click() { navigation->pan(1, -1); }
void TForm1::SpeedButton9Click() { navigation->pan(1, 1); }
void TForm1::SpeedButton10Click() { navigation->pan(-1, -1); }
void TForm1::SpeedButton11Click() { navigation->pan(-1, 1); }
void TForm1::SpeedButton5Click() { navigation->resetX(); }
void TForm1::SpeedButton6Click() { navigation->resetY(); }
void TForm1::SpeedButton7Click() { navigation->center(); }
void TForm1::Button11Click() { navigation->centerToAnt(); }
void TForm1::Button12Click() { navigation->previousAnt(); }
void TForm1::Button13Click() { navigation->nextAnt(); }

void TForm1::Button7Click() { eyeWindow->showHide(); }
void TForm1::CFlaconSizeChange() { eyeWindow->layout(); }
void TForm1::EyeTrackBar3Change() { eyeWindow->scaleChange(); }
void TForm1::RedrawClick() { eyeWindow->redrawClick(); }
void TForm1::CheckBox2Click() { eyeWindow->drawCenterClick(); }
void TForm1::CheckBox3Click() { eyeWindow->updateOptions(); }
void TForm1::PaintBoxEyePaint() { eyeWindow->paint(); }

void TForm1::SavetoBMP1Click() { bitmapExport->saveToBmp(); }
void TForm1::Changebackgroundcolor1Click() { bitmapExport->changeBackground(); }
void TForm1::Changeeyebackgroundcolor1Click() { bitmapExport->changeEyeBackground(); }

// ---------------------------------------------------------------------------------------------
// The editor's lines

std::vector<std::string> TForm1::editorLines() const {
    QString text = Memo1->toPlainText();
    std::vector<std::string> lines;
    if (text.isEmpty()) return lines;
    if (text.endsWith(QLatin1Char('\n'))) text.chop(1);
    const QStringList parts = text.split(QLatin1Char('\n'));
    lines.reserve(static_cast<size_t>(parts.size()));
    for (const QString& part : parts) lines.push_back(part.toUtf8().toStdString());
    return lines;
}

void TForm1::setEditorLines(const std::vector<std::string>& lines) {
    QStringList parts;
    // Sized: a line may hold NULs, and every character of it must come back.
    for (const std::string& line : lines) parts << QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
    Memo1->setPlainText(parts.join(QLatin1Char('\n')));
}
