// Writing the installed files, row by row of the product manifest: the layout
// library into the system folder(s), then the product folder with the
// uninstaller, the uninstall entry that starts it with the layout's KLID, the
// chart and the icon, and the desktop shortcut to the chart. Only the layout
// library in the system folder stops the installation; nothing else does.
#include "installer/install_flow.h"

#include <windows.h>

#include "files/path_join.h"
#include "files/resource_extract.h"
#include "files/system_folders.h"
#include "frame/environment.h"
#include "frame/messages.h"
#include "frame/status_window.h"
#include "frame/text.h"
#include "installer/installer_texts.h"
#include "product/product.h"
#include "registry/uninstall_entry.h"

// extract_resource shows its own failures.
static bool extract_item(const product_item* item)
{
    return extract_resource(item->resource_name, item->resource_type, item->file_name,
                            &item->modified, item_folder_path(item->folder));
}

// The entry is written as soon as the uninstaller it starts is in place, so
// that an installation broken off later can still be removed. A command cut
// short would start nothing, so a path that does not fit writes no entry
// (install_files does not call this then).
static void register_uninstaller(const char* uninstaller_path, const char* klid,
                                 const char* icon_path)
{
    // Room for the quoted path and a KLID as long as a registry key name.
    char command[2 * MAX_PATH + 4];
    format_into(command, sizeof command, text_uninstall_command, uninstaller_path, klid);
    char removal_note[512];
    copy_text(removal_note, sizeof removal_note, entry_name);
    if (chart_name[0]) {
        append_text(removal_note, sizeof removal_note, text_removal_and);
        append_text(removal_note, sizeof removal_note, chart_name);
    }
    append_text(removal_note, sizeof removal_note, text_removal_tail);
    write_uninstall_entry(entry_name, command, entry_name, entry_name, product_web_address,
                          product_web_address, publisher_text, product_web_address, product_version,
                          icon_path[0] ? icon_path : nullptr, removal_note);
}

bool install_files(const char* klid)
{
    char chart_path[MAX_PATH];
    char icon_path[MAX_PATH];
    join_path(chart_path, sizeof chart_path, product_dir, chart_file_name);
    join_path(icon_path, sizeof icon_path, product_dir, icon_file_name);
    char uninstaller_path[MAX_PATH];
    bool paths_fit =
        join_path(uninstaller_path, sizeof uninstaller_path, product_dir, uninstaller_file_name);

    const product_item* library = system_library_item(is_wow64);
    bool product_folder_made = false;
    for (const product_item& item : product_items) {
        if (!item_installed_here(&item, is_wow64))
            continue;
        if (item.folder == in_product_folder && !product_folder_made) {
            // An existing folder is fine; its files are emptied and rewritten in place.
            CreateDirectoryA(product_dir, nullptr);
            product_folder_made = true;
        }
        // Under 64-bit Windows system_dir reaches the native folder, as
        // redirection is off.
        if (!extract_item(&item) && &item == library)
            return false;
        if (&item == &product_items[item_uninstaller] && paths_fit)
            register_uninstaller(uninstaller_path, klid, icon_path);
    }

    if (!chart_name[0])
        return true;
    // The user's own desktop, not the common one: the shortcut is removed again
    // by the uninstaller, which runs as the same user.
    shortcut_delete(status_window, nullptr, chart_name, false);
    if (chart_path[0] && icon_path[0])
        shortcut_create(status_window, chart_path, nullptr, nullptr, chart_name, nullptr, icon_path,
                        0, chart_name, SW_SHOW, false);
    return true;
}
