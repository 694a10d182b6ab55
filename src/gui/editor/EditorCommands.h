#pragma once
// Commands of the " Control " and " Definition " groups that edit the ant list and the
// "Max steps:" value.

#include <cstdint>

#include <QString>
#include <QStringList>

class Dialogs;
class QLineEdit;
struct DefinitionWidgets;
struct FileDialogSetup;

namespace qm {
struct RunLimits;
}

// Texts of the list commands' boxes.
inline constexpr const char* MsgVeryBigFile = "ERROR: Very big file. Use 'From file'.";
inline constexpr const char* MsgBigFileQuestion =
    "The file is largest then 1Mb.\n Using 'From file' is better.\n ... Read ?";
inline constexpr const char* MsgCannotReadList = "ERROR: Cannot read file: ";
inline constexpr const char* MsgNotSaved = "ERROR: Not saved to: ";

// "Load" reads files up to this size without asking ...
inline constexpr int64_t LoadWithoutAskingBytes = 1048576;
// ... and refuses files above this one: they belong to "From file".
inline constexpr int64_t LoadRefusedAboveBytes = 67108864;

// A wrong "Max steps:" text means this many steps.
inline constexpr int64_t InvalidMaxSteps = 100;

class EditorCommands {
public:
    // `limits`: the step maximum that "Max steps:" is held at, and where its value goes;
    // `openDialog` serves "Load" and "Select file", `saveDialog` "Save".
    EditorCommands(DefinitionWidgets& ui, QLineEdit& maxStepsEdit, qm::RunLimits& limits, FileDialogSetup& openDialog,
                   FileDialogSetup& saveDialog, Dialogs& dialogs);

    void add4Diagonal();
    void add4Axis();
    void clear();
    void load();
    void loadFile(const QString& fileName);  // "Load" without the dialog
    void save();
    void maxStepsChange();   // "Max steps:" edited: validated against the step maximum, stored
    void almostUnlimited();  // "^^^ almost unlimited ^^^"
    void selectFile();       // "Select file"

private:
    void appendLines(const QStringList& lines);
    // The size question of "Load": true when the file may be read.
    bool loadAllowed(const QString& fileName);
    void error(const QString& text);

    DefinitionWidgets& ui_;
    QLineEdit& maxStepsEdit_;
    qm::RunLimits& limits_;
    FileDialogSetup& openDialog_;
    FileDialogSetup& saveDialog_;
    Dialogs& dialogs_;
};
