// The display panel: a Free panel over the empty LCD face (bitmap 501) that
// paints the current calculation as a paper tape of up to six right-aligned
// lines, newest at the bottom, with a rule over a result line, and the box of
// the last operator key lit on its left. It keeps no data of the calculation:
// every repaint reads the engine's state. After a key the main window has it
// redrawn at once, and only when the lines or the indicator changed; the face
// is drawn by the paint itself, never erased first. A left click drags the
// window, a right or middle click opens the about box.
//
// What the panel shows is kept in a back buffer. Most keys only add lines to
// the tape (an operator after a number, Enter): the buffer then moves the
// older lines up by whole rows and draws only the new ones and the
// indicator, which costs a third of drawing every line. Each line owns a band
// of 16 rows (its text is 16 rows high, its rule lies on its first row), so
// a band moved with its background is the line drawn there afresh, as long
// as the face is one colour under the tape; with any other face every change
// draws the whole display.
#include "app/app.h"

#include <algorithm>
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

// The look of the last paint, which the back buffer holds; window thread
// only. `g_painted` is 0 until the first paint into the buffer (and while
// there is none).
static DisplayLook g_lastLook;
static int g_painted;
static int g_linesMoved; // lines moved up instead of drawn again, since the start

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
// The back buffer
// ---------------------------------------------------------------------------

// A memory DC with a bitmap of the panel's size that holds what the panel
// shows (g_lastLook) once g_painted is set; window thread only.
struct DisplayBuffer {
    HDC dc;         // null until the first paint, and when it could not be made
    HBITMAP bitmap; // APP_CLIENT_W x APP_DISPLAY_H, compatible with the panel
    HGDIOBJ old;    // the DC's own bitmap
    int scrolls;    // 1 when the face is one colour under the tape
};
static DisplayBuffer g_buffer;

// The rows the tape lines own: line i the 16 rows from its top; the row
// below the newest line and those above the oldest stay face.
static const int kTapeTop = APP_TAPE_NEWEST_TOP - APP_TAPE_LINE_STEP * (CALC_TAPE_LINES - 1);
static const int kTapeBottom = APP_TAPE_NEWEST_TOP + APP_TAPE_LINE_STEP;
// Where the indicator draws: its four boxes and their characters.
static const RECT kIndicatorArea = {27, 30, APP_TAPE_LEFT, kTapeBottom};

// 1 when every pixel of the face under the tape's text has one colour.
static int face_plain_under_tape(HDC dc)
{
    HDC face = ctl_picture_dc(g_displayPicture);
    if (face == nullptr)
        return 0;
    const int w = APP_TAPE_RIGHT - APP_TAPE_LEFT, h = kTapeBottom - kTapeTop;
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void *bits = nullptr;
    HBITMAP copy = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC mem = copy ? CreateCompatibleDC(dc) : nullptr;
    int plain = 0;
    if (mem != nullptr) {
        HGDIOBJ old = SelectObject(mem, copy);
        BitBlt(mem, 0, 0, w, h, face, APP_TAPE_LEFT, kTapeTop, SRCCOPY);
        GdiFlush();
        const uint32_t *p = (const uint32_t *)bits;
        plain = 1;
        for (int i = 1; i < w * h && plain; i++)
            plain = (p[i] & 0xFFFFFF) == (p[0] & 0xFFFFFF);
        SelectObject(mem, old);
        DeleteDC(mem);
    }
    if (copy != nullptr)
        DeleteObject(copy);
    return plain;
}

// Makes the back buffer for the panel of dc. Returns 1 when it is there.
static int buffer_ready(HDC dc)
{
    if (g_buffer.dc != nullptr)
        return 1;
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bitmap = mem ? CreateCompatibleBitmap(dc, APP_CLIENT_W, APP_DISPLAY_H) : nullptr;
    if (bitmap == nullptr) {
        if (mem != nullptr)
            DeleteDC(mem);
        return 0;
    }
    g_buffer = {mem, bitmap, SelectObject(mem, bitmap), face_plain_under_tape(dc)};
    g_painted = 0; // nothing drawn in it yet
    return 1;
}

int app_display_lines_moved(void)
{
    return g_linesMoved;
}

void app_display_release(void)
{
    if (g_buffer.dc != nullptr) {
        SelectObject(g_buffer.dc, g_buffer.old);
        DeleteDC(g_buffer.dc);
        DeleteObject(g_buffer.bitmap);
    }
    g_buffer = {};
    g_painted = 0;
}

// ---------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------

// Top row of tape line `i`, 0 being the newest.
static int tape_line_top(int i)
{
    return APP_TAPE_NEWEST_TOP - APP_TAPE_LINE_STEP * i;
}

// Tape line i (0 the newest) of entry, right-aligned in its row and clipped
// to it; a result line gets a rule along its top. ExtTextOutA with right
// alignment puts the glyphs where DrawTextA with DT_RIGHT would, at a good
// part of its cost, which counts at every key. The DC's text alignment must
// be TA_RIGHT.
static void paint_tape_line(HDC dc, const TapeEntry *entry, int i)
{
    int top = tape_line_top(i);
    char text[64];
    calc_tape_line_text(entry, text, sizeof text);
    if (entry->op == CALC_OP_RESULT)
        ctl_line(dc, ctl_colour_word(0, 0, 0), APP_RULE_LEFT, top, APP_TAPE_RIGHT, top);
    RECT line = {APP_TAPE_LEFT, top, APP_TAPE_RIGHT, top + APP_TAPE_LINE_H};
    ExtTextOutA(dc, APP_TAPE_RIGHT, top, ETO_CLIPPED, &line, text, (UINT)strlen(text), nullptr);
}

// Lines [first, last) of look, newest at the bottom.
static void paint_tape(HDC dc, const DisplayLook &look, int first, int last)
{
    SetTextAlign(dc, TA_RIGHT | TA_TOP);
    for (int i = first; i < last && i < look.count; i++)
        paint_tape_line(dc, &look.lines[i], i);
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

// The text settings of the tape lines.
static void tape_text_mode(HDC dc)
{
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, ctl_font(6));
    SetTextColor(dc, RGB(0, 0, 0));
}

void app_paint_display(HDC dc, const CalcState *s)
{
    DisplayLook look = look_of(s);
    tape_text_mode(dc);
    paint_tape(dc, look, 0, CALC_TAPE_LINES);
    paint_indicator(dc, look.indicator);
}

// How many lines `now` adds at the bottom of what `before` showed: k when
// now's lines k, k + 1, ... are before's lines 0, 1, ... and before's oldest
// lines left only by the top. 0 when now is not before moved up.
static int lines_added(const DisplayLook &now, const DisplayLook &before)
{
    for (int k = 1; k <= now.count; k++) {
        if (now.count != std::min(before.count + k, CALC_TAPE_LINES))
            continue;
        bool moved = true;
        for (int i = 0; i + k < now.count && moved; i++)
            moved = same_entry(now.lines[i + k], before.lines[i]);
        if (moved)
            return k;
    }
    return 0;
}

// Brings the back buffer to look: the whole display drawn afresh, or, when
// look only adds lines to what it shows, the older lines moved up and the
// new ones and the indicator drawn. Returns the rectangle that changed.
static RECT update_buffer(const DisplayLook &look)
{
    HDC dc = g_buffer.dc;
    int k = g_painted && g_buffer.scrolls ? lines_added(look, g_lastLook) : 0;
    RECT changed = {0, 0, APP_CLIENT_W, APP_DISPLAY_H};
    if (k == 0) {
        ctl_blit_bitmap(dc, 0, 0, g_displayPicture);
        tape_text_mode(dc);
        paint_tape(dc, look, 0, CALC_TAPE_LINES);
        paint_indicator(dc, look.indicator);
    } else {
        int moved = APP_TAPE_LINE_STEP * k;
        int w = APP_TAPE_RIGHT - APP_TAPE_LEFT;
        BitBlt(dc, APP_TAPE_LEFT, kTapeTop, w, kTapeBottom - kTapeTop - moved, dc, APP_TAPE_LEFT,
               kTapeTop + moved, SRCCOPY);
        ctl_blit_part(dc, g_displayPicture, APP_TAPE_LEFT, kTapeBottom - moved, APP_TAPE_LEFT,
                      kTapeBottom - moved, w, moved);
        tape_text_mode(dc);
        paint_tape(dc, look, 0, k);
        g_linesMoved += look.count - k;
        changed = {APP_TAPE_LEFT, kTapeTop, APP_TAPE_RIGHT, kTapeBottom};
        if (look.indicator != g_lastLook.indicator) {
            const RECT &a = kIndicatorArea;
            ctl_blit_part(dc, g_displayPicture, a.left, a.top, a.left, a.top, a.right - a.left,
                          a.bottom - a.top);
            paint_indicator(dc, look.indicator);
            changed.left = a.left;
        }
    }
    g_lastLook = look;
    g_painted = 1;
    return changed;
}

// ---------------------------------------------------------------------------
// Message handlers
// ---------------------------------------------------------------------------

// The whole face, then the lines and the indicator over it, straight on dc:
// what a paint does when the back buffer cannot be made.
static void draw_display(HDC dc, const CalcState *s)
{
    ctl_blit_bitmap(dc, 0, 0, g_displayPicture);
    app_paint_display(dc, s);
    g_lastLook = look_of(s);
}

// Shows the engine's state on dc through the back buffer: the part that
// changed, or everything when `whole` is set (a paint).
static void show_display(HDC dc, const CalcState *s, bool whole)
{
    DisplayLook look = look_of(s);
    if (!buffer_ready(dc)) {
        draw_display(dc, s);
        return;
    }
    RECT r = {0, 0, APP_CLIENT_W, APP_DISPLAY_H};
    if (!g_painted || !same_look(look, g_lastLook)) {
        RECT changed = update_buffer(look);
        if (!whole)
            r = changed;
    }
    BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, g_buffer.dc, r.left, r.top,
           SRCCOPY);
}

static void display_on_paint(HWND panel, const CalcState *s)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(panel, &ps);
    if (dc)
        show_display(dc, s, true);
    EndPaint(panel, &ps);
}

// After a key: at once, without an invalidation and a WM_PAINT round.
void app_redraw_display(HWND panel, const CalcState *s)
{
    HDC dc = panel ? GetDC(panel) : nullptr;
    if (!dc)
        return;
    show_display(dc, s, false);
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
    case WM_DESTROY: app_display_release(); return 0;
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
