// The "Lists" page: a marker list of a long logging session, a million
// markers (number, timecode, name) in a 2DList, and four takes over the same
// markers in a 3DList, with a readout of the selection and the current
// marker. Nothing is stored per marker: each row is computed from its number
// when it is drawn, which is what lets the lists hold any number of lines.
#include "gallery/gallery.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <vector>

// ---------------------------------------------------------------------------
// Ids and layout
// ---------------------------------------------------------------------------

enum ListsId {
    ID_MARKERS = 201, // the 2DList
    ID_TAKES = 202,   // the 3DList
};

static const int32_t kMarkers = 1000000;
static const int kTakes = 4;
static const int kFps = 25;

static const RECT kMarkersRect = {20, 32, 306, 308}; // 2DList
static const RECT kTakesRect = {334, 32, 620, 308};  // 3DList
static const RECT kReadout = {20, 342, 620, 366};    // readout text

static const GalleryBox kBoxes[] = {
    {12, 12, 302, 304, "Markers: 1,000,000 lines"},
    {326, 12, 302, 304, "Takes over the same markers"},
    {12, 322, 616, 52, "Readout"},
};

// The page's state: its user data.
struct ListsPage {
    HWND page;                  // the Free panel
    HWND markers;               // 2DList
    HWND takes;                 // 3DList
    int32_t selectionStart;     // 2DList selection, as last reported
    int32_t selectionEnd;
    int32_t currentMarker;      // 3DList current line (0: none)
    int32_t frontTake;          // 3DList front panel
    std::vector<int64_t> circled; // take * 2^32 + marker of each circled take
};

static ListsPage g_lists; // one page per process

// ---------------------------------------------------------------------------
// The markers, computed from their numbers
// ---------------------------------------------------------------------------

// A well-mixed number from a marker number and a salt.
static uint32_t mix(uint32_t n, uint32_t salt)
{
    uint32_t x = n * 0x9E3779B1u ^ salt * 0x85EBCA77u;
    x ^= x >> 15;
    x *= 0x2C1B3C6Du;
    x ^= x >> 13;
    return x;
}

static const char *const kNames[] = {
    "Slate",     "Take start", "Dialogue",  "Door slam", "Footsteps", "Room tone",
    "Music in",  "Music out",  "Breath",    "Car pass",  "Crowd",     "Bell",
    "Cut",       "Applause",   "Glass",     "Wind",
};

// Marker n's position in frames at 25 fps: about 2.5 s apart.
static int64_t marker_frames(int32_t n)
{
    return (int64_t)(n - 1) * 62 + mix((uint32_t)n, 1) % 50;
}

// h:mm:ss:ff of a frame count.
static void timecode(int64_t frames, char *text, size_t size)
{
    int64_t seconds = frames / kFps;
    std::snprintf(text, size, "%lld:%02d:%02d:%02d", (long long)(seconds / 3600),
                  (int)(seconds / 60 % 60), (int)(seconds % 60), (int)(frames % kFps));
}

// How take t went at marker n.
static const char *take_note(int32_t take, int32_t n)
{
    static const char *const notes[] = {"ok", "ok", "ok", "late", "noisy", "ok", "early", "ok"};
    return notes[mix((uint32_t)n, (uint32_t)take + 7) % 8];
}

static int64_t circle_key(int32_t take, int32_t marker) { return (int64_t)take << 32 | (uint32_t)marker; }

static bool is_circled(int32_t take, int32_t marker)
{
    return std::find(g_lists.circled.begin(), g_lists.circled.end(), circle_key(take, marker)) !=
           g_lists.circled.end();
}

// ---------------------------------------------------------------------------
// Drawing the rows and cells
// ---------------------------------------------------------------------------

static void text_at(HDC dc, uint32_t colourWord, int x, int y, const char *text)
{
    int oldMode = SetBkMode(dc, TRANSPARENT);
    ctl_text(dc, colourWord, x, y, text);
    SetBkMode(dc, oldMode);
}

// One marker row: striped, blue while selected, the line the keys move from
// outlined; rows past the end are blank.
static void draw_marker_row(const List2DInfo *row)
{
    RECT rc;
    GetClientRect(row->window, &rc);
    rc.top = row->top;
    rc.bottom = row->top + row->lineHeight;
    bool exists = row->line >= 1 && row->line <= row->totalLines;
    int fillColour = !exists ? 15 : row->selected ? 5 : (row->line % 2 != 0 ? 15 : 14);
    FillRect(row->dc, &rc, ctl_brush(fillColour));
    if (!exists)
        return;
    int ink = row->selected ? 15 : 0;
    char text[32];
    std::snprintf(text, sizeof text, "%7d", (int)row->line);
    text_at(row->dc, ctl_colour_word(row->selected ? 15 : 11, 0, 2), 4, rc.top + 2, text);
    timecode(marker_frames(row->line), text, sizeof text);
    text_at(row->dc, ctl_colour_word(ink, 0, 2), 62, rc.top + 2, text);
    text_at(row->dc, ctl_colour_word(ink, 0, 2), 152, rc.top + 2,
            kNames[mix((uint32_t)row->line, 3) % std::size(kNames)]);
    if (row->line == row->selectionStart) {
        SetTextColor(row->dc, ctl_color(0));
        SetBkColor(row->dc, ctl_color(15));
        DrawFocusRect(row->dc, &rc);
    }
}

// A cell of the takes: the label column shows the marker numbers, a header
// the take's name (lit in front), a row the marker's time in that take and
// how it went; the current line is yellow and circled takes carry a mark.
static void draw_take_cell(const List3DInfo *cell)
{
    HDC dc = cell->dc;
    char text[48];
    bool exists = cell->line >= 1 && cell->line <= cell->totalLines;
    if (cell->panel == 0) {
        if (!exists)
            return;
        std::snprintf(text, sizeof text, "%7d", (int)cell->line);
        bool current = cell->line == cell->currentLine;
        text_at(dc, ctl_colour_word(current ? 4 : 9, 0, current ? 3 : 2), cell->left + 2,
                cell->top + 2, text);
        return;
    }
    if (cell->line == 0) {
        bool front = cell->depth == cell->panelCount;
        ctl_fill_box(dc, ctl_colour_word(9, front ? 5 : 12, 0, true), cell->left, cell->top,
                     cell->right - 1, cell->bottom - 1);
        std::snprintf(text, sizeof text, "Take %d", (int)cell->panel);
        text_at(dc, ctl_colour_word(15, 0, 3), cell->left + 6, cell->top + 3, text);
        return;
    }
    bool current = exists && cell->line == cell->currentLine;
    ctl_fill_box(dc, ctl_colour_word(13, current ? 3 : (cell->line % 2 != 0 ? 15 : 14), 0),
                 cell->left, cell->top, cell->right, cell->bottom + 1);
    if (!exists)
        return;
    int64_t offset = (int64_t)(cell->panel - 1) * 9000; // takes start six minutes apart
    timecode(marker_frames(cell->line) + offset, text, sizeof text);
    text_at(dc, ctl_colour_word(0, 0, 2), cell->left + 6, cell->top + 2, text);
    const char *note = take_note(cell->panel, cell->line);
    text_at(dc, ctl_colour_word(note[0] == 'o' ? 8 : 1, 0, 2), cell->left + 96, cell->top + 2, note);
    if (is_circled(cell->panel, cell->line))
        ctl_dot(dc, cell->right - 10, cell->top + 8);
}

// ---------------------------------------------------------------------------
// The readout and the callbacks
// ---------------------------------------------------------------------------

static void readout_text(char *text, size_t size)
{
    const ListsPage &p = g_lists;
    int32_t low = std::min(p.selectionStart, p.selectionEnd);
    int32_t high = std::max(p.selectionStart, p.selectionEnd);
    char take[64];
    if (p.currentMarker > 0)
        std::snprintf(take, sizeof take, "take %d in front, marker %d", (int)p.frontTake,
                      (int)p.currentMarker);
    else
        std::snprintf(take, sizeof take, "take %d in front, no marker", (int)p.frontTake);
    std::snprintf(text, size, "Markers: line %d, selection %d to %d (%d)      Takes: %s",
                  (int)p.selectionStart, (int)low, (int)high, (int)(high - low + 1), take);
}

static void readout_changed(void)
{
    if (g_lists.page != nullptr)
        InvalidateRect(g_lists.page, &kReadout, FALSE);
}

static int32_t markers_callback(void *, int32_t code, void *data)
{
    const List2DInfo *row = static_cast<const List2DInfo *>(data);
    if (code == LIST_CODE_DRAW) {
        draw_marker_row(row);
    } else if (code == LIST_CODE_DONE) { // a Shift-click below extends the selection silently
        if (row->selectionStart != g_lists.selectionStart || row->selectionEnd != g_lists.selectionEnd) {
            g_lists.selectionStart = row->selectionStart;
            g_lists.selectionEnd = row->selectionEnd;
            readout_changed();
        }
    } else if (code == LIST_CODE_SELECTION) {
        g_lists.selectionStart = row->selectionStart;
        g_lists.selectionEnd = row->selectionEnd;
        char text[96];
        std::snprintf(text, sizeof text, " 2DList id %d: code 7, selection starts at marker %d",
                      row->id, (int)row->line);
        gallery_log_text(text);
        readout_changed();
    }
    return 0;
}

static int32_t takes_callback(void *, int32_t code, void *data)
{
    const List3DInfo *cell = static_cast<const List3DInfo *>(data);
    if (code == LIST_CODE_DRAW) {
        draw_take_cell(cell);
        return 0;
    }
    if (code == LIST_CODE_DONE) {
        g_lists.currentMarker = cell->current;
        g_lists.frontTake = cell->panel;
        readout_changed();
        return 0;
    }
    char text[112];
    if (code == LIST_CODE_ACTIVATE) { // circles the take at this marker, or not
        int64_t key = circle_key(cell->panel, cell->line);
        auto at = std::find(g_lists.circled.begin(), g_lists.circled.end(), key);
        bool circle = at == g_lists.circled.end();
        if (circle)
            g_lists.circled.push_back(key);
        else
            g_lists.circled.erase(at);
        std::snprintf(text, sizeof text, " 3DList id %d: code 2, take %d %s at marker %d",
                      cell->id, (int)cell->panel, circle ? "circled" : "no longer circled",
                      (int)cell->line);
        gallery_log_text(text);
        return 1; // show the mark
    }
    std::snprintf(text, sizeof text, " 3DList id %d: code %d, take %d, marker %d", cell->id,
                  (int)code, (int)cell->panel, (int)cell->line);
    gallery_log_text(text);
    return 0;
}

// ---------------------------------------------------------------------------
// The page
// ---------------------------------------------------------------------------

static void lists_paint(HWND page)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(page, &ps);
    gallery_paint_page(page, dc, kBoxes, (int)std::size(kBoxes), nullptr, 0);
    char text[160];
    readout_text(text, sizeof text);
    text_at(dc, ctl_colour_word(0, 0, 3), kReadout.left, kReadout.top + 4, text);
    EndPaint(page, &ps);
}

static LRESULT lists_callback(HWND page, UINT message, WPARAM wParam, LPARAM lParam, void *)
{
    switch (message) {
    case WM_PAINT: lists_paint(page); return 0;
    case WM_KEYDOWN:
        if (wParam == VK_TAB)
            gallery_tab(page, GetKeyState(VK_SHIFT) < 0);
        return 0;
    case WM_DESTROY: g_lists = ListsPage(); return 0;
    }
    return DefWindowProcA(page, message, wParam, lParam);
}

// The page's own look, painted into a bitmap: the takes list copies the
// piece under it as its background, so its panels float on the marble.
static HBITMAP page_picture(HWND page, int width, int height)
{
    HDC screen = GetDC(page);
    HBITMAP picture = CreateCompatibleBitmap(screen, width, height);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, picture);
    gallery_paint_page(page, mem, kBoxes, (int)std::size(kBoxes), nullptr, 0);
    SelectObject(mem, old);
    DeleteDC(mem);
    ReleaseDC(page, screen);
    return picture;
}

HWND gallery_create_lists_page(HWND parent, int x, int y, int width, int height)
{
    g_lists = ListsPage();
    g_lists.selectionStart = g_lists.selectionEnd = 1;
    g_lists.currentMarker = 1;
    g_lists.frontTake = 1;
    HWND page = ctl_create_free_panel(parent, 3, x, y, width, height, lists_callback, nullptr);
    if (page == nullptr)
        return nullptr;
    ShowWindow(page, SW_HIDE);
    g_lists.page = page;

    List2DRecord markers = {};
    markers.info.totalLines = kMarkers;
    markers.info.lineHeight = 16;
    markers.callback = markers_callback;
    const RECT &m = kMarkersRect;
    g_lists.markers = ctl_create_list2d(page, ID_MARKERS, m.left, m.top, m.right - m.left,
                                        m.bottom - m.top, &markers);

    List3DRecord takes = {};
    const RECT &t = kTakesRect;
    takes.info.totalLines = kMarkers;
    takes.info.labelWidth = 56;
    takes.info.headerHeight = 20;
    takes.info.panelWidth = 150;
    takes.info.lineHeight = 16;
    takes.info.panelCount = kTakes;
    takes.info.panelStep = 18;
    takes.callback = takes_callback;
    takes.backgroundSource = page_picture(page, width, height);
    takes.sourceX = t.left;
    takes.sourceY = t.top;
    g_lists.takes = ctl_create_list3d(page, ID_TAKES, t.left, t.top, t.right - t.left,
                                      t.bottom - t.top, &takes);
    DeleteObject(takes.backgroundSource); // the list keeps its own copy
    return page;
}

// ---------------------------------------------------------------------------
// Tour: jump to the middle of the markers and select a run of them, take the
// takes to the first of them, bring take 2 forward, walk two markers down,
// circle the take there and leave the focus on the takes.
// ---------------------------------------------------------------------------

static void click(HWND list, int x, int y, WPARAM keys)
{
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON | keys, MAKELPARAM(x, y));
    PostMessageA(list, WM_LBUTTONUP, keys, MAKELPARAM(x, y));
}

static void key(HWND list, UINT vk)
{
    PostMessageA(list, WM_KEYDOWN, vk, 1);
}

int gallery_tour_lists(HWND page, int step)
{
    HWND markers = GetDlgItem(page, ID_MARKERS);
    HWND takes = GetDlgItem(page, ID_TAKES);
    switch (step) {
    case 0: PostMessageA(markers, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 500), 0); return 1;
    case 1: PostMessageA(markers, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 500), 0); return 1;
    case 2: click(markers, 60, 3 * 16 + 8, 0); return 1;
    case 3: click(markers, 60, 7 * 16 + 8, MK_SHIFT); return 1;
    case 4:
        PostMessageA(takes, WM_COMMAND, LIST_CMD_GOTO,
                     (LPARAM)ctl_float_bits((float)g_lists.selectionStart));
        return 1;
    case 5: key(takes, VK_LEFT); return 1;
    case 6: key(takes, VK_DOWN); return 1;
    case 7: key(takes, VK_DOWN); return 1;
    case 8: key(takes, VK_RETURN); return 1;
    case 9: SetFocus(takes); return 1;
    case 10: gallery_save_picture(GetAncestor(page, GA_ROOT), "lists", 0); return 0;
    }
    return 1;
}
