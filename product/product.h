// The product manifest: the fixed names of the one layout that both programs
// install and remove, and the one table of the files that get installed. There
// is no configuration: everything here is a constant. This folder sits below
// every other: the frame, the services and both programs may read it, and it
// reads nothing of theirs.
#pragma once
#include <windows.h>

extern const char layout_name[];            // "Deutsch - Quarzfeld 2.06"
extern const char library_file_name[];      // "VezOdorQFZ27.DLL"
extern const char library_base_name[];      // "VezOdorQFZ27"
extern const char library_search_name[];    // "VezOdorQFZ27.dll", what the installer's scan looks for
extern const char chart_name[];             // "Quarzfeld V2.06 Belegungsschaubild"
extern const char chart_file_name[];
extern const char icon_file_name[];
extern const char uninstaller_file_name[];  // "Uninstall_VezOdorQFZ27.exe"
extern const char entry_name[];             // "Tastaturbelegung Deutsch - Quarzfeld 2.06"
extern const char product_version[];        // "2.06"
extern const char product_folder_name[];    // "Quarzfeld"
extern const char product_web_address[];
extern const char publisher_text[];

// The folder an installed file goes to (the folder values of files/system_folders.h).
enum item_folder {
    in_system_folder,    // system_dir: the native system folder (redirection off)
    in_wow64_folder,     // wow64_dir: the 32-bit system folder of 64-bit Windows
    in_product_folder,   // product_dir
};

// The kinds of Windows that get different files. A 32-bit program meets
// three: 32-bit Windows, and 64-bit Windows on x64 or on ARM64 processors,
// where it runs under WoW64 alike. They are bits, so that a row of the table
// names every kind it is installed on.
enum windows_kind : unsigned {
    windows_32bit = 1u,   // 32-bit x86 Windows
    windows_x64 = 2u,     // 64-bit Windows on x64 processors
    windows_arm64 = 4u,   // 64-bit Windows on ARM64 processors
};
enum : unsigned {
    on_64bit_windows = windows_x64 | windows_arm64,
    on_any_windows = windows_32bit | windows_x64 | windows_arm64,
};

// The kind of Windows this process runs on: what the frame found with
// IsWow64Process (wow64) and IsWow64Process2 (native_machine, an
// IMAGE_FILE_MACHINE_ value; 0 where that function is missing or failed).
windows_kind windows_kind_of(bool wow64, unsigned native_machine);

struct product_item {
    const char* resource_name;   // the installer's own resource, asked for as "Datei1_name"
    const char* resource_type;   // (windres stores names upper case: DATEI1_NAME)
    const char* file_name;       // name of the installed file
    item_folder folder;
    unsigned windows;            // the windows_kind bits of the Windows it is installed on
    bool with_chart;             // installed and removed only while chart_name is not empty
    FILETIME modified;           // becomes the written file's last-write time
};

// One row per installed file, in the order in which the installer writes them
// and the uninstaller removes them: the layout library first (the one file
// without which nothing else makes sense, and the one a running Windows may
// hold open), then the product folder, whose first file is the uninstaller.
// The resource numbers DATEI1 to DATEI7 are the payload's own order, which
// differs: the uninstaller is DATEI6 but the first file of the product folder.
enum product_item_row {
    item_library_x86,     // DATEI1 into the system folder of 32-bit Windows
    item_library_x64,     // DATEI2 into the native system folder of x64 Windows
    item_library_arm64,   // DATEI7 into the native system folder of ARM64 Windows
    item_library_wow64,   // DATEI3 into the 32-bit system folder of 64-bit Windows
    item_uninstaller,     // DATEI6
    item_chart,           // DATEI4
    item_icon,            // DATEI5
    product_item_count
};

extern const product_item product_items[product_item_count];

// Whether the row is installed on this kind of Windows while the product has
// the chart it has.
bool item_installed_here(const product_item* item, windows_kind windows);
// The row of this kind of Windows' layout library in the system folder.
const product_item* system_library_item(windows_kind windows);
