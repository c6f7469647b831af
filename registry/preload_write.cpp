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
static HKEY recreate_key(HKEY parent, const char* name)
{
    if (!reg_delete_tree(parent, name)) {
        fail_layout(text_write_delete, keyboard_layout_key, name);
        return nullptr;
    }
    HKEY key = reg_create_key(parent, name);
    if (!key)
        fail_layout(text_write_recreate, keyboard_layout_key, name);
    return key;
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

    HKEY preload = recreate_key(parent, "Preload");
    if (preload) {
        for (int i = 0; i < newpreloadcount; ++i)
            reg_set_text(preload, new_preload[i].name, new_preload[i].data);
        RegCloseKey(preload);
        preload_rewritten = true;
    }
    // A failure here replaces the text of a Preload failure; the other key is
    // attempted either way.
    if (!substitutes_kept) {
        HKEY substitutes = recreate_key(parent, "Substitutes");
        if (substitutes) {
            for (int pass = 0; pass < 2; ++pass) {
                for (int i = 0; i < new_substitute_count; ++i) {
                    if (is_standard_klid(new_substitutes[i].name) == (pass == 0))
                        reg_set_text(substitutes, new_substitutes[i].name, new_substitutes[i].data);
                }
            }
            RegCloseKey(substitutes);
        }
    }
    RegCloseKey(parent);
    return layout_error_text[0] == 0;
}
