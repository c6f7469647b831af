// The fixed names and texts of the one layout that both programs install and
// remove. There is no configuration: everything here is a constant.
#pragma once

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
