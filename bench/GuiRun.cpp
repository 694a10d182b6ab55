#include "GuiRun.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

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

RunReport runThroughWindow(const BenchOptions& o) {
    BenchDialogs dialogs;
    TForm1 form(dialogs);
    TAboutBox about(&form.settingsHost(), &dialogs);
    form.setAboutBox(&about);
    form.show();
    QApplication::processEvents();
    form.FormActivate();

    applyMode(about, o);
    about.RadioGroupMem->setItemIndex(o.memoryItem);
    if (about.CheckBoxContinue->isChecked() != o.continueCompute) about.CheckBoxContinue->click();

    if (o.maxSteps) form.Edit1->setText(QString::number(*o.maxSteps));
    else form.Button9->click();  // "^^^ almost unlimited ^^^": the step maximum

    if (o.antsFile.empty()) {
        form.Memo1->setPlainText(QStringLiteral("0,0,1"));
    } else if (qm::fileSizeOf(o.antsFile) <= 1048576) {
        std::ifstream in(o.antsFile, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        form.Memo1->setPlainText(QString::fromUtf8(text.str()));
    } else {
        form.PageControl1->setCurrentIndex(1);
        form.EditFile->setText(QString::fromLocal8Bit(o.antsFile.c_str()));
    }
    form.ComboBoxSize->setCurrentIndex(o.squareSizeItem);
    form.CBShow->setCurrentIndex(o.showItem);
    if (o.eye) form.Button7->click();
    QApplication::processEvents();

    form.Button1->click();  // the whole run happens inside the click
    return reportOf(form.world, form.lastLoopSeconds);
}

}  // namespace qmbench
