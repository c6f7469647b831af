// The German texts of the layout registration, as the flows show them from
// layout_error_text.
#pragma once

extern const char text_open_user_key[];
extern const char text_open_machine_key[];
extern const char text_open_layout_subkey[];
extern const char text_too_many_entries[];
extern const char text_out_of_memory[];
extern const char text_key_exists[];
extern const char text_key_missing[];
extern const char text_klid_exhausted[];
extern const char text_layout_id_exhausted[];
extern const char text_standard_layout[];
extern const char text_new_list_full[];
extern const char text_new_list_empty[];
extern const char text_list_full[];
extern const char text_name_at_end[];
extern const char text_value_unreadable[];
extern const char text_write_value[];
extern const char text_write_open[];
extern const char text_write_delete[];
extern const char text_write_refused[];
extern const char text_write_recreate[];
extern const char text_key_not_created[];
extern const char text_key_not_deleted[];
extern const char text_value_not_written[];
