#pragma once
// A definition file that changes between the counting pass and the reading pass of "From file".
// The counting pass closes the file and opens it again; the change happens exactly there: at
// the second open of the path, the file is replaced by a plain file with the second text, a
// folder, or nothing, before the open looks at it.

#include <filesystem>
#include <fstream>
#include <string>

#include "definitions/LineReader.h"

namespace qmtest {

class FileChangingBetweenPasses {
public:
    enum class Then { PlainFile, Folder, Nothing };

    FileChangingBetweenPasses(std::string path, std::string firstText, Then then,
                              std::string secondText = {})
        : path_(std::move(path)) {
        std::ofstream(path_, std::ios::binary | std::ios::trunc) << firstText;
        created_ = std::filesystem::is_regular_file(path_);
        qm::setFileOpenObserver([this, then, second = std::move(secondText)](const std::string& name) {
            if (name != path_ || ++opens_ != 2) return;
            std::filesystem::remove(path_);
            if (then == Then::PlainFile) std::ofstream(path_, std::ios::binary) << second;
            if (then == Then::Folder) std::filesystem::create_directory(path_);
        });
    }
    ~FileChangingBetweenPasses() { qm::setFileOpenObserver(nullptr); }
    FileChangingBetweenPasses(const FileChangingBetweenPasses&) = delete;
    FileChangingBetweenPasses& operator=(const FileChangingBetweenPasses&) = delete;

    const std::string& path() const { return path_; }
    bool created() const { return created_; }
    // True when the file was opened, and opened again after the change.
    bool finish() const { return opens_ >= 2; }

private:
    std::string path_;
    bool created_ = false;
    int opens_ = 0;
};

}  // namespace qmtest
