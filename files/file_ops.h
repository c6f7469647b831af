// File and folder operations shared by both programs: existence test, copy,
// delete, folder removal, listing and creation.
#pragma once
#include <windows.h>

// Caption of the copy and delete failure boxes; each program links its own.
extern const char operation_caption[];

struct dir_entry {
    WIN32_FIND_DATAA find;
    char path[MAX_PATH];
};

struct dir_listing {
    HANDLE handle;          // null when the listing is finished
    dir_entry entry;
    int count;
    char folder[MAX_PATH];
};

bool FileExists(const char* path);
bool file_copy(const char* source, const char* target, bool report, bool overwrite);
bool file_delete(const char* path, bool report);
bool folder_delete(const char* path);
bool folder_delete_tree(const char* path);
void dir_scan_first(dir_listing* listing, const char* folder, const char* mask);
void dir_scan_next(dir_listing* listing);
bool folder_create(const char* path);
bool folder_create_path(const char* path);
