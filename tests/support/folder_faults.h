// The folder queries of the code under test, made to fail: Windows reports no
// system folder, or one too long for the programs' path buffers, or the shell
// gives no path for a special folder.
#pragma once

enum folder_fault { folder_reported, folder_unknown, folder_too_long };

// Until set back to folder_reported: this program's calls of the named query
// (GetSystemDirectoryA, GetSystemWow64DirectoryA, GetWindowsDirectoryA or
// SHGetPathFromIDListA) fail with ERROR_PATH_NOT_FOUND, or (folder_too_long,
// the three directory queries only) report the size that a path one byte
// longer than the buffer would need, writing nothing.
void set_folder_fault(const char* query, folder_fault fault);
void clear_folder_faults();
