// chart <layout source> <output.pdf>: draws the layout chart (DATEI4) with
// cairo, one A4 landscape page: the keyboard with every key's characters by
// level, the dead keys marked, and their compositions.
#include <cairo-pdf.h>
#include <cairo.h>
#include <stdio.h>
#include <string.h>

#include <vector>

#include "tools/common_io.h"
#include "tools/layout/layout_source.h"

namespace {

const double page_width = 841.89, page_height = 595.28;   // A4 landscape in points
const double unit = 53.5;                                 // one key width
const double key_gap = 3;
// Every character of the layout is drawn with ink at least this tall or wide
// (2.6 mm; printed text below 2.5 mm is hard to read), and no text is set
// smaller than text_size, whose capitals are 2.57 mm high.
const double min_ink = 7.4;
const double text_size = 10;
// A glyph whose ink is smaller than this many ems both ways is a dot.
const double dot_extent = 0.16;
const char* const font = "DejaVu Sans";

struct rgb {
    double r, g, b;
};
const rgb ink = {0.13, 0.14, 0.16};
const rgb faint = {0.45, 0.48, 0.52};
const rgb altgr_ink = {0.11, 0.31, 0.57};
const rgb dead_ink = {0.70, 0.30, 0.08};
const rgb key_face = {0.97, 0.97, 0.96};
const rgb key_edge = {0.55, 0.58, 0.62};
const rgb dead_face = {0.99, 0.89, 0.78};
const rgb function_face = {0.88, 0.89, 0.91};

// One key of the ISO board: its scan code (0 for keys drawn with a label
// only), width in key units, and the label of a key without characters
// (a line break puts its first part at the top).
struct board_key {
    int scan;
    double width;
    const char* label;
};

const board_key row0[] = {{0x29, 1, nullptr}, {0x02, 1, nullptr}, {0x03, 1, nullptr}, {0x04, 1, nullptr},
                          {0x05, 1, nullptr}, {0x06, 1, nullptr}, {0x07, 1, nullptr}, {0x08, 1, nullptr},
                          {0x09, 1, nullptr}, {0x0a, 1, nullptr}, {0x0b, 1, nullptr}, {0x0c, 1, nullptr},
                          {0x0d, 1, nullptr}, {0, 2, "⟵ Rücktaste"}};
const board_key row1[] = {{0, 1.5, "Tab ↹"},    {0x10, 1, nullptr}, {0x11, 1, nullptr}, {0x12, 1, nullptr},
                          {0x13, 1, nullptr}, {0x14, 1, nullptr}, {0x15, 1, nullptr}, {0x16, 1, nullptr},
                          {0x17, 1, nullptr}, {0x18, 1, nullptr}, {0x19, 1, nullptr}, {0x1a, 1, nullptr},
                          {0x1b, 1, nullptr}};
const board_key row2[] = {{0, 1.75, "Feststell"}, {0x1e, 1, nullptr}, {0x1f, 1, nullptr}, {0x20, 1, nullptr},
                          {0x21, 1, nullptr}, {0x22, 1, nullptr}, {0x23, 1, nullptr}, {0x24, 1, nullptr},
                          {0x25, 1, nullptr}, {0x26, 1, nullptr}, {0x27, 1, nullptr}, {0x28, 1, nullptr},
                          {0x2b, 1, nullptr}};
const board_key row3[] = {{0, 1.25, "⇧\nUmschalt"},      {0x56, 1, nullptr}, {0x2c, 1, nullptr}, {0x2d, 1, nullptr},
                          {0x2e, 1, nullptr}, {0x2f, 1, nullptr}, {0x30, 1, nullptr}, {0x31, 1, nullptr},
                          {0x32, 1, nullptr}, {0x33, 1, nullptr}, {0x34, 1, nullptr}, {0x35, 1, nullptr},
                          {0, 2.75, "⇧\nUmschalt"}};
const board_key row4[] = {{0, 1.25, "Strg"}, {0, 1.25, "Win"},   {0, 1.25, "Alt"},  {0x39, 6.25, nullptr},
                          {0, 1.25, "AltGr"}, {0, 1.25, "Win"}, {0, 1.25, "Menü"}, {0, 1.25, "Strg"}};

struct board_row {
    const board_key* keys;
    size_t count;
};
const board_row rows[] = {{row0, 14}, {row1, 13}, {row2, 13}, {row3, 13}, {row4, 8}};

void set_colour(cairo_t* cr, rgb colour) { cairo_set_source_rgb(cr, colour.r, colour.g, colour.b); }

void rounded_rect(cairo_t* cr, double x, double y, double w, double h, double r)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -1.5708, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, 1.5708);
    cairo_arc(cr, x + r, y + h - r, r, 1.5708, 3.14159);
    cairo_arc(cr, x + r, y + r, r, 3.14159, 4.71239);
    cairo_close_path(cr);
}

void fill_key_shape(cairo_t* cr, rgb face)
{
    set_colour(cr, face);
    cairo_fill_preserve(cr);
    set_colour(cr, key_edge);
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
}

// Text placed by its box: ax/ay 0 = left/top, 0.5 = centre, 1 = right/bottom.
void text_at(cairo_t* cr, const std::string& text, double x, double y, double size, rgb colour, bool bold,
             double ax, double ay)
{
    cairo_select_font_face(cr, font, CAIRO_FONT_SLANT_NORMAL, bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t box;
    cairo_text_extents(cr, text.c_str(), &box);
    cairo_font_extents_t metrics;
    cairo_font_extents(cr, &metrics);
    double height = metrics.ascent * 0.72;   // about the height of a capital
    set_colour(cr, colour);
    cairo_move_to(cr, x - box.x_advance * ax, y + height * (1 - ay));
    cairo_show_text(cr, text.c_str());
}

// One character of the layout, placed like text_at places it at `size`, but
// anchored by its ink horizontally. A mark whose ink is smaller than min_ink
// in both directions (quotes, primes, accents, superscripts) is drawn larger.
// It keeps the place of its ink's top when it sits high in the line (’ ′ ¹),
// of its bottom when it sits low (‚ „), and of its centre otherwise (‹ ›), so
// that ‚ and ’ stay apart. A dot (. ·) only grows by half: a dot of 2.5 mm
// is a blob, not a character.
void glyph_at(cairo_t* cr, const std::string& text, double x, double y, double size, rgb colour, bool bold,
              double ax, double ay)
{
    if (text.empty()) return;
    // The size is judged by the regular face, so that the chart check, which
    // cannot tell the weights apart, measures what is drawn or less.
    cairo_select_font_face(cr, font, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t ink;
    cairo_text_extents(cr, text.c_str(), &ink);
    double extent = ink.width > ink.height ? ink.width : ink.height;
    double factor = extent <= 0 || extent >= min_ink ? 1 : extent < dot_extent * size ? 1.5 : min_ink / extent;
    cairo_select_font_face(cr, font, CAIRO_FONT_SLANT_NORMAL, bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_font_extents_t metrics;
    cairo_font_extents(cr, &metrics);
    cairo_text_extents(cr, text.c_str(), &ink);
    double baseline = y + metrics.ascent * 0.72 * (1 - ay);
    if (factor > 1) {
        double ink_top = baseline + ink.y_bearing, ink_bottom = ink_top + ink.height;
        double centre = (ink_top + ink_bottom) / 2;
        cairo_set_font_size(cr, size * factor);
        cairo_text_extents(cr, text.c_str(), &ink);
        if (centre < baseline - 0.45 * size) baseline = ink_top - ink.y_bearing;
        else if (centre > baseline - 0.2 * size) baseline = ink_bottom - ink.y_bearing - ink.height;
        else baseline = centre - ink.y_bearing - ink.height / 2;
    }
    set_colour(cr, colour);
    cairo_move_to(cr, x - ink.x_bearing - ink.width * ax, baseline);
    cairo_show_text(cr, text.c_str());
}

// What a level shows: the character, or a short name for the invisible ones.
std::string shown(uint32_t ch)
{
    switch (ch) {
    case 0x20: return "";
    case 0xA0: return "⍽";      // no-break space
    case 0x202F: return "⍽ₛ";   // narrow no-break space
    default: return utf8_encode(ch);
    }
}

bool is_letter_pair(const char_entry& entry)
{
    uint32_t base = entry.levels[level_base].ch, shift = entry.levels[level_shift].ch;
    return entry.caps && base != shift && !entry.levels[level_base].dead;
}

void draw_char_key(cairo_t* cr, const layout_source& layout, int scan, double x, double y, double w, double h)
{
    const char_entry* entry = nullptr;
    for (const char_entry& each : layout.chars)
        if (each.scan == scan) entry = &each;
    bool dead = false;
    if (entry)
        for (const key_level& level : entry->levels) dead = dead || level.dead;
    rounded_rect(cr, x, y, w, h, 4);
    fill_key_shape(cr, dead ? dead_face : key_face);
    if (!entry) return;
    const key_level& base = entry->levels[level_base];
    const key_level& shift = entry->levels[level_shift];
    const key_level& altgr = entry->levels[level_altgr];
    const key_level& shift_altgr = entry->levels[level_shift_altgr];
    double left = x + 5, right = x + w - 5, top = y + 7, bottom = y + h - 7;
    if (scan == 0x39) {
        text_at(cr, "⇧ AltGr: ⍽ₛ schmales geschütztes Leerzeichen", right, top, 10.5, altgr_ink, false, 1, 0);
        text_at(cr, "AltGr: ⍽ geschütztes Leerzeichen", right, bottom, 10.5, altgr_ink, false, 1, 1);
        return;
    }
    if (is_letter_pair(*entry)) {
        glyph_at(cr, shown(shift.ch), left, top, 18, ink, true, 0, 0);
        glyph_at(cr, shown(base.ch), left + 1, bottom, 13.5, faint, false, 0, 1);
    } else {
        if (shift.ch) glyph_at(cr, shown(shift.ch), left, top, shift.dead ? 18 : 15, shift.dead ? dead_ink : ink, shift.dead, 0, 0);
        if (base.ch) glyph_at(cr, shown(base.ch), left, bottom, base.dead ? 18 : 15, base.dead ? dead_ink : ink, base.dead, 0, 1);
    }
    if (shift_altgr.ch) glyph_at(cr, shown(shift_altgr.ch), right, top, 14.5, altgr_ink, false, 1, 0);
    if (altgr.ch) glyph_at(cr, shown(altgr.ch), right, bottom, 14.5, altgr_ink, false, 1, 1);
}

void draw_board(cairo_t* cr, const layout_source& layout, double x0, double y0)
{
    double y = y0;
    for (const board_row& row : rows) {
        double x = x0;
        for (size_t i = 0; i < row.count; ++i) {
            const board_key& key = row.keys[i];
            double w = key.width * unit - key_gap, h = unit - key_gap;
            if (key.scan) {
                draw_char_key(cr, layout, key.scan, x, y, w, h);
            } else {
                rounded_rect(cr, x, y, w, h, 4);
                fill_key_shape(cr, function_face);
                // "top\nbottom": a symbol above the name, as on both Shift keys.
                std::string label = key.label;
                size_t split = label.find('\n');
                if (split != std::string::npos) {
                    text_at(cr, label.substr(0, split), x + 5, y + 7, 14, faint, false, 0, 0);
                    label = label.substr(split + 1);
                }
                text_at(cr, label, x + 5, y + h - 8, text_size, faint, false, 0, 1);
            }
            x += key.width * unit;
        }
        y += unit;
    }
    // The ISO Enter key spans the second and third rows, right of the last keys.
    double ex = x0 + 13.5 * unit, ey = y0 + unit, ew = 1.5 * unit - key_gap;
    double notch = 0.25 * unit, eh = 2 * unit - key_gap;
    cairo_new_path(cr);
    cairo_move_to(cr, ex, ey);
    cairo_line_to(cr, ex + ew, ey);
    cairo_line_to(cr, ex + ew, ey + eh);
    cairo_line_to(cr, ex + notch, ey + eh);
    cairo_line_to(cr, ex + notch, ey + unit - key_gap);
    cairo_line_to(cr, ex, ey + unit - key_gap);
    cairo_close_path(cr);
    fill_key_shape(cr, function_face);
    text_at(cr, "Eingabe ↵", ex + notch + 4, ey + eh - 8, text_size, faint, false, 0, 1);
}

void draw_legend(cairo_t* cr, double x, double y)
{
    text_at(cr, "So liest man eine Taste", x, y, 12, ink, true, 0, 0);
    double kx = x, ky = y + 24, k = 86;
    rounded_rect(cr, kx, ky, k, k, 5);
    fill_key_shape(cr, key_face);
    text_at(cr, "⇧", kx + 7, ky + 8, 14, ink, true, 0, 0);
    text_at(cr, "normal", kx + 7, ky + k - 8, text_size, ink, false, 0, 1);
    text_at(cr, "⇧ AltGr", kx + k - 6, ky + 8, text_size, altgr_ink, false, 1, 0);
    text_at(cr, "AltGr", kx + k - 6, ky + k - 8, text_size, altgr_ink, false, 1, 1);
    double tx = kx + k + 12;
    text_at(cr, "links unten: ohne Umschalttaste", tx, ky + 6, text_size, ink, false, 0, 0);
    text_at(cr, "links oben: mit Umschalttaste ⇧", tx, ky + 26, text_size, ink, false, 0, 0);
    text_at(cr, "rechts unten (blau): mit AltGr", tx, ky + 46, text_size, altgr_ink, false, 0, 0);
    text_at(cr, "rechts oben (blau): mit ⇧ und AltGr", tx, ky + 66, text_size, altgr_ink, false, 0, 0);
    double dy = ky + k + 16;
    rounded_rect(cr, kx, dy, 38, 38, 4);
    fill_key_shape(cr, dead_face);
    glyph_at(cr, "´", kx + 19, dy + 19, 16, dead_ink, true, 0.5, 0.5);
    text_at(cr, "Tottaste: erst den Akzent, dann den Buchstaben tippen", kx + 48, dy + 6, text_size, ink, false, 0, 0);
    text_at(cr, "(Akzent und Leertaste ergeben den Akzent allein)", kx + 48, dy + 24, text_size, faint, false, 0, 0);
    text_at(cr, "Feststelltaste: schreibt Buchstaben und Umlaute groß, Ziffern nicht", x, dy + 54, text_size, ink,
            false, 0, 0);
}

// Each dead key: its small letters and the space on the first line, its
// capitals on the second, each capital under its small letter, and the space
// in one column for every dead key.
void draw_dead_keys(cairo_t* cr, const layout_source& layout, double x, double y)
{
    text_at(cr, "Tottasten", x, y, 12, ink, true, 0, 0);
    size_t small_columns = 0;
    for (const dead_key& dead : layout.dead_keys) {
        size_t small = 0;
        for (const composition& pair : dead.compositions)
            if (pair.base != ' ' && !(pair.base >= 'A' && pair.base <= 'Z')) ++small;
        if (small > small_columns) small_columns = small;
    }
    const double column = 41, first = x + 118;
    double row_y = y + 26;
    for (const dead_key& dead : layout.dead_keys) {
        rounded_rect(cr, x, row_y - 2, 30, 30, 4);
        fill_key_shape(cr, dead_face);
        glyph_at(cr, utf8_encode(dead.accent), x + 15, row_y + 13, 17, dead_ink, true, 0.5, 0.5);
        std::string name = dead.name;
        for (size_t i = 1; i < name.size(); ++i) name[i] = (char)tolower((unsigned char)name[i]);
        text_at(cr, name, x + 38, row_y + 13, 10.5, faint, false, 0, 0.5);
        std::vector<uint32_t> small;   // the small letters in their columns
        size_t extra = small_columns + 1;
        for (const composition& pair : dead.compositions) {
            bool capital = pair.base >= 'A' && pair.base <= 'Z';
            size_t col;
            if (pair.base == ' ') {
                col = small_columns;
            } else if (!capital) {
                col = small.size();
                small.push_back(pair.base);
            } else {
                col = extra;
                for (size_t i = 0; i < small.size(); ++i)
                    if (small[i] == pair.base + 0x20) col = i;
                if (col == extra) ++extra;
            }
            double cx = first + column * col, ty = row_y + 4 + 20 * (capital ? 1 : 0);
            std::string from = pair.base == ' ' ? "␣" : utf8_encode(pair.base);
            text_at(cr, from + "→", cx, ty, text_size, faint, false, 0, 0.5);
            glyph_at(cr, utf8_encode(pair.composed), cx + 21, ty, 13, ink, true, 0, 0.5);
        }
        row_y += 54;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (!arguments_fit(argc, 2, 2, "chart <layout source> <output.pdf>")) return 2;
    layout_source layout;
    std::string error;
    if (!load_layout(argv[1], &layout, &error)) {
        fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    cairo_surface_t* surface = cairo_pdf_surface_create(argv[2], page_width, page_height);
    // No creation date: the same source gives the same file.
    cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_CREATE_DATE, "");
    cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_TITLE, "Quarzfeld V2.06 Belegungsschaubild");
    cairo_t* cr = cairo_create(surface);
    set_colour(cr, {1, 1, 1});
    cairo_paint(cr);
    double x0 = (page_width - 15 * unit) / 2;
    text_at(cr, "Quarzfeld V2.06 Belegungsschaubild", x0, 26, 20, ink, true, 0, 0);
    text_at(cr, layout.title + " · deutsche Tastatur (T1) mit typografischer AltGr-Ebene", x0, 52, 11, faint,
            false, 0, 0);
    draw_board(cr, layout, x0, 76);
    draw_legend(cr, x0, 366);
    draw_dead_keys(cr, layout, x0 + 400, 366);
    cairo_status_t status = cairo_status(cr);
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    if (status == CAIRO_STATUS_SUCCESS) status = cairo_surface_status(surface);
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        fprintf(stderr, "%s: %s\n", argv[2], cairo_status_to_string(status));
        remove(argv[2]);
        return 1;
    }
    return 0;
}
