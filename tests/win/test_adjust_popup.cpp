// The adjust-value popup through real messages: its steps and decimals, the
// window it opens, dragging in the three columns with every value sent to
// the knob and its owner, clamping, decibel mode, the inverse switch, moving
// the popup, every way it closes, and a set-up without a state.
#include "tests/win/harness.h"
#include "tests/win/host_fixture.h"
#include "toolkit/qk2ctl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

struct Notes {
    std::vector<float> values;
    uint32_t lastId = 0;
};

int32_t record_note(void *userData, uint32_t wParam, int32_t lParam)
{
    Notes *notes = static_cast<Notes *>(userData);
    notes->values.push_back(ctl_as_float((uint32_t)lParam));
    notes->lastId = wParam;
    return 1;
}

// A scale over minimum..maximum with its default at value, 2 decimals.
ValueScale scale_of(float minimum, float maximum, float value, uint32_t flags)
{
    ValueScale s = {};
    s.minimum = minimum;
    s.maximum = maximum;
    s.defaultValue = value;
    s.step = 1;
    s.decimals = 2;
    s.flags = flags;
    return s;
}

class AdjustPopupTest : public ToolkitHostTest<240, 200> {
protected:
    void SetUp() override
    {
        ToolkitHostTest::SetUp();
        g_aIMode = 0;
    }
    void TearDown() override
    {
        if (g_openAdjustPopup != nullptr)
            SendMessageA(g_openAdjustPopup, WM_CLOSE, 0, 0);
        ReleaseCapture();
        ToolkitHostTest::TearDown();
    }
    // A 40 x 40 knob over the range at value, whose notifications (only
    // the popup's: no continuous flag) land in notes.
    HWND make_knob(float minimum, float maximum, float value, uint32_t style = 0,
                   uint32_t flags = 0)
    {
        RotatifRecord r = {};
        r.width = r.height = 40;
        r.centreX = r.centreY = 20;
        r.startDegrees = 225;
        r.endDegrees = 315;
        r.style = style;
        r.notify = {host, record_note, CTL_NOTIFY_CALLBACK, &notes};
        r.scale = scale_of(minimum, maximum, value, flags);
        r.pointerLength = 10;
        r.pointerWidth = 2;
        HWND knob = ctl_create_rotatif(host, 9, 10, 10, &r);
        harness_pump();
        return knob;
    }
    // Opens the knob's popup (command 104) and returns it.
    HWND open(HWND knob)
    {
        SendMessageA(knob, WM_COMMAND, ROT_CMD_ADJUST, 0);
        harness_pump();
        return g_openAdjustPopup;
    }
    static AdjustPopupState *state(HWND popup)
    {
        return static_cast<AdjustPopupState *>(ctl_get_dialog_data(popup));
    }
    static void mouse(HWND popup, UINT message, int x, int y, WPARAM keys = MK_LBUTTON)
    {
        SendMessageA(popup, message, keys, MAKELPARAM(x, y));
    }
    static float value(HWND knob) { return ctl_send_command(knob, CTL_CMD_GET, 0); }
    static const RotatifRecord *rec(HWND knob)
    {
        return static_cast<const RotatifRecord *>(ctl_get_instance_data(knob));
    }

    Notes notes;
};

// ---------------------------------------------------------------------------
// Steps and decimals
// ---------------------------------------------------------------------------

TEST(AdjustDecade, RoundsAwayFromZero)
{
    struct Row {
        float x;
        int decade;
    };
    static const Row rows[] = {
        {100, 2}, {127, 3}, {1, 0}, {0.5f, -1}, {10000, 4}, {10001, 5}, {99.9f, 2},
        {0.01f, -2}, {0.011f, -2}, {0.0099f, -3}, {1e-7f, -7}, {3e38f, 39},
        {0, 0}, {-5, 0}, {std::numeric_limits<float>::quiet_NaN(), 0},
        {std::numeric_limits<float>::infinity(), 38},
    };
    for (const Row &row : rows)
        EXPECT_EQ(ctl_decade(row.x), row.decade) << row.x;
}

TEST_F(AdjustPopupTest, StepsAndDecimalsFollowTheRange)
{
    struct Row {
        float minimum, maximum;
        float step1, step2, step3;
        int decimals;
    };
    static const Row rows[] = {
        {0, 100, 0.1f, 0.001f, 0.00001f, 4},
        {0, 10000, 10, 0.1f, 0.001f, 2},
        {0, 10001, 100, 1, 0.01f, 1},
        {0, 1, 0.001f, 0.00001f, 0.0000001f, 5},
        {0, 0.5f, 0.0001f, 0.000001f, 0.00000001f, 5},
        {-1, 1, 0.01f, 0.0001f, 0.000001f, 5},
        {20, 20000, 100, 1, 0.01f, 1},
        {100, 0, 0.1f, 0.001f, 0.00001f, 4},     // ends given the other way round
        {5, 5, 0.001f, 0.00001f, 0.0000001f, 5}, // no range
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message() << row.minimum << ".." << row.maximum);
        HWND knob = make_knob(row.minimum, row.maximum, row.minimum);
        HWND popup = open(knob);
        ASSERT_NE(popup, nullptr);
        const AdjustPopupState *s = state(popup);
        EXPECT_FLOAT_EQ(s->step1, row.step1);
        EXPECT_FLOAT_EQ(s->step2, row.step2);
        EXPECT_FLOAT_EQ(s->step3, row.step3);
        EXPECT_EQ(s->decimals, row.decimals);
        EXPECT_LE(s->minimum, s->maximum);
        SendMessageA(popup, WM_CLOSE, 0, 0);
        DestroyWindow(knob);
    }
}

// ---------------------------------------------------------------------------
// Opening
// ---------------------------------------------------------------------------

TEST_F(AdjustPopupTest, OpensAtItsPointHoldingTheCaptureWithTheSwitch)
{
    HWND knob = make_knob(0, 100, 50);
    NotifyTarget target = {host, nullptr, 0, nullptr};
    const RotatifRecord *r = rec(knob);
    HWND popup = ctl_adjust_popup(host, knob, 0, 100, 80, 105, &target, 9, &r->scale);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(g_openAdjustPopup, popup);
    EXPECT_EQ(GetCapture(), popup);
    RECT window, client;
    GetWindowRect(popup, &window);
    GetClientRect(popup, &client);
    EXPECT_EQ(window.left, 100);
    EXPECT_EQ(window.top, 80);
    EXPECT_EQ(client.right, ADJUST_W);
    EXPECT_EQ(client.bottom, ADJUST_H);
    EXPECT_EQ((DWORD)GetWindowLongA(popup, GWL_STYLE) & 0x92800180u, 0x92800180u);
    const AdjustPopupState *s = state(popup);
    EXPECT_EQ(s->width, 231);
    EXPECT_EQ(s->height, 320);
    EXPECT_EQ(s->column2Left, 77);
    EXPECT_EQ(s->column3Left, 154);
    EXPECT_EQ(s->columnWidth, 76);
    EXPECT_EQ(s->tapeHeight, 280);
    EXPECT_EQ(s->centreRow, 140);
    EXPECT_EQ(s->value, 50.0f);
    EXPECT_EQ(s->activeColumn, 0);
    HWND lamp = GetDlgItem(popup, ADJUST_SWITCH_ID);
    ASSERT_EQ(lamp, s->switchWindow);
    RECT lr;
    GetWindowRect(lamp, &lr);
    MapWindowPoints(nullptr, popup, reinterpret_cast<POINT *>(&lr), 2);
    EXPECT_EQ(lr.left, 231 - 30);
    EXPECT_EQ(lr.top, 320 - 18);
    EXPECT_EQ(ctl_send_command(lamp, CTL_CMD_GET, 0), 0.0f);
    int ink = 0;
    for (int x = 231 - 33; x < 231 - 30; ++x)
        for (int y = 320 - 18; y < 320; ++y)
            ink += harness_pixel(popup, x, y) == RGB(0, 0, 0);
    EXPECT_EQ(ink, 0) << "the caption ends before the switch";
    SendMessageA(popup, WM_CLOSE, 0, 0);

    g_aIMode = 1;
    popup = open(knob);
    EXPECT_EQ(ctl_send_command(GetDlgItem(popup, ADJUST_SWITCH_ID), CTL_CMD_GET, 0), 1.0f)
        << "the switch shows the inverse mode";
}

TEST_F(AdjustPopupTest, SecondPopupClosesTheFirst)
{
    HWND a = make_knob(0, 100, 50);
    HWND b = make_knob(0, 10, 5);
    HWND first = open(a);
    HWND second = open(b);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(rec(a)->popup, nullptr) << "the first knob was told";
    EXPECT_EQ(rec(b)->popup, second);
    EXPECT_EQ(GetCapture(), second);
    HWND again = open(b);
    EXPECT_FALSE(IsWindow(second));
    EXPECT_EQ(rec(b)->popup, again) << "reopening on the same knob keeps the new one";
}

// ---------------------------------------------------------------------------
// Adjusting
// ---------------------------------------------------------------------------

// Drags in column `column` (1-3) by (dx, dy) from the middle of the tape.
void drag(HWND popup, int column, int dx, int dy)
{
    int x = 30 + (column - 1) * 77, y = 150;
    SendMessageA(popup, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(popup, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + dx, y + dy));
    SendMessageA(popup, WM_LBUTTONUP, 0, MAKELPARAM(x + dx, y + dy));
}

TEST_F(AdjustPopupTest, EachColumnMovesByItsStepAndSendsEveryMove)
{
    struct Row {
        int column, dx, dy, inverse;
        float after;
    };
    static const Row rows[] = {
        {1, 0, 10, 0, 51.0f},     {1, 0, -20, 0, 48.0f}, {1, 7, 2, 0, 50.7f},
        {1, -3, 1, 0, 49.7f},     {2, 0, 10, 0, 50.01f}, {3, 0, 10, 0, 50.0001f},
        {1, 0, 10, 1, 49.0f},     {1, 5, 0, 1, 49.5f},   {1, 0, 0, 0, 50.0f},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message() << "column " << row.column << " by " << row.dx << ","
                                        << row.dy << " inverse " << row.inverse);
        g_aIMode = row.inverse;
        notes = Notes();
        HWND knob = make_knob(0, 100, 50);
        HWND popup = open(knob);
        drag(popup, row.column, row.dx, row.dy);
        EXPECT_FLOAT_EQ(state(popup)->value, row.after);
        EXPECT_FLOAT_EQ(value(knob), row.after) << "the knob took it (command 4)";
        ASSERT_EQ(notes.values.size(), 1u) << "one notification a move, even unchanged";
        EXPECT_FLOAT_EQ(notes.values[0], row.after);
        EXPECT_EQ(notes.lastId, 9u);
        EXPECT_EQ(state(popup)->activeColumn, 0) << "the release ends the adjusting";
        SendMessageA(popup, WM_CLOSE, 0, 0);
        DestroyWindow(knob);
    }
}

TEST_F(AdjustPopupTest, ClampsAtTheLimitsAndStillSends)
{
    HWND knob = make_knob(0, 100, 99.5f);
    HWND popup = open(knob);
    mouse(popup, WM_LBUTTONDOWN, 30, 150);
    mouse(popup, WM_MOUSEMOVE, 30, 170);
    mouse(popup, WM_MOUSEMOVE, 30, 190);
    EXPECT_EQ(state(popup)->value, 100.0f);
    EXPECT_EQ(value(knob), 100.0f);
    EXPECT_EQ(notes.values, (std::vector<float>{100.0f, 100.0f}));
    mouse(popup, WM_MOUSEMOVE, 31, -900); // far up and off the popup
    EXPECT_EQ(state(popup)->value, 0.0f);
    EXPECT_EQ(value(knob), 0.0f);
    mouse(popup, WM_LBUTTONUP, 31, -900, 0);
    // Moves without a column held change nothing.
    mouse(popup, WM_MOUSEMOVE, 30, 150, 0);
    EXPECT_EQ(notes.values.size(), 3u);
}

TEST_F(AdjustPopupTest, DecibelModeWorksInWholeDecibels)
{
    HWND knob = make_knob(0.001f, 4, 0.5f, DecibelDisplay, LogScale);
    HWND popup = open(knob);
    const AdjustPopupState *s = state(popup);
    EXPECT_NEAR(s->value, -6.0206f, 1e-4f) << "the value keeps its fraction";
    EXPECT_EQ(s->minimum, -60.0f) << "the limits are whole decibels, cut toward zero";
    EXPECT_EQ(s->maximum, 12.0f);
    EXPECT_FLOAT_EQ(s->step1, 0.1f);
    // One pixel in the fine column hardly moves it.
    mouse(popup, WM_LBUTTONDOWN, 170, 150);
    mouse(popup, WM_MOUSEMOVE, 170, 151);
    mouse(popup, WM_LBUTTONUP, 170, 151, 0);
    EXPECT_NEAR(value(knob), 0.5f, 1e-6f);
    mouse(popup, WM_LBUTTONDOWN, 30, 150);
    mouse(popup, WM_MOUSEMOVE, 30, 160);
    EXPECT_NEAR(s->value, -5.0206f, 1e-4f);
    EXPECT_FLOAT_EQ(value(knob), ctl_from_decibels(s->value)) << "10^(dB / 20)";
    ASSERT_EQ(notes.values.size(), 2u);
    EXPECT_FLOAT_EQ(notes.values[1], value(knob));
    // The bottom of the range is the knob's own minimum, which it accepts.
    mouse(popup, WM_MOUSEMOVE, 30, -2000);
    EXPECT_EQ(s->value, -60.0f);
    EXPECT_EQ(value(knob), 0.001f);
    EXPECT_EQ(notes.values.back(), 0.001f);
    mouse(popup, WM_LBUTTONUP, 30, 0, 0);
}

TEST_F(AdjustPopupTest, DecibelLimitsInsideTheKnobsOwn)
{
    // -6.02 dB is cut to -6, above the knob's maximum of 0.5: what is sent
    // stays within the knob's range.
    HWND knob = make_knob(0.01f, 0.5f, 0.25f, DecibelDisplay, LogScale);
    HWND popup = open(knob);
    mouse(popup, WM_LBUTTONDOWN, 30, 150);
    mouse(popup, WM_MOUSEMOVE, 30, 1500);
    EXPECT_EQ(state(popup)->value, -6.0f) << "the top, cut toward zero";
    EXPECT_EQ(value(knob), 0.5f);
    EXPECT_EQ(notes.values.back(), 0.5f);
    mouse(popup, WM_LBUTTONUP, 30, 0, 0);
}

// ---------------------------------------------------------------------------
// Drawing
// ---------------------------------------------------------------------------

TEST_F(AdjustPopupTest, TapesShowTheValueBoxAndHatchingBeyondTheRange)
{
    HWND knob = make_knob(0, 100, 100); // at the maximum: above the centre is beyond
    HWND popup = open(knob);
    const AdjustPopupState *s = state(popup);
    int c = 20 + s->centreRow;
    EXPECT_EQ(harness_pixel(popup, 40, c - 9), ctl_color(13)) << "the value's box";
    for (int column = 0; column < 3; ++column) {
        int x = column * 77 + 40;
        int hatched = 0, plain = 0;
        for (int y = c - 60; y < c - 20; ++y) {
            COLORREF p = harness_pixel(popup, x, y);
            hatched += p == ctl_color(13);
            plain += p == ctl_color(14);
        }
        EXPECT_EQ(hatched, 20) << "every second row above the value, column " << column;
        EXPECT_EQ(plain, 20);
        int below = 0;
        for (int y = c + 20; y < c + 60; ++y)
            below += harness_pixel(popup, x, y) == ctl_color(13);
        EXPECT_EQ(below, 0) << "no hatching inside the range";
    }
    EXPECT_EQ(harness_pixel(popup, 0, 20), ctl_color(9)) << "the sunken frame's dark edge";
}

// ---------------------------------------------------------------------------
// The switch, moving and closing
// ---------------------------------------------------------------------------

TEST_F(AdjustPopupTest, TheSwitchTogglesTheInverseMode)
{
    HWND knob = make_knob(0, 100, 50);
    HWND popup = open(knob);
    HWND lamp = GetDlgItem(popup, ADJUST_SWITCH_ID);
    mouse(popup, WM_LBUTTONDOWN, 231 - 20, 320 - 10);
    harness_pump();
    EXPECT_EQ(g_aIMode, 1);
    EXPECT_EQ(ctl_send_command(lamp, CTL_CMD_GET, 0), 1.0f);
    mouse(popup, WM_LBUTTONUP, 231 - 20, 320 - 10, 0);
    mouse(popup, WM_LBUTTONDOWN, 231 - 30, 320 - 3); // the switch's own corner pixels
    harness_pump();
    EXPECT_EQ(g_aIMode, 0);
    mouse(popup, WM_LBUTTONUP, 231 - 30, 320 - 3, 0);
    EXPECT_EQ(GetCapture(), popup) << "the popup keeps the capture";
    // Above the switch is the tapes' last row, then the popup's own space.
    mouse(popup, WM_LBUTTONDOWN, 231 - 20, 320 - 25);
    EXPECT_EQ(state(popup)->activeColumn, 3);
    mouse(popup, WM_LBUTTONUP, 231 - 20, 320 - 25, 0);
    mouse(popup, WM_LBUTTONDOWN, 231 - 20, 320 - 19);
    harness_pump();
    EXPECT_EQ(g_aIMode, 0);
    EXPECT_EQ(state(popup)->activeColumn, 0);
    EXPECT_TRUE(ctl_drag_active(&state(popup)->mover));
    mouse(popup, WM_LBUTTONUP, 231 - 20, 320 - 19, 0);
}

TEST_F(AdjustPopupTest, TitleRowAndSpaceBelowTheTapesMoveThePopup)
{
    HWND knob = make_knob(0, 100, 50);
    HWND popup = open(knob);
    for (POINT grab : {POINT{100, 5}, POINT{50, 310}}) {
        SCOPED_TRACE(grab.y);
        RECT before, after;
        GetWindowRect(popup, &before);
        mouse(popup, WM_LBUTTONDOWN, grab.x, grab.y);
        EXPECT_EQ(state(popup)->activeColumn, 0);
        mouse(popup, WM_MOUSEMOVE, grab.x + 30, grab.y + 20);
        mouse(popup, WM_LBUTTONUP, grab.x + 30, grab.y + 20, 0);
        GetWindowRect(popup, &after);
        EXPECT_EQ(after.left - before.left, 30);
        EXPECT_EQ(after.top - before.top, 20);
        EXPECT_EQ(GetCapture(), popup);
    }
    EXPECT_EQ(value(knob), 50.0f);
    EXPECT_TRUE(notes.values.empty());
}

TEST_F(AdjustPopupTest, EveryWayOfClosingGivesTheCaptureBack)
{
    struct Case {
        const char *name;
        void (*close)(HWND popup);
    };
    const Case cases[] = {
        {"Escape", [](HWND p) { SendMessageA(p, WM_KEYDOWN, VK_ESCAPE, harness_key_lparam(VK_ESCAPE, true)); }},
        {"WM_CLOSE", [](HWND p) { SendMessageA(p, WM_CLOSE, 0, 0); }},
        {"WM_CANCELMODE", [](HWND p) { SendMessageA(p, WM_CANCELMODE, 0, 0); }},
        {"right button", [](HWND p) { mouse(p, WM_RBUTTONDOWN, 50, 50, MK_RBUTTON); }},
        {"middle button", [](HWND p) { mouse(p, WM_MBUTTONDOWN, 50, 50, MK_MBUTTON); }},
        {"left of it", [](HWND p) { mouse(p, WM_LBUTTONDOWN, -3, 50); }},
        {"above it", [](HWND p) { mouse(p, WM_LBUTTONDOWN, 50, -1); }},
        {"right of it", [](HWND p) { mouse(p, WM_LBUTTONDOWN, 231, 50); }},
        {"below it", [](HWND p) { mouse(p, WM_LBUTTONDOWN, 50, 320); }},
        {"while moving it", [](HWND p) {
             mouse(p, WM_LBUTTONDOWN, 100, 5);
             mouse(p, WM_MOUSEMOVE, 120, 15);
             mouse(p, WM_RBUTTONDOWN, 120, 15, MK_RBUTTON);
         }},
    };
    HWND knob = make_knob(0, 100, 50);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        SetCapture(host);
        HWND popup = open(knob);
        ASSERT_EQ(GetCapture(), popup);
        c.close(popup);
        harness_pump();
        EXPECT_FALSE(IsWindow(popup));
        EXPECT_EQ(g_openAdjustPopup, nullptr);
        EXPECT_EQ(rec(knob)->popup, nullptr) << "the close command reached the knob";
        EXPECT_EQ(GetCapture(), host) << "the former owner has it again";
        ReleaseCapture();
    }
    // Other keys do nothing.
    HWND popup = open(knob);
    SendMessageA(popup, WM_KEYDOWN, 'A', harness_key_lparam('A', true));
    EXPECT_TRUE(IsWindow(popup));
    mouse(popup, WM_LBUTTONDOWN, 230, 319); // the last pixel inside
    EXPECT_TRUE(IsWindow(popup));
}

TEST_F(AdjustPopupTest, SetUpWithoutAStateEndsAtOnce)
{
    HGLOBAL block = GlobalAlloc(GMEM_ZEROINIT, 1024);
    static_cast<DLGTEMPLATE *>(block)->style = 0x92800180;
    HWND popup = CreateDialogIndirectParamA(ctl_instance(), static_cast<LPCDLGTEMPLATEA>(block),
                                            host, ctl_adjust_proc, 0);
    GlobalFree(block);
    EXPECT_TRUE(popup == nullptr || !IsWindow(popup));
    EXPECT_EQ(g_openAdjustPopup, nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
    // Nor does a null scale open anything.
    EXPECT_EQ(ctl_adjust_popup(host, nullptr, 0, 10, 10, 105, nullptr, 1, nullptr), nullptr);
    EXPECT_EQ(g_openAdjustPopup, nullptr);
}

TEST_F(AdjustPopupTest, WithoutATargetOrControlItStillAdjusts)
{
    ValueScale scale = scale_of(0, 10, 5, 0);
    scale.current = 5;
    HWND popup = ctl_adjust_popup(host, nullptr, 0, 50, 50, 105, nullptr, 1, &scale);
    ASSERT_NE(popup, nullptr);
    drag(popup, 1, 0, 10);
    EXPECT_FLOAT_EQ(state(popup)->value, 5.1f);
    SendMessageA(popup, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(popup));
}

} // namespace
