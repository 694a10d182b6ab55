// Builds the settings dialog's controls at their design positions and initial states.

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <utility>

#include "settings/AboutBoxUnit/AboutBoxUnit.h"
#include "settings/AboutBoxUnit/SettingsHost.h"
#include "settings/AboutBoxUnit/RadioGroup.h"
#include "view/FittingLabel.h"
#include "view/ImageSurface.h"

namespace {

constexpr int DialogWidth = 480;
constexpr int DialogHeight = 600;

QLabel* makeLabel(QWidget* parent, const QString& text, int x, int y, int w, int h = 16) {
    auto* label = new qm::FittingLabel(text, parent);
    label->setGeometry(x, y, w, h);
    return label;
}

QLabel* makeBoldLabel(QWidget* parent, const QString& text, int x, int y, int w) {
    QLabel* label = makeLabel(parent, text, x, y, w);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

QLabel* makeValueLabel(QWidget* parent, const QString& text, int x, int y, int w) {
    QLabel* label = makeLabel(parent, text, x, y, w);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

QLabel* makeLinkLabel(QWidget* parent, const char* address, int x, int y, int w) {
    QLabel* label = makeLabel(parent, QString::fromLatin1(address), x, y, w);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::blue);
    label->setPalette(palette);
    label->setCursor(Qt::PointingHandCursor);
    return label;
}

// A few black squares of an ant's trail on the view background.
QPixmap programIconPixmap() {
    QPixmap pixmap(32, 32);
    pixmap.fill(QColor(0xEF, 0xEF, 0xDF));
    QPainter painter(&pixmap);
    const int trail[][2] = {{2, 1}, {3, 1}, {1, 2}, {4, 2}, {1, 3}, {3, 3}, {4, 3}, {2, 4}, {3, 4}};
    for (const auto& square : trail) painter.fillRect(square[0] * 5 + 3, square[1] * 5 + 3, 5, 5, Qt::black);
    painter.fillRect(11, 14, 5, 5, Qt::red);  // the ant
    return pixmap;
}

}  // namespace

TAboutBox::TAboutBox(SettingsHost* host, Dialogs* dialogs, QWidget* parent)
    : QDialog(parent), host_(host), dialogs_(dialogs) {
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(DialogWidth, DialogHeight);
    buildHeader();
    buildLimits();
    buildMemoryChoice();
    buildAntMaximum();
    buildModeAndStates();
    buildBrakeAndTimer();
    nameControls();
    connectHandlers();
}

TAboutBox::~TAboutBox() { host_->settingsDialogGone(); }

void TAboutBox::buildHeader() {
    ProgramIcon = makeLabel(this, QString(), 10, 10, 32, 32);
    ProgramIcon->setPixmap(programIconPixmap());
    ProductName = makeLabel(this, QStringLiteral("Product Name: Quillmarch"), 52, 8, 300);
    Version = makeLabel(this, QStringLiteral("Version: 0.66"), 52, 26, 110);
    Comments = makeLabel(this, QStringLiteral("Langton's ant with many ants"), 170, 26, 300);
    Copyright = makeLabel(this, QStringLiteral("Free to use, copy and share"), 52, 44, 300);
    Label18 = makeLinkLabel(this, ProductHomePage, 52, 62, 400);
    Label17 = makeLinkLabel(this, MakerHomePage, 52, 80, 400);
    Label18->installEventFilter(this);
    Label17->installEventFilter(this);
    makeBoldLabel(this, QStringLiteral("Help:"), 10, 102, 40);
    makeLabel(this, QStringLiteral("Use context menu for save to BMP"), 52, 102, 300);
}

void TAboutBox::buildLimits() {
    makeBoldLabel(this, QStringLiteral("Limits:"), 10, 124, 60);
    makeLabel(this, QStringLiteral("Step maximum:"), 20, 142, 250);
    LabelSteps = makeValueLabel(this, QStringLiteral("0"), 280, 142, 150);
    makeLabel(this, QStringLiteral("Boundary of each axis maximum (+ -):"), 20, 160, 250);
    LabelBounds = makeValueLabel(this, QStringLiteral("0"), 280, 160, 150);
    makeLabel(this, QStringLiteral("Filled squares maximum:"), 20, 178, 250);
    LabelFilled = makeValueLabel(this, QStringLiteral("0"), 280, 178, 150);
    makeLabel(this, QStringLiteral("Fast algorithm up to (+ -): "), 20, 196, 170);
    LabelFastTo = makeValueLabel(this, QStringLiteral("0"), 190, 196, 60);
    makeLabel(this, QStringLiteral("in each axis (XY)"), 256, 196, 150);
}

void TAboutBox::buildMemoryChoice() {
    makeBoldLabel(this, QStringLiteral("Setting:"), 10, 220, 60);
    makeLabel(this, QStringLiteral("Sytem memory:"), 20, 238, 100);
    LabelMem = makeValueLabel(this, QStringLiteral("---"), 120, 238, 80);

    QStringList captions;
    for (const char* caption : qm::MemoryChoiceCaptions) captions << QString::fromLatin1(caption);
    RadioGroupMem = new qm::RadioGroup(
        QStringLiteral(" Max. size of memory block for fast algorithm (Computer with RAM)  "), captions, 2,
        this);
    RadioGroupMem->setGeometry(10, 258, 460, 96);

    CheckBoxContinue = new QCheckBox(
        QStringLiteral("On reach memory limit (for fast alghoritm) continue compute"), this);
    CheckBoxContinue->setGeometry(10, 358, 460, 20);
    CheckBoxContinue->setChecked(true);
}

void TAboutBox::buildAntMaximum() {
    makeLabel(this, QStringLiteral(" Ant maximum:"), 10, 382, 80, 20);
    RB15 = new QRadioButton(QStringLiteral("15"), this);
    RB15->setGeometry(92, 382, 45, 20);
    RB255 = new QRadioButton(QStringLiteral("255"), this);
    RB255->setGeometry(140, 382, 52, 20);
    RB65535 = new QRadioButton(QStringLiteral("65535"), this);
    RB65535->setGeometry(196, 382, 64, 20);
    // The doubled ampersand shows as one.
    RBmany = new QRadioButton(QStringLiteral("B&&W ant-hill (unlimited)"), this);
    RBmany->setGeometry(264, 382, 206, 20);
    antMaxGroup_ = new QButtonGroup(this);
    for (QRadioButton* button : {RB15, RB255, RB65535, RBmany}) antMaxGroup_->addButton(button);
    RB255->setChecked(true);

    LabelMM = makeLabel(this, QStringLiteral("unlimited"), 92, 382, 100, 20);
    LabelMM->hide();
}

void TAboutBox::buildModeAndStates() {
    Panel2 = new QFrame(this);
    Panel2->setGeometry(10, 406, 136, 46);
    RadioButtonL = new QRadioButton(QStringLiteral("Langton Ants"), Panel2);
    RadioButtonL->setGeometry(4, 2, 130, 20);
    RadioButtonG = new QRadioButton(QStringLiteral("Generalized Ants"), Panel2);
    RadioButtonG->setGeometry(4, 24, 130, 20);
    modeGroup_ = new QButtonGroup(this);
    modeGroup_->addButton(RadioButtonL);
    modeGroup_->addButton(RadioButtonG);
    RadioButtonL->setChecked(true);

    Panel3 = new QFrame(this);
    Panel3->setGeometry(146, 404, 324, 80);
    makeLabel(Panel3, QStringLiteral("States:"), 0, 4, 40);
    ComboBoxStates = new QComboBox(Panel3);
    ComboBoxStates->setGeometry(42, 0, 60, 22);
    for (int states = 2; states <= 64; ++states) ComboBoxStates->addItem(QString::number(states));
    ComboBoxStates->setCurrentIndex(0);

    RadioGroupCS = new qm::RadioGroup(QStringLiteral(" State color spectrum "),
                                      {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                                       QStringLiteral("4")},
                                      4, Panel3);
    RadioGroupCS->setGeometry(160, 0, 164, 44);
    RadioGroupCS->setItemIndex(0);  // before the handlers are connected: nothing to rebuild yet

    PaintBox1 = new qm::ImageSurface(Panel3);
    PaintBox1->setGeometry(0, 30, 153, 46);
    Panel3->hide();
}

void TAboutBox::buildBrakeAndTimer() {
    makeLabel(this, QStringLiteral("Hand brake coeficient:"), 10, 500, 130, 20);
    Edit1 = new QLineEdit(QStringLiteral("50"), this);
    Edit1->setGeometry(142, 500, 56, 20);
    Edit1->setMaxLength(5);
    makeLabel(this, QStringLiteral("(max: 42000)"), 204, 500, 100, 20);

    makeLabel(this, QStringLiteral("Update disabled state every:"), 10, 530, 170, 20);
    ComboBoxTimer = new QComboBox(this);
    ComboBoxTimer->setGeometry(182, 529, 100, 22);
    ComboBoxTimer->addItems({QStringLiteral("No update"), QStringLiteral("1 sec"), QStringLiteral("3 sec"),
                             QStringLiteral("5 sec"), QStringLiteral("10 sec"), QStringLiteral("15 sec"),
                             QStringLiteral("30 sec"), QStringLiteral("60 sec")});
    ComboBoxTimer->setCurrentIndex(3);

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setGeometry(390, 564, 80, 26);
    Button1->setDefault(true);
}

// Object names follow the member names, so controls can be found and reported by name.
void TAboutBox::nameControls() {
    const std::pair<QWidget*, const char*> controls[] = {
        {ProgramIcon, "ProgramIcon"},       {ProductName, "ProductName"},       {Version, "Version"},
        {Comments, "Comments"},             {Copyright, "Copyright"},           {Label18, "Label18"},
        {Label17, "Label17"},               {LabelSteps, "LabelSteps"},         {LabelBounds, "LabelBounds"},
        {LabelFilled, "LabelFilled"},       {LabelFastTo, "LabelFastTo"},       {LabelMem, "LabelMem"},
        {RadioGroupMem, "RadioGroupMem"},   {CheckBoxContinue, "CheckBoxContinue"}, {RB15, "RB15"},
        {RB255, "RB255"},                   {RB65535, "RB65535"},               {RBmany, "RBmany"},
        {LabelMM, "LabelMM"},               {Panel2, "Panel2"},                 {RadioButtonL, "RadioButtonL"},
        {RadioButtonG, "RadioButtonG"},     {Panel3, "Panel3"},                 {ComboBoxStates, "ComboBoxStates"},
        {RadioGroupCS, "RadioGroupCS"},     {PaintBox1, "PaintBox1"},           {Edit1, "Edit1"},
        {ComboBoxTimer, "ComboBoxTimer"},   {Button1, "Button1"}};
    for (const auto& [control, name] : controls) control->setObjectName(QString::fromLatin1(name));
}

void TAboutBox::connectHandlers() {
    connect(CheckBoxContinue, &QCheckBox::clicked, this, [this] { CheckBoxContinueClick(); });
    connect(RadioGroupMem, &qm::RadioGroup::clicked, this, [this] { RadioGroupMemClick(); });
    for (QRadioButton* button : {RB15, RB255, RB65535, RBmany, RadioButtonL, RadioButtonG})
        connect(button, &QRadioButton::clicked, this, [this] { RB15Click(); });
    connect(ComboBoxStates, &QComboBox::currentIndexChanged, this, [this] { ComboBoxStatesChange(); });
    connect(RadioGroupCS, &qm::RadioGroup::clicked, this, [this] { RadioGroupCSClick(); });
    PaintBox1->onRender = [this] { PaintBox1Paint(); };
    connect(ComboBoxTimer, &QComboBox::currentIndexChanged, this, [this] { ComboBoxTimerChange(); });
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
}
