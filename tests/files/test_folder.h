// A private temporary folder per test (below GetTempPathA, removed afterwards)
// and the small file helpers the file-service tests share.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/support/test_files.h"

// folder, a backslash and as many "x" as make length characters.
std::string long_path(const std::string& folder, size_t length);

class TestFolder : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::string path(const std::string& name) const { return folder + "\\" + name; }
    std::string folder;   // no trailing backslash
};
