// The folders the programs work in: the system folder, on 64-bit Windows also
// its 32-bit twin, and the product folder; and switching file-system
// redirection off for this thread while a 32-bit program works on 64-bit Windows.
#include "files/system_folders.h"

#include <shlobj.h>

#include "files/path_join.h"
#include "files/shell_folder.h"
#include "frame/environment.h"
#include "frame/text.h"

char system_dir[MAX_PATH];
char wow64_dir[MAX_PATH];
char product_dir[MAX_PATH];
PVOID redirection_state;
// Redirection is off for this thread: from a successful switch in
// system_folders_init until redirection_restore, except inside shell work.
static bool redirection_off;

// Wow64DisableWow64FsRedirection and its revert are called directly: kernel32
// exports them on every Windows from 7 on, 32-bit editions included.
void system_folders_init()
{
    // Redirection first, so that system_dir, which the system names
    // "System32" for 32-bit processes too, reaches the native folder.
    if (is_wow64)
        redirection_off = Wow64DisableWow64FsRedirection(&redirection_state) != FALSE;

    system_dir[0] = '\0';
    GetSystemDirectoryA(system_dir, sizeof system_dir);
    add_backslash(system_dir, sizeof system_dir);

    wow64_dir[0] = '\0';
    if (is_wow64) {
        GetSystemWow64DirectoryA(wow64_dir, sizeof wow64_dir);
        add_backslash(wow64_dir, sizeof wow64_dir);
    }

    // A 32-bit process is told the 32-bit program-files folder, which is where
    // the product folder belongs.
    char program_files[MAX_PATH];
    bool named = special_folder_path(program_files, CSIDL_PROGRAM_FILES);
    if (!named) {
        program_files[0] = '\0';
        GetWindowsDirectoryA(program_files, sizeof program_files);
        named = add_backslash(program_files, sizeof program_files) &&
                append_text(program_files, sizeof program_files, "Programme");
    }
    // An empty product folder is safer than a cut one: the uninstaller
    // deletes what product_dir names.
    if (!named || !join_path(product_dir, sizeof product_dir, program_files, product_folder_name))
        product_dir[0] = '\0';
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
