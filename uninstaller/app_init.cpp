// The uninstaller's first hook: checks the KLID argument, then either hands
// over to a copy in the temporary folder or, as that copy, lets the frame go on.
#include <string.h>

#include "files/system_folders.h"
#include "frame/environment.h"
#include "frame/messages.h"
#include "frame/text.h"
#include "product/product.h"
#include "registry/layout_state.h"
#include "uninstaller/removal_steps.h"
#include "uninstaller/temporary_copy.h"
#include "uninstaller/texts.h"

// Only the shape of the KLID is checked here; whether it names our layout is
// decided against the registry by the copy's app_run.
static bool klid_argument_valid()
{
    if (arg_count != 1) {
        msg_warn(text_argument_missing);
        return false;
    }
    copy_text(target_klid, sizeof target_klid, args[0]);
    if (lstrlenA(target_klid) != 8) {
        msg_warn(text_argument_length, target_klid);
        return false;
    }
    if (memcmp(target_klid + 4, "0407", 4) != 0) {
        msg_warn(text_argument_not_german, target_klid);
        return false;
    }
    if (lstrcmpiA(target_klid, "00000407") == 0) {
        msg_warn(text_argument_standard, target_klid);
        return false;
    }
    return true;
}

// Nothing is deleted in a folder that could not be found.
static bool folders_found()
{
    if (system_folders_init())
        return true;
    msg_warn(text_folder_not_found, missing_folder, error_text);
    redirection_restore();
    return false;
}

bool app_init()
{
    center_window = true;
    if (!klid_argument_valid() || !folders_found()) {
        // A temporary copy that refuses goes at the next start, as after its run.
        if (runs_as_temporary_copy())
            schedule_own_deletion();
        return false;
    }

    copy_paths paths;
    if (!find_copy_paths(&paths)) {
        msg_warn(text_no_temporary_folder);
        redirection_restore();
        return false;
    }

    // Redirection stays off for app_run, which works in the system folders.
    if (runs_from_temporary_folder(&paths)) {
        // The copy inherits the first program's current folder, which is the
        // product folder when that was started from there; Windows refuses to
        // remove a folder that is some process's current folder.
        SetCurrentDirectoryA(paths.temporary_folder);
        format_into(window_title, sizeof window_title, text_title_format, program_name,
                    product_version);
        return true;
    }

    hand_over_to_copy(&paths, args[0]);
    redirection_restore();
    return false;
}
