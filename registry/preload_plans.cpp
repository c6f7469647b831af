// The three plans of the user's new Preload and Substitutes lists, built in
// memory from what layout_scan read; write_preload_lists writes them.
// plan_layout_addition (installation), plan_layout_to_front (update of a
// layout the user already has) and plan_layout_removal (uninstallation).
// Each keeps every layout the user has listed (the removal drops only ours),
// with the same type and data; names change only as positions move.
#include "registry/layout_support.h"
#include "product/product.h"
#include "registry/registry_texts.h"
#include "registry/layout_keys.h"
#include "registry/preload_list.h"

// Appending to the planned Preload and Substitutes lists, which are never
// written past their capacity.
bool add_new_preload(const char* name, const char* data, const char* substitute, raw_value raw)
{
    if (!name || !data)
        return fail_layout(text_out_of_memory);
    if (newpreloadcount == list_capacity)
        return fail_layout(text_list_full, "Preload", static_cast<int>(list_capacity));
    new_preload[newpreloadcount++] = {name, data, substitute, raw};
    return true;
}

// Two Preload values with the same standard KLID and its substitute give the
// same pair twice; Windows holds one value per name.
bool add_new_substitute(const char* name, const char* data, raw_value raw)
{
    if (!name || !data)
        return fail_layout(text_out_of_memory);
    for (int i = 0; i < new_substitute_count; ++i) {
        if (same_text(new_substitutes[i].name, name))
            return true;
    }
    if (new_substitute_count == list_capacity)
        return fail_layout(text_list_full, "Substitutes", static_cast<int>(list_capacity));
    new_substitutes[new_substitute_count++] = {name, data, raw, false};
    return true;
}

// A handle that a value kept as it is uses: Preload data without substitute,
// or the name of a Substitutes value that no Preload value names. Windows
// looks value names up without regard to case, so D0010407 in Preload and
// d0010407 in Substitutes are the same handle.
static bool handle_in_use(const char* handle)
{
    for (int i = 0; i < preload_count; ++i) {
        const preload_entry* entry = &preload_entries[i];
        if (!entry->substitute && same_text(entry->data, handle))
            return true;
    }
    for (int i = 0; i < substitute_count; ++i) {
        if (!substitute_entries[i].linked && same_text(substitute_entries[i].name, handle))
            return true;
    }
    return false;
}

// The next substitution handle from *number on that is not in use; *number
// goes past it.
static const char* next_free_handle(LONG* number)
{
    char handle[klid_text_size];
    for (;;) {
        if (!format_klid(handle, sizeof handle, 'd', (*number)++)) {
            fail_layout(text_new_list_full, static_cast<int>(list_capacity));
            return nullptr;
        }
        if (!handle_in_use(handle))
            break;
    }
    const char* kept = keep_text(handle);
    if (!kept)
        fail_layout(text_out_of_memory);
    return kept;
}

// Refuses a plan that would re-create a key holding values it could not read.
static bool refuse_unreadable(bool preload, bool substitutes)
{
    if (preload && unreadable_preload_values)
        return fail_layout(text_value_unreadable, "Preload", unreadable_preload_values);
    if (substitutes && unreadable_substitute_values)
        return fail_layout(text_value_unreadable, "Substitutes", unreadable_substitute_values);
    return true;
}

// A KLID that loads our library: target_klid, or any German layout key whose
// "Layout File" names the library (an interrupted installation may have left
// a second one).
static bool is_our_klid(const char* klid)
{
    if (!klid || !klid[0])
        return false;
    if (target_klid[0] && same_text(klid, target_klid))
        return true;
    for (int i = 0; i < layout_count; ++i) {
        const layout_entry* layout = &layout_entries[i];
        if (layout->layout_file && same_text(layout->layout_file, library_file_name)
            && same_text(layout->klid, klid))
            return true;
    }
    return false;
}

// Windows loads the layout of an entry through its substitute when it has
// one, otherwise its data.
static bool loads_our_library(const preload_entry* entry)
{
    if (entry->substitute)
        return is_our_klid(entry->substitute);
    return !entry->raw.bytes && is_our_klid(entry->data);
}

// Takes every entry that loads our library out of the preload entries, except
// the one at keep (-1: none), and closes the gaps in the positions 1, 2, 3, ...
// that they leave. Returns the index that keep has afterwards.
static int drop_our_references(int keep, int* dropped)
{
    LONG gone[list_capacity];
    int gone_count = 0;
    int kept = 0, kept_index = -1;
    *dropped = 0;
    for (int i = 0; i < preload_count; ++i) {
        const preload_entry* entry = &preload_entries[i];
        if (i != keep && loads_our_library(entry)) {
            ++*dropped;
            if (entry->canonical && entry->number >= 1)
                gone[gone_count++] = entry->number;
            continue;
        }
        if (i == keep)
            kept_index = kept;
        preload_entries[kept++] = *entry;
    }
    preload_count = kept;
    for (int i = 0; i < preload_count; ++i) {
        preload_entry* entry = &preload_entries[i];
        if (!entry->canonical || entry->number < 1)
            continue;
        LONG below = 0;
        for (int g = 0; g < gone_count; ++g)
            below += gone[g] < entry->number;
        if (below) {
            entry->number -= below;
            entry->name = keep_decimal(entry->number);
        }
    }
    return kept_index;
}

// Indexes of the preload entries by number, then list order (an insertion
// sort: the lists hold at most a hundred entries).
static void sort_by_number(int* order)
{
    for (int i = 0; i < preload_count; ++i) {
        int index = i;
        int place = i;
        for (; place > 0 && preload_entries[order[place - 1]].number > preload_entries[index].number;
             --place)
            order[place] = order[place - 1];
        order[place] = index;
    }
}

// plan_layout_addition: the user's new Preload and Substitutes lists with the
// layout added at position 1 and every other entry moved one place back.
// Windows lists a layout that does not come with it only through a
// substitution handle in Preload and a Substitutes value naming the real KLID.
// A standard KLID may stand in Preload itself, with or without a substitute.
static bool take_entry(const preload_entry* entry, LONG* handle_number)
{
    if (!entry->substitute)
        return add_new_preload(entry->name, entry->data, nullptr, entry->raw);
    const char* data = entry->data;
    if (!is_standard_klid(data)) {
        data = next_free_handle(handle_number);
        if (!data)
            return false;
    }
    return add_new_preload(entry->name, data, entry->substitute)
        && add_new_substitute(data, entry->substitute);
}

// Two passes, entries that involve a standard KLID first; within a pass by
// number, then in list order. Handles are numbered in taking order.
static bool build_addition_lists()
{
    int order[list_capacity];
    sort_by_number(order);
    LONG handle_number = 1;
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < preload_count; ++i) {
            const preload_entry* entry = &preload_entries[order[i]];
            bool standard = is_standard_klid(entry->substitute) || is_standard_klid(entry->data);
            if (standard == (pass == 0) && !take_entry(entry, &handle_number))
                return false;
        }
    }
    return true;
}

bool plan_layout_addition(int index)
{
    if (!choose_new_klid(index) || !refuse_unreadable(true, true))
        return false;
    // The layout is listed once: other registrations of the library go.
    int dropped;
    drop_our_references(-1, &dropped);
    if (preload_count >= list_capacity)
        return fail_layout(text_list_full, "Preload", static_cast<int>(list_capacity));
    // Only the positions 1, 2, 3, ... move back. Other names (0, -3, 01, abc)
    // stay as they are, so none of them can become the new entry's 1.
    for (int i = 0; i < preload_count; ++i) {
        if (preload_entries[i].canonical && preload_entries[i].number == MAXLONG)
            return fail_layout(text_name_at_end, preload_entries[i].name);
    }
    for (int i = 0; i < preload_count; ++i) {
        preload_entry* entry = &preload_entries[i];
        if (!entry->canonical || entry->number < 1)
            continue;
        ++entry->number;
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
// Entries numbered 0 or below follow at the end, in list order.
static bool build_front_list()
{
    for (int pass = 0; pass < 2; ++pass) {
        for (LONG number = next_number_above(0); number != 0; number = next_number_above(number)) {
            for (int i = 0; i < preload_count; ++i) {
                const preload_entry* entry = &preload_entries[i];
                if ((entry->substitute != nullptr) == (pass == 1) && entry->number == number
                    && !add_new_preload(entry->name, entry->data, entry->substitute, entry->raw))
                    return false;
            }
        }
    }
    for (int i = 0; i < preload_count; ++i) {
        const preload_entry* entry = &preload_entries[i];
        if (entry->number <= 0
            && !add_new_preload(entry->name, entry->data, entry->substitute, entry->raw))
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
    int moved = -1, references = 0, last_reference = -1;
    for (int i = 0; i < preload_count; ++i) {
        if (same_text(preload_entries[i].substitute, target_klid))
            moved = i;
        if (loads_our_library(&preload_entries[i])) {
            ++references;
            last_reference = i;
        }
    }
    // Named only by a Substitutes value that no Preload value uses: the
    // list does not load the layout, so it is added as on an installation.
    if (references == 0) {
        substitutes_kept = false;
        return plan_layout_addition(found_index);
    }
    // The layout is listed once: further entries that load the library (our
    // KLID twice, or another key naming it) go, and the last one stays.
    int dropped = 0;
    if (references > 1) {
        if (moved == -1)
            moved = last_reference;
        moved = drop_our_references(moved, &dropped);
    }
    // Listed directly by its KLID, already first, or under a name that is no
    // plain position: nothing to move.
    bool moves = moved != -1 && preload_entries[moved].number > 1 && preload_entries[moved].canonical;
    if (!moves && dropped == 0) {
        preload_unchanged = true;
        return true;
    }
    if (!refuse_unreadable(true, false))
        return false;
    // Only the positions 1 to N move; a value named 0 or -3 keeps its name, so
    // that it cannot become a second 1.
    if (moves) {
        LONG moved_number = preload_entries[moved].number;
        for (int i = 0; i < preload_count; ++i) {
            preload_entry* entry = &preload_entries[i];
            if (!entry->canonical || entry->number < 1 || entry->number > moved_number)
                continue;
            entry->number = entry->number == moved_number ? 1 : entry->number + 1;
            entry->name = keep_decimal(entry->number);
        }
    }
    new_substitute_count = 0;
    if (!build_front_list()) {
        newpreloadcount = 0;
        return false;
    }
    return true;
}

// plan_layout_removal: the user's new Preload and Substitutes lists without the
// layout target_klid (nor any other registration of our library), renumbered
// from 1 with fresh substitution handles.
struct removal_plan {
    int references;       // the entries that load the layout, directly listed ones included
    bool first_removed;   // one of them holds number 1
    int standard_slot;    // the last entry whose data is a standard KLID
    int first_plain;      // the first remaining entry without substitute
    int heir;             // the entry that may take over the standard slot's data
    const char* standard_data;
};

// The removed entries are marked with the new number -1.
static removal_plan find_removal_places()
{
    removal_plan plan = {0, false, -1, -1, -1, nullptr};
    for (int i = 0; i < preload_count; ++i) {
        preload_entry* entry = &preload_entries[i];
        entry->standard = false;
        entry->new_data = nullptr;
        entry->new_number = loads_our_library(entry) ? -1 : 0;
        if (entry->new_number == -1)
            ++plan.references;
        if (is_standard_klid(entry->data))
            plan.standard_slot = i;
        if (entry->new_number == 0 && !entry->substitute && plan.first_plain == -1)
            plan.first_plain = i;
    }
    if (plan.standard_slot == -1)
        return plan;
    plan.standard_data = preload_entries[plan.standard_slot].data;
    plan.heir = plan.standard_slot;
    // When the layout held the standard slot and every remaining entry is
    // substituted, the entry just before it (or the next one, when it was
    // the first) inherits the standard KLID as its Preload data.
    if (preload_entries[plan.standard_slot].new_number == -1 && plan.first_plain == -1) {
        int before = -1, after = -1;
        for (int i = 0; i < preload_count; ++i) {
            if (preload_entries[i].new_number == -1)
                continue;
            if (i < plan.standard_slot)
                before = i;
            else if (after == -1)
                after = i;
        }
        plan.heir = before != -1 ? before : after;
    }
    return plan;
}

// Entries that are neither standard nor at a plain position go to the end;
// when the layout held position 1, the standard entries (the removed one
// included) take the positions 1, 2, 3, ... in list order, so that a layout
// that comes with Windows is preselected.
static void mark_places(removal_plan* plan)
{
    for (int i = 0; i < preload_count; ++i) {
        preload_entry* entry = &preload_entries[i];
        entry->standard = is_standard_klid(entry->data) || is_standard_klid(entry->substitute);
        if (!entry->standard && !entry->canonical)
            entry->number = 200;
        if (entry->new_number == -1 && entry->number == 1)
            plan->first_removed = true;
    }
    if (!plan->first_removed)
        return;
    LONG number = 1;
    for (int i = 0; i < preload_count; ++i) {
        if (preload_entries[i].standard)
            preload_entries[i].number = number++;
    }
}

static bool give_new_data(int index, const removal_plan* plan, LONG* handle_number)
{
    preload_entry* entry = &preload_entries[index];
    if (!entry->substitute) {
        entry->new_data = entry->data;
        return true;
    }
    if (index == plan->heir && plan->first_plain == -1)
        entry->new_data = plan->standard_data;
    else
        entry->new_data = next_free_handle(handle_number);
    return entry->new_data && add_new_substitute(entry->new_data, entry->substitute);
}

static bool number_in_order(LONG number) { return number >= 0 && number <= 201; }

// Positions 1, 2, 3, ... by number from 0 to 201, then in list order; entries
// numbered outside that range (a value named -3 or 250) follow last, in list
// order, instead of dropping out of the user's list.
static bool renumber(const removal_plan* plan)
{
    LONG position = 0;
    LONG handle_number = 1;
    for (LONG k = 0; k <= 202; ++k) {
        for (int i = 0; i < preload_count; ++i) {
            preload_entry* entry = &preload_entries[i];
            if (entry->new_number != 0)
                continue;
            if (k <= 201 ? entry->number != k : number_in_order(entry->number))
                continue;
            entry->new_number = ++position;
            if (!give_new_data(i, plan, &handle_number))
                return false;
        }
    }
    return true;
}

// Plain entries first, then substituted ones, each pass by new number.
static bool build_removal_list()
{
    for (int pass = 0; pass < 2; ++pass) {
        for (LONG position = 1; position <= preload_count; ++position) {
            for (int i = 0; i < preload_count; ++i) {
                const preload_entry* entry = &preload_entries[i];
                if (entry->new_number != position || (entry->substitute != nullptr) != (pass == 1))
                    continue;
                if (!add_new_preload(keep_decimal(position), entry->new_data, entry->substitute,
                                     entry->raw))
                    return false;
            }
        }
    }
    return true;
}

// The user's lists without target_klid, whether its layout key is there or not.
static bool plan_removal_from_lists()
{
    if (is_standard_klid(target_klid))
        return fail_layout(text_standard_layout);
    removal_plan plan = find_removal_places();
    // A layout that no Preload value loads leaves the lists alone, also when
    // an unused Substitutes value still names it: Windows does not load it.
    if (plan.references == 0) {
        preload_unchanged = true;
        return true;
    }
    if (!refuse_unreadable(true, true))
        return false;
    mark_places(&plan);
    if (!renumber(&plan) || !build_removal_list()) {
        newpreloadcount = new_substitute_count = 0;
        return false;
    }
    return true;
}

bool plan_layout_removal()
{
    if (target_index == -1)
        return fail_layout(text_key_missing);
    return plan_removal_from_lists();
}

// A removal repeated after one that deleted the layout key but left other
// parts behind: what the lists still name of the layout goes the same way.
bool plan_leftover_removal()
{
    return plan_removal_from_lists();
}
