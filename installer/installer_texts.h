// Every text that the installer itself shows or writes, in one place.
#pragma once

extern const char text_wrong_call[];
extern const char text_window_title[];
extern const char text_question[];
extern const char text_verb_update[];
extern const char text_verb_install[];
extern const char text_terms[];
extern const char text_cancelled[];
extern const char text_folder_not_found[];
extern const char text_changed_while_asked[];
extern const char text_list_warning[];
extern const char text_updated[];
extern const char text_restart_hint[];
extern const char text_reopen_failed[];
extern const char text_layout_key_failed[];
extern const char text_installed[];
extern const char text_layout_value_failed[];
extern const char text_warning[];
extern const char text_missing_parts[];
extern const char part_wow64_library[];
extern const char part_uninstaller[];
extern const char part_uninstall_entry[];
extern const char part_chart[];
extern const char part_icon[];
extern const char part_shortcut[];
extern const char text_uninstall_command[];
extern const char text_removal_and[];
extern const char text_removal_tail[];
extern const char text_vezodor[];
extern const char value_layout_text[];
extern const char value_layout_file[];
extern const char value_layout_id[];
extern const char value_created_by_vezodor[];
extern const char value_custom_language_name[];
extern const char text_custom_language[];
