// One ant definition line, in any run mode: the parsers against an independent reading of
// the fields, and the reader that stores the ants into a small world.
//
// Input: byte 0 picks the mode (bits 0-2), the first-16 colour option (bit 3) and how many
// editor lines repeat the line (bits 4-7: 1 to 31 copies, so ant indexes past 15 and the
// 15-ant limit are reached). The rest is the line.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "CountingMessages.h"
#include "FuzzCheck.h"
#include "ReferenceNumber.h"
#include "core/RunSetup.h"
#include "core/World.h"
#include "definitions/AntReader.h"

namespace {

struct ModeChoice {
    qm::AntMaxMode antMaxMode;
    bool generalized;
    int32_t antMax;  // indexed modes only
};
constexpr std::array<ModeChoice, 5> Modes = {{
    {qm::AntMaxMode::Ants15, false, 15},
    {qm::AntMaxMode::Ants255, false, 255},
    {qm::AntMaxMode::Ants65535, false, 65535},
    {qm::AntMaxMode::BlackWhite, false, 0},
    {qm::AntMaxMode::Ants255, true, 0},
}};


// The line as the reader sees it: upper case, cut at the first three commas.
struct ReferenceFields {
    std::string upper;
    size_t commas = 0;
    std::string_view x, y, direction, fourth;
};

ReferenceFields referenceFields(const std::string& line) {
    ReferenceFields f;
    f.upper = line;
    std::transform(f.upper.begin(), f.upper.end(), f.upper.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
    std::vector<std::string_view> parts;
    std::string_view rest = f.upper;
    while (parts.size() < 3) {
        const size_t comma = rest.find(',');
        if (comma == std::string_view::npos) break;
        parts.push_back(rest.substr(0, comma));
        rest.remove_prefix(comma + 1);
    }
    f.commas = parts.size();
    // Missing coordinates leave the text to the next field.
    if (f.commas >= 1) f.x = parts[0];
    if (f.commas >= 2) f.y = parts[1];
    if (f.commas == 3) {
        f.direction = parts[2];
        f.fourth = rest;
    } else {
        f.direction = rest;
    }
    return f;
}

std::string_view referenceDirectionDigits(std::string_view text) {
    if (text == "R" || text == "LT") return "1";
    if (text == "B" || text == "RT") return "2";
    if (text == "L" || text == "RB") return "3";
    if (text == "T" || text == "LB") return "4";
    return text;
}

void checkLangton(const qm::LangtonAnt& ant, const ReferenceFields& f, int32_t index, bool first16) {
    if (f.commas == 0) FUZZ_CHECK(ant.x == 0);
    if (f.commas <= 1) FUZZ_CHECK(ant.y == 0);
    FUZZ_CHECK(ant.x == qmfuzz::referenceIntegerOr(f.x, 32, 0));
    FUZZ_CHECK(ant.y == qmfuzz::referenceIntegerOr(f.y, 32, 0));
    const int64_t code = qmfuzz::referenceIntegerOr(referenceDirectionDigits(f.direction), 32, 0);
    FUZZ_CHECK(ant.direction == static_cast<uint8_t>(code & 0xFF));
    FUZZ_CHECK(ant.colour <= 0xFFFFFFu);
    if (f.commas < 3) {
        FUZZ_CHECK(ant.colour == (first16 ? qm::first16Colour(index) : 0u));
        if (index >= 16) FUZZ_CHECK(ant.colour == 0);
        return;
    }
    // Three pairs of hexadecimal digits from the first six characters; a bad pair is 0.
    const std::string_view six = f.fourth.substr(0, 6);
    uint32_t colour = 0;
    for (size_t pair = 0; pair < 3; ++pair) {
        const std::string_view digits = pair * 2 < six.size() ? six.substr(pair * 2, 2) : "";
        const int64_t value = qmfuzz::referenceIntegerOr("0X" + std::string(digits), 32, 0);
        FUZZ_CHECK(value >= 0 && value <= 255);
        colour |= static_cast<uint32_t>(value) << (8 * pair);
    }
    FUZZ_CHECK(ant.colour == colour);
}

uint64_t referenceProgram(const ReferenceFields& f) {
    constexpr uint64_t Default = 0xAAAAAAAAAAAAAAAAull;
    if (f.commas < 3 || f.fourth.empty()) return Default;
    if (f.fourth.substr(0, 2) == "BX") {
        // The last 64 characters are the bits, the last one bit 0.
        std::string_view bits = f.fourth.substr(2);
        if (bits.size() > 64) bits = bits.substr(bits.size() - 64);
        uint64_t program = 0;
        for (size_t i = 0; i < bits.size(); ++i) {
            if (bits[bits.size() - 1 - i] != '0') program |= uint64_t{1} << i;
        }
        return program;
    }
    const auto value = qmfuzz::referenceInteger(f.fourth, 64);
    return value ? static_cast<uint64_t>(*value) : Default;
}

void checkGeneralized(const qm::GeneralizedAnt& ant, const ReferenceFields& f) {
    if (f.commas == 0) FUZZ_CHECK(ant.x == 0);
    if (f.commas <= 1) FUZZ_CHECK(ant.y == 0);
    FUZZ_CHECK(ant.x == qmfuzz::referenceIntegerOr(f.x, 32, 0));
    FUZZ_CHECK(ant.y == qmfuzz::referenceIntegerOr(f.y, 32, 0));
    FUZZ_CHECK(ant.direction <= 3);
    // Code - 1 as a signed byte, clamped to the four directions.
    const int64_t code = qmfuzz::referenceIntegerOr(referenceDirectionDigits(f.direction), 32, 1);
    int shifted = static_cast<int>((code - 1) & 0xFF);
    if (shifted >= 128) shifted -= 256;
    FUZZ_CHECK(ant.direction == std::clamp(shifted, 0, 3));
    FUZZ_CHECK(ant.program == referenceProgram(f));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t control = data[0];
    const ModeChoice& mode = Modes[(control & 0x07) % Modes.size()];
    const bool first16 = (control & 0x08) != 0;
    const int32_t copies = 1 + (control >> 4) * 2;
    const std::string line(reinterpret_cast<const char*>(data + 1), size - 1);
    const ReferenceFields fields = referenceFields(line);

    qm::World w;
    CountingMessages messages;
    w.messages = &messages;
    w.antMaxMode = mode.antMaxMode;
    w.generalized = mode.generalized;
    const bool indexed = !mode.generalized && mode.antMaxMode != qm::AntMaxMode::BlackWhite;
    if (indexed) {
        w.antMax = mode.antMax;
        FUZZ_CHECK(qm::allocateIndexedAntArrays(w, w.antMax));
    } else {
        w.antMax = copies;
        FUZZ_CHECK(qm::allocateRunAntArrays(w, copies));
    }

    const std::vector<std::string> editor(static_cast<size_t>(copies), line);
    qm::EditorSource source(editor);
    FUZZ_CHECK(source.countLines(messages) == copies);
    const int32_t read = qm::readAnts(w, source, copies, first16);

    const int32_t expected = indexed ? std::min(copies, w.antMax) : copies;
    FUZZ_CHECK(read == expected);
    if (read < copies) {
        FUZZ_CHECK(messages.shown == 1);
        FUZZ_CHECK(messages.lastType == qm::BoxType::Warning);
        FUZZ_CHECK(messages.lastText == qm::MsgNotAllAnts);
    } else {
        FUZZ_CHECK(messages.shown == 0);
    }

    for (int32_t i = 0; i < read; ++i) {
        const size_t at = static_cast<size_t>(i);
        if (mode.generalized) {
            const qm::GeneralizedAnt ant = qm::parseGeneralizedLine(line);
            checkGeneralized(ant, fields);
            FUZZ_CHECK(w.antPos[at].x == ant.x && w.antPos[at].y == ant.y);
            FUZZ_CHECK(w.antDir[at] == ant.direction);
            FUZZ_CHECK(w.antProgram[at] == ant.program);
        } else {
            const qm::LangtonAnt ant = qm::parseLangtonLine(line, i, first16);
            checkLangton(ant, fields, i, first16);
            FUZZ_CHECK(w.antPos[at].x == ant.x && w.antPos[at].y == ant.y);
            if (indexed) {
                FUZZ_CHECK(qm::directionOf(w.antColour[at]) == ant.direction);
                FUZZ_CHECK(qm::colourOf(w.antColour[at]) == ant.colour);
            } else {
                FUZZ_CHECK(w.antDir[at] == ant.direction);
            }
        }
    }
    return 0;
}
