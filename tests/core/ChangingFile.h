#pragma once
// A definition file that changes between the counting pass and the reading pass of "From file".
// The counting pass closes the file and opens it again; to change it exactly there, the path is
// first a pipe: a writer thread serves the first text through it and, before it closes its end
// (which is when the counting pass sees the end of the file), removes the pipe and leaves
// in its place a plain file with the second text, a folder, or nothing. The reopening then
// finds whatever was left, with no timing involved.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace qmtest {

class FileChangingBetweenPasses {
public:
    enum class Then { PlainFile, Folder, Nothing };

    FileChangingBetweenPasses(std::string path, std::string firstText, Then then,
                              std::string secondText = {})
        : path_(std::move(path)), created_(::mkfifo(path_.c_str(), 0600) == 0) {
        if (created_)
            writer_ = std::thread([this, first = std::move(firstText), then, second = std::move(secondText)] {
                serve(first, then, second);
            });
    }
    ~FileChangingBetweenPasses() { finish(); }
    FileChangingBetweenPasses(const FileChangingBetweenPasses&) = delete;
    FileChangingBetweenPasses& operator=(const FileChangingBetweenPasses&) = delete;

    const std::string& path() const { return path_; }
    bool created() const { return created_; }
    // Waits for the writer; true when a reader opened the pipe and got the whole first text.
    bool finish() {
        if (writer_.joinable()) writer_.join();
        return served_;
    }

private:
    void serve(const std::string& first, Then then, const std::string& second) {
        // A non-blocking open succeeds once a reader is waiting; a reader that never comes
        // (a broken program) ends the wait instead of hanging the test.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        int fd = -1;
        while ((fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK)) < 0 && errno == ENXIO &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        bool complete = fd >= 0;
        size_t written = 0;
        while (complete && written < first.size()) {
            const ssize_t n = ::write(fd, first.data() + written, first.size() - written);
            if (n > 0) written += static_cast<size_t>(n);
            else if (n < 0 && errno == EAGAIN) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            else complete = false;
        }
        ::unlink(path_.c_str());
        if (then == Then::PlainFile) std::ofstream(path_, std::ios::binary) << second;
        if (then == Then::Folder) std::filesystem::create_directory(path_);
        if (fd >= 0) ::close(fd);
        served_ = complete;
    }

    std::string path_;
    bool created_;
    std::atomic<bool> served_{false};
    std::thread writer_;
};

}  // namespace qmtest
