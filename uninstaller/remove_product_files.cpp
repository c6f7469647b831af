// Removing the desktop shortcut, the files in the product folder (the product
// manifest's rows for it) and the folder itself. The uninstaller, the first
// of these rows, goes last here: it is the program that the uninstall entry
// starts, and stays with the entry while anything else of ours is left. It
// can go because the running program is its temporary copy.
#include "files/file_ops.h"
#include "files/path_join.h"
#include "files/system_folders.h"
#include "frame/environment.h"
#include "frame/messages.h"
#include "frame/status_window.h"
#include "product/product.h"
#include "uninstaller/removal_steps.h"
#include "uninstaller/texts.h"

static void remove_product_file(const char* name)
{
    char path[joined_path_size];
    join_path(path, sizeof path, product_dir, name);
    if (FileExists(path) && !file_delete(path, true)) {
        msg_info(text_file_not_deleted, layout_name, path);
        removal_incomplete = true;
    }
}

void remove_product_files()
{
    // A shortcut that was never made, or is gone already, is no failure.
    if (chart_name[0] && !shortcut_delete(status_window, nullptr, chart_name, false)
        && last_error_code16 != ERROR_FILE_NOT_FOUND && last_error_code16 != ERROR_PATH_NOT_FOUND)
        removal_incomplete = true;

    const product_item* uninstaller = &product_items[item_uninstaller];
    for (const product_item& item : product_items)
        if (item.folder == in_product_folder && &item != uninstaller
            && item_installed_here(&item, windows_kind_of(is_wow64, native_machine)))
            remove_product_file(item.file_name);
    if (removal_incomplete)
        return;
    remove_product_file(uninstaller->file_name);
    if (removal_incomplete)
        return;

    // A folder that is gone already (after a removal that could not finish,
    // or by hand) is nothing to report.
    if (FileExists(product_dir) && !folder_delete(product_dir))
        msg_info(text_folder_not_removed, layout_name, product_dir);
}
