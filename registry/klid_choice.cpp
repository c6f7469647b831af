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

// Windows finds a layout key from the "Layout Id" in a keyboard layout
// handle whatever its language, so the value must be unique among all layout
// keys: one that a layout of another language holds is passed over. The loop
// ends because the scan noted fewer values than it can step over.
static void choose_layout_id()
{
    DWORD id = max_layout_id < 0x0bff ? 0x0c00 : static_cast<DWORD>(max_layout_id) + 1;
    while (layout_id_in_use(id))
        ++id;
    static const char hex_digits[] = "0123456789abcdef";
    char digits[9];
    int count = 0;
    do {
        digits[count++] = hex_digits[id & 15];
        id >>= 4;
    } while (id || count < 4);
    for (int i = 0; i < count; ++i)
        new_layout_id[i] = digits[count - 1 - i];
    new_layout_id[count] = 0;
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
