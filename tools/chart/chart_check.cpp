// chart_check <layout source> <chart text>: every character that the layout's
// keys and dead keys type must appear in the chart's text (as pdftotext reads
// it), and so must the chart's title.
#include <stdio.h>

#include <set>

#include "tools/common_io.h"
#include "tools/layout/layout_source.h"

namespace {

// Control characters and spaces have nothing to print; the chart names them.
bool printable(uint32_t ch) { return ch > 0x20 && ch != 0x7F && ch != 0xA0 && ch != 0x202F; }

}  // namespace

int main(int argc, char** argv)
{
    if (!arguments_fit(argc, 2, 2, "chart_check <layout source> <chart text>")) return 2;
    layout_source layout;
    std::string error;
    if (!load_layout(argv[1], &layout, &error)) {
        fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::string text;
    if (!read_whole_file(argv[2], &text)) {
        fprintf(stderr, "cannot open %s\n", argv[2]);
        return 1;
    }
    std::set<uint32_t> present;
    for (size_t pos = 0; pos < text.size();) {
        uint32_t ch = utf8_next(text, &pos);
        if (ch == 0xFFFFFFFF) ++pos;
        else present.insert(ch);
    }
    std::set<uint32_t> wanted;
    for (const char_entry& entry : layout.chars)
        if (entry.scan >= 0)
            for (const key_level& level : entry.levels)
                if (printable(level.ch)) wanted.insert(level.ch);
    for (const dead_key& dead : layout.dead_keys) {
        wanted.insert(dead.accent);
        for (const composition& pair : dead.compositions) wanted.insert(pair.composed);
    }
    int missing = 0;
    for (uint32_t ch : wanted)
        if (!present.count(ch)) {
            printf("%s: U+%04X %s is missing\n", argv[2], (unsigned)ch, utf8_encode(ch).c_str());
            ++missing;
        }
    if (text.find("Quarzfeld V2.06 Belegungsschaubild") == std::string::npos) {
        printf("%s: the title is missing\n", argv[2]);
        ++missing;
    }
    if (missing) return 1;
    printf("%s: all %zu characters of the layout are on the chart\n", argv[2], wanted.size());
    return 0;
}
