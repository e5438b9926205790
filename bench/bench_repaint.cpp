// Key-to-repaint under Wine, inside one process: the time the main window
// takes for a key code (WM_COMMAND) until the result line and the display
// show its result, a repaint it left pending included, against the floor
// measured in the same run, between the same keys: one 200 x 119 BitBlt of
// the display face from a memory DC kept open plus the six tape lines drawn
// with DrawTextA, on a DC of the display panel. Target: at most twice the
// floor. For comparison it also times the key posted and taken from the
// queue as a click's is, and an empty round of the queue, which any key pays
// under Wine whatever the calculator does.
//
//   bench-repaint [rounds]   (default 2000)
//
// Every round times one floor and one key; the figures are medians. The key
// is + after a typed digit, so each one adds a tape line (six are shown),
// changes the lit operator and clears the result line: both the display and
// the result line repaint.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/app.h"
#include "toolkit/qk2ctl.h"

namespace {

double g_tick; // microseconds per QueryPerformanceCounter count

double now_us(void)
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart * g_tick;
}

// Dispatches every queued message, paints included.
void pump(void)
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void post_code(int code)
{
    PostMessageA(g_mainWindow, WM_COMMAND, 0, code);
    pump();
}

// AC, then six operands with + between them: six tape lines and the lit +.
void fill_tape(void)
{
    post_code(CALC_KEY_AC);
    for (int i = 1; i <= 6; i++) {
        post_code(i);
        post_code(CALC_KEY_ADD);
    }
}

// The floor: what any repaint of the display must do at the least.
struct Floor {
    HBITMAP picture; // a copy of the display face of its own
    HDC pictureDc;   // memory DC kept open with it
    HGDIOBJ old;     // the DC's own bitmap
};

void floor_draw(const Floor *f, HWND display)
{
    HDC dc = GetDC(display);
    BitBlt(dc, 0, 0, APP_CLIENT_W, APP_DISPLAY_H, f->pictureDc, 0, 0, SRCCOPY);
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, ctl_font(6));
    int slots[CALC_TAPE_LINES];
    int count = calc_tape_lines(&g_calc, slots);
    for (int i = 0; i < count; i++) {
        char text[64];
        calc_tape_line_text(&g_calc.tape[slots[i]], text, sizeof text);
        int top = APP_TAPE_NEWEST_TOP - APP_TAPE_LINE_STEP * i;
        RECT line = {APP_TAPE_LEFT, top, APP_TAPE_RIGHT, top + APP_TAPE_LINE_H};
        DrawTextA(dc, text, -1, &line, DT_RIGHT | DT_SINGLELINE);
    }
    ReleaseDC(display, dc);
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    int rounds = argc > 1 ? atoi(argv[1]) : 2000;
    if (rounds < 10)
        rounds = 10;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    g_tick = 1e6 / (double)frequency.QuadPart;

    g_instance = GetModuleHandleA(nullptr);
    app_create_lcd_brush();
    if (!app_register_main_class(g_instance) || !app_create_main_window(g_instance)) {
        fprintf(stderr, "bench-repaint: the calculator window was not created\n");
        return 1;
    }
    ShowWindow(g_mainWindow, SW_SHOW);
    UpdateWindow(g_mainWindow);
    pump();
    HWND display = (HWND)g_calc.displayPanel;

    Floor f;
    f.picture = LoadBitmapA(g_instance, MAKEINTRESOURCEA(APP_BMP_DISPLAY));
    f.pictureDc = CreateCompatibleDC(nullptr);
    f.old = SelectObject(f.pictureDc, f.picture);

    fill_tape();
    std::vector<double> floors, keys, posted, loops;
    int leftPending = 0;
    for (int i = 0; i < rounds; i++) {
        if (g_calc.tapeEnd > 1700 || g_calc.tapeEnd < g_calc.tapeStart)
            fill_tape(); // stay far from the ring's end
        post_code(1 + i % 9); // a line unlike the six shown
        double t0 = now_us();
        floor_draw(&f, display);
        GdiFlush();
        double t1 = now_us();
        SendMessageA(g_mainWindow, WM_COMMAND, 0, CALC_KEY_ADD);
        GdiFlush();
        double t2 = now_us();
        // A repaint the key left for later is part of its cost.
        if (GetUpdateRect(display, nullptr, FALSE) ||
            GetUpdateRect((HWND)g_calc.resultLine, nullptr, FALSE)) {
            leftPending++;
            double t3 = now_us();
            RedrawWindow(g_mainWindow, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            GdiFlush();
            t2 += now_us() - t3;
        }
        floors.push_back(t1 - t0);
        keys.push_back(t2 - t1);
        // The same key posted and taken from the queue like a click's, and an
        // empty round of the queue for comparison.
        post_code(1 + (i + 4) % 9);
        double p0 = now_us();
        post_code(CALC_KEY_ADD);
        double p1 = now_us();
        PostMessageA(g_mainWindow, WM_NULL, 0, 0);
        pump();
        double p2 = now_us();
        posted.push_back(p1 - p0);
        loops.push_back(p2 - p1);
    }
    // Where a key's time goes: the result line's new text (set and painted
    // by the static control) and the display's redraw, each on its own.
    std::vector<double> texts, redraws;
    for (int i = 0; i < rounds / 4; i++) {
        double q0 = now_us();
        SetWindowTextA((HWND)g_calc.resultLine, i % 2 ? "12345" : "");
        GdiFlush();
        double q1 = now_us();
        app_redraw_display(display, &g_calc);
        GdiFlush();
        double q2 = now_us();
        texts.push_back(q1 - q0);
        redraws.push_back(q2 - q1);
    }
    SetWindowTextA((HWND)g_calc.resultLine, g_calc.text);
    double floor = median(floors), key = median(keys);
    printf("key-to-repaint: %.1f us, floor (one 200 x 119 BitBlt and six DrawTextA): %.1f us,"
           " ratio %.2fx (target at most 2x), %d rounds\n",
           key, floor, key / floor, rounds);
    printf("  the key posted and taken from the queue: %.1f us, of which an empty round of"
           " the queue (post, peek, peek): %.1f us; repaints left pending: %d\n",
           median(posted), median(loops), leftPending);
    printf("  parts of a key: the result line's text %.1f us, the display's redraw %.1f us\n",
           median(texts), median(redraws));

    SelectObject(f.pictureDc, f.old);
    DeleteDC(f.pictureDc);
    DeleteObject(f.picture);
    PostMessageA(g_mainWindow, WM_CLOSE, 0, 0);
    pump();
    DestroyWindow(g_mainWindow);
    app_delete_resources();
    return 0;
}
