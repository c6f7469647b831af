// write_uninstall_entry: the layout's entry in Windows' list of installed
// software, which the uninstaller's own call removes again.
#include "registry/uninstall_entry.h"
#include "registry/layout_keys.h"
#include "registry/layout_support.h"
#include "registry/registry_access.h"
#include "registry/registry_texts.h"

#include <string.h>

#include "frame/messages.h"
#include "frame/text.h"
#include "product/product.h"

static const char uninstall_path[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// The failed step goes into layout_error_text with the system's description
// of the failure, which the registry layer left as the thread's last error.
static bool fail_entry(const char* format, const char* key_path, const char* value)
{
    record_last_error();
    if (value)
        return fail_layout(format, value, key_path, error_text);
    return fail_layout(format, key_path, error_text);
}

// Whether a command line starts the program file_name: the program is the
// quoted text after a leading quote, otherwise the text up to the first
// blank; its file name follows the last backslash, slash or colon.
static bool command_starts(const char* command, const char* file_name)
{
    char program[reg_data_size + 1];
    char end = ' ';
    if (*command == '"') {
        ++command;
        end = '"';
    }
    size_t length = 0;
    while (command[length] && command[length] != end && length < reg_data_size)
        ++length;
    memcpy(program, command, length);
    program[length] = 0;
    const char* name = program;
    for (const char* p = program; *p; ++p) {
        if (*p == '\\' || *p == '/' || *p == ':')
            name = p + 1;
    }
    return same_text(name, file_name);
}

// An entry is one of ours when its command starts our uninstaller, from
// whatever folder, or when it has no command. Other programs' entries whose
// names only begin like ours start their own programs and stay; so does an
// entry with a value that cannot be read, which might be such a command.
static bool is_our_entry(HKEY uninstall, const char* name)
{
    HKEY entry = reg_open_read(uninstall, name);
    if (!entry)
        return false;
    bool ours = true;
    DWORD count = reg_count_values(entry);
    for (DWORD index = 0; index < count; ++index) {
        if (!reg_enum_value(entry, index)) {
            ours = false;
            break;
        }
        if (same_text(enum_value_name, "UninstallString")) {
            ours = command_starts(enum_value_data, uninstaller_file_name);
            break;
        }
    }
    RegCloseKey(entry);
    return ours;
}

// Earlier versions of the layout left entries whose names begin with the same
// text; the visit runs from the last index down because deleting shifts them.
// The value enumeration of is_our_entry leaves enum_key_name alone.
static void delete_entries_with_prefix(HKEY uninstall, const char* prefix)
{
    for (DWORD index = reg_count_subkeys(uninstall); index-- > 0;) {
        if (reg_enum_subkey(uninstall, index) && begins_with_nocase(enum_key_name, prefix)
            && is_our_entry(uninstall, enum_key_name))
            reg_delete_tree(uninstall, enum_key_name);
    }
}

// Every value is attempted; the first failure is the one reported.
static void write_value(HKEY entry, const char* key_path, const char* value, const char* text,
                        bool* written)
{
    if (reg_set_text(entry, value, text))
        return;
    if (*written)
        fail_entry(text_value_not_written, key_path, value);
    *written = false;
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
    char key_path[2 * MAX_PATH];
    format_into(key_path, sizeof key_path, "%s\\%s", uninstall_path, name);
    HKEY uninstall = reg_create_key(HKEY_LOCAL_MACHINE, uninstall_path);
    if (!uninstall)
        return fail_entry(text_key_not_created, uninstall_path, nullptr);
    // An empty prefix would match, and delete, every other program's entry.
    if (prefix && prefix[0])
        delete_entries_with_prefix(uninstall, prefix);
    reg_delete_tree(uninstall, name);
    if (!command) {
        // A key that could not be deleted is still there to open; the reason
        // is what the deletion left as the last error.
        DWORD reason = GetLastError();
        HKEY left = reg_open_read(uninstall, name);
        RegCloseKey(uninstall);
        if (!left)
            return true;
        RegCloseKey(left);
        SetLastError(reason);
        return fail_entry(text_key_not_deleted, key_path, nullptr);
    }
    HKEY entry = reg_create_key(uninstall, name);
    if (!entry) {
        fail_entry(text_key_not_created, key_path, nullptr);
        RegCloseKey(uninstall);
        return false;
    }
    bool written = true;
    write_value(entry, key_path, "DisplayName", display_name ? display_name : name, &written);
    write_value(entry, key_path, "UninstallString", command, &written);
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
            write_value(entry, key_path, value.value_name, value.text, &written);
    }
    RegCloseKey(entry);
    RegCloseKey(uninstall);
    return written;
}
