// Test helpers for the installer: places, payload files, snapshots, clean-up.
#include "tests/installer/machine.h"

#include <shlobj.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "product/product.h"
#include "tests/support/registry_seed.h"

const char uninstall_root_path[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char uninstall_entry_path[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
    "Tastaturbelegung Deutsch - Quarzfeld 2.06";

// Every file of the product manifest, on either Windows edition, in its order.
static std::vector<std::string> installed_paths(const installer_places& places)
{
    std::vector<std::string> paths;
    for (const product_item& item : product_items) {
        std::string folder = item.folder == in_system_folder ? places.system_dir
                                    : item.folder == in_wow64_folder
                                        ? places.wow64_dir
                                        : places.product_dir + "\\";
        std::string path = folder + item.file_name;
        if (std::find(paths.begin(), paths.end(), path) == paths.end())
            paths.push_back(path);
    }
    return paths;
}

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

static void describe_file(const std::string& path, std::string& out)
{
    out += path + ": ";
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        out += "<missing>\n";
        return;
    }
    out += std::to_string(attributes) + " " + std::to_string(last_write_time(path)) + " " +
           std::to_string(std::hash<std::string>()(read_file(path))) + "\n";
}

std::string machine_snapshot(bool without_user_lists)
{
    installer_places places = find_places();
    std::string out = snapshot_tree(HKEY_LOCAL_MACHINE, seed_layouts_path) +
                      snapshot_tree(HKEY_LOCAL_MACHINE, uninstall_root_path);
    if (!without_user_lists)
        out += snapshot_tree(HKEY_CURRENT_USER, "Keyboard Layout");
    describe_file(places.product_dir, out);
    for (const std::string& path : installed_paths(places))
        describe_file(path, out);
    describe_file(places.shortcut, out);
    return out;
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
    for (const std::string& path : installed_paths(places))
        remove_file(path);
    RemoveDirectoryA(places.product_dir.c_str());
    remove_file(places.shortcut);
    delete_key_tree(HKEY_LOCAL_MACHINE, uninstall_entry_path);
    remove_german_windows();
}
