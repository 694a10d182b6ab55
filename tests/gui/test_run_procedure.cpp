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
#include "settings/AboutBoxUnit/RadioGroup.h"

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
    std::function<void(TAboutBox&)> choose;
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
    EXPECT_EQ(form->Button1->text(), "Start");
    EXPECT_EQ(form->world.idle, 1);
    EXPECT_EQ(form->world.lastStop, qm::StopReason::MaxSteps);
    EXPECT_EQ(form->world.mode(), qm::runModeOf(mode.antMaxMode, mode.generalized));
    const int32_t halfSize = qm::computeHalfSizes(mode.choice)[0];
    EXPECT_EQ(form->world.grid.halfSize, halfSize);

    RunSettings settings;
    settings.antMaxMode = mode.antMaxMode;
    settings.generalized = mode.generalized;
    settings.antMax = form->world.antMax;
    settings.states = form->world.states;
    settings.halfSize = halfSize;
    settings.limits = form->world.limits;
    const HeadlessRun expected = runHeadless(settings, splitLines(text), 11000);
    EXPECT_EQ(form->world.counters.stepCount, 11000);
    expectSameCounters(form->world.counters, expected.counters);
    expectSamePositions(form->world, expected.positions);
}

INSTANTIATE_TEST_SUITE_P(
    EveryMode, RunModes,
    ::testing::Values(
        ModeCase{"indexed255", [](TAboutBox&) {}, qm::AntMaxMode::Ants255, false, qm::AntMaxChoice::Ants255},
        ModeCase{"indexed15", [](TAboutBox& a) { a.RB15->click(); }, qm::AntMaxMode::Ants15, false,
                 qm::AntMaxChoice::Ants15},
        ModeCase{"indexed65535", [](TAboutBox& a) { a.RB65535->click(); }, qm::AntMaxMode::Ants65535, false,
                 qm::AntMaxChoice::Ants65535},
        ModeCase{"blackWhite", [](TAboutBox& a) { a.RBmany->click(); }, qm::AntMaxMode::BlackWhite, false,
                 qm::AntMaxChoice::BlackWhite},
        ModeCase{"generalized", [](TAboutBox& a) { a.RadioButtonG->click(); }, qm::AntMaxMode::Ants255, true,
                 qm::AntMaxChoice::Ants255}),
    [](const ::testing::TestParamInfo<ModeCase>& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, DefaultRunOfTheStartupListMatchesTheCore) {
    openWindow();
    setMaxSteps(11000);
    clickStart();

    EXPECT_TRUE(dialogs.boxes.empty());
    RunSettings settings;
    settings.halfSize = qm::computeHalfSizes(qm::AntMaxChoice::Ants255)[0];
    settings.limits = form->world.limits;
    const HeadlessRun expected = runHeadless(settings, {"0,0,1"}, 11000);
    expectSameCounters(form->world.counters, expected.counters);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // The counters stay for viewing after the run.
    QCoreApplication::processEvents();
    EXPECT_EQ(form->world.counters.stepCount, 11000);
}

TEST_F(MainWindowTest, FromFilePageRunsTheAntsOfTheFile) {
    openWindow();
    QTemporaryDir dir;
    const std::string path = writeFile(dir, "ants.txt", "0,0,1\n5,5,2\n;comment\n");
    form->PageControl1->setCurrentIndex(1);
    form->EditFile->setText(QString::fromStdString(path));
    setMaxSteps(100);

    clickStart();

    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(form->world.counters.antCount, 3);
    EXPECT_EQ(form->world.counters.stepCount, 100);
}

TEST_F(MainWindowTest, ShortEditorLinesAreDeletedFromTheEditorBeforeTheRun) {
    openWindow();
    setEditor("0,0,1\n1,1\n\n5,5,2\n");
    setMaxSteps(10);
    clickStart();
    EXPECT_EQ(form->Memo1->toPlainText(), "0,0,1\n5,5,2");
    EXPECT_EQ(form->world.counters.antCount, 2);
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
        captionDuringRun = form->Button1->text();
        QTest::mouseClick(form->Button1, Qt::LeftButton);
    });

    clickStart();

    EXPECT_EQ(captionDuringRun, "Break");
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(form->Button1->text(), "Start");
    EXPECT_EQ(form->world.idle, 1);
    EXPECT_EQ(form->world.lastStop, qm::StopReason::UserBreak);
    EXPECT_LT(form->world.counters.stepCount, 20000000);
    EXPECT_EQ(form->world.counters.currentAnt, 3);  // every ant of the step moved
    // Whole steps only: the ants stand where a run of one more step leaves them.
    RunSettings settings;
    settings.halfSize = form->world.grid.halfSize;
    settings.limits = form->world.limits;
    const HeadlessRun expected = runHeadless(settings, splitLines(text), form->world.counters.stepCount + 1);
    expectSamePositions(form->world, expected.positions);
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
            auto* event = new QMouseEvent(type, inside, form->Button1->mapToGlobal(inside), Qt::LeftButton,
                                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                          Qt::NoModifier);
            event->setTimestamp(at);
            QCoreApplication::postEvent(form->Button1, event);
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
    EXPECT_EQ(form->world.lastStop, qm::StopReason::MaxSteps);
    EXPECT_EQ(form->world.counters.stepCount, 20000000);
}

TEST_F(MainWindowTest, ControlLockHoldsDuringTheRunAndIsLiftedAfterIt) {
    openWindow();
    setMaxSteps(20000000);
    const std::vector<QWidget*> locked{form->Memo1,    form->Button3,   form->Button8,   form->Button4,
                                       form->Button2,  form->Button5,   form->Edit2,     form->Button10,
                                       form->EditFile, form->PageControl1, form->CheckBox1, about->RadioButtonL,
                                       about->RadioButtonG, about->RadioGroupMem, about->RB15, about->RB255,
                                       about->RB65535, about->RBmany, about->CheckBoxContinue};
    const std::vector<QWidget*> usable{form->Button6,    form->Edit1,       form->Button9,       form->TrackBarSpeed,
                                       form->CBShow,     form->ComboBoxSize, form->SpeedButton1, form->Button11,
                                       form->Button14,   form->Button7,     form->CFlaconSize,   about->ComboBoxStates,
                                       about->Edit1,     about->ComboBoxTimer};
    std::vector<bool> lockedEnabled, usableEnabled;
    duringRun([&] {
        for (QWidget* w : locked) lockedEnabled.push_back(w->isEnabled());
        for (QWidget* w : usable) usableEnabled.push_back(w->isEnabled());
        QTest::mouseClick(form->Button1, Qt::LeftButton);
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
    form->TrackBarSpeed->setValue(0);
    uint32_t brakeDuringRun = 0;
    duringRun([&] {
        form->TrackBarSpeed->setValue(40);
        brakeDuringRun = form->world.handBrakeCount;
        QTest::mouseClick(form->Button1, Qt::LeftButton);
    });

    clickStart();

    EXPECT_EQ(brakeDuringRun, 40u * 50u * 40u * 3u);  // P x C x P x F, "Show grahhics state only"
    EXPECT_EQ(form->TrackBarSpeed->value(), 0);
    EXPECT_EQ(form->world.trackBarPosition, 0);
    EXPECT_EQ(form->world.handBrakeCount, 0u);
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(MainWindowTest, StartWithTheBrakeOnKeepsThatPositionAfterTheRun) {
    openWindow();
    form->TrackBarSpeed->setValue(2);
    setMaxSteps(2);
    clickStart();
    EXPECT_EQ(form->TrackBarSpeed->value(), 2);
    EXPECT_EQ(form->world.handBrakeCount, 2u * 50u * 2u * 3u);
    EXPECT_EQ(form->world.counters.stepCount, 2);
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
    EXPECT_EQ(form->world.idle, 1);
    EXPECT_LT(form->world.counters.stepCount, 20000000);
    QCoreApplication::processEvents();
    EXPECT_FALSE(form->isVisible());
}

TEST_F(MainWindowTest, LimitReachedInsideTheLoopShowsItsWarningAndEndsTheRun) {
    openWindow();
    about->CheckBoxContinue->click();  // off: the world ends at the fast grid's edge
    ASSERT_FALSE(about->CheckBoxContinue->isChecked());

    clickStart();

    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, qm::MsgAxis);
    EXPECT_EQ(dialogs.boxes[0].type, qm::BoxType::Warning);
    EXPECT_EQ(dialogs.boxes[0].buttons, qm::BoxButtons::Ok);
    EXPECT_EQ(form->world.storeIndexed, nullptr);
    EXPECT_EQ(form->Button1->text(), "Start");
    EXPECT_TRUE(form->Memo1->isEnabled());
}

TEST_F(MainWindowTest, LimitBoxAppearsOverTheFiguresTheRunStoppedWith) {
    openWindow();
    about->CheckBoxContinue->click();  // off: the world ends at the fast grid's edge
    form->CBShow->setCurrentIndex(2);  // "Show text state only"
    QString shownSteps, shownMaxY;
    dialogs.onMessage = [&](const RecordedBox&) {
        shownSteps = form->StaticTextStep->text();
        shownMaxY = form->StaticTextMaxY->text();
    };

    clickStart();

    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, qm::MsgAxis);
    EXPECT_EQ(shownSteps, QString::number(form->world.counters.stepCount));
    EXPECT_EQ(shownMaxY, QString::number(form->world.counters.maxY));
}

// ------------------------------------------------------------------------------------------
// Failures

class RunFailureTest : public MainWindowTest {
protected:
    // The window after a start that failed before the run became active.
    void expectIdleAndUnlocked() {
        EXPECT_EQ(form->world.idle, 1);
        EXPECT_EQ(form->Button1->text(), "Start");
        EXPECT_TRUE(form->Memo1->isEnabled());
        EXPECT_TRUE(form->PageControl1->isEnabled());
        EXPECT_TRUE(about->RB15->isEnabled());
        EXPECT_TRUE(about->CheckBoxContinue->isEnabled());
        EXPECT_FALSE(form->Timer1->isActive());
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
            captionAtMessage = form->Button1->text();
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
    uint8_t* previousGrid = form->world.grid.cells;
    ASSERT_NE(previousGrid, nullptr);
    setEditor(QString());
    for (int page : {0, 1}) {
        form->PageControl1->setCurrentIndex(page);
        form->EditFile->setText("/no/such/file.txt");
        clickStart();
        EXPECT_TRUE(dialogs.boxes.empty());
        EXPECT_EQ(form->world.grid.cells, previousGrid);
        EXPECT_EQ(form->world.counters.stepCount, 10);
        expectIdleAndUnlocked();
    }
}

TEST_F(RunFailureTest, TooManyAntsKeepsThePreviousRun) {
    openWindow();
    setMaxSteps(10);
    clickStart();
    uint8_t* previousGrid = form->world.grid.cells;
    QString many;
    for (int i = 0; i < 256; ++i) many += QStringLiteral("%1,0,1\n").arg(i);
    setEditor(many);
    recordCaptionAtMessage();

    clickStart();

    expectSingleError(qm::MsgTooManyAnts);
    EXPECT_FALSE(cursorAtMessage);
    EXPECT_EQ(captionAtMessage, "Start");
    EXPECT_EQ(form->world.grid.cells, previousGrid);
    EXPECT_NE(form->world.storeIndexed, nullptr);
    expectIdleAndUnlocked();
}

TEST_F(RunFailureTest, TooManyAntsIsNotCheckedOnTheFromFilePage) {
    openWindow();
    about->RB15->click();
    QTemporaryDir dir;
    std::string content;
    for (int i = 0; i < 16; ++i) content += std::to_string(i) + ",0,1\n";
    form->PageControl1->setCurrentIndex(1);
    form->EditFile->setText(QString::fromStdString(writeFile(dir, "sixteen.txt", content)));
    setMaxSteps(5);

    clickStart();

    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, qm::MsgNotAllAnts);
    EXPECT_EQ(dialogs.boxes[0].type, qm::BoxType::Warning);
    EXPECT_EQ(form->world.counters.antCount, 15);
    EXPECT_EQ(form->world.counters.stepCount, 5);
}

TEST_F(RunFailureTest, GridAllocationFailureThenASmallerBlockWorks) {
    openWindow(memoryMiB(64, 40));
    ASSERT_EQ(about->RadioGroupMem->itemIndex(), 1);
    allocator.refuseAllocate = [](std::size_t bytes) { return bytes > 10 * qm::MiB; };
    installAllocator();
    recordCaptionAtMessage();

    clickStart();

    expectSingleError(qm::MsgGridMemory);
    EXPECT_FALSE(cursorAtMessage);
    EXPECT_EQ(captionAtMessage, "Start");
    EXPECT_FALSE(form->world.grid.exists());
    EXPECT_EQ(form->world.storeIndexed, nullptr);
    expectIdleAndUnlocked();

    dialogs.boxes.clear();
    about->RadioGroupMem->setItemIndex(0);
    setMaxSteps(100);
    clickStart();

    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_TRUE(form->world.grid.exists());
    EXPECT_EQ(form->world.grid.halfSize, 1023);
    EXPECT_EQ(form->world.counters.stepCount, 100);
}

TEST_F(RunFailureTest, SparseStoreFailureLeavesTheGridWithoutStore) {
    openWindow();
    // The fast grid's block is granted, the store's first slab (the next large one) refused.
    allocator.refuseAllocate = [large = 0](std::size_t bytes) mutable { return bytes > qm::MiB && ++large > 1; };
    installAllocator();

    clickStart();

    expectSingleError(qm::MsgStoreMemory);
    EXPECT_TRUE(form->world.grid.exists());
    EXPECT_EQ(form->world.storeIndexed, nullptr);
    expectIdleAndUnlocked();
}

TEST_F(RunFailureTest, AntArrayFailuresEndTheActiveRun) {
    struct Case {
        std::function<void(TAboutBox&)> choose;
        const char* message;
    };
    for (const Case& c : {Case{[](TAboutBox& a) { a.RBmany->click(); }, qm::MsgBWAntsMemory},
                          Case{[](TAboutBox& a) { a.RadioButtonG->click(); }, qm::MsgGenAntsMemory}}) {
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
        form->PageControl1->setCurrentIndex(1);
        form->EditFile->setText(QString::fromStdString(c.file));
        recordCaptionAtMessage();

        clickStart();

        expectSingleError(c.message);
        EXPECT_EQ(captionAtMessage, "Break");
        expectIdleAndUnlocked();
        EXPECT_TRUE(form->EditFile->isEnabled());
        EXPECT_TRUE(form->Button10->isEnabled());
    }
}

TEST_F(RunFailureTest, EditorOfOnlyShortLinesIsEmptiedAndReportsNoAnts) {
    openWindow();
    setEditor("abc\n1,2\n");
    recordCaptionAtMessage();

    clickStart();

    expectSingleError(qm::MsgNoAnts);
    EXPECT_EQ(captionAtMessage, "Break");
    EXPECT_EQ(form->Memo1->toPlainText(), "");
    EXPECT_EQ(form->world.lastStop, qm::StopReason::NoAnts);
    EXPECT_EQ(form->world.counters.stepCount, 0);
    expectIdleAndUnlocked();
}

TEST_F(RunFailureTest, AnEndOfRunThatFailsTwiceLeavesTheNextStartFree) {
    openWindow();
    setMaxSteps(20000000);
    duringRun([this] { form->world.hooks.step = [](void*) { throw std::runtime_error("hook broke"); }; });
    clickStart();
    ASSERT_FALSE(dialogs.boxes.empty());
    EXPECT_EQ(dialogs.boxes[0].text, "ERROR: hook broke");
    EXPECT_EQ(form->world.idle, 1);

    dialogs.boxes.clear();
    setMaxSteps(10);
    clickStart();
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(form->world.counters.stepCount, 10) << "the next start ran";
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
        form->world.pump = &pump;

        clickStart();

        form->world.pump = &form->pump;
        expectSingleError(c.message);
        expectIdleAndUnlocked();
    }
}
