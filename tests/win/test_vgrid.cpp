// The Vgrid through real messages: creation and its refusals, the callback
// codes and what the context holds, zoom by Ctrl+clicks and its limits, the
// scroll requests, panning, item presses and drags, toggles, Ctrl+click
// editing in the edit box, the outline drag, items added past the first
// block, and callbacks that clear or destroy the grid.
#include "tests/win/harness.h"
#include "tests/win/host_fixture.h"
#include "toolkit/qk2ctl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

namespace
{

const COLORREF kBack = RGB(0, 64, 0);  // code 2 paints the client area
const COLORREF kOff = RGB(0, 0, 200);  // an item whose value is 0
const COLORREF kOn = RGB(240, 200, 0); // an item whose value is not 0
const float kNaN = std::numeric_limits<float>::quiet_NaN();

// One callback as the grid made it.
struct Call {
    int32_t code;   // 1-4
    bool byItem;    // to the item's callback, not the record's
    int32_t itemId; // context fields at the call
    uint32_t itemIndex;
    RECT rect;   // left, top, right, bottom
    float value; // *value, or NaN without one
    int mapMode; // of the dc for codes 2 and 3
};

// What a test's callbacks record and do.
struct GridLog {
    std::vector<Call> calls;
    int32_t createAnswer = 1;                    // the answer to code 1
    void (*onChanged)(VgridContext *) = nullptr; // run by the item callback at code 4
    int count(int32_t code, bool byItem) const
    {
        int n = 0;
        for (const Call &c : calls)
            n += c.code == code && c.byItem == byItem;
        return n;
    }
};

void fill(HDC dc, const RECT &rc, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rc, brush);
    DeleteObject(brush);
}

int32_t log_call(VgridContext *c, int32_t code, bool byItem)
{
    GridLog *log = reinterpret_cast<GridLog *>((uintptr_t)c->userValue);
    Call call = {code,
                 byItem,
                 c->itemId,
                 c->itemIndex,
                 {c->left, c->top, c->right, c->bottom},
                 c->value != nullptr ? *c->value : kNaN,
                 (code == 2 || code == 3) && c->dc != nullptr ? GetMapMode(c->dc) : 0};
    log->calls.push_back(call);
    if (code == VGRID_CODE_CREATE)
        return log->createAnswer;
    if (code == VGRID_CODE_PAINT)
        fill(c->dc, call.rect, kBack);
    if (code == VGRID_CODE_DRAW)
        fill(c->dc, call.rect, *c->value != 0.0f ? kOn : kOff);
    if (code == VGRID_CODE_CHANGED && log->onChanged != nullptr)
        log->onChanged(c);
    return 1;
}

int32_t record_callback(VgridContext *c, int32_t code) { return log_call(c, code, false); }
int32_t item_callback(VgridContext *c, int32_t code) { return log_call(c, code, true); }

VgridItem cell(int32_t id, uint32_t type, int32_t left, int32_t top, int32_t right, int32_t bottom,
               float value = 0.0f, float minimum = 0.0f, float maximum = 100.0f,
               float leftStep = 1.0f, float rightStep = 0.1f)
{
    VgridItem item = {id,      type,    left,     top,       right, bottom,       value,
                      minimum, maximum, leftStep, rightStep, 0,     item_callback};
    return item;
}

const WPARAM kCtrlLeft = MK_LBUTTON | MK_CONTROL;
const WPARAM kCtrlRight = MK_RBUTTON | MK_CONTROL;

class VgridTest : public ToolkitHostTest<320, 240>
{
  protected:
    // A 200 x 150 grid at (10, 10) over a logical surface of lw x lh.
    HWND make(DWORD style = WS_HSCROLL | WS_VSCROLL, int32_t lw = 1000, int32_t lh = 800)
    {
        HWND grid = ctl_create_vgrid(host, 5, 10, 10, 200, 150, style, lw, lh, record_callback,
                                     (uint32_t)(uintptr_t)&log);
        harness_pump();
        return grid;
    }
    VgridView *view(HWND grid) { return ctl_vgrid_record(grid)->context.view; }
    float zoom(HWND grid) { return ctl_vgrid_record(grid)->zoom; }
    float value(HWND grid, uint32_t index) { return ctl_vgrid_item(grid, index)->value; }
    void mouse(HWND grid, UINT message, int x, int y, WPARAM keys)
    {
        harness_post_mouse(grid, message, x, y, keys);
        harness_pump();
    }
    void ctrl_click(HWND grid, int x, int y, bool right)
    {
        mouse(grid, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, x, y, right ? kCtrlRight : kCtrlLeft);
        mouse(grid, right ? WM_RBUTTONUP : WM_LBUTTONUP, x, y, MK_CONTROL);
    }
    // A drag with the left (or right) button from (x, y) through each point
    // of path, released at its last point.
    void drag(HWND grid, int x, int y, std::vector<POINT> path, bool right = false)
    {
        mouse(grid, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, x, y, right ? MK_RBUTTON : MK_LBUTTON);
        for (POINT p : path)
            mouse(grid, WM_MOUSEMOVE, p.x, p.y, right ? MK_RBUTTON : MK_LBUTTON);
        POINT end = path.empty() ? POINT{x, y} : path.back();
        mouse(grid, right ? WM_RBUTTONUP : WM_LBUTTONUP, end.x, end.y, 0);
    }
    void scroll(HWND grid, UINT message, int code, int position = 0)
    {
        SendMessageA(grid, message, MAKEWPARAM(code, position), 0);
    }
    // Pixels of column x, rows 35 to 44, that differ from the background.
    int frame_pixels(HWND grid, int x)
    {
        int n = 0;
        for (int y = 35; y < 45; ++y)
            n += harness_pixel(grid, x, y) != kBack;
        return n;
    }
    // True when the grid has no pending update region.
    bool valid(HWND grid)
    {
        RECT rc;
        return !GetUpdateRect(grid, &rc, FALSE);
    }
    GridLog log;
};

// ---------------------------------------------------------------------------
// Creation
// ---------------------------------------------------------------------------

TEST_F(VgridTest, CreationCopiesTheRecordAndAsksCode1Once)
{
    HWND grid = make();
    ASSERT_NE(grid, nullptr);
    VgridRecord *r = ctl_vgrid_record(grid);
    ASSERT_NE(r, nullptr);
    ASSERT_FALSE(log.calls.empty());
    EXPECT_EQ(log.calls[0].code, VGRID_CODE_CREATE);
    EXPECT_EQ(log.count(VGRID_CODE_CREATE, false), 1);
    EXPECT_EQ(r->context.window, grid);
    EXPECT_EQ(r->context.userValue, (uint32_t)(uintptr_t)&log);
    EXPECT_EQ(r->parent, host);
    EXPECT_EQ(r->zoom, 100.0f);
    EXPECT_EQ(r->zoomByClick, 1);
    EXPECT_EQ(r->panByDrag, 1);
    EXPECT_EQ(r->pressActive, 0);
    EXPECT_EQ(r->focused, 0);
    EXPECT_EQ(r->context.items.count, 0u);
    EXPECT_EQ(r->context.items.capacity, VGRID_BLOCK_BYTES);
    const VgridView *v = r->context.view;
    EXPECT_EQ(v->window, grid);
    EXPECT_EQ(v->extentX, 1000);
    EXPECT_EQ(v->extentY, 800);
    EXPECT_EQ(v->zoomPercent, 100.0f);
    EXPECT_EQ(v->unitsPerPixel, 1.0f);
    EXPECT_EQ(v->lineStepX, 4);
    int low = -1, high = -1;
    GetScrollRange(grid, SB_HORZ, &low, &high);
    EXPECT_EQ(high, 1000);
    GetScrollRange(grid, SB_VERT, &low, &high);
    EXPECT_EQ(high, 800);
    EXPECT_EQ(ctl_vgrid_record(host), nullptr) << "not a grid";
}

TEST_F(VgridTest, BadSizesAndARefusalFailTheCreation)
{
    const int32_t sizes[][2] = {
        {0, 100}, {100, 0}, {-5, 100}, {100, -1}, {VGRID_MAX_LOGICAL + 1, 10}};
    for (const auto &size : sizes) {
        log = GridLog();
        EXPECT_EQ(make(0, size[0], size[1]), nullptr) << size[0] << " x " << size[1];
        EXPECT_TRUE(log.calls.empty()) << "no callback for a bad size";
    }
    EXPECT_NE(make(0, VGRID_MAX_LOGICAL, 1), nullptr);
    EXPECT_EQ(CreateWindowExA(0, CTL_CLASS_VGRID, nullptr, WS_CHILD, 0, 0, 10, 10, host, nullptr,
                              ctl_instance(), nullptr),
              nullptr)
        << "no record";
    log = GridLog();
    log.createAnswer = 0;
    EXPECT_EQ(make(), nullptr);
    ASSERT_EQ(log.calls.size(), 1u) << "code 1 only";
    EXPECT_NE(ctl_create_vgrid(host, 1, 0, 0, 50, 50, 0, 100, 100, nullptr, 0), nullptr)
        << "no callback draws nothing and refuses nothing";
}

// ---------------------------------------------------------------------------
// Callback codes and painting
// ---------------------------------------------------------------------------

TEST_F(VgridTest, APaintIsCode2ThenCode3ForEachVisibleItemInIndexOrder)
{
    HWND grid = make();
    VgridItem own = cell(11, 1, 10, 10, 30, 30, 5.0f);
    VgridItem plain = cell(12, 0, 40, 10, 60, 30, 0.0f);
    plain.itemCallback = nullptr;
    VgridItem hidden = cell(13, 1, 900, 700, 950, 750, 1.0f);
    ASSERT_EQ(ctl_vgrid_add(grid, &own), 1u);
    ASSERT_EQ(ctl_vgrid_add(grid, &plain), 2u);
    ASSERT_EQ(ctl_vgrid_add(grid, &hidden), 3u);
    log.calls.clear();
    RedrawWindow(grid, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_EQ(log.calls.size(), 3u);
    RECT client;
    GetClientRect(grid, &client);
    EXPECT_EQ(log.calls[0].code, 2);
    EXPECT_FALSE(log.calls[0].byItem);
    EXPECT_TRUE(EqualRect(&log.calls[0].rect, &client));
    EXPECT_EQ(log.calls[0].mapMode, MM_TEXT);
    EXPECT_EQ(log.calls[1].code, 3);
    EXPECT_TRUE(log.calls[1].byItem) << "the item's own callback";
    EXPECT_EQ(log.calls[1].itemId, 11);
    EXPECT_EQ(log.calls[1].itemIndex, 1u);
    EXPECT_EQ(log.calls[1].value, 5.0f);
    EXPECT_EQ(log.calls[1].mapMode, MM_ANISOTROPIC);
    RECT rect1 = {10, 10, 30, 30};
    EXPECT_TRUE(EqualRect(&log.calls[1].rect, &rect1));
    EXPECT_EQ(log.calls[2].code, 3);
    EXPECT_FALSE(log.calls[2].byItem) << "no callback of its own: the record's";
    EXPECT_EQ(log.calls[2].itemIndex, 2u);
    EXPECT_EQ(harness_pixel(grid, 20, 20), kOn);
    EXPECT_EQ(harness_pixel(grid, 50, 20), kOff);
    EXPECT_EQ(harness_pixel(grid, 100, 100), kBack);
}

TEST_F(VgridTest, APaintAmongManyItemsVisitsOnlyThoseThatMeetTheView)
{
    HWND grid = make(WS_HSCROLL | WS_VSCROLL, 20000, 20000);
    uint32_t n = 0;
    for (int row = 0; row < 200; ++row) {
        for (int col = 0; col < 100; ++col) {
            VgridItem item = cell(row * 100 + col, 1, col * 100, row * 100, col * 100 + 90,
                                  row * 100 + 90, 1.0f);
            ASSERT_EQ(ctl_vgrid_add(grid, &item), ++n);
        }
    }
    scroll(grid, WM_HSCROLL, SB_THUMBPOSITION, 5050);
    scroll(grid, WM_VSCROLL, SB_THUMBPOSITION, 9000);
    harness_pump();
    log.calls.clear();
    RedrawWindow(grid, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    RECT client;
    GetClientRect(grid, &client);
    VgridArea area = {5050, 9000, 5050 + client.right + 1, 9000 + client.bottom + 1};
    std::vector<uint32_t> expected;
    for (uint32_t i = 1; i <= n; ++i) {
        if (vgrid_item_meets(ctl_vgrid_item(grid, i), &area))
            expected.push_back(i);
    }
    std::vector<uint32_t> drawn;
    for (const Call &c : log.calls) {
        if (c.code == VGRID_CODE_DRAW)
            drawn.push_back(c.itemIndex);
    }
    EXPECT_EQ(drawn, expected);
    EXPECT_LT(drawn.size(), 20u);
}

// ---------------------------------------------------------------------------
// Zoom
// ---------------------------------------------------------------------------

TEST_F(VgridTest, CtrlClicksOnEmptyCanvasZoomWithinTheLimits)
{
    HWND grid = make();
    for (int i = 1; i <= 12; ++i) {
        ctrl_click(grid, 50, 50, true);
        EXPECT_EQ(zoom(grid), std::min(100.0f + 10 * i, 200.0f));
    }
    EXPECT_EQ(view(grid)->zoomPercent, 200.0f);
    EXPECT_EQ(view(grid)->extentX, 2000);
    scroll(grid, WM_VSCROLL, SB_THUMBPOSITION, 100);
    UpdateWindow(grid);
    ASSERT_TRUE(valid(grid));
    ctrl_click(grid, 50, 50, true);
    EXPECT_EQ(zoom(grid), 200.0f);
    EXPECT_EQ(view(grid)->scrollY, 200);
    EXPECT_TRUE(valid(grid)) << "at 200 % a Ctrl+right click changes nothing";

    ctl_vgrid_set_zoom(grid, 50.0f);
    UpdateWindow(grid);
    int offset = view(grid)->scrollY;
    ctrl_click(grid, 50, 50, false);
    EXPECT_EQ(zoom(grid), 50.0f);
    EXPECT_EQ(view(grid)->scrollY, offset);
    EXPECT_TRUE(valid(grid)) << "at 50 % a Ctrl+left click changes nothing";

    ctl_vgrid_record(grid)->zoomByClick = 0;
    ctrl_click(grid, 50, 50, true);
    EXPECT_EQ(zoom(grid), 50.0f) << "zoomByClick off";
}

// The scroll offset becomes zoomFactor x the logical point, truncated, and
// the point read back from the new offset is the old one, truncated.
TEST_F(VgridTest, ZoomingFrom100To90KeepsTheTopLeftLogicalPoint)
{
    HWND grid = make();
    const int points[] = {0, 1, 77, 100, 333, 799};
    for (int p : points) {
        SCOPED_TRACE(p);
        ctl_vgrid_set_zoom(grid, 100.0f);
        scroll(grid, WM_HSCROLL, SB_THUMBPOSITION, p);
        scroll(grid, WM_VSCROLL, SB_THUMBPOSITION, p / 2);
        ASSERT_EQ(view(grid)->scrollX, p);
        ctrl_click(grid, 5, 5, false);
        ASSERT_EQ(zoom(grid), 90.0f);
        const VgridView *v = view(grid);
        EXPECT_EQ(v->scrollX, (int)(0.9f * (float)p));
        EXPECT_EQ(v->scrollY, (int)(0.9f * (float)(p / 2)));
        int back = (int)((float)v->scrollX * v->unitsPerPixel);
        EXPECT_LE(p - back, 1);
        EXPECT_GE(p - back, 0);
        EXPECT_EQ(GetScrollPos(grid, SB_HORZ), back);
    }
    EXPECT_EQ(view(grid)->unitsPerPixel, 100.0f / 90.0f);
    EXPECT_EQ(view(grid)->zoomFactor, 90.0f * 0.01f);
    EXPECT_EQ(view(grid)->extentX, 900);
}

TEST_F(VgridTest, ZoomRequestsAreLimitedAndNaNIsRefused)
{
    HWND grid = make();
    const float asks[] = {
        30.0f, 0.0f, -100.0f, 500.0f, 1e30f, -std::numeric_limits<float>::infinity(), 125.0f};
    const float got[] = {50.0f, 50.0f, 50.0f, 200.0f, 200.0f, 50.0f, 125.0f};
    for (size_t i = 0; i < std::size(asks); ++i) {
        EXPECT_EQ(ctl_vgrid_set_zoom(grid, asks[i]), 1);
        EXPECT_EQ(zoom(grid), got[i]);
        EXPECT_EQ(view(grid)->zoomPercent, got[i]);
    }
    EXPECT_EQ(ctl_vgrid_set_zoom(grid, kNaN), 0);
    EXPECT_EQ(zoom(grid), 125.0f);
    EXPECT_EQ(ctl_vgrid_set_zoom(host, 100.0f), 0);
    ctl_vgrid_record(grid)->zoom = kNaN; // an application wrote nonsense
    ctrl_click(grid, 50, 50, true);
    EXPECT_EQ(zoom(grid), 135.0f);
}

TEST_F(VgridTest, ItemsScaleWithTheZoom)
{
    HWND grid = make();
    VgridItem item = cell(1, 1, 10, 10, 20, 20, 1.0f);
    ctl_vgrid_add(grid, &item);
    ctl_vgrid_set_zoom(grid, 200.0f);
    EXPECT_EQ(harness_pixel(grid, 25, 25), kOn);
    EXPECT_EQ(harness_pixel(grid, 38, 38), kOn);
    EXPECT_EQ(harness_pixel(grid, 42, 42), kBack);
}

// ---------------------------------------------------------------------------
// Scrolling
// ---------------------------------------------------------------------------

// Every request code and position leaves the offset within 0 and the
// extent; SB_BOTTOM and SB_RIGHT reach the extent at every zoom.
TEST_F(VgridTest, ScrollRequestsOfAnyCodeAndPositionStayInRange)
{
    HWND grid = make();
    RECT client;
    GetClientRect(grid, &client);
    const float zooms[] = {50.0f, 100.0f, 200.0f};
    const int codes[] = {SB_LINEUP,     SB_LINEDOWN, SB_PAGEUP, SB_PAGEDOWN,  SB_THUMBPOSITION,
                         SB_THUMBTRACK, SB_TOP,      SB_BOTTOM, SB_ENDSCROLL, 9,
                         100,           0xFFFF};
    const int positions[] = {0, 1, 500, 65535};
    for (float z : zooms) {
        ctl_vgrid_set_zoom(grid, z);
        for (UINT message : {WM_HSCROLL, WM_VSCROLL}) {
            bool h = message == WM_HSCROLL;
            const VgridView *v = view(grid);
            const int &offset = h ? v->scrollX : v->scrollY;
            int extent = h ? v->extentX : v->extentY;
            int page = h ? client.right : client.bottom;
            for (int code : codes) {
                for (int position : positions) {
                    SCOPED_TRACE(testing::Message() << z << " % " << (h ? "H" : "V") << " code "
                                                    << code << " at " << position);
                    scroll(grid, message, SB_TOP);
                    scroll(grid, message, SB_LINEDOWN); // start at 4
                    int before = offset;
                    scroll(grid, message, code, position);
                    int expected = before;
                    switch (code) {
                    case SB_LINEUP: expected = 0; break;
                    case SB_LINEDOWN: expected = 8; break;
                    case SB_PAGEUP: expected = 0; break;
                    case SB_PAGEDOWN: expected = 4 + page; break;
                    case SB_THUMBPOSITION:
                    case SB_THUMBTRACK:
                        expected = std::min((int)((float)position * v->zoomFactor), extent);
                        break;
                    case SB_TOP: expected = 0; break;
                    case SB_BOTTOM: expected = extent; break;
                    }
                    EXPECT_EQ(offset, expected);
                    EXPECT_EQ(GetScrollPos(grid, h ? SB_HORZ : SB_VERT),
                              (int)((float)offset * v->unitsPerPixel));
                }
            }
        }
    }
}

// Positions past 65535 travel as the bar's own 32-bit position.
TEST_F(VgridTest, ThumbPositionsPast16BitsScrollAllTheWay)
{
    HWND grid = make(WS_HSCROLL | WS_VSCROLL, 200000, 100);
    SetScrollPos(grid, SB_HORZ, 150000, FALSE);
    scroll(grid, WM_HSCROLL, SB_THUMBPOSITION, 150000 & 0xFFFF);
    EXPECT_EQ(view(grid)->scrollX, 150000);
    scroll(grid, WM_HSCROLL, SB_THUMBTRACK, 1234);
    EXPECT_EQ(view(grid)->scrollX, 1234) << "a position of its own is taken as it comes";
}

TEST_F(VgridTest, ScrollingMovesThePixelsAndRepaintsTheStrip)
{
    HWND grid = make();
    VgridItem item = cell(1, 1, 40, 10, 60, 30, 1.0f);
    ctl_vgrid_add(grid, &item);
    UpdateWindow(grid);
    EXPECT_EQ(harness_pixel(grid, 50, 20), kOn);
    scroll(grid, WM_HSCROLL, SB_THUMBTRACK, 30);
    EXPECT_EQ(harness_pixel(grid, 20, 20), kOn);
    EXPECT_EQ(harness_pixel(grid, 50, 20), kBack);
}

// ---------------------------------------------------------------------------
// Panning
// ---------------------------------------------------------------------------

TEST_F(VgridTest, AClickOnAnItemsBorderHitsNothingAndPans)
{
    HWND grid = make();
    VgridItem item = cell(1, 1, 20, 20, 60, 60, 10.0f);
    ctl_vgrid_add(grid, &item);
    mouse(grid, WM_LBUTTONDOWN, 20, 40, MK_LBUTTON);
    EXPECT_EQ(ctl_vgrid_record(grid)->pressActive, 0);
    EXPECT_EQ(view(grid)->panning, 1);
    EXPECT_EQ(GetCapture(), grid);
    mouse(grid, WM_MOUSEMOVE, 10, 30, MK_LBUTTON);
    EXPECT_EQ(view(grid)->scrollX, 10) << "dragging left shows what lies to the right";
    EXPECT_EQ(view(grid)->scrollY, 10);
    mouse(grid, WM_LBUTTONUP, 10, 30, 0);
    EXPECT_EQ(view(grid)->panning, 0);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(value(grid, 1), 10.0f);

    for (POINT border :
         {POINT{60 - 10, 40 - 10}, POINT{40 - 10, 20 - 10}, POINT{40 - 10, 60 - 10}}) {
        mouse(grid, WM_RBUTTONDOWN, border.x, border.y, MK_RBUTTON);
        EXPECT_EQ(view(grid)->panning, 1) << border.x << "," << border.y;
        mouse(grid, WM_RBUTTONUP, border.x, border.y, 0);
    }
    mouse(grid, WM_LBUTTONDOWN, 21 - 10, 40 - 10, MK_LBUTTON);
    EXPECT_EQ(ctl_vgrid_record(grid)->pressActive, 1) << "one unit inside";
    mouse(grid, WM_LBUTTONUP, 21 - 10, 40 - 10, 0);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(VgridTest, PanningFollowsThePointerPixelForPixelAtAnyZoom)
{
    HWND grid = make();
    ctl_vgrid_set_zoom(grid, 200.0f);
    scroll(grid, WM_HSCROLL, SB_THUMBPOSITION, 100); // 200 pixels
    mouse(grid, WM_LBUTTONDOWN, 100, 50, MK_LBUTTON);
    for (int step = 1; step <= 5; ++step) {
        mouse(grid, WM_MOUSEMOVE, 100 + step, 50, MK_LBUTTON);
        EXPECT_EQ(view(grid)->scrollX, 200 - step) << "one pixel at a time";
    }
    mouse(grid, WM_LBUTTONUP, 105, 50, 0);

    ctl_vgrid_set_zoom(grid, 50.0f);
    scroll(grid, WM_HSCROLL, SB_TOP);
    mouse(grid, WM_LBUTTONDOWN, 150, 50, MK_LBUTTON);
    for (int x = 140; x >= -1000; x -= 50)
        mouse(grid, WM_MOUSEMOVE, x, 50, MK_LBUTTON);
    mouse(grid, WM_LBUTTONUP, -1000, 50, 0);
    EXPECT_EQ(view(grid)->scrollX, view(grid)->extentX) << "the pan reaches the end at 50 %";
    EXPECT_EQ(GetScrollPos(grid, SB_HORZ), 1000);
}

TEST_F(VgridTest, WithoutScrollStylesTheViewStillPansAndZooms)
{
    HWND grid = make(0);
    ctrl_click(grid, 50, 50, true);
    EXPECT_EQ(zoom(grid), 110.0f);
    drag(grid, 100, 100, {{90, 80}, {60, 70}});
    EXPECT_EQ(view(grid)->scrollX, 40);
    EXPECT_EQ(view(grid)->scrollY, 30);
    ctrl_click(grid, 50, 50, false);
    EXPECT_EQ(zoom(grid), 100.0f);
    EXPECT_EQ(GetWindowLongA(grid, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), 0);
    ctl_vgrid_record(grid)->panByDrag = 0;
    mouse(grid, WM_LBUTTONDOWN, 100, 100, MK_LBUTTON);
    EXPECT_EQ(view(grid)->panning, 0) << "panByDrag off";
    EXPECT_EQ(GetCapture(), nullptr);
}

// ---------------------------------------------------------------------------
// Presses, drags and toggles
// ---------------------------------------------------------------------------

// A vertical drag of 10 pixels up through a stop at 4: linear types add
// 10 x step, type 4 multiplies by step to the power 10; clamped.
TEST_F(VgridTest, DragsChangeValuesLinearlyOrByAFactor)
{
    struct Row {
        const char *what;
        VgridItem item;
        bool right;
        int dy; // pixels down (negative: up)
        float expected;
    };
    const Row rows[] = {
        {"type 1 up", cell(1, 1, 20, 20, 60, 60, 0.5f, 0.0f, 100.0f, 1.5f), false, -10, 15.5f},
        {"type 1 up, clamped", cell(1, 1, 20, 20, 60, 60, 95.0f, 0.0f, 100.0f, 1.5f), false, -10,
         100.0f},
        {"type 1 down", cell(1, 1, 20, 20, 60, 60, 20.0f, 0.0f, 100.0f, 1.5f), false, 10, 5.0f},
        {"type 1 down, clamped", cell(1, 1, 20, 20, 60, 60, 2.0f, 0.0f, 100.0f, 1.5f), false, 10,
         0.0f},
        {"type 1 right button", cell(1, 1, 20, 20, 60, 60, 0.5f, 0.0f, 100.0f, 1.5f, 0.25f), true,
         -10, 3.0f},
        {"type 2 up", cell(1, 2, 20, 20, 60, 60, 1.0f, 0.0f, 100.0f, 0.5f), false, -10, 6.0f},
        {"type 4 up", cell(1, 4, 20, 20, 60, 60, 1.0f, 0.01f, 100.0f, 1.1f), false, -10,
         std::pow(1.1f, 10.0f)},
        {"type 4 down", cell(1, 4, 20, 20, 60, 60, 2.0f, 0.01f, 100.0f, 1.1f), false, 10,
         2.0f * std::pow(1.1f, -10.0f)},
        {"type 4 clamped", cell(1, 4, 20, 20, 60, 60, 50.0f, 0.01f, 100.0f, 1.1f), false, -10,
         100.0f},
        {"type 4 right", cell(1, 4, 20, 20, 60, 60, 1.0f, 1e-4f, 100.0f, 1.1f, 0.5f), true, -10,
         std::pow(0.5f, 10.0f)},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        log = GridLog();
        HWND grid = make();
        ASSERT_EQ(ctl_vgrid_add(grid, &row.item), 1u);
        log.calls.clear();
        drag(grid, 40, 40, {{41, 40 + row.dy * 4 / 10}, {45, 40 + row.dy}}, row.right);
        EXPECT_NEAR(value(grid, 1), row.expected, std::fabs(row.expected) * 1e-5f);
        EXPECT_EQ(log.count(VGRID_CODE_CHANGED, true), 2) << "one code 4 per move";
        EXPECT_EQ(log.count(VGRID_CODE_CHANGED, false), 0) << "never the record's";
        EXPECT_EQ(ctl_vgrid_record(grid)->pressActive, 0);
        EXPECT_EQ(ctl_vgrid_record(grid)->pressButton, row.right ? 0 : 1);
        EXPECT_EQ(GetCapture(), nullptr);
        DestroyWindow(grid);
    }
}

// Each code 4 comes before the redraw that shows the new value.
TEST_F(VgridTest, AChangeIsReportedThenTheItemAloneIsRedrawn)
{
    HWND grid = make();
    VgridItem item = cell(7, 1, 20, 20, 60, 60, 10.0f);
    item.user = 99;
    ctl_vgrid_add(grid, &item);
    UpdateWindow(grid);
    log.calls.clear();
    drag(grid, 40, 40, {{40, 35}});
    ASSERT_EQ(log.calls.size(), 2u);
    EXPECT_EQ(log.calls[0].code, 4);
    EXPECT_EQ(log.calls[0].itemId, 7);
    EXPECT_EQ(log.calls[0].value, 15.0f);
    EXPECT_EQ(log.calls[1].code, 3);
    EXPECT_EQ(log.calls[1].mapMode, MM_ANISOTROPIC);
    EXPECT_EQ(ctl_vgrid_record(grid)->context.itemId, 7);
    EXPECT_EQ(ctl_vgrid_record(grid)->context.itemUser, 99u);
}

TEST_F(VgridTest, APressedItemShowsTwoFramesThatGoAtTheRelease)
{
    HWND grid = make();
    VgridItem item = cell(1, 1, 30, 30, 60, 60, 1.0f);
    ctl_vgrid_add(grid, &item);
    UpdateWindow(grid);
    // The frames' left edges: columns 28 and 26 (dotted), beside the item.
    EXPECT_EQ(frame_pixels(grid, 28) + frame_pixels(grid, 26), 0);
    mouse(grid, WM_LBUTTONDOWN, 45, 45, MK_LBUTTON);
    EXPECT_GE(frame_pixels(grid, 28), 4) << "inner frame";
    EXPECT_GE(frame_pixels(grid, 26), 4) << "outer frame";
    mouse(grid, WM_LBUTTONUP, 45, 45, 0);
    EXPECT_EQ(frame_pixels(grid, 28) + frame_pixels(grid, 26), 0);
}

TEST_F(VgridTest, TogglesFlipWhenReleasedOnThemselves)
{
    struct Row {
        float before;
        POINT release;
        float after;
    };
    const Row rows[] = {
        {0.0f, {40, 40}, 1.0f}, {1.0f, {40, 40}, 0.0f},
        {0.5f, {40, 40}, 1.0f}, {1.0f, {80, 40}, 1.0f}, // released outside: kept
        {0.0f, {60, 40}, 0.0f},                         // on the border is outside
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message() << row.before << " at " << row.release.x);
        log = GridLog();
        HWND grid = make();
        VgridItem toggle = cell(1, 3, 20, 20, 60, 60, row.before, 0.0f, 1.0f);
        ctl_vgrid_add(grid, &toggle);
        drag(grid, 40, 40, {{40, 30}, row.release});
        EXPECT_EQ(value(grid, 1), row.after) << "a drag leaves a toggle alone";
        EXPECT_EQ(log.count(VGRID_CODE_CHANGED, true), row.after != row.before ? 1 : 0);
        DestroyWindow(grid);
    }
}

TEST_F(VgridTest, NaNStepsAndAType4AtZero)
{
    HWND grid = make();
    VgridItem bad = cell(1, 1, 20, 20, 60, 60, 1.0f);
    bad.leftStep = kNaN;
    EXPECT_EQ(ctl_vgrid_add(grid, &bad), 0u) << "refused when added";
    VgridItem linear = cell(1, 1, 20, 20, 60, 60, 1.0f);
    VgridItem product = cell(2, 4, 70, 20, 110, 60, 1.0f, 0.01f, 10.0f, 2.0f);
    ctl_vgrid_add(grid, &linear);
    ctl_vgrid_add(grid, &product);
    ctl_vgrid_item(grid, 1)->leftStep = kNaN; // written later through the item
    log.calls.clear();
    drag(grid, 40, 40, {{40, 30}});
    EXPECT_EQ(value(grid, 1), 1.0f);
    EXPECT_EQ(log.count(VGRID_CODE_CHANGED, true), 0) << "a NaN value is never set";

    ctl_vgrid_item(grid, 2)->value = 0.0f;
    drag(grid, 90, 40, {{90, 37}});
    EXPECT_FLOAT_EQ(value(grid, 2), 0.01f * 8.0f) << "starts again from the minimum";
    ctl_vgrid_item(grid, 2)->value = 0.0f;
    ctl_vgrid_item(grid, 2)->minimum = 0.0f;
    drag(grid, 90, 40, {{90, 37}});
    EXPECT_EQ(value(grid, 2), 0.0f) << "nothing to multiply";
}

TEST_F(VgridTest, LosingTheCaptureEndsAPressWithoutAFlip)
{
    HWND grid = make();
    VgridItem toggle = cell(1, 3, 20, 20, 60, 60, 0.0f, 0.0f, 1.0f);
    ctl_vgrid_add(grid, &toggle);
    UpdateWindow(grid);
    mouse(grid, WM_LBUTTONDOWN, 40, 40, MK_LBUTTON);
    ASSERT_EQ(GetCapture(), grid);
    SetCapture(host);
    harness_pump();
    EXPECT_EQ(ctl_vgrid_record(grid)->pressActive, 0);
    EXPECT_EQ(frame_pixels(grid, 18) + frame_pixels(grid, 16), 0) << "frames gone";
    ReleaseCapture();
    mouse(grid, WM_LBUTTONUP, 40, 40, 0);
    EXPECT_EQ(value(grid, 1), 0.0f);
}

// ---------------------------------------------------------------------------
// Ctrl+click editing
// ---------------------------------------------------------------------------

// Drives the edit box from inside its loop: notes what it shows and where,
// then types `answer` and presses Return (or, with no answer, Escape).
struct EditScript {
    const char *answer = nullptr;
    std::string shown;
    POINT at = {};
    int opened = 0;
};
EditScript *g_edit = nullptr;

void CALLBACK edit_timer(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_edit == nullptr || g_openEditDialog == nullptr)
        return;
    HWND dialog = g_openEditDialog;
    HWND edit = GetDlgItem(dialog, 10);
    if (g_edit->opened++ != 0)
        return;
    char text[64] = "";
    GetWindowTextA(edit, text, sizeof text);
    g_edit->shown = text;
    RECT rc;
    GetWindowRect(dialog, &rc);
    g_edit->at = {rc.left, rc.top};
    if (g_edit->answer != nullptr) {
        SetWindowTextA(edit, g_edit->answer);
        harness_post_key(edit, VK_RETURN, true);
    } else {
        harness_post_key(edit, VK_ESCAPE, true);
    }
}

TEST_F(VgridTest, CtrlClickTypesAValueInTheEditBox)
{
    struct Row {
        const char *what;
        VgridItem item;
        const char *answer;
        const char *shown;
        float after;
        int changes;
    };
    const Row rows[] = {
        {"type 1", cell(1, 1, 20, 20, 60, 60, 0.5f), "42.5", "0.50000", 42.5f, 1},
        {"type 1, clamped", cell(1, 1, 20, 20, 60, 60, 0.5f), "250", "0.50000", 100.0f, 1},
        {"type 1, comma and text", cell(1, 1, 20, 20, 60, 60, 0.5f), "gain -3,25 dB", "0.50000",
         0.0f, 1},
        {"type 1, left empty", cell(1, 1, 20, 20, 60, 60, 0.5f), "", "0.50000", 0.5f, 0},
        {"type 1, cancelled", cell(1, 1, 20, 20, 60, 60, 0.5f), nullptr, "0.50000", 0.5f, 0},
        {"type 4", cell(1, 4, 20, 20, 60, 60, 2.0f, 0.01f, 4.0f), "0", "2.00000", 0.01f, 1},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        log = GridLog();
        HWND grid = make();
        ctl_vgrid_add(grid, &row.item);
        log.calls.clear();
        EditScript script;
        script.answer = row.answer;
        g_edit = &script;
        UINT_PTR timer = SetTimer(nullptr, 0, 10, edit_timer);
        mouse(grid, WM_LBUTTONDOWN, 40, 45, kCtrlLeft);
        KillTimer(nullptr, timer);
        g_edit = nullptr;
        mouse(grid, WM_LBUTTONUP, 40, 45, MK_CONTROL);
        EXPECT_GT(script.opened, 0);
        EXPECT_EQ(script.shown, row.shown);
        POINT expected = {40, 45};
        ClientToScreen(grid, &expected);
        EXPECT_EQ(script.at.x, expected.x);
        EXPECT_EQ(script.at.y, expected.y);
        EXPECT_FLOAT_EQ(value(grid, 1), row.after);
        EXPECT_EQ(log.count(VGRID_CODE_CHANGED, true), row.changes);
        EXPECT_EQ(zoom(grid), 100.0f) << "no zoom on an item";
        DestroyWindow(grid);
    }
}

// A type 2 item asks for its time in the time-entry dialog.
TEST_F(VgridTest, CtrlClickOnATimeOpensTheTimeDialog)
{
    HWND grid = make();
    VgridItem time = cell(1, 2, 20, 20, 60, 60, 1.25f);
    ctl_vgrid_add(grid, &time);
    log.calls.clear();
    for (const char *typed : {"2.5", (const char *)nullptr}) {
        TimeDialogAnswer answer = {};
        answer.seconds = typed;
        UINT_PTR timer = harness_time_dialog_arm(&answer);
        mouse(grid, WM_LBUTTONDOWN, 40, 45, kCtrlLeft);
        harness_time_dialog_disarm(timer);
        mouse(grid, WM_LBUTTONUP, 40, 45, MK_CONTROL);
        EXPECT_EQ(answer.opened, 1);
        EXPECT_STREQ(answer.shown, typed != nullptr ? "1.250000" : "2.500000");
        EXPECT_FLOAT_EQ(value(grid, 1), 2.5f) << "set by the first, kept by the cancelled one";
        EXPECT_EQ(log.count(VGRID_CODE_CHANGED, true), 1);
    }
    EXPECT_EQ(g_openTimeDialog, nullptr);
}

TEST_F(VgridTest, CtrlClickOnAToggleOrWithCtrlRightOpensNothing)
{
    HWND grid = make();
    VgridItem toggle = cell(1, 3, 20, 20, 60, 60, 0.0f, 0.0f, 1.0f);
    VgridItem linear = cell(2, 1, 70, 20, 110, 60, 3.0f);
    ctl_vgrid_add(grid, &toggle);
    ctl_vgrid_add(grid, &linear);
    EditScript script;
    g_edit = &script;
    UINT_PTR timer = SetTimer(nullptr, 0, 10, edit_timer);
    ctrl_click(grid, 40, 40, false);
    ctrl_click(grid, 90, 40, true);
    harness_pump_for(50);
    KillTimer(nullptr, timer);
    g_edit = nullptr;
    EXPECT_EQ(script.opened, 0);
    EXPECT_EQ(value(grid, 1), 0.0f);
    EXPECT_EQ(zoom(grid), 100.0f);
}

// ---------------------------------------------------------------------------
// The outline drag
// ---------------------------------------------------------------------------

struct Drop {
    int calls = 0;
    uint32_t flags = 0;
    int32_t left = 0, top = 0;
};

void note_drop(uint32_t flags, int32_t left, int32_t top, void *user)
{
    Drop *drop = static_cast<Drop *>(user);
    ++drop->calls;
    drop->flags = flags;
    drop->left = left;
    drop->top = top;
}

TEST_F(VgridTest, AnOutlineIsDrawnAtOnceFollowsAndLeavesNothingBehind)
{
    HWND grid = make();
    UpdateWindow(grid);
    Drop drop;
    ASSERT_EQ(ctl_vgrid_outline_begin(grid, 20, 20, 60, 50, 30, 30, nullptr, note_drop, &drop), 1);
    EXPECT_EQ(GetCapture(), grid);
    EXPECT_NE(harness_pixel(grid, 20, 35), kBack) << "drawn at the start";
    EXPECT_EQ(ctl_vgrid_outline_begin(grid, 0, 0, 5, 5, 1, 1, nullptr, nullptr, nullptr), 0);
    mouse(grid, WM_MOUSEMOVE, 50, 40, MK_LBUTTON);
    EXPECT_EQ(harness_pixel(grid, 20, 35), kBack) << "the first move erases the first outline";
    EXPECT_NE(harness_pixel(grid, 40, 45), kBack) << "left edge of the moved outline";
    mouse(grid, WM_LBUTTONDOWN, 50, 40, MK_LBUTTON);
    EXPECT_EQ(ctl_vgrid_record(grid)->pressActive, 0) << "no press during the drag";
    mouse(grid, WM_LBUTTONUP, 50, 40, MK_SHIFT);
    EXPECT_EQ(drop.calls, 1);
    EXPECT_EQ(drop.flags, (uint32_t)MK_SHIFT);
    EXPECT_EQ(drop.left, 40);
    EXPECT_EQ(drop.top, 30);
    EXPECT_EQ(GetCapture(), nullptr);
    for (int x = 0; x < 100; x += 3) {
        for (int y = 0; y < 100; y += 3)
            ASSERT_EQ(harness_pixel(grid, x, y), kBack) << x << "," << y;
    }
}

// Past the right edge the view scrolls, the outline stays off the screen
// until the next move, and the drop is where the pointer holds it.
TEST_F(VgridTest, AnOutlineDraggedOutScrollsTheViewAndDropsUnderThePointer)
{
    HWND grid = make();
    RECT client;
    GetClientRect(grid, &client);
    Drop drop;
    ctl_vgrid_outline_begin(grid, 20, 20, 60, 50, 30, 30, nullptr, note_drop, &drop);
    int x = client.right - 5; // the outline's right edge passes the view's
    mouse(grid, WM_MOUSEMOVE, x, 30, MK_LBUTTON);
    const VgridView *v = view(grid);
    EXPECT_GT(v->scrollX, 0);
    EXPECT_EQ(v->outlineHidden, 1);
    int pointer = x + v->scrollX; // logical at 100 %
    EXPECT_EQ(v->outlineLeft, pointer - 10) << "still under the pointer";
    mouse(grid, WM_LBUTTONUP, x, 30, 0);
    EXPECT_EQ(drop.left, pointer - 10);
    EXPECT_EQ(drop.top, 20);
}

TEST_F(VgridTest, LosingTheCaptureEndsAnOutlineDragWithFlags0)
{
    HWND grid = make();
    Drop drop;
    ctl_vgrid_outline_begin(grid, 20, 20, 60, 50, 30, 30, nullptr, note_drop, &drop);
    SetCapture(host);
    harness_pump();
    ReleaseCapture();
    EXPECT_EQ(drop.calls, 1);
    EXPECT_EQ(drop.flags, 0u);
    EXPECT_EQ(view(grid)->outlineActive, 0);
}

// ---------------------------------------------------------------------------
// Adding, clearing, and callbacks that pull the rug
// ---------------------------------------------------------------------------

TEST_F(VgridTest, ItemsAddedPastTheFirstBlockKeepTheirValuesAndCallbacks)
{
    HWND grid = make(WS_HSCROLL | WS_VSCROLL, 1000, 1000);
    const uint32_t n = 600; // four blocks
    std::vector<VgridItem *> addresses;
    for (uint32_t i = 1; i <= n; ++i) {
        int32_t col = (int32_t)((i - 1) % 25), row = (int32_t)((i - 1) / 25);
        VgridItem item = cell((int32_t)i, 1, col * 40, row * 40, col * 40 + 30, row * 40 + 30,
                              (float)i, 0.0f, 10000.0f);
        ASSERT_EQ(ctl_vgrid_add(grid, &item), i);
        addresses.push_back(ctl_vgrid_item(grid, i));
    }
    EXPECT_EQ(ctl_vgrid_count(grid), n);
    EXPECT_EQ(ctl_vgrid_record(grid)->context.items.capacity, 4 * VGRID_BLOCK_BYTES);
    for (uint32_t i = 1; i <= n; ++i) {
        ASSERT_EQ(ctl_vgrid_item(grid, i), addresses[i - 1]) << "never moved";
        ASSERT_EQ(value(grid, i), (float)i);
    }
    // Item 580 (row 23, column 4) is in the fourth block: drag it.
    scroll(grid, WM_VSCROLL, SB_THUMBPOSITION, 23 * 40 - 10);
    scroll(grid, WM_HSCROLL, SB_THUMBPOSITION, 4 * 40 - 10);
    UpdateWindow(grid);
    log.calls.clear();
    drag(grid, 25, 25, {{25, 20}});
    EXPECT_EQ(value(grid, 580), 585.0f);
    ASSERT_EQ(log.count(VGRID_CODE_CHANGED, true), 1);
    ASSERT_EQ(log.calls[0].code, VGRID_CODE_CHANGED);
    EXPECT_EQ(log.calls[0].itemId, 580);
    EXPECT_EQ(ctl_vgrid_record(grid)->context.items.lastFetched, 580u);
}

TEST_F(VgridTest, AMillionItemsAreAddedAndStillPaintAndHit)
{
    HWND grid = make(WS_HSCROLL | WS_VSCROLL, 100000, 100000);
    VgridItem item = cell(0, 1, 0, 0, 1, 1, 1.0f);
    item.itemCallback = nullptr;
    for (uint32_t i = 1; i <= 1000000; ++i) {
        item.left = (int32_t)(i % 1000) * 100;
        item.top = (int32_t)(i / 1000) * 100;
        item.right = item.left + 90;
        item.bottom = item.top + 90;
        item.id = (int32_t)i;
        ASSERT_EQ(ctl_vgrid_add(grid, &item), i);
    }
    EXPECT_EQ(ctl_vgrid_count(grid), 1000000u);
    log.calls.clear();
    RedrawWindow(grid, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_GT(log.count(VGRID_CODE_DRAW, false), 0);
    EXPECT_LT(log.count(VGRID_CODE_DRAW, false), 10);
    mouse(grid, WM_LBUTTONDOWN, 150, 50, MK_LBUTTON); // item 1 at (100, 0)
    EXPECT_EQ(ctl_vgrid_record(grid)->pressedItem, ctl_vgrid_item(grid, 1));
    mouse(grid, WM_LBUTTONUP, 150, 50, 0);
    ctl_vgrid_clear(grid);
    EXPECT_EQ(ctl_vgrid_count(grid), 0u);
    EXPECT_EQ(ctl_vgrid_record(grid)->context.items.capacity, VGRID_BLOCK_BYTES)
        << "memory given back";
}

TEST_F(VgridTest, RefusedAddsAndTheSetValueOperation)
{
    HWND grid = make();
    VgridItem empty = cell(1, 1, 10, 10, 10, 20);
    VgridItem typeFive = cell(1, 5, 10, 10, 20, 20);
    VgridItem upsideDown = cell(1, 1, 10, 10, 20, 20, 0.5f, 2.0f, 1.0f);
    EXPECT_EQ(ctl_vgrid_add(grid, &empty), 0u);
    EXPECT_EQ(ctl_vgrid_add(grid, &typeFive), 0u);
    EXPECT_EQ(ctl_vgrid_add(grid, &upsideDown), 0u);
    EXPECT_EQ(ctl_vgrid_add(grid, nullptr), 0u);
    EXPECT_EQ(ctl_vgrid_add(host, &empty), 0u);
    EXPECT_EQ(ctl_vgrid_count(grid), 0u);
    VgridItem good = cell(1, 1, 10, 10, 20, 20, 5.0f);
    ASSERT_EQ(ctl_vgrid_add(grid, &good), 1u);
    log.calls.clear();
    EXPECT_EQ(ctl_vgrid_set_value(grid, 1, 250.0f), 1);
    EXPECT_EQ(value(grid, 1), 100.0f);
    EXPECT_EQ(ctl_vgrid_set_value(grid, 1, kNaN), 0);
    EXPECT_EQ(ctl_vgrid_set_value(grid, 2, 1.0f), 0);
    EXPECT_EQ(value(grid, 1), 100.0f);
    EXPECT_EQ(log.count(VGRID_CODE_CHANGED, true), 0) << "the application's own change";
    EXPECT_EQ(log.count(VGRID_CODE_DRAW, true), 1) << "redrawn at once";
}

TEST_F(VgridTest, ACallbackMayDestroyTheGridOrClearItsItems)
{
    struct Row {
        const char *what;
        void (*onChanged)(VgridContext *);
    };
    const Row rows[] = {
        {"destroy", [](VgridContext *c) { DestroyWindow(c->window); }},
        {"clear", [](VgridContext *c) { ctl_vgrid_clear(c->window); }},
        {"clear and add",
         [](VgridContext *c) {
             ctl_vgrid_clear(c->window);
             VgridItem other = cell(9, 1, 0, 0, 5, 5);
             other.itemCallback = nullptr;
             ctl_vgrid_add(c->window, &other);
         }},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        log = GridLog();
        HWND grid = make();
        VgridItem item = cell(1, 1, 20, 20, 60, 60, 10.0f);
        ctl_vgrid_add(grid, &item);
        log.onChanged = row.onChanged;
        UpdateWindow(grid);
        log.calls.clear();
        drag(grid, 40, 40, {{40, 35}, {40, 30}});
        EXPECT_EQ(log.count(VGRID_CODE_CHANGED, true), 1) << "the press ended with it";
        EXPECT_EQ(log.count(VGRID_CODE_DRAW, true), 0) << "no redraw of a removed item";
        EXPECT_EQ(GetCapture(), nullptr);
        if (IsWindow(grid)) {
            EXPECT_EQ(ctl_vgrid_record(grid)->pressActive, 0);
            DestroyWindow(grid);
        }
    }
}

TEST_F(VgridTest, FocusIsTakenOnAClickAndClosingDestroys)
{
    HWND grid = make();
    harness_input_click(grid, 50, 50);
    EXPECT_EQ(GetFocus(), grid);
    EXPECT_EQ(ctl_vgrid_record(grid)->focused, 1);
    SetFocus(host);
    EXPECT_EQ(ctl_vgrid_record(grid)->focused, 0);
    SendMessageA(grid, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(grid));
}

} // namespace
