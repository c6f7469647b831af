// layout_scan: reads the user's Preload and Substitutes lists and the machine's
// German layout keys into the layout registration state.
#include "registry/layout_keys.h"
#include "registry/layout_support.h"
#include "registry/registry_access.h"
#include "registry/registry_texts.h"

#include <string.h>

#include "frame/text.h"

const char keyboard_layouts_path[] = "System\\CurrentControlSet\\Control\\Keyboard Layouts";
static const char preload_path[] = "Keyboard Layout\\Preload";
static const char substitutes_path[] = "Keyboard Layout\\Substitutes";
static const char user_root[] = "HKEY_CURRENT_USER";
static const char machine_root[] = "HKEY_LOCAL_MACHINE";

// A value that is not REG_SZ names no layout; its bytes are kept so that a
// rewritten list carries it unchanged.
static bool keep_value(const char** data, raw_value* raw)
{
    if (enum_value_type == REG_SZ) {
        *data = keep_text(enum_value_data);
        *raw = raw_value{};
        return *data != nullptr;
    }
    *data = keep_text("");
    BYTE* bytes = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), 0, enum_value_size + 1));
    if (!bytes || !*data)
        return false;
    memcpy(bytes, enum_value_data, enum_value_size);
    *raw = raw_value{enum_value_type, bytes, enum_value_size};
    return true;
}

static bool read_preload(HKEY key)
{
    DWORD count = reg_count_values(key);
    for (DWORD index = 0; index < count; ++index) {
        if (!reg_enum_value(key, index)) {
            ++unreadable_preload_values;
            continue;
        }
        if (preload_count == list_capacity)
            return fail_layout(text_too_many_entries, user_root, preload_path,
                               static_cast<int>(list_capacity));
        preload_entry* entry = &preload_entries[preload_count];
        entry->name = keep_text(enum_value_name);
        if (!entry->name || !keep_value(&entry->data, &entry->raw))
            return fail_layout(text_out_of_memory);
        entry->number = parse_decimal(entry->name);
        char decimal[decimal_text_size];
        format_decimal(decimal, entry->number);
        entry->canonical = strcmp(decimal, entry->name) == 0;
        ++preload_count;
    }
    return true;
}

// A REG_SZ substitute belongs to every preload entry whose data is the
// value's name. Windows looks value names up without regard to case, so the
// names are compared that way too.
static bool read_substitutes(HKEY key)
{
    DWORD count = reg_count_values(key);
    for (DWORD index = 0; index < count; ++index) {
        if (!reg_enum_value(key, index)) {
            ++unreadable_substitute_values;
            continue;
        }
        if (substitute_count == list_capacity)
            return fail_layout(text_too_many_entries, user_root, substitutes_path,
                               static_cast<int>(list_capacity));
        substitute_entry* entry = &substitute_entries[substitute_count];
        entry->name = keep_text(enum_value_name);
        if (!entry->name || !keep_value(&entry->data, &entry->raw))
            return fail_layout(text_out_of_memory);
        ++substitute_count;
        if (entry->raw.bytes)
            continue;
        for (int i = 0; i < preload_count; ++i) {
            preload_entry* preload = &preload_entries[i];
            if (preload->raw.bytes || !same_text(preload->data, entry->name))
                continue;
            preload->substitute = entry->data;
            entry->linked = true;
        }
    }
    return true;
}

static bool open_and_read(HKEY root, const char* path, bool (*read)(HKEY))
{
    HKEY key = reg_open_read(root, path);
    if (!key)
        return fail_layout(root == HKEY_CURRENT_USER ? text_open_user_key : text_open_machine_key,
                           path);
    bool ok = read(key);
    RegCloseKey(key);
    return ok;
}

static bool is_four_hex_digits(const char* text)
{
    for (int i = 0; i < 4; ++i) {
        char c = text[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')))
            return false;
    }
    return text[4] == 0;
}

// Values are told apart by their exact name; their type is not looked at.
static bool read_layout_values(HKEY key, layout_entry* entry)
{
    DWORD count = reg_count_values(key);
    for (DWORD index = 0; index < count; ++index) {
        if (!reg_enum_value(key, index))
            continue;
        if (strcmp(enum_value_name, "Layout File") == 0) {
            entry->layout_file = keep_text(enum_value_data);
            if (!entry->layout_file)
                return fail_layout(text_out_of_memory);
            if (same_text(entry->layout_file, layout_file_name))
                found_index = layout_count;
        } else if (strcmp(enum_value_name, "Layout Text") == 0) {
            entry->layout_text = keep_text(enum_value_data);
            if (!entry->layout_text)
                return fail_layout(text_out_of_memory);
        } else if (strcmp(enum_value_name, "Layout Id") == 0
                   && strlen(enum_value_data) < klid_text_size) {
            // A longer "Layout Id" would not fit new_layout_id on an update;
            // it counts as unreadable.
            entry->layout_id = keep_text(enum_value_data);
            if (!entry->layout_id)
                return fail_layout(text_out_of_memory);
            entry->layout_id_value = static_cast<LONG>(parse_hex(entry->layout_id));
            // A new id has four hexadecimal digits; an id of another form
            // would push it out of that range, so it does not count here.
            if (is_four_hex_digits(entry->layout_id) && entry->layout_id_value > max_layout_id)
                max_layout_id = entry->layout_id_value;
        }
    }
    return true;
}

static bool read_german_layout(HKEY layouts, const char* name)
{
    // A KLID that could not be copied into new_klid is treated as unreadable.
    if (strlen(name) >= klid_text_size)
        return true;
    if (layout_count == list_capacity)
        return fail_layout(text_too_many_entries, machine_root, keyboard_layouts_path,
                           static_cast<int>(list_capacity));
    layout_entry* entry = &layout_entries[layout_count];
    entry->klid = keep_text(name);
    if (!entry->klid)
        return fail_layout(text_out_of_memory);
    char counter_digits[4] = {name[1], name[2], name[3], 0};
    entry->counter = static_cast<LONG>(parse_hex(counter_digits));
    if (entry->counter > max_klid_counter)
        max_klid_counter = entry->counter;
    if (same_text(name, target_klid))
        target_index = layout_count;

    HKEY key = reg_open_read(layouts, name);
    if (!key)
        return fail_layout(text_open_layout_subkey, keyboard_layouts_path, name);
    bool ok = read_layout_values(key, entry);
    RegCloseKey(key);
    if (ok)
        ++layout_count;
    return ok;
}

// Only "Layout Id" values from 0c00 on matter: a new "Layout Id" is never
// smaller. A key that cannot be read is passed over, as Windows' own layout
// list would not offer it either. Ids past the capacity only set a flag: they
// matter only to a fresh registration (choose_new_klid), not to a removal.
static bool note_foreign_layout_id(HKEY layouts, const char* name)
{
    HKEY key = reg_open_read(layouts, name);
    if (!key)
        return true;
    bool ok = true;
    DWORD count = reg_count_values(key);
    for (DWORD index = 0; index < count && ok; ++index) {
        if (!reg_enum_value(key, index) || strcmp(enum_value_name, "Layout Id") != 0
            || strlen(enum_value_data) >= klid_text_size)
            continue;
        DWORD id = parse_hex(enum_value_data);
        if (id < 0x0c00)
            continue;
        if (foreign_layout_id_count == foreign_id_capacity)
            foreign_layout_ids_overflow = true;
        else
            foreign_layout_ids[foreign_layout_id_count++] = id;
    }
    RegCloseKey(key);
    return ok;
}

static bool read_layouts(HKEY layouts)
{
    DWORD count = reg_count_subkeys(layouts);
    for (DWORD index = 0; index < count; ++index) {
        if (!reg_enum_subkey(layouts, index))
            continue;
        // The value enumerations below leave enum_key_name alone.
        bool ok = is_german_klid(enum_key_name) ? read_german_layout(layouts, enum_key_name)
                                                : note_foreign_layout_id(layouts, enum_key_name);
        if (!ok)
            return false;
    }
    return true;
}

bool listed_for_user(const char* klid)
{
    for (int i = 0; i < preload_count; ++i) {
        if (same_text(preload_entries[i].data, klid))
            return true;
    }
    for (int i = 0; i < substitute_count; ++i) {
        if (same_text(substitute_entries[i].data, klid))
            return true;
    }
    return false;
}

bool layout_scan()
{
    clear_layout_results();
    // A profile without a Substitutes key has no substitutes; the key is
    // created when a list is written that needs it.
    if (!open_and_read(HKEY_CURRENT_USER, preload_path, read_preload)
        || (!reg_key_missing(HKEY_CURRENT_USER, substitutes_path)
            && !open_and_read(HKEY_CURRENT_USER, substitutes_path, read_substitutes))
        || !open_and_read(HKEY_LOCAL_MACHINE, keyboard_layouts_path, read_layouts))
        return false;
    if (found_index != -1)
        found_in_preload = listed_for_user(layout_entries[found_index].klid);
    return true;
}
