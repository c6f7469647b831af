// Emulation of how Windows reads the character tables when a key is pressed,
// for checks that ask "what does AltGr+Q type" instead of comparing tables.
#include "tools/kbdread/kbd_typing.h"

namespace {

const uint16_t wch_none = 0xF000;
const uint16_t wch_dead = 0xF001;
const int caplok = 0x01;
const int caplok_altgr = 0x04;

}  // namespace

typed_char type_key(const kbd_tables& tables, int vk, int mod_bits, bool caps_lock)
{
    typed_char none = {0, false};
    for (const kbd_char_table& table : tables.char_tables) {
        for (size_t r = 0; r < table.rows.size(); ++r) {
            const kbd_row& row = table.rows[r];
            if (row.vk != vk) continue;
            // Caps Lock acts as Shift on the plain and AltGr levels of the keys marked for it.
            int bits = mod_bits;
            bool plain = (bits & ~mod_shift) == 0;
            bool altgr = (bits & ~mod_shift) == mod_altgr;
            if (caps_lock && ((plain && (row.attributes & caplok)) ||
                              (altgr && (row.attributes & caplok_altgr))))
                bits ^= mod_shift;
            if (bits > tables.max_mod_bits || bits >= (int)tables.mod_numbers.size()) return none;
            int column = tables.mod_numbers[(size_t)bits];
            if (column >= table.modifications) return none;
            uint16_t ch = row.wch[(size_t)column];
            if (ch == wch_none) return none;
            if (ch == wch_dead) {
                if (r + 1 >= table.rows.size() || table.rows[r + 1].vk != 0xFF) return none;
                return {table.rows[r + 1].wch[(size_t)column], true};
            }
            return {ch, false};
        }
    }
    return none;
}

uint32_t compose(const kbd_tables& tables, uint32_t accent, uint32_t base)
{
    for (const kbd_dead& dead : tables.dead_keys)
        if (dead.both == (accent << 16 | base)) return dead.composed;
    return 0;
}

namespace {

// The virtual key of a scan code, through the plain table or the E0 list.
int scan_vk(const kbd_tables& tables, int scan, bool extended)
{
    if (!extended) return (size_t)scan < tables.scan_to_vk.size() ? tables.scan_to_vk[(size_t)scan] & 0xFF : 0;
    for (const kbd_scan_vk& entry : tables.e0)
        if (entry.scan == scan) return entry.vk & 0xFF;
    return 0;
}

uint32_t upper_case(uint32_t ch)
{
    bool small_latin1 = ch >= 0xE0 && ch <= 0xFE && ch != 0xF7;
    return (ch >= 'a' && ch <= 'z') || small_latin1 ? ch - 0x20 : ch;
}

}  // namespace

std::u16string key_name_text(const kbd_tables& tables, int scan, bool extended)
{
    for (const kbd_name& name : extended ? tables.key_names_ext : tables.key_names)
        if (name.scan == scan) return name.name;
    int vk = scan_vk(tables, scan, extended);
    if (vk == 0 || vk == 0xFF) return u"";
    typed_char typed = type_key(tables, vk, 0, false);
    if (typed.ch == 0) return u"";
    if (!typed.dead) return std::u16string(1, (char16_t)upper_case(typed.ch));
    for (const std::u16string& name : tables.dead_names)
        if (!name.empty() && name[0] == typed.ch) return name.substr(1);
    return u"";
}

int vk_key_scan(const kbd_tables& tables, uint32_t ch, int* mod_bits)
{
    for (const kbd_char_table& table : tables.char_tables) {
        for (const kbd_row& row : table.rows) {
            if (row.vk == 0xFF) continue;
            for (int column = 0; column < table.modifications; ++column) {
                if (row.wch[(size_t)column] != ch) continue;
                for (size_t bits = 0; bits < tables.mod_numbers.size(); ++bits)
                    if (tables.mod_numbers[bits] == column) {
                        *mod_bits = (int)bits;
                        return row.vk;
                    }
            }
        }
    }
    return -1;
}
