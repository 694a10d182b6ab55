// Builds the main window's controls at their design positions, with their captions, items,
// initial values, ranges, hints and fonts, and keeps the anchored ones in place on resize.

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

#include "app/MainForm/MainForm.h"
#include "view/FittingLabel.h"
#include "view/ImageSurface.h"

namespace {

constexpr int ControlGroupHeight = 78;
constexpr int VisualisationGroupHeight = 84;
constexpr int StateGroupHeight = 175;
constexpr int DefinitionGroupTop = ControlGroupHeight + VisualisationGroupHeight + StateGroupHeight;
constexpr int InitialViewWidth = TForm1::InitialClientWidth - TForm1::LeftColumnWidth;
constexpr int InitialViewHeight = TForm1::InitialClientHeight - TForm1::BottomStripHeight;
constexpr int LegendBlockHeight = 64;  // CheckBox1, "Direction:" and the three legend lines

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

void TForm1::buildControls() {
    setWindowTitle(QStringLiteral("Quillmarch"));
    setBackground(this, Qt::white);
    applyFonts();

    // The left column has the face colour of the controls, so the group frames show on it.
    Panel1 = new QWidget(this);
    setBackground(Panel1, palette().color(QPalette::Button));
    buildControlGroup();
    buildVisualisationGroup();
    buildStateGroup();
    buildDefinitionGroup();
    buildViewArea();
    buildNavigationStrip();
    buildEyeControls();
    buildPopupMenu();

    Timer1 = new QTimer(this);
    Timer1->setInterval(5000);

    Button1->setFocus();
    setMinimumSize(MinimumClientWidth, MinimumClientHeight);
    resize(InitialClientWidth, InitialClientHeight);
    layoutAnchoredControls();
}

void TForm1::applyFonts() { setFont(fontOf(SansSerifFamilies, 11)); }

void TForm1::buildControlGroup() {
    GroupBox1 = new QGroupBox(QStringLiteral(" Control "), Panel1);
    Button1 = makeButton(GroupBox1, StartCaption, 6, 16, 72, 24);
    Button1->setFont(fontOf(SansSerifFamilies, 11, true));
    Button6 = makeButton(GroupBox1, QStringLiteral("Setting"), 83, 16, 72, 24);
    Label1 = makeLabel(GroupBox1, QStringLiteral("Max steps:"), 6, 46, 54);
    Edit1 = makeEdit(GroupBox1, QStringLiteral("2147483645"), 61, 43, 94, 19);
    Edit1->setMaxLength(19);
    Button9 = makeButton(GroupBox1, QStringLiteral("^^^ almost unlimited ^^^"), 6, 63, 149, 13);
    Button9->setFont(fontOf(SmallFontFamilies, 9));
    Button9->setStyleSheet(QStringLiteral("QPushButton { padding: 0px; }"));
}

void TForm1::buildVisualisationGroup() {
    GroupBox4 = new QGroupBox(QStringLiteral(" Visualisation "), Panel1);
    Label11 = makeLabel(GroupBox4, QStringLiteral("Ant square size:"), 6, 19, 90);
    ComboBoxSize = makeDropDown(GroupBox4, {"0", "1", "2", "4", "6", "8"}, 100, 15, 55);
    Label10 = makeLabel(GroupBox4, QStringLiteral("Hand break"), 6, 42, 80);
    Label19 = makeLabel(GroupBox4, QStringLiteral("stop ^"), 90, 42, 65);
    Label19->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QPalette linkPalette = Label19->palette();
    linkPalette.setColor(QPalette::WindowText, Qt::blue);
    Label19->setPalette(linkPalette);
    Label19->setCursor(Qt::PointingHandCursor);
    Label19->installEventFilter(this);
    TrackBarSpeed = makeTrackBar(GroupBox4, 0, 100, 10);
    TrackBarSpeed->setPageStep(10);
    TrackBarSpeed->setValue(0);
    TrackBarSpeed->setGeometry(3, 56, 155, 24);
}

void TForm1::buildStateGroup() {
    GroupBox2 = new QGroupBox(QStringLiteral(" State "), Panel1);
    QWidget* g = GroupBox2;
    Label20 = makeLabel(g, QStringLiteral("X"), 36, 14, 58);
    Label20->setAlignment(Qt::AlignCenter);
    Label21 = makeLabel(g, QStringLiteral("Y"), 97, 14, 58);
    Label21->setAlignment(Qt::AlignCenter);
    Label13 = makeLabel(g, QStringLiteral("Min:"), 6, 27, 30);
    StaticTextMinX = makeStatic(g, QStringLiteral("0"), 36, 27, 58);
    StaticTextMinY = makeStatic(g, QStringLiteral("0"), 97, 27, 58);
    Label2 = makeLabel(g, QStringLiteral("Max:"), 6, 41, 30);
    StaticTextMaxX = makeStatic(g, QStringLiteral("0"), 36, 41, 58);
    StaticTextMaxY = makeStatic(g, QStringLiteral("0"), 97, 41, 58);
    Label4 = makeLabel(g, QStringLiteral("Filled:"), 6, 58, 62);
    StaticTextCNTDB = makeStatic(g, QStringLiteral("0"), 70, 58, 85);
    Label9 = makeLabel(g, QString::fromLatin1(qm::Label9Langton), 6, 72, 62);
    Label9->setToolTip(QString::fromLatin1(qm::Label9LangtonHint));
    StaticTextMaxCNTDB = makeStatic(g, QStringLiteral("0"), 70, 72, 85);
    Label5 = makeLabel(g, QStringLiteral("Step:"), 6, 86, 62);
    StaticTextStep = makeStatic(g, QStringLiteral("0"), 70, 86, 85);
    Label6 = makeLabel(g, QStringLiteral("Computing time:"), 6, 100, 84);
    StaticTextTime = makeStatic(g, QStringLiteral("0:00:00"), 90, 100, 65);
    Label24 = makeLabel(g, QStringLiteral("Ants count:"), 6, 114, 62);
    STAntsCnt = makeStatic(g, QStringLiteral("0"), 70, 114, 85);
    LabelAll = makeLabel(g, QStringLiteral("All steps::"), 6, 128, 62);
    StaticAll = makeStatic(g, QStringLiteral("0"), 70, 128, 85);
    CBShow = makeDropDown(g,
                          {"Hide state numbers (fastest)", "Show grahhics state only",
                           "Show text state only (slow)", "Show state both (slowest)"},
                          4, 148, 153);
}

void TForm1::buildDefinitionGroup() {
    GroupBox3 = new QGroupBox(QStringLiteral(" Definition "), Panel1);
    Label12 = makeLabel(GroupBox3, definitionLegendCaption(false), 4, 14, 153);
    Label12->setAlignment(Qt::AlignCenter);
    Label12->setToolTip(definitionLegendHint(false, 0));

    PageControl1 = new QTabWidget(GroupBox3);
    TabSheet1 = new QWidget;
    TabSheet2 = new QWidget;
    PageControl1->addTab(TabSheet1, QStringLiteral("Define"));
    PageControl1->addTab(TabSheet2, QStringLiteral("From file"));
    PageControl1->setCurrentIndex(0);
    TabSheet1->installEventFilter(this);
    TabSheet2->installEventFilter(this);  // a hidden page gets its size only when it is shown

    Memo1 = new QPlainTextEdit(TabSheet1);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setMaximumBlockCount(0);
    Memo1->setUndoRedoEnabled(true);  // setting the block count above switched undo off
    Memo1->setPlainText(QStringLiteral("0,0,1"));
    Button3 = makeButton(TabSheet1, QStringLiteral("Load"), 0, 0, 48, 20);
    Button8 = makeButton(TabSheet1, QStringLiteral("Clear"), 0, 0, 48, 20);
    Button4 = makeButton(TabSheet1, QStringLiteral("Save"), 0, 0, 48, 20);
    Button2 = makeButton(TabSheet1, QStringLiteral("Add 4 diagonal"), 0, 0, 98, 20);
    Button5 = makeButton(TabSheet1, QStringLiteral("Add 4 by axis"), 0, 0, 98, 20);
    Edit2 = makeEdit(TabSheet1, QStringLiteral("25"), 0, 0, 40);

    Label16 = makeLabel(TabSheet2, QStringLiteral("Selected file:"), 2, 4, 140);
    EditFile = makeEdit(TabSheet2, QString(), 0, 20, 147);
    Button10 = makeButton(TabSheet2, QStringLiteral("Select file"), 0, 44, 147, 22);

    CheckBox1 = new QCheckBox(QStringLiteral("First 16 - diferent color"), GroupBox3);
    CheckBox1->setChecked(true);
    CheckBox1->setToolTip(QStringLiteral("First 10 - diferent color if color not defined"));
    Label14 = makeLabel(GroupBox3, QStringLiteral("Direction:"), 0, 0, 150);
    Label17 = makeLabel(GroupBox3, QStringLiteral("1=X+ 2=Y- 3=X- 4=Y+"), 0, 0, 150);
    Label17->setFont(fontOf(CourierNewFamilies, 11));
    Label17->setToolTip(QStringLiteral("1=Right,  3=Left,  4=Top,  2=Bottom"));
    Label18 = makeLabel(GroupBox3, QStringLiteral("R=X+ B=Y- L=X- T=Y+"), 0, 0, 150);
    Label18->setFont(fontOf(CourierNewFamilies, 11));
    Label18->setToolTip(QStringLiteral("R=Right,  L=Left,  T=Top,  B=Bottom"));
    Label22 = makeLabel(GroupBox3, QStringLiteral("LB=X+ LT=Y- RT=X- RB=Y+"), 0, 0, 150);
    Label22->setFont(fontOf(ArialFamilies, 11));
    Label22->setToolTip(QStringLiteral(
        "Direction of Ant Higway: LB=To Left Bootom, LT=To Left Top, RT=To Right Top,  RB=To Right Bottom"));
}

void TForm1::buildViewArea() {
    Panel4 = new QWidget(this);
    setBackground(Panel4, qColourOf(viewBackground));
    PaintBox1 = new qm::ImageSurface(Panel4);
    PaintBox1->setFont(fontOf(CourierFamilies, 13));
    PaintBox1->setGeometry(0, 0, InitialViewWidth, InitialViewHeight);
}

void TForm1::buildNavigationStrip() {
    Panel5 = new QWidget(Panel4);
    setBackground(Panel5, palette().color(QPalette::Button));
    QWidget* p = Panel5;
    SpeedButton8 = makeFlatButton(p, QString(), 4, 4, 28, 22);
    SpeedButton8->setIcon(diagonalArrow(-1, -1));
    SpeedButton3 = makeFlatButton(p, QStringLiteral("^^^"), 34, 4, 50, 22);
    SpeedButton10 = makeFlatButton(p, QString(), 86, 4, 28, 22);
    SpeedButton10->setIcon(diagonalArrow(1, -1));
    SpeedButton2 = makeFlatButton(p, QStringLiteral("<<"), 4, 28, 28, 22);
    EditMove = makeEdit(p, QStringLiteral("200"), 34, 29, 50, 20);
    SpeedButton1 = makeFlatButton(p, QStringLiteral(">>"), 86, 28, 28, 22);
    SpeedButton9 = makeFlatButton(p, QString(), 4, 52, 28, 22);
    SpeedButton9->setIcon(diagonalArrow(-1, 1));
    SpeedButton4 = makeFlatButton(p, QStringLiteral("vvv"), 34, 52, 50, 22);
    SpeedButton11 = makeFlatButton(p, QString(), 86, 52, 28, 22);
    SpeedButton11->setIcon(diagonalArrow(1, 1));
    SpeedButton7 = makeFlatButton(p, QStringLiteral("Center"), 4, 80, 110, 22);

    Label25 = makeLabel(p, QStringLiteral("Move X:"), 122, 8, 42);
    LabelMX = makeStatic(p, QStringLiteral("0"), 164, 8, 56);
    SpeedButton5 = makeFlatButton(p, QStringLiteral("0"), 224, 4, 22, 20);
    Label26 = makeLabel(p, QStringLiteral("Move Y:"), 122, 32, 42);
    LabelMY = makeStatic(p, QStringLiteral("0"), 164, 32, 56);
    SpeedButton6 = makeFlatButton(p, QStringLiteral("0"), 224, 28, 22, 20);
    Button11 = makeButton(p, QStringLiteral("Center to Ant:"), 120, 54, 84, 22);
    AntNum = makeEdit(p, QStringLiteral("1"), 206, 55, 40, 20);
    Button12 = makeButton(p, QStringLiteral("<<<<"), 120, 80, 62, 22);
    Button13 = makeButton(p, QStringLiteral(">>>>"), 184, 80, 62, 22);

    Button14 = makeButton(p, QStringLiteral("Redraw"), 252, 4, 44, 20);
    Button7 = makeButton(p, QStringLiteral("Eye S/H"), 252, 28, 44, 22);
    CFlaconSize = makeDropDown(p, {"1", "2/3", "1/2", "1/3", "1/4", "1/5", "1/6"}, 252, 54, 44, 22);
}

void TForm1::buildEyeControls() {
    PanelMEye = new QFrame(Panel5);
    PanelMEye->setFrameShape(QFrame::NoFrame);
    PanelMEye->hide();
    PanelMEye->installEventFilter(this);
    EyeTrackBar1 = makeTrackBar(PanelMEye, 1, 100, 10);
    EyeTrackBar2 = makeTrackBar(PanelMEye, 1, 150, 10);
    EyeTrackBar3 = makeTrackBar(PanelMEye, 1, 250, 25);
    // Their maxima reach the thousands; ticks would only blur into a line.
    for (QSlider* bar : {EyeTrackBar1, EyeTrackBar2, EyeTrackBar3}) bar->setTickPosition(QSlider::NoTicks);
    Redraw = makeButton(PanelMEye, QStringLiteral("Redraw Eye"), 0, 0, 86, 22);
    PanelRun = makeLabel(PanelMEye, QStringLiteral("Changed  "), 0, 0, 86, 18);
    PanelRun->setAlignment(Qt::AlignCenter);
    setBackground(PanelRun, Qt::red);
    LabelEyeZoom = new qm::FittingLabel(QStringLiteral("Zoom: 1x"), PanelMEye);
    LabelEyeZoom->setAlignment(Qt::AlignCenter);
    CheckBox2 = new QCheckBox(QStringLiteral("Draw Center"), PanelMEye);
    CheckBox2->setChecked(true);
    CheckBox3 = new QCheckBox(QStringLiteral("Update ants in eye window"), PanelMEye);
    CheckBox3->setChecked(true);
    CheckBox4 = new QCheckBox(QStringLiteral("Update 'white' too"), PanelMEye);
    CheckBox4->setChecked(false);
    PanelMEye->setGeometry(InitialViewWidth - InitialViewWidth / 2, 0, InitialViewWidth / 2, BottomStripHeight);

    PanelFalconEye = new QFrame(Panel4);
    setBackground(PanelFalconEye, qColourOf(qm::EyeFrameColour));
    PanelFalconEye->hide();
    PanelFalconEye->installEventFilter(this);
    PaintBoxEye = new qm::ImageSurface(PanelFalconEye);
    PaintBoxEye->setSpareEdge(true);  // where the per-move operations send what they must not draw
    // The eye's image covers its panel whole. Marked opaque, the two would cut the main view's
    // region into pieces at every frame, which Qt draws through a clipped path at twice the cost
    // of the plain copy; unmarked, the main view is copied whole and the eye over it.
    PanelFalconEye->setAutoFillBackground(false);
    PaintBoxEye->setAttribute(Qt::WA_OpaquePaintEvent, false);
    PanelFalconEye->setGeometry(InitialViewWidth - 300, InitialViewHeight - 300, 300, 300);
    PaintBoxEye->setGeometry(0, 0, 300, 300);
}

void TForm1::buildPopupMenu() {
    PopupMenu2 = new QMenu(this);
    SavetoBMP1 = PopupMenu2->addAction(QStringLiteral("Save to BMP (Should be slow)"));
    Changebackgroundcolor1 = PopupMenu2->addAction(QStringLiteral("Change background color"));
    Changeeyebackgroundcolor1 = PopupMenu2->addAction(QStringLiteral("Change eye background color"));
    PopupMenu2->addSeparator();
    ContinueRun1 = PopupMenu2->addAction(QStringLiteral("Continue run"));
    SaveWorld1 = PopupMenu2->addAction(QStringLiteral("Save world..."));
    OpenWorld1 = PopupMenu2->addAction(QStringLiteral("Open world..."));
    const std::pair<QAction*, QKeySequence> keys[] = {
        {ContinueRun1, QKeySequence(Qt::Key_F5)},
        {SaveWorld1, QKeySequence(Qt::CTRL | Qt::Key_S)},
        {OpenWorld1, QKeySequence(Qt::CTRL | Qt::Key_O)}};
    for (const auto& [action, key] : keys) {
        action->setShortcut(key);
        action->setShortcutVisibleInContextMenu(true);
        addAction(action);  // the keys work with the menu closed, anywhere in the window
    }
}

void TForm1::layoutAnchoredControls() {
    const int w = width();
    const int h = height();
    Panel1->setGeometry(0, 0, LeftColumnWidth, h);
    GroupBox1->setGeometry(0, 0, LeftColumnWidth, ControlGroupHeight);
    GroupBox4->setGeometry(0, ControlGroupHeight, LeftColumnWidth, VisualisationGroupHeight);
    GroupBox2->setGeometry(0, ControlGroupHeight + VisualisationGroupHeight, LeftColumnWidth, StateGroupHeight);
    GroupBox3->setGeometry(0, DefinitionGroupTop, LeftColumnWidth, std::max(h - DefinitionGroupTop, 0));
    layoutDefinitionGroup();

    const int viewWidth = std::max(w - LeftColumnWidth, 0);
    Panel4->setGeometry(LeftColumnWidth, 0, viewWidth, h);
    PaintBox1->setGeometry(0, 0, viewWidth, std::max(h - BottomStripHeight, 0));
    Panel5->setGeometry(0, std::max(h - BottomStripHeight, 0), viewWidth, BottomStripHeight);
}

void TForm1::layoutDefinitionGroup() {
    const int gh = GroupBox3->height();
    const int legendTop = std::max(gh - 4 - LegendBlockHeight, 28);
    PageControl1->setGeometry(3, 28, 155, std::max(legendTop - 30, 0));
    CheckBox1->setGeometry(6, legendTop, 150, 16);
    Label14->setGeometry(6, legendTop + 16, 150, 12);
    Label17->setGeometry(6, legendTop + 28, 150, 12);
    Label18->setGeometry(6, legendTop + 40, 150, 12);
    Label22->setGeometry(6, legendTop + 52, 150, 12);
}

// The "Define" page: the editor takes what the two rows of buttons leave.
static void layoutDefinePage(TForm1& f) {
    const int pw = f.TabSheet1->width();
    const int ph = f.TabSheet1->height();
    f.Memo1->setGeometry(0, 0, pw, std::max(ph - 59, 0));
    f.Button3->setGeometry(0, ph - 58, 48, 19);
    f.Button8->setGeometry(50, ph - 58, 48, 19);
    f.Button4->setGeometry(100, ph - 58, std::max(pw - 100, 0), 19);
    f.Button2->setGeometry(0, ph - 38, 98, 19);
    f.Button5->setGeometry(0, ph - 19, 98, 19);
    f.Edit2->setGeometry(101, ph - 29, std::max(pw - 101, 0), 20);
    f.EditFile->setGeometry(0, 20, f.TabSheet2->width(), 20);
    f.Button10->setGeometry(0, 44, f.TabSheet2->width(), 22);
}

void TForm1::layoutEyeControls() {
    const int w = PanelMEye->width();
    const int barWidth = std::max(w - 96, 0);
    EyeTrackBar1->setGeometry(2, 2, barWidth, 22);
    EyeTrackBar2->setGeometry(2, 24, barWidth, 22);
    EyeTrackBar3->setGeometry(2, 46, barWidth, 22);
    Redraw->setGeometry(w - 90, 4, 86, 22);
    PanelRun->setGeometry(w - 90, 30, 86, 18);
    LabelEyeZoom->setGeometry(w - 90, 52, 86, 13);
    CheckBox3->setGeometry(4, 72, 180, 17);
    CheckBox4->setGeometry(18, 90, 160, 17);
    CheckBox2->setGeometry(w - 96, 72, 92, 17);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) {
        if (watched == TabSheet1 || watched == TabSheet2) layoutDefinePage(*this);
        else if (watched == PanelMEye) layoutEyeControls();
        else if (watched == PanelFalconEye) PaintBoxEye->setGeometry(PanelFalconEye->rect());
    } else if (watched == Label19 && pauseLinkClick_.completes(Label19, event)) {
        Label19Click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
