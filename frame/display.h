// The display device context and the frame palette (start-up and shutdown).
#pragma once
#include <windows.h>

// The frame's logical palette of 256 entries; the caller owns the handle.
HPALETTE create_frame_palette();
// Creates display_dc and reads the screen size, DPI and colour depth; realises the
// frame palette on displays of 8 bits or less.
void open_display();
// Puts the previous palette back, deletes the frame palette and display_dc.
void close_display();
