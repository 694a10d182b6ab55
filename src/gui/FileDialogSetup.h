#pragma once
// What a file dialog of the window remembers between uses.

#include <QString>

struct FileDialogSetup {
    QString filter;         // "Description (*.ext)|*.ext|..."
    QString defaultSuffix;  // appended to a name typed without extension (save dialogs)
    QString lastDir;
};
