// The Free panel: creation from its record, the callback contract, focus on
// click, WM_CLOSE and the order of WM_DESTROY against the record's release.
#include "tests/win/harness.h"
#include "tests/win/host_fixture.h"
#include "toolkit/qk2ctl.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using FreePanelTest = ToolkitHostTest<200, 120>;

// What a test panel's user data holds.
struct PanelProbe {
    MessageLog log;           // every message the callback saw
    LRESULT createResult = 0; // what the callback answers to WM_CREATE
    HWND focusAtClick = nullptr;       // GetFocus () when WM_LBUTTONDOWN came
    void *recordAtDestroy = nullptr;   // instance record seen during WM_DESTROY
    void *userDataAtDestroy = nullptr; // its user data then
    int paintIndex = -1;               // palette index to paint with, or -1
};

LRESULT probe_panel(HWND panel, UINT message, WPARAM wParam, LPARAM lParam, void *userData)
{
    PanelProbe *probe = static_cast<PanelProbe *>(userData);
    harness_log(&probe->log, message, wParam, lParam);
    switch (message) {
    case WM_CREATE:
        return probe->createResult;
    case WM_LBUTTONDOWN:
        probe->focusAtClick = GetFocus();
        return 0;
    case WM_DESTROY: {
        FreePanel *record = static_cast<FreePanel *>(ctl_get_instance_data(panel));
        probe->recordAtDestroy = record;
        probe->userDataAtDestroy = record != nullptr ? record->userData : nullptr;
        return 0;
    }
    case WM_CLOSE:
        return 0; // would refuse to close if it were asked
    case WM_USER + 5:
        return 1234;
    case WM_PAINT:
        if (probe->paintIndex >= 0) {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(panel, &ps);
            RECT rc;
            GetClientRect(panel, &rc);
            FillRect(dc, &rc, ctl_brush(probe->paintIndex));
            EndPaint(panel, &ps);
            return 0;
        }
        break;
    }
    return DefWindowProcA(panel, message, wParam, lParam);
}

TEST_F(FreePanelTest, CreatedFromItsRecordAsAVisibleTabStopChild)
{
    PanelProbe probe;
    HWND panel = ctl_create_free_panel(host, 0x1234, 15, 25, 60, 40, probe_panel, &probe);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(GetParent(panel), host);
    EXPECT_EQ(GetDlgCtrlID(panel), 0x1234);
    LONG style = GetWindowLongA(panel, GWL_STYLE);
    EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE | WS_TABSTOP), WS_CHILD | WS_VISIBLE | WS_TABSTOP);
    EXPECT_EQ(GetWindowLongA(panel, GWL_EXSTYLE) & ~WS_EX_NOPARENTNOTIFY, 0);
    EXPECT_EQ(ctl_window_instance(panel), harness_instance());
    char name[64] = "";
    GetClassNameA(panel, name, sizeof name);
    EXPECT_STREQ(name, CTL_CLASS_FREE);
    RECT rc;
    GetWindowRect(panel, &rc);
    MapWindowPoints(nullptr, host, reinterpret_cast<POINT *>(&rc), 2);
    EXPECT_EQ(rc.left, 15);
    EXPECT_EQ(rc.top, 25);
    EXPECT_EQ(rc.right - rc.left, 60);
    EXPECT_EQ(rc.bottom - rc.top, 40);

    // The instance record is a copy of the creation record.
    const FreePanel *record = static_cast<const FreePanel *>(ctl_get_instance_data(panel));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->parent, host);
    EXPECT_EQ(record->x, 15);
    EXPECT_EQ(record->y, 25);
    EXPECT_EQ(record->id, 0x1234u);
    EXPECT_EQ(record->userData, &probe);
    EXPECT_EQ(record->callback, probe_panel);

    // The callback sees WM_CREATE first and never WM_NCCREATE.
    ASSERT_FALSE(probe.log.items.empty());
    EXPECT_EQ(probe.log.items[0].message, (UINT)WM_CREATE);
    EXPECT_EQ(harness_log_find(&probe.log, WM_NCCREATE), -1);
    EXPECT_EQ(SendMessageA(panel, WM_USER + 5, 0, 0), 1234) << "the callback's result";
    DestroyWindow(panel);
}

TEST_F(FreePanelTest, TheCallbackCanRefuseCreation)
{
    PanelProbe probe;
    probe.createResult = -1;
    EXPECT_EQ(ctl_create_free_panel(host, 1, 0, 0, 10, 10, probe_panel, &probe), nullptr);
    // The record is gone with the refusal: nothing more reaches the callback.
    static const UINT expected[] = {WM_CREATE};
    EXPECT_EQ(harness_log_codes(&probe.log, {WM_CREATE, WM_DESTROY, WM_NCDESTROY}),
              std::vector<UINT>(std::begin(expected), std::end(expected)));
    EXPECT_EQ(ctl_create_free_panel(host, 1, 0, 0, 10, 10, nullptr, nullptr), nullptr)
        << "no callback, no panel";
}

TEST_F(FreePanelTest, PaintingIsTheCallbacks)
{
    PanelProbe probe;
    probe.paintIndex = 3;
    HWND panel = ctl_create_free_panel(host, 1, 10, 10, 40, 30, probe_panel, &probe);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(harness_pixel(panel, 0, 0), ctl_color(3));
    EXPECT_EQ(harness_pixel(panel, 39, 29), ctl_color(3));
    EXPECT_NE(harness_pixel(host, 5, 5), ctl_color(3)) << "the host around it";
    probe.paintIndex = 5;
    InvalidateRect(panel, nullptr, FALSE);
    EXPECT_EQ(harness_pixel(panel, 20, 15), ctl_color(5));
    DestroyWindow(panel);
}

TEST_F(FreePanelTest, AClickGivesTheFocusBeforeTheCallbackSeesIt)
{
    PanelProbe first, second;
    HWND a = ctl_create_free_panel(host, 1, 0, 0, 80, 80, probe_panel, &first);
    HWND b = ctl_create_free_panel(host, 2, 100, 0, 80, 80, probe_panel, &second);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    SetFocus(a);
    harness_pump();
    ASSERT_EQ(GetFocus(), a);

    harness_input_click(b, 40, 40);
    EXPECT_EQ(GetFocus(), b);
    EXPECT_EQ(second.focusAtClick, b);
    static const UINT expected[] = {WM_SETFOCUS, WM_LBUTTONDOWN, WM_LBUTTONUP};
    EXPECT_EQ(harness_log_codes(&second.log,
                                {WM_MOUSEACTIVATE, WM_SETFOCUS, WM_LBUTTONDOWN, WM_LBUTTONUP}),
              std::vector<UINT>(std::begin(expected), std::end(expected)))
        << "the panel keeps WM_MOUSEACTIVATE to itself";
    int down = harness_log_find(&second.log, WM_LBUTTONDOWN);
    ASSERT_GE(down, 0);
    EXPECT_EQ(second.log.items[down].lParam, MAKELPARAM(40, 40));
    EXPECT_EQ(second.log.items[down].wParam & MK_LBUTTON, (WPARAM)MK_LBUTTON);

    // A click on the panel that has the focus keeps it there.
    harness_input_click(b, 10, 10);
    EXPECT_EQ(GetFocus(), b);
    EXPECT_EQ(harness_log_codes(&second.log, {WM_SETFOCUS}).size(), 1u);
    DestroyWindow(b);
    DestroyWindow(a);
}

TEST_F(FreePanelTest, KeysAndDoubleClicksReachTheCallback)
{
    PanelProbe probe;
    HWND panel = ctl_create_free_panel(host, 1, 0, 0, 50, 50, probe_panel, &probe);
    ASSERT_NE(panel, nullptr);
    probe.log.items.clear();
    harness_press_key(panel, 'K');
    static const UINT keys[] = {WM_KEYDOWN, WM_CHAR, WM_KEYUP};
    EXPECT_EQ(harness_log_codes(&probe.log, {WM_KEYDOWN, WM_CHAR, WM_KEYUP}),
              std::vector<UINT>(std::begin(keys), std::end(keys)));
    int down = harness_log_find(&probe.log, WM_KEYDOWN);
    ASSERT_GE(down, 0);
    EXPECT_EQ(probe.log.items[down].wParam, (WPARAM)'K');
    EXPECT_EQ(probe.log.items[down].lParam, harness_key_lparam('K', true));
    EXPECT_EQ((probe.log.items[down].lParam >> 16) & 0xFF, (LPARAM)MapVirtualKeyA('K', 0));

    // The class asks for double clicks: a quick second click becomes one.
    probe.log.items.clear();
    harness_input_click(panel, 20, 20);
    harness_input_click(panel, 20, 20);
    EXPECT_GE(harness_log_find(&probe.log, WM_LBUTTONDBLCLK), 0);
    DestroyWindow(panel);
}

TEST_F(FreePanelTest, CloseDestroysThePanelWhateverTheCallbackWants)
{
    PanelProbe probe;
    HWND panel = ctl_create_free_panel(host, 1, 0, 0, 50, 50, probe_panel, &probe);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(SendMessageA(panel, WM_CLOSE, 0, 0), 0);
    EXPECT_FALSE(IsWindow(panel));
    static const UINT expected[] = {WM_CREATE, WM_DESTROY};
    EXPECT_EQ(harness_log_codes(&probe.log, {WM_CREATE, WM_CLOSE, WM_DESTROY, WM_NCDESTROY}),
              std::vector<UINT>(std::begin(expected), std::end(expected)));
}

TEST_F(FreePanelTest, WmDestroyComesWhileTheRecordStillExists)
{
    PanelProbe probe;
    HWND panel = ctl_create_free_panel(host, 1, 0, 0, 50, 50, probe_panel, &probe);
    ASSERT_NE(panel, nullptr);
    DestroyWindow(host); // the parent takes its children with it
    host = nullptr;
    EXPECT_FALSE(IsWindow(panel));
    EXPECT_NE(probe.recordAtDestroy, nullptr);
    EXPECT_EQ(probe.userDataAtDestroy, &probe);
    EXPECT_EQ(harness_log_codes(&probe.log, {WM_DESTROY}).size(), 1u);
    EXPECT_EQ(harness_log_find(&probe.log, WM_NCDESTROY), -1) << "no record, no callback";
}

} // namespace
