// Test helpers: an installation of the layout seeded exactly as the installer
// makes it (layout key, library, product folder, uninstall entry, desktop
// shortcut, the user's lists), snapshots for "nothing changed" checks, and
// the removal of all of it.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/machine_snapshot.h"
#include "tests/support/program_run.h"
#include "tests/support/registry_seed.h"

struct installation {
    std::string klid;
    std::string system_dir;    // trailing backslash
    std::string wow64_dir;     // trailing backslash; empty on 32-bit Windows
    bool arm64 = false;        // with wow64_dir: ARM64 Windows rather than x64
    std::string product_dir;   // no trailing backslash
    std::string layout_file = "VezOdorQFZ27.DLL";   // empty: no "Layout File" value
    reg_values preload;        // the user's lists as the installer leaves them
    reg_values substitutes;
};

// A German layout installed under klid through the substitution handle
// d0010407, behind the standard German layout; folders below root.
installation typical_installation(const std::string& klid, const std::string& root);

// Writes every piece of the installation into a seeded German Windows
// (seed_german_windows runs first, in the test process).
void seed_installation(const installation& setup);
// Removes what seed_installation made, the German Windows included.
void remove_installation(const installation& setup);

// machine_snapshot of the installation's places.
std::string snapshot(const installation& setup);

std::string layout_key_path(const installation& setup);
std::string desktop_shortcut_path();
// A new empty folder below the temporary folder, with a trailing backslash.
std::string make_private_folder(const std::string& purpose);

