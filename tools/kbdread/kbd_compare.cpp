// The expected tables are derived here from the layout source directly, not
// through the generator, so that a fault of the generator shows as a difference.
#include "tools/kbdread/kbd_compare.h"

#include <stdio.h>

#include <map>
#include <set>

#include "tools/kbdread/kbd_typing.h"
#include "tools/layout/vk_names.h"

namespace {

const uint16_t wch_none = 0xF000;
const uint16_t wch_dead = 0xF001;

std::string hex(unsigned value)
{
    char text[16];
    snprintf(text, sizeof text, "%04X", value);
    return text;
}

std::string key_label(int vk)
{
    const char* name = vk_name(vk);
    return std::string("VK_") + (name ? name : hex((unsigned)vk));
}

std::string to_utf8(const std::u16string& text)
{
    std::string out;
    for (char16_t ch : text) out += utf8_encode(ch);
    return out;
}

void compare_modifiers(const kbd_tables& tables, std::vector<std::string>* faults)
{
    // Shift, Ctrl, Alt; AltGr is Ctrl+Alt; Alt and Shift+Alt alone type nothing.
    static const int bits[][2] = {{0x10, 1}, {0x11, 2}, {0x12, 4}};
    static const int numbers[] = {0, 1, 2, 3, 0x0F, 0x0F, 4, 5};
    bool same = tables.vk_to_bits.size() == 3;
    for (size_t i = 0; same && i < 3; ++i)
        same = tables.vk_to_bits[i].scan == bits[i][0] && tables.vk_to_bits[i].vk == bits[i][1];
    if (!same) faults->push_back("VK_TO_BIT is not Shift, Ctrl, Alt");
    same = tables.max_mod_bits == 7 && tables.mod_numbers.size() == 8;
    for (size_t i = 0; same && i < 8; ++i) same = tables.mod_numbers[i] == numbers[i];
    if (!same) faults->push_back("ModNumber is not {0, 1, 2, 3, -, -, 4, 5} with wMaxModBits 7");
}

std::string level_text(uint32_t ch, bool dead)
{
    if (ch == 0) return "nothing";
    return (dead ? "dead " : "") + std::string("U+") + hex(ch);
}

void compare_chars(const kbd_tables& tables, const layout_source& layout, std::vector<std::string>* faults)
{
    std::map<int, int> rows_per_vk;
    for (const kbd_char_table& table : tables.char_tables)
        for (size_t r = 0; r < table.rows.size(); ++r) {
            const kbd_row& row = table.rows[r];
            bool has_dead = false;
            for (uint16_t ch : row.wch) has_dead = has_dead || ch == wch_dead;
            bool next_is_accents = r + 1 < table.rows.size() && table.rows[r + 1].vk == 0xFF;
            if (row.vk == 0xFF) {
                if (r == 0) faults->push_back("a table starts with an accent row");
                continue;
            }
            if (has_dead != next_is_accents)
                faults->push_back(key_label(row.vk) + ": dead levels and accent row do not match");
            ++rows_per_vk[row.vk];
            if (!find_chars(layout, row.vk)) faults->push_back(key_label(row.vk) + " is not in the layout source");
        }
    for (const char_entry& entry : layout.chars) {
        std::string key = key_label(entry.vk);
        int rows = rows_per_vk[entry.vk];
        if (rows != 1) {
            faults->push_back(key + ": " + std::to_string(rows) + " rows in the tables, expected 1");
            continue;
        }
        for (const kbd_char_table& table : tables.char_tables)
            for (size_t r = 0; r < table.rows.size(); ++r) {
                const kbd_row& row = table.rows[r];
                if (row.vk != entry.vk) continue;
                int caps = (row.attributes & 0x01) != 0;
                if (caps != (int)entry.caps || (row.attributes & ~0x01) != 0)
                    faults->push_back(key + ": attributes " + hex(row.attributes) + ", Caps Lock " +
                                      (entry.caps ? "expected" : "not expected"));
                for (int column = 0; column < level_count; ++column) {
                    uint16_t raw = column < table.modifications ? row.wch[(size_t)column] : wch_none;
                    uint32_t got = raw == wch_none ? 0 : raw;
                    bool dead = raw == wch_dead;
                    if (dead && r + 1 < table.rows.size() && table.rows[r + 1].vk == 0xFF)
                        got = table.rows[r + 1].wch[(size_t)column];
                    const key_level& want = entry.levels[column];
                    if (got != want.ch || dead != want.dead)
                        faults->push_back(key + " column " + std::to_string(column) + ": " +
                                          level_text(got, dead) + ", expected " + level_text(want.ch, want.dead));
                }
            }
    }
}

void compare_dead_keys(const kbd_tables& tables, const layout_source& layout, std::vector<std::string>* faults)
{
    std::map<uint32_t, uint32_t> expected, got;
    for (const dead_key& dead : layout.dead_keys)
        for (const composition& pair : dead.compositions) expected[dead.accent << 16 | pair.base] = pair.composed;
    for (const kbd_dead& dead : tables.dead_keys) {
        if (got.count(dead.both)) faults->push_back("composition " + hex(dead.both >> 16) + "+" +
                                                    hex(dead.both & 0xFFFF) + " is listed twice");
        got[dead.both] = dead.composed;
        if (dead.flags != 0) faults->push_back("composition " + hex(dead.both) + " has flags " + hex(dead.flags));
    }
    for (const auto& pair : expected) {
        auto found = got.find(pair.first);
        std::string what = "composition U+" + hex(pair.first >> 16) + " + U+" + hex(pair.first & 0xFFFF);
        if (found == got.end()) faults->push_back(what + " is missing");
        else if (found->second != pair.second)
            faults->push_back(what + ": U+" + hex(found->second) + ", expected U+" + hex(pair.second));
    }
    for (const auto& pair : got)
        if (!expected.count(pair.first)) faults->push_back("composition " + hex(pair.first) + " is not in the source");
    std::vector<std::string> names;
    for (const dead_key& dead : layout.dead_keys) names.push_back(utf8_encode(dead.accent) + dead.name);
    std::vector<std::string> got_names;
    for (const std::u16string& name : tables.dead_names) got_names.push_back(to_utf8(name));
    if (names != got_names) {
        std::string listed;
        for (const std::string& name : got_names) listed += (listed.empty() ? "\"" : ", \"") + name + "\"";
        faults->push_back("dead key names " + (listed.empty() ? std::string("none") : listed) +
                          " differ from the source");
    }
}

void compare_scan_codes(const kbd_tables& tables, const layout_source& layout, std::vector<std::string>* faults)
{
    std::map<int, int> plain;
    std::set<std::pair<int, int>> e0, e1, got_e0, got_e1;
    for (const scan_entry& entry : layout.scans) {
        if (entry.prefix == 0) plain[entry.scan] = entry.vk | entry.flags;
        if (entry.prefix == 0xe0) e0.insert({entry.scan, entry.vk | entry.flags});
        if (entry.prefix == 0xe1) e1.insert({entry.scan, entry.vk | entry.flags});
    }
    if (!plain.empty() && (int)tables.scan_to_vk.size() <= plain.rbegin()->first)
        faults->push_back("scan code table has " + std::to_string(tables.scan_to_vk.size()) + " entries");
    for (size_t scan = 0; scan < tables.scan_to_vk.size(); ++scan) {
        auto found = plain.find((int)scan);
        int want = found == plain.end() ? 0xFF : found->second;
        if (tables.scan_to_vk[scan] != want)
            faults->push_back("scan code " + hex((unsigned)scan) + ": " + hex(tables.scan_to_vk[scan]) +
                              ", expected " + hex((unsigned)want));
    }
    for (const kbd_scan_vk& entry : tables.e0) got_e0.insert({entry.scan, entry.vk});
    for (const kbd_scan_vk& entry : tables.e1) got_e1.insert({entry.scan, entry.vk});
    if (got_e0 != e0 || got_e0.size() != tables.e0.size()) faults->push_back("E0 scan codes differ from the source");
    if (got_e1 != e1 || got_e1.size() != tables.e1.size()) faults->push_back("E1 scan codes differ from the source");
}

// One name list (plain or extended) against the source, name by name, and in
// rising scan-code order as Windows keeps it.
void compare_key_names(const std::vector<kbd_name>& got, const layout_source& layout, int prefix,
                       std::vector<std::string>* faults)
{
    std::string list = prefix ? "extended key names" : "key names";
    std::string code_prefix = prefix ? "E0 " : "";
    std::map<int, std::string> expected;
    for (const key_name& name : layout.key_names)
        if (name.prefix == prefix) expected[name.scan] = name.name;
    int previous = 0;
    for (const kbd_name& name : got) {
        std::string code = code_prefix + hex((unsigned)name.scan).substr(2);
        if (name.scan <= previous) faults->push_back(list + ": " + code + " is out of scan-code order");
        previous = name.scan;
        auto found = expected.find(name.scan);
        if (found == expected.end()) {
            faults->push_back(list + ": " + code + " \"" + to_utf8(name.name) + "\" is not in the source");
            continue;
        }
        if (to_utf8(name.name) != found->second)
            faults->push_back(list + ": " + code + " is \"" + to_utf8(name.name) + "\", expected \"" +
                              found->second + "\"");
        expected.erase(found);
    }
    for (const auto& missing : expected)
        faults->push_back(list + ": " + code_prefix + hex((unsigned)missing.first).substr(2) + " \"" +
                          missing.second + "\" is missing");
}

}  // namespace

bool compare_with_source(const kbd_tables& tables, const layout_source& layout,
                         std::vector<std::string>* faults)
{
    size_t before = faults->size();
    compare_modifiers(tables, faults);
    compare_chars(tables, layout, faults);
    compare_dead_keys(tables, layout, faults);
    compare_scan_codes(tables, layout, faults);
    compare_key_names(tables.key_names, layout, 0, faults);
    compare_key_names(tables.key_names_ext, layout, 0xe0, faults);
    if (tables.locale_flags != 0x00010001)
        faults->push_back("fLocaleFlags " + hex(tables.locale_flags) + ", expected AltGr and version 1");
    if (tables.ligature_max != 0 || tables.ligature_entry_size != 0 || tables.ligature != 0)
        faults->push_back("ligature table present");
    if (tables.type != 4 || tables.subtype != 0)
        faults->push_back("keyboard type " + std::to_string(tables.type) + "/" + std::to_string(tables.subtype) +
                          ", expected 4/0");
    return faults->size() == before;
}

bool check_german_key_names(const kbd_tables& tables, std::vector<std::string>* faults)
{
    struct expected_name {
        int scan;
        bool extended;
        const char* name;  // UTF-8
    } static const names[] = {
        {0x45, false, "PAUSE"},        {0x45, true, "NUM-FESTSTELL"},
        {0x39, false, "LEER"},         {0x38, false, "ALT"},
        {0x38, true, "ALT GR"},        {0x1C, false, "EINGABE"},
        {0x1C, true, "EINGABE (ZEHNERTASTATUR)"},
        {0x1D, false, "STRG"},         {0x1D, true, "STRG-RECHTS"},
        {0x2A, false, "UMSCHALT"},     {0x36, false, "UMSCHALT RECHTS"},
        {0x0E, false, "R\xC3\x9C" "CK"}, {0x29, false, "ZIRKUMFLEX"},
        {0x27, false, "\xC3\x96"},
    };
    size_t before = faults->size();
    for (const expected_name& want : names) {
        std::string got = to_utf8(key_name_text(tables, want.scan, want.extended));
        if (got != want.name)
            faults->push_back(std::string("GetKeyNameText of ") + (want.extended ? "E0 " : "") +
                              hex((unsigned)want.scan).substr(2) + ": \"" + got + "\", expected \"" + want.name + "\"");
    }
    return faults->size() == before;
}
