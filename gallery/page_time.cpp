// The "Time" page: time values of a delay effect as a sound engineer sets
// them. Each value field opens the time-entry dialog over itself; the field
// then shows the time the dialog returned, or keeps its time when the dialog
// was cancelled. Beside them the session's time context (tempo, signature,
// ticks, frame and sample rates, the note sequence) shows what the dialog
// keeps from one opening to the next.
#include "gallery/gallery.h"

#include <array>
#include <cstdio>
#include <iterator>

// ---------------------------------------------------------------------------
// Values and layout
// ---------------------------------------------------------------------------

// One time value of the page: its field and what it holds.
struct TimeValue {
    const char *name; // the label, and the name in the log line
    RECT field;       // where it is shown, page coordinates
    float seconds;    // the value
};

static const int kValueCount = 3;

// The page's state: its values. One page per process.
struct TimePage {
    std::array<TimeValue, kValueCount> values; // delay, pre-delay, feedback hold
};
static TimePage g_time;

static const TimePage kStart = {{{
    {"Delay time", {132, 52, 292, 74}, 0.375f},
    {"Pre-delay", {132, 84, 292, 106}, 0.02f},
    {"Loop length", {132, 116, 292, 138}, 2.0f},
}}};

static const GalleryBox kBoxes[] = {
    {12, 12, 300, 184, "Delay"},
    {324, 12, 304, 184, "Session time context"},
    {12, 208, 616, 164, "Try it"},
};
static const GalleryLabel kLabels[] = {
    {24, 56, "Delay time"},
    {24, 88, "Pre-delay"},
    {24, 120, "Loop length"},
    {24, 160, "Click a value to enter it as a time."},
    {24, 232, "A value opens the time-entry dialog over itself: type the time in any unit (seconds,"},
    {24, 250, "milliseconds, Hz, bpm, metres of sound, samples, bar / beat / tick or video frames) and"},
    {24, 268, "every other unit follows as you type. Pick notes from the palette to build a musical"},
    {24, 286, "duration (the lamp switches between replacing and adding notes); a new tempo or Apply"},
    {24, 304, "makes it the time. OK takes the time; Cancel forgets it and puts the tempo, signature"},
    {24, 322, "and notes back. Drag the dialog by its background. What you leave in the dialog is kept"},
    {24, 340, "here for the next value, and saved for the next start."},
};

// The note strip's place on the page: the dialog draws it from a palette
// origin 135 pixels above it.
static const int kStripLeft = 340, kStripTop = 150;

// ---------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------

// "0.375000 s" (the dialog's own seconds format).
static void seconds_text(float seconds, char *text, size_t size)
{
    std::snprintf(text, size, "%.6f s", (double)seconds);
}

static void paint_values(HDC dc)
{
    char text[64];
    for (const TimeValue &v : g_time.values) {
        const RECT &f = v.field;
        ctl_fill_box(dc, ctl_colour_word(0, 14, 7, true), f.left, f.top, f.right, f.bottom);
        seconds_text(v.seconds, text, sizeof text);
        ctl_text(dc, ctl_colour_word(0, 0, 7), f.left + 6, f.top + 3, text);
    }
}

// The time context as the dialog left it, and its note sequence.
static void paint_context(HDC dc)
{
    const TimeContext &c = g_timeContext;
    char lines[6][64];
    std::snprintf(lines[0], sizeof lines[0], "Tempo: %.3f bpm", (double)c.tempo);
    std::snprintf(lines[1], sizeof lines[1], "Time signature: %d / %d", (int)c.beatsPerBar,
                  (int)c.beatUnit);
    std::snprintf(lines[2], sizeof lines[2], "Ticks per beat: %d", (int)c.ticksPerBeat);
    std::snprintf(lines[3], sizeof lines[3], "Frames per second: %.3f", (double)c.framesPerSecond);
    std::snprintf(lines[4], sizeof lines[4], "Sample rate: %d Hz", (int)c.sampleRate);
    std::snprintf(lines[5], sizeof lines[5], "Picked notes: %s",
                  c.replaceMode == 1 ? "replace" : "add up");
    for (int i = 0; i < 6; ++i)
        ctl_text(dc, ctl_colour_word(0, 0, 2), 340, 38 + 18 * i, lines[i]);
    TimeDialogState at = {};
    at.column2X = kStripLeft + 1;
    at.column2Y = kStripTop - 135;
    ctl_duration_draw(dc, &c, &at);
}

static void time_paint(HWND page)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(page, &ps);
    gallery_paint_page(page, dc, kBoxes, (int)std::size(kBoxes), kLabels, (int)std::size(kLabels));
    int oldMode = SetBkMode(dc, TRANSPARENT);
    paint_values(dc);
    paint_context(dc);
    SetBkMode(dc, oldMode);
    EndPaint(page, &ps);
}

// ---------------------------------------------------------------------------
// Behaviour
// ---------------------------------------------------------------------------

// Opens the time-entry dialog over value v and keeps what it returns.
static void edit_value(HWND page, TimeValue *v)
{
    POINT at = {v->field.left, v->field.top};
    ClientToScreen(page, &at);
    float result = ctl_time_dialog(page, CTL_TD_CONTROL_WORD, at.x, at.y, v->seconds);
    if (!IsWindow(page))
        return; // the gallery closed while the dialog was open
    char line[96];
    if (result == CTL_TIME_CANCEL) {
        std::snprintf(line, sizeof line, " %s: cancelled", v->name);
    } else {
        v->seconds = result;
        char text[64];
        seconds_text(result, text, sizeof text);
        std::snprintf(line, sizeof line, " %s: %s", v->name, text);
    }
    gallery_log_text(line);
    InvalidateRect(page, nullptr, FALSE); // the value and the context
}

static void time_click(HWND page, int x, int y)
{
    POINT p = {x, y};
    for (TimeValue &v : g_time.values)
        if (PtInRect(&v.field, p)) {
            edit_value(page, &v);
            return;
        }
}

static LRESULT time_callback(HWND page, UINT message, WPARAM wParam, LPARAM lParam, void *)
{
    switch (message) {
    case WM_PAINT: time_paint(page); return 0;
    case WM_LBUTTONDOWN: time_click(page, (short)LOWORD(lParam), (short)HIWORD(lParam)); return 0;
    case WM_DESTROY: g_time = kStart; return 0;
    }
    return DefWindowProcA(page, message, wParam, lParam);
}

HWND gallery_create_time_page(HWND parent, int x, int y, int width, int height)
{
    g_time = kStart;
    HWND page = ctl_create_free_panel(parent, 3, x, y, width, height, time_callback, nullptr);
    if (page != nullptr)
        ShowWindow(page, SW_HIDE);
    return page;
}

// ---------------------------------------------------------------------------
// Tour: from the built-in context, open the delay time, type a tempo of 100,
// pick a dotted quarter, then (adding up) an eighth and a half note: one bar
// of 4/4, 2.4 s. Save the open dialog, take it with OK.
// ---------------------------------------------------------------------------

static void post_click(HWND window, int x, int y)
{
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

// A press and release on note cell c of the dialog's palette.
static void pick_note(HWND dialog, int c)
{
    post_click(dialog, 180 + 32 * (c % 5) + 16, 25 + 32 * (c / 5) + 16);
}

int gallery_tour_time(HWND page, int step)
{
    HWND dialog = g_openTimeDialog;
    if (step >= 2 && dialog == nullptr)
        return 0; // the dialog is closed (or never opened): the page's picture
    switch (step) {
    case 0:
        g_timeContext = CTL_TIME_CONTEXT_BUILTIN;
        post_click(page, g_time.values[0].field.left + 8, g_time.values[0].field.top + 8);
        return 1;
    case 2:
        SetFocus(GetDlgItem(dialog, CTL_TD_TEMPO));
        SetWindowTextA(GetDlgItem(dialog, CTL_TD_TEMPO), "100");
        return 1;
    case 3: pick_note(dialog, 12); return 1; // replaces the quarter
    case 4: post_click(GetDlgItem(dialog, CTL_TD_REPLACE), 4, 4); return 1;
    case 5: pick_note(dialog, 3); return 1;
    case 6: pick_note(dialog, 1); return 1;
    case 7: gallery_save_picture(dialog, "time-dialog", 1); return 1;
    case 8: post_click(GetDlgItem(dialog, CTL_TD_OK), 8, 8); return 1;
    }
    return 1;
}
