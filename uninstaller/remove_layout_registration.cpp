// Taking the layout out of the user's preload lists and deleting its layout
// key. The user's lists go first, so that no list names a layout key that no
// longer exists.
#include "frame/messages.h"
#include "product/product.h"
#include "registry/layout_keys.h"
#include "registry/preload_list.h"
#include "registry/registry_access.h"
#include "uninstaller/removal_steps.h"
#include "uninstaller/texts.h"

void remove_layout_registration()
{
    // The question about a missing library may have been open since the last
    // scan: the lists are read and planned once more, as they are now. Lists
    // that still name the layout keep the entry, so that a later run can
    // take it out of them.
    if (!layout_scan() || !plan_list_removal() || !write_preload_lists()) {
        msg_info(text_preload_warning, layout_name, layout_error_text);
        removal_incomplete = true;
    }
    // After a removal that could not finish, the layout key went in that run.
    if (removing_leftovers)
        return;

    HKEY layouts = reg_open_read(HKEY_LOCAL_MACHINE, keyboard_layouts_path);
    if (!layouts) {
        msg_warn(text_layouts_key_not_opened, keyboard_layouts_path);
        removal_incomplete = true;
        return;
    }
    if (!reg_delete_tree(layouts, target_klid)) {
        msg_warn(text_layout_key_not_deleted, keyboard_layouts_path, target_klid);
        removal_incomplete = true;
    }
    RegCloseKey(layouts);
}
