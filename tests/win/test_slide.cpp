// The Slide fader through real messages: the track's ends, direct and
// relative drags with and without the capture, continuous notification,
// key and wheel directions, the value and menu commands, the edit box in
// decibels and plainly (driven from inside its loop), the context menu's
// texts and checks (read from inside its loop), and the pixels of the
// thumb, the backgrounds, the disabled look and the focus mark. Bad input:
// empty ranges and tracks, NaN and infinities, far pointers, too many
// presets, and the Slide destroyed while its edit box is open.
#include "tests/win/harness.h"
#include "tests/win/host_fixture.h"
#include "toolkit/qk2ctl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

const COLORREF kBack = RGB(0, 0, 200);      // background
const COLORREF kDragBack = RGB(0, 160, 0);  // dragging background
const COLORREF kOverlay = RGB(128, 0, 128); // disabled bitmap
const COLORREF kThumbPicture = RGB(250, 250, 0);

struct Notes {
    std::vector<float> values; // notified values in order
    uint32_t lastId = 0;       // wParam of the last one
};

int32_t record_note(void *userData, uint32_t wParam, int32_t lParam)
{
    Notes *notes = static_cast<Notes *>(userData);
    notes->values.push_back(ctl_as_float((uint32_t)lParam));
    notes->lastId = wParam;
    return 1;
}

// A disc of colour on black, as pictures drawn through a round mask are.
HBITMAP round_picture(int size, COLORREF colour)
{
    HBITMAP bitmap = harness_solid_bitmap(size, size, RGB(0, 0, 0));
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, bitmap);
    HBRUSH brush = CreateSolidBrush(colour);
    HGDIOBJ oldBrush = SelectObject(mem, brush);
    SelectObject(mem, GetStockObject(NULL_PEN));
    Ellipse(mem, 0, 0, size + 1, size + 1);
    SelectObject(mem, oldBrush);
    DeleteObject(brush);
    SelectObject(mem, old);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

SlideRecord *record_of(HWND slide) { return static_cast<SlideRecord *>(ctl_get_instance_data(slide)); }

class SlideTest : public ToolkitHostTest<320, 200> {
protected:
    void SetUp() override
    {
        ToolkitHostTest::SetUp();
        back = harness_solid_bitmap(320, 200, kBack);
        dragBack = harness_solid_bitmap(320, 200, kDragBack);
        overlay = harness_solid_bitmap(320, 200, kOverlay);
        thumbPicture = round_picture(20, kThumbPicture);
        g_sCapture = 1;
        g_sSetToPos = 0;
    }
    void TearDown() override
    {
        ToolkitHostTest::TearDown();
        DeleteObject(back);
        DeleteObject(dragBack);
        DeleteObject(overlay);
        DeleteObject(thumbPicture);
    }
    // A Slide 120 long and 20 across with margins 5 and 5 and a drawn
    // 10-pixel thumb (pen 0, brush 2): range 0-100, default 50, step 1. The
    // horizontal one counts movements as they are, the vertical one negates.
    SlideRecord record(bool horizontal = true)
    {
        SlideRecord r = {};
        r.width = horizontal ? 120 : 20;
        r.height = horizontal ? 20 : 120;
        r.background = back;
        r.draggingBackground = dragBack;
        r.minMargin = 5;
        r.maxMargin = 5;
        r.style = horizontal ? SLIDE_HORIZONTAL : 0;
        r.notify = {host, record_note, CTL_NOTIFY_CALLBACK, &notes};
        r.scale = {0.0f, 100.0f, 50.0f, 1.0f, 2, horizontal ? SLIDE_DELTAS_AS_IS : 0u, 0, 0, 0, 0, 0};
        r.thumbWidth = horizontal ? 10 : 20;
        r.thumbHeight = horizontal ? 20 : 10;
        r.thumbPen = 0;
        r.thumbBrush = 2;
        return r;
    }
    HWND make(const SlideRecord &r, int id = 7)
    {
        HWND slide = ctl_create_slide(host, id, 10, 10, &r);
        harness_pump();
        return slide;
    }
    float value(HWND slide) { return ctl_send_command(slide, CTL_CMD_GET, 0); }
    void set(HWND slide, float v) { SendMessageA(slide, WM_COMMAND, CTL_CMD_SET, ctl_float_bits(v)); }
    void command(HWND slide, int c) { SendMessageA(slide, WM_COMMAND, c, 0); }
    void mouse(HWND slide, UINT message, int x, int y, WPARAM keys)
    {
        harness_post_mouse(slide, message, x, y, keys);
        harness_pump();
    }
    void key(HWND slide, UINT vk)
    {
        harness_post_key(slide, vk, true);
        harness_pump();
        harness_post_key(slide, vk, false);
        harness_pump();
    }
    void wheel(HWND slide, int delta)
    {
        PostMessageA(slide, WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)(short)delta), MAKELPARAM(0, 0));
        harness_pump();
    }
    // The left edge of the drawn thumb of a horizontal Slide, found on the
    // middle row by its fill colour; -1 when there is none.
    int thumb_left(HWND slide, int width)
    {
        for (int x = 0; x < width; ++x)
            if (harness_pixel(slide, x, 10) == ctl_color(2))
                return x - 1; // the black outline is one pixel before the fill
        return -1;
    }

    HBITMAP back = nullptr, dragBack = nullptr, overlay = nullptr, thumbPicture = nullptr;
    Notes notes;
};

// ---------------------------------------------------------------------------
// The track
// ---------------------------------------------------------------------------

TEST_F(SlideTest, TrackEndsComeFromTheMarginsAndTheThumb)
{
    struct Row {
        bool horizontal;
        int length, minMargin, maxMargin, thumb;
        float start, end; // startPixel and endPixel
    };
    const Row rows[] = {
        {true, 120, 5, 5, 10, 5.0f, 105.0f},
        {true, 200, 0, 12, 20, 0.0f, 168.0f},
        {false, 120, 5, 5, 10, 105.0f, 5.0f},
        {false, 128, 4, 0, 20, 104.0f, 0.0f},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.length);
        SlideRecord r = record(row.horizontal);
        (row.horizontal ? r.width : r.height) = row.length;
        (row.horizontal ? r.thumbWidth : r.thumbHeight) = row.thumb;
        r.minMargin = (uint16_t)row.minMargin;
        r.maxMargin = (uint16_t)row.maxMargin;
        HWND slide = make(r);
        const SlideRecord *s = record_of(slide);
        EXPECT_EQ(s->scale.startAngle, row.start);
        EXPECT_EQ(s->scale.endAngle, row.end);
        EXPECT_FLOAT_EQ(s->scale.slope, (row.end - row.start) / 100.0f) << "pixels per unit";
        EXPECT_FLOAT_EQ(s->scale.unitsPerRadian, 100.0f / (row.end - row.start)) << "units per pixel";
        set(slide, 0.0f);
        EXPECT_EQ(s->thumbPos, row.start);
        set(slide, 100.0f);
        EXPECT_EQ(s->thumbPos, row.end);
        DestroyWindow(slide);
    }
}

TEST_F(SlideTest, TheEndsAreDrawnAtFiveAndOneHundredAndFive)
{
    HWND slide = make(record());
    set(slide, 0.0f);
    EXPECT_EQ(thumb_left(slide, 120), 5);
    EXPECT_EQ(harness_pixel(slide, 4, 10), kBack);
    EXPECT_EQ(harness_pixel(slide, 5, 10), ctl_color(0)) << "outline";
    set(slide, 100.0f);
    EXPECT_EQ(thumb_left(slide, 120), 105);
    EXPECT_EQ(harness_pixel(slide, 114, 10), ctl_color(0));
    EXPECT_EQ(harness_pixel(slide, 115, 10), kBack);
    set(slide, 37.5f);
    EXPECT_EQ(thumb_left(slide, 120), 42) << "truncated 42.5";
}

TEST_F(SlideTest, CreationSetsItsOwnFields)
{
    SlideRecord r = record();
    r.self = host;
    r.enabled = 0;
    r.focused = 1;
    r.dragging = 1;
    r.scale.current = 3.0f;
    r.presetCount = 40;
    HWND slide = make(r, 0x12345);
    const SlideRecord *s = record_of(slide);
    EXPECT_EQ(s->self, slide);
    EXPECT_EQ(s->parent, host);
    EXPECT_EQ(s->id, 0x2345u);
    EXPECT_EQ(s->enabled, 1);
    EXPECT_EQ(s->focused, 0);
    EXPECT_EQ(s->dragging, 0);
    EXPECT_EQ(s->scale.current, 50.0f) << "the default";
    EXPECT_EQ(s->thumbPos, 55.0f);
    EXPECT_EQ(s->presetCount, SLIDE_PRESETS) << "more than 16 counts as 16";
    EXPECT_NE(s->menu, nullptr);
    EXPECT_EQ(s->mask, nullptr) << "no round thumb";
    RECT rc;
    GetClientRect(slide, &rc);
    EXPECT_EQ(rc.right * 1000 + rc.bottom, 120 * 1000 + 20);
}

// Ranges and tracks without a usable slope stay finite and put the thumb at
// the track's start; direct positioning then gives the minimum.
TEST_F(SlideTest, EmptyRangesAndTracksStayFinite)
{
    struct Row {
        const char *what;
        float minimum, maximum;
        int width, thumb;
        uint32_t flags;
        float start, end;
    };
    const float inf = std::numeric_limits<float>::infinity();
    const Row rows[] = {
        {"minimum equal to maximum", 4.0f, 4.0f, 120, 10, SLIDE_DELTAS_AS_IS, 5.0f, 105.0f},
        {"track of zero length", 0.0f, 100.0f, 20, 10, SLIDE_DELTAS_AS_IS, 5.0f, 5.0f},
        {"margins and thumb larger than the control", 0.0f, 100.0f, 12, 40, SLIDE_DELTAS_AS_IS,
         5.0f, 5.0f}, // collapsed onto its start
        {"infinite range", -inf, inf, 120, 10, SLIDE_DELTAS_AS_IS, 5.0f, 105.0f},
        {"logarithmic from 0", 0.0f, 100.0f, 120, 10, SLIDE_DELTAS_AS_IS | LogScale, 5.0f, 105.0f},
        {"logarithmic across 0", -1.0f, 100.0f, 120, 10, SLIDE_DELTAS_AS_IS | LogScale, 5.0f,
         105.0f},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        g_sSetToPos = 1;
        SlideRecord r = record();
        r.scale.minimum = row.minimum;
        r.scale.maximum = row.maximum;
        r.scale.defaultValue = 4.0f;
        r.scale.flags = row.flags;
        r.width = row.width;
        r.thumbWidth = row.thumb;
        HWND slide = make(r);
        const SlideRecord *s = record_of(slide);
        EXPECT_EQ(s->scale.startAngle, row.start);
        EXPECT_EQ(s->scale.endAngle, row.end);
        EXPECT_EQ(s->scale.slope, 0.0f) << "flat";
        EXPECT_EQ(s->scale.unitsPerRadian, 0.0f);
        EXPECT_TRUE(std::isfinite(s->thumbPos));
        mouse(slide, WM_LBUTTONDOWN, 60, 10, MK_LBUTTON);
        mouse(slide, WM_MOUSEMOVE, 30000, 10, MK_LBUTTON);
        mouse(slide, WM_LBUTTONUP, -30000, 10, 0);
        EXPECT_TRUE(std::isfinite(s->thumbPos));
        EXPECT_EQ(s->thumbPos, row.start);
        ASSERT_EQ(notes.values.size(), 1u);
        EXPECT_EQ(notes.values[0], row.minimum) << "direct positioning on a flat track";
        key(slide, VK_RIGHT);
        wheel(slide, 120);
        EXPECT_TRUE(std::isfinite(s->thumbPos));
        notes = Notes();
        DestroyWindow(slide);
    }
}

TEST_F(SlideTest, ADefaultOutsideTheRangeStartsAtTheNearerEnd)
{
    SlideRecord r = record();
    r.scale.defaultValue = 250.0f;
    EXPECT_EQ(value(make(r)), 100.0f);
    r.scale.defaultValue = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(value(make(r)), 0.0f);
}

// ---------------------------------------------------------------------------
// Logarithmic scale: equal distances are equal ratios, steps multiply.
// ---------------------------------------------------------------------------

TEST_F(SlideTest, LogarithmicScalePutsEqualRatiosAtEqualDistances)
{
    SlideRecord r = record();
    r.width = 310;
    r.minMargin = 0;
    r.maxMargin = 0;
    r.scale = {20.0f, 20000.0f, 1000.0f, 2.0f, 0, SLIDE_DELTAS_AS_IS | LogScale, 0, 0, 0, 0, 0};
    HWND slide = make(r);
    const SlideRecord *s = record_of(slide);
    EXPECT_FLOAT_EQ(s->scale.slope, 300.0f / std::log(1000.0f)) << "pixels per unit of ln(value)";
    struct Row {
        float value;
        float pixel;
    };
    const Row rows[] = {{20.0f, 0.0f}, {200.0f, 100.0f}, {2000.0f, 200.0f}, {20000.0f, 300.0f}};
    for (const Row &row : rows) {
        set(slide, row.value);
        EXPECT_NEAR(s->thumbPos, row.pixel, 1e-3) << row.value;
    }
    g_sSetToPos = 1;
    mouse(slide, WM_LBUTTONDOWN, 100, 10, MK_LBUTTON);
    EXPECT_NEAR(value(slide), 200.0f, 1e-2) << "a third of the way: a decade up";
    mouse(slide, WM_MOUSEMOVE, 150, 10, MK_LBUTTON);
    EXPECT_NEAR(value(slide), 20.0f * std::pow(1000.0f, 0.5f), 1e-2);
    mouse(slide, WM_LBUTTONUP, 150, 10, 0);
    set(slide, 1000.0f);
    key(slide, VK_RIGHT);
    EXPECT_FLOAT_EQ(value(slide), 2000.0f) << "a step multiplies by step";
    key(slide, VK_DOWN);
    EXPECT_FLOAT_EQ(value(slide), 20.0f) << "ten steps down, held at the minimum";
}

// ---------------------------------------------------------------------------
// Dragging
// ---------------------------------------------------------------------------

TEST_F(SlideTest, DirectPositioningPutsTheLeadingEdgeAtThePointer)
{
    g_sSetToPos = 1;
    HWND slide = make(record());
    const SlideRecord *s = record_of(slide);
    mouse(slide, WM_LBUTTONDOWN, 40, 10, MK_LBUTTON);
    EXPECT_EQ(s->thumbPos, 40.0f);
    EXPECT_EQ(value(slide), 35.0f);
    EXPECT_EQ(thumb_left(slide, 120), 40);
    EXPECT_EQ(GetCapture(), slide);
    EXPECT_EQ(GetFocus(), slide);
    EXPECT_TRUE(notes.values.empty()) << "nothing before the release";
    mouse(slide, WM_MOUSEMOVE, 70, 3, MK_LBUTTON);
    EXPECT_EQ(thumb_left(slide, 120), 70);
    EXPECT_TRUE(notes.values.empty());
    mouse(slide, WM_LBUTTONUP, 70, 3, 0);
    EXPECT_EQ(notes.values, std::vector<float>{65.0f});
    EXPECT_EQ(notes.lastId, 7u);
    EXPECT_EQ(GetCapture(), nullptr);

    // vertical: the top edge goes to the pointer, the minimum at the bottom
    SlideRecord v = record(false);
    HWND vertical = make(v);
    mouse(vertical, WM_LBUTTONDOWN, 10, 25, MK_LBUTTON);
    EXPECT_EQ(record_of(vertical)->thumbPos, 25.0f);
    EXPECT_EQ(value(vertical), 80.0f);
    mouse(vertical, WM_LBUTTONUP, 10, 25, 0);
}

TEST_F(SlideTest, ContinuousNotificationComesAtEveryMove)
{
    g_sSetToPos = 1;
    SlideRecord r = record();
    r.notify.flags |= SLIDE_CONTINUOUS;
    HWND slide = make(r);
    mouse(slide, WM_LBUTTONDOWN, 40, 10, MK_LBUTTON);
    mouse(slide, WM_MOUSEMOVE, 50, 10, MK_LBUTTON);
    mouse(slide, WM_MOUSEMOVE, 50, 12, MK_LBUTTON); // no change: still notified in direct mode
    mouse(slide, WM_LBUTTONUP, 50, 12, 0);
    EXPECT_EQ(notes.values, (std::vector<float>{45.0f, 45.0f, 45.0f}));

    g_sSetToPos = 0; // relative: only the moves that change the value
    notes = Notes();
    mouse(slide, WM_LBUTTONDOWN, 50, 10, MK_LBUTTON);
    mouse(slide, WM_MOUSEMOVE, 53, 10, MK_LBUTTON);
    mouse(slide, WM_MOUSEMOVE, 53, 15, MK_LBUTTON);
    mouse(slide, WM_LBUTTONUP, 53, 15, 0);
    EXPECT_EQ(notes.values, (std::vector<float>{48.0f, 48.0f}));
}

TEST_F(SlideTest, RelativeDragMovesByStepPerPixelWhereverItStarts)
{
    HWND slide = make(record());
    const SlideRecord *s = record_of(slide);
    mouse(slide, WM_LBUTTONDOWN, 100, 10, MK_LBUTTON);
    EXPECT_EQ(value(slide), 50.0f) << "a press moves nothing";
    EXPECT_EQ(s->dragging, 1);
    EXPECT_EQ(harness_pixel(slide, 2, 10), kDragBack) << "the dragging background";
    mouse(slide, WM_MOUSEMOVE, 110, 10, MK_LBUTTON);
    EXPECT_EQ(value(slide), 60.0f);
    EXPECT_EQ(thumb_left(slide, 120), 65);
    mouse(slide, WM_MOUSEMOVE, 80, 2, MK_LBUTTON);
    EXPECT_EQ(value(slide), 30.0f);
    mouse(slide, WM_MOUSEMOVE, -30000, 2, MK_LBUTTON); // far outside, captured
    EXPECT_EQ(value(slide), 0.0f);
    EXPECT_EQ(s->thumbPos, 5.0f);
    mouse(slide, WM_LBUTTONUP, 500, 500, 0);
    EXPECT_EQ(notes.values, std::vector<float>{0.0f});
    EXPECT_EQ(s->dragging, 0);
    EXPECT_EQ(harness_pixel(slide, 2, 10), kBack);

    // vertical: moving up raises the value
    HWND vertical = make(record(false));
    mouse(vertical, WM_LBUTTONDOWN, 10, 60, MK_LBUTTON);
    mouse(vertical, WM_MOUSEMOVE, 10, 48, MK_LBUTTON);
    EXPECT_EQ(value(vertical), 62.0f);
    mouse(vertical, WM_MOUSEMOVE, 10, 30000, MK_LBUTTON);
    EXPECT_EQ(value(vertical), 0.0f);
    EXPECT_EQ(record_of(vertical)->thumbPos, 105.0f);
    mouse(vertical, WM_LBUTTONUP, 10, 0, 0);
}

TEST_F(SlideTest, UncapturedDragEndsOnLeavingAndResumesOnComingBack)
{
    g_sCapture = 0;
    HWND slide = make(record());
    const SlideRecord *s = record_of(slide);
    mouse(slide, WM_LBUTTONDOWN, 60, 10, MK_LBUTTON);
    mouse(slide, WM_MOUSEMOVE, 70, 10, MK_LBUTTON);
    mouse(slide, WM_MOUSEMOVE, 120, 10, MK_LBUTTON); // x = width: outside
    EXPECT_EQ(s->dragging, 0);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(notes.values, std::vector<float>{60.0f}) << "leaving notifies";
    EXPECT_EQ(s->lastX, 70) << "the point outside is not kept";
    mouse(slide, WM_MOUSEMOVE, 100, 10, MK_LBUTTON); // back with the button held
    EXPECT_EQ(s->dragging, 1);
    EXPECT_EQ(GetCapture(), slide);
    EXPECT_EQ(value(slide), 60.0f) << "resuming moves nothing by itself";
    mouse(slide, WM_MOUSEMOVE, 90, 10, MK_LBUTTON);
    EXPECT_EQ(value(slide), 50.0f);
    mouse(slide, WM_LBUTTONUP, 90, 10, 0);
    EXPECT_EQ(notes.values, (std::vector<float>{60.0f, 50.0f}));
    mouse(slide, WM_MOUSEMOVE, 20, 10, 0); // no button: no drag
    EXPECT_EQ(s->dragging, 0);

    g_sCapture = 1; // captured: leaving goes on
    mouse(slide, WM_LBUTTONDOWN, 60, 10, MK_LBUTTON);
    mouse(slide, WM_MOUSEMOVE, 200, 10, MK_LBUTTON);
    EXPECT_EQ(s->dragging, 1);
    EXPECT_EQ(value(slide), 100.0f);
    mouse(slide, WM_LBUTTONUP, 200, 10, 0);
}

TEST_F(SlideTest, ADragEndsWhenTheCaptureOrTheEnabledStateIsLost)
{
    HWND slide = make(record());
    const SlideRecord *s = record_of(slide);
    mouse(slide, WM_LBUTTONDOWN, 60, 10, MK_LBUTTON);
    mouse(slide, WM_MOUSEMOVE, 65, 10, MK_LBUTTON);
    SetCapture(host);
    harness_pump();
    EXPECT_EQ(s->dragging, 0);
    EXPECT_EQ(notes.values, std::vector<float>{55.0f});
    ReleaseCapture();
    mouse(slide, WM_LBUTTONDOWN, 60, 10, MK_LBUTTON);
    command(slide, CTL_CMD_DISABLE);
    EXPECT_EQ(s->dragging, 0);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(notes.values.size(), 2u);
    mouse(slide, WM_LBUTTONDOWN, 60, 10, MK_LBUTTON);
    EXPECT_EQ(s->dragging, 0) << "no drag while disabled";
    EXPECT_EQ(GetCapture(), nullptr);
}

// ---------------------------------------------------------------------------
// Keys and wheel
// ---------------------------------------------------------------------------

TEST_F(SlideTest, ArrowKeysAndWheelFollowTheDirectionRule)
{
    struct Row {
        const char *what;
        bool horizontal;
        uint32_t flags;
        bool reversed; // minimum 100, maximum 0
        float left, right, up, down, wheelUp, wheelDown2; // values after one press from 50
    };
    const Row rows[] = {
        {"horizontal", true, SLIDE_DELTAS_AS_IS, false, 49, 51, 60, 40, 45, 60},
        {"vertical", false, 0, false, 51, 49, 60, 40, 55, 40},
        {"horizontal style, negated deltas", true, 0, false, 51, 49, 40, 60, 55, 40},
        {"vertical style, deltas as is", false, SLIDE_DELTAS_AS_IS, false, 49, 51, 40, 60, 45, 60},
        {"horizontal, reversed range", true, SLIDE_DELTAS_AS_IS, true, 51, 49, 40, 60, 45, 60},
        {"vertical, reversed range", false, 0, true, 49, 51, 60, 40, 55, 40},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        SlideRecord r = record(row.horizontal);
        r.scale.flags = row.flags;
        if (row.reversed) {
            r.scale.minimum = 100.0f;
            r.scale.maximum = 0.0f;
        }
        HWND slide = make(r);
        const float expected[] = {row.left, row.right, row.up, row.down};
        const UINT keys[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN};
        for (int i = 0; i < 4; ++i) {
            set(slide, 50.0f);
            key(slide, keys[i]);
            EXPECT_EQ(value(slide), expected[i]) << "key " << keys[i];
        }
        set(slide, 50.0f);
        wheel(slide, 120);
        EXPECT_EQ(value(slide), row.wheelUp) << "one notch up";
        set(slide, 50.0f);
        wheel(slide, -240);
        EXPECT_EQ(value(slide), row.wheelDown2) << "two notches down";
        DestroyWindow(slide);
    }
}

TEST_F(SlideTest, WheelDeltasTruncateTowardZero)
{
    HWND slide = make(record(false));
    struct Row {
        int delta;
        float after;
    };
    const Row rows[] = {{23, 50}, {24, 51}, {-47, 49}, {60, 52}, {-600, 25}, {1200, 100}};
    for (const Row &row : rows) {
        set(slide, 50.0f);
        wheel(slide, row.delta);
        EXPECT_EQ(value(slide), row.after) << row.delta;
    }
}

TEST_F(SlideTest, KeyAndWheelStepsAreReported)
{
    HWND slide = make(record());
    const SlideRecord *s = record_of(slide);
    harness_post_key(slide, VK_RIGHT, true);
    harness_post_key(slide, VK_RIGHT, true); // auto-repeat
    harness_pump();
    EXPECT_TRUE(notes.values.empty()) << "not continuous: at the key-up";
    EXPECT_EQ(thumb_left(slide, 120), 57);
    harness_post_key(slide, VK_RIGHT, false);
    harness_pump();
    EXPECT_EQ(notes.values, std::vector<float>{52.0f});
    key(slide, VK_END); // other keys: nothing
    set(slide, 100.0f);
    key(slide, VK_RIGHT); // at the maximum: no change, nothing to report
    EXPECT_EQ(notes.values.size(), 1u);
    wheel(slide, -120);
    EXPECT_EQ(notes.values.size(), 1u) << "held at the maximum: no change";
    wheel(slide, 120);
    EXPECT_EQ(notes.values.back(), 95.0f) << "a notch is reported at once";
    EXPECT_EQ(thumb_left(slide, 120), 100);
    SetFocus(slide);
    harness_post_key(slide, VK_LEFT, true);
    harness_pump();
    SetFocus(host); // the key-up will go elsewhere: reported at the focus loss
    harness_pump();
    EXPECT_EQ(notes.values.back(), 94.0f);
    EXPECT_EQ(s->keyPending, 0);

    SlideRecord r = record();
    r.notify.flags |= SLIDE_CONTINUOUS;
    HWND continuous = make(r);
    notes = Notes();
    harness_post_key(continuous, VK_UP, true);
    harness_post_key(continuous, VK_UP, true);
    harness_pump();
    EXPECT_EQ(notes.values, (std::vector<float>{60.0f, 70.0f}));
    harness_post_key(continuous, VK_UP, false);
    harness_pump();
    EXPECT_EQ(notes.values.size(), 2u);
}

TEST_F(SlideTest, TabAndEscapeGoToTheParent)
{
    HWND slide = make(record());
    for (UINT vk : {VK_TAB, VK_ESCAPE}) {
        MSG msg;
        SendMessageA(slide, WM_KEYDOWN, vk, harness_key_lparam(vk, true));
        ASSERT_EQ(harness_take_message(host, WM_KEYDOWN, WM_KEYDOWN, &msg), 1) << vk;
        EXPECT_EQ(msg.wParam, vk);
        EXPECT_EQ(msg.lParam, harness_key_lparam(vk, true));
    }
}

// ---------------------------------------------------------------------------
// Commands
// ---------------------------------------------------------------------------

TEST_F(SlideTest, ValueCommandsSetOnlyValuesInTheRangeAndNeverNotify)
{
    HWND slide = make(record());
    const SlideRecord *s = record_of(slide);
    EXPECT_EQ(SendMessageA(slide, WM_COMMAND, CTL_CMD_GET, 0), (LRESULT)ctl_float_bits(50.0f));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (float v : {100.5f, -0.001f, nan, inf, -inf}) {
        set(slide, v);
        EXPECT_EQ(value(slide), 50.0f) << v;
        EXPECT_EQ(s->thumbPos, 55.0f);
    }
    set(slide, 100.0f);
    EXPECT_EQ(value(slide), 100.0f);
    EXPECT_EQ(thumb_left(slide, 120), 105);
    EXPECT_TRUE(notes.values.empty());
    EXPECT_EQ(SendMessageA(slide, WM_COMMAND, 99, 0), 0);
    EXPECT_EQ(SendMessageA(slide, WM_COMMAND, 616, 0), 0);
    EXPECT_TRUE(notes.values.empty()) << "unknown commands are ignored";
}

TEST_F(SlideTest, MenuCommandsNotifyEvenWithoutAChange)
{
    SlideRecord r = record();
    r.presetCount = 3;
    r.presets[0] = 12.5f;
    r.presets[1] = 400.0f; // outside the range
    r.presets[2] = 87.0f;
    r.presets[5] = 66.0f;  // beyond presetCount
    HWND slide = make(r);
    command(slide, SLIDE_CMD_MINIMUM);
    command(slide, SLIDE_CMD_MINIMUM);
    command(slide, SLIDE_CMD_MAXIMUM);
    command(slide, SLIDE_CMD_DEFAULT);
    command(slide, SLIDE_CMD_PRESET + 0);
    command(slide, SLIDE_CMD_PRESET + 1);
    command(slide, SLIDE_CMD_PRESET + 2);
    EXPECT_EQ(notes.values, (std::vector<float>{0, 0, 100, 50, 12.5f, 12.5f, 87}));
    command(slide, SLIDE_CMD_PRESET + 5);
    command(slide, SLIDE_CMD_PRESET + 15);
    EXPECT_EQ(notes.values.size(), 7u) << "presets beyond presetCount are ignored";
    EXPECT_EQ(value(slide), 87.0f);

    command(slide, CTL_CMD_DISABLE);
    command(slide, SLIDE_CMD_DEFAULT);
    EXPECT_EQ(notes.values.size(), 7u) << "no default while disabled";
    command(slide, SLIDE_CMD_MINIMUM);
    EXPECT_EQ(value(slide), 0.0f) << "the owner may still set an end";
    command(slide, CTL_CMD_ENABLE);
    SendMessageA(slide, WM_LBUTTONDBLCLK, 0, MAKELPARAM(30, 10));
    EXPECT_EQ(value(slide), 50.0f);
    EXPECT_EQ(notes.values.back(), 50.0f);
}

TEST_F(SlideTest, ModeCommandsToggleTheToolkitSettings)
{
    HWND slide = make(record());
    command(slide, SLIDE_CMD_CAPTURE);
    EXPECT_EQ(g_sCapture, 0);
    command(slide, SLIDE_CMD_CAPTURE);
    EXPECT_EQ(g_sCapture, 1);
    command(slide, SLIDE_CMD_SETTOPOS);
    EXPECT_EQ(g_sSetToPos, 1);
    g_sSetToPos = 5; // anything but 1 becomes 1
    command(slide, SLIDE_CMD_SETTOPOS);
    EXPECT_EQ(g_sSetToPos, 1);
}

// ---------------------------------------------------------------------------
// Drawing
// ---------------------------------------------------------------------------

TEST_F(SlideTest, DisabledShowsTheOverlayOrTheCrossAndNoThumb)
{
    SlideRecord r = record();
    r.disabledBitmap = overlay;
    HWND withOverlay = make(r);
    command(withOverlay, CTL_CMD_DISABLE);
    EXPECT_EQ(harness_pixel(withOverlay, 60, 10), kOverlay);
    EXPECT_EQ(thumb_left(withOverlay, 120), -1);
    command(withOverlay, CTL_CMD_ENABLE);
    EXPECT_EQ(thumb_left(withOverlay, 120), 55);

    HWND crossed = make(record());
    command(crossed, CTL_CMD_DISABLE);
    int white = 0, black = 0;
    for (int x = 0; x < 120; ++x) {
        COLORREF c = harness_pixel(crossed, x, 10);
        white += c == RGB(255, 255, 255);
        black += c == RGB(0, 0, 0);
        EXPECT_NE(c, ctl_color(2)) << x;
    }
    EXPECT_GT(white, 0) << "the cross";
    EXPECT_GT(black, 0) << "its outline";
}

TEST_F(SlideTest, DisabledIgnoresTheUser)
{
    SlideRecord r = record();
    r.style |= SLIDE_EDIT_NUMBER;
    HWND slide = make(r);
    command(slide, CTL_CMD_DISABLE);
    key(slide, VK_LEFT);
    wheel(slide, 120);
    SendMessageA(slide, WM_LBUTTONDBLCLK, 0, MAKELPARAM(30, 10));
    key(slide, VK_INSERT);
    mouse(slide, WM_MBUTTONDOWN, 30, 10, MK_MBUTTON);
    mouse(slide, WM_LBUTTONDOWN, 30, 10, MK_LBUTTON | MK_SHIFT);
    command(slide, SLIDE_CMD_EDIT);
    mouse(slide, WM_RBUTTONDOWN, 30, 10, MK_RBUTTON);
    EXPECT_EQ(value(slide), 50.0f);
    EXPECT_TRUE(notes.values.empty());
    EXPECT_EQ(g_openEditDialog, nullptr) << "no edit box ever opened (it would block here)";
}

// The time editor: the time-entry dialog opened on the value; a cancelled
// dialog changes nothing.
TEST_F(SlideTest, TimeEditorOpensTheTimeDialog)
{
    SlideRecord r = record();
    r.style |= SLIDE_EDIT_TIME;
    r.scale.step = 0.01f;
    HWND slide = make(r);
    set(slide, 0.5f);
    for (const char *typed : {"0.75", (const char *)nullptr}) {
        TimeDialogAnswer answer = {};
        answer.seconds = typed;
        UINT_PTR timer = harness_time_dialog_arm(&answer);
        command(slide, SLIDE_CMD_EDIT);
        harness_time_dialog_disarm(timer);
        EXPECT_EQ(answer.opened, 1);
        EXPECT_STREQ(answer.shown, typed != nullptr ? "0.500000" : "0.750000");
        EXPECT_FLOAT_EQ(value(slide), 0.75f);
    }
    EXPECT_EQ(notes.values.size(), 1u);
    EXPECT_EQ(g_openTimeDialog, nullptr);
}

TEST_F(SlideTest, FocusMarkAndRoundThumb)
{
    SlideRecord r = record();
    r.height = 24;
    r.thumbBitmap = thumbPicture;
    r.thumbWidth = 20;
    r.thumbHeight = 20;
    r.thumbCross = 2;
    r.look = SLIDE_ROUND;
    HWND slide = make(r);
    const SlideRecord *s = record_of(slide);
    EXPECT_EQ(s->mask, ctl_round_mask(slide, 20)) << "the toolkit's cached mask";
    set(slide, 0.0f); // thumb at (5, 2), 20 x 20
    EXPECT_EQ(harness_pixel(slide, 15, 12), kThumbPicture) << "the disc";
    EXPECT_EQ(harness_pixel(slide, 6, 3), kBack) << "outside the disc";
    EXPECT_EQ(harness_pixel(slide, 1, 1), kBack) << "no focus mark";
    SetFocus(slide);
    harness_pump();
    EXPECT_EQ(s->focused, 1);
    EXPECT_EQ(harness_pixel(slide, 1, 1), ctl_color(2)) << "the focus mark";
    SetFocus(host);
    harness_pump();
    EXPECT_EQ(s->focused, 0);
    EXPECT_EQ(harness_pixel(slide, 1, 1), kBack);

    r.look = 0; // the same picture, square: its black corners show
    HWND square = make(r);
    set(square, 0.0f);
    EXPECT_EQ(harness_pixel(square, 6, 3), RGB(0, 0, 0));
}

// ---------------------------------------------------------------------------
// The edit box, driven from inside its loop
// ---------------------------------------------------------------------------

struct EditScript {
    std::vector<std::string> typed; // one text per box, in order; "" cancels with Escape
    std::vector<std::string> shown; // what each box showed when it opened
    HWND destroy = nullptr;         // destroyed instead of typing, when set
    size_t boxes = 0;               // boxes seen
    HWND lastBox = nullptr;
    RECT firstBox = {};             // the first box's window rectangle
    int ticks = 0;
};
EditScript *g_edit = nullptr;

void CALLBACK edit_timer(HWND, UINT, UINT_PTR, DWORD)
{
    EditScript *e = g_edit;
    if (e == nullptr || ++e->ticks > 200 || g_openEditDialog == nullptr ||
        g_openEditDialog == e->lastBox)
        return;
    e->lastBox = g_openEditDialog;
    HWND edit = GetDlgItem(g_openEditDialog, 10);
    char text[128] = "";
    GetWindowTextA(edit, text, sizeof text);
    e->shown.push_back(text);
    if (e->boxes == 0)
        GetWindowRect(g_openEditDialog, &e->firstBox);
    size_t i = e->boxes++;
    if (e->destroy != nullptr) {
        DestroyWindow(e->destroy);
        return;
    }
    std::string typed = i < e->typed.size() ? e->typed[i] : "";
    if (typed.empty()) {
        PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, harness_key_lparam(VK_ESCAPE, true));
        return;
    }
    SetWindowTextA(edit, typed.c_str());
    PostMessageA(edit, WM_KEYDOWN, VK_RETURN, harness_key_lparam(VK_RETURN, true));
}

// Runs the edit operation through the Insert key with a script in the box's loop.
void run_edit(HWND slide, EditScript *script)
{
    g_edit = script;
    UINT_PTR timer = SetTimer(nullptr, 0, 10, edit_timer);
    SendMessageA(slide, WM_KEYDOWN, VK_INSERT, harness_key_lparam(VK_INSERT, true));
    KillTimer(nullptr, timer);
    g_edit = nullptr;
    harness_pump();
}

class SlideEditTest : public SlideTest {
protected:
    // A decibel Slide over 0-2 (up to +6 dB), default 1 (0 dB).
    HWND decibel_slide(uint32_t style = SLIDE_DECIBELS)
    {
        SlideRecord r = record();
        r.style |= style;
        r.scale.minimum = 0.0f;
        r.scale.maximum = 2.0f;
        r.scale.defaultValue = 1.0f;
        r.scale.decimals = 3;
        return make(r);
    }
};

TEST_F(SlideEditTest, DecibelTyping)
{
    struct Row {
        const char *typed;
        float expected; // the value after it, from 1.0
    };
    const Row rows[] = {
        {"0", 1.0f},        {"-6", 0.50118723f}, {"+6", 1.9952623f}, {"-6,0 dB", 0.50118723f},
        {"7", 1.0f},        // +7 dB is above 2: ignored
        {"-inf", 0.0f},     // silence, as the box shows it
        {"abc", 1.0f},      // no digit: 0 dB
        {"-99999999999999999999999999999999999999999999999999", 0.0f},
        {"99999999999999999999999999999999999999999999999999", 1.0f}, // infinite: ignored
    };
    HWND slide = decibel_slide();
    EXPECT_EQ(record_of(slide)->scale.decimals, 1) << "decibels: one decimal";
    for (const Row &row : rows) {
        SCOPED_TRACE(row.typed);
        set(slide, 1.0f);
        notes = Notes();
        EditScript script;
        script.typed = {row.typed};
        run_edit(slide, &script);
        ASSERT_EQ(script.boxes, 1u);
        EXPECT_EQ(script.shown[0], "0.0");
        EXPECT_NEAR(value(slide), row.expected, 1e-6);
        EXPECT_EQ(notes.values, std::vector<float>{value(slide)}) << "notified, changed or not";
    }
}

TEST_F(SlideEditTest, DecibelTextOfZeroIsMinusInfinityAndComesBackAsZero)
{
    HWND slide = decibel_slide();
    set(slide, 0.0f);
    EditScript script;
    script.typed = {"-inf"};
    run_edit(slide, &script);
    EXPECT_EQ(script.shown, std::vector<std::string>{"-inf"});
    EXPECT_EQ(value(slide), 0.0f);
    EXPECT_EQ(notes.values, std::vector<float>{0.0f});
}

TEST_F(SlideEditTest, NumberTypingAndCancelling)
{
    SlideRecord r = record();
    r.style |= SLIDE_EDIT_NUMBER;
    HWND slide = make(r);
    EditScript script;
    script.typed = {"42,5"};
    run_edit(slide, &script);
    EXPECT_EQ(script.shown, std::vector<std::string>{"50.00"});
    EXPECT_EQ(value(slide), 42.5f);
    EXPECT_EQ(thumb_left(slide, 120), 47);
    EXPECT_EQ(notes.values, std::vector<float>{42.5f});

    EditScript cancelled; // Escape: nothing changes, nothing is sent
    run_edit(slide, &cancelled);
    EXPECT_EQ(cancelled.boxes, 1u);
    EXPECT_EQ(notes.values.size(), 1u);

    EditScript outside;
    outside.typed = {"-3"};
    run_edit(slide, &outside);
    EXPECT_EQ(value(slide), 42.5f);
    EXPECT_EQ(notes.values, (std::vector<float>{42.5f, 42.5f})) << "ignored, but reported";
}

// Each way opens the box at the anchor (thumbCross, anchorY).
TEST_F(SlideEditTest, EveryWayToEditOpensTheBoxAtTheAnchor)
{
    SlideRecord r = record();
    r.style |= SLIDE_EDIT_NUMBER;
    r.thumbCross = 30;
    r.anchorY = 25;
    HWND slide = make(r);
    POINT at = {30, 25};
    ClientToScreen(slide, &at);
    struct Way {
        const char *what;
        UINT message;
        WPARAM wParam;
    };
    const Way ways[] = {
        {"Shift-click", WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT},
        {"Ctrl-click", WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL},
        {"middle button", WM_MBUTTONDOWN, MK_MBUTTON},
        {"menu command", WM_COMMAND, SLIDE_CMD_EDIT},
    };
    for (const Way &way : ways) {
        SCOPED_TRACE(way.what);
        EditScript script;
        script.typed = {"7"};
        g_edit = &script;
        UINT_PTR timer = SetTimer(nullptr, 0, 10, edit_timer);
        SendMessageA(slide, way.message, way.wParam,
                     way.message == WM_COMMAND ? 0 : MAKELPARAM(30, 10));
        KillTimer(nullptr, timer);
        g_edit = nullptr;
        harness_pump();
        EXPECT_EQ(script.boxes, 1u);
        EXPECT_EQ(script.firstBox.left, at.x);
        EXPECT_EQ(script.firstBox.top, at.y);
        EXPECT_EQ(value(slide), 7.0f);
        EXPECT_EQ(record_of(slide)->dragging, 0) << "no drag";
        set(slide, 50.0f);
    }
}

// With both bits the decibel box comes first, then the number box.
TEST_F(SlideEditTest, DecibelThenNumber)
{
    HWND slide = decibel_slide(SLIDE_DECIBELS | SLIDE_EDIT_NUMBER);
    EditScript script;
    script.typed = {"-6", "1.5"};
    run_edit(slide, &script);
    EXPECT_EQ(script.shown, (std::vector<std::string>{"0.0", "0.5"})) << "one decimal";
    EXPECT_EQ(value(slide), 1.5f);
    EXPECT_EQ(notes.values.size(), 2u);
}

TEST_F(SlideEditTest, DestroyedWhileTheBoxIsOpen)
{
    SlideRecord r = record();
    r.style |= SLIDE_EDIT_NUMBER | SLIDE_DECIBELS;
    HWND slide = make(r);
    EditScript script;
    script.destroy = slide;
    run_edit(slide, &script);
    EXPECT_EQ(script.boxes, 1u) << "the second box never opens";
    EXPECT_FALSE(IsWindow(slide));
    EXPECT_EQ(g_openEditDialog, nullptr) << "the box closed with it";
    EXPECT_TRUE(notes.values.empty());
    EXPECT_TRUE(IsWindowEnabled(host));
}

// ---------------------------------------------------------------------------
// The context menu, read from inside its loop
// ---------------------------------------------------------------------------

struct MenuItem {
    std::string text;
    bool checked;
    bool disabled;
};
struct MenuSeen {
    HMENU menu = nullptr;
    std::vector<MenuItem> items; // in menu order, separators as ""
    bool opened = false;
};
MenuSeen g_menu;

void CALLBACK read_menu(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_menu.opened)
        return;
    g_menu.opened = true;
    int n = GetMenuItemCount(g_menu.menu);
    for (int i = 0; i < n; ++i) {
        char text[160] = "";
        GetMenuStringA(g_menu.menu, i, text, sizeof text, MF_BYPOSITION);
        UINT state = GetMenuState(g_menu.menu, i, MF_BYPOSITION);
        g_menu.items.push_back({text, (state & MF_CHECKED) != 0, (state & MF_DISABLED) != 0});
    }
    EndMenu();
}

// Opens the menu with a right click and returns what it showed.
std::vector<MenuItem> open_menu(HWND slide)
{
    g_menu = MenuSeen();
    g_menu.menu = record_of(slide)->menu;
    SetForegroundWindow(GetAncestor(slide, GA_ROOT));
    UINT_PTR timer = SetTimer(nullptr, 0, 20, read_menu);
    SendMessageA(slide, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(30, 10));
    KillTimer(nullptr, timer);
    harness_pump();
    return g_menu.items;
}

TEST_F(SlideTest, MenuTextsAndChecks)
{
    SlideRecord r = record();
    r.scale.minimum = -20.0f;
    r.presetCount = 2;
    r.presets[0] = 50.0f;
    r.presets[1] = 75.0f;
    HWND slide = make(r);
    HMENU menu = record_of(slide)->menu;
    AppendMenuA(menu, MF_STRING, SLIDE_CMD_PRESET + 0, "Half");
    AppendMenuA(menu, MF_STRING, SLIDE_CMD_PRESET + 1, "Three quarters");
    std::vector<MenuItem> items = open_menu(slide);
    ASSERT_EQ(items.size(), 11u);
    const char *texts[] = {"Mouse Captured", "Direct mouse position", "",
                           "Current value : +50.00", "Default value (+50.000000)\tDBLCLICK",
                           "Edit Value\tINS", "", "Value Min (-20.000000)",
                           "Value Max (+100.000000)", "Half", "Three quarters"};
    const bool checked[] = {true, false, false, false, true, false, false, false, false, true, false};
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].text, texts[i]) << i;
        EXPECT_EQ(items[i].checked, checked[i]) << i;
    }
    EXPECT_TRUE(items[3].disabled) << "the current value is no command";

    g_sCapture = 0;
    g_sSetToPos = 1;
    set(slide, 75.0f);
    items = open_menu(slide);
    ASSERT_EQ(items.size(), 11u);
    EXPECT_FALSE(items[0].checked);
    EXPECT_TRUE(items[1].checked);
    EXPECT_EQ(items[3].text, "Current value : +75.00");
    EXPECT_FALSE(items[4].checked);
    EXPECT_FALSE(items[9].checked);
    EXPECT_TRUE(items[10].checked);
    set(slide, -20.0f);
    items = open_menu(slide);
    EXPECT_TRUE(items[7].checked) << "at the minimum";
    EXPECT_EQ(items[3].text, "Current value : -20.00");
}

TEST_F(SlideTest, DecibelMenuTexts)
{
    SlideRecord r = record();
    r.style |= SLIDE_DECIBELS;
    r.scale.minimum = 0.1f;
    r.scale.maximum = 1.9952623f;
    r.scale.defaultValue = 1.9952623f;
    r.scale.decimals = 4;
    HWND slide = make(r);
    std::vector<MenuItem> items = open_menu(slide);
    ASSERT_EQ(items.size(), 9u);
    EXPECT_EQ(items[3].text, "Current value : +6.0 db");
    EXPECT_EQ(items[4].text, "Default value (+6.0 db)\tDBLCLICK");
    EXPECT_EQ(items[7].text, "Value Min (-20.0) db");
    EXPECT_EQ(items[8].text, "Value Max (+6.0) db");
    EXPECT_TRUE(items[4].checked);
    EXPECT_TRUE(items[8].checked);

    r.scale.minimum = 0.0f; // silence has no decibel value
    r.scale.defaultValue = 1.0f;
    items = open_menu(make(r));
    EXPECT_EQ(items[3].text, "Current value : 0.0 db");
    EXPECT_EQ(items[7].text, "Value Min (-inf) db");
}

TEST_F(SlideTest, NoMenuWhileDisabledOrDragging)
{
    HWND slide = make(record());
    command(slide, CTL_CMD_DISABLE);
    EXPECT_TRUE(open_menu(slide).empty());
    command(slide, CTL_CMD_ENABLE);
    mouse(slide, WM_LBUTTONDOWN, 30, 10, MK_LBUTTON);
    EXPECT_TRUE(open_menu(slide).empty());
    mouse(slide, WM_LBUTTONUP, 30, 10, 0);
}

TEST_F(SlideTest, CloseDestroysAndFreesNothingTwice)
{
    HWND slide = make(record());
    mouse(slide, WM_LBUTTONDOWN, 30, 10, MK_LBUTTON);
    SendMessageA(slide, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(slide));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(notes.values.empty()) << "no notification from a window going away";
    EXPECT_EQ(ctl_create_slide(host, 1, 0, 0, nullptr), nullptr);
    EXPECT_EQ(CreateWindowExA(0, CTL_CLASS_SLIDE, nullptr, WS_CHILD, 0, 0, 10, 10, host, nullptr,
                              ctl_instance(), nullptr),
              nullptr)
        << "no creation record";
}

} // namespace
