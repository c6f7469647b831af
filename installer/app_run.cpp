// The installer's run hook: one pass that installs the layout, or updates the
// copy that is already registered, and then ends the program.
#include "files/system_folders.h"
#include "frame/environment.h"
#include "frame/messages.h"
#include "frame/text.h"
#include "installer/install_flow.h"
#include "installer/installer_texts.h"
#include "product/product.h"
#include "registry/layout_keys.h"
#include "registry/layout_state.h"
#include "registry/preload_list.h"

static void report_list_problem()
{
    msg_info(text_list_warning, layout_name, layout_error_text);
}

// Everything between switching redirection off and on again.
static void install_or_update()
{
    copy_text(layout_file_name, sizeof layout_file_name, library_search_name);
    target_klid[0] = 0;
    if (!layout_scan()) {
        // The failure text names registry keys, which may hold percent signs.
        msg_warn(as_literal(layout_error_text));
        return;
    }

    bool is_update = found_index != -1;
    const char* klid = new_klid;
    const char* shown_name = layout_name;
    if (is_update) {
        const layout_entry* found = &layout_entries[found_index];
        klid = found->klid;
        if (found->layout_text)
            shown_name = found->layout_text;
        copy_text(target_klid, sizeof target_klid, found->klid);
        if (found_in_preload)
            plan_layout_to_front();
        else
            plan_layout_addition(found_index);
    } else {
        plan_layout_addition(-1);
    }

    // Until the user says Yes, nothing has been written: the plan lives in memory.
    if (!ask_installation(is_update, shown_name)) {
        msg_info(text_cancelled);
        return;
    }

    if (!install_files(klid)) {
        msg_info(text_cancelled);
        return;
    }

    if (is_update) {
        // The layout key stays as it is, even where it differs from ours.
        if (!write_preload_lists())
            report_list_problem();
        msg_info(text_updated, shown_name, preload_rewritten ? text_restart_hint : "");
        return;
    }

    if (!create_layout_key())
        return;
    if (!write_preload_lists())
        report_list_problem();
    msg_info(text_installed);
}

bool app_run()
{
    system_folders_init();
    install_or_update();
    redirection_restore();
    return false;
}

// What the frame's WinMain hands to frame_start in the installer.
extern const app_hooks program_hooks = {app_init, app_run};
