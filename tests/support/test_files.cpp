// File helpers of the suites (tests/support/test_files.h).
#include "tests/support/test_files.h"

#include <algorithm>
#include <gtest/gtest.h>

std::string read_file(const std::string& path)
{
    std::string content;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return content;
    char buffer[65536];
    DWORD got;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        content.append(buffer, got);
    CloseHandle(file);
    return content;
}

void write_file(const std::string& path, const std::string& content)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    bool ok = file != INVALID_HANDLE_VALUE &&
              WriteFile(file, content.data(), (DWORD)content.size(), &written, nullptr) &&
              written == content.size();
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    EXPECT_TRUE(ok) << "cannot write " << path;
}

bool path_exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void remove_tree(const std::string& folder)
{
    // Never a drive root or a relative path: only the tests' own folders.
    if (folder.size() < 4 || folder[1] != ':')
        return;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        std::string name = found.cFileName, path = folder + "\\" + name;
        if (name == "." || name == "..")
            continue;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            DeleteFileA(path.c_str());
        else if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
            RemoveDirectoryA(path.c_str());
        else
            remove_tree(path);
    }
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    RemoveDirectoryA(folder.c_str());
}

bool running_on_wine()
{
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

bool test_process_is_wow64()
{
    BOOL wow64 = FALSE;
    return sizeof(void*) == 4 && IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

std::string native_path(const std::string& path)
{
    if (!test_process_is_wow64())
        return path;
    char windows[MAX_PATH] = "";
    UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    std::string system32 = std::string(windows, length) + "\\system32";
    if (length == 0 || CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, path.c_str(),
                                      (int)std::min(path.size(), system32.size()), system32.c_str(),
                                      (int)system32.size()) != CSTR_EQUAL)
        return path;
    std::string rest = path.substr(system32.size());
    if (!rest.empty() && rest[0] != '\\')
        return path;
    return std::string(windows, length) + "\\sysnative" + rest;
}

bool use_64bit_windows(bool& is_wow64_flag)
{
    if (sizeof(void*) == 8) {
        is_wow64_flag = true;
        return true;
    }
    is_wow64_flag = test_process_is_wow64();
    return is_wow64_flag;
}

bool use_arm64_windows(bool& is_wow64_flag, USHORT& native_machine_flag)
{
    if (!use_64bit_windows(is_wow64_flag))
        return false;
    native_machine_flag = IMAGE_FILE_MACHINE_ARM64;
    return true;
}
