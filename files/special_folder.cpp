// Shell special folders (desktop, programs, program files) by their CSIDL
// number, through the shell's item lists, which every Windows version has.
#include "files/shell_folder.h"

#include <shlobj.h>

#include "files/system_folders.h"
#include "frame/status_window.h"

bool shell_folder_lookup(char* out, HWND owner, int folder)
{
    out[0] = '\0';
    bool paused = shell_work_begin();
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator)))
        allocator = nullptr;
    LPITEMIDLIST items = nullptr;
    bool found = false;
    if (SHGetSpecialFolderLocation(owner, folder, &items) >= 0 && items) {
        // A folder without a path in the file system (or one the shell cannot
        // give) is not found: an empty path would name the root of the drive.
        found = SHGetPathFromIDListA(items, out) && out[0];
        if (!found)
            out[0] = '\0';
        // The item list belongs to the shell's allocator; without one it is
        // left to the process's end rather than freed on the wrong heap.
        if (allocator)
            allocator->Free(items);
    }
    if (allocator)
        allocator->Release();
    shell_work_end(paused);
    return found;
}

bool special_folder_path(char* out, int folder)
{
    return shell_folder_lookup(out, status_window, folder);
}
