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

static bool lists_planned;

// Reads the registration and plans the user's lists (in memory only). False
// after the message when the registry cannot be read, or when a first
// installation cannot be planned.
static bool scan_and_plan()
{
    target_klid[0] = 0;
    if (!layout_scan()) {
        // The failure text names registry keys, which may hold percent signs.
        msg_warn(as_literal(layout_error_text));
        return false;
    }
    if (found_index == -1) {
        // A first installation without its KLID, or without its place in the
        // user's lists, has nothing to register: it stops before anything is
        // written, with the plan's own text.
        lists_planned = plan_layout_addition(-1);
        if (!lists_planned)
            msg_warn(as_literal(layout_error_text));
        return lists_planned;
    }
    copy_text(target_klid, sizeof target_klid, layout_entries[found_index].klid);
    lists_planned = found_in_preload ? plan_layout_to_front() : plan_layout_addition(found_index);
    return true;
}

// Everything between switching redirection off and on again.
static void install_or_update()
{
    copy_text(layout_file_name, sizeof layout_file_name, library_search_name);
    if (!scan_and_plan())
        return;

    bool is_update = found_index != -1;
    const char* shown_name = layout_name;
    if (is_update && layout_entries[found_index].layout_text)
        shown_name = layout_entries[found_index].layout_text;
    // Copied: the scan after the question makes new entries.
    char asked_klid[MAX_PATH];
    copy_text(asked_klid, sizeof asked_klid, target_klid);

    // Until the user says Yes, nothing has been written: the plan lives in memory.
    if (!ask_installation(is_update, shown_name)) {
        msg_info(text_cancelled);
        return;
    }
    // While the question was open, another program (or the user in the
    // settings) may have changed the lists, installed or removed the layout:
    // the plan is made again from what the registry holds now, and a layout
    // that appeared or vanished stops the run before anything is written.
    if (!scan_and_plan())
        return;
    if ((found_index != -1) != is_update || !same_text(target_klid, asked_klid)) {
        msg_warn(text_changed_while_asked, shown_name);
        return;
    }
    const char* klid = is_update ? layout_entries[found_index].klid : new_klid;

    unsigned missing = 0;
    if (!install_files(klid, &missing)) {
        msg_info(text_cancelled);
        return;
    }

    // The final message ends with the sentence on the parts that are missing.
    char tail[1024] = "";
    if (is_update) {
        // The layout key stays as it is, even where it differs from ours.
        if (!lists_planned || !write_preload_lists())
            report_list_problem();
        if (preload_rewritten)
            copy_text(tail, sizeof tail, text_restart_hint);
        append_missing_parts(tail, sizeof tail, missing);
        msg_info(text_updated, shown_name, tail);
        return;
    }

    if (!create_layout_key())
        return;
    if (!lists_planned || !write_preload_lists())
        report_list_problem();
    append_missing_parts(tail, sizeof tail, missing);
    msg_info("%s%s", text_installed, tail);
}

bool app_run()
{
    // Nothing is read or written in a folder that could not be found.
    if (system_folders_init())
        install_or_update();
    else
        msg_warn(text_folder_not_found, missing_folder, error_text);
    redirection_restore();
    return false;
}

// What the frame's WinMain hands to frame_start in the installer.
extern const app_hooks program_hooks = {app_init, app_run};
