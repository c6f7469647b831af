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
