// Test helpers around the programs' runs: files, pending renames and the
// processes a run leaves behind, straight through kernel32 and advapi32.
#include "tests/support/program_run.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

static const char session_manager_key[] =
    "System\\CurrentControlSet\\Control\\Session Manager";
static const char pending_value[] = "PendingFileRenameOperations";

std::string pending_renames()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, session_manager_key, 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return "";
    std::string data;
    DWORD size = 0;
    if (RegQueryValueExA(key, pending_value, nullptr, nullptr, nullptr, &size) ==
        ERROR_SUCCESS) {
        data.resize(size);
        RegQueryValueExA(key, pending_value, nullptr, nullptr, (BYTE*)&data[0], &size);
        data.resize(size);
    }
    RegCloseKey(key);
    return data;
}

void set_pending_renames(const std::string& data)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, session_manager_key, 0, KEY_SET_VALUE, &key) !=
        ERROR_SUCCESS)
        return;
    if (data.empty())
        RegDeleteValueA(key, pending_value);
    else
        RegSetValueExA(key, pending_value, 0, REG_MULTI_SZ, (const BYTE*)data.data(),
                       (DWORD)data.size());
    RegCloseKey(key);
}

bool deletion_pending(const std::string& data, const std::string& path)
{
    // Source and target follow each other; an empty target means "delete".
    std::string entry = std::string(1, '\0') + "\\??\\" + path + '\0' + '\0';
    std::string list = '\0' + data;
    CharUpperBuffA(&entry[0], (DWORD)entry.size());
    CharUpperBuffA(&list[0], (DWORD)list.size());
    return list.find(entry) != std::string::npos;
}

void wait_for_processes_named(const char* name)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    ASSERT_NE(INVALID_HANDLE_VALUE, snapshot);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
        if (lstrcmpiA(entry.szExeFile, name) != 0)
            continue;
        HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID);
        if (process) {
            EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, 60000));
            CloseHandle(process);
        }
    }
    CloseHandle(snapshot);
}
