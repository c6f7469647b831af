// The layout's entry in Windows' list of installed software: its removal
// (with the entries that earlier versions left), its writing from a record of
// its values, and the test whether it still starts our uninstaller.
#include "registry/uninstall_entry.h"
#include "registry/layout_keys.h"
#include "registry/layout_support.h"
#include "registry/registry_access.h"
#include "registry/registry_texts.h"

#include <string.h>

#include "frame/messages.h"
#include "frame/text.h"
#include "product/product.h"

char uninstall_entry_error[entry_error_size];

static const char uninstall_path[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
static const char uninstall_string_name[] = "UninstallString";

// The failed step goes into uninstall_entry_error with the system's
// description of the failure, which the registry layer left as the thread's
// last error. Only the first failure of a call is kept.
static bool fail_entry(const char* format, const char* key_path, const char* value)
{
    record_last_error();
    if (uninstall_entry_error[0])
        return false;
    if (value)
        format_into(uninstall_entry_error, sizeof uninstall_entry_error, format, value, key_path,
                    error_text);
    else
        format_into(uninstall_entry_error, sizeof uninstall_entry_error, format, key_path,
                    error_text);
    return false;
}

// The program of a command line is the quoted text after a leading quote,
// otherwise the text up to the first blank; its file name follows the last
// backslash, slash or colon. *arguments receives the text after the program.
static bool command_starts(const char* command, const char* file_name, const char** arguments)
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
    *arguments = command + length + (end == '"' && command[length] == '"' ? 1 : 0);
    const char* name = program;
    for (const char* p = program; *p; ++p) {
        if (*p == '\\' || *p == '/' || *p == ':')
            name = p + 1;
    }
    return same_text(name, file_name);
}

// The entry's "UninstallString", copied into command (reg_data_size + 1
// bytes). 0: the entry has none; -1: it or one of its values cannot be read.
static int read_uninstall_string(HKEY entry, char* command)
{
    DWORD count = reg_count_values(entry);
    for (DWORD index = 0; index < count; ++index) {
        if (!reg_enum_value(entry, index))
            return -1;
        if (same_text(enum_value_name, uninstall_string_name)) {
            memcpy(command, enum_value_data, sizeof enum_value_data);
            return 1;
        }
    }
    return 0;
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
    char command[reg_data_size + 1];
    int found = read_uninstall_string(entry, command);
    RegCloseKey(entry);
    const char* arguments;
    return found == 0 || (found == 1 && command_starts(command, uninstaller_file_name, &arguments));
}

bool uninstall_entry_starts(const char* name, const char* klid)
{
    char key_path[2 * MAX_PATH];
    format_into(key_path, sizeof key_path, "%s\\%s", uninstall_path, name);
    HKEY entry = reg_open_read(HKEY_LOCAL_MACHINE, key_path);
    if (!entry)
        return false;
    char command[reg_data_size + 1];
    int found = read_uninstall_string(entry, command);
    RegCloseKey(entry);
    const char* arguments;
    if (found != 1 || !command_starts(command, uninstaller_file_name, &arguments))
        return false;
    // The one argument, without the blanks around it.
    while (*arguments == ' ')
        ++arguments;
    size_t length = strlen(arguments);
    while (length > 0 && arguments[length - 1] == ' ')
        --length;
    char argument[reg_data_size + 1];
    memcpy(argument, arguments, length);
    argument[length] = 0;
    return klid[0] && same_text(argument, klid);
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

bool remove_uninstall_entry(const char* name, const char* prefix)
{
    uninstall_entry_error[0] = 0;
    // Without a name the deletion would address the Uninstall key itself.
    if (!name || !name[0])
        return false;
    char key_path[2 * MAX_PATH];
    format_into(key_path, sizeof key_path, "%s\\%s", uninstall_path, name);
    HKEY uninstall = reg_open_read(HKEY_LOCAL_MACHINE, uninstall_path);
    if (!uninstall)
        return reg_key_missing(HKEY_LOCAL_MACHINE, uninstall_path)
               || fail_entry(text_key_not_deleted, key_path, nullptr);
    // An empty prefix would match, and delete, every other program's entry.
    if (prefix && prefix[0])
        delete_entries_with_prefix(uninstall, prefix);
    reg_delete_tree(uninstall, name);
    // A key that could not be deleted is still there to open; the reason is
    // what the deletion left as the last error.
    DWORD reason = GetLastError();
    bool gone = reg_key_missing(uninstall, name);
    RegCloseKey(uninstall);
    if (gone)
        return true;
    SetLastError(reason);
    return fail_entry(text_key_not_deleted, key_path, nullptr);
}

static bool write_value(HKEY entry, const char* key_path, const char* value, const char* text)
{
    return reg_set_text(entry, value, text) || fail_entry(text_value_not_written, key_path, value);
}

entry_outcome write_uninstall_entry(const uninstall_entry_values* values)
{
    uninstall_entry_error[0] = 0;
    const char* name = values->name;
    if (!name || !name[0] || !values->uninstall_string)
        return entry_unusable;
    char key_path[2 * MAX_PATH];
    format_into(key_path, sizeof key_path, "%s\\%s", uninstall_path, name);
    HKEY uninstall = reg_create_key(HKEY_LOCAL_MACHINE, uninstall_path);
    if (!uninstall) {
        fail_entry(text_key_not_created, uninstall_path, nullptr);
        return entry_unusable;
    }
    HKEY entry = reg_create_key(uninstall, name);
    RegCloseKey(uninstall);
    if (!entry) {
        fail_entry(text_key_not_created, key_path, nullptr);
        return entry_unusable;
    }
    bool usable = true;
    usable &= write_value(entry, key_path, "DisplayName",
                          values->display_name ? values->display_name : name);
    usable &= write_value(entry, key_path, uninstall_string_name, values->uninstall_string);
    const struct {
        const char* value_name;
        const char* text;
    } optional_values[] = {
        {"HelpLink", values->help_link},
        {"URLUpdateInfo", values->url_update_info},
        {"Publisher", values->publisher},
        {"URLInfoAbout", values->url_info_about},
        {"DisplayVersion", values->display_version},
        {"DisplayIcon", values->display_icon},
        {"Comments", values->comments},
    };
    bool described = true;
    for (const auto& value : optional_values) {
        if (value.text)
            described &= write_value(entry, key_path, value.value_name, value.text);
    }
    RegCloseKey(entry);
    if (!usable)
        return entry_unusable;
    return described ? entry_written : entry_lacks_description;
}
