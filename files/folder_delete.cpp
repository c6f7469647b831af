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
    dir_listing listing;
    dir_scan_first(&listing, path, "*.*");
    while (listing.handle) {
        const dir_entry& entry = listing.entry;
        DWORD attributes = entry.find.dwFileAttributes;
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            // A junction or folder link: removing the link leaves its target
            // alone, while walking into it would empty a folder elsewhere.
            folder_delete(entry.path);
        } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            char folder[MAX_PATH];
            if (copy_text(folder, sizeof folder, entry.path) && add_backslash(folder, sizeof folder)) {
                folder_delete_tree(folder);
            } else {
                record_path_too_long();
                msg_warn_captioned(operation_caption, folder_failed_text, entry.path, error_text);
            }
        } else {
            file_delete(entry.path, true);
        }
        dir_scan_next(&listing);
    }

    // The trailing backslash goes; RemoveDirectoryA wants the folder's own name.
    char folder[MAX_PATH];
    if (!copy_path(folder, sizeof folder, path)) {
        msg_warn_captioned(operation_caption, folder_failed_text, path, error_text);
        return false;
    }
    size_t length = strlen(folder);
    if (length > 0)
        folder[length - 1] = '\0';
    return folder_delete(folder);
}
