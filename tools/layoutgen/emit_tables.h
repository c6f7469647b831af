// Turns the layout source into the C source of a keyboard-layout library's tables.
#pragma once
#include <string>

#include "tools/layout/layout_source.h"

// The tables as C source for payload/library/layout_tables.h; one source serves
// all three builds (the pointer width is the header's business).
std::string emit_tables(const layout_source& layout, const std::string& source_name);
