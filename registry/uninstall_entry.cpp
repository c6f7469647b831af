// write_uninstall_entry: the layout's entry in Windows' list of installed
// software, which the uninstaller's own call removes again.
#include "registry/uninstall_entry.h"
#include "registry/layout_support.h"
#include "registry/registry_access.h"

static const char uninstall_path[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// Earlier versions of the layout left entries whose names begin with the same
// text; the visit runs from the last index down because deleting shifts them.
static void delete_entries_with_prefix(HKEY uninstall, const char* prefix)
{
    for (DWORD index = reg_count_subkeys(uninstall); index-- > 0;) {
        if (reg_enum_subkey(uninstall, index) && begins_with_nocase(enum_key_name, prefix))
            reg_delete_tree(uninstall, enum_key_name);
    }
}

bool write_uninstall_entry(const char* name, const char* command, const char* display_name,
                           const char* prefix, const char* help_link,
                           const char* url_update_info, const char* publisher,
                           const char* url_info_about, const char* display_version,
                           const char* display_icon, const char* comments)
{
    // Without a name the values would land in the Uninstall key itself.
    if (!name || !name[0])
        return false;
    HKEY uninstall = reg_create_key(HKEY_LOCAL_MACHINE, uninstall_path);
    if (!uninstall)
        return false;
    // An empty prefix would match, and delete, every other program's entry.
    if (prefix && prefix[0])
        delete_entries_with_prefix(uninstall, prefix);
    reg_delete_tree(uninstall, name);
    if (!command) {
        RegCloseKey(uninstall);
        return true;
    }
    HKEY entry = reg_create_key(uninstall, name);
    if (!entry) {
        RegCloseKey(uninstall);
        return false;
    }
    reg_set_text(entry, "DisplayName", display_name ? display_name : name);
    reg_set_text(entry, "UninstallString", command);
    const struct {
        const char* value_name;
        const char* text;
    } optional_values[] = {
        {"HelpLink", help_link},           {"URLUpdateInfo", url_update_info},
        {"Publisher", publisher},          {"URLInfoAbout", url_info_about},
        {"DisplayVersion", display_version}, {"DisplayIcon", display_icon},
        {"Comments", comments},
    };
    for (const auto& value : optional_values) {
        if (value.text)
            reg_set_text(entry, value.value_name, value.text);
    }
    RegCloseKey(entry);
    RegCloseKey(uninstall);
    return true;
}
