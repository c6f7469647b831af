// Deleting one file, announced in the status line. A file that is not there
// counts as deleted; a read-only file is left alone and reported.
#include "files/file_ops.h"

#include <string.h>

#include "files/path_join.h"
#include "frame/messages.h"
#include "frame/status_window.h"

static const char delete_failed_text[] =
    "Folgende Datei kann nicht gelöscht werden:\n%s\n\n%s";

bool file_delete(const char* path, bool report)
{
    // A path too long for the ANSI functions would never be found, and "gone"
    // would be claimed for a file that may well be there.
    if (strlen(path) >= MAX_PATH) {
        record_path_too_long();
        if (report)
            msg_warn_captioned(operation_caption, delete_failed_text, path, error_text);
        return false;
    }
    if (!FileExists(path))
        return true;

    show_status("Lösche %s ...", path);
    if (DeleteFileA(path))
        return true;
    record_last_error();
    if (report)
        msg_warn_captioned(operation_caption, delete_failed_text, path, error_text);
    return false;
}
