// The main window's controls, its first activation, resize and the program's defaults.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include "MainWindowFixture.h"
#include "settings/AboutBoxUnit/RadioGroup.h"
#include "view/BitmapExport.h"
#include "view/Colours.h"
#include "view/FittingLabel.h"
#include "view/ImageSurface.h"
#include "view/MainView.h"

namespace {

QStringList itemsOf(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    return items;
}

}  // namespace

// ------------------------------------------------------------------------------------------
// First activation

TEST_F(MainWindowTest, FirstActivationAppliesTheDefaults) {
    openWindow();
    EXPECT_EQ(form->ComboBoxSize->currentText(), "2");
    EXPECT_EQ(form->CFlaconSize->currentIndex(), 4);
    EXPECT_EQ(form->CFlaconSize->currentText(), "1/4");
    EXPECT_EQ(form->CBShow->currentIndex(), 1);
    EXPECT_EQ(form->CBShow->currentText(), "Show grahhics state only");
    EXPECT_EQ(form->LabelEyeZoom->text(), "Zoom: 5x");

    EXPECT_EQ(form->world.idle, 1);
    EXPECT_EQ(form->world.antMax, 255);
    EXPECT_EQ(form->world.antMaxMode, qm::AntMaxMode::Ants255);
    EXPECT_NE(form->world.antPos, nullptr);
    EXPECT_NE(form->world.antColour, nullptr);
    EXPECT_EQ(about->Edit1->text(), "50");
    EXPECT_EQ(about->handBrakeCoefficient(), 50);
    EXPECT_TRUE(about->CheckBoxContinue->isChecked());
    EXPECT_TRUE(about->CheckBoxContinue->isEnabled());
    EXPECT_TRUE(form->continuePossible);
    EXPECT_FALSE(about->warningGuard());

    EXPECT_EQ(form->stateColours[0], qm::White);
    EXPECT_EQ(form->stateColours[1], qm::rgb(255, 243, 0));
    EXPECT_EQ(form->stateColours[63], qm::Black);

    // The limits of "continue compute" replaced the first-activation placeholders.
    EXPECT_EQ(form->world.limits.stepMax, 9223372036854775797);
    EXPECT_EQ(form->world.limits.axisBound, 2147483637);
    EXPECT_EQ(form->world.handBrakeCount, 0u);
    EXPECT_EQ(form->Edit1->text(), "2147483645");
}

TEST_F(MainWindowTest, SettingsDialogIsADialogOfTheWindowAndLetsGoOfItWhenDestroyed) {
    openWindow();
    about.reset();
    std::unique_ptr<TAboutBox> own = form->createAboutBox();
    EXPECT_EQ(own->parentWidget(), form.get());
    EXPECT_TRUE(own->isWindow());
    EXPECT_EQ(own->windowTitle(), "About");
    EXPECT_EQ(form->aboutBox, own.get());
    own.reset();
    EXPECT_EQ(form->aboutBox, nullptr) << "the window holds no pointer to a destroyed dialog";
}

// Every label of a window shows its whole text, in its own font or a smaller size of it.
void expectWholeTexts(QWidget* window) {
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (!label->isVisibleTo(window) || !label->pixmap().isNull()) continue;
        const auto* fitting = dynamic_cast<qm::FittingLabel*>(label);
        const QFont font = fitting ? fitting->fittingFont() : label->font();
        EXPECT_LE(QFontMetrics(font).horizontalAdvance(label->text()), label->contentsRect().width())
            << label->text().toStdString();
    }
}

TEST_F(MainWindowTest, LabelsShowTheirWholeTextsAtTheirWidestValues) {
    openWindow();
    const QString widest32 = QStringLiteral("-2147483647");
    for (QLabel* label : {form->LabelMX, form->LabelMY, form->StaticTextMinX, form->StaticTextMinY,
                          form->StaticTextMaxX, form->StaticTextMaxY})
        label->setText(widest32);
    for (QLabel* label : {form->StaticTextCNTDB, form->StaticTextMaxCNTDB, form->StaticTextStep, form->StaticAll})
        label->setText(QStringLiteral("-9223372036854775807"));
    form->LabelEyeZoom->setText(QStringLiteral("Zoom: 58800000x"));
    form->PanelMEye->show();
    form->PageControl1->setCurrentIndex(1);
    QCoreApplication::processEvents();
    expectWholeTexts(form.get());
    EXPECT_EQ(form->Button10->width(), form->TabSheet2->width()) << "\"Select file\" lies on its page";
    about->show();
    QCoreApplication::processEvents();
    expectWholeTexts(about.get());
    EXPECT_LE(about->RadioButtonG->sizeHint().width(), about->RadioButtonG->width());
}

TEST_F(MainWindowTest, MemoryItemIsFittedToTheMachine) {
    struct Case {
        qm::MemoryStatus status;
        int selected;
        int kept;
    };
    for (const Case& c : {Case{memoryMiB(128, 100), 2, 4}, Case{memoryMiB(64, 40), 1, 3},
                          Case{memoryMiB(40, 20), 0, 2}, Case{memoryMiB(4000, 3000), 7, 8}}) {
        openWindow(c.status);
        EXPECT_EQ(about->RadioGroupMem->itemIndex(), c.selected);
        EXPECT_EQ(about->RadioGroupMem->count(), c.kept);
        EXPECT_TRUE(dialogs.boxes.empty()) << "no memory warning while the program starts";
        TearDown();
    }
}

TEST_F(MainWindowTest, FirstActivationRunsOnce) {
    openWindow();
    form->ComboBoxSize->setCurrentIndex(3);
    form->CFlaconSize->setCurrentIndex(0);
    form->CBShow->setCurrentIndex(3);
    about->RadioGroupMem->setItemIndex(1);

    form->FormActivate();
    form->hide();
    form->show();
    QCoreApplication::processEvents();

    EXPECT_EQ(form->ComboBoxSize->currentText(), "4");
    EXPECT_EQ(form->CFlaconSize->currentIndex(), 0);
    EXPECT_EQ(form->CBShow->currentIndex(), 3);
    EXPECT_EQ(about->RadioGroupMem->itemIndex(), 1);
}

TEST_F(MainWindowTest, OldConsumerSystemsCannotContinueBeyondTheFastGrid) {
    openWindow(memoryMiB(64, 20), true);
    EXPECT_FALSE(about->CheckBoxContinue->isChecked());
    EXPECT_FALSE(about->CheckBoxContinue->isEnabled());
    EXPECT_EQ(about->CheckBoxContinue->toolTip(), "Is not possible for Windows 95,98,ME");
    EXPECT_TRUE(form->EyeTrackBar1->isHidden());
    EXPECT_TRUE(form->EyeTrackBar2->isHidden());
    EXPECT_FALSE(form->EyeTrackBar3->isHidden());

    // The end of a run keeps the option disabled.
    setMaxSteps(5);
    clickStart();
    EXPECT_FALSE(about->CheckBoxContinue->isEnabled());
    EXPECT_TRUE(about->RB15->isEnabled());
}

// ------------------------------------------------------------------------------------------
// Layout

TEST_F(MainWindowTest, WindowGeometryFollowsTheDesign) {
    openWindow();
    EXPECT_EQ(form->size(), QSize(757, 553));
    EXPECT_EQ(form->minimumSize(), QSize(642, 393));
    EXPECT_EQ(form->Panel1->geometry(), QRect(0, 0, 161, 553));
    EXPECT_EQ(form->GroupBox1->height(), 78);
    EXPECT_EQ(form->GroupBox4->height(), 84);
    EXPECT_EQ(form->GroupBox2->height(), 175);
    EXPECT_EQ(form->GroupBox3->geometry().bottom(), 552);
    EXPECT_EQ(form->PaintBox1->size(), QSize(596, 441));
    EXPECT_EQ(form->Panel5->geometry(), QRect(0, 441, 596, 112));
    EXPECT_EQ(form->PaintBox1->image().size(), QSize(596, 441));
    EXPECT_EQ(form->Panel4->palette().color(QPalette::Window), QColor(0xEF, 0xEF, 0xDF));
    EXPECT_EQ(form->focusWidget(), form->Button1);
}

TEST_F(MainWindowTest, ResizeKeepsTheViewAndTheExportBitmapTogether) {
    openWindow();
    for (QSize size : {QSize(642, 393), QSize(1000, 700)}) {
        form->resize(size);
        QCoreApplication::processEvents();
        const QSize view(size.width() - 161, size.height() - 112);
        EXPECT_EQ(form->PaintBox1->size(), view);
        EXPECT_EQ(form->PaintBox1->image().size(), view);
        ASSERT_TRUE(form->bitmapExport->exportBitmap);
        EXPECT_EQ(form->bitmapExport->exportBitmap->size(), view);
        EXPECT_EQ(form->Panel5->geometry(), QRect(0, size.height() - 112, size.width() - 161, 112));
    }
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(MainWindowTest, ControlsCarryTheirCaptionsAndInitialValues) {
    openWindow();
    const std::vector<std::pair<QAbstractButton*, QString>> buttons{
        {form->Button1, "Start"},         {form->Button6, "Setting"},        {form->Button9, "^^^ almost unlimited ^^^"},
        {form->Button3, "Load"},          {form->Button8, "Clear"},          {form->Button4, "Save"},
        {form->Button2, "Add 4 diagonal"}, {form->Button5, "Add 4 by axis"}, {form->Button10, "Select file"},
        {form->Button11, "Center to Ant:"}, {form->Button12, "<<<<"},        {form->Button13, ">>>>"},
        {form->SpeedButton3, "^^^"},      {form->SpeedButton4, "vvv"},       {form->SpeedButton2, "<<"},
        {form->SpeedButton1, ">>"},       {form->SpeedButton8, ""},          {form->SpeedButton10, ""},
        {form->SpeedButton9, ""},         {form->SpeedButton11, ""},         {form->SpeedButton7, "Center"},
        {form->SpeedButton5, "0"},        {form->SpeedButton6, "0"},         {form->Button14, "Redraw"},
        {form->Button7, "Eye S/H"},       {form->Redraw, "Redraw Eye"},      {form->CheckBox1, "First 16 - diferent color"},
        {form->CheckBox2, "Draw Center"}, {form->CheckBox3, "Update ants in eye window"},
        {form->CheckBox4, "Update 'white' too"}};
    for (const auto& [button, caption] : buttons) EXPECT_EQ(button->text(), caption);

    const std::vector<std::pair<QLabel*, QString>> labels{
        {form->Label1, "Max steps:"},   {form->Label11, "Ant square size:"}, {form->Label10, "Hand break"},
        {form->Label19, "stop ^"},      {form->Label13, "Min:"},             {form->Label2, "Max:"},
        {form->Label20, "X"},           {form->Label21, "Y"},                {form->Label4, "Filled:"},
        {form->Label9, "Max filled:"},  {form->Label5, "Step:"},             {form->Label6, "Computing time:"},
        {form->Label24, "Ants count:"}, {form->LabelAll, "All steps::"},     {form->Label12, "X,Y,direction,RRGGBB (hex)"},
        {form->Label14, "Direction:"},  {form->Label17, "1=X+ 2=Y- 3=X- 4=Y+"}, {form->Label18, "R=X+ B=Y- L=X- T=Y+"},
        {form->Label22, "LB=X+ LT=Y- RT=X- RB=Y+"}, {form->Label16, "Selected file:"},
        {form->Label25, "Move X:"},     {form->Label26, "Move Y:"},          {form->LabelMX, "0"},
        {form->LabelMY, "0"},           {form->PanelRun, "Changed  "},       {form->StaticTextMinX, "0"},
        {form->StaticTextMinY, "0"},    {form->StaticTextMaxX, "0"},         {form->StaticTextMaxY, "0"},
        {form->StaticTextCNTDB, "0"},   {form->StaticTextMaxCNTDB, "0"},     {form->StaticTextStep, "0"},
        {form->StaticTextTime, "0:00:00"}, {form->STAntsCnt, "0"},           {form->StaticAll, "0"}};
    for (const auto& [label, caption] : labels) EXPECT_EQ(label->text(), caption);
    for (QLabel* number : {form->StaticTextMinX, form->StaticTextCNTDB, form->StaticTextTime, form->StaticAll})
        EXPECT_TRUE(number->alignment() & Qt::AlignRight);

    EXPECT_EQ(itemsOf(form->ComboBoxSize), QStringList({"0", "1", "2", "4", "6", "8"}));
    EXPECT_EQ(itemsOf(form->CFlaconSize), QStringList({"1", "2/3", "1/2", "1/3", "1/4", "1/5", "1/6"}));
    EXPECT_EQ(itemsOf(form->CBShow),
              QStringList({"Hide state numbers (fastest)", "Show grahhics state only", "Show text state only (slow)",
                           "Show state both (slowest)"}));
    EXPECT_EQ(form->PageControl1->tabText(0), "Define");
    EXPECT_EQ(form->PageControl1->tabText(1), "From file");
    EXPECT_EQ(form->PageControl1->currentIndex(), 0);
    EXPECT_EQ(form->Memo1->toPlainText(), "0,0,1");
    EXPECT_EQ(form->Memo1->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(form->Edit1->maxLength(), 19);
    EXPECT_EQ(form->Edit2->text(), "25");
    EXPECT_EQ(form->EditMove->text(), "200");
    EXPECT_EQ(form->AntNum->text(), "1");
    EXPECT_EQ(form->EditFile->text(), "");

    EXPECT_EQ(form->TrackBarSpeed->minimum(), 0);
    EXPECT_EQ(form->TrackBarSpeed->maximum(), 100);
    EXPECT_EQ(form->TrackBarSpeed->pageStep(), 10);
    EXPECT_EQ(form->TrackBarSpeed->tickInterval(), 10);
    EXPECT_EQ(form->TrackBarSpeed->value(), 0);
    EXPECT_EQ(form->EyeTrackBar1->value(), 1);
    EXPECT_EQ(form->EyeTrackBar2->value(), 1);
    EXPECT_EQ(form->EyeTrackBar3->value(), 5);
    EXPECT_EQ(form->EyeTrackBar2->maximum(), 150);
    EXPECT_EQ(form->EyeTrackBar3->maximum(), 250);

    EXPECT_TRUE(form->CheckBox1->isChecked());
    EXPECT_TRUE(form->CheckBox2->isChecked());
    EXPECT_TRUE(form->CheckBox3->isChecked());
    EXPECT_FALSE(form->CheckBox4->isChecked());
    EXPECT_TRUE(form->PanelMEye->isHidden());
    EXPECT_TRUE(form->PanelFalconEye->isHidden());
    EXPECT_TRUE(form->PanelRun->isHidden());
    EXPECT_FALSE(form->Timer1->isActive());

    const QList<QAction*> menu = form->PopupMenu2->actions();
    ASSERT_GE(menu.size(), 7);  // the design's three, a separator, the three world items, then the rest
    EXPECT_EQ(menu[0]->text(), "Save to BMP (Should be slow)");
    EXPECT_EQ(menu[1]->text(), "Change background color");
    EXPECT_EQ(menu[2]->text(), "Change eye background color");
    EXPECT_TRUE(menu[3]->isSeparator());
    EXPECT_EQ(menu[4]->text(), "Continue run");
    EXPECT_EQ(menu[4]->shortcut(), QKeySequence(Qt::Key_F5));
    EXPECT_EQ(menu[5]->text(), "Save world...");
    EXPECT_EQ(menu[5]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_EQ(menu[6]->text(), "Open world...");
    EXPECT_EQ(menu[6]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    for (QAction* item : {menu[4], menu[5], menu[6]}) EXPECT_TRUE(item->isShortcutVisibleInContextMenu());
    EXPECT_EQ(form->SaveDialog1.defaultSuffix, "txt");
    EXPECT_EQ(form->SaveDialog2.defaultSuffix, "bmp");
    EXPECT_EQ(form->OpenDialog1.filter, QString::fromUtf8("Textové soubory (*.txt)|*.txt|Všechny soubory (*.*)|*.*"));
}

TEST_F(MainWindowTest, HintsAndFontsFollowTheDesign) {
    openWindow();
    EXPECT_EQ(form->CheckBox1->toolTip(), "First 10 - diferent color if color not defined");
    EXPECT_EQ(form->Label17->toolTip(), "1=Right,  3=Left,  4=Top,  2=Bottom");
    EXPECT_EQ(form->Label18->toolTip(), "R=Right,  L=Left,  T=Top,  B=Bottom");
    EXPECT_EQ(form->Label22->toolTip(),
              "Direction of Ant Higway: LB=To Left Bootom, LT=To Left Top, RT=To Right Top,  RB=To Right Bottom");
    EXPECT_EQ(form->Label12->toolTip(), "X,Y,direction,color");

    EXPECT_EQ(form->font().families().value(0), "MS Sans Serif");
    EXPECT_EQ(form->font().pixelSize(), 11);
    EXPECT_TRUE(form->Button1->font().bold());
    EXPECT_EQ(form->Button9->font().families().value(0), "Small Fonts");
    EXPECT_EQ(form->PaintBox1->font().families().value(0), "Courier");
    EXPECT_EQ(form->PaintBox1->font().pixelSize(), 13);
    EXPECT_EQ(form->Label17->font().families().value(0), "Courier New");
    EXPECT_EQ(form->Label18->font().families().value(0), "Courier New");
    EXPECT_EQ(form->Label22->font().families().value(0), "Arial");
    // Every design font falls back to one that is installed.
    EXPECT_GT(form->font().families().size(), 1);
    EXPECT_GT(form->PaintBox1->font().families().size(), 1);
}

TEST_F(MainWindowTest, GeneralizedLookComesFromTheSettingsDialog) {
    openWindow();
    about->RadioButtonG->click();
    EXPECT_TRUE(form->CheckBox1->isHidden());
    EXPECT_TRUE(form->CheckBox4->isHidden());
    EXPECT_EQ(form->Label12->text(), "X,Y,dir.,prg.(Dec | 0xHex | BxBin)");
    EXPECT_EQ(form->Label9->text(), "  State ch.:");
    about->RadioButtonL->click();
    EXPECT_FALSE(form->CheckBox1->isHidden());
    EXPECT_EQ(form->Label12->text(), "X,Y,direction,RRGGBB (hex)");
    EXPECT_EQ(form->Label9->text(), "Max filled:");
}

TEST_F(MainWindowTest, MaxStepsFieldIsValidatedAgainstTheStepMaximum) {
    openWindow();
    struct Case {
        QString typed;
        QString shown;
        int64_t stored;
    };
    for (const Case& c : {Case{"abc", "100", 100}, Case{"007", "7", 7}, Case{"-5", "-5", -5}, Case{"", "", 100},
                          Case{"9223372036854775807", "9223372036854775797", 9223372036854775797}}) {
        form->Edit1->setText(c.typed);
        EXPECT_EQ(form->Edit1->text(), c.shown) << c.typed.toStdString();
        EXPECT_EQ(form->world.limits.userMaxSteps, c.stored) << c.typed.toStdString();
    }
}

TEST_F(MainWindowTest, TrackBarSetsTheHandBrakeCountFromTheDisplayMode) {
    openWindow();
    form->TrackBarSpeed->setValue(10);
    EXPECT_EQ(form->world.trackBarPosition, 10);
    EXPECT_EQ(form->world.handBrakeCount, 10u * 50u * 10u * 3u);
    form->CBShow->setCurrentIndex(0);
    form->TrackBarSpeed->setValue(20);
    EXPECT_EQ(form->world.handBrakeCount, 20u * 50u * 20u * 5u);
    form->CBShow->setCurrentIndex(2);
    form->TrackBarSpeed->setValue(100);
    EXPECT_EQ(form->world.handBrakeCount, 100u * 50u * 100u * 1u);
}

TEST_F(MainWindowTest, CloseWhileIdleIsAllowed) {
    openWindow();
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->world.idle, 1);
}

// ------------------------------------------------------------------------------------------
// Keys: one per action, each doing what its button or menu item does, and shown in the hints
// and the context menu.

class KeysTest : public MainWindowTest {
protected:
    void press(QKeySequence key) {
        QApplication::setActiveWindow(form.get());
        QTest::keySequence(form.get(), key);
    }
    const QAction* menuAction(const QString& text) const {
        for (const QAction* action : form->PopupMenu2->actions())
            if (action->text() == text) return action;
        return nullptr;
    }
};

TEST_F(KeysTest, F9StartsAndBreaksTheRun) {
    openWindow();
    setEditor("0,0,1");
    setMaxSteps(500);
    press(QKeySequence(Qt::Key_F9));
    EXPECT_EQ(form->world.counters.stepCount, 500);
    // During a run the same key breaks it, as the button captioned "Break" does.
    setMaxSteps(100000000);
    duringRun([this] { press(QKeySequence(Qt::Key_F9)); });
    press(QKeySequence(Qt::Key_F9));
    EXPECT_LT(form->world.counters.stepCount, 100000000);
    EXPECT_EQ(form->Button1->text(), "Start");
    EXPECT_NE(form->Button1->toolTip().indexOf("F9"), -1);
    ASSERT_NE(menuAction("Start or break the run"), nullptr);
    EXPECT_EQ(menuAction("Start or break the run")->shortcut(), QKeySequence(Qt::Key_F9));
}

TEST_F(KeysTest, CtrlRRedrawsTheMainView) {
    openWindow();
    form->PaintBox1->image().fill(qRgb(1, 2, 3));
    press(QKeySequence(Qt::CTRL | Qt::Key_R));
    EXPECT_EQ(form->PaintBox1->image().pixel(10, 10), qm::toArgb(form->viewBackground));
    EXPECT_NE(form->Button14->toolTip().indexOf(QKeySequence(Qt::CTRL | Qt::Key_R).toString(QKeySequence::NativeText)), -1);
}

TEST_F(KeysTest, F8ShowsAndHidesTheEye) {
    openWindow();
    press(QKeySequence(Qt::Key_F8));
    EXPECT_FALSE(form->PanelFalconEye->isHidden());
    press(QKeySequence(Qt::Key_F8));
    EXPECT_TRUE(form->PanelFalconEye->isHidden());
    EXPECT_NE(form->Button7->toolTip().indexOf("F8"), -1);
}

TEST_F(KeysTest, CtrlEExportsTheView) {
    openWindow();
    press(QKeySequence(Qt::CTRL | Qt::Key_E));
    ASSERT_EQ(dialogs.saveDialogs.size(), 1u) << "the export's file dialog opened";
    EXPECT_EQ(dialogs.saveDialogs[0].defaultSuffix, "bmp");
    EXPECT_EQ(form->SavetoBMP1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_E)) << "shown in the menu";
}
