// The time-entry dialog under Wine, as plain rows (the platform has no such
// dialog to compare it with): opening and closing it, one typed time (the
// conversion and the rewriting of seven fields), one typed position, one
// picked note, a full repaint, and the duration strip alone. The work inside
// the dialog is measured from inside its modal loop (a hook on the end of its
// WM_INITDIALOG), which then closes it with OK.
#include "bench/win/harness.h"
#include "bench/win/subjects.h"
#include "toolkit/qk2ctl.h"

#include <algorithm>
#include <vector>

// ---------------------------------------------------------------------------
// Work done inside the open dialog
// ---------------------------------------------------------------------------

static int g_typed = 0;        // alternates the typed texts, so every run converts
static int g_repetitions = 15; // of every figure

static void type_seconds(void *data, int)
{
    static const char *texts[] = {"1.25", "0.5"};
    SendMessageA(GetDlgItem((HWND)data, CTL_TD_SECONDS), WM_SETTEXT, 0,
                 (LPARAM)texts[++g_typed & 1]);
}

static void type_position(void *data, int)
{
    static const char *texts[] = {"3 / 2 / 48", "12.4.0"};
    SendMessageA(GetDlgItem((HWND)data, CTL_TD_POSITION), WM_SETTEXT, 0,
                 (LPARAM)texts[++g_typed & 1]);
}

static void pick_note(void *data, int)
{
    LPARAM at = MAKELPARAM(180 + 32 * 3 + 16, 25 + 16); // the eighth note
    SendMessageA((HWND)data, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA((HWND)data, WM_LBUTTONUP, 0, at);
}

static void repaint(void *data, int)
{
    RedrawWindow((HWND)data, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

static void draw_strip(void *data, int)
{
    HDC dc = GetDC((HWND)data);
    ctl_duration_draw(dc, &g_timeContext, nullptr);
    ReleaseDC((HWND)data, dc);
}

static void five_notes(void *)
{
    for (int i = 0; i < CTL_NOTE_SLOTS; ++i)
        g_timeContext.notes[i] = (uint16_t)(10 + i);
}

static void replace_mode(void *)
{
    g_timeContext.replaceMode = 1;
}

// The subjects measured inside the dialog; their data is the dialog.
static BenchSubject g_inside[] = {
    {"typed time, 7 fields rewritten", type_seconds, nullptr, 50, nullptr, nullptr, {}},
    {"typed position", type_position, nullptr, 50, nullptr, nullptr, {}},
    {"picked note, strip and 8 fields", pick_note, nullptr, 50, replace_mode, nullptr, {}},
    {"full repaint with the children", repaint, nullptr, 20, nullptr, nullptr, {}},
    {"duration strip, five notes", draw_strip, nullptr, 200, five_notes, nullptr, {}},
};

// Measures inside the dialog once it is set up, then closes it with OK.
static LRESULT CALLBACK measure_in_dialog(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPRETSTRUCT *call = (const CWPRETSTRUCT *)lParam;
    if (code == HC_ACTION && call->message == WM_INITDIALOG && call->hwnd == g_openTimeDialog) {
        UpdateWindow(call->hwnd);
        for (BenchSubject &s : g_inside) {
            s.data = call->hwnd;
            bench_alone(&s, g_repetitions);
        }
        PostMessageA(call->hwnd, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// ---------------------------------------------------------------------------
// Opening and closing
// ---------------------------------------------------------------------------

static double g_setUpStart = 0;          // when the last WM_INITDIALOG began
static std::vector<double> g_setUpTimes; // how long each took, microseconds

static LRESULT CALLBACK set_up_begins(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT *call = (const CWPSTRUCT *)lParam;
    if (code == HC_ACTION && call->message == WM_INITDIALOG)
        g_setUpStart = bench_now_us();
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Notes the set-up's time and closes the dialog with OK.
static LRESULT CALLBACK close_at_once(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPRETSTRUCT *call = (const CWPRETSTRUCT *)lParam;
    if (code == HC_ACTION && call->message == WM_INITDIALOG && call->hwnd == g_openTimeDialog) {
        g_setUpTimes.push_back(bench_now_us() - g_setUpStart);
        PostMessageA(call->hwnd, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

static void open_and_close(void *data, int)
{
    DWORD thread = GetCurrentThreadId();
    HHOOK begins = SetWindowsHookExA(WH_CALLWNDPROC, set_up_begins, nullptr, thread);
    HHOOK ends = SetWindowsHookExA(WH_CALLWNDPROCRET, close_at_once, nullptr, thread);
    ctl_time_dialog((HWND)data, CTL_TD_CONTROL_WORD, 40, 40, 1.0f);
    UnhookWindowsHookEx(ends);
    UnhookWindowsHookEx(begins);
}

void bench_time_dialog(int repetitions)
{
    g_repetitions = repetitions;
    HWND owner = bench_host("time dialog", nullptr, 100, 100);
    BenchSubject openClose = {"17 children", open_and_close, owner, 5, nullptr, nullptr, {}};
    bench_alone(&openClose, repetitions);
    // The warm-up round's openings are not figures.
    g_setUpTimes.erase(g_setUpTimes.begin(),
                       g_setUpTimes.begin() + std::min<size_t>(openClose.steps, g_setUpTimes.size()));
    bench_add_plain("Time-entry dialog: open and close", &openClose);
    bench_add_figure("Time-entry dialog: of which the set-up (WM_INITDIALOG)", "one opening",
                     bench_figure(g_setUpTimes));

    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, measure_in_dialog, nullptr,
                                   GetCurrentThreadId());
    ctl_time_dialog(owner, CTL_TD_CONTROL_WORD, 40, 40, 1.0f);
    UnhookWindowsHookEx(hook);
    if (g_inside[0].samples.empty())
        bench_note_failure("time-entry dialog: it did not open");
    for (const BenchSubject &s : g_inside)
        bench_add_plain("Time-entry dialog", &s);
    DestroyWindow(owner);
    bench_pump();
}
