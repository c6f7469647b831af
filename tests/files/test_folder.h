// A private temporary folder per test (below GetTempPathA, removed afterwards)
// and the small file helpers the file-service tests share.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

void write_file(const std::string& path, const std::string& content);
std::string read_file(const std::string& path);
bool path_exists(const std::string& path);
// folder, a backslash and as many "x" as make length characters.
std::string long_path(const std::string& folder, size_t length);
// Under Wine, ntdll exports wine_get_version.
bool running_on_wine();

class TestFolder : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::string path(const std::string& name) const { return folder + "\\" + name; }
    std::string folder;   // no trailing backslash
};
