// Vgrid speed under Wine, timed with QueryPerformanceCounter: a full paint
// of a grid of 100,000 items of which 100 show, beside a grid of only those
// 100 items (target: at most 3 times as long), and one hit test (a Ctrl+right
// click on an item, which only looks for the item) with 100 and 100,000
// items. Each figure is the median of 7 runs, with the fastest and slowest.
#include "toolkit/qk2ctl.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace
{

const int kRuns = 7;
const int kCols = 1000; // the large grid: 1000 x 100 cells
const int kRows = 100;
const int kPitchX = 20; // cell pitch, logical units
const int kPitchY = 10;
const int kShownCols = 10; // the window shows 10 x 10 cells
const int kShownRows = 10;

long g_drawn = 0; // items drawn so far

// Draws what a cell of a real application would: a box and its value.
int32_t draw(VgridContext *c, int32_t code)
{
    if (code == VGRID_CODE_PAINT) {
        RECT rc = {c->left, c->top, c->right, c->bottom};
        FillRect(c->dc, &rc, ctl_brush(9));
    } else if (code == VGRID_CODE_DRAW) {
        ++g_drawn;
        ctl_fill_box(c->dc, ctl_colour_word(0, 8, 0), c->left, c->top, c->right, c->bottom);
        char text[16];
        int n = std::snprintf(text, sizeof text, "%d", (int)*c->value);
        TextOutA(c->dc, c->left + 1, c->top, text, n);
    }
    return 1;
}

// A grid whose client area shows exactly kShownCols x kShownRows cells at
// the middle of a cols x rows layout (or all of it when it is that small).
HWND make_grid(HWND host, int cols, int rows)
{
    // Client area: the cells but their last gap (the visible area takes in
    // one more pixel), beside the two scroll bars.
    int width = kShownCols * kPitchX - 2 + GetSystemMetrics(SM_CXVSCROLL);
    int height = kShownRows * kPitchY - 2 + GetSystemMetrics(SM_CYHSCROLL);
    HWND grid = ctl_create_vgrid(host, 1, 0, 0, width, height, WS_HSCROLL | WS_VSCROLL,
                                 cols * kPitchX, rows * kPitchY, draw, 0);
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < cols; ++col) {
            int x = col * kPitchX, y = row * kPitchY;
            VgridItem item = {row * cols + col,
                              VGRID_LINEAR,
                              x,
                              y,
                              x + kPitchX - 2,
                              y + kPitchY - 2,
                              (float)(col % 128),
                              0.0f,
                              127.0f,
                              1.0f,
                              0.25f,
                              0,
                              nullptr};
            ctl_vgrid_add(grid, &item);
        }
    }
    int left = (cols - kShownCols) / 2 * kPitchX, top = (rows - kShownRows) / 2 * kPitchY;
    SendMessageA(grid, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, left), 0);
    SendMessageA(grid, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, top), 0);
    UpdateWindow(grid);
    return grid;
}

double now_us(void)
{
    static LARGE_INTEGER frequency = {};
    if (frequency.QuadPart == 0)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart * 1e6 / (double)frequency.QuadPart;
}

struct Figure {
    double median, low, high; // microseconds per operation
};

// Runs op `times` times in each of kRuns runs.
template <typename Op> Figure measure(int times, Op op)
{
    std::vector<double> runs;
    for (int r = 0; r < kRuns; ++r) {
        double start = now_us();
        for (int i = 0; i < times; ++i)
            op();
        runs.push_back((now_us() - start) / times);
    }
    std::sort(runs.begin(), runs.end());
    return {runs[kRuns / 2], runs.front(), runs.back()};
}

void print(const char *what, Figure f, const char *unit, double scale)
{
    std::printf("%-52s %9.2f %s  [%.2f - %.2f]\n", what, f.median / scale, unit, f.low / scale,
                f.high / scale);
}

} // namespace

int main()
{
    if (!ctl_init(GetModuleHandleA(nullptr), "BenchVgrid")) {
        std::printf("the toolkit did not start\n");
        return 1;
    }
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "BenchVgridHost";
    RegisterClassA(&wc);
    HWND host = CreateWindowExA(0, wc.lpszClassName, "bench", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300,
                                nullptr, nullptr, wc.hInstance, nullptr);
    HWND small = make_grid(host, kShownCols, kShownRows);
    HWND large = make_grid(host, kCols, kRows);
    ShowWindow(small, SW_HIDE);

    auto paint = [](HWND grid) {
        return [grid] { RedrawWindow(grid, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); };
    };
    std::printf("Vgrid under Wine: median of %d runs [fastest - slowest]\n", kRuns);
    ShowWindow(large, SW_HIDE);
    ShowWindow(small, SW_SHOW);
    g_drawn = 0;
    paint(small)();
    long drawnSmall = g_drawn;
    Figure paintSmall = measure(100, paint(small));
    ShowWindow(small, SW_HIDE);
    ShowWindow(large, SW_SHOW);
    g_drawn = 0;
    paint(large)();
    long drawnLarge = g_drawn;
    Figure paintLarge = measure(100, paint(large));
    std::printf("items drawn by one paint: %ld of 100, %ld of 100,000\n", drawnSmall, drawnLarge);
    print("full paint, 100 items, 100 shown", paintSmall, "ms", 1000.0);
    print("full paint, 100,000 items, 100 shown", paintLarge, "ms", 1000.0);
    std::printf("%-52s %9.2f    (target: at most 3)\n", "ratio",
                paintLarge.median / paintSmall.median);

    // A Ctrl+right click on an item: one hit test and nothing else.
    auto hit = [](HWND grid) {
        return [grid] {
            SendMessageA(grid, WM_RBUTTONDOWN, MK_RBUTTON | MK_CONTROL, MAKELPARAM(55, 45));
        };
    };
    Figure hitSmall = measure(20000, hit(small));
    Figure hitLarge = measure(20000, hit(large));
    print("hit test (Ctrl+right click on an item), 100 items", hitSmall, "us", 1.0);
    print("hit test (Ctrl+right click on an item), 100,000 items", hitLarge, "us", 1.0);

    DestroyWindow(host);
    ctl_shutdown();
    return 0;
}
