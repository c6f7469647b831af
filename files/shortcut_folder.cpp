// Where a shortcut goes: the desktop, a shell folder by number, an absolute
// folder, or a folder below the start menu's programs, for this user or all.
#include "files/system_folders.h"

#include <shlobj.h>

#include "files/path_join.h"
#include "files/shell_folder.h"
#include "frame/text.h"

bool shortcut_folder_path(char* out, HWND owner, const char* folder_spec, bool all_users)
{
    out[0] = '\0';
    bool is_number = folder_spec && IS_INTRESOURCE(folder_spec);
    bool is_name = folder_spec && !is_number;

    if (is_name && folder_spec[0] && folder_spec[1] == ':') {
        if (!copy_path(out, MAX_PATH, folder_spec))
            return false;
    } else {
        int folder;
        int fallback;
        if (!folder_spec) {
            folder = all_users ? CSIDL_COMMON_DESKTOPDIRECTORY : CSIDL_DESKTOPDIRECTORY;
            fallback = CSIDL_DESKTOPDIRECTORY;
        } else if (is_number) {
            folder = (int)(ULONG_PTR)folder_spec;
            fallback = CSIDL_PROGRAMS;
        } else {
            folder = all_users ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS;
            fallback = CSIDL_PROGRAMS;
        }
        // A system without the common folders (or a user without the right to
        // them) still gets the shortcut, in the user's own folder.
        if (!shell_folder_lookup(out, owner, folder) &&
            !(all_users && shell_folder_lookup(out, owner, fallback)))
            return false;
        if (is_name && folder_spec[0]) {
            char folder_path[MAX_PATH];
            copy_text(folder_path, sizeof folder_path, out);
            if (!join_path(out, MAX_PATH, folder_path, folder_spec))
                return false;
        }
    }
    if (!add_backslash(out, MAX_PATH)) {
        out[0] = '\0';
        record_path_too_long();
        return false;
    }
    return true;
}
