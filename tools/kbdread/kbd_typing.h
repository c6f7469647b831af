// What a set of keyboard tables types, worked out the way Windows' ToUnicode
// and VkKeyScan use them: modifier bits to a column, Caps Lock, dead keys.
#pragma once
#include <stdint.h>

#include <string>

#include "tools/kbdread/kbd_reader.h"

enum { mod_shift = 1, mod_ctrl = 2, mod_alt = 4, mod_altgr = mod_ctrl | mod_alt };

struct typed_char {
    uint32_t ch;      // 0 when the key types nothing in this state
    bool dead;        // ch is the accent of a dead key
};

typed_char type_key(const kbd_tables& tables, int vk, int mod_bits, bool caps_lock);
// The composition of a dead key's accent with the next character; 0 for none.
uint32_t compose(const kbd_tables& tables, uint32_t accent, uint32_t base);
// The first key and modifier bits that type ch, searched table by table and
// row by row; -1 when no key types it.
int vk_key_scan(const kbd_tables& tables, uint32_t ch, int* mod_bits);
// What GetKeyNameText shows for a scan code with or without the extended
// bit: the name from the plain or extended name list; a key without a name is
// named by the character it types unshifted (a letter in upper case), a dead
// key by its entry in the dead-key names. Empty when there is neither.
std::u16string key_name_text(const kbd_tables& tables, int scan, bool extended);
