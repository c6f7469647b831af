// The frame's process-wide environment record and its entry points: what the
// start-up sequence learns about the display, the process and its command line,
// and the two hooks through which each program does its own work.
#pragma once
#include <windows.h>

enum { path_size = 260, max_args = 30 };

extern HINSTANCE app_instance;
extern int show_command;
extern HDC display_dc;
extern int screen_width;
extern int screen_height;
extern int display_bits;
extern int screen_dpi;                      // the system DPI (LOGPIXELSY); 96 when unknown
extern bool uses_palette;
extern HPALETTE frame_palette;
extern HPALETTE previous_palette;
extern bool is_wow64;
// The native machine as IsWow64Process2 reports it (IMAGE_FILE_MACHINE_AMD64,
// _ARM64 or _I386), or 0 (IMAGE_FILE_MACHINE_UNKNOWN) where kernel32 lacks
// that function or the call fails.
extern USHORT native_machine;
extern char program_name[path_size];
extern char window_title[path_size];
extern int arg_count;                       // -1 for an empty command line; at most max_args
extern char args[max_args][path_size];      // in the system code page
extern WCHAR args_wide[max_args][path_size];
extern bool center_window;
extern bool message_loop_running;
extern bool shutdown_done;

// The two hooks that each program supplies: app_init checks the command line
// and names the window (false ends the program before any window exists);
// app_run does the program's work (false ends it, true keeps it in the
// message loop).
bool app_init();
bool app_run();

// The hooks as the frame receives them. Each program defines its record,
// program_hooks, beside its hooks; WinMain hands it to frame_start, so the
// frame itself calls nothing of the program's by name.
struct app_hooks {
    bool (*init)();
    bool (*run)();
};
extern const app_hooks program_hooks;

// Start-up sequence of WinMain; returns the exit code.
int frame_start(HINSTANCE instance, int show, const app_hooks* hooks);
void environment_probe();
// Splits a UTF-16 command line into args/arg_count (the first token, the
// program's own path, is dropped). environment_probe calls it with GetCommandLineW.
// A 31st and later argument is dropped; an argument too long for its row of the
// table (259 UTF-16 units, 258 bytes converted) is kept as an empty argument.
void parse_command_line(const WCHAR* line);
void frame_shutdown();
