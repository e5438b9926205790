// No key stays drawn pressed: every way a press can end without a plain
// key-up of the same key (the focus or the activation lost, a system key-up,
// the key coming up as another virtual key, the mouse capture lost or
// cancelled, a mouse press elsewhere on the calculator) draws the key
// normal at once, and a cancelled mouse press sends no code.
#include "tests/win/app_harness.h"

namespace {

using AppRelease = AppTest;

POINT centre(int key)
{
    const RECT &r = APP_KEY_RECTS[key];
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Every key of the keypad shows the picture itself (the panel's last row
// lies below the main window's client area).
void expect_all_released(HWND keypad, const char *what)
{
    CaptureImage picture = {}, panel = {};
    ASSERT_TRUE(app_bitmap_image(g_keypadPicture, &picture));
    ASSERT_TRUE(app_window_image(keypad, &panel));
    int rows = APP_CLIENT_H - APP_KEYPAD_Y;
    EXPECT_EQ(app_count_differences(&panel, &picture, 0, 0, APP_CLIENT_W, rows), 0) << what;
}

// A key-down or key-up with the given scan code and flags, as the system
// posts it (bit 29: Alt held; 30: was down; 31: going up).
LPARAM key_lparam(UINT scan, bool up, bool alt = false)
{
    uint32_t lp = 1 | (scan & 0x1FF) << 16;
    if (alt)
        lp |= 1u << 29;
    if (up)
        lp |= 1u << 30 | 1u << 31;
    return (LPARAM)lp;
}

const UINT kScan5 = 0x4C;   // numeric keypad 5
const UINT kScanOne = 0x02; // main keyboard 1
const UINT kScanAlt = 0x38;

// Hold a key with the keyboard, end the hold some way, check every key.
TEST_F(AppRelease, KeyboardHoldsEndedAnyWay)
{
    HWND other = harness_create_host(40, 40, RGB(0, 0, 255), 700, 700);
    struct Row {
        const char *what;
        UINT downVk, downScan; // the key-down that draws the key
        int key;               // the key drawn
    };
    static const Row rows[] = {
        {"focus moved to another window", '1', kScanOne, 1},
        {"focus moved to the display", '1', kScanOne, 1},
        {"released while Alt is held", VK_NUMPAD5, kScan5, 5},
        {"NumLock changed while numeric 5 was held", VK_NUMPAD5, kScan5, 5},
        {"activation lost", VK_ADD, 0x4E, 14},
        {"a press on the frame", '1', kScanOne, 1},
        {"a press on the result line", '1', kScanOne, 1},
    };
    for (const Row &r : rows) {
        SetFocus(keypad);
        harness_pump();
        PostMessageA(keypad, WM_KEYDOWN, r.downVk, key_lparam(r.downScan, false));
        harness_pump();
        app_expect_key_look(keypad, r.key, true, r.what);
        std::string what = r.what;
        if (what == "focus moved to another window") {
            SetFocus(other);
        } else if (what == "focus moved to the display") {
            SetFocus(display);
        } else if (what == "released while Alt is held") {
            PostMessageA(keypad, WM_SYSKEYDOWN, VK_MENU, key_lparam(kScanAlt, false, true));
            PostMessageA(keypad, WM_SYSKEYUP, r.downVk, key_lparam(r.downScan, true, true));
        } else if (what == "NumLock changed while numeric 5 was held") {
            PostMessageA(keypad, WM_KEYDOWN, VK_NUMLOCK, key_lparam(0x145, false));
            PostMessageA(keypad, WM_KEYUP, VK_NUMLOCK, key_lparam(0x145, true));
            PostMessageA(keypad, WM_KEYUP, VK_CLEAR, key_lparam(kScan5, true));
        } else if (what == "activation lost") {
            SendMessageA(main, WM_ACTIVATE, WA_INACTIVE, (LPARAM)other);
        } else if (what == "a press on the frame") {
            SendMessageA(main, WM_NCRBUTTONDOWN, HTBORDER, 0);
        } else {
            SendMessageA(main, WM_PARENTNOTIFY, WM_LBUTTONDOWN, MAKELPARAM(50, 125));
        }
        harness_pump();
        expect_all_released(keypad, r.what);
        // The key types as before afterwards.
        app_record_clear();
        harness_press_key(keypad, '2');
        EXPECT_EQ(app_recorded_codes(), std::vector<int>{2}) << r.what;
        expect_all_released(keypad, r.what);
    }
    // The NumLock case typed 5, and its late key-up drew AC normal too.
    DestroyWindow(other);
}

// Another key's key-up leaves a held key pressed while its own key is down,
// unless it is the same physical key.
TEST_F(AppRelease, OnlyTheSameKeysKeyUpReleasesIt)
{
    PostMessageA(keypad, WM_KEYDOWN, '1', key_lparam(kScanOne, false));
    PostMessageA(keypad, WM_KEYDOWN, '2', key_lparam(0x03, false));
    PostMessageA(keypad, WM_KEYUP, '2', key_lparam(0x03, true));
    harness_pump();
    app_expect_key_look(keypad, 1, true, "1 still held");
    app_expect_key_look(keypad, 2, false, "2 released");
    PostMessageA(keypad, WM_KEYUP, '1', key_lparam(kScanOne, true));
    harness_pump();
    expect_all_released(keypad, "both up");
}

// The mouse's press: another window taking the capture, or a cancel, ends
// it; the key's pixels come back, no second code is sent and the capture is
// not taken back.
TEST_F(AppRelease, MouseHoldsEndedByCaptureLossOrCancel)
{
    HWND other = harness_create_host(40, 40, RGB(0, 0, 255), 700, 700);
    struct Row { const char *what; int key; };
    static const Row rows[] = {
        {"WM_CANCELMODE", 5}, {"another window took the capture", 9}, {"focus lost", 20},
        {"activation lost", 0},
    };
    for (const Row &r : rows) {
        app_record_clear();
        POINT p = centre(r.key);
        harness_post_mouse(keypad, WM_LBUTTONDOWN, p.x, p.y, MK_LBUTTON);
        harness_pump();
        ASSERT_EQ(GetCapture(), keypad) << r.what;
        app_expect_key_look(keypad, r.key, true, r.what);
        std::string what = r.what;
        if (what == "WM_CANCELMODE")
            SendMessageA(keypad, WM_CANCELMODE, 0, 0);
        else if (what == "another window took the capture")
            SetCapture(other);
        else if (what == "focus lost")
            SetFocus(other);
        else
            SendMessageA(main, WM_ACTIVATE, WA_INACTIVE, (LPARAM)other);
        harness_pump();
        expect_all_released(keypad, r.what);
        EXPECT_EQ(g_calc.keyHeld, 0) << r.what;
        EXPECT_EQ(GetCapture(), what == "another window took the capture" ? other : nullptr)
            << r.what;
        // The late button-up finds nothing held and sends nothing.
        harness_post_mouse(keypad, WM_LBUTTONUP, p.x, p.y, 0);
        harness_pump();
        EXPECT_EQ(app_recorded_codes(), std::vector<int>{r.key}) << r.what;
        ReleaseCapture();
        SetFocus(keypad);
    }
    DestroyWindow(other);
}

// A key held by the mouse and by the keyboard is drawn until both let go.
TEST_F(AppRelease, AKeyHeldTwiceStaysPressedUntilBothLetGo)
{
    POINT p = centre(5);
    harness_post_mouse(keypad, WM_LBUTTONDOWN, p.x, p.y, MK_LBUTTON);
    PostMessageA(keypad, WM_KEYDOWN, '5', key_lparam(0x06, false));
    PostMessageA(keypad, WM_KEYUP, '5', key_lparam(0x06, true));
    harness_pump();
    app_expect_key_look(keypad, 5, true, "the mouse still holds it");
    harness_post_mouse(keypad, WM_LBUTTONUP, p.x, p.y, 0);
    harness_pump();
    expect_all_released(keypad, "both let go");
}

// Real input: hold 1 on the keyboard, click the title bar, release 1 after
// the click. The key is drawn normal and typed once.
TEST_F(AppRelease, RealClickOnTheTitleBarWhileAKeyIsHeld)
{
    app_record_end(); // the click on the caption must reach the window
    SetForegroundWindow(main);
    SetFocus(keypad);
    harness_pump();
    INPUT down = {};
    down.type = INPUT_KEYBOARD;
    down.ki.wVk = '1';
    down.ki.wScan = kScanOne;
    SendInput(1, &down, sizeof down);
    harness_pump_for(80);
    app_expect_key_look(keypad, 1, true, "held");
    harness_input_click(main, 100, -8); // on the caption, above the client area
    harness_pump_for(80);
    expect_all_released(keypad, "after the click on the title bar");
    INPUT up = down;
    up.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &up, sizeof up);
    harness_pump_for(80);
    expect_all_released(keypad, "after the release");
    EXPECT_EQ(app_result_text(), "1");
}

} // namespace
