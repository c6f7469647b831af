// chart_check <layout source> <chart text> <chart words>: every character that
// the layout's keys and dead keys type must appear in the chart's text (as
// pdftotext reads it), and so must the chart's title; the AltGr key has one
// spelling. From the words and their boxes (pdftotext -bbox) it checks that
// the chart is readable on A4 (sizes from the height of a word's box):
//   - every text is set at a size whose capitals are at least 2.5 mm high;
//   - every character of the layout that stands alone (on a key, in the dead
//     key table) has ink at least 2.5 mm high or wide, as measured with the
//     chart's font at that size. Dots (. ·) are dots and are left out, and
//     so are the words of running text (a line with a longer word in it).
#include <cairo.h>
#include <math.h>
#include <stdio.h>
#include <string.h>

#include <set>
#include <vector>

#include "tools/common_io.h"
#include "tools/layout/layout_source.h"

namespace {

// Control characters and spaces have nothing to print; the chart names them.
bool printable(uint32_t ch) { return ch > 0x20 && ch != 0x7F && ch != 0xA0 && ch != 0x202F; }

const double mm = 72 / 25.4;
const double least = 2.5 * mm;           // in points
const double cap_height = 0.729;         // of DejaVu Sans, in ems
const double line_height = 0.928 + 0.236;   // its ascent and descent: a word box's height in ems
const double dot_extent = 0.16;

struct word {
    double x_min, y_min, x_max, y_max;
    std::string text;
    size_t length;   // in code points
};

std::string attribute_free(std::string text)
{
    const char* const entities[][2] = {{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
    for (const auto& entity : entities)
        for (size_t at; (at = text.find(entity[0])) != std::string::npos;) text.replace(at, strlen(entity[0]), entity[1]);
    return text;
}

// The words of pdftotext -bbox output: <word xMin=".." yMin=".." xMax=".." yMax="..">text</word>
std::vector<word> read_words(const std::string& html)
{
    std::vector<word> words;
    for (size_t at = 0; (at = html.find("<word ", at)) != std::string::npos;) {
        size_t close = html.find('>', at), end = html.find("</word>", at);
        if (close == std::string::npos || end == std::string::npos || end < close) break;
        word each;
        if (sscanf(html.c_str() + at, "<word xMin=\"%lf\" yMin=\"%lf\" xMax=\"%lf\" yMax=\"%lf\"", &each.x_min,
                   &each.y_min, &each.x_max, &each.y_max) == 4) {
            each.text = attribute_free(html.substr(close + 1, end - close - 1));
            each.length = 0;
            for (size_t pos = 0; pos < each.text.size(); ++each.length)
                if (utf8_next(each.text, &pos) == 0xFFFFFFFF) ++pos;
            words.push_back(each);
        }
        at = end;
    }
    return words;
}

bool same_line(const word& a, const word& b)
{
    return fabs(a.y_min - b.y_min) < 0.5 && fabs(a.y_max - b.y_max) < 0.5;
}

// The checks of sizes; returns the number of faults.
int check_sizes(const char* name, const std::vector<word>& words, const std::set<uint32_t>& characters)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, 4, 4);
    cairo_t* cr = cairo_create(surface);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    int faults = 0, glyphs = 0;
    double smallest = 1e9, smallest_ink = 1e9;
    for (const word& each : words) {
        double size = (each.y_max - each.y_min) / line_height;
        if (size < smallest) smallest = size;
        if (size * cap_height < least - 0.01) {
            printf("%s: \"%s\" is set at %.1f pt: its capitals are %.2f mm high\n", name, each.text.c_str(), size,
                   size * cap_height / mm);
            ++faults;
        }
        size_t pos = 0;
        if (each.length != 1 || !characters.count(utf8_next(each.text, &pos))) continue;
        bool running_text = false;
        for (const word& other : words) running_text = running_text || (other.length > 2 && same_line(each, other));
        if (running_text) continue;
        // Measured large and scaled, so that no hinting rounds it.
        cairo_set_font_size(cr, 1000);
        cairo_text_extents_t ink;
        cairo_text_extents(cr, each.text.c_str(), &ink);
        ink.width *= size / 1000;
        ink.height *= size / 1000;
        double extent = ink.width > ink.height ? ink.width : ink.height;
        if (extent < dot_extent * size) continue;
        ++glyphs;
        if (extent < smallest_ink) smallest_ink = extent;
        if (extent < least - 0.01) {
            printf("%s: %s at (%.0f, %.0f) is %.2f mm high and %.2f mm wide\n", name, each.text.c_str(), each.x_min,
                   each.y_min, ink.height / mm, ink.width / mm);
            ++faults;
        }
    }
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    printf("%s: %zu words, the smallest at %.1f pt (capitals %.2f mm); %d characters standing alone, the smallest "
           "%.2f mm\n", name, words.size(), smallest, smallest * cap_height / mm, glyphs, smallest_ink / mm);
    if (glyphs < 50) {
        printf("%s: only %d characters standing alone were found\n", name, glyphs);
        ++faults;
    }
    return faults;
}

}  // namespace

int main(int argc, char** argv)
{
    if (!arguments_fit(argc, 3, 3, "chart_check <layout source> <chart text> <chart words>")) return 2;
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
    std::string html;
    if (!read_whole_file(argv[3], &html)) {
        fprintf(stderr, "cannot open %s\n", argv[3]);
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
    if (text.find("AltGr") == std::string::npos) {
        printf("%s: the AltGr key is not named \"AltGr\"\n", argv[2]);
        ++missing;
    }
    for (const char* other : {"Alt Gr", "Alt-Gr", "Altgr", "ALTGR", "Alt gr", "Alt-gr"})
        if (text.find(other) != std::string::npos) {
            printf("%s: the AltGr key is also spelt \"%s\"\n", argv[2], other);
            ++missing;
        }
    missing += check_sizes(argv[3], read_words(html), wanted);
    if (missing) return 1;
    printf("%s: all %zu characters of the layout are on the chart\n", argv[2], wanted.size());
    return 0;
}
