// Whether a file, folder or pattern names anything, through FindFirstFileA, so
// that wildcards work and a folder's "." entry can be asked for.
#include "files/file_ops.h"

#include <string.h>

#include "frame/messages.h"

// One find record for the whole process; each call overwrites it.
static WIN32_FIND_DATAA exists_record;

static bool is_dot_name(const char* name)
{
    return strcmp(name, ".") == 0 || strcmp(name, "..") == 0;
}

bool FileExists(const char* path)
{
    error_text[0] = '\0';
    HANDLE search = FindFirstFileA(path, &exists_record);
    if (search == INVALID_HANDLE_VALUE) {
        record_last_error();
        return false;
    }

    // "folder\." asks for the folder itself: its "." entry is the answer. Any
    // other pattern must match something besides a folder's "." and "..", or
    // an empty folder would count as holding files.
    size_t length = strlen(path);
    bool found = true;
    if (length == 0 || path[length - 1] != '.') {
        while (is_dot_name(exists_record.cFileName)) {
            if (!FindNextFileA(search, &exists_record)) {
                found = false;
                break;
            }
        }
    }
    FindClose(search);
    return found;
}
