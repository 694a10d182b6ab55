#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Quillmarch");
    QLabel placeholder("The main window is not built yet.");
    placeholder.show();
    return app.exec();
}
