// A small windowed program with hooks of its own that shows the frame at work
// from start to end: status window, status line, message box, exit code 0.
//
// Two further uses serve the frame's tests:
// - With the environment variable QF_FRAME_DEMO_DUMP naming a file, it shows
//   nothing and writes what the frame made of its start into that file: the
//   UTF-16 command line (as UTF-8), arg_count, each argument (system code
//   page), program_name and the current folder, one "key:value" per line.
// - With the first argument "bleiben", app_run returns true and the program
//   stays in the frame's message loop until its window is closed.
#include <windows.h>

#include <string.h>

#include "frame/environment.h"
#include "frame/messages.h"
#include "frame/status_window.h"

static bool write_text(HANDLE file, const char* text)
{
    DWORD written = 0;
    DWORD length = (DWORD)strlen(text);
    return WriteFile(file, text, length, &written, nullptr) && written == length;
}

static bool write_line(HANDLE file, const char* key, const char* value)
{
    return write_text(file, key) && write_text(file, ":") && write_text(file, value) &&
           write_text(file, "\n");
}

// Written under a temporary name and then renamed, so that a reader that polls
// for the file never sees half of it.
static void write_dump(const char* target)
{
    char partial[MAX_PATH + 8];
    lstrcpynA(partial, target, MAX_PATH);
    lstrcatA(partial, ".part");
    HANDLE file = CreateFileA(partial, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;

    // A command line holds up to 32,767 UTF-16 units, each up to 3 bytes in UTF-8.
    const DWORD utf8_size = 32768 * 3;
    char* utf8 = (char*)HeapAlloc(GetProcessHeap(), 0, utf8_size);
    bool ok = utf8 && WideCharToMultiByte(CP_UTF8, 0, GetCommandLineW(), -1, utf8, utf8_size,
                                          nullptr, nullptr);
    ok = ok && write_line(file, "command_line", utf8);
    if (utf8)
        HeapFree(GetProcessHeap(), 0, utf8);
    char line[MAX_PATH];
    wsprintfA(line, "%d", arg_count);
    ok = ok && write_line(file, "arg_count", line);
    for (int i = 0; i < arg_count && i < max_args; ++i)
        ok = ok && write_line(file, "arg", args[i]);
    ok = ok && write_line(file, "program_name", program_name);
    if (!GetCurrentDirectoryA(MAX_PATH, line))
        line[0] = '\0';
    ok = ok && write_line(file, "folder", line);
    CloseHandle(file);
    if (ok)
        MoveFileExA(partial, target, MOVEFILE_REPLACE_EXISTING);
}

bool app_init()
{
    char dump[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("QF_FRAME_DEMO_DUMP", dump, sizeof dump);
    if (length > 0 && length < sizeof dump) {
        write_dump(dump);
        return false;
    }
    lstrcpyA(window_title, "Rahmenprobe");
    center_window = true;
    return true;
}

bool app_run()
{
    show_status("Rahmenprobe läuft ...");
    msg_info("Der Rahmen läuft.\nBitte mit OK bestätigen.");
    return arg_count >= 1 && lstrcmpA(args[0], "bleiben") == 0;
}

extern const app_hooks program_hooks = {app_init, app_run};
