// The folders the programs work in: the system folder, on 64-bit Windows also
// its 32-bit twin, and the product folder; and switching file-system
// redirection off for this thread while a 32-bit program works on 64-bit Windows.
#include "files/system_folders.h"

#include <shlobj.h>

#include "files/path_join.h"
#include "files/shell_folder.h"
#include "frame/environment.h"
#include "frame/messages.h"
#include "frame/text.h"

char system_dir[MAX_PATH];
char wow64_dir[MAX_PATH];
char product_dir[MAX_PATH];
PVOID redirection_state;
// Redirection is off for this thread: from a successful switch in
// system_folders_init until redirection_restore, except inside shell work.
static bool redirection_off;

const char* missing_folder;

// The names of the folders in the flows' message when one cannot be found.
static const char system_folder_name[] = "Systemordner";
static const char wow64_folder_name[] = "32-Bit-Systemordner";
static const char program_files_name[] = "Programmordner";

// A folder value that Windows could not report, or that does not fit its
// buffer with the backslash, must not be used: an empty value joined with a
// file name names a file at the root of the drive. query returns what
// GetSystemDirectoryA and its kin return: the length, 0 after a failure, or
// the size needed when the buffer is too small.
static bool folder_reported(char* folder, UINT (WINAPI* query)(LPSTR, UINT), const char* name)
{
    folder[0] = '\0';
    SetLastError(ERROR_PATH_NOT_FOUND);
    UINT length = query(folder, MAX_PATH);
    if (length == 0 || !folder[0]) {
        folder[0] = '\0';
        record_last_error();
    } else if (length >= MAX_PATH || !add_backslash(folder, MAX_PATH)) {
        folder[0] = '\0';
        record_path_too_long();
    } else {
        return true;
    }
    missing_folder = name;
    return false;
}

// Wow64DisableWow64FsRedirection and its revert are called directly: kernel32
// exports them on every Windows from 7 on, 32-bit editions included.
bool system_folders_init()
{
    missing_folder = nullptr;
    system_dir[0] = wow64_dir[0] = product_dir[0] = '\0';
    // Redirection first, so that system_dir, which the system names
    // "System32" for 32-bit processes too, reaches the native folder.
    if (is_wow64)
        redirection_off = Wow64DisableWow64FsRedirection(&redirection_state) != FALSE;

    if (!folder_reported(system_dir, GetSystemDirectoryA, system_folder_name))
        return false;
    if (is_wow64 && !folder_reported(wow64_dir, GetSystemWow64DirectoryA, wow64_folder_name))
        return false;

    // A 32-bit process is told the 32-bit program-files folder, which is where
    // the product folder belongs. Without it the Windows folder stands in.
    char program_files[MAX_PATH];
    if (!special_folder_path(program_files, CSIDL_PROGRAM_FILES)) {
        if (!folder_reported(program_files, GetWindowsDirectoryA, program_files_name))
            return false;
        if (!append_text(program_files, sizeof program_files, "Programme")) {
            record_path_too_long();
            missing_folder = program_files_name;
            return false;
        }
    }
    // The uninstaller deletes what product_dir names, so it is never cut.
    if (!join_path(product_dir, sizeof product_dir, program_files, product_folder_name)) {
        missing_folder = program_files_name;
        return false;
    }
    return true;
}

void redirection_restore()
{
    if (is_wow64)
        Wow64RevertWow64FsRedirection(redirection_state);
    redirection_off = false;
}

// Shell and COM calls load DLLs on demand (the shell link object's server,
// the folder lookups' helpers), and Windows finds a 32-bit process's DLLs
// through redirection: with it off, the loader is handed the 64-bit files of
// the native system folder, and the call fails. None of these calls works in
// the system folders, so redirection is on while they run.
bool shell_work_begin()
{
    if (!redirection_off || !Wow64RevertWow64FsRedirection(redirection_state))
        return false;
    redirection_off = false;
    return true;
}

void shell_work_end(bool paused)
{
    if (paused)
        redirection_off = Wow64DisableWow64FsRedirection(&redirection_state) != FALSE;
}

const char* item_folder_path(item_folder folder)
{
    if (folder == in_system_folder)
        return system_dir;
    if (folder == in_wow64_folder)
        return wow64_dir;
    return product_dir;
}
