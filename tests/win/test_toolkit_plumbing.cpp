// Control plumbing: notifications posted or called back (and dropped while
// the toolkit is inactive), value commands through messages, float bits,
// instance data, and the small system helpers.
#include "tests/win/harness.h"
#include "tests/win/host_fixture.h"
#include "toolkit/qk2ctl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

using Plumbing = ToolkitHostTest<120, 80>;

// What a notification callback saw.
struct Delivery {
    void *userData;
    uint32_t wParam;
    int32_t lParam;
};

std::vector<Delivery> g_deliveries;

int32_t record_delivery(void *userData, uint32_t wParam, int32_t lParam)
{
    g_deliveries.push_back({userData, wParam, lParam});
    return 77;
}

// --- Float bits ----------------------------------------------------------------

TEST(FloatBits, ValuesTravelAsSinglePrecisionBitPatterns)
{
    struct Row { float value; uint32_t bits; };
    static const Row rows[] = {
        {1.0f, 0x3F800000}, {-2.5f, 0xC0200000}, {0.0f, 0}, {-0.0f, 0x80000000},
        {1e-45f, 1}, {3.4028235e38f, 0x7F7FFFFF}};
    for (const Row &r : rows) {
        EXPECT_EQ(ctl_float_bits(r.value), r.bits) << r.value;
        EXPECT_EQ(ctl_float_bits(ctl_as_float(r.bits)), r.bits);
        EXPECT_EQ(ctl_as_int(r.bits), r.bits);
    }
    EXPECT_TRUE(std::isnan(ctl_as_float(0x7FC00001)));
    EXPECT_EQ(ctl_float_bits(ctl_as_float(0x7FC00001)), 0x7FC00001u) << "NaN payload kept";
}

// --- Notifications -------------------------------------------------------------

TEST_F(Plumbing, PostedNotificationCarriesTheIdAndTheFloatBits)
{
    struct Row { WPARAM id; float value; WPARAM arrives; };
    static const Row rows[] = {
        {12, 1.0f, 12},
        {0xFFFF, -0.25f, 0xFFFF},
        {0x00050007, 3.5f, 7}, // the high word is dropped: notification code 0
    };
    NotifyTarget target = {host, nullptr, 0, nullptr};
    for (const Row &r : rows) {
        EXPECT_NE(ctl_notify(&target, r.id, (LPARAM)ctl_float_bits(r.value)), 0);
        MSG msg;
        ASSERT_TRUE(harness_take_message(host, WM_COMMAND, WM_COMMAND, &msg));
        EXPECT_EQ(msg.wParam, r.arrives);
        EXPECT_EQ(ctl_as_float((uint32_t)msg.lParam), r.value);
    }
    MSG msg;
    EXPECT_FALSE(harness_take_message(host, WM_COMMAND, WM_COMMAND, &msg));
}

TEST_F(Plumbing, CallbackNotificationIsSynchronousAndReturnsItsResult)
{
    g_deliveries.clear();
    int data = 0;
    NotifyTarget target = {host, record_delivery, CTL_NOTIFY_CALLBACK | 0x1, &data};
    EXPECT_EQ(ctl_notify(&target, 0x00030009, (LPARAM)0x3F800000), 77);
    ASSERT_EQ(g_deliveries.size(), 1u);
    EXPECT_EQ(g_deliveries[0].userData, &data);
    EXPECT_EQ(g_deliveries[0].wParam, 0x00030009u) << "the callback gets wParam as it is";
    EXPECT_EQ(g_deliveries[0].lParam, 0x3F800000);
    MSG msg;
    EXPECT_FALSE(harness_take_message(host, WM_COMMAND, WM_COMMAND, &msg)) << "nothing posted";

    // The flag without a callback drops the notification instead of crashing.
    NotifyTarget broken = {host, nullptr, CTL_NOTIFY_CALLBACK, nullptr};
    EXPECT_EQ(ctl_notify(&broken, 1, 0), 0);
    EXPECT_EQ(ctl_notify(nullptr, 1, 0), 0);
    EXPECT_FALSE(harness_take_message(host, WM_COMMAND, WM_COMMAND, &msg));
}

TEST(Notify, NothingIsDeliveredWhileTheToolkitIsInactive)
{
    HWND host = harness_create_host(50, 50);
    g_deliveries.clear();
    NotifyTarget posted = {host, nullptr, 0, nullptr};
    NotifyTarget called = {host, record_delivery, CTL_NOTIFY_CALLBACK, nullptr};
    MSG msg;

    EXPECT_EQ(g_toolkitActive, 0);
    EXPECT_EQ(ctl_notify(&posted, 1, 0), 0) << "before start-up";
    EXPECT_EQ(ctl_notify(&called, 1, 0), 0);

    HarnessApp app;
    ASSERT_EQ(harness_toolkit_start(&app, "inactive"), 1);
    EXPECT_NE(ctl_notify(&posted, 1, 0), 0);
    EXPECT_EQ(ctl_notify(&called, 1, 0), 77);
    EXPECT_TRUE(harness_take_message(host, WM_COMMAND, WM_COMMAND, &msg));
    harness_toolkit_stop(&app);

    EXPECT_EQ(ctl_notify(&posted, 2, 0), 0) << "after shutdown";
    EXPECT_EQ(ctl_notify(&called, 2, 0), 0);
    EXPECT_FALSE(harness_take_message(host, WM_COMMAND, WM_COMMAND, &msg));
    EXPECT_EQ(g_deliveries.size(), 1u);
    DestroyWindow(host);
}

// --- Value commands through messages ----------------------------------------------

// A panel that answers command 3 with 2.5 and logs the rest.
LRESULT command_panel(HWND panel, UINT message, WPARAM wParam, LPARAM lParam, void *userData)
{
    if (message == WM_COMMAND) {
        harness_log(static_cast<MessageLog *>(userData), message, wParam, lParam);
        return wParam == CTL_CMD_GET ? (LRESULT)ctl_as_int(ctl_float_bits(2.5f)) : 0;
    }
    return DefWindowProcA(panel, message, wParam, lParam);
}

TEST_F(Plumbing, SendAndPostCommands)
{
    MessageLog log;
    HWND panel = ctl_create_free_panel(host, 3, 0, 0, 20, 20, command_panel, &log);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(ctl_send_command(panel, CTL_CMD_GET, 0), 2.5f);
    ASSERT_EQ(log.items.size(), 1u);
    EXPECT_TRUE(ctl_post_command(panel, CTL_CMD_SET, (LPARAM)ctl_float_bits(-1.0f)));
    EXPECT_EQ(log.items.size(), 1u) << "posted: not there yet";
    harness_pump();
    ASSERT_EQ(log.items.size(), 2u);
    EXPECT_EQ(log.items[1].wParam, (WPARAM)CTL_CMD_SET);
    EXPECT_EQ(ctl_as_float((uint32_t)log.items[1].lParam), -1.0f);
    DestroyWindow(panel);
}

// --- Instance and dialog data ---------------------------------------------------

TEST_F(Plumbing, InstanceDataLivesInTheFourExtraBytes)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.cbWndExtra = 4;
    wc.hInstance = harness_instance();
    wc.lpszClassName = "KeldoranTestExtra";
    ASSERT_NE(RegisterClassA(&wc), 0);
    HWND w = CreateWindowExA(0, wc.lpszClassName, "", WS_CHILD, 0, 0, 5, 5, host, nullptr,
                             harness_instance(), nullptr);
    ASSERT_NE(w, nullptr);
    int a = 0, b = 0;
    EXPECT_EQ(ctl_get_instance_data(w), nullptr);
    EXPECT_EQ(ctl_set_instance_data(w, &a), 0);
    EXPECT_EQ(ctl_get_instance_data(w), &a);
    EXPECT_EQ(ctl_set_instance_data(w, &b), (LONG_PTR)&a) << "returns the previous pointer";
    EXPECT_EQ((void *)GetWindowLongPtrA(w, 0), &b);
    EXPECT_EQ(ctl_window_instance(w), harness_instance());
    DestroyWindow(w);
    UnregisterClassA(wc.lpszClassName, harness_instance());
}

// --- System helpers --------------------------------------------------------------

TEST(SystemHelpers, BitmapSizeAndMetrics)
{
    HDC screen = GetDC(nullptr);
    HBITMAP b = CreateCompatibleBitmap(screen, 17, 9);
    ReleaseDC(nullptr, screen);
    int w = -1, h = -1;
    ctl_bitmap_size(b, &w, &h);
    EXPECT_EQ(w, 17);
    EXPECT_EQ(h, 9);
    DeleteObject(b);
    ctl_bitmap_size(nullptr, &w, &h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);

    int frame = -1, caption = -1, menu = -1;
    ctl_frame_metrics(&frame, &caption, &menu);
    EXPECT_GT(caption, 10) << "read through the 340-byte metrics record";
    EXPECT_GT(menu, 10);
}

TEST(SystemHelpers, ZeroAndCopy)
{
    char bytes[] = "abcdefgh";
    ctl_copy(bytes + 2, bytes, 4); // overlapping
    EXPECT_STREQ(bytes, "ababcdgh");
    ctl_copy(bytes, bytes, 8);
    EXPECT_STREQ(bytes, "ababcdgh");
    ctl_zero(bytes + 1, 3);
    EXPECT_EQ(std::memcmp(bytes, "a\0\0\0cdgh", 9), 0);
}

} // namespace
