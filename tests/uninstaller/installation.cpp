// Test helpers: seeding an installation as the installer makes it, snapshots
// of everything the uninstaller touches, and putting the machine back.
#include "tests/uninstaller/installation.h"

#include <shlobj.h>


#include "product/product.h"


// The folder of a manifest row in this installation; empty when the row is not
// installed on its kind of Windows (wow64_dir empty: 32-bit Windows).
static std::string item_path(const installation& setup, const product_item& item)
{
    windows_kind windows = setup.wow64_dir.empty() ? windows_32bit
                           : setup.arm64           ? windows_arm64
                                                   : windows_x64;
    if (!item_installed_here(&item, windows))
        return "";
    if (item.folder == in_system_folder)
        return setup.system_dir + item.file_name;
    if (item.folder == in_wow64_folder)
        return setup.wow64_dir + item.file_name;
    return setup.product_dir + "\\" + item.file_name;
}

installation typical_installation(const std::string& klid, const std::string& root)
{
    installation setup;
    setup.klid = klid;
    setup.system_dir = root + "system\\";
    setup.wow64_dir = "";
    setup.product_dir = root + "Quarzfeld";
    setup.preload = {{"1", "00000407"}, {"2", "d0010407"}};
    setup.substitutes = {{"d0010407", klid}};
    return setup;
}

std::string desktop_shortcut_path()
{
    char desktop[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop);
    return std::string(desktop) + "\\Quarzfeld V2.06 Belegungsschaubild.LNK";
}

std::string layout_key_path(const installation& setup)
{
    return std::string(seed_layouts_path) + "\\" + setup.klid;
}

std::string snapshot(const installation& setup)
{
    return machine_snapshot(
        {setup.system_dir, setup.wow64_dir, setup.product_dir, desktop_shortcut_path()});
}

void seed_installation(const installation& setup)
{
    seed_german_windows();
    reg_values layout_values = {{"Layout Text", "Deutsch - Quarzfeld 2.06"}};
    if (!setup.layout_file.empty())
        layout_values.push_back({"Layout File", setup.layout_file});
    layout_values.push_back({"Layout Id", "0c00"});
    layout_values.push_back({"Created by VezOdor", ""});
    set_key_values(HKEY_LOCAL_MACHINE, layout_key_path(setup).c_str(), layout_values);

    CreateDirectoryA(setup.system_dir.c_str(), nullptr);
    if (!setup.wow64_dir.empty())
        CreateDirectoryA(setup.wow64_dir.c_str(), nullptr);
    CreateDirectoryA(setup.product_dir.c_str(), nullptr);
    for (const product_item& item : product_items) {
        std::string path = item_path(setup, item);
        if (!path.empty())
            write_file(path, std::string("seeded ") + item.resource_name);
    }
    std::string uninstaller = setup.product_dir + "\\Uninstall_VezOdorQFZ27.exe";

    std::string icon = setup.product_dir + "\\Quarzfeld V2.06 Belegungsschaubild.ico";
    set_key_values(HKEY_LOCAL_MACHINE, uninstall_entry_path,
                 {{"DisplayName", "Tastaturbelegung Deutsch - Quarzfeld 2.06"},
                  {"UninstallString", "\"" + uninstaller + "\" " + setup.klid},
                  {"HelpLink", "https://quarzfeld.example/"},
                  {"URLUpdateInfo", "https://quarzfeld.example/"},
                  {"Publisher", "Quarzfeld-Tastaturbelegung"},
                  {"URLInfoAbout", "https://quarzfeld.example/"},
                  {"DisplayVersion", "2.06"},
                  {"DisplayIcon", icon},
                  {"Comments", "Tastaturbelegung Deutsch - Quarzfeld 2.06 und Quarzfeld V2.06 "
                               "Belegungsschaubild von Ihrem Rechner entfernen"}});
    write_file(desktop_shortcut_path(), "shortcut to the chart");

    set_user_lists(setup.preload, setup.substitutes);
}

void remove_installation(const installation& setup)
{
    if (setup.klid.empty())
        return;
    remove_german_windows();
    delete_key_tree(HKEY_LOCAL_MACHINE, uninstall_entry_path);
    DeleteFileA(desktop_shortcut_path().c_str());
    for (const product_item& item : product_items) {
        std::string path = item_path(setup, item);
        if (!path.empty() && item.folder != in_product_folder)
            DeleteFileA(path.c_str());
    }
    remove_tree(setup.product_dir);
}

std::string make_private_folder(const std::string& purpose)
{
    static int counter;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "qf_" + purpose + "_" +
                         std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter);
    remove_tree(folder);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder + "\\";
}
