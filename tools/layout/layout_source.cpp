// Reader of the layout source: one key a line, dead keys with their
// compositions, and an include for the keyboard's non-letter keys.
#include "tools/layout/layout_source.h"

#include <stdlib.h>
#include <string.h>

#include "tools/common_io.h"
#include "tools/layout/vk_names.h"

namespace {

const uint32_t bad_char = 0xFFFFFFFF;

struct reader {
    std::string file_name;
    std::string folder;
    int line;
    std::string* error;
    int depth;
};

bool fail(reader& in, const std::string& reason)
{
    *in.error = in.file_name + ":" + std::to_string(in.line) + ": " + reason;
    return false;
}

// Splits a line at blanks; a token in double quotes keeps its blanks (quotes
// dropped). A lone double quote is the character itself.
bool split_tokens(reader& in, const std::string& line, std::vector<std::string>* tokens,
                  std::vector<bool>* quoted)
{
    size_t pos = 0;
    while (pos < line.size()) {
        if (line[pos] == ' ' || line[pos] == '\t' || line[pos] == '\r') {
            ++pos;
            continue;
        }
        bool lone = pos + 1 == line.size() || strchr(" \t\r", line[pos + 1]);
        if (line[pos] == '"' && !lone) {
            size_t end = line.find('"', pos + 1);
            if (end == std::string::npos) return fail(in, "unterminated quoted text");
            tokens->push_back(line.substr(pos + 1, end - pos - 1));
            quoted->push_back(true);
            pos = end + 1;
            continue;
        }
        size_t end = line.find_first_of(" \t\r", pos);
        if (end == std::string::npos) end = line.size();
        tokens->push_back(line.substr(pos, end - pos));
        quoted->push_back(false);
        pos = end;
    }
    return true;
}

// One code point that a WCHAR of the tables can carry: the values F000-F002
// are the tables' own markers (none, dead, ligature) and surrogates are halves.
bool usable_char(uint32_t ch)
{
    return ch != 0 && ch <= 0xFFFF && !(ch >= 0xD800 && ch <= 0xDFFF) &&
           !(ch >= 0xF000 && ch <= 0xF002);
}

bool parse_char(reader& in, const std::string& token, uint32_t* ch)
{
    if (token.size() >= 6 && token.size() <= 8 && token[0] == 'U' && token[1] == '+') {
        char* end = nullptr;
        unsigned long value = strtoul(token.c_str() + 2, &end, 16);
        if (*end != 0) return fail(in, "bad code point \"" + token + "\"");
        *ch = (uint32_t)value;
    } else {
        size_t pos = 0;
        *ch = utf8_next(token, &pos);
        if (*ch == bad_char || pos != token.size())
            return fail(in, "\"" + token + "\" is not one character");
    }
    if (!usable_char(*ch)) return fail(in, "\"" + token + "\" cannot be typed by a layout");
    return true;
}

bool parse_level(reader& in, const std::string& token, key_level* level)
{
    level->ch = 0;
    level->dead = false;
    if (token == "-") return true;
    if (token.compare(0, 5, "dead:") == 0) {
        level->dead = true;
        return parse_char(in, token.substr(5), &level->ch);
    }
    return parse_char(in, token, &level->ch);
}

bool parse_scan(reader& in, const std::string& token, int* prefix, int* scan)
{
    *prefix = 0;
    std::string digits = token;
    if (token.compare(0, 3, "e0:") == 0 || token.compare(0, 3, "e1:") == 0) {
        *prefix = token[1] == '0' ? 0xe0 : 0xe1;
        digits = token.substr(3);
    }
    char* end = nullptr;
    long value = strtol(digits.c_str(), &end, 16);
    if (digits.size() != 2 || *end != 0 || value <= 0 || value > 0x7f)
        return fail(in, "bad scan code \"" + token + "\"");
    *scan = (int)value;
    return true;
}

bool parse_vk(reader& in, const std::string& token, int* vk)
{
    *vk = vk_from_name(token.c_str());
    if (*vk < 0) return fail(in, "unknown virtual key \"" + token + "\"");
    return true;
}

bool add_scan(reader& in, layout_source* layout, const scan_entry& entry)
{
    for (const scan_entry& other : layout->scans)
        if (other.prefix == entry.prefix && other.scan == entry.scan)
            return fail(in, "scan code given twice (first in line " + std::to_string(other.line) + ")");
    layout->scans.push_back(entry);
    return true;
}

// Windows keeps names for plain and E0 scan codes only, and one name per code.
bool add_key_name(reader& in, layout_source* layout, int prefix, int scan, const std::string& name)
{
    if (prefix == 0xe1) return fail(in, "Windows keeps no names of E1 keys");
    if (name.empty()) return fail(in, "empty key name");
    size_t pos = 0;
    while (pos < name.size()) {
        uint32_t ch = utf8_next(name, &pos);
        if (ch == bad_char) return fail(in, "key name is not UTF-8");
        if (ch < 0x20 || ch > 0xFFFF) return fail(in, "key name has a character a name cannot carry");
    }
    if (const key_name* other = find_key_name(*layout, prefix, scan))
        return fail(in, "scan code named twice (first in line " + std::to_string(other->line) + ")");
    layout->key_names.push_back({prefix, scan, name, in.line});
    return true;
}

bool add_chars(reader& in, layout_source* layout, const char_entry& entry)
{
    for (const char_entry& other : layout->chars)
        if (other.vk == entry.vk)
            return fail(in, "characters of this virtual key given twice (first in line " +
                                std::to_string(other.line) + ")");
    layout->chars.push_back(entry);
    return true;
}

// Levels and ctrl=/shiftctrl= options of a "key" or "chars" line.
bool parse_levels(reader& in, const std::vector<std::string>& tokens, size_t first,
                  size_t max_plain, char_entry* entry, std::string* name,
                  const std::vector<bool>& quoted)
{
    static const int plain_levels[] = {level_base, level_shift, level_altgr, level_shift_altgr};
    size_t plain = 0;
    for (size_t i = first; i < tokens.size(); ++i) {
        const std::string& token = tokens[i];
        if (quoted[i]) {
            if (!name) return fail(in, "a key name belongs on a \"vk\" line");
            *name = token;
            continue;
        }
        int column = -1;
        std::string value = token;
        if (token.compare(0, 5, "ctrl=") == 0) {
            column = level_ctrl;
            value = token.substr(5);
        } else if (token.compare(0, 10, "shiftctrl=") == 0) {
            column = level_shift_ctrl;
            value = token.substr(10);
        } else {
            if (plain == max_plain) return fail(in, "too many levels");
            column = plain_levels[plain++];
        }
        if (!parse_level(in, value, &entry->levels[column])) return false;
        if (entry->levels[column].dead && (column == level_ctrl || column == level_shift_ctrl))
            return fail(in, "a control character cannot be a dead key");
    }
    if (plain == 0) return fail(in, "no characters");
    if (max_plain == 4 && plain != 4) return fail(in, "a key line needs four levels");
    return true;
}

bool parse_text(reader& in, const std::string& text, layout_source* layout);

bool parse_line(reader& in, const std::vector<std::string>& tokens,
                const std::vector<bool>& quoted, layout_source* layout)
{
    const std::string& kind = tokens[0];
    if (kind == "title") {
        if (tokens.size() != 2 || !quoted[1]) return fail(in, "title \"<text>\" expected");
        layout->title = tokens[1];
        return true;
    }
    if (kind == "include") {
        if (tokens.size() != 2 || !quoted[1]) return fail(in, "include \"<file>\" expected");
        if (in.depth > 4) return fail(in, "includes nested too deeply");
        std::string path = in.folder + "/" + tokens[1];
        std::string text;
        if (!read_whole_file(path.c_str(), &text)) return fail(in, "cannot open \"" + path + "\"");
        reader inner = {path, in.folder, 0, in.error, in.depth + 1};
        return parse_text(inner, text, layout);
    }
    if (kind == "vk") {
        scan_entry entry = {0, 0, 0, 0, in.line};
        if (tokens.size() < 3 || tokens.size() > 4 || quoted[2] || (tokens.size() == 4 && !quoted[3]))
            return fail(in, "vk <scan> <vk>[+flags] [\"name\"] expected");
        if (!parse_scan(in, tokens[1], &entry.prefix, &entry.scan)) return false;
        std::string vk = tokens[2];
        size_t plus = vk.find('+');
        std::string flags = plus == std::string::npos ? "" : vk.substr(plus);
        if (!parse_vk(in, vk.substr(0, plus), &entry.vk)) return false;
        while (!flags.empty()) {
            size_t next = flags.find('+', 1);
            std::string flag = flags.substr(1, next == std::string::npos ? std::string::npos : next - 1);
            if (flag == "ext") entry.flags |= scan_ext;
            else if (flag == "numpad") entry.flags |= scan_numpad;
            else if (flag == "special") entry.flags |= scan_special;
            else if (flag == "multivk") entry.flags |= scan_multivk;
            else return fail(in, "unknown flag \"" + flag + "\"");
            flags = next == std::string::npos ? "" : flags.substr(next);
        }
        if (tokens.size() == 4 && !add_key_name(in, layout, entry.prefix, entry.scan, tokens[3])) return false;
        return add_scan(in, layout, entry);
    }
    if (kind == "name") {
        if (tokens.size() != 3 || quoted[1] || !quoted[2]) return fail(in, "name <scan> \"<name>\" expected");
        int prefix = 0, scan = 0;
        if (!parse_scan(in, tokens[1], &prefix, &scan)) return false;
        return add_key_name(in, layout, prefix, scan, tokens[2]);
    }
    if (kind == "key") {
        if (tokens.size() < 8) return fail(in, "key <scan> <vk> <caps> and four levels expected");
        scan_entry scan = {0, 0, 0, 0, in.line};
        char_entry chars = {};
        chars.line = in.line;
        if (!parse_scan(in, tokens[1], &scan.prefix, &scan.scan)) return false;
        if (scan.prefix != 0) return fail(in, "a key with characters has a plain scan code");
        if (!parse_vk(in, tokens[2], &scan.vk)) return false;
        if (tokens[3] != "caps" && tokens[3] != "-") return fail(in, "\"caps\" or \"-\" expected");
        chars.vk = scan.vk;
        chars.scan = scan.scan;
        chars.caps = tokens[3] == "caps";
        if (!parse_levels(in, tokens, 4, 4, &chars, nullptr, quoted)) return false;
        // Ctrl+letter types the letter's control code, as on every Windows layout.
        if (chars.vk >= 'A' && chars.vk <= 'Z' && chars.levels[level_ctrl].ch == 0)
            chars.levels[level_ctrl].ch = (uint32_t)(chars.vk - 0x40);
        return add_scan(in, layout, scan) && add_chars(in, layout, chars);
    }
    if (kind == "chars") {
        if (tokens.size() < 3) return fail(in, "chars <vk> and its levels expected");
        char_entry chars = {};
        chars.line = in.line;
        chars.scan = -1;
        if (!parse_vk(in, tokens[1], &chars.vk)) return false;
        if (!parse_levels(in, tokens, 2, 2, &chars, nullptr, quoted)) return false;
        return add_chars(in, layout, chars);
    }
    if (kind == "dead") {
        if (tokens.size() < 4 || !quoted[2]) return fail(in, "dead <accent> \"<name>\" <compositions> expected");
        dead_key dead;
        if (!parse_char(in, tokens[1], &dead.accent)) return false;
        if (find_dead_key(*layout, dead.accent)) return fail(in, "dead key defined twice");
        dead.name = tokens[2];
        for (size_t i = 3; i < tokens.size(); ++i) {
            size_t pos = 0;
            composition pair;
            pair.base = utf8_next(tokens[i], &pos);
            pair.composed = utf8_next(tokens[i], &pos);
            if (pos != tokens[i].size() || pair.base == bad_char || pair.composed == bad_char)
                return fail(in, "composition \"" + tokens[i] + "\" is not two characters");
            if (pair.base == 0x2423) pair.base = ' ';  // the visible space sign
            if (!usable_char(pair.base) || !usable_char(pair.composed))
                return fail(in, "composition \"" + tokens[i] + "\" cannot be typed");
            for (const composition& other : dead.compositions)
                if (other.base == pair.base) return fail(in, "composition \"" + tokens[i] + "\" given twice");
            dead.compositions.push_back(pair);
        }
        layout->dead_keys.push_back(dead);
        return true;
    }
    return fail(in, "unknown line \"" + kind + "\"");
}

bool parse_text(reader& in, const std::string& text, layout_source* layout)
{
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        ++in.line;
        std::vector<std::string> tokens;
        std::vector<bool> quoted;
        if (!split_tokens(in, line, &tokens, &quoted)) return false;
        if (tokens.empty() || (!quoted[0] && tokens[0][0] == '#')) continue;
        if (!parse_line(in, tokens, quoted, layout)) return false;
    }
    return true;
}

// Every dead level needs its compositions, and every composition table a key.
bool check_dead_keys(reader& in, const layout_source& layout)
{
    for (const char_entry& entry : layout.chars)
        for (const key_level& level : entry.levels)
            if (level.dead && !find_dead_key(layout, level.ch)) {
                in.line = entry.line;
                return fail(in, "dead key " + utf8_encode(level.ch) + " has no compositions");
            }
    for (const dead_key& dead : layout.dead_keys) {
        bool used = false;
        for (const char_entry& entry : layout.chars)
            for (const key_level& level : entry.levels)
                used = used || (level.dead && level.ch == dead.accent);
        if (!used) return fail(in, "no key types dead key " + utf8_encode(dead.accent));
    }
    return true;
}

}  // namespace

bool parse_layout(const std::string& text, const std::string& file_name,
                  const std::string& folder, layout_source* layout, std::string* error)
{
    reader in = {file_name, folder, 0, error, 0};
    *layout = layout_source();
    if (!parse_text(in, text, layout)) return false;
    if (layout->title.empty()) return fail(in, "no title");
    return check_dead_keys(in, *layout);
}

bool load_layout(const char* path, layout_source* layout, std::string* error)
{
    std::string text;
    if (!read_whole_file(path, &text)) {
        *error = std::string("cannot open ") + path;
        return false;
    }
    std::string folder = path;
    size_t slash = folder.find_last_of("/\\");
    folder = slash == std::string::npos ? "." : folder.substr(0, slash);
    return parse_layout(text, path, folder, layout, error);
}

const char_entry* find_chars(const layout_source& layout, int vk)
{
    for (const char_entry& entry : layout.chars)
        if (entry.vk == vk) return &entry;
    return nullptr;
}

const key_name* find_key_name(const layout_source& layout, int prefix, int scan)
{
    for (const key_name& name : layout.key_names)
        if (name.prefix == prefix && name.scan == scan) return &name;
    return nullptr;
}

const dead_key* find_dead_key(const layout_source& layout, uint32_t accent)
{
    for (const dead_key& dead : layout.dead_keys)
        if (dead.accent == accent) return &dead;
    return nullptr;
}

std::string utf8_encode(uint32_t ch)
{
    std::string out;
    if (ch < 0x80) {
        out += (char)ch;
    } else if (ch < 0x800) {
        out += (char)(0xC0 | (ch >> 6));
        out += (char)(0x80 | (ch & 0x3F));
    } else if (ch < 0x10000) {
        out += (char)(0xE0 | (ch >> 12));
        out += (char)(0x80 | ((ch >> 6) & 0x3F));
        out += (char)(0x80 | (ch & 0x3F));
    } else {
        out += (char)(0xF0 | (ch >> 18));
        out += (char)(0x80 | ((ch >> 12) & 0x3F));
        out += (char)(0x80 | ((ch >> 6) & 0x3F));
        out += (char)(0x80 | (ch & 0x3F));
    }
    return out;
}

uint32_t utf8_next(const std::string& text, size_t* pos)
{
    if (*pos >= text.size()) return bad_char;
    unsigned char lead = (unsigned char)text[*pos];
    int extra = lead < 0x80 ? 0 : (lead & 0xE0) == 0xC0 ? 1 : (lead & 0xF0) == 0xE0 ? 2
              : (lead & 0xF8) == 0xF0 ? 3 : -1;
    if (extra < 0 || *pos + 1 + extra > text.size()) return bad_char;
    uint32_t ch = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int i = 1; i <= extra; ++i) {
        unsigned char next = (unsigned char)text[*pos + i];
        if ((next & 0xC0) != 0x80) return bad_char;
        ch = (ch << 6) | (next & 0x3F);
    }
    static const uint32_t smallest[] = {0, 0x80, 0x800, 0x10000};
    if (ch < smallest[extra] || ch > 0x10FFFF) return bad_char;
    *pos += 1 + extra;
    return ch;
}

std::u16string utf8_to_utf16(const std::string& text)
{
    std::u16string out;
    size_t pos = 0;
    while (pos < text.size()) {
        uint32_t ch = utf8_next(text, &pos);
        if (ch == bad_char) {
            out += u'\uFFFD';
            ++pos;
        } else if (ch >= 0x10000) {
            out += (char16_t)(0xD800 + ((ch - 0x10000) >> 10));
            out += (char16_t)(0xDC00 + ((ch - 0x10000) & 0x3FF));
        } else {
            out += (char16_t)ch;
        }
    }
    return out;
}
