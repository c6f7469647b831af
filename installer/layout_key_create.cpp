// Registering the layout on a first installation: the layout key new_klid
// below the machine's keyboard-layout key, with its values in a fixed order.
#include "installer/install_flow.h"

#include <windows.h>

#include "frame/messages.h"
#include "frame/text.h"
#include "installer/installer_texts.h"
#include "product/product.h"
#include "registry/layout_keys.h"
#include "registry/layout_state.h"
#include "registry/registry_access.h"

static bool write_layout_value(HKEY layout, const char* value, const char* text)
{
    if (reg_set_text(layout, value, text))
        return true;
    record_last_error();
    msg_warn(text_layout_value_failed, value, keyboard_layouts_path, new_klid, error_text);
    return false;
}

bool create_layout_key()
{
    HKEY layouts = reg_open_read(HKEY_LOCAL_MACHINE, keyboard_layouts_path);
    if (!layouts) {
        msg_warn(text_reopen_failed, keyboard_layouts_path);
        return false;
    }
    // Read access on the parent is enough: creating and deleting a subkey is
    // checked against the keys' own security, not against this handle.
    // new_klid names no key (choose_new_klid saw to that); one that has
    // appeared since is not this run's to delete again.
    bool made_here = reg_key_missing(layouts, new_klid);
    HKEY layout = reg_create_key(layouts, new_klid);
    if (!layout) {
        RegCloseKey(layouts);
        // Without its key the layout must not reach the user's preload list:
        // Windows would be asked to load a KLID that names nothing.
        format_into(layout_error_text, sizeof layout_error_text, text_layout_key_failed,
                    new_klid);
        msg_warn(as_literal(layout_error_text));
        return false;
    }
    // The installation ends at the first value that cannot be written: a
    // layout key without its values must not reach the user's preload list.
    bool written =
        write_layout_value(layout, value_layout_text, layout_name)
        && write_layout_value(layout, value_layout_file, library_file_name)
        && write_layout_value(layout, value_layout_id, new_layout_id)
        && (find_text_nocase(library_base_name, text_vezodor)
                ? write_layout_value(layout, value_created_by_vezodor, "")
                : write_layout_value(layout, value_custom_language_name, text_custom_language));
    RegCloseKey(layout);
    // Nor may it stay half-written: the next run would find our library named
    // in it and update a layout that Windows cannot load (no "Layout Id").
    if (!written && made_here)
        reg_delete_tree(layouts, new_klid);
    RegCloseKey(layouts);
    return written;
}
