// Walker of the keyboard tables: computes the documented field offsets for the
// view's pointer width and reads every list up to its terminating entry.
#include "tools/kbdread/kbd_reader.h"

#include <stdio.h>
#include <string.h>

namespace {

// Bounds that no sound layout comes near; they keep a broken image from
// sending the walk through the whole file.
const int max_list = 1024;
const int max_name = 256;

struct walker {
    const memory_view& view;
    std::vector<std::string>* faults;
};

std::string hex(uint64_t value)
{
    char text[24];
    snprintf(text, sizeof text, "0x%llX", (unsigned long long)value);
    return text;
}

void fault(walker& w, const std::string& what)
{
    w.faults->push_back(what);
}

bool read_bytes(walker& w, uint64_t address, void* out, size_t size, const char* what)
{
    if (w.view.read(w.view.context, address, out, size)) return true;
    fault(w, std::string(what) + ": " + std::to_string(size) + " bytes at " + hex(address) +
                 " are outside the image");
    return false;
}

bool read_u8(walker& w, uint64_t address, int* value, const char* what)
{
    uint8_t byte = 0;
    if (!read_bytes(w, address, &byte, 1, what)) return false;
    *value = byte;
    return true;
}

bool read_u16(walker& w, uint64_t address, uint16_t* value, const char* what)
{
    uint8_t bytes[2];
    if (!read_bytes(w, address, bytes, 2, what)) return false;
    *value = (uint16_t)(bytes[0] | bytes[1] << 8);
    return true;
}

bool read_u32(walker& w, uint64_t address, uint32_t* value, const char* what)
{
    uint8_t bytes[4];
    if (!read_bytes(w, address, bytes, 4, what)) return false;
    *value = (uint32_t)bytes[0] | (uint32_t)bytes[1] << 8 | (uint32_t)bytes[2] << 16 |
             (uint32_t)bytes[3] << 24;
    return true;
}

// A pointer field: aligned to its width, and with its upper half zero where
// the view's addresses are 32-bit ones.
bool read_pointer(walker& w, uint64_t address, uint64_t* value, const char* what)
{
    int size = w.view.pointer_size;
    if (address % (uint64_t)size != 0)
        fault(w, std::string(what) + ": pointer field at " + hex(address) + " is not " +
                     std::to_string(size) + "-aligned");
    uint8_t bytes[8] = {0};
    if (!read_bytes(w, address, bytes, (size_t)size, what)) return false;
    *value = 0;
    for (int i = size - 1; i >= 0; --i) *value = *value << 8 | bytes[i];
    if (w.view.narrow_addresses && (*value >> 32) != 0) {
        fault(w, std::string(what) + ": pointer " + hex(*value) + " has a non-zero upper half");
        return false;
    }
    if (*value != 0 && w.view.on_pointer) w.view.on_pointer(w.view.context, address);
    return true;
}

bool read_string(walker& w, uint64_t address, std::u16string* text, const char* what)
{
    text->clear();
    for (int i = 0; i < max_name; ++i) {
        uint16_t ch = 0;
        if (!read_u16(w, address + 2 * (uint64_t)i, &ch, what)) return false;
        if (ch == 0) return true;
        *text += (char16_t)ch;
    }
    fault(w, std::string(what) + ": text at " + hex(address) + " has no end");
    return false;
}

void read_modifiers(walker& w, uint64_t address, kbd_tables* tables)
{
    uint64_t p = (uint64_t)w.view.pointer_size;
    uint64_t bits = 0;
    uint16_t max_bits = 0;
    if (!read_pointer(w, address, &bits, "MODIFIERS.pVkToBit") ||
        !read_u16(w, address + p, &max_bits, "MODIFIERS.wMaxModBits"))
        return;
    tables->max_mod_bits = max_bits;
    if (max_bits > 0xFF) {
        fault(w, "MODIFIERS.wMaxModBits " + std::to_string(max_bits) + " is out of range");
        return;
    }
    for (int i = 0; i <= max_bits; ++i) {
        int number = 0;
        if (!read_u8(w, address + p + 2 + (uint64_t)i, &number, "MODIFIERS.ModNumber")) return;
        tables->mod_numbers.push_back(number);
    }
    if (bits == 0) {
        fault(w, "MODIFIERS.pVkToBit is null");
        return;
    }
    for (int i = 0; i < max_list; ++i) {
        int vk = 0, bit = 0;
        if (!read_u8(w, bits + 2 * (uint64_t)i, &vk, "VK_TO_BIT") ||
            !read_u8(w, bits + 2 * (uint64_t)i + 1, &bit, "VK_TO_BIT"))
            return;
        if (vk == 0) return;
        tables->vk_to_bits.push_back({vk, bit});
    }
    fault(w, "VK_TO_BIT list has no end");
}

void read_char_tables(walker& w, uint64_t address, kbd_tables* tables)
{
    uint64_t entry_size = 2 * (uint64_t)w.view.pointer_size;
    for (int t = 0; t < 64; ++t) {
        uint64_t entry = address + (uint64_t)t * entry_size;
        uint64_t rows = 0;
        kbd_char_table table;
        if (!read_pointer(w, entry, &rows, "VK_TO_WCHAR_TABLE.pVkToWchars") ||
            !read_u8(w, entry + w.view.pointer_size, &table.modifications, "VK_TO_WCHAR_TABLE") ||
            !read_u8(w, entry + w.view.pointer_size + 1, &table.row_size, "VK_TO_WCHAR_TABLE"))
            return;
        if (rows == 0) return;
        if (table.row_size != 2 + 2 * table.modifications) {
            fault(w, "VK_TO_WCHAR_TABLE " + std::to_string(t) + ": cbSize " +
                         std::to_string(table.row_size) + " does not fit " +
                         std::to_string(table.modifications) + " columns");
            return;
        }
        bool ended = false;
        for (int r = 0; r < max_list && !ended; ++r) {
            uint64_t at = rows + (uint64_t)r * (uint64_t)table.row_size;
            kbd_row row;
            int vk = 0, attributes = 0;
            if (!read_u8(w, at, &vk, "VK_TO_WCHARS") || !read_u8(w, at + 1, &attributes, "VK_TO_WCHARS"))
                return;
            if (vk == 0) {
                ended = true;
                break;
            }
            row.vk = (uint8_t)vk;
            row.attributes = (uint8_t)attributes;
            for (int c = 0; c < table.modifications; ++c) {
                uint16_t ch = 0;
                if (!read_u16(w, at + 2 + 2 * (uint64_t)c, &ch, "VK_TO_WCHARS")) return;
                row.wch.push_back(ch);
            }
            table.rows.push_back(row);
        }
        if (!ended) {
            fault(w, "VK_TO_WCHARS table " + std::to_string(t) + " has no end");
            return;
        }
        tables->char_tables.push_back(table);
    }
    fault(w, "VK_TO_WCHAR_TABLE list has no end");
}

void read_dead_keys(walker& w, uint64_t address, kbd_tables* tables)
{
    for (int i = 0; i < max_list; ++i) {
        kbd_dead dead;
        uint64_t at = address + 8 * (uint64_t)i;
        if (!read_u32(w, at, &dead.both, "DEADKEY") || !read_u16(w, at + 4, &dead.composed, "DEADKEY") ||
            !read_u16(w, at + 6, &dead.flags, "DEADKEY"))
            return;
        if (dead.both == 0) return;
        tables->dead_keys.push_back(dead);
    }
    fault(w, "DEADKEY list has no end");
}

void read_key_names(walker& w, uint64_t address, std::vector<kbd_name>* names, const char* what)
{
    uint64_t p = (uint64_t)w.view.pointer_size;
    for (int i = 0; i < max_list; ++i) {
        uint64_t at = address + 2 * p * (uint64_t)i;
        kbd_name name;
        uint64_t text = 0;
        if (!read_u8(w, at, &name.scan, what) || !read_pointer(w, at + p, &text, what)) return;
        if (name.scan == 0 && text == 0) return;
        if (text == 0 || !read_string(w, text, &name.name, what)) {
            if (text == 0) fault(w, std::string(what) + ": scan code " + std::to_string(name.scan) + " without a name");
            return;
        }
        names->push_back(name);
    }
    fault(w, std::string(what) + " list has no end");
}

void read_dead_names(walker& w, uint64_t address, kbd_tables* tables)
{
    for (int i = 0; i < max_list; ++i) {
        uint64_t text = 0;
        if (!read_pointer(w, address + (uint64_t)w.view.pointer_size * (uint64_t)i, &text, "pKeyNamesDead"))
            return;
        if (text == 0) return;
        std::u16string name;
        if (!read_string(w, text, &name, "pKeyNamesDead")) return;
        tables->dead_names.push_back(name);
    }
    fault(w, "pKeyNamesDead list has no end");
}

void read_scan_list(walker& w, uint64_t address, std::vector<kbd_scan_vk>* list, const char* what)
{
    for (int i = 0; i < max_list; ++i) {
        int scan = 0;
        uint16_t vk = 0;
        if (!read_u8(w, address + 4 * (uint64_t)i, &scan, what) ||
            !read_u16(w, address + 4 * (uint64_t)i + 2, &vk, what))
            return;
        if (scan == 0) return;
        list->push_back({scan, vk});
    }
    fault(w, std::string(what) + " list has no end");
}

}  // namespace

bool read_kbd_tables(const memory_view& view, uint64_t address, kbd_tables* tables,
                     std::vector<std::string>* faults)
{
    walker w = {view, faults};
    size_t faults_before = faults->size();
    *tables = kbd_tables();
    uint64_t p = (uint64_t)view.pointer_size;
    // KBDTABLES: seven pointers, bMaxVSCtoVK, the two prefixed scan lists,
    // fLocaleFlags, nLgMax and cbLgEntry, pLigature, dwType and dwSubType.
    uint64_t fields[7] = {0};
    static const char* const names[7] = {"pCharModifiers", "pVkToWcharTable", "pDeadKey", "pKeyNames",
                                         "pKeyNamesExt", "pKeyNamesDead", "pusVSCtoVK"};
    for (int i = 0; i < 7; ++i)
        if (!read_pointer(w, address + (uint64_t)i * p, &fields[i], names[i])) return false;
    int max_vsc = 0;
    uint64_t e0 = 0, e1 = 0, ligature_field = p == 4 ? 48 : 88, type_field = ligature_field + p;
    uint32_t flags = 0;
    if (!read_u8(w, address + 7 * p, &max_vsc, "bMaxVSCtoVK") ||
        !read_pointer(w, address + 8 * p, &e0, "pVSCtoVK_E0") ||
        !read_pointer(w, address + 9 * p, &e1, "pVSCtoVK_E1") ||
        !read_u32(w, address + 10 * p, &flags, "fLocaleFlags") ||
        !read_u8(w, address + 10 * p + 4, &tables->ligature_max, "nLgMax") ||
        !read_u8(w, address + 10 * p + 5, &tables->ligature_entry_size, "cbLgEntry") ||
        !read_pointer(w, address + ligature_field, &tables->ligature, "pLigature") ||
        !read_u32(w, address + type_field, &tables->type, "dwType") ||
        !read_u32(w, address + type_field + 4, &tables->subtype, "dwSubType"))
        return false;
    tables->locale_flags = flags;
    for (int i = 0; i < 7; ++i)
        if (fields[i] == 0 && i != 4) fault(w, std::string("KBDTABLES.") + names[i] + " is null");
    if (fields[0]) read_modifiers(w, fields[0], tables);
    if (fields[1]) read_char_tables(w, fields[1], tables);
    if (fields[2]) read_dead_keys(w, fields[2], tables);
    if (fields[3]) read_key_names(w, fields[3], &tables->key_names, "pKeyNames");
    if (fields[4]) read_key_names(w, fields[4], &tables->key_names_ext, "pKeyNamesExt");
    if (fields[5]) read_dead_names(w, fields[5], tables);
    for (int scan = 0; scan < max_vsc && fields[6]; ++scan) {
        uint16_t vk = 0;
        if (!read_u16(w, fields[6] + 2 * (uint64_t)scan, &vk, "pusVSCtoVK")) break;
        tables->scan_to_vk.push_back(vk);
    }
    if (e0) read_scan_list(w, e0, &tables->e0, "pVSCtoVK_E0");
    if (e1) read_scan_list(w, e1, &tables->e1, "pVSCtoVK_E1");
    return faults->size() == faults_before;
}
