// The uninstaller's second hook, run by its temporary copy: checks, one
// question, then the removal in a fixed order. It always ends the program.
#include "files/system_folders.h"
#include "frame/environment.h"
#include "frame/messages.h"
#include "product/product.h"
#include "registry/uninstall_entry.h"
#include "uninstaller/removal_steps.h"
#include "uninstaller/texts.h"

static bool removal_confirmed()
{
    if (!registration_allows_removal())
        return false;
    if (msg_ask(text_confirm, layout_name) != IDYES) {
        msg_info(text_cancelled);
        return false;
    }
    // While the question was open, another program (or the user in the
    // settings) may have changed the lists or removed the layout: the checks
    // and the plan are made again from what the registry holds now.
    return registration_allows_removal();
}

bool app_run()
{
    // Nothing is changed until the library is gone; from then on every step
    // runs whatever the others did, so that as much as possible is removed.
    if (removal_confirmed() && remove_layout_library()) {
        remove_layout_registration();
        remove_product_files();
        // The uninstall entry goes last: while anything of the layout may be
        // left, the list of installed software still names it.
        write_uninstall_entry(entry_name, nullptr, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr, nullptr, nullptr, nullptr);
        msg_info(text_done, layout_name);
        schedule_own_deletion();
    }
    redirection_restore();
    return false;
}

// What the frame's WinMain hands to frame_start in the uninstaller.
extern const app_hooks program_hooks = {app_init, app_run};
