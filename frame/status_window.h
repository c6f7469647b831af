// The one small status window of each program and its message loop.
#pragma once
#include <windows.h>

enum { status_text_size = 501 };

extern HWND status_window;
// The font of the status line (the message font at the system DPI); none when
// it could not be made, and the line is drawn in the default font. Kept for
// the whole run.
extern HFONT status_font;
extern char status_text[status_text_size];
extern bool status_busy;
extern HCURSOR cursor_normal;
extern HCURSOR cursor_current;
extern HCURSOR cursor_wait;

bool create_status_window();
void show_status(const char* format, ...);
LRESULT CALLBACK status_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
int run_message_loop();
