// Every "not enought memory" path, reached by refusing the one allocation it needs, and what
// follows it: the message with its box type, then a "Start" with the memory back, whose run must
// complete with the counters of a correct run. (The sanitizer run of these tests shows that no
// failed path leaks.) The messages alone of the fast grid, the store, the ant arrays and the
// export are checked where those features are tested; here the point is the program afterwards.

#include <cstddef>
#include <string>
#include <vector>

#include <QFile>
#include <QTemporaryDir>

#include "../core/ReferenceModel.h"
#include "MainWindowFixture.h"
#include "core/RunSetup.h"
#include "core/StepLoops.h"
#include "gui/settings/RadioGroup.h"
#include "gui/view/BitmapExport.h"
#include "gui/view/BmpWriter.h"
#include "gui/view/ImageSurface.h"

namespace {

struct Ant {
    int32_t x;
    int32_t y;
    int code;  // direction code 1-4
};

// Beyond the smallest fast grid (half size 1023), heading for the growing X side of the stores'
// order, so that their insertions stay cheap: every square of this ant is a store square.
constexpr Ant FarAnt{3000, 0, 2};

QString definitionText(const std::vector<Ant>& ants) {
    QString text;
    for (const Ant& a : ants) text += QStringLiteral("%1,%2,%3\n").arg(a.x).arg(a.y).arg(a.code);
    return text;
}

}  // namespace

class MemoryFailureTest : public MainWindowTest {
protected:
    // A start that should fail but does not ends after a few steps instead of running for long.
    void open(qm::MemoryStatus status = memoryMiB(64, 20)) {
        openWindow(status);
        setMaxSteps(10);
    }

    void expectBoxes(const std::vector<std::pair<std::string, qm::BoxType>>& expected) {
        ASSERT_EQ(dialogs.boxes.size(), expected.size()) << (dialogs.boxes.empty() ? "" : dialogs.boxes[0].text);
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(dialogs.boxes[i].text, expected[i].first);
            EXPECT_EQ(dialogs.boxes[i].type, expected[i].second);
            EXPECT_EQ(dialogs.boxes[i].buttons, qm::BoxButtons::Ok);
        }
    }

    void expectIdleAndUnlocked() {
        EXPECT_EQ(peer().world().idle, 1);
        EXPECT_EQ(ui().control.startButton->text(), "Start");
        EXPECT_TRUE(ui().definition.definitionEditor->isEnabled());
        EXPECT_TRUE(about->memoryChoice->isEnabled());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }

    // With every allocation granted again: a run of `ants` for `steps` steps ends silently at
    // "Max steps:" with the squares, counters and positions of an independent model.
    void expectUsableRun(const std::vector<Ant>& ants, int64_t steps) {
        qm::setAllocator(nullptr);
        dialogs.boxes.clear();
        ui().definition.definitionTabs->setCurrentIndex(0);
        setEditor(definitionText(ants));
        setMaxSteps(steps);

        clickStart();

        expectBoxes({});
        expectIdleAndUnlocked();
        const qm::World& w = peer().world();
        EXPECT_EQ(w.lastStop, qm::StopReason::MaxSteps);
        qmtest::ReferenceModel model;
        for (const Ant& a : ants) model.ants.push_back({a.x, a.y, a.code - 1});
        for (int64_t i = 0; i < steps; ++i) model.step();
        ASSERT_EQ(w.counters.antCount, static_cast<int32_t>(ants.size()));
        EXPECT_EQ(w.counters.stepCount, steps);
        EXPECT_EQ(w.counters.filled, w.generalized ? model.visited : model.blackCount());
        for (size_t i = 0; i < ants.size(); ++i) {
            EXPECT_EQ(w.antPos[i].x, model.ants[i].x) << "ant " << i;
            EXPECT_EQ(w.antPos[i].y, model.ants[i].y) << "ant " << i;
        }
    }
};

// --- The run's own structures ---

TEST_F(MemoryFailureTest, StoreThatCannotBeCreatedThenARunBeyondTheGrid) {
    open();
    // The fast grid's block is granted, the store's first slab (the next large one) refused.
    allocator.refuseAllocate = [large = 0](std::size_t bytes) mutable { return bytes > qm::MiB && ++large > 1; };
    installAllocator();

    clickStart();

    expectBoxes({{qm::MsgStoreMemory, qm::BoxType::Error}});
    EXPECT_EQ(peer().world().storeIndexed, nullptr);
    expectIdleAndUnlocked();

    expectUsableRun({FarAnt}, 20000);
    ASSERT_NE(peer().world().storeIndexed, nullptr);
    EXPECT_EQ(peer().world().storeIndexed->Count(), peer().world().counters.filled);
}

TEST_F(MemoryFailureTest, StoreThatCannotGrowStopsTheRunThenTheSameRunCompletes) {
    // 8 Mb free: the smallest block, whose store starts with room for 65536 squares.
    open(memoryMiB(64, 8));
    ASSERT_EQ(about->memoryChoice->itemIndex(), 0);
    const int32_t room = qm::sparseStoreDelta(0, memory.status.available, 0);
    ASSERT_EQ(room, 65536);
    // The first slab of room for d squares is granted, the next one (as large) refused.
    const std::size_t slab = room * sizeof(qm::IndexedSquare);
    allocator.refuseAllocate = [slab, slabs = 0](std::size_t bytes) mutable {
        return bytes >= slab && bytes < 2 * slab && ++slabs > 1;
    };
    installAllocator();
    setEditor(definitionText({FarAnt}));
    setMaxSteps(700000);  // the ant paints its 65537th square on its highway before that

    clickStart();

    expectBoxes({{qm::MsgCannotSet, qm::BoxType::Error}});
    EXPECT_EQ(dialogs.boxes[0].text, "ERROR: Can not set new possition, breaked (not enought memory etc.)");
    const qm::World& w = peer().world();
    EXPECT_EQ(w.lastStop, qm::StopReason::CannotSet);
    EXPECT_LT(w.counters.stepCount, 700000);
    ASSERT_NE(w.storeIndexed, nullptr);
    EXPECT_LE(w.storeIndexed->Count(), room);
    EXPECT_GT(w.storeIndexed->Count(), room - room / 50) << "a highway leaves its leaves nearly full";
    EXPECT_EQ(w.counters.filled, w.storeIndexed->Count()) << "nothing lost";
    expectIdleAndUnlocked();

    expectUsableRun({FarAnt}, 700000);
    EXPECT_GT(peer().world().storeIndexed->Count(), room);
}

class RunAntArrayFailure : public MemoryFailureTest {
protected:
    void failThenRun(const std::function<void()>& chooseMode, const char* message) {
        open();
        chooseMode();
        const std::vector<Ant> ants = {{0, 0, 1}, {11, 4, 2}, {-6, -9, 3}};
        setEditor(definitionText(ants));
        allocator.refuseAllocate = [](std::size_t bytes) { return bytes == 3 * sizeof(qm::AntPos); };
        installAllocator();

        clickStart();

        expectBoxes({{message, qm::BoxType::Error}});
        EXPECT_EQ(peer().world().antPos, nullptr);
        expectIdleAndUnlocked();

        expectUsableRun(ants, 3000);
    }
};

TEST_F(RunAntArrayFailure, BlackAndWhiteThenTheNextRun) {
    failThenRun([this] { about->antsManyRadio->click(); }, qm::MsgBWAntsMemory);
    EXPECT_EQ(peer().world().mode(), qm::RunMode::BlackWhite);
}

TEST_F(RunAntArrayFailure, GeneralizedThenTheNextRun) {
    failThenRun([this] { about->generalizedRadio->click(); }, qm::MsgGenAntsMemory);
    EXPECT_EQ(peer().world().mode(), qm::RunMode::Generalized);
}

// --- The settings dialog's ant arrays ---

TEST_F(MemoryFailureTest, AntArraysThatFirstActivationCannotObtainAreReportedThere) {
    installAllocator();
    allocator.refuseAllocate = [](std::size_t bytes) { return bytes == 255 * sizeof(qm::AntPos); };
    openWindow();
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, "ERROR: not enought memory.");
    EXPECT_EQ(dialogs.boxes[0].type, qm::BoxType::Error);
}

TEST_F(MemoryFailureTest, AntMaximumThatCannotBeObtainedFallsBackTo15AndRunsThere) {
    open();
    allocator.refuseAllocate = [](std::size_t bytes) { return bytes > 255 * sizeof(qm::AntPos); };
    installAllocator();

    about->ants65535Radio->click();

    expectBoxes({{"ERROR: not enought memory.", qm::BoxType::Error}});
    EXPECT_TRUE(about->ants15Radio->isChecked());
    EXPECT_EQ(peer().world().antMax, 15);

    expectUsableRun({{0, 0, 1}, {7, 7, 4}}, 3000);
    EXPECT_EQ(peer().world().mode(), qm::RunMode::Indexed15);
    // The half sizes were computed for the maximum asked for; the fallback keeps them.
    EXPECT_EQ(peer().world().grid.halfSize, qm::computeHalfSizes(qm::AntMaxChoice::Ants65535)[0]);
}

TEST_F(MemoryFailureTest, NoAntArraysAtAllStopsStartsUntilAnAntMaximumIsChosenAgain) {
    open();
    allocator.refuseAllocate = [](std::size_t bytes) { return bytes > 8; };
    installAllocator();

    about->ants65535Radio->click();

    expectBoxes({{"ERROR: not enought memory.", qm::BoxType::Error},
                 {"FATAL ERROR: not enought memory. Close aplication or ??????.", qm::BoxType::Error}});
    EXPECT_EQ(peer().world().antPos, nullptr);
    EXPECT_EQ(peer().world().antColour, nullptr);

    // Memory is back, but the arrays are not: the start reports it like any unexpected error.
    qm::setAllocator(nullptr);
    dialogs.boxes.clear();
    clickStart();
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text.rfind("ERROR: ", 0), 0u) << dialogs.boxes[0].text;
    EXPECT_EQ(dialogs.boxes[0].type, qm::BoxType::Error);
    expectIdleAndUnlocked();

    dialogs.boxes.clear();
    about->ants255Radio->click();
    expectBoxes({});
    expectUsableRun({{0, 0, 1}, {7, 7, 4}}, 3000);
    EXPECT_EQ(peer().world().mode(), qm::RunMode::Indexed255);
}

// --- The export bitmap and the memory reserve ---

TEST_F(MemoryFailureTest, ExportBitmapAndReserveThatCannotBeHadLeaveRunsAndExportsWorking) {
    open();
    QTemporaryDir dir;
    // The bitmap of whatever size the view has when it is asked for, and the reserve.
    allocator.refuseAllocate = [this](std::size_t bytes) {
        const QSize view = ui().view.viewSurface->size();
        return bytes == std::size_t(qm::bmpRowBytes(view.width()) * view.height()) ||
               bytes == BitmapExport::ReserveBytes;
    };
    installAllocator();

    form->resize(700, 500);
    QCoreApplication::processEvents();
    const QSize view = ui().view.viewSurface->size();
    expectBoxes({{"FATAL ERROR: not enought memory. Close aplication or ??????.", qm::BoxType::Error}});
    EXPECT_EQ(peer().bitmapExport().exportBitmap, nullptr);

    dialogs.boxes.clear();
    const QString refused = dir.filePath(QStringLiteral("refused.bmp"));
    dialogs.saveAnswers.push_back(refused);
    ui().view.saveBmpAction->trigger();
    expectBoxes({{"FATAL ERROR: not enought memory - not saved. Close aplication or ??????.", qm::BoxType::Error},
                 {"Warning: not enought free memory ...", qm::BoxType::Warning}});
    EXPECT_FALSE(QFile::exists(refused));
    EXPECT_EQ(peer().bitmapExport().memoryReserve, nullptr);

    expectUsableRun({{0, 0, 1}, {5, -5, 3}}, 5000);

    const QString saved = dir.filePath(QStringLiteral("saved.bmp"));
    dialogs.saveAnswers.push_back(saved);
    ui().view.saveBmpAction->trigger();
    expectBoxes({});
    QFile file(saved);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.size(), qm::BmpHeaderBytes + qm::bmpRowBytes(view.width()) * view.height());
    EXPECT_NE(peer().bitmapExport().memoryReserve, nullptr);
}
