// "From file" reads a file twice: once to count its lines, then again for the ants. Files that
// shrink, grow, vanish or turn into something else between (or during) the two passes must end
// in the reader's own messages, never in a crash or in ants made up from lines that are gone.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ChangingFile.h"
#include "TempDir.h"
#include "TestSupport.h"
#include "core/RunSetup.h"
#include "definitions/AntReader.h"

using qm::BoxType;
using qmtest::FileChangingBetweenPasses;

namespace {

// A black-and-white world with room for `capacity` ants, every position marked as unread.
struct FileRun {
    explicit FileRun(int32_t capacity) {
        w.antMaxMode = qm::AntMaxMode::BlackWhite;
        w.messages = &messages;
        EXPECT_TRUE(qm::allocateRunAntArrays(w, capacity));
        for (int32_t i = 0; i < capacity; ++i) w.antPos[i] = {-99, -99};
    }
    int32_t read(qm::DefinitionSource& source, int32_t count) { return qm::readAnts(w, source, count, false); }
    std::vector<int32_t> xs(int32_t n) const {
        std::vector<int32_t> result;
        for (int32_t i = 0; i < n; ++i) result.push_back(w.antPos[i].x);
        return result;
    }
    void expectOnly(const std::string& text) const {
        ASSERT_EQ(messages.messages.size(), 1u);
        EXPECT_EQ(messages.messages[0].text, text);
        EXPECT_EQ(messages.messages[0].type, BoxType::Error);
    }

    qm::World w;
    qmtest::RecordingMessages messages;
};

// Rewrites the file in place (same file, so a handle that is open sees the change).
void rewrite(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

std::string numberedLines(int from, int to) {
    std::string text;
    for (int i = from; i <= to; ++i) text += std::to_string(i) + ",0,1\n";
    return text;
}

}  // namespace

TEST(FileChangesBetweenPasses, LinesLostSinceTheCountAreAFailedRead) {
    struct Case {
        const char* name;
        std::string shrunk;
        std::vector<int32_t> readBeforeFailure;
    };
    const std::vector<Case> cases = {
        {"emptied", "", {}},
        {"two lines gone", "1,0,1\n", {1}},
        {"cut inside a line", "1,0,1\n2,0", {1}},
        {"last line break gone", "1,0,1\n2,0,1\n3,0,1", {1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        qmtest::TempDir dir;
        const std::string path = dir.write("ants.txt", numberedLines(1, 3));
        FileRun run(3);
        qm::FileSource source(path);
        ASSERT_EQ(source.countLines(run.messages), 3);

        rewrite(path, c.shrunk);

        EXPECT_EQ(run.read(source, 3), -1);
        run.expectOnly(qm::MsgCannotRead + path);
        const auto done = static_cast<int32_t>(c.readBeforeFailure.size());
        EXPECT_EQ(run.xs(done), c.readBeforeFailure);
        EXPECT_EQ(run.w.antPos[done].x, -99) << "no ant is made up for a missing line";
    }
}

TEST(FileChangesBetweenPasses, GrownOrRewrittenFileGivesTheCountedNumberOfItsCurrentLines) {
    qmtest::TempDir dir;
    const std::string path = dir.write("ants.txt", numberedLines(1, 3));
    FileRun run(3);
    qm::FileSource source(path);
    ASSERT_EQ(source.countLines(run.messages), 3);

    rewrite(path, numberedLines(7, 20));

    EXPECT_EQ(run.read(source, 3), 3);
    EXPECT_TRUE(run.messages.messages.empty());
    EXPECT_EQ(run.xs(3), (std::vector<int32_t>{7, 8, 9}));
}

TEST(FileChangesBetweenPasses, FileRemovedAfterTheCountIsReadThroughItsOpenHandle) {
    // The count leaves the file open for the reading pass, so removing its name changes nothing.
    qmtest::TempDir dir;
    const std::string path = dir.write("ants.txt", numberedLines(1, 3));
    FileRun run(3);
    qm::FileSource source(path);
    ASSERT_EQ(source.countLines(run.messages), 3);

    std::filesystem::remove(path);

    EXPECT_EQ(run.read(source, 3), 3);
    EXPECT_TRUE(run.messages.messages.empty());
    EXPECT_EQ(run.xs(3), (std::vector<int32_t>{1, 2, 3}));
}

TEST(FileChangesBetweenPasses, FileShrinkingInTheMiddleOfTheReadingPassStopsItWithTheMessage) {
    // Large enough that the part already buffered by the reader cannot hide the cut.
    qmtest::TempDir dir;
    const int lines = 20000;
    const std::string path = dir.write("many.txt", numberedLines(1, lines));
    FileRun run(lines);
    qm::FileSource source(path);
    ASSERT_EQ(source.countLines(run.messages), lines);

    std::string line;
    int read = 0;
    for (; read < 100; ++read) ASSERT_TRUE(source.line(read, line, run.messages));
    rewrite(path, "1,0,1\n");
    bool failed = false;
    for (; read < lines; ++read) {
        if (!source.line(read, line, run.messages)) {
            failed = true;
            break;
        }
        ASSERT_EQ(line, std::to_string(read + 1) + ",0,1") << "only lines that were in the file";
    }

    EXPECT_TRUE(failed);
    EXPECT_LT(read, lines);
    run.expectOnly(qm::MsgCannotRead + path);
    EXPECT_FALSE(source.line(read + 1, line, run.messages)) << "the file was closed by the failure";
}

TEST(FileChangesBetweenPasses, FileGoneOrAFolderWhenReopenedIsReportedAsTheReopenFailure) {
    for (const auto then : {FileChangingBetweenPasses::Then::Nothing, FileChangingBetweenPasses::Then::Folder}) {
        qmtest::TempDir dir;
        FileChangingBetweenPasses file(dir.pathOf("ants.txt"), numberedLines(1, 3), then);
        ASSERT_TRUE(file.created());
        FileRun run(3);
        qm::FileSource source(file.path());

        EXPECT_EQ(source.countLines(run.messages), -1);

        EXPECT_TRUE(file.finish());
        run.expectOnly(qm::MsgCannotReopen + file.path());
    }
}

TEST(FileChangesBetweenPasses, FileReplacedWhileClosedIsReadAsTheReplacementIs) {
    using Then = FileChangingBetweenPasses::Then;
    struct Case {
        const char* name;
        Then then;
        std::string replacement;
        int32_t result;                 // of the reading pass
        const char* message;            // nullptr: none
        std::vector<int32_t> xs;        // ants read
    };
    const std::vector<Case> cases = {
        {"fewer lines", Then::PlainFile, numberedLines(5, 5), -1, qm::MsgCannotRead, {5}},
        {"more lines", Then::PlainFile, numberedLines(5, 9), 3, nullptr, {5, 6, 7}},
        {"a line too long", Then::PlainFile, "5,0,1\n" + std::string(81, '6') + "\n7,0,1\n", -1,
         qm::MsgCannotRead, {5}},
        {"binary", Then::PlainFile, std::string("\0\xff\x01,\x80,\n\n\n", 9), 3, nullptr, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        qmtest::TempDir dir;
        FileChangingBetweenPasses file(dir.pathOf("ants.txt"), numberedLines(1, 3), c.then, c.replacement);
        ASSERT_TRUE(file.created());
        FileRun run(3);
        qm::FileSource source(file.path());

        const int32_t count = source.countLines(run.messages);
        EXPECT_TRUE(file.finish());
        ASSERT_EQ(count, 3);
        EXPECT_EQ(run.read(source, count), c.result);

        if (c.message) run.expectOnly(c.message + file.path());
        else EXPECT_TRUE(run.messages.messages.empty());
        EXPECT_EQ(run.xs(static_cast<int32_t>(c.xs.size())), c.xs);
    }
}
