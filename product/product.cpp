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
     on_32bit_windows,
     false,
     {0xC4941E0B, 0x01D56D16}},
    // 2019-09-24 05:53:33.7117043
    {"Datei2_name",
     "Datei2_type",
     library_file_name,
     in_system_folder,
     on_64bit_windows,
     false,
     {0x667B4573, 0x01D5729C}},
    // 2019-09-24 05:53:30.4449882
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

bool item_installed_here(const product_item* item, bool is_wow64)
{
    if (item->with_chart && !chart_name[0])
        return false;
    if (item->windows == on_32bit_windows)
        return !is_wow64;
    if (item->windows == on_64bit_windows)
        return is_wow64;
    return true;
}

const product_item* system_library_item(bool is_wow64)
{
    return &product_items[is_wow64 ? item_library_x64 : item_library_x86];
}
