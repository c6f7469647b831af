// Removing a folder, alone or with everything below it, announced in the status
// line; every failure is shown, since a folder left behind is worth knowing of.
#include "files/file_ops.h"

#include <string.h>

#include "files/path_join.h"
#include "frame/messages.h"
#include "frame/status_window.h"
#include "frame/text.h"

static const char folder_failed_text[] =
    "Folgendes Verzeichnis kann nicht gelöscht werden:\n%s\n\n%s";

bool folder_delete(const char* path)
{
    show_status("Lösche Verzeichnis %s ...", path);
    if (RemoveDirectoryA(path))
        return true;
    record_last_error();
    msg_warn_captioned(operation_caption, folder_failed_text, path, error_text);
    return false;
}

bool folder_delete_tree(const char* path)
{
    // The listing needs the trailing backslash, and only a separator may be
    // dropped again: cutting the last letter of a name would name another folder.
    char folder[MAX_PATH];
    if (!copy_path(folder, sizeof folder, path) || !add_backslash(folder, sizeof folder)) {
        record_path_too_long();
        msg_warn_captioned(operation_caption, folder_failed_text, path, error_text);
        return false;
    }

    dir_listing listing;
    dir_scan_first(&listing, folder, "*.*");
    while (listing.handle) {
        const dir_entry& entry = listing.entry;
        DWORD attributes = entry.find.dwFileAttributes;
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            // A junction or folder link: removing the link leaves its target
            // alone, while walking into it would empty a folder elsewhere.
            folder_delete(entry.path);
        } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            folder_delete_tree(entry.path);
        } else {
            file_delete(entry.path, true);
        }
        dir_scan_next(&listing);
    }

    folder[strlen(folder) - 1] = '\0';
    return folder_delete(folder);
}
