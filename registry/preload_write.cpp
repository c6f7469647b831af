// write_preload_lists: replaces the user's Preload and Substitutes keys with
// the planned lists. Windows reads them at the next sign-in.
#include "registry/layout_keys.h"
#include "registry/layout_support.h"
#include "registry/preload_list.h"
#include "registry/registry_access.h"
#include "registry/registry_texts.h"

static const char keyboard_layout_key[] = "Keyboard Layout";

// Deleting the key first removes every value that the new list does not hold,
// and the values are then created in the planned order. Deletion and creation
// below a key opened for reading only are decided by the subkeys' own security.
// A key that does not exist has nothing to delete.
static HKEY recreate_key(HKEY parent, const char* name)
{
    if (!reg_key_missing(parent, name) && !reg_delete_tree(parent, name)) {
        fail_layout(text_write_delete, keyboard_layout_key, name);
        return nullptr;
    }
    HKEY key = reg_create_key(parent, name);
    if (!key)
        fail_layout(text_write_recreate, keyboard_layout_key, name);
    return key;
}

// Values that are not REG_SZ go back with their own type and bytes.
static bool write_value(HKEY key, const char* list, const char* name, const char* data,
                        raw_value raw)
{
    bool written = raw.bytes ? reg_set_value(key, name, raw.type, raw.bytes, raw.size)
                             : reg_set_text(key, name, data);
    if (!written)
        fail_layout(text_write_value, name, keyboard_layout_key, list);
    return written;
}

static void write_preload(HKEY parent)
{
    HKEY preload = recreate_key(parent, "Preload");
    if (!preload)
        return;
    for (int i = 0; i < newpreloadcount; ++i) {
        const new_preload_entry* entry = &new_preload[i];
        write_value(preload, "Preload", entry->name, entry->data, entry->raw);
    }
    RegCloseKey(preload);
    preload_rewritten = true;
}

// Pairs named by a standard KLID first, then the others, each in list order.
static void write_substitutes(HKEY parent)
{
    HKEY substitutes = recreate_key(parent, "Substitutes");
    if (!substitutes)
        return;
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < new_substitute_count; ++i) {
            const substitute_entry* entry = &new_substitutes[i];
            if (is_standard_klid(entry->name) == (pass == 0))
                write_value(substitutes, "Substitutes", entry->name, entry->data, entry->raw);
        }
    }
    RegCloseKey(substitutes);
}

// A key that is rewritten must let itself be deleted, and Keyboard Layout must
// let it be created again. Asked of both keys before either is deleted: with
// one list rewritten and the other not, the new handles in Preload would load
// what the old Substitutes values name (or nothing), not the user's layouts.
static bool rewritable(HKEY parent, const char* name)
{
    return reg_key_missing(parent, name) || reg_tree_deletable(parent, name);
}

bool write_preload_lists()
{
    if (preload_unchanged)
        return true;
    if (newpreloadcount == 0)
        return fail_layout(text_new_list_empty);
    layout_error_text[0] = 0;
    HKEY parent = reg_open_read(HKEY_CURRENT_USER, keyboard_layout_key);
    if (!parent)
        return fail_layout(text_write_open, keyboard_layout_key);
    // A profile without a Substitutes key gets one only when something goes into it.
    bool substitutes = !substitutes_kept
        && !(new_substitute_count == 0 && reg_key_missing(parent, "Substitutes"));
    const char* refused = nullptr;
    if (!reg_can_create_below(HKEY_CURRENT_USER, keyboard_layout_key)
        || !rewritable(parent, "Preload"))
        refused = "Preload";
    else if (substitutes && !rewritable(parent, "Substitutes"))
        refused = "Substitutes";
    if (refused) {
        RegCloseKey(parent);
        return fail_layout(text_write_refused, keyboard_layout_key, refused);
    }
    // A failure in Substitutes replaces the text of a Preload failure; the
    // other key is attempted either way.
    write_preload(parent);
    if (substitutes)
        write_substitutes(parent);
    RegCloseKey(parent);
    return layout_error_text[0] == 0;
}
