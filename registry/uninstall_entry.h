// The entry in Windows' list of installed software.
#pragma once

enum { entry_error_size = 1000 };

// The values of one entry, written in this order; an optional text that is
// null writes no value. Windows' list needs "DisplayName" to show the entry
// and "UninstallString" to start the removal; the others only describe it.
struct uninstall_entry_values {
    const char* name;               // the entry's key below Uninstall
    const char* display_name;       // null: the entry's name
    const char* uninstall_string;   // the command that starts the uninstaller
    const char* help_link;
    const char* url_update_info;
    const char* publisher;
    const char* url_info_about;
    const char* display_version;
    const char* display_icon;
    const char* comments;
};

enum entry_outcome {
    entry_written,             // every value is there
    entry_lacks_description,   // it starts the uninstaller, but an optional value failed
    entry_unusable,            // no key, or no "DisplayName" or "UninstallString"
};

// The first failure of the last call below, with the system's description of
// it; separate from layout_error_text, which the flows show for the user's lists.
extern char uninstall_entry_error[entry_error_size];

// Deletes the entry name and, with a prefix, every entry of ours whose name
// begins with it. True when the entry is gone (or was never there).
bool remove_uninstall_entry(const char* name, const char* prefix);
// Creates the entry's key (an existing one is written into) and writes every
// value that is given, each attempted whatever the others did.
entry_outcome write_uninstall_entry(const uninstall_entry_values* values);
// Whether the entry name starts our uninstaller, from whatever folder, with
// klid as its one argument (compared ignoring letter case).
bool uninstall_entry_starts(const char* name, const char* klid);
