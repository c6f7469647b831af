// The status window on the test display (Xvfb): its place and size, the status
// line painted before show_status returns, the cursor, the palette messages,
// and the two ways in which the window ends the frame (command 2, WM_DESTROY).
#include <gtest/gtest.h>

#include <string.h>

#include "frame/display.h"
#include "frame/environment.h"
#include "frame/status_window.h"
#include "tests/support/test_files.h"

namespace {

// Wine 8's WoW64 mode opens no device context for a 32-bit process
// (CreateDCA and CreateCompatibleDC fail, the screen's GetDeviceCaps gives 0);
// what needs one is not tested there.
bool wine_wow64_without_device_contexts()
{
    if (!running_on_wine() || !test_process_is_wow64())
        return false;
    HDC dc = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    if (dc)
        DeleteDC(dc);
    return dc == nullptr;
}

// Counts the pixels of the client area's middle band that are not white.
int dark_pixels(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    int dark = 0;
    int middle = (client.top + client.bottom) / 2;
    for (int y = middle - 8; y <= middle + 8; ++y) {
        for (int x = client.left; x < client.right; ++x) {
            COLORREF colour = GetPixel(dc, x, y);
            if (colour != CLR_INVALID && GetRValue(colour) + GetGValue(colour) + GetBValue(colour) < 384)
                ++dark;
        }
    }
    ReleaseDC(window, dc);
    return dark;
}

// Removes every message waiting for this thread; returns how many WM_QUIT
// there were, with the last quit code in *code.
int drain_quit_messages(WPARAM* code = nullptr)
{
    int quits = 0;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            ++quits;
            if (code)
                *code = message.wParam;
        }
    }
    return quits;
}

class status_window_test : public ::testing::Test {
protected:
    void SetUp() override
    {
        app_instance = GetModuleHandleA(nullptr);
        show_command = SW_SHOWNORMAL;
        lstrcpyA(program_name, "frame_status_window_tests");
        lstrcpyA(window_title, "Statusfenster-Test");
        status_text[0] = '\0';
        status_busy = false;
        cursor_normal = cursor_current = LoadCursorA(nullptr, IDC_APPSTARTING);
        cursor_wait = LoadCursorA(nullptr, IDC_WAIT);
        center_window = true;
        screen_width = 1920;
        screen_height = 1080;
        screen_dpi = 96;
        uses_palette = false;
        frame_palette = nullptr;
        display_dc = nullptr;
        // The window's end must not tear down anything that a test did not set up.
        shutdown_done = true;
        message_loop_running = false;
    }
    void TearDown() override
    {
        shutdown_done = true;
        if (status_window && IsWindow(status_window))
            DestroyWindow(status_window);
        status_window = nullptr;
        drain_quit_messages();
        if (frame_palette)
            DeleteObject(frame_palette);
        frame_palette = nullptr;
        uses_palette = false;
    }
};

TEST_F(status_window_test, centred_at_a_quarter_width_and_a_sixth_height)
{
    EXPECT_TRUE(create_status_window());
    ASSERT_NE(nullptr, status_window);
    RECT rect;
    GetWindowRect(status_window, &rect);
    EXPECT_EQ(720, rect.left);
    EXPECT_EQ(450, rect.top);
    EXPECT_EQ(480, rect.right - rect.left);
    EXPECT_EQ(180, rect.bottom - rect.top);
    EXPECT_TRUE(IsWindowVisible(status_window));
    char title[64];
    GetWindowTextA(status_window, title, sizeof title);
    EXPECT_STREQ("Statusfenster-Test", title);
    char class_name[64];
    GetClassNameA(status_window, class_name, sizeof class_name);
    EXPECT_STREQ("frame_status_window_tests", class_name);
    DWORD style = (DWORD)GetWindowLongA(status_window, GWL_STYLE) & ~(DWORD)WS_VISIBLE;
    EXPECT_EQ(0x06CF0000u, style & 0xFFFF0000u);
}

TEST_F(status_window_test, sizes_round_toward_zero)
{
    screen_width = 1283;
    screen_height = 1027;
    create_status_window();
    ASSERT_NE(nullptr, status_window);
    RECT rect;
    GetWindowRect(status_window, &rect);
    EXPECT_EQ(320, rect.right - rect.left);    // 1283 / 4
    EXPECT_EQ(171, rect.bottom - rect.top);    // 1027 / 6
    EXPECT_EQ((1283 - 320) / 2, rect.left);
    EXPECT_EQ((1027 - 171) / 2, rect.top);
}

TEST_F(status_window_test, grows_with_the_system_dpi_within_the_screen)
{
    // 150 % on 1920 by 1080: half as large again; 500 % on 800 by 600: as
    // wide as the screen, no wider (a size that fits the test display).
    const struct { int dpi, screen_width, screen_height, left, top, width, height; } cases[] = {
        {144, 1920, 1080, 600, 405, 720, 270}, {480, 800, 600, 0, 50, 800, 500}};
    for (const auto& expected : cases) {
        screen_dpi = expected.dpi;
        screen_width = expected.screen_width;
        screen_height = expected.screen_height;
        create_status_window();
        ASSERT_NE(nullptr, status_window);
        RECT rect;
        GetWindowRect(status_window, &rect);
        EXPECT_EQ(expected.left, rect.left) << expected.dpi;
        EXPECT_EQ(expected.top, rect.top) << expected.dpi;
        EXPECT_EQ(expected.width, rect.right - rect.left) << expected.dpi;
        EXPECT_EQ(expected.height, rect.bottom - rect.top) << expected.dpi;
        DestroyWindow(status_window);
        status_window = nullptr;
    }
}

TEST_F(status_window_test, without_screen_size_takes_the_default_place)
{
    // What a failed CreateDCA for the display leaves: a screen size of 0.
    screen_width = screen_height = 0;
    EXPECT_TRUE(create_status_window());
    ASSERT_NE(nullptr, status_window);
    RECT rect;
    GetWindowRect(status_window, &rect);
    EXPECT_GT(rect.right - rect.left, 0);
    EXPECT_GT(rect.bottom - rect.top, 0);
}

TEST_F(status_window_test, uncentred_window_takes_the_default_place)
{
    center_window = false;
    create_status_window();
    ASSERT_NE(nullptr, status_window);
    RECT rect;
    GetWindowRect(status_window, &rect);
    EXPECT_GT(rect.right - rect.left, 100);
    EXPECT_GT(rect.bottom - rect.top, 50);
}

TEST_F(status_window_test, status_line_is_painted_before_show_status_returns)
{
    if (wine_wow64_without_device_contexts())
        GTEST_SKIP() << "Wine's WoW64 mode draws nothing for 32-bit processes";
    screen_width = GetSystemMetrics(SM_CXSCREEN);
    screen_height = GetSystemMetrics(SM_CYSCREEN);
    create_status_window();
    ASSERT_NE(nullptr, status_window);
    drain_quit_messages();
    EXPECT_EQ(0, dark_pixels(status_window)) << "the empty window should be white";

    show_status("Lösche %s ...", "WWWWWWWW");
    // No message loop has run: the line must already be on screen, and no
    // repaint may be pending.
    EXPECT_FALSE(GetUpdateRect(status_window, nullptr, FALSE));
    EXPECT_GT(dark_pixels(status_window), 20);
    EXPECT_STREQ("L\xf6sche WWWWWWWW ...", status_text);
}

TEST_F(status_window_test, show_status_switches_to_the_hourglass)
{
    EXPECT_FALSE(status_busy);
    show_status("Aufruf von %s ...", "x");    // also without a window
    EXPECT_TRUE(status_busy);
    EXPECT_EQ(cursor_wait, cursor_current);
    EXPECT_STREQ("Aufruf von x ...", status_text);

    create_status_window();
    ASSERT_NE(nullptr, status_window);
    SetCursor(cursor_normal);
    EXPECT_EQ(0, SendMessageA(status_window, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5)));
    EXPECT_EQ(cursor_wait, GetCursor());
}

TEST_F(status_window_test, command_2_ends_the_frame_once)
{
    if (wine_wow64_without_device_contexts())
        GTEST_SKIP() << "Wine's WoW64 mode draws nothing for 32-bit processes";
    create_status_window();
    ASSERT_NE(nullptr, status_window);
    drain_quit_messages();
    shutdown_done = false;
    message_loop_running = true;
    display_dc = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, display_dc);

    EXPECT_EQ(0, SendMessageA(status_window, WM_COMMAND, 3, 0));
    EXPECT_FALSE(shutdown_done);
    EXPECT_EQ(1, SendMessageA(status_window, WM_COMMAND, MAKEWPARAM(2, BN_CLICKED), 0));
    EXPECT_TRUE(shutdown_done);
    EXPECT_EQ(nullptr, display_dc);
    EXPECT_TRUE(IsWindow(status_window)) << "the frame does not destroy the window";

    // A second command 2 and a second frame_shutdown do nothing.
    HDC sentinel = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    display_dc = sentinel;
    EXPECT_EQ(1, SendMessageA(status_window, WM_COMMAND, 2, 0));
    frame_shutdown();
    EXPECT_EQ(sentinel, display_dc);
    DeleteDC(sentinel);
    display_dc = nullptr;

    WPARAM code = 99;
    EXPECT_EQ(1, drain_quit_messages(&code)) << "one quit message for one shutdown";
    EXPECT_EQ(0u, code);
    message_loop_running = false;
}

TEST_F(status_window_test, wm_destroy_ends_the_frame)
{
    create_status_window();
    ASSERT_NE(nullptr, status_window);
    drain_quit_messages();
    shutdown_done = false;
    message_loop_running = true;

    DestroyWindow(status_window);
    EXPECT_TRUE(shutdown_done);
    WPARAM code = 99;
    EXPECT_EQ(1, drain_quit_messages(&code));
    EXPECT_EQ(0u, code);
    message_loop_running = false;
}

TEST_F(status_window_test, shutdown_outside_the_loop_posts_no_quit)
{
    drain_quit_messages();
    shutdown_done = false;
    message_loop_running = false;
    display_dc = nullptr;     // as after a failed CreateDCA: nothing to delete
    frame_shutdown();
    EXPECT_TRUE(shutdown_done);
    EXPECT_EQ(0, drain_quit_messages());
}

TEST_F(status_window_test, palette_messages_realise_only_the_frame_palette)
{
    create_status_window();
    ASSERT_NE(nullptr, status_window);
    EXPECT_EQ(0, SendMessageA(status_window, WM_QUERYNEWPALETTE, 0, 0));
    uses_palette = true;
    EXPECT_EQ(0, SendMessageA(status_window, WM_QUERYNEWPALETTE, 0, 0)) << "no palette yet";
    frame_palette = create_frame_palette();
    ASSERT_NE(nullptr, frame_palette);
    EXPECT_EQ(1, SendMessageA(status_window, WM_QUERYNEWPALETTE, 0, 0));
    // Its own change and another window's change are both handled without harm.
    SendMessageA(status_window, WM_PALETTECHANGED, (WPARAM)status_window, 0);
    SendMessageA(status_window, WM_PALETTECHANGED, (WPARAM)GetDesktopWindow(), 0);
}

TEST(run_message_loop, returns_the_quit_code)
{
    drain_quit_messages();
    PostQuitMessage(5);
    EXPECT_EQ(5, run_message_loop());
    PostQuitMessage(0);
    EXPECT_EQ(0, run_message_loop());
}

TEST(frame_palette, static_colours_at_both_ends)
{
    if (wine_wow64_without_device_contexts())
        GTEST_SKIP() << "Wine's WoW64 mode draws nothing for 32-bit processes";
    HPALETTE palette = create_frame_palette();
    ASSERT_NE(nullptr, palette);
    PALETTEENTRY entries[256];
    ASSERT_EQ(256u, GetPaletteEntries(palette, 0, 256, entries));
    const BYTE low[8][3] = {{0, 0, 0},   {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                            {0, 0, 128}, {128, 0, 128}, {0, 128, 128}, {192, 192, 192}};
    const BYTE high[8][3] = {{128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                             {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(low[i][0], entries[i].peRed) << "entry " << i;
        EXPECT_EQ(low[i][1], entries[i].peGreen) << "entry " << i;
        EXPECT_EQ(low[i][2], entries[i].peBlue) << "entry " << i;
        EXPECT_EQ(high[i][0], entries[248 + i].peRed) << "entry " << 248 + i;
        EXPECT_EQ(high[i][1], entries[248 + i].peGreen) << "entry " << 248 + i;
        EXPECT_EQ(high[i][2], entries[248 + i].peBlue) << "entry " << 248 + i;
    }
    int cube_values = 0;
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(0, entries[i].peFlags) << "entry " << i;
        if (entries[i].peRed % 51 == 0 && entries[i].peGreen % 51 == 0 && entries[i].peBlue % 51 == 0)
            ++cube_values;
    }
    EXPECT_GE(cube_values, 216);
    DeleteObject(palette);
}

TEST(display, opens_and_closes_the_display_context)
{
    if (wine_wow64_without_device_contexts())
        GTEST_SKIP() << "Wine's WoW64 mode draws nothing for 32-bit processes";
    shutdown_done = false;
    message_loop_running = false;
    open_display();
    ASSERT_NE(nullptr, display_dc);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), screen_width);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), screen_height);
    EXPECT_GT(display_bits, 0);
    EXPECT_EQ(display_bits <= 8, uses_palette);
    if (!uses_palette) {
        EXPECT_EQ(nullptr, frame_palette) << "no palette on a display of more than 8 bits";
    }
    frame_shutdown();
    EXPECT_EQ(nullptr, display_dc);
    EXPECT_EQ(nullptr, frame_palette);
    EXPECT_EQ(nullptr, previous_palette);
}

}  // namespace
