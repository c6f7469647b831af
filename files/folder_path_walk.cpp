// Finding the folders along a path, one level at a time, for folder_create_path:
// "C:", the "\\" that opens a network path and its server name are no folders.
#include "files/folder_path_walk.h"

int next_folder_prefix(const char* path, int start, bool* server_passed)
{
    for (int i = start; path[i]; ++i) {
        if (path[i] != '\\' || i == 0)
            continue;
        char before = path[i - 1];
        if (before == ':' || before == '\\')
            continue;
        if (path[0] == '\\' && path[1] == '\\' && !*server_passed) {
            *server_passed = true;
            continue;
        }
        return i;
    }
    return -1;
}
