// The keypad panel and the keyboard mapping. The keypad is a Free panel whose
// whole surface is one picture (bitmap 500) with 21 keys and a logo area. A
// left click on a key draws it pressed, takes the mouse capture and posts the
// key's code to the main window; the release restores the picture and hands
// the capture back. A click between the keys drags the window; the logo area
// and a right or middle click open the about box. The keyboard mapping turns
// virtual keys into the same codes and gives the key the same pressed look.
//
// Mouse states (key held in CalcState):
//   idle --left down on key 0..20--> held   (pressed look, capture, code posted)
//   held --left up, anywhere--------> idle   (normal look, capture handed back)
//   held --capture lost, cancel-----> idle   (normal look, no code, capture not taken back)
//   idle --left down elsewhere------> idle   (window drag, or about box)
//
// A key drawn pressed by the keyboard is drawn normal again by its key-up,
// also when that comes as a system key-up (Alt held) or as another virtual
// key with the same scan code (NumLock changed while it was held), and by
// anything that means its key-up will not come here: the focus or the
// activation lost, a mouse press on the calculator.
#include "app/app.h"

#include <windowsx.h>

#include "toolkit/qk2ctl.h"

// ---------------------------------------------------------------------------
// Key table and hit test
// ---------------------------------------------------------------------------

// Virtual key -> key code, -1 for keys that are not mapped. Only the numeric
// keypad's operators are mapped, not the main keyboard's + - and period.
struct KeyMapRow {
    int vk;   // first virtual key of the run
    int last; // last virtual key of the run
    int code; // key code of the first one; the run counts up from it
};

static constexpr std::array<KeyMapRow, 15> KEY_MAP = {{
    {'0', '9', 0},
    {VK_NUMPAD0, VK_NUMPAD9, 0},
    {VK_BACK, VK_BACK, CALC_KEY_DEL},
    {VK_DELETE, VK_DELETE, CALC_KEY_DEL},
    {VK_CLEAR, VK_CLEAR, CALC_KEY_AC},
    {VK_HOME, VK_HOME, CALC_KEY_AC},
    {VK_MULTIPLY, VK_MULTIPLY, CALC_KEY_MUL},
    {VK_DIVIDE, VK_DIVIDE, CALC_KEY_DIV},
    {VK_ADD, VK_ADD, CALC_KEY_ADD},
    {VK_SUBTRACT, VK_SUBTRACT, CALC_KEY_SUB},
    {VK_DECIMAL, VK_DECIMAL, CALC_KEY_POINT},
    {'H', 'H', CALC_KEY_H},
    {'M', 'M', CALC_KEY_MN},
    {'S', 'S', CALC_KEY_S},
    {VK_RETURN, VK_RETURN, CALC_KEY_ENTER},
}};

int app_key_for_vk(WPARAM vk)
{
    for (const KeyMapRow &row : KEY_MAP)
        if ((int)vk >= row.vk && (int)vk <= row.last)
            return row.code + ((int)vk - row.vk);
    return -1;
}

int app_hit_key(int x, int y)
{
    int hit = -1;
    for (int i = 0; i < APP_KEY_COUNT; i++) {
        const RECT &r = APP_KEY_RECTS[i];
        if (r.left < x && x < r.right && r.top < y && y < r.bottom)
            hit = i;
    }
    return hit;
}

// ---------------------------------------------------------------------------
// Keys drawn pressed by the keyboard
// ---------------------------------------------------------------------------

// One key the keyboard drew pressed: what its key-down was.
struct KeyboardPress {
    bool down;  // the key is drawn pressed by the keyboard
    UINT scan;  // scan code and extended-key bit of the key-down (bits 16..24)
    WPARAM vk;  // virtual key of the key-down
};

// Indexed by key code; one keypad per process, window thread only.
static std::array<KeyboardPress, APP_KEY_COUNT> g_keyboardPress;

static UINT scan_of(LPARAM lParam)
{
    return (UINT)(lParam >> 16) & 0x1FF;
}

// 1 when the mouse holds key `key` pressed.
static int mouse_holds(const CalcState *s, int key)
{
    return s->keyHeld && s->pressedKey == key;
}

// Draws key `key` normal unless the mouse still holds it.
static void draw_released(HWND keypad, const CalcState *s, int key)
{
    if (!mouse_holds(s, key))
        app_draw_key(keypad, key, 0);
}

// ---------------------------------------------------------------------------
// Drawing
// ---------------------------------------------------------------------------

// Pressed: the key face moves one pixel up and to the left. Normal: the
// key's block of the picture, edges included, at its own place.
void app_draw_key(HWND keypad, int key, int pressed)
{
    if (key < 0 || key >= APP_KEY_COUNT || !keypad)
        return;
    const RECT &r = APP_KEY_RECTS[key];
    HDC dc = GetDC(keypad);
    if (!dc)
        return;
    if (pressed)
        ctl_blit_part(dc, g_keypadPicture, r.left + 2, r.top + 2, r.left + 3, r.top + 3,
                      r.right - r.left - 4, r.bottom - r.top - 4);
    else
        ctl_blit_part(dc, g_keypadPicture, r.left, r.top, r.left, r.top, r.right - r.left + 1,
                      r.bottom - r.top + 1);
    ReleaseDC(keypad, dc);
}

// ---------------------------------------------------------------------------
// Keyboard mapping
// ---------------------------------------------------------------------------

// A key-up: its own key normal, and every key pressed by a key-down of the
// same physical key (same scan code) or the same virtual key.
static void keyboard_up(HWND keypad, WPARAM vk, LPARAM lParam)
{
    int code = app_key_for_vk(vk);
    if (code >= 0) {
        g_keyboardPress[code].down = false;
        draw_released(keypad, &g_calc, code);
    }
    UINT scan = scan_of(lParam);
    for (int key = 0; key < APP_KEY_COUNT; key++) {
        KeyboardPress &p = g_keyboardPress[key];
        if (p.down && ((scan != 0 && p.scan == scan) || p.vk == vk)) {
            p.down = false;
            draw_released(keypad, &g_calc, key);
        }
    }
}

// The pressed look is drawn only for a key-down whose repeat count is 1, but
// every key-down posts its code, so auto-repeat types the key again.
void app_keyboard(HWND target, UINT message, WPARAM vk, LPARAM lParam, int post)
{
    HWND keypad = (HWND)g_calc.keypadPanel;
    if (message == WM_KEYUP || message == WM_SYSKEYUP) {
        keyboard_up(keypad, vk, lParam);
        return;
    }
    int code = app_key_for_vk(vk);
    if (message != WM_KEYDOWN || code < 0)
        return;
    if (LOWORD(lParam) == 1) {
        g_keyboardPress[code] = {true, scan_of(lParam), vk};
        app_draw_key(keypad, code, 1);
    }
    if (post)
        PostMessageA(target, WM_COMMAND, 0, code);
}

void app_release_keyboard_keys(void)
{
    HWND keypad = (HWND)g_calc.keypadPanel;
    for (int key = 0; key < APP_KEY_COUNT; key++) {
        if (g_keyboardPress[key].down) {
            g_keyboardPress[key].down = false;
            draw_released(keypad, &g_calc, key);
        }
    }
}

LRESULT app_panel_syskeyup(HWND panel, const CalcState *s, WPARAM vk, LPARAM lParam)
{
    app_keyboard((HWND)s->mainWindow, WM_SYSKEYUP, vk, lParam, 0);
    return DefWindowProcA(panel, WM_SYSKEYUP, vk, lParam);
}

// ---------------------------------------------------------------------------
// Mouse handlers
// ---------------------------------------------------------------------------

// The button's release: the key normal again, the capture handed back to
// the window that had it before the press. keyHeld drops first: letting the
// capture go sends WM_CAPTURECHANGED here, which then finds nothing held.
static void keypad_release(HWND panel, CalcState *s)
{
    if (!s->keyHeld)
        return;
    s->keyHeld = 0;
    ReleaseCapture();
    HWND previous = (HWND)s->previousCapture;
    if (previous && IsWindow(previous))
        SetCapture(previous);
    s->previousCapture = nullptr;
    if (!g_keyboardPress[s->pressedKey].down)
        app_draw_key(panel, s->pressedKey, 0);
}

// A press ended by something else than its release (another window took
// the capture, a cancel, the activation lost): the key normal, no code, and
// the capture is not taken back from whoever has it now.
static void keypad_cancel_press(HWND panel, CalcState *s)
{
    if (!s->keyHeld)
        return;
    s->keyHeld = 0;
    s->previousCapture = nullptr;
    if (GetCapture() == panel)
        ReleaseCapture();
    if (!g_keyboardPress[s->pressedKey].down)
        app_draw_key(panel, s->pressedKey, 0);
}

void app_release_keys(void)
{
    app_release_keyboard_keys();
    keypad_cancel_press((HWND)g_calc.keypadPanel, &g_calc);
}

static void keypad_on_capture_changed(HWND panel, CalcState *s, HWND newOwner)
{
    if (newOwner != panel)
        keypad_cancel_press(panel, s);
}

// A press whose key is still held (its release went elsewhere) finishes that
// key first, so the capture saved for it is not replaced by the keypad itself.
static void keypad_press(HWND panel, CalcState *s, LPARAM lParam)
{
    int key = app_hit_key(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    HWND main = (HWND)s->mainWindow;
    if (key < 0) {
        PostMessageA(main, WM_NCLBUTTONDOWN, HTCAPTION, lParam);
        return;
    }
    keypad_release(panel, s);
    s->pressedKey = key;
    if (key == APP_CODE_ABOUT) {
        app_request_about(s, panel, lParam);
        return;
    }
    app_draw_key(panel, key, 1);
    s->keyHeld = 1;
    s->previousCapture = SetCapture(panel);
    PostMessageA(main, WM_COMMAND, 0, key);
}

static void keypad_on_paint(HWND panel)
{
    PAINTSTRUCT ps;
    BeginPaint(panel, &ps);
    EndPaint(panel, &ps);
}

// ---------------------------------------------------------------------------
// Panel callback
// ---------------------------------------------------------------------------

// A double click arrives as WM_LBUTTONDBLCLK (the panel class has
// CS_DBLCLKS); it is a second press of the key, so quick double clicks type
// the key twice.
LRESULT app_keypad_callback(HWND panel, UINT message, WPARAM wParam, LPARAM lParam,
                            void *userData)
{
    CalcState *s = (CalcState *)userData;
    switch (message) {
    case WM_CREATE: return 0;
    case WM_PAINT: keypad_on_paint(panel); return 1;
    case WM_ERASEBKGND: ctl_blit_bitmap((HDC)wParam, 0, 0, g_keypadPicture); return 1;
    case WM_KEYDOWN:
    case WM_KEYUP: PostMessageA((HWND)s->mainWindow, message, wParam, lParam); return 0;
    case WM_SYSKEYUP: return app_panel_syskeyup(panel, s, wParam, lParam);
    case WM_KILLFOCUS: app_release_keyboard_keys(); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: keypad_press(panel, s, lParam); return 0;
    case WM_LBUTTONUP: keypad_release(panel, s); return 0;
    case WM_CAPTURECHANGED: keypad_on_capture_changed(panel, s, (HWND)lParam); return 0;
    case WM_CANCELMODE: app_release_keys(); return 0;
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: app_request_about(s, panel, lParam); return 0;
    default: return DefWindowProcA(panel, message, wParam, lParam);
    }
}
