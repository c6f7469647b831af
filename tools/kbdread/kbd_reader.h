// Reads a layout library's tables back from an image, following its own
// pointers: from a file on the host (all four builds) or from a loaded module
// under Wine. The pointer width is the reader's, not the host's.
#pragma once
#include <stdint.h>
#include <string>
#include <vector>

struct memory_view {
    // Copies size bytes at a virtual address; false when they are not in the image.
    bool (*read)(const void* context, uint64_t address, void* out, size_t size);
    const void* context;
    int pointer_size;          // 4, or 8 for x64, ARM64 and the 32-bit build with long pointers
    bool narrow_addresses;     // every address must fit into 32 bits (upper halves zero)
    // Called with the address of every non-null pointer field, so that a file
    // check can require a relocation there; may be null.
    void (*on_pointer)(const void* context, uint64_t field_address);
};

struct kbd_row {
    uint8_t vk;
    uint8_t attributes;
    std::vector<uint16_t> wch;
};

struct kbd_char_table {
    int modifications;
    int row_size;
    std::vector<kbd_row> rows;
};

struct kbd_dead {
    uint32_t both;       // base character in the low word, accent in the high word
    uint16_t composed;
    uint16_t flags;
};

struct kbd_name {
    int scan;
    std::u16string name;
};

struct kbd_scan_vk {
    int scan;
    int vk;              // with the flags in the high byte
};

struct kbd_tables {
    std::vector<kbd_scan_vk> vk_to_bits;     // virtual key, modifier bit
    int max_mod_bits;
    std::vector<int> mod_numbers;
    std::vector<kbd_char_table> char_tables;
    std::vector<kbd_dead> dead_keys;
    std::vector<kbd_name> key_names;
    std::vector<kbd_name> key_names_ext;
    std::vector<std::u16string> dead_names;
    std::vector<uint16_t> scan_to_vk;
    std::vector<kbd_scan_vk> e0;
    std::vector<kbd_scan_vk> e1;
    uint32_t locale_flags;
    int ligature_max;
    int ligature_entry_size;
    uint64_t ligature;
    uint32_t type;
    uint32_t subtype;
};

// Reads the KBDTABLES at address. Every fault found is appended to *faults
// (the result is false when there are any).
bool read_kbd_tables(const memory_view& view, uint64_t address, kbd_tables* tables,
                     std::vector<std::string>* faults);
