// The gallery end to end: its window starts the toolkit, every button of the
// Buttons page answers a click as its kind says, the nudge keys repeat, the
// meter popup is dragged by its face, the track-name field takes a typed
// name, the Lists page's marker list and takes answer clicks and keys, and
// closing the window stops the toolkit.
#include "gallery/gallery.h"
#include "tests/win/harness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

namespace {

const char kGalleryKey[] = "Varkel_Audio\\QK2CTL\\Gallery";

class GalleryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        harness_delete_key(kGalleryKey);
        window = gallery_create(harness_instance(), 30, 30);
        ASSERT_NE(window, nullptr);
        ShowWindow(window, SW_SHOWNA);
        UpdateWindow(window);
        harness_pump();
        page = gallery_page_window(0);
        ASSERT_NE(page, nullptr);
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
    float value(int id) { return ctl_send_command(GetDlgItem(page, id), CTL_CMD_GET, 0); }
    void click(int id)
    {
        harness_click(GetDlgItem(page, id), 2, 2);
        harness_pump();
    }
    HWND window = nullptr;
    HWND page = nullptr;
};

TEST_F(GalleryTest, EveryButtonAnswersAClickAsItsKindSays)
{
    struct Row {
        int id;
        bool notifies;  // a log line for this id
        float after;    // value after the click
    };
    const Row rows[] = {
        {101, true, 1.0f}, {104, true, 1.0f}, {111, true, 1.0f}, {114, true, 1.0f},
        {130, true, 1.0f}, {140, true, 1.0f}, {120, false, 1.0f}, // the lamp: lit by solo
        {141, false, 0.0f}, {142, false, 0.0f},                   // disabled
        {131, true, 0.0f},                                        // push: back to 0
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.id);
        gallery_log_text("");
        click(row.id);
        std::string expected = "id " + std::to_string(row.id) + ",";
        EXPECT_EQ(log().find(expected) != std::string::npos, row.notifies) << log();
        EXPECT_EQ(value(row.id), row.after);
    }
    EXPECT_EQ(value(130), 0.0f) << "Reset disarmed the record switch";
    click(111);
    click(114);
    EXPECT_EQ(value(120), 0.0f) << "no solo left: the lamp is dark";
}

TEST_F(GalleryTest, NudgeRepeatsWhileHeld)
{
    HWND fwd = GetDlgItem(page, 151);
    harness_post_mouse(fwd, WM_LBUTTONDOWN, 2, 2, MK_LBUTTON);
    harness_pump_for(700); // the press, then repeats from 450 ms on
    harness_post_mouse(fwd, WM_LBUTTONUP, 2, 2, 0);
    harness_pump();
    EXPECT_NE(log().find("id 151, value 1.000"), std::string::npos);
    EXPECT_EQ(value(151), 0.0f);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(GalleryTest, MeterPopupIsDraggedByItsFace)
{
    click(160);
    HWND meter = FindWindowA("QK2CTL_GalleryMeter", nullptr);
    ASSERT_NE(meter, nullptr);
    RECT before;
    GetWindowRect(meter, &before);
    harness_post_mouse(meter, WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    harness_post_mouse(meter, WM_MOUSEMOVE, 40, 20, MK_LBUTTON);
    harness_post_mouse(meter, WM_MOUSEMOVE, 60, 40, MK_LBUTTON);
    harness_post_mouse(meter, WM_LBUTTONUP, 99, 99, 0); // where the outline was counts
    harness_pump();
    RECT after;
    GetWindowRect(meter, &after);
    EXPECT_EQ(after.left - before.left, 50);
    EXPECT_EQ(after.top - before.top, 30);
    EXPECT_EQ(GetCapture(), nullptr);
    click(160); // the lamp closes it again
    EXPECT_EQ(FindWindowA("QK2CTL_GalleryMeter", nullptr), nullptr);
}

// Types into the edit-value dialog from inside its modal loop.
void CALLBACK type_name(HWND, UINT, UINT_PTR timer, DWORD)
{
    if (g_openEditDialog == nullptr)
        return;
    KillTimer(nullptr, timer);
    HWND edit = GetDlgItem(g_openEditDialog, 10);
    SetWindowTextA(edit, "Bass DI");
    PostMessageA(edit, WM_KEYDOWN, VK_RETURN, harness_key_lparam(VK_RETURN, true));
}

TEST_F(GalleryTest, TrackNameFieldOpensTheEditDialog)
{
    SetTimer(nullptr, 0, 30, type_name);
    harness_post_mouse(page, WM_LBUTTONDOWN, 450, 210, MK_LBUTTON);
    harness_pump_for(300);
    EXPECT_EQ(g_openEditDialog, nullptr);
    EXPECT_EQ(log(), " Track name: Bass DI");
}

// Real input: the left button goes down at a client point of window (or up
// wherever the pointer is).
void real_button(HWND window, int x, int y, bool down)
{
    if (window != nullptr) {
        POINT pt = {x, y};
        ClientToScreen(window, &pt);
        SetCursorPos(pt.x, pt.y);
        harness_pump();
    }
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof in);
    harness_pump_for(50);
}

// A hostile user: holds a repeating key and presses Escape, a key-up that
// never comes to the button, then closes the gallery in the middle of
// dragging the meter.
TEST_F(GalleryTest, HostileInputNeverLeavesAButtonHeld)
{
    SetForegroundWindow(window);
    HWND fwd = GetDlgItem(page, 151);
    real_button(fwd, 5, 5, true);
    ASSERT_EQ(GetCapture(), fwd);
    SetFocus(page); // the focus goes elsewhere while the button is held
    harness_pump_for(100);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(value(151), 0.0f);
    gallery_log_text("");
    harness_pump_for(500);
    EXPECT_EQ(log(), "") << "no repeats after the press ended";
    real_button(nullptr, 0, 0, false);

    click(160);
    HWND meter = FindWindowA("QK2CTL_GalleryMeter", nullptr);
    ASSERT_NE(meter, nullptr);
    real_button(meter, 20, 20, true);
    SetCursorPos(300, 300);
    harness_pump_for(50);
    PostMessageA(window, WM_CLOSE, 0, 0);
    harness_pump_for(100);
    real_button(nullptr, 0, 0, false);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(IsWindow(meter));
    EXPECT_EQ(GetCapture(), nullptr);
}

// The Grid page: find a cell by id, click or drag it, and use the zoom
// buttons.
class GalleryGridTest : public GalleryTest {
protected:
    void SetUp() override
    {
        GalleryTest::SetUp();
        int index = gallery_page_index("Grid");
        gallery_show_page(index);
        harness_pump();
        gridPage = gallery_page_window(index);
        ASSERT_NE(gridPage, nullptr);
        grid = GetDlgItem(gridPage, 300);
        ASSERT_NE(ctl_vgrid_record(grid), nullptr);
    }
    // The item with this id, and its middle as a client point.
    VgridItem *find(int32_t id, POINT *middle)
    {
        const VgridView *v = ctl_vgrid_record(grid)->context.view;
        for (uint32_t i = 1; i <= ctl_vgrid_count(grid); ++i) {
            VgridItem *item = ctl_vgrid_item(grid, i);
            if (item->id != id)
                continue;
            middle->x = (int)((float)(item->left + item->right) / 2 * v->zoomFactor) - v->scrollX;
            middle->y = (int)((float)(item->top + item->bottom) / 2 * v->zoomFactor) - v->scrollY;
            return item;
        }
        return nullptr;
    }
    HWND gridPage = nullptr;
    HWND grid = nullptr;
};

TEST_F(GalleryGridTest, StepsVelocitiesGainAndDecayAnswerTheMouse)
{
    EXPECT_EQ(ctl_vgrid_count(grid), 4u + 2 + 16 + 4 * (1 + 2 + 2 * 16));
    POINT at = {};
    VgridItem *step = find(1107, &at); // snare, step 8
    ASSERT_NE(step, nullptr);
    EXPECT_EQ(step->value, 0.0f);
    harness_click(grid, at.x, at.y);
    EXPECT_EQ(step->value, 1.0f);
    EXPECT_EQ(log(), " Grid: Snare, step 8: on");

    VgridItem *velocity = find(2107, &at);
    ASSERT_NE(velocity, nullptr);
    harness_post_mouse(grid, WM_LBUTTONDOWN, at.x, at.y, MK_LBUTTON);
    harness_post_mouse(grid, WM_MOUSEMOVE, at.x, at.y + 30, MK_LBUTTON);
    harness_post_mouse(grid, WM_LBUTTONUP, at.x, at.y + 30, 0);
    harness_pump();
    EXPECT_EQ(velocity->value, 70.0f);
    EXPECT_EQ(log(), " Grid: Snare, step 8: velocity 70");

    VgridItem *gain = find(3000, &at); // kick
    harness_post_mouse(grid, WM_RBUTTONDOWN, at.x, at.y, MK_RBUTTON);
    harness_post_mouse(grid, WM_MOUSEMOVE, at.x, at.y - 100, MK_RBUTTON);
    harness_post_mouse(grid, WM_RBUTTONUP, at.x, at.y - 100, 0);
    harness_pump();
    EXPECT_NEAR(gain->value, std::pow(1.002f, 100.0f), 1e-4f);
    EXPECT_EQ(log(), " Grid: Kick: gain +1.7 dB");

    VgridItem *decay = find(4003, &at); // clap
    harness_post_mouse(grid, WM_LBUTTONDOWN, at.x, at.y, MK_LBUTTON);
    harness_post_mouse(grid, WM_MOUSEMOVE, at.x, at.y - 10, MK_LBUTTON);
    harness_post_mouse(grid, WM_LBUTTONUP, at.x, at.y - 10, 0);
    harness_pump();
    EXPECT_FLOAT_EQ(decay->value, 0.3f);
    EXPECT_EQ(log(), " Grid: Clap: decay 0.300 s");
}

TEST_F(GalleryGridTest, ZoomButtonsAndCtrlClicksZoomTheCanvas)
{
    auto press = [&](int id) {
        harness_click(GetDlgItem(gridPage, id), 2, 2);
        harness_pump();
    };
    press(302);
    press(302);
    EXPECT_EQ(ctl_vgrid_record(grid)->zoom, 150.0f);
    for (int i = 0; i < 6; ++i)
        press(302);
    EXPECT_EQ(ctl_vgrid_record(grid)->zoom, 200.0f);
    press(301);
    EXPECT_EQ(ctl_vgrid_record(grid)->zoom, 175.0f);
    press(303);
    EXPECT_EQ(ctl_vgrid_record(grid)->zoom, 100.0f);
    harness_post_mouse(grid, WM_RBUTTONDOWN, 20, 10, MK_RBUTTON | MK_CONTROL); // above "Kick"
    harness_post_mouse(grid, WM_RBUTTONUP, 20, 10, MK_CONTROL);
    harness_pump();
    EXPECT_EQ(ctl_vgrid_record(grid)->zoom, 110.0f);
}

TEST_F(GalleryTest, ClosingTheWindowStopsTheToolkit)
{
    click(160); // with the meter open
    SendMessageA(window, WM_CLOSE, 0, 0);
    harness_pump();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(FindWindowA("QK2CTL_GalleryMeter", nullptr), nullptr);
    EXPECT_EQ(g_toolkitActive, 0);
    EXPECT_EQ(harness_key_exists(kGalleryKey), 1) << "settings written at the shutdown";
}

// ---------------------------------------------------------------------------
// The Knobs page
// ---------------------------------------------------------------------------

class GalleryKnobsTest : public GalleryTest {
protected:
    void SetUp() override
    {
        GalleryTest::SetUp();
        int count = 0;
        const GalleryPage *pages = gallery_pages(&count);
        for (int i = 0; i < count; ++i)
            if (std::strcmp(pages[i].name, "Knobs") == 0)
                index = i;
        ASSERT_GE(index, 0);
        gallery_show_page(index);
        page = gallery_page_window(index);
        ASSERT_NE(page, nullptr);
        g_rotMode = 0;
        harness_pump();
    }
    void key(int id, UINT vk)
    {
        SendMessageA(GetDlgItem(page, id), WM_KEYDOWN, vk, harness_key_lparam(vk, true));
        harness_pump();
    }
    void drag(int id, int x0, int y0, int x1, int y1)
    {
        HWND knob = GetDlgItem(page, id);
        harness_post_mouse(knob, WM_LBUTTONDOWN, x0, y0, MK_LBUTTON);
        harness_post_mouse(knob, WM_MOUSEMOVE, x1, y1, MK_LBUTTON);
        harness_post_mouse(knob, WM_LBUTTONUP, x1, y1, 0);
        harness_pump();
    }
    int index = -1;
};

TEST_F(GalleryKnobsTest, EveryKnobAnswersAsItsKindSays)
{
    key(201, VK_DOWN); // gain: ten half-decibel steps down
    EXPECT_NEAR(ctl_decibels(value(201)), -5.0f, 1e-3f);
    EXPECT_NE(log().find("id 201, value 0.562"), std::string::npos) << log();

    drag(202, 16, 16, -14, 17); // pan: 30 steps left, then back to the centre
    EXPECT_EQ(value(202), 0.0f);
    EXPECT_NE(log().find("id 202, value 0.000"), std::string::npos) << log();

    click(212); // angular mode on
    EXPECT_EQ(g_rotMode & ROT_MODE_ANGULAR, ROT_MODE_ANGULAR);
    drag(203, 24, 4, 38, 10); // frequency: 45 degrees, two thirds up three decades
    EXPECT_NEAR(value(203), 2000.0f, 20.0f);
    click(212);
    EXPECT_EQ(g_rotMode & ROT_MODE_ANGULAR, 0);

    key(204, VK_UP); // delay: 10 ms
    EXPECT_NEAR(value(204), 0.26f, 1e-5f);

    click(211); // inverse mode on: dragging down now raises
    EXPECT_EQ(g_rotMode, ROT_MODE_INVERSE);
    drag(204, 16, 16, 16, 21);
    EXPECT_NEAR(value(204), 0.265f, 1e-5f);
    click(211);
    EXPECT_EQ(g_rotMode, 0);
}

TEST_F(GalleryKnobsTest, DisabledKnobWaitsForItsSwitch)
{
    drag(205, 24, 24, 24, 4);
    key(205, VK_UP);
    EXPECT_EQ(value(205), 3.0f);
    click(210); // Enable
    drag(205, 24, 24, 24, 4);
    EXPECT_NEAR(value(205), 5.0f, 1e-5f);
    click(210);
    key(205, VK_UP);
    EXPECT_NEAR(value(205), 5.0f, 1e-5f);
}

TEST_F(GalleryKnobsTest, ShiftClickOnTheGainKnobOpensTheAdjustPopup)
{
    HWND gain = GetDlgItem(page, 201);
    harness_post_mouse(gain, WM_LBUTTONDOWN, 24, 24, MK_LBUTTON | MK_SHIFT);
    harness_pump();
    HWND popup = g_openAdjustPopup;
    ASSERT_NE(popup, nullptr);
    harness_post_mouse(popup, WM_LBUTTONDOWN, 30, 150, MK_LBUTTON);
    harness_post_mouse(popup, WM_MOUSEMOVE, 30, 170, MK_LBUTTON); // +2 dB
    harness_post_mouse(popup, WM_LBUTTONUP, 30, 170, 0);
    harness_pump();
    EXPECT_NEAR(ctl_decibels(value(201)), 2.0f, 1e-3f);
    EXPECT_NE(log().find("id 201, value 1.259"), std::string::npos) << log();
    harness_post_mouse(popup, WM_RBUTTONDOWN, 30, 170, MK_RBUTTON);
    harness_pump();
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(GalleryKnobsTest, ModeLampsFollowTheKnobMenus)
{
    SendMessageA(GetDlgItem(page, 203), WM_COMMAND, ROT_CMD_ANGULAR_MODE, 0);
    harness_pump_for(400); // the page looks at the mode word every 250 ms
    EXPECT_EQ(value(212), 1.0f);
    const I2pRecord *inverse = static_cast<const I2pRecord *>(ctl_get_instance_data(GetDlgItem(page, 211)));
    EXPECT_EQ(inverse->enabled, 0) << "the inverse switch is off while angular mode is on";
    SendMessageA(GetDlgItem(page, 203), WM_COMMAND, ROT_CMD_ANGULAR_MODE, 0);
    harness_pump_for(400);
    EXPECT_EQ(value(212), 0.0f);
    EXPECT_EQ(inverse->enabled, 1);
}

} // namespace

namespace {

// The Lists page: the marker list and the takes answer clicks and keys, and
// the log line tells what their callbacks heard.
class GalleryListsTest : public GalleryTest {
protected:
    void SetUp() override
    {
        GalleryTest::SetUp();
        index = gallery_page_index("Lists");
        ASSERT_GE(index, 0);
        gallery_show_page(index);
        lists = gallery_page_window(index);
        markers = GetDlgItem(lists, 201);
        takes = GetDlgItem(lists, 202);
        ASSERT_NE(markers, nullptr);
        ASSERT_NE(takes, nullptr);
        harness_pump();
    }
    const List2DInfo &marker_info()
    {
        return static_cast<const List2DRecord *>(ctl_get_instance_data(markers))->info;
    }
    const List3DInfo &take_info()
    {
        return static_cast<const List3DRecord *>(ctl_get_instance_data(takes))->info;
    }
    int index = -1;
    HWND lists = nullptr, markers = nullptr, takes = nullptr;
};

TEST_F(GalleryListsTest, TheMarkerListHoldsAMillionMarkers)
{
    EXPECT_TRUE(IsWindowVisible(markers));
    EXPECT_EQ(marker_info().totalLines, 1000000);
    harness_click(markers, 60, 2 * 16 + 8);
    EXPECT_EQ(log(), " 2DList id 201: code 7, selection starts at marker 3");
    harness_post_key(markers, VK_END, true);
    harness_pump();
    EXPECT_EQ(marker_info().selectionStart, 1000000);
    EXPECT_EQ(log(), " 2DList id 201: code 7, selection starts at marker 1000000");
    SendMessageA(markers, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 500), 0);
    EXPECT_EQ(marker_info().firstVisibleLine, 500000);
    harness_click(markers, 60, 8);
    harness_post_mouse(markers, WM_LBUTTONDOWN, 60, 4 * 16 + 8, MK_LBUTTON | MK_SHIFT);
    harness_pump();
    EXPECT_EQ(marker_info().selectionStart, 500000);
    EXPECT_EQ(marker_info().selectionEnd, 500004);
}

TEST_F(GalleryListsTest, TheTakesComeForwardAndAClickOnTheCurrentMarkerCirclesIt)
{
    harness_post_key(takes, VK_LEFT, true);
    harness_pump();
    EXPECT_EQ(take_info().slots[3].panel, 2);
    SendMessageA(takes, WM_COMMAND, LIST_CMD_GOTO, (LPARAM)ctl_float_bits(123456.0f));
    EXPECT_EQ(take_info().current, 123456);
    harness_post_key(takes, VK_RETURN, true);
    harness_pump();
    EXPECT_EQ(log(), " 3DList id 202: code 2, take 2 circled at marker 123456");
    harness_post_key(takes, VK_RETURN, true);
    harness_pump();
    EXPECT_EQ(log(), " 3DList id 202: code 2, take 2 no longer circled at marker 123456");
    SendMessageA(takes, WM_COMMAND, 42, 0);
    EXPECT_EQ(log(), " 3DList id 202: code 42, take 2, marker 123456");
    harness_post_key(takes, VK_BACK, true);
    harness_pump();
    EXPECT_EQ(take_info().slots[3].panel, 1);
}

TEST_F(GalleryListsTest, TabMovesBetweenTheLists)
{
    SetFocus(markers);
    harness_post_key(markers, VK_TAB, true);
    harness_pump();
    EXPECT_EQ(GetFocus(), takes);
}

// ---------------------------------------------------------------------------
// The Time page: each value opens the time-entry dialog over itself.
// ---------------------------------------------------------------------------

// What the timer does in the time-entry dialog's loop: one step per tick.
struct TimeVisit {
    const char *tempo;   // typed into the tempo field first, or null
    const char *seconds; // then typed into the seconds field, or null
    int end;             // then IDOK or IDCANCEL
    std::string shownTempo; // the tempo field's text when the dialog opened
    HWND dialog;            // the dialog seen
    int step;               // progress
};
TimeVisit *g_visit = nullptr;

void CALLBACK visit_time_dialog(HWND, UINT, UINT_PTR, DWORD)
{
    TimeVisit *v = g_visit;
    if (v == nullptr || g_openTimeDialog == nullptr)
        return;
    HWND d = v->dialog = g_openTimeDialog;
    char text[64] = "";
    switch (v->step++) {
    case 0:
        GetWindowTextA(GetDlgItem(d, CTL_TD_TEMPO), text, sizeof text);
        v->shownTempo = text;
        if (v->tempo != nullptr)
            SetWindowTextA(GetDlgItem(d, CTL_TD_TEMPO), v->tempo);
        if (v->seconds != nullptr)
            SetWindowTextA(GetDlgItem(d, CTL_TD_SECONDS), v->seconds);
        break;
    case 1: PostMessageA(GetDlgItem(d, v->end), BM_CLICK, 0, 0); break;
    }
}

// Clicks value field `row` of the Time page with the visit running in the
// dialog's loop.
void visit(HWND page, int row, TimeVisit *v)
{
    g_visit = v;
    UINT_PTR timer = SetTimer(nullptr, 0, 20, visit_time_dialog);
    harness_post_mouse(page, WM_LBUTTONDOWN, 140, 60 + 32 * row, MK_LBUTTON);
    harness_pump_until([](void *data) { return static_cast<TimeVisit *>(data)->step >= 2 &&
                                               g_openTimeDialog == nullptr; },
                       v, 3000);
    KillTimer(nullptr, timer);
    g_visit = nullptr;
    harness_pump();
}

TEST_F(GalleryTest, TimeValuesAreEnteredWithTheTimeDialogWhichKeepsItsContext)
{
    int time = gallery_page_index("Time");
    harness_click(GetDlgItem(GetDlgItem(window, 1), time + 1), 2, 2); // the Time lamp
    HWND timePage = gallery_page_window(time);
    ASSERT_NE(timePage, nullptr);
    EXPECT_TRUE(IsWindowVisible(timePage));
    EXPECT_FALSE(IsWindowVisible(page));

    TimeVisit first = {"90", "1.5", IDOK, "", nullptr, 0};
    visit(timePage, 0, &first);
    ASSERT_NE(first.dialog, nullptr) << "the delay time opened the dialog";
    EXPECT_EQ(first.shownTempo, "120.000");
    EXPECT_EQ(log(), " Delay time: 1.500000 s");
    EXPECT_EQ(g_timeContext.tempo, 90.0f);

    TimeVisit second = {nullptr, "0.25", IDCANCEL, "", nullptr, 0};
    visit(timePage, 1, &second);
    EXPECT_EQ(second.shownTempo, "90.000") << "the context is kept between openings";
    EXPECT_EQ(log(), " Pre-delay: cancelled");

    TimeVisit third = {"60", nullptr, IDCANCEL, "", nullptr, 0}; // Cancel puts the tempo back
    visit(timePage, 2, &third);
    EXPECT_EQ(log(), " Loop length: cancelled");
    EXPECT_EQ(g_timeContext.tempo, 90.0f);
    EXPECT_EQ(g_openTimeDialog, nullptr);
    EXPECT_TRUE(IsWindowEnabled(window));
}

// The Time page's tour, one step per tick as the gallery runs it.
struct TourRun {
    int (*tour)(HWND page, int step); // the page's tour function
    HWND page;                        // the page
    int step;                         // the next step
    int more;                         // what the last step returned
};
TourRun g_tourRun;

void CALLBACK tour_tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_tourRun.more)
        g_tourRun.more = g_tourRun.tour(g_tourRun.page, g_tourRun.step++);
}

TEST_F(GalleryTest, TheTimePagesTourLeavesThreeNotesAndTheirDuration)
{
    int time = gallery_page_index("Time");
    ASSERT_GE(time, 0);
    gallery_show_page(time);
    int count;
    const GalleryPage *pages = gallery_pages(&count);
    g_tourRun = {pages[time].tour, gallery_page_window(time), 0, 1};
    UINT_PTR timer = SetTimer(nullptr, 0, 20, tour_tick);
    harness_pump_until([](void *) { return g_tourRun.more == 0; }, nullptr, 5000);
    KillTimer(nullptr, timer);
    harness_pump();
    EXPECT_EQ(g_tourRun.more, 0) << "the tour ended";
    EXPECT_EQ(g_openTimeDialog, nullptr) << "and closed the dialog with OK";
    EXPECT_EQ(g_timeContext.notes[0], 12);
    EXPECT_EQ(g_timeContext.notes[1], 3);
    EXPECT_EQ(g_timeContext.notes[2], 1);
    EXPECT_EQ(g_timeContext.notes[3], CTL_NOTE_EMPTY);
    EXPECT_EQ(log(), " Delay time: 2.400000 s") << "one 4/4 bar at 100 bpm";
}

void CALLBACK close_gallery_from_dialog(HWND, UINT, UINT_PTR timer, DWORD)
{
    if (g_openTimeDialog == nullptr)
        return;
    KillTimer(nullptr, timer);
    PostMessageA(GetAncestor(GetWindow(g_openTimeDialog, GW_OWNER), GA_ROOT), WM_CLOSE, 0, 0);
}

TEST_F(GalleryTest, ClosingTheWindowWhileTheTimeDialogIsOpenEndsItFirst)
{
    int time = gallery_page_index("Time");
    gallery_show_page(time);
    SetTimer(nullptr, 0, 20, close_gallery_from_dialog);
    harness_post_mouse(gallery_page_window(time), WM_LBUTTONDOWN, 140, 60, MK_LBUTTON);
    harness_pump_until([](void *w) { return !IsWindow(static_cast<HWND>(w)); }, window, 3000);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(g_openTimeDialog, nullptr);
    EXPECT_EQ(g_toolkitActive, 0);
}

} // namespace
