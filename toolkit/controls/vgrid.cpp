// Vgrid: a zoomable, scrollable canvas of value cells. The application draws
// everything through its callback; the grid maps a fixed logical surface to
// the window (zoom 50 % to 200 %, scroll bars when the window has the
// styles), keeps the items (toolkit/controls/vgrid_items.cpp, with the paint
// index) and edits their values with the mouse.
//
// Mouse interactions; each holds the capture, and none starts while one runs:
//
//   interaction  starts with                   while moving               ends with a button-up
//   press        a button down on an item      types 1, 2: value minus    the frames go; a toggle
//                (types 1-4): two XOR frames   dy x step; type 4: value   (type 3) released on
//                                              x step ^ -dy               itself flips
//   pan          a button down on empty        the canvas follows the     -
//                canvas (panByDrag)            pointer
//   outline      ctl_vgrid_outline_begin: the  the outline follows; the   the outline goes and
//                outline is drawn              view scrolls to keep it    outlineDrop hears it
//
// Ctrl+left click on an item types a value (types 1 and 4 in the edit box,
// type 2 as a time); Ctrl+left and Ctrl+right click on empty canvas zoom out
// and in by 10 % (zoomByClick). Losing the capture ends any interaction as
// a button-up would, except that no toggle flips. There is no keyboard
// handling.
//
// Callbacks run inside the grid's message handling and may re-enter it,
// clear its items or destroy it. So every handler and public operation
// counts itself in `busy`; a grid destroyed meanwhile is only marked `dead`
// and freed when the last of them returns, and each caller of a callback
// checks `dead` (and, where it holds an item index, the clear count) before
// it goes on.
//
// Contents: 1. the instance  2. mapping  3. drawing  4. the view: zoom,
//           scroll, pan  5. values  6. the outline drag  7. mouse behaviour
//           8. message handlers  9. window procedure  10. public operations
#include "toolkit/qk2ctl.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

// ---------------------------------------------------------------------------
// 1. The instance: the application's record and what the grid keeps beside it
// ---------------------------------------------------------------------------

struct VgridInstance {
    VgridRecord record;    // first: the instance pointer is the record's address
    VgridStore store;      // the list's blocks and the paint index
    uint32_t pressedIndex; // index of record.pressedItem
    uint32_t generation;   // counts clears: an index taken before a clear is stale
    int32_t busy;          // handlers and public operations running on this grid
    int32_t dead;          // destroyed while busy: freed when the last of them returns
    int32_t trimPending;   // cleared while busy: spare blocks are freed once idle
};

static const int kEditWidth = 150; // the edit box, pixels
static const int kEditHeight = 20;
static const int kLineStep = 4;     // pixels per scroll-bar arrow click
static const int kEditDecimals = 5; // the value shown in the edit box: "%.5f"

static VgridView *view_of(VgridInstance *self) { return self->record.context.view; }

static void free_instance(VgridInstance *self)
{
    vgrid_list_release(&self->record.context.items, &self->store);
    std::free(self->record.context.view);
    std::free(self);
}

static void enter(VgridInstance *self) { ++self->busy; }

// Ends one handler or operation. The last one frees a destroyed grid, or
// the blocks a clear left over.
static void leave(VgridInstance *self)
{
    if (--self->busy > 0)
        return;
    if (self->dead) {
        free_instance(self);
        return;
    }
    if (self->trimPending) {
        self->trimPending = 0;
        vgrid_list_trim(&self->record.context.items, &self->store);
    }
}

// Item index of the list (the list's last fetched from then on), or null.
static VgridItem *item_of(VgridInstance *self, uint32_t index)
{
    return vgrid_list_fetch(&self->record.context.items, &self->store, index);
}

// Calls an application callback with the context; 0 when there is none.
static int32_t call(VgridInstance *self, VgridCallback callback, int32_t code)
{
    return callback != nullptr ? callback(&self->record.context, code) : 0;
}

// Puts item's fields in the context: its id, user value, rectangle and value.
static void context_take_item(VgridContext *context, VgridItem *item)
{
    context->itemId = item->id;
    context->itemUser = item->user;
    context->left = item->left;
    context->top = item->top;
    context->right = item->right;
    context->bottom = item->bottom;
    context->value = &item->value;
}

static void release_capture(HWND window)
{
    if (GetCapture() == window)
        ReleaseCapture();
}

// ---------------------------------------------------------------------------
// 2. Mapping between client pixels and logical units. All of it in single
//    precision, so zooming 100 % to 90 % and back keeps whole units.
// ---------------------------------------------------------------------------

// x truncated toward zero, saturated to 32 bits; NaN gives 0.
static int32_t to_int(float x)
{
    if (std::isnan(x))
        return 0;
    if (x >= 2147483648.0f)
        return INT32_MAX;
    if (x < -2147483648.0f)
        return INT32_MIN;
    return (int32_t)x;
}

static bool has_bar(HWND window, int bar)
{
    LONG style = GetWindowLongA(window, GWL_STYLE);
    return (style & (bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL)) != 0;
}

// Client pixel to logical: (client + scroll) x unitsPerPixel, truncated.
static POINT to_logical(const VgridView *view, int x, int y)
{
    POINT p;
    p.x = to_int((float)((int64_t)x + view->scrollX) * view->unitsPerPixel);
    p.y = to_int((float)((int64_t)y + view->scrollY) * view->unitsPerPixel);
    return p;
}

// The logical rectangle the client area shows, edges included.
static VgridArea visible_area(HWND window, const VgridView *view)
{
    RECT rc;
    GetClientRect(window, &rc);
    VgridArea area;
    area.x0 = to_int((float)view->scrollX * view->unitsPerPixel);
    area.y0 = to_int((float)view->scrollY * view->unitsPerPixel);
    area.x1 = area.x0 + to_int(view->unitsPerPixel * (float)(rc.right + 1));
    area.y1 = area.y0 + to_int(view->unitsPerPixel * (float)(rc.bottom + 1));
    return area;
}

// Maps dc: logical units of the surface, zoomed and scrolled.
static void apply_mapping(HDC dc, const VgridView *view)
{
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, view->logicalWidth, view->logicalHeight, nullptr);
    SetViewportExtEx(dc, view->extentX, view->extentY, nullptr);
    SetViewportOrgEx(dc, -view->scrollX, -view->scrollY, nullptr);
    SetWindowOrgEx(dc, 0, 0, nullptr);
}

// The item under client point (x, y), or 0.
static uint32_t hit(VgridInstance *self, int x, int y)
{
    POINT p = to_logical(view_of(self), x, y);
    return vgrid_hit(&self->record.context.items, &self->store, p.x, p.y);
}

// ---------------------------------------------------------------------------
// 3. Drawing
// ---------------------------------------------------------------------------

// Code 3 for item, to its callback or else the record's.
static void draw_call(VgridInstance *self, VgridItem *item)
{
    call(self, item->itemCallback != nullptr ? item->itemCallback : self->record.callback,
         VGRID_CODE_DRAW);
}

// Draws item index into dc during a paint. Returns 0 when the paint must
// stop: the grid was destroyed or its list cleared by the callback.
static int paint_item(VgridInstance *self, HDC dc, uint32_t index)
{
    VgridContext *context = &self->record.context;
    VgridItem *item = item_of(self, index);
    if (item == nullptr)
        return 0;
    uint32_t generation = self->generation;
    context->dc = dc;
    context_take_item(context, item);
    context->itemIndex = index;
    draw_call(self, item);
    return !self->dead && self->generation == generation;
}

// The whole paint into dc: code 2 in pixels, then code 3 for every item
// that meets the visible area, in index order (the paint index finds them;
// without memory for its answer every item is looked at). The context keeps
// the last item's fields.
static void paint(HWND window, VgridInstance *self, HDC dc)
{
    VgridContext *context = &self->record.context;
    RECT rc;
    GetClientRect(window, &rc);
    context->dc = dc;
    context->left = rc.left;
    context->top = rc.top;
    context->right = rc.right;
    context->bottom = rc.bottom;
    SetMapMode(dc, MM_TEXT);
    if (!g_toolkitActive)
        return;
    call(self, self->record.callback, VGRID_CODE_PAINT);
    if (self->dead)
        return;
    apply_mapping(dc, context->view);
    VgridArea area = visible_area(window, context->view);
    VgridHits hits = {};
    if (vgrid_visible(&context->items, &self->store, &area, &hits)) {
        for (uint32_t k = 0; k < hits.count; ++k) {
            if (!paint_item(self, dc, hits.items[k]))
                break;
        }
    } else {
        for (uint32_t i = 1; i <= context->items.count; ++i) {
            const VgridItem *item = item_of(self, i);
            if (vgrid_item_meets(item, &area) && !paint_item(self, dc, i))
                break;
        }
    }
    std::free(hits.items);
}

// Draws item index alone at once after its value changed, when the toolkit
// runs and the item shows. The context fields from window to value are the
// same afterwards.
static void redraw_item(HWND window, VgridInstance *self, uint32_t index)
{
    VgridContext *context = &self->record.context;
    VgridItem *item = item_of(self, index);
    if (!g_toolkitActive || item == nullptr)
        return;
    VgridArea area = visible_area(window, context->view);
    if (!vgrid_item_meets(item, &area))
        return;
    HDC dc = GetDC(window);
    if (dc == nullptr)
        return;
    VgridContext saved;
    ctl_copy(&saved, context, offsetof(VgridContext, view));
    apply_mapping(dc, context->view);
    context->dc = dc;
    context_take_item(context, item);
    draw_call(self, item);
    ReleaseDC(window, dc);
    if (!self->dead)
        ctl_copy(context, &saved, offsetof(VgridContext, view));
}

// v + d, kept within 32 bits.
static int32_t nudge(int32_t v, int d)
{
    return (int32_t)std::clamp<int64_t>((int64_t)v + d, INT32_MIN, INT32_MAX);
}

// The two XOR focus frames around a pressed item; drawn again they go.
static void draw_press_frames(HWND window, VgridInstance *self, const VgridItem *item)
{
    HDC dc = GetDC(window);
    if (dc == nullptr)
        return;
    apply_mapping(dc, view_of(self));
    int oldMix = SetROP2(dc, R2_XORPEN);
    RECT inner = {nudge(item->left, -2), nudge(item->top, -2), nudge(item->right, 3),
                  nudge(item->bottom, 3)};
    RECT outer = {nudge(item->left, -4), nudge(item->top, -4), nudge(item->right, 5),
                  nudge(item->bottom, 5)};
    DrawFocusRect(dc, &inner);
    DrawFocusRect(dc, &outer);
    SetROP2(dc, oldMix);
    ReleaseDC(window, dc);
}

// Invalidates the pixels of an item that shows (a new item).
static void invalidate_item(HWND window, VgridInstance *self, const VgridItem *item)
{
    const VgridView *view = view_of(self);
    VgridArea area = visible_area(window, view);
    if (!vgrid_item_meets(item, &area))
        return;
    RECT client;
    GetClientRect(window, &client);
    auto pixel = [&](int32_t logical, int32_t scroll, int margin, LONG size) {
        double p = (double)logical * view->zoomFactor - scroll + margin;
        return (LONG)std::clamp(p, -1.0, (double)size + 1.0);
    };
    RECT rc = {pixel(item->left, view->scrollX, -2, client.right),
               pixel(item->top, view->scrollY, -2, client.bottom),
               pixel(item->right, view->scrollX, 3, client.right),
               pixel(item->bottom, view->scrollY, 3, client.bottom)};
    InvalidateRect(window, &rc, FALSE);
}

// ---------------------------------------------------------------------------
// 4. The view: zoom, scroll, pan
// ---------------------------------------------------------------------------

static VgridView *view_create(HWND window, int32_t width, int32_t height)
{
    VgridView *view = static_cast<VgridView *>(std::calloc(1, sizeof(VgridView)));
    if (view == nullptr)
        return nullptr;
    view->window = window;
    view->logicalWidth = width;
    view->logicalHeight = height;
    view->zoomPercent = 100.0f;
    view->unitsPerPixel = 1.0f;
    view->zoomFactor = 1.0f;
    view->extentX = width;
    view->extentY = height;
    view->lineStepX = kLineStep;
    view->lineStepY = kLineStep;
    view->outlineDraw = ctl_vgrid_outline_rect;
    if (has_bar(window, SB_HORZ))
        SetScrollRange(window, SB_HORZ, 0, width, FALSE);
    if (has_bar(window, SB_VERT))
        SetScrollRange(window, SB_VERT, 0, height, FALSE);
    return view;
}

// Puts a bar's thumb at the logical position of its scroll offset. Scroll
// bars count logical units; the offsets are pixels.
static void update_bar(HWND window, const VgridView *view, int bar)
{
    if (!has_bar(window, bar))
        return;
    int32_t offset = bar == SB_HORZ ? view->scrollX : view->scrollY;
    SetScrollPos(window, bar, to_int((float)offset * view->unitsPerPixel), TRUE);
}

// Zooms to z percent keeping the logical point at the top-left corner
// (truncated to whole units). Nothing when z is the zoom already.
static void set_zoom(HWND window, VgridView *view, float z)
{
    if (z == view->zoomPercent)
        return;
    int32_t x = to_int((float)view->scrollX * view->unitsPerPixel);
    int32_t y = to_int((float)view->scrollY * view->unitsPerPixel);
    view->zoomPercent = z;
    view->zoomFactor = z * 0.01f;
    view->unitsPerPixel = 100.0f / z;
    view->extentX = to_int(view->zoomFactor * (float)view->logicalWidth);
    view->extentY = to_int(view->zoomFactor * (float)view->logicalHeight);
    view->scrollX = std::min(to_int(view->zoomFactor * (float)x), view->extentX);
    view->scrollY = std::min(to_int(view->zoomFactor * (float)y), view->extentY);
    update_bar(window, view, SB_VERT);
    update_bar(window, view, SB_HORZ);
    InvalidateRect(window, nullptr, TRUE);
}

// Moves the scroll offset of one axis to target pixels, kept within 0 and
// the extent, and scrolls the window's pixels with it (the uncovered strip
// is repainted later). Returns 1 when the offset changed.
static int scroll_to(HWND window, VgridView *view, bool horizontal, int64_t target)
{
    int32_t &offset = horizontal ? view->scrollX : view->scrollY;
    int32_t extent = std::max(horizontal ? view->extentX : view->extentY, 0);
    int32_t next = (int32_t)std::clamp<int64_t>(target, 0, extent);
    if (next == offset)
        return 0;
    int32_t old = offset;
    offset = next;
    update_bar(window, view, horizontal ? SB_HORZ : SB_VERT);
    ScrollWindow(window, horizontal ? old - next : 0, horizontal ? 0 : old - next, nullptr,
                 nullptr);
    return 1;
}

// Where a scroll request takes one axis, in pixels. The thumb position is
// logical. SB_BOTTOM and SB_RIGHT go to the end of the zoomed surface, its
// extent; unknown codes stay.
static int64_t scroll_target(HWND window, const VgridView *view, bool horizontal, int code,
                             int32_t position)
{
    RECT rc;
    GetClientRect(window, &rc);
    int64_t offset = horizontal ? view->scrollX : view->scrollY;
    int32_t line = horizontal ? view->lineStepX : view->lineStepY;
    int32_t page = horizontal ? rc.right : rc.bottom;
    switch (code) {
    case SB_LINEUP: return offset - line;
    case SB_LINEDOWN: return offset + line;
    case SB_PAGEUP: return offset - page;
    case SB_PAGEDOWN: return offset + page;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: return to_int((float)position * view->zoomFactor);
    case SB_TOP: return 0;
    case SB_BOTTOM: return horizontal ? view->extentX : view->extentY;
    }
    return offset;
}

// The thumb position of a scroll message. The message carries only 16 bits;
// the bar's own 32-bit tracking position is taken when its low 16 bits
// agree, so surfaces wider than 65535 units scroll all the way.
static int32_t thumb_position(HWND window, int bar, WPARAM wParam)
{
    uint16_t carried = HIWORD(wParam);
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_TRACKPOS;
    if (has_bar(window, bar) && GetScrollInfo(window, bar, &info) &&
        (uint16_t)info.nTrackPos == carried)
        return info.nTrackPos;
    return carried;
}

// Moves the outline by d logical units along one axis; a negative right or
// bottom keeps standing for the visible width or height.
static void shift_outline(VgridView *view, bool horizontal, int32_t d)
{
    if (horizontal) {
        view->outlineLeft += d;
        if (view->outlineRight >= 0)
            view->outlineRight += d;
    } else {
        view->outlineTop += d;
        if (view->outlineBottom >= 0)
            view->outlineBottom += d;
    }
}

// Scrolls one axis to target pixels and moves the outline with the view, so
// that it keeps its place under the pointer. Returns 1 when the view moved.
static int scroll_with_outline(HWND window, VgridView *view, bool horizontal, int64_t target)
{
    const int32_t &offset = horizontal ? view->scrollX : view->scrollY;
    int32_t before = to_int((float)offset * view->unitsPerPixel);
    if (!scroll_to(window, view, horizontal, target))
        return 0;
    int32_t after = to_int((float)offset * view->unitsPerPixel);
    shift_outline(view, horizontal, after - before);
    return 1;
}

// A pan step: the canvas moves with the pointer, pixel for pixel at any
// zoom, within the scroll range.
static void pan_move(HWND window, VgridView *view, int x, int y)
{
    int32_t dx = x - view->panLastX, dy = y - view->panLastY;
    view->panLastX = x;
    view->panLastY = y;
    scroll_with_outline(window, view, true, (int64_t)view->scrollX - dx);
    scroll_with_outline(window, view, false, (int64_t)view->scrollY - dy);
}

// ---------------------------------------------------------------------------
// 5. Values
// ---------------------------------------------------------------------------

// Sets item index's value to v, clamped to its limits, tells the item's
// callback (code 4) when report is set, and redraws the item. It runs even
// when the value stays the same; a NaN v, or a stopped toolkit, changes
// nothing.
static void set_value(HWND window, VgridInstance *self, uint32_t index, float v, bool report)
{
    VgridItem *item = item_of(self, index);
    if (!g_toolkitActive || item == nullptr || std::isnan(v))
        return;
    if (v > item->maximum)
        v = item->maximum;
    if (v < item->minimum)
        v = item->minimum;
    item->value = v;
    context_take_item(&self->record.context, item);
    if (report && item->itemCallback != nullptr) {
        uint32_t generation = self->generation;
        call(self, item->itemCallback, VGRID_CODE_CHANGED);
        if (self->dead || self->generation != generation)
            return;
    }
    redraw_item(window, self, index);
}

// Asks for a number in the edit box at screen point at, showing value.
// Returns true with the number typed, false when the box was left empty
// or cancelled.
static bool ask_number(HWND owner, POINT at, float value, float *typed)
{
    char shown[64];
    ctl_format_float(value, shown, sizeof shown, kEditDecimals, 0, 0);
    char *text = ctl_edit_value(owner, VGRID_EDIT_WORD, at.x, at.y, kEditWidth, kEditHeight, shown);
    if (text == nullptr)
        return false;
    bool answered = text[0] != '\0';
    if (answered)
        *typed = (float)ctl_parse_number(text);
    std::free(text);
    return answered;
}

// Asks for a time in seconds for a type 2 item in the time-entry dialog.
// Returns true with it, false when cancelled.
static bool ask_time(HWND owner, POINT at, float value, float *typed)
{
    float seconds = ctl_time_dialog(owner, VGRID_EDIT_WORD, at.x, at.y, value);
    if (seconds == CTL_TIME_CANCEL)
        return false;
    *typed = seconds;
    return true;
}

// Ctrl+click on item index at client point (x, y): types 1 and 4 ask for a
// number, type 2 for a time; the answer becomes the value unless the grid
// was destroyed or its list cleared meanwhile.
static void edit_item(HWND window, VgridInstance *self, uint32_t index, int x, int y)
{
    const VgridItem *item = item_of(self, index);
    uint32_t type = item->type;
    if (type != VGRID_LINEAR && type != VGRID_TIME && type != VGRID_MULTIPLY)
        return;
    POINT at = {x, y};
    ClientToScreen(window, &at);
    HWND owner = self->record.parent != nullptr ? self->record.parent : window;
    uint32_t generation = self->generation;
    float typed = 0.0f;
    bool answered = type == VGRID_TIME ? ask_time(owner, at, item->value, &typed)
                                       : ask_number(owner, at, item->value, &typed);
    if (answered && !self->dead && self->generation == generation)
        set_value(window, self, index, typed, true);
}

// ---------------------------------------------------------------------------
// 6. The outline drag
// ---------------------------------------------------------------------------

// Draws the outline with R2_NOT: drawn again at the same place it goes.
static void draw_outline(HWND window, VgridView *view)
{
    HDC dc = GetDC(window);
    if (dc == nullptr)
        return;
    apply_mapping(dc, view);
    int oldMix = SetROP2(dc, R2_NOT);
    VgridOutlineDraw draw =
        view->outlineDraw != nullptr ? view->outlineDraw : ctl_vgrid_outline_rect;
    draw(dc, view->outlineLeft, view->outlineTop,
         draw == ctl_vgrid_outline_rect ? static_cast<void *>(view) : view->outlineUser);
    SetROP2(dc, oldMix);
    ReleaseDC(window, dc);
}

// When the outline does not lie strictly inside the visible area, scrolls
// each axis to min(edge, area start) plus the overhang past the area's end,
// never past the outline's start nor below 0. Returns 1 when the view moved.
static int follow_outline(HWND window, VgridView *view)
{
    VgridArea area = visible_area(window, view);
    int64_t right = view->outlineRight >= 0 ? view->outlineRight
                                            : (int64_t)view->outlineLeft + (area.x1 - area.x0);
    int64_t bottom = view->outlineBottom >= 0 ? view->outlineBottom
                                              : (int64_t)view->outlineTop + (area.y1 - area.y0);
    if (view->outlineLeft > area.x0 && right < area.x1 && view->outlineTop > area.y0 &&
        bottom < area.y1)
        return 0;
    auto target = [](int64_t low, int64_t high, int32_t start, int32_t end) {
        int64_t t = std::min<int64_t>(low, start) + std::max<int64_t>(high - end, 0);
        return std::max<int64_t>(std::min(t, low), 0);
    };
    int64_t x = target(view->outlineLeft, right, area.x0, area.x1);
    int64_t y = target(view->outlineTop, bottom, area.y0, area.y1);
    int moved = 0;
    if (x != area.x0)
        moved |= scroll_with_outline(window, view, true, to_int((float)x * view->zoomFactor));
    if (y != area.y0)
        moved |= scroll_with_outline(window, view, false, to_int((float)y * view->zoomFactor));
    return moved;
}

// An outline move to client point (x, y): the outline's corner plus the
// grab offset goes to the pointer. When the view had to scroll the outline
// stays off the screen until the next move.
static void outline_move(HWND window, VgridView *view, int x, int y)
{
    POINT p = to_logical(view, x, y);
    if (!view->outlineHidden)
        draw_outline(window, view);
    shift_outline(view, true, p.x - view->grabX - view->outlineLeft);
    shift_outline(view, false, p.y - view->grabY - view->outlineTop);
    if (follow_outline(window, view)) {
        view->outlineHidden = 1;
        return;
    }
    draw_outline(window, view);
    view->outlineHidden = 0;
}

// Ends an outline drag: the outline goes and outlineDrop hears where it is.
static void outline_end(HWND window, VgridView *view, uint32_t flags)
{
    if (!view->outlineActive)
        return;
    if (!view->outlineHidden)
        draw_outline(window, view);
    view->outlineActive = 0; // before the capture goes: losing it now is no cancel
    release_capture(window);
    if (view->outlineDrop != nullptr && g_toolkitActive)
        view->outlineDrop(flags, view->outlineLeft, view->outlineTop, view->outlineUser);
}

// ---------------------------------------------------------------------------
// 7. Mouse behaviour
// ---------------------------------------------------------------------------

// A button down without Ctrl at (x, y); button 1 left, 0 right. On an item
// of type 1 to 4 it is pressed; on empty canvas a pan starts.
static void press(HWND window, VgridInstance *self, int x, int y, int32_t button)
{
    VgridRecord *record = &self->record;
    if (record->pressActive)
        return;
    uint32_t index = hit(self, x, y);
    if (index != 0) {
        VgridItem *item = item_of(self, index);
        if (item->type < VGRID_LINEAR || item->type > VGRID_LAST_TYPE)
            return;
        record->pressButton = button;
        record->pressedItem = item;
        self->pressedIndex = index;
        record->lastX = x;
        record->lastY = y;
        record->pressActive = 1;
        draw_press_frames(window, self, item);
        SetCapture(window);
    } else if (record->panByDrag) {
        VgridView *view = view_of(self);
        view->panLastX = x;
        view->panLastY = y;
        view->panning = 1;
        SetCapture(window);
    }
}

// A move of the pressed item's drag to (x, y). Types 1 and 2 lose dy x step
// (up raises them), type 4 is multiplied by step to the power -dy. A type 4
// value that is not above 0 starts again from its minimum, since a product
// never leaves 0.
static void drag(HWND window, VgridInstance *self, int x, int y)
{
    VgridRecord *record = &self->record;
    VgridItem *item = item_of(self, self->pressedIndex);
    if (item == nullptr)
        return;
    float step = record->pressButton == 1 ? item->leftStep : item->rightStep;
    float v;
    switch (item->type) {
    case VGRID_LINEAR:
    case VGRID_TIME: v = item->value - (float)(y - record->lastY) * step; break;
    case VGRID_MULTIPLY: {
        float base = item->value > 0.0f ? item->value : item->minimum;
        if (!(base > 0.0f))
            return;
        v = std::pow(step, (float)(record->lastY - y)) * base;
        break;
    }
    default: return;
    }
    set_value(window, self, self->pressedIndex, v, true);
    if (self->dead)
        return;
    record->lastX = x;
    record->lastY = y;
}

// Ends an item press: the capture and the frames go.
static void end_press(HWND window, VgridInstance *self)
{
    self->record.pressActive = 0; // before the capture goes: losing it now is no cancel
    release_capture(window);
    const VgridItem *item = item_of(self, self->pressedIndex);
    if (item != nullptr)
        draw_press_frames(window, self, item);
}

// A button up at (x, y) with the message's flags: the press ends (a toggle
// released on itself flips between 0 and 1, anything but 1 becoming 1),
// then an outline drag or a pan.
static void release(HWND window, VgridInstance *self, int x, int y, uint32_t flags)
{
    VgridView *view = view_of(self);
    if (self->record.pressActive) {
        end_press(window, self);
        const VgridItem *item = item_of(self, self->pressedIndex);
        if (item != nullptr && item->type == VGRID_TOGGLE && hit(self, x, y) == self->pressedIndex)
            set_value(window, self, self->pressedIndex, item->value == 1.0f ? 0.0f : 1.0f, true);
        if (self->dead)
            return;
    }
    outline_end(window, view, flags);
    if (view->panning) {
        view->panning = 0;
        release_capture(window);
    }
}

// Ctrl+click zoom: step percent more (or less), kept within 50 and 200.
static void zoom_by(HWND window, VgridInstance *self, int32_t step)
{
    VgridRecord *record = &self->record;
    VgridView *view = view_of(self);
    if (std::isnan(record->zoom))
        record->zoom = view->zoomPercent;
    record->zoom =
        std::clamp(record->zoom + (float)step, (float)VGRID_MIN_ZOOM, (float)VGRID_MAX_ZOOM);
    set_zoom(window, view, record->zoom);
}

// Ctrl+left click: edits the item there, or zooms out on empty canvas.
static void ctrl_left(HWND window, VgridInstance *self, int x, int y)
{
    if (self->record.pressActive)
        return;
    uint32_t index = hit(self, x, y);
    if (index != 0)
        edit_item(window, self, index, x, y);
    else if (self->record.zoomByClick)
        zoom_by(window, self, -VGRID_ZOOM_STEP);
}

// Ctrl+right click: zooms in on empty canvas; nothing on an item.
static void ctrl_right(HWND window, VgridInstance *self, int x, int y)
{
    if (self->record.pressActive || hit(self, x, y) != 0)
        return;
    if (self->record.zoomByClick)
        zoom_by(window, self, VGRID_ZOOM_STEP);
}

// ---------------------------------------------------------------------------
// 8. Message handlers
// ---------------------------------------------------------------------------

// Copies the creator's record, sets up the view and the empty list and asks
// the callback (code 1). Returns 0, or -1 for no record, a logical size
// outside 1 to VGRID_MAX_LOGICAL, no memory or the answer 0.
static LRESULT on_create(HWND window, LPARAM lParam)
{
    const CREATESTRUCTA *cs = reinterpret_cast<const CREATESTRUCTA *>(lParam);
    const VgridRecord *given = static_cast<const VgridRecord *>(cs->lpCreateParams);
    if (given == nullptr)
        return -1;
    int32_t width = given->context.logicalWidth, height = given->context.logicalHeight;
    if (width < 1 || width > VGRID_MAX_LOGICAL || height < 1 || height > VGRID_MAX_LOGICAL)
        return -1;
    VgridInstance *self = static_cast<VgridInstance *>(std::calloc(1, sizeof(VgridInstance)));
    if (self == nullptr)
        return -1;
    VgridRecord *record = &self->record;
    ctl_copy(record, given, sizeof *record);
    ctl_set_instance_data(window, self);
    VgridContext *context = &record->context;
    ctl_zero(context, sizeof *context); // the creator filled only the logical size
    context->logicalWidth = width;
    context->logicalHeight = height;
    record->focused = 0;
    context->userValue = record->userValue;
    context->window = window;
    context->view = view_create(window, width, height);
    if (context->view == nullptr ||
        !vgrid_list_init(&context->items, &self->store, width, height)) {
        ctl_set_instance_data(window, nullptr);
        free_instance(self);
        return -1;
    }
    record->zoom = 100.0f;
    record->pressActive = 0;
    record->pressButton = 0;
    record->pressedItem = nullptr;
    record->lastX = record->lastY = 0;
    record->zoomByClick = 1;
    record->panByDrag = 1;
    enter(self); // the callback may add items or even destroy the window
    int32_t answer =
        record->callback != nullptr ? call(self, record->callback, VGRID_CODE_CREATE) : 1;
    if (answer == 0 && !self->dead) {
        ctl_set_instance_data(window, nullptr);
        self->dead = 1;
    }
    bool refused = self->dead != 0;
    leave(self);
    return refused ? -1 : 0;
}

static LRESULT on_destroy(HWND window, VgridInstance *self, WPARAM wParam, LPARAM lParam)
{
    self->record.pressActive = 0;
    view_of(self)->panning = 0;
    view_of(self)->outlineActive = 0;
    release_capture(window);
    ctl_set_instance_data(window, nullptr);
    self->dead = 1; // freed when the window procedure (or whatever called it) is done
    return DefWindowProcA(window, WM_DESTROY, wParam, lParam);
}

static LRESULT on_paint(HWND window, VgridInstance *self)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (dc != nullptr)
        paint(window, self, dc);
    EndPaint(window, &ps);
    return 0;
}

static LRESULT on_scroll(HWND window, VgridInstance *self, bool horizontal, WPARAM wParam)
{
    VgridView *view = view_of(self);
    int bar = horizontal ? SB_HORZ : SB_VERT;
    int code = LOWORD(wParam);
    int32_t position = (code == SB_THUMBPOSITION || code == SB_THUMBTRACK)
                           ? thumb_position(window, bar, wParam)
                           : 0;
    scroll_to(window, view, horizontal, scroll_target(window, view, horizontal, code, position));
    return 0;
}

static LRESULT on_mouse_activate(HWND window, WPARAM wParam, LPARAM lParam)
{
    if (GetFocus() != window)
        SetFocus(window);
    return DefWindowProcA(window, WM_MOUSEACTIVATE, wParam, lParam);
}

// WM_LBUTTONDOWN and WM_RBUTTONDOWN: refused while an outline drag or a pan
// runs; with Ctrl a Ctrl+click, else a press.
static LRESULT on_button_down(HWND window, VgridInstance *self, UINT message, WPARAM wParam,
                              LPARAM lParam)
{
    const VgridView *view = view_of(self);
    if (view->outlineActive || view->panning)
        return DefWindowProcA(window, message, wParam, lParam);
    int x = (short)LOWORD(lParam), y = (short)HIWORD(lParam);
    bool left = message == WM_LBUTTONDOWN;
    if ((wParam & MK_CONTROL) != 0) {
        if (left)
            ctrl_left(window, self, x, y);
        else
            ctrl_right(window, self, x, y);
    } else {
        press(window, self, x, y, left ? 1 : 0);
    }
    return 0;
}

static LRESULT on_mouse_move(HWND window, VgridInstance *self, int x, int y)
{
    VgridView *view = view_of(self);
    if (self->record.pressActive)
        drag(window, self, x, y);
    else if (view->outlineActive)
        outline_move(window, view, x, y);
    else if (view->panning)
        pan_move(window, view, x, y);
    return 0;
}

// The capture went to another window: whatever ran ends as a button-up
// would, without flipping a toggle; an outline drag is reported with flags 0.
static LRESULT on_capture_changed(HWND window, VgridInstance *self, HWND gainer)
{
    if (gainer == window)
        return 0;
    if (self->record.pressActive)
        end_press(window, self);
    VgridView *view = view_of(self);
    view->panning = 0;
    outline_end(window, view, 0);
    return 0;
}

// ---------------------------------------------------------------------------
// 9. Window procedure
// ---------------------------------------------------------------------------

static LRESULT dispatch(HWND window, VgridInstance *self, UINT message, WPARAM wParam,
                        LPARAM lParam)
{
    int x = (short)LOWORD(lParam), y = (short)HIWORD(lParam);
    switch (message) {
    case WM_DESTROY: return on_destroy(window, self, wParam, lParam);
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_SETFOCUS: self->record.focused = 1; return 0;
    case WM_KILLFOCUS: self->record.focused = 0; return 0;
    case WM_MOUSEACTIVATE: return on_mouse_activate(window, wParam, lParam);
    case WM_PAINT: return on_paint(window, self);
    case WM_HSCROLL: return on_scroll(window, self, true, wParam);
    case WM_VSCROLL: return on_scroll(window, self, false, wParam);
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: return on_button_down(window, self, message, wParam, lParam);
    case WM_MOUSEMOVE: return on_mouse_move(window, self, x, y);
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: release(window, self, x, y, (uint32_t)wParam); return 0;
    case WM_CAPTURECHANGED: return on_capture_changed(window, self, (HWND)lParam);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK ctl_vgrid_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        ctl_set_instance_data(window, nullptr);
    if (message == WM_CREATE)
        return on_create(window, lParam);
    VgridInstance *self = static_cast<VgridInstance *>(ctl_get_instance_data(window));
    if (self == nullptr)
        return DefWindowProcA(window, message, wParam, lParam);
    enter(self);
    LRESULT result = dispatch(window, self, message, wParam, lParam);
    leave(self);
    return result;
}

// ---------------------------------------------------------------------------
// 10. Public operations
// ---------------------------------------------------------------------------

// The instance of a live Vgrid window, or null.
static VgridInstance *instance_of(HWND grid)
{
    if (grid == nullptr || !IsWindow(grid))
        return nullptr;
    if ((WNDPROC)GetWindowLongPtrA(grid, GWLP_WNDPROC) != ctl_vgrid_proc) {
        char name[64]; // a subclassed grid still has the class
        if (!GetClassNameA(grid, name, sizeof name) || std::strcmp(name, CTL_CLASS_VGRID) != 0)
            return nullptr;
    }
    return static_cast<VgridInstance *>(ctl_get_instance_data(grid));
}

HWND ctl_create_vgrid(HWND parent, int id, int x, int y, int width, int height, DWORD style,
                      int32_t logicalWidth, int32_t logicalHeight, VgridCallback callback,
                      uint32_t userValue)
{
    VgridRecord record;
    ctl_zero(&record, sizeof record);
    record.parent = parent;
    record.userValue = userValue;
    record.callback = callback;
    record.context.logicalWidth = logicalWidth;
    record.context.logicalHeight = logicalHeight;
    return CreateWindowExA(0, CTL_CLASS_VGRID, nullptr, WS_CHILD | WS_VISIBLE | style, x, y, width,
                           height, parent, (HMENU)(UINT_PTR)(uint16_t)id, ctl_instance(), &record);
}

VgridRecord *ctl_vgrid_record(HWND grid)
{
    VgridInstance *self = instance_of(grid);
    return self != nullptr ? &self->record : nullptr;
}

uint32_t ctl_vgrid_add(HWND grid, const VgridItem *item)
{
    VgridInstance *self = instance_of(grid);
    if (self == nullptr)
        return 0;
    uint32_t index = vgrid_list_add(&self->record.context.items, &self->store, item);
    if (index != 0)
        invalidate_item(grid, self, item_of(self, index));
    return index;
}

void ctl_vgrid_clear(HWND grid)
{
    VgridInstance *self = instance_of(grid);
    if (self == nullptr)
        return;
    enter(self);
    if (self->record.pressActive)
        end_press(grid, self);
    self->record.pressedItem = nullptr;
    self->pressedIndex = 0;
    vgrid_list_clear(&self->record.context.items, &self->store);
    ++self->generation;
    self->trimPending = 1;
    InvalidateRect(grid, nullptr, TRUE);
    leave(self);
}

uint32_t ctl_vgrid_count(HWND grid)
{
    VgridInstance *self = instance_of(grid);
    return self != nullptr ? self->record.context.items.count : 0;
}

VgridItem *ctl_vgrid_item(HWND grid, uint32_t index)
{
    VgridInstance *self = instance_of(grid);
    return self != nullptr ? item_of(self, index) : nullptr;
}

int ctl_vgrid_set_value(HWND grid, uint32_t index, float value)
{
    VgridInstance *self = instance_of(grid);
    if (self == nullptr || !g_toolkitActive || std::isnan(value) || item_of(self, index) == nullptr)
        return 0;
    enter(self);
    set_value(grid, self, index, value, false);
    leave(self);
    return 1;
}

int ctl_vgrid_set_zoom(HWND grid, float percent)
{
    VgridInstance *self = instance_of(grid);
    if (self == nullptr || std::isnan(percent))
        return 0;
    VgridRecord *record = &self->record;
    record->zoom = std::clamp(percent, (float)VGRID_MIN_ZOOM, (float)VGRID_MAX_ZOOM);
    set_zoom(grid, view_of(self), record->zoom);
    return 1;
}

int ctl_vgrid_outline_begin(HWND grid, int32_t left, int32_t top, int32_t right, int32_t bottom,
                            int x, int y, VgridOutlineDraw draw, VgridOutlineDrop drop, void *user)
{
    VgridInstance *self = instance_of(grid);
    if (self == nullptr)
        return 0;
    VgridView *view = view_of(self);
    if (self->record.pressActive || view->panning || view->outlineActive)
        return 0;
    POINT p = to_logical(view, x, y);
    view->outlineLeft = left;
    view->outlineTop = top;
    view->outlineRight = right;
    view->outlineBottom = bottom;
    view->grabX = p.x - left;
    view->grabY = p.y - top;
    view->outlineDraw = draw != nullptr ? draw : ctl_vgrid_outline_rect;
    view->outlineDrop = drop;
    view->outlineUser = user;
    SetCapture(grid);
    view->outlineActive = 1;
    view->outlineHidden = 0;
    enter(self);
    draw_outline(grid, view); // on the screen from the start, so the first move erases it
    leave(self);
    return 1;
}

void ctl_vgrid_outline_rect(HDC dc, int32_t x, int32_t y, void *user)
{
    const VgridView *view = static_cast<const VgridView *>(user);
    if (view == nullptr)
        return;
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    Rectangle(dc, x, y, x + (view->outlineRight - view->outlineLeft),
              y + (view->outlineBottom - view->outlineTop));
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
}
