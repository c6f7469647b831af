// Widening a file's or folder's access list by one allow entry.
#pragma once
#include <windows.h>

bool grant_access(const char* path, const char* account, DWORD access_mask, bool inheritable);
