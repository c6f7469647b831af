// kbddump_check <dump> <library> <layout source>: checks what layout_probe saw
// of the ARM64 layout library in a real ARM64 process. The module must have
// been moved away from its preferred base; its headers and sections must be
// the file's with every DIR64 relocation applied; the tables behind the
// address that KbdLayerDescriptor returned, followed through the run-time
// pointers, must match the layout source and German Windows' key names.
//
// kbddump_check --load <library> <base|preferred> [relocation to skip] <dump>: makes the
// dump that a loader would at base (skipping one relocation makes a broken
// one), for the checker's own tests.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "tests/arm64/probe_dump.h"
#include "tools/common_io.h"
#include "tools/kbdread/kbd_compare.h"
#include "tools/kbdread/kbd_reader.h"
#include "tools/pecheck/descriptor_code.h"

namespace {

const int dir64 = 10;

struct dump_view {
    const probe_dump* dump;
    const pe_file* pe;
    std::vector<std::string>* faults;
};

bool read_dump_view(const void* context, uint64_t address, void* out, size_t size)
{
    return read_probe_memory(*((const dump_view*)context)->dump, address, out, size);
}

void check_pointer_relocation(const void* context, uint64_t field_address)
{
    const dump_view* view = (const dump_view*)context;
    uint64_t rva = field_address - view->dump->base;
    auto found = view->pe->relocations.find((uint32_t)rva);
    if (rva > 0xFFFFFFFFu || found == view->pe->relocations.end() || found->second != dir64) {
        char text[96];
        snprintf(text, sizeof text, "pointer field at RVA %llX has no DIR64 relocation", (unsigned long long)rva);
        view->faults->push_back(text);
    }
}

uint64_t little64(const uint8_t* p)
{
    uint64_t value = 0;
    for (int i = 7; i >= 0; i--) value = value << 8 | p[i];
    return value;
}

// Every section as the file has it, moved to the run-time base: the bytes of
// a relocated field hold the file's value plus the distance moved.
void compare_sections(const probe_dump& dump, const pe_file& pe, std::vector<std::string>* faults)
{
    if (dump.ranges.size() != pe.sections.size() + 1) {
        faults->push_back("the dump has " + std::to_string(dump.ranges.size()) + " ranges; the file " +
                          std::to_string(pe.sections.size()) + " sections and the headers");
        return;
    }
    uint64_t delta = dump.base - pe.image_base;
    for (size_t i = 0; i < pe.sections.size(); i++) {
        const pe_section& section = pe.sections[i];
        const probe_range& range = dump.ranges[i + 1];
        if (range.address != dump.base + section.virtual_address || range.bytes.size() != section.virtual_size) {
            faults->push_back("section " + section.name + " is not where its header puts it");
            continue;
        }
        std::vector<uint8_t> expected(section.virtual_size);
        read_rva(pe, section.virtual_address, expected.data(), expected.size());
        for (const auto& relocation : pe.relocations) {
            uint64_t offset = (uint64_t)relocation.first - section.virtual_address;
            if (relocation.first < section.virtual_address || offset + 8 > expected.size()) continue;
            uint64_t value = little64(&expected[offset]) + delta;
            for (int b = 0; b < 8; b++) expected[offset + b] = (uint8_t)(value >> (8 * b));
        }
        for (size_t at = 0; at < expected.size(); at++)
            if (expected[at] != range.bytes[at]) {
                char text[128];
                snprintf(text, sizeof text, "section %s differs from the relocated file at RVA %zX",
                         section.name.c_str(), section.virtual_address + at);
                faults->push_back(text);
                break;
            }
    }
}

int make_dump(int argc, char** argv)
{
    if (!arguments_fit(argc, 4, 5, "kbddump_check --load <library> <base|preferred> [relocation to skip] <dump>")) return 2;
    pe_file pe;
    std::string error;
    uint64_t tables_address = 0;
    if (!load_pe_file(argv[2], &pe, &error) || pe.exports.size() != 1 ||
        !run_descriptor(pe, pe.exports[0].rva, false, &tables_address, &error)) {
        fprintf(stderr, "%s: %s\n", argv[2], error.empty() ? "no single export" : error.c_str());
        return 1;
    }
    int skip = argc == 6 ? atoi(argv[4]) : -1;
    uint64_t base = strcmp(argv[3], "preferred") == 0 ? pe.image_base : strtoull(argv[3], nullptr, 0);
    std::string out = write_probe_dump(load_like_windows(pe, base, tables_address, skip));
    return write_whole_file(argv[argc - 1], out.data(), out.size()) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && strcmp(argv[1], "--load") == 0) return make_dump(argc, argv);
    if (!arguments_fit(argc, 3, 3, "kbddump_check <dump> <library> <layout source>")) return 2;
    std::string content, error;
    probe_dump dump;
    pe_file pe;
    layout_source layout;
    if (!read_whole_file(argv[1], &content)) error = "cannot be read";
    else if (!read_probe_dump(content, &dump, &error)) {}
    if (!error.empty()) {
        fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 1;
    }
    if (!load_pe_file(argv[2], &pe, &error) || !load_layout(argv[3], &layout, &error)) {
        fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::vector<std::string> faults;
    if (pe.machine != 0xAA64) faults.push_back("the library is not an ARM64 one");
    if (dump.base == pe.image_base) faults.push_back("the module was not moved, so no relocation was applied");
    compare_sections(dump, pe, &faults);
    kbd_tables tables;
    dump_view context = {&dump, &pe, &faults};
    memory_view view = {read_dump_view, &context, 8, false, check_pointer_relocation};
    if (read_kbd_tables(view, dump.returned, &tables, &faults)) {
        compare_with_source(tables, layout, &faults);
        check_german_key_names(tables, &faults);
    }
    for (const std::string& fault : faults) printf("%s: %s\n", argv[1], fault.c_str());
    if (!faults.empty()) return 1;
    size_t rows = 0;
    for (const kbd_char_table& table : tables.char_tables) rows += table.rows.size();
    printf("%s: loaded at %llX (file base %llX, first load at %llX), tables at %llX: %zu character rows, "
           "%zu compositions, %zu scan codes, %zu + %zu + %zu key names: all checks passed\n",
           argv[1], (unsigned long long)dump.base, (unsigned long long)pe.image_base,
           (unsigned long long)dump.first_base, (unsigned long long)dump.returned, rows, tables.dead_keys.size(),
           tables.scan_to_vk.size(), tables.key_names.size(), tables.key_names_ext.size(),
           tables.dead_names.size());
    return 0;
}
