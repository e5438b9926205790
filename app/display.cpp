// The display panel: a Free panel over the empty LCD face (bitmap 501) that
// paints the current calculation as a paper tape of up to six right-aligned
// lines, newest at the bottom, with a rule over a result line, and the box of
// the last operator key lit on its left. It keeps no data: every repaint
// reads the engine's state. After a key the main window has it redrawn at
// once, and only when the lines or the indicator changed; the face is drawn
// by the paint itself, never erased first. A left click drags the window, a
// right or middle click opens the about box.
#include "app/app.h"

#include <cstring>

#include "toolkit/qk2ctl.h"

// ---------------------------------------------------------------------------
// What was painted
// ---------------------------------------------------------------------------

// What the display shows: the operands of its tape lines and the indicator.
struct DisplayLook {
    int count;                            // tape lines, at most six
    TapeEntry lines[CALC_TAPE_LINES];     // their operands, newest first
    int indicator;                        // 0 or 12..15
};

// The look of the last paint; window thread only. `g_painted` is 0 until
// the first paint.
static DisplayLook g_lastLook;
static int g_painted;

static DisplayLook look_of(const CalcState *s)
{
    DisplayLook look = {};
    int slots[CALC_TAPE_LINES];
    look.count = calc_tape_lines(s, slots);
    for (int i = 0; i < look.count; i++)
        look.lines[i] = s->tape[slots[i]];
    look.indicator = s->indicator;
    return look;
}

static bool same_entry(const TapeEntry &a, const TapeEntry &b)
{
    return a.value == b.value && a.duration == b.duration && a.op == b.op &&
           a.negative == b.negative;
}

static bool same_look(const DisplayLook &a, const DisplayLook &b)
{
    if (a.count != b.count || a.indicator != b.indicator)
        return false;
    for (int i = 0; i < a.count; i++)
        if (!same_entry(a.lines[i], b.lines[i]))
            return false;
    return true;
}

int app_display_changed(const CalcState *s)
{
    return !g_painted || !same_look(look_of(s), g_lastLook);
}

// ---------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------

// Top row of tape line `i`, 0 being the newest.
static int tape_line_top(int i)
{
    return APP_TAPE_NEWEST_TOP - APP_TAPE_LINE_STEP * i;
}

// The tape lines, newest at the bottom, each right-aligned in its row and
// clipped to it; a result line gets a rule along its top. ExtTextOutA with
// right alignment puts the glyphs where DrawTextA with DT_RIGHT would, at a
// good part of its cost, which counts at every key.
static void paint_tape(HDC dc, const CalcState *s)
{
    SetTextAlign(dc, TA_RIGHT | TA_TOP);
    int slots[CALC_TAPE_LINES];
    int count = calc_tape_lines(s, slots);
    for (int i = 0; i < count; i++) {
        const TapeEntry *entry = &s->tape[slots[i]];
        int top = tape_line_top(i);
        char text[64];
        calc_tape_line_text(entry, text, sizeof text);
        if (entry->op == CALC_OP_RESULT)
            ctl_line(dc, ctl_colour_word(0, 0, 0), APP_RULE_LEFT, top, APP_TAPE_RIGHT, top);
        RECT line = {APP_TAPE_LEFT, top, APP_TAPE_RIGHT, top + APP_TAPE_LINE_H};
        ExtTextOutA(dc, APP_TAPE_RIGHT, top, ETO_CLIPPED, &line, text, (UINT)strlen(text), nullptr);
    }
    SetTextAlign(dc, TA_LEFT | TA_TOP);
}

// The lit box of the operator indicator; nothing when no operator is lit.
static void paint_indicator(HDC dc, int indicator)
{
    SelectObject(dc, ctl_font(5));
    SetTextColor(dc, ctl_color(13));
    SelectObject(dc, ctl_brush(0));
    SelectObject(dc, ctl_pen(0));
    for (const IndicatorLook &look : APP_INDICATORS) {
        if (look.op != indicator)
            continue;
        SelectObject(dc, ctl_font(look.font));
        Rectangle(dc, look.box.left, look.box.top, look.box.right, look.box.bottom);
        TextOutA(dc, look.textAt.x, look.textAt.y, look.text, 1);
    }
}

void app_paint_display(HDC dc, const CalcState *s)
{
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, ctl_font(6));
    SetTextColor(dc, RGB(0, 0, 0));
    paint_tape(dc, s);
    paint_indicator(dc, s->indicator);
}

// ---------------------------------------------------------------------------
// Message handlers
// ---------------------------------------------------------------------------

// The whole face, then the lines and the indicator over it: the face is
// drawn here, not when erasing, so no pixel is erased and then painted over.
static void draw_display(HDC dc, const CalcState *s)
{
    ctl_blit_bitmap(dc, 0, 0, g_displayPicture);
    app_paint_display(dc, s);
    g_lastLook = look_of(s);
    g_painted = 1;
}

static void display_on_paint(HWND panel, const CalcState *s)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(panel, &ps);
    if (dc)
        draw_display(dc, s);
    EndPaint(panel, &ps);
}

// After a key: at once, without an invalidation and a WM_PAINT round.
void app_redraw_display(HWND panel, const CalcState *s)
{
    HDC dc = panel ? GetDC(panel) : nullptr;
    if (!dc)
        return;
    draw_display(dc, s);
    ReleaseDC(panel, dc);
}

// A left press anywhere on the display drags the whole window.
static void display_drag(const CalcState *s, LPARAM lParam)
{
    PostMessageA((HWND)s->mainWindow, WM_NCLBUTTONDOWN, HTCAPTION, lParam);
}

// ---------------------------------------------------------------------------
// Panel callback
// ---------------------------------------------------------------------------

LRESULT app_display_callback(HWND panel, UINT message, WPARAM wParam, LPARAM lParam,
                             void *userData)
{
    CalcState *s = (CalcState *)userData;
    switch (message) {
    case WM_CREATE: return 0;
    case WM_ERASEBKGND: return 1; // the paint draws the whole face
    case WM_PAINT: display_on_paint(panel, s); return 1;
    case WM_KEYDOWN:
    case WM_KEYUP: PostMessageA((HWND)s->mainWindow, message, wParam, lParam); return 0;
    case WM_SYSKEYUP: return app_panel_syskeyup(panel, s, wParam, lParam);
    case WM_KILLFOCUS: app_release_keyboard_keys(); return 0;
    case WM_LBUTTONDOWN: display_drag(s, lParam); return 0;
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: app_request_about(s, panel, lParam); return 0;
    default: return DefWindowProcA(panel, message, wParam, lParam);
    }
}
