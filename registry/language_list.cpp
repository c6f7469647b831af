// Windows' own list of the user's keyboards (Windows 8 and later): whether
// this Windows keeps one, InstallLayoutOrTip of the system's input.dll, looked
// up at run time (there is no import library for it), and the keyboards that
// the list holds.
#include "registry/language_list.h"

#include <string.h>

#include "files/shell_folder.h"
#include "registry/layout_keys.h"
#include "registry/registry_access.h"

const char user_profile_path[] = "Control Panel\\International\\User Profile";

typedef BOOL(WINAPI* install_layout_or_tip_fn)(LPCWSTR, DWORD);

static HMODULE input_library;
static install_layout_or_tip_fn install_layout_or_tip;
static bool looked_up;

bool user_profile_present()
{
    return !reg_key_missing(HKEY_CURRENT_USER, user_profile_path);
}

// A 32-bit process on 64-bit Windows finds its DLLs through file-system
// redirection, so redirection is on while input.dll loads and while its
// function runs (it loads libraries of its own). LOAD_LIBRARY_SEARCH_SYSTEM32
// takes input.dll from the system folder only, the 32-bit one for a 32-bit
// process; where Windows does not know the flag, the load fails and the
// function counts as missing.
bool language_list_function_found()
{
    if (looked_up)
        return install_layout_or_tip != nullptr;
    looked_up = true;
    bool paused = shell_work_begin();
    input_library = LoadLibraryExA("input.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    shell_work_end(paused);
    if (!input_library)
        return false;
    install_layout_or_tip =
        (install_layout_or_tip_fn)(void*)GetProcAddress(input_library, "InstallLayoutOrTip");
    if (!install_layout_or_tip) {
        FreeLibrary(input_library);
        input_library = nullptr;
    }
    return install_layout_or_tip != nullptr;
}

bool language_list_in_use()
{
    return user_profile_present() && language_list_function_found();
}

void language_list_release()
{
    if (input_library)
        FreeLibrary(input_library);
    input_library = nullptr;
    install_layout_or_tip = nullptr;
    looked_up = false;
}

static bool is_hex_digit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// "0407:<klid>" in UTF-16, for a KLID of exactly eight hexadecimal digits;
// false (out unusable) for any other text or a buffer too small.
static bool layout_string(WCHAR* out, size_t size, const char* klid)
{
    static const char language[] = "0407:";
    if (!klid || strlen(klid) != 8)
        return false;
    const char* const parts[] = {language, klid};
    size_t used = 0;
    for (const char* part : parts) {
        for (const char* c = part; *c; ++c) {
            if (part == klid && !is_hex_digit(*c))
                return false;
            if (used + 1 >= size)
                return false;
            out[used++] = static_cast<WCHAR>(static_cast<unsigned char>(*c));
        }
    }
    out[used] = 0;
    return true;
}

static bool call_install_layout_or_tip(const char* klid, DWORD flags)
{
    WCHAR text[16];
    if (!layout_string(text, sizeof text / sizeof text[0], klid) || !language_list_function_found())
        return false;
    bool paused = shell_work_begin();
    BOOL done = install_layout_or_tip(text, flags);
    shell_work_end(paused);
    return done != FALSE;
}

bool language_list_enable(const char* klid)
{
    return call_install_layout_or_tip(klid, 0);
}

bool language_list_disable(const char* klid)
{
    return call_install_layout_or_tip(klid, ilot_uninstall);
}

// A keyboard's value is named "<language>:<id>": four hexadecimal digits, a
// colon and the layout's KLID (or a text service's two GUIDs). The language
// subkeys hold other values as well ("CachedLanguageName", for instance).
static const char* keyboard_id(const char* value_name)
{
    for (int i = 0; i < 4; ++i) {
        if (!is_hex_digit(value_name[i]))
            return nullptr;
    }
    if (value_name[4] != ':' || !value_name[5])
        return nullptr;
    return value_name + 5;
}

// Values and subkeys that cannot be read are passed over: a keyboard's value
// (a short name, a number as data) always reads, and a language subkey that
// does not open hides keyboards, which can only make the caller refuse a
// removal, never allow one.
bool count_enabled_keyboards(const char* klid, int* total, int* ours)
{
    *total = *ours = 0;
    HKEY profile = reg_open_read(HKEY_CURRENT_USER, user_profile_path);
    if (!profile)
        return false;
    DWORD languages = reg_count_subkeys(profile);
    for (DWORD index = 0; index < languages; ++index) {
        if (!reg_enum_subkey(profile, index))
            continue;
        HKEY language = reg_open_read(profile, enum_key_name);
        if (!language)
            continue;
        DWORD values = reg_count_values(language);
        for (DWORD value = 0; value < values; ++value) {
            if (!reg_enum_value(language, value))
                continue;
            const char* id = keyboard_id(enum_value_name);
            if (!id)
                continue;
            ++*total;
            if (same_text(id, klid))
                ++*ours;
        }
        RegCloseKey(language);
    }
    RegCloseKey(profile);
    return true;
}
