// A PE image file as the host reads it: headers, sections, data directories,
// the export list, the base relocations and the version block.
#pragma once
#include <stdint.h>
#include <map>
#include <string>
#include <vector>

struct pe_section {
    std::string name;
    uint32_t virtual_address;
    uint32_t virtual_size;
    uint32_t raw_offset;
    uint32_t raw_size;
};

struct pe_export {
    std::string name;    // empty for an export by ordinal only
    uint32_t ordinal;
    uint32_t rva;
};

struct pe_file {
    std::vector<uint8_t> bytes;
    uint16_t machine;
    uint16_t characteristics;
    uint32_t time_stamp;
    uint16_t magic;                 // 0x10B (PE32) or 0x20B (PE32+)
    uint32_t entry_point;
    uint64_t image_base;
    uint32_t directory_rva[16];
    uint32_t directory_size[16];
    std::vector<pe_section> sections;
    uint32_t export_time_stamp;
    std::vector<pe_export> exports;
    std::map<uint32_t, int> relocations;    // RVA -> relocation type
    uint32_t resource_time_stamp;
    bool has_version;
    uint32_t file_type;
    uint32_t file_subtype;
};

// Reads and parses a file; false with the reason in *error.
bool load_pe_file(const char* path, pe_file* pe, std::string* error);
// Copies size bytes at an RVA of the loaded image (zero-filled past a
// section's raw data); false when the range is not inside one section.
bool read_rva(const pe_file& pe, uint32_t rva, void* out, size_t size);
// The file offset of an RVA's byte; false when it lies outside every
// section's raw data.
bool rva_file_offset(const pe_file& pe, uint32_t rva, size_t* offset);
