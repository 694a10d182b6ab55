// Whatever a person types or pastes into a field of either window: empty text, lone signs,
// numbers beyond 64 bits, 100,000 characters, every byte value and NULs. Each field takes its
// documented fallback, nothing crashes, and the definition editor loses no line it should keep.
// Also the "From file" name field, with names that open nothing and files that change between
// the counting pass and the reading pass.

#include <string>
#include <vector>

#include <sys/stat.h>

#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTextDocument>

#include "../core/ChangingFile.h"
#include "MainWindowFixture.h"
#include "definitions/AntReader.h"
#include "gui/editor/EditorCommands.h"
#include "gui/settings/RadioGroup.h"
#include "gui/view/MainView.h"

namespace {

QString allByteValues() {
    QByteArray bytes;
    for (int i = 0; i < 256; ++i) bytes.append(char(i));
    return QString::fromLatin1(bytes);
}

QString withNul(const char* before, const char* after) {
    return QString::fromLatin1(before) + QChar(0) + QString::fromLatin1(after);
}

struct BadText {
    const char* name;
    QString text;
};

// Texts that are no number of any field.
std::vector<BadText> unreadableNumbers() {
    return {
        {"empty", QString()},
        {"blanks", QStringLiteral("   ")},
        {"minus", QStringLiteral("-")},
        {"plus", QStringLiteral("+")},
        {"hex prefix alone", QStringLiteral("0x")},
        {"letters", QStringLiteral("abc")},
        {"exponent", QStringLiteral("1e3")},
        {"beyond 64 bits", QStringLiteral("99999999999999999999999")},
        {"beyond 64 bits hex", QStringLiteral("0x1FFFFFFFFFFFFFFFF")},
        {"100000 letters", QString(100000, QLatin1Char('x'))},
        {"every byte value", allByteValues()},
        {"NUL inside digits", withNul("12", "34")},
        {"other digits", QStringLiteral("\u0661\u0662\u0663")},
    };
}

// The editor's lines as the program counts them (a final line break starts no line).
QStringList lines(const QPlainTextEdit& memo) {
    QString text = memo.toPlainText();
    if (text.isEmpty()) return {};
    if (text.endsWith(u'\n')) text.chop(1);
    return text.split(u'\n');
}

// What the clean-up at "Start" must leave: every line of at least five characters, unchanged.
QStringList linesKeptByTheCleanUp(const QStringList& all) {
    QStringList kept;
    for (const QString& line : all)
        if (line.toUcs4().size() >= 5) kept << line;
    return kept;
}

// Short enough to read in a failure message: code points in hex, long lines cut.
std::string describe(const QString& line) {
    std::string text = std::to_string(line.size()) + " chars:";
    const QList<uint> points = line.toUcs4();
    for (qsizetype i = 0; i < points.size() && i < 24; ++i) text += " " + QString::number(points[i], 16).toStdString();
    return text;
}

void expectSameLines(const QStringList& actual, const QStringList& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (qsizetype i = 0; i < actual.size(); ++i)
        EXPECT_TRUE(actual[i] == expected[i]) << "line " << i << ": " << describe(actual[i]) << "\n  expected "
                                             << describe(expected[i]);
}

// The editor's own reading of a text (it turns some separators and spaces into plain ones).
QString asTheEditorHoldsIt(const QString& text) {
    QTextDocument document;
    document.setPlainText(text);
    return document.toPlainText();
}

}  // namespace

class BadInputTest : public MainWindowTest {
protected:
    void click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    void expectOnlyError(const std::string& text) {
        ASSERT_EQ(dialogs.boxes.size(), 1u);
        EXPECT_EQ(dialogs.boxes[0].text, text);
        EXPECT_EQ(dialogs.boxes[0].type, qm::BoxType::Error);
        EXPECT_EQ(dialogs.boxes[0].buttons, qm::BoxButtons::Ok);
    }

    void expectIdleAndUnlocked() {
        EXPECT_EQ(peer().world().idle, 1);
        EXPECT_EQ(ui().control.startButton->text(), "Start");
        EXPECT_TRUE(ui().definition.definitionEditor->isEnabled());
        EXPECT_TRUE(ui().definition.selectedFileEdit->isEnabled());
        EXPECT_TRUE(ui().definition.definitionTabs->isEnabled());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }

    // A run from the editor after the bad input: it ends silently at "Max steps:".
    void expectRunFromTheEditor(int64_t steps) {
        dialogs.boxes.clear();
        ui().definition.definitionTabs->setCurrentIndex(0);
        setEditor(QStringLiteral("0,0,1\n4,4,2"));
        setMaxSteps(steps);
        clickStart();
        EXPECT_TRUE(dialogs.boxes.empty()) << (dialogs.boxes.empty() ? "" : dialogs.boxes[0].text);
        EXPECT_EQ(peer().world().counters.antCount, 2);
        EXPECT_EQ(peer().world().counters.stepCount, steps);
        EXPECT_EQ(peer().world().lastStop, qm::StopReason::MaxSteps);
    }

    // Runs the settings dialog as the user would: `inside` happens while it is open.
    void inSettings(const std::function<void()>& inside) {
        dialogs.onModal = [&](QDialog&) {
            about->show();
            inside();
            click(about->okButton);
        };
        click(ui().control.settingsButton);
        dialogs.onModal = nullptr;
    }

    // A run that ends before any move, so the ants stay where the lines put them.
    void runWithoutMoving(const QString& text) {
        setEditor(text);
        setMaxSteps(0);
        clickStart();
        ASSERT_TRUE(dialogs.boxes.empty());
    }
};

// --- "Max steps:" ---

TEST_F(BadInputTest, MaxStepsFallsBackTo100AndShowsIt) {
    openWindow();
    for (const BadText& bad : unreadableNumbers()) {
        SCOPED_TRACE(bad.name);
        ui().control.maxStepsEdit->setText(bad.text);
        EXPECT_EQ(peer().world().limits.userMaxSteps, 100);
        EXPECT_EQ(ui().control.maxStepsEdit->text(), bad.text.isEmpty() ? QString() : QStringLiteral("100"))
            << "an empty field stays empty so that a number can be typed";
    }
    EXPECT_TRUE(dialogs.boxes.empty());

    // The start reads the field again: an empty one still means 100 steps.
    ui().control.maxStepsEdit->setText(QString());
    clickStart();
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(peer().world().counters.stepCount, 100);
    EXPECT_EQ(ui().control.maxStepsEdit->text(), QString());
}

TEST_F(BadInputTest, MaxStepsTakesAtMostNineteenCharactersBeforeItIsRead) {
    openWindow();
    const int64_t stepMax = peer().world().limits.stepMax;
    struct Case {
        const char* typed;
        int64_t value;
    };
    const Case cases[] = {
        {"99999999999999999999", 100},                    // 19 nines: beyond 64 bits
        {"-99999999999999999999", -999999999999999999},   // 18 nines after the sign: a number
        {"9223372036854775807", stepMax},                 // the largest, lowered to the step maximum
        {"-9223372036854775808", -922337203685477580},    // the last digit does not fit
        {"0x7FFFFFFFFFFFFFFF", stepMax},
        {"0xFFFFFFFFFFFFFFFF", -1},                       // all 64 bits: two's complement
        {" 42", 42},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        ui().control.maxStepsEdit->setText(QString::fromLatin1(c.typed));
        EXPECT_EQ(peer().world().limits.userMaxSteps, c.value);
        EXPECT_EQ(ui().control.maxStepsEdit->text(), QString::number(c.value));
    }
}

// --- The move step and the ant number ---

TEST_F(BadInputTest, UnreadableMoveStepPansByNothing) {
    openWindow();
    std::vector<BadText> bad = unreadableNumbers();
    bad.push_back({"beyond 32 bits", QStringLiteral("2147483648")});
    for (const BadText& b : bad) {
        SCOPED_TRACE(b.name);
        ui().navigation.moveStepEdit->setText(b.text);
        for (QToolButton* pan : {ui().navigation.panRightButton, ui().navigation.panUpButton, ui().navigation.panUpLeftButton, ui().navigation.panDownRightButton})
            click(pan);
        EXPECT_EQ(peer().mainView().viewOffsetX, 0);
        EXPECT_EQ(peer().mainView().viewOffsetY, 0);
        EXPECT_EQ(ui().navigation.moveXValue->text(), "0");
        EXPECT_EQ(ui().navigation.moveYValue->text(), "0");
    }
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(BadInputTest, UnreadableAntNumberCountsAsTheFirstAnt) {
    openWindow();
    runWithoutMoving(QStringLiteral("10,-5,1\n20,7,1\n-30,40,1"));
    std::vector<BadText> bad = unreadableNumbers();
    bad.push_back({"beyond 32 bits", QStringLiteral("4294967297")});
    struct Command {
        QPushButton* button;
        const char* number;
        const char* x;
        const char* y;
    };
    // Ant 1, the one after it, and the one before it (wrapping to the last).
    const Command commands[] = {{ui().navigation.centreOnAntButton, "1", "10", "-5"},
                                {ui().navigation.nextAntButton, "2", "20", "7"},
                                {ui().navigation.previousAntButton, "3", "-30", "40"}};
    for (const BadText& b : bad) {
        for (const Command& c : commands) {
            SCOPED_TRACE(std::string(b.name) + " " + c.number);
            ui().navigation.antNumberEdit->setText(b.text);
            click(c.button);
            EXPECT_EQ(ui().navigation.antNumberEdit->text(), c.number);
            EXPECT_EQ(ui().navigation.moveXValue->text(), c.x);
            EXPECT_EQ(ui().navigation.moveYValue->text(), c.y);
        }
    }
    EXPECT_TRUE(dialogs.boxes.empty());
}

// --- The distance of "Add 4" ---

TEST_F(BadInputTest, AddFourCopiesAnyDistanceAsTypedAndTheRunReadsWhatItMakes) {
    openWindow();
    std::vector<BadText> bad = unreadableNumbers();
    bad.push_back({"100000 digits", QString(100000, QLatin1Char('9'))});
    for (const BadText& b : bad) {
        SCOPED_TRACE(b.name);
        setEditor(QStringLiteral("0,0,1\n3,3,2"));
        ui().definition.addDistanceEdit->setText(b.text);
        const QString d = ui().definition.addDistanceEdit->text();  // as the field holds it
        const QString before = ui().definition.definitionEditor->toPlainText();

        click(ui().definition.addDiagonalButton);
        click(ui().definition.addByAxisButton);

        const QString minus = QStringLiteral("-") + d;
        const QStringList added = {d + u',' + d + QStringLiteral(",4"), d + u',' + minus + QStringLiteral(",1"),
                                   minus + u',' + minus + QStringLiteral(",2"), minus + u',' + d + QStringLiteral(",3"),
                                   QStringLiteral("0,") + d + QStringLiteral(",4"), d + QStringLiteral(",0,1"),
                                   QStringLiteral("0,") + minus + QStringLiteral(",2"), minus + QStringLiteral(",0,3")};
        ASSERT_EQ(ui().definition.definitionEditor->toPlainText(), asTheEditorHoldsIt(before + u'\n' + added.join(u'\n')));

        const QStringList kept = linesKeptByTheCleanUp(lines(*ui().definition.definitionEditor));
        dialogs.boxes.clear();
        setMaxSteps(20);
        clickStart();
        EXPECT_TRUE(dialogs.boxes.empty()) << (dialogs.boxes.empty() ? "" : dialogs.boxes[0].text);
        expectSameLines(lines(*ui().definition.definitionEditor), kept);
        EXPECT_EQ(peer().world().counters.antCount, kept.size());
        EXPECT_EQ(peer().world().counters.stepCount, 20);
    }
}

// --- The definition editor itself ---

class EditorBadInput : public BadInputTest, public ::testing::WithParamInterface<const char*> {
protected:
    // Pasted, as a person would, into an editor holding one ant.
    void pasteIntoTheEditor(const QString& text) {
        setEditor(QStringLiteral("0,0,1\n"));
        QApplication::clipboard()->setText(text);
        ui().definition.definitionEditor->moveCursor(QTextCursor::End);
        ui().definition.definitionEditor->paste();
        ASSERT_EQ(ui().definition.definitionEditor->toPlainText(), asTheEditorHoldsIt(QStringLiteral("0,0,1\n") + text));
    }
};

TEST_P(EditorBadInput, PastedGarbageLosesNoLineAndEveryLineBecomesAnAnt) {
    const std::string mode = GetParam();
    openWindow();
    if (mode == "blackWhite") about->antsManyRadio->click();
    if (mode == "generalized") about->generalizedRadio->click();
    const QStringList pasted = {
        QStringLiteral("1,2,3,") + QString(100000, QLatin1Char('F')),
        QStringLiteral("0,0,1,") + QString(6, QChar(0)),
        QStringLiteral("0,0,1,BX") + QString(100000, QLatin1Char('1')),
        QStringLiteral("99999999999999999999999,-99999999999999999999999,1,99999999999999999999999"),
        QStringLiteral("-,+,-,-"),
        allByteValues(),  // holds line breaks of its own
        QString(),
        QStringLiteral("-"),
        QStringLiteral("\u00e4\u00e4\u00e4"),  // three characters, six bytes
        QStringLiteral("1,1,\u00e4"),
        QString(100000, QLatin1Char('7')) + QStringLiteral(",5,1"),
        QString(QChar(0)),
        withNul("12", "34,5,1"),
    };
    pasteIntoTheEditor(pasted.join(u'\n'));
    const QStringList kept = linesKeptByTheCleanUp(lines(*ui().definition.definitionEditor));
    ASSERT_LT(kept.size(), lines(*ui().definition.definitionEditor).size()) << "some lines are short, so the clean-up rewrites";
    setMaxSteps(50);

    clickStart();

    EXPECT_TRUE(dialogs.boxes.empty()) << (dialogs.boxes.empty() ? "" : dialogs.boxes[0].text);
    // Every line of five characters or more is kept unchanged.
    expectSameLines(lines(*ui().definition.definitionEditor), kept);
    const qm::World& w = peer().world();
    EXPECT_EQ(w.counters.antCount, kept.size());
    EXPECT_EQ(w.counters.stepCount, 50);
    // The first ants come from the first pasted lines (after the editor's own "0,0,1").
    if (mode == "indexed") {
        EXPECT_EQ(qm::colourOf(w.antColour[1]), 0xFFFFFFu) << "six characters of the field are read";
        EXPECT_EQ(qm::colourOf(w.antColour[2]), 0u) << "NULs are no hexadecimal digits";
        EXPECT_EQ(qm::colourOf(w.antColour[3]), 0x111100u) << "\"BX\" is no pair, \"11\" twice is";
        EXPECT_EQ(qm::colourOf(w.antColour[4]), 0x999999u);
        EXPECT_EQ(qm::colourOf(w.antColour[5]), 0u);
    }
    if (mode == "generalized") {
        EXPECT_EQ(w.antProgram[1], qm::DefaultProgram);
        EXPECT_EQ(w.antProgram[2], qm::DefaultProgram);
        EXPECT_EQ(w.antProgram[3], ~uint64_t{0}) << "the last 64 binary digits count";
        EXPECT_EQ(w.antProgram[4], qm::DefaultProgram) << "beyond 64 bits is no number";
        EXPECT_EQ(w.antProgram[5], qm::DefaultProgram);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryMode, EditorBadInput, ::testing::Values("indexed", "blackWhite", "generalized"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

// --- The hand brake coefficient of the settings dialog ---

TEST_F(BadInputTest, HandBrakeCoefficientFallsBackAndIsShownAsTaken) {
    openWindow();
    ui().visualisation.handBrakeSlider->setValue(3);
    const uint32_t factor = 3 * 3 * 3;  // position squared, times 3 for "Show grahhics state only"
    // The field keeps five characters of whatever it is given, and only then is it read.
    std::vector<std::pair<BadText, int32_t>> cases;
    for (const BadText& b : unreadableNumbers()) {
        const QString kept = b.text.left(5);
        if (kept == QStringLiteral("99999")) cases.push_back({b, 42000});
        else if (kept == QStringLiteral("0x1FF")) cases.push_back({b, 511});
        else cases.push_back({b, 100});
    }
    cases.push_back({{"more than the maximum", QStringLiteral("99999")}, 42000});
    cases.push_back({{"100000 digits", QString(100000, QLatin1Char('9'))}, 42000});
    cases.push_back({{"negative", QStringLiteral("-9999")}, 0});
    for (const auto& [bad, coefficient] : cases) {
        SCOPED_TRACE(bad.name);
        inSettings([&] { about->handBrakeCoefficientEdit->setText(bad.text); });
        EXPECT_EQ(about->handBrakeCoefficient(), coefficient);
        EXPECT_EQ(about->handBrakeCoefficientEdit->text(), QString::number(coefficient));
        EXPECT_EQ(peer().world().handBrakeCount, factor * static_cast<uint32_t>(coefficient));
    }
    EXPECT_TRUE(dialogs.boxes.empty());
    ui().visualisation.handBrakeSlider->setValue(0);
    expectRunFromTheEditor(200);
}

// --- The file name of "From file" ---

TEST_F(BadInputTest, NamesThatOpenNoFileEndTheRunWithTheirMessage) {
    openWindow();
    QTemporaryDir dir;
    const QString real = dir.filePath(QStringLiteral("ants.txt"));
    {
        QFile file(real);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("1,1,1\n");
    }
    struct Case {
        const char* name;
        QString fileName;
        const char* message;
    };
    QString noNul = allByteValues();
    noNul.remove(0, 1);
    const Case cases[] = {
        {"empty", QString(), qm::MsgCannotOpen},
        {"a real file's name and more after a NUL", real + QChar(0) + QStringLiteral("x"), qm::MsgCannotOpen},
        {"100000 characters", QString(100000, QLatin1Char('n')), qm::MsgCannotOpen},
        {"every byte value but NUL", noNul, qm::MsgCannotOpen},
        {"a folder", dir.path(), qm::MsgCannotOpen},
        {"a device", QStringLiteral("/dev/zero"), qm::MsgCannotOpen},
        {"a pipe without a writer", dir.filePath(QStringLiteral("pipe")), qm::MsgCannotOpen},
    };
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe"))).constData(), 0600), 0);
    const QString editor = ui().definition.definitionEditor->toPlainText();
    ui().definition.definitionTabs->setCurrentIndex(1);
    setMaxSteps(10);  // a file opened by mistake runs briefly and the missing box says so
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.boxes.clear();
        ui().definition.selectedFileEdit->setText(c.fileName);
        const std::string shownName = QFile::encodeName(ui().definition.selectedFileEdit->text()).toStdString();

        clickStart();

        expectOnlyError(c.message + shownName);
        expectIdleAndUnlocked();
        EXPECT_EQ(ui().definition.definitionEditor->toPlainText(), editor);
    }
    expectRunFromTheEditor(100);
}

TEST_F(BadInputTest, LoadRefusesWhatIsNoRegularFileWithoutReadingIt) {
    openWindow();
    QTemporaryDir dir;
    const QString pipe = dir.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString editor = ui().definition.definitionEditor->toPlainText();
    for (const QString& name : {pipe, QStringLiteral("/dev/zero"), dir.path()}) {
        SCOPED_TRACE(name.toStdString());
        dialogs.boxes.clear();
        dialogs.openAnswers.push_back(name);
        click(ui().definition.loadButton);
        expectOnlyError(MsgCannotReadList + name.toStdString());
        EXPECT_EQ(ui().definition.definitionEditor->toPlainText(), editor);
    }
}

TEST_F(BadInputTest, FileThatChangesBetweenTheTwoPassesEndsTheRunWithTheReaderMessage) {
    using Then = qmtest::FileChangingBetweenPasses::Then;
    openWindow();
    struct Case {
        const char* name;
        Then then;
        const char* message;
    };
    const Case cases[] = {{"removed", Then::Nothing, qm::MsgCannotReopen},
                          {"shortened", Then::PlainFile, qm::MsgCannotRead}};
    ui().definition.definitionTabs->setCurrentIndex(1);
    setMaxSteps(10);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        qmtest::FileChangingBetweenPasses file(dir.filePath(QStringLiteral("ants.txt")).toStdString(),
                                               "1,1,1\n2,2,2\n3,3,3\n", c.then, "1,1,1\n");
        ASSERT_TRUE(file.created());
        dialogs.boxes.clear();
        ui().definition.selectedFileEdit->setText(QString::fromStdString(file.path()));

        clickStart();

        EXPECT_TRUE(file.finish()) << "the counting pass read the first text";
        expectOnlyError(c.message + file.path());
        expectIdleAndUnlocked();
    }
    expectRunFromTheEditor(100);
}
