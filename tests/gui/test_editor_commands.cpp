// The definition editor's commands through the real window: the "Add 4" lines, "Clear",
// "Load" with its size bands and encodings, "Save", "Select file", "Max steps:" and
// "^^^ almost unlimited ^^^".

#include <filesystem>
#include <string>
#include <vector>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "MainWindowFixture.h"
#include "gui/view/ImageSurface.h"

namespace {

using Lines = std::vector<std::string>;

const char* const ListFilter = "Textové soubory (*.txt)|*.txt|Všechny soubory (*.*)|*.*";
const char* const BigFileQuestion = "The file is largest then 1Mb.\n Using 'From file' is better.\n ... Read ?";
const char* const VeryBigFile = "ERROR: Very big file. Use 'From file'.";

class EditorCommandsTest : public MainWindowTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        openWindow();
        dialogs.boxes.clear();
    }

    void click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    Lines lines() const { return peer().editorLines(); }
    QString memoText() const { return ui().definition.definitionEditor->toPlainText(); }

    QString path(const QString& name) const { return folder.filePath(name); }

    QString writeFile(const QString& name, const QByteArray& content) const {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path(name);
    }

    // A file of the given size without data blocks: only its size is ever looked at.
    QString sparseFile(const QString& name, qint64 bytes) const {
        const QString file = writeFile(name, QByteArray());
        std::filesystem::resize_file(QFile::encodeName(file).toStdString(), static_cast<std::uintmax_t>(bytes));
        return file;
    }

    static QByteArray fileContent(const QString& name) {
        QFile file(name);
        if (!file.open(QIODevice::ReadOnly)) return "<unreadable>";
        return file.readAll();
    }

    void load(const QString& name) {
        dialogs.openAnswers.push_back(name);
        click(ui().definition.loadButton);
    }

    void setMaxStepsText(const QString& text) { ui().control.maxStepsEdit->setText(text); }
    int64_t maxSteps() const { return peer().world().limits.userMaxSteps; }

    // "Setting", with the user clicking "continue compute" into the wanted state before closing.
    void setContinueCompute(bool on) {
        dialogs.onModal = [this, on](QDialog&) {
            if (about->continueCheck->isChecked() != on) about->continueCheck->click();
        };
        click(ui().control.settingsButton);
        dialogs.onModal = nullptr;
        ASSERT_EQ(about->continueCheck->isChecked(), on);
    }

    QTemporaryDir folder;
};

// A list of real ant lines, cut to exactly `bytes` bytes.
QByteArray listOfSize(qint64 bytes) {
    QByteArray data;
    data.reserve(bytes);
    while (data.size() + 6 <= bytes) data += "0,0,1\n";
    data += QByteArray(bytes - data.size(), '7');
    return data;
}

// --- Add 4 diagonal / Add 4 by axis ------------------------------------------------------------

TEST_F(EditorCommandsTest, AddFourAppendsTheDistanceAsTypedAfterTheExistingLines) {
    ui().definition.addDistanceEdit->setText(QStringLiteral("25"));
    click(ui().definition.addDiagonalButton);
    EXPECT_EQ(lines(), (Lines{"0,0,1", "25,25,4", "25,-25,1", "-25,-25,2", "-25,25,3"}));
    click(ui().definition.addByAxisButton);
    EXPECT_EQ(lines(), (Lines{"0,0,1", "25,25,4", "25,-25,1", "-25,-25,2", "-25,25,3", "0,25,4", "25,0,1",
                              "0,-25,2", "-25,0,3"}));
}

TEST_F(EditorCommandsTest, AddFourCopiesANegativeDistanceLiterally) {
    setEditor(QString());
    ui().definition.addDistanceEdit->setText(QStringLiteral("-5"));
    click(ui().definition.addDiagonalButton);
    EXPECT_EQ(lines(), (Lines{"-5,-5,4", "-5,--5,1", "--5,--5,2", "--5,-5,3"}));
    setEditor(QString());
    click(ui().definition.addByAxisButton);
    EXPECT_EQ(lines(), (Lines{"0,-5,4", "-5,0,1", "0,--5,2", "--5,0,3"}));
}

TEST_F(EditorCommandsTest, AddFourLeavesNoEmptyLineBetweenOldAndNewLines) {
    ui().definition.addDistanceEdit->setText(QStringLiteral("7"));
    setEditor(QString());
    click(ui().definition.addByAxisButton);
    EXPECT_EQ(memoText(), QStringLiteral("0,7,4\n7,0,1\n0,-7,2\n-7,0,3"));

    setEditor(QStringLiteral("1,1,1\n"));  // a loaded file ends with a line break
    click(ui().definition.addByAxisButton);
    EXPECT_EQ(memoText(), QStringLiteral("1,1,1\n0,7,4\n7,0,1\n0,-7,2\n-7,0,3"));

    setEditor(QStringLiteral("1,1,1\n\n"));  // an empty line the user left stays
    click(ui().definition.addByAxisButton);
    EXPECT_EQ(lines(), (Lines{"1,1,1", "", "0,7,4", "7,0,1", "0,-7,2", "-7,0,3"}));
}

// --- Clear -----------------------------------------------------------------------------------

TEST_F(EditorCommandsTest, ClearRemovesEveryLineAndCanBeUndone) {
    setEditor(QStringLiteral("1,1,1\n2,2,2"));
    click(ui().definition.clearButton);
    EXPECT_TRUE(memoText().isEmpty());
    EXPECT_TRUE(lines().empty());
    ui().definition.definitionEditor->undo();
    EXPECT_EQ(memoText(), QStringLiteral("1,1,1\n2,2,2"));
}

TEST_F(EditorCommandsTest, ClearOnAnEmptyListChangesNothing) {
    setEditor(QString());
    QSignalSpy changes(ui().definition.definitionEditor, &QPlainTextEdit::textChanged);
    click(ui().definition.clearButton);
    EXPECT_TRUE(memoText().isEmpty());
    EXPECT_EQ(changes.count(), 0);
    EXPECT_FALSE(ui().definition.definitionEditor->document()->isUndoAvailable());
    EXPECT_TRUE(dialogs.boxes.empty());
}

// --- Load: size bands --------------------------------------------------------------------------

TEST_F(EditorCommandsTest, LoadReadsOneMebibyteWithoutAsking) {
    const QByteArray content = listOfSize(1048576);
    load(writeFile(QStringLiteral("exact.txt"), content));
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(memoText(), QString::fromLatin1(content));
}

TEST_F(EditorCommandsTest, LoadAsksAboveOneMebibyteAndNoKeepsTheList) {
    const QByteArray content = listOfSize(1048577);
    const QString name = writeFile(QStringLiteral("bigger.txt"), content);

    dialogs.boxAnswers.push_back(qm::BoxResult::No);
    load(name);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, BigFileQuestion);
    EXPECT_EQ(dialogs.boxes[0].type, qm::BoxType::Confirmation);
    EXPECT_EQ(dialogs.boxes[0].buttons, qm::BoxButtons::NoOk);
    EXPECT_EQ(lines(), (Lines{"0,0,1"}));

    dialogs.boxAnswers.push_back(qm::BoxResult::Ok);
    load(name);
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.boxes[1].text, BigFileQuestion);
    EXPECT_EQ(memoText(), QString::fromLatin1(content));
}

TEST_F(EditorCommandsTest, LoadStillAsksAtSixtyFourMebibytes) {
    dialogs.boxAnswers.push_back(qm::BoxResult::No);
    load(sparseFile(QStringLiteral("limit.txt"), 67108864));
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, BigFileQuestion);
    EXPECT_EQ(dialogs.boxes[0].type, qm::BoxType::Confirmation);
    EXPECT_EQ(dialogs.boxes[0].buttons, qm::BoxButtons::NoOk);
    EXPECT_EQ(lines(), (Lines{"0,0,1"}));
}

TEST_F(EditorCommandsTest, LoadRefusesAboveSixtyFourMebibytes) {
    load(sparseFile(QStringLiteral("huge.txt"), 67108865));
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, VeryBigFile);
    EXPECT_EQ(dialogs.boxes[0].type, qm::BoxType::Error);
    EXPECT_EQ(dialogs.boxes[0].buttons, qm::BoxButtons::Ok);
    EXPECT_EQ(lines(), (Lines{"0,0,1"}));
}

TEST_F(EditorCommandsTest, LoadCancelledChangesNothing) {
    click(ui().definition.loadButton);
    ASSERT_EQ(dialogs.openDialogs.size(), 1u);
    EXPECT_EQ(dialogs.openDialogs[0].filter, QString::fromUtf8(ListFilter));
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(lines(), (Lines{"0,0,1"}));
}

// --- Load: content -----------------------------------------------------------------------------

TEST_F(EditorCommandsTest, LoadReplacesTheListAndReadsEveryLineEnding) {
    load(writeFile(QStringLiteral("crlf.txt"), "1,1,1\r\n2,2,2\r\n3,3,3"));
    EXPECT_EQ(lines(), (Lines{"1,1,1", "2,2,2", "3,3,3"}));
    load(writeFile(QStringLiteral("empty.txt"), QByteArray()));
    EXPECT_TRUE(memoText().isEmpty());
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(EditorCommandsTest, LoadReadsUtf8AndFallsBackToLatin1) {
    load(writeFile(QStringLiteral("utf8.txt"), "0,0,1 ; \xC5\xBElut\xC3\xA9\n"));
    EXPECT_EQ(memoText(), QStringLiteral("0,0,1 ; \u017Elut\u00E9\n"));
    load(writeFile(QStringLiteral("latin1.txt"), "0,0,1 ; caf\xE9\n"));
    EXPECT_EQ(memoText(), QStringLiteral("0,0,1 ; caf\u00E9\n"));
}

TEST_F(EditorCommandsTest, LoadOfAMissingOrUnreadableFileReportsAndKeepsTheList) {
    setEditor(QStringLiteral("1,1,1\n2,2,2"));
    const QString missing = path(QStringLiteral("missing.txt"));
    load(missing);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, "ERROR: Cannot read file: " + missing.toStdString());
    EXPECT_EQ(dialogs.boxes[0].type, qm::BoxType::Error);
    EXPECT_EQ(dialogs.boxes[0].buttons, qm::BoxButtons::Ok);
    EXPECT_EQ(memoText(), QStringLiteral("1,1,1\n2,2,2"));

    load(folder.path());  // a folder is no list
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.boxes[1].text, "ERROR: Cannot read file: " + folder.path().toStdString());
    EXPECT_EQ(memoText(), QStringLiteral("1,1,1\n2,2,2"));
}

// --- Save --------------------------------------------------------------------------------------

TEST_F(EditorCommandsTest, SaveWritesOneLinePerListLineAndReplacesTheOldContent) {
    const QString name = writeFile(QStringLiteral("list.txt"), QByteArray(500, 'x'));
    setEditor(QStringLiteral("1,1,1\n-2,2,LB,00FF00\n\n3,3,3\n"));
    dialogs.saveAnswers.push_back(name);
    click(ui().definition.saveButton);
    ASSERT_EQ(dialogs.saveDialogs.size(), 1u);
    EXPECT_EQ(dialogs.saveDialogs[0].filter, QString::fromUtf8(ListFilter));
    EXPECT_EQ(dialogs.saveDialogs[0].defaultSuffix, QStringLiteral("txt"));
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(fileContent(name), QByteArray("1,1,1\n-2,2,LB,00FF00\n\n3,3,3\n"));
}

TEST_F(EditorCommandsTest, SaveCancelledWritesNothing) {
    click(ui().definition.saveButton);
    EXPECT_EQ(dialogs.saveDialogs.size(), 1u);
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(EditorCommandsTest, SaveThatCannotWriteReportsAndKeepsTheList) {
    setEditor(QStringLiteral("1,1,1\n2,2,2"));
    const QString name = path(QStringLiteral("no/such/folder/list.txt"));
    dialogs.saveAnswers.push_back(name);
    click(ui().definition.saveButton);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, "ERROR: Not saved to: " + name.toStdString());
    EXPECT_EQ(dialogs.boxes[0].type, qm::BoxType::Error);
    EXPECT_EQ(dialogs.boxes[0].buttons, qm::BoxButtons::Ok);
    EXPECT_EQ(memoText(), QStringLiteral("1,1,1\n2,2,2"));
    EXPECT_FALSE(QFile::exists(name));
}

// --- Select file -------------------------------------------------------------------------------

TEST_F(EditorCommandsTest, SelectFileNamesTheChosenFileAndCancelKeepsIt) {
    const QString name = writeFile(QStringLiteral("ants.txt"), "0,0,1\n");
    dialogs.openAnswers.push_back(name);
    click(ui().definition.selectFileButton);
    EXPECT_EQ(ui().definition.selectedFileEdit->text(), name);
    click(ui().definition.selectFileButton);  // cancelled
    EXPECT_EQ(ui().definition.selectedFileEdit->text(), name);
    ASSERT_EQ(dialogs.openDialogs.size(), 2u);
    EXPECT_EQ(dialogs.openDialogs[0].filter, QString::fromUtf8(ListFilter));
    EXPECT_EQ(lines(), (Lines{"0,0,1"}));  // the list is not touched
}

TEST_F(EditorCommandsTest, LoadAndSelectFileStartInTheSameFolder) {
    peer().definitionOpenDialog().lastDir = folder.path();
    click(ui().definition.loadButton);
    click(ui().definition.selectFileButton);
    ASSERT_EQ(dialogs.openDialogs.size(), 2u);
    EXPECT_EQ(dialogs.openDialogs[0].lastDir, folder.path());
    EXPECT_EQ(dialogs.openDialogs[1].lastDir, folder.path());
}

// --- Max steps ---------------------------------------------------------------------------------

TEST_F(EditorCommandsTest, MaxStepsInvalidTextMeansOneHundred) {
    for (const char* text : {"abc", "-", "12x", "5 ", "1.5"}) {
        setMaxStepsText(QString::fromLatin1(text));
        EXPECT_EQ(ui().control.maxStepsEdit->text(), QStringLiteral("100")) << text;
        EXPECT_EQ(maxSteps(), 100) << text;
    }
}

TEST_F(EditorCommandsTest, MaxStepsShowsTheDecimalValue) {
    setMaxStepsText(QStringLiteral("007"));
    EXPECT_EQ(ui().control.maxStepsEdit->text(), QStringLiteral("7"));
    EXPECT_EQ(maxSteps(), 7);
    setMaxStepsText(QStringLiteral("0x10"));
    EXPECT_EQ(ui().control.maxStepsEdit->text(), QStringLiteral("16"));
    EXPECT_EQ(maxSteps(), 16);
    setMaxStepsText(QStringLiteral("  +42"));
    EXPECT_EQ(ui().control.maxStepsEdit->text(), QStringLiteral("42"));
    EXPECT_EQ(maxSteps(), 42);
}

TEST_F(EditorCommandsTest, MaxStepsKeepsZeroAndNegativeValues) {
    setMaxStepsText(QStringLiteral("-5"));
    EXPECT_EQ(ui().control.maxStepsEdit->text(), QStringLiteral("-5"));
    EXPECT_EQ(maxSteps(), -5);
    setMaxStepsText(QStringLiteral("0"));
    EXPECT_EQ(ui().control.maxStepsEdit->text(), QStringLiteral("0"));
    EXPECT_EQ(maxSteps(), 0);
}

TEST_F(EditorCommandsTest, MaxStepsEmptyFieldStaysEmptyAndMeansOneHundred) {
    setMaxStepsText(QStringLiteral("500"));
    setMaxStepsText(QString());
    EXPECT_TRUE(ui().control.maxStepsEdit->text().isEmpty());
    EXPECT_EQ(maxSteps(), 100);
}

TEST_F(EditorCommandsTest, MaxStepsIsHeldAtTheStepMaximum) {
    setContinueCompute(false);
    ASSERT_EQ(peer().world().limits.stepMax, 4294967285);
    setMaxStepsText(QStringLiteral("4294967286"));
    EXPECT_EQ(ui().control.maxStepsEdit->text(), QStringLiteral("4294967285"));
    EXPECT_EQ(maxSteps(), 4294967285);
    setMaxStepsText(QStringLiteral("4294967285"));
    EXPECT_EQ(maxSteps(), 4294967285);

    setContinueCompute(true);
    setMaxStepsText(QStringLiteral("9223372036854775807"));
    EXPECT_EQ(ui().control.maxStepsEdit->text(), QStringLiteral("9223372036854775797"));
    EXPECT_EQ(maxSteps(), 9223372036854775797);
}

TEST_F(EditorCommandsTest, MaxStepsTypedKeyByKey) {
    ui().control.maxStepsEdit->selectAll();
    QTest::keyClicks(ui().control.maxStepsEdit, QStringLiteral("007"));
    EXPECT_EQ(ui().control.maxStepsEdit->text(), QStringLiteral("7"));
    EXPECT_EQ(maxSteps(), 7);

    ui().control.maxStepsEdit->selectAll();
    QTest::keyClick(ui().control.maxStepsEdit, Qt::Key_Backspace);
    EXPECT_TRUE(ui().control.maxStepsEdit->text().isEmpty());
    EXPECT_EQ(maxSteps(), 100);
    QTest::keyClicks(ui().control.maxStepsEdit, QStringLiteral("abc"));
    EXPECT_EQ(ui().control.maxStepsEdit->text(), QStringLiteral("100"));
    EXPECT_EQ(maxSteps(), 100);
}

TEST_F(EditorCommandsTest, MaxStepsRewritesTheFieldOnlyWhenItsTextIsNotInOrder) {
    setMaxStepsText(QStringLiteral("12"));
    QSignalSpy changes(ui().control.maxStepsEdit, &QLineEdit::textChanged);
    setMaxStepsText(QStringLiteral("12"));  // the text it holds: no change at all
    EXPECT_EQ(changes.count(), 0);
    setMaxStepsText(QStringLiteral("13"));  // in order: only the user's change
    EXPECT_EQ(changes.count(), 1);
    setMaxStepsText(QStringLiteral("014"));  // rewritten once, and that rewrite ends it
    EXPECT_EQ(changes.count(), 3);
    EXPECT_EQ(ui().control.maxStepsEdit->text(), QStringLiteral("14"));
}

// --- Almost unlimited and Setting --------------------------------------------------------------

TEST_F(EditorCommandsTest, AlmostUnlimitedShowsTheStepMaximumInForce) {
    setContinueCompute(false);
    click(ui().control.almostUnlimitedButton);
    EXPECT_EQ(ui().control.maxStepsEdit->text(), QStringLiteral("4294967285"));
    EXPECT_EQ(maxSteps(), 4294967285);

    setContinueCompute(true);
    click(ui().control.almostUnlimitedButton);
    EXPECT_EQ(ui().control.maxStepsEdit->text(), QStringLiteral("9223372036854775797"));
    EXPECT_EQ(maxSteps(), 9223372036854775797);
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(EditorCommandsTest, AlmostUnlimitedAfterTheStepMaximumFellLowersTheShownValue) {
    click(ui().control.almostUnlimitedButton);
    ASSERT_EQ(ui().control.maxStepsEdit->text(), QStringLiteral("9223372036854775797"));
    setContinueCompute(false);
    click(ui().control.almostUnlimitedButton);
    EXPECT_EQ(ui().control.maxStepsEdit->text(), QStringLiteral("4294967285"));
    EXPECT_EQ(maxSteps(), 4294967285);
}

TEST_F(EditorCommandsTest, SettingShowsTheSettingsDialogModallyThenRepaintsTheView) {
    QImage& picture = ui().view.viewSurface->image();
    ASSERT_FALSE(picture.isNull());
    const QRgb marker = qRgb(0x12, 0x34, 0x56);
    picture.fill(marker);
    bool untouchedWhileOpen = false;
    dialogs.onModal = [&](QDialog&) { untouchedWhileOpen = picture.pixel(0, 0) == marker; };

    click(ui().control.settingsButton);
    ASSERT_EQ(dialogs.modalDialogs.size(), 1u);
    EXPECT_EQ(dialogs.modalDialogs[0], about.get());
    EXPECT_TRUE(untouchedWhileOpen);
    int markerPixels = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) markerPixels += picture.pixel(x, y) == marker;
    EXPECT_EQ(markerPixels, 0);
}

}  // namespace
