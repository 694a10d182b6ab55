#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "TempDir.h"
#include "TestSupport.h"
#include "definitions/AntReader.h"

using qm::AntMaxMode;
using qm::BoxType;
using qm::DefaultProgram;
using qm::parseGeneralizedLine;
using qm::parseLangtonLine;

namespace {

constexpr uint32_t rgb(uint32_t red, uint32_t green, uint32_t blue) { return red | green << 8 | blue << 16; }

uint8_t langtonDirection(const std::string& line) { return parseLangtonLine(line, 20, false).direction; }
uint32_t colourOf(const std::string& line, int32_t index = 20) { return parseLangtonLine(line, index, true).colour; }
uint8_t generalizedDirection(const std::string& line) { return parseGeneralizedLine(line).direction; }
uint64_t programOf(const std::string& line) { return parseGeneralizedLine(line).program; }

// A world whose ant arrays hold `capacity` ants, filled with marks that the reader must overwrite
// (or leave alone past the ants it reads).
class ReaderWorld {
public:
    static constexpr uint32_t UntouchedColour = 0xDEADBEEF;
    static constexpr uint8_t UntouchedDir = 0xEE;

    ReaderWorld(AntMaxMode mode, bool generalized, int32_t capacity) {
        w.antMaxMode = mode;
        w.generalized = generalized;
        w.antMax = capacity;
        w.messages = &messages;
        const auto n = static_cast<size_t>(capacity);
        w.antPos = static_cast<qm::AntPos*>(qm::allocator().allocate(n * sizeof(qm::AntPos)));
        w.antColour = static_cast<uint32_t*>(qm::allocator().allocate(n * sizeof(uint32_t)));
        w.antDir = static_cast<uint8_t*>(qm::allocator().allocate(n));
        w.antProgram = static_cast<uint64_t*>(qm::allocator().allocate(n * sizeof(uint64_t)));
        for (size_t i = 0; i < n; ++i) {
            w.antPos[i] = {-99, -99};
            w.antColour[i] = UntouchedColour;
            w.antDir[i] = UntouchedDir;
            w.antProgram[i] = 0x1234;
        }
    }

    int32_t readEditor(const std::vector<std::string>& lines, bool first16 = true) {
        qm::EditorSource source(lines);
        const int32_t count = source.countLines(messages);
        return qm::readAnts(w, source, count, first16);
    }

    int32_t readFile(const std::string& fileName, bool first16 = true) {
        qm::FileSource source(fileName);
        const int32_t count = source.countLines(messages);
        if (count < 0) return count;
        return qm::readAnts(w, source, count, first16);
    }

    int32_t countFile(const std::string& fileName) {
        qm::FileSource source(fileName);
        return source.countLines(messages);
    }

    qm::World w;
    qmtest::RecordingMessages messages;
};

void expectOneMessage(const ReaderWorld& world, const std::string& text, BoxType type) {
    ASSERT_EQ(world.messages.messages.size(), 1u);
    EXPECT_EQ(world.messages.messages[0].text, text);
    EXPECT_EQ(world.messages.messages[0].type, type);
}

}  // namespace

// ---- one line -------------------------------------------------------------------------------

TEST(DefinitionLine, ExampleLinesOfTheIndexedAndBlackWhiteModes) {
    const qm::LangtonAnt first = parseLangtonLine("0,0,1", 0, true);
    EXPECT_EQ(first.x, 0);
    EXPECT_EQ(first.y, 0);
    EXPECT_EQ(first.direction, 1);
    EXPECT_EQ(first.colour, 0u);

    const qm::LangtonAnt second = parseLangtonLine("0,0,r", 1, true);
    EXPECT_EQ(second.direction, 1);
    EXPECT_EQ(second.colour, rgb(0, 0, 255));

    const qm::LangtonAnt green = parseLangtonLine("5,-3,LB,00FF00", 7, true);
    EXPECT_EQ(green.x, 5);
    EXPECT_EQ(green.y, -3);
    EXPECT_EQ(green.direction, 4);
    EXPECT_EQ(green.colour, rgb(0, 255, 0));

    EXPECT_EQ(langtonDirection("0,0,300"), 44);
    EXPECT_EQ(langtonDirection("0,0"), 0);
}

TEST(DefinitionLine, ExampleLinesOfTheGeneralizedMode) {
    const qm::GeneralizedAnt up = parseGeneralizedLine("0,0,T");
    EXPECT_EQ(up.direction, 3);
    EXPECT_EQ(up.program, DefaultProgram);

    EXPECT_EQ(programOf("0,0,T,BX01"), 1u);
    EXPECT_EQ(generalizedDirection("0,0,T,BX01"), 3);
    EXPECT_EQ(programOf("0,0,T,0x0F"), 15u);
    EXPECT_EQ(programOf("0,0,T,abc"), DefaultProgram);
    EXPECT_EQ(generalizedDirection("0,0,9"), 3);
    EXPECT_EQ(generalizedDirection("0,0"), 0);
}

TEST(DefinitionLine, DirectionSpellingsInEitherCase) {
    const std::vector<std::pair<std::string, uint8_t>> spellings = {
        {"R", 1}, {"B", 2}, {"L", 3}, {"T", 4}, {"RB", 3}, {"LB", 4}, {"LT", 1}, {"RT", 2},
        {"r", 1}, {"b", 2}, {"l", 3}, {"t", 4}, {"rb", 3}, {"lb", 4}, {"lt", 1}, {"Rt", 2},
    };
    for (const auto& [spelling, code] : spellings) {
        EXPECT_EQ(langtonDirection("1,1," + spelling), code) << spelling;
        EXPECT_EQ(langtonDirection("1,1," + spelling + ",FFFFFF"), code) << spelling;
        EXPECT_EQ(generalizedDirection("1,1," + spelling), code - 1) << spelling;
    }
    // Compared whole: anything else is converted as a number, and fails.
    for (const char* other : {" R", "R ", "RR", "TL", "BL", "X", "RIGHT", ""}) {
        EXPECT_EQ(langtonDirection(std::string("1,1,") + other), 0) << other;
        EXPECT_EQ(generalizedDirection(std::string("1,1,") + other), 0) << other;
    }
}

TEST(DefinitionLine, LangtonDirectionIsStoredUncheckedInEightBits) {
    EXPECT_EQ(langtonDirection("0,0,4"), 4);
    EXPECT_EQ(langtonDirection("0,0,5"), 5);
    EXPECT_EQ(langtonDirection("0,0,256"), 0);
    EXPECT_EQ(langtonDirection("0,0,-1"), 255);
    EXPECT_EQ(langtonDirection("0,0,0x2"), 2);
    EXPECT_EQ(langtonDirection("0,0,0x102"), 2);
    EXPECT_EQ(langtonDirection("0,0,2 "), 0);
}

TEST(DefinitionLine, GeneralizedDirectionIsShiftedCutAndClamped) {
    const std::vector<std::pair<std::string, uint8_t>> cases = {
        {"0", 0},   {"1", 0},   {"2", 1},   {"3", 2},   {"4", 3},  {"5", 3},   {"128", 3},
        {"129", 0}, {"130", 0}, {"257", 0}, {"258", 1}, {"-1", 0}, {"-200", 3}, {"junk", 0},
        {"2147483647", 0}, {"-2147483648", 0},
    };
    for (const auto& [text, direction] : cases) {
        EXPECT_EQ(generalizedDirection("0,0," + text), direction) << text;
    }
}

TEST(DefinitionLine, CoordinatesAndMissingCommas) {
    const qm::LangtonAnt hex = parseLangtonLine("0x10, -7,1", 0, false);
    EXPECT_EQ(hex.x, 16);
    EXPECT_EQ(hex.y, -7);

    const qm::LangtonAnt bad = parseLangtonLine("12 ,abc,1", 0, false);
    EXPECT_EQ(bad.x, 0);
    EXPECT_EQ(bad.y, 0);
    EXPECT_EQ(bad.direction, 1);

    // Without a comma the coordinate is 0 and the whole text goes on to the next field.
    const qm::LangtonAnt alone = parseLangtonLine("3", 0, false);
    EXPECT_EQ(alone.x, 0);
    EXPECT_EQ(alone.y, 0);
    EXPECT_EQ(alone.direction, 3);

    const qm::LangtonAnt oneComma = parseLangtonLine("7,L", 0, false);
    EXPECT_EQ(oneComma.x, 7);
    EXPECT_EQ(oneComma.y, 0);
    EXPECT_EQ(oneComma.direction, 3);

    const qm::GeneralizedAnt extremes = parseGeneralizedLine("2147483647,-2147483648,2");
    EXPECT_EQ(extremes.x, INT32_MAX);
    EXPECT_EQ(extremes.y, INT32_MIN);
    EXPECT_EQ(extremes.direction, 1);
}

TEST(DefinitionLine, ColourPairsRedFirst) {
    EXPECT_EQ(colourOf("0,0,1,FF0000"), rgb(255, 0, 0));
    EXPECT_EQ(colourOf("0,0,1,0000ff"), rgb(0, 0, 255));
    EXPECT_EQ(colourOf("0,0,1,12345678,9"), rgb(0x12, 0x34, 0x56));
    EXPECT_EQ(colourOf("0,0,1,GG80FF"), rgb(0, 0x80, 0xFF)) << "a pair that fails gives 0";
    EXPECT_EQ(colourOf("0,0,1,-1 1FF"), rgb(0, 0, 0xFF));
    EXPECT_EQ(colourOf("0,0,1,AB"), rgb(0xAB, 0, 0));
    EXPECT_EQ(colourOf("0,0,1,FF,FFF"), rgb(0xFF, 0, 0xFF)) << "',F' fails, 'FF' is blue";
}

TEST(DefinitionLine, AbsentColourUsesTheFirstSixteenTable) {
    EXPECT_EQ(qm::first16Colour(0), 0u);
    EXPECT_EQ(qm::first16Colour(1), rgb(0, 0, 255));
    EXPECT_EQ(qm::first16Colour(2), rgb(255, 0, 0));
    EXPECT_EQ(qm::first16Colour(4), rgb(128, 0, 128));
    EXPECT_EQ(qm::first16Colour(8), rgb(255, 0, 255));
    EXPECT_EQ(qm::first16Colour(11), rgb(192, 192, 192));
    EXPECT_EQ(qm::first16Colour(13), rgb(128, 128, 0));
    EXPECT_EQ(qm::first16Colour(15), 0x836CBDu);
    EXPECT_EQ(qm::first16Colour(16), 0u);
    EXPECT_EQ(qm::first16Colour(-1), 0u);

    EXPECT_EQ(parseLangtonLine("1,2,3", 15, true).colour, 0x836CBDu);
    EXPECT_EQ(parseLangtonLine("1,2,3", 16, true).colour, 0u);
    EXPECT_EQ(parseLangtonLine("1,2,3", 2, false).colour, 0u) << "option off";
    EXPECT_EQ(parseLangtonLine("1,2,3,", 2, true).colour, 0u) << "an empty fourth field is present";
}

TEST(DefinitionLine, GeneralizedPrograms) {
    EXPECT_EQ(programOf("0,0,1"), DefaultProgram);
    EXPECT_EQ(programOf("0,0,1,"), DefaultProgram);
    EXPECT_EQ(programOf("0,0,1,BX"), 0u);
    EXPECT_EQ(programOf("0,0,1,bx10"), 2u);
    EXPECT_EQ(programOf("0,0,1,BX2a0"), 6u) << "every character but '0' is a 1 bit";
    EXPECT_EQ(programOf("0,0,1,BX1" + std::string(63, '0')), 0x8000000000000000ull);
    EXPECT_EQ(programOf("0,0,1,BX1" + std::string(64, '0')), 0u) << "the 65th bit from the end is gone";
    EXPECT_EQ(programOf("0,0,1,BX" + std::string(10, '1') + std::string(63, '0') + "1"), 1u);
    EXPECT_EQ(programOf("0,0,1,12"), 12u);
    EXPECT_EQ(programOf("0,0,1,-1"), ~0ull);
    EXPECT_EQ(programOf("0,0,1,0xFFFFFFFFFFFFFFFF"), ~0ull);
    EXPECT_EQ(programOf("0,0,1,0x8000000000000001"), 0x8000000000000001ull);
    EXPECT_EQ(programOf("0,0,1,18446744073709551615"), DefaultProgram) << "beyond signed 64 bits";
    EXPECT_EQ(programOf("0,0,1,0x1FFFFFFFFFFFFFFFF"), DefaultProgram);
    EXPECT_EQ(programOf("0,0,1, BX11"), DefaultProgram);
    EXPECT_EQ(programOf("0,0,1,1,2"), DefaultProgram);
}

TEST(DefinitionLine, HostileLinesGiveDefaults) {
    for (const char* commas : {",", ",,", ",,,", ",,,,", ",,,,,,,,,"}) {
        const qm::LangtonAnt ant = parseLangtonLine(commas, 3, true);
        EXPECT_EQ(ant.x, 0);
        EXPECT_EQ(ant.y, 0);
        EXPECT_EQ(ant.direction, 0);
        EXPECT_EQ(ant.colour, std::string(commas).size() >= 3 ? 0u : qm::first16Colour(3)) << commas;
        const qm::GeneralizedAnt gen = parseGeneralizedLine(commas);
        EXPECT_EQ(gen.direction, 0);
        EXPECT_EQ(gen.program, DefaultProgram) << commas;
    }

    const std::string huge(100000, '9');
    const qm::GeneralizedAnt big = parseGeneralizedLine(huge + "," + huge + "," + huge + "," + huge);
    EXPECT_EQ(big.x, 0);
    EXPECT_EQ(big.y, 0);
    EXPECT_EQ(big.direction, 0);
    EXPECT_EQ(big.program, DefaultProgram);
    EXPECT_EQ(parseLangtonLine("99999999999999999999999,0x1FFFFFFFF,1", 0, false).x, 0);
    EXPECT_EQ(parseGeneralizedLine("1,2,3,BX" + std::string(100000, '1')).program, ~0ull);
    EXPECT_EQ(parseLangtonLine("1,2,3," + std::string(100000, 'f'), 0, false).colour, 0xFFFFFFu);
    const qm::LangtonAnt noCommas = parseLangtonLine(std::string(100000, 'x'), 0, false);
    EXPECT_EQ(noCommas.x, 0);
    EXPECT_EQ(noCommas.direction, 0);

    // Arbitrary bytes: whatever comes, the generalized direction stays 0-3 and colours 24-bit.
    uint32_t seed = 12345;
    for (int round = 0; round < 2000; ++round) {
        std::string line;
        const int length = round % 120;
        for (int k = 0; k < length; ++k) {
            seed = seed * 1664525u + 1013904223u;
            line.push_back(static_cast<char>(seed >> 24));
            if ((seed & 7u) == 0) line.push_back(',');
        }
        EXPECT_LE(parseLangtonLine(line, round % 20, true).colour, 0xFFFFFFu);
        EXPECT_LE(parseGeneralizedLine(line).direction, 3);
    }
}

TEST(DefinitionEditor, CleanUpDeletesLinesShorterThanFive) {
    std::vector<std::string> lines = {"0,0,1", "0,0", "", ";1,1", "1,1,1,FF0000", "abcd", "abcde"};
    EXPECT_TRUE(qm::cleanUpEditorLines(lines));
    EXPECT_EQ(lines, (std::vector<std::string>{"0,0,1", "1,1,1,FF0000", "abcde"}));

    EXPECT_FALSE(qm::cleanUpEditorLines(lines));
    EXPECT_EQ(lines.size(), 3u);

    std::vector<std::string> shortOnly = {"1", "12", "123", "1234"};
    EXPECT_TRUE(qm::cleanUpEditorLines(shortOnly));
    EXPECT_TRUE(shortOnly.empty());
    EXPECT_FALSE(qm::cleanUpEditorLines(shortOnly));
}

// ---- reading into the world -----------------------------------------------------------------

TEST(DefinitionReader, IndexedModeWritesPositionsAndColourWords) {
    ReaderWorld world(AntMaxMode::Ants255, false, 8);
    ASSERT_EQ(world.readEditor({"0,0,1", "0,0,r", "5,-3,LB,00FF00"}), 3);
    EXPECT_TRUE(world.messages.messages.empty());
    EXPECT_EQ(world.w.antColour[0], qm::makeColourWord(0, 1));
    EXPECT_EQ(world.w.antColour[1], qm::makeColourWord(rgb(0, 0, 255), 1));
    EXPECT_EQ(world.w.antColour[2], qm::makeColourWord(rgb(0, 255, 0), 4));
    EXPECT_EQ(world.w.antPos[2].x, 5);
    EXPECT_EQ(world.w.antPos[2].y, -3);
    EXPECT_EQ(world.w.antColour[3], ReaderWorld::UntouchedColour);
    EXPECT_EQ(world.w.antDir[0], ReaderWorld::UntouchedDir) << "indexed ants keep no direction byte";
}

TEST(DefinitionReader, FirstSixteenOptionComesFromTheCaller) {
    ReaderWorld world(AntMaxMode::Ants255, false, 4);
    ASSERT_EQ(world.readEditor({"0,0,1", "0,0,1", "0,0,1"}, false), 3);
    EXPECT_EQ(qm::colourOf(world.w.antColour[1]), 0u);
    ASSERT_EQ(world.readEditor({"0,0,1", "0,0,1", "0,0,1"}, true), 3);
    EXPECT_EQ(qm::colourOf(world.w.antColour[1]), rgb(0, 0, 255));
    EXPECT_EQ(qm::colourOf(world.w.antColour[2]), rgb(255, 0, 0));
}

TEST(DefinitionReader, BlackWhiteModeWritesDirectionBytes) {
    ReaderWorld world(AntMaxMode::BlackWhite, false, 4);
    ASSERT_EQ(world.readEditor({"1,2,300", "-4,-5,LT,FFFFFF"}), 2);
    EXPECT_EQ(world.w.antDir[0], 44);
    EXPECT_EQ(world.w.antDir[1], 1);
    EXPECT_EQ(world.w.antPos[1].x, -4);
    EXPECT_EQ(world.w.antPos[1].y, -5);
    EXPECT_EQ(world.w.antColour[0], ReaderWorld::UntouchedColour);
    EXPECT_EQ(world.w.antDir[2], ReaderWorld::UntouchedDir);
}

TEST(DefinitionReader, GeneralizedModeWritesDirectionsAndPrograms) {
    // The generalized mode keeps the 255-ant cell width; its ants are not limited by it.
    ReaderWorld world(AntMaxMode::Ants255, true, 4);
    world.w.antMax = 2;
    ASSERT_EQ(world.readEditor({"0,0,T", "0,0,T,BX01", "3,4,RB,0x0F"}), 3);
    EXPECT_TRUE(world.messages.messages.empty());
    EXPECT_EQ(world.w.antDir[0], 3);
    EXPECT_EQ(world.w.antProgram[0], DefaultProgram);
    EXPECT_EQ(world.w.antProgram[1], 1u);
    EXPECT_EQ(world.w.antDir[2], 2);
    EXPECT_EQ(world.w.antProgram[2], 15u);
    EXPECT_EQ(world.w.antPos[2].x, 3);
    EXPECT_EQ(world.w.antProgram[3], 0x1234u);
}

TEST(DefinitionReader, IndexedModeStopsAtTheAntMaximumWithAWarning) {
    ReaderWorld world(AntMaxMode::Ants15, false, 15);
    std::vector<std::string> lines;
    for (int i = 0; i < 16; ++i) lines.push_back(std::to_string(i) + ",0,1");
    EXPECT_EQ(world.readEditor(lines), 15);
    expectOneMessage(world, qm::MsgNotAllAnts, BoxType::Warning);
    EXPECT_EQ(world.w.antPos[14].x, 14);
}

// ---- reading from a file --------------------------------------------------------------------

TEST(DefinitionFile, LinesOfEightyCharactersAreReadInFull) {
    qmtest::TempDir dir;
    const std::string line1 = "12,34,2,00FF00" + std::string(66, 'x');
    const std::string line2 = "-1,-2,L," + std::string(72, '0');
    ASSERT_EQ(line1.size(), 80u);
    ASSERT_EQ(line2.size(), 80u);
    ReaderWorld world(AntMaxMode::Ants255, false, 4);
    ASSERT_EQ(world.readFile(dir.write("ants.txt", line1 + "\n" + line2 + "\n")), 2);
    EXPECT_TRUE(world.messages.messages.empty());
    EXPECT_EQ(world.w.antPos[0].x, 12);
    EXPECT_EQ(world.w.antPos[0].y, 34);
    EXPECT_EQ(world.w.antColour[0], qm::makeColourWord(rgb(0, 255, 0), 2));
    EXPECT_EQ(world.w.antPos[1].x, -1);
    EXPECT_EQ(world.w.antColour[1], qm::makeColourWord(0, 3));
}

TEST(DefinitionFile, ALineOfEightyOneCharactersStopsTheCount) {
    qmtest::TempDir dir;
    const std::string name = dir.write("long.txt", "0,0,1\n0,0,1," + std::string(75, 'F') + "\n0,0,1\n");
    ReaderWorld world(AntMaxMode::BlackWhite, false, 4);
    EXPECT_EQ(world.countFile(name), -1);
    expectOneMessage(world, "ERROR 3: Cannot read file: " + name, BoxType::Error);
}

TEST(DefinitionFile, ALineTooLongInTheReadingPassAbandonsTheStart) {
    qmtest::TempDir dir;
    const std::string name = dir.write("changing.txt", "1,1,1\n2,2,2\n");
    ReaderWorld world(AntMaxMode::BlackWhite, false, 4);
    qm::FileSource source(name);
    ASSERT_EQ(source.countLines(world.messages), 2);
    // The file changes between the two passes.
    dir.write("changing.txt", "1,1,1\n" + std::string(81, '2') + "\n");
    EXPECT_EQ(qm::readAnts(world.w, source, 2, false), -1);
    expectOneMessage(world, qm::MsgCannotRead + name, BoxType::Error);
    EXPECT_EQ(world.w.antPos[0].x, 1);
}

TEST(DefinitionFile, LastLineWithoutLineBreakIsNotCounted) {
    qmtest::TempDir dir;
    ReaderWorld world(AntMaxMode::BlackWhite, false, 4);
    ASSERT_EQ(world.readFile(dir.write("a.txt", "1,1,1\n2,2,2")), 1);
    EXPECT_EQ(world.w.antPos[0].x, 1);
    EXPECT_EQ(world.w.antPos[1].x, -99);

    EXPECT_EQ(world.countFile(dir.write("b.txt", "1,1,1\n2,2,2\n")), 2);
    EXPECT_EQ(world.countFile(dir.write("c.txt", "")), 0);
    EXPECT_EQ(world.countFile(dir.write("d.txt", "only")), 0);
    EXPECT_EQ(world.countFile(dir.write("e.txt", "\n\n\n")), 3) << "empty lines are ants too";
    EXPECT_TRUE(world.messages.messages.empty());
}

TEST(DefinitionFile, CommentAndShortLinesBecomeDefaultAnts) {
    qmtest::TempDir dir;
    const std::string name = dir.write("c.txt", "5,5,2\n;1,1,1\n0,0\n");

    ReaderWorld indexed(AntMaxMode::Ants255, false, 4);
    ASSERT_EQ(indexed.readFile(name, false), 3);
    EXPECT_EQ(indexed.w.antPos[1].x, 0);
    EXPECT_EQ(indexed.w.antPos[1].y, 0);
    EXPECT_EQ(qm::directionOf(indexed.w.antColour[1]), 0);
    EXPECT_EQ(qm::directionOf(indexed.w.antColour[2]), 0);

    ReaderWorld generalized(AntMaxMode::Ants255, true, 4);
    ASSERT_EQ(generalized.readFile(name), 3);
    EXPECT_EQ(generalized.w.antPos[1].x, 0);
    EXPECT_EQ(generalized.w.antDir[0], 1);
    EXPECT_EQ(generalized.w.antDir[1], 0);
    EXPECT_EQ(generalized.w.antDir[2], 0);
    EXPECT_EQ(generalized.w.antProgram[1], DefaultProgram);
}

TEST(DefinitionFile, SixteenLinesWithFifteenAntsMaximum) {
    qmtest::TempDir dir;
    std::string text;
    for (int i = 0; i < 16; ++i) text += std::to_string(i) + "," + std::to_string(-i) + ",R\n";
    ReaderWorld world(AntMaxMode::Ants15, false, 15);
    EXPECT_EQ(world.readFile(dir.write("16.txt", text)), 15);
    expectOneMessage(world, "Warning: NO all ants readed. Maximum ants reached.", BoxType::Warning);
    EXPECT_EQ(world.w.antPos[14].x, 14);
    EXPECT_EQ(world.w.antPos[14].y, -14);
}

TEST(DefinitionFile, MissingFileCannotBeRead) {
    qmtest::TempDir dir;
    const std::string name = dir.pathOf("nothing-here.txt");
    ReaderWorld world(AntMaxMode::Ants255, false, 4);
    EXPECT_EQ(world.readFile(name), -1);
    expectOneMessage(world, "ERROR: Cannot read file: " + name, BoxType::Error);
}

TEST(DefinitionFile, CarriageReturnLineBreaks) {
    qmtest::TempDir dir;
    ReaderWorld world(AntMaxMode::BlackWhite, false, 4);
    ASSERT_EQ(world.readFile(dir.write("crlf.txt", "1,2,R\r\n3,4,T\r\n")), 2);
    EXPECT_EQ(world.w.antDir[0], 1);
    EXPECT_EQ(world.w.antDir[1], 4);
    EXPECT_EQ(world.w.antPos[1].y, 4);
}

TEST(DefinitionFile, ArbitraryBytesNeverStopTheRead) {
    qmtest::TempDir dir;
    std::string text;
    uint32_t seed = 99;
    for (int line = 0; line < 20; ++line) {
        for (int k = 0; k < 60; ++k) {
            seed = seed * 1664525u + 1013904223u;
            const char c = static_cast<char>(seed >> 24);
            text.push_back(c == '\n' || c == '\r' ? ',' : c);
        }
        text.push_back('\n');
    }
    ReaderWorld world(AntMaxMode::Ants255, true, 20);
    EXPECT_EQ(world.readFile(dir.write("noise.bin", text)), 20);
    EXPECT_TRUE(world.messages.messages.empty());
    for (int i = 0; i < 20; ++i) EXPECT_LE(world.w.antDir[i], 3);
}
