// KLIDs: recognising them by their form (the standard ones that come with
// Windows, the names of German layout keys), and choose_new_klid, the KLID and
// "Layout Id" under which the layout is registered: fresh ones for a first
// registration or those of the found key.
#include "registry/layout_keys.h"
#include "registry/layout_support.h"
#include "registry/registry_texts.h"

#include <string.h>

#include "frame/text.h"

bool is_standard_klid(const char* text)
{
    return text && strlen(text) == 8 && strncmp(text, "00000", 5) == 0;
}

// The language is compared byte for byte, as Windows writes it: a key named
// 00000c07 is not taken for German (Austria).
bool is_german_klid(const char* name)
{
    if (strlen(name) < 8)
        return false;
    static const char* const languages[] = {"0407", "0807", "0C07", "1407"};
    for (const char* language : languages) {
        if (strncmp(name + 4, language, 4) == 0)
            return true;
    }
    return false;
}

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
// is passed over (the scan noted at most a few hundred of them). The id has
// four hexadecimal digits; when none is left above the largest one in use,
// the lowest free one from 0c00 on is taken.
static bool choose_layout_id()
{
    DWORD id = max_layout_id < 0x0bff ? 0x0c00 : static_cast<DWORD>(max_layout_id) + 1;
    while (id <= 0xffff && layout_id_in_use(id))
        ++id;
    if (id > 0xffff) {
        for (id = 0x0c00; id <= 0xffff && layout_id_in_use(id); ++id) {
        }
        if (id > 0xffff)
            return fail_layout(text_layout_id_exhausted);
    }
    format_hex(new_layout_id, id, 4);
    return true;
}

// The KLID that holds the largest counter, for the failure text.
static const char* klid_with_counter(LONG counter)
{
    for (int i = 0; i < layout_count; ++i) {
        if (layout_entries[i].counter == counter)
            return layout_entries[i].klid;
    }
    return "";
}

// A KLID that a layout key or the user's lists name already: a handle left in
// the lists by some other removal would load the new layout too.
static bool klid_named(const char* klid)
{
    for (int i = 0; i < layout_count; ++i) {
        if (same_text(layout_entries[i].klid, klid))
            return true;
    }
    if (listed_for_user(klid))
        return true;
    for (int i = 0; i < substitute_count; ++i) {
        if (same_text(substitute_entries[i].name, klid))
            return true;
    }
    return false;
}

bool choose_new_klid(int index)
{
    new_klid[0] = new_layout_id[0] = 0;
    if (target_index != -1)
        return fail_layout(text_key_exists);
    if (index == -1) {
        // A new KLID counts on from the largest counter in use, past those
        // the user's lists name; beyond fff it would grow past eight characters.
        LONG counter = max_klid_counter + 1;
        do {
            if (!format_klid(new_klid, sizeof new_klid, 'b', counter++)) {
                new_klid[0] = 0;
                return fail_layout(text_klid_exhausted, klid_with_counter(max_klid_counter));
            }
        } while (klid_named(new_klid));
        if (foreign_layout_ids_overflow) {
            new_klid[0] = 0;
            return fail_layout(text_too_many_entries, "HKEY_LOCAL_MACHINE", keyboard_layouts_path,
                               static_cast<int>(foreign_id_capacity));
        }
        if (!choose_layout_id()) {
            new_klid[0] = 0;
            return false;
        }
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
