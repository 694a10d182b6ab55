#pragma once
// A fresh folder per test for files the test writes; removed again when the test ends.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace qmtest {

class TempDir {
public:
    TempDir() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "qm-";
        if (info != nullptr) name += std::string(info->test_suite_name()) + "-" + info->name();
        name += "-" + std::to_string(::getpid());
        for (char& c : name) {
            if (c == '/') c = '_';
        }
        path_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // Writes `bytes` exactly as given (binary, so line breaks stay as written).
    std::string write(const std::string& fileName, const std::string& bytes) const {
        const std::filesystem::path file = path_ / fileName;
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return file.string();
    }
    std::string pathOf(const std::string& fileName) const { return (path_ / fileName).string(); }

private:
    std::filesystem::path path_;
};

}  // namespace qmtest
