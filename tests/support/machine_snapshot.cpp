// The machine snapshot of the installer's and the uninstaller's tests
// (tests/support/machine_snapshot.h).
#include "tests/support/machine_snapshot.h"

#include <windows.h>

#include <algorithm>
#include <functional>

#include "product/product.h"
#include "tests/support/registry_seed.h"
#include "tests/support/test_files.h"

const char uninstall_root_path[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char uninstall_entry_path[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
    "Tastaturbelegung Deutsch - Quarzfeld 2.06";

std::vector<std::string> manifest_paths(const product_places& places)
{
    std::vector<std::string> paths;
    for (const product_item& item : product_items) {
        std::string folder = item.folder == in_system_folder  ? places.system_dir
                             : item.folder == in_wow64_folder ? places.wow64_dir
                                                              : places.product_dir + "\\";
        if (folder.empty() || folder == "\\")
            continue;
        std::string path = folder + item.file_name;
        if (std::find(paths.begin(), paths.end(), path) == paths.end())
            paths.push_back(path);
    }
    return paths;
}

// Attributes, last-write time and a hash of the content, or "<missing>".
static void describe_file(const std::string& path, std::string& out)
{
    out += path + ": ";
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        out += "<missing>\n";
        return;
    }
    ULONGLONG time = (ULONGLONG)data.ftLastWriteTime.dwHighDateTime << 32 |
                     data.ftLastWriteTime.dwLowDateTime;
    out += std::to_string(data.dwFileAttributes) + " " + std::to_string(time) + " " +
           std::to_string(std::hash<std::string>()(read_file(path))) + "\n";
}

// The folder's entries by name (Windows and Wine list them in different orders).
static void describe_folder(const std::string& folder, std::string& out)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    std::sort(names.begin(), names.end());
    describe_file(folder, out);
    for (const std::string& name : names)
        describe_file(folder + "\\" + name, out);
}

std::string machine_snapshot(const product_places& places, bool without_user_lists)
{
    std::string out = snapshot_tree(HKEY_LOCAL_MACHINE, seed_layouts_path) +
                      snapshot_tree(HKEY_LOCAL_MACHINE, uninstall_root_path);
    if (!without_user_lists)
        out += snapshot_tree(HKEY_CURRENT_USER, seed_preload_path) +
               snapshot_tree(HKEY_CURRENT_USER, seed_substitutes_path);
    for (const std::string& path : manifest_paths(places))
        describe_file(path, out);
    describe_folder(places.product_dir, out);
    describe_file(places.shortcut, out);
    return out;
}
