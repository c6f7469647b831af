// chart <layout source> <output.pdf>: draws the layout chart (DATEI4) with
// cairo, one A4 landscape page: the keyboard with every key's characters by
// level, the dead keys marked, and their compositions.
#include <cairo-pdf.h>
#include <cairo.h>
#include <stdio.h>
#include <string.h>

#include "tools/common_io.h"
#include "tools/layout/layout_source.h"

namespace {

const double page_width = 841.89, page_height = 595.28;   // A4 landscape in points
const double unit = 50;                                   // one key width
const double key_gap = 3;
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
// only), width in key units, and the label of a key without characters.
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
const board_key row3[] = {{0, 1.25, "⇧"},      {0x56, 1, nullptr}, {0x2c, 1, nullptr}, {0x2d, 1, nullptr},
                          {0x2e, 1, nullptr}, {0x2f, 1, nullptr}, {0x30, 1, nullptr}, {0x31, 1, nullptr},
                          {0x32, 1, nullptr}, {0x33, 1, nullptr}, {0x34, 1, nullptr}, {0x35, 1, nullptr},
                          {0, 2.75, "⇧ Umschalt"}};
const board_key row4[] = {{0, 1.25, "Strg"}, {0, 1.25, "Win"},   {0, 1.25, "Alt"},  {0x39, 6.25, nullptr},
                          {0, 1.25, "Alt Gr"}, {0, 1.25, "Win"}, {0, 1.25, "Menü"}, {0, 1.25, "Strg"}};

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
    double left = x + 6, right = x + w - 6, top = y + 7, bottom = y + h - 7;
    if (scan == 0x39) {
        text_at(cr, "⇧ Alt Gr: ⍽ₛ schmales geschütztes Leerzeichen", right, top, 8.5, altgr_ink, false, 1, 0);
        text_at(cr, "Alt Gr: ⍽ geschütztes Leerzeichen", right, bottom, 8.5, altgr_ink, false, 1, 1);
        return;
    }
    if (is_letter_pair(*entry)) {
        text_at(cr, shown(shift.ch), left, top, 17, ink, true, 0, 0);
        text_at(cr, shown(base.ch), left + 1, bottom, 10, faint, false, 0, 1);
    } else {
        if (shift.ch) text_at(cr, shown(shift.ch), left, top, shift.dead ? 17 : 14, shift.dead ? dead_ink : ink, shift.dead, 0, 0);
        if (base.ch) text_at(cr, shown(base.ch), left, bottom, base.dead ? 17 : 14, base.dead ? dead_ink : ink, base.dead, 0, 1);
    }
    if (shift_altgr.ch) text_at(cr, shown(shift_altgr.ch), right, top, 11.5, altgr_ink, false, 1, 0);
    if (altgr.ch) text_at(cr, shown(altgr.ch), right, bottom, 11.5, altgr_ink, false, 1, 1);
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
                text_at(cr, key.label, x + 6, y + h - 8, 9, faint, false, 0, 1);
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
    text_at(cr, "Eingabe ↵", ex + notch + 4, ey + eh - 8, 8.5, faint, false, 0, 1);
}

void draw_legend(cairo_t* cr, double x, double y)
{
    text_at(cr, "So liest man eine Taste", x, y, 11, ink, true, 0, 0);
    double kx = x, ky = y + 22, k = 76;
    rounded_rect(cr, kx, ky, k, k, 5);
    fill_key_shape(cr, key_face);
    text_at(cr, "⇧", kx + 7, ky + 8, 13, ink, true, 0, 0);
    text_at(cr, "normal", kx + 7, ky + k - 8, 8.5, ink, false, 0, 1);
    text_at(cr, "⇧ AltGr", kx + k - 6, ky + 8, 8.5, altgr_ink, false, 1, 0);
    text_at(cr, "AltGr", kx + k - 6, ky + k - 8, 8.5, altgr_ink, false, 1, 1);
    double tx = kx + k + 12;
    text_at(cr, "links unten: ohne Umschalttaste", tx, ky + 6, 9, ink, false, 0, 0);
    text_at(cr, "links oben: mit Umschalttaste ⇧", tx, ky + 22, 9, ink, false, 0, 0);
    text_at(cr, "rechts unten (blau): mit Alt Gr", tx, ky + 38, 9, altgr_ink, false, 0, 0);
    text_at(cr, "rechts oben (blau): mit ⇧ und Alt Gr", tx, ky + 54, 9, altgr_ink, false, 0, 0);
    double dy = ky + k + 16;
    rounded_rect(cr, kx, dy, 34, 34, 4);
    fill_key_shape(cr, dead_face);
    text_at(cr, "´", kx + 17, dy + 17, 14, dead_ink, true, 0.5, 0.5);
    text_at(cr, "Tottaste: erst den Akzent, dann den Buchstaben tippen", kx + 44, dy + 6, 9, ink, false, 0, 0);
    text_at(cr, "(Akzent und Leertaste ergeben den Akzent allein)", kx + 44, dy + 21, 9, faint, false, 0, 0);
    text_at(cr, "Feststelltaste: schreibt Buchstaben und Umlaute groß, Ziffern nicht", x, dy + 52, 9, ink, false, 0, 0);
}

void draw_dead_keys(cairo_t* cr, const layout_source& layout, double x, double y)
{
    text_at(cr, "Tottasten", x, y, 11, ink, true, 0, 0);
    double row_y = y + 24;
    for (const dead_key& dead : layout.dead_keys) {
        rounded_rect(cr, x, row_y - 4, 26, 26, 4);
        fill_key_shape(cr, dead_face);
        text_at(cr, utf8_encode(dead.accent), x + 13, row_y + 9, 16, dead_ink, true, 0.5, 0.5);
        std::string name = dead.name;
        for (size_t i = 1; i < name.size(); ++i) name[i] = (char)tolower((unsigned char)name[i]);
        text_at(cr, name, x + 34, row_y + 9, 9.5, faint, false, 0, 0.5);
        // Small letters and the space on the first line, capitals on the second.
        double cx[2] = {x + 112, x + 112};
        for (const composition& pair : dead.compositions) {
            int line = pair.base >= 'A' && pair.base <= 'Z' ? 1 : 0;
            double ty = row_y + 2 + 17 * line;
            std::string from = pair.base == ' ' ? "␣" : utf8_encode(pair.base);
            text_at(cr, from + "→", cx[line], ty, 9, faint, false, 0, 0.5);
            text_at(cr, utf8_encode(pair.composed), cx[line] + 19, ty, 12, ink, true, 0, 0.5);
            cx[line] += 38;
        }
        row_y += 48;
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
    text_at(cr, "Quarzfeld V2.06 Belegungsschaubild", x0, 30, 20, ink, true, 0, 0);
    text_at(cr, layout.title + " · deutsche Tastatur (T1) mit typografischer Alt-Gr-Ebene", x0, 56, 10.5, faint,
            false, 0, 0);
    draw_board(cr, layout, x0, 80);
    draw_legend(cr, x0, 345);
    draw_dead_keys(cr, layout, x0 + 375, 345);
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
