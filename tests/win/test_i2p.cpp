// The I2p button through real messages: kinds, the auto-repeat schedule,
// value commands, keys forwarded to the parent, held presses that end
// without a notification, and the pixels of the face, cross and focus mark.
#include "tests/win/harness.h"
#include "tests/win/host_fixture.h"
#include "toolkit/qk2ctl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

const COLORREF kOff = RGB(0, 0, 200);
const COLORREF kOn = RGB(240, 200, 0);
const COLORREF kHostColour = RGB(0, 128, 0);

// Notifications as the callback saw them: the id and the value.
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

class I2pTest : public ToolkitHostTest<200, 120> {
protected:
    void SetUp() override
    {
        ToolkitHostTest::SetUp();
        off = harness_solid_bitmap(20, 20, kOff);
        on = harness_solid_bitmap(20, 20, kOn);
    }
    void TearDown() override
    {
        ToolkitHostTest::TearDown();
        DeleteObject(off);
        DeleteObject(on);
    }
    // A 20 x 20 button of this behaviour at (10, 10) whose notifications
    // land in notes.
    HWND make(uint32_t behaviour, uint32_t look = 0, HBITMAP disabled = nullptr)
    {
        I2pLook l = {20, 20, off, on, disabled, look, behaviour};
        NotifyTarget t = {host, record_note, CTL_NOTIFY_CALLBACK, &notes};
        HWND button = ctl_create_i2p(host, 7, 10, 10, &l, &t);
        harness_pump();
        return button;
    }
    float value(HWND button) { return ctl_send_command(button, CTL_CMD_GET, 0); }
    void set(HWND button, float v) { SendMessageA(button, WM_COMMAND, CTL_CMD_SET, ctl_float_bits(v)); }
    void tick(HWND button, WPARAM id = I2P_TIMER_ID) { SendMessageA(button, WM_TIMER, id, 0); }

    HBITMAP off = nullptr, on = nullptr;
    Notes notes;
};

// Each kind's answer to two clicks inside: the notified values and the
// value left.
TEST_F(I2pTest, TwoClicksOfEachKind)
{
    struct Row {
        uint32_t behaviour;
        std::vector<float> notified;
        float after;
    };
    const Row rows[] = {
        {I2P_PUSH, {1.0f, 1.0f}, 0.0f},
        {I2P_TOGGLE, {1.0f, 0.0f}, 0.0f},
        {I2P_SET_ONLY, {1.0f}, 1.0f},
        {I2P_INDICATOR, {}, 0.0f},
        {0x9000 | I2P_AUTO_REPEAT, {}, 0.0f}, // no kind of its own: nothing
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.behaviour);
        notes = Notes();
        HWND button = make(row.behaviour);
        harness_click(button, 5, 5);
        harness_click(button, 5, 5);
        EXPECT_EQ(notes.values, row.notified);
        EXPECT_EQ(value(button), row.after);
        if (!notes.values.empty()) {
            EXPECT_EQ(notes.lastId, 7u);
        }
        EXPECT_NE(GetCapture(), button);
        DestroyWindow(button);
    }
}

TEST_F(I2pTest, PushReleasedOutsideNotifiesNothing)
{
    HWND button = make(I2P_PUSH);
    harness_post_mouse(button, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    harness_pump();
    EXPECT_EQ(value(button), 1.0f);
    EXPECT_EQ(GetCapture(), button);
    harness_post_mouse(button, WM_MOUSEMOVE, 50, 5, MK_LBUTTON);
    harness_post_mouse(button, WM_LBUTTONUP, 50, 5, 0);
    harness_pump();
    EXPECT_TRUE(notes.values.empty());
    EXPECT_EQ(value(button), 0.0f);
    EXPECT_NE(GetCapture(), button);
}

// Timer message m (1-based) after the press notifies when m is 9, 13, 17,
// 21, then every other one from 23 and every one from 42. Moving off the
// button pauses the count; a foreign timer never counts.
TEST_F(I2pTest, AutoRepeatSchedule)
{
    HWND button = make(I2P_PUSH | I2P_AUTO_REPEAT);
    harness_post_mouse(button, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    harness_pump();
    KillTimer(button, I2P_TIMER_ID); // the test sends the ticks itself
    ASSERT_EQ(notes.values.size(), 1u) << "the press notifies at once";

    std::vector<int> notifiedAt;
    for (int m = 1; m <= 45; ++m) {
        size_t before = notes.values.size();
        if (m == 10) { // off the button for three ticks and a foreign timer
            harness_post_mouse(button, WM_MOUSEMOVE, 60, 60, MK_LBUTTON);
            harness_pump();
            tick(button);
            tick(button);
            tick(button);
            tick(button, 7);
            harness_post_mouse(button, WM_MOUSEMOVE, 5, 5, MK_LBUTTON);
            harness_pump();
            EXPECT_EQ(notes.values.size(), before);
        }
        tick(button);
        if (notes.values.size() > before)
            notifiedAt.push_back(m);
    }
    const std::vector<int> expected = {9,  13, 17, 21, 23, 25, 27, 29, 31, 33, 35,
                                       37, 39, 41, 42, 43, 44, 45};
    EXPECT_EQ(notifiedAt, expected);
    for (float v : notes.values)
        EXPECT_EQ(v, 1.0f);

    harness_post_mouse(button, WM_LBUTTONUP, 5, 5, 0);
    harness_pump();
    size_t atRelease = notes.values.size();
    tick(button);
    EXPECT_EQ(notes.values.size(), atRelease) << "the release notifies nothing and ticks stop";
    EXPECT_EQ(value(button), 0.0f);
}

TEST_F(I2pTest, ValueCommandsOnEnabledAndDisabled)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (int disabled = 0; disabled < 2; ++disabled) {
        HWND button = make(I2P_SET_ONLY);
        if (disabled)
            SendMessageA(button, WM_COMMAND, CTL_CMD_DISABLE, 0);
        const float inputs[] = {0.25f, 0.0f, nan, -0.0f, inf, -3.0f};
        const float results[] = {1.0f, 0.0f, 1.0f, 0.0f, 1.0f, 1.0f};
        for (size_t i = 0; i < std::size(inputs); ++i) {
            set(button, inputs[i]);
            EXPECT_EQ(value(button), results[i]) << i;
        }
        EXPECT_TRUE(notes.values.empty()) << "command 4 never notifies";
        DestroyWindow(button);
    }
}

TEST_F(I2pTest, DisabledButtonIgnoresClicksAndKeys)
{
    HWND button = make(I2P_TOGGLE);
    SendMessageA(button, WM_COMMAND, CTL_CMD_DISABLE, 0);
    harness_click(button, 5, 5);
    harness_press_key(button, VK_SPACE);
    harness_press_key(button, VK_RETURN);
    EXPECT_TRUE(notes.values.empty());
    EXPECT_EQ(value(button), 0.0f);
    SendMessageA(button, WM_COMMAND, CTL_CMD_ENABLE, 0);
    harness_press_key(button, VK_SPACE);
    harness_press_key(button, VK_RETURN);
    EXPECT_EQ(notes.values, (std::vector<float>{1.0f, 0.0f}));
}

// A held press that ends in any way but a release gives up the capture and
// the timer, and notifies nothing.
TEST_F(I2pTest, HeldPressEndsCleanlyWhenInterrupted)
{
    struct Case {
        const char *name;
        void (*interrupt)(HWND button, HWND host);
    };
    const Case cases[] = {
        {"disabled", [](HWND b, HWND) { SendMessageA(b, WM_COMMAND, CTL_CMD_DISABLE, 0); }},
        {"cancel mode", [](HWND b, HWND) { SendMessageA(b, WM_CANCELMODE, 0, 0); }},
        {"capture taken", [](HWND, HWND h) { SetCapture(h); }},
        {"focus lost", [](HWND, HWND h) { SetFocus(h); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        notes = Notes();
        HWND button = make(I2P_PUSH | I2P_AUTO_REPEAT);
        SetFocus(button);
        harness_post_key(button, VK_SPACE, true);
        harness_pump();
        ASSERT_EQ(GetCapture(), button);
        c.interrupt(button, host);
        harness_pump();
        EXPECT_NE(GetCapture(), button);
        EXPECT_EQ(value(button), 0.0f);
        size_t n = notes.values.size();
        tick(button);
        harness_post_key(button, VK_SPACE, false);
        harness_pump();
        EXPECT_EQ(notes.values.size(), n) << "no tick or release after the interruption";
        ReleaseCapture();
        DestroyWindow(button);
    }
}

TEST_F(I2pTest, KeyRepeatDoesNotPressTwice)
{
    HWND button = make(I2P_PUSH);
    SetFocus(button);
    harness_post_key(button, VK_SPACE, true);
    harness_post_key(button, VK_SPACE, true); // the keyboard's auto-repeat
    harness_post_key(button, VK_SPACE, false);
    harness_pump();
    EXPECT_EQ(notes.values, (std::vector<float>{1.0f}));
    EXPECT_EQ(GetCapture(), nullptr) << "the button never records itself as former owner";
}

TEST_F(I2pTest, TabAndEscapeReachTheParent)
{
    HWND button = make(I2P_TOGGLE);
    harness_pump();
    for (UINT vk : {VK_TAB, VK_ESCAPE}) {
        SendMessageA(button, WM_KEYDOWN, vk, harness_key_lparam(vk, true));
        MSG msg;
        ASSERT_EQ(harness_take_message(host, WM_KEYDOWN, WM_KEYDOWN, &msg), 1) << vk;
        EXPECT_EQ(msg.wParam, vk);
    }
    EXPECT_TRUE(notes.values.empty());
}

TEST_F(I2pTest, LampButtonKinds)
{
    struct Row {
        uint32_t options;
        uint32_t behaviour;
    };
    const Row rows[] = {{0, I2P_TOGGLE}, {0x1000, I2P_PUSH}, {0x8000, I2P_SET_ONLY},
                        {0x1000 | 0x8000, I2P_SET_ONLY}};
    for (const Row &row : rows) {
        HWND lamp = ctl_create_lamp_button(host, 3, 0, 0, row.options);
        ASSERT_NE(lamp, nullptr);
        const I2pRecord *r = static_cast<const I2pRecord *>(ctl_get_instance_data(lamp));
        EXPECT_EQ(r->appearance.behaviour, row.behaviour) << row.options;
        RECT rc;
        GetClientRect(lamp, &rc);
        EXPECT_EQ(rc.right, 24);
        EXPECT_EQ(rc.bottom, 16);
        DestroyWindow(lamp);
    }
    // A lamp posts its notification to the parent.
    HWND lamp = ctl_create_lamp_button(host, 3, 0, 0, 0);
    harness_pump();
    SendMessageA(lamp, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    MSG msg = {};
    ASSERT_EQ(harness_take_message(host, WM_COMMAND, WM_COMMAND, &msg), 1);
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_EQ(ctl_as_float((uint32_t)msg.lParam), 1.0f);
}

TEST_F(I2pTest, FaceCrossAndFocusPixels)
{
    HWND button = make(I2P_TOGGLE);
    EXPECT_EQ(harness_pixel(button, 10, 10), kOff);
    harness_click(button, 5, 5);
    EXPECT_EQ(harness_pixel(button, 10, 10), kOn);
    EXPECT_EQ(harness_pixel(button, 1, 1), ctl_color(2)) << "focused: the corner mark";
    EXPECT_EQ(harness_pixel(button, 18, 1), kOn);
    SendMessageA(button, WM_COMMAND, CTL_CMD_DISABLE, 0);
    EXPECT_EQ(harness_pixel(button, 10, 10), ctl_color(15)) << "the cross's white centre";
    EXPECT_EQ(harness_pixel(button, 1, 1), kOn) << "no focus mark while disabled";

    DestroyWindow(button);

    HBITMAP grey = harness_solid_bitmap(20, 20, RGB(90, 90, 90));
    HWND withOverlay = make(I2P_TOGGLE, 0, grey);
    SendMessageA(withOverlay, WM_COMMAND, CTL_CMD_DISABLE, 0);
    EXPECT_EQ(harness_pixel(withOverlay, 10, 10), RGB(90, 90, 90));
    DestroyWindow(withOverlay);
    DeleteObject(grey);

    // Round: the face shows inside the disc.
    HWND round = make(I2P_TOGGLE, I2P_ROUND);
    EXPECT_EQ(harness_pixel(round, 10, 10), kOff);
}

// Bad looks: nothing drawn, nothing crashes, and commands still answer.
TEST_F(I2pTest, EmptyLooksCreateHarmlessButtons)
{
    I2pLook empty = {};
    I2pLook round = {};
    round.look = I2P_ROUND;
    round.width = 0;
    I2pLook roundNoBitmap = {30, 30, nullptr, nullptr, nullptr, I2P_ROUND, I2P_TOGGLE};
    const I2pLook *looks[] = {&empty, &round, &roundNoBitmap, nullptr};
    for (const I2pLook *look : looks) {
        HWND button = ctl_create_i2p(host, 1, 0, 0, look, nullptr);
        ASSERT_NE(button, nullptr);
        InvalidateRect(button, nullptr, FALSE);
        UpdateWindow(button);
        harness_click(button, 1, 1);
        SendMessageA(button, WM_COMMAND, CTL_CMD_DISABLE, 0);
        InvalidateRect(button, nullptr, FALSE);
        UpdateWindow(button);
        EXPECT_EQ(ctl_send_command(button, CTL_CMD_GET, 0), look == &roundNoBitmap ? 1.0f : 0.0f);
        DestroyWindow(button);
    }
    // Auto-repeat while the toolkit is inactive: ticks count, nothing arrives.
    HWND button = make(I2P_PUSH | I2P_AUTO_REPEAT);
    harness_post_mouse(button, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    harness_pump();
    KillTimer(button, I2P_TIMER_ID);
    g_toolkitActive = 0;
    for (int i = 0; i < 50; ++i)
        tick(button);
    g_toolkitActive = 1;
    EXPECT_EQ(notes.values.size(), 1u);
    tick(button);
    EXPECT_EQ(notes.values.size(), 2u) << "tick 50 notifies once the toolkit is active again";
}

} // namespace
