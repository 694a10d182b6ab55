#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "TempDir.h"
#include "definitions/LineReader.h"

using qm::LineReader;

namespace {

struct ReadResult {
    std::vector<std::string> lines;
    std::vector<bool> eofAfter;
    bool failed = false;
};

// Reads the way the counting pass does: until the end-of-file state, stopping at a failure.
ReadResult readAll(const std::string& fileName) {
    ReadResult result;
    LineReader file;
    if (!file.Open(fileName)) {
        result.failed = true;
        return result;
    }
    std::string line;
    while (!file.Eof()) {
        if (!file.ReadLine(line)) {
            result.failed = true;
            break;
        }
        result.lines.push_back(line);
        result.eofAfter.push_back(file.Eof());
    }
    return result;
}

}  // namespace

TEST(ImFile, EndOfFileStateComesWithTheReadThatMeetsIt) {
    qmtest::TempDir dir;
    const ReadResult withBreak = readAll(dir.write("a.txt", "1,1,1\n2,2,2\n"));
    EXPECT_FALSE(withBreak.failed);
    EXPECT_EQ(withBreak.lines, (std::vector<std::string>{"1,1,1", "2,2,2", ""}));
    EXPECT_EQ(withBreak.eofAfter, (std::vector<bool>{false, false, true}));

    const ReadResult withoutBreak = readAll(dir.write("b.txt", "1,1,1\n2,2,2"));
    EXPECT_EQ(withoutBreak.lines, (std::vector<std::string>{"1,1,1", "2,2,2"}));
    EXPECT_EQ(withoutBreak.eofAfter, (std::vector<bool>{false, true}));

    const ReadResult empty = readAll(dir.write("c.txt", ""));
    EXPECT_EQ(empty.lines, (std::vector<std::string>{""}));
}

TEST(ImFile, CarriageReturnBeforeLineBreakIsDropped) {
    qmtest::TempDir dir;
    const ReadResult crlf = readAll(dir.write("crlf.txt", "1,2,R\r\n\r\n3,4,L\r\n"));
    EXPECT_EQ(crlf.lines, (std::vector<std::string>{"1,2,R", "", "3,4,L", ""}));

    // A carriage return elsewhere is an ordinary character.
    const ReadResult lone = readAll(dir.write("lone.txt", "a\rb\nc\r"));
    EXPECT_EQ(lone.lines, (std::vector<std::string>{"a\rb", "c\r"}));
}

TEST(ImFile, EightyCharactersFitAndEightyOneFail) {
    qmtest::TempDir dir;
    const std::string eighty(80, '7');
    const ReadResult fits = readAll(dir.write("80.txt", eighty + "\n" + eighty + "\r\n" + eighty));
    EXPECT_FALSE(fits.failed);
    EXPECT_EQ(fits.lines, (std::vector<std::string>{eighty, eighty, eighty}));

    LineReader file;
    ASSERT_TRUE(file.Open(dir.write("81.txt", "0,0,1\n" + std::string(81, '7') + "\n0,0,1\n")));
    std::string line;
    EXPECT_TRUE(file.ReadLine(line));
    EXPECT_FALSE(file.ReadLine(line));
    EXPECT_FALSE(file.IsOpen()) << "a failed read closes the file";
    EXPECT_FALSE(file.ReadLine(line)) << "nothing is read from a closed file";
    EXPECT_TRUE(file.Eof());
}

TEST(ImFile, CommentLinesComeBackEmpty) {
    qmtest::TempDir dir;
    const ReadResult read = readAll(dir.write("c.txt", ";1,1,1\n ;2,2,2\n;\n3,3,3;\n"));
    EXPECT_EQ(read.lines, (std::vector<std::string>{"", " ;2,2,2", "", "3,3,3;", ""}));
}

TEST(ImFile, AnyBytesPassThrough) {
    qmtest::TempDir dir;
    const std::string bytes = std::string("a\0b\xff\x80", 5);
    const ReadResult read = readAll(dir.write("bin.txt", bytes + "\n"));
    ASSERT_EQ(read.lines.size(), 2u);
    EXPECT_EQ(read.lines[0], bytes);
}

TEST(ImFile, OpenReportsAMissingFileAndReopenStartsOver) {
    qmtest::TempDir dir;
    LineReader file;
    EXPECT_FALSE(file.Open(dir.pathOf("missing.txt")));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.FileName(), dir.pathOf("missing.txt"));
    std::string line = "old";
    EXPECT_FALSE(file.ReadLine(line));

    const std::string name = dir.write("x.txt", "first\nsecond\n");
    ASSERT_TRUE(file.Open(name));
    ASSERT_TRUE(file.ReadLine(line));
    ASSERT_TRUE(file.ReadLine(line));
    ASSERT_TRUE(file.ReadLine(line));
    EXPECT_TRUE(file.Eof());
    file.Close();
    ASSERT_TRUE(file.Open(name));
    EXPECT_FALSE(file.Eof());
    ASSERT_TRUE(file.ReadLine(line));
    EXPECT_EQ(line, "first");
}

TEST(ImFile, FileSizeByName) {
    qmtest::TempDir dir;
    EXPECT_EQ(qm::fileSizeOf(dir.write("five.txt", "12345")), 5);
    EXPECT_EQ(qm::fileSizeOf(dir.write("empty.txt", "")), 0);
    EXPECT_EQ(qm::fileSizeOf(dir.pathOf("missing.txt")), -1);
}

TEST(ImFile, OnlyRegularFilesOpenAndNothingElseIsWaitedForOrRead) {
    qmtest::TempDir dir;
    const std::string pipe = dir.pathOf("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string regular = dir.write("ants.txt", "1,1,1\n");
    LineReader file;
    for (const std::string& name : {pipe, dir.pathOf(""), std::string("/dev/zero")}) {
        EXPECT_FALSE(file.Open(name)) << name;  // a pipe without a writer would block the open
        EXPECT_EQ(qm::readRegularFile(name, 100), std::nullopt) << name;
    }
    EXPECT_TRUE(file.Open(regular));
}

TEST(ImFile, WholeFileReadsStopAtTheirLargestSize) {
    qmtest::TempDir dir;
    const std::string name = dir.write("list.txt", std::string(70000, 'x'));
    const std::optional<qm::FileBytes> fits = qm::readRegularFile(name, 70000);
    ASSERT_TRUE(fits.has_value());
    EXPECT_FALSE(fits->tooBig);
    EXPECT_EQ(fits->bytes.size(), 70000u);
    const std::optional<qm::FileBytes> over = qm::readRegularFile(name, 69999);
    ASSERT_TRUE(over.has_value());
    EXPECT_TRUE(over->tooBig);
    EXPECT_TRUE(over->bytes.empty());
}
