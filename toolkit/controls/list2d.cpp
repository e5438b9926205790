// 2DList: the owner-drawn single-column list. It knows only numbers (how many
// lines, how tall a row is, which lines are shown and selected) and has the
// application's callback draw every row, so its cost does not depend on the
// number of lines. A vertical scroll bar of range 0-1000 scrolls it, the keys
// move a one-line selection and Shift- or Ctrl-clicks extend it.
//
//   input                         selection                          callback
//   click                         start = end = the line hit         code 7
//   Shift/Ctrl-click above it     start = the line hit               code 7
//   Shift/Ctrl-click on or below  end = the line hit                 -
//   keys, commands 6 7 1001 1002  start = end = start -/+ n, within  code 7
//                                 1..total lines, scrolled into view
//   scroll bar                    unchanged (only the view moves)    -
//   paint                         -                                  code 1 per row, then 6
//
// Line arithmetic runs in 64 bits and lands in 1..total lines, so every
// line number and thumb position holds up to lists of 2^31 - 1 lines.
//
// Contents: 1. helpers  2. drawing  3. behaviour  4. message handlers
//           5. window procedure  6. creation
#include "toolkit/qk2ctl.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

// ---------------------------------------------------------------------------
// 1. Small helpers
// ---------------------------------------------------------------------------

// Rows one page holds for scrolling and moving: a window shorter than one row
// still scrolls and moves by one.
static int64_t list2d_page(const List2DRecord *self)
{
    return std::max<int64_t>(self->info.visibleRows, 1);
}

// Full rows in a client area of this height (0 for a bad line height).
static int32_t list2d_rows_in(int32_t height, int32_t lineHeight)
{
    return lineHeight > 0 && height > 0 ? height / lineHeight : 0;
}

// Calls the application, unless the toolkit is inactive.
static void list2d_call(List2DRecord *self, int32_t code)
{
    if (g_toolkitActive && self->callback != nullptr)
        self->callback(self->userData, code, &self->info);
}

// Tells the application that the selection start moved. Callers do this last:
// the callback may destroy the list.
static void list2d_notify_selection(List2DRecord *self)
{
    self->info.line = self->info.selectionStart;
    self->info.selected = 1;
    list2d_call(self, LIST_CODE_SELECTION);
}

// The thumb position of the first visible line: (first - 1) x 1000 /
// (total - 1) when total - 1 is above 1, else 0 (so a list of two lines keeps
// its thumb at the top).
static int list2d_thumb(const List2DRecord *self)
{
    int64_t span = (int64_t)self->info.totalLines - 1;
    if (span <= 1)
        return 0;
    int64_t position = ((int64_t)self->info.firstVisibleLine - 1) * LIST2D_SCROLL_RANGE / span;
    return (int)std::clamp<int64_t>(position, 0, LIST2D_SCROLL_RANGE);
}

static void list2d_set_thumb(HWND list, const List2DRecord *self)
{
    SetScrollPos(list, SB_VERT, list2d_thumb(self), TRUE);
}

static void list2d_invalidate(HWND list) { InvalidateRect(list, nullptr, FALSE); }

// ---------------------------------------------------------------------------
// 2. Drawing
// ---------------------------------------------------------------------------

// Asks the callback for visible rows + 1 rows (the last one is cut off by the
// bottom edge), whatever the number of lines, then sends code 6. Rows past
// line 2^31 - 1, which no list can hold, are left in the window colour.
static void list2d_paint_rows(HWND list, List2DRecord *self, HDC dc)
{
    List2DInfo &info = self->info;
    info.dc = dc;
    info.top = 0;
    int64_t line = info.firstVisibleLine;
    int rows = std::max(info.visibleRows, 0) + 1;
    for (int r = 0; r < rows; ++r, ++line) {
        if (line > INT32_MAX) {
            RECT rest;
            GetClientRect(list, &rest);
            rest.top = info.top;
            FillRect(dc, &rest, GetSysColorBrush(COLOR_WINDOW));
            break;
        }
        info.line = (int32_t)line;
        info.selected = info.selectionStart <= line && line <= info.selectionEnd ? 1 : 0;
        list2d_call(self, LIST_CODE_DRAW);
        info.top += info.lineHeight;
    }
    list2d_call(self, LIST_CODE_DONE);
    info.dc = nullptr; // the paint DC dies with EndPaint
}

// ---------------------------------------------------------------------------
// 3. Behaviour: scrolling, moving the selection, clicking
// ---------------------------------------------------------------------------

// Makes line (limited to total lines, then to at least 1) the first visible
// line, sets the thumb and moves the picture; the rows uncovered are
// repainted. Returns 1 when the view moved.
static int list2d_scroll_to(HWND list, List2DRecord *self, int64_t line)
{
    line = std::max<int64_t>(std::min<int64_t>(line, self->info.totalLines), 1);
    int64_t from = self->info.firstVisibleLine;
    if (line == from)
        return 0;
    self->info.firstVisibleLine = (int32_t)line;
    list2d_set_thumb(list, self);
    RECT rc;
    GetClientRect(list, &rc);
    int64_t dy = (from - line) * self->info.lineHeight;
    if (dy > -(int64_t)rc.bottom && dy < (int64_t)rc.bottom)
        ScrollWindow(list, 0, (int)dy, nullptr, nullptr);
    else
        list2d_invalidate(list); // nothing on screen stays: no pixels to move
    return 1;
}

// The first line of a scroll request (LOWORD of WM_VSCROLL's wParam) with
// thumb position (HIWORD), before it is limited to 1..total lines.
static int64_t list2d_scroll_target(const List2DRecord *self, int request, int position)
{
    int64_t first = self->info.firstVisibleLine;
    int64_t page = list2d_page(self);
    int64_t total = self->info.totalLines;
    switch (request) {
    case SB_LINEUP: return first - 1;
    case SB_LINEDOWN: return first + 1;
    case SB_PAGEUP: return first - page;
    case SB_PAGEDOWN: return first + page;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: return (int64_t)position * (total - 1) / LIST2D_SCROLL_RANGE + 1;
    case SB_TOP: return 1;
    case SB_BOTTOM: return total - page + 1; // the last line in the last full row
    }
    return first;
}

// Selects line alone and scrolls so that it shows in a full row; invalidates
// the list and notifies.
static void list2d_select_shown(HWND list, List2DRecord *self, int64_t line)
{
    List2DInfo &info = self->info;
    info.selectionStart = info.selectionEnd = (int32_t)line;
    int64_t page = list2d_page(self);
    int64_t first = info.firstVisibleLine;
    if (line >= first + page)
        first = line - page + 1;
    else if (line < first)
        first = line;
    if (first != info.firstVisibleLine) {
        info.firstVisibleLine = (int32_t)std::max<int64_t>(first, 1);
        list2d_set_thumb(list, self);
    }
    list2d_invalidate(list);
    list2d_notify_selection(self);
}

// Moves the selection down by n lines (at most to the last line). Nothing at
// the last line or in an empty list.
static void list2d_move_down(HWND list, List2DRecord *self, int64_t n)
{
    if (!g_toolkitActive || self->info.totalLines < 1 ||
        self->info.selectionStart == self->info.totalLines)
        return;
    int64_t line = std::min<int64_t>((int64_t)self->info.selectionStart + n, self->info.totalLines);
    list2d_select_shown(list, self, line);
}

// Moves the selection up by n lines (at most to line 1). Nothing at line 1
// or in an empty list.
static void list2d_move_up(HWND list, List2DRecord *self, int64_t n)
{
    if (!g_toolkitActive || self->info.totalLines < 1 || self->info.selectionStart == 1)
        return;
    int64_t line = std::max<int64_t>((int64_t)self->info.selectionStart - n, 1);
    list2d_select_shown(list, self, line);
}

// The line of the full row at client y: row r spans r x line height to
// (r + 1) x line height - 1. A point above the list, in the cut-off row or
// below gives 0, and so does a row past the last line: rows there are drawn,
// but no line of the list can be selected in them. The x coordinate plays
// no part.
static int32_t list2d_hit(const List2DRecord *self, int y)
{
    if (y < 0 || self->info.lineHeight <= 0)
        return 0;
    int64_t row = y / self->info.lineHeight;
    if (row >= self->info.visibleRows)
        return 0;
    int64_t line = self->info.firstVisibleLine + row;
    return line <= self->info.totalLines ? (int32_t)line : 0;
}

// A left click at client y. Alone it selects the line hit (0, the empty
// selection, outside the rows); with Shift or Ctrl a line above the selection
// becomes its start (notified), any other its end (silently).
static void list2d_click(HWND list, List2DRecord *self, int y, WPARAM keys)
{
    if (!g_toolkitActive)
        return;
    List2DInfo &info = self->info;
    int32_t line = list2d_hit(self, y);
    if ((keys & (MK_SHIFT | MK_CONTROL)) != 0 && line >= info.selectionStart) {
        info.selectionEnd = line;
        list2d_invalidate(list);
        return;
    }
    info.selectionStart = line;
    if ((keys & (MK_SHIFT | MK_CONTROL)) == 0)
        info.selectionEnd = line;
    list2d_invalidate(list);
    list2d_notify_selection(self);
}

// ---------------------------------------------------------------------------
// 4. Message handlers
// ---------------------------------------------------------------------------

// Copies the creation record. Returns 0, or -1 (creation fails) without a
// record, without memory, with a null callback or a line height below 1.
static LRESULT list2d_create(HWND list, LPARAM lParam)
{
    const CREATESTRUCTA *cs = reinterpret_cast<const CREATESTRUCTA *>(lParam);
    const List2DRecord *record = static_cast<const List2DRecord *>(cs->lpCreateParams);
    if (record == nullptr || record->callback == nullptr || record->info.lineHeight < 1)
        return -1;
    List2DRecord *self = static_cast<List2DRecord *>(std::malloc(sizeof *self));
    if (self == nullptr)
        return -1;
    ctl_copy(self, record, sizeof *self);
    List2DInfo &info = self->info;
    self->self = list;
    info.window = list;
    info.id = self->id;
    info.dc = nullptr;
    info.totalLines = std::max(info.totalLines, 0);
    info.firstVisibleLine = info.selectionStart = info.selectionEnd = 1;
    info.visibleRows = list2d_rows_in(self->height, info.lineHeight);
    ctl_set_instance_data(list, self); // before the scroll bar: showing it sends WM_SIZE
    SetScrollRange(list, SB_VERT, 0, LIST2D_SCROLL_RANGE, FALSE);
    return 0;
}

static LRESULT list2d_destroy(HWND list, List2DRecord *self, WPARAM wParam, LPARAM lParam)
{
    if (self != nullptr) {
        ctl_set_instance_data(list, nullptr);
        std::free(self);
    }
    return DefWindowProcA(list, WM_DESTROY, wParam, lParam);
}

// Takes the window rectangle; the full rows are counted in the client area,
// which a border or a horizontal scroll bar makes smaller than the window.
static LRESULT list2d_size(HWND list, List2DRecord *self)
{
    RECT rc;
    GetWindowRect(list, &rc);
    self->left = rc.left;
    self->top = rc.top;
    self->width = rc.right - rc.left;
    self->height = rc.bottom - rc.top;
    GetClientRect(list, &rc);
    self->info.visibleRows = list2d_rows_in(rc.bottom - rc.top, self->info.lineHeight);
    return 0;
}

static LRESULT list2d_paint(HWND list, List2DRecord *self)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(list, &ps);
    if (self != nullptr && dc != nullptr && g_toolkitActive)
        list2d_paint_rows(list, self, dc);
    EndPaint(list, &ps);
    return 0;
}

static LRESULT list2d_mouse_activate(HWND list, WPARAM wParam, LPARAM lParam)
{
    if (GetFocus() != list)
        SetFocus(list);
    return DefWindowProcA(list, WM_MOUSEACTIVATE, wParam, lParam);
}

// Page Up and Page Down move by a page less one line, and by at least one.
static LRESULT list2d_key(HWND list, List2DRecord *self, WPARAM key, LPARAM lParam)
{
    int64_t page = std::max<int64_t>(list2d_page(self) - 1, 1);
    int64_t all = (int64_t)self->info.totalLines + 1;
    switch (key) {
    case VK_TAB:
    case VK_ESCAPE: PostMessageA(self->parent, WM_KEYDOWN, key, lParam); break;
    case VK_UP: list2d_move_up(list, self, 1); break;
    case VK_DOWN: list2d_move_down(list, self, 1); break;
    case VK_PRIOR: list2d_move_up(list, self, page); break;
    case VK_NEXT: list2d_move_down(list, self, page); break;
    case VK_HOME: list2d_move_up(list, self, all); break;
    case VK_END: list2d_move_down(list, self, all); break;
    }
    return 0;
}

static LRESULT list2d_command(HWND list, List2DRecord *self, WPARAM wParam)
{
    int64_t all = (int64_t)self->info.totalLines + 1;
    switch (wParam) {
    case LIST_CMD_DOWN: list2d_move_down(list, self, 1); break;
    case LIST_CMD_UP: list2d_move_up(list, self, 1); break;
    case LIST_CMD_FIRST: list2d_move_up(list, self, all); break;
    case LIST_CMD_LAST: list2d_move_down(list, self, all); break;
    }
    return 0;
}

static LRESULT list2d_vscroll(HWND list, List2DRecord *self, WPARAM wParam)
{
    if (g_toolkitActive)
        list2d_scroll_to(list, self, list2d_scroll_target(self, LOWORD(wParam), HIWORD(wParam)));
    return 0;
}

// ---------------------------------------------------------------------------
// 5. Window procedure
// ---------------------------------------------------------------------------

LRESULT CALLBACK ctl_list2d_proc(HWND list, UINT message, WPARAM wParam, LPARAM lParam)
{
    List2DRecord *self = static_cast<List2DRecord *>(ctl_get_instance_data(list));
    switch (message) {
    case WM_NCCREATE: ctl_set_instance_data(list, nullptr); break;
    case WM_CREATE: return list2d_create(list, lParam);
    case WM_DESTROY: return list2d_destroy(list, self, wParam, lParam);
    case WM_PAINT: return list2d_paint(list, self);
    case WM_CLOSE: DestroyWindow(list); return 0;
    case WM_MOUSEACTIVATE: return list2d_mouse_activate(list, wParam, lParam);
    }
    if (self == nullptr)
        return DefWindowProcA(list, message, wParam, lParam);
    switch (message) {
    case WM_SIZE: return list2d_size(list, self);
    case WM_SETFOCUS:
    case WM_KILLFOCUS: return 0;
    case WM_KEYDOWN: return list2d_key(list, self, wParam, lParam);
    case WM_COMMAND: return list2d_command(list, self, wParam);
    case WM_VSCROLL: return list2d_vscroll(list, self, wParam);
    case WM_LBUTTONDOWN: list2d_click(list, self, (short)HIWORD(lParam), wParam); return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN: return 0;
    }
    return DefWindowProcA(list, message, wParam, lParam);
}

// ---------------------------------------------------------------------------
// 6. Creation
// ---------------------------------------------------------------------------

HWND ctl_create_list2d(HWND parent, int id, int x, int y, int width, int height,
                       const List2DRecord *record)
{
    List2DRecord copy;
    ctl_zero(&copy, sizeof copy);
    if (record != nullptr)
        copy = *record;
    copy.parent = parent;
    copy.id = (uint16_t)id;
    copy.width = width;
    copy.height = height;
    return CreateWindowExA(0, CTL_CLASS_2DLIST, nullptr,
                           WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL, x, y, width, height,
                           parent, (HMENU)(UINT_PTR)(uint16_t)id, ctl_instance(), &copy);
}
