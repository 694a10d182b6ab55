// Program entry: the main window, then the settings dialog, then the event loop.

#include <exception>

#include <QApplication>
#include <QMessageBox>

#include "app/MainForm/MainForm.h"
#include "app/QtDialogs.h"
#include "settings/AboutBoxUnit/AboutBoxUnit.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmarch"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quillmarch"));
    try {
        QtDialogs dialogs;
        TForm1 form(dialogs);
        dialogs.setParent(&form);
        TAboutBox about(&form.settingsHost(), &dialogs);
        form.setAboutBox(&about);
        form.show();
        return app.exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QApplication::applicationName(), QString::fromLocal8Bit(e.what()));
    } catch (...) {
        QMessageBox::critical(nullptr, QApplication::applicationName(), QStringLiteral("Unknown error"));
    }
    return 1;
}
