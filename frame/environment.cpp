// The process-wide environment record: what the start-up sequence learns about
// the display, the process and its command line.
#include "frame/environment.h"

HINSTANCE app_instance;
int show_command;
HDC display_dc;
int screen_width;
int screen_height;
int display_bits;
int screen_dpi = 96;
bool uses_palette;
HPALETTE frame_palette;
HPALETTE previous_palette;
bool is_wow64;
USHORT native_machine;
char program_name[path_size];
char window_title[path_size];
int arg_count = -1;
char args[max_args][path_size];
WCHAR args_wide[max_args][path_size];
bool center_window;
bool message_loop_running;
bool shutdown_done;
