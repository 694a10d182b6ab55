#pragma once
// Ant definition lines and the reader that turns them into the ant records of a run.

#include <cstdint>
#include <string>
#include <vector>

#include "core/World.h"
#include "definitions/LineReader.h"

namespace qm {

inline constexpr const char* MsgTooManyAnts = "ERROR: Too many ants !!!\n\n Increase limits in setting dialog";
inline constexpr const char* MsgNotAllAnts = "Warning: NO all ants readed. Maximum ants reached.";
inline constexpr const char* MsgCannotOpen = "ERROR: Cannot read file: ";
inline constexpr const char* MsgCannotReopen = "ERROR 2: Cannot read file: ";
inline constexpr const char* MsgCannotRead = "ERROR 3: Cannot read file: ";
inline constexpr uint64_t DefaultProgram = 0xAAAAAAAAAAAAAAAAull;

// Colour (red in the low byte) of ant index 0-15 when its line gives none and the first-16
// option is on.
uint32_t first16Colour(int32_t antIndex);

// One line, already read, for the three modes. `line` may be any bytes.
struct LangtonAnt {
    int32_t x = 0;
    int32_t y = 0;
    uint8_t direction = 0;  // code as read, cut to 8 bits, unchecked
    uint32_t colour = 0;    // indexed mode only
};
struct GeneralizedAnt {
    int32_t x = 0;
    int32_t y = 0;
    uint8_t direction = 0;  // 0-3
    uint64_t program = DefaultProgram;
};
LangtonAnt parseLangtonLine(const std::string& line, int32_t antIndex, bool first16Colours);
GeneralizedAnt parseGeneralizedLine(const std::string& line);

// Editor clean-up: deletes every line shorter than 5 characters. Returns whether any was deleted.
bool cleanUpEditorLines(std::vector<std::string>& lines);

// Where the lines come from: the editor's lines or a file read through LineReader.
class DefinitionSource {
public:
    virtual ~DefinitionSource() = default;
    // Number of lines to read, or -1 after showing the failure message (start abandoned).
    virtual int32_t countLines(MessageSink& messages) = 0;
    // Line i (called in order 0, 1, ...); false after showing the failure message.
    virtual bool line(int32_t index, std::string& out, MessageSink& messages) = 0;
    virtual void close() {}
};

class EditorSource final : public DefinitionSource {
public:
    explicit EditorSource(const std::vector<std::string>& lines) : lines_(lines) {}
    int32_t countLines(MessageSink&) override { return static_cast<int32_t>(lines_.size()); }
    bool line(int32_t index, std::string& out, MessageSink&) override {
        out = lines_[static_cast<size_t>(index)];
        return true;
    }

private:
    const std::vector<std::string>& lines_;
};

class FileSource final : public DefinitionSource {
public:
    explicit FileSource(std::string fileName) : fileName_(std::move(fileName)) {}
    // Counting pass: opens (MsgCannotOpen), reads to the end (a line over 80 characters gives
    // MsgCannotRead), closes and reopens (MsgCannotReopen). Count = lines read - 1.
    int32_t countLines(MessageSink& messages) override;
    bool line(int32_t index, std::string& out, MessageSink& messages) override;  // MsgCannotRead
    void close() override { file_.Close(); }

private:
    std::string fileName_;
    LineReader file_;
};

// Reads `lineCount` ants from the source into the world's arrays of its mode (which must
// already hold lineCount ants, or antMax in indexed mode). Indexed mode stops at w.antMax with
// MsgNotAllAnts. Returns the number of ants read, or -1 when a line could not be read.
// Closes the source in every case.
int32_t readAnts(World& w, DefinitionSource& source, int32_t lineCount, bool first16Colours);

}  // namespace qm
