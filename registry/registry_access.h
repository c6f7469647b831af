// Thin layer over the Windows registry: keys or none, true or false, and three
// shared buffers for enumerated names and data.
#pragma once
#include <windows.h>

enum { reg_name_size = 260, reg_data_size = 260 };

extern char enum_key_name[reg_name_size];
extern char enum_value_name[reg_name_size];
// One byte more than the data capacity, so that data of exactly 260 bytes
// still reads as a terminated text.
extern char enum_value_data[reg_data_size + 1];
// Type and size in bytes of the value that reg_enum_value read last.
extern DWORD enum_value_type;
extern DWORD enum_value_size;

HKEY reg_open_read(HKEY parent, const char* path);
HKEY reg_open_full(HKEY parent, const char* path);
HKEY reg_create_key(HKEY parent, const char* path);
bool reg_set_text(HKEY key, const char* name, const char* text);
// A value of any type with exactly these bytes.
bool reg_set_value(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size);
// True only when the key certainly does not exist; a key that exists but
// cannot be opened (access denied) is not missing.
bool reg_key_missing(HKEY parent, const char* path);
DWORD reg_count_subkeys(HKEY key);
DWORD reg_count_values(HKEY key);
bool reg_enum_subkey(HKEY key, DWORD index);
bool reg_enum_value(HKEY key, DWORD index);
bool reg_delete_tree(HKEY parent, const char* name);
// Whether reg_delete_tree could delete the key and everything below it (each
// opens with full access); nothing is deleted.
bool reg_tree_deletable(HKEY parent, const char* name);
// Whether the key at path lets subkeys be created below it.
bool reg_can_create_below(HKEY parent, const char* path);
