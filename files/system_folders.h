// The system folders, the product folder, file-system redirection under
// 32-bit emulation, and shell shortcuts.
#pragma once
#include <windows.h>

#include "product/product.h"

extern char system_dir[MAX_PATH];
extern char wow64_dir[MAX_PATH];
extern char product_dir[MAX_PATH];
extern PVOID redirection_state;

// Fills the folder values; false when one of them cannot be found or does not
// fit: then missing_folder names it, error_text holds the reason, and the
// values are not to be used (redirection_restore is still due).
bool system_folders_init();
extern const char* missing_folder;   // German name of the folder not found
void redirection_restore();
// The folder value (system_dir, wow64_dir or product_dir) of an installed item's folder.
const char* item_folder_path(item_folder folder);
bool special_folder_path(char* out, int folder);

// A shortcut folder is named by null (the desktop), a shell folder number below
// 256 passed as MAKEINTRESOURCEA(number), an absolute path ("X:..."), or a
// name below the start menu's programs folder.
bool shortcut_folder_path(char* out, HWND owner, const char* folder_spec, bool all_users);
bool shortcut_create(HWND owner, const char* target, const char* arguments,
                     const char* folder_spec, const char* name, const char* working_dir,
                     const char* icon_file, int icon_index, const char* description,
                     int show, bool all_users);
bool shortcut_delete(HWND owner, const char* folder_spec, const char* name, bool all_users);
