// File helpers that every suite shares, straight through kernel32: reading and
// writing whole files, existence, removing a test's own folder tree, and
// telling Wine from Windows.
#pragma once
#include <windows.h>

#include <string>

// Empty when the file cannot be read.
std::string read_file(const std::string& path);
// Replaces the file; a failure is reported to GoogleTest at the caller's place.
void write_file(const std::string& path, const std::string& content);
bool path_exists(const std::string& path);   // file or folder
// Removes folder and everything below it; folder links are removed, never
// walked into. Only absolute paths below a drive's root are touched.
void remove_tree(const std::string& folder);
// Under Wine, ntdll exports wine_get_version.
bool running_on_wine();
