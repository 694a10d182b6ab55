#include "definitions/LineReader.h"

#include "core/SafeFile.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace qm {

LineReader::~LineReader() { Close(); }

bool LineReader::Open(const std::string& fileName) {
    Close();
    fileName_ = fileName;
    length_ = 0;
    file_ = openRegularFile(fileName);
    eof_ = file_ == nullptr;
    return file_ != nullptr;
}

void LineReader::Close() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    // A closed file has nothing more to give, so a read-until-end loop stops.
    eof_ = true;
}

bool LineReader::ReadLine(std::string& line) {
    line.clear();
    length_ = 0;
    if (file_ == nullptr) return false;

    for (;;) {
        int c = std::fgetc(file_);
        if (c == EOF) {
            if (std::ferror(file_)) {
                Close();
                return false;
            }
            eof_ = true;
            break;
        }
        if (c == '\n') break;
        if (c == '\r') {
            // Files written on other systems end lines with CR LF; Linux has no text mode to
            // remove the CR, so drop it here. A CR not followed by LF stays in the line.
            const int next = std::fgetc(file_);
            if (next == '\n') break;
            if (next != EOF) {
                std::ungetc(next, file_);
            } else if (std::ferror(file_)) {
                Close();
                return false;
            }
        }
        if (length_ >= BufferSize - 1) {  // an 81st character: the line is too long
            Close();
            return false;
        }
        buffer_[length_++] = static_cast<char>(c);
    }

    if (length_ > 0 && buffer_[0] == ';') length_ = 0;  // comment line
    line.assign(buffer_, static_cast<size_t>(length_));
    return true;
}

int64_t fileSizeOf(const std::string& fileName) {
    if (fileName.find('\0') != std::string::npos) return -1;  // names no file (see Open)
    std::error_code error;
    const auto size = std::filesystem::file_size(fileName, error);
    if (error) return -1;
    return static_cast<int64_t>(size);
}

namespace {
std::function<void(const std::string&)>& fileOpenObserver() {
    static std::function<void(const std::string&)> observer;
    return observer;
}
}  // namespace

void setFileOpenObserver(std::function<void(const std::string& fileName)> observer) {
    fileOpenObserver() = std::move(observer);
}

std::FILE* openRegularFile(const std::string& fileName) {
    if (fileOpenObserver()) fileOpenObserver()(fileName);
    std::string reason;
    const int fd = openRegularFileForReading(fileName, reason);
    if (fd < 0) return nullptr;
    std::FILE* file = ::fdopen(fd, "r");
    if (file == nullptr) ::close(fd);
    return file;
}

std::optional<FileBytes> readRegularFile(const std::string& fileName, int64_t maxBytes) {
    std::FILE* file = openRegularFile(fileName);
    if (file == nullptr) return std::nullopt;
    FileBytes result;
    char chunk[65536];
    for (;;) {
        const size_t got = std::fread(chunk, 1, sizeof chunk, file);
        const int64_t room = maxBytes - static_cast<int64_t>(result.bytes.size());
        if (static_cast<int64_t>(got) > room) {
            result.tooBig = true;
            result.bytes.clear();
            break;
        }
        result.bytes.append(chunk, got);
        if (got < sizeof chunk) break;
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return std::nullopt;
    return result;
}

}  // namespace qm
