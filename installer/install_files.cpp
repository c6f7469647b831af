// Writing the installed files, row by row of the product manifest: the layout
// library into the system folder(s), then the product folder with the
// uninstaller, the uninstall entry that starts it with the layout's KLID, the
// chart and the icon, and the desktop shortcut to the chart. Only the layout
// library in the system folder stops the installation; nothing else does, but
// the parts that are missing are named in the final message.
#include "installer/install_flow.h"

#include <windows.h>

#include "files/file_ops.h"
#include "files/path_join.h"
#include "files/resource_extract.h"
#include "files/system_folders.h"
#include "frame/environment.h"
#include "frame/messages.h"
#include "frame/status_window.h"
#include "frame/text.h"
#include "installer/installer_texts.h"
#include "product/product.h"
#include "registry/uninstall_entry.h"

// extract_resource shows its own failures.
static bool extract_item(const product_item* item)
{
    return extract_resource(item->resource_name, item->resource_type, item->file_name,
                            &item->modified, item_folder_path(item->folder));
}

// The entry is written only once the uninstaller it starts has just been
// written, so that an installation broken off later can still be removed;
// without it the entry would start nothing, or an older uninstaller that may
// not fit this installation. A command cut short would start nothing either,
// so a path that does not fit writes no entry (install_files does not call
// this then). False after a warning when the entry cannot start the
// uninstaller; a value that only describes the entry warns, and the entry
// counts as written.
static bool register_uninstaller(const char* uninstaller_path, const char* klid,
                                 const char* icon_path)
{
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

    // Every earlier entry of the layout goes first. One that cannot be
    // deleted is written over: the values below replace its own.
    remove_uninstall_entry(entry_name, entry_name);
    uninstall_entry_values values = {};
    values.name = entry_name;
    values.display_name = entry_name;
    values.uninstall_string = command;
    values.help_link = product_web_address;
    values.url_update_info = product_web_address;
    values.publisher = publisher_text;
    values.url_info_about = product_web_address;
    values.display_version = product_version;
    values.display_icon = icon_path[0] ? icon_path : nullptr;
    values.comments = removal_note;
    entry_outcome outcome = write_uninstall_entry(&values);
    if (outcome == entry_written)
        return true;
    // The registry's text names the key or value and may hold percent signs.
    msg_warn(text_warning, uninstall_entry_error);
    return outcome == entry_lacks_description;
}

bool install_files(const char* klid, unsigned* missing)
{
    *missing = 0;
    char chart_path[MAX_PATH];
    char icon_path[MAX_PATH];
    join_path(chart_path, sizeof chart_path, product_dir, chart_file_name);
    join_path(icon_path, sizeof icon_path, product_dir, icon_file_name);
    char uninstaller_path[MAX_PATH];
    bool paths_fit =
        join_path(uninstaller_path, sizeof uninstaller_path, product_dir, uninstaller_file_name);

    windows_kind windows = windows_kind_of(is_wow64, native_machine);
    const product_item* library = system_library_item(windows);
    bool product_folder_made = false;
    for (const product_item& item : product_items) {
        if (!item_installed_here(&item, windows))
            continue;
        if (item.folder == in_product_folder && !product_folder_made) {
            // An existing folder is fine; its files are emptied and rewritten
            // in place. A folder that cannot be made shows in its files' failures.
            CreateDirectoryA(product_dir, nullptr);
            product_folder_made = true;
        }
        // Under 64-bit Windows system_dir reaches the native folder, as
        // redirection is off.
        bool written = extract_item(&item);
        if (!written && &item == library)
            return false;
        if (!written)
            *missing |= 1u << (&item - product_items);
        if (&item == &product_items[item_uninstaller]
            && !(written && paths_fit && register_uninstaller(uninstaller_path, klid, icon_path)))
            *missing |= missing_uninstall_entry;
    }

    if (!chart_name[0])
        return true;
    // The user's own desktop, not the common one: the shortcut is removed again
    // by the uninstaller, which runs as the same user. It is made anew to
    // whatever chart is there: the one this run has written, or on an update
    // the earlier one, which stays while another program holds it open. A
    // shortcut to no chart would lead nowhere.
    shortcut_delete(status_window, nullptr, chart_name, false);
    if (!chart_path[0] || !icon_path[0] || !FileExists(chart_path)
        || !shortcut_create(status_window, chart_path, nullptr, nullptr, chart_name, nullptr,
                            icon_path, 0, chart_name, SW_SHOW, false))
        *missing |= missing_shortcut;
    return true;
}

void append_missing_parts(char* text, size_t size, unsigned missing)
{
    static const struct {
        unsigned part;
        const char* name;
    } parts[] = {
        {1u << item_library_wow64, part_wow64_library},
        {1u << item_uninstaller, part_uninstaller},
        {missing_uninstall_entry, part_uninstall_entry},
        {1u << item_chart, part_chart},
        {1u << item_icon, part_icon},
        {missing_shortcut, part_shortcut},
    };
    if (!missing)
        return;
    char names[512] = "";
    for (const auto& part : parts) {
        if (!(missing & part.part))
            continue;
        if (names[0])
            append_text(names, sizeof names, ", ");
        append_text(names, sizeof names, part.name);
    }
    char sentence[640];
    format_into(sentence, sizeof sentence, text_missing_parts, names);
    append_text(text, size, sentence);
}
