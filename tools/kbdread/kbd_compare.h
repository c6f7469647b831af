// Compares tables read back from a layout library with the layout source:
// every key, level, Caps Lock mark, dead-key composition, scan code and name.
#pragma once
#include <string>
#include <vector>

#include "tools/kbdread/kbd_reader.h"
#include "tools/layout/layout_source.h"

// Appends one line per difference to *faults; true when there is none.
bool compare_with_source(const kbd_tables& tables, const layout_source& layout,
                         std::vector<std::string>* faults);
// The names German Windows shows (GetKeyNameText with its own German layout)
// for the keys that shortcut fields name most: Pause and Num Lock (plain and
// extended 45), Space, Alt and AltGr, Enter and the numpad's Enter, Ctrl,
// Shift, and a dead key and a letter named through the character tables.
bool check_german_key_names(const kbd_tables& tables, std::vector<std::string>* faults);
