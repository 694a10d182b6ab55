#include "definitions/qt/EditorCommands.h"

#include <QLineEdit>

#include "app/Dialogs.h"
#include "app/MainForm/MainForm.h"
#include "definitions/NumberText.h"
#include "settings/AboutBoxUnit/AboutBoxUnit.h"
#include "view/MainView.h"

EditorCommands::EditorCommands(TForm1& form) : form_(form) {}

void EditorCommands::setting() {
    if (!form_.aboutBox) return;
    form_.dialogs->showModal(*form_.aboutBox);
    form_.mainView->paintHandler();
}

void EditorCommands::add4Diagonal() {}
void EditorCommands::add4Axis() {}
void EditorCommands::clear() {}
void EditorCommands::load() {}
void EditorCommands::save() {}

void EditorCommands::maxStepsChange() {
    const QString text = form_.Edit1->text();
    int64_t value = qm::textToInt64Or(text.toStdString(), 100);
    if (value > form_.world.limits.stepMax) value = form_.world.limits.stepMax;
    form_.world.limits.userMaxSteps = value;
    const QString shown = QString::number(value);
    // Setting the same text raises no change event; a different one re-enters here harmlessly.
    if (!text.isEmpty() && text != shown) form_.Edit1->setText(shown);
}

void EditorCommands::almostUnlimited() {}
void EditorCommands::selectFile() {}
