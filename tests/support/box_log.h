// Reading the log that the scripted programs' message boxes append to
// (tests/support/env_message_box.h describes the record).
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct logged_box {
    DWORD process;
    unsigned flags;
    bool had_owner;
    std::string caption;
    std::string text;
};

// Every complete record of the log file, in order; empty when it is missing.
std::vector<logged_box> read_box_log(const std::string& path);
