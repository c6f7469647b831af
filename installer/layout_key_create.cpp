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

bool create_layout_key()
{
    HKEY layouts = reg_open_read(HKEY_LOCAL_MACHINE, keyboard_layouts_path);
    if (!layouts) {
        msg_warn(text_reopen_failed, keyboard_layouts_path);
        return false;
    }
    // Read access on the parent is enough: creating a subkey is checked against
    // the parent key's security, not against the access of this handle.
    HKEY layout = reg_create_key(layouts, new_klid);
    RegCloseKey(layouts);
    if (!layout) {
        // Without its key the layout must not reach the user's preload list:
        // Windows would be asked to load a KLID that names nothing.
        format_into(layout_error_text, sizeof layout_error_text, text_layout_key_failed,
                    new_klid);
        msg_warn(as_literal(layout_error_text));
        return false;
    }
    reg_set_text(layout, value_layout_text, layout_name);
    reg_set_text(layout, value_layout_file, library_file_name);
    reg_set_text(layout, value_layout_id, new_layout_id);
    if (find_text_nocase(library_base_name, text_vezodor))
        reg_set_text(layout, value_created_by_vezodor, "");
    else
        reg_set_text(layout, value_custom_language_name, text_custom_language);
    RegCloseKey(layout);
    return true;
}
