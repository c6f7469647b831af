// Test helpers for the installer: places, payload files, snapshots, clean-up.
#include "tests/installer/machine.h"

#include <shlobj.h>

#include "tests/support/registry_seed.h"
#include "tests/support/test_files.h"

static std::string shell_folder(int csidl)
{
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl, nullptr, 0, path);
    return path;
}

installer_places find_places()
{
    installer_places places;
    char folder[MAX_PATH] = "";
    GetSystemDirectoryA(folder, MAX_PATH);
    places.system_dir = std::string(folder) + "\\";
    folder[0] = 0;
    GetSystemWow64DirectoryA(folder, MAX_PATH);
    places.wow64_dir = std::string(folder) + "\\";
    places.product_dir = shell_folder(CSIDL_PROGRAM_FILES) + "\\Quarzfeld";
    places.shortcut = shell_folder(CSIDL_DESKTOPDIRECTORY) +
                      "\\Quarzfeld V2.06 Belegungsschaubild.LNK";
    return places;
}

std::string payload_file(const char* name)
{
    return read_file(std::string(QF_TEST_PAYLOAD_DIR) + "/" + name);
}

std::string built_uninstaller()
{
    return read_file(std::string(QF_TEST_PROGRAM_DIR) + "/Uninstall_VezOdorQFZ27.exe");
}

ULONGLONG last_write_time(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (ULONGLONG)data.ftLastWriteTime.dwHighDateTime << 32 |
           data.ftLastWriteTime.dwLowDateTime;
}

std::string machine_snapshot(bool without_user_lists)
{
    return machine_snapshot(find_places(), without_user_lists);
}

static void remove_file(const std::string& path)
{
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!DeleteFileA(path.c_str()))
        RemoveDirectoryA(path.c_str());
}

void remove_installer_traces()
{
    installer_places places = find_places();
    for (const std::string& path : manifest_paths(places)) {
        remove_file(path);
        remove_file(native_path(path));   // a 64-bit installation's, seen from WoW64
    }
    RemoveDirectoryA(places.product_dir.c_str());
    remove_file(places.shortcut);
    delete_key_tree(HKEY_LOCAL_MACHINE, uninstall_entry_path);
    remove_german_windows();
}
