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

#include "gui/settings/SettingsDialog.h"
#include "gui/settings/SettingsHost.h"
#include "gui/settings/RadioGroup.h"
#include "gui/view/FittingLabel.h"
#include "gui/view/ImageSurface.h"

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

SettingsDialog::SettingsDialog(SettingsHost* host, Dialogs* dialogs, QWidget* parent)
    : QDialog(parent), host_(host), settings_(host->settings()), dialogs_(dialogs) {
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
    host_->setSettingsView(this);
}

SettingsDialog::~SettingsDialog() { host_->setSettingsView(nullptr); }

void SettingsDialog::buildHeader() {
    programIcon = makeLabel(this, QString(), 10, 10, 32, 32);
    programIcon->setPixmap(programIconPixmap());
    productName = makeLabel(this, QStringLiteral("Product Name: Quillmarch"), 52, 8, 300);
    versionLabel = makeLabel(this, QStringLiteral("Version: 0.66"), 52, 26, 110);
    commentsLabel = makeLabel(this, QStringLiteral("Langton's ant with many ants"), 170, 26, 300);
    copyrightLabel = makeLabel(this, QStringLiteral("Free to use, copy and share"), 52, 44, 300);
    productHomeLink = makeLinkLabel(this, ProductHomePage, 52, 62, 400);
    makerHomeLink = makeLinkLabel(this, MakerHomePage, 52, 80, 400);
    productHomeLink->installEventFilter(this);
    makerHomeLink->installEventFilter(this);
    makeBoldLabel(this, QStringLiteral("Help:"), 10, 102, 40)->setObjectName(QStringLiteral("helpCaption"));
    makeLabel(this, QStringLiteral("Use context menu for save to BMP"), 52, 102, 300)->setObjectName(QStringLiteral("bmpHintCaption"));
}

void SettingsDialog::buildLimits() {
    makeBoldLabel(this, QStringLiteral("Limits:"), 10, 124, 60)->setObjectName(QStringLiteral("limitsCaption"));
    makeLabel(this, QStringLiteral("Step maximum:"), 20, 142, 250)->setObjectName(QStringLiteral("stepsLimitCaption"));
    stepsLimitValue = makeValueLabel(this, QStringLiteral("0"), 280, 142, 150);
    makeLabel(this, QStringLiteral("Boundary of each axis maximum (+ -):"), 20, 160, 250)->setObjectName(QStringLiteral("boundsLimitCaption"));
    boundsLimitValue = makeValueLabel(this, QStringLiteral("0"), 280, 160, 150);
    makeLabel(this, QStringLiteral("Filled squares maximum:"), 20, 178, 250)->setObjectName(QStringLiteral("filledLimitCaption"));
    filledLimitValue = makeValueLabel(this, QStringLiteral("0"), 280, 178, 150);
    makeLabel(this, QStringLiteral("Fast algorithm up to (+ -): "), 20, 196, 170)->setObjectName(QStringLiteral("fastGridLimitCaption"));
    fastGridLimitValue = makeValueLabel(this, QStringLiteral("0"), 190, 196, 60);
    makeLabel(this, QStringLiteral("in each axis (XY)"), 256, 196, 150)->setObjectName(QStringLiteral("eachAxisCaption"));
}

void SettingsDialog::buildMemoryChoice() {
    makeBoldLabel(this, QStringLiteral("Setting:"), 10, 220, 60)->setObjectName(QStringLiteral("settingCaption"));
    makeLabel(this, QStringLiteral("Sytem memory:"), 20, 238, 100)->setObjectName(QStringLiteral("memoryCaption"));
    memoryNeedValue = makeValueLabel(this, QStringLiteral("---"), 120, 238, 80);

    QStringList captions;
    for (const char* caption : qm::MemoryChoiceCaptions) captions << QString::fromLatin1(caption);
    memoryChoice = new qm::RadioGroup(
        QStringLiteral(" Max. size of memory block for fast algorithm (Computer with RAM)  "), captions, 2,
        this);
    memoryChoice->setGeometry(10, 258, 460, 96);

    continueCheck = new QCheckBox(
        QStringLiteral("On reach memory limit (for fast alghoritm) continue compute"), this);
    continueCheck->setGeometry(10, 358, 460, 20);
    continueCheck->setChecked(true);
}

void SettingsDialog::buildAntMaximum() {
    makeLabel(this, QStringLiteral(" Ant maximum:"), 10, 382, 80, 20)->setObjectName(QStringLiteral("antMaximumCaption"));
    ants15Radio = new QRadioButton(QStringLiteral("15"), this);
    ants15Radio->setGeometry(92, 382, 45, 20);
    ants255Radio = new QRadioButton(QStringLiteral("255"), this);
    ants255Radio->setGeometry(140, 382, 52, 20);
    ants65535Radio = new QRadioButton(QStringLiteral("65535"), this);
    ants65535Radio->setGeometry(196, 382, 64, 20);
    // The doubled ampersand shows as one.
    antsManyRadio = new QRadioButton(QStringLiteral("B&&W ant-hill (unlimited)"), this);
    antsManyRadio->setGeometry(264, 382, 206, 20);
    antMaxGroup_ = new QButtonGroup(this);
    for (QRadioButton* button : {ants15Radio, ants255Radio, ants65535Radio, antsManyRadio}) antMaxGroup_->addButton(button);
    ants255Radio->setChecked(true);

    unlimitedLabel = makeLabel(this, QStringLiteral("unlimited"), 92, 382, 100, 20);
    unlimitedLabel->hide();
}

void SettingsDialog::buildModeAndStates() {
    antMaximumPanel = new QFrame(this);
    antMaximumPanel->setGeometry(10, 406, 136, 46);
    langtonRadio = new QRadioButton(QStringLiteral("Langton Ants"), antMaximumPanel);
    langtonRadio->setGeometry(4, 2, 130, 20);
    generalizedRadio = new QRadioButton(QStringLiteral("Generalized Ants"), antMaximumPanel);
    generalizedRadio->setGeometry(4, 24, 130, 20);
    modeGroup_ = new QButtonGroup(this);
    modeGroup_->addButton(langtonRadio);
    modeGroup_->addButton(generalizedRadio);
    langtonRadio->setChecked(true);

    antKindPanel = new QFrame(this);
    antKindPanel->setGeometry(146, 404, 324, 80);
    makeLabel(antKindPanel, QStringLiteral("States:"), 0, 4, 40)->setObjectName(QStringLiteral("statesCaption"));
    statesCombo = new QComboBox(antKindPanel);
    statesCombo->setGeometry(42, 0, 60, 22);
    for (int states = 2; states <= 64; ++states) statesCombo->addItem(QString::number(states));
    statesCombo->setCurrentIndex(0);

    spectrumChoice = new qm::RadioGroup(QStringLiteral(" State color spectrum "),
                                      {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                                       QStringLiteral("4")},
                                      4, antKindPanel);
    spectrumChoice->setGeometry(160, 0, 164, 44);
    spectrumChoice->setItemIndex(0);  // before the handlers are connected: nothing to rebuild yet

    spectrumPreview = new qm::ImageSurface(antKindPanel);
    spectrumPreview->setGeometry(0, 30, 153, 46);
    antKindPanel->hide();
}

void SettingsDialog::buildBrakeAndTimer() {
    makeLabel(this, QStringLiteral("Hand brake coeficient:"), 10, 500, 130, 20)->setObjectName(QStringLiteral("handBrakeCoefficientCaption"));
    handBrakeCoefficientEdit = new QLineEdit(QStringLiteral("50"), this);
    handBrakeCoefficientEdit->setGeometry(142, 500, 56, 20);
    handBrakeCoefficientEdit->setMaxLength(5);
    makeLabel(this, QStringLiteral("(max: 42000)"), 204, 500, 100, 20)->setObjectName(QStringLiteral("handBrakeMaximumCaption"));

    makeLabel(this, QStringLiteral("Update disabled state every:"), 10, 530, 170, 20)->setObjectName(QStringLiteral("refreshPeriodCaption"));
    refreshPeriodCombo = new QComboBox(this);
    refreshPeriodCombo->setGeometry(182, 529, 100, 22);
    refreshPeriodCombo->addItems({QStringLiteral("No update"), QStringLiteral("1 sec"), QStringLiteral("3 sec"),
                             QStringLiteral("5 sec"), QStringLiteral("10 sec"), QStringLiteral("15 sec"),
                             QStringLiteral("30 sec"), QStringLiteral("60 sec")});
    refreshPeriodCombo->setCurrentIndex(3);

    okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setGeometry(390, 564, 80, 26);
    okButton->setDefault(true);
}

// Object names follow the member names, so controls can be found and reported by name.
void SettingsDialog::nameControls() {
    const std::pair<QWidget*, const char*> controls[] = {
        {programIcon, "programIcon"},       {productName, "productName"},       {versionLabel, "versionLabel"},
        {commentsLabel, "commentsLabel"},             {copyrightLabel, "copyrightLabel"},           {productHomeLink, "productHomeLink"},
        {makerHomeLink, "makerHomeLink"},               {stepsLimitValue, "stepsLimitValue"},         {boundsLimitValue, "boundsLimitValue"},
        {filledLimitValue, "filledLimitValue"},       {fastGridLimitValue, "fastGridLimitValue"},       {memoryNeedValue, "memoryNeedValue"},
        {memoryChoice, "memoryChoice"},   {continueCheck, "continueCheck"}, {ants15Radio, "ants15Radio"},
        {ants255Radio, "ants255Radio"},                   {ants65535Radio, "ants65535Radio"},               {antsManyRadio, "antsManyRadio"},
        {unlimitedLabel, "unlimitedLabel"},               {antMaximumPanel, "antMaximumPanel"},                 {langtonRadio, "langtonRadio"},
        {generalizedRadio, "generalizedRadio"},     {antKindPanel, "antKindPanel"},                 {statesCombo, "statesCombo"},
        {spectrumChoice, "spectrumChoice"},     {spectrumPreview, "spectrumPreview"},           {handBrakeCoefficientEdit, "handBrakeCoefficientEdit"},
        {refreshPeriodCombo, "refreshPeriodCombo"},   {okButton, "okButton"}};
    for (const auto& [control, name] : controls) control->setObjectName(QString::fromLatin1(name));
}

void SettingsDialog::connectHandlers() {
    connect(continueCheck, &QCheckBox::clicked, this, [this] { continueToggled(); });
    connect(memoryChoice, &qm::RadioGroup::clicked, this, [this] { memoryChoiceClicked(); });
    for (QRadioButton* button : {ants15Radio, ants255Radio, ants65535Radio, antsManyRadio, langtonRadio, generalizedRadio})
        connect(button, &QRadioButton::clicked, this, [this] { modeChanged(); });
    connect(statesCombo, &QComboBox::currentIndexChanged, this, [this] { statesChanged(); });
    connect(spectrumChoice, &qm::RadioGroup::clicked, this, [this] { spectrumChanged(); });
    spectrumPreview->onRender = [this] { paintSpectrum(); };
    connect(refreshPeriodCombo, &QComboBox::currentIndexChanged, this, [this] { refreshPeriodChanged(); });
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
}
