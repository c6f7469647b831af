// Windows' language list for tests (tests/support/language_list_seed.h).
#include "tests/support/language_list_seed.h"

#include <windows.h>

#include "tests/support/registry_seed.h"
#include "tests/support/test_files.h"

const char seed_user_profile_path[] = "Control Panel\\International\\User Profile";

void seed_user_profile(const language_keyboards& languages)
{
    remove_user_profile();
    HKEY profile = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, seed_user_profile_path, 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &profile, nullptr) != ERROR_SUCCESS)
        return;
    std::string names;
    for (const auto& language : languages)
        names += language.first + '\0';
    names += '\0';
    RegSetValueExA(profile, "Languages", 0, REG_MULTI_SZ,
                   reinterpret_cast<const BYTE*>(names.data()), static_cast<DWORD>(names.size()));
    for (const auto& language : languages) {
        HKEY key = nullptr;
        if (RegCreateKeyExA(profile, language.first.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr) != ERROR_SUCCESS)
            continue;
        static const char cached[] = "@Winlangdb.dll,-1107";
        RegSetValueExA(key, "CachedLanguageName", 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(cached), sizeof cached);
        DWORD order = 0;
        for (const auto& keyboard : language.second) {
            RegSetValueExA(key, keyboard.c_str(), 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&order), sizeof order);
            ++order;
        }
        RegCloseKey(key);
    }
    RegCloseKey(profile);
}

void remove_user_profile()
{
    delete_key_tree(HKEY_CURRENT_USER, seed_user_profile_path);
}

static std::string system_input_dll()
{
    char folder[MAX_PATH] = "";
    GetSystemDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\input.dll";
}

static std::string log_path()
{
    char folder[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, folder);
    char name[64];
    wsprintfA(name, "qf_input_calls_%lu.txt", GetCurrentProcessId());
    return std::string(folder) + name;
}

bool install_input_stand_in(bool result)
{
    std::string log = log_path();
    DeleteFileA(log.c_str());
    SetEnvironmentVariableA("QF_INPUT_LOG", log.c_str());
    set_input_stand_in_result(result);
    return CopyFileA(QF_TEST_INPUT_STAND_IN, system_input_dll().c_str(), FALSE) != FALSE;
}

void set_input_stand_in_result(bool result)
{
    SetEnvironmentVariableA("QF_INPUT_RESULT", result ? "1" : "0");
}

void remove_input_stand_in()
{
    DeleteFileA(system_input_dll().c_str());
    DeleteFileA(log_path().c_str());
    SetEnvironmentVariableA("QF_INPUT_LOG", nullptr);
    SetEnvironmentVariableA("QF_INPUT_RESULT", nullptr);
}

std::vector<std::string> input_stand_in_calls()
{
    std::vector<std::string> calls;
    std::string content = read_file(log_path());
    for (size_t start = 0; start < content.size();) {
        size_t end = content.find('\n', start);
        if (end == std::string::npos)
            end = content.size();
        calls.push_back(content.substr(start, end - start));
        start = end + 1;
    }
    return calls;
}
