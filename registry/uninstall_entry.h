// The entry in Windows' list of installed software.
#pragma once

// Deletes the entry (and, with a prefix, every entry whose name begins with
// it); writes it again when an uninstall command is given.
bool write_uninstall_entry(const char* name, const char* command, const char* display_name,
                           const char* prefix, const char* help_link,
                           const char* url_update_info, const char* publisher,
                           const char* url_info_about, const char* display_version,
                           const char* display_icon, const char* comments);
