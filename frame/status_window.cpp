// The one small status window of each program: one centred line of text on
// white, repainted synchronously because the hooks work without returning to
// a message loop, and the owner of every message box. Its size and font follow
// the system DPI (the programs declare themselves DPI-aware).
#include "frame/status_window.h"

#include <stddef.h>
#include <string.h>

#include "frame/environment.h"
#include "frame/messages.h"

HWND status_window;
HFONT status_font;
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

// The font of the message boxes, which Windows gives a DPI-aware program in
// the size for the system DPI; none (the device context's default font) when
// the system does not tell it or the font cannot be made.
static HFONT create_status_font()
{
    NONCLIENTMETRICSA metrics = {};
    // The structure without its last member, which Windows before Vista refuses.
    metrics.cbSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
        return nullptr;
    return CreateFontIndirectA(&metrics.lfMessageFont);
}

// A size meant for 96 DPI (100 %) at the system DPI, at most limit.
static int scale_to_dpi(int pixels, int limit)
{
    int scaled = MulDiv(pixels, screen_dpi, 96);
    if (scaled <= 0)
        return pixels;
    return scaled < limit ? scaled : limit;
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
    // At 100 % a quarter of the screen's width and a sixth of its height; at
    // 150 % half as large again, as the text is, and never beyond the screen.
    if (center_window && screen_width > 0 && screen_height > 0) {
        width = scale_to_dpi(screen_width / 4, screen_width);
        height = scale_to_dpi(screen_height / 6, screen_height);
        x = (screen_width - width) / 2;
        y = (screen_height - height) / 2;
    }
    if (!status_font)
        status_font = create_status_font();
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
        HGDIOBJ previous_font = status_font ? SelectObject(dc, status_font) : nullptr;
        DrawTextA(dc, status_text, -1, &client, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
        if (previous_font)
            SelectObject(dc, previous_font);
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
