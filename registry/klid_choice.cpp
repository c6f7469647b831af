// choose_new_klid: the KLID and "Layout Id" under which the layout is
// registered, fresh ones for a first registration or those of the found key.
#include "registry/layout_keys.h"
#include "registry/layout_support.h"
#include "registry/registry_texts.h"

#include "frame/text.h"

static bool layout_id_in_use(DWORD id)
{
    for (int i = 0; i < layout_count; ++i) {
        if (layout_entries[i].layout_id && static_cast<DWORD>(layout_entries[i].layout_id_value) == id)
            return true;
    }
    for (int i = 0; i < foreign_layout_id_count; ++i) {
        if (foreign_layout_ids[i] == id)
            return true;
    }
    return false;
}

// Windows finds a layout key by the "Layout Id" in a keyboard layout handle,
// whatever the language, so a value that a layout key of any language holds
// is passed over (the scan noted at most a few hundred of them).
static void choose_layout_id()
{
    DWORD id = max_layout_id < 0x0bff ? 0x0c00 : static_cast<DWORD>(max_layout_id) + 1;
    while (layout_id_in_use(id))
        ++id;
    format_hex(new_layout_id, id, 4);
}

bool choose_new_klid(int index)
{
    new_klid[0] = new_layout_id[0] = 0;
    if (target_index != -1)
        return fail_layout(text_key_exists);
    if (index == -1) {
        // Beyond fff the KLID would grow past eight characters.
        if (!format_klid(new_klid, sizeof new_klid, 'b', max_klid_counter + 1))
            return fail_layout(text_klid_exhausted);
        choose_layout_id();
        return true;
    }
    if (index < 0 || index >= layout_count)
        return fail_layout(text_key_missing);
    const layout_entry* entry = &layout_entries[index];
    // An entry without "Layout Id" leaves new_layout_id empty; the update
    // writes no layout key and does not need it.
    if (!copy_text(new_klid, sizeof new_klid, entry->klid)
        || !copy_text(new_layout_id, sizeof new_layout_id,
                      entry->layout_id ? entry->layout_id : ""))
        return fail_layout(text_key_missing);
    return true;
}
