// Copying one file for the programs' own use: the copy ends with exactly the
// archive attribute, whatever the source carried (read-only, hidden, system).
#include "files/file_ops.h"

#include <string.h>

#include "files/path_join.h"
#include "frame/messages.h"

bool file_copy(const char* source, const char* target, bool report, bool overwrite)
{
    bool copied;
    // The ANSI file functions cannot name more than 259 characters; such a
    // path is refused before the platform shortens or misreads it.
    if (strlen(source) >= MAX_PATH || strlen(target) >= MAX_PATH) {
        record_path_too_long();
        copied = false;
    } else {
        copied = CopyFileA(source, target, !overwrite) != FALSE;
        if (copied) {
            SetFileAttributesA(target, FILE_ATTRIBUTE_ARCHIVE);
            return true;
        }
        record_last_error();
    }
    if (report)
        msg_warn_captioned(operation_caption,
                           "Kopieren einer Datei fehlgeschlagen.\n\nQuelle: %s\nZiel: %s\n\n%s",
                           source, target, error_text);
    return false;
}
