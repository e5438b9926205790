// The drag helpers: where the window mover puts the window and who holds the
// capture afterwards, how the rectangle dragger keeps its rectangle within
// bounds, and the outline that shows on every background and leaves nothing
// behind.
#include "tests/win/harness.h"
#include "tests/win/host_fixture.h"
#include "toolkit/qk2ctl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using DragTest = ToolkitHostTest<160, 120>;

// The pixels of area (client coordinates of window, or screen coordinates
// for a null window), row by row: copied from the window's DC into a canvas
// at once, then read with GetPixel.
std::vector<COLORREF> read_pixels(HWND window, RECT area)
{
    if (window != nullptr)
        UpdateWindow(window);
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

// 1 when (x, y) lies on the one-pixel border of box (right, bottom exclusive).
bool on_border(const RECT &box, int x, int y)
{
    bool inX = x >= box.left && x < box.right;
    bool inY = y >= box.top && y < box.bottom;
    return (inX && (y == box.top || y == box.bottom - 1)) ||
           (inY && (x == box.left || x == box.right - 1));
}

// ---------------------------------------------------------------------------
// The outline
// ---------------------------------------------------------------------------

struct Background {
    const char *name; // what it stands for
    COLORREF colour;  // the host's background
};

static const Background kBackgrounds[] = {
    {"white", RGB(255, 255, 255)},         {"light grey", RGB(0xE6, 0xE6, 0xE6)},
    {"black", RGB(0, 0, 0)},               {"keypad dark grey", RGB(53, 55, 59)},
    {"LCD green", RGB(148, 179, 158)},     {"mid grey", RGB(0x82, 0x82, 0x82)},
    {"grey just below half", RGB(127, 127, 127)},
};

TEST(DragOutline, ShowsOnEveryBackgroundAndLeavesNothingWhenDrawnAgain)
{
    HarnessApp app;
    ASSERT_EQ(harness_toolkit_start(&app, "DragOutline"), 1);
    const RECT area = {0, 0, 120, 90};
    for (const Background &bg : kBackgrounds) {
        SCOPED_TRACE(bg.name);
        HWND host = harness_create_host(area.right, area.bottom, bg.colour);
        ASSERT_NE(host, nullptr);
        const std::vector<COLORREF> before = read_pixels(host, area);
        ASSERT_EQ(before[0], bg.colour);

        RectDragger dragger;
        ctl_dragger_init(&dragger, host, 0, 0, area.right, area.bottom);
        ctl_dragger_begin(&dragger, 20, 20, 10, 10, 50, 40);
        ctl_dragger_move(&dragger, 45, 35); // outline at (35, 25), 50 x 40
        const RECT box = {35, 25, 85, 65};
        const std::vector<COLORREF> shown = read_pixels(host, area);
        int border = 0, unchanged = 0, strong = 0, elsewhere = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) {
                size_t i = (size_t)(y * area.right + x);
                if (!on_border(box, x, y)) {
                    elsewhere += shown[i] != before[i];
                    continue;
                }
                ++border;
                unchanged += shown[i] == before[i];
                strong += channel_distance(shown[i], before[i]) >= 100;
            }
        EXPECT_EQ(unchanged, 0) << "every border pixel changes, dashes and gaps";
        EXPECT_EQ(elsewhere, 0) << "only the border changes";
        EXPECT_GE(strong * 5, border * 2) << "at least two in five border pixels change plainly";

        ctl_dragger_move(&dragger, 60, 50); // erased there, drawn here
        ctl_dragger_end(&dragger);
        EXPECT_TRUE(read_pixels(host, area) == before) << "every pixel as it was";
        EXPECT_EQ(dragger.drawn, 0);
        DestroyWindow(host);
        harness_pump();
    }
    harness_toolkit_stop(&app);
}

// The mover's outline lives on the screen, over the window and around it.
TEST_F(DragTest, TheMoversOutlineLeavesTheScreenAsItWas)
{
    HWND popup = harness_create_host(60, 40, RGB(148, 179, 158), 300, 200);
    ASSERT_NE(popup, nullptr);
    const RECT area = {280, 180, 420, 300}; // screen coordinates around the popup
    const std::vector<COLORREF> before = read_pixels(nullptr, area);
    WindowMover mover;
    ctl_mover_init(&mover, popup);
    ctl_mover_begin(&mover, 30, 20);
    ctl_mover_move(&mover, 40, 30); // outline at screen (310, 210), 61 x 41
    const std::vector<COLORREF> shown = read_pixels(nullptr, area);
    size_t changed = 0;
    for (size_t i = 0; i < before.size(); ++i)
        changed += shown[i] != before[i];
    EXPECT_GT(changed, 150u) << "frame and cross";
    ctl_mover_move(&mover, 30, 20); // back where it started
    ctl_mover_end(&mover, 30, 20);
    EXPECT_TRUE(read_pixels(nullptr, area) == before);
    DestroyWindow(popup);
}

// ---------------------------------------------------------------------------
// Window mover
// ---------------------------------------------------------------------------

struct MoverCase {
    const char *name;         // what the user does
    POINT moves[3];           // pointer positions of the drag, client coordinates
    int moveCount;            // how many of them are used
    POINT release;            // where the button comes up
    int dx, dy;               // expected displacement of the window
};

static const MoverCase kMoverCases[] = {
    {"click without movement", {}, 0, {10, 10}, 0, 0},
    {"moved back to the start", {{40, 40}, {10, 10}}, 2, {10, 10}, 0, 0},
    {"right and down", {{30, 25}, {50, 60}}, 2, {50, 60}, 40, 50},
    {"released away from the last outline", {{30, 25}, {50, 60}}, 2, {90, 5}, 40, 50},
    {"left and up, beyond the client area", {{-15, -5}}, 1, {-15, -5}, -25, -15},
};

TEST_F(DragTest, TheMoverPutsTheWindowAtTheLastOutlineAndGivesTheCaptureBack)
{
    HWND popup = harness_create_host(80, 60, RGB(200, 200, 200), 300, 200);
    ASSERT_NE(popup, nullptr);
    for (const MoverCase &c : kMoverCases) {
        for (bool captured : {true, false}) {
            SCOPED_TRACE(testing::Message() << c.name << (captured ? ", host had the capture" : ""));
            SetWindowPos(popup, nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            ReleaseCapture();
            if (captured)
                SetCapture(host);
            WindowMover mover;
            ctl_mover_init(&mover, popup);
            ctl_mover_begin(&mover, 10, 10);
            EXPECT_EQ(ctl_drag_active(&mover), 1);
            EXPECT_EQ(GetCapture(), popup);
            EXPECT_EQ(mover.previousCapture, captured ? host : nullptr);
            EXPECT_EQ(mover.grabX, 10);
            EXPECT_EQ(mover.width, 81) << "window width + 1";
            for (int i = 0; i < c.moveCount; ++i)
                ctl_mover_move(&mover, c.moves[i].x, c.moves[i].y);
            EXPECT_EQ(mover.drawn, c.moveCount > 0 ? 1 : 0);
            ctl_mover_end(&mover, c.release.x, c.release.y);

            RECT rc;
            GetWindowRect(popup, &rc);
            EXPECT_EQ(rc.left, 300 + c.dx);
            EXPECT_EQ(rc.top, 200 + c.dy);
            EXPECT_EQ(rc.right - rc.left, 80) << "the size stays";
            EXPECT_EQ(mover.left, rc.left);
            EXPECT_EQ(mover.top, rc.top);
            EXPECT_EQ(ctl_drag_active(&mover), 0);
            EXPECT_EQ(mover.drawn, 0);
            EXPECT_EQ(GetCapture(), captured ? host : nullptr);
        }
    }
    ReleaseCapture();
    DestroyWindow(popup);
}

TEST_F(DragTest, ASecondBeginStartsAgainButKeepsTheFormerCaptureOwner)
{
    HWND popup = harness_create_host(80, 60, RGB(200, 200, 200), 300, 200);
    ASSERT_NE(popup, nullptr);
    SetCapture(host);
    WindowMover mover;
    ctl_mover_init(&mover, popup);
    ctl_mover_begin(&mover, 10, 10);
    ctl_mover_move(&mover, 30, 30);
    ctl_mover_begin(&mover, 20, 20); // the outline goes; the grab point is new
    EXPECT_EQ(mover.drawn, 0);
    EXPECT_EQ(mover.grabX, 20);
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
    const char *name;             // where the pointer goes
    RECT bounds;                  // minLeft, minTop, maxRight, maxBottom
    POINT pointer;                // the move's client point
    int left, top;                // where the rectangle ends
};

// The rectangle is 30 x 20 at (40, 30), grabbed at (45, 35).
static const DraggerCase kDraggerCases[] = {
    {"inside the bounds", {10, 10, 110, 90}, {55, 45}, 50, 40},
    {"beyond the right bound", {10, 10, 110, 90}, {200, 45}, 80, 40},
    {"beyond the bottom bound", {10, 10, 110, 90}, {55, 200}, 50, 70},
    {"beyond the left and top bounds", {10, 10, 110, 90}, {-40, -40}, 10, 10},
    {"exactly on the far corner", {10, 10, 110, 90}, {85, 75}, 80, 70},
    {"wider and higher than the bounds", {10, 10, 30, 25}, {0, 0}, 0, 5},
    {"wider than the bounds, far right", {10, 10, 30, 90}, {200, 45}, 0, 40},
};

TEST_F(DragTest, TheDraggerKeepsTheRectangleInsideWithTheUpperBoundsWinning)
{
    for (const DraggerCase &c : kDraggerCases) {
        SCOPED_TRACE(c.name);
        RectDragger dragger;
        ctl_dragger_init(&dragger, host, c.bounds.left, c.bounds.top, c.bounds.right,
                         c.bounds.bottom);
        ctl_dragger_begin(&dragger, 45, 35, 40, 30, 30, 20);
        EXPECT_EQ(GetCapture(), host);
        COLORREF corner = harness_pixel(host, c.left + 1, c.top);
        ctl_dragger_move(&dragger, c.pointer.x, c.pointer.y);
        EXPECT_EQ(dragger.currentLeft, c.left);
        EXPECT_EQ(dragger.currentTop, c.top);
        EXPECT_NE(harness_pixel(host, c.left + 1, c.top), corner) << "the outline is there";
        ctl_dragger_end(&dragger);
        EXPECT_EQ(harness_pixel(host, c.left + 1, c.top), corner) << "and gone again";
        EXPECT_EQ(dragger.left, c.left);
        EXPECT_EQ(dragger.top, c.top);
        EXPECT_EQ(ctl_drag_active(&dragger), 0);
        EXPECT_EQ(GetCapture(), nullptr);
    }
}

TEST_F(DragTest, EndingWithoutAMoveYieldsTheStart)
{
    RectDragger dragger;
    ctl_dragger_init(&dragger, host, 0, 0, 160, 120);
    ctl_dragger_begin(&dragger, 50, 50, 40, 30, 30, 20);
    EXPECT_EQ(ctl_drag_active(&dragger), 1);
    ctl_dragger_end(&dragger);
    EXPECT_EQ(dragger.left, 40);
    EXPECT_EQ(dragger.top, 30);
    EXPECT_EQ(dragger.drawn, 0);
    EXPECT_EQ(GetCapture(), nullptr);
}

// A caller that ends the drag when it loses the capture: the usual answer to
// WM_CAPTURECHANGED.
struct CaptureProbe {
    RectDragger dragger; // the panel's drag
    int ends = 0;        // WM_CAPTURECHANGED seen while dragging
};

LRESULT ending_panel(HWND panel, UINT message, WPARAM wParam, LPARAM lParam, void *userData)
{
    CaptureProbe *probe = static_cast<CaptureProbe *>(userData);
    if (message == WM_CAPTURECHANGED && ctl_drag_active(&probe->dragger)) {
        ++probe->ends;
        ctl_dragger_end(&probe->dragger);
        return 0;
    }
    if (message == WM_ERASEBKGND) {
        RECT rc;
        GetClientRect(panel, &rc);
        FillRect((HDC)wParam, &rc, ctl_brush(14));
        return 1;
    }
    return DefWindowProcA(panel, message, wParam, lParam);
}

TEST_F(DragTest, AnEndFromWmCaptureChangedLeavesNoOutline)
{
    for (bool lost : {false, true}) {
        SCOPED_TRACE(lost ? "capture taken by another window" : "ended by the caller");
        CaptureProbe probe;
        HWND panel = ctl_create_free_panel(host, 1, 0, 0, 100, 80, ending_panel, &probe);
        ASSERT_NE(panel, nullptr);
        const RECT area = {0, 0, 100, 80};
        const std::vector<COLORREF> before = read_pixels(panel, area);
        ctl_dragger_init(&probe.dragger, panel, 0, 0, 100, 80);
        ctl_dragger_begin(&probe.dragger, 20, 20, 10, 10, 40, 30);
        ctl_dragger_move(&probe.dragger, 30, 25);
        if (lost)
            SetCapture(host);
        else
            ctl_dragger_end(&probe.dragger);
        EXPECT_EQ(probe.ends, lost ? 1 : 0);
        EXPECT_EQ(ctl_drag_active(&probe.dragger), 0);
        EXPECT_EQ(probe.dragger.left, 20);
        EXPECT_EQ(probe.dragger.top, 15);
        EXPECT_TRUE(read_pixels(panel, area) == before);
        EXPECT_EQ(GetCapture(), lost ? host : nullptr) << "a capture taken over stays";
        ReleaseCapture();
        DestroyWindow(panel);
    }
}

// ---------------------------------------------------------------------------
// Records that were never begun
// ---------------------------------------------------------------------------

TEST_F(DragTest, RecordsThatWereNeverBegunIgnoreMovesAndEnds)
{
    SetCapture(host);
    WindowMover zeroMover = {};
    RectDragger zeroDragger = {};
    WindowMover mover;
    ctl_mover_init(&mover, host);
    RectDragger dragger;
    ctl_dragger_init(&dragger, host, 0, 0, 160, 120);
    const WindowMover moverBefore = mover;
    const RectDragger draggerBefore = dragger;
    RECT hostBefore;
    GetWindowRect(host, &hostBefore);

    ctl_mover_move(&mover, 50, 50);
    ctl_mover_end(&mover, 50, 50);
    ctl_dragger_move(&dragger, 50, 50);
    ctl_dragger_end(&dragger);
    ctl_mover_begin(&zeroMover, 5, 5); // no window: not even begun
    ctl_mover_move(&zeroMover, 50, 50);
    ctl_mover_end(&zeroMover, 50, 50);
    ctl_dragger_begin(&zeroDragger, 5, 5, 0, 0, 10, 10);
    ctl_dragger_move(&zeroDragger, 50, 50);
    ctl_dragger_end(&zeroDragger);

    EXPECT_EQ(std::memcmp(&mover, &moverBefore, sizeof mover), 0);
    EXPECT_EQ(std::memcmp(&dragger, &draggerBefore, sizeof dragger), 0);
    const WindowMover zeroM = {};
    const RectDragger zeroD = {};
    EXPECT_EQ(std::memcmp(&zeroMover, &zeroM, sizeof zeroM), 0);
    EXPECT_EQ(std::memcmp(&zeroDragger, &zeroD, sizeof zeroD), 0);
    RECT hostAfter;
    GetWindowRect(host, &hostAfter);
    EXPECT_TRUE(EqualRect(&hostBefore, &hostAfter)) << "an end without begin moves nothing";
    EXPECT_EQ(GetCapture(), host) << "nor does it touch the capture";
    ReleaseCapture();

    // Null records.
    ctl_mover_init(nullptr, host);
    ctl_mover_begin(nullptr, 1, 1);
    ctl_mover_move(nullptr, 1, 1);
    ctl_mover_end(nullptr, 1, 1);
    ctl_dragger_init(nullptr, host, 0, 0, 1, 1);
    ctl_dragger_begin(nullptr, 1, 1, 0, 0, 1, 1);
    ctl_dragger_move(nullptr, 1, 1);
    ctl_dragger_end(nullptr);
    EXPECT_EQ(ctl_drag_active(static_cast<const WindowMover *>(nullptr)), 0);
    EXPECT_EQ(ctl_drag_active(static_cast<const RectDragger *>(nullptr)), 0);
}

} // namespace
