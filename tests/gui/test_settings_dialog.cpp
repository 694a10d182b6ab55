// The settings dialog against a fake main window: mode changes, the ant-array fallback, the
// hand brake coefficient, the refresh timer, the state colour preview, memory choices and limits.

#include <array>
#include <cstdlib>
#include <functional>
#include <memory>

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "FakeDialogs.h"
#include "core/Platform.h"
#include "core/RunSetup.h"
#include "gui/settings/SettingsDialog.h"
#include "core/MemoryBudget.h"
#include "gui/settings/RadioGroup.h"
#include "gui/settings/SettingsHost.h"
#include "display/Colours.h"
#include "gui/view/ImageSurface.h"

namespace {

class FakeSettingsHost final : public SettingsHost {
public:
    qm::RunSettings& settings() override { return settings_; }
    qm::World& world() override { return world_; }
    void releaseRunStructures() override { ++releases; }
    void setGeneralizedUi(bool generalized, int states) override {
        generalizedUi = generalized;
        uiStates = states;
    }
    void setPeakLabel(const QString& caption, const QString& hint) override {
        peakCaption = caption;
        peakHint = hint;
    }
    void reselectPainters() override { ++painterSelections; }
    void applyHandBrake() override { ++handBrakeApplications; }
    qm::StateColourTable& stateColours() override { return colours; }
    qm::ColourRef viewBackground() override { return background; }
    void setHalfSizes(const std::array<int32_t, qm::MemoryChoiceCount>& sizes) override { halfSizes = sizes; }
    bool continuePossible() override { return continueAllowed; }
    bool runActive() override { return running; }
    bool stateNumbersDisabled() override { return numbersHidden; }
    QTimer* stateTimer() override { return &timer; }

    qm::RunSettings settings_;
    qm::World world_;
    qm::StateColourTable colours{};
    qm::ColourRef background = qm::DefaultViewBackground;
    QTimer timer;
    std::array<int32_t, qm::MemoryChoiceCount> halfSizes{};
    bool continueAllowed = true;
    bool running = false;
    bool numbersHidden = false;
    bool generalizedUi = false;
    int uiStates = -1;
    QString peakCaption = QStringLiteral("unchanged");
    QString peakHint = QStringLiteral("unchanged");
    int releases = 0;
    int painterSelections = 0;
    int handBrakeApplications = 0;
};

class FixedMemory final : public qm::MemoryStatusSource {
public:
    qm::MemoryStatus query() override { return status; }
    qm::MemoryStatus status;
};

// malloc and free, refusing every block above a size.
class CappedAllocator final : public qm::Allocator {
public:
    void* allocate(std::size_t bytes) override { return bytes > cap ? nullptr : std::malloc(bytes); }
    void* reallocate(void* block, std::size_t bytes) override {
        return bytes > cap ? nullptr : std::realloc(block, bytes);
    }
    void release(void* block) override { std::free(block); }
    std::size_t cap = 0;
};

qm::MemoryStatus mib(uint64_t total, uint64_t available) {
    return {static_cast<uint32_t>(total * qm::MiB), static_cast<uint32_t>(available * qm::MiB)};
}

QString text(const QLabel* label) { return label->text(); }

class SettingsDialogTest : public ::testing::Test {
protected:
    void TearDown() override {
        box.reset();
        host.world_.releaseAll();
        qm::setAllocator(nullptr);
        qm::setMemoryStatusSource(nullptr);
    }

    // Creates the dialog and applies what the main window's first activation asks of it.
    void activate(qm::MemoryStatus status = mib(64, 40)) {
        memory.status = status;
        qm::setMemoryStatusSource(&memory);
        box = std::make_unique<SettingsDialog>(&host, &dialogs);
        box->memoryChoice->setItemIndex(1);
        box->fitMemoryChoices();
        qm::allocateIndexedAntArrays(host.world_, 255);
        box->computeHalfSizes();
        box->memoryChoiceChanged();
        box->clearWarningGuard();
        box->show();
        QCoreApplication::processEvents();
    }

    void click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    bool allAntMaximumsHidden() const {
        return box->ants15Radio->isHidden() && box->ants255Radio->isHidden() && box->ants65535Radio->isHidden() &&
               box->antsManyRadio->isHidden();
    }
    bool anyAntMaximumHidden() const {
        return box->ants15Radio->isHidden() || box->ants255Radio->isHidden() || box->ants65535Radio->isHidden() ||
               box->antsManyRadio->isHidden();
    }

    FakeSettingsHost host;
    FakeDialogs dialogs;
    FixedMemory memory;
    CappedAllocator allocator;
    std::unique_ptr<SettingsDialog> box;
};

// --- Mode change ---

TEST_F(SettingsDialogTest, GeneralizedAntsForceThe255LayoutAndShowTheStatesPanel) {
    activate();
    click(box->ants15Radio);
    ASSERT_EQ(host.world_.antMax, 15);
    const int releasesBefore = host.releases;

    click(box->generalizedRadio);

    EXPECT_TRUE(box->ants255Radio->isChecked());
    EXPECT_TRUE(allAntMaximumsHidden());
    EXPECT_FALSE(box->unlimitedLabel->isHidden());
    EXPECT_EQ(text(box->unlimitedLabel), "unlimited");
    EXPECT_FALSE(box->antKindPanel->isHidden());
    EXPECT_FALSE(box->ants15Radio->isEnabled());
    EXPECT_FALSE(box->ants65535Radio->isEnabled());
    EXPECT_FALSE(box->antsManyRadio->isEnabled());
    EXPECT_EQ(host.world_.antMax, 65535);
    EXPECT_EQ(host.world_.antMaxMode, qm::AntMaxMode::Ants255);
    EXPECT_TRUE(host.world_.generalized);
    EXPECT_EQ(host.world_.states, 2);
    EXPECT_EQ(host.world_.antPosCapacity, 65535);
    EXPECT_TRUE(host.generalizedUi);
    EXPECT_EQ(host.uiStates, 2);
    EXPECT_GT(host.releases, releasesBefore);
    EXPECT_EQ(host.halfSizes[1], 2507);  // generalized squares are one byte, like 255 ants

    click(box->langtonRadio);

    EXPECT_TRUE(box->ants255Radio->isChecked());
    EXPECT_FALSE(anyAntMaximumHidden());
    EXPECT_TRUE(box->ants15Radio->isEnabled());
    EXPECT_TRUE(box->antsManyRadio->isEnabled());
    EXPECT_TRUE(box->unlimitedLabel->isHidden());
    EXPECT_TRUE(box->antKindPanel->isHidden());
    EXPECT_EQ(host.world_.antMax, 255);
    EXPECT_FALSE(host.world_.generalized);
    EXPECT_FALSE(host.generalizedUi);
}

TEST_F(SettingsDialogTest, AntMaximumButtonsSetModeAndReselectPainters) {
    activate();
    const int selections = host.painterSelections;
    click(box->ants65535Radio);
    EXPECT_EQ(host.world_.antMaxMode, qm::AntMaxMode::Ants65535);
    EXPECT_EQ(host.world_.antMax, 65535);
    click(box->antsManyRadio);
    EXPECT_EQ(host.world_.antMaxMode, qm::AntMaxMode::BlackWhite);
    EXPECT_EQ(host.world_.antMax, 15);
    click(box->ants15Radio);
    EXPECT_EQ(host.world_.antMaxMode, qm::AntMaxMode::Ants15);
    EXPECT_EQ(host.world_.antPosCapacity, 15);
    EXPECT_EQ(host.painterSelections, selections + 3);
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(SettingsDialogTest, ClickingTheCheckedButtonChangesAndReleasesNothing) {
    activate();
    const int releases = host.releases;
    const int selections = host.painterSelections;
    uint8_t* const positions = reinterpret_cast<uint8_t*>(host.world_.antPos);
    click(box->ants255Radio);
    click(box->langtonRadio);
    EXPECT_EQ(host.releases, releases);
    EXPECT_EQ(host.painterSelections, selections);
    EXPECT_EQ(reinterpret_cast<uint8_t*>(host.world_.antPos), positions);
    click(box->generalizedRadio);
    click(box->generalizedRadio);
    click(box->ants255Radio);  // hidden in generalized mode, but still the checked one
    EXPECT_EQ(host.releases, releases + 1);
    click(box->langtonRadio);
    click(box->antsManyRadio);
    click(box->antsManyRadio);
    EXPECT_EQ(host.releases, releases + 3);
    EXPECT_EQ(host.world_.antMaxMode, qm::AntMaxMode::BlackWhite);
}

TEST_F(SettingsDialogTest, PeakLabelFollowsTheModeOnlyWhenContinuing) {
    activate();
    ASSERT_TRUE(box->continueCheck->isChecked());
    click(box->generalizedRadio);
    EXPECT_EQ(host.peakCaption, "  State ch.:");
    EXPECT_EQ(host.peakHint, "All states for one square.");
    click(box->langtonRadio);
    EXPECT_EQ(host.peakCaption, "Max filled:");
    EXPECT_EQ(host.peakHint, "Max filled squares");

    click(box->continueCheck);  // off
    host.peakCaption = QStringLiteral("kept");
    click(box->generalizedRadio);
    EXPECT_EQ(host.peakCaption, "kept");
}

TEST_F(SettingsDialogTest, DefinitionLegendTextsPerMode) {
    EXPECT_EQ(definitionLegendCaption(false), "X,Y,direction,RRGGBB (hex)");
    EXPECT_EQ(definitionLegendHint(false, 5), "X,Y,direction,color");
    EXPECT_EQ(definitionLegendCaption(true), "X,Y,dir.,prg.(Dec | 0xHex | BxBin)");
    EXPECT_EQ(definitionLegendHint(true, 5), "X,Y,direction,program 1(0) - 2^5");
}

// --- Ant arrays that cannot be obtained ---

TEST_F(SettingsDialogTest, AntMaximumFallsBackTo15WhenArraysCannotBeObtained) {
    activate();
    allocator.cap = 255 * 8;  // 65535 positions do not fit, 15 do
    qm::setAllocator(&allocator);

    click(box->ants65535Radio);

    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, "ERROR: not enought memory.");
    EXPECT_EQ(dialogs.boxes[0].type, qm::BoxType::Error);
    EXPECT_EQ(dialogs.boxes[0].buttons, qm::BoxButtons::Ok);
    EXPECT_TRUE(box->ants15Radio->isChecked());
    EXPECT_EQ(host.world_.antMaxMode, qm::AntMaxMode::Ants15);
    EXPECT_EQ(host.world_.antMax, 15);
    EXPECT_NE(host.world_.antPos, nullptr);
    EXPECT_NE(host.world_.antColour, nullptr);
    EXPECT_EQ(host.world_.antPosCapacity, 15);
}

TEST_F(SettingsDialogTest, NoArraysAtAllGivesTheFatalMessage) {
    activate();
    allocator.cap = 8;
    qm::setAllocator(&allocator);

    click(box->ants65535Radio);

    ASSERT_EQ(dialogs.texts(), (std::vector<std::string>{
                                   "ERROR: not enought memory.",
                                   "FATAL ERROR: not enought memory. Close aplication or ??????."}));
    EXPECT_EQ(dialogs.boxes[1].type, qm::BoxType::Error);
    EXPECT_EQ(host.world_.antPos, nullptr);
    EXPECT_EQ(host.world_.antColour, nullptr);
}

// --- Hand brake coefficient, applied on closing ---

TEST_F(SettingsDialogTest, HandBrakeCoefficientIsCheckedWhenTheDialogCloses) {
    activate();
    struct Case {
        const char* typed;
        int32_t coefficient;
        const char* shown;
    };
    const Case cases[] = {{"99999", 42000, "42000"}, {"0", 0, "0"}, {"abc", 100, "100"}, {"7", 7, "7"}};
    int applications = host.handBrakeApplications;
    for (const Case& c : cases) {
        box->show();
        box->handBrakeCoefficientEdit->setText(QString::fromLatin1(c.typed));
        click(box->okButton);
        EXPECT_FALSE(box->isVisible());
        EXPECT_EQ(box->handBrakeCoefficient(), c.coefficient) << c.typed;
        EXPECT_EQ(box->handBrakeCoefficientEdit->text(), c.shown) << c.typed;
        EXPECT_EQ(host.handBrakeApplications, ++applications) << c.typed;
    }
}

TEST_F(SettingsDialogTest, ClosingWithoutOkAppliesTheCoefficientToo) {
    activate();
    box->handBrakeCoefficientEdit->setText(QStringLiteral("123"));
    box->close();
    EXPECT_EQ(box->handBrakeCoefficient(), 123);
    EXPECT_EQ(host.handBrakeApplications, 1);
}

TEST_F(SettingsDialogTest, EditFieldTakesAtMostFiveCharacters) {
    activate();
    box->handBrakeCoefficientEdit->clear();
    QTest::keyClicks(box->handBrakeCoefficientEdit, QStringLiteral("1234567"));
    EXPECT_EQ(box->handBrakeCoefficientEdit->text(), "12345");
}

// --- Refresh period of the state panel ---

TEST_F(SettingsDialogTest, RefreshPeriodSetsTheIntervalAndRunsTheTimerOnlyWhenNumbersAreHidden) {
    activate();
    box->refreshPeriodCombo->setCurrentText(QStringLiteral("10 sec"));
    EXPECT_EQ(host.timer.interval(), 10000);
    EXPECT_FALSE(host.timer.isActive());  // idle

    host.running = true;
    box->refreshPeriodCombo->setCurrentText(QStringLiteral("1 sec"));
    EXPECT_EQ(host.timer.interval(), 1000);
    EXPECT_FALSE(host.timer.isActive());  // numbers are shown

    host.numbersHidden = true;
    box->refreshPeriodCombo->setCurrentText(QStringLiteral("30 sec"));
    EXPECT_EQ(host.timer.interval(), 30000);
    EXPECT_TRUE(host.timer.isActive());

    box->refreshPeriodCombo->setCurrentText(QStringLiteral("No update"));
    EXPECT_FALSE(host.timer.isActive());
    EXPECT_EQ(host.timer.interval(), 30000);  // keeps its last period
}

TEST_F(SettingsDialogTest, UnreadablePeriodCountsAsThreeSeconds) {
    activate();
    box->refreshPeriodCombo->addItem(QStringLiteral("x sec"));
    box->refreshPeriodCombo->setCurrentText(QStringLiteral("x sec"));
    EXPECT_EQ(host.timer.interval(), 3000);
}

// --- States, spectrum and preview ---

TEST_F(SettingsDialogTest, PreviewShowsCentredSwatchesForFiveStates) {
    activate();
    click(box->generalizedRadio);
    box->statesCombo->setCurrentText(QStringLiteral("5"));
    ASSERT_EQ(host.world_.states, 5);
    EXPECT_EQ(host.uiStates, 5);  // the legend's program range follows N

    const QImage& image = box->spectrumPreview->image();
    ASSERT_EQ(image.width(), 153);
    const int h = image.height();
    const int y = h / 2;
    auto at = [&](int x, int row) { return image.pixel(x, row); };
    auto entry = [&](int k) { return qm::toArgb(host.colours[static_cast<std::size_t>(k)]); };

    EXPECT_EQ(at(0, y), entry(0));
    EXPECT_EQ(at(1, y), entry(0));
    const int starts[] = {2, 32, 62, 92, 122};
    for (int i = 0; i < 5; ++i) {
        const int x = starts[i];
        EXPECT_EQ(at(x, y), entry(i + 1)) << "swatch " << i;
        EXPECT_EQ(at(x + 28, y), entry(i + 1)) << "swatch " << i;
        EXPECT_EQ(at(x + 29, y), entry(0)) << "gap after swatch " << i;
        EXPECT_EQ(at(x, 1), entry(0)) << "top margin " << i;
        EXPECT_EQ(at(x, 2), entry(i + 1)) << "first row " << i;
        EXPECT_EQ(at(x, h - 3), entry(i + 1)) << "last row " << i;
        EXPECT_EQ(at(x, h - 2), entry(0)) << "bottom margin " << i;
    }
    EXPECT_EQ(at(152, y), entry(0));
}

TEST_F(SettingsDialogTest, ChangingStatesRebuildsOnlyEntriesUpToN) {
    activate();
    click(box->generalizedRadio);
    const qm::ColourRef sentinel = 0x123456;
    host.colours.fill(sentinel);

    box->statesCombo->setCurrentText(QStringLiteral("5"));

    EXPECT_EQ(host.colours[0], host.background);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(host.colours[static_cast<std::size_t>(i) + 1], qm::spectrumColour(5, i, 1)) << i;
    for (std::size_t k = 6; k < host.colours.size(); ++k) EXPECT_EQ(host.colours[k], sentinel) << k;
    // Repainted at once, without waiting for the event loop.
    EXPECT_EQ(box->spectrumPreview->image().pixel(2, 10), qm::toArgb(qm::spectrumColour(5, 0, 1)));
}

TEST_F(SettingsDialogTest, SpectrumChoiceRebuildsWithTheChosenSpectrum) {
    activate();
    click(box->generalizedRadio);
    box->statesCombo->setCurrentText(QStringLiteral("3"));
    click(box->spectrumChoice->item(3));
    EXPECT_EQ(host.colours[1], qm::spectrumColour(3, 0, 4));
    EXPECT_EQ(host.colours[3], qm::spectrumColour(3, 2, 4));
    EXPECT_EQ(box->spectrumPreview->image().pixel(box->spectrumPreview->width() / 2, 10),
              qm::toArgb(qm::spectrumColour(3, 1, 4)));
}

// --- Memory choices ---

TEST_F(SettingsDialogTest, FittingKeepsOnlyTheBlocksTheMachineCanHold) {
    activate(mib(128, 100));
    EXPECT_EQ(box->memoryItem(), 2);
    EXPECT_EQ(box->memoryChoice->count(), 4);
    EXPECT_EQ(text(box->memoryNeedValue), "128Mb");
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(SettingsDialogTest, FittingFallsBackToTheFirstItemWhenTheDefaultWasRemoved) {
    activate(mib(300, 600));
    EXPECT_EQ(box->memoryChoice->count(), 5);
    EXPECT_EQ(box->memoryItem(), 0);
}

TEST_F(SettingsDialogTest, LargeBlockWarnsAboutFreeMemoryButNotUnderTheGuard) {
    activate(mib(2048, 600));
    ASSERT_EQ(box->memoryChoice->count(), 8);
    const int releases = host.releases;

    click(box->memoryChoice->item(7));
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text,
              "Warning: Free memory is 600Mb only.\n On press start computer should be very slow "
              "(freeze) - a few minutes.");
    EXPECT_EQ(dialogs.boxes[0].type, qm::BoxType::Warning);
    EXPECT_EQ(dialogs.boxes[0].buttons, qm::BoxButtons::Ok);
    EXPECT_GT(host.releases, releases);

    click(box->memoryChoice->item(1));
    EXPECT_EQ(dialogs.boxes.size(), 1u);

    SettingsDialog guarded(&host, &dialogs);
    guarded.memoryChoice->setItemIndex(7);
    EXPECT_EQ(dialogs.boxes.size(), 1u);
}

TEST_F(SettingsDialogTest, FastAlgorithmReachFollowsTheAntMaximum) {
    activate();
    ASSERT_EQ(box->memoryItem(), 1);
    EXPECT_EQ(text(box->fastGridLimitValue), "2506");
    click(box->ants15Radio);
    EXPECT_EQ(text(box->fastGridLimitValue), "3544");
    EXPECT_EQ(box->halfSize(), 3545);
    click(box->antsManyRadio);
    EXPECT_EQ(text(box->fastGridLimitValue), "6727");
    EXPECT_EQ(host.halfSizes[1], 6728);
}

TEST_F(SettingsDialogTest, LimitsWithAndWithoutContinuing) {
    activate(mib(2048, 40));
    ASSERT_EQ(box->memoryItem(), 1);
    ASSERT_TRUE(box->continueChecked());
    const qm::RunLimits& limits = host.world_.limits;
    EXPECT_EQ(text(box->fastGridLimitValue), "2506");
    EXPECT_EQ(text(box->boundsLimitValue), "2147483636");
    EXPECT_EQ(text(box->filledLimitValue), "238609293");
    EXPECT_EQ(text(box->stepsLimitValue), "9223372036854775797");
    EXPECT_EQ(limits.axisBound, 2147483637);
    EXPECT_EQ(limits.axisBoundNeg, -2147483637);

    click(box->continueCheck);
    EXPECT_EQ(text(box->fastGridLimitValue), "2506");
    EXPECT_EQ(text(box->boundsLimitValue), "2506");
    EXPECT_EQ(text(box->filledLimitValue), "25120143");
    EXPECT_EQ(text(box->stepsLimitValue), "4294967285");
    EXPECT_EQ(limits.stepMax, 4294967285);
    EXPECT_EQ(limits.filledMax, 25120144);
    EXPECT_EQ(limits.axisBound, 2507);
    EXPECT_EQ(limits.axisBoundNeg, -2507);

    click(box->continueCheck);
    click(box->antsManyRadio);
    EXPECT_EQ(text(box->filledLimitValue), "17091788799");
    EXPECT_EQ(limits.filledMax, 17091788800);
}

TEST_F(SettingsDialogTest, ShowingTheDialogRefreshesLimitsAndMemory) {
    activate(mib(512, 40));
    box->hide();
    memory.status = mib(1024, 40);
    host.world_.limits.axisBound = 0;
    box->show();
    EXPECT_EQ(text(box->memoryNeedValue), "1024Mb");
    EXPECT_EQ(host.world_.limits.axisBound, 2147483637);
}

// --- Run lock and links ---

TEST_F(SettingsDialogTest, RunLockDisablesWhatARunDependsOn) {
    activate();
    QWidget* locked[] = {box->langtonRadio, box->generalizedRadio, box->memoryChoice, box->ants15Radio,
                         box->ants255Radio,        box->ants65535Radio,      box->antsManyRadio,        box->continueCheck};
    box->setRunLock(true);
    for (QWidget* control : locked) EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_TRUE(box->statesCombo->isEnabled());
    EXPECT_TRUE(box->handBrakeCoefficientEdit->isEnabled());
    EXPECT_TRUE(box->refreshPeriodCombo->isEnabled());

    host.continueAllowed = false;
    box->setRunLock(false);
    EXPECT_TRUE(box->memoryChoice->isEnabled());
    EXPECT_TRUE(box->ants65535Radio->isEnabled());
    EXPECT_FALSE(box->continueCheck->isEnabled());
    host.continueAllowed = true;
    box->setRunLock(false);
    EXPECT_TRUE(box->continueCheck->isEnabled());
}

TEST_F(SettingsDialogTest, LinksOpenTheProjectsOwnAddresses) {
    activate();
    QTest::mouseClick(box->productHomeLink, Qt::LeftButton);
    QTest::mouseClick(box->makerHomeLink, Qt::LeftButton);
    ASSERT_EQ(dialogs.urls.size(), 2u);
    EXPECT_EQ(dialogs.urls[0], "https://quillmarch.example.org/");
    EXPECT_EQ(dialogs.urls[1], "https://quillmarch.example.org/team");
}

TEST_F(SettingsDialogTest, LinksOpenOnlyOnALeftPressAndReleaseOnThem) {
    activate();
    QTest::mouseClick(box->productHomeLink, Qt::RightButton);
    QTest::mouseClick(box->productHomeLink, Qt::MiddleButton);
    QTest::mouseRelease(box->productHomeLink, Qt::LeftButton);  // pressed elsewhere
    QTest::mousePress(box->makerHomeLink, Qt::LeftButton);
    QTest::mouseRelease(box->makerHomeLink, Qt::LeftButton, {}, QPoint(-4, -4));  // dragged off
    EXPECT_TRUE(dialogs.urls.empty());
    QTest::mouseClick(box->makerHomeLink, Qt::LeftButton);
    EXPECT_EQ(dialogs.urls.size(), 1u);
}

TEST_F(SettingsDialogTest, DesignCaptionsAndDefaults) {
    activate();
    EXPECT_EQ(box->windowTitle(), "About");
    EXPECT_EQ(text(box->productName), "Product Name: Quillmarch");
    EXPECT_EQ(text(box->versionLabel), "Version: 0.66");
    EXPECT_EQ(box->antsManyRadio->text(), "B&&W ant-hill (unlimited)");
    EXPECT_EQ(box->statesCombo->count(), 63);
    EXPECT_EQ(box->statesCombo->currentText(), "2");
    EXPECT_EQ(box->refreshPeriodCombo->currentText(), "5 sec");
    EXPECT_EQ(box->spectrumChoice->itemIndex(), 0);
    EXPECT_TRUE(box->langtonRadio->isChecked());
    EXPECT_EQ(box->handBrakeCoefficientEdit->text(), "50");
    EXPECT_EQ(box->handBrakeCoefficient(), 50);
    EXPECT_TRUE(box->okButton->isDefault());
}

}  // namespace
