// The one snapshot of everything an installation or a removal touches, for
// "nothing changed" checks: the machine's "Keyboard Layouts" key, the uninstall
// entries, the user's Preload and Substitutes lists, every file of the product
// manifest, whatever else the product folder holds, and the desktop shortcut.
#pragma once
#include <string>
#include <vector>

struct product_places {
    std::string system_dir;    // trailing backslash
    std::string wow64_dir;     // trailing backslash; empty where there is none
    std::string product_dir;   // no trailing backslash
    std::string shortcut;      // the chart's shortcut on the user's desktop
};

extern const char uninstall_root_path[];    // HKLM "...\CurrentVersion\Uninstall"
extern const char uninstall_entry_path[];   // the product's entry below it

// The path of every row of the product manifest, for every kind of Windows
// (the same path once), in the manifest's order; rows of an empty folder are left out.
std::vector<std::string> manifest_paths(const product_places& places);
// without_user_lists leaves out the user's lists, which Wine rewrites when a
// process starts.
std::string machine_snapshot(const product_places& places, bool without_user_lists = false);
