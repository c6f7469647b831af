// Reading and writing layout_probe's dump, and the host's own loader that
// makes one from a library file (for the checker's tests).
#include "tests/arm64/probe_dump.h"

#include <string.h>

namespace {

const char magic[] = "QFKBDMP1";

struct cursor {
    const std::string& content;
    size_t at;
};

bool take(cursor* c, void* out, size_t size)
{
    if (c->content.size() - c->at < size) return false;
    memcpy(out, c->content.data() + c->at, size);
    c->at += size;
    return true;
}

uint64_t little(const uint8_t* p, int size)
{
    uint64_t value = 0;
    for (int i = size - 1; i >= 0; i--) value = value << 8 | p[i];
    return value;
}

void append(std::string* out, uint64_t value, int size)
{
    for (int i = 0; i < size; i++) out->push_back((char)(value >> (8 * i)));
}

}  // namespace

bool read_probe_dump(const std::string& content, probe_dump* dump, std::string* error)
{
    cursor c = {content, 0};
    char head[8];
    uint8_t fields[28];
    if (!take(&c, head, 8) || memcmp(head, magic, 8) != 0 || !take(&c, fields, sizeof fields)) {
        *error = "not a layout_probe dump";
        return false;
    }
    dump->base = little(fields, 8);
    dump->first_base = little(fields + 8, 8);
    dump->returned = little(fields + 16, 8);
    uint32_t count = (uint32_t)little(fields + 24, 4);
    dump->ranges.clear();
    for (uint32_t i = 0; i < count; i++) {
        uint8_t range_head[12];
        if (!take(&c, range_head, sizeof range_head)) {
            *error = "dump ends inside range " + std::to_string(i);
            return false;
        }
        probe_range range;
        range.address = little(range_head, 8);
        range.bytes.resize((size_t)little(range_head + 8, 4));
        if (!take(&c, range.bytes.data(), range.bytes.size())) {
            *error = "dump ends inside range " + std::to_string(i);
            return false;
        }
        dump->ranges.push_back(std::move(range));
    }
    if (c.at != content.size()) {
        *error = "dump has bytes after its last range";
        return false;
    }
    return true;
}

std::string write_probe_dump(const probe_dump& dump)
{
    std::string out(magic, 8);
    append(&out, dump.base, 8);
    append(&out, dump.first_base, 8);
    append(&out, dump.returned, 8);
    append(&out, dump.ranges.size(), 4);
    for (const probe_range& range : dump.ranges) {
        append(&out, range.address, 8);
        append(&out, range.bytes.size(), 4);
        out.append((const char*)range.bytes.data(), range.bytes.size());
    }
    return out;
}

bool read_probe_memory(const probe_dump& dump, uint64_t address, void* out, size_t size)
{
    for (const probe_range& range : dump.ranges)
        if (address >= range.address && address - range.address <= range.bytes.size() &&
            range.bytes.size() - (address - range.address) >= size) {
            memcpy(out, range.bytes.data() + (address - range.address), size);
            return true;
        }
    return false;
}

probe_dump load_like_windows(const pe_file& pe, uint64_t base, uint64_t tables_address, int skip)
{
    probe_dump dump = {base, pe.image_base, tables_address - pe.image_base + base, {}};
    uint32_t header_size = pe.sections.empty() ? 0 : pe.sections[0].raw_offset;
    if (header_size > pe.bytes.size()) header_size = (uint32_t)pe.bytes.size();
    dump.ranges.push_back({base, std::vector<uint8_t>(pe.bytes.begin(), pe.bytes.begin() + header_size)});
    for (const pe_section& section : pe.sections) {
        probe_range range = {base + section.virtual_address, std::vector<uint8_t>(section.virtual_size)};
        read_rva(pe, section.virtual_address, range.bytes.data(), range.bytes.size());
        dump.ranges.push_back(std::move(range));
    }
    int index = 0;
    for (const auto& relocation : pe.relocations) {
        if (relocation.second != 10 || index++ == skip) continue;
        uint8_t field[8];
        uint64_t address = base + relocation.first;
        if (!read_probe_memory(dump, address, field, 8)) continue;
        uint64_t value = little(field, 8) - pe.image_base + base;
        for (probe_range& range : dump.ranges)
            if (address >= range.address && address - range.address + 8 <= range.bytes.size())
                for (int i = 0; i < 8; i++) range.bytes[address - range.address + i] = (uint8_t)(value >> (8 * i));
    }
    return dump;
}
