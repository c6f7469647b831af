// The three plans of the user's new Preload and Substitutes lists, built in
// memory from what layout_scan read; write_preload_lists writes them.
// plan_layout_addition (installation), plan_layout_to_front (update of a
// layout the user already has) and plan_layout_removal (uninstallation).
#include "registry/layout_support.h"
#include "registry/registry_texts.h"
#include "registry/layout_keys.h"
#include "registry/preload_list.h"

// Appending to the planned Preload and Substitutes lists, which are never
// written past their capacity.
bool add_new_preload(const char* name, const char* data, const char* substitute)
{
    if (!name || !data)
        return fail_layout(text_out_of_memory);
    if (newpreloadcount == list_capacity)
        return fail_layout(text_new_list_full, static_cast<int>(list_capacity));
    new_preload[newpreloadcount++] = {name, data, substitute};
    return true;
}

bool add_new_substitute(const char* name, const char* data)
{
    if (!name || !data)
        return fail_layout(text_out_of_memory);
    if (new_substitute_count == list_capacity)
        return fail_layout(text_new_list_full, static_cast<int>(list_capacity));
    new_substitutes[new_substitute_count++] = {name, data};
    return true;
}

// plan_layout_addition: the user's new Preload and Substitutes lists with the
// layout added at position 1 and every other entry moved one place back.
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
static bool build_addition_lists()
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
    if (!build_addition_lists()) {
        newpreloadcount = new_substitute_count = 0;
        return false;
    }
    return true;
}

// plan_layout_to_front: the user's new Preload list with the installed layout,
// already listed through a substitute, moved to position 1.
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
static bool build_front_list()
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
    if (!build_front_list()) {
        newpreloadcount = 0;
        return false;
    }
    return true;
}

// plan_layout_removal: the user's new Preload and Substitutes lists without the
// layout target_klid, renumbered from 1 with fresh substitution handles.
struct removal_plan {
    int removed;          // the entry that lists the layout through its substitute
    int standard_slot;    // the last entry whose data is a standard KLID
    int first_plain;      // the first entry without substitute
    int heir;             // the entry that may take over the standard slot's data
    const char* standard_data;
};

static removal_plan find_removal_places()
{
    removal_plan plan = {-1, -1, -1, -1, nullptr};
    for (int i = 0; i < preload_count; ++i) {
        const preload_entry* entry = &preload_entries[i];
        if (same_text(entry->substitute, target_klid))
            plan.removed = i;
        if (is_standard_klid(entry->data))
            plan.standard_slot = i;
        if (!entry->substitute && plan.first_plain == -1)
            plan.first_plain = i;
    }
    if (plan.standard_slot != -1)
        plan.standard_data = preload_entries[plan.standard_slot].data;
    plan.heir = plan.standard_slot;
    // When the removed layout held the standard slot and every entry is
    // substituted, a neighbour inherits the standard KLID as its Preload data.
    if (plan.removed != -1 && plan.removed == plan.standard_slot && plan.first_plain == -1)
        plan.heir = plan.removed > 0 ? plan.removed - 1 : 1;
    return plan;
}

// Entries that involve a standard KLID keep their place; other entries under
// names that are no plain position go to the end (200).
static void order_entries(const removal_plan* plan)
{
    for (int i = 0; i < preload_count; ++i) {
        preload_entry* entry = &preload_entries[i];
        entry->standard = is_standard_klid(entry->data) || is_standard_klid(entry->substitute);
        entry->new_number = 0;
        entry->new_data = nullptr;
        if (!entry->standard && !entry->canonical)
            entry->number = 200;
    }
    if (preload_entries[plan->removed].number == 1) {
        LONG number = 1;
        for (int i = 0; i < preload_count; ++i) {
            if (preload_entries[i].standard)
                preload_entries[i].number = number++;
        }
    }
}

// Positions 1, 2, 3, ... in the order of the numbers 0 to 201; other numbers
// drop out. Substituted entries get new handles, except an heir of the
// standard slot when no plain entry is left to carry the standard KLID.
static bool renumber(const removal_plan* plan)
{
    LONG position = 0;
    LONG handle_number = 1;
    for (LONG number = 0; number <= 201; ++number) {
        for (int i = 0; i < preload_count; ++i) {
            preload_entry* entry = &preload_entries[i];
            if (i == plan->removed || entry->number != number)
                continue;
            entry->new_number = ++position;
            if (!entry->substitute) {
                entry->new_data = entry->data;
                continue;
            }
            if (i == plan->heir && plan->first_plain == -1) {
                entry->new_data = plan->standard_data;
            } else {
                char handle[klid_text_size];
                if (!format_klid(handle, sizeof handle, 'd', handle_number++))
                    return fail_layout(text_new_list_full, static_cast<int>(list_capacity));
                entry->new_data = keep_text(handle);
            }
            if (!add_new_substitute(entry->new_data, entry->substitute))
                return false;
        }
    }
    return true;
}

// Plain entries first, then substituted ones, each pass by new number; the
// removed entry has none.
static bool build_removal_list()
{
    for (int pass = 0; pass < 2; ++pass) {
        for (LONG position = 1; position <= preload_count; ++position) {
            for (int i = 0; i < preload_count; ++i) {
                const preload_entry* entry = &preload_entries[i];
                if (entry->new_number != position || (entry->substitute != nullptr) != (pass == 1))
                    continue;
                if (!add_new_preload(keep_decimal(position), entry->new_data, entry->substitute))
                    return false;
            }
        }
    }
    return true;
}

bool plan_layout_removal()
{
    if (target_index == -1)
        return fail_layout(text_key_missing);
    if (is_standard_klid(target_klid))
        return fail_layout(text_standard_layout);
    removal_plan plan = find_removal_places();
    // A layout listed directly by its KLID, or not at all, leaves the lists alone.
    if (plan.removed == -1) {
        preload_unchanged = true;
        return true;
    }
    order_entries(&plan);
    if (!renumber(&plan) || !build_removal_list()) {
        newpreloadcount = new_substitute_count = 0;
        return false;
    }
    return true;
}
