// 3DList: up to 16 panels of the same lines, stacked like cards, each one
// lower and further right than the one behind it, with a column of line
// labels at the left. All panels share one current line and one scroll
// position; the application's callback draws every cell into a back buffer
// that is rebuilt on every change and only copied on WM_PAINT.
//
//   input                         effect
//   click on a back panel         brings it to the front, then as below
//   click on a panel's header     drags the front panel sideways (outline)
//   click on a line               makes it current
//   click on the current line     callback code 2 (1 back: re-render)
//   click outside every panel     no current line
//   Enter, Space                  a click on the current line of the front panel
//   Up/Down, PgUp/PgDn, Home/End  moves the current line, scrolling to show it
//   Left/Right                    the next/previous panel number to the front
//   Backspace, menu item 1        the default fan-out, panel 1 in front
//   Ctrl+C, Ctrl+X, Ctrl+V        callback codes 3, 4, 5 (other Ctrl+keys: 0)
//   right click                   brings the panel and line forward, then the menu
//
//   idle --header press--> dragging --button up / capture lost--> idle
//
// Line arithmetic runs in 64 bits, so lists of up to 2^31 - 1 lines hold.
//
// Contents: 1. helpers and geometry  2. the stack  3. rendering
//           4. behaviour  5. message handlers  6. window procedure  7. creation
#include "toolkit/qk2ctl.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

// ---------------------------------------------------------------------------
// 1. Helpers and geometry
// ---------------------------------------------------------------------------

// A panel and line under a point: (0, 0) for none.
struct ListHit {
    int32_t panel; // panel number, or 0
    int32_t line;  // line, or 0: the header, a row past the last line or no panel
    bool header;   // the point is on the panel's header
};

static int32_t sat32(int64_t value)
{
    return (int32_t)std::clamp<int64_t>(value, INT32_MIN, INT32_MAX);
}

static int list3d_front_slot(const List3DInfo &info) { return info.panelCount - 1; }

static int32_t list3d_front(const List3DInfo &info)
{
    return info.slots[list3d_front_slot(info)].panel;
}

// Rows that moving keeps in view: a panel without a full row still scrolls by one.
static int64_t list3d_page(const List3DInfo &info) { return std::max(info.visibleLines, 1); }

static int64_t list3d_slot_top(const List3DInfo &info, int slot)
{
    return (int64_t)slot * info.panelStep;
}

static int64_t list3d_slot_left(const List3DInfo &info, int slot)
{
    return (int64_t)info.labelWidth + info.slots[slot].xOffset;
}

static RECT list3d_rect(int64_t left, int64_t top, int64_t right, int64_t bottom)
{
    RECT rc = {sat32(left), sat32(top), sat32(right), sat32(bottom)};
    return rc;
}

static RECT list3d_header_rect(const List3DInfo &info, int slot)
{
    int64_t left = list3d_slot_left(info, slot), top = list3d_slot_top(info, slot);
    return list3d_rect(left, top, left + info.panelWidth, top + info.headerHeight);
}

// Row r (from 0) of the panel in slot.
static RECT list3d_row_rect(const List3DInfo &info, int slot, int row)
{
    int64_t left = list3d_slot_left(info, slot);
    int64_t top = list3d_slot_top(info, slot) + info.headerHeight + (int64_t)row * info.lineHeight;
    return list3d_rect(left, top, left + info.panelWidth, top + info.lineHeight);
}

// The whole panel in slot: its header and its rows.
static RECT list3d_panel_rect(const List3DInfo &info, int slot)
{
    int64_t left = list3d_slot_left(info, slot), top = list3d_slot_top(info, slot);
    return list3d_rect(left, top, left + info.panelWidth,
                       top + info.headerHeight + (int64_t)info.visibleLines * info.lineHeight);
}

// Rows per panel: the height below the front panel's header, in whole rows
// (0 when not one fits). Counted with the panel count already cut to 16, so
// the front panel's rows reach the bottom.
static int32_t list3d_visible_lines(const List3DRecord *self)
{
    const List3DInfo &info = self->info;
    int64_t room = (int64_t)self->height - (int64_t)(info.panelCount - 1) * info.panelStep -
                   info.headerHeight;
    return room > 0 ? sat32(room / info.lineHeight) : 0;
}

// Calls the application with the cell info as it stands. Returns the
// callback's result, or 0 while the toolkit is inactive.
static int32_t list3d_call(List3DRecord *self, int32_t code)
{
    if (!g_toolkitActive || self->callback == nullptr)
        return 0;
    return self->callback(self->userData, code, &self->info);
}

// Reports a key or command about the current line of the front panel.
static void list3d_report(List3DRecord *self, int32_t code)
{
    List3DInfo &info = self->info;
    info.panel = list3d_front(info);
    info.line = info.currentLine = info.current;
    list3d_call(self, code);
}

// ---------------------------------------------------------------------------
// 2. The stack of panels
// ---------------------------------------------------------------------------

// The default fan-out: panel 1 in front at the far right, the highest number
// at the back at x offset 0, the others evenly between. When the panels are
// too wide to fan out they all start at the label column.
static void list3d_default_positions(List3DInfo &info, int32_t width)
{
    int64_t spread = (int64_t)width - info.panelWidth - info.labelWidth;
    if (info.panelCount > 1)
        spread /= info.panelCount - 1;
    spread = std::max<int64_t>(spread, 0);
    for (int i = 0; i < info.panelCount; ++i) {
        info.slots[i].xOffset = sat32(i * spread);
        info.slots[i].panel = info.panelCount - i;
    }
}

// Brings panel k to the front slot with its x offset; the panels in front of
// it move one slot back with theirs. Returns 1 when the stack changed.
static int list3d_bring_to_front(List3DInfo &info, int32_t k)
{
    int front = list3d_front_slot(info);
    if (info.panelCount < 2 || info.slots[front].panel == k)
        return 0;
    for (int s = 0; s < front; ++s) {
        if (info.slots[s].panel != k)
            continue;
        ListPanelSlot moved = info.slots[s];
        for (int i = s; i < front; ++i)
            info.slots[i] = info.slots[i + 1];
        info.slots[front] = moved;
        return 1;
    }
    return 0;
}

// ---------------------------------------------------------------------------
// 3. Rendering
// ---------------------------------------------------------------------------

// Has the callback draw cell `line` of the column or panel set in the info,
// in rectangle rc.
static void list3d_draw_cell(List3DRecord *self, int32_t line, const RECT &rc)
{
    List3DInfo &info = self->info;
    info.line = line;
    info.left = rc.left;
    info.top = rc.top;
    info.right = rc.right;
    info.bottom = rc.bottom;
    list3d_call(self, LIST_CODE_DRAW);
}

// Lines of the visible rows, stopping at 2^31 - 1 (no list holds more).
static int list3d_rows_to_draw(const List3DInfo &info)
{
    int64_t rows = std::min<int64_t>(info.visibleLines, (int64_t)INT32_MAX - info.firstVisibleLine + 1);
    return (int)std::max<int64_t>(rows, 0);
}

// Rebuilds the back buffer: the background, the label column, then the
// panels from the front to the back, each clipped out of the picture once
// drawn so that panels behind never cover it. Ends with callback code 6.
// Nothing while the toolkit is inactive. The cost depends on the panels and
// rows shown, never on the number of lines.
static void list3d_render(List3DRecord *self)
{
    if (!g_toolkitActive)
        return;
    List3DInfo &info = self->info;
    HDC mem = CreateCompatibleDC(nullptr);
    if (mem == nullptr)
        return;
    HGDIOBJ old = SelectObject(mem, self->backBuffer);
    ctl_blit(mem, self->background, 0, 0, self->width, self->height);
    info.dc = mem;
    info.currentLine = info.current;
    int rows = list3d_rows_to_draw(info);

    info.panel = 0;
    info.depth = 0;
    for (int r = 0; r < rows; ++r) {
        int64_t top = (int64_t)info.headerHeight + (int64_t)r * info.lineHeight;
        list3d_draw_cell(self, info.firstVisibleLine + r,
                         list3d_rect(0, top, info.labelWidth, top + info.lineHeight));
    }

    HRGN clip = CreateRectRgn(0, 0, self->width, self->height);
    for (int s = list3d_front_slot(info); s >= 0; --s) {
        info.panel = info.slots[s].panel;
        info.depth = s + 1;
        list3d_draw_cell(self, 0, list3d_header_rect(info, s));
        for (int r = 0; r < rows; ++r)
            list3d_draw_cell(self, info.firstVisibleLine + r, list3d_row_rect(info, s, r));
        RECT drawn = list3d_panel_rect(info, s);
        HRGN panel = CreateRectRgnIndirect(&drawn);
        CombineRgn(clip, clip, panel, RGN_DIFF);
        DeleteObject(panel);
        SelectClipRgn(mem, clip);
    }
    SelectClipRgn(mem, nullptr);
    DeleteObject(clip);
    SelectObject(mem, old);
    DeleteDC(mem);
    info.dc = nullptr;

    info.line = info.currentLine = info.current;
    info.panel = list3d_front(info);
    list3d_call(self, LIST_CODE_DONE);
}

// Every change: the window is invalidated (without erasing) and the back
// buffer rebuilt. Returns whether the list survived its callback.
static bool list3d_refresh(HWND list, List3DRecord *self)
{
    InvalidateRect(list, nullptr, FALSE);
    list3d_render(self);
    return ctl_holds_instance_data(list, self);
}

// ---------------------------------------------------------------------------
// 4. Behaviour
// ---------------------------------------------------------------------------

// The panel and line at client point (x, y), searching from the front. A
// header spans [top, top + header height), row r the line height below it.
// Rows past the last line are drawn but hold no line: they give the panel
// and line 0.
static ListHit list3d_hit(const List3DInfo &info, int x, int y)
{
    for (int s = list3d_front_slot(info); s >= 0; --s) {
        RECT header = list3d_header_rect(info, s);
        if (x < header.left || x >= header.right || y < header.top)
            continue;
        if (y < header.bottom)
            return {info.slots[s].panel, 0, true};
        int64_t row = ((int64_t)y - header.bottom) / info.lineHeight;
        int64_t line = info.firstVisibleLine + row;
        if (row < info.visibleLines)
            return {info.slots[s].panel, line <= info.totalLines ? (int32_t)line : 0, false};
    }
    return {0, 0, false};
}

// Scrolls so that the current line shows (a current line of 0 leaves the
// view alone).
static void list3d_show_current(List3DInfo &info)
{
    int64_t current = info.current, first = info.firstVisibleLine;
    if (current < 1)
        return;
    if (current < first)
        first = current;
    else if (current >= first + list3d_page(info))
        first = current - list3d_page(info) + 1;
    info.firstVisibleLine = (int32_t)first;
}

// Moves the current line down by n (at most to the last line); from no
// current line, down by 1 is line 1. Nothing at the last line or in an
// empty list.
static void list3d_move_down(HWND list, List3DRecord *self, int64_t n)
{
    List3DInfo &info = self->info;
    if (info.totalLines < 1 || info.current == info.totalLines)
        return;
    info.current = (int32_t)std::min<int64_t>((int64_t)info.current + n, info.totalLines);
    list3d_show_current(info);
    list3d_refresh(list, self);
}

// Moves the current line up by n (at most to line 1). Nothing at line 1 or
// in an empty list.
static void list3d_move_up(HWND list, List3DRecord *self, int64_t n)
{
    List3DInfo &info = self->info;
    if (info.totalLines < 1 || info.current == 1)
        return;
    info.current = (int32_t)std::max<int64_t>((int64_t)info.current - n, 1);
    list3d_show_current(info);
    list3d_refresh(list, self);
}

// Command 5: goes to the line whose float bits are in lParam, truncated
// (7.9 is line 7). NaN, infinities and lines outside 1..total lines do
// nothing. The view scrolls to put the line at the top unless it shows, and
// never further than the last page.
static void list3d_go_to(HWND list, List3DRecord *self, LPARAM lParam)
{
    List3DInfo &info = self->info;
    double value = ctl_as_float((uint32_t)lParam);
    if (!(value >= 1.0) || !(value < (double)info.totalLines + 1.0))
        return;
    int32_t line = (int32_t)value;
    if (line == info.current)
        return;
    info.current = line;
    int64_t first = info.firstVisibleLine;
    if (line >= first + list3d_page(info) || line < first)
        first = line;
    first = std::min<int64_t>(first, (int64_t)info.totalLines - info.visibleLines + 1);
    info.firstVisibleLine = (int32_t)std::max<int64_t>(first, 1);
    list3d_refresh(list, self);
}

// Puts the panels back in their default fan-out.
static void list3d_reset_panels(HWND list, List3DRecord *self)
{
    list3d_default_positions(self->info, self->width);
    list3d_refresh(list, self);
}

// Begins dragging the front panel, grabbed at (x, y): its outline runs from
// its header to the bottom and may move sideways only.
static void list3d_begin_drag(List3DRecord *self, int x, int y)
{
    const List3DInfo &info = self->info;
    int64_t top = (int64_t)(info.panelCount - 1) * info.panelStep;
    ctl_dragger_begin(&self->drag, x, y, sat32(list3d_slot_left(info, list3d_front_slot(info))),
                      sat32(top), info.panelWidth, sat32(self->height - top));
}

// Ends a drag: the front panel goes where its outline was (never over the
// label column). Nothing unless dragging.
static void list3d_end_drag(HWND list, List3DRecord *self)
{
    if (!ctl_drag_active(&self->drag))
        return;
    ctl_dragger_end(&self->drag);
    List3DInfo &info = self->info;
    info.slots[list3d_front_slot(info)].xOffset = std::max(self->drag.left - info.labelWidth, 0);
    list3d_refresh(list, self);
}

// A left click at (x, y) (also Enter and Space). Nothing while the toolkit
// is inactive.
static void list3d_click(HWND list, List3DRecord *self, int x, int y)
{
    if (!g_toolkitActive)
        return;
    List3DInfo &info = self->info;
    ListHit hit = list3d_hit(info, x, y);
    if (hit.panel != 0 && list3d_bring_to_front(info, hit.panel) && !list3d_refresh(list, self))
        return;
    if (hit.header) {
        list3d_begin_drag(self, x, y);
        return;
    }
    if (hit.line != 0 && hit.line == info.current) {
        info.panel = hit.panel;
        info.line = hit.line;
        info.currentLine = info.current;
        if (list3d_call(self, LIST_CODE_ACTIVATE) == 1 && ctl_holds_instance_data(list, self))
            list3d_refresh(list, self);
        return;
    }
    info.current = hit.line; // 0 outside every line: no current line
    list3d_refresh(list, self);
}

// Enter and Space: a click just inside the current line's row of the front
// panel. Nothing without a current line in view.
static void list3d_click_current(HWND list, List3DRecord *self)
{
    const List3DInfo &info = self->info;
    int64_t row = (int64_t)info.current - info.firstVisibleLine;
    if (info.current < 1 || row < 0 || row >= info.visibleLines)
        return;
    RECT rc = list3d_row_rect(info, list3d_front_slot(info), (int)row);
    list3d_click(list, self, rc.left + 1, rc.top + 1);
}

// A right click at (x, y): the panel hit comes to the front and the line hit
// becomes current, then the context menu opens there. The chosen item
// arrives as WM_COMMAND.
static void list3d_right_click(HWND list, List3DRecord *self, int x, int y)
{
    if (!g_toolkitActive)
        return;
    List3DInfo &info = self->info;
    ListHit hit = list3d_hit(info, x, y);
    bool changed = hit.panel != 0 && list3d_bring_to_front(info, hit.panel);
    if (hit.line != 0 && hit.line != info.current) {
        info.current = hit.line;
        changed = true;
    }
    if (changed && !list3d_refresh(list, self))
        return;
    POINT at = {x, y};
    ClientToScreen(list, &at);
    TrackPopupMenu(self->menu, TPM_RIGHTBUTTON, at.x, at.y, 0, list, nullptr);
}

// ---------------------------------------------------------------------------
// 5. Message handlers
// ---------------------------------------------------------------------------

// Makes the background (from the creator's picture, or a copy of what the
// window shows) and the back buffer. Returns 1, or 0 when a bitmap cannot be
// made.
static int list3d_make_bitmaps(HWND list, List3DRecord *self)
{
    HDC dc = GetDC(list);
    if (dc == nullptr)
        return 0;
    self->background = CreateCompatibleBitmap(dc, self->width, self->height);
    self->backBuffer = CreateCompatibleBitmap(dc, self->width, self->height);
    if (self->background != nullptr) {
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(mem, self->background);
        if (self->backgroundSource != nullptr)
            ctl_blit_part(mem, self->backgroundSource, 0, 0, self->sourceX, self->sourceY,
                          self->width, self->height);
        else
            BitBlt(mem, 0, 0, self->width, self->height, dc, 0, 0, SRCCOPY);
        SelectObject(mem, old);
        DeleteDC(mem);
    }
    ReleaseDC(list, dc);
    return self->background != nullptr && self->backBuffer != nullptr;
}

static void list3d_free(List3DRecord *self)
{
    ctl_delete_object(self->background);
    ctl_delete_object(self->backBuffer);
    if (self->menu != nullptr)
        DestroyMenu(self->menu);
    std::free(self);
}

static HMENU list3d_make_menu(void)
{
    HMENU menu = CreatePopupMenu();
    if (menu != nullptr) {
        AppendMenuA(menu, MF_STRING, LIST_CMD_DEFAULT_PANELS, "Default Panel Position\t[BACKSPACE]");
        AppendMenuA(menu, MF_STRING, LIST_CMD_FIRST, "First line\t[HOME]");
        AppendMenuA(menu, MF_STRING, LIST_CMD_LAST, "Last line\t[End]");
    }
    return menu;
}

// Copies the creation record, lays out the panels, makes the bitmaps and the
// menu and renders. Returns 0, or -1 (creation fails) without a record or
// memory, with a null callback, a line height or panel count below 1, a
// negative width or height, or when a bitmap cannot be made.
static LRESULT list3d_create(HWND list, LPARAM lParam)
{
    const CREATESTRUCTA *cs = reinterpret_cast<const CREATESTRUCTA *>(lParam);
    const List3DRecord *record = static_cast<const List3DRecord *>(cs->lpCreateParams);
    if (record == nullptr || record->callback == nullptr || record->info.lineHeight < 1 ||
        record->info.panelCount < 1 || record->width < 0 || record->height < 0)
        return -1;
    List3DRecord *self = static_cast<List3DRecord *>(std::malloc(sizeof *self));
    if (self == nullptr)
        return -1;
    ctl_copy(self, record, sizeof *self);
    List3DInfo &info = self->info;
    self->self = list;
    self->focused = 0;
    self->backBuffer = self->background = nullptr;
    self->menu = nullptr;
    info.window = list;
    info.id = self->id;
    info.dc = nullptr;
    info.firstVisibleLine = info.current = 1;
    info.totalLines = std::max(info.totalLines, 0);
    info.panelCount = std::min(info.panelCount, LIST3D_MAX_PANELS);
    info.visibleLines = list3d_visible_lines(self);
    list3d_default_positions(info, self->width);
    if (!list3d_make_bitmaps(list, self)) {
        list3d_free(self);
        return -1;
    }
    ctl_dragger_init(&self->drag, list, info.labelWidth,
                     sat32((int64_t)(info.panelCount - 1) * info.panelStep), self->width,
                     self->height);
    self->menu = list3d_make_menu();
    ctl_set_instance_data(list, self);
    list3d_render(self);
    return 0;
}

static LRESULT list3d_destroy(HWND list, List3DRecord *self, WPARAM wParam, LPARAM lParam)
{
    if (self != nullptr) {
        ctl_set_instance_data(list, nullptr);
        if (GetCapture() == list)
            ReleaseCapture();
        list3d_free(self);
    }
    return DefWindowProcA(list, WM_DESTROY, wParam, lParam);
}

static LRESULT list3d_focus(HWND list, List3DRecord *self, bool gained)
{
    self->focused = gained ? 1 : 0;
    InvalidateRect(list, nullptr, FALSE);
    return 0;
}

static LRESULT list3d_paint(HWND list, const List3DRecord *self)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(list, &ps);
    if (self != nullptr && dc != nullptr) {
        ctl_blit(dc, self->backBuffer, 0, 0, self->width, self->height);
        if (self->focused)
            ctl_focus_mark(dc, 0, 0);
    }
    EndPaint(list, &ps);
    return 0;
}

static LRESULT list3d_mouse_activate(HWND list, WPARAM wParam, LPARAM lParam)
{
    if (GetFocus() != list)
        SetFocus(list);
    return DefWindowProcA(list, WM_MOUSEACTIVATE, wParam, lParam);
}

static LRESULT list3d_key(HWND list, List3DRecord *self, WPARAM key, LPARAM lParam)
{
    List3DInfo &info = self->info;
    int64_t page = std::max<int64_t>(list3d_page(info) - 1, 1);
    int64_t all = (int64_t)info.totalLines + 1;
    int32_t front = list3d_front(info);
    switch (key) {
    case VK_BACK: list3d_reset_panels(list, self); break;
    case VK_TAB:
    case VK_ESCAPE: PostMessageA(self->parent, WM_KEYDOWN, key, lParam); break;
    case VK_RETURN:
    case VK_SPACE: list3d_click_current(list, self); break;
    case VK_UP: list3d_move_up(list, self, 1); break;
    case VK_DOWN: list3d_move_down(list, self, 1); break;
    case VK_PRIOR: list3d_move_up(list, self, page); break;
    case VK_NEXT: list3d_move_down(list, self, page); break;
    case VK_HOME: list3d_move_up(list, self, all); break;
    case VK_END: list3d_move_down(list, self, all); break;
    case VK_LEFT:
        if (front < info.panelCount && list3d_bring_to_front(info, front + 1))
            list3d_refresh(list, self);
        break;
    case VK_RIGHT:
        if (front > 1 && list3d_bring_to_front(info, front - 1))
            list3d_refresh(list, self);
        break;
    }
    return 0;
}

// Characters typed with Ctrl held: Ctrl+C, Ctrl+X and Ctrl+V get their own
// codes, any other character code 0. Without Ctrl nothing happens.
static LRESULT list3d_char(List3DRecord *self, WPARAM character)
{
    if (GetKeyState(VK_CONTROL) >= 0)
        return 0;
    switch (character) {
    case 3: list3d_report(self, LIST_CODE_COPY); break;
    case 24: list3d_report(self, LIST_CODE_CUT); break;
    case 22: list3d_report(self, LIST_CODE_PASTE); break;
    default: list3d_report(self, LIST_CODE_COMMAND); break;
    }
    return 0;
}

static LRESULT list3d_command(HWND list, List3DRecord *self, WPARAM wParam, LPARAM lParam)
{
    int64_t all = (int64_t)self->info.totalLines + 1;
    switch (wParam) {
    case 1:
    case 2:
    case 3:
    case 4: break;
    case LIST_CMD_GOTO: list3d_go_to(list, self, lParam); break;
    case LIST_CMD_DOWN: list3d_move_down(list, self, 1); break;
    case LIST_CMD_UP: list3d_move_up(list, self, 1); break;
    case LIST_CMD_DEFAULT_PANELS: list3d_reset_panels(list, self); break;
    case LIST_CMD_FIRST: list3d_move_up(list, self, all); break;
    case LIST_CMD_LAST: list3d_move_down(list, self, all); break;
    default: list3d_report(self, (int32_t)wParam); break;
    }
    return 0;
}

// While dragging, a right click goes to the system; otherwise it opens the
// menu.
static LRESULT list3d_rbutton(HWND list, List3DRecord *self, WPARAM wParam, LPARAM lParam)
{
    if (ctl_drag_active(&self->drag))
        return DefWindowProcA(list, WM_RBUTTONDOWN, wParam, lParam);
    list3d_right_click(list, self, (short)LOWORD(lParam), (short)HIWORD(lParam));
    return 0;
}

// The capture taken away during a drag ends the drag where the outline is.
static LRESULT list3d_capture_changed(HWND list, List3DRecord *self, LPARAM lParam)
{
    if ((HWND)lParam != list)
        list3d_end_drag(list, self);
    return 0;
}

// ---------------------------------------------------------------------------
// 6. Window procedure
// ---------------------------------------------------------------------------

LRESULT CALLBACK ctl_list3d_proc(HWND list, UINT message, WPARAM wParam, LPARAM lParam)
{
    List3DRecord *self = static_cast<List3DRecord *>(ctl_get_instance_data(list));
    int x = (short)LOWORD(lParam), y = (short)HIWORD(lParam);
    switch (message) {
    case WM_NCCREATE: ctl_set_instance_data(list, nullptr); break;
    case WM_CREATE: return list3d_create(list, lParam);
    case WM_DESTROY: return list3d_destroy(list, self, wParam, lParam);
    case WM_PAINT: return list3d_paint(list, self);
    case WM_CLOSE: DestroyWindow(list); return 0;
    case WM_MOUSEACTIVATE: return list3d_mouse_activate(list, wParam, lParam);
    }
    if (self == nullptr)
        return DefWindowProcA(list, message, wParam, lParam);
    switch (message) {
    case WM_SETFOCUS: return list3d_focus(list, self, true);
    case WM_KILLFOCUS: return list3d_focus(list, self, false);
    case WM_KEYDOWN: return list3d_key(list, self, wParam, lParam);
    case WM_CHAR: return list3d_char(self, wParam);
    case WM_COMMAND: return list3d_command(list, self, wParam, lParam);
    case WM_MOUSEMOVE: ctl_dragger_move(&self->drag, x, y); return 0;
    case WM_LBUTTONDOWN: list3d_click(list, self, x, y); return 0;
    case WM_LBUTTONUP: list3d_end_drag(list, self); return 0;
    case WM_RBUTTONDOWN: return list3d_rbutton(list, self, wParam, lParam);
    case WM_CAPTURECHANGED: return list3d_capture_changed(list, self, lParam);
    }
    return DefWindowProcA(list, message, wParam, lParam);
}

// ---------------------------------------------------------------------------
// 7. Creation
// ---------------------------------------------------------------------------

HWND ctl_create_list3d(HWND parent, int id, int x, int y, int width, int height,
                       const List3DRecord *record)
{
    List3DRecord copy;
    ctl_zero(&copy, sizeof copy);
    if (record != nullptr)
        copy = *record;
    copy.parent = parent;
    copy.id = (uint16_t)id;
    copy.left = x;
    copy.top = y;
    copy.width = width;
    copy.height = height;
    return CreateWindowExA(0, CTL_CLASS_3DLIST, nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP, x, y,
                           width, height, parent, (HMENU)(UINT_PTR)(uint16_t)id, ctl_instance(),
                           &copy);
}
