// The entry in Windows' list of installed software.
#pragma once

// Deletes the entry (and, with a prefix, every entry of ours whose name begins
// with it); writes it again when an uninstall command is given. False, with
// the failed step in layout_error_text, when the entry could not be written
// in full, or when it is still there after a removal.
bool write_uninstall_entry(const char* name, const char* command, const char* display_name,
                           const char* prefix, const char* help_link,
                           const char* url_update_info, const char* publisher,
                           const char* url_info_about, const char* display_version,
                           const char* display_icon, const char* comments);
