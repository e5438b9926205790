// I2p: the two-image button. It shows offBitmap while its value is 0.0 and
// onBitmap otherwise, and acts as a momentary push button (optionally
// auto-repeating while held), a toggle, a set-only switch or a plain
// indicator. Round buttons draw through a round mask; a disabled one shows a
// cross or its disabled bitmap, a focused one a red corner mark.
//
// Press and release (mouse button, or Return and Space):
//
//   kind       press                          release
//   push       on, capture, (repeat: notify)  off; notify if inside (no repeat)
//   toggle     flip, notify                   -
//   set-only   on and notify, once            -
//   indicator  -                              -
//
// A press in progress ends without a notification when the button is
// disabled, loses the focus or the capture, or is destroyed, so that it never
// keeps the capture or a repeat timer.
#include "toolkit/qk2ctl.h"

#include <cstdlib>

// ---------------------------------------------------------------------------
// Small helpers
// ---------------------------------------------------------------------------

static uint32_t i2p_kind(const I2pRecord *self) { return self->appearance.behaviour & I2P_KIND_MASK; }

static bool i2p_repeats(const I2pRecord *self)
{
    return i2p_kind(self) == I2P_PUSH && (self->appearance.behaviour & I2P_AUTO_REPEAT) != 0;
}

// A pure indicator (the whole word 0x4000) never shows the focus.
static bool i2p_shows_focus(const I2pRecord *self) { return self->appearance.behaviour != I2P_INDICATOR; }

// Reports the value. Returns 1 while the button lives on: the owner may
// close it from the notification, which frees the record.
static bool i2p_notify(HWND button, const I2pRecord *self)
{
    ctl_notify(&self->notify, self->id, (LPARAM)ctl_float_bits(self->value));
    return ctl_holds_instance_data(button, self);
}

// Whether auto-repeat tick n (counted from 0 at the press) notifies: none for
// 250 ms, then every 200 ms, every 100 ms from tick 21 and every tick from 41.
static bool i2p_tick_notifies(uint32_t n)
{
    if (n <= 4)
        return false;
    if (n <= 20)
        return n % 4 == 0;
    if (n <= 40)
        return n % 2 == 0;
    return true;
}

// ---------------------------------------------------------------------------
// Drawing
// ---------------------------------------------------------------------------

// Paints the whole button into dc: the face, then the disabled overlay or the
// focus mark.
static void i2p_draw(const I2pRecord *self, HDC dc)
{
    const I2pLook &look = self->appearance;
    HBITMAP face = self->value != 0.0f ? look.onBitmap : look.offBitmap;
    if (look.look == I2P_ROUND)
        ctl_blit_masked(dc, face, self->mask, 0, 0, look.width, look.height);
    else
        ctl_blit(dc, face, 0, 0, look.width, look.height);
    if (!self->enabled) {
        if (look.disabledBitmap != nullptr)
            ctl_blit(dc, look.disabledBitmap, 0, 0, look.width, look.height);
        else if (look.width > 0 && look.height > 0)
            ctl_cross(dc, 0, 0, look.width, look.height);
        return;
    }
    if (self->focused)
        ctl_focus_mark(dc, 0, 0);
}

// Redraws at once after a change.
static void i2p_redraw(HWND button, const I2pRecord *self)
{
    HDC dc = GetDC(button);
    if (dc == nullptr)
        return;
    i2p_draw(self, dc);
    ReleaseDC(button, dc);
}

// ---------------------------------------------------------------------------
// Behaviour: press, release, move, tick
// ---------------------------------------------------------------------------

// Stops the repeat timer of a press, if one runs.
static void i2p_stop_repeat(HWND button, I2pRecord *self)
{
    if (self->timerId != 0)
        KillTimer(button, self->timerId);
    self->timerId = 0;
    self->repeatPaused = 1;
}

// Ends a push-button press without a notification (disabled, focus or capture
// lost, destroyed). Gives the capture back only when the button still holds it.
static void i2p_cancel_press(HWND button, I2pRecord *self)
{
    if (!self->pressed)
        return;
    self->pressed = 0;
    i2p_stop_repeat(button, self);
    HWND previous = self->previousCapture;
    self->previousCapture = nullptr;
    if (GetCapture() == button) {
        ReleaseCapture();
        if (previous != nullptr && IsWindow(previous))
            SetCapture(previous);
    }
    self->value = 0.0f;
    i2p_redraw(button, self);
}

static void i2p_press_push(HWND button, I2pRecord *self)
{
    // Key auto-repeat of Return or Space presses again while pressed: the
    // press in progress simply goes on.
    if (self->pressed)
        return;
    SetFocus(button);
    self->value = 1.0f;
    self->pressed = 1;
    HWND previous = SetCapture(button);
    self->previousCapture = previous != button ? previous : nullptr;
    if (i2p_repeats(self)) {
        self->repeatPaused = 0;
        self->repeatTicks = 0;
        self->timerId = (uint32_t)SetTimer(button, I2P_TIMER_ID, I2P_TIMER_MS, nullptr);
        if (!i2p_notify(button, self))
            return;
    }
    i2p_redraw(button, self);
}

// A press from the mouse or the keys. Ignored while disabled.
static void i2p_press(HWND button, I2pRecord *self)
{
    if (!self->enabled)
        return;
    switch (i2p_kind(self)) {
    case I2P_PUSH:
        i2p_press_push(button, self);
        return;
    case I2P_TOGGLE:
        SetFocus(button);
        self->value = self->value == 0.0f ? 1.0f : 0.0f;
        if (i2p_notify(button, self))
            i2p_redraw(button, self);
        return;
    case I2P_SET_ONLY:
        SetFocus(button);
        if (self->value != 0.0f)
            return;
        self->value = 1.0f;
        if (i2p_notify(button, self))
            i2p_redraw(button, self);
        return;
    }
}

// A release at client point (x, y). Only a push press in progress acts: a
// plain push notifies when released inside, an auto-repeating one stops.
static void i2p_release(HWND button, I2pRecord *self, int x, int y)
{
    if (!self->enabled || !self->pressed)
        return;
    SetFocus(button);
    self->pressed = 0; // before ReleaseCapture: losing the capture now is no cancel
    ReleaseCapture();
    if (self->previousCapture != nullptr && IsWindow(self->previousCapture))
        SetCapture(self->previousCapture);
    self->previousCapture = nullptr;
    if (i2p_repeats(self))
        i2p_stop_repeat(button, self);
    else if (ctl_point_in_client(button, x, y) && !i2p_notify(button, self))
        return;
    self->value = 0.0f;
    i2p_redraw(button, self);
}

// Repeats pause while the pointer is off a held auto-repeating button.
static void i2p_move(HWND button, I2pRecord *self, int x, int y)
{
    if (self->enabled && self->pressed && i2p_repeats(self))
        self->repeatPaused = ctl_point_in_client(button, x, y) ? 0 : 1;
}

// One auto-repeat tick. Other timers, and ticks while paused or after the
// press ended, go to DefWindowProcA without counting.
static LRESULT i2p_timer(HWND button, I2pRecord *self, WPARAM wParam, LPARAM lParam)
{
    if (wParam != I2P_TIMER_ID || self->timerId == 0 || !self->pressed || self->repeatPaused)
        return DefWindowProcA(button, WM_TIMER, wParam, lParam);
    uint32_t n = self->repeatTicks;
    self->repeatTicks = n + 1;
    if (i2p_tick_notifies(n))
        i2p_notify(button, self); // last: the owner may close the button
    return 0;
}

// ---------------------------------------------------------------------------
// Message handlers
// ---------------------------------------------------------------------------

// Copies the creation record into a new instance record. Returns 0, or -1
// (creation fails) without a record or memory for it.
static LRESULT i2p_create(HWND button, LPARAM lParam)
{
    const CREATESTRUCTA *cs = reinterpret_cast<const CREATESTRUCTA *>(lParam);
    const I2pRecord *record = static_cast<const I2pRecord *>(cs->lpCreateParams);
    if (record == nullptr)
        return -1;
    I2pRecord *self = static_cast<I2pRecord *>(std::malloc(sizeof *self));
    if (self == nullptr)
        return -1;
    ctl_copy(self, record, sizeof *self);
    self->enabled = 1;
    self->focused = 0;
    self->value = 0.0f;
    self->pressed = 0;
    self->previousCapture = nullptr;
    self->timerId = 0;
    self->repeatPaused = 1;
    self->mask = self->appearance.look == I2P_ROUND ? ctl_round_mask(button, self->appearance.width)
                                                    : nullptr;
    ctl_set_instance_data(button, self);
    return 0;
}

static LRESULT i2p_destroy(HWND button, I2pRecord *self, WPARAM wParam, LPARAM lParam)
{
    if (self != nullptr) {
        i2p_stop_repeat(button, self);
        self->pressed = 0;
        if (GetCapture() == button)
            ReleaseCapture();
        ctl_set_instance_data(button, nullptr);
        std::free(self);
    }
    return DefWindowProcA(button, WM_DESTROY, wParam, lParam);
}

static LRESULT i2p_focus(HWND button, I2pRecord *self, bool gained)
{
    if (self == nullptr)
        return 0;
    if (!gained)
        i2p_cancel_press(button, self); // the key-up will go elsewhere
    if (i2p_shows_focus(self)) {
        self->focused = gained ? 1 : 0;
        i2p_redraw(button, self);
    }
    return 0;
}

static LRESULT i2p_paint(HWND button, const I2pRecord *self)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(button, &ps);
    if (self != nullptr && dc != nullptr)
        i2p_draw(self, dc);
    EndPaint(button, &ps);
    return 0;
}

static LRESULT i2p_mouse_activate(HWND button, WPARAM wParam, LPARAM lParam)
{
    if (GetFocus() != button)
        SetFocus(button);
    return DefWindowProcA(button, WM_MOUSEACTIVATE, wParam, lParam);
}

static LRESULT i2p_key(HWND button, I2pRecord *self, WPARAM key, LPARAM lParam, bool down)
{
    if (down && (key == VK_TAB || key == VK_ESCAPE))
        PostMessageA(self->parent, WM_KEYDOWN, key, lParam);
    else if (key == VK_RETURN || key == VK_SPACE) {
        if (down)
            i2p_press(button, self);
        else
            i2p_release(button, self, 1, 1);
    }
    return 0;
}

// Value commands 1-4; other numbers go to DefWindowProcA.
static LRESULT i2p_command(HWND button, I2pRecord *self, WPARAM wParam, LPARAM lParam)
{
    switch (wParam) {
    case CTL_CMD_ENABLE:
        if (!self->enabled) {
            self->enabled = 1;
            i2p_redraw(button, self);
        }
        break;
    case CTL_CMD_DISABLE:
        if (self->enabled) {
            i2p_cancel_press(button, self); // a held button lets go of capture and timer
            self->enabled = 0;
            i2p_redraw(button, self);
        }
        break;
    case CTL_CMD_GET:
        return (LRESULT)ctl_float_bits(self->value);
    case CTL_CMD_SET: {
        // Any non-zero value, NaN and infinities included, is "on".
        float value = ctl_as_float((uint32_t)lParam) != 0.0f ? 1.0f : 0.0f;
        if (value != self->value) {
            self->value = value;
            i2p_redraw(button, self);
        }
        break;
    }
    }
    return DefWindowProcA(button, WM_COMMAND, wParam, lParam);
}

// The capture went to another window while a press was held.
static LRESULT i2p_capture_changed(HWND button, I2pRecord *self, LPARAM lParam)
{
    if ((HWND)lParam != button)
        i2p_cancel_press(button, self);
    return 0;
}

// ---------------------------------------------------------------------------
// Window procedure
// ---------------------------------------------------------------------------

LRESULT CALLBACK ctl_i2p_proc(HWND button, UINT message, WPARAM wParam, LPARAM lParam)
{
    I2pRecord *self = static_cast<I2pRecord *>(ctl_get_instance_data(button));
    int x = (short)LOWORD(lParam), y = (short)HIWORD(lParam);
    switch (message) {
    case WM_NCCREATE: ctl_set_instance_data(button, nullptr); break;
    case WM_CREATE: return i2p_create(button, lParam);
    case WM_DESTROY: return i2p_destroy(button, self, wParam, lParam);
    case WM_SETFOCUS: return i2p_focus(button, self, true);
    case WM_KILLFOCUS: return i2p_focus(button, self, false);
    case WM_PAINT: return i2p_paint(button, self);
    case WM_CLOSE: DestroyWindow(button); return 0;
    case WM_MOUSEACTIVATE: return i2p_mouse_activate(button, wParam, lParam);
    }
    if (self == nullptr)
        return DefWindowProcA(button, message, wParam, lParam);
    switch (message) {
    case WM_KEYDOWN: return i2p_key(button, self, wParam, lParam, true);
    case WM_KEYUP: return i2p_key(button, self, wParam, lParam, false);
    case WM_LBUTTONDOWN: i2p_press(button, self); return 0;
    case WM_LBUTTONUP: i2p_release(button, self, x, y); return 0;
    case WM_MOUSEMOVE: i2p_move(button, self, x, y); return 0;
    case WM_CAPTURECHANGED: return i2p_capture_changed(button, self, lParam);
    case WM_COMMAND: return i2p_command(button, self, wParam, lParam);
    case WM_TIMER: return i2p_timer(button, self, wParam, lParam);
    }
    return DefWindowProcA(button, message, wParam, lParam);
}

// ---------------------------------------------------------------------------
// Creation
// ---------------------------------------------------------------------------

HWND ctl_create_i2p(HWND parent, int id, int x, int y, const I2pLook *look,
                    const NotifyTarget *target)
{
    I2pRecord record;
    ctl_zero(&record, sizeof record);
    record.parent = parent;
    record.x = x;
    record.y = y;
    record.id = (uint16_t)id;
    if (look != nullptr)
        record.appearance = *look;
    if (target != nullptr)
        record.notify = *target;
    if (record.appearance.width == 0)
        ctl_bitmap_size(record.appearance.offBitmap, &record.appearance.width,
                        &record.appearance.height);
    HWND button = CreateWindowExA(0, CTL_CLASS_I2P, nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP, x,
                                  y, record.appearance.width, record.appearance.height, parent,
                                  (HMENU)(UINT_PTR)(uint16_t)id, ctl_instance(), &record);
    if (button != nullptr) {
        ShowWindow(button, SW_SHOW);
        UpdateWindow(button);
    }
    return button;
}

HWND ctl_create_lamp_button(HWND parent, int id, int x, int y, uint32_t options)
{
    I2pLook look = {};
    look.offBitmap = ctl_bitmap(CTL_BMP_LAMP_OFF);
    look.onBitmap = ctl_bitmap(CTL_BMP_LAMP_ON);
    look.behaviour = I2P_TOGGLE;
    if ((options & I2P_PUSH) != 0)
        look.behaviour = I2P_PUSH;
    if ((options & I2P_SET_ONLY) != 0)
        look.behaviour = I2P_SET_ONLY;
    NotifyTarget target = {parent, nullptr, 0, nullptr};
    return ctl_create_i2p(parent, id, x, y, &look, &target);
}
