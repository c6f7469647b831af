// The layout source as data: what payload/quarzfeld.layout (and the key file it
// includes) says, read by the generator, the chart and every check of the libraries.
#pragma once
#include <stdint.h>
#include <string>
#include <vector>

// The six character columns of every key, in the order of the libraries'
// modifier table (Shift, Ctrl and Ctrl+Alt = AltGr combined).
enum level_index {
    level_base, level_shift, level_ctrl, level_shift_ctrl, level_altgr, level_shift_altgr,
    level_count
};

// Scan-code flags as Windows keeps them in the high byte of a scan-to-VK entry.
enum scan_flags {
    scan_ext = 0x0100, scan_multivk = 0x0200, scan_special = 0x0400, scan_numpad = 0x0800
};

struct key_level {
    uint32_t ch;   // 0 for none
    bool dead;     // ch is the accent of a dead key
};

// One scan code and the virtual key Windows makes of it.
struct scan_entry {
    int prefix;          // 0, 0xe0 or 0xe1
    int scan;
    int vk;
    int flags;           // scan_flags
    int line;
};

// The name GetKeyNameText gives a scan code: with prefix 0xe0 the name of the
// code with the extended bit, which is not always a key of the E0 list (Num
// Lock arrives as plain 45 and is marked extended by its scan-table entry).
struct key_name {
    int prefix;          // 0 or 0xe0
    int scan;
    std::string name;    // UTF-8
    int line;
};

// The characters one virtual key types.
struct char_entry {
    int vk;
    bool caps;           // Caps Lock capitalises (swaps base and Shift)
    key_level levels[level_count];
    int scan;            // the key's scan code from a "key" line; -1 for "chars" lines
    int line;
};

struct composition {
    uint32_t base;
    uint32_t composed;
};

struct dead_key {
    uint32_t accent;
    std::string name;    // UTF-8
    std::vector<composition> compositions;
};

struct layout_source {
    std::string title;
    std::vector<scan_entry> scans;
    std::vector<key_name> key_names;
    std::vector<char_entry> chars;
    std::vector<dead_key> dead_keys;
};

// Reads a layout file and the files it includes. On failure returns false
// with "file:line: reason" in *error.
bool load_layout(const char* path, layout_source* layout, std::string* error);
// The same for a text in memory (includes are read relative to folder).
bool parse_layout(const std::string& text, const std::string& file_name,
                  const std::string& folder, layout_source* layout, std::string* error);

const char_entry* find_chars(const layout_source& layout, int vk);
const dead_key* find_dead_key(const layout_source& layout, uint32_t accent);
// The name of a scan code (prefix 0 or 0xe0); null when it has none.
const key_name* find_key_name(const layout_source& layout, int prefix, int scan);

// UTF-8 helpers shared by the tools.
std::string utf8_encode(uint32_t ch);
// Decodes one code point at text[*pos] and advances *pos; 0xFFFFFFFF when invalid.
uint32_t utf8_next(const std::string& text, size_t* pos);
std::u16string utf8_to_utf16(const std::string& text);
