// pecheck <library> <x86|x64|wow64|arm64> [layout source]: checks a built
// layout library as Windows will load it, and compares its tables with the
// source (and its key names with the ones German Windows shows).
// The two 32-bit libraries can only be checked this way on a 64-bit host.
#include <stdio.h>
#include <string.h>

#include "tools/kbdread/kbd_compare.h"
#include "tools/kbdread/kbd_reader.h"
#include "tools/pecheck/descriptor_code.h"
#include "tools/pecheck/pe_file.h"

namespace {

// What each kind of library is: its machine, PE32 or PE32+, the width of the
// table pointers, the type of their base relocations.
struct library_kind {
    const char* name;
    uint16_t machine;
    uint16_t magic;
    int pointer_size;
    int relocation_type;    // 3 HIGHLOW, 10 DIR64
    bool edx_high;          // KbdLayerDescriptor returns a 64-bit value in EDX:EAX
};

const library_kind kinds[] = {
    {"x86", 0x14C, 0x10B, 4, 3, false},
    {"x64", 0x8664, 0x20B, 8, 10, false},
    {"wow64", 0x14C, 0x10B, 8, 3, true},
    {"arm64", 0xAA64, 0x20B, 8, 10, false},
};

struct file_view {
    const pe_file* pe;
    int relocation_type;
    std::vector<std::string>* faults;
};

bool read_file_view(const void* context, uint64_t address, void* out, size_t size)
{
    const file_view* view = (const file_view*)context;
    if (address < view->pe->image_base || address - view->pe->image_base > 0xFFFFFFFFu) return false;
    return read_rva(*view->pe, (uint32_t)(address - view->pe->image_base), out, size);
}

// Windows may load the library at another base: every pointer in the tables
// needs a relocation of the pointer's width.
void check_pointer_relocation(const void* context, uint64_t field_address)
{
    const file_view* view = (const file_view*)context;
    uint32_t rva = (uint32_t)(field_address - view->pe->image_base);
    auto found = view->pe->relocations.find(rva);
    if (found == view->pe->relocations.end() || found->second != view->relocation_type) {
        char text[96];
        snprintf(text, sizeof text, "pointer field at RVA %X has no type %d relocation", rva, view->relocation_type);
        view->faults->push_back(text);
    }
}

// Time stamps are checked for our own build only (with_source): it is
// reproducible, while libraries made elsewhere may carry their link time.
void check_headers(const pe_file& pe, const library_kind& kind, bool with_source,
                   std::vector<std::string>* faults)
{
    if (pe.machine != kind.machine) faults->push_back("wrong machine type");
    if (pe.magic != kind.magic) faults->push_back("wrong optional header (PE32/PE32+)");
    if (!(pe.characteristics & 0x2000)) faults->push_back("not marked as a DLL");
    if (with_source && pe.time_stamp != 0) faults->push_back("the header carries a time stamp");
    if (pe.entry_point != 0) faults->push_back("has an entry point");
    if (pe.directory_rva[1] || pe.directory_size[1]) faults->push_back("has an import directory");
    if (pe.directory_rva[12] || pe.directory_rva[13]) faults->push_back("has an import address or delay-import table");
    if (pe.directory_rva[6]) faults->push_back("has a debug directory");
    if (pe.exports.size() != 1 || pe.exports[0].name != "KbdLayerDescriptor" || pe.exports[0].ordinal != 1)
        faults->push_back("exports are not exactly KbdLayerDescriptor at ordinal 1");
    if (with_source && pe.export_time_stamp != 0) faults->push_back("the export directory carries a time stamp");
    if (pe.relocations.empty()) faults->push_back("has no base relocations");
    for (const auto& relocation : pe.relocations)
        if (relocation.second != kind.relocation_type) {
            faults->push_back("relocation of an unexpected type " + std::to_string(relocation.second));
            break;
        }
    if (!pe.has_version) faults->push_back("has no version resource");
    else if (pe.file_type != 2 || pe.file_subtype != 2)
        faults->push_back("version resource: file type " + std::to_string(pe.file_type) + ", subtype " +
                          std::to_string(pe.file_subtype) + "; expected 2 (DLL), 2 (keyboard driver)");
    if (with_source && pe.resource_time_stamp != 0) faults->push_back("the resource directory carries a time stamp");
}

}  // namespace

int main(int argc, char** argv)
{
    const library_kind* kind = nullptr;
    for (const library_kind& known : kinds)
        if (argc >= 3 && strcmp(argv[2], known.name) == 0) kind = &known;
    if (argc < 3 || argc > 4 || !kind) {
        fprintf(stderr, "usage: pecheck <library> <x86|x64|wow64|arm64> [layout source]\n");
        return 2;
    }
    pe_file pe;
    std::string error;
    if (!load_pe_file(argv[1], &pe, &error)) {
        fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 1;
    }
    std::vector<std::string> faults;
    check_headers(pe, *kind, argc == 4, &faults);
    uint64_t tables_address = 0;
    kbd_tables tables;
    if (pe.exports.size() == 1 && pe.machine != kind->machine) {
        faults.push_back("KbdLayerDescriptor: code of another machine, not decoded");
    } else if (pe.exports.size() == 1 &&
               !run_descriptor(pe, pe.exports[0].rva, kind->edx_high, &tables_address, &error)) {
        faults.push_back("KbdLayerDescriptor: " + error);
    } else if (pe.exports.size() == 1) {
        file_view context = {&pe, kind->relocation_type, &faults};
        memory_view view = {read_file_view, &context, kind->pointer_size, kind->magic == 0x10B,
                            check_pointer_relocation};
        read_kbd_tables(view, tables_address, &tables, &faults);
        if (argc == 4) {
            layout_source layout;
            if (!load_layout(argv[3], &layout, &error)) faults.push_back(error);
            else compare_with_source(tables, layout, &faults);
            check_german_key_names(tables, &faults);
        }
    }
    for (const std::string& fault : faults) printf("%s: %s\n", argv[1], fault.c_str());
    if (!faults.empty()) return 1;
    size_t rows = 0;
    for (const kbd_char_table& table : tables.char_tables) rows += table.rows.size();
    printf("%s: %s library, %zu bytes, %zu character rows, %zu compositions, %zu scan codes, "
           "%zu + %zu + %zu key names: all checks passed\n",
           argv[1], argv[2], pe.bytes.size(), rows, tables.dead_keys.size(), tables.scan_to_vk.size(),
           tables.key_names.size(), tables.key_names_ext.size(), tables.dead_names.size());
    return 0;
}
