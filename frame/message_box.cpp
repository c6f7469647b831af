// The programs' one call of MessageBoxA. It lives apart from the message
// functions so that the test programs can link a scripted stand-in instead.
#include "frame/messages.h"
#include "frame/status_window.h"

int show_message_box(const char* text, const char* caption, UINT flags)
{
    // Owned by the status window once it exists, so the box stays in front of
    // it and the window is disabled while the box is open.
    return MessageBoxA(status_window, text, caption, flags);
}
