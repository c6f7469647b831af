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

#include "tests/support/program_run.h"

struct installer_places {
    std::string system_dir;    // trailing backslash
    std::string wow64_dir;     // trailing backslash
    std::string product_dir;   // no trailing backslash
    std::string shortcut;      // the chart's shortcut on the user's desktop
};

installer_places find_places();

extern const char uninstall_entry_path[];   // HKLM, below "...\Uninstall"
extern const char uninstall_root_path[];

// A file of the payload folder that the build embedded.
std::string payload_file(const char* name);
// The uninstaller program of this build (programs/Uninstall_VezOdorQFZ27.exe).
std::string built_uninstaller();

ULONGLONG last_write_time(const std::string& path);   // 0 when unreadable

// The registry places and files that a run may touch, as one comparable text;
// without_user_lists leaves out the user's "Keyboard Layout" key.
std::string machine_snapshot(bool without_user_lists = false);

// Removes files, folders, keys and shortcut of any run, and the German Windows.
void remove_installer_traces();
