// The "From file" line reader on arbitrary file contents: the reader object itself and the
// file source of the ant reader (count, then the lines), both against a reference split of the
// same bytes. No line longer than 80 characters may come back, and the count must agree with
// the lines that can then be read.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "CountingMessages.h"
#include "FuzzCheck.h"
#include "definitions/AntReader.h"
#include "definitions/LineReader.h"

namespace {

constexpr size_t MaxLine = 80;

// What reading the file line by line gives: every read, the last being the one that met the
// end; `tooLong` when a read meets an 81st character (the reader stops there).
struct ReferenceReads {
    std::vector<std::string> lines;
    bool tooLong = false;
};

ReferenceReads referenceReads(const uint8_t* data, size_t size) {
    ReferenceReads result;
    size_t pos = 0;
    for (;;) {
        std::string line;
        bool atEnd = false;
        for (;;) {
            if (pos == size) {
                atEnd = true;
                break;
            }
            const char c = static_cast<char>(data[pos++]);
            if (c == '\n') break;
            if (c == '\r' && pos < size && data[pos] == '\n') {  // CR LF is one line break
                ++pos;
                break;
            }
            if (line.size() == MaxLine) {
                result.tooLong = true;
                return result;
            }
            line.push_back(c);
        }
        if (!line.empty() && line[0] == ';') line.clear();  // comment
        result.lines.push_back(line);
        if (atEnd) return result;
    }
}


// One file per process, rewritten for every input and removed at exit (never destroyed
// before that, so the exit handler can still name it).
const std::string& scratchFile() {
    static const std::string* path = [] {
        const std::string name = "qm-fuzz-line-reader-" + std::to_string(::getpid()) + ".txt";
        auto* full = new std::string((std::filesystem::temp_directory_path() / name).string());
        std::atexit([] { std::remove(scratchFile().c_str()); });
        return full;
    }();
    return *path;
}

void writeFile(const std::string& path, const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    FUZZ_CHECK(file != nullptr);
    FUZZ_CHECK(size == 0 || std::fwrite(data, 1, size, file) == size);
    FUZZ_CHECK(std::fclose(file) == 0);
}

void checkReaderObject(const std::string& path, const ReferenceReads& expected) {
    qm::LineReader reader;
    FUZZ_CHECK(reader.Open(path));
    FUZZ_CHECK(!reader.Eof());
    std::vector<std::string> lines;
    std::string line;
    bool failed = false;
    while (!reader.Eof()) {
        if (!reader.ReadLine(line)) {
            failed = true;
            FUZZ_CHECK(!reader.IsOpen());  // a failed read closes the file
            FUZZ_CHECK(!reader.ReadLine(line) && line.empty());
            break;
        }
        FUZZ_CHECK(line.size() <= MaxLine);
        lines.push_back(line);
        FUZZ_CHECK(lines.size() <= expected.lines.size() + 1);
    }
    FUZZ_CHECK(failed == expected.tooLong);
    FUZZ_CHECK(lines == expected.lines);
}

void checkFileSource(const std::string& path, const ReferenceReads& expected) {
    qm::FileSource source(path);
    CountingMessages messages;
    const int32_t count = source.countLines(messages);
    if (expected.tooLong) {
        FUZZ_CHECK(count == -1);
        FUZZ_CHECK(messages.shown == 1);
        FUZZ_CHECK(messages.lastType == qm::BoxType::Error);
        FUZZ_CHECK(messages.lastText == qm::MsgCannotRead + path);
        return;
    }
    FUZZ_CHECK(messages.shown == 0);
    // The read that met the end of the file counts as no line.
    FUZZ_CHECK(count == static_cast<int32_t>(expected.lines.size()) - 1);
    std::string line;
    for (int32_t i = 0; i < count; ++i) {
        FUZZ_CHECK(source.line(i, line, messages));
        FUZZ_CHECK(line.size() <= MaxLine);
        FUZZ_CHECK(line == expected.lines[static_cast<size_t>(i)]);
    }
    FUZZ_CHECK(messages.shown == 0);
    source.close();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = scratchFile();
    writeFile(path, data, size);
    const ReferenceReads expected = referenceReads(data, size);
    checkReaderObject(path, expected);
    checkFileSource(path, expected);
    return 0;
}
