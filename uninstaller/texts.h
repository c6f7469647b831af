// The uninstaller's own German texts, verbatim, in one place: its refusals,
// its question and its reports. Placeholders are filled by the message functions.
#pragma once

extern const char text_argument_missing[];
extern const char text_argument_length[];
extern const char text_argument_not_german[];
extern const char text_argument_standard[];
extern const char text_no_temporary_folder[];
extern const char text_folder_not_found[];
extern const char text_copy_failed[];
extern const char text_copy_not_started[];
extern const char text_title_format[];

extern const char text_key_not_found[];
extern const char text_no_layout_file[];
extern const char text_other_layout_file[];
extern const char text_single_preload_entry[];
extern const char text_confirm[];
extern const char text_cancelled[];
extern const char text_library_not_deleted[];
extern const char text_library_missing[];
extern const char text_preload_warning[];
extern const char text_layouts_key_not_opened[];
extern const char text_layout_key_not_deleted[];
extern const char text_file_not_deleted[];
extern const char text_folder_not_removed[];
extern const char text_done[];
extern const char text_entry_kept[];
extern const char text_warning[];
extern const char text_not_disabled[];
extern const char text_other_account_note[];
extern const char text_other_account_result[];
