// The host tools' shared command-line and file steps: the argument count with
// its usage line, and whole files read and written in one go.
#pragma once
#include <stddef.h>

#include <string>

// True when argc is within [least, most]; otherwise prints "usage: <usage>".
bool arguments_fit(int argc, int least, int most, const char* usage);

// The file's bytes as they are; false when it cannot be opened.
bool read_whole_file(const char* path, std::string* content);

// Writes the bytes as the file's whole content. On failure it says so on
// stderr and removes what was written, so that no half file is taken by a
// later build step as made.
bool write_whole_file(const char* path, const void* data, size_t size);
