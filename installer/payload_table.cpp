// The payload table: which resource becomes which file, and the time it carries.
// FileTimeToSystemTime of each value gives the UTC time noted beside it.
#include "installer/payload.h"

#include "installer/product.h"

// FILETIME holds the low half first.
const payload_file payload_table[payload_row_count] = {
    // 2019-09-17 05:14:23.2047115
    {"Datei1_name", "Datei1_type", library_file_name, {0xC4941E0B, 0x01D56D16}},
    // 2019-09-24 05:53:33.7117043
    {"Datei2_name", "Datei2_type", library_file_name, {0x667B4573, 0x01D5729C}},
    // 2019-09-24 05:53:30.4449882
    {"Datei3_name", "Datei3_type", library_file_name, {0x6488CF5A, 0x01D5729C}},
    // 2019-09-22 13:32:26.4431852
    {"Datei4_name", "Datei4_type", chart_file_name, {0x2C7130EC, 0x01D5714A}},
    // 2019-09-22 11:44:13.0043790
    {"Datei5_name", "Datei5_type", icon_file_name, {0x0E0D0F8E, 0x01D5713B}},
    // 2019-09-24 21:48:44.0800953
    {"Datei6_name", "Datei6_type", uninstaller_file_name, {0xD61F7EB9, 0x01D57321}},
};
