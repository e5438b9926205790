// The toolkit's controls beside the platform's own, under Wine:
//
// - Drag steps. A knob step is one WM_MOUSEMOVE of a linear drag that moves
//   the value by one step: the new angle and the knob's direct redraw (face
//   through its round mask, pointer). A Slide step is one WM_MOUSEMOVE of a
//   captured drag one pixel along the track: the thumb moves a pixel and the
//   control redraws at once. The trackbar's step is TBM_SETPOS with redraw,
//   then UpdateWindow so that its paint falls inside the time too.
// - List paints. One screen of the 2DList (32 full rows and the cut-off one,
//   each drawn by the callback: background and three texts) with 10 lines and
//   with 10,000,000 lines scrolled to the end, and the same rows in a virtual
//   ListView (LVS_OWNERDATA, report view, 10,000,000 items, the three texts
//   from LVN_GETDISPINFO). A paint is InvalidateRect, then UpdateWindow. The
//   callback draws every row it is asked for alike, past the end of a short
//   list too, so both 2DList paints draw the same and their ratio is the
//   control's own.
// - Vgrid paints. A full paint of a grid of 100,000 items (1000 x 100 cells)
//   scrolled to its middle, where 100 items show, beside a grid of only those
//   100 items. Each item draws a box and its value.
//
// Windows measured against each other sit at the same place and only the one
// being measured is shown.
#include "bench/win/harness.h"
#include "bench/win/subjects.h"
#include "tests/win/harness.h"
#include "toolkit/qk2ctl.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

// ---------------------------------------------------------------------------
// Host windows
// ---------------------------------------------------------------------------

HWND bench_host(const char *title, WNDPROC proc, int width, int height)
{
    // One class per window procedure: the procedure's address names it.
    char className[40];
    std::snprintf(className, sizeof className, "BenchHost%p", (void *)proc);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = proc ? proc : DefWindowProcA;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = className;
    RegisterClassA(&wc); // fails harmlessly when it is registered already
    HWND host = CreateWindowExA(0, className, title, WS_POPUP | WS_CLIPCHILDREN, 20, 20, width,
                                height, nullptr, nullptr, instance, nullptr);
    if (host) {
        ShowWindow(host, SW_SHOWNA);
        UpdateWindow(host);
    }
    return host;
}

// ---------------------------------------------------------------------------
// Drag steps
// ---------------------------------------------------------------------------

static const int kTrackW = 200, kTrackH = 36; // the Slide's and the trackbar's size

// A drag of one control: where it is pressed and the two points its steps
// alternate between.
struct Drag {
    HWND window; // the dragged control
    int x, y;    // press point
    int dx, dy;  // the other point is (x + dx, y + dy)
};

static void drag_press(void *data)
{
    const Drag *d = (const Drag *)data;
    SendMessageA(d->window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(d->x, d->y));
}

static void drag_step(void *data, int i)
{
    const Drag *d = (const Drag *)data;
    int odd = i & 1;
    SendMessageA(d->window, WM_MOUSEMOVE, MK_LBUTTON,
                 MAKELPARAM(d->x + d->dx * (1 - odd), d->y + d->dy * (1 - odd)));
}

static void drag_release(void *data)
{
    const Drag *d = (const Drag *)data;
    SendMessageA(d->window, WM_LBUTTONUP, 0, MAKELPARAM(d->x, d->y));
}

static void trackbar_step(void *data, int i)
{
    HWND trackbar = (HWND)data;
    SendMessageA(trackbar, TBM_SETPOS, TRUE, 84 + (i & 1));
    UpdateWindow(trackbar);
}

// A round 32 x 32 knob over 0..100000 that a pixel of drag moves by 1.
static HWND make_knob(HWND host, int x, int y)
{
    RotatifRecord r = {};
    r.width = r.height = 32;
    r.faceBitmap = ctl_bitmap(CTL_BMP_KNOB);
    r.startDegrees = 225;
    r.endDegrees = 315;
    r.look = ROT_ROUND;
    r.centreX = r.centreY = 16;
    r.notify = {host, nullptr, 0, nullptr};
    r.scale.minimum = 0;
    r.scale.maximum = 100000;
    r.scale.defaultValue = 50000;
    r.scale.step = 1;
    r.pointerLength = 13;
    r.pointerWidth = 3;
    r.pointerBrush = 1;
    return ctl_create_rotatif(host, 1, x, y, &r);
}

// A horizontal Slide as the gallery's crossfader: a plate, the toolkit's thumb,
// 0..168 over the track, so a pixel is a step of 1.
static HWND make_slide(HWND host, int x, int y, HBITMAP plate, HBITMAP dragPlate)
{
    SlideRecord r = {};
    r.width = kTrackW;
    r.height = kTrackH;
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
    return ctl_create_slide(host, 2, x, y, &r);
}

void bench_drag_steps(int repetitions)
{
    HWND host = bench_host("drag steps", nullptr, 260, 160);
    HBITMAP plate = harness_solid_bitmap(kTrackW, kTrackH, RGB(220, 220, 218));
    HBITMAP dragPlate = harness_solid_bitmap(kTrackW, kTrackH, RGB(230, 210, 180));
    HWND knob = make_knob(host, 10, 10);
    HWND slide = make_slide(host, 10, 50, plate, dragPlate);
    HWND trackbar = CreateWindowExA(0, TRACKBAR_CLASSA, nullptr, WS_CHILD | WS_VISIBLE | TBS_HORZ,
                                    10, 100, kTrackW, kTrackH, host, (HMENU)3,
                                    GetModuleHandleA(nullptr), nullptr);
    if (!host || !knob || !slide || !trackbar) {
        bench_note_failure("the drag-step controls were not made");
    } else {
        SendMessageA(trackbar, TBM_SETRANGE, TRUE, MAKELPARAM(0, 168));
        SendMessageA(trackbar, TBM_SETPOS, TRUE, 84);
        // Relative, captured Slide drags: each pixel is one step.
        g_sSetToPos = 0;
        g_sCapture = 1;
        Drag knobDrag = {knob, 10, 20, 0, -1};
        Drag slideDrag = {slide, 100, 18, 1, 0};
        BenchSubject knobStep = {"knob 32 × 32, round", drag_step, &knobDrag, 200,
                                 drag_press, drag_release, {}};
        BenchSubject slideStep = {"Slide 200 × 36", drag_step, &slideDrag, 200,
                                  drag_press, drag_release, {}};
        BenchSubject barStep = {"trackbar 200 × 36", trackbar_step, trackbar, 200,
                                nullptr, nullptr, {}};
        BenchSubject *group[] = {&knobStep, &slideStep, &barStep};
        bench_side_by_side(group, 3, repetitions);
        bench_add_ratio("Knob drag step vs the trackbar's TBM_SETPOS + redraw", &knobStep,
                        &barStep, 1.0);
        bench_add_ratio("Slide drag step vs the trackbar's TBM_SETPOS + redraw", &slideStep,
                        &barStep, 1.0);
    }
    if (host)
        DestroyWindow(host);
    bench_pump();
    DeleteObject(plate);
    DeleteObject(dragPlate);
}

// ---------------------------------------------------------------------------
// List paints
// ---------------------------------------------------------------------------

static const int kRows = 32;        // full rows in one screen
static const int kLineHeight = 16;  // the 2DList's pixels per row
static const int kListW = 300;      // list width
static const int32_t kManyLines = 10000000;

static const int kColumnX[3] = {4, 62, 152};   // number, timecode, name
static const int kColumnW[3] = {58, 90, 130};  // the ListView's columns

static const char *const kNames[] = {"Slate", "Dialogue", "Door slam", "Footsteps",
                                     "Room tone", "Music in", "Music out", "Crowd"};

// The three texts of a row, the same for both kinds of list.
static void row_texts(int32_t line, char *number, char *time, const char **name)
{
    std::snprintf(number, 16, "%7d", (int)line);
    int64_t frames = (int64_t)(line - 1) * 62 + line % 50;
    int64_t seconds = frames / 25;
    std::snprintf(time, 24, "%lld:%02d:%02d:%02d", (long long)(seconds / 3600),
                  (int)(seconds / 60 % 60), (int)(seconds % 60), (int)(frames % 25));
    *name = kNames[line % 8];
}

// Draws a row: its background, then the three texts in toolkit font 2.
static int32_t draw_row(void *, int32_t code, void *data)
{
    const List2DInfo *row = (const List2DInfo *)data;
    if (code != LIST_CODE_DRAW)
        return 0;
    RECT rc = {0, row->top, kListW, row->top + row->lineHeight};
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

// The lists' host answers the ListView's requests for texts.
static LRESULT CALLBACK list_host_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY) {
        NMLVDISPINFOA *info = (NMLVDISPINFOA *)lParam;
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

// A 2DList of `lines` lines showing kRows full rows and a cut-off one, at its end.
static HWND make_list(HWND host, int id, int32_t lines)
{
    List2DRecord record = {};
    record.info.totalLines = lines;
    record.info.lineHeight = kLineHeight;
    record.callback = draw_row;
    HWND list = ctl_create_list2d(host, id, 10, 10, kListW, kRows * kLineHeight + 8, &record);
    if (list)
        SendMessageA(list, WM_KEYDOWN, VK_END, 0);
    return list;
}

// The platform's virtual list view with the same rows, showing the last ones.
static HWND make_list_view(HWND host, int32_t items)
{
    HWND view = CreateWindowExA(0, WC_LISTVIEWA, "",
                                WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA |
                                    LVS_NOSORTHEADER | LVS_SHOWSELALWAYS,
                                10, 10, kListW, 100, host, (HMENU)200, GetModuleHandleA(nullptr),
                                nullptr);
    if (!view)
        return nullptr;
    SendMessageA(view, WM_SETFONT, (WPARAM)ctl_font(2), FALSE);
    const char *titles[3] = {"Number", "Time", "Name"};
    for (int c = 0; c < 3; ++c) {
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.cx = kColumnW[c];
        column.pszText = (char *)titles[c];
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
    MoveWindow(view, 10, 10, kListW,
               header.bottom - header.top + kRows * rowHeight + rowHeight / 2, TRUE);
    SendMessageA(view, LVM_ENSUREVISIBLE, items - 1, FALSE);
    return view;
}

// A window measured alone at its place: shown for its samples, hidden after.
static void show_alone(void *data)
{
    HWND window = (HWND)data;
    ShowWindow(window, SW_SHOWNA);
    UpdateWindow(GetParent(window));
}

static void hide(void *data)
{
    ShowWindow((HWND)data, SW_HIDE);
}

// One paint of a list: invalidated whole (the ListView erases as it paints,
// the 2DList paints every pixel itself) and painted at once.
static void list_paint(void *data, int)
{
    HWND list = (HWND)data;
    InvalidateRect(list, nullptr, GetDlgCtrlID(list) == 200);
    UpdateWindow(list);
}

void bench_list_paints(int repetitions)
{
    HWND host = bench_host("lists", list_host_proc, kListW + 40, kRows * 24 + 80);
    HWND few = make_list(host, 101, 10);
    HWND many = make_list(host, 102, kManyLines);
    HWND view = make_list_view(host, kManyLines);
    if (!host || !few || !many || !view) {
        bench_note_failure("the lists were not made");
    } else {
        for (HWND w : {few, many, view})
            ShowWindow(w, SW_HIDE);
        BenchSubject fewPaint = {"2DList, 10 lines", list_paint, few, 40, show_alone, hide, {}};
        BenchSubject manyPaint = {"2DList, 10,000,000 lines", list_paint, many, 40, show_alone,
                                  hide, {}};
        BenchSubject viewPaint = {"ListView, 10,000,000 items", list_paint, view, 40, show_alone,
                                  hide, {}};
        BenchSubject *group[] = {&fewPaint, &manyPaint, &viewPaint};
        bench_side_by_side(group, 3, repetitions);
        bench_add_ratio("2DList one-screen paint at 10,000,000 vs 10 lines", &manyPaint,
                        &fewPaint, 1.1);
        bench_add_ratio("2DList one-screen paint vs a virtual ListView (LVS_OWNERDATA)",
                        &manyPaint, &viewPaint, 1.0);
    }
    if (host)
        DestroyWindow(host);
    bench_pump();
}

// ---------------------------------------------------------------------------
// Vgrid paints
// ---------------------------------------------------------------------------

static const int kGridCols = 1000; // the large grid: 1000 x 100 cells
static const int kGridRows = 100;
static const int kPitchX = 20;     // cell pitch, logical units
static const int kPitchY = 10;
static const int kShown = 10;      // the window shows 10 x 10 cells

// Draws what a cell of a real application would: a box and its value.
static int32_t draw_cell(VgridContext *c, int32_t code)
{
    if (code == VGRID_CODE_PAINT) {
        RECT rc = {c->left, c->top, c->right, c->bottom};
        FillRect(c->dc, &rc, ctl_brush(9));
    } else if (code == VGRID_CODE_DRAW) {
        ctl_fill_box(c->dc, ctl_colour_word(0, 8, 0), c->left, c->top, c->right, c->bottom);
        char text[16];
        int n = std::snprintf(text, sizeof text, "%d", (int)*c->value);
        TextOutA(c->dc, c->left + 1, c->top, text, n);
    }
    return 1;
}

// A grid whose client area shows exactly kShown x kShown cells at the middle
// of a cols x rows layout (or all of it when it is that small).
static HWND make_grid(HWND host, int cols, int rows)
{
    // Client area: the cells but their last gap (the visible area takes in
    // one more pixel), beside the two scroll bars.
    int width = kShown * kPitchX - 2 + GetSystemMetrics(SM_CXVSCROLL);
    int height = kShown * kPitchY - 2 + GetSystemMetrics(SM_CYHSCROLL);
    HWND grid = ctl_create_vgrid(host, 1, 10, 10, width, height, WS_HSCROLL | WS_VSCROLL,
                                 cols * kPitchX, rows * kPitchY, draw_cell, 0);
    if (!grid)
        return nullptr;
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < cols; ++col) {
            int x = col * kPitchX, y = row * kPitchY;
            VgridItem item = {row * cols + col, VGRID_LINEAR, x, y, x + kPitchX - 2,
                              y + kPitchY - 2, (float)(col % 128), 0.0f, 127.0f, 1.0f, 0.25f, 0,
                              nullptr};
            ctl_vgrid_add(grid, &item);
        }
    }
    int left = (cols - kShown) / 2 * kPitchX, top = (rows - kShown) / 2 * kPitchY;
    SendMessageA(grid, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, left), 0);
    SendMessageA(grid, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, top), 0);
    return grid;
}

static void grid_paint(void *data, int)
{
    RedrawWindow((HWND)data, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void bench_vgrid_paints(int repetitions)
{
    HWND host = bench_host("grids", nullptr, 400, 300);
    HWND small = make_grid(host, kShown, kShown);
    HWND large = make_grid(host, kGridCols, kGridRows);
    if (!host || !small || !large) {
        bench_note_failure("the grids were not made");
    } else {
        ShowWindow(small, SW_HIDE);
        ShowWindow(large, SW_HIDE);
        BenchSubject smallPaint = {"Vgrid, 100 items", grid_paint, small, 20, show_alone, hide,
                                   {}};
        BenchSubject largePaint = {"Vgrid, 100,000 items", grid_paint, large, 20, show_alone,
                                   hide, {}};
        BenchSubject *group[] = {&smallPaint, &largePaint};
        bench_side_by_side(group, 2, repetitions);
        bench_add_ratio("Vgrid paint of 100 visible items at 100,000 vs 100 items", &largePaint,
                        &smallPaint, 1.1);
    }
    if (host)
        DestroyWindow(host);
    bench_pump();
}
