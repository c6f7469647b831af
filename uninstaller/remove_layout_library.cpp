// Deleting the layout library from the system folder(s), the product
// manifest's first rows. It goes first: while Windows still has it loaded for
// some process the delete fails, and then nothing else has been touched yet.
// The registration goes next (remove_layout_registration), and only then the
// manifest's product-folder rows (remove_product_files).
#include "files/file_ops.h"
#include "files/path_join.h"
#include "files/system_folders.h"
#include "frame/environment.h"
#include "frame/messages.h"
#include "product/product.h"
#include "uninstaller/removal_steps.h"
#include "uninstaller/texts.h"

bool remove_layout_library()
{
    windows_kind windows = windows_kind_of(is_wow64, native_machine);
    const product_item* library = system_library_item(windows);
    char path[joined_path_size];
    join_path(path, sizeof path, item_folder_path(library->folder), library->file_name);

    if (FileExists(path)) {
        if (!file_delete(path, true)) {
            msg_info(text_library_not_deleted, layout_name, path);
            return false;
        }
    } else if (!removing_leftovers
               && msg_ask(text_library_missing, layout_name, path) != IDYES) {
        // After a removal that could not finish, the library went in that
        // first run; only a library missing from a registered layout is news.
        return false;
    }

    // The 32-bit companion serves only 32-bit programs on 64-bit Windows; it
    // goes quietly, after a short pause behind the first delete.
    for (const product_item& item : product_items) {
        if (item.folder != in_wow64_folder || !item_installed_here(&item, windows))
            continue;
        Sleep(100);
        join_path(path, sizeof path, wow64_dir, item.file_name);
        if (FileExists(path) && !DeleteFileA(path))
            removal_incomplete = true;
    }
    return true;
}
