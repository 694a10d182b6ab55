#pragma once
// Line reader for "From file": one character at a time into an 81-byte buffer, so a file of
// any size is read one line of at most 80 characters at a time.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

namespace qm {

class LineReader {
public:
    static constexpr int BufferSize = 81;

    LineReader() = default;
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;
    ~LineReader();

    bool Open(const std::string& fileName);  // text mode, for reading
    void Close();
    bool IsOpen() const { return file_ != nullptr; }
    bool Eof() const { return eof_; }
    const std::string& FileName() const { return fileName_; }

    // Reads the next line without its line break (a carriage return before it is dropped).
    // A line starting with ';' is a comment and comes back empty. At end of file the characters
    // read so far form the line. A read error or a line over 80 characters fails and closes the file.
    bool ReadLine(std::string& line);

private:
    std::FILE* file_ = nullptr;
    std::string fileName_;
    char buffer_[BufferSize] = {};
    int length_ = 0;
    bool eof_ = false;
};

// Size of a file in bytes, or -1 when it cannot be found.
int64_t fileSizeOf(const std::string& fileName);

// Opens a regular file for reading; none for anything else (a folder, a device, a pipe), which is
// refused without waiting for a writer or reading a byte.
std::FILE* openRegularFile(const std::string& fileName);

// Tests change a file at the moment it is opened: the observer runs before every open by name.
void setFileOpenObserver(std::function<void(const std::string& fileName)> observer);

// The content of a regular file of at most `maxBytes` bytes, however much it grows while it is
// read: none when it cannot be opened or read, `tooBig` when it holds more.
struct FileBytes {
    std::string bytes;
    bool tooBig = false;
};
std::optional<FileBytes> readRegularFile(const std::string& fileName, int64_t maxBytes);

}  // namespace qm
