// The machine's keyboard-layout keys: reading the registration state, and
// choosing a KLID and "Layout Id" for a new layout.
#pragma once
#include "registry/layout_state.h"

extern const char keyboard_layouts_path[];   // "System\CurrentControlSet\Control\Keyboard Layouts"

bool layout_scan();
bool choose_new_klid(int index);
bool is_standard_klid(const char* text);
bool same_text(const char* a, const char* b);
