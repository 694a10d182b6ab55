#pragma once
// A real main window and settings dialog on the offscreen platform, with recorded dialogs,
// an injected memory status and, where a test needs it, an allocator that refuses blocks.

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QCheckBox>
#include <QComboBox>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "FakeDialogs.h"
#include "gui/window/MainWindowTestPeer.h"
#include "core/Platform.h"
#include "gui/settings/SettingsDialog.h"
#include "core/MemoryBudget.h"

class FixedMemoryStatus final : public qm::MemoryStatusSource {
public:
    qm::MemoryStatus query() override { return status; }
    qm::MemoryStatus status;
};

// malloc/realloc/free, except for the blocks the predicates refuse.
class RefusingAllocator final : public qm::Allocator {
public:
    void* allocate(std::size_t bytes) override {
        if (refuseAllocate && refuseAllocate(bytes)) return nullptr;
        return std::malloc(bytes == 0 ? 1 : bytes);
    }
    void* reallocate(void* block, std::size_t bytes) override {
        if (refuseReallocate && refuseReallocate(bytes)) return nullptr;
        return std::realloc(block, bytes == 0 ? 1 : bytes);
    }
    void release(void* block) override { std::free(block); }

    std::function<bool(std::size_t)> refuseAllocate;
    std::function<bool(std::size_t)> refuseReallocate;
};

inline qm::MemoryStatus memoryMiB(uint64_t total, uint64_t available) {
    return {static_cast<uint32_t>(total * qm::MiB), static_cast<uint32_t>(available * qm::MiB)};
}

class MainWindowTest : public ::testing::Test {
protected:
    void TearDown() override {
        about.reset();
        form.reset();
        qm::setAllocator(nullptr);
        qm::setMemoryStatusSource(nullptr);
    }

    // 64 Mb of memory with 20 Mb free: the smallest block, half size 1023.
    void openWindow(qm::MemoryStatus status = memoryMiB(64, 20), bool windows9x = false) {
        memory.status = status;
        qm::setMemoryStatusSource(&memory);
        form = std::make_unique<MainWindow>(dialogs);
        peer().windows9xFamily() = windows9x;
        about = std::make_unique<SettingsDialog>(&form->settingsHost(), &dialogs);
        form->show();
        form->activate();
        QCoreApplication::processEvents();
    }

    void setEditor(const QString& text) { ui().definition.definitionEditor->setPlainText(text); }
    void setMaxSteps(int64_t steps) { ui().control.maxStepsEdit->setText(QString::number(steps)); }
    void clickStart() { QTest::mouseClick(ui().control.startButton, Qt::LeftButton); }
    // Runs `action` from the event processing of the run that the next click starts.
    void duringRun(std::function<void()> action) { QTimer::singleShot(0, form.get(), std::move(action)); }

    MainWindowTestPeer peer() const { return MainWindowTestPeer(*form); }
    MainWindowWidgets& ui() const { return peer().ui(); }

    void installAllocator() { qm::setAllocator(&allocator); }

    FakeDialogs dialogs;
    FixedMemoryStatus memory;
    RefusingAllocator allocator;
    std::unique_ptr<MainWindow> form;
    std::unique_ptr<SettingsDialog> about;
};
