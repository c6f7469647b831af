// Writes the layout as the tables Windows' keyboard driver reads: scan codes to
// virtual keys, virtual keys to characters by modifier column, dead keys, key names.
#include "tools/layoutgen/emit_tables.h"

#include <stdio.h>

#include "tools/layout/vk_names.h"

namespace {

std::string hex(unsigned value, int digits)
{
    char text[16];
    snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

// A UTF-8 text as a C11 u"" literal: printable ASCII as it is, the rest as
// universal character names (the layout has no characters beyond the BMP).
std::string wide_literal(const std::string& text)
{
    std::string out = "u\"";
    size_t pos = 0;
    while (pos < text.size()) {
        uint32_t ch = utf8_next(text, &pos);
        if (ch == '"' || ch == '\\') {
            out += '\\';
            out += (char)ch;
        } else if (ch >= 0x20 && ch < 0x7F) {
            out += (char)ch;
        } else {
            char escaped[16];
            snprintf(escaped, sizeof escaped, "\\u%04X", (unsigned)ch);
            out += escaped;
        }
    }
    return out + "\"";
}

std::string vk_comment(int vk)
{
    const char* name = vk_name(vk);
    return name ? std::string("VK_") + name : hex((unsigned)vk, 2);
}

// Columns a key needs: up to its last level that types something.
int key_width(const char_entry& entry)
{
    int width = 0;
    for (int column = 0; column < level_count; ++column)
        if (entry.levels[column].ch != 0) width = column + 1;
    return width;
}

bool has_dead(const char_entry& entry)
{
    for (const key_level& level : entry.levels)
        if (level.dead) return true;
    return false;
}

void emit_scan_tables(const layout_source& layout, std::string& out)
{
    int count = 0;
    for (const scan_entry& entry : layout.scans)
        if (entry.prefix == 0 && entry.scan + 1 > count) count = entry.scan + 1;
    out += "static USHORT ausVK[" + std::to_string(count) + "] = {\n";
    for (int scan = 0; scan < count; ++scan) {
        const scan_entry* found = nullptr;
        for (const scan_entry& entry : layout.scans)
            if (entry.prefix == 0 && entry.scan == scan) found = &entry;
        if (found)
            out += "    " + hex((unsigned)(found->vk | found->flags), 4) + ",  /* " + hex((unsigned)scan, 2) +
                   " " + vk_comment(found->vk) + " */\n";
        else
            out += "    0x00FF,  /* " + hex((unsigned)scan, 2) + " none */\n";
    }
    out += "};\n\n";
    for (int prefix : {0xe0, 0xe1}) {
        out += std::string("static VSC_VK a") + (prefix == 0xe0 ? "E0" : "E1") + "VscToVk[] = {\n";
        for (const scan_entry& entry : layout.scans)
            if (entry.prefix == prefix)
                out += "    {" + hex((unsigned)entry.scan, 2) + ", " + hex((unsigned)(entry.vk | entry.flags), 4) +
                       "},  /* " + vk_comment(entry.vk) + " */\n";
        out += "    {0, 0}\n};\n\n";
    }
}

void emit_modifiers(std::string& out)
{
    out +=
        "static VK_TO_BIT aVkToBits[] = {\n"
        "    {0x10, KBDSHIFT},  /* VK_SHIFT */\n"
        "    {0x11, KBDCTRL},   /* VK_CONTROL */\n"
        "    {0x12, KBDALT},    /* VK_MENU */\n"
        "    {0, 0}\n"
        "};\n\n"
        "/* Columns: base, Shift, Ctrl, Shift+Ctrl, AltGr (Ctrl+Alt), Shift+AltGr;\n"
        " * Alt alone and Shift+Alt type nothing. */\n"
        "static MODIFIERS CharModifiers = {\n"
        "    KBD_ADDR(aVkToBits), 7,\n"
        "    {0, 1, 2, 3, SHFT_INVALID, SHFT_INVALID, 4, 5}\n"
        "};\n\n";
}

std::string wch_value(const key_level& level, bool accent_row)
{
    if (level.ch == 0 || (accent_row && !level.dead)) return "WCH_NONE";
    if (level.dead && !accent_row) return "WCH_DEAD";
    return hex(level.ch, 4);
}

std::string key_row(int vk, int attributes, const char_entry& entry, int width, bool accent_row)
{
    std::string row = "    {" + (accent_row ? std::string("0xFF") : hex((unsigned)vk, 2)) + ", " +
                      (attributes ? std::string("CAPLOK") : std::string("0")) + ", {";
    for (int column = 0; column < width; ++column)
        row += (column ? ", " : "") + wch_value(entry.levels[column], accent_row);
    row += "}},";
    row += accent_row ? "  /* accents of the dead keys above */\n" : "  /* " + vk_comment(vk) + " */\n";
    return row;
}

// VkKeyScan takes the first row that types a character, table by table. So the
// keys that type only control characters (Tab, Backspace, Enter, Esc) come
// before the letters, whose Ctrl column types the same codes, and the numpad's
// keys come last, after the main block's digits and signs.
int entry_group(const char_entry& entry)
{
    if (entry.scan >= 0) return 1;
    for (const key_level& level : entry.levels)
        if (level.ch >= 0x20 && level.ch != 0x7F) return 2;
    return 0;
}

void emit_char_tables(const layout_source& layout, std::string& out)
{
    static const char* const group_names[] = {"Control", "Main", "Numpad"};
    std::string table_list;
    for (int group = 0; group < 3; ++group) {
        int width = 0;
        for (const char_entry& entry : layout.chars)
            if (entry_group(entry) == group && key_width(entry) > width) width = key_width(entry);
        if (width == 0) continue;
        std::string n = std::to_string(width);
        std::string name = std::string("aVkToWch") + group_names[group];
        out += "static VK_TO_WCHARS" + n + " " + name + "[] = {\n";
        for (const char_entry& entry : layout.chars) {
            if (entry_group(entry) != group) continue;
            out += key_row(entry.vk, entry.caps ? 1 : 0, entry, width, false);
            if (has_dead(entry)) out += key_row(0xFF, 0, entry, width, true);
        }
        out += "    {0, 0, {0}}\n};\n\n";
        table_list += "    {KBD_ADDR((VK_TO_WCHARS1 *)" + name + "), " + n + ", sizeof(VK_TO_WCHARS" + n + ")},\n";
    }
    out += "static VK_TO_WCHAR_TABLE aVkToWcharTable[] = {\n" + table_list + "    {KBD_NULL, 0, 0}\n};\n\n";
}

void emit_dead_keys(const layout_source& layout, std::string& out)
{
    out += "static DEADKEY aDeadKey[] = {\n";
    for (const dead_key& dead : layout.dead_keys)
        for (const composition& pair : dead.compositions)
            out += "    {" + hex((dead.accent << 16) | pair.base, 8) + ", " + hex(pair.composed, 4) +
                   ", 0},  /* " + utf8_encode(dead.accent) + " " +
                   (pair.base == ' ' ? std::string("space") : utf8_encode(pair.base)) + " */\n";
    out += "    {0, 0, 0}\n};\n\n";
}

// The two name lists go in scan-code order, as Windows' own layouts keep them.
void emit_key_names(const layout_source& layout, std::string& out)
{
    for (int prefix : {0, 0xe0}) {
        out += std::string("static VSC_LPWSTR aKeyNames") + (prefix ? "Ext" : "") + "[] = {\n";
        for (int scan = 1; scan <= 0x7F; ++scan)
            if (const key_name* name = find_key_name(layout, prefix, scan))
                out += "    {" + hex((unsigned)scan, 2) + ", KBD_ADDR(" + wide_literal(name->name) + ")},\n";
        out += "    {0, KBD_NULL}\n};\n\n";
    }
    out += "static DEADKEY_LPWSTR aKeyNamesDead[] = {\n";
    for (const dead_key& dead : layout.dead_keys)
        out += "    KBD_ADDR(" + wide_literal(utf8_encode(dead.accent) + dead.name) + "),\n";
    out += "    KBD_NULL\n};\n\n";
}

}  // namespace

std::string emit_tables(const layout_source& layout, const std::string& source_name)
{
    std::string out = "/* " + layout.title + ": keyboard tables made from " + source_name +
                      " by layoutgen. */\n#include \"layout_tables.h\"\n\n";
    emit_scan_tables(layout, out);
    emit_modifiers(out);
    emit_char_tables(layout, out);
    emit_dead_keys(layout, out);
    emit_key_names(layout, out);
    out +=
        "KBDTABLES KbdTables = {\n"
        "    KBD_ADDR(&CharModifiers),\n"
        "    KBD_ADDR(aVkToWcharTable),\n"
        "    KBD_ADDR(aDeadKey),\n"
        "    KBD_ADDR(aKeyNames),\n"
        "    KBD_ADDR(aKeyNamesExt),\n"
        "    KBD_ADDR(aKeyNamesDead),\n"
        "    KBD_ADDR(ausVK),\n"
        "    sizeof ausVK / sizeof ausVK[0],\n"
        "    KBD_ADDR(aE0VscToVk),\n"
        "    KBD_ADDR(aE1VscToVk),\n"
        "    KLLF_ALTGR | (KBD_VERSION << 16),\n"
        "    0, 0, KBD_NULL,\n"
        "    4, 0  /* keyboard type 4 (101/102 keys), no subtype */\n"
        "};\n";
    return out;
}
