// The adjust-value popup: a small modeless window over a knob with three
// vertical tape scales, coarse, medium and fine, each centred on the value.
// Dragging in a column moves the value by the column's step per pixel (down
// or right raises it, up or left in inverse mode) and sends it at once to
// the knob and its owner; the tape follows the mouse. The popup holds the
// mouse capture while it is open, so every click comes to it:
//
//   where / what                          does
//   on a tape, left button                adjusts in that column until the release
//   title row or below the tapes          moves the popup (window mover)
//   on the switch                         the switch toggles the inverse mode
//   outside, or right or middle button    closes
//   Escape, WM_CANCELMODE, WM_CLOSE       closes
//
// Closing gives the capture back to its former owner and destroys the popup,
// which sends the close command to the knob. There is no OK or Cancel: every
// value has been applied as it was adjusted.
//
// Contents: 1. layout and helpers  2. steps and decimals  3. drawing the
//           tapes  4. closing  5. message handlers  6. dialog procedure
//           7. opening
#include "toolkit/qk2ctl.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>

// ---------------------------------------------------------------------------
// 1. Layout and helpers
// ---------------------------------------------------------------------------

// Popup, visible, clipping its child, thin border, modal frame, no WM_ENTERIDLE.
static const DWORD kPopupStyle =
    WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_BORDER | DS_MODALFRAME | DS_NOIDLEMSG;
static_assert(kPopupStyle == 0x92800180, "adjust popup style");
static const SIZE_T kTemplateBytes = 1024; // the zeroed block the template is built in

static const int kTapeTop = 20;      // the tapes start under the title row
static const int kBottomSpace = 40;  // title row and switch row together
static const int kNumberSize = 64;   // formatted numbers are cut to fit

static const uint32_t kTitleWord = 0x80000700;   // font 7, colour 0, relief
static const uint32_t kCaptionWord = 0x80000600; // font 6, colour 0, relief
static const char kCaption[] = "Inverse mousemove mode";
static const int kCaptionGap = 4; // between the caption and the switch

// Each column: label period and tick period, in rows.
struct Column {
    int labelEvery; // a label and a short line every this many rows
    int tickEvery;  // a tick on the right edge every this many rows
};
static const Column kColumns[3] = {{50, 10}, {25, 5}, {20, 4}};

static bool decibel_mode(const AdjustPopupState *s) { return (s->style & DecibelDisplay) != 0; }

static int column_left(const AdjustPopupState *s, int k)
{
    return k == 0 ? 0 : (k == 1 ? s->column2Left : s->column3Left);
}

static float column_step(const AdjustPopupState *s, int k)
{
    return k == 0 ? s->step1 : (k == 1 ? s->step2 : s->step3);
}

// A finite float: NaN becomes 0, infinities the largest floats.
static float finite_or_limit(float x)
{
    if (std::isnan(x))
        return 0.0f;
    return std::clamp(x, -FLT_MAX, FLT_MAX);
}

// ---------------------------------------------------------------------------
// 2. Steps and decimals
// ---------------------------------------------------------------------------

int ctl_decade(float x)
{
    if (!(x > 0.0f))
        return 0;
    if (std::isinf(x))
        return 38;
    double a = std::log10((double)x);
    double whole = std::nearbyint(a);
    if (std::fabs(a - whole) < 1e-6) // a power of ten, give or take the float's rounding
        return (int)whole;
    return (int)(a > 0.0 ? std::ceil(a) : std::floor(a));
}

// The working value and limits (whole decibels in decibel mode), the three
// steps and the decimals, from the scale.
static void working_range(AdjustPopupState *s, const ValueScale *scale)
{
    float low = finite_or_limit(scale->minimum), high = finite_or_limit(scale->maximum);
    if (low > high)
        std::swap(low, high);
    s->sendMinimum = low;
    s->sendMaximum = high;
    float value = std::isnan(scale->current) ? low : finite_or_limit(scale->current);
    if (decibel_mode(s)) {
        // The limits become whole decibels; the value keeps its fraction, so
        // that the first pixel of a drag does not jump by up to a decibel.
        value = ctl_decibels(value);
        low = std::trunc(ctl_decibels(low));
        high = std::trunc(ctl_decibels(high));
    }
    s->minimum = low;
    s->maximum = high;
    s->value = std::clamp(value, low, high);
    s->range = high - low;
    int p = ctl_decade(s->range);
    float decade = std::pow(10.0f, (float)std::min(p, 38)); // within a float
    s->step1 = decade * 0.0010000000474974513f;
    s->step2 = decade * 9.999999747378752e-06f;
    s->step3 = decade * 1.0000000116860974e-07f;
    s->decimals = std::clamp(6 - p, 1, 5);
}

// ---------------------------------------------------------------------------
// 3. Drawing the tapes
// ---------------------------------------------------------------------------

// Column k of the tapes, left edge b: the scale rows (labels, ticks, and the
// hatching beyond the range), then the value's box on the centre row. Row y
// shows minimum + n x step with n falling by one a row, the centre row the
// value itself, so larger values are higher up.
static void draw_column(HDC dc, const AdjustPopupState *s, int k)
{
    int b = column_left(s, k), w = s->columnWidth, c = s->centreRow;
    float step = column_step(s, k);
    const Column &col = kColumns[k];
    double rows = step > 0.0f ? std::trunc((double)(s->value - s->minimum) / step) : 0.0;
    long long n = (long long)std::clamp(rows, -1e15, 1e15) + c;
    char text[kNumberSize];
    IntersectClipRect(dc, b, 0, b + w + 1, s->tapeHeight);
    for (int y = 1; y < s->tapeHeight - 1; ++y) {
        --n;
        float v = s->minimum + (float)n * step;
        if (v >= s->minimum && v <= s->maximum) {
            if (n % col.labelEvery == 0) {
                ctl_line(dc, 10, b + 2, y, b + 6, y);
                ctl_format_float(v, text, sizeof text, s->decimals, 0, 0);
                ctl_text(dc, v > 0.0f ? 0x400 : 0x40C, b + 9, y - 8, text);
            }
            if (n % col.tickEvery == 0)
                ctl_line(dc, 11, b + w - 4, y, b + w, y);
        } else if (n % 2 == 0) {
            ctl_line(dc, 13, b + 2, y, b + w, y);
        }
    }
    ctl_fill_box(dc, 0x800000D0, b + 1, c - 10, b + w - 1, c + 10);
    ctl_format_float(s->value, text, sizeof text, s->decimals, 0, 1);
    ctl_text(dc, 0x600, b + 5, c - 8, text);
    SelectClipRgn(dc, nullptr);
}

void ctl_adjust_draw(const AdjustPopupState *state)
{
    if (state == nullptr || state->tapeBitmap == nullptr)
        return;
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc == nullptr)
        return;
    HGDIOBJ old = SelectObject(dc, state->tapeBitmap);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    ctl_fill_box(dc, 0xEE, 1, 1, state->width, state->height);
    for (int k = 0; k < 3; ++k)
        draw_column(dc, state, k);
    for (int k = 0; k < 3; ++k) {
        int b = column_left(state, k);
        ctl_frame_box(dc, CTL_RELIEF, b, 0, b + state->columnWidth, state->tapeHeight - 1);
    }
    SetBkMode(dc, oldMode);
    SelectObject(dc, old);
    DeleteDC(dc);
}

// Redraws the tapes and shows them at once.
static void show_tapes(HWND popup, const AdjustPopupState *s)
{
    ctl_adjust_draw(s);
    HDC dc = GetDC(popup);
    if (dc == nullptr)
        return;
    ctl_blit(dc, s->tapeBitmap, 0, kTapeTop, s->width, s->tapeHeight);
    ReleaseDC(popup, dc);
}

// ---------------------------------------------------------------------------
// 4. Closing
// ---------------------------------------------------------------------------

// Forgets popup as the open adjust popup, unless another one took its place.
static void forget_open_popup(HWND popup)
{
    if (g_openAdjustPopup == popup)
        g_openAdjustPopup = nullptr;
}

// Ends a move in progress, gives the capture back to its former owner and
// destroys the popup, unless handing the capture on closed it already: that
// ends whatever the window losing the capture was doing (a knob's drag), and
// the knob's owner may close the knob, and the popup with it, from the
// report. Returns TRUE (handled).
static INT_PTR close_popup(HWND popup, AdjustPopupState *s)
{
    if (ctl_drag_active(&s->mover)) {
        ctl_mover_end(&s->mover, 0, 0);
        if (!ctl_holds_dialog_data(popup, s))
            return TRUE;
    }
    HWND previous = s->previousCapture;
    s->previousCapture = nullptr;
    if (GetCapture() == popup)
        ReleaseCapture();
    if (previous != nullptr && previous != popup && IsWindow(previous))
        SetCapture(previous);
    if (ctl_holds_dialog_data(popup, s))
        DestroyWindow(popup);
    return TRUE;
}

// ---------------------------------------------------------------------------
// 5. Message handlers
// ---------------------------------------------------------------------------

// A set-up that cannot go on: the popup closes at once. With a state (the
// tapes could not be made) it closes as usual; without one it has nothing
// to clean up but the open-popup handle. Returns -1.
static INT_PTR fail_setup(HWND popup, AdjustPopupState *s)
{
    if (s != nullptr)
        close_popup(popup, s);
    else
        DestroyWindow(popup);
    forget_open_popup(popup);
    return -1;
}

// Copies the opener's state, places the popup, takes the capture, makes the
// tape bitmap and the switch. The copy takes over the template. Returns
// FALSE, or -1 when the state or the tapes cannot be had (the popup is then
// gone).
static INT_PTR on_init(HWND popup, AdjustPopupState *opening)
{
    g_openAdjustPopup = popup;
    AdjustPopupState *s =
        opening != nullptr ? static_cast<AdjustPopupState *>(std::malloc(sizeof *s)) : nullptr;
    if (s == nullptr)
        return fail_setup(popup, nullptr);
    *s = *opening;
    opening->templ = nullptr;
    ctl_set_dialog_data(popup, s);

    int frame, caption, menu;
    ctl_frame_metrics(&frame, &caption, &menu);
    SetWindowPos(popup, nullptr, s->x, s->y, ADJUST_W + 2 * frame, ADJUST_H + 2 * frame,
                 SWP_SHOWWINDOW);
    ctl_keep_on_screen(popup);
    ctl_mover_init(&s->mover, popup);
    HWND previous = SetCapture(popup);
    s->previousCapture = previous != popup ? previous : nullptr;

    RECT rc;
    GetClientRect(popup, &rc);
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    s->width = w;
    s->height = h;
    s->column2Left = w / 3;
    s->column3Left = w / 3 * 2;
    s->columnWidth = w / 3 - 1;
    s->tapeHeight = h - kBottomSpace;
    s->centreRow = (h - kBottomSpace) >> 1;

    HDC dc = GetDC(popup);
    s->tapeBitmap = dc != nullptr && s->tapeHeight > 0 ? CreateCompatibleBitmap(dc, w, s->tapeHeight)
                                                        : nullptr;
    if (dc != nullptr)
        ReleaseDC(popup, dc);
    if (s->tapeBitmap == nullptr)
        return fail_setup(popup, s);
    ctl_adjust_draw(s);

    s->switchWindow = ctl_create_lamp_button(popup, ADJUST_SWITCH_ID, w - 30, h - 18, 0);
    if (g_aIMode == 1)
        SendMessageA(s->switchWindow, WM_COMMAND, CTL_CMD_SET, ctl_float_bits(1.0f));
    SetFocus(popup); // Escape comes here
    return FALSE;
}

// The switch's rectangle in the popup's client coordinates; empty without it.
static RECT switch_rect(HWND popup, const AdjustPopupState *s)
{
    RECT rc = {0, 0, 0, 0};
    if (s->switchWindow != nullptr && GetWindowRect(s->switchWindow, &rc))
        MapWindowPoints(nullptr, popup, reinterpret_cast<POINT *>(&rc), 2);
    return rc;
}

// The caption's left edge: 186 pixels from the right, or further left when
// the font makes it too wide to end before the switch.
static int caption_left(HWND popup, HDC dc, const AdjustPopupState *s)
{
    int left = s->width - 186;
    SelectObject(dc, ctl_font((kCaptionWord >> 8) & 15));
    SIZE extent = {0, 0};
    GetTextExtentPoint32A(dc, kCaption, (int)std::strlen(kCaption), &extent);
    RECT sw = switch_rect(popup, s);
    if (sw.right > sw.left && left + extent.cx + kCaptionGap > sw.left)
        left = sw.left - kCaptionGap - extent.cx;
    return left;
}

static INT_PTR on_paint(HWND popup, const AdjustPopupState *s)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(popup, &ps);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    ctl_text(dc, kTitleWord, 5, 2, "Adjust Value");
    ctl_blit(dc, s->tapeBitmap, 0, kTapeTop, s->width, s->tapeHeight);
    ctl_text(dc, kCaptionWord, caption_left(popup, dc, s), s->height - 18, kCaption);
    SetBkMode(dc, oldMode);
    EndPaint(popup, &ps);
    return FALSE;
}

// The marble under everything. A dialog procedure's answer reaches the
// system through DWLP_MSGRESULT.
static INT_PTR on_erase(HWND popup, HDC dc)
{
    ctl_tile(popup, dc, 0, 0, ctl_bitmap(CTL_BMP_MARBLE));
    SetWindowLongPtrA(popup, DWLP_MSGRESULT, TRUE);
    return TRUE;
}

// The switch toggles the inverse mode of every popup.
static INT_PTR on_command(int id)
{
    if (id == ADJUST_SWITCH_ID)
        g_aIMode = g_aIMode == 1 ? 0 : 1;
    return FALSE;
}

// A left click: outside it closes; on the switch it is handed to the switch
// (the capture keeps it from going there); on a tape it picks the column to
// adjust; anywhere else it starts moving the popup.
static INT_PTR on_press(HWND popup, AdjustPopupState *s, int x, int y, WPARAM keys)
{
    if (x < 0 || y < 0 || x >= s->width || y >= s->height) {
        SendMessageA(popup, WM_CLOSE, 0, 0);
        return FALSE;
    }
    RECT sw = switch_rect(popup, s);
    POINT pt = {x, y};
    if (PtInRect(&sw, pt)) {
        PostMessageA(s->switchWindow, WM_LBUTTONDOWN, keys, MAKELPARAM(x - sw.left, y - sw.top));
        return FALSE;
    }
    s->lastX = x;
    s->lastY = y;
    s->activeColumn = x < s->column2Left ? 1 : (x < s->column3Left ? 2 : 3);
    if (y >= kTapeTop && y <= s->tapeHeight + kTapeTop)
        return FALSE;
    s->activeColumn = 0;
    ctl_mover_begin(&s->mover, x, y);
    return FALSE;
}

// Sends the working value to the knob (command 4) and its owner: in decibel
// mode as 10^(value / 20), always within the knob's own limits.
static void send_value(const AdjustPopupState *s)
{
    float v = decibel_mode(s) ? ctl_from_decibels(s->value) : s->value;
    v = std::clamp(v, s->sendMinimum, s->sendMaximum);
    uint32_t bits = ctl_float_bits(v);
    if (s->control != nullptr)
        ctl_send_command(s->control, CTL_CMD_SET, (LPARAM)bits);
    ctl_notify(&s->notify, s->id, (LPARAM)bits);
}

// A mouse move: moves the popup's outline while it is being moved, or
// adjusts the value in the active column by the column's step per pixel
// along the axis the mouse moved most, and sends it (even unchanged).
static INT_PTR on_move(HWND popup, AdjustPopupState *s, int x, int y)
{
    if (ctl_drag_active(&s->mover)) {
        ctl_mover_move(&s->mover, x, y);
        return FALSE;
    }
    if (s->activeColumn == 0)
        return FALSE;
    int dx = x - s->lastX, dy = y - s->lastY;
    s->lastX = x;
    s->lastY = y;
    int d = std::abs(dy) > std::abs(dx) ? dy : dx;
    if (g_aIMode == 1)
        d = -d;
    float value = s->value + (float)d * column_step(s, s->activeColumn - 1);
    if (value > s->maximum)
        value = s->maximum;
    if (value < s->minimum)
        value = s->minimum;
    s->value = value;
    show_tapes(popup, s);
    send_value(s);
    return FALSE;
}

// The end of a column's drag or of a move. The move ends last: giving the
// capture back may close the popup.
static INT_PTR on_release(AdjustPopupState *s, int x, int y)
{
    s->activeColumn = 0;
    if (ctl_drag_active(&s->mover))
        ctl_mover_end(&s->mover, x, y);
    return FALSE;
}

// Frees what the popup holds and tells the knob it is gone (while the
// toolkit runs). A popup without a state only forgets its handle.
static INT_PTR on_destroy(HWND popup, AdjustPopupState *s)
{
    if (s != nullptr) {
        ctl_set_dialog_data(popup, nullptr);
        ctl_delete_object(s->tapeBitmap);
        if (s->templ != nullptr)
            GlobalFree(s->templ);
        if (g_toolkitActive == 1 && s->control != nullptr)
            SendMessageA(s->control, WM_COMMAND, s->closeCommand, 0);
        std::free(s);
    }
    forget_open_popup(popup);
    return FALSE;
}

// ---------------------------------------------------------------------------
// 6. Dialog procedure
// ---------------------------------------------------------------------------

INT_PTR CALLBACK ctl_adjust_proc(HWND popup, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        return on_init(popup, reinterpret_cast<AdjustPopupState *>(lParam));
    AdjustPopupState *s = static_cast<AdjustPopupState *>(ctl_get_dialog_data(popup));
    if (message == WM_DESTROY)
        return on_destroy(popup, s);
    if (s == nullptr)
        return FALSE;
    int x = (short)LOWORD(lParam), y = (short)HIWORD(lParam);
    switch (message) {
    case WM_PAINT: return on_paint(popup, s);
    case WM_ERASEBKGND: return on_erase(popup, (HDC)wParam);
    case WM_COMMAND: return on_command(LOWORD(wParam));
    case WM_LBUTTONDOWN: return on_press(popup, s, x, y, wParam);
    case WM_MOUSEMOVE: return on_move(popup, s, x, y);
    case WM_LBUTTONUP: return on_release(s, x, y);
    case WM_KEYDOWN: return wParam == VK_ESCAPE ? close_popup(popup, s) : FALSE;
    case WM_CLOSE:
    case WM_CANCELMODE:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: return close_popup(popup, s);
    }
    return FALSE;
}

// ---------------------------------------------------------------------------
// 7. Opening
// ---------------------------------------------------------------------------

HWND ctl_adjust_popup(HWND owner, HWND control, uint32_t style, int x, int y,
                      uint16_t closeCommand, const NotifyTarget *target, uint16_t id,
                      const ValueScale *scale)
{
    if (g_openAdjustPopup != nullptr)
        SendMessageA(g_openAdjustPopup, WM_CLOSE, 0, 0);
    if (scale == nullptr)
        return nullptr;
    AdjustPopupState state = {};
    state.x = x;
    state.y = y;
    state.width = ADJUST_W;
    state.height = ADJUST_H;
    state.style = style;
    state.closeCommand = closeCommand;
    state.control = control;
    if (target != nullptr)
        state.notify = *target;
    state.scale = scale;
    state.id = id;
    working_range(&state, scale);

    state.templ = GlobalAlloc(GMEM_ZEROINIT, kTemplateBytes);
    if (state.templ == nullptr)
        return nullptr;
    static_cast<DLGTEMPLATE *>(state.templ)->style = kPopupStyle;
    HWND popup = CreateDialogIndirectParamA(ctl_instance(), static_cast<LPCDLGTEMPLATEA>(state.templ),
                                            owner, ctl_adjust_proc, (LPARAM)&state);
    if (state.templ != nullptr) // the popup never took it over
        GlobalFree(state.templ);
    return popup != nullptr && IsWindow(popup) ? popup : nullptr;
}
