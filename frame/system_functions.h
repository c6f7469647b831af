// Run-time lookups in kernel32 and what the start-up sequence does with them.
#pragma once
#include <windows.h>

// The named function of kernel32, or null where this Windows lacks it.
FARPROC kernel32_function(const char* name);
// True for a 32-bit process on 64-bit Windows; false where IsWow64Process is
// missing or fails.
bool query_wow64();
// The native machine (an IMAGE_FILE_MACHINE_ value) as IsWow64Process2
// reports it; 0 where kernel32 lacks that function or the call fails.
USHORT query_native_machine();
// Restricts the DLL search to the system folder (or, where Windows cannot,
// removes the current folder from it).
void harden_dll_search();
