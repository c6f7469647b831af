// Test helpers around the programs' runs: the files they read and write, the
// deletions they leave for the next start, and the processes they start
// without waiting for them.
#pragma once
#include <windows.h>

#include <string>

#include "tests/support/test_files.h"


// HKLM "System\CurrentControlSet\Control\Session Manager" value
// "PendingFileRenameOperations" as its raw REG_MULTI_SZ data ("" when absent).
std::string pending_renames();
void set_pending_renames(const std::string& data);
// The list deletes path at the next start (Wine and Windows store "\??\" + path).
bool deletion_pending(const std::string& data, const std::string& path);

// Waits for every process that runs a program file of this name, such as the
// uninstaller's copy, which its first process starts without waiting.
void wait_for_processes_named(const char* name);
