// The layout registration state: what layout_scan read from the user's
// Preload and Substitutes lists and the machine's German layout keys, and the
// new lists that the planning steps build from it. Process-wide; the copied
// texts live until the process ends. A null text pointer means "absent".
#pragma once
#include <windows.h>

enum { list_capacity = 100, layout_error_size = 1000, klid_text_size = 20 };

// A value that is not REG_SZ is carried as it is: raw holds its bytes (null
// for REG_SZ values) and data is then the empty text, which names no layout.
struct raw_value {
    DWORD type;
    const BYTE* bytes;
    DWORD size;
};

struct preload_entry {
    const char* name;
    const char* data;
    const char* substitute;
    raw_value raw;
    LONG number;
    bool canonical;
    bool standard;
    LONG new_number;
    const char* new_data;
};

struct substitute_entry {
    const char* name;
    const char* data;
    raw_value raw;
    bool linked;   // some Preload value names it
};

struct layout_entry {
    const char* klid;
    const char* layout_text;
    const char* layout_file;
    const char* layout_id;
    LONG layout_id_value;
    LONG counter;
};

struct new_preload_entry {
    const char* name;
    const char* data;
    const char* substitute;
    raw_value raw;
};

extern preload_entry preload_entries[list_capacity];
extern int preload_count;
extern substitute_entry substitute_entries[list_capacity];
extern int substitute_count;
extern layout_entry layout_entries[list_capacity];
extern int layout_count;
extern new_preload_entry new_preload[list_capacity];
extern int newpreloadcount;
extern substitute_entry new_substitutes[list_capacity];
extern int new_substitute_count;

extern char layout_file_name[MAX_PATH];   // set by the flow before layout_scan
extern char target_klid[MAX_PATH];        // set by the flow before layout_scan
extern int target_index;
extern int found_index;
extern bool found_in_preload;
extern LONG max_layout_id;
extern LONG max_klid_counter;
extern char new_klid[klid_text_size];
extern char new_layout_id[klid_text_size];
extern char layout_error_text[layout_error_size];

// Values of the user's lists that could not be read (name or data too long):
// a rewrite of that key would lose them.
extern int unreadable_preload_values;
extern int unreadable_substitute_values;
// More "Layout Id" values from 0c00 on than the scan keeps: only a fresh
// registration, which chooses a new one, needs them all.
extern bool foreign_layout_ids_overflow;

extern bool preload_unchanged;
extern bool substitutes_kept;
extern bool preload_rewritten;

// Puts the whole state, the scan's inputs included, back to its values at
// process start. A program scans once; what runs several scans in one process
// (the tests) calls this first.
void reset_layout_state();
