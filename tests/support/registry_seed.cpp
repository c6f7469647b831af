// Registry fixtures for tests: a seeded German Windows, the user's lists, and
// read-backs in enumeration order.
#include "tests/support/registry_seed.h"

#include <sddl.h>
#include <stdio.h>

#include "tests/support/import_redirect.h"

const char seed_layouts_path[] = "System\\CurrentControlSet\\Control\\Keyboard Layouts";
const char seed_preload_path[] = "Keyboard Layout\\Preload";
const char seed_substitutes_path[] = "Keyboard Layout\\Substitutes";

reg_values parse_values(const char* text)
{
    reg_values values;
    std::string rest = text ? text : "";
    while (!rest.empty()) {
        size_t end = rest.find(' ');
        std::string item = rest.substr(0, end);
        size_t equals = item.find('=');
        values.emplace_back(item.substr(0, equals),
                            equals == std::string::npos ? "" : item.substr(equals + 1));
        rest = end == std::string::npos ? "" : rest.substr(end + 1);
    }
    return values;
}

static HKEY create_key(HKEY root, const char* path)
{
    HKEY key = nullptr;
    RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    return key;
}

static void set_text(HKEY key, const char* name, const std::string& text)
{
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
}

void delete_key_tree(HKEY root, const char* path)
{
    RegDeleteTreeA(root, path);
    RegDeleteKeyA(root, path);
}

void seed_layout_key(const char* klid, const char* file, const char* text, const char* id)
{
    std::string path = std::string(seed_layouts_path) + "\\" + klid;
    HKEY key = create_key(HKEY_LOCAL_MACHINE, path.c_str());
    if (!key)
        return;
    set_text(key, "Layout File", file);
    set_text(key, "Layout Text", text);
    if (id)
        set_text(key, "Layout Id", id);
    RegCloseKey(key);
}

void set_key_values(HKEY root, const char* path, const reg_values& values)
{
    delete_key_tree(root, path);
    HKEY key = create_key(root, path);
    if (!key)
        return;
    for (const auto& value : values)
        set_text(key, value.first.c_str(), value.second);
    RegCloseKey(key);
}

void set_user_lists(const reg_values& preload, const reg_values& substitutes)
{
    set_key_values(HKEY_CURRENT_USER, seed_preload_path, preload);
    set_key_values(HKEY_CURRENT_USER, seed_substitutes_path, substitutes);
}

void seed_german_windows()
{
    static const struct {
        const char *klid, *file, *text, *id;
    } layouts[] = {
        {"00000407", "KBDGR.DLL", "German", nullptr},
        {"00000807", "KBDSG.DLL", "Swiss German", nullptr},
        {"00000C07", "KBDGR.DLL", "German", nullptr},
        {"00001407", "KBDGR.DLL", "German", nullptr},
        {"00010407", "KBDGR1.DLL", "German (IBM)", "0012"},
        {"00020407", "KBDGREXT.DLL", "German Extended (E1)", "00c1"},
        {"00000409", "KBDUS.DLL", "US", nullptr},
        {"0000040C", "KBDFR.DLL", "French", nullptr},
        {"00000410", "KBDIT.DLL", "Italian", nullptr},
    };
    delete_key_tree(HKEY_LOCAL_MACHINE, seed_layouts_path);
    for (const auto& layout : layouts)
        seed_layout_key(layout.klid, layout.file, layout.text, layout.id);
    set_user_lists({{"1", "00000407"}}, {});
}

void remove_german_windows()
{
    delete_key_tree(HKEY_LOCAL_MACHINE, seed_layouts_path);
    delete_key_tree(HKEY_CURRENT_USER, seed_preload_path);
    delete_key_tree(HKEY_CURRENT_USER, seed_substitutes_path);
}

bool key_exists(HKEY root, const char* path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool set_key_access(HKEY root, const std::string& path, const char* sddl)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1,
                                                              &descriptor, nullptr))
        return false;
    HKEY key;
    LONG status = RegOpenKeyExA(root, path.c_str(), 0, WRITE_DAC, &key);
    if (status == ERROR_SUCCESS) {
        status = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
        RegCloseKey(key);
    }
    LocalFree(descriptor);
    return status == ERROR_SUCCESS;
}

// Data of any type as text, without the terminator that REG_SZ data may carry.
static std::string data_text(const std::vector<BYTE>& data, DWORD size)
{
    std::string text(reinterpret_cast<const char*>(data.data()), size);
    while (!text.empty() && text.back() == 0)
        text.pop_back();
    return text;
}

reg_values read_values(HKEY root, const char* path)
{
    reg_values values;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return values;
    for (DWORD index = 0;; ++index) {
        char name[16384];
        std::vector<BYTE> data(65536);
        DWORD name_size = sizeof name, data_size = static_cast<DWORD>(data.size());
        if (RegEnumValueA(key, index, name, &name_size, nullptr, nullptr, data.data(),
                          &data_size) != ERROR_SUCCESS)
            break;
        values.emplace_back(name, data_text(data, data_size));
    }
    RegCloseKey(key);
    return values;
}

static void snapshot_key(HKEY key, const std::string& path, std::string& out)
{
    out += "[" + path + "]\n";
    for (DWORD index = 0;; ++index) {
        char name[16384];
        std::vector<BYTE> data(65536);
        DWORD name_size = sizeof name, data_size = static_cast<DWORD>(data.size()), type = 0;
        if (RegEnumValueA(key, index, name, &name_size, nullptr, &type, data.data(),
                          &data_size) != ERROR_SUCCESS)
            break;
        char line[64];
        snprintf(line, sizeof line, " type %lu, %lu bytes: ", type, data_size);
        out += std::string(name) + line;
        for (DWORD i = 0; i < data_size; ++i) {
            snprintf(line, sizeof line, "%02x", data[i]);
            out += line;
        }
        out += "\n";
    }
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD name_size = sizeof name;
        if (RegEnumKeyExA(key, index, name, &name_size, nullptr, nullptr, nullptr, nullptr)
            != ERROR_SUCCESS)
            break;
        HKEY subkey = nullptr;
        if (RegOpenKeyExA(key, name, 0, KEY_READ, &subkey) != ERROR_SUCCESS) {
            out += "[" + path + "\\" + name + "] <unreadable>\n";
            continue;
        }
        snapshot_key(subkey, path + "\\" + name, out);
        RegCloseKey(subkey);
    }
}

std::string snapshot_tree(HKEY root, const char* path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<missing>";
    std::string out;
    snapshot_key(key, path, out);
    RegCloseKey(key);
    return out;
}

static reg_values recorded_writes;
static bool recording;
static std::string failing_name;
static decltype(&RegSetValueExA) original_set_value;
static decltype(&RegCreateKeyExA) original_create_key;

static bool fails(const char* name)
{
    return !failing_name.empty() && name && lstrcmpiA(name, failing_name.c_str()) == 0;
}

static LONG WINAPI recording_set_value(HKEY key, LPCSTR name, DWORD reserved, DWORD type,
                                       const BYTE* data, DWORD size)
{
    if (recording)
        recorded_writes.emplace_back(name ? name : "",
                                     std::string(reinterpret_cast<const char*>(data), size));
    if (fails(name))
        return ERROR_ACCESS_DENIED;
    return original_set_value(key, name, reserved, type, data, size);
}

static LONG WINAPI failing_create_key(HKEY key, LPCSTR path, DWORD reserved, LPSTR key_class,
                                      DWORD options, REGSAM access,
                                      LPSECURITY_ATTRIBUTES security, PHKEY result,
                                      LPDWORD disposition)
{
    if (fails(path))
        return ERROR_ACCESS_DENIED;
    return original_create_key(key, path, reserved, key_class, options, access, security, result,
                               disposition);
}

static void redirect_registry_writes()
{
    if (original_set_value)
        return;
    HMODULE advapi = GetModuleHandleA("advapi32.dll");
    original_set_value = reinterpret_cast<decltype(&RegSetValueExA)>(
        reinterpret_cast<void*>(GetProcAddress(advapi, "RegSetValueExA")));
    original_create_key = reinterpret_cast<decltype(&RegCreateKeyExA)>(
        reinterpret_cast<void*>(GetProcAddress(advapi, "RegCreateKeyExA")));
    redirect_import(reinterpret_cast<void*>(original_set_value),
                    reinterpret_cast<void*>(recording_set_value));
    redirect_import(reinterpret_cast<void*>(original_create_key),
                    reinterpret_cast<void*>(failing_create_key));
}

void start_recording_value_writes()
{
    redirect_registry_writes();
    recorded_writes.clear();
    recording = true;
}

void fail_registry_writes_named(const char* name)
{
    redirect_registry_writes();
    failing_name = name ? name : "";
}

reg_values stop_recording_value_writes()
{
    recording = false;
    return recorded_writes;
}
