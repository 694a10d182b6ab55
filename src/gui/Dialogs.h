#pragma once
// Every modal dialog of the program goes through this one seam: message boxes, file and colour
// dialogs, opening a web address, and showing the settings dialog. The program installs
// QtDialogs; tests install a fake that records the calls and answers from a script.

#include <optional>

#include <QColor>
#include <QString>

#include "core/Platform.h"

class QDialog;

class Dialogs : public qm::MessageSink {
public:
    // Filters are written "Description (*.ext)|*.ext|Other (*.*)|*.*": pairs of a description
    // and its pattern, the first pair preselected. `lastDir` is where the dialog opens; it is
    // updated to the folder of the chosen file.
    virtual std::optional<QString> openFileName(const QString& filter, QString& lastDir) = 0;
    // Asks before overwriting an existing file; appends `defaultSuffix` to a name typed without
    // an extension.
    virtual std::optional<QString> saveFileName(const QString& filter, const QString& defaultSuffix,
                                                QString& lastDir) = 0;
    virtual std::optional<QColor> chooseColour(const QColor& initial) = 0;
    virtual void openUrl(const QString& url) = 0;
    // Shows the dialog modally; returns when it has been closed.
    virtual void showModal(QDialog& dialog) = 0;
};

// "A (*.a)|*.a|B (*.*)|*.*" -> "A (*.a);;B (*.*)", the form Qt's file dialogs take.
QString toQtFileFilter(const QString& filter);
