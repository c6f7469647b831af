// Listing a folder entry by entry with FindFirstFileA/FindNextFileA: the
// folder's own "." and ".." are passed over, and each entry carries its full path.
#include "files/file_ops.h"

#include <string.h>

#include "files/path_join.h"
#include "frame/messages.h"
#include "frame/text.h"

static bool is_dot_name(const char* name)
{
    return strcmp(name, ".") == 0 || strcmp(name, "..") == 0;
}

// Moves from the record just found to the next entry worth delivering, or
// finishes the listing when none is left. An entry whose full path would not
// fit is passed over with the failure recorded, never delivered cut short.
static void deliver_entry(dir_listing* listing, bool have_record)
{
    while (have_record) {
        const char* name = listing->entry.find.cFileName;
        if (!is_dot_name(name)) {
            if (join_path(listing->entry.path, sizeof listing->entry.path, listing->folder, name)) {
                ++listing->count;
                return;
            }
        }
        have_record = FindNextFileA(listing->handle, &listing->entry.find) != FALSE;
    }
    FindClose(listing->handle);
    listing->handle = nullptr;
}

void dir_scan_first(dir_listing* listing, const char* folder, const char* mask)
{
    listing->handle = nullptr;
    memset(&listing->entry, 0, sizeof listing->entry);
    error_text[0] = '\0';
    listing->count = 0;

    if (!copy_path(listing->folder, sizeof listing->folder, folder))
        return;
    // A bare extension (".txt") after a folder's backslash becomes "*.txt".
    char pattern[MAX_PATH];
    size_t length = strlen(folder);
    bool star = length > 0 && folder[length - 1] == '\\' && mask[0] == '.';
    if (!copy_text(pattern, sizeof pattern, folder) ||
        (star && !append_text(pattern, sizeof pattern, "*")) ||
        !append_text(pattern, sizeof pattern, mask)) {
        record_path_too_long();
        return;
    }

    HANDLE search = FindFirstFileA(pattern, &listing->entry.find);
    if (search == INVALID_HANDLE_VALUE) {
        record_last_error();
        return;
    }
    listing->handle = search;
    deliver_entry(listing, true);
}

void dir_scan_next(dir_listing* listing)
{
    if (!listing->handle)
        return;
    deliver_entry(listing, FindNextFileA(listing->handle, &listing->entry.find) != FALSE);
}
