// The uninstaller's second hook, run by its temporary copy: checks, one
// question, then the removal in a fixed order. It always ends the program.
#include "files/system_folders.h"
#include "frame/environment.h"
#include "frame/messages.h"
#include "frame/other_account.h"
#include "frame/text.h"
#include "product/product.h"
#include "registry/layout_state.h"
#include "registry/uninstall_entry.h"
#include "uninstaller/removal_steps.h"
#include "uninstaller/texts.h"

static bool other_account;

static bool removal_confirmed()
{
    if (!registration_allows_removal())
        return false;
    other_account = runs_under_other_account();
    char question[message_format_size];
    format_into(question, sizeof question, text_confirm, layout_name);
    append_other_account_note(question, sizeof question, other_account);
    if (msg_ask(as_literal(question)) != IDYES) {
        msg_info(text_cancelled);
        return false;
    }
    // While the question was open, another program (or the user in the
    // settings) may have changed the lists or removed the layout: the checks
    // and the plan are made again from what the registry holds now.
    return registration_allows_removal();
}

bool removal_incomplete;

bool app_run()
{
    removal_incomplete = false;
    // Nothing is changed until the library is gone; from then on every step
    // runs whatever the others did, so that as much as possible is removed.
    if (removal_confirmed() && remove_layout_library()) {
        remove_from_language_list();
        remove_layout_registration();
        remove_product_files();
        // The uninstall entry goes last: while anything of the layout is left,
        // the list of installed software still names it, and the user can
        // start the removal again from there.
        if (!removal_incomplete && !remove_uninstall_entry(entry_name, nullptr))
            msg_warn(text_warning, uninstall_entry_error);
        // Shown as it is: the system's formatting stops at 1,024 characters,
        // which the note on another account can pass.
        char done[message_format_size];
        format_into(done, sizeof done, text_done, layout_name,
                    removal_incomplete ? text_entry_kept : "");
        append_other_account_result(done, sizeof done, other_account);
        msg_info(as_literal(done));
    }
    // This is the temporary copy, which nothing else removes: after a
    // refusal or a No just as after the removal.
    schedule_own_deletion();
    redirection_restore();
    return false;
}

// What the frame's WinMain hands to frame_start in the uninstaller.
extern const app_hooks program_hooks = {app_init, app_run};
