#include "core/SafeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace qm {
namespace {

// A NUL would make the system open a file other than the one named.
bool nameable(const std::string& path) { return !path.empty() && path.find('\0') == std::string::npos; }

std::string directoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {};
    return path.substr(0, slash + 1);
}

// The file a name finally stands for, following symbolic links (also one to a file not yet
// there); empty when the links go round in a circle or cannot be read.
std::string linkTarget(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
        std::string target(static_cast<std::size_t>(status.st_size > 0 ? status.st_size : 4096) + 1, '\0');
        const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) return {};
        target.resize(static_cast<std::size_t>(length));
        path = target[0] == '/' ? target : directoryOf(path) + target;
    }
    return {};
}

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

int openRegularFileForReading(const std::string& path, std::string& reason) {
    if (!nameable(path)) {
        reason = "the file cannot be read";
        return -1;
    }
    // Without O_NONBLOCK, opening a pipe waits for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        reason = errno == EISDIR ? NotARegularFile : "the file cannot be read";
        return -1;
    }
    struct stat status {};
    const int flags = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        reason = NotARegularFile;
        ::close(fd);
        return -1;
    }
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        reason = "the file cannot be read";
        ::close(fd);
        return -1;
    }
    return fd;
}

std::size_t readUpTo(int fd, void* data, std::size_t size) {
    std::size_t got = 0;
    while (got < size) {
        const ssize_t part = ::read(fd, static_cast<char*>(data) + got, size - got);
        if (part < 0 && errno == EINTR) continue;
        if (part <= 0) break;
        got += static_cast<std::size_t>(part);
    }
    return got;
}

std::string replaceFileContent(const std::string& path, const void* data, std::size_t size) {
    if (!nameable(path)) return "the file cannot be created";
    const std::string target = linkTarget(path);
    if (target.empty()) return "its symbolic links cannot be followed";
    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0;
    if (replacing && !S_ISREG(old.st_mode)) return NotARegularFile;

    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = target + ".part" + (attempt == 0 ? std::string() : std::to_string(attempt));
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) return "the file cannot be created";
    const bool written = (!replacing || ::fchmod(fd, old.st_mode & 07777) == 0) &&
                         writeAll(fd, static_cast<const char*>(data), size) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        ::unlink(temporary.c_str());
        return "the file cannot be written (disk full?)";
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return "the file cannot be written";
    }
    return {};
}

}  // namespace qm
