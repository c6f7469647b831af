// The six files that the installer carries as resources of its own program
// file, and the one way of writing such a file to disk.
#pragma once
#include <windows.h>

struct payload_file {
    const char* resource_name;   // asked for as "Datei1_name"; stored upper case
    const char* resource_type;
    const char* file_name;       // name of the written file
    FILETIME modified;           // becomes the written file's last-write time
};

enum payload_row {
    payload_library_x86,      // DATEI1: system folder of 32-bit Windows
    payload_library_x64,      // DATEI2: native system folder of 64-bit Windows
    payload_library_wow64,    // DATEI3: 32-bit system folder of 64-bit Windows
    payload_chart,            // DATEI4
    payload_icon,             // DATEI5
    payload_uninstaller,      // DATEI6
    payload_row_count
};

extern const payload_file payload_table[payload_row_count];

// Writes the row's resource into folder under the row's file name with the
// row's stored time; extract_resource shows its own failures.
bool extract_payload(payload_row row, const char* folder);
