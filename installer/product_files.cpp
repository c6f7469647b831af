// The product folder and what belongs to it: the uninstaller, the uninstall
// entry that starts it with the layout's KLID, the chart, the icon and the
// desktop shortcut to the chart. None of these stops the installation.
#include "frame/messages.h"
#include "installer/install_flow.h"

#include <windows.h>

#include "files/path_join.h"
#include "files/system_folders.h"
#include "frame/status_window.h"
#include "frame/text.h"
#include "installer/installer_texts.h"
#include "installer/payload.h"
#include "installer/product.h"
#include "registry/uninstall_entry.h"

void install_product_files(const char* klid)
{
    char chart_path[MAX_PATH];
    char icon_path[MAX_PATH];
    char uninstaller_path[MAX_PATH];
    join_path(chart_path, sizeof chart_path, product_dir, chart_file_name);
    join_path(icon_path, sizeof icon_path, product_dir, icon_file_name);
    bool paths_fit =
        join_path(uninstaller_path, sizeof uninstaller_path, product_dir, uninstaller_file_name);

    // An existing folder is fine; its files are emptied and rewritten in place.
    CreateDirectoryA(product_dir, nullptr);
    extract_payload(payload_uninstaller, product_dir);

    // The entry is written as soon as the uninstaller it starts is in place, so
    // that an installation broken off later can still be removed. A command cut
    // short would start nothing, so a path that does not fit writes no entry.
    if (paths_fit) {
        // Room for the quoted path and a KLID as long as a registry key name.
        char command[2 * MAX_PATH + 4];
        format_into(command, sizeof command, text_uninstall_command, uninstaller_path, klid);
        char removal_note[512];
        copy_text(removal_note, sizeof removal_note, entry_name);
        if (chart_name[0]) {
            append_text(removal_note, sizeof removal_note, text_removal_and);
            append_text(removal_note, sizeof removal_note, chart_name);
        }
        append_text(removal_note, sizeof removal_note, text_removal_tail);
        write_uninstall_entry(entry_name, command, entry_name, entry_name, product_web_address,
                              product_web_address, publisher_text, product_web_address,
                              product_version, icon_path[0] ? icon_path : nullptr,
                              removal_note);
    }

    if (!chart_name[0])
        return;
    extract_payload(payload_chart, product_dir);
    extract_payload(payload_icon, product_dir);
    // The user's own desktop, not the common one: the shortcut is removed again
    // by the uninstaller, which runs as the same user.
    shortcut_delete(status_window, nullptr, chart_name, false);
    if (chart_path[0] && icon_path[0])
        shortcut_create(status_window, chart_path, nullptr, nullptr, chart_name, nullptr, icon_path,
                        0, chart_name, SW_SHOW, false);
}
