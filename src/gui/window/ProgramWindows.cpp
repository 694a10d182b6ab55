#include "gui/window/ProgramWindows.h"

#include <memory>

#include <QApplication>
#include <QStringList>

#include "gui/QtDialogs.h"
#include "gui/settings/SettingsDialog.h"
#include "gui/window/MainWindow.h"

int runProgramWindows(QApplication& app, const QStringList& arguments) {
    QtDialogs dialogs;
    MainWindow form(dialogs);
    dialogs.setParent(&form);
    // Destroyed before the main window, which it leaves without a pointer to it.
    const std::unique_ptr<SettingsDialog> about = form.createSettingsDialog();
    form.show();
    if (arguments.size() == 1) form.openFromCommandLine(arguments[0]);
    return app.exec();
}
