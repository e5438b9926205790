// The about box: opened by the logo area and by right or middle clicks at
// the click point, kept inside the screen, holding the mouse capture until a
// click, a key or an interruption closes it and hands the capture back.
#include "tests/win/app_harness.h"

#include "toolkit/qk2ctl.h"

namespace {

using AppAbout = AppTest;

RECT window_rect(HWND window)
{
    RECT r = {};
    GetWindowRect(window, &r);
    return r;
}

POINT screen_point(HWND window, int x, int y)
{
    POINT p = {x, y};
    ClientToScreen(window, &p);
    return p;
}

// Opens the box at a screen point by code 21, as the panels do.
HWND open_about_at(int x, int y)
{
    g_aboutAnchor = {x, y};
    app_post_code(0, APP_CODE_ABOUT);
    return app_find_about_box();
}

TEST_F(AppAbout, OpensAtTheClickPointShowingThePicture)
{
    struct Row { bool onKeypad; UINT message; int x, y; };
    static const Row rows[] = {
        {false, WM_RBUTTONDOWN, 150, 60},
        {false, WM_MBUTTONDOWN, 20, 100},
        {true, WM_RBUTTONDOWN, 63, 44},    // on key 5: no key is typed
        {true, WM_MBUTTONDOWN, 5, 5},      // between the keys
        {true, WM_LBUTTONDOWN, 40, 130},   // logo area
    };
    CaptureImage picture = {};
    ASSERT_TRUE(app_bitmap_image(g_aboutPicture, &picture));
    for (const Row &r : rows) {
        HWND panel = r.onKeypad ? keypad : display;
        app_record_clear();
        harness_post_mouse(panel, r.message, r.x, r.y, 0);
        harness_pump();
        HWND box = app_find_about_box();
        ASSERT_NE(box, nullptr) << r.x << ", " << r.y;
        POINT at = screen_point(panel, r.x, r.y);
        RECT b = window_rect(box);
        EXPECT_EQ(b.left, at.x);
        EXPECT_EQ(b.top, at.y);
        EXPECT_EQ(b.right - b.left, APP_ABOUT_W);
        EXPECT_EQ(b.bottom - b.top, APP_ABOUT_H);
        EXPECT_EQ(GetCapture(), box);
        EXPECT_EQ(app_recorded_codes(), std::vector<int>{APP_CODE_ABOUT});
        EXPECT_EQ(g_calc.keyHeld, 0);
        CaptureImage shown = {};
        ASSERT_TRUE(app_window_image(box, &shown));
        EXPECT_EQ(app_count_differences(&shown, &picture, 0, 0, APP_ABOUT_W, APP_ABOUT_H), 0);
        SendMessageA(box, WM_LBUTTONDOWN, 0, 0);
        harness_pump();
        EXPECT_FALSE(IsWindow(box));
    }
    EXPECT_EQ(app_result_text(), "");
}

// The logo area is not a key: no pressed look is drawn there.
TEST_F(AppAbout, LogoAreaDrawsNoPressedLook)
{
    CaptureImage picture = {}, panel = {};
    ASSERT_TRUE(app_bitmap_image(g_keypadPicture, &picture));
    harness_post_mouse(keypad, WM_LBUTTONDOWN, 110, 150, MK_LBUTTON);
    harness_pump();
    ASSERT_NE(app_find_about_box(), nullptr);
    ASSERT_TRUE(app_window_image(keypad, &panel));
    const RECT &logo = APP_KEY_RECTS[APP_CODE_ABOUT];
    // The box covers the keypad right of and below the click point only.
    EXPECT_EQ(app_count_differences(&panel, &picture, logo.left, logo.top, 110, logo.bottom), 0);
    EXPECT_EQ(g_calc.pressedKey, APP_CODE_ABOUT);
    EXPECT_EQ(g_calc.keyHeld, 0);
}

// Near the bottom-right corner the box moves back just inside the work area
// of the screen, touching its edges; it never goes left of or above it.
TEST_F(AppAbout, StaysInsideTheWorkArea)
{
    RECT area;
    ctl_work_area({0, 0}, &area);
    int right = area.right, bottom = area.bottom;
    struct Row { int x, y, left, top; };
    const Row rows[] = {
        {right - 1, bottom - 1, right - APP_ABOUT_W, bottom - APP_ABOUT_H},
        {right - 10, bottom - 10, right - APP_ABOUT_W, bottom - APP_ABOUT_H},
        {right + 300, bottom + 300, right - APP_ABOUT_W, bottom - APP_ABOUT_H},
        {right - 100, 50, right - APP_ABOUT_W, 50},
        {60, bottom - 1, 60, bottom - APP_ABOUT_H},
        {-300, -200, (int)area.left, (int)area.top},
        {100, 80, 100, 80},
    };
    for (const Row &r : rows) {
        HWND box = open_about_at(r.x, r.y);
        ASSERT_NE(box, nullptr);
        RECT b = window_rect(box);
        EXPECT_EQ(b.left, r.left) << "anchor " << r.x << ", " << r.y;
        EXPECT_EQ(b.top, r.top) << "anchor " << r.x << ", " << r.y;
        EXPECT_GE(b.left, area.left);
        EXPECT_GE(b.top, area.top);
        EXPECT_LE(b.right, area.right);
        EXPECT_LE(b.bottom, area.bottom);
        EXPECT_EQ(b.right - b.left, APP_ABOUT_W);
        EXPECT_EQ(b.bottom - b.top, APP_ABOUT_H);
        EXPECT_TRUE(IsWindowVisible(box));
        DestroyWindow(box);
        ReleaseCapture();
    }
}

// A real right click on the display moved to the screen's bottom-right
// corner: the box opens wholly inside the work area.
TEST_F(AppAbout, RightClickAtTheScreenCornerOpensTheBoxInsideTheWorkArea)
{
    RECT area;
    ctl_work_area({0, 0}, &area);
    RECT w = window_rect(main);
    SetWindowPos(main, nullptr, area.right - (w.right - w.left), area.bottom - (w.bottom - w.top),
                 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    harness_pump();
    RECT client;
    GetClientRect(display, &client);
    harness_input_click(display, client.right - 3, client.bottom - 3, true);
    HWND box = app_find_about_box();
    ASSERT_NE(box, nullptr);
    RECT b = window_rect(box);
    EXPECT_GE(b.left, area.left);
    EXPECT_GE(b.top, area.top);
    EXPECT_EQ(b.right, area.right);
    EXPECT_LE(b.bottom, area.bottom);
}

// Every closing message ends the box and gives the capture back to the
// window that held it; other messages leave it open.
TEST_F(AppAbout, ClosesOnClicksKeysAndInterruptionsAndReturnsTheCapture)
{
    HWND other = harness_create_host(40, 40, RGB(255, 0, 0), 700, 700);
    struct Row { UINT message; WPARAM wParam; bool closes; };
    static const Row rows[] = {
        {WM_LBUTTONDOWN, MK_LBUTTON, true}, {WM_RBUTTONDOWN, MK_RBUTTON, true},
        {WM_MBUTTONDOWN, MK_MBUTTON, true}, {WM_KEYDOWN, 'A', true},
        {WM_KEYDOWN, VK_ESCAPE, true},      {WM_CANCELMODE, 0, true},
        {WM_CLOSE, 0, true},                {WM_COMMAND, IDCANCEL, true},
        {WM_SYSCOMMAND, SC_CLOSE, true},
        {WM_MOUSEMOVE, 0, false},           {WM_LBUTTONUP, 0, false},
        {WM_KEYUP, 'A', false},             {WM_CHAR, 'a', false},
    };
    for (const Row &r : rows) {
        SetCapture(other);
        HWND box = open_about_at(300, 300);
        ASSERT_NE(box, nullptr);
        ASSERT_EQ(GetCapture(), box);
        PostMessageA(box, r.message, r.wParam, 0);
        harness_pump();
        EXPECT_EQ(!IsWindow(box), r.closes) << "message 0x" << std::hex << r.message;
        HWND owner = r.closes ? other : box;
        EXPECT_EQ(GetCapture(), owner) << "message 0x" << std::hex << r.message;
        app_close_about_boxes();
    }
    ReleaseCapture();
    DestroyWindow(other);
    EXPECT_TRUE(app_recorded_codes() == std::vector<int>(std::size(rows), APP_CODE_ABOUT));
}

// A real click on a key while the box is open goes to the box (it holds the
// capture) and closes it; the calculator types nothing.
TEST_F(AppAbout, RealClickAnywhereClosesTheBoxAndMissesTheCalculator)
{
    POINT at = screen_point(keypad, 10, 10);
    HWND box = open_about_at(at.x + 150, at.y - 100);
    ASSERT_NE(box, nullptr);
    const RECT &five = APP_KEY_RECTS[5];
    harness_input_click(keypad, (five.left + five.right) / 2, (five.top + five.bottom) / 2);
    harness_pump_for(100);
    EXPECT_FALSE(IsWindow(box));
    EXPECT_EQ(app_recorded_codes(), std::vector<int>{APP_CODE_ABOUT});
    EXPECT_EQ(app_result_text(), "");
    EXPECT_EQ(GetCapture(), nullptr);
}

// The box takes the keyboard focus, so the next key closes it instead of
// typing.
TEST_F(AppAbout, KeyGoesToTheBoxAndClosesIt)
{
    HWND box = open_about_at(250, 250);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(GetFocus(), box);
    harness_post_key(GetFocus(), '7', true);
    harness_pump();
    EXPECT_FALSE(IsWindow(box));
    EXPECT_EQ(app_result_text(), "");
    // Afterwards the keys type again.
    harness_press_key(GetFocus() ? GetFocus() : main, '7');
    EXPECT_EQ(app_result_text(), "7");
}

} // namespace
