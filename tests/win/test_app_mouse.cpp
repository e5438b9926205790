// The keypad under the mouse: a press strictly inside a key posts its code,
// draws it pressed and takes the capture; the release, wherever it happens,
// restores the key and hands the capture back; presses between the keys or
// on the display drag the window.
#include "tests/win/app_harness.h"

namespace {

using AppMouse = AppTest;

POINT centre(int key)
{
    const RECT &r = APP_KEY_RECTS[key];
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

TEST_F(AppMouse, ClickAtTheCentreOfEachKeyPostsItsCode)
{
    for (int key = 0; key <= CALC_KEY_ENTER; key++) {
        app_record_clear();
        POINT p = centre(key);
        harness_click(keypad, p.x, p.y);
        EXPECT_EQ(app_recorded_codes(), std::vector<int>{key}) << "key " << key;
        EXPECT_EQ(app_recorded_drags(), 0) << "key " << key;
        EXPECT_EQ(g_calc.pressedKey, key);
        EXPECT_EQ(g_calc.keyHeld, 0) << "key " << key;
    }
}

TEST_F(AppMouse, HitTestIsStrictlyInside)
{
    struct Row { int x, y, key; };
    static const Row rows[] = {
        {12, 65, 1}, {38, 82, 1},            // just inside the corners of key 1
        {11, 70, -1}, {39, 70, -1},          // on its left and right edges
        {20, 64, -1}, {20, 83, -1},          // on its top and bottom edges
        {125, 133, 20}, {188, 150, 20},      // Enter's corners
        {189, 140, -1}, {124, 140, -1},      // Enter's sides
        {10, 119, 21}, {116, 153, 21},       // logo area
        {9, 130, -1}, {5, 5, -1}, {199, 157, -1}, {45, 50, -1}, // between the keys
    };
    for (const Row &r : rows)
        EXPECT_EQ(app_hit_key(r.x, r.y), r.key) << r.x << ", " << r.y;
}

// A press on an edge or between the keys starts a window drag: the original
// lParam goes to the main window as WM_NCLBUTTONDOWN with HTCAPTION.
TEST_F(AppMouse, PressOnAnEdgeOrBetweenKeysDragsTheWindow)
{
    std::vector<POINT> points = {{5, 5}, {45, 50}, {199, 157}, {150, 122}};
    for (int key = 0; key <= CALC_KEY_ENTER; key++) {
        const RECT &r = APP_KEY_RECTS[key];
        POINT c = centre(key);
        points.push_back({r.left, c.y});
        points.push_back({r.right, c.y});
        points.push_back({c.x, r.top});
        points.push_back({c.x, r.bottom});
    }
    for (const POINT &p : points) {
        app_record_clear();
        harness_click(keypad, p.x, p.y);
        ASSERT_EQ(app_recorded().size(), 1u) << p.x << ", " << p.y;
        const AppPosted &m = app_recorded()[0];
        EXPECT_EQ(m.message, (UINT)WM_NCLBUTTONDOWN) << p.x << ", " << p.y;
        EXPECT_EQ(m.wParam, (WPARAM)HTCAPTION);
        EXPECT_EQ(m.lParam, MAKELPARAM(p.x, p.y));
        EXPECT_EQ(GetCapture(), nullptr);
    }
}

TEST_F(AppMouse, LeftPressOnTheDisplayDragsTheWindow)
{
    harness_click(display, 100, 60);
    ASSERT_EQ(app_recorded().size(), 1u);
    EXPECT_EQ(app_recorded()[0].message, (UINT)WM_NCLBUTTONDOWN);
    EXPECT_EQ(app_recorded()[0].wParam, (WPARAM)HTCAPTION);
    EXPECT_EQ(app_recorded()[0].lParam, MAKELPARAM(100, 60));
}

TEST_F(AppMouse, PressedLookAndCaptureLastUntilTheRelease)
{
    for (int key : {5, 0, 11, 20, 19}) {
        POINT p = centre(key);
        harness_post_mouse(keypad, WM_LBUTTONDOWN, p.x, p.y, MK_LBUTTON);
        harness_pump();
        EXPECT_EQ(GetCapture(), keypad) << "key " << key;
        EXPECT_EQ(g_calc.keyHeld, 1);
        app_expect_key_look(keypad, key, true, "button down");
        harness_post_mouse(keypad, WM_LBUTTONUP, p.x, p.y, 0);
        harness_pump();
        EXPECT_EQ(GetCapture(), nullptr) << "key " << key;
        EXPECT_EQ(g_calc.keyHeld, 0);
        app_expect_key_look(keypad, key, false, "button up");
    }
    EXPECT_EQ(app_recorded_codes(), (std::vector<int>{5, 0, 11, 20, 19}));
}

// The release away from the keypad still reaches it (it holds the capture),
// restores the key and gives the capture back to the window that had it.
TEST_F(AppMouse, ReleaseOutsideTheKeypadRestoresTheKeyAndTheCapture)
{
    HWND other = harness_create_host(50, 50, RGB(0, 0, 255), 600, 600);
    ASSERT_NE(other, nullptr);
    struct Row { HWND before; int key; POINT release; };
    const Row rows[] = {
        {other, 3, {-40, -200}},   // over the display, far up-left
        {other, 14, {500, 80}},    // right of the window
        {nullptr, 8, {100, 400}},  // below it; nobody had the capture
        {display, 17, {90, -50}},  // a child of the calculator had it
    };
    for (const Row &r : rows) {
        if (r.before)
            SetCapture(r.before);
        else
            ReleaseCapture();
        POINT p = centre(r.key);
        harness_post_mouse(keypad, WM_LBUTTONDOWN, p.x, p.y, MK_LBUTTON);
        harness_pump();
        ASSERT_EQ(GetCapture(), keypad);
        harness_post_mouse(keypad, WM_MOUSEMOVE, r.release.x, r.release.y, MK_LBUTTON);
        harness_post_mouse(keypad, WM_LBUTTONUP, r.release.x, r.release.y, 0);
        harness_pump();
        EXPECT_EQ(GetCapture(), r.before) << "key " << r.key;
        app_expect_key_look(keypad, r.key, false, "released outside");
    }
    ReleaseCapture();
    DestroyWindow(other);
}

// A press whose release never came (it went elsewhere) is finished by the
// next press: the first key is restored and the capture saved for it is
// handed back at the end, not lost to the keypad.
TEST_F(AppMouse, PressWhileAKeyIsHeldFinishesTheFirstKey)
{
    HWND other = harness_create_host(50, 50, RGB(0, 0, 255), 600, 600);
    SetCapture(other);
    POINT three = centre(3), four = centre(4);
    harness_post_mouse(keypad, WM_LBUTTONDOWN, three.x, three.y, MK_LBUTTON);
    harness_post_mouse(keypad, WM_LBUTTONDOWN, four.x, four.y, MK_LBUTTON);
    harness_pump();
    app_expect_key_look(keypad, 3, false, "second press");
    app_expect_key_look(keypad, 4, true, "second press");
    harness_post_mouse(keypad, WM_LBUTTONUP, four.x, four.y, 0);
    harness_pump();
    EXPECT_EQ(GetCapture(), other);
    EXPECT_EQ(app_recorded_codes(), (std::vector<int>{3, 4}));
    ReleaseCapture();
    DestroyWindow(other);
}

// A quick second click arrives as a double click; it types the key again.
TEST_F(AppMouse, DoubleClickTypesTheKeyTwice)
{
    POINT p = centre(1);
    harness_post_mouse(keypad, WM_LBUTTONDOWN, p.x, p.y, MK_LBUTTON);
    harness_post_mouse(keypad, WM_LBUTTONUP, p.x, p.y, 0);
    harness_post_mouse(keypad, WM_LBUTTONDBLCLK, p.x, p.y, MK_LBUTTON);
    harness_post_mouse(keypad, WM_LBUTTONUP, p.x, p.y, 0);
    harness_pump();
    EXPECT_EQ(app_recorded_codes(), (std::vector<int>{1, 1}));
    EXPECT_EQ(app_result_text(), "11");
    EXPECT_EQ(GetCapture(), nullptr);
    app_expect_key_look(keypad, 1, false, "after the double click");
}

} // namespace
