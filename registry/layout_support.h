// Helpers and state that the layout registration files share among themselves;
// the flows use layout_state.h, layout_keys.h and preload_list.h instead.
#pragma once
#include <windows.h>
#include <stddef.h>

#include "registry/layout_state.h"

// "Layout Id" values of 0c00 and above that non-German layout keys use: the
// only ones a new "Layout Id" could collide with. Filled by layout_scan.
enum { foreign_id_capacity = list_capacity };
extern DWORD foreign_layout_ids[foreign_id_capacity];
extern int foreign_layout_id_count;

// Everything a scan produces back to empty (the scan's inputs
// layout_file_name and target_klid stay), so that a scan never sees the
// leftovers of an earlier one.
void clear_layout_results();

// Copies owned by the layout state and never freed; null when memory is out.
const char* keep_text(const char* text);
// The decimal text of a number ("%d").
const char* keep_decimal(LONG number);

// Formats into layout_error_text and returns false, for "return fail(...)".
bool fail_layout(const char* format, ...);

// "%d" of a number; the buffer has decimal_text_size bytes.
enum { decimal_text_size = 12 };
void format_decimal(char* out, LONG number);
// "%0*lx" of a value in lower case, at least min_digits (up to 8) digits; the
// buffer has room for 9 bytes.
void format_hex(char* out, DWORD value, int min_digits);
// A KLID-like identifier: the letter, the number as at least three lower-case
// hexadecimal digits, then 0407 (b0030407, d0010407). False when the number
// needs more than three digits.
bool format_klid(char* out, size_t size, char letter, LONG number);
bool is_german_klid(const char* name);

// Appending to the planned lists; false (layout_error_text set) when full.
// A substitute pair whose name the list holds already is not added twice.
bool add_new_preload(const char* name, const char* data, const char* substitute,
                     raw_value raw = raw_value{});
bool add_new_substitute(const char* name, const char* data, raw_value raw = raw_value{});

// Whether text begins with prefix, ignoring letter case as same_text does.
bool begins_with_nocase(const char* text, const char* prefix);

// Whether a Preload value or the data of a Substitutes value names klid
// (ignoring case): the user's lists load that layout.
bool listed_for_user(const char* klid);
