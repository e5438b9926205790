// Slide drag speed under Wine: one drag step of a Slide (a WM_MOUSEMOVE one
// pixel along the track while dragging, which moves the thumb and redraws
// the control at once) beside one step of the platform trackbar of the same
// size (TBM_SETPOS with redraw, then its paint), in the same run. Target: a
// Slide step costs no more than a trackbar step.
//
// Self-contained: QueryPerformanceCounter, several repetitions of a batch of
// steps each, reported as the median, fastest and slowest time per step.
// Run by scripts/run-bench.sh under Xvfb and Wine.
#include "toolkit/qk2ctl.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const int kRepetitions = 15; // batches per subject
const int kSteps = 200;      // steps per batch
const int kWidth = 200, kHeight = 36;

// Microseconds per step of each batch.
struct Timing {
    std::vector<double> perStep;
};

double now_us(void)
{
    static LARGE_INTEGER frequency = {};
    if (frequency.QuadPart == 0)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart * 1e6 / (double)frequency.QuadPart;
}

void pump(void)
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

HBITMAP solid_bitmap(int w, int h, COLORREF colour)
{
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, bitmap);
    HBRUSH brush = CreateSolidBrush(colour);
    RECT rc = {0, 0, w, h};
    FillRect(mem, &rc, brush);
    DeleteObject(brush);
    SelectObject(mem, old);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

// One batch of kSteps steps; returns microseconds per step.
template <typename Step>
double batch(Step step)
{
    double start = now_us();
    for (int i = 0; i < kSteps; ++i) {
        step(i);
        GdiFlush();
    }
    return (now_us() - start) / kSteps;
}

void report(const char *name, Timing t)
{
    std::sort(t.perStep.begin(), t.perStep.end());
    double median = t.perStep[t.perStep.size() / 2];
    std::printf("%-34s median %8.1f us  range %8.1f - %8.1f us  (%d x %d steps)\n", name, median,
                t.perStep.front(), t.perStep.back(), kRepetitions, kSteps);
}

double median_of(Timing t)
{
    std::sort(t.perStep.begin(), t.perStep.end());
    return t.perStep[t.perStep.size() / 2];
}

} // namespace

int main()
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!ctl_init(instance, "BenchSlide")) {
        std::fprintf(stderr, "bench-slide: the toolkit did not start\n");
        return 1;
    }
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = "BenchSlideHost";
    RegisterClassA(&wc);
    HWND host = CreateWindowExA(0, wc.lpszClassName, "bench", WS_POPUP | WS_VISIBLE, 20, 20, 260,
                                120, nullptr, nullptr, instance, nullptr);

    // a Slide as the gallery's crossfader: plate bitmap, the toolkit's thumb
    HBITMAP plate = solid_bitmap(kWidth, kHeight, RGB(220, 220, 218));
    HBITMAP dragPlate = solid_bitmap(kWidth, kHeight, RGB(230, 210, 180));
    SlideRecord r = {};
    r.width = kWidth;
    r.height = kHeight;
    r.background = plate;
    r.draggingBackground = dragPlate;
    r.minMargin = 6;
    r.maxMargin = 6;
    r.style = SLIDE_HORIZONTAL;
    r.thumbCross = 11;
    r.scale = {0.0f, 168.0f, 84.0f, 1.0f, 0, SLIDE_DELTAS_AS_IS, 0, 0, 0, 0, 0};
    r.thumbBitmap = ctl_bitmap(CTL_BMP_HTHUMB);
    r.thumbWidth = 20;
    r.thumbHeight = 15;
    HWND slide = ctl_create_slide(host, 1, 10, 10, &r);

    HWND trackbar = CreateWindowExA(0, TRACKBAR_CLASSA, nullptr, WS_CHILD | WS_VISIBLE | TBS_HORZ,
                                    10, 60, kWidth, kHeight, host, (HMENU)2, instance, nullptr);
    SendMessageA(trackbar, TBM_SETRANGE, TRUE, MAKELPARAM(0, 168));
    SendMessageA(trackbar, TBM_SETPOS, TRUE, 84);
    UpdateWindow(host);
    pump();
    if (slide == nullptr || trackbar == nullptr) {
        std::fprintf(stderr, "bench-slide: the controls were not made\n");
        return 1;
    }

    // relative mode, captured: each pixel of movement is one step of 1.0,
    // one pixel of thumb movement and one redraw
    g_sSetToPos = 0;
    g_sCapture = 1;
    SendMessageA(slide, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 18));
    Timing slideTiming, trackbarTiming;
    for (int rep = 0; rep < kRepetitions; ++rep) {
        slideTiming.perStep.push_back(batch([&](int i) {
            SendMessageA(slide, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100 + (i & 1), 18));
        }));
        trackbarTiming.perStep.push_back(batch([&](int i) {
            SendMessageA(trackbar, TBM_SETPOS, TRUE, 84 + (i & 1));
            UpdateWindow(trackbar);
        }));
        pump();
    }
    SendMessageA(slide, WM_LBUTTONUP, 0, MAKELPARAM(100, 18));

    report("Slide drag step (move + redraw)", slideTiming);
    report("trackbar TBM_SETPOS + redraw", trackbarTiming);
    double ratio = median_of(slideTiming) / median_of(trackbarTiming);
    std::printf("Slide / trackbar: %.2f (target: at most 1.00) %s\n", ratio,
                ratio <= 1.0 ? "met" : "MISSED");

    DestroyWindow(host);
    pump();
    ctl_shutdown();
    DeleteObject(plate);
    DeleteObject(dragPlate);
    RegDeleteKeyA(HKEY_CURRENT_USER, ctl_key_path());
    return 0;
}
