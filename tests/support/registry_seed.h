// Registry fixtures for tests under Wine, whose fresh prefix has neither the
// machine's "Keyboard Layouts" key nor the user's Substitutes key: a German
// Windows to seed, the user's lists to set, and read-backs for comparisons.
// Everything goes straight through advapi32, independent of registry/.
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

// (value name, data as text) in enumeration order.
using reg_values = std::vector<std::pair<std::string, std::string>>;
// "1=00000407 2=d0010407" as {{"1", "00000407"}, {"2", "d0010407"}}; null or "" is none.
reg_values parse_values(const char* text);

extern const char seed_layouts_path[];      // HKLM "System\CurrentControlSet\Control\Keyboard Layouts"
extern const char seed_preload_path[];      // HKCU "Keyboard Layout\Preload"
extern const char seed_substitutes_path[];  // HKCU "Keyboard Layout\Substitutes"

// A German Windows: layout keys 00000407, 00000807, 00000C07, 00001407,
// 00010407, 00020407, 00000409, 0000040C and 00000410 with their "Layout File",
// "Layout Text" and (where Windows has one) "Layout Id"; the user's Preload
// with 1 = 00000407 and an empty Substitutes key. Call it inside the test
// process: Wine rewrites Preload at every process start.
void seed_german_windows();
// Removes the machine's "Keyboard Layouts" key and the user's Preload and
// Substitutes keys, everything seed_german_windows and the tests put there.
void remove_german_windows();

// One layout key below "Keyboard Layouts"; a null id writes no "Layout Id".
void seed_layout_key(const char* klid, const char* file, const char* text, const char* id);
// Replaces the key (created when missing) by one holding exactly these REG_SZ values, in order.
void set_key_values(HKEY root, const char* path, const reg_values& values);
void set_user_lists(const reg_values& preload, const reg_values& substitutes);

bool key_exists(HKEY root, const char* path);
// Replaces the key's access list (SDDL), e.g. "D:(D;;KR;;;WD)(A;;KA;;;WD)" to
// deny reading to everyone; "D:(A;;KA;;;WD)" gives everything back.
bool set_key_access(HKEY root, const std::string& path, const char* sddl);
// The key's values (data of every type read as text); empty when it is missing.
reg_values read_values(HKEY root, const char* path);
// Every key, value type and data byte below path, in enumeration order, as one
// text: two equal snapshots mean nothing changed. "<missing>" for no key.
std::string snapshot_tree(HKEY root, const char* path);
void delete_key_tree(HKEY root, const char* path);

// Windows enumerates a key's values in the order they were created, Wine in
// name order; so the order in which code writes values is observed at the
// call: while recording, every RegSetValueExA of this program (its import is
// redirected) is noted as (name, data) in call order and then carried out.
void start_recording_value_writes();
reg_values stop_recording_value_writes();
// Until called again with null: this program's RegSetValueExA for a value of
// this name, and its RegCreateKeyExA for a key of this name, fail with
// ERROR_ACCESS_DENIED, as on a key that another program locked down.
void fail_registry_writes_named(const char* name);
