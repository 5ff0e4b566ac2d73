// A scratch folder per test, removed afterwards.
#pragma once

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace tempora::test {

class TempDir {
public:
    TempDir() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::temp_directory_path() /
                ("tempora-" + std::string(info->test_suite_name()) + "-" + info->name());
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // UTF-8 in and out, on Windows too (where a narrow path means the ANSI code page).
    std::string File(const std::string& name) const {
        const std::u8string u8 = (path_ / std::u8string(name.begin(), name.end())).u8string();
        return std::string(u8.begin(), u8.end());
    }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace tempora::test
