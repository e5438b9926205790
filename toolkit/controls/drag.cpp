// Drag and outline helpers: the window mover drags a whole popup window and
// the rectangle dragger a rectangle inside one client area. Both show only a
// moving outline until the button comes up; the caller forwards its mouse
// messages and acts on the result.
//
// Contents: 1. the outline  2. window mover  3. rectangle dragger
#include "toolkit/qk2ctl.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// 1. The outline. Drawn with the toolkit's dash-dot pen in a mix that a
//    second identical drawing undoes: R2_NOTXORPEN with the black pen turns
//    the dashes into the inverse of what lies under them, and the gaps, drawn
//    in the opaque background colour through the same mix, flip the top bit
//    of each channel. Inversion is strong on light and dark surfaces but
//    hardly shows on mid grey, where the gaps then change by half the range;
//    so every outline is seen on any background and both parts are their own
//    inverse.
// ---------------------------------------------------------------------------

static const COLORREF kGapColour = RGB(127, 127, 127); // NOT XOR with it flips bit 7

// Draws the rectangle box (right and bottom exclusive) on window's device
// context (the screen's for a null window), and with cross a horizontal and a
// vertical line through that point across the box. The DC's pen, brush, mix,
// background mode and colour and current position are restored afterwards.
static void draw_outline(HWND window, const RECT &box, const POINT *cross)
{
    HDC dc = GetDC(window);
    if (dc == nullptr)
        return;
    HGDIOBJ oldPen = ctl_dash_pen() != nullptr ? SelectObject(dc, ctl_dash_pen()) : nullptr;
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    int oldMix = SetROP2(dc, R2_NOTXORPEN);
    int oldMode = SetBkMode(dc, OPAQUE);
    COLORREF oldBack = SetBkColor(dc, kGapColour);
    Rectangle(dc, box.left, box.top, box.right, box.bottom);
    if (cross != nullptr) {
        POINT oldAt;
        MoveToEx(dc, box.left, cross->y, &oldAt);
        LineTo(dc, box.right, cross->y);
        MoveToEx(dc, cross->x, box.top, nullptr);
        LineTo(dc, cross->x, box.bottom);
        MoveToEx(dc, oldAt.x, oldAt.y, nullptr);
    }
    SetBkColor(dc, oldBack);
    SetBkMode(dc, oldMode);
    SetROP2(dc, oldMix);
    SelectObject(dc, oldBrush);
    if (oldPen != nullptr)
        SelectObject(dc, oldPen);
    ReleaseDC(window, dc);
}

// Releases the mouse capture if window holds it (a capture taken over by
// another window in the meantime is left alone).
static void release_capture_of(HWND window)
{
    if (GetCapture() == window)
        ReleaseCapture();
}

int ctl_drag_active(const WindowMover *mover) { return mover != nullptr ? mover->dragging : 0; }

int ctl_drag_active(const RectDragger *dragger)
{
    return dragger != nullptr ? dragger->dragging : 0;
}

// ---------------------------------------------------------------------------
// 2. Window mover. Its outline lives on the screen: the window's frame (one
//    pixel wider and higher than the window) with the grabbed point crossed.
// ---------------------------------------------------------------------------

// Draws (or, drawn again, erases) the mover's outline for the pointer at
// screen point (px, py).
static void mover_outline(const WindowMover *mover, int px, int py)
{
    int left = px - mover->grabX;
    int top = py - mover->grabY;
    RECT box = {left, top, left + mover->width, top + mover->height};
    POINT at = {px, py};
    draw_outline(nullptr, box, &at);
}

// Client point (x, y) of the mover's window in screen coordinates.
static POINT mover_screen_point(const WindowMover *mover, int x, int y)
{
    POINT p = {x, y};
    ClientToScreen(mover->window, &p);
    return p;
}

void ctl_mover_init(WindowMover *mover, HWND window)
{
    if (mover == nullptr)
        return;
    *mover = {};
    mover->window = window;
}

// Does nothing unless the record holds a window. A begin during a drag
// erases the outline and starts again from the new point; the capture owner
// from before the first begin is the one given back at the end. The capture
// is taken last: the window that loses it may end a drag of its own and have
// its owner close this window, record and all.
void ctl_mover_begin(WindowMover *mover, int x, int y)
{
    if (mover == nullptr || !IsWindow(mover->window))
        return;
    if (mover->dragging && mover->drawn)
        mover_outline(mover, mover->lastX, mover->lastY);
    POINT p = mover_screen_point(mover, x, y);
    RECT rc;
    GetWindowRect(mover->window, &rc);
    mover->left = rc.left;
    mover->top = rc.top;
    mover->width = rc.right - rc.left + 1;
    mover->height = rc.bottom - rc.top + 1;
    mover->lastX = p.x;
    mover->lastY = p.y;
    mover->grabX = p.x - rc.left;
    mover->grabY = p.y - rc.top;
    mover->drawn = 0;
    if (!mover->dragging)
        mover->previousCapture = GetCapture();
    mover->dragging = 1;
    SetCapture(mover->window);
}

void ctl_mover_move(WindowMover *mover, int x, int y)
{
    if (mover == nullptr || !mover->dragging)
        return;
    POINT p = mover_screen_point(mover, x, y);
    if (mover->drawn && p.x == mover->lastX && p.y == mover->lastY)
        return; // the outline is already there
    if (mover->drawn)
        mover_outline(mover, mover->lastX, mover->lastY);
    mover_outline(mover, p.x, p.y);
    mover->lastX = p.x;
    mover->lastY = p.y;
    mover->drawn = 1;
}

// The release point (x, y) is not used: the window goes where the user last
// saw the outline. The record is idle before the capture is released, so a
// caller that ends the drag again on WM_CAPTURECHANGED does nothing more.
void ctl_mover_end(WindowMover *mover, int, int)
{
    if (mover == nullptr || !mover->dragging)
        return;
    if (mover->drawn)
        mover_outline(mover, mover->lastX, mover->lastY);
    mover->drawn = 0;
    mover->dragging = 0;
    mover->left = mover->lastX - mover->grabX;
    mover->top = mover->lastY - mover->grabY;
    release_capture_of(mover->window);
    SetWindowPos(mover->window, nullptr, mover->left, mover->top, mover->width, mover->height,
                 SWP_SHOWWINDOW | SWP_NOSIZE);
    if (mover->previousCapture != nullptr && IsWindow(mover->previousCapture))
        SetCapture(mover->previousCapture);
}

// ---------------------------------------------------------------------------
// 3. Rectangle dragger. Its outline lives on the window's client area.
// ---------------------------------------------------------------------------

// Draws (or, drawn again, erases) the outline at the current position.
static void dragger_outline(const RectDragger *dragger)
{
    RECT box = {dragger->currentLeft, dragger->currentTop,
                dragger->currentLeft + dragger->width, dragger->currentTop + dragger->height};
    draw_outline(dragger->window, box, nullptr);
}

// The allowed position for a rectangle whose corner would be at start on an
// axis: at least low, and its far edge (start + size) at most high. The upper
// bound wins when the rectangle does not fit.
static int clamp_edge(int start, int size, int low, int high)
{
    start = std::max(start, low);
    if (start + size > high)
        start = high - size;
    return start;
}

void ctl_dragger_init(RectDragger *dragger, HWND window, int minLeft, int minTop, int maxRight,
                      int maxBottom)
{
    if (dragger == nullptr)
        return;
    *dragger = {};
    dragger->window = window;
    dragger->minLeft = minLeft;
    dragger->minTop = minTop;
    dragger->maxRight = maxRight;
    dragger->maxBottom = maxBottom;
}

// Does nothing unless the record holds a window. A begin during a drag
// erases the outline first. The former capture owner is not kept.
void ctl_dragger_begin(RectDragger *dragger, int x, int y, int left, int top, int width,
                       int height)
{
    if (dragger == nullptr || !IsWindow(dragger->window))
        return;
    if (dragger->dragging && dragger->drawn)
        dragger_outline(dragger);
    dragger->width = width;
    dragger->height = height;
    dragger->left = dragger->currentLeft = left;
    dragger->top = dragger->currentTop = top;
    dragger->grabX = x - left;
    dragger->grabY = y - top;
    dragger->drawn = 0;
    dragger->dragging = 1;
    SetCapture(dragger->window);
}

void ctl_dragger_move(RectDragger *dragger, int x, int y)
{
    if (dragger == nullptr || !dragger->dragging)
        return;
    int left = clamp_edge(x - dragger->grabX, dragger->width, dragger->minLeft, dragger->maxRight);
    int top = clamp_edge(y - dragger->grabY, dragger->height, dragger->minTop, dragger->maxBottom);
    if (dragger->drawn && left == dragger->currentLeft && top == dragger->currentTop)
        return; // the outline is already there
    if (dragger->drawn)
        dragger_outline(dragger);
    dragger->currentLeft = left;
    dragger->currentTop = top;
    dragger_outline(dragger);
    dragger->drawn = 1;
}

// Like the mover, idle before the capture goes.
void ctl_dragger_end(RectDragger *dragger)
{
    if (dragger == nullptr || !dragger->dragging)
        return;
    if (dragger->drawn)
        dragger_outline(dragger);
    dragger->drawn = 0;
    dragger->dragging = 0;
    dragger->left = dragger->currentLeft;
    dragger->top = dragger->currentTop;
    release_capture_of(dragger->window);
}
