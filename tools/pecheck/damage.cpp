// pedamage <ARM64 library> <relocation|table-address|instruction> <output>:
// writes a copy of a good ARM64 layout library with one deliberate fault, for
// the tests that show pecheck refusing it:
//   relocation     the first base relocation becomes a padding entry (type 0),
//                  so the loader leaves that table pointer unrelocated;
//   table-address  the add of KbdLayerDescriptor points 8 bytes past the tables;
//   instruction    that add becomes a nop.
#include <stdio.h>
#include <string.h>

#include "tools/common_io.h"
#include "tools/pecheck/pe_file.h"

namespace {

uint32_t word_at(const std::vector<uint8_t>& b, size_t at)
{
    return (uint32_t)b[at] | (uint32_t)b[at + 1] << 8 | (uint32_t)b[at + 2] << 16 |
           (uint32_t)b[at + 3] << 24;
}

void put_word(std::vector<uint8_t>* b, size_t at, uint32_t word)
{
    for (int i = 0; i < 4; ++i)
        (*b)[at + i] = (uint8_t)(word >> 8 * i);
}

// The first relocation entry that is not padding: its type nibble set to 0.
bool break_relocation(pe_file* pe, std::string* error)
{
    uint32_t block = pe->directory_rva[5];
    size_t at = 0;
    if (!block || !rva_file_offset(*pe, block, &at) || at + 8 > pe->bytes.size()) {
        *error = "no base relocations";
        return false;
    }
    uint32_t size = word_at(pe->bytes, at + 4);
    for (uint32_t i = 8; i + 2 <= size && at + i + 2 <= pe->bytes.size(); i += 2)
        if (pe->bytes[at + i + 1] >> 4) {
            pe->bytes[at + i + 1] &= 0x0F;
            return true;
        }
    *error = "the first relocation block holds no relocation";
    return false;
}

// The add (immediate) among KbdLayerDescriptor's first instructions.
bool find_add(const pe_file& pe, size_t* at, std::string* error)
{
    if (pe.machine != 0xAA64 || pe.exports.size() != 1) {
        *error = "not an ARM64 library with one export";
        return false;
    }
    for (uint32_t step = 0; step < 8; ++step) {
        size_t offset = 0;
        if (!rva_file_offset(pe, pe.exports[0].rva + 4 * step, &offset) ||
            offset + 4 > pe.bytes.size())
            break;
        if ((word_at(pe.bytes, offset) & 0xFF800000) == 0x91000000) {
            *at = offset;
            return true;
        }
    }
    *error = "KbdLayerDescriptor has no add";
    return false;
}

}   // namespace

int main(int argc, char** argv)
{
    if (!arguments_fit(argc, 3, 3,
                       "pedamage <ARM64 library> <relocation|table-address|instruction> <output>"))
        return 2;
    pe_file pe;
    std::string error;
    size_t add = 0;
    bool done = false;
    if (!load_pe_file(argv[1], &pe, &error)) {
        fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 1;
    }
    if (strcmp(argv[2], "relocation") == 0) {
        done = break_relocation(&pe, &error);
    } else if (strcmp(argv[2], "table-address") == 0) {
        if (find_add(pe, &add, &error)) {
            uint32_t word = word_at(pe.bytes, add), imm = (word >> 10 & 0xFFF) + 8;
            if (imm > 0xFFF)
                error = "the add's offset has no room for 8 more";
            else
                put_word(&pe.bytes, add, (word & ~(0xFFFu << 10)) | imm << 10), done = true;
        }
    } else if (strcmp(argv[2], "instruction") == 0) {
        if (find_add(pe, &add, &error))
            put_word(&pe.bytes, add, 0xD503201F), done = true;
    } else {
        error = std::string("unknown damage ") + argv[2];
    }
    if (!done) {
        fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 1;
    }
    return write_whole_file(argv[3], pe.bytes.data(), pe.bytes.size()) ? 0 : 1;
}
