#include "GuiRun.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "gui/Dialogs.h"
#include "gui/window/MainWindowTestPeer.h"
#include "definitions/LineReader.h"
#include "gui/settings/SettingsDialog.h"
#include "gui/view/EyeWindow.h"
#include "gui/view/MainView.h"
#include "gui/settings/RadioGroup.h"
#include "gui/recording/RecordAnimationDialog.h"
#include "gui/timeline/GrowthChart.h"
#include "gui/timeline/TimelineCommands.h"
#include <QSpinBox>

namespace qmbench {

using qmheadless::formatReport;
using qmheadless::reportOf;
namespace {

// No person to answer: messages go to standard error, every other dialog is cancelled.
class BenchDialogs final : public Dialogs {
public:
    qm::BoxResult showMessage(const std::string& text, qm::BoxType, qm::BoxButtons) override {
        std::fprintf(stderr, "%s\n", text.c_str());
        return qm::BoxResult::Ok;
    }
    std::optional<QString> openFileName(const QString&, QString&) override { return std::nullopt; }
    std::optional<QString> saveFileName(const QString&, const QString&, QString&) override { return std::nullopt; }
    std::optional<QColor> chooseColour(const QColor&) override { return std::nullopt; }
    void openUrl(const QString&) override {}
    void showModal(QDialog& dialog) override {
        if (onModal) onModal(dialog);
    }
    std::function<void(QDialog&)> onModal;  // the bench's answer to a dialog it asked for
};

// The options' mode, memory item and "continue", as the settings dialog applies them.
qm::RunSettings settingsOf(qm::RunSettings settings, const RunOptions& o) {
    settings.generalized = o.mode == qm::RunMode::Generalized;
    settings.antMax = qm::antMaxChoiceOf(o.mode);
    if (settings.generalized) settings.states = o.states;
    settings.memoryItem = o.memoryItem;
    settings.continueCompute = o.continueCompute;
    return settings;
}

}  // namespace

std::unique_ptr<QApplication> startApplication(int& argc, char** argv) {
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    return std::make_unique<QApplication>(argc, argv);
}

namespace {

// One window with the options applied, ready for any number of runs.
class BenchWindow {
public:
    MainWindowTestPeer peer() { return MainWindowTestPeer(form_); }
    MainWindowWidgets& ui() { return peer().ui(); }

    explicit BenchWindow(const RunOptions& o) : form_(dialogs_), about_(&form_.settingsHost(), &dialogs_) {
        form_.show();
        QApplication::processEvents();
        form_.activate();

        about_.applySettings(settingsOf(peer().settings(), o));

        if (o.maxSteps) ui().control.maxStepsEdit->setText(QString::number(*o.maxSteps));
        else ui().control.almostUnlimitedButton->click();  // "^^^ almost unlimited ^^^": the step maximum

        if (o.antsFile.empty()) {
            ui().definition.definitionEditor->setPlainText(QStringLiteral("0,0,1"));
        } else if (qm::fileSizeOf(o.antsFile) <= 1048576) {
            std::ifstream in(o.antsFile, std::ios::binary);
            std::stringstream text;
            text << in.rdbuf();
            ui().definition.definitionEditor->setPlainText(QString::fromUtf8(text.str()));
        } else {
            ui().definition.definitionTabs->setCurrentIndex(1);
            ui().definition.selectedFileEdit->setText(QString::fromLocal8Bit(o.antsFile.c_str()));
        }
        ui().visualisation.squareSizeCombo->setCurrentIndex(o.squareSizeItem);
        ui().state.displayModeCombo->setCurrentIndex(o.showItem);
        QApplication::processEvents();
    }

    void showEye(bool shown) {
        if (peer().eyeWindow().shown() != shown) ui().navigation.eyeShowHideButton->click();  // "Eye S/H"
        QApplication::processEvents();
    }

    // The "Growth" window, opened from the view's menu or closed.
    void showChart(bool shown) {
        qmgui::GrowthChart* chart = peer().timelineCommands().chart();
        if (shown && !(chart && chart->isVisible())) peer().timelineCommands().growthAction()->trigger();
        if (!shown && chart) chart->hide();
        QApplication::processEvents();
    }

    // "Record animation..." of the main view: every displayed frame, or every N steps.
    void startRecording(const std::string& fileName, int64_t everySteps) {
        dialogs_.onModal = [&](QDialog& box) {
            auto& dialog = dynamic_cast<RecordAnimationDialog&>(box);
            dialog.fileEdit()->setText(QString::fromStdString(fileName));
            (everySteps > 0 ? dialog.everyStepsButton() : dialog.everyDisplayedButton())->setChecked(true);
            if (everySteps > 0) dialog.stepsBox()->setValue(static_cast<int>(everySteps));
            dialog.viewButton()->setChecked(true);
            dialog.accept();
        };
        peer().recordAnimationAction()->trigger();
        dialogs_.onModal = nullptr;
    }

    RunReport run() {
        ui().control.startButton->click();  // the whole run happens inside the click
        return reportOf(peer().world(), peer().lastLoopSeconds());
    }

    // Milliseconds of the main view's full repaint centred on the first ant (a highway's end),
    // and of the eye's at the finest scale that shows the whole bounding box; medians of three.
    void timeRepaints() {
        const qm::World& w = peer().world();
        const qm::RunCounters& c = w.counters;
        MainView& view = peer().mainView();
        view.viewOffsetX = -w.antPos[0].x;
        view.viewOffsetY = -w.antPos[0].y;
        const double mainMs = medianMs([&] { view.fullRepaint(); });

        EyeWindow& eye = peer().eyeWindow();
        if (!eye.shown()) ui().navigation.eyeShowHideButton->click();
        QApplication::processEvents();
        const int64_t spanX = int64_t{c.maxX} - c.minX + 1, spanY = int64_t{c.maxY} - c.minY + 1;
        const int64_t width = ui().eye.eyeSurface->width(), height = ui().eye.eyeSurface->height();
        const int64_t scale = std::max<int64_t>(1, std::max(spanX, spanY) / std::max<int64_t>(1, std::min(width, height)) + 1);
        eye.eyeScale = static_cast<int32_t>(scale);
        // The eye's centre is the pixel of square (0, 0): put the box's middle in the middle.
        eye.eyeCentreX = static_cast<int32_t>(width / 2 - (int64_t{c.minX} + c.maxX) / 2 / scale);
        eye.eyeCentreY = static_cast<int32_t>(height / 2 - (int64_t{c.minY} + c.maxY) / 2 / scale);
        const double eyeMs = medianMs([&] { eye.paint(); });
        std::printf("main_repaint_ms=%.2f eye_repaint_ms=%.2f eye_scale=%d eye=%lldx%lld\n", mainMs, eyeMs,
                    eye.eyeScale, static_cast<long long>(width), static_cast<long long>(height));
    }

private:
    template <class F>
    static double medianMs(F&& repaint) {
        double ms[3];
        for (double& m : ms) {
            const auto start = std::chrono::steady_clock::now();
            repaint();
            m = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        }
        std::sort(ms, ms + 3);
        return ms[1];
    }
public:

private:
    BenchDialogs dialogs_;
    MainWindow form_;
    SettingsDialog about_;
};

}  // namespace

RunReport runThroughWindow(const RunOptions& o) {
    BenchWindow window(o);
    window.showEye(o.eye);
    if (o.chart) window.showChart(true);
    if (!o.gifRecordFile.empty()) window.startRecording(o.gifRecordFile, 0);
    RunReport report = window.run();
    if (o.repaints) window.timeRepaints();
    return report;
}

namespace {

// Rounds in one window, each running once with `show(false)` and once with `show(true)`, which
// goes first alternating so that neither gains from what the other left warm.
template <class Show>
std::vector<double> pairedRatios(BenchWindow& window, int rounds, const char* name, Show&& show) {
    std::vector<double> ratios;
    for (int round = 0; round < rounds; ++round) {
        double movesPerSecond[2] = {0.0, 0.0};
        for (int k = 0; k < 2; ++k) {
            const bool shown = (round + k) % 2 == 1;
            show(shown);
            const RunReport report = window.run();
            std::printf("%s=%d %s\n", name, shown ? 1 : 0, formatReport(report).c_str());
            movesPerSecond[shown ? 1 : 0] = report.seconds > 0 ? double(report.moves) / report.seconds : 0.0;
        }
        if (movesPerSecond[0] > 0) ratios.push_back(movesPerSecond[1] / movesPerSecond[0]);
    }
    return ratios;
}

}  // namespace

std::vector<double> chartRatiosInOneWindow(const RunOptions& o, int rounds) {
    BenchWindow window(o);
    window.showEye(o.eye);
    return pairedRatios(window, rounds, "chart", [&](bool shown) { window.showChart(shown); });
}

std::vector<double> eyeRatiosInOneWindow(const RunOptions& o, int rounds) {
    BenchWindow window(o);
    std::vector<double> ratios;
    for (int round = 0; round < rounds; ++round) {
        // Which goes first alternates, so that neither gains from what the other left warm.
        double movesPerSecond[2] = {0.0, 0.0};
        for (int k = 0; k < 2; ++k) {
            const bool shown = (round + k) % 2 == 1;
            window.showEye(shown);
            const RunReport report = window.run();
            std::printf("eye=%d %s\n", shown ? 1 : 0, formatReport(report).c_str());
            movesPerSecond[shown ? 1 : 0] = report.seconds > 0 ? double(report.moves) / report.seconds : 0.0;
        }
        if (movesPerSecond[0] > 0) ratios.push_back(movesPerSecond[1] / movesPerSecond[0]);
    }
    return ratios;
}

}  // namespace qmbench
