// The Rotatif knob through real messages: creation, keys, wheel and both
// drag modes with their notifications, SpringReturn, the commands and the
// mode word, the context menu's texts and states, the pointer bar's pixels,
// the edit paths and the dialogs ending when the knob goes, and bad scales.
#include "tests/win/harness.h"
#include "tests/win/host_fixture.h"
#include "toolkit/qk2ctl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

const COLORREF kFace = RGB(0, 0, 160);
const COLORREF kPressed = RGB(0, 120, 0);
const COLORREF kHostColour = RGB(0, 128, 0);
const float kPi = 3.14159265f;

// A round face: a disc of colour on black, as round faces are drawn.
HBITMAP disc_bitmap(int d, COLORREF colour)
{
    HBITMAP bitmap = harness_solid_bitmap(d, d, RGB(0, 0, 0));
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, bitmap);
    HBRUSH brush = CreateSolidBrush(colour);
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ oldBrush = SelectObject(mem, brush);
    HGDIOBJ oldPen = SelectObject(mem, pen);
    Ellipse(mem, 0, 0, d, d);
    SelectObject(mem, oldPen);
    SelectObject(mem, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
    SelectObject(mem, old);
    DeleteDC(mem);
    return bitmap;
}

// Notified values, in order.
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

class RotatifTest : public ToolkitHostTest<240, 200> {
protected:
    void SetUp() override
    {
        ToolkitHostTest::SetUp();
        face = harness_solid_bitmap(48, 48, kFace);
        disc = disc_bitmap(48, kFace);
        pressed = harness_solid_bitmap(48, 48, kPressed);
        g_rotMode = 0;
    }
    void TearDown() override
    {
        ToolkitHostTest::TearDown();
        DeleteObject(face);
        DeleteObject(disc);
        DeleteObject(pressed);
    }
    // A 48 x 48 rectangular knob centred at (24, 24) over minimum..maximum,
    // from 225 to 315 degrees through the top, pointer 20 x 4 in colour 2,
    // notifying every step into notes.
    RotatifRecord record(float minimum, float maximum, float defaultValue, float step,
                         uint32_t scaleFlags = 0, uint32_t style = 0)
    {
        RotatifRecord r = {};
        r.width = 48;
        r.height = 48;
        r.faceBitmap = face;
        r.startDegrees = 225;
        r.endDegrees = 315;
        r.style = style;
        r.centreX = 24;
        r.centreY = 24;
        r.notify = {host, record_note, CTL_NOTIFY_CALLBACK | ROT_NOTIFY_CONTINUOUS, &notes};
        r.scale.minimum = minimum;
        r.scale.maximum = maximum;
        r.scale.defaultValue = defaultValue;
        r.scale.step = step;
        r.scale.decimals = 2;
        r.scale.flags = scaleFlags;
        r.pointerLength = 20;
        r.pointerWidth = 4;
        r.pointerPen = 2;
        r.pointerBrush = 2;
        return r;
    }
    HWND make(const RotatifRecord &r, int x = 10, int y = 10)
    {
        HWND knob = ctl_create_rotatif(host, 7, x, y, &r);
        harness_pump();
        return knob;
    }
    HWND make(float minimum, float maximum, float defaultValue, float step, uint32_t scaleFlags = 0,
              uint32_t style = 0)
    {
        return make(record(minimum, maximum, defaultValue, step, scaleFlags, style));
    }
    static RotatifRecord *rec(HWND knob)
    {
        return static_cast<RotatifRecord *>(ctl_get_instance_data(knob));
    }
    static float value(HWND knob) { return ctl_send_command(knob, CTL_CMD_GET, 0); }
    static void set(HWND knob, float v)
    {
        SendMessageA(knob, WM_COMMAND, CTL_CMD_SET, ctl_float_bits(v));
    }
    static void command(HWND knob, int id) { SendMessageA(knob, WM_COMMAND, id, 0); }
    static void key(HWND knob, UINT vk)
    {
        SendMessageA(knob, WM_KEYDOWN, vk, harness_key_lparam(vk, true));
    }
    static void wheel(HWND knob, int delta)
    {
        SendMessageA(knob, WM_MOUSEWHEEL, MAKEWPARAM(0, (short)delta), MAKELPARAM(30, 30));
    }
    static void mouse(HWND knob, UINT message, int x, int y, WPARAM keys = MK_LBUTTON)
    {
        SendMessageA(knob, message, keys, MAKELPARAM(x, y));
    }

    HBITMAP face = nullptr, disc = nullptr, pressed = nullptr;
    Notes notes;
};

// ---------------------------------------------------------------------------
// Creation
// ---------------------------------------------------------------------------

TEST_F(RotatifTest, CreationSetsUpTheRecord)
{
    RotatifRecord r = record(0, 100, 25, 1, 0, DecibelDisplay);
    r.self = (HWND)0x1234; // whatever the creator leaves is replaced
    r.popup = (HWND)0x5678;
    r.enabled = 0;
    r.focused = 1;
    r.dragging = 1;
    r.presetCount = 40;
    r.look = ROT_ROUND;
    HWND knob = make(r);
    ASSERT_NE(knob, nullptr);
    const RotatifRecord *k = rec(knob);
    EXPECT_EQ(k->self, knob);
    EXPECT_EQ(k->parent, host);
    EXPECT_EQ(k->popup, nullptr);
    EXPECT_EQ(k->id, 7);
    EXPECT_EQ(k->enabled, 1);
    EXPECT_EQ(k->focused, 0);
    EXPECT_EQ(k->dragging, 0);
    EXPECT_EQ(k->presetCount, 16) << "more than 16 presets are read as 16";
    EXPECT_EQ(k->scale.decimals, 3) << "decibel display shows 3 decimals";
    EXPECT_EQ(k->scale.current, 25.0f);
    EXPECT_NEAR(k->sweep, 3 * kPi / 2, 1e-5f);
    EXPECT_NEAR(k->deadMiddle, 3 * kPi / 2 + kPi / 4, 1e-5f);
    EXPECT_EQ(k->pointerAngle, ctl_scale_angle(&k->scale));
    EXPECT_NE(k->mask, nullptr);
    EXPECT_NE(k->menu, nullptr);
    EXPECT_EQ(value(knob), 25.0f);

    RotatifRecord plain = record(0, 1, 0, 0.1f);
    EXPECT_EQ(rec(make(plain))->mask, nullptr) << "no mask for a rectangular knob";
    // A null creation record makes creation fail.
    EXPECT_EQ(CreateWindowExA(0, CTL_CLASS_ROTATIF, nullptr, WS_CHILD, 0, 0, 10, 10, host, nullptr,
                              ctl_instance(), nullptr),
              nullptr);
}

// ---------------------------------------------------------------------------
// Keys and wheel
// ---------------------------------------------------------------------------

struct StepRow {
    float minimum, maximum, from, step;
    uint32_t flags;
    UINT vk;
    float to;
};

TEST_F(RotatifTest, KeysStepClampAndNotifyOnlyChanges)
{
    static const StepRow rows[] = {
        {0, 100, 50, 1, 0, VK_LEFT, 49},      {0, 100, 50, 1, 0, VK_RIGHT, 51},
        {0, 100, 50, 1, 0, VK_UP, 60},        {0, 100, 50, 1, 0, VK_DOWN, 40},
        {0, 100, 95, 1, 0, VK_UP, 100},       {0, 100, 5, 1, 0, VK_DOWN, 0},
        {0, 100, 100, 1, 0, VK_UP, 100},      {0, 100, 0, 1, 0, VK_LEFT, 0},
        {1, 1000, 10, 10, LogScale, VK_RIGHT, 100}, {1, 1000, 10, 10, LogScale, VK_LEFT, 1},
        {1, 1000, 500, 10, LogScale, VK_RIGHT, 1000}, {1, 1000, 1, 10, LogScale, VK_LEFT, 1},
        {1, 1000, 10, 10, LogScale, VK_UP, 1000},   {0, 100, 50, 1, 0, VK_HOME, 50},
    };
    for (const StepRow &row : rows) {
        SCOPED_TRACE(testing::Message() << row.from << " key " << row.vk);
        notes = Notes();
        HWND knob = make(row.minimum, row.maximum, row.from, row.step, row.flags);
        key(knob, row.vk);
        EXPECT_FLOAT_EQ(value(knob), row.to);
        if (row.to != row.from)
            EXPECT_EQ(notes.values, std::vector<float>{value(knob)});
        else
            EXPECT_TRUE(notes.values.empty()) << "a step that changes nothing sends nothing";
        DestroyWindow(knob);
    }
}

TEST_F(RotatifTest, StepsNotifyOnlyWithContinuousNotification)
{
    RotatifRecord r = record(0, 100, 50, 1);
    r.notify.flags &= ~ROT_NOTIFY_CONTINUOUS;
    HWND knob = make(r);
    key(knob, VK_UP);
    wheel(knob, 120);
    EXPECT_EQ(value(knob), 65.0f);
    EXPECT_TRUE(notes.values.empty());
}

TEST_F(RotatifTest, KeysDoNothingOnSpringReturnDisabledOrDraggingKnobs)
{
    HWND spring = make(0, 100, 50, 1, 0, SpringReturn);
    key(spring, VK_UP);
    EXPECT_EQ(value(spring), 50.0f);
    HWND disabled = make(0, 100, 50, 1);
    command(disabled, CTL_CMD_DISABLE);
    key(disabled, VK_UP);
    wheel(disabled, 120);
    EXPECT_EQ(value(disabled), 50.0f);
    HWND held = make(0, 100, 50, 1);
    mouse(held, WM_LBUTTONDOWN, 24, 24);
    key(held, VK_UP);
    EXPECT_EQ(value(held), 50.0f);
    mouse(held, WM_LBUTTONUP, 24, 24, 0);
    EXPECT_EQ(notes.values, std::vector<float>{50.0f}) << "only the release";
}

TEST_F(RotatifTest, WheelGivesFiveStepsANotchWhateverTheDelta)
{
    struct Row {
        int mode;
        int delta;
        float to;
    };
    static const Row rows[] = {
        {0, 120, 505}, {0, -120, 495}, {0, 23, 500}, {0, -23, 500}, {0, 24, 501},
        {0, 240, 510}, {0, 359, 514}, {0, 32767, 1000}, {0, -32768, 0},
        {ROT_MODE_INVERSE, 120, 495}, {ROT_MODE_INVERSE, -120, 505}, {ROT_MODE_INVERSE, 23, 500},
        {ROT_MODE_ANGULAR | ROT_MODE_INVERSE, 120, 495},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message() << "mode " << row.mode << " delta " << row.delta);
        g_rotMode = row.mode;
        notes = Notes();
        HWND knob = make(0, 1000, 500, 1);
        wheel(knob, row.delta);
        EXPECT_EQ(value(knob), row.to);
        EXPECT_EQ(notes.values.size(), row.to != 500 ? 1u : 0u);
        DestroyWindow(knob);
    }
}

// ---------------------------------------------------------------------------
// Dragging
// ---------------------------------------------------------------------------

TEST_F(RotatifTest, LinearDragIsOneStepPerPixelAlongTheLongerAxis)
{
    struct Move {
        int dx, dy;
        float normal, inverse; // value change in each mode
    };
    static const Move moves[] = {
        {0, -7, 7, -7}, {3, 0, 3, 3}, {-2, 0, -2, -2}, {2, -5, 5, -5},
        {5, 2, 5, 5},   {0, 4, -4, 4}, {3, 3, 3, 3},   {0, 0, 0, 0},
    };
    for (int mode : {0, ROT_MODE_INVERSE}) {
        g_rotMode = mode;
        for (const Move &m : moves) {
            SCOPED_TRACE(testing::Message() << "mode " << mode << " move " << m.dx << "," << m.dy);
            notes = Notes();
            HWND knob = make(0, 100, 50, 1);
            mouse(knob, WM_LBUTTONDOWN, 20, 20);
            EXPECT_EQ(GetCapture(), knob);
            EXPECT_EQ(rec(knob)->dragging, 1);
            mouse(knob, WM_MOUSEMOVE, 20 + m.dx, 20 + m.dy);
            float expected = 50 + (mode == 0 ? m.normal : m.inverse);
            EXPECT_EQ(value(knob), expected);
            EXPECT_EQ(notes.values.size(), expected != 50 ? 1u : 0u);
            mouse(knob, WM_LBUTTONUP, 20 + m.dx, 20 + m.dy, 0);
            EXPECT_EQ(notes.values.back(), expected) << "the release notifies";
            EXPECT_EQ(rec(knob)->dragging, 0);
            EXPECT_NE(GetCapture(), knob);
            DestroyWindow(knob);
        }
    }
}

TEST_F(RotatifTest, PressedFaceShowsWhileDragging)
{
    RotatifRecord r = record(0, 100, 50, 1);
    r.pressedBitmap = pressed;
    HWND knob = make(r);
    EXPECT_EQ(harness_pixel(knob, 40, 40), kFace);
    mouse(knob, WM_LBUTTONDOWN, 20, 20);
    EXPECT_EQ(harness_pixel(knob, 40, 40), kPressed);
    mouse(knob, WM_LBUTTONUP, 20, 20, 0);
    EXPECT_EQ(harness_pixel(knob, 40, 40), kFace);
}

// Range 0..270 over the 270 degrees from 225 through the top to 315: the
// value is the clockwise angle from the start, in degrees.
TEST_F(RotatifTest, AngularDragFollowsThePointerAndSnapsOutOfTheDeadArc)
{
    g_rotMode = ROT_MODE_ANGULAR;
    struct Row {
        float degrees; // where the mouse is, seen from the centre
        float value;   // what the knob then holds
    };
    static const Row rows[] = {
        {90, 135},  // straight up: halfway
        {180, 45},  // left
        {0, 225},   // right
        {330, 255}, // inside the sweep near the end
        {320, 265},
        {300, 270}, // dead arc, the end's half: snaps to the maximum
        {314, 270}, // just past the end
        {250, 0},   // dead arc, the start's half: snaps to the minimum
        {226, 0},   // just before the start
    };
    HWND knob = make(0, 270, 100, 1);
    mouse(knob, WM_LBUTTONDOWN, 24, 24);
    for (const Row &row : rows) {
        SCOPED_TRACE(row.degrees);
        float a = row.degrees * kPi / 180;
        int x = 24 + (int)std::lround(20 * std::cos(a)), y = 24 - (int)std::lround(20 * std::sin(a));
        mouse(knob, WM_MOUSEMOVE, x, y);
        EXPECT_NEAR(value(knob), row.value, 2.0f);
        float expectedAngle = (225 - row.value) * kPi / 180;
        float off = std::remainder(rec(knob)->pointerAngle - expectedAngle, 2 * kPi);
        EXPECT_NEAR(off, 0.0f, 0.04f) << "the pointer is where the value is";
        EXPECT_EQ(rec(knob)->lastX, x);
    }
    // The pointer exactly at the start angle gives the minimum.
    set(knob, 100);
    mouse(knob, WM_MOUSEMOVE, 24 - 10, 24 + 10);
    EXPECT_NEAR(value(knob), 0.0f, 1e-3f);
    mouse(knob, WM_LBUTTONUP, 24, 24, 0);
}

TEST_F(RotatifTest, AngularMovesOverTheCentrePixelAreIgnored)
{
    g_rotMode = ROT_MODE_ANGULAR;
    HWND knob = make(0, 270, 100, 1);
    mouse(knob, WM_LBUTTONDOWN, 30, 10);
    notes = Notes();
    float angle = rec(knob)->pointerAngle;
    mouse(knob, WM_MOUSEMOVE, 24, 24);
    EXPECT_EQ(value(knob), 100.0f);
    EXPECT_EQ(rec(knob)->pointerAngle, angle);
    EXPECT_EQ(rec(knob)->lastX, 30) << "the position is not kept either";
    EXPECT_EQ(rec(knob)->lastY, 10);
    EXPECT_TRUE(notes.values.empty());
    // A move that does not change the value still notifies continuously.
    mouse(knob, WM_MOUSEMOVE, 24, 4);
    mouse(knob, WM_MOUSEMOVE, 24, 2);
    EXPECT_EQ(notes.values.size(), 2u);
    EXPECT_EQ(notes.values[0], notes.values[1]);
}

TEST_F(RotatifTest, SpringReturnNotifiesTheDraggedValueThenTheDefault)
{
    HWND knob = make(-1, 1, 0, 0.01f, 0, SpringReturn);
    mouse(knob, WM_LBUTTONDOWN, 20, 20);
    mouse(knob, WM_MOUSEMOVE, 20, 0);
    float dragged = value(knob);
    EXPECT_NEAR(dragged, 0.2f, 1e-5f);
    notes = Notes();
    mouse(knob, WM_LBUTTONUP, 20, 0, 0);
    EXPECT_EQ(notes.values, (std::vector<float>{dragged, 0.0f}));
    EXPECT_EQ(value(knob), 0.0f);
}

TEST_F(RotatifTest, LosingTheCaptureEndsTheDrag)
{
    HWND knob = make(0, 100, 50, 1);
    mouse(knob, WM_LBUTTONDOWN, 20, 20);
    mouse(knob, WM_MOUSEMOVE, 20, 10);
    notes = Notes();
    SetCapture(host);
    harness_pump();
    EXPECT_EQ(rec(knob)->dragging, 0);
    EXPECT_EQ(notes.values, std::vector<float>{60.0f});
    mouse(knob, WM_MOUSEMOVE, 20, 0, 0);
    EXPECT_EQ(value(knob), 60.0f) << "moves after the drag do nothing";
    ReleaseCapture();
}

TEST_F(RotatifTest, DoubleClickResetsWhenEnabled)
{
    HWND knob = make(0, 100, 50, 1);
    set(knob, 80);
    mouse(knob, WM_LBUTTONDBLCLK, 20, 20);
    EXPECT_EQ(value(knob), 50.0f);
    EXPECT_EQ(notes.values, std::vector<float>{50.0f});
    set(knob, 80);
    command(knob, CTL_CMD_DISABLE);
    mouse(knob, WM_LBUTTONDBLCLK, 20, 20);
    mouse(knob, WM_LBUTTONDOWN, 20, 20);
    EXPECT_EQ(rec(knob)->dragging, 0) << "a disabled knob does not drag";
    EXPECT_EQ(value(knob), 80.0f);
    EXPECT_EQ(notes.values.size(), 1u);
}

// ---------------------------------------------------------------------------
// Commands and the mode word
// ---------------------------------------------------------------------------

TEST_F(RotatifTest, ValueCommands)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    RotatifRecord r = record(0, 100, 50, 1);
    r.presetCount = 2;
    r.presets[0] = 12.5f;
    r.presets[1] = 300; // outside the range
    r.presets[2] = 77;  // beyond presetCount
    HWND knob = make(r);
    struct Row {
        int command;
        float argument;
        float after;
        std::vector<float> notified;
    };
    const Row rows[] = {
        {CTL_CMD_SET, 30, 30, {}},         {CTL_CMD_SET, 101, 30, {}},
        {CTL_CMD_SET, -1, 30, {}},         {CTL_CMD_SET, nan, 30, {}},
        {CTL_CMD_SET, inf, 30, {}},        {CTL_CMD_SET, -inf, 30, {}},
        {ROT_CMD_MINIMUM, 0, 0, {0}},      {ROT_CMD_MINIMUM, 0, 0, {0}}, // already there: still
        {ROT_CMD_MAXIMUM, 0, 100, {100}},  {ROT_CMD_DEFAULT, 0, 50, {50}},
        {ROT_CMD_PRESET, 0, 12.5f, {12.5f}}, {ROT_CMD_PRESET + 1, 0, 12.5f, {12.5f}},
        {ROT_CMD_PRESET + 2, 0, 12.5f, {}}, {999, 0, 12.5f, {}},
        {ROT_CMD_POPUP_CLOSED, 0, 12.5f, {}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message() << row.command << " " << row.argument);
        notes = Notes();
        SendMessageA(knob, WM_COMMAND, row.command, ctl_float_bits(row.argument));
        EXPECT_EQ(value(knob), row.after);
        EXPECT_EQ(notes.values, row.notified);
    }
    EXPECT_EQ(notes.lastId, 0u);
    command(knob, ROT_CMD_MAXIMUM);
    EXPECT_EQ(notes.lastId, 7u);
    EXPECT_EQ(SendMessageA(knob, WM_COMMAND, CTL_CMD_GET, 0), (LRESULT)ctl_float_bits(100.0f));
}

TEST_F(RotatifTest, ModeWordCommands)
{
    struct Row {
        int command;
        int32_t before, after;
    };
    static const Row rows[] = {
        {ROT_CMD_INVERSE_MODE, 0, 1}, {ROT_CMD_INVERSE_MODE, 1, 0}, {ROT_CMD_INVERSE_MODE, 2, 2},
        {ROT_CMD_INVERSE_MODE, 3, 3}, {ROT_CMD_INVERSE_MODE, 5, 5},
        {ROT_CMD_ANGULAR_MODE, 0, 2}, {ROT_CMD_ANGULAR_MODE, 1, 3}, {ROT_CMD_ANGULAR_MODE, 2, 0},
        {ROT_CMD_ANGULAR_MODE, 3, 1}, {ROT_CMD_ANGULAR_MODE, 7, 1}, {ROT_CMD_ANGULAR_MODE, 6, 0},
        {ROT_CMD_ANGULAR_MODE, 4, 6},
    };
    HWND knob = make(0, 1, 0, 0.1f);
    for (const Row &row : rows) {
        g_rotMode = row.before;
        command(knob, row.command);
        EXPECT_EQ(g_rotMode, row.after) << row.command << " from " << row.before;
    }
    EXPECT_TRUE(notes.values.empty());
}

// ---------------------------------------------------------------------------
// Context menu
// ---------------------------------------------------------------------------

std::string item_text(HMENU menu, UINT id)
{
    char text[200] = "";
    GetMenuStringA(menu, id, text, sizeof text, MF_BYCOMMAND);
    return text;
}

// The menu as it opens: WM_INITMENUPOPUP brings it up to date.
HMENU open_menu(HWND knob)
{
    HMENU menu = static_cast<RotatifRecord *>(ctl_get_instance_data(knob))->menu;
    SendMessageA(knob, WM_INITMENUPOPUP, (WPARAM)menu, 0);
    return menu;
}

bool checked(HMENU menu, UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0; }
bool greyed(HMENU menu, UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0; }

TEST_F(RotatifTest, MenuModeItemsFollowTheModeWord)
{
    struct Row {
        int32_t mode;
        bool inverseChecked, inverseGreyed, angularChecked;
    };
    static const Row rows[] = {
        {0, false, false, false}, {1, true, false, false},
        {2, false, true, true},   {3, true, true, true},
    };
    HWND knob = make(0, 1, 0, 0.1f);
    for (const Row &row : rows) {
        SCOPED_TRACE(row.mode);
        g_rotMode = row.mode;
        HMENU menu = open_menu(knob);
        EXPECT_EQ(checked(menu, ROT_CMD_INVERSE_MODE), row.inverseChecked);
        EXPECT_EQ(greyed(menu, ROT_CMD_INVERSE_MODE), row.inverseGreyed);
        EXPECT_EQ(checked(menu, ROT_CMD_ANGULAR_MODE), row.angularChecked);
        EXPECT_FALSE(greyed(menu, ROT_CMD_ANGULAR_MODE));
    }
    // In inverse mode, turning angular mode on greys the inverse item and
    // keeps bit 0; the inverse command then changes nothing.
    g_rotMode = 1;
    command(knob, ROT_CMD_ANGULAR_MODE);
    command(knob, ROT_CMD_INVERSE_MODE);
    EXPECT_EQ(g_rotMode, 3);
    EXPECT_TRUE(greyed(open_menu(knob), ROT_CMD_INVERSE_MODE));
}

TEST_F(RotatifTest, MenuTextsAndChecks)
{
    RotatifRecord r = record(0, 100, 50, 1);
    r.presetCount = 2;
    r.presets[0] = 20;
    r.presets[1] = 50;
    HWND knob = make(r);
    HMENU menu = open_menu(knob);
    EXPECT_EQ(GetMenuItemCount(menu), 10);
    EXPECT_EQ(item_text(menu, ROT_CMD_INVERSE_MODE), "Inverse Mousemove Mode");
    EXPECT_EQ(item_text(menu, ROT_CMD_ANGULAR_MODE), "Angular Mousemove Mode");
    EXPECT_EQ(item_text(menu, ROT_CMD_CURRENT), "Current value : +50.00");
    EXPECT_EQ(item_text(menu, ROT_CMD_DEFAULT), "Default value (+50.000000)\tDBLCLICK");
    EXPECT_EQ(item_text(menu, ROT_CMD_EDIT), "Edit Value\tINS [CTRL+CLICK]");
    EXPECT_EQ(item_text(menu, ROT_CMD_ADJUST), "Adjust Value\t[SHIFT+CLICK]");
    EXPECT_EQ(item_text(menu, ROT_CMD_MINIMUM), "Value Min (0.000000)");
    EXPECT_EQ(item_text(menu, ROT_CMD_MAXIMUM), "Value Max (+100.000000)");
    EXPECT_EQ(GetMenuState(menu, 2, MF_BYPOSITION) & MF_SEPARATOR, (UINT)MF_SEPARATOR);
    EXPECT_EQ(GetMenuState(menu, 7, MF_BYPOSITION) & MF_SEPARATOR, (UINT)MF_SEPARATOR);
    EXPECT_TRUE(GetMenuState(menu, ROT_CMD_CURRENT, MF_BYCOMMAND) & MF_DISABLED);
    EXPECT_TRUE(checked(menu, ROT_CMD_DEFAULT));
    EXPECT_FALSE(checked(menu, ROT_CMD_MINIMUM));

    // The application's preset items are checked with the others.
    AppendMenuA(menu, MF_STRING, ROT_CMD_PRESET, "Preset 20");
    AppendMenuA(menu, MF_STRING, ROT_CMD_PRESET + 1, "Preset 50");
    open_menu(knob);
    EXPECT_FALSE(checked(menu, ROT_CMD_PRESET));
    EXPECT_TRUE(checked(menu, ROT_CMD_PRESET + 1));
    command(knob, ROT_CMD_PRESET);
    command(knob, ROT_CMD_MINIMUM);
    set(knob, 20);
    open_menu(knob);
    EXPECT_TRUE(checked(menu, ROT_CMD_PRESET));
    EXPECT_FALSE(checked(menu, ROT_CMD_PRESET + 1));
    EXPECT_FALSE(checked(menu, ROT_CMD_DEFAULT));
    EXPECT_EQ(item_text(menu, ROT_CMD_CURRENT), "Current value : +20.00");
    command(knob, ROT_CMD_MAXIMUM);
    open_menu(knob);
    EXPECT_TRUE(checked(menu, ROT_CMD_MAXIMUM));
}

TEST_F(RotatifTest, DecibelMenuTexts)
{
    HWND knob = make(0.1f, 10, 1, 1.1f, LogScale, DecibelDisplay);
    HMENU menu = open_menu(knob);
    EXPECT_EQ(item_text(menu, ROT_CMD_CURRENT), "Current value : 0.000 db")
        << "no plus sign for zero";
    EXPECT_EQ(item_text(menu, ROT_CMD_DEFAULT), "Default value (0.0 db)\tDBLCLICK");
    EXPECT_EQ(item_text(menu, ROT_CMD_MINIMUM), "Value Min (-20.0) db");
    EXPECT_EQ(item_text(menu, ROT_CMD_MAXIMUM), "Value Max (+20.0) db");
    set(knob, 10);
    open_menu(knob);
    EXPECT_EQ(item_text(menu, ROT_CMD_CURRENT), "Current value : +20.000 db");
}

TEST_F(RotatifTest, NoValueEditKeepsOnlyTheModeItems)
{
    HWND knob = make(0, 100, 50, 1, 0, NoValueEdit | EditNumber);
    HMENU menu = open_menu(knob);
    EXPECT_EQ(GetMenuItemCount(menu), 2);
    command(knob, ROT_CMD_EDIT);
    command(knob, ROT_CMD_ADJUST);
    key(knob, VK_INSERT);
    mouse(knob, WM_LBUTTONDOWN, 20, 20, MK_LBUTTON | MK_SHIFT);
    mouse(knob, WM_MBUTTONDOWN, 20, 20, MK_MBUTTON);
    EXPECT_EQ(g_openAdjustPopup, nullptr);
    EXPECT_EQ(g_openEditDialog, nullptr);
    EXPECT_EQ(rec(knob)->popup, nullptr);
}

// ---------------------------------------------------------------------------
// Drawing
// ---------------------------------------------------------------------------

// A knob from 180 (left) to 0 (right) degrees through the top, range
// 0..180: value v points at 180 - v degrees.
TEST_F(RotatifTest, PointerBarPixels)
{
    const COLORREF bar = ctl_color(2);
    struct Row {
        float value;
        uint32_t look;
        uint32_t style;
    };
    static const Row rows[] = {
        {90, 0, 0}, {0, 0, 0}, {180, 0, 0}, {45, 0, 0}, {135, 0, 0},
        {90, ROT_ROUND, 0}, {45, ROT_ROUND, 0}, {90, 0, ShortPointer}, {135, ROT_ROUND, ShortPointer},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message() << row.value << " look " << row.look << " style "
                                        << std::hex << row.style);
        RotatifRecord r = record(0, 180, row.value, 1, 0, row.style);
        r.startDegrees = 180;
        r.endDegrees = 0;
        r.look = row.look;
        if (row.look == ROT_ROUND)
            r.faceBitmap = disc;
        HWND knob = make(r);
        float a = (180 - row.value) * kPi / 180;
        float c = std::cos(a), s = -std::sin(a);
        auto at = [&](float along, float across) {
            int x = 24 + (int)std::lround(along * c + across * s);
            int y = 24 + (int)std::lround(along * s - across * c);
            return harness_pixel(knob, x, y);
        };
        bool shortBar = (row.style & ShortPointer) != 0;
        EXPECT_EQ(at(18, 0), bar) << "near the tip";
        EXPECT_EQ(at(15, 1), bar) << "inside its width";
        EXPECT_EQ(at(5, 0), shortBar ? kFace : bar) << "near the centre";
        EXPECT_EQ(at(12, 0), shortBar ? kFace : bar);
        EXPECT_EQ(at(16, 0), bar);
        EXPECT_EQ(at(15, 5), kFace) << "beside it";
        EXPECT_EQ(at(15, -5), kFace);
        EXPECT_EQ(at(23, 0), kFace) << "beyond the tip";
        EXPECT_EQ(at(-4, 0), kFace) << "behind the centre";
        EXPECT_EQ(harness_pixel(knob, 1, 1), row.look == ROT_ROUND ? kHostColour : kFace)
            << "round knobs show the host in the corners";
        DestroyWindow(knob);
    }
}

// After a change the knob redraws itself at once, from its copy of the face
// layer: the old pointer goes, the new one shows, the corners stay the host's.
TEST_F(RotatifTest, DirectRedrawMovesThePointerCleanly)
{
    for (uint32_t look : {0u, ROT_ROUND}) {
        SCOPED_TRACE(look);
        RotatifRecord r = record(0, 180, 90, 10);
        r.startDegrees = 180;
        r.endDegrees = 0;
        r.look = look;
        r.faceBitmap = look == ROT_ROUND ? disc : face;
        r.pressedBitmap = pressed;
        HWND knob = make(r);
        const COLORREF bar = ctl_color(2);
        EXPECT_EQ(harness_pixel(knob, 24, 10), bar) << "up";
        key(knob, VK_DOWN); // 100 steps down: to the minimum, pointing left
        EXPECT_EQ(harness_pixel(knob, 24, 10), kFace) << "the old pointer is gone";
        EXPECT_EQ(harness_pixel(knob, 10, 24), bar) << "left";
        key(knob, VK_RIGHT);
        key(knob, VK_RIGHT);
        key(knob, VK_RIGHT); // 30 degrees up from the left
        EXPECT_EQ(harness_pixel(knob, 10, 24), kFace);
        EXPECT_EQ(harness_pixel(knob, 24 - 14, 24 - 8), bar);
        EXPECT_EQ(harness_pixel(knob, 1, 1), look == ROT_ROUND ? kHostColour : kFace);
        // The pressed face while dragging, then the face again, by direct redraws.
        mouse(knob, WM_LBUTTONDOWN, 40, 40);
        mouse(knob, WM_MOUSEMOVE, 40, 30);
        EXPECT_EQ(harness_pixel(knob, 38, 24), kPressed);
        mouse(knob, WM_LBUTTONUP, 40, 30, 0);
        EXPECT_EQ(harness_pixel(knob, 38, 24), kFace);
        DestroyWindow(knob);
    }
}

TEST_F(RotatifTest, FocusMarksAndDisabledLook)
{
    HBITMAP grey = harness_solid_bitmap(48, 48, RGB(90, 90, 90));
    for (uint32_t look : {0u, ROT_ROUND}) {
        SCOPED_TRACE(look);
        RotatifRecord r = record(0, 180, 90, 1);
        r.startDegrees = 180;
        r.endDegrees = 0;
        r.look = look;
        r.pointerBrush = r.pointerPen = 3; // yellow, apart from the focus marks' red
        HWND knob = make(r);
        SetFocus(knob);
        harness_pump();
        EXPECT_EQ(rec(knob)->focused, 1);
        if (look == ROT_ROUND)
            EXPECT_EQ(harness_pixel(knob, 24, 36), ctl_color(2)) << "the dot under the centre";
        else
            EXPECT_EQ(harness_pixel(knob, 1, 1), ctl_color(2)) << "the corner mark";
        EXPECT_EQ(harness_pixel(knob, 24, 10), ctl_color(3)) << "the pointer, up";
        command(knob, CTL_CMD_DISABLE);
        harness_pump();
        EXPECT_EQ(harness_pixel(knob, 24, 24), ctl_color(15)) << "the cross's white centre";
        EXPECT_NE(harness_pixel(knob, 24, 10), ctl_color(3)) << "no pointer";
        EXPECT_NE(harness_pixel(knob, 1, 1), ctl_color(2)) << "no focus mark";
        command(knob, CTL_CMD_ENABLE);
        harness_pump();
        EXPECT_EQ(harness_pixel(knob, 24, 10), ctl_color(3));
        DestroyWindow(knob);

        r.disabledBitmap = grey;
        knob = make(r);
        command(knob, CTL_CMD_DISABLE);
        harness_pump();
        EXPECT_EQ(harness_pixel(knob, 24, 10), RGB(90, 90, 90)) << "the disabled picture";
        DestroyWindow(knob);
    }
    DeleteObject(grey);
}

// ---------------------------------------------------------------------------
// Edit box, time dialog and adjust popup
// ---------------------------------------------------------------------------

// Answers each edit box that opens with the next text ("" cancels); the
// callback may do something else instead.
struct EditScript {
    std::vector<std::string> answers; // one per edit box, in order
    std::vector<std::string> shown;   // what each box showed
    void (*instead)(EditScript *) = nullptr; // runs at the first box instead of answering
    HWND knob = nullptr;
    HWND lastDialog = nullptr;
    int ticks = 0;
};
EditScript *g_edit = nullptr;

void CALLBACK edit_timer(HWND, UINT, UINT_PTR, DWORD)
{
    EditScript *s = g_edit;
    if (s == nullptr || g_openEditDialog == nullptr || g_openEditDialog == s->lastDialog)
        return;
    if (++s->ticks > 200) { // a runaway script: end the box
        SendMessageA(g_openEditDialog, WM_CLOSE, 0, 0);
        return;
    }
    s->lastDialog = g_openEditDialog;
    HWND edit = GetDlgItem(g_openEditDialog, 10);
    char text[128] = "";
    GetWindowTextA(edit, text, sizeof text);
    s->shown.push_back(text);
    if (s->instead != nullptr) {
        s->instead(s);
        return;
    }
    std::string answer = s->shown.size() <= s->answers.size() ? s->answers[s->shown.size() - 1] : "";
    if (answer.empty()) {
        PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, harness_key_lparam(VK_ESCAPE, true));
        return;
    }
    SetWindowTextA(edit, answer.c_str());
    PostMessageA(edit, WM_KEYDOWN, VK_RETURN, harness_key_lparam(VK_RETURN, true));
}

// Runs the knob's edit operation (command 103) with the script answering.
void run_edit(HWND knob, EditScript *script, UINT how = WM_COMMAND)
{
    g_edit = script;
    script->knob = knob;
    UINT_PTR timer = SetTimer(nullptr, 0, 10, edit_timer);
    if (how == WM_COMMAND)
        SendMessageA(knob, WM_COMMAND, ROT_CMD_EDIT, 0);
    else if (how == WM_KEYDOWN)
        SendMessageA(knob, WM_KEYDOWN, VK_INSERT, harness_key_lparam(VK_INSERT, true));
    else
        SendMessageA(knob, how, how == WM_LBUTTONDOWN ? MK_LBUTTON | MK_CONTROL : MK_MBUTTON,
                     MAKELPARAM(20, 20));
    KillTimer(nullptr, timer);
    g_edit = nullptr;
    harness_pump();
}

TEST_F(RotatifTest, EditPathsApplyTheTypedValue)
{
    struct Row {
        uint32_t style;
        UINT how;
        std::vector<std::string> answers;
        std::vector<std::string> shown;
        float after;
        size_t notified;
    };
    const Row rows[] = {
        {EditNumber, WM_COMMAND, {"42.5"}, {"2.50"}, 42.5f, 1},
        {EditNumber, WM_KEYDOWN, {"7,25 s"}, {"2.50"}, 7.25f, 1},
        {EditNumber, WM_LBUTTONDOWN, {"99"}, {"2.50"}, 99, 1},
        {EditNumber, WM_MBUTTONDOWN, {"-3"}, {"2.50"}, 2.5f, 1}, // refused, still notified
        {EditNumber, WM_COMMAND, {""}, {"2.50"}, 2.5f, 0},      // cancelled
        {DecibelDisplay, WM_COMMAND, {"20"}, {"7.959"}, 10, 1},
        {DecibelDisplay | EditNumber, WM_COMMAND, {"0", "3.5"}, {"7.959", "1.000"}, 3.5f, 2},
        {0, WM_COMMAND, {}, {}, 2.5f, 0},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message() << std::hex << row.style << " " << row.how);
        notes = Notes();
        HWND knob = make(0, 100, 2.5f, 1, 0, row.style);
        EditScript script;
        script.answers = row.answers;
        run_edit(knob, &script, row.how);
        EXPECT_EQ(script.shown, row.shown);
        EXPECT_FLOAT_EQ(value(knob), row.after);
        EXPECT_EQ(notes.values.size(), row.notified);
        EXPECT_EQ(g_openEditDialog, nullptr);
        DestroyWindow(knob);
    }
}

// EditTime asks for the seconds in the time-entry dialog, opened on the
// knob's value; a cancelled dialog changes nothing.
TEST_F(RotatifTest, EditTimeOpensTheTimeDialog)
{
    HWND knob = make(0, 100, 2.5f, 1, 0, EditTime);
    TimeDialogAnswer answer = {};
    answer.seconds = "1.5";
    UINT_PTR timer = harness_time_dialog_arm(&answer);
    SendMessageA(knob, WM_COMMAND, ROT_CMD_EDIT, 0);
    EXPECT_EQ(answer.opened, 1);
    EXPECT_STREQ(answer.shown, "2.500000");
    EXPECT_EQ(value(knob), 1.5f);
    EXPECT_EQ(notes.values, std::vector<float>{1.5f});
    answer.seconds = nullptr;
    harness_time_dialog_disarm(timer);
    timer = harness_time_dialog_arm(&answer);
    SendMessageA(knob, WM_COMMAND, ROT_CMD_EDIT, 0);
    harness_time_dialog_disarm(timer);
    EXPECT_EQ(answer.opened, 1);
    EXPECT_EQ(value(knob), 1.5f);
    EXPECT_EQ(notes.values.size(), 1u);
    EXPECT_EQ(g_openTimeDialog, nullptr);
}

TEST_F(RotatifTest, KnobDestroyedWhileItsEditBoxIsOpen)
{
    HWND knob = make(0, 100, 2.5f, 1, 0, EditNumber | EditTime);
    EditScript script;
    script.instead = [](EditScript *s) { DestroyWindow(s->knob); };
    run_edit(knob, &script);
    EXPECT_FALSE(IsWindow(knob));
    EXPECT_EQ(script.shown.size(), 1u) << "the box ended, and no time dialog followed";
    EXPECT_EQ(g_openEditDialog, nullptr);
    EXPECT_TRUE(notes.values.empty());
    EXPECT_TRUE(IsWindowEnabled(host)) << "the owner is enabled again";
}

TEST_F(RotatifTest, AdjustPopupOpensUnderTheKnobAndIsForgottenWhenItCloses)
{
    HWND knob = make(0, 100, 50, 1);
    command(knob, ROT_CMD_ADJUST);
    HWND popup = rec(knob)->popup;
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(g_openAdjustPopup, popup);
    RECT rc;
    GetWindowRect(popup, &rc);
    POINT centre = {24, 24};
    ClientToScreen(knob, &centre);
    EXPECT_EQ(rc.left, centre.x - 2);
    EXPECT_EQ(rc.top, centre.y - 2);
    SendMessageA(popup, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_EQ(rec(knob)->popup, nullptr) << "command 105 arrived";

    // Shift+click, Shift+right click and Shift+middle click open it too.
    for (UINT message : {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN}) {
        mouse(knob, message, 20, 20, MK_SHIFT);
        EXPECT_NE(rec(knob)->popup, nullptr) << message;
        EXPECT_EQ(rec(knob)->dragging, 0);
        SendMessageA(rec(knob)->popup, WM_CLOSE, 0, 0);
    }
    // Not while disabled.
    command(knob, CTL_CMD_DISABLE);
    command(knob, ROT_CMD_ADJUST);
    EXPECT_EQ(rec(knob)->popup, nullptr);
}

TEST_F(RotatifTest, KnobDestroyedWhileItsPopupIsOpen)
{
    HWND knob = make(0, 100, 50, 1);
    command(knob, ROT_CMD_ADJUST);
    HWND popup = rec(knob)->popup;
    ASSERT_EQ(GetCapture(), popup);
    DestroyWindow(knob);
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_EQ(g_openAdjustPopup, nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(notes.values.empty());
}

TEST_F(RotatifTest, StalePopupHandleIsLeftAlone)
{
    // While the toolkit is inactive the popup does not tell the knob it went.
    HWND knob = make(0, 100, 50, 1);
    command(knob, ROT_CMD_ADJUST);
    HWND popup = rec(knob)->popup;
    g_toolkitActive = 0;
    SendMessageA(popup, WM_CLOSE, 0, 0);
    g_toolkitActive = 1;
    EXPECT_EQ(rec(knob)->popup, popup);
    HWND other = make(0, 100, 50, 1);
    command(other, ROT_CMD_ADJUST); // a new popup, maybe with the old handle
    HWND second = rec(other)->popup;
    DestroyWindow(knob); // must not close the other knob's popup
    EXPECT_TRUE(IsWindow(second));
    SendMessageA(second, WM_CLOSE, 0, 0);
}

TEST_F(RotatifTest, TabAndEscapeGoToTheOwner)
{
    HWND knob = make(0, 100, 50, 1);
    for (UINT vk : {VK_TAB, VK_ESCAPE}) {
        key(knob, vk);
        MSG msg;
        ASSERT_EQ(harness_take_message(host, WM_KEYDOWN, WM_KEYDOWN, &msg), 1) << vk;
        EXPECT_EQ(msg.wParam, vk);
        EXPECT_EQ(msg.lParam, harness_key_lparam(vk, true));
    }
}

TEST_F(RotatifTest, PostedNotificationCarriesIdAndValue)
{
    RotatifRecord r = record(0, 100, 50, 1);
    r.notify = {host, nullptr, 0, nullptr};
    HWND knob = make(r);
    command(knob, ROT_CMD_MAXIMUM);
    MSG msg;
    ASSERT_EQ(harness_take_message(host, WM_COMMAND, WM_COMMAND, &msg), 1);
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_EQ((uint32_t)msg.lParam, ctl_float_bits(100.0f));
}

// ---------------------------------------------------------------------------
// Bad scales and values
// ---------------------------------------------------------------------------

bool finite_text(const std::string &text)
{
    return text.find("inf") == std::string::npos && text.find("nan") == std::string::npos;
}

TEST_F(RotatifTest, ImproperScalesGiveFiniteAnglesAndTexts)
{
    struct Row {
        const char *what;
        float minimum, maximum, defaultValue, step;
        uint32_t flags, style;
    };
    static const Row rows[] = {
        {"minimum equal to maximum", 5, 5, 5, 1, 0, 0},
        {"log through 0", -1, 1, 0.5f, 2, LogScale, 0},
        {"log from 0", 0, 100, 1, 2, LogScale, 0},
        {"decibels of 0", 0, 1, 0, 0.1f, 0, DecibelDisplay},
        {"decibels below 0", -1, 1, -0.5f, 0.1f, 0, DecibelDisplay},
        {"log decibels through 0", -1, 1, 0.5f, 2, LogScale, DecibelDisplay},
    };
    g_rotMode = ROT_MODE_ANGULAR;
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        HWND knob = make(row.minimum, row.maximum, row.defaultValue, row.step, row.flags, row.style);
        ASSERT_NE(knob, nullptr);
        auto check = [&] {
            EXPECT_TRUE(std::isfinite(rec(knob)->pointerAngle));
            EXPECT_TRUE(std::isfinite(value(knob)));
            HMENU menu = open_menu(knob);
            for (UINT id : {ROT_CMD_CURRENT, ROT_CMD_DEFAULT, ROT_CMD_MINIMUM, ROT_CMD_MAXIMUM})
                EXPECT_TRUE(finite_text(item_text(menu, id))) << item_text(menu, id);
        };
        check();
        for (UINT vk : {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT})
            key(knob, vk);
        wheel(knob, 32767);
        check();
        mouse(knob, WM_LBUTTONDOWN, 24, 24);
        for (int i = 0; i < 48; i += 5)
            mouse(knob, WM_MOUSEMOVE, i, 47 - i);
        mouse(knob, WM_LBUTTONUP, 0, 0, 0);
        check();
        for (float v : {std::numeric_limits<float>::quiet_NaN(), INFINITY, -INFINITY})
            set(knob, v);
        check();
        command(knob, ROT_CMD_MINIMUM);
        command(knob, ROT_CMD_MAXIMUM);
        check();
        DestroyWindow(knob);
    }
}

} // namespace
