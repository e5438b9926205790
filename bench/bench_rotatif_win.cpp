// The cost of one knob drag step under Wine, beside the platform's own
// trackbar moved by TBM_SETPOS with its redraw, measured in the same run.
//
// A knob step is one WM_MOUSEMOVE of a linear drag that changes the value by
// one step: the step, the new angle and the knob's direct redraw (face,
// pointer). The trackbar step is TBM_SETPOS with redraw, then UpdateWindow so
// that its painting happens inside the measurement too. Every step ends with
// GdiFlush. Target: the knob's step costs no more than the trackbar's.
//
// Self-contained: QueryPerformanceCounter, several repetitions, median and
// range. Run it under Wine on a display (scripts/run-bench.sh does).
#include "toolkit/qk2ctl.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const int kReps = 9;        // repetitions of each measurement
const int kSteps = 400;     // steps per repetition
const int kWarmUp = 50;     // steps before the first repetition

double g_ticksPerUs; // QueryPerformanceCounter ticks per microsecond

double now_us()
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart / g_ticksPerUs;
}

// Dispatches whatever is queued, so that nothing piles up between runs.
void pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

struct Result {
    double median, low, high; // microseconds per step
};

// Runs step(i) kSteps times per repetition and returns the per-step times.
template <typename Step>
Result measure(Step step)
{
    for (int i = 0; i < kWarmUp; ++i)
        step(i);
    std::vector<double> perStep;
    for (int r = 0; r < kReps; ++r) {
        pump();
        double start = now_us();
        for (int i = 0; i < kSteps; ++i)
            step(i);
        perStep.push_back((now_us() - start) / kSteps);
    }
    std::sort(perStep.begin(), perStep.end());
    return {perStep[kReps / 2], perStep.front(), perStep.back()};
}

void print(const char *what, const Result &r)
{
    std::printf("  %-44s %8.1f us   (%.1f - %.1f)\n", what, r.median, r.low, r.high);
}

LRESULT CALLBACK host_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ERASEBKGND) {
        RECT rc;
        GetClientRect(window, &rc);
        FillRect((HDC)wParam, &rc, (HBRUSH)GetStockObject(LTGRAY_BRUSH));
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND make_host(HINSTANCE instance)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = host_proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = "BenchRotatifHost";
    RegisterClassA(&wc);
    HWND host = CreateWindowExA(0, wc.lpszClassName, "bench", WS_POPUP, 20, 20, 400, 200, nullptr,
                                nullptr, instance, nullptr);
    ShowWindow(host, SW_SHOWNA);
    UpdateWindow(host);
    return host;
}

// A knob over 0..100000 that a step of one pixel moves by 1.
HWND make_knob(HWND host, int x, HBITMAP face, int size, uint32_t look)
{
    RotatifRecord r = {};
    r.width = r.height = size;
    r.faceBitmap = face;
    r.startDegrees = 225;
    r.endDegrees = 315;
    r.look = look;
    r.centreX = r.centreY = size / 2;
    r.notify = {host, nullptr, 0, nullptr};
    r.scale.minimum = 0;
    r.scale.maximum = 100000;
    r.scale.defaultValue = 50000;
    r.scale.step = 1;
    r.scale.decimals = 0;
    r.pointerLength = size / 2 - 3;
    r.pointerWidth = 3;
    r.pointerBrush = 1;
    return ctl_create_rotatif(host, 1, x, 10, &r);
}

// A knob drag step: down then up one pixel in turn, each a step of 1.
Result knob_steps(HWND knob)
{
    SendMessageA(knob, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 20));
    Result r = measure([knob](int i) {
        SendMessageA(knob, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, i % 2 == 0 ? 19 : 20));
        GdiFlush();
    });
    SendMessageA(knob, WM_LBUTTONUP, 0, MAKELPARAM(10, 20));
    return r;
}

} // namespace

int main()
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    g_ticksPerUs = (double)frequency.QuadPart / 1e6;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!ctl_init(instance, "BenchRotatif")) {
        std::fprintf(stderr, "bench-rotatif: the toolkit did not start\n");
        return 1;
    }
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    HWND host = make_host(instance);

    HDC screen = GetDC(nullptr);
    HBITMAP face48 = CreateCompatibleBitmap(screen, 48, 48);
    ReleaseDC(nullptr, screen);
    HWND round = make_knob(host, 10, ctl_bitmap(CTL_BMP_KNOB), 32, ROT_ROUND);
    HWND plain = make_knob(host, 60, face48, 48, 0);
    HWND trackbar = CreateWindowExA(0, TRACKBAR_CLASSA, nullptr, WS_CHILD | WS_VISIBLE | TBS_HORZ,
                                    120, 10, 200, 32, host, nullptr, instance, nullptr);
    SendMessageA(trackbar, TBM_SETRANGEMIN, FALSE, 0);
    SendMessageA(trackbar, TBM_SETRANGEMAX, FALSE, 1000);
    pump();

    std::printf("Knob drag step against the trackbar's TBM_SETPOS with redraw, per step "
                "(median of %d runs of %d, range):\n", kReps, kSteps);
    Result roundKnob = knob_steps(round);
    Result plainKnob = knob_steps(plain);
    Result bar = measure([trackbar](int i) {
        SendMessageA(trackbar, TBM_SETPOS, TRUE, i % 2 == 0 ? 500 : 501);
        UpdateWindow(trackbar);
        GdiFlush();
    });
    print("knob step, round 32 x 32 (masked face)", roundKnob);
    print("knob step, rectangular 48 x 48", plainKnob);
    print("trackbar TBM_SETPOS + redraw, 200 x 32", bar);
    std::printf("  round knob / trackbar: %.2f   rectangular knob / trackbar: %.2f\n",
                roundKnob.median / bar.median, plainKnob.median / bar.median);

    DestroyWindow(host);
    DeleteObject(face48);
    ctl_shutdown();
    return 0;
}
