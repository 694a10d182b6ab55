#include "definitions/AntReader.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string_view>

#include "definitions/NumberText.h"

namespace qm {

namespace {

constexpr uint32_t rgb(uint32_t red, uint32_t green, uint32_t blue) { return red + green * 256 + blue * 65536; }

constexpr std::array<uint32_t, 16> First16Colours = {
    rgb(0, 0, 0),       rgb(0, 0, 255),     rgb(255, 0, 0),     rgb(0, 255, 0),
    rgb(128, 0, 128),   rgb(0, 0, 128),     rgb(255, 255, 0),   rgb(0, 255, 255),
    rgb(255, 0, 255),   rgb(0, 128, 0),     rgb(128, 0, 0),     rgb(192, 192, 192),
    rgb(0, 128, 128),   rgb(128, 128, 0),   rgb(128, 128, 128), rgb(189, 108, 131),
};

// The fields of one line as typed: X, Y, direction and the optional fourth field.
struct LineFields {
    int32_t x = 0;
    int32_t y = 0;
    std::string_view direction;
    std::string_view fourth;
    bool hasFourth = false;
};

std::string upperCased(const std::string& line) {
    std::string upper = line;
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

// X and Y take the text before their comma; without a comma the value is 0 and the whole
// text is left for the next field.
int32_t takeCoordinate(std::string_view& rest) {
    const size_t comma = rest.find(',');
    if (comma == std::string_view::npos) return 0;
    const int32_t value = textToInt32Or(rest.substr(0, comma), 0);
    rest.remove_prefix(comma + 1);
    return value;
}

LineFields splitFields(std::string_view upper) {
    LineFields fields;
    std::string_view rest = upper;
    fields.x = takeCoordinate(rest);
    fields.y = takeCoordinate(rest);
    const size_t comma = rest.find(',');
    if (comma == std::string_view::npos) {
        fields.direction = rest;
    } else {
        fields.direction = rest.substr(0, comma);
        fields.fourth = rest.substr(comma + 1);
        fields.hasFourth = true;
    }
    return fields;
}

// Letters and highway pairs name a code; anything else is converted as it stands.
std::string_view directionDigits(std::string_view text) {
    struct Spelling {
        std::string_view text;
        std::string_view digit;
    };
    static constexpr std::array<Spelling, 8> Spellings = {{
        {"R", "1"}, {"B", "2"}, {"L", "3"}, {"T", "4"},
        {"RB", "3"}, {"LB", "4"}, {"LT", "1"}, {"RT", "2"},
    }};
    for (const Spelling& spelling : Spellings) {
        if (text == spelling.text) return spelling.digit;
    }
    return text;
}

uint32_t colourFromHex(std::string_view text) {
    uint32_t colour = 0;
    for (size_t pair = 0; pair < 3; ++pair) {
        const size_t start = pair * 2;
        const std::string_view digits = start < text.size() ? text.substr(start, 2) : std::string_view{};
        std::string hex = "0x";
        hex.append(digits);
        const int32_t value = textToInt32Or(hex, 0);
        colour += static_cast<uint32_t>(value) << (8 * pair);
    }
    return colour;
}

uint64_t programFromText(std::string_view text) {
    if (text.empty()) return DefaultProgram;
    if (text.substr(0, 2) == "BX") {
        // Most significant first; shifting per character keeps only the last 64.
        uint64_t program = 0;
        for (const char c : text.substr(2)) program = (program << 1) | (c == '0' ? 0u : 1u);
        return program;
    }
    int64_t value = 0;
    if (!textToInt64(text, value)) return DefaultProgram;
    return static_cast<uint64_t>(value);
}

uint8_t generalizedDirection(std::string_view text) {
    const int64_t code = textToInt32Or(directionDigits(text), 1);
    const auto shifted = static_cast<int8_t>(static_cast<uint8_t>(code - 1));  // cut to signed 8 bits
    return static_cast<uint8_t>(std::clamp<int>(shifted, 0, 3));
}

bool isIndexed(RunMode mode) {
    return mode == RunMode::Indexed15 || mode == RunMode::Indexed255 || mode == RunMode::Indexed65535;
}

// Used when the world has no message sink attached: the caller still learns of every failure
// from readAnts' result.
class NoMessages final : public MessageSink {
public:
    BoxResult showMessage(const std::string&, BoxType, BoxButtons) override { return BoxResult::Ok; }
};

}  // namespace

uint32_t first16Colour(int32_t antIndex) {
    if (antIndex < 0 || antIndex >= static_cast<int32_t>(First16Colours.size())) return 0;
    return First16Colours[static_cast<size_t>(antIndex)];
}

LangtonAnt parseLangtonLine(const std::string& line, int32_t antIndex, bool first16Colours) {
    const std::string upper = upperCased(line);
    const LineFields fields = splitFields(upper);
    LangtonAnt ant;
    ant.x = fields.x;
    ant.y = fields.y;
    ant.direction = static_cast<uint8_t>(textToInt32Or(directionDigits(fields.direction), 0));
    if (fields.hasFourth) {
        ant.colour = colourFromHex(fields.fourth.substr(0, 6));
    } else {
        ant.colour = first16Colours ? first16Colour(antIndex) : 0;
    }
    return ant;
}

GeneralizedAnt parseGeneralizedLine(const std::string& line) {
    const std::string upper = upperCased(line);
    const LineFields fields = splitFields(upper);
    GeneralizedAnt ant;
    ant.x = fields.x;
    ant.y = fields.y;
    ant.direction = generalizedDirection(fields.direction);
    ant.program = fields.hasFourth ? programFromText(fields.fourth) : DefaultProgram;
    return ant;
}

bool cleanUpEditorLines(std::vector<std::string>& lines) {
    const size_t before = lines.size();
    // The editor's lines come as UTF-8: characters are counted, not bytes, so "äää" is short.
    const auto characters = [](const std::string& line) {
        const auto startsCharacter = [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; };
        return std::count_if(line.begin(), line.end(), startsCharacter);
    };
    std::erase_if(lines, [&](const std::string& line) { return characters(line) < 5; });
    return lines.size() != before;
}

int32_t FileSource::countLines(MessageSink& messages) {
    if (!file_.Open(fileName_)) {
        messages.showMessage(MsgCannotOpen + fileName_, BoxType::Error);
        return -1;
    }
    int64_t reads = 0;
    std::string text;
    while (!file_.Eof()) {
        if (!file_.ReadLine(text)) {  // the reader has closed the file
            messages.showMessage(MsgCannotRead + fileName_, BoxType::Error);
            return -1;
        }
        ++reads;
    }
    file_.Close();
    if (!file_.Open(fileName_)) {
        messages.showMessage(MsgCannotReopen + fileName_, BoxType::Error);
        return -1;
    }
    // The read that met the end of the file is no line of its own.
    const int64_t count = reads - 1;
    return static_cast<int32_t>(std::min<int64_t>(count, std::numeric_limits<int32_t>::max()));
}

bool FileSource::line(int32_t, std::string& out, MessageSink& messages) {
    // Every counted line ended with a line break, so meeting the end of the file here means the
    // file has lost lines since it was counted: the missing line is a failed read, not an ant.
    if (file_.ReadLine(out) && !file_.Eof()) return true;
    file_.Close();
    messages.showMessage(MsgCannotRead + fileName_, BoxType::Error);
    return false;
}

int32_t readAnts(World& w, DefinitionSource& source, int32_t lineCount, bool first16Colours) {
    NoMessages noMessages;
    MessageSink& messages = w.messages != nullptr ? *w.messages : noMessages;
    const RunMode mode = w.mode();
    const bool indexed = isIndexed(mode);

    int32_t count = 0;
    std::string text;
    for (int32_t i = 0; i < lineCount; ++i) {
        if (indexed && i >= w.antMax) {
            messages.showMessage(MsgNotAllAnts, BoxType::Warning);
            break;
        }
        if (!source.line(i, text, messages)) {
            source.close();
            return -1;
        }
        const size_t at = static_cast<size_t>(i);
        if (mode == RunMode::Generalized) {
            const GeneralizedAnt ant = parseGeneralizedLine(text);
            w.antPos[at] = AntPos{ant.x, ant.y};
            w.antDir[at] = ant.direction;
            w.antProgram[at] = ant.program;
        } else {
            const LangtonAnt ant = parseLangtonLine(text, i, first16Colours);
            w.antPos[at] = AntPos{ant.x, ant.y};
            if (indexed) {
                w.antColour[at] = makeColourWord(ant.colour, ant.direction);
            } else {
                w.antDir[at] = ant.direction;
            }
        }
        ++count;
    }
    source.close();
    return count;
}

}  // namespace qm
