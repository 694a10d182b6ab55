// "Start" from the click to the window's restoration: runs in every mode compared with the
// core driven directly, "Break", the control lock, the hand brake position, closing during a
// run, and every failure with its message and box type.

#include <fstream>
#include <stdexcept>
#include <utility>

#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QComboBox>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>

#include "MainWindowFixture.h"
#include "core/RunSetup.h"
#include "core/StepLoops.h"
#include "definitions/AntReader.h"
#include "gui/settings/RadioGroup.h"

namespace {

class SilentPump final : public qm::EventPump {
public:
    void processEvents() override {}
    bool frameDue() override { return false; }
};

class CollectingSink final : public qm::MessageSink {
public:
    qm::BoxResult showMessage(const std::string& text, qm::BoxType, qm::BoxButtons) override {
        texts.push_back(text);
        return qm::BoxResult::Ok;
    }
    std::vector<std::string> texts;
};

struct HeadlessRun {
    qm::RunCounters counters;
    std::vector<qm::AntPos> positions;
    std::vector<std::string> messages;
};

struct RunSettings {
    qm::AntMaxMode antMaxMode = qm::AntMaxMode::Ants255;
    bool generalized = false;
    int32_t antMax = 255;
    int32_t states = 0;
    int32_t halfSize = 0;
    qm::RunLimits limits;
};

// The same ants stepped by the core alone, with no window around it.
HeadlessRun runHeadless(const RunSettings& settings, const std::vector<std::string>& lines, int64_t maxSteps) {
    qm::World w;
    SilentPump pump;
    CollectingSink sink;
    w.pump = &pump;
    w.messages = &sink;
    w.antMaxMode = settings.antMaxMode;
    w.generalized = settings.generalized;
    w.antMax = settings.antMax;
    w.states = settings.states;
    const auto count = static_cast<int32_t>(lines.size());
    EXPECT_TRUE(qm::prepareFastGrid(w, settings.halfSize));
    EXPECT_TRUE(qm::createSparseStore(w, 1000));
    if (w.generalized || w.antMaxMode == qm::AntMaxMode::BlackWhite)
        EXPECT_TRUE(qm::allocateRunAntArrays(w, count));
    else
        EXPECT_TRUE(qm::allocateIndexedAntArrays(w, w.antMax));
    qm::EditorSource source(lines);
    const int32_t read = qm::readAnts(w, source, count, true);
    qm::resetCounters(w, read, 0.0);
    w.limits = settings.limits;
    w.limits.userMaxSteps = maxSteps;
    w.idle = 0;
    qm::runStepLoop(w);
    HeadlessRun result{w.counters, {}, sink.texts};
    for (int32_t i = 0; i < read; ++i) result.positions.push_back(w.antPos[i]);
    return result;
}

void expectSameCounters(const qm::RunCounters& actual, const qm::RunCounters& expected) {
    EXPECT_EQ(actual.stepCount, expected.stepCount);
    EXPECT_EQ(actual.filled, expected.filled);
    EXPECT_EQ(actual.peakFilled, expected.peakFilled);
    EXPECT_EQ(actual.minX, expected.minX);
    EXPECT_EQ(actual.maxX, expected.maxX);
    EXPECT_EQ(actual.minY, expected.minY);
    EXPECT_EQ(actual.maxY, expected.maxY);
    EXPECT_EQ(actual.antCount, expected.antCount);
    EXPECT_EQ(actual.currentAnt, expected.currentAnt);
}

void expectSamePositions(const qm::World& w, const std::vector<qm::AntPos>& expected) {
    ASSERT_EQ(w.counters.antCount, static_cast<int32_t>(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(w.antPos[i].x, expected[i].x) << "ant " << i;
        EXPECT_EQ(w.antPos[i].y, expected[i].y) << "ant " << i;
    }
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return lines;
}

class ThrowingPump final : public qm::EventPump {
public:
    explicit ThrowingPump(bool standardError) : standardError_(standardError) {}
    void processEvents() override {
        if (standardError_) throw std::runtime_error("pump broke");
        throw 42;
    }
    bool frameDue() override { return true; }

private:
    bool standardError_;
};

std::string writeFile(const QTemporaryDir& dir, const char* name, const std::string& content) {
    const std::string path = dir.filePath(QString::fromLatin1(name)).toStdString();
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

}  // namespace

// ------------------------------------------------------------------------------------------
// Runs that end normally

struct ModeCase {
    const char* name;
    std::function<void(SettingsDialog&)> choose;
    qm::AntMaxMode antMaxMode;
    bool generalized;
    qm::AntMaxChoice choice;
};

class RunModes : public MainWindowTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(RunModes, MaxStepsRunEndsSilentlyWithTheCountersOfTheCoreAlone) {
    const ModeCase& mode = GetParam();
    openWindow();
    mode.choose(*about);
    const std::string text = "0,0,1\n10,10,2\n-7,3,T";
    setEditor(QString::fromStdString(text));
    setMaxSteps(11000);

    clickStart();

    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(ui().control.startButton->text(), "Start");
    EXPECT_EQ(peer().world().idle, 1);
    EXPECT_EQ(peer().world().lastStop, qm::StopReason::MaxSteps);
    EXPECT_EQ(peer().world().mode(), qm::runModeOf(mode.antMaxMode, mode.generalized));
    const int32_t halfSize = qm::computeHalfSizes(mode.choice)[0];
    EXPECT_EQ(peer().world().grid.halfSize, halfSize);

    RunSettings settings;
    settings.antMaxMode = mode.antMaxMode;
    settings.generalized = mode.generalized;
    settings.antMax = peer().world().antMax;
    settings.states = peer().world().states;
    settings.halfSize = halfSize;
    settings.limits = peer().world().limits;
    const HeadlessRun expected = runHeadless(settings, splitLines(text), 11000);
    EXPECT_EQ(peer().world().counters.stepCount, 11000);
    expectSameCounters(peer().world().counters, expected.counters);
    expectSamePositions(peer().world(), expected.positions);
}

INSTANTIATE_TEST_SUITE_P(
    EveryMode, RunModes,
    ::testing::Values(
        ModeCase{"indexed255", [](SettingsDialog&) {}, qm::AntMaxMode::Ants255, false, qm::AntMaxChoice::Ants255},
        ModeCase{"indexed15", [](SettingsDialog& a) { a.ants15Radio->click(); }, qm::AntMaxMode::Ants15, false,
                 qm::AntMaxChoice::Ants15},
        ModeCase{"indexed65535", [](SettingsDialog& a) { a.ants65535Radio->click(); }, qm::AntMaxMode::Ants65535, false,
                 qm::AntMaxChoice::Ants65535},
        ModeCase{"blackWhite", [](SettingsDialog& a) { a.antsManyRadio->click(); }, qm::AntMaxMode::BlackWhite, false,
                 qm::AntMaxChoice::BlackWhite},
        ModeCase{"generalized", [](SettingsDialog& a) { a.generalizedRadio->click(); }, qm::AntMaxMode::Ants255, true,
                 qm::AntMaxChoice::Ants255}),
    [](const ::testing::TestParamInfo<ModeCase>& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, DefaultRunOfTheStartupListMatchesTheCore) {
    openWindow();
    setMaxSteps(11000);
    clickStart();

    EXPECT_TRUE(dialogs.boxes.empty());
    RunSettings settings;
    settings.halfSize = qm::computeHalfSizes(qm::AntMaxChoice::Ants255)[0];
    settings.limits = peer().world().limits;
    const HeadlessRun expected = runHeadless(settings, {"0,0,1"}, 11000);
    expectSameCounters(peer().world().counters, expected.counters);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // The counters stay for viewing after the run.
    QCoreApplication::processEvents();
    EXPECT_EQ(peer().world().counters.stepCount, 11000);
}

TEST_F(MainWindowTest, FromFilePageRunsTheAntsOfTheFile) {
    openWindow();
    QTemporaryDir dir;
    const std::string path = writeFile(dir, "ants.txt", "0,0,1\n5,5,2\n;comment\n");
    ui().definition.definitionTabs->setCurrentIndex(1);
    ui().definition.selectedFileEdit->setText(QString::fromStdString(path));
    setMaxSteps(100);

    clickStart();

    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(peer().world().counters.antCount, 3);
    EXPECT_EQ(peer().world().counters.stepCount, 100);
}

TEST_F(MainWindowTest, ShortEditorLinesAreDeletedFromTheEditorBeforeTheRun) {
    openWindow();
    setEditor("0,0,1\n1,1\n\n5,5,2\n");
    setMaxSteps(10);
    clickStart();
    EXPECT_EQ(ui().definition.definitionEditor->toPlainText(), "0,0,1\n5,5,2");
    EXPECT_EQ(peer().world().counters.antCount, 2);
}

// ------------------------------------------------------------------------------------------
// During a run

TEST_F(MainWindowTest, BreakStopsTheRunAtTheEndOfAStepWithoutMessage) {
    openWindow();
    const std::string text = "0,0,1\n20,0,2\n0,20,3\n-20,0,4";
    setEditor(QString::fromStdString(text));
    setMaxSteps(20000000);
    QString captionDuringRun;
    duringRun([&] {
        captionDuringRun = ui().control.startButton->text();
        QTest::mouseClick(ui().control.startButton, Qt::LeftButton);
    });

    clickStart();

    EXPECT_EQ(captionDuringRun, "Break");
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(ui().control.startButton->text(), "Start");
    EXPECT_EQ(peer().world().idle, 1);
    EXPECT_EQ(peer().world().lastStop, qm::StopReason::UserBreak);
    EXPECT_LT(peer().world().counters.stepCount, 20000000);
    EXPECT_EQ(peer().world().counters.currentAnt, 3);  // every ant of the step moved
    // Whole steps only: the ants stand where a run of one more step leaves them.
    RunSettings settings;
    settings.halfSize = peer().world().grid.halfSize;
    settings.limits = peer().world().limits;
    const HeadlessRun expected = runHeadless(settings, splitLines(text), peer().world().counters.stepCount + 1);
    expectSamePositions(peer().world(), expected.positions);
}

TEST_F(MainWindowTest, StartClickedAgainWhileTheRunIsPreparedIsNotItsBreak) {
    openWindow();
    setEditor("0,0,1\n20,0,2\n0,20,3\n-20,0,4");
    setMaxSteps(20000000);
    // Clicks wait in the queue as the window system holds them: the second, made while the grid
    // is obtained, reaches the window at the run's first event processing.
    auto click = [&](ulong at) {
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            const QPointF inside(5, 5);
            auto* event = new QMouseEvent(type, inside, ui().control.startButton->mapToGlobal(inside), Qt::LeftButton,
                                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                          Qt::NoModifier);
            event->setTimestamp(at);
            QCoreApplication::postEvent(ui().control.startButton, event);
        }
    };
    bool clickedAgain = false;
    allocator.refuseAllocate = [&](std::size_t) {
        if (!std::exchange(clickedAgain, true)) click(900000);  // within the preparation however fast
        return false;
    };
    installAllocator();
    click(900000);
    QCoreApplication::processEvents();
    ASSERT_TRUE(clickedAgain);
    EXPECT_EQ(peer().world().lastStop, qm::StopReason::MaxSteps);
    EXPECT_EQ(peer().world().counters.stepCount, 20000000);
}

TEST_F(MainWindowTest, ControlLockHoldsDuringTheRunAndIsLiftedAfterIt) {
    openWindow();
    setMaxSteps(20000000);
    const std::vector<QWidget*> locked{ui().definition.definitionEditor,    ui().definition.loadButton,   ui().definition.clearButton,   ui().definition.saveButton,
                                       ui().definition.addDiagonalButton,  ui().definition.addByAxisButton,   ui().definition.addDistanceEdit,     ui().definition.selectFileButton,
                                       ui().definition.selectedFileEdit, ui().definition.definitionTabs, ui().definition.firstSixteenCheck, about->langtonRadio,
                                       about->generalizedRadio, about->memoryChoice, about->ants15Radio, about->ants255Radio,
                                       about->ants65535Radio, about->antsManyRadio, about->continueCheck};
    const std::vector<QWidget*> usable{ui().control.settingsButton,    ui().control.maxStepsEdit,       ui().control.almostUnlimitedButton,       ui().visualisation.handBrakeSlider,
                                       ui().state.displayModeCombo,     ui().visualisation.squareSizeCombo, ui().navigation.panRightButton, ui().navigation.centreOnAntButton,
                                       ui().navigation.redrawViewButton,   ui().navigation.eyeShowHideButton,     ui().navigation.eyeSizeCombo,   about->statesCombo,
                                       about->handBrakeCoefficientEdit,     about->refreshPeriodCombo};
    std::vector<bool> lockedEnabled, usableEnabled;
    duringRun([&] {
        for (QWidget* w : locked) lockedEnabled.push_back(w->isEnabled());
        for (QWidget* w : usable) usableEnabled.push_back(w->isEnabled());
        QTest::mouseClick(ui().control.startButton, Qt::LeftButton);
    });

    clickStart();

    ASSERT_EQ(lockedEnabled.size(), locked.size());
    for (size_t i = 0; i < locked.size(); ++i) {
        EXPECT_FALSE(lockedEnabled[i]) << locked[i]->metaObject()->className() << " " << i << " usable during run";
        EXPECT_TRUE(locked[i]->isEnabled()) << i << " still locked after the run";
    }
    for (size_t i = 0; i < usable.size(); ++i) EXPECT_TRUE(usableEnabled[i]) << i << " locked during run";
}

TEST_F(MainWindowTest, TrackBarMovedDuringTheRunReturnsToItsPositionFromBeforeTheRun) {
    openWindow();
    setMaxSteps(20000000);
    ui().visualisation.handBrakeSlider->setValue(0);
    uint32_t brakeDuringRun = 0;
    duringRun([&] {
        ui().visualisation.handBrakeSlider->setValue(40);
        brakeDuringRun = peer().world().handBrakeCount;
        QTest::mouseClick(ui().control.startButton, Qt::LeftButton);
    });

    clickStart();

    EXPECT_EQ(brakeDuringRun, 40u * 50u * 40u * 3u);  // P x C x P x F, "Show grahhics state only"
    EXPECT_EQ(ui().visualisation.handBrakeSlider->value(), 0);
    EXPECT_EQ(peer().world().trackBarPosition, 0);
    EXPECT_EQ(peer().world().handBrakeCount, 0u);
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(MainWindowTest, StartWithTheBrakeOnKeepsThatPositionAfterTheRun) {
    openWindow();
    ui().visualisation.handBrakeSlider->setValue(2);
    setMaxSteps(2);
    clickStart();
    EXPECT_EQ(ui().visualisation.handBrakeSlider->value(), 2);
    EXPECT_EQ(peer().world().handBrakeCount, 2u * 50u * 2u * 3u);
    EXPECT_EQ(peer().world().counters.stepCount, 2);
}

TEST_F(MainWindowTest, ClosingDuringARunEndsTheRunSilentlyAndThenCloses) {
    openWindow();
    setMaxSteps(20000000);
    bool stillShownAfterRequest = false;
    duringRun([&] {
        form->close();
        stillShownAfterRequest = form->isVisible();
    });

    clickStart();

    EXPECT_TRUE(stillShownAfterRequest);  // never closed under the running loop
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(peer().world().idle, 1);
    EXPECT_LT(peer().world().counters.stepCount, 20000000);
    QCoreApplication::processEvents();
    EXPECT_FALSE(form->isVisible());
}

TEST_F(MainWindowTest, LimitReachedInsideTheLoopShowsItsWarningAndEndsTheRun) {
    openWindow();
    about->continueCheck->click();  // off: the world ends at the fast grid's edge
    ASSERT_FALSE(about->continueCheck->isChecked());

    clickStart();

    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, qm::MsgAxis);
    EXPECT_EQ(dialogs.boxes[0].type, qm::BoxType::Warning);
    EXPECT_EQ(dialogs.boxes[0].buttons, qm::BoxButtons::Ok);
    EXPECT_EQ(peer().world().storeIndexed, nullptr);
    EXPECT_EQ(ui().control.startButton->text(), "Start");
    EXPECT_TRUE(ui().definition.definitionEditor->isEnabled());
}

TEST_F(MainWindowTest, LimitBoxAppearsOverTheFiguresTheRunStoppedWith) {
    openWindow();
    about->continueCheck->click();  // off: the world ends at the fast grid's edge
    ui().state.displayModeCombo->setCurrentIndex(2);  // "Show text state only"
    QString shownSteps, shownMaxY;
    dialogs.onMessage = [&](const RecordedBox&) {
        shownSteps = ui().state.stepValue->text();
        shownMaxY = ui().state.maxYValue->text();
    };

    clickStart();

    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, qm::MsgAxis);
    EXPECT_EQ(shownSteps, QString::number(peer().world().counters.stepCount));
    EXPECT_EQ(shownMaxY, QString::number(peer().world().counters.maxY));
}

// ------------------------------------------------------------------------------------------
// Failures

class RunFailureTest : public MainWindowTest {
protected:
    // The window after a start that failed before the run became active.
    void expectIdleAndUnlocked() {
        EXPECT_EQ(peer().world().idle, 1);
        EXPECT_EQ(ui().control.startButton->text(), "Start");
        EXPECT_TRUE(ui().definition.definitionEditor->isEnabled());
        EXPECT_TRUE(ui().definition.definitionTabs->isEnabled());
        EXPECT_TRUE(about->ants15Radio->isEnabled());
        EXPECT_TRUE(about->continueCheck->isEnabled());
        EXPECT_FALSE(ui().state.stateRefreshTimer->isActive());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }

    void expectSingleError(const std::string& text) {
        ASSERT_EQ(dialogs.boxes.size(), 1u) << (dialogs.boxes.empty() ? "" : dialogs.boxes[0].text);
        EXPECT_EQ(dialogs.boxes[0].text, text);
        EXPECT_EQ(dialogs.boxes[0].type, qm::BoxType::Error);
        EXPECT_EQ(dialogs.boxes[0].buttons, qm::BoxButtons::Ok);
    }

    // Records whether the run had become active when the box was shown.
    void recordCaptionAtMessage() {
        dialogs.onMessage = [this](const RecordedBox&) {
            captionAtMessage = ui().control.startButton->text();
            cursorAtMessage = QApplication::overrideCursor() != nullptr;
        };
    }

    QString captionAtMessage;
    bool cursorAtMessage = true;
};

TEST_F(RunFailureTest, EmptyEditorDoesNothingOnEitherPage) {
    openWindow();
    setMaxSteps(10);
    clickStart();
    uint8_t* previousGrid = peer().world().grid.cells;
    ASSERT_NE(previousGrid, nullptr);
    setEditor(QString());
    for (int page : {0, 1}) {
        ui().definition.definitionTabs->setCurrentIndex(page);
        ui().definition.selectedFileEdit->setText("/no/such/file.txt");
        clickStart();
        EXPECT_TRUE(dialogs.boxes.empty());
        EXPECT_EQ(peer().world().grid.cells, previousGrid);
        EXPECT_EQ(peer().world().counters.stepCount, 10);
        expectIdleAndUnlocked();
    }
}

TEST_F(RunFailureTest, TooManyAntsKeepsThePreviousRun) {
    openWindow();
    setMaxSteps(10);
    clickStart();
    uint8_t* previousGrid = peer().world().grid.cells;
    QString many;
    for (int i = 0; i < 256; ++i) many += QStringLiteral("%1,0,1\n").arg(i);
    setEditor(many);
    recordCaptionAtMessage();

    clickStart();

    expectSingleError(qm::MsgTooManyAnts);
    EXPECT_FALSE(cursorAtMessage);
    EXPECT_EQ(captionAtMessage, "Start");
    EXPECT_EQ(peer().world().grid.cells, previousGrid);
    EXPECT_NE(peer().world().storeIndexed, nullptr);
    expectIdleAndUnlocked();
}

TEST_F(RunFailureTest, TooManyAntsIsNotCheckedOnTheFromFilePage) {
    openWindow();
    about->ants15Radio->click();
    QTemporaryDir dir;
    std::string content;
    for (int i = 0; i < 16; ++i) content += std::to_string(i) + ",0,1\n";
    ui().definition.definitionTabs->setCurrentIndex(1);
    ui().definition.selectedFileEdit->setText(QString::fromStdString(writeFile(dir, "sixteen.txt", content)));
    setMaxSteps(5);

    clickStart();

    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, qm::MsgNotAllAnts);
    EXPECT_EQ(dialogs.boxes[0].type, qm::BoxType::Warning);
    EXPECT_EQ(peer().world().counters.antCount, 15);
    EXPECT_EQ(peer().world().counters.stepCount, 5);
}

TEST_F(RunFailureTest, GridAllocationFailureThenASmallerBlockWorks) {
    openWindow(memoryMiB(64, 40));
    ASSERT_EQ(about->memoryChoice->itemIndex(), 1);
    allocator.refuseAllocate = [](std::size_t bytes) { return bytes > 10 * qm::MiB; };
    installAllocator();
    recordCaptionAtMessage();

    clickStart();

    expectSingleError(qm::MsgGridMemory);
    EXPECT_FALSE(cursorAtMessage);
    EXPECT_EQ(captionAtMessage, "Start");
    EXPECT_FALSE(peer().world().grid.exists());
    EXPECT_EQ(peer().world().storeIndexed, nullptr);
    expectIdleAndUnlocked();

    dialogs.boxes.clear();
    about->memoryChoice->setItemIndex(0);
    setMaxSteps(100);
    clickStart();

    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_TRUE(peer().world().grid.exists());
    EXPECT_EQ(peer().world().grid.halfSize, 1023);
    EXPECT_EQ(peer().world().counters.stepCount, 100);
}

TEST_F(RunFailureTest, SparseStoreFailureLeavesTheGridWithoutStore) {
    openWindow();
    // The fast grid's block is granted, the store's first slab (the next large one) refused.
    allocator.refuseAllocate = [large = 0](std::size_t bytes) mutable { return bytes > qm::MiB && ++large > 1; };
    installAllocator();

    clickStart();

    expectSingleError(qm::MsgStoreMemory);
    EXPECT_TRUE(peer().world().grid.exists());
    EXPECT_EQ(peer().world().storeIndexed, nullptr);
    expectIdleAndUnlocked();
}

TEST_F(RunFailureTest, AntArrayFailuresEndTheActiveRun) {
    struct Case {
        std::function<void(SettingsDialog&)> choose;
        const char* message;
    };
    for (const Case& c : {Case{[](SettingsDialog& a) { a.antsManyRadio->click(); }, qm::MsgBWAntsMemory},
                          Case{[](SettingsDialog& a) { a.generalizedRadio->click(); }, qm::MsgGenAntsMemory}}) {
        openWindow();
        c.choose(*about);
        setEditor("0,0,1\n1,1,1\n2,2,2");
        allocator.refuseAllocate = [](std::size_t bytes) { return bytes == 3 * sizeof(qm::AntPos); };
        installAllocator();
        recordCaptionAtMessage();

        clickStart();

        expectSingleError(c.message);
        EXPECT_EQ(captionAtMessage, "Break");  // the run was active: the end of run follows
        expectIdleAndUnlocked();
        qm::setAllocator(nullptr);
        TearDown();
        dialogs.boxes.clear();
    }
}

TEST_F(RunFailureTest, UnreadableFileEndsTheRunWithEveryControlUsable) {
    openWindow();
    QTemporaryDir dir;
    const std::string missing = dir.filePath("missing.txt").toStdString();
    const std::string longLine = writeFile(dir, "long.txt", std::string(81, '1') + "\n");
    struct Case {
        std::string file;
        std::string message;
    };
    for (const Case& c : {Case{missing, std::string(qm::MsgCannotOpen) + missing},
                          Case{longLine, std::string(qm::MsgCannotRead) + longLine}}) {
        dialogs.boxes.clear();
        ui().definition.definitionTabs->setCurrentIndex(1);
        ui().definition.selectedFileEdit->setText(QString::fromStdString(c.file));
        recordCaptionAtMessage();

        clickStart();

        expectSingleError(c.message);
        EXPECT_EQ(captionAtMessage, "Break");
        expectIdleAndUnlocked();
        EXPECT_TRUE(ui().definition.selectedFileEdit->isEnabled());
        EXPECT_TRUE(ui().definition.selectFileButton->isEnabled());
    }
}

TEST_F(RunFailureTest, EditorOfOnlyShortLinesIsEmptiedAndReportsNoAnts) {
    openWindow();
    setEditor("abc\n1,2\n");
    recordCaptionAtMessage();

    clickStart();

    expectSingleError(qm::MsgNoAnts);
    EXPECT_EQ(captionAtMessage, "Break");
    EXPECT_EQ(ui().definition.definitionEditor->toPlainText(), "");
    EXPECT_EQ(peer().world().lastStop, qm::StopReason::NoAnts);
    EXPECT_EQ(peer().world().counters.stepCount, 0);
    expectIdleAndUnlocked();
}

TEST_F(RunFailureTest, AnEndOfRunThatFailsTwiceLeavesTheNextStartFree) {
    openWindow();
    setMaxSteps(20000000);
    duringRun([this] { peer().world().hooks.step = [](void*) { throw std::runtime_error("hook broke"); }; });
    clickStart();
    ASSERT_FALSE(dialogs.boxes.empty());
    EXPECT_EQ(dialogs.boxes[0].text, "ERROR: hook broke");
    EXPECT_EQ(peer().world().idle, 1);

    dialogs.boxes.clear();
    setMaxSteps(10);
    clickStart();
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(peer().world().counters.stepCount, 10) << "the next start ran";
}

TEST_F(RunFailureTest, UnexpectedErrorsAreReportedAndTheWindowRestored) {
    openWindow();
    struct Case {
        bool standardError;
        const char* message;
    };
    for (const Case& c : {Case{true, "ERROR: pump broke"}, Case{false, "ERROR: undefined exception"}}) {
        dialogs.boxes.clear();
        ThrowingPump pump(c.standardError);
        peer().world().pump = &pump;

        clickStart();

        peer().world().pump = &peer().pump();
        expectSingleError(c.message);
        expectIdleAndUnlocked();
    }
}
