// The start-up sequence that WinMain runs: it prepares the display and the
// environment record, then drives the program's two hooks, handed over by
// WinMain, around the creation of the status window.
#include "frame/display.h"
#include "frame/environment.h"
#include "frame/status_window.h"
#include "frame/system_functions.h"

int frame_start(HINSTANCE instance, int show, const app_hooks* hooks)
{
    harden_dll_search();

    status_window = nullptr;
    SetLastError(0);
    cursor_normal = cursor_current = LoadCursorA(nullptr, IDC_APPSTARTING);
    cursor_wait = LoadCursorA(nullptr, IDC_WAIT);
    open_display();
    is_wow64 = query_wow64();
    native_machine = query_native_machine();
    app_instance = instance;
    show_command = show;
    environment_probe();

    if (hooks->init()) {
        create_status_window();
        if (hooks->run()) {
            // The program stays open: the arrow replaces the app-starting
            // cursor, unless a status line has already switched to the hourglass.
            cursor_normal = LoadCursorA(nullptr, IDC_ARROW);
            if (!status_busy)
                cursor_current = cursor_normal;
            message_loop_running = true;
            return run_message_loop();
        }
    }
    frame_shutdown();
    return 0;
}
