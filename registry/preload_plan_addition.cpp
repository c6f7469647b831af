// plan_layout_addition: the user's new Preload and Substitutes lists with the
// layout added at position 1 and every other entry moved one place back.
#include "registry/layout_keys.h"
#include "registry/layout_support.h"
#include "registry/preload_list.h"
#include "registry/registry_texts.h"

// Windows lists a layout that does not come with it only through a
// substitution handle in Preload and a Substitutes value naming the real KLID.
// A standard KLID may stand in Preload itself, with or without a substitute.
static bool take_entry(const preload_entry* entry, LONG* handle_number)
{
    if (!entry->substitute)
        return add_new_preload(entry->name, entry->data, nullptr);
    const char* data = entry->data;
    if (!is_standard_klid(data)) {
        char handle[klid_text_size];
        if (!format_klid(handle, sizeof handle, 'd', (*handle_number)++))
            return fail_layout(text_new_list_full, static_cast<int>(list_capacity));
        data = keep_text(handle);
    }
    return add_new_preload(entry->name, data, entry->substitute)
        && add_new_substitute(data, entry->substitute);
}

// Two passes, entries that involve a standard KLID first; handles are numbered
// in taking order. An entry numbered outside 0 to 99 is left out, which drops
// it from the user's list.
static bool build_lists()
{
    LONG handle_number = 1;
    for (int pass = 0; pass < 2; ++pass) {
        for (LONG number = 0; number <= 99; ++number) {
            for (int i = 0; i < preload_count; ++i) {
                const preload_entry* entry = &preload_entries[i];
                bool standard = is_standard_klid(entry->substitute) || is_standard_klid(entry->data);
                if (standard == (pass == 0) && entry->number == number
                    && !take_entry(entry, &handle_number))
                    return false;
            }
        }
    }
    return true;
}

bool plan_layout_addition(int index)
{
    if (!choose_new_klid(index))
        return false;
    // The scan leaves room for this one entry.
    if (preload_count >= list_capacity)
        return fail_layout(text_new_list_full, static_cast<int>(list_capacity));
    for (int i = 0; i < preload_count; ++i) {
        preload_entry* entry = &preload_entries[i];
        if (!entry->canonical)
            continue;
        // Wrapping arithmetic: the largest number turns negative and drops out.
        entry->number = static_cast<LONG>(static_cast<DWORD>(entry->number) + 1);
        entry->name = keep_decimal(entry->number);
    }
    preload_entry* added = &preload_entries[preload_count++];
    *added = preload_entry{};
    added->name = keep_text("1");
    added->substitute = keep_text(new_klid);
    added->number = 1;
    added->canonical = true;
    if (!build_lists()) {
        newpreloadcount = new_substitute_count = 0;
        return false;
    }
    return true;
}
