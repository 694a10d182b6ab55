// Builds the main window's controls at their design positions, with their captions, items,
// initial values, ranges, hints and fonts, and keeps the anchored ones in place on resize.

#include <utility>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include "gui/window/MainWindow.h"
#include "gui/view/FittingLabel.h"
#include "gui/view/ImageSurface.h"

namespace {

constexpr int ControlGroupHeight = 78;
constexpr int VisualisationGroupHeight = 84;
constexpr int StateGroupHeight = 175;
constexpr int DefinitionGroupTop = ControlGroupHeight + VisualisationGroupHeight + StateGroupHeight;
constexpr int InitialViewWidth = MainWindow::InitialClientWidth - MainWindow::LeftColumnWidth;
constexpr int InitialViewHeight = MainWindow::InitialClientHeight - MainWindow::BottomStripHeight;
constexpr int LegendBlockHeight = 64;  // firstSixteenCheck, "Direction:" and the three legend lines

QFont fontOf(const QStringList& families, int pixelSize, bool bold = false) {
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

// The design fonts, each followed by installed look-alikes.
const QStringList SansSerifFamilies{"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans Narrow",
                                    "DejaVu Sans Condensed", "DejaVu Sans"};
const QStringList SmallFontFamilies{"Small Fonts", "Liberation Sans Narrow", "DejaVu Sans Condensed", "DejaVu Sans"};
const QStringList CourierNewFamilies{"Courier New", "Liberation Mono", "DejaVu Sans Mono"};
const QStringList CourierFamilies{"Courier", "Courier New", "Liberation Mono", "DejaVu Sans Mono"};
const QStringList ArialFamilies{"Arial", "Liberation Sans", "DejaVu Sans Condensed", "DejaVu Sans"};

QLabel* makeLabel(QWidget* parent, const QString& text, int x, int y, int w, int h = 13) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(x, y, w, h);
    return label;
}

// Static texts show numbers, right-aligned, whole at any value.
QLabel* makeStatic(QWidget* parent, const QString& text, int x, int y, int w) {
    auto* label = new qm::FittingLabel(text, parent);
    label->setGeometry(x, y, w, 13);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->keepBackdrop();  // the state panel's numbers change every frame
    return label;
}

QPushButton* makeButton(QWidget* parent, const QString& text, int x, int y, int w, int h) {
    auto* button = new QPushButton(text, parent);
    button->setGeometry(x, y, w, h);
    button->setAutoDefault(false);
    return button;
}

QToolButton* makeFlatButton(QWidget* parent, const QString& text, int x, int y, int w, int h) {
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setAutoRaise(true);
    button->setGeometry(x, y, w, h);
    return button;
}

QLineEdit* makeEdit(QWidget* parent, const QString& text, int x, int y, int w, int h = 20) {
    auto* edit = new QLineEdit(text, parent);
    edit->setGeometry(x, y, w, h);
    return edit;
}

QComboBox* makeDropDown(QWidget* parent, const QStringList& items, int x, int y, int w, int h = 21) {
    auto* combo = new QComboBox(parent);
    combo->addItems(items);
    combo->setCurrentIndex(-1);  // the first activation chooses the item
    combo->setMaxVisibleItems(items.size());
    combo->setGeometry(x, y, w, h);
    return combo;
}

QSlider* makeTrackBar(QWidget* parent, int minimum, int maximum, int tickEvery) {
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setRange(minimum, maximum);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setTickInterval(tickEvery);
    return slider;
}

void setBackground(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QColor qColourOf(qm::ColourRef colour) {
    return QColor(int(qm::redOf(colour)), int(qm::greenOf(colour)), int(qm::blueOf(colour)));
}

// A small arrow along a diagonal for the caption-less pan buttons: dx, dy are -1 or 1.
QIcon diagonalArrow(int dx, int dy) {
    QPixmap pixmap(12, 12);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1.5));
    const QPointF centre(6, 6);
    const QPointF tip = centre + QPointF(4.5 * dx, 4.5 * dy);
    painter.drawLine(centre - QPointF(4.5 * dx, 4.5 * dy), tip);
    painter.drawLine(tip, tip - QPointF(4.0 * dx, 0));
    painter.drawLine(tip, tip - QPointF(0, 4.0 * dy));
    return QIcon(pixmap);
}

}  // namespace

void MainWindow::buildControls() {
    setWindowTitle(QStringLiteral("Quillmarch"));
    setBackground(this, Qt::white);
    applyFonts();

    // The left column has the face colour of the controls, so the group frames show on it.
    ui_.control.leftColumn = new QWidget(this);
    setBackground(ui_.control.leftColumn, palette().color(QPalette::Button));
    buildControlGroup();
    buildVisualisationGroup();
    buildStateGroup();
    buildDefinitionGroup();
    buildViewArea();
    buildNavigationStrip();
    buildEyeControls();
    buildPopupMenu();

    ui_.state.stateRefreshTimer = new QTimer(this);
    ui_.state.stateRefreshTimer->setInterval(5000);

    ui_.control.startButton->setFocus();
    setMinimumSize(MinimumClientWidth, MinimumClientHeight);
    resize(InitialClientWidth, InitialClientHeight);
    layoutAnchoredControls();
}

void MainWindow::applyFonts() { setFont(fontOf(SansSerifFamilies, 11)); }

void MainWindow::buildControlGroup() {
    ui_.control.controlGroup = new QGroupBox(QStringLiteral(" Control "), ui_.control.leftColumn);
    ui_.control.startButton = makeButton(ui_.control.controlGroup, StartCaption, 6, 16, 72, 24);
    ui_.control.startButton->setFont(fontOf(SansSerifFamilies, 11, true));
    ui_.control.settingsButton = makeButton(ui_.control.controlGroup, QStringLiteral("Setting"), 83, 16, 72, 24);
    ui_.control.maxStepsLabel = makeLabel(ui_.control.controlGroup, QStringLiteral("Max steps:"), 6, 46, 54);
    ui_.control.maxStepsEdit = makeEdit(ui_.control.controlGroup, QStringLiteral("2147483645"), 61, 43, 94, 19);
    ui_.control.maxStepsEdit->setMaxLength(19);
    ui_.control.almostUnlimitedButton = makeButton(ui_.control.controlGroup, QStringLiteral("^^^ almost unlimited ^^^"), 6, 63, 149, 13);
    ui_.control.almostUnlimitedButton->setFont(fontOf(SmallFontFamilies, 9));
    ui_.control.almostUnlimitedButton->setStyleSheet(QStringLiteral("QPushButton { padding: 0px; }"));
}

void MainWindow::buildVisualisationGroup() {
    ui_.visualisation.visualisationGroup = new QGroupBox(QStringLiteral(" Visualisation "), ui_.control.leftColumn);
    ui_.visualisation.squareSizeLabel = makeLabel(ui_.visualisation.visualisationGroup, QStringLiteral("Ant square size:"), 6, 19, 90);
    ui_.visualisation.squareSizeCombo = makeDropDown(ui_.visualisation.visualisationGroup, {"0", "1", "2", "4", "6", "8"}, 100, 15, 55);
    ui_.visualisation.handBrakeLabel = makeLabel(ui_.visualisation.visualisationGroup, QStringLiteral("Hand break"), 6, 42, 80);
    ui_.visualisation.pauseLink = makeLabel(ui_.visualisation.visualisationGroup, QStringLiteral("stop ^"), 90, 42, 65);
    ui_.visualisation.pauseLink->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QPalette linkPalette = ui_.visualisation.pauseLink->palette();
    linkPalette.setColor(QPalette::WindowText, Qt::blue);
    ui_.visualisation.pauseLink->setPalette(linkPalette);
    ui_.visualisation.pauseLink->setCursor(Qt::PointingHandCursor);
    ui_.visualisation.pauseLink->installEventFilter(this);
    ui_.visualisation.handBrakeSlider = makeTrackBar(ui_.visualisation.visualisationGroup, 0, 100, 10);
    ui_.visualisation.handBrakeSlider->setPageStep(10);
    ui_.visualisation.handBrakeSlider->setValue(0);
    ui_.visualisation.handBrakeSlider->setGeometry(3, 56, 155, 24);
}

void MainWindow::buildStateGroup() {
    ui_.state.stateGroup = new QGroupBox(QStringLiteral(" State "), ui_.control.leftColumn);
    QWidget* g = ui_.state.stateGroup;
    ui_.state.xHeading = makeLabel(g, QStringLiteral("X"), 36, 14, 58);
    ui_.state.xHeading->setAlignment(Qt::AlignCenter);
    ui_.state.yHeading = makeLabel(g, QStringLiteral("Y"), 97, 14, 58);
    ui_.state.yHeading->setAlignment(Qt::AlignCenter);
    ui_.state.minLabel = makeLabel(g, QStringLiteral("Min:"), 6, 27, 30);
    ui_.state.minXValue = makeStatic(g, QStringLiteral("0"), 36, 27, 58);
    ui_.state.minYValue = makeStatic(g, QStringLiteral("0"), 97, 27, 58);
    ui_.state.maxLabel = makeLabel(g, QStringLiteral("Max:"), 6, 41, 30);
    ui_.state.maxXValue = makeStatic(g, QStringLiteral("0"), 36, 41, 58);
    ui_.state.maxYValue = makeStatic(g, QStringLiteral("0"), 97, 41, 58);
    ui_.state.filledLabel = makeLabel(g, QStringLiteral("Filled:"), 6, 58, 62);
    ui_.state.filledValue = makeStatic(g, QStringLiteral("0"), 70, 58, 85);
    ui_.state.peakFilledLabel = makeLabel(g, QString::fromLatin1(qm::Label9Langton), 6, 72, 62);
    ui_.state.peakFilledLabel->setToolTip(QString::fromLatin1(qm::Label9LangtonHint));
    ui_.state.peakFilledValue = makeStatic(g, QStringLiteral("0"), 70, 72, 85);
    ui_.state.stepLabel = makeLabel(g, QStringLiteral("Step:"), 6, 86, 62);
    ui_.state.stepValue = makeStatic(g, QStringLiteral("0"), 70, 86, 85);
    ui_.state.computingTimeLabel = makeLabel(g, QStringLiteral("Computing time:"), 6, 100, 84);
    ui_.state.computingTimeValue = makeStatic(g, QStringLiteral("0:00:00"), 90, 100, 65);
    ui_.state.antsCountLabel = makeLabel(g, QStringLiteral("Ants count:"), 6, 114, 62);
    ui_.state.antsCountValue = makeStatic(g, QStringLiteral("0"), 70, 114, 85);
    ui_.state.allStepsLabel = makeLabel(g, QStringLiteral("All steps::"), 6, 128, 62);
    ui_.state.allStepsValue = makeStatic(g, QStringLiteral("0"), 70, 128, 85);
    ui_.state.displayModeCombo = makeDropDown(g,
                          {"Hide state numbers (fastest)", "Show grahhics state only",
                           "Show text state only (slow)", "Show state both (slowest)"},
                          4, 148, 153);
}

void MainWindow::buildDefinitionGroup() {
    ui_.definition.definitionGroup = new QGroupBox(QStringLiteral(" Definition "), ui_.control.leftColumn);
    ui_.definition.definitionLegend = makeLabel(ui_.definition.definitionGroup, definitionLegendCaption(false), 4, 14, 153);
    ui_.definition.definitionLegend->setAlignment(Qt::AlignCenter);
    ui_.definition.definitionLegend->setToolTip(definitionLegendHint(false, 0));

    ui_.definition.definitionTabs = new QTabWidget(ui_.definition.definitionGroup);
    ui_.definition.defineTab = new QWidget;
    ui_.definition.fromFileTab = new QWidget;
    ui_.definition.definitionTabs->addTab(ui_.definition.defineTab, QStringLiteral("Define"));
    ui_.definition.definitionTabs->addTab(ui_.definition.fromFileTab, QStringLiteral("From file"));
    ui_.definition.definitionTabs->setCurrentIndex(0);
    ui_.definition.defineTab->installEventFilter(this);
    ui_.definition.fromFileTab->installEventFilter(this);  // a hidden page gets its size only when it is shown

    ui_.definition.definitionEditor = new QPlainTextEdit(ui_.definition.defineTab);
    ui_.definition.definitionEditor->setLineWrapMode(QPlainTextEdit::NoWrap);
    ui_.definition.definitionEditor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ui_.definition.definitionEditor->setMaximumBlockCount(0);
    ui_.definition.definitionEditor->setUndoRedoEnabled(true);  // setting the block count above switched undo off
    ui_.definition.definitionEditor->setPlainText(QStringLiteral("0,0,1"));
    ui_.definition.loadButton = makeButton(ui_.definition.defineTab, QStringLiteral("Load"), 0, 0, 48, 20);
    ui_.definition.clearButton = makeButton(ui_.definition.defineTab, QStringLiteral("Clear"), 0, 0, 48, 20);
    ui_.definition.saveButton = makeButton(ui_.definition.defineTab, QStringLiteral("Save"), 0, 0, 48, 20);
    ui_.definition.addDiagonalButton = makeButton(ui_.definition.defineTab, QStringLiteral("Add 4 diagonal"), 0, 0, 98, 20);
    ui_.definition.addByAxisButton = makeButton(ui_.definition.defineTab, QStringLiteral("Add 4 by axis"), 0, 0, 98, 20);
    ui_.definition.addDistanceEdit = makeEdit(ui_.definition.defineTab, QStringLiteral("25"), 0, 0, 40);

    ui_.definition.selectedFileLabel = makeLabel(ui_.definition.fromFileTab, QStringLiteral("Selected file:"), 2, 4, 140);
    ui_.definition.selectedFileEdit = makeEdit(ui_.definition.fromFileTab, QString(), 0, 20, 147);
    ui_.definition.selectFileButton = makeButton(ui_.definition.fromFileTab, QStringLiteral("Select file"), 0, 44, 147, 22);

    ui_.definition.firstSixteenCheck = new QCheckBox(QStringLiteral("First 16 - diferent color"), ui_.definition.definitionGroup);
    ui_.definition.firstSixteenCheck->setChecked(true);
    ui_.definition.firstSixteenCheck->setToolTip(QStringLiteral("First 10 - diferent color if color not defined"));
    ui_.definition.directionLabel = makeLabel(ui_.definition.definitionGroup, QStringLiteral("Direction:"), 0, 0, 150);
    ui_.definition.directionNumbersLegend = makeLabel(ui_.definition.definitionGroup, QStringLiteral("1=X+ 2=Y- 3=X- 4=Y+"), 0, 0, 150);
    ui_.definition.directionNumbersLegend->setFont(fontOf(CourierNewFamilies, 11));
    ui_.definition.directionNumbersLegend->setToolTip(QStringLiteral("1=Right,  3=Left,  4=Top,  2=Bottom"));
    ui_.definition.directionLettersLegend = makeLabel(ui_.definition.definitionGroup, QStringLiteral("R=X+ B=Y- L=X- T=Y+"), 0, 0, 150);
    ui_.definition.directionLettersLegend->setFont(fontOf(CourierNewFamilies, 11));
    ui_.definition.directionLettersLegend->setToolTip(QStringLiteral("R=Right,  L=Left,  T=Top,  B=Bottom"));
    ui_.definition.directionCornersLegend = makeLabel(ui_.definition.definitionGroup, QStringLiteral("LB=X+ LT=Y- RT=X- RB=Y+"), 0, 0, 150);
    ui_.definition.directionCornersLegend->setFont(fontOf(ArialFamilies, 11));
    ui_.definition.directionCornersLegend->setToolTip(QStringLiteral(
        "Direction of Ant Higway: LB=To Left Bootom, LT=To Left Top, RT=To Right Top,  RB=To Right Bottom"));
}

void MainWindow::buildViewArea() {
    ui_.view.viewArea = new QWidget(this);
    setBackground(ui_.view.viewArea, qColourOf(viewBackground));
    ui_.view.viewSurface = new qm::ImageSurface(ui_.view.viewArea);
    ui_.view.viewSurface->setFont(fontOf(CourierFamilies, 13));
    ui_.view.viewSurface->setGeometry(0, 0, InitialViewWidth, InitialViewHeight);
}

void MainWindow::buildNavigationStrip() {
    ui_.navigation.navigationStrip = new QWidget(ui_.view.viewArea);
    setBackground(ui_.navigation.navigationStrip, palette().color(QPalette::Button));
    QWidget* p = ui_.navigation.navigationStrip;
    ui_.navigation.panUpLeftButton = makeFlatButton(p, QString(), 4, 4, 28, 22);
    ui_.navigation.panUpLeftButton->setIcon(diagonalArrow(-1, -1));
    ui_.navigation.panUpButton = makeFlatButton(p, QStringLiteral("^^^"), 34, 4, 50, 22);
    ui_.navigation.panUpRightButton = makeFlatButton(p, QString(), 86, 4, 28, 22);
    ui_.navigation.panUpRightButton->setIcon(diagonalArrow(1, -1));
    ui_.navigation.panLeftButton = makeFlatButton(p, QStringLiteral("<<"), 4, 28, 28, 22);
    ui_.navigation.moveStepEdit = makeEdit(p, QStringLiteral("200"), 34, 29, 50, 20);
    ui_.navigation.panRightButton = makeFlatButton(p, QStringLiteral(">>"), 86, 28, 28, 22);
    ui_.navigation.panDownLeftButton = makeFlatButton(p, QString(), 4, 52, 28, 22);
    ui_.navigation.panDownLeftButton->setIcon(diagonalArrow(-1, 1));
    ui_.navigation.panDownButton = makeFlatButton(p, QStringLiteral("vvv"), 34, 52, 50, 22);
    ui_.navigation.panDownRightButton = makeFlatButton(p, QString(), 86, 52, 28, 22);
    ui_.navigation.panDownRightButton->setIcon(diagonalArrow(1, 1));
    ui_.navigation.centreButton = makeFlatButton(p, QStringLiteral("Center"), 4, 80, 110, 22);

    ui_.navigation.moveXLabel = makeLabel(p, QStringLiteral("Move X:"), 122, 8, 42);
    ui_.navigation.moveXValue = makeStatic(p, QStringLiteral("0"), 164, 8, 56);
    ui_.navigation.resetMoveXButton = makeFlatButton(p, QStringLiteral("0"), 224, 4, 22, 20);
    ui_.navigation.moveYLabel = makeLabel(p, QStringLiteral("Move Y:"), 122, 32, 42);
    ui_.navigation.moveYValue = makeStatic(p, QStringLiteral("0"), 164, 32, 56);
    ui_.navigation.resetMoveYButton = makeFlatButton(p, QStringLiteral("0"), 224, 28, 22, 20);
    ui_.navigation.centreOnAntButton = makeButton(p, QStringLiteral("Center to Ant:"), 120, 54, 84, 22);
    ui_.navigation.antNumberEdit = makeEdit(p, QStringLiteral("1"), 206, 55, 40, 20);
    ui_.navigation.previousAntButton = makeButton(p, QStringLiteral("<<<<"), 120, 80, 62, 22);
    ui_.navigation.nextAntButton = makeButton(p, QStringLiteral(">>>>"), 184, 80, 62, 22);

    ui_.navigation.redrawViewButton = makeButton(p, QStringLiteral("Redraw"), 252, 4, 44, 20);
    ui_.navigation.eyeShowHideButton = makeButton(p, QStringLiteral("Eye S/H"), 252, 28, 44, 22);
    ui_.navigation.eyeSizeCombo = makeDropDown(p, {"1", "2/3", "1/2", "1/3", "1/4", "1/5", "1/6"}, 252, 54, 44, 22);
}

void MainWindow::buildEyeControls() {
    ui_.eye.eyeControls = new QFrame(ui_.navigation.navigationStrip);
    ui_.eye.eyeControls->setFrameShape(QFrame::NoFrame);
    ui_.eye.eyeControls->hide();
    ui_.eye.eyeControls->installEventFilter(this);
    ui_.eye.eyeZoomCoarseSlider = makeTrackBar(ui_.eye.eyeControls, 1, 100, 10);
    ui_.eye.eyeZoomMediumSlider = makeTrackBar(ui_.eye.eyeControls, 1, 150, 10);
    ui_.eye.eyeZoomFineSlider = makeTrackBar(ui_.eye.eyeControls, 1, 250, 25);
    // Their maxima reach the thousands; ticks would only blur into a line.
    for (QSlider* bar : {ui_.eye.eyeZoomCoarseSlider, ui_.eye.eyeZoomMediumSlider, ui_.eye.eyeZoomFineSlider}) bar->setTickPosition(QSlider::NoTicks);
    ui_.eye.redrawEyeButton = makeButton(ui_.eye.eyeControls, QStringLiteral("Redraw Eye"), 0, 0, 86, 22);
    ui_.eye.eyeChangedLabel = makeLabel(ui_.eye.eyeControls, QStringLiteral("Changed  "), 0, 0, 86, 18);
    ui_.eye.eyeChangedLabel->setAlignment(Qt::AlignCenter);
    setBackground(ui_.eye.eyeChangedLabel, Qt::red);
    ui_.eye.eyeZoomLabel = new qm::FittingLabel(QStringLiteral("Zoom: 1x"), ui_.eye.eyeControls);
    ui_.eye.eyeZoomLabel->setAlignment(Qt::AlignCenter);
    ui_.eye.drawCentreCheck = new QCheckBox(QStringLiteral("Draw Center"), ui_.eye.eyeControls);
    ui_.eye.drawCentreCheck->setChecked(true);
    ui_.eye.updateAntsInEyeCheck = new QCheckBox(QStringLiteral("Update ants in eye window"), ui_.eye.eyeControls);
    ui_.eye.updateAntsInEyeCheck->setChecked(true);
    ui_.eye.updateWhiteInEyeCheck = new QCheckBox(QStringLiteral("Update 'white' too"), ui_.eye.eyeControls);
    ui_.eye.updateWhiteInEyeCheck->setChecked(false);
    ui_.eye.eyeControls->setGeometry(InitialViewWidth - InitialViewWidth / 2, 0, InitialViewWidth / 2, BottomStripHeight);

    ui_.eye.eyeFrame = new QFrame(ui_.view.viewArea);
    setBackground(ui_.eye.eyeFrame, qColourOf(qm::EyeFrameColour));
    ui_.eye.eyeFrame->hide();
    ui_.eye.eyeFrame->installEventFilter(this);
    ui_.eye.eyeSurface = new qm::ImageSurface(ui_.eye.eyeFrame);
    ui_.eye.eyeSurface->setSpareEdge(true);  // where the per-move operations send what they must not draw
    // The eye's image covers its panel whole. Marked opaque, the two would cut the main view's
    // region into pieces at every frame, which Qt draws through a clipped path at twice the cost
    // of the plain copy; unmarked, the main view is copied whole and the eye over it.
    ui_.eye.eyeFrame->setAutoFillBackground(false);
    ui_.eye.eyeSurface->setAttribute(Qt::WA_OpaquePaintEvent, false);
    ui_.eye.eyeFrame->setGeometry(InitialViewWidth - 300, InitialViewHeight - 300, 300, 300);
    ui_.eye.eyeSurface->setGeometry(0, 0, 300, 300);
}

void MainWindow::buildPopupMenu() {
    ui_.view.viewMenu = new QMenu(this);
    ui_.view.saveBmpAction = ui_.view.viewMenu->addAction(QStringLiteral("Save to BMP (Should be slow)"));
    ui_.view.changeBackgroundAction = ui_.view.viewMenu->addAction(QStringLiteral("Change background color"));
    ui_.view.changeEyeBackgroundAction = ui_.view.viewMenu->addAction(QStringLiteral("Change eye background color"));
    ui_.view.viewMenu->addSeparator();
    ui_.view.continueRunAction = ui_.view.viewMenu->addAction(QStringLiteral("Continue run"));
    ui_.view.saveWorldAction = ui_.view.viewMenu->addAction(QStringLiteral("Save world..."));
    ui_.view.openWorldAction = ui_.view.viewMenu->addAction(QStringLiteral("Open world..."));
    const std::pair<QAction*, QKeySequence> keys[] = {
        {ui_.view.continueRunAction, QKeySequence(Qt::Key_F5)},
        {ui_.view.saveWorldAction, QKeySequence(Qt::CTRL | Qt::Key_S)},
        {ui_.view.openWorldAction, QKeySequence(Qt::CTRL | Qt::Key_O)}};
    for (const auto& [action, key] : keys) {
        action->setShortcut(key);
        action->setShortcutVisibleInContextMenu(true);
        addAction(action);  // the keys work with the menu closed, anywhere in the window
    }
}

void MainWindow::layoutAnchoredControls() {
    const int w = width();
    const int h = height();
    ui_.control.leftColumn->setGeometry(0, 0, LeftColumnWidth, h);
    ui_.control.controlGroup->setGeometry(0, 0, LeftColumnWidth, ControlGroupHeight);
    ui_.visualisation.visualisationGroup->setGeometry(0, ControlGroupHeight, LeftColumnWidth, VisualisationGroupHeight);
    ui_.state.stateGroup->setGeometry(0, ControlGroupHeight + VisualisationGroupHeight, LeftColumnWidth, StateGroupHeight);
    ui_.definition.definitionGroup->setGeometry(0, DefinitionGroupTop, LeftColumnWidth, std::max(h - DefinitionGroupTop, 0));
    layoutDefinitionGroup();

    const int viewWidth = std::max(w - LeftColumnWidth, 0);
    ui_.view.viewArea->setGeometry(LeftColumnWidth, 0, viewWidth, h);
    ui_.view.viewSurface->setGeometry(0, 0, viewWidth, std::max(h - BottomStripHeight, 0));
    ui_.navigation.navigationStrip->setGeometry(0, std::max(h - BottomStripHeight, 0), viewWidth, BottomStripHeight);
}

void MainWindow::layoutDefinitionGroup() {
    const int gh = ui_.definition.definitionGroup->height();
    const int legendTop = std::max(gh - 4 - LegendBlockHeight, 28);
    ui_.definition.definitionTabs->setGeometry(3, 28, 155, std::max(legendTop - 30, 0));
    ui_.definition.firstSixteenCheck->setGeometry(6, legendTop, 150, 16);
    ui_.definition.directionLabel->setGeometry(6, legendTop + 16, 150, 12);
    ui_.definition.directionNumbersLegend->setGeometry(6, legendTop + 28, 150, 12);
    ui_.definition.directionLettersLegend->setGeometry(6, legendTop + 40, 150, 12);
    ui_.definition.directionCornersLegend->setGeometry(6, legendTop + 52, 150, 12);
}

// The "Define" page: the editor takes what the two rows of buttons leave.
static void layoutDefinePage(DefinitionWidgets& d) {
    const int pw = d.defineTab->width();
    const int ph = d.defineTab->height();
    d.definitionEditor->setGeometry(0, 0, pw, std::max(ph - 59, 0));
    d.loadButton->setGeometry(0, ph - 58, 48, 19);
    d.clearButton->setGeometry(50, ph - 58, 48, 19);
    d.saveButton->setGeometry(100, ph - 58, std::max(pw - 100, 0), 19);
    d.addDiagonalButton->setGeometry(0, ph - 38, 98, 19);
    d.addByAxisButton->setGeometry(0, ph - 19, 98, 19);
    d.addDistanceEdit->setGeometry(101, ph - 29, std::max(pw - 101, 0), 20);
    d.selectedFileEdit->setGeometry(0, 20, d.fromFileTab->width(), 20);
    d.selectFileButton->setGeometry(0, 44, d.fromFileTab->width(), 22);
}

void MainWindow::layoutEyeControls() {
    const int w = ui_.eye.eyeControls->width();
    const int barWidth = std::max(w - 96, 0);
    ui_.eye.eyeZoomCoarseSlider->setGeometry(2, 2, barWidth, 22);
    ui_.eye.eyeZoomMediumSlider->setGeometry(2, 24, barWidth, 22);
    ui_.eye.eyeZoomFineSlider->setGeometry(2, 46, barWidth, 22);
    ui_.eye.redrawEyeButton->setGeometry(w - 90, 4, 86, 22);
    ui_.eye.eyeChangedLabel->setGeometry(w - 90, 30, 86, 18);
    ui_.eye.eyeZoomLabel->setGeometry(w - 90, 52, 86, 13);
    ui_.eye.updateAntsInEyeCheck->setGeometry(4, 72, 180, 17);
    ui_.eye.updateWhiteInEyeCheck->setGeometry(18, 90, 160, 17);
    ui_.eye.drawCentreCheck->setGeometry(w - 96, 72, 92, 17);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) {
        if (watched == ui_.definition.defineTab || watched == ui_.definition.fromFileTab) layoutDefinePage(ui_.definition);
        else if (watched == ui_.eye.eyeControls) layoutEyeControls();
        else if (watched == ui_.eye.eyeFrame) ui_.eye.eyeSurface->setGeometry(ui_.eye.eyeFrame->rect());
    } else if (watched == ui_.visualisation.pauseLink && pauseLinkClick_.completes(ui_.visualisation.pauseLink, event)) {
        togglePause();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// Object names follow the member names, so widgets can be found and reported by name.
void MainWindow::nameControls() {
    const std::pair<QObject*, const char*> controls[] = {
        {ui_.control.leftColumn, "leftColumn"},
        {ui_.control.controlGroup, "controlGroup"},
        {ui_.control.startButton, "startButton"},
        {ui_.control.settingsButton, "settingsButton"},
        {ui_.control.maxStepsLabel, "maxStepsLabel"},
        {ui_.control.maxStepsEdit, "maxStepsEdit"},
        {ui_.control.almostUnlimitedButton, "almostUnlimitedButton"},
        {ui_.visualisation.visualisationGroup, "visualisationGroup"},
        {ui_.visualisation.squareSizeLabel, "squareSizeLabel"},
        {ui_.visualisation.squareSizeCombo, "squareSizeCombo"},
        {ui_.visualisation.handBrakeLabel, "handBrakeLabel"},
        {ui_.visualisation.handBrakeSlider, "handBrakeSlider"},
        {ui_.visualisation.pauseLink, "pauseLink"},
        {ui_.state.stateGroup, "stateGroup"},
        {ui_.state.minLabel, "minLabel"},
        {ui_.state.maxLabel, "maxLabel"},
        {ui_.state.xHeading, "xHeading"},
        {ui_.state.yHeading, "yHeading"},
        {ui_.state.minXValue, "minXValue"},
        {ui_.state.minYValue, "minYValue"},
        {ui_.state.maxXValue, "maxXValue"},
        {ui_.state.maxYValue, "maxYValue"},
        {ui_.state.filledLabel, "filledLabel"},
        {ui_.state.filledValue, "filledValue"},
        {ui_.state.peakFilledLabel, "peakFilledLabel"},
        {ui_.state.peakFilledValue, "peakFilledValue"},
        {ui_.state.stepLabel, "stepLabel"},
        {ui_.state.stepValue, "stepValue"},
        {ui_.state.computingTimeLabel, "computingTimeLabel"},
        {ui_.state.computingTimeValue, "computingTimeValue"},
        {ui_.state.antsCountLabel, "antsCountLabel"},
        {ui_.state.antsCountValue, "antsCountValue"},
        {ui_.state.allStepsLabel, "allStepsLabel"},
        {ui_.state.allStepsValue, "allStepsValue"},
        {ui_.state.displayModeCombo, "displayModeCombo"},
        {ui_.state.stateRefreshTimer, "stateRefreshTimer"},
        {ui_.definition.definitionGroup, "definitionGroup"},
        {ui_.definition.definitionLegend, "definitionLegend"},
        {ui_.definition.definitionTabs, "definitionTabs"},
        {ui_.definition.defineTab, "defineTab"},
        {ui_.definition.fromFileTab, "fromFileTab"},
        {ui_.definition.definitionEditor, "definitionEditor"},
        {ui_.definition.loadButton, "loadButton"},
        {ui_.definition.clearButton, "clearButton"},
        {ui_.definition.saveButton, "saveButton"},
        {ui_.definition.addDiagonalButton, "addDiagonalButton"},
        {ui_.definition.addByAxisButton, "addByAxisButton"},
        {ui_.definition.addDistanceEdit, "addDistanceEdit"},
        {ui_.definition.selectedFileLabel, "selectedFileLabel"},
        {ui_.definition.selectedFileEdit, "selectedFileEdit"},
        {ui_.definition.selectFileButton, "selectFileButton"},
        {ui_.definition.firstSixteenCheck, "firstSixteenCheck"},
        {ui_.definition.directionLabel, "directionLabel"},
        {ui_.definition.directionNumbersLegend, "directionNumbersLegend"},
        {ui_.definition.directionLettersLegend, "directionLettersLegend"},
        {ui_.definition.directionCornersLegend, "directionCornersLegend"},
        {ui_.view.viewArea, "viewArea"},
        {ui_.view.viewSurface, "viewSurface"},
        {ui_.view.viewMenu, "viewMenu"},
        {ui_.view.saveBmpAction, "saveBmpAction"},
        {ui_.view.changeBackgroundAction, "changeBackgroundAction"},
        {ui_.view.changeEyeBackgroundAction, "changeEyeBackgroundAction"},
        {ui_.view.saveWholePictureAction, "saveWholePictureAction"},
        {ui_.view.savePatternAction, "savePatternAction"},
        {ui_.view.startKeyAction, "startKeyAction"},
        {ui_.view.redrawKeyAction, "redrawKeyAction"},
        {ui_.view.eyeKeyAction, "eyeKeyAction"},
        {ui_.view.continueRunAction, "continueRunAction"},
        {ui_.view.saveWorldAction, "saveWorldAction"},
        {ui_.view.openWorldAction, "openWorldAction"},
        {ui_.navigation.navigationStrip, "navigationStrip"},
        {ui_.navigation.panUpLeftButton, "panUpLeftButton"},
        {ui_.navigation.panUpButton, "panUpButton"},
        {ui_.navigation.panUpRightButton, "panUpRightButton"},
        {ui_.navigation.panLeftButton, "panLeftButton"},
        {ui_.navigation.moveStepEdit, "moveStepEdit"},
        {ui_.navigation.panRightButton, "panRightButton"},
        {ui_.navigation.panDownLeftButton, "panDownLeftButton"},
        {ui_.navigation.panDownButton, "panDownButton"},
        {ui_.navigation.panDownRightButton, "panDownRightButton"},
        {ui_.navigation.centreButton, "centreButton"},
        {ui_.navigation.moveXLabel, "moveXLabel"},
        {ui_.navigation.moveXValue, "moveXValue"},
        {ui_.navigation.resetMoveXButton, "resetMoveXButton"},
        {ui_.navigation.moveYLabel, "moveYLabel"},
        {ui_.navigation.moveYValue, "moveYValue"},
        {ui_.navigation.resetMoveYButton, "resetMoveYButton"},
        {ui_.navigation.centreOnAntButton, "centreOnAntButton"},
        {ui_.navigation.antNumberEdit, "antNumberEdit"},
        {ui_.navigation.previousAntButton, "previousAntButton"},
        {ui_.navigation.nextAntButton, "nextAntButton"},
        {ui_.navigation.redrawViewButton, "redrawViewButton"},
        {ui_.navigation.eyeShowHideButton, "eyeShowHideButton"},
        {ui_.navigation.eyeSizeCombo, "eyeSizeCombo"},
        {ui_.eye.eyeControls, "eyeControls"},
        {ui_.eye.eyeZoomCoarseSlider, "eyeZoomCoarseSlider"},
        {ui_.eye.eyeZoomMediumSlider, "eyeZoomMediumSlider"},
        {ui_.eye.eyeZoomFineSlider, "eyeZoomFineSlider"},
        {ui_.eye.eyeZoomLabel, "eyeZoomLabel"},
        {ui_.eye.drawCentreCheck, "drawCentreCheck"},
        {ui_.eye.updateAntsInEyeCheck, "updateAntsInEyeCheck"},
        {ui_.eye.updateWhiteInEyeCheck, "updateWhiteInEyeCheck"},
        {ui_.eye.redrawEyeButton, "redrawEyeButton"},
        {ui_.eye.eyeChangedLabel, "eyeChangedLabel"},
        {ui_.eye.eyeFrame, "eyeFrame"},
        {ui_.eye.eyeSurface, "eyeSurface"},
    };
    for (const auto& [control, name] : controls) control->setObjectName(QString::fromLatin1(name));
}
