// The gallery's Faders page end to end: each fader answers the input a user
// gives it and its notification reaches the log line; the channel faders
// take a typed decibel value and offer their presets, the crossfader reports
// while it moves, the cutoff steps by ratios, and the locked pan does nothing.
#include "gallery/fader_plates.h"
#include "gallery/gallery.h"
#include "tests/win/harness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

namespace {

const char kGalleryKey[] = "Varkel_Audio\\QK2CTL\\Gallery";

class FadersPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        harness_delete_key(kGalleryKey);
        window = gallery_create(harness_instance(), 30, 30);
        ASSERT_NE(window, nullptr);
        ShowWindow(window, SW_SHOWNA);
        int index = gallery_page_index("Faders");
        gallery_show_page(index);
        page = gallery_page_window(index);
        ASSERT_NE(page, nullptr);
        UpdateWindow(window);
        harness_pump();
        gallery_log_text("");
    }
    void TearDown() override
    {
        if (IsWindow(window))
            DestroyWindow(window);
        harness_pump();
        MSG msg;
        PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE); // the gallery's quit
        harness_delete_key(kGalleryKey);
    }
    std::string log()
    {
        char text[128];
        gallery_log_read(text, sizeof text);
        return text;
    }
    HWND fader(int id) { return GetDlgItem(page, id); }
    float value(int id) { return ctl_send_command(fader(id), CTL_CMD_GET, 0); }
    void key(int id, UINT vk)
    {
        harness_post_key(fader(id), vk, true);
        harness_post_key(fader(id), vk, false);
        harness_pump();
    }
    HWND window = nullptr;
    HWND page = nullptr;
};

TEST_F(FadersPageTest, ChannelKeysReportAtTheKeyUp)
{
    harness_post_key(fader(202), VK_UP, true);
    harness_pump();
    EXPECT_EQ(log(), "");
    harness_post_key(fader(202), VK_UP, false);
    harness_pump();
    float step = kChannelMaxGain / (kChannelPlateH - 2 * kChannelMargin - kChannelThumbH);
    EXPECT_FLOAT_EQ(value(202), 1.0f + 10 * step);
    EXPECT_NE(log().find("id 202, value 1.09"), std::string::npos) << log();
}

// Types -6 into the edit box from inside its loop.
void CALLBACK type_minus_six(HWND, UINT, UINT_PTR timer, DWORD)
{
    if (g_openEditDialog == nullptr)
        return;
    KillTimer(nullptr, timer);
    HWND edit = GetDlgItem(g_openEditDialog, 10);
    SetWindowTextA(edit, "-6");
    PostMessageA(edit, WM_KEYDOWN, VK_RETURN, harness_key_lparam(VK_RETURN, true));
}

TEST_F(FadersPageTest, ChannelTakesATypedDecibelValue)
{
    SetTimer(nullptr, 0, 20, type_minus_six);
    harness_post_key(fader(201), VK_INSERT, true);
    harness_pump_for(300);
    EXPECT_EQ(g_openEditDialog, nullptr);
    EXPECT_NEAR(value(201), 0.501187f, 1e-5);
    EXPECT_EQ(log(), " Last notification: id 201, value 0.501");
}

TEST_F(FadersPageTest, ChannelPresetsAreInTheMenu)
{
    const SlideRecord *s = static_cast<const SlideRecord *>(ctl_get_instance_data(fader(203)));
    ASSERT_EQ(GetMenuItemCount(s->menu), 13);
    char text[64];
    GetMenuStringA(s->menu, SLIDE_CMD_PRESET + 2, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "Mute");
    SendMessageA(fader(203), WM_COMMAND, SLIDE_CMD_PRESET + 2, 0);
    harness_pump();
    EXPECT_EQ(value(203), 0.0f);
    EXPECT_EQ(log(), " Last notification: id 203, value 0.000");
}

TEST_F(FadersPageTest, CrossfaderReportsWhileItMoves)
{
    HWND xfade = fader(210);
    const SlideRecord *s = static_cast<const SlideRecord *>(ctl_get_instance_data(xfade));
    int grab = (int)s->thumbPos; // the leading edge: the same in both mouse modes
    harness_post_mouse(xfade, WM_LBUTTONDOWN, grab, kWideSlotY, MK_LBUTTON);
    harness_post_mouse(xfade, WM_MOUSEMOVE, grab - 42, kWideSlotY, MK_LBUTTON);
    harness_pump();
    EXPECT_EQ(s->dragging, 1);
    EXPECT_FLOAT_EQ(value(210), 0.25f);
    EXPECT_EQ(log(), " Last notification: id 210, value 0.250") << "before the release";
    harness_post_mouse(xfade, WM_LBUTTONUP, grab - 42, kWideSlotY, 0);
    harness_pump();
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(FadersPageTest, CutoffStepsByRatiosAndDelayBySteps)
{
    key(220, VK_UP);
    EXPECT_NEAR(value(220), 1000.0f * std::pow(1000.0f, 10.0f / 168.0f), 0.05f);
    EXPECT_NE(log().find("id 220, value 1508.5"), std::string::npos) << log();
    key(230, VK_RIGHT);
    EXPECT_FLOAT_EQ(value(230), 0.25f + 2.0f / 168.0f);
    EXPECT_NE(log().find("id 230, value 0.262"), std::string::npos) << log();
}

TEST_F(FadersPageTest, LockedPanDoesNothing)
{
    HWND pan = fader(240);
    harness_click(pan, 100, kWideSlotY);
    key(240, VK_RIGHT);
    PostMessageA(pan, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
    harness_pump();
    EXPECT_EQ(value(240), 0.0f);
    EXPECT_EQ(log(), "");
    EXPECT_EQ(harness_pixel(pan, 100, kWideSlotY), harness_pixel(pan, 30, kWideSlotY))
        << "no thumb over the overlay's slot";
}

} // namespace
