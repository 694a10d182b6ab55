#pragma once
// The program's windows as the program starts them, so that nothing outside the window's layer
// needs the window's header.

#include <QStringList>

class QApplication;

// The main window, then its settings dialog, then the event loop; a FILE argument is opened
// (a world) or loaded into the editor. Returns the event loop's exit code; throws what
// building the windows throws.
int runProgramWindows(QApplication& app, const QStringList& arguments);
