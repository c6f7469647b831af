// Tearing the frame down: safe to call more than once, since the start-up
// sequence, WM_DESTROY and command 2 of the status window all call it.
#include "frame/display.h"
#include "frame/environment.h"

void frame_shutdown()
{
    if (shutdown_done)
        return;
    shutdown_done = true;
    close_display();
    if (message_loop_running)
        PostQuitMessage(0);
}
