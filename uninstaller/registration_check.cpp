// Checks of the layout's registration before anything is removed: the KLID
// must name a German layout key whose "Layout File" is still our library, or,
// after a removal that could not finish, the uninstall entry must still start
// our uninstaller with it.
#include "frame/messages.h"
#include "product/product.h"
#include "registry/language_list.h"
#include "registry/layout_keys.h"
#include "registry/preload_list.h"
#include "registry/uninstall_entry.h"
#include "uninstaller/removal_steps.h"
#include "uninstaller/texts.h"

bool removing_leftovers;

bool plan_list_removal()
{
    return removing_leftovers ? plan_leftover_removal() : plan_layout_removal();
}

// The layout key is there and still names our library.
static bool layout_key_is_ours()
{
    const char* layout_file = layout_entries[target_index].layout_file;
    if (!layout_file) {
        msg_warn(text_no_layout_file, layout_name, target_klid, library_base_name);
        return false;
    }
    // Someone may have pointed the key at another library since the
    // installation; removing the key would then take away a layout not ours.
    if (!same_text(layout_file, library_file_name)) {
        msg_warn(text_other_layout_file, layout_name, target_klid, library_base_name,
                 layout_file);
        return false;
    }
    return true;
}

bool registration_allows_removal()
{
    removing_leftovers = false;
    if (!layout_scan()) {
        // A registry key named with a percent sign must not be read as a format.
        msg_warn(as_literal(layout_error_text));
        return false;
    }
    if (target_index >= 0) {
        if (!layout_key_is_ours())
            return false;
    } else if (uninstall_entry_starts(entry_name, target_klid)) {
        // An earlier removal deleted the layout key but had to leave other
        // parts, and kept the entry so that it can be run again: the entry
        // vouches for the KLID as the key did.
        removing_leftovers = true;
    } else {
        msg_warn(text_key_not_found, layout_name, target_klid, library_base_name);
        return false;
    }
    // The lists are planned now, so that a list that cannot be rewritten
    // without loss stops the removal before anything is changed.
    if (!plan_list_removal()) {
        msg_warn(as_literal(layout_error_text));
        return false;
    }
    if (leaves_no_keyboard()) {
        msg_warn(text_single_preload_entry);
        return false;
    }
    return true;
}

// Windows needs at least one layout in the user's list; removing the last
// would leave the user without a keyboard. Only our own layout can be the last
// to go: other entries stay. Windows 8 and later keep the list themselves and
// derive Preload from it, so there their list counts: the "<language>:<id>"
// values of "User Profile".
bool leaves_no_keyboard()
{
    int total = 0, ours = 0;
    if (language_list_in_use() && count_enabled_keyboards(target_klid, &total, &ours))
        return total > 0 && ours == total;
    return !preload_unchanged && newpreloadcount == 0;
}
