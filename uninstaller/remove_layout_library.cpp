// Deleting the layout library from the system folder(s). It goes first: while
// Windows still has it loaded for some process the delete fails, and then
// nothing else has been touched yet.
#include "files/file_ops.h"
#include "files/path_join.h"
#include "files/system_folders.h"
#include "frame/environment.h"
#include "frame/messages.h"
#include "installer/product.h"
#include "uninstaller/removal_steps.h"
#include "uninstaller/texts.h"

enum { answer_yes = 6 };

bool remove_layout_library()
{
    char path[joined_path_size];
    join_path(path, sizeof path, system_dir, library_file_name);

    if (FileExists(path)) {
        if (!file_delete(path, true)) {
            msg_info(text_library_not_deleted, layout_name, path);
            return false;
        }
    } else if (msg_ask(text_library_missing, layout_name, path) != answer_yes) {
        return false;
    }

    // The 32-bit companion serves only 32-bit programs on 64-bit Windows; it
    // goes quietly, after a short pause behind the first delete.
    if (is_wow64) {
        Sleep(100);
        join_path(path, sizeof path, wow64_dir, library_file_name);
        if (FileExists(path))
            DeleteFileA(path);
    }
    return true;
}
