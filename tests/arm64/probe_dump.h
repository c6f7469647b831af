// The file that layout_probe writes in the ARM64 process: a loaded layout
// library's headers and sections as that process sees them, and the address
// that its KbdLayerDescriptor returned.
#pragma once
#include <stdint.h>
#include <string>
#include <vector>

#include "tools/pecheck/pe_file.h"

struct probe_range {
    uint64_t address;
    std::vector<uint8_t> bytes;
};

struct probe_dump {
    uint64_t base;           // where the module was loaded the second time
    uint64_t first_base;     // where it was loaded first (then reserved)
    uint64_t returned;       // KbdLayerDescriptor's result
    std::vector<probe_range> ranges;
};

// Parses a dump file; false with the reason in *error.
bool read_probe_dump(const std::string& content, probe_dump* dump, std::string* error);
// The dump's bytes, in the layout_probe format.
std::string write_probe_dump(const probe_dump& dump);
// Copies size bytes at a run-time address; false when they are not inside one range.
bool read_probe_memory(const probe_dump& dump, uint64_t address, void* out, size_t size);
// What a loader makes of the library file at base: headers and sections with
// every DIR64 relocation applied, except the one with index skip (-1: none).
// The descriptor's result is the file's tables address moved to base.
probe_dump load_like_windows(const pe_file& pe, uint64_t base, uint64_t tables_address, int skip);
