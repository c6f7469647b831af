// plan_layout_to_front: the user's new Preload list with the installed layout,
// already listed through a substitute, moved to position 1.
#include "registry/layout_keys.h"
#include "registry/layout_support.h"
#include "registry/preload_list.h"
#include "registry/registry_texts.h"

// The smallest entry number above last, or 0 when there is none. Windows
// numbers the values 1, 2, 3, ..., but a list edited by hand may have gaps
// (1, 2, 7): every positive number is visited, so no layout drops out.
static LONG next_number_above(LONG last)
{
    LONG next = 0;
    for (int i = 0; i < preload_count; ++i) {
        LONG number = preload_entries[i].number;
        if (number > last && (next == 0 || number < next))
            next = number;
    }
    return next;
}

// Plain entries first, then substituted ones; within each pass by number.
// Entries numbered 0 follow at the end; negative numbers drop out.
static bool build_list()
{
    for (int pass = 0; pass < 2; ++pass) {
        for (LONG number = next_number_above(0); number != 0; number = next_number_above(number)) {
            for (int i = 0; i < preload_count; ++i) {
                const preload_entry* entry = &preload_entries[i];
                if ((entry->substitute != nullptr) == (pass == 1) && entry->number == number
                    && !add_new_preload(entry->name, entry->data, entry->substitute))
                    return false;
            }
        }
    }
    for (int i = 0; i < preload_count; ++i) {
        const preload_entry* entry = &preload_entries[i];
        if (entry->number == 0 && !add_new_preload(entry->name, entry->data, entry->substitute))
            return false;
    }
    return true;
}

// Only Preload changes: the handles stay as they are, so Substitutes is kept.
bool plan_layout_to_front()
{
    substitutes_kept = true;
    if (found_index == -1) {
        preload_unchanged = true;
        return fail_layout(text_key_missing);
    }
    int moved = -1;
    for (int i = 0; i < preload_count; ++i) {
        if (same_text(preload_entries[i].substitute, target_klid))
            moved = i;
    }
    // Listed directly by its KLID, only in Substitutes, already first, or under
    // a name that is no plain position: nothing to move.
    if (moved == -1 || preload_entries[moved].number == 1 || !preload_entries[moved].canonical) {
        preload_unchanged = true;
        return true;
    }
    LONG moved_number = preload_entries[moved].number;
    for (int i = 0; i < preload_count; ++i) {
        preload_entry* entry = &preload_entries[i];
        if (!entry->canonical || entry->number > moved_number)
            continue;
        entry->number = entry->number == moved_number ? 1 : entry->number + 1;
        entry->name = keep_decimal(entry->number);
    }
    new_substitute_count = 0;
    if (!build_list()) {
        newpreloadcount = 0;
        return false;
    }
    return true;
}
