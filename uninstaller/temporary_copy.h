// The hand-over to a copy of the uninstaller in the temporary folder: the copy
// does the removal, so that the program file in the product folder can go.
#pragma once
#include <windows.h>

struct copy_paths {
    char temporary_folder[MAX_PATH];   // with a trailing backslash
    char own_path[MAX_PATH];
    char copy_path[MAX_PATH];          // temporary folder + own file name
};

// Fills all three paths; false (nothing shown) when the temporary folder or
// the program's own path is unknown, or a path does not fit.
bool find_copy_paths(copy_paths* paths);
// The running program's own folder is the temporary folder (compared ignoring
// case and a trailing backslash).
bool runs_from_temporary_folder(const copy_paths* paths);
// find_copy_paths and runs_from_temporary_folder in one; false when unknown.
bool runs_as_temporary_copy();
// Copies the program to copy_path and starts it with the KLID, without waiting;
// shows the failure boxes itself.
bool hand_over_to_copy(const copy_paths* paths, const char* klid);
