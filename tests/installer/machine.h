// Test helpers: the places the installer writes to, found through Windows'
// own folder functions; the payload files it must reproduce; snapshots for
// "nothing changed" checks; and the removal of every trace of a run.
//
// The installer writes to fixed places of the machine (the system folders,
// the program-files folder, the desktop, HKLM and HKCU). The tests run in a
// throwaway Wine prefix; each test starts from and leaves behind a machine
// without any of them.
#pragma once
#include <windows.h>

#include <string>

#include "tests/support/machine_snapshot.h"
#include "tests/support/program_run.h"

using installer_places = product_places;

installer_places find_places();


// A file of the payload folder that the build embedded.
std::string payload_file(const char* name);
// The uninstaller program of this build (programs/Uninstall_VezOdorQFZ27.exe).
std::string built_uninstaller();

ULONGLONG last_write_time(const std::string& path);   // 0 when unreadable

// machine_snapshot of the installer's places.
std::string machine_snapshot(bool without_user_lists = false);

// Removes files, folders, keys and shortcut of any run, and the German Windows.
void remove_installer_traces();
