// The product constants and the table of installed files that both programs
// carry: the names under which the installer registers and writes the layout,
// and through which the uninstaller finds it again.
#include "product/product.h"

const char layout_name[] = "Deutsch - Quarzfeld 2.06";
const char library_file_name[] = "VezOdorQFZ27.DLL";
const char library_base_name[] = "VezOdorQFZ27";
const char library_search_name[] = "VezOdorQFZ27.dll";
const char chart_name[] = "Quarzfeld V2.06 Belegungsschaubild";
const char chart_file_name[] = "Quarzfeld V2.06 Belegungsschaubild.pdf";
const char icon_file_name[] = "Quarzfeld V2.06 Belegungsschaubild.ico";
const char uninstaller_file_name[] = "Uninstall_VezOdorQFZ27.exe";
const char entry_name[] = "Tastaturbelegung Deutsch - Quarzfeld 2.06";
const char product_version[] = "2.06";
const char product_folder_name[] = "Quarzfeld";
const char product_web_address[] = "https://quarzfeld.example/";
const char publisher_text[] = "Quarzfeld-Tastaturbelegung";

// FILETIME holds the low half first; FileTimeToSystemTime of each value gives
// the UTC time noted beside it.
const product_item product_items[product_item_count] = {
    // 2019-09-17 05:14:23.2047115
    {"Datei1_name",
     "Datei1_type",
     library_file_name,
     in_system_folder,
     windows_32bit,
     false,
     {0xC4941E0B, 0x01D56D16}},
    // 2019-09-24 05:53:33.7117043
    {"Datei2_name",
     "Datei2_type",
     library_file_name,
     in_system_folder,
     windows_x64,
     false,
     {0x667B4573, 0x01D5729C}},
    // 2026-12-09 03:40:00.2060407, the day the ARM64 library joined the
    // payload (high 01DD878E, low F7B71877). System32 of ARM64 Windows holds
    // ARM64 code, and the keyboard layouts of that folder are loaded into
    // ARM64 processes, which cannot load the x64 library.
    {"Datei7_name",
     "Datei7_type",
     library_file_name,
     in_system_folder,
     windows_arm64,
     false,
     {0xF7B71877, 0x01DD878E}},
    // 2019-09-24 05:53:30.4449882; 32-bit programs on ARM64 Windows go
    // through the same WoW64 layer as on x64, so SysWOW64 takes it on both.
    {"Datei3_name",
     "Datei3_type",
     library_file_name,
     in_wow64_folder,
     on_64bit_windows,
     false,
     {0x6488CF5A, 0x01D5729C}},
    // 2019-09-24 21:48:44.0800953
    {"Datei6_name",
     "Datei6_type",
     uninstaller_file_name,
     in_product_folder,
     on_any_windows,
     false,
     {0xD61F7EB9, 0x01D57321}},
    // 2019-09-22 13:32:26.4431852
    {"Datei4_name",
     "Datei4_type",
     chart_file_name,
     in_product_folder,
     on_any_windows,
     true,
     {0x2C7130EC, 0x01D5714A}},
    // 2019-09-22 11:44:13.0043790
    {"Datei5_name",
     "Datei5_type",
     icon_file_name,
     in_product_folder,
     on_any_windows,
     true,
     {0x0E0D0F8E, 0x01D5713B}},
};

windows_kind windows_kind_of(bool wow64, unsigned native_machine)
{
    // Only a process under WoW64 has a 32-bit system folder to fill, so the
    // ARM64 rows apply to it alone. Windows without IsWow64Process2 (before
    // Windows 10 1709, the first that runs on ARM64) is x86 or x64.
    if (!wow64)
        return windows_32bit;
    return native_machine == IMAGE_FILE_MACHINE_ARM64 ? windows_arm64 : windows_x64;
}

bool item_installed_here(const product_item* item, windows_kind windows)
{
    if (item->with_chart && !chart_name[0])
        return false;
    return (item->windows & windows) != 0;
}

const product_item* system_library_item(windows_kind windows)
{
    for (const product_item& item : product_items)
        if (item.folder == in_system_folder && item_installed_here(&item, windows))
            return &item;
    return &product_items[item_library_x86];   // not reached: every kind has its row
}
