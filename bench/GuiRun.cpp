#include "GuiRun.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "app/Dialogs.h"
#include "app/MainForm/MainForm.h"
#include "definitions/Imfile.h"
#include "settings/AboutBoxUnit/AboutBoxUnit.h"
#include "view/EyeWindow.h"
#include "view/MainView.h"
#include "settings/AboutBoxUnit/RadioGroup.h"

namespace qmbench {
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
    void showModal(QDialog&) override {}
};

void applyMode(TAboutBox& about, const BenchOptions& o) {
    switch (o.mode) {
        case qm::RunMode::Indexed15: about.RadioButtonL->click(); about.RB15->click(); break;
        case qm::RunMode::Indexed65535: about.RadioButtonL->click(); about.RB65535->click(); break;
        case qm::RunMode::BlackWhite: about.RadioButtonL->click(); about.RBmany->click(); break;
        case qm::RunMode::Generalized:
            about.RadioButtonG->click();
            about.ComboBoxStates->setCurrentIndex(o.states - 2);
            break;
        default: about.RadioButtonL->click(); about.RB255->click(); break;
    }
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
    explicit BenchWindow(const BenchOptions& o) : form_(dialogs_), about_(&form_.settingsHost(), &dialogs_) {
        form_.setAboutBox(&about_);
        form_.show();
        QApplication::processEvents();
        form_.FormActivate();

        applyMode(about_, o);
        about_.RadioGroupMem->setItemIndex(o.memoryItem);
        if (about_.CheckBoxContinue->isChecked() != o.continueCompute) about_.CheckBoxContinue->click();

        if (o.maxSteps) form_.Edit1->setText(QString::number(*o.maxSteps));
        else form_.Button9->click();  // "^^^ almost unlimited ^^^": the step maximum

        if (o.antsFile.empty()) {
            form_.Memo1->setPlainText(QStringLiteral("0,0,1"));
        } else if (qm::fileSizeOf(o.antsFile) <= 1048576) {
            std::ifstream in(o.antsFile, std::ios::binary);
            std::stringstream text;
            text << in.rdbuf();
            form_.Memo1->setPlainText(QString::fromUtf8(text.str()));
        } else {
            form_.PageControl1->setCurrentIndex(1);
            form_.EditFile->setText(QString::fromLocal8Bit(o.antsFile.c_str()));
        }
        form_.ComboBoxSize->setCurrentIndex(o.squareSizeItem);
        form_.CBShow->setCurrentIndex(o.showItem);
        QApplication::processEvents();
    }

    void showEye(bool shown) {
        if (form_.eyeWindow->shown() != shown) form_.Button7->click();  // "Eye S/H"
        QApplication::processEvents();
    }

    RunReport run() {
        form_.Button1->click();  // the whole run happens inside the click
        return reportOf(form_.world, form_.lastLoopSeconds);
    }

    // Milliseconds of the main view's full repaint centred on the first ant (a highway's end),
    // and of the eye's at the finest scale that shows the whole bounding box; medians of three.
    void timeRepaints() {
        const qm::World& w = form_.world;
        const qm::RunCounters& c = w.counters;
        MainView& view = *form_.mainView;
        view.viewOffsetX = -w.antPos[0].x;
        view.viewOffsetY = -w.antPos[0].y;
        const double mainMs = medianMs([&] { view.fullRepaint(); });

        EyeWindow& eye = *form_.eyeWindow;
        if (!eye.shown()) form_.Button7->click();
        QApplication::processEvents();
        const int64_t spanX = int64_t{c.maxX} - c.minX + 1, spanY = int64_t{c.maxY} - c.minY + 1;
        const int64_t width = form_.PaintBoxEye->width(), height = form_.PaintBoxEye->height();
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
    TForm1 form_;
    TAboutBox about_;
};

}  // namespace

RunReport runThroughWindow(const BenchOptions& o) {
    BenchWindow window(o);
    window.showEye(o.eye);
    RunReport report = window.run();
    if (o.repaints) window.timeRepaints();
    return report;
}

std::vector<double> eyeRatiosInOneWindow(const BenchOptions& o, int rounds) {
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
