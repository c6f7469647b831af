// Joining a folder and a name into one path buffer without ever overflowing it
// or cutting it into some other path.
#pragma once
#include <stddef.h>

// folder, a backslash unless folder ends in "\" or "/" (an empty folder gives
// "\"), then name. False when the result does not fit into size bytes: the
// failure is recorded as ERROR_FILENAME_EXCED_RANGE and out is left empty.
bool join_path(char* out, size_t size, const char* folder, const char* name);
// Copies path whole or records ERROR_FILENAME_EXCED_RANGE and leaves out empty.
bool copy_path(char* out, size_t size, const char* path);
// Records ERROR_FILENAME_EXCED_RANGE (206) as the last failure.
void record_path_too_long();
