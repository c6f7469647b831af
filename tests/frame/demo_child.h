// The frame's demonstration program as a child process: the tests start it
// (through CreateProcessW, or through launch_program) with the environment
// variable QF_FRAME_DEMO_DUMP set, and read back what its frame made of its
// start: its command line, arg_count, args, program_name and current folder.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct child_report {
    bool found = false;
    std::string command_line;          // UTF-8
    int arg_count = -2;
    std::vector<std::string> args;     // system code page, as the frame stored them
    std::string program_name;
    std::string folder;
};

// A private folder under the temporary folder, removed with everything in it.
class scratch_folder {
public:
    scratch_folder();
    ~scratch_folder();
    const std::string& path() const { return path_; }    // ends without a backslash
    std::string file(const char* name) const { return path_ + "\\" + name; }
    // Creates the subfolder (and returns its path).
    std::string folder(const char* name) const;

private:
    std::string path_;
};

// The demonstration program next to the test programs (tests\frame_demo\).
std::string demo_program_path();
// Copies the demonstration program to target; false when the copy fails.
bool copy_demo_program(const std::string& target);

// Points QF_FRAME_DEMO_DUMP at report_file (deleting an old report), so that
// every child started from now on writes its report there.
void expect_report_at(const std::string& report_file);
// Waits (up to 20 s) for the report file and reads it.
child_report read_report(const std::string& report_file);
// Starts program with this UTF-16 command line through CreateProcessW, waits
// for it and returns its report (written to report_file).
child_report run_demo_child(const std::string& program, const std::wstring& command_line,
                            const std::string& report_file);

std::wstring widen(const std::string& text);   // system code page to UTF-16
std::string to_utf8(const std::wstring& text);
