// Paint speed of the 2DList under Wine, measured with QueryPerformanceCounter.
//
// - One screen of the 2DList (32 full rows and the cut-off one) with 10 lines
//   and with 10,000,000 lines scrolled to the end: the cost must not grow
//   with the lines (target: a ratio of at most 1.1). The callback draws every
//   row it is asked for the same way, past the end of a short list too, so
//   both paints draw the same and the ratio is the control's own.
// - The same with a callback that draws nothing: the control's cost alone.
// - The same visible rows in the system's own virtual list view (a ListView
//   with LVS_OWNERDATA in report view, 10,000,000 items, the same three texts
//   per row from LVN_GETDISPINFO), in the same run (target: the 2DList's
//   paint costs no more).
//
// Each sample times a run of paints (invalidate, then UpdateWindow) of the
// one window shown at that moment, all at the same place, and divides; the
// variants take turns within each round so that drift on a shared machine
// hits them alike. Prints the median and range per paint.
#include "toolkit/qk2ctl.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

const int kRows = 32;          // full rows in one screen
const int kLineHeight = 16;    // pixels per row
const int kWidth = 300;        // list width
const int kSamples = 25;       // samples per variant
const int kPaintsPerSample = 50;
const int32_t kManyLines = 10000000;

const int kColumnX[3] = {4, 62, 152}; // number, timecode, name
const int kColumnW[3] = {58, 90, 130}; // within the width left by the scroll bar

const char *const kNames[] = {"Slate", "Dialogue", "Door slam", "Footsteps",
                              "Room tone", "Music in", "Music out", "Crowd"};

// The three texts of a row, the same for both lists.
void row_texts(int32_t line, char *number, char *time, const char **name)
{
    std::snprintf(number, 16, "%7d", (int)line);
    int64_t frames = (int64_t)(line - 1) * 62 + line % 50;
    int64_t seconds = frames / 25;
    std::snprintf(time, 24, "%lld:%02d:%02d:%02d", (long long)(seconds / 3600),
                  (int)(seconds / 60 % 60), (int)(seconds % 60), (int)(frames % 25));
    *name = kNames[line % 8];
}

// Draws a row: its background, then the three texts in toolkit font 2.
int32_t draw_row(void *, int32_t code, void *data)
{
    const List2DInfo *row = static_cast<const List2DInfo *>(data);
    if (code != LIST_CODE_DRAW)
        return 0;
    RECT rc = {0, row->top, kWidth, row->top + row->lineHeight};
    FillRect(row->dc, &rc, ctl_brush(row->line % 2 != 0 ? 15 : 14));
    char number[16], time[24];
    const char *name;
    row_texts(row->line, number, time, &name);
    SelectObject(row->dc, ctl_font(2));
    SetBkMode(row->dc, TRANSPARENT);
    SetTextColor(row->dc, ctl_color(0));
    const char *texts[3] = {number, time, name};
    for (int c = 0; c < 3; ++c)
        TextOutA(row->dc, kColumnX[c], row->top + 2, texts[c], (int)strlen(texts[c]));
    return 0;
}

int32_t draw_nothing(void *, int32_t, void *) { return 0; }

// The host answers the ListView's requests for texts.
LRESULT CALLBACK host_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY) {
        NMLVDISPINFOA *info = reinterpret_cast<NMLVDISPINFOA *>(lParam);
        if (info->hdr.code == LVN_GETDISPINFOA && (info->item.mask & LVIF_TEXT) != 0) {
            char number[16], time[24];
            const char *name;
            row_texts(info->item.iItem + 1, number, time, &name);
            const char *texts[3] = {number, time, name};
            int column = std::clamp(info->item.iSubItem, 0, 2);
            lstrcpynA(info->item.pszText, texts[column], info->item.cchTextMax);
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND make_host(void)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = host_proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = "BenchListsHost";
    RegisterClassA(&wc);
    RECT rc = {0, 0, kWidth + 40, kRows * 24 + 80};
    AdjustWindowRect(&rc, WS_OVERLAPPEDWINDOW, FALSE);
    HWND host = CreateWindowExA(0, "BenchListsHost", "bench", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                20, 20, rc.right - rc.left, rc.bottom - rc.top, nullptr, nullptr,
                                wc.hInstance, nullptr);
    ShowWindow(host, SW_SHOWNA);
    UpdateWindow(host);
    return host;
}

// A 2DList of lines lines showing kRows full rows and a cut-off one, at the end.
HWND make_list(HWND host, int x, int32_t lines, ListCallback callback)
{
    List2DRecord record = {};
    record.info.totalLines = lines;
    record.info.lineHeight = kLineHeight;
    record.callback = callback;
    HWND list = ctl_create_list2d(host, 100 + x, x, 10, kWidth, kRows * kLineHeight + 8, &record);
    SendMessageA(list, WM_KEYDOWN, VK_END, 0);
    return list;
}

// The system's virtual list view with the same rows, showing the last ones.
HWND make_list_view(HWND host, int x, int32_t items, int *rowsShown)
{
    HWND view = CreateWindowExA(0, WC_LISTVIEWA, "",
                                WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA |
                                    LVS_NOSORTHEADER | LVS_SHOWSELALWAYS,
                                x, 10, kWidth, 100, host, (HMENU)200, GetModuleHandleA(nullptr),
                                nullptr);
    SendMessageA(view, WM_SETFONT, (WPARAM)ctl_font(2), FALSE);
    const char *titles[3] = {"Number", "Time", "Name"};
    for (int c = 0; c < 3; ++c) {
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.cx = kColumnW[c];
        column.pszText = const_cast<char *>(titles[c]);
        column.iSubItem = c;
        SendMessageA(view, LVM_INSERTCOLUMNA, c, (LPARAM)&column);
    }
    SendMessageA(view, LVM_SETITEMCOUNT, items, LVSICF_NOINVALIDATEALL);
    // Tall enough for kRows full rows of its own height below its header.
    RECT header, item = {};
    GetWindowRect((HWND)SendMessageA(view, LVM_GETHEADER, 0, 0), &header);
    item.left = LVIR_BOUNDS;
    SendMessageA(view, LVM_GETITEMRECT, 0, (LPARAM)&item);
    int rowHeight = std::max<int>(item.bottom - item.top, 1);
    MoveWindow(view, x, 10, kWidth, header.bottom - header.top + kRows * rowHeight + rowHeight / 2,
               TRUE);
    SendMessageA(view, LVM_ENSUREVISIBLE, items - 1, FALSE);
    *rowsShown = (int)SendMessageA(view, LVM_GETCOUNTPERPAGE, 0, 0);
    return view;
}

double g_tickUs; // microseconds per QueryPerformanceCounter tick

// Microseconds per paint over one sample of kPaintsPerSample paints.
double time_paints(HWND window, BOOL erase)
{
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < kPaintsPerSample; ++i) {
        InvalidateRect(window, nullptr, erase);
        UpdateWindow(window);
    }
    QueryPerformanceCounter(&end);
    return (double)(end.QuadPart - start.QuadPart) * g_tickUs / kPaintsPerSample;
}

struct Variant {
    const char *name;
    HWND window;
    BOOL erase;                  // the ListView erases its background as it paints
    std::vector<double> samples; // microseconds per paint
    double median() const
    {
        std::vector<double> s = samples;
        std::sort(s.begin(), s.end());
        return s[s.size() / 2];
    }
};

void pump(void)
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

} // namespace

int main()
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    g_tickUs = 1e6 / (double)frequency.QuadPart;
    if (!ctl_init(GetModuleHandleA(nullptr), "BenchLists")) {
        std::fprintf(stderr, "bench-lists-win: the toolkit did not start\n");
        return 1;
    }
    HWND host = make_host();
    int viewRows = 0;
    Variant variants[] = {
        {"2DList, 10 lines", make_list(host, 10, 10, draw_row), FALSE, {}},
        {"2DList, 10,000,000 lines", make_list(host, 10, kManyLines, draw_row), FALSE, {}},
        {"2DList, 10 lines, empty callback", make_list(host, 10, 10, draw_nothing), FALSE, {}},
        {"2DList, 10,000,000 lines, empty callback", make_list(host, 10, kManyLines, draw_nothing),
         FALSE, {}},
        {"ListView (LVS_OWNERDATA, report), 10,000,000 items",
         make_list_view(host, 10, kManyLines, &viewRows), TRUE, {}},
    };
    for (Variant &v : variants)
        ShowWindow(v.window, SW_HIDE);
    pump();
    for (int s = -1; s < kSamples; ++s) // round -1 warms up fonts, caches and surfaces
        for (Variant &v : variants) {
            ShowWindow(v.window, SW_SHOWNA);
            UpdateWindow(host);
            pump();
            double us = time_paints(v.window, v.erase);
            if (s >= 0)
                v.samples.push_back(us);
            ShowWindow(v.window, SW_HIDE);
            pump();
        }

    int listRows = static_cast<const List2DRecord *>(ctl_get_instance_data(variants[1].window))
                       ->info.visibleRows;
    std::printf("One screen painted (InvalidateRect + UpdateWindow): 2DList %d full rows + the "
                "cut-off one, ListView %d rows per page.\n",
                listRows, viewRows);
    std::printf("Median of %d samples of %d paints, microseconds per paint (range):\n", kSamples,
                kPaintsPerSample);
    for (const Variant &v : variants) {
        auto [low, high] = std::minmax_element(v.samples.begin(), v.samples.end());
        std::printf("  %-52s %8.1f  (%.1f - %.1f)\n", v.name, v.median(), *low, *high);
    }
    double lengthRatio = variants[1].median() / variants[0].median();
    double emptyRatio = variants[3].median() / variants[2].median();
    double viewRatio = variants[1].median() / variants[4].median();
    std::printf("  10,000,000 lines / 10 lines, drawing rows:   %.3f (target at most 1.1: %s)\n",
                lengthRatio, lengthRatio <= 1.1 ? "met" : "MISSED");
    std::printf("  10,000,000 lines / 10 lines, empty callback: %.3f\n", emptyRatio);
    std::printf("  2DList / ListView, 10,000,000 lines:         %.3f (target at most 1.0: %s)\n",
                viewRatio, viewRatio <= 1.0 ? "met" : "MISSED");

    DestroyWindow(host);
    ctl_shutdown();
    return 0;
}
