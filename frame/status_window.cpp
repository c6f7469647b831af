// The one small status window of each program: one centred line of text on
// white, repainted synchronously because the hooks work without returning to
// a message loop, and the owner of every message box.
#include "frame/status_window.h"

#include <string.h>

#include "frame/environment.h"
#include "frame/messages.h"

HWND status_window;
char status_text[status_text_size];
bool status_busy;
HCURSOR cursor_normal;
HCURSOR cursor_current;
HCURSOR cursor_wait;

static HICON load_program_icon(const char* name)
{
    HICON icon = LoadIconA(app_instance, name);
    return icon ? icon : LoadIconA(nullptr, IDI_APPLICATION);
}

bool create_status_window()
{
    char class_name[path_size];
    lstrcpynA(class_name, program_name, sizeof class_name);

    WNDCLASSEXA window_class = {};
    window_class.cbSize = sizeof window_class;
    window_class.style = CS_HREDRAW | CS_VREDRAW;
    window_class.lpfnWndProc = status_window_proc;
    window_class.hInstance = app_instance;
    window_class.hIcon = load_program_icon("aaProgramIcon");
    // There is no separate small icon resource: the system picks the small
    // picture out of the same group.
    window_class.hIconSm = LoadIconA(app_instance, "aaProgramSmallIcon");
    if (!window_class.hIconSm)
        window_class.hIconSm = window_class.hIcon;
    window_class.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    window_class.lpszClassName = class_name;
    RegisterClassExA(&window_class);

    int x = CW_USEDEFAULT, y = CW_USEDEFAULT, width = CW_USEDEFAULT, height = CW_USEDEFAULT;
    // Without a display device context the screen size is unknown (0); the
    // window then takes the system's default place instead of a size of 0.
    if (center_window && screen_width > 0 && screen_height > 0) {
        width = screen_width / 4;
        height = screen_height / 6;
        x = (screen_width - width) / 2;
        y = (screen_height - height) / 2;
    }
    status_window = CreateWindowExA(0, class_name, window_title,
                                    WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                                    x, y, width, height, nullptr, nullptr, app_instance, nullptr);
    if (status_window) {
        ShowWindow(status_window, show_command);
        UpdateWindow(status_window);
    }
    return true;
}

void show_status(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    format_text(status_text, sizeof status_text, format, arguments);
    va_end(arguments);

    if (status_window) {
        // Painted now: the caller goes on working without a message loop.
        InvalidateRect(status_window, nullptr, TRUE);
        UpdateWindow(status_window);
    }
    cursor_current = cursor_wait;
    SetCursor(cursor_wait);
    status_busy = true;
}

static bool realize_frame_palette(HWND window, bool with_update)
{
    if (!uses_palette || !frame_palette)
        return false;
    HDC dc = GetDC(window);
    if (!dc)
        return false;
    SelectPalette(dc, frame_palette, FALSE);
    RealizePalette(dc);
    if (with_update)
        UpdateColors(dc);
    InvalidateRect(window, nullptr, TRUE);
    ReleaseDC(window, dc);
    return true;
}

LRESULT CALLBACK status_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_DESTROY:
        frame_shutdown();
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        SetBkMode(dc, TRANSPARENT);
        DrawTextA(dc, status_text, -1, &client, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_COMMAND:
        if (LOWORD(wparam) == IDCANCEL) {
            frame_shutdown();
            return 1;
        }
        return 0;
    case WM_MOUSEMOVE:
        SetCursor(cursor_current);
        return 0;
    case WM_QUERYNEWPALETTE:
        return realize_frame_palette(window, false) ? 1 : 0;
    case WM_PALETTECHANGED:
        // A change that this window caused itself must not start the round again.
        if ((HWND)wparam != window)
            realize_frame_palette(window, true);
        break;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

int run_message_loop()
{
    MSG message;
    BOOL result;
    while ((result = GetMessageA(&message, nullptr, 0, 0)) != 0) {
        // -1 is a failure of GetMessageA itself (no message was taken).
        if (result == -1)
            return 0;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return (int)message.wParam;
}
