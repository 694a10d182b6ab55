// Program entry: the main window, then the settings dialog, then the event loop.

#include <exception>
#include <memory>

#include <QApplication>
#include <QMessageBox>

#include "app/MainForm/MainForm.h"
#include "app/QtDialogs.h"
#include "settings/AboutBoxUnit/AboutBoxUnit.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // No display name: the platform would append it to every window title ("About" included).
    QApplication::setApplicationName(QStringLiteral("Quillmarch"));
    try {
        QtDialogs dialogs;
        TForm1 form(dialogs);
        dialogs.setParent(&form);
        // Destroyed before the main window, which it leaves without a pointer to it.
        const std::unique_ptr<TAboutBox> about = form.createAboutBox();
        form.show();
        return app.exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QApplication::applicationName(), QString::fromLocal8Bit(e.what()));
    } catch (...) {
        QMessageBox::critical(nullptr, QApplication::applicationName(), QStringLiteral("Unknown error"));
    }
    return 1;
}
