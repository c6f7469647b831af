// The registry access layer: each operation is one advapi32 call whose status
// becomes a key-or-none or true-or-false, plus the recursive deletion of a key.
#include "registry/registry_access.h"

#include <string.h>

char enum_key_name[reg_name_size];
char enum_value_name[reg_name_size];
char enum_value_data[reg_data_size + 1];
DWORD enum_value_type;
DWORD enum_value_size;

// The registry functions return their status instead of setting the thread's
// last error; a failing operation here sets it, so that the caller can record
// and describe the failure as after any other system call.
static bool succeeded(LONG status)
{
    if (status == ERROR_SUCCESS)
        return true;
    SetLastError(static_cast<DWORD>(status));
    return false;
}

static HKEY open_key(HKEY parent, const char* path, REGSAM access)
{
    HKEY key = nullptr;
    if (!succeeded(RegOpenKeyExA(parent, path, 0, access, &key)))
        return nullptr;
    return key;
}

HKEY reg_open_read(HKEY parent, const char* path)
{
    return open_key(parent, path, KEY_READ);
}

HKEY reg_open_full(HKEY parent, const char* path)
{
    return open_key(parent, path, KEY_ALL_ACCESS);
}

// An empty path would hand back the parent itself, and the caller would write
// its values into it (a layout key's values into "Keyboard Layouts").
HKEY reg_create_key(HKEY parent, const char* path)
{
    if (!path || !path[0])
        return nullptr;
    HKEY key = nullptr;
    char no_class[1] = "";
    if (!succeeded(RegCreateKeyExA(parent, path, 0, no_class, REG_OPTION_NON_VOLATILE,
                                   KEY_ALL_ACCESS, nullptr, &key, nullptr)))
        return nullptr;
    return key;
}

// The length passed leaves out the terminating zero, so an empty text becomes
// a REG_SZ value without data bytes.
bool reg_set_text(HKEY key, const char* name, const char* text)
{
    if (!text)
        text = "";
    return succeeded(RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                    static_cast<DWORD>(strlen(text))));
}

bool reg_set_value(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size)
{
    return succeeded(RegSetValueExA(key, name, 0, type, data, size));
}

bool reg_key_missing(HKEY parent, const char* path)
{
    HKEY key = nullptr;
    LONG status = RegOpenKeyExA(parent, path, 0, KEY_READ, &key);
    if (status == ERROR_SUCCESS)
        RegCloseKey(key);
    return status == ERROR_FILE_NOT_FOUND;
}

DWORD reg_count_subkeys(HKEY key)
{
    DWORD count = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return 0;
    return count;
}

DWORD reg_count_values(HKEY key)
{
    DWORD count = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return 0;
    return count;
}

bool reg_enum_subkey(HKEY key, DWORD index)
{
    DWORD size = reg_name_size;
    return RegEnumKeyExA(key, index, enum_key_name, &size, nullptr, nullptr, nullptr,
                         nullptr) == ERROR_SUCCESS;
}

// Windows does not terminate data that fills the buffer exactly; the buffer is
// cleared first and has one byte more than is offered, so the text always ends.
bool reg_enum_value(HKEY key, DWORD index)
{
    memset(enum_value_name, 0, sizeof enum_value_name);
    memset(enum_value_data, 0, sizeof enum_value_data);
    enum_value_type = REG_NONE;
    enum_value_size = 0;
    DWORD name_size = reg_name_size;
    DWORD data_size = reg_data_size;
    DWORD type = REG_NONE;
    if (RegEnumValueA(key, index, enum_value_name, &name_size, nullptr, &type,
                      reinterpret_cast<BYTE*>(enum_value_data), &data_size) != ERROR_SUCCESS)
        return false;
    enum_value_type = type;
    enum_value_size = data_size;
    return true;
}

// RegDeleteKeyA only removes a key without subkeys, so the tree is emptied from
// the bottom up. Indexes are visited from the last down, because deleting a
// subkey shifts the indexes of those after it. The name is copied first: the
// caller may pass enum_key_name, which the enumeration below overwrites.
bool reg_delete_tree(HKEY parent, const char* name)
{
    if (!name || !name[0])
        return false;   // an empty name addresses the parent itself
    char own_name[reg_name_size];
    size_t length = strlen(name);
    if (length >= sizeof own_name)
        return false;   // no registry key has a name this long
    memcpy(own_name, name, length + 1);
    HKEY key = reg_open_full(parent, own_name);
    if (!key)
        return false;
    bool result = true;
    for (DWORD index = reg_count_subkeys(key); index-- > 0;) {
        if (!reg_enum_subkey(key, index) || !reg_delete_tree(key, enum_key_name))
            result = false;
    }
    RegCloseKey(key);
    // Its result stays out of the return value; a caller that must know
    // whether the key is gone looks again, and finds the reason here.
    succeeded(RegDeleteKeyA(parent, own_name));
    return result;
}

// What reg_delete_tree needs, asked for without deleting anything: the key and
// every key below it open with full access, which includes the right to delete.
bool reg_tree_deletable(HKEY parent, const char* name)
{
    if (!name || !name[0])
        return false;
    HKEY key = reg_open_full(parent, name);
    if (!key)
        return false;
    bool result = true;
    for (DWORD index = reg_count_subkeys(key); result && index-- > 0;) {
        char child[reg_name_size];
        result = reg_enum_subkey(key, index) && strlen(enum_key_name) < sizeof child;
        if (result) {
            memcpy(child, enum_key_name, strlen(enum_key_name) + 1);
            result = reg_tree_deletable(key, child);
        }
    }
    RegCloseKey(key);
    return result;
}

bool reg_can_create_below(HKEY parent, const char* path)
{
    HKEY key = open_key(parent, path, KEY_CREATE_SUB_KEY);
    if (!key)
        return false;
    RegCloseKey(key);
    return true;
}
