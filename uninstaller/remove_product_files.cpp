// Removing the desktop shortcut, the files in the product folder and the
// folder itself. The first file is the uninstaller that the uninstall entry
// started; it can go because the running program is its temporary copy.
#include "files/file_ops.h"
#include "files/path_join.h"
#include "files/system_folders.h"
#include "frame/messages.h"
#include "frame/status_window.h"
#include "installer/product.h"
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
    bool has_chart = chart_name[0] != '\0';
    if (has_chart)
        shortcut_delete(status_window, nullptr, chart_name, false);

    remove_product_file(uninstaller_file_name);
    if (has_chart) {
        remove_product_file(chart_file_name);
        remove_product_file(icon_file_name);
    }

    if (!folder_delete(product_dir))
        msg_info(text_folder_not_removed, layout_name, product_dir);
}
