// The drag helpers: where the mover puts the window and who holds the
// capture afterwards, how the dragger keeps its rectangle within bounds, and
// the outline that shows on every background and leaves nothing behind.
#include "tests/win/harness.h"
#include "tests/win/host_fixture.h"
#include "toolkit/qk2ctl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <numeric>
#include <vector>

namespace {

using DragTest = ToolkitHostTest<160, 120>;

// The pixels of area (client coordinates of window, screen coordinates for
// a null window), row by row: copied from the window's DC at once, then read.
std::vector<COLORREF> read_pixels(HWND window, RECT area)
{
    int w = area.right - area.left, h = area.bottom - area.top;
    HarnessCanvas canvas;
    if (!harness_canvas_make(&canvas, w, h, RGB(1, 2, 3)))
        return {};
    HDC dc = GetDC(window);
    BitBlt(canvas.dc, 0, 0, w, h, dc, area.left, area.top, SRCCOPY);
    ReleaseDC(window, dc);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            pixels.push_back(harness_canvas_pixel(&canvas, x, y));
    harness_canvas_free(&canvas);
    return pixels;
}

// The largest difference of one colour channel between a and b.
int channel_distance(COLORREF a, COLORREF b)
{
    return std::max({std::abs(GetRValue(a) - GetRValue(b)), std::abs(GetGValue(a) - GetGValue(b)),
                     std::abs(GetBValue(a) - GetBValue(b))});
}

TEST(DragOutline, ShowsOnEveryBackgroundAndLeavesNothingWhenDrawnAgain)
{
    static const COLORREF backgrounds[] = {
        RGB(255, 255, 255), RGB(230, 230, 230), RGB(0, 0, 0),
        RGB(53, 55, 59),                                          // the keypad's grey
        RGB(148, 179, 158),                                       // the LCD's green
        RGB(130, 130, 130), RGB(127, 127, 127),                   // mid greys
    };
    HarnessApp app;
    ASSERT_EQ(harness_toolkit_start(&app, "DragOutline"), 1);
    const RECT area = {0, 0, 120, 90}, box = {35, 25, 85, 65};
    for (COLORREF bg : backgrounds) {
        SCOPED_TRACE(testing::Message() << std::hex << bg);
        HWND host = harness_create_host(area.right, area.bottom, bg);
        const std::vector<COLORREF> before = read_pixels(host, area);
        RectDragger dragger;
        ctl_dragger_init(&dragger, host, 0, 0, area.right, area.bottom);
        ctl_dragger_begin(&dragger, 20, 20, 10, 10, 50, 40);
        ctl_dragger_move(&dragger, 45, 35); // the outline is box
        const std::vector<COLORREF> shown = read_pixels(host, area);
        int border = 0, unchanged = 0, plain = 0, elsewhere = 0;
        for (int y = 0; y < area.bottom; ++y)
            for (int x = 0; x < area.right; ++x) {
                size_t i = (size_t)(y * area.right + x);
                bool inX = x >= box.left && x < box.right, inY = y >= box.top && y < box.bottom;
                if ((inX && (y == box.top || y == box.bottom - 1)) ||
                    (inY && (x == box.left || x == box.right - 1))) {
                    ++border;
                    unchanged += shown[i] == before[i];
                    plain += channel_distance(shown[i], before[i]) >= 100;
                } else {
                    elsewhere += shown[i] != before[i];
                }
            }
        EXPECT_EQ(unchanged, 0) << "dashes and gaps both change";
        EXPECT_GE(plain * 5, border * 2) << "two in five border pixels change plainly";
        EXPECT_EQ(elsewhere, 0);
        ctl_dragger_move(&dragger, 60, 50); // erased there, drawn here
        ctl_dragger_end(&dragger);
        EXPECT_TRUE(read_pixels(host, area) == before) << "every pixel as it was";
        DestroyWindow(host);
    }
    harness_toolkit_stop(&app);
}

// ---------------------------------------------------------------------------
// Window mover
// ---------------------------------------------------------------------------

TEST_F(DragTest, TheMoversOutlineIsOnTheScreenUntilTheEnd)
{
    HWND popup = harness_create_host(60, 40, RGB(148, 179, 158), 300, 200);
    const RECT area = {280, 180, 420, 300}; // screen coordinates around the popup
    const std::vector<COLORREF> before = read_pixels(nullptr, area);
    WindowMover mover;
    ctl_mover_init(&mover, popup);
    ctl_mover_begin(&mover, 30, 20);
    ctl_mover_move(&mover, 40, 30); // a 61 x 41 frame at (310, 210) and its cross
    const std::vector<COLORREF> shown = read_pixels(nullptr, area);
    EXPECT_GT(std::inner_product(shown.begin(), shown.end(), before.begin(), 0, std::plus<>(),
                                 std::not_equal_to<>()),
              200);
    ctl_mover_move(&mover, 30, 20);
    ctl_mover_end(&mover, 30, 20);
    EXPECT_TRUE(read_pixels(nullptr, area) == before);
    DestroyWindow(popup);
}

struct MoverCase {
    const char *name; // what the user does
    POINT moves[2];   // pointer positions of the drag, client coordinates
    int moveCount;    // how many of them are used
    POINT release;    // where the button comes up
    int dx, dy;       // expected displacement of the window
};

TEST_F(DragTest, TheMoverPutsTheWindowAtTheLastOutlineAndGivesTheCaptureBack)
{
    static const MoverCase cases[] = {
        {"click without movement", {}, 0, {10, 10}, 0, 0},
        {"moved and back", {{40, 40}, {10, 10}}, 2, {10, 10}, 0, 0},
        {"released away from the last outline", {{30, 25}, {50, 60}}, 2, {90, 5}, 40, 50},
        {"left and up, outside the window", {{-15, -5}}, 1, {-15, -5}, -25, -15},
    };
    const UINT place = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
    HWND popup = harness_create_host(80, 60, RGB(200, 200, 200), 300, 200);
    for (const MoverCase &c : cases)
        for (HWND owner : {host, (HWND) nullptr}) {
            SCOPED_TRACE(testing::Message() << c.name << (owner ? ", host had the capture" : ""));
            SetWindowPos(popup, nullptr, 300, 200, 0, 0, place);
            ReleaseCapture();
            if (owner != nullptr)
                SetCapture(owner);
            WindowMover mover;
            ctl_mover_init(&mover, popup);
            ctl_mover_begin(&mover, 10, 10);
            EXPECT_EQ(ctl_drag_active(&mover), 1);
            EXPECT_EQ(GetCapture(), popup);
            EXPECT_EQ(mover.width, 81) << "window width + 1";
            for (int i = 0; i < c.moveCount; ++i)
                ctl_mover_move(&mover, c.moves[i].x, c.moves[i].y);
            ctl_mover_end(&mover, c.release.x, c.release.y);
            RECT rc;
            GetWindowRect(popup, &rc);
            EXPECT_EQ(rc.left, 300 + c.dx);
            EXPECT_EQ(rc.top, 200 + c.dy);
            EXPECT_EQ(rc.right - rc.left, 80);
            EXPECT_EQ(mover.left, rc.left);
            EXPECT_EQ(mover.top, rc.top);
            EXPECT_EQ(ctl_drag_active(&mover), 0);
            EXPECT_EQ(GetCapture(), owner);
        }
    // A second begin starts again but keeps the capture owner of the first.
    SetWindowPos(popup, nullptr, 300, 200, 0, 0, place);
    SetCapture(host);
    WindowMover mover;
    ctl_mover_init(&mover, popup);
    ctl_mover_begin(&mover, 10, 10);
    ctl_mover_move(&mover, 30, 30);
    ctl_mover_begin(&mover, 20, 20);
    ctl_mover_move(&mover, 25, 27);
    ctl_mover_end(&mover, 25, 27);
    RECT rc;
    GetWindowRect(popup, &rc);
    EXPECT_EQ(rc.left, 305);
    EXPECT_EQ(rc.top, 207);
    EXPECT_EQ(GetCapture(), host) << "not the popup itself";
    ReleaseCapture();
    DestroyWindow(popup);
}

// ---------------------------------------------------------------------------
// Rectangle dragger
// ---------------------------------------------------------------------------

struct DraggerCase {
    const char *name; // where the pointer goes
    RECT bounds;      // minLeft, minTop, maxRight, maxBottom
    bool moved;       // false: the drag ends without a move
    POINT pointer;    // the move's client point
    int left, top;    // where the rectangle ends
};

// The rectangle is 30 x 20 at (40, 30), grabbed at (45, 35).
TEST_F(DragTest, TheDraggerKeepsTheRectangleInsideWithTheUpperBoundsWinning)
{
    static const DraggerCase cases[] = {
        {"inside the bounds", {10, 10, 110, 90}, true, {55, 45}, 50, 40},
        {"beyond the right and bottom", {10, 10, 110, 90}, true, {200, 200}, 80, 70},
        {"beyond the left and top", {10, 10, 110, 90}, true, {-40, -40}, 10, 10},
        {"wider and higher than the bounds", {10, 10, 30, 25}, true, {0, 0}, 0, 5},
        {"no move", {10, 10, 110, 90}, false, {}, 40, 30},
    };
    for (const DraggerCase &c : cases) {
        SCOPED_TRACE(c.name);
        RectDragger dragger;
        ctl_dragger_init(&dragger, host, c.bounds.left, c.bounds.top, c.bounds.right,
                         c.bounds.bottom);
        ctl_dragger_begin(&dragger, 45, 35, 40, 30, 30, 20);
        EXPECT_EQ(GetCapture(), host);
        COLORREF corner = harness_pixel(host, c.left + 1, c.top);
        if (c.moved) {
            ctl_dragger_move(&dragger, c.pointer.x, c.pointer.y);
            EXPECT_NE(harness_pixel(host, c.left + 1, c.top), corner) << "the outline is there";
        }
        ctl_dragger_end(&dragger);
        EXPECT_EQ(harness_pixel(host, c.left + 1, c.top), corner) << "and gone";
        EXPECT_EQ(dragger.left, c.left);
        EXPECT_EQ(dragger.top, c.top);
        EXPECT_EQ(ctl_drag_active(&dragger), 0);
        EXPECT_EQ(GetCapture(), nullptr);
    }
}

// A panel that ends its drag when it loses the capture, as callers do on
// WM_CAPTURECHANGED; the ends it made are counted in ends.
struct CapturePanel {
    RectDragger dragger; // the panel's drag
    int ends = 0;        // ends made from WM_CAPTURECHANGED
};

LRESULT capture_panel(HWND panel, UINT message, WPARAM wParam, LPARAM lParam, void *userData)
{
    CapturePanel *p = static_cast<CapturePanel *>(userData);
    if (message == WM_CAPTURECHANGED && ctl_drag_active(&p->dragger)) {
        ++p->ends;
        ctl_dragger_end(&p->dragger);
    }
    return DefWindowProcA(panel, message, wParam, lParam);
}

TEST_F(DragTest, AnEndFromWmCaptureChangedLeavesNoOutline)
{
    for (bool lost : {false, true}) {
        SCOPED_TRACE(lost ? "capture taken by another window" : "ended by the caller");
        CapturePanel p;
        HWND panel = ctl_create_free_panel(host, 1, 0, 0, 100, 80, capture_panel, &p);
        const std::vector<COLORREF> before = read_pixels(panel, {0, 0, 100, 80});
        ctl_dragger_init(&p.dragger, panel, 0, 0, 100, 80);
        ctl_dragger_begin(&p.dragger, 20, 20, 10, 10, 40, 30);
        ctl_dragger_move(&p.dragger, 30, 25);
        if (lost)
            SetCapture(host);
        else
            ctl_dragger_end(&p.dragger);
        EXPECT_EQ(p.ends, lost ? 1 : 0);
        EXPECT_EQ(p.dragger.left, 20);
        EXPECT_TRUE(read_pixels(panel, {0, 0, 100, 80}) == before);
        EXPECT_EQ(GetCapture(), lost ? host : nullptr) << "a capture taken over stays";
        ReleaseCapture();
        DestroyWindow(panel);
    }
}

TEST_F(DragTest, RecordsThatWereNeverBegunIgnoreEverything)
{
    SetCapture(host);
    WindowMover mover, zeroMover = {};
    RectDragger dragger, zeroDragger = {};
    ctl_mover_init(&mover, host);
    ctl_dragger_init(&dragger, host, 0, 0, 160, 120);
    const WindowMover moverBefore = mover;
    const RectDragger draggerBefore = dragger;
    RECT hostBefore, hostAfter;
    GetWindowRect(host, &hostBefore);
    ctl_mover_move(&mover, 50, 50);
    ctl_mover_end(&mover, 50, 50);
    ctl_dragger_move(&dragger, 50, 50);
    ctl_dragger_end(&dragger);
    ctl_mover_begin(&zeroMover, 5, 5); // no window: no drag either
    ctl_mover_end(&zeroMover, 50, 50);
    ctl_dragger_begin(&zeroDragger, 5, 5, 0, 0, 10, 10);
    ctl_dragger_end(&zeroDragger);
    EXPECT_EQ(std::memcmp(&mover, &moverBefore, sizeof mover), 0);
    EXPECT_EQ(std::memcmp(&dragger, &draggerBefore, sizeof dragger), 0);
    EXPECT_EQ(zeroMover.dragging + zeroMover.left + zeroDragger.dragging + zeroDragger.width, 0);
    GetWindowRect(host, &hostAfter);
    EXPECT_TRUE(EqualRect(&hostBefore, &hostAfter)) << "an end without begin moves nothing";
    EXPECT_EQ(GetCapture(), host) << "nor does it touch the capture";
    ReleaseCapture();
    ctl_mover_init(nullptr, host); // null records
    ctl_mover_begin(nullptr, 1, 1);
    ctl_mover_move(nullptr, 1, 1);
    ctl_mover_end(nullptr, 1, 1);
    ctl_dragger_init(nullptr, host, 0, 0, 1, 1);
    ctl_dragger_begin(nullptr, 1, 1, 0, 0, 1, 1);
    ctl_dragger_move(nullptr, 1, 1);
    ctl_dragger_end(nullptr);
    EXPECT_EQ(ctl_drag_active((const WindowMover *)nullptr), 0);
    EXPECT_EQ(ctl_drag_active((const RectDragger *)nullptr), 0);
}

} // namespace
