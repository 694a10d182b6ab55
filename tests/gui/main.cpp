// GUI tests run with a real QApplication, on the offscreen platform unless told otherwise.

#include <cstdlib>

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmarch"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
