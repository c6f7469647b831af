// PE parsing from the documented format (DOS stub, COFF header, optional
// header, section table, export/relocation/resource directories).
#include "tools/pecheck/pe_file.h"

#include <string.h>

#include "tools/common_io.h"

namespace {

uint32_t u16_at(const std::vector<uint8_t>& b, size_t at) { return at + 2 <= b.size() ? b[at] | b[at + 1] << 8 : 0; }

uint32_t u32_at(const std::vector<uint8_t>& b, size_t at)
{
    return at + 4 <= b.size() ? (uint32_t)b[at] | (uint32_t)b[at + 1] << 8 | (uint32_t)b[at + 2] << 16 |
                                    (uint32_t)b[at + 3] << 24
                              : 0;
}

uint32_t rva_u32(const pe_file& pe, uint32_t rva)
{
    uint8_t b[4] = {0};
    read_rva(pe, rva, b, 4);
    return (uint32_t)b[0] | (uint32_t)b[1] << 8 | (uint32_t)b[2] << 16 | (uint32_t)b[3] << 24;
}

uint32_t rva_u16(const pe_file& pe, uint32_t rva)
{
    uint8_t b[2] = {0};
    read_rva(pe, rva, b, 2);
    return (uint32_t)(b[0] | b[1] << 8);
}

std::string rva_string(const pe_file& pe, uint32_t rva)
{
    std::string text;
    char ch = 0;
    while (text.size() < 256 && read_rva(pe, rva + (uint32_t)text.size(), &ch, 1) && ch) text += ch;
    return text;
}

void parse_exports(pe_file* pe)
{
    uint32_t dir = pe->directory_rva[0];
    if (!dir) return;
    pe->export_time_stamp = rva_u32(*pe, dir + 4);
    uint32_t base = rva_u32(*pe, dir + 16), functions = rva_u32(*pe, dir + 20), names = rva_u32(*pe, dir + 24);
    uint32_t address_table = rva_u32(*pe, dir + 28), name_table = rva_u32(*pe, dir + 32),
             ordinal_table = rva_u32(*pe, dir + 36);
    for (uint32_t i = 0; i < functions && i < 1024; ++i) {
        pe_export entry = {"", base + i, rva_u32(*pe, address_table + 4 * i)};
        for (uint32_t n = 0; n < names && n < 1024; ++n)
            if (rva_u16(*pe, ordinal_table + 2 * n) == i) entry.name = rva_string(*pe, rva_u32(*pe, name_table + 4 * n));
        pe->exports.push_back(entry);
    }
}

void parse_relocations(pe_file* pe)
{
    uint32_t at = pe->directory_rva[5], end = at + pe->directory_size[5];
    while (at + 8 <= end) {
        uint32_t page = rva_u32(*pe, at), size = rva_u32(*pe, at + 4);
        if (size < 8) break;
        for (uint32_t i = 8; i + 2 <= size; i += 2) {
            uint32_t entry = rva_u16(*pe, at + i);
            if (entry >> 12) pe->relocations[page + (entry & 0xFFF)] = (int)(entry >> 12);
        }
        at += size;
    }
}

// Resource tree: type 16 (RT_VERSION), its first name and language, then
// VS_VERSIONINFO with the VS_FIXEDFILEINFO behind its key "VS_VERSION_INFO".
void parse_version(pe_file* pe)
{
    uint32_t root = pe->directory_rva[2];
    if (!root) return;
    pe->resource_time_stamp = rva_u32(*pe, root + 4);
    uint32_t dir = root, id = 16;
    for (int level = 0; level < 3; ++level) {
        uint32_t count = rva_u16(*pe, dir + 12) + rva_u16(*pe, dir + 14);
        uint32_t next = 0;
        for (uint32_t i = 0; i < count && i < 64; ++i) {
            uint32_t name = rva_u32(*pe, dir + 16 + 8 * i), offset = rva_u32(*pe, dir + 20 + 8 * i);
            if (level > 0 || name == id) {
                next = offset;
                break;
            }
        }
        if (!next) return;
        if (level < 2) {
            if (!(next & 0x80000000)) return;
            dir = root + (next & 0x7FFFFFFF);
        } else {
            if (next & 0x80000000) return;
            dir = root + next;
        }
    }
    uint32_t data = rva_u32(*pe, dir), size = rva_u32(*pe, dir + 4);
    for (uint32_t at = data; at + 52 <= data + size; at += 4)
        if (rva_u32(*pe, at) == 0xFEEF04BD) {
            pe->has_version = true;
            pe->file_type = rva_u32(*pe, at + 36);
            pe->file_subtype = rva_u32(*pe, at + 40);
            return;
        }
}

}  // namespace

bool read_rva(const pe_file& pe, uint32_t rva, void* out, size_t size)
{
    for (const pe_section& section : pe.sections) {
        uint32_t extent = section.virtual_size > section.raw_size ? section.virtual_size : section.raw_size;
        if (rva < section.virtual_address || (uint64_t)rva + size > (uint64_t)section.virtual_address + extent)
            continue;
        uint8_t* dest = (uint8_t*)out;
        for (size_t i = 0; i < size; ++i) {
            uint32_t offset = rva - section.virtual_address + (uint32_t)i;
            size_t file_at = (size_t)section.raw_offset + offset;
            dest[i] = offset < section.raw_size && file_at < pe.bytes.size() ? pe.bytes[file_at] : 0;
        }
        return true;
    }
    return false;
}

bool rva_file_offset(const pe_file& pe, uint32_t rva, size_t* offset)
{
    for (const pe_section& section : pe.sections)
        if (rva >= section.virtual_address && rva - section.virtual_address < section.raw_size &&
            (size_t)section.raw_offset + (rva - section.virtual_address) < pe.bytes.size()) {
            *offset = (size_t)section.raw_offset + (rva - section.virtual_address);
            return true;
        }
    return false;
}

bool load_pe_file(const char* path, pe_file* pe, std::string* error)
{
    *pe = pe_file();
    std::string content;
    if (!read_whole_file(path, &content)) {
        *error = std::string("cannot open ") + path;
        return false;
    }
    pe->bytes.assign(content.begin(), content.end());
    const std::vector<uint8_t>& b = pe->bytes;
    if (b.size() < 64 || b[0] != 'M' || b[1] != 'Z') {
        *error = "no MZ header";
        return false;
    }
    size_t nt = u32_at(b, 60);
    if (nt + 24 > b.size() || u32_at(b, nt) != 0x00004550) {
        *error = "no PE signature";
        return false;
    }
    pe->machine = (uint16_t)u16_at(b, nt + 4);
    uint32_t section_count = u16_at(b, nt + 6);
    pe->time_stamp = u32_at(b, nt + 8);
    uint32_t optional_size = u16_at(b, nt + 20);
    pe->characteristics = (uint16_t)u16_at(b, nt + 22);
    size_t opt = nt + 24;
    pe->magic = (uint16_t)u16_at(b, opt);
    if (pe->magic != 0x10B && pe->magic != 0x20B) {
        *error = "unknown optional header";
        return false;
    }
    bool wide = pe->magic == 0x20B;
    pe->entry_point = u32_at(b, opt + 16);
    pe->image_base = wide ? (uint64_t)u32_at(b, opt + 24) | (uint64_t)u32_at(b, opt + 28) << 32 : u32_at(b, opt + 28);
    size_t dirs = opt + (wide ? 112 : 96);
    uint32_t dir_count = u32_at(b, dirs - 4);
    for (uint32_t i = 0; i < 16 && i < dir_count; ++i) {
        pe->directory_rva[i] = u32_at(b, dirs + 8 * i);
        pe->directory_size[i] = u32_at(b, dirs + 8 * i + 4);
    }
    size_t table = opt + optional_size;
    if (table + 40 * (size_t)section_count > b.size()) {
        *error = "section table outside the file";
        return false;
    }
    for (uint32_t i = 0; i < section_count; ++i) {
        size_t at = table + 40 * i;
        pe_section section;
        section.name.assign((const char*)&b[at], strnlen((const char*)&b[at], 8));
        section.virtual_size = u32_at(b, at + 8);
        section.virtual_address = u32_at(b, at + 12);
        section.raw_size = u32_at(b, at + 16);
        section.raw_offset = u32_at(b, at + 20);
        pe->sections.push_back(section);
    }
    parse_exports(pe);
    parse_relocations(pe);
    parse_version(pe);
    return true;
}
