// Looking up a shell special folder for a given owner window; special_folder_path
// and the shortcut folders share it.
#pragma once
#include <windows.h>

// out (MAX_PATH bytes) receives the folder's path without trailing backslash,
// or stays empty; true when the shell knows the folder and gives its path.
bool shell_folder_lookup(char* out, HWND owner, int folder);
// Redirection back on around shell work, when it is off (system_folders.cpp):
// shell_work_end receives what shell_work_begin returned.
bool shell_work_begin();
void shell_work_end(bool paused);
