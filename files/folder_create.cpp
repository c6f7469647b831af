// Creating folders, one or a whole path of them. Every folder made here is
// opened to Everyone, so that any user may later update or remove what the
// programs put into it; folders that were there already are left as they are.
#include "files/file_ops.h"

#include <string.h>

#include "files/access_grant.h"
#include "files/folder_path_walk.h"
#include "files/path_join.h"
#include "frame/messages.h"
#include "frame/text.h"

// Read, write, execute, synchronize, read control, delete and the folder rights
// list, add file, add subfolder, read extended attributes, traverse, delete
// child and read attributes; neither write attributes nor WRITE_DAC/WRITE_OWNER.
static const DWORD everyone_folder_rights = 0xE01300EF;

// "\\" and then only digits and dots: a server named by its address.
static bool is_numeric_server(const char* path)
{
    if (path[0] != '\\' || path[1] != '\\')
        return false;
    for (const char* c = path + 2; *c; ++c) {
        if (!(*c >= '0' && *c <= '9') && *c != '.')
            return false;
    }
    return true;
}

bool folder_create(const char* path)
{
    char folder[MAX_PATH];
    if (!copy_path(folder, sizeof folder, path))
        return false;
    strip_backslash(folder);

    if (CreateDirectoryA(folder, nullptr)) {
        // A folder whose grant fails is still a created folder.
        grant_access(folder, nullptr, everyone_folder_rights, false);
        return true;
    }
    WORD code = record_last_error();
    if (code == ERROR_ALREADY_EXISTS) {
        // Only a folder will do: a file of that name is no place to put files
        // in, and saying otherwise would let the caller fail later and elsewhere.
        DWORD attributes = GetFileAttributesA(folder);
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    // A server named by its address is there or not; it cannot be created.
    if (code == ERROR_INVALID_NAME && is_numeric_server(folder))
        return true;
    return false;
}

bool folder_create_path(const char* path)
{
    if (strlen(path) >= MAX_PATH) {
        record_path_too_long();
        return false;
    }
    if (folder_create(path))
        return true;

    char prefix[MAX_PATH];
    bool server_passed = false;
    int start = 0;
    int end;
    while ((end = next_folder_prefix(path, start, &server_passed)) >= 0) {
        memcpy(prefix, path, end);
        prefix[end] = '\0';
        // An administrative or hidden share ("\\server\c$") cannot be created
        // and need not be: the walk goes on below it.
        if (!folder_create(prefix) && prefix[end - 1] != '$')
            return false;
        start = end + 1;
    }

    size_t length = strlen(path);
    if ((length == 0 || path[length - 1] != '\\') && !folder_create(path))
        return false;
    return true;
}
