// The main window's controls, its first activation, resize and the program's defaults.

#include <set>

#include <QAbstractButton>
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
#include "gui/settings/RadioGroup.h"
#include "gui/view/BitmapExport.h"
#include "display/Colours.h"
#include "gui/view/FittingLabel.h"
#include "gui/view/ImageSurface.h"
#include "gui/view/MainView.h"

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
    EXPECT_EQ(ui().visualisation.squareSizeCombo->currentText(), "2");
    EXPECT_EQ(ui().navigation.eyeSizeCombo->currentIndex(), 4);
    EXPECT_EQ(ui().navigation.eyeSizeCombo->currentText(), "1/4");
    EXPECT_EQ(ui().state.displayModeCombo->currentIndex(), 1);
    EXPECT_EQ(ui().state.displayModeCombo->currentText(), "Show grahhics state only");
    EXPECT_EQ(ui().eye.eyeZoomLabel->text(), "Zoom: 5x");

    EXPECT_EQ(peer().world().idle, 1);
    EXPECT_EQ(peer().world().antMax, 255);
    EXPECT_EQ(peer().world().antMaxMode, qm::AntMaxMode::Ants255);
    EXPECT_NE(peer().world().antPos, nullptr);
    EXPECT_NE(peer().world().antColour, nullptr);
    EXPECT_EQ(about->handBrakeCoefficientEdit->text(), "50");
    EXPECT_EQ(about->handBrakeCoefficient(), 50);
    EXPECT_TRUE(about->continueCheck->isChecked());
    EXPECT_TRUE(about->continueCheck->isEnabled());
    EXPECT_TRUE(peer().continuePossible());
    EXPECT_FALSE(about->warningGuard());

    EXPECT_EQ(peer().stateColours()[0], qm::White);
    EXPECT_EQ(peer().stateColours()[1], qm::rgb(255, 243, 0));
    EXPECT_EQ(peer().stateColours()[63], qm::Black);

    // The limits of "continue compute" replaced the first-activation placeholders.
    EXPECT_EQ(peer().world().limits.stepMax, 9223372036854775797);
    EXPECT_EQ(peer().world().limits.axisBound, 2147483637);
    EXPECT_EQ(peer().world().handBrakeCount, 0u);
    EXPECT_EQ(ui().control.maxStepsEdit->text(), "2147483645");
}

TEST_F(MainWindowTest, SettingsDialogIsADialogOfTheWindowAndLetsGoOfItWhenDestroyed) {
    openWindow();
    about.reset();
    std::unique_ptr<SettingsDialog> own = form->createSettingsDialog();
    EXPECT_EQ(own->parentWidget(), form.get());
    EXPECT_TRUE(own->isWindow());
    EXPECT_EQ(own->windowTitle(), "About");
    EXPECT_EQ(peer().settingsView(), own.get());
    own.reset();
    EXPECT_EQ(peer().settingsView(), nullptr) << "the window holds no pointer to a destroyed dialog";
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
    for (QLabel* label : {ui().navigation.moveXValue, ui().navigation.moveYValue, ui().state.minXValue, ui().state.minYValue,
                          ui().state.maxXValue, ui().state.maxYValue})
        label->setText(widest32);
    for (QLabel* label : {ui().state.filledValue, ui().state.peakFilledValue, ui().state.stepValue, ui().state.allStepsValue})
        label->setText(QStringLiteral("-9223372036854775807"));
    ui().eye.eyeZoomLabel->setText(QStringLiteral("Zoom: 58800000x"));
    ui().eye.eyeControls->show();
    ui().definition.definitionTabs->setCurrentIndex(1);
    QCoreApplication::processEvents();
    expectWholeTexts(form.get());
    EXPECT_EQ(ui().definition.selectFileButton->width(), ui().definition.fromFileTab->width()) << "\"Select file\" lies on its page";
    about->show();
    QCoreApplication::processEvents();
    expectWholeTexts(about.get());
    EXPECT_LE(about->generalizedRadio->sizeHint().width(), about->generalizedRadio->width());
}

// A label that keeps its backdrop looks exactly as a plain one over the same group box, also after
// the box and the label's place change, after a style sheet restyles the box and after the
// palette changes.
TEST(FittingLabelBackdrop, LooksAsTheTransparentLabelDoes) {
    QWidget window;
    window.resize(420, 200);
    qm::FittingLabel* labels[2];
    QGroupBox* boxes[2];
    for (int k = 0; k < 2; ++k) {
        boxes[k] = new QGroupBox(QStringLiteral(" State "), &window);
        boxes[k]->setGeometry(8 + 200 * k, 8, 160, 176);  // whole image pixels at ratios 1.25 and 1.5 too
        labels[k] = new qm::FittingLabel(QStringLiteral("0"), boxes[k]);
        labels[k]->setGeometry(0, 84, 160, 16);  // over the frame's left and right edges
        labels[k]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    labels[1]->keepBackdrop();
    window.show();
    const auto expectSame = [&](const char* when) {
        QCoreApplication::processEvents();
        const QImage picture = window.grab().toImage();
        const qreal ratio = picture.devicePixelRatio();  // image pixels per widget pixel
        const QRect plain = QRectF(QPointF(boxes[0]->pos()) * ratio, QSizeF(boxes[0]->size()) * ratio).toRect();
        EXPECT_EQ(picture.copy(plain), picture.copy(plain.translated(qRound(200 * ratio), 0))) << when;
    };
    expectSame("at first");
    for (QGroupBox* box : boxes) box->resize(160, 120);
    for (qm::FittingLabel* label : labels) label->move(0, 4);  // over the title
    expectSame("after the box and the label changed");
    for (QGroupBox* box : boxes) box->setStyleSheet(QStringLiteral("QGroupBox { border: 3px solid #C04000; }"));
    expectSame("after the style changed");
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, QColor(0x20, 0x60, 0xA0));
    window.setPalette(palette);
    expectSame("after the palette changed");
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
        EXPECT_EQ(about->memoryChoice->itemIndex(), c.selected);
        EXPECT_EQ(about->memoryChoice->count(), c.kept);
        EXPECT_EQ(peer().settings().memoryItemsOffered, c.kept) << "the settings know what the choice offers";
        EXPECT_TRUE(dialogs.boxes.empty()) << "no memory warning while the program starts";
        TearDown();
    }
}

TEST_F(MainWindowTest, FirstActivationRunsOnce) {
    openWindow();
    ui().visualisation.squareSizeCombo->setCurrentIndex(3);
    ui().navigation.eyeSizeCombo->setCurrentIndex(0);
    ui().state.displayModeCombo->setCurrentIndex(3);
    about->memoryChoice->setItemIndex(1);

    form->activate();
    form->hide();
    form->show();
    QCoreApplication::processEvents();

    EXPECT_EQ(ui().visualisation.squareSizeCombo->currentText(), "4");
    EXPECT_EQ(ui().navigation.eyeSizeCombo->currentIndex(), 0);
    EXPECT_EQ(ui().state.displayModeCombo->currentIndex(), 3);
    EXPECT_EQ(about->memoryChoice->itemIndex(), 1);
}

TEST_F(MainWindowTest, OldConsumerSystemsCannotContinueBeyondTheFastGrid) {
    openWindow(memoryMiB(64, 20), true);
    EXPECT_FALSE(about->continueCheck->isChecked());
    EXPECT_FALSE(about->continueCheck->isEnabled());
    EXPECT_EQ(about->continueCheck->toolTip(), "Is not possible for Windows 95,98,ME");
    EXPECT_TRUE(ui().eye.eyeZoomCoarseSlider->isHidden());
    EXPECT_TRUE(ui().eye.eyeZoomMediumSlider->isHidden());
    EXPECT_FALSE(ui().eye.eyeZoomFineSlider->isHidden());

    // The end of a run keeps the option disabled.
    setMaxSteps(5);
    clickStart();
    EXPECT_FALSE(about->continueCheck->isEnabled());
    EXPECT_TRUE(about->ants15Radio->isEnabled());
}

// ------------------------------------------------------------------------------------------
// Layout

TEST_F(MainWindowTest, WindowGeometryFollowsTheDesign) {
    openWindow();
    EXPECT_EQ(form->size(), QSize(757, 553));
    EXPECT_EQ(form->minimumSize(), QSize(642, 393));
    EXPECT_EQ(ui().control.leftColumn->geometry(), QRect(0, 0, 161, 553));
    EXPECT_EQ(ui().control.controlGroup->height(), 78);
    EXPECT_EQ(ui().visualisation.visualisationGroup->height(), 84);
    EXPECT_EQ(ui().state.stateGroup->height(), 175);
    EXPECT_EQ(ui().definition.definitionGroup->geometry().bottom(), 552);
    EXPECT_EQ(ui().view.viewSurface->size(), QSize(596, 441));
    EXPECT_EQ(ui().navigation.navigationStrip->geometry(), QRect(0, 441, 596, 112));
    EXPECT_EQ(ui().view.viewSurface->image().size(), QSize(596, 441));
    EXPECT_EQ(ui().view.viewArea->palette().color(QPalette::Window), QColor(0xEF, 0xEF, 0xDF));
    EXPECT_EQ(form->focusWidget(), ui().control.startButton);
}

TEST_F(MainWindowTest, ResizeKeepsTheViewAndTheExportBitmapTogether) {
    openWindow();
    for (QSize size : {QSize(642, 393), QSize(1000, 700)}) {
        form->resize(size);
        QCoreApplication::processEvents();
        const QSize view(size.width() - 161, size.height() - 112);
        EXPECT_EQ(ui().view.viewSurface->size(), view);
        EXPECT_EQ(ui().view.viewSurface->image().size(), view);
        ASSERT_TRUE(peer().bitmapExport().exportBitmap);
        EXPECT_EQ(peer().bitmapExport().exportBitmap->size(), view);
        EXPECT_EQ(ui().navigation.navigationStrip->geometry(), QRect(0, size.height() - 112, size.width() - 161, 112));
    }
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(MainWindowTest, ControlsCarryTheirCaptionsAndInitialValues) {
    openWindow();
    const std::vector<std::pair<QAbstractButton*, QString>> buttons{
        {ui().control.startButton, "Start"},         {ui().control.settingsButton, "Setting"},        {ui().control.almostUnlimitedButton, "^^^ almost unlimited ^^^"},
        {ui().definition.loadButton, "Load"},          {ui().definition.clearButton, "Clear"},          {ui().definition.saveButton, "Save"},
        {ui().definition.addDiagonalButton, "Add 4 diagonal"}, {ui().definition.addByAxisButton, "Add 4 by axis"}, {ui().definition.selectFileButton, "Select file"},
        {ui().navigation.centreOnAntButton, "Center to Ant:"}, {ui().navigation.previousAntButton, "<<<<"},        {ui().navigation.nextAntButton, ">>>>"},
        {ui().navigation.panUpButton, "^^^"},      {ui().navigation.panDownButton, "vvv"},       {ui().navigation.panLeftButton, "<<"},
        {ui().navigation.panRightButton, ">>"},       {ui().navigation.panUpLeftButton, ""},          {ui().navigation.panUpRightButton, ""},
        {ui().navigation.panDownLeftButton, ""},         {ui().navigation.panDownRightButton, ""},         {ui().navigation.centreButton, "Center"},
        {ui().navigation.resetMoveXButton, "0"},        {ui().navigation.resetMoveYButton, "0"},         {ui().navigation.redrawViewButton, "Redraw"},
        {ui().navigation.eyeShowHideButton, "Eye S/H"},       {ui().eye.redrawEyeButton, "Redraw Eye"},      {ui().definition.firstSixteenCheck, "First 16 - diferent color"},
        {ui().eye.drawCentreCheck, "Draw Center"}, {ui().eye.updateAntsInEyeCheck, "Update ants in eye window"},
        {ui().eye.updateWhiteInEyeCheck, "Update 'white' too"}};
    for (const auto& [button, caption] : buttons) EXPECT_EQ(button->text(), caption);

    const std::vector<std::pair<QLabel*, QString>> labels{
        {ui().control.maxStepsLabel, "Max steps:"},   {ui().visualisation.squareSizeLabel, "Ant square size:"}, {ui().visualisation.handBrakeLabel, "Hand break"},
        {ui().visualisation.pauseLink, "stop ^"},      {ui().state.minLabel, "Min:"},             {ui().state.maxLabel, "Max:"},
        {ui().state.xHeading, "X"},           {ui().state.yHeading, "Y"},                {ui().state.filledLabel, "Filled:"},
        {ui().state.peakFilledLabel, "Max filled:"},  {ui().state.stepLabel, "Step:"},             {ui().state.computingTimeLabel, "Computing time:"},
        {ui().state.antsCountLabel, "Ants count:"}, {ui().state.allStepsLabel, "All steps::"},     {ui().definition.definitionLegend, "X,Y,direction,RRGGBB (hex)"},
        {ui().definition.directionLabel, "Direction:"},  {ui().definition.directionNumbersLegend, "1=X+ 2=Y- 3=X- 4=Y+"}, {ui().definition.directionLettersLegend, "R=X+ B=Y- L=X- T=Y+"},
        {ui().definition.directionCornersLegend, "LB=X+ LT=Y- RT=X- RB=Y+"}, {ui().definition.selectedFileLabel, "Selected file:"},
        {ui().navigation.moveXLabel, "Move X:"},     {ui().navigation.moveYLabel, "Move Y:"},          {ui().navigation.moveXValue, "0"},
        {ui().navigation.moveYValue, "0"},           {ui().eye.eyeChangedLabel, "Changed  "},       {ui().state.minXValue, "0"},
        {ui().state.minYValue, "0"},    {ui().state.maxXValue, "0"},         {ui().state.maxYValue, "0"},
        {ui().state.filledValue, "0"},   {ui().state.peakFilledValue, "0"},     {ui().state.stepValue, "0"},
        {ui().state.computingTimeValue, "0:00:00"}, {ui().state.antsCountValue, "0"},           {ui().state.allStepsValue, "0"}};
    for (const auto& [label, caption] : labels) EXPECT_EQ(label->text(), caption);
    for (QLabel* number : {ui().state.minXValue, ui().state.filledValue, ui().state.computingTimeValue, ui().state.allStepsValue})
        EXPECT_TRUE(number->alignment() & Qt::AlignRight);

    EXPECT_EQ(itemsOf(ui().visualisation.squareSizeCombo), QStringList({"0", "1", "2", "4", "6", "8"}));
    EXPECT_EQ(itemsOf(ui().navigation.eyeSizeCombo), QStringList({"1", "2/3", "1/2", "1/3", "1/4", "1/5", "1/6"}));
    EXPECT_EQ(itemsOf(ui().state.displayModeCombo),
              QStringList({"Hide state numbers (fastest)", "Show grahhics state only", "Show text state only (slow)",
                           "Show state both (slowest)"}));
    EXPECT_EQ(ui().definition.definitionTabs->tabText(0), "Define");
    EXPECT_EQ(ui().definition.definitionTabs->tabText(1), "From file");
    EXPECT_EQ(ui().definition.definitionTabs->currentIndex(), 0);
    EXPECT_EQ(ui().definition.definitionEditor->toPlainText(), "0,0,1");
    EXPECT_EQ(ui().definition.definitionEditor->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(ui().control.maxStepsEdit->maxLength(), 19);
    EXPECT_EQ(ui().definition.addDistanceEdit->text(), "25");
    EXPECT_EQ(ui().navigation.moveStepEdit->text(), "200");
    EXPECT_EQ(ui().navigation.antNumberEdit->text(), "1");
    EXPECT_EQ(ui().definition.selectedFileEdit->text(), "");

    EXPECT_EQ(ui().visualisation.handBrakeSlider->minimum(), 0);
    EXPECT_EQ(ui().visualisation.handBrakeSlider->maximum(), 100);
    EXPECT_EQ(ui().visualisation.handBrakeSlider->pageStep(), 10);
    EXPECT_EQ(ui().visualisation.handBrakeSlider->tickInterval(), 10);
    EXPECT_EQ(ui().visualisation.handBrakeSlider->value(), 0);
    EXPECT_EQ(ui().eye.eyeZoomCoarseSlider->value(), 1);
    EXPECT_EQ(ui().eye.eyeZoomMediumSlider->value(), 1);
    EXPECT_EQ(ui().eye.eyeZoomFineSlider->value(), 5);
    EXPECT_EQ(ui().eye.eyeZoomMediumSlider->maximum(), 150);
    EXPECT_EQ(ui().eye.eyeZoomFineSlider->maximum(), 250);

    EXPECT_TRUE(ui().definition.firstSixteenCheck->isChecked());
    EXPECT_TRUE(ui().eye.drawCentreCheck->isChecked());
    EXPECT_TRUE(ui().eye.updateAntsInEyeCheck->isChecked());
    EXPECT_FALSE(ui().eye.updateWhiteInEyeCheck->isChecked());
    EXPECT_TRUE(ui().eye.eyeControls->isHidden());
    EXPECT_TRUE(ui().eye.eyeFrame->isHidden());
    EXPECT_TRUE(ui().eye.eyeChangedLabel->isHidden());
    EXPECT_FALSE(ui().state.stateRefreshTimer->isActive());

    const QList<QAction*> menu = ui().view.viewMenu->actions();
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
    EXPECT_EQ(peer().definitionSaveDialog().defaultSuffix, "txt");
    EXPECT_EQ(peer().pictureSaveDialog().defaultSuffix, "bmp");
    EXPECT_EQ(peer().definitionOpenDialog().filter, QString::fromUtf8("Textové soubory (*.txt)|*.txt|Všechny soubory (*.*)|*.*"));
}

TEST_F(MainWindowTest, HintsAndFontsFollowTheDesign) {
    openWindow();
    EXPECT_EQ(ui().definition.firstSixteenCheck->toolTip(), "First 10 - diferent color if color not defined");
    EXPECT_EQ(ui().definition.directionNumbersLegend->toolTip(), "1=Right,  3=Left,  4=Top,  2=Bottom");
    EXPECT_EQ(ui().definition.directionLettersLegend->toolTip(), "R=Right,  L=Left,  T=Top,  B=Bottom");
    EXPECT_EQ(ui().definition.directionCornersLegend->toolTip(),
              "Direction of Ant Higway: LB=To Left Bootom, LT=To Left Top, RT=To Right Top,  RB=To Right Bottom");
    EXPECT_EQ(ui().definition.definitionLegend->toolTip(), "X,Y,direction,color");

    EXPECT_EQ(form->font().families().value(0), "MS Sans Serif");
    EXPECT_EQ(form->font().pixelSize(), 11);
    EXPECT_TRUE(ui().control.startButton->font().bold());
    EXPECT_EQ(ui().control.almostUnlimitedButton->font().families().value(0), "Small Fonts");
    EXPECT_EQ(ui().view.viewSurface->font().families().value(0), "Courier");
    EXPECT_EQ(ui().view.viewSurface->font().pixelSize(), 13);
    EXPECT_EQ(ui().definition.directionNumbersLegend->font().families().value(0), "Courier New");
    EXPECT_EQ(ui().definition.directionLettersLegend->font().families().value(0), "Courier New");
    EXPECT_EQ(ui().definition.directionCornersLegend->font().families().value(0), "Arial");
    // Every design font falls back to one that is installed.
    EXPECT_GT(form->font().families().size(), 1);
    EXPECT_GT(ui().view.viewSurface->font().families().size(), 1);
}

TEST_F(MainWindowTest, GeneralizedLookComesFromTheSettingsDialog) {
    openWindow();
    about->generalizedRadio->click();
    EXPECT_TRUE(ui().definition.firstSixteenCheck->isHidden());
    EXPECT_TRUE(ui().eye.updateWhiteInEyeCheck->isHidden());
    EXPECT_EQ(ui().definition.definitionLegend->text(), "X,Y,dir.,prg.(Dec | 0xHex | BxBin)");
    EXPECT_EQ(ui().state.peakFilledLabel->text(), "  State ch.:");
    about->langtonRadio->click();
    EXPECT_FALSE(ui().definition.firstSixteenCheck->isHidden());
    EXPECT_EQ(ui().definition.definitionLegend->text(), "X,Y,direction,RRGGBB (hex)");
    EXPECT_EQ(ui().state.peakFilledLabel->text(), "Max filled:");
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
        ui().control.maxStepsEdit->setText(c.typed);
        EXPECT_EQ(ui().control.maxStepsEdit->text(), c.shown) << c.typed.toStdString();
        EXPECT_EQ(peer().world().limits.userMaxSteps, c.stored) << c.typed.toStdString();
    }
}

TEST_F(MainWindowTest, TrackBarSetsTheHandBrakeCountFromTheDisplayMode) {
    openWindow();
    ui().visualisation.handBrakeSlider->setValue(10);
    EXPECT_EQ(peer().world().trackBarPosition, 10);
    EXPECT_EQ(peer().world().handBrakeCount, 10u * 50u * 10u * 3u);
    ui().state.displayModeCombo->setCurrentIndex(0);
    ui().visualisation.handBrakeSlider->setValue(20);
    EXPECT_EQ(peer().world().handBrakeCount, 20u * 50u * 20u * 5u);
    ui().state.displayModeCombo->setCurrentIndex(2);
    ui().visualisation.handBrakeSlider->setValue(100);
    EXPECT_EQ(peer().world().handBrakeCount, 100u * 50u * 100u * 1u);
}

TEST_F(MainWindowTest, CloseWhileIdleIsAllowed) {
    openWindow();
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(peer().world().idle, 1);
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
        for (const QAction* action : ui().view.viewMenu->actions())
            if (action->text() == text) return action;
        return nullptr;
    }
};

TEST_F(KeysTest, F9StartsAndBreaksTheRun) {
    openWindow();
    setEditor("0,0,1");
    setMaxSteps(500);
    press(QKeySequence(Qt::Key_F9));
    EXPECT_EQ(peer().world().counters.stepCount, 500);
    // During a run the same key breaks it, as the button captioned "Break" does.
    setMaxSteps(100000000);
    duringRun([this] { press(QKeySequence(Qt::Key_F9)); });
    press(QKeySequence(Qt::Key_F9));
    EXPECT_LT(peer().world().counters.stepCount, 100000000);
    EXPECT_EQ(ui().control.startButton->text(), "Start");
    EXPECT_NE(ui().control.startButton->toolTip().indexOf("F9"), -1);
    ASSERT_NE(menuAction("Start or break the run"), nullptr);
    EXPECT_EQ(menuAction("Start or break the run")->shortcut(), QKeySequence(Qt::Key_F9));
}

TEST_F(KeysTest, CtrlRRedrawsTheMainView) {
    openWindow();
    ui().view.viewSurface->image().fill(qRgb(1, 2, 3));
    press(QKeySequence(Qt::CTRL | Qt::Key_R));
    EXPECT_EQ(ui().view.viewSurface->image().pixel(10, 10), qm::toArgb(peer().viewBackground()));
    EXPECT_NE(ui().navigation.redrawViewButton->toolTip().indexOf(QKeySequence(Qt::CTRL | Qt::Key_R).toString(QKeySequence::NativeText)), -1);
}

TEST_F(KeysTest, F8ShowsAndHidesTheEye) {
    openWindow();
    press(QKeySequence(Qt::Key_F8));
    EXPECT_FALSE(ui().eye.eyeFrame->isHidden());
    press(QKeySequence(Qt::Key_F8));
    EXPECT_TRUE(ui().eye.eyeFrame->isHidden());
    EXPECT_NE(ui().navigation.eyeShowHideButton->toolTip().indexOf("F8"), -1);
}

TEST_F(KeysTest, CtrlEExportsTheView) {
    openWindow();
    press(QKeySequence(Qt::CTRL | Qt::Key_E));
    ASSERT_EQ(dialogs.saveDialogs.size(), 1u) << "the export's file dialog opened";
    EXPECT_EQ(dialogs.saveDialogs[0].defaultSuffix, "bmp");
    EXPECT_EQ(ui().view.saveBmpAction->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_E)) << "shown in the menu";
}

// ------------------------------------------------------------------------------------------
// Names

// Every control of both windows, and every command of the window, carries a name of its own:
// the name in the code, by which tests, the benchmark and reports find it.
TEST_F(MainWindowTest, EveryControlAndCommandHasAUniqueObjectName) {
    openWindow();
    for (QWidget* window : {static_cast<QWidget*>(form.get()), static_cast<QWidget*>(about.get())}) {
        std::set<QString> names;
        auto expectNamed = [&](QObject* object) {
            const QString name = object->objectName();
            if (name.startsWith(QLatin1String("qt_"))) return;  // the toolkit's own parts
            EXPECT_FALSE(name.isEmpty()) << object->metaObject()->className() << " \"" << object->property("text").toString().toStdString() << "\" in "
                                         << window->metaObject()->className();
            if (!name.isEmpty()) {
                EXPECT_TRUE(names.insert(name).second) << name.toStdString();
            }
        };
        for (QWidget* widget : window->findChildren<QWidget*>()) {
            // The parts the toolkit builds inside a control (a tab bar's scroll buttons, an editor's
            // viewport, a combo box's list) are not the program's.
            if (qobject_cast<QAbstractButton*>(widget) || qobject_cast<QLabel*>(widget) ||
                qobject_cast<QLineEdit*>(widget) || qobject_cast<QComboBox*>(widget) ||
                qobject_cast<QSlider*>(widget) || qobject_cast<QGroupBox*>(widget) ||
                qobject_cast<QPlainTextEdit*>(widget) || qobject_cast<QTabWidget*>(widget) ||
                qobject_cast<qm::ImageSurface*>(widget) || qobject_cast<qm::RadioGroup*>(widget)) {
                if (widget->parentWidget() && (qobject_cast<QTabWidget*>(widget->parentWidget()) ||
                                               widget->parentWidget()->objectName().startsWith("qt_") ||
                                               qobject_cast<qm::RadioGroup*>(widget->parentWidget())))
                    continue;
                expectNamed(widget);
            }
        }
        for (QAction* action : window->findChildren<QAction*>()) {
            const auto* menu = qobject_cast<QMenu*>(action->parent());
            if (!action->isSeparator() && !(menu && menu->menuAction() == action)) expectNamed(action);
        }
        for (QTimer* timer : window->findChildren<QTimer*>(Qt::FindDirectChildrenOnly)) expectNamed(timer);
    }
}
