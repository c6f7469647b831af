// The display device context that the frame keeps for the whole run, and the
// frame's logical palette on displays of 256 colours or fewer.
#include "frame/display.h"

#include "frame/environment.h"

HPALETTE create_frame_palette()
{
    struct {
        WORD version;
        WORD count;
        PALETTEENTRY entries[256];
    } palette = {};
    palette.version = 0x300;
    palette.count = 256;

    // The first and last eight entries are the static colours that Windows
    // itself keeps on such displays.
    static const BYTE low[8][3] = {{0, 0, 0},     {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                   {0, 0, 128},   {128, 0, 128}, {0, 128, 128}, {192, 192, 192}};
    static const BYTE high[8][3] = {{128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                    {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    for (int i = 0; i < 8; ++i) {
        palette.entries[i] = {low[i][0], low[i][1], low[i][2], 0};
        palette.entries[248 + i] = {high[i][0], high[i][1], high[i][2], 0};
    }
    // Between them: 24 grey steps, then the 6 x 6 x 6 colour cube of the
    // channel values 0, 51, 102, 153, 204 and 255.
    int index = 8;
    for (int step = 1; step <= 24; ++step) {
        BYTE grey = (BYTE)(step * 10 + 5);
        palette.entries[index++] = {grey, grey, grey, 0};
    }
    for (int red = 0; red < 6; ++red)
        for (int green = 0; green < 6; ++green)
            for (int blue = 0; blue < 6; ++blue)
                palette.entries[index++] = {(BYTE)(red * 51), (BYTE)(green * 51), (BYTE)(blue * 51), 0};
    return CreatePalette((LOGPALETTE*)&palette);
}

void open_display()
{
    display_dc = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    if (!display_dc) {
        // Without a device context nothing is known about the display: no
        // palette, a screen size of 0 (the status window then takes the
        // system's default place) and the DPI of 100 %.
        screen_width = screen_height = display_bits = 0;
        screen_dpi = 96;
        uses_palette = false;
        return;
    }
    SetMapMode(display_dc, MM_TEXT);
    screen_width = GetDeviceCaps(display_dc, HORZRES);
    screen_height = GetDeviceCaps(display_dc, VERTRES);
    // The manifest declares the programs DPI-aware: Windows reports the
    // system DPI here and does not stretch their windows.
    screen_dpi = GetDeviceCaps(display_dc, LOGPIXELSY);
    if (screen_dpi <= 0)
        screen_dpi = 96;
    display_bits = GetDeviceCaps(display_dc, PLANES) * GetDeviceCaps(display_dc, BITSPIXEL);
    uses_palette = display_bits <= 8;
    if (uses_palette) {
        frame_palette = create_frame_palette();
        if (frame_palette) {
            previous_palette = SelectPalette(display_dc, frame_palette, TRUE);
            RealizePalette(display_dc);
        }
    }
}

void close_display()
{
    if (uses_palette) {
        if (previous_palette) {
            SelectPalette(display_dc, previous_palette, TRUE);
            RealizePalette(display_dc);
            previous_palette = nullptr;
        }
        if (frame_palette) {
            DeleteObject(frame_palette);
            frame_palette = nullptr;
        }
    }
    if (display_dc) {
        DeleteDC(display_dc);
        display_dc = nullptr;
    }
}
