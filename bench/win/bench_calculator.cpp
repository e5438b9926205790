// The calculator under Wine:
//
// - Key-to-repaint, inside this process: the time the main window takes from
//   a key code (WM_COMMAND sent to it) until the result line and the display
//   show its result, against the floor measured side by side: one 200 x 119
//   BitBlt of the display face from a memory DC kept open plus the six tape
//   lines drawn with DrawTextA (DT_RIGHT | DT_SINGLELINE), on a DC of the
//   display panel. The key is + after a typed digit, so each one adds a tape
//   line (six show), lights the operator and empties the result line: both
//   the display and the result line repaint. The calculator draws both at
//   once; a key that left a repaint for later would not have all its cost in
//   its time, so it is checked after each key and reported as a failure. An
//   empty round of the message queue is timed beside them: it shows what a
//   round trip to the Wine server costs on the machine at the time.
// - Start to first paint, across processes: from just before CreateProcess
//   until the program's main window is visible and neither it nor any of its
//   children has anything left to paint (GetUpdateRect of each is empty, so
//   every window has been through its first WM_PAINT), polled every
//   millisecond; for keldoran.exe, for bench-minimal-window.exe (a window of
//   the calculator's size and frame that paints its client area grey) and
//   for the same program initialising the common controls first, launched
//   in turns. Each program is then closed with WM_CLOSE and waited for,
//   outside the time.
#include "bench/win/harness.h"
#include "bench/win/subjects.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "app/app.h"
#include "toolkit/qk2ctl.h"

// ---------------------------------------------------------------------------
// Key-to-repaint
// ---------------------------------------------------------------------------

static void post_code(int code)
{
    PostMessageA(g_mainWindow, WM_COMMAND, 0, code);
    bench_pump();
}

// AC, then six operands with + between them: six tape lines and the lit +.
static void fill_tape(void)
{
    post_code(CALC_KEY_AC);
    for (int i = 1; i <= 6; i++) {
        post_code(i);
        post_code(CALC_KEY_ADD);
    }
}

// The rounds of keys.
struct KeyRounds {
    int typed;       // digits typed so far
    int leftPending; // keys that left a repaint for later
};

// Before a key: a digit typed (a line unlike the six shown), far from the
// tape ring's end.
static void type_digit(void *data)
{
    KeyRounds *k = (KeyRounds *)data;
    if (g_calc.tapeEnd > 1700 || g_calc.tapeEnd < g_calc.tapeStart)
        fill_tape();
    post_code(1 + k->typed++ % 9);
}

// The key: + sent to the main window, which shows its result at once.
static void key_plus(void *, int)
{
    SendMessageA(g_mainWindow, WM_COMMAND, 0, CALC_KEY_ADD);
}

// After a key: a repaint it left for later would be part of its cost but is
// not in its time (asking costs a round trip to the server), so it is
// counted and reported instead.
static void count_pending(void *data)
{
    KeyRounds *k = (KeyRounds *)data;
    HWND display = (HWND)g_calc.displayPanel, line = (HWND)g_calc.resultLine;
    if (GetUpdateRect(display, nullptr, FALSE) || GetUpdateRect(line, nullptr, FALSE))
        k->leftPending++;
}

// The floor's own copy of the display face, in a memory DC kept open.
struct Floor {
    HBITMAP picture; // bitmap 501
    HDC dc;          // memory DC holding it
    HGDIOBJ old;     // the DC's own bitmap
};

// The floor: what any repaint of the display must do at the least.
static void floor_draw(void *data, int)
{
    const Floor *f = (const Floor *)data;
    HWND display = (HWND)g_calc.displayPanel;
    HDC dc = GetDC(display);
    BitBlt(dc, 0, 0, APP_CLIENT_W, APP_DISPLAY_H, f->dc, 0, 0, SRCCOPY);
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, ctl_font(6));
    int slots[CALC_TAPE_LINES];
    int count = calc_tape_lines(&g_calc, slots);
    for (int i = 0; i < count; i++) {
        char text[64];
        calc_tape_line_text(&g_calc.tape[slots[i]], text, sizeof text);
        int top = APP_TAPE_NEWEST_TOP - APP_TAPE_LINE_STEP * i;
        RECT rc = {APP_TAPE_LEFT, top, APP_TAPE_RIGHT, top + APP_TAPE_LINE_H};
        DrawTextA(dc, text, -1, &rc, DT_RIGHT | DT_SINGLELINE);
    }
    ReleaseDC(display, dc);
}

static void empty_round(void *, int)
{
    PostMessageA(g_mainWindow, WM_NULL, 0, 0);
    bench_pump();
}

void bench_key_to_repaint(int count)
{
    g_instance = GetModuleHandleA(nullptr);
    app_create_lcd_brush();
    if (!app_register_main_class(g_instance) || !app_create_main_window(g_instance)) {
        bench_note_failure("key-to-repaint: the calculator window was not made");
        app_delete_resources();
        return;
    }
    ShowWindow(g_mainWindow, SW_SHOW);
    UpdateWindow(g_mainWindow);
    bench_pump();
    Floor floor = {LoadBitmapA(g_instance, MAKEINTRESOURCEA(APP_BMP_DISPLAY)),
                   CreateCompatibleDC(nullptr), nullptr};
    floor.old = SelectObject(floor.dc, floor.picture);
    fill_tape();

    KeyRounds rounds = {0, 0};
    BenchSubject key = {"key +", key_plus, &rounds, 1, type_digit, count_pending, {}};
    BenchSubject least = {"floor", floor_draw, &floor, 1, nullptr, nullptr, {}};
    BenchSubject empty = {"post, peek, peek", empty_round, nullptr, 1, nullptr, nullptr, {}};
    BenchSubject *group[] = {&key, &least, &empty};
    bench_side_by_side(group, 3, count);
    bench_add_ratio("Calculator key-to-repaint vs the floor (face blit + six DrawTextA)", &key,
                    &least, 2.0);
    bench_add_plain("An empty round of the message queue, for scale", &empty);
    if (rounds.leftPending) {
        char text[120];
        std::snprintf(text, sizeof text,
                      "key-to-repaint: %d keys left a repaint for later, which their time misses",
                      rounds.leftPending);
        bench_note_failure(text);
    }

    SelectObject(floor.dc, floor.old);
    DeleteDC(floor.dc);
    DeleteObject(floor.picture);
    PostMessageA(g_mainWindow, WM_CLOSE, 0, 0);
    bench_pump();
    DestroyWindow(g_mainWindow);
    UnregisterClassA(APP_MAIN_CLASS, g_instance);
    app_delete_resources();
}

// ---------------------------------------------------------------------------
// Start to first paint
// ---------------------------------------------------------------------------

static const char kMinimalClass[] = "KeldoranBenchMinimal"; // bench/win/minimal_window.cpp

// One program launched again and again.
struct Launch {
    std::string path;      // the executable
    const char *options;   // its command line after the name
    const char *className; // its main window's class
    PROCESS_INFORMATION process; // the running copy, while there is one
    HWND window;           // its main window once found
    int failures;          // launches that did not reach their first paint
};

// The top-level window of class className that process pid owns, or null.
static HWND process_window(const char *className, DWORD pid)
{
    HWND w = nullptr;
    while ((w = FindWindowExA(nullptr, w, className, nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == pid)
            return w;
    }
    return nullptr;
}

static BOOL CALLBACK child_painted(HWND child, LPARAM pending)
{
    if (GetUpdateRect(child, nullptr, FALSE))
        *(int *)pending = 1;
    return TRUE;
}

// 1 when the window shows and neither it nor a child waits for a paint.
static int painted(HWND window)
{
    if (!IsWindowVisible(window) || GetUpdateRect(window, nullptr, FALSE))
        return 0;
    int pending = 0;
    EnumChildWindows(window, child_painted, (LPARAM)&pending);
    return !pending;
}

// Starts the program and returns once it has painted (or failed to in 10 s).
static void launch_until_painted(void *data, int)
{
    Launch *l = (Launch *)data;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    l->window = nullptr;
    std::string command = "\"" + l->path + "\" " + l->options;
    if (!CreateProcessA(l->path.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &si, &l->process)) {
        l->process = {};
        l->failures++;
        return;
    }
    double give_up = bench_now_us() + 10e6;
    while (bench_now_us() < give_up) {
        if (!l->window)
            l->window = process_window(l->className, l->process.dwProcessId);
        if (l->window && painted(l->window))
            return;
        if (WaitForSingleObject(l->process.hProcess, 1) == WAIT_OBJECT_0)
            break; // it ended without painting
    }
    l->failures++;
}

// Closes the program as a user would and waits for it; ends it if it stays.
static void close_program(void *data)
{
    Launch *l = (Launch *)data;
    if (!l->process.hProcess)
        return;
    if (l->window)
        PostMessageA(l->window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(l->process.hProcess, 5000) != WAIT_OBJECT_0) {
        TerminateProcess(l->process.hProcess, 1);
        WaitForSingleObject(l->process.hProcess, 5000);
    }
    CloseHandle(l->process.hThread);
    CloseHandle(l->process.hProcess);
    l->process = {};
}

void bench_start_up(int launches)
{
    char self[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, self, sizeof self);
    std::string folder(self, n);
    folder.erase(folder.find_last_of("\\/") + 1);
    Launch calculator = {folder + "keldoran.exe", "", APP_MAIN_CLASS, {}, nullptr, 0};
    Launch minimal = {folder + "bench-minimal-window.exe", "", kMinimalClass, {}, nullptr, 0};
    Launch withControls = {folder + "bench-minimal-window.exe", "--common-controls",
                           kMinimalClass, {}, nullptr, 0};
    BenchSubject calcStart = {"keldoran.exe", launch_until_painted, &calculator, 1, nullptr,
                              close_program, {}};
    BenchSubject minimalStart = {"minimal window", launch_until_painted, &minimal, 1, nullptr,
                                 close_program, {}};
    BenchSubject controlsStart = {"minimal window + InitCommonControlsEx", launch_until_painted,
                                  &withControls, 1, nullptr, close_program, {}};
    BenchSubject *group[] = {&calcStart, &minimalStart, &controlsStart};
    bench_side_by_side(group, 3, launches);
    for (const Launch *l : {&calculator, &minimal, &withControls}) {
        if (l->failures) {
            char text[MAX_PATH + 80];
            std::snprintf(text, sizeof text, "start-up: %d launches of %s %s did not paint",
                          l->failures, l->path.c_str(), l->options);
            bench_note_failure(text);
        }
    }
    bench_add_ratio("Calculator start to first paint vs a minimal Win32 window program",
                    &calcStart, &minimalStart, 1.25);
    bench_add_ratio("Calculator start to first paint vs the minimal program initialising the"
                    " common controls, as the toolkit's start-up must",
                    &calcStart, &controlsStart, 1.25);
}
