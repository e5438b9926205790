// The gallery end to end: its window starts the toolkit, every button of the
// Buttons page answers a click as its kind says, the nudge keys repeat, the
// meter popup is dragged by its face, the track-name field takes a typed
// name, and closing the window stops the toolkit.
#include "gallery/gallery.h"
#include "tests/win/harness.h"

#include <gtest/gtest.h>

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
    harness_click(GetDlgItem(GetDlgItem(window, 1), 2), 2, 2); // the Time lamp
    HWND timePage = gallery_page_window(1);
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
    gallery_show_page(1);
    int count;
    const GalleryPage *pages = gallery_pages(&count);
    ASSERT_EQ(count, 2);
    EXPECT_STREQ(pages[1].name, "Time");
    g_tourRun = {pages[1].tour, gallery_page_window(1), 0, 1};
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
    gallery_show_page(1);
    SetTimer(nullptr, 0, 20, close_gallery_from_dialog);
    harness_post_mouse(gallery_page_window(1), WM_LBUTTONDOWN, 140, 60, MK_LBUTTON);
    harness_pump_until([](void *w) { return !IsWindow(static_cast<HWND>(w)); }, window, 3000);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(g_openTimeDialog, nullptr);
    EXPECT_EQ(g_toolkitActive, 0);
}

} // namespace
