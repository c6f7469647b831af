// The process-wide layout registration state, with the values it has when the
// process starts: no entries, no index found, every flag cleared.
#include "registry/layout_state.h"
#include "registry/layout_support.h"

preload_entry preload_entries[list_capacity];
int preload_count;
substitute_entry substitute_entries[list_capacity];
int substitute_count;
layout_entry layout_entries[list_capacity];
int layout_count;
new_preload_entry new_preload[list_capacity];
int newpreloadcount;
substitute_entry new_substitutes[list_capacity];
int new_substitute_count;

char layout_file_name[MAX_PATH];
char target_klid[MAX_PATH];
int target_index = -1;
int found_index = -1;
bool found_in_preload;
LONG max_layout_id;
LONG max_klid_counter;
char new_klid[klid_text_size];
char new_layout_id[klid_text_size];
char layout_error_text[layout_error_size];

bool preload_unchanged;
bool substitutes_kept;
bool preload_rewritten;

DWORD foreign_layout_ids[foreign_id_capacity];
int foreign_layout_id_count;
