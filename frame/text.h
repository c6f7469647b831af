// Small operations on zero-terminated single-byte texts and paths.
#pragma once
#include <windows.h>
#include <stddef.h>

// Append a backslash unless the path ends in one; false (path unchanged) when
// the buffer of size bytes has no room for it.
bool add_backslash(char* path, size_t size);
void strip_backslash(char* path);
// Position of the first occurrence of what in text, ignoring case; null when none.
const char* find_text_nocase(const char* text, const char* what);
DWORD parse_hex(const char* text);
LONG parse_decimal(const char* text);

// Bounded copies: false when the result does not fit into size bytes including
// the terminator (copy_text then leaves dest empty, append_text leaves it
// unchanged); nothing is ever cut.
bool copy_text(char* dest, size_t size, const char* text);
bool append_text(char* dest, size_t size, const char* text);
