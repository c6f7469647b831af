// The installer's run hook: one pass that installs the layout, or updates the
// copy that is already registered, and then ends the program.
#include "files/system_folders.h"
#include "frame/environment.h"
#include "frame/messages.h"
#include "frame/other_account.h"
#include "frame/text.h"
#include "installer/install_flow.h"
#include "installer/installer_texts.h"
#include "product/product.h"
#include "registry/language_list.h"
#include "registry/layout_keys.h"
#include "registry/layout_state.h"
#include "registry/preload_list.h"

static void report_list_problem()
{
    msg_info(text_list_warning, layout_name, layout_error_text);
}

static bool lists_planned;

// The final message: format filled with text and an empty tail, then the
// tail, shown as it is. The system's formatting stops at 1,024 characters,
// which a tail with the note on another account can pass.
static void show_final_message(const char* format, const char* text, const char* tail)
{
    char message[message_format_size];
    format_into(message, sizeof message, format, text, "");
    append_text(message, sizeof message, tail);
    msg_info(as_literal(message));
}

// Puts the layout into the user's list, once its layout key exists. Windows 8
// and later keep that list themselves and derive Preload and Substitutes from
// it: there Windows enables the layout, and only when it cannot are the lists
// written as on earlier Windows. True when the user may then have to add the
// layout in the Settings.
static bool put_into_user_list(const char* klid)
{
    if (language_list_in_use() && language_list_enable(klid))
        return false;
    if (!lists_planned || !write_preload_lists())
        report_list_problem();
    return user_profile_present();
}

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
    bool other_account = runs_under_other_account();
    if (!ask_installation(is_update, shown_name, other_account)) {
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

    // The final message ends with the sentences on the user's list, the parts
    // that are missing and the other account.
    char tail[message_format_size] = "";
    if (is_update) {
        // The layout key stays as it is, even where it differs from ours.
        bool add_by_hand = put_into_user_list(klid);
        if (preload_rewritten)
            append_text(tail, sizeof tail, text_restart_hint);
        if (add_by_hand)
            append_text(tail, sizeof tail, text_add_in_settings);
        append_missing_parts(tail, sizeof tail, missing);
        append_other_account(tail, sizeof tail, other_account);
        show_final_message(text_updated, shown_name, tail);
        return;
    }

    if (!create_layout_key())
        return;
    if (put_into_user_list(klid))
        append_text(tail, sizeof tail, text_add_in_settings);
    append_missing_parts(tail, sizeof tail, missing);
    append_other_account(tail, sizeof tail, other_account);
    show_final_message("%s%s", text_installed, tail);
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
