// plan_layout_removal: the user's new Preload and Substitutes lists without the
// layout target_klid, renumbered from 1 with fresh substitution handles.
#include "registry/layout_keys.h"
#include "registry/layout_support.h"
#include "registry/preload_list.h"
#include "registry/registry_texts.h"

struct removal_plan {
    int removed;          // the entry that lists the layout through its substitute
    int standard_slot;    // the last entry whose data is a standard KLID
    int first_plain;      // the first entry without substitute
    int heir;             // the entry that may take over the standard slot's data
    const char* standard_data;
};

static removal_plan find_places()
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
static bool build_list()
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
    removal_plan plan = find_places();
    // A layout listed directly by its KLID, or not at all, leaves the lists alone.
    if (plan.removed == -1) {
        preload_unchanged = true;
        return true;
    }
    order_entries(&plan);
    if (!renumber(&plan) || !build_list()) {
        newpreloadcount = new_substitute_count = 0;
        return false;
    }
    return true;
}
