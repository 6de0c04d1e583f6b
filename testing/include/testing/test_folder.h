#pragma once
// A fresh folder for one test, removed with everything in it afterwards.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

class TestFolder {
public:
    TestFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "glintcap-test-XXXXXX").string();
        path_ = mkdtemp(pattern.data()) ? pattern : std::string();
        EXPECT_FALSE(path_.empty());
    }
    ~TestFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& path() const { return path_; }
    std::string Child(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};
