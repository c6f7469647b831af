// Bounded path building for the file services: a path that does not fit the
// platform's 260-byte buffer is refused as ERROR_FILENAME_EXCED_RANGE.
#include "files/path_join.h"

#include <windows.h>

#include "frame/messages.h"
#include "frame/text.h"

void record_path_too_long()
{
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    record_last_error();
}

bool copy_path(char* out, size_t size, const char* path)
{
    if (copy_text(out, size, path))
        return true;
    record_path_too_long();
    return false;
}

bool join_path(char* out, size_t size, const char* folder, const char* name)
{
    if (copy_text(out, size, folder) && add_backslash(out, size) && append_text(out, size, name))
        return true;
    if (size > 0)
        out[0] = '\0';
    record_path_too_long();
    return false;
}
