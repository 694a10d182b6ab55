#include "gui/editor/EditorCommands.h"

#include <algorithm>
#include <optional>

#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "gui/Dialogs.h"
#include "core/World.h"
#include "definitions/LineReader.h"
#include "definitions/NumberText.h"
#include "gui/FileDialogSetup.h"
#include "gui/window/MainWindowWidgets.h"

namespace {

const QString AlmostUnlimitedText = QStringLiteral("9223372036854775807");

QStringList diagonalAntLines(const QString& d) {
    const QString minus = QStringLiteral("-") + d;
    return {d + u',' + d + QStringLiteral(",4"), d + u',' + minus + QStringLiteral(",1"),
            minus + u',' + minus + QStringLiteral(",2"), minus + u',' + d + QStringLiteral(",3")};
}

QStringList axisAntLines(const QString& d) {
    const QString minus = QStringLiteral("-") + d;
    return {QStringLiteral("0,") + d + QStringLiteral(",4"), d + QStringLiteral(",0,1"),
            QStringLiteral("0,") + minus + QStringLiteral(",2"), minus + QStringLiteral(",0,3")};
}

// The lines of the list; a final line break starts no line.
QStringList listLines(const QPlainTextEdit& memo) {
    QString text = memo.toPlainText();
    if (text.isEmpty()) return {};
    if (text.endsWith(u'\n')) text.chop(1);
    return text.split(u'\n');
}

std::string fileNameBytes(const QString& fileName) { return QFile::encodeName(fileName).toStdString(); }

// The whole file as text: UTF-8, or Latin-1 when the bytes are no valid UTF-8 (lists written
// by older editors). Line ends of every platform become '\n'. None when it cannot be read;
// an empty text with `tooBig` when it holds more than "Load" takes.
std::optional<QString> readListText(const QString& fileName, bool& tooBig) {
    const std::optional<qm::FileBytes> file = qm::readRegularFile(fileNameBytes(fileName), LoadRefusedAboveBytes);
    if (!file) return std::nullopt;
    tooBig = file->tooBig;
    const QByteArray bytes = QByteArray::fromStdString(file->bytes);
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) text = QString::fromLatin1(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

// One line per list line, each ended by a line break. The old content is replaced only when
// the new one is complete, so a failed save never leaves half a list behind.
bool writeListText(const QString& fileName, const QStringList& lines) {
    QSaveFile file(fileName);
    file.setDirectWriteFallback(true);  // folders where no temporary file can be made
    if (!file.open(QIODevice::WriteOnly)) return false;
    for (const QString& line : lines) {
        file.write(line.toUtf8());
        file.write("\n", 1);
    }
    return file.commit();
}

}  // namespace

EditorCommands::EditorCommands(DefinitionWidgets& ui, QLineEdit& maxStepsEdit, qm::RunLimits& limits,
                               FileDialogSetup& openDialog, FileDialogSetup& saveDialog, Dialogs& dialogs)
    : ui_(ui),
      maxStepsEdit_(maxStepsEdit),
      limits_(limits),
      openDialog_(openDialog),
      saveDialog_(saveDialog),
      dialogs_(dialogs) {}

void EditorCommands::add4Diagonal() { appendLines(diagonalAntLines(ui_.addDistanceEdit->text())); }

void EditorCommands::add4Axis() { appendLines(axisAntLines(ui_.addDistanceEdit->text())); }

void EditorCommands::appendLines(const QStringList& lines) {
    QPlainTextEdit* memo = ui_.definitionEditor;
    QTextCursor cursor(memo->document());
    cursor.movePosition(QTextCursor::End);
    // An empty last block is no line yet (an empty list, or a text ending in a line break):
    // the first new line goes into it, so no empty line appears between old and new.
    const QString separator = cursor.atBlockStart() ? QString() : QStringLiteral("\n");
    cursor.insertText(separator + lines.join(u'\n'));
    memo->moveCursor(QTextCursor::End);
    memo->ensureCursorVisible();
}

void EditorCommands::clear() {
    QPlainTextEdit* memo = ui_.definitionEditor;
    if (memo->document()->isEmpty()) return;  // no empty undo step
    // Removed through a cursor rather than cleared, so that the editor's undo brings the list back.
    QTextCursor cursor(memo->document());
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
}

void EditorCommands::load() {
    const std::optional<QString> chosen =
        dialogs_.openFileName(openDialog_.filter, openDialog_.lastDir);
    if (chosen) loadFile(*chosen);
}

void EditorCommands::loadFile(const QString& fileName) {
    if (!loadAllowed(fileName)) return;
    bool tooBig = false;
    const std::optional<QString> text = readListText(fileName, tooBig);
    if (!text) {
        error(QString::fromLatin1(MsgCannotReadList) + fileName);
        return;
    }
    if (tooBig) {  // it grew after its size was asked
        error(QString::fromLatin1(MsgVeryBigFile));
        return;
    }
    ui_.definitionEditor->setPlainText(*text);
}

bool EditorCommands::loadAllowed(const QString& fileName) {
    // A file that cannot be found counts as -1: reading it then reports the failure.
    const int64_t size = qm::fileSizeOf(fileNameBytes(fileName));
    if (size > LoadRefusedAboveBytes) {
        error(QString::fromLatin1(MsgVeryBigFile));
        return false;
    }
    if (size <= LoadWithoutAskingBytes) return true;
    return dialogs_.showMessage(MsgBigFileQuestion, qm::BoxType::Confirmation, qm::BoxButtons::NoOk) ==
           qm::BoxResult::Ok;
}

void EditorCommands::save() {
    const std::optional<QString> chosen = dialogs_.saveFileName(
        saveDialog_.filter, saveDialog_.defaultSuffix, saveDialog_.lastDir);
    if (!chosen) return;
    if (!writeListText(*chosen, listLines(*ui_.definitionEditor))) error(QString::fromLatin1(MsgNotSaved) + *chosen);
}

void EditorCommands::selectFile() {
    // The same dialog as "Load": both start where the last file was chosen.
    const std::optional<QString> chosen =
        dialogs_.openFileName(openDialog_.filter, openDialog_.lastDir);
    if (chosen) ui_.selectedFileEdit->setText(*chosen);
}

void EditorCommands::maxStepsChange() {
    QLineEdit* field = &maxStepsEdit_;
    const QString text = field->text();
    int64_t steps = 0;
    if (!qm::textToInt64(text.toStdString(), steps)) steps = InvalidMaxSteps;
    steps = std::min(steps, limits_.stepMax);
    limits_.userMaxSteps = steps;
    // An empty field stays empty so that a new number can be typed; it means 100 meanwhile.
    if (text.isEmpty()) return;
    const QString shown = QString::number(steps);
    if (text == shown) return;
    // Raises one more change, which finds the text in order and stops there.
    const int caret = field->cursorPosition();
    field->setText(shown);
    field->setCursorPosition(std::min(caret, static_cast<int>(shown.size())));
}

void EditorCommands::almostUnlimited() {
    maxStepsEdit_.setText(AlmostUnlimitedText);
    maxStepsChange();  // the change event comes only when the text differed; validate in any case
}

void EditorCommands::error(const QString& text) {
    dialogs_.showMessage(text.toStdString(), qm::BoxType::Error);
}
