#include "tests/frame/demo_child.h"

#include <stdio.h>

#include "tests/support/test_files.h"

scratch_folder::scratch_folder()
{
    char temp[MAX_PATH];
    DWORD length = GetTempPathA(sizeof temp, temp);
    if (length == 0 || length >= sizeof temp)
        lstrcpyA(temp, "C:\\");
    static int serial;
    char name[64];
    wsprintfA(name, "qf_frame_%lu_%d", GetCurrentProcessId(), ++serial);
    path_ = std::string(temp) + name;
    CreateDirectoryA(path_.c_str(), nullptr);
}

scratch_folder::~scratch_folder()
{
    remove_tree(path_);
}

std::string scratch_folder::folder(const char* name) const
{
    std::string path = file(name);
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
}

std::string demo_program_path()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string own(path, length < sizeof path ? length : 0);
    return own.substr(0, own.find_last_of("\\/") + 1) + "frame_demo\\frame_demo.exe";
}

bool copy_demo_program(const std::string& target)
{
    return CopyFileA(demo_program_path().c_str(), target.c_str(), FALSE) != FALSE;
}

void expect_report_at(const std::string& report_file)
{
    DeleteFileA(report_file.c_str());
    SetEnvironmentVariableA("QF_FRAME_DEMO_DUMP", report_file.c_str());
}

child_report read_report(const std::string& report_file)
{
    child_report report;
    FILE* file = nullptr;
    for (int i = 0; i < 200 && !file; ++i) {
        file = fopen(report_file.c_str(), "rb");
        if (!file)
            Sleep(100);
    }
    if (!file)
        return report;
    std::string content;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0)
        content.append(buffer, got);
    fclose(file);

    report.found = true;
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find('\n', start);
        if (end == std::string::npos)
            end = content.size();
        std::string line = content.substr(start, end - start);
        start = end + 1;
        size_t colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        std::string key = line.substr(0, colon), value = line.substr(colon + 1);
        if (key == "command_line")
            report.command_line = value;
        else if (key == "arg_count")
            report.arg_count = atoi(value.c_str());
        else if (key == "arg")
            report.args.push_back(value);
        else if (key == "program_name")
            report.program_name = value;
        else if (key == "folder")
            report.folder = value;
    }
    return report;
}

child_report run_demo_child(const std::string& program, const std::wstring& command_line,
                            const std::string& report_file)
{
    expect_report_at(report_file);
    std::wstring writable = command_line;
    writable.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(widen(program).c_str(), &writable[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        return child_report();
    WaitForSingleObject(process.hProcess, 20000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return read_report(report_file);
}

std::wstring widen(const std::string& text)
{
    std::wstring wide(text.size() + 1, L'\0');
    int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], (int)wide.size());
    wide.resize(length > 0 ? length - 1 : 0);
    return wide;
}

std::string to_utf8(const std::wstring& text)
{
    std::string utf8(text.size() * 3 + 1, '\0');
    int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &utf8[0], (int)utf8.size(),
                                     nullptr, nullptr);
    utf8.resize(length > 0 ? length - 1 : 0);
    return utf8;
}
