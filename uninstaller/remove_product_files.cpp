// Removing the desktop shortcut, the files in the product folder (the product
// manifest's rows for it, in its order) and the folder itself. The first file
// is the uninstaller that the uninstall entry started; it can go because the
// running program is its temporary copy.
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
    if (FileExists(path) && !file_delete(path, true))
        msg_info(text_file_not_deleted, layout_name, path);
}

void remove_product_files()
{
    if (chart_name[0])
        shortcut_delete(status_window, nullptr, chart_name, false);

    for (const product_item& item : product_items)
        if (item.folder == in_product_folder && item_installed_here(&item, is_wow64))
            remove_product_file(item.file_name);

    if (!folder_delete(product_dir))
        msg_info(text_folder_not_removed, layout_name, product_dir);
}
