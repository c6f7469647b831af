// Starts the command line of an uninstall entry the way Windows' list of
// installed programs does: the "UninstallString" text as it stands, handed to
// CreateProcess as the whole command line, with no program name of its own.
// Like that list, it looks in the native registry view and then in the 32-bit
// one, where a 32-bit installer's entry lies on 64-bit Windows.
//
// Usage: e2e_run_uninstall_entry <entry name>
// Prints the command line, waits for the started process and returns its
// exit code (the programs' temporary copies are waited for by the caller).
#include <windows.h>

#include <stdio.h>

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: e2e_run_uninstall_entry <entry name>\n");
        return 2;
    }
    char path[512];
    _snprintf(path, sizeof path, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\%s", argv[1]);
    path[sizeof path - 1] = '\0';

    char line[2048];
    DWORD type = 0;
    DWORD size = sizeof line - 1;
    HKEY entry = nullptr;
    LONG status = ERROR_FILE_NOT_FOUND;
    const REGSAM views[] = {KEY_WOW64_64KEY, KEY_WOW64_32KEY};
    for (REGSAM view : views) {
        status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_QUERY_VALUE | view, &entry);
        if (status != ERROR_SUCCESS)
            continue;
        status = RegQueryValueExA(entry, "UninstallString", nullptr, &type, (BYTE*)line, &size);
        RegCloseKey(entry);
        break;
    }
    if (status != ERROR_SUCCESS || type != REG_SZ) {
        fprintf(stderr, "run_uninstall_entry: no UninstallString in HKLM\\%s (status %ld, type %lu)\n",
                path, status, type);
        return 1;
    }
    line[size] = '\0';
    printf("%s\n", line);
    fflush(stdout);

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    SetLastError(0xdeadbeef);
    if (!CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        fprintf(stderr, "run_uninstall_entry: CreateProcess failed with %lu\n", GetLastError());
        return 1;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return (int)code;
}
