// 1,000 starts and stops of the toolkit, each with a control of every class,
// the adjust popup and an edit box open when the stop comes: from inside the
// edit box's loop, by the application's window going (its WM_DESTROY stops
// the toolkit, as the calculator's does) or after a nested start. Every
// start reads back exactly the settings the last stop wrote, and at the end
// nothing is left: no GDI object, menu, window, heap block, handle or class.
#include "tests/win/fuzz/fuzz.h"
#include "tests/win/harness.h"
#include "toolkit/qk2ctl.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

const int kCycles = 1000;
const UINT kAct = WM_APP + 7; // posted before the edit box opens: the stop, from inside

// The settings as a start-up reads them and a shutdown writes them.
struct Settings {
    int32_t rotMode, sCapture, sSetToPos, aIMode;
    TimeContext timeContext;
    bool operator==(const Settings &o) const
    {
        return rotMode == o.rotMode && sCapture == o.sCapture && sSetToPos == o.sSetToPos &&
               aIMode == o.aIMode &&
               std::memcmp(&timeContext, &o.timeContext, sizeof timeContext) == 0;
    }
};

Settings current_settings(void)
{
    return {g_rotMode, g_sCapture, g_sSetToPos, g_aIMode, g_timeContext};
}

// The same from the registry values (REG_BINARY, exact sizes), or false.
bool stored_settings(const char *keyPath, Settings *out)
{
    struct Value {
        const char *name;
        void *to;
        size_t size;
    } values[] = {{"Rot_Mode", &out->rotMode, 4},
                  {"S_capture", &out->sCapture, 4},
                  {"S_settopos", &out->sSetToPos, 4},
                  {"A_imode", &out->aIMode, 4},
                  {"Dial_tCtx", &out->timeContext, sizeof(TimeContext)}};
    for (const Value &v : values) {
        DWORD type = 0;
        std::vector<uint8_t> data;
        if (!harness_reg_get(keyPath, v.name, &type, &data) || type != REG_BINARY ||
            data.size() != v.size)
            return false;
        std::memcpy(v.to, data.data(), v.size);
    }
    return true;
}

// How the stop comes.
enum StopWay {
    STOP_INSIDE_EDIT_BOX, // ctl_shutdown from the edit box's loop; the windows go after
    STOP_BY_WINDOW,       // the application's window goes; its WM_DESTROY stops the toolkit
    STOP_NESTED,          // a second start, then two stops from the edit box's loop
};

struct Cycle {
    StopWay way;     // how this cycle stops
    HWND app;        // the application's window, parent of every control
    bool stopped;    // the final stop has run
    Settings atStop; // the settings when it ran
};
Cycle g_cycle;

void stop(void)
{
    g_cycle.atStop = current_settings();
    ctl_shutdown();
    g_cycle.stopped = true;
}

LRESULT CALLBACK app_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kAct) {
        switch (g_cycle.way) {
        case STOP_INSIDE_EDIT_BOX: stop(); break;
        case STOP_BY_WINDOW: DestroyWindow(window); break;
        case STOP_NESTED:
            ctl_shutdown();
            stop();
            break;
        }
        return 0;
    }
    if (message == WM_DESTROY && g_cycle.way == STOP_BY_WINDOW && !g_cycle.stopped)
        stop();
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT free_callback(HWND panel, UINT message, WPARAM wParam, LPARAM lParam, void *)
{
    return DefWindowProcA(panel, message, wParam, lParam);
}

int32_t list_callback(void *, int32_t, void *) { return 0; }

// The pictures the controls show: made once, outliving every cycle.
struct Pictures {
    HBITMAP face, track;
};

// One control of every class in app; returns the Slide (it opens the edit
// box) and the knob.
void make_controls(HWND app, const Pictures &p, HWND *slide, HWND *knob)
{
    ctl_create_free_panel(app, 1, 0, 0, 40, 40, free_callback, nullptr);
    ctl_create_lamp_button(app, 2, 50, 0, 0);
    SlideRecord s = {};
    s.width = 120;
    s.height = 30;
    s.background = p.track;
    s.minMargin = s.maxMargin = 5;
    s.style = SLIDE_HORIZONTAL | SLIDE_EDIT_NUMBER;
    s.thumbWidth = 10;
    s.thumbHeight = 20;
    s.notify = {app, nullptr, 0, nullptr};
    s.scale = {0.0f, 10.0f, 5.0f, 1.0f, 2, SLIDE_DELTAS_AS_IS, 0, 0, 0, 0, 0};
    *slide = ctl_create_slide(app, 3, 0, 50, &s);
    RotatifRecord r = {};
    r.width = r.height = 48;
    r.faceBitmap = p.face;
    r.look = ROT_ROUND;
    r.startDegrees = 225;
    r.endDegrees = 315;
    r.centreX = r.centreY = 24;
    r.notify = {app, nullptr, 0, nullptr};
    r.scale = {0.0f, 1.0f, 0.5f, 0.01f, 2, 0, 0, 0, 0, 0, 0};
    r.pointerLength = 20;
    r.pointerWidth = 3;
    *knob = ctl_create_rotatif(app, 4, 130, 50, &r);
    ctl_create_vgrid(app, 5, 0, 90, 100, 60, WS_HSCROLL | WS_VSCROLL, 400, 300, nullptr, 0);
    List2DRecord l2 = {};
    l2.info.totalLines = 1000;
    l2.info.lineHeight = 14;
    l2.callback = list_callback;
    ctl_create_list2d(app, 6, 110, 90, 100, 80, &l2);
    List3DRecord l3 = {};
    l3.info.totalLines = 50;
    l3.info.labelWidth = 20;
    l3.info.headerHeight = 12;
    l3.info.panelWidth = 60;
    l3.info.lineHeight = 12;
    l3.info.panelCount = 3;
    l3.info.panelStep = 8;
    l3.callback = list_callback;
    ctl_create_list3d(app, 7, 0, 160, 150, 90, &l3);
}

// What a user changes in a cycle: the modes in the menus, the popup's
// switch, and the time dialog's context.
void change_settings(int i, HWND slide, HWND knob)
{
    if (i % 2 == 0)
        SendMessageA(slide, WM_COMMAND, SLIDE_CMD_CAPTURE, 0);
    if (i % 3 == 0)
        SendMessageA(slide, WM_COMMAND, SLIDE_CMD_SETTOPOS, 0);
    if (i % 5 == 0)
        SendMessageA(knob, WM_COMMAND, ROT_CMD_ANGULAR_MODE, 0);
    if (i % 7 == 0)
        SendMessageA(knob, WM_COMMAND, ROT_CMD_INVERSE_MODE, 0);
    if (i % 4 == 0 && g_openAdjustPopup != nullptr)
        SendMessageA(g_openAdjustPopup, WM_COMMAND, ADJUST_SWITCH_ID, 0);
    g_timeContext.tempo = 60.0f + (float)(i % 120);
    g_timeContext.sampleRate = i % 2 ? 48000 : 44100;
    g_timeContext.notes[1] = (uint16_t)(i % 3 == 0 ? 4 : CTL_NOTE_EMPTY);
}

const char *const kClasses[] = {CTL_CLASS_ROTATIF, CTL_CLASS_I2P,    CTL_CLASS_FREE,
                                CTL_CLASS_SLIDE,   CTL_CLASS_3DLIST, CTL_CLASS_VGRID,
                                CTL_CLASS_2DLIST};

int registered_classes(void)
{
    int n = 0;
    WNDCLASSA wc;
    for (const char *name : kClasses)
        n += GetClassInfoA(harness_instance(), name, &wc) != 0;
    return n;
}

class ToolkitCycles : public testing::Test {
protected:
    void SetUp() override
    {
        harness_app_begin(&app, "cycles");
        WNDCLASSA wc = {};
        wc.lpfnWndProc = app_proc;
        wc.hInstance = harness_instance();
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
        wc.lpszClassName = "KeldoranCycleApp";
        RegisterClassA(&wc);
        pictures.face = harness_solid_bitmap(48, 48, RGB(0, 0, 160));
        pictures.track = harness_solid_bitmap(120, 30, RGB(60, 60, 60));
    }
    void TearDown() override
    {
        UnregisterClassA("KeldoranCycleApp", harness_instance());
        DeleteObject(pictures.face);
        DeleteObject(pictures.track);
        harness_app_end(&app);
    }
    // One start, which must read the settings stored; the controls and
    // dialogs; one stop, whose settings land in g_cycle.atStop.
    void cycle(int i, StopWay way, const Settings &stored)
    {
        SCOPED_TRACE(testing::Message() << "cycle " << i << ", stop " << way);
        ASSERT_EQ(ctl_init(harness_instance(), app.name), 1) << ctl_error_message();
        ASSERT_TRUE(current_settings() == stored) << "the start-up reads what the last stop wrote";
        if (way == STOP_NESTED) {
            ASSERT_EQ(ctl_init(harness_instance(), "another name"), 1);
        }
        g_cycle = {way, nullptr, false, {}};
        g_cycle.app = CreateWindowExA(0, "KeldoranCycleApp", "cycle", WS_POPUP | WS_VISIBLE, 30, 30,
                                      260, 260, nullptr, nullptr, harness_instance(), nullptr);
        ASSERT_NE(g_cycle.app, nullptr);
        HWND slide, knob;
        make_controls(g_cycle.app, pictures, &slide, &knob);
        ASSERT_NE(slide, nullptr);
        ASSERT_NE(knob, nullptr);
        if (i % 2 == 0)
            SendMessageA(knob, WM_COMMAND, ROT_CMD_ADJUST, 0);
        change_settings(i, slide, knob);
        harness_pump();
        PostMessageA(g_cycle.app, kAct, 0, 0);
        SendMessageA(slide, WM_COMMAND, SLIDE_CMD_EDIT, 0); // the stop comes from inside
        ASSERT_TRUE(g_cycle.stopped);
        EXPECT_EQ(g_toolkitActive, 0);
        EXPECT_EQ(g_openEditDialog, nullptr);
        EXPECT_EQ(g_openAdjustPopup, nullptr);
        if (IsWindow(g_cycle.app))
            DestroyWindow(g_cycle.app);
        harness_pump();
    }
    HarnessApp app;
    Pictures pictures;
};

TEST_F(ToolkitCycles, AThousandStartsAndStopsWithEverythingOpenKeepTheSettingsAndLeaveNothing)
{
    fuzz_watch_freed();
    // Stored settings that differ from every default.
    Settings first = {3, 0, 1, 1, CTL_TIME_CONTEXT_BUILTIN};
    first.timeContext.tempo = 99.5f;
    ASSERT_TRUE(ctl_reg_write(app.keyPath, "Rot_Mode", &first.rotMode, 4));
    ASSERT_TRUE(ctl_reg_write(app.keyPath, "S_capture", &first.sCapture, 4));
    ASSERT_TRUE(ctl_reg_write(app.keyPath, "S_settopos", &first.sSetToPos, 4));
    ASSERT_TRUE(ctl_reg_write(app.keyPath, "A_imode", &first.aIMode, 4));
    ASSERT_TRUE(ctl_reg_write(app.keyPath, "Dial_tCtx", &first.timeContext, sizeof(TimeContext)));

    // One cycle warms what the system makes once and keeps; then the counts.
    ASSERT_EQ(ctl_init(harness_instance(), app.name), 1);
    EXPECT_TRUE(current_settings() == first) << "the stored settings are read";
    ctl_shutdown();
    cycle(0, STOP_INSIDE_EDIT_BOX, first);
    ASSERT_FALSE(HasFatalFailure());
    Settings expected = g_cycle.atStop;
    FuzzCounts before, after;
    fuzz_counts(&before);
    long handlesBefore = fuzz_kernel_handles();

    for (int i = 1; i <= kCycles && !HasFatalFailure(); ++i) {
        Settings stored;
        ASSERT_TRUE(stored_settings(app.keyPath, &stored)) << "cycle " << i;
        ASSERT_TRUE(stored == expected) << "cycle " << i << ": the stop wrote what was set";
        cycle(i, (StopWay)(i % 3), expected);
        if (HasFatalFailure())
            break;
        expected = g_cycle.atStop;
    }
    ASSERT_EQ(ctl_init(harness_instance(), app.name), 1);
    EXPECT_TRUE(current_settings() == expected) << "the last stop's settings are read";
    ctl_shutdown();

    harness_pump();
    fuzz_counts(&after);
    EXPECT_EQ(after.gdi, before.gdi) << "GDI objects";
    EXPECT_EQ(after.menus, before.menus) << "menus";
    EXPECT_EQ(after.windows, before.windows) << "windows";
    EXPECT_EQ(after.heap, before.heap) << "heap blocks";
    EXPECT_EQ(fuzz_kernel_handles(), handlesBefore) << "handles (registry keys among them)";
    EXPECT_EQ(registered_classes(), 0) << "toolkit classes still registered";
    EXPECT_EQ(fuzz_freed_written(), 0) << "a freed block was written to";
}

TEST(ToolkitRestart, AStartAfterAStopWhoseControlsOutlivedItHasItsClasses)
{
    HarnessApp app;
    harness_app_begin(&app, "restart");
    HBITMAP track = harness_solid_bitmap(60, 20, RGB(60, 60, 60));
    SlideRecord s = {};
    s.width = 60;
    s.height = 20;
    s.background = track;
    s.style = SLIDE_HORIZONTAL;
    s.thumbWidth = 6;
    s.thumbHeight = 16;
    s.scale = {0.0f, 1.0f, 0.5f, 0.1f, 1, SLIDE_DELTAS_AS_IS, 0, 0, 0, 0, 0};
    HWND host = harness_create_host(100, 60);

    ASSERT_EQ(ctl_init(harness_instance(), app.name), 1);
    HWND first = ctl_create_slide(host, 1, 0, 0, &s);
    ASSERT_NE(first, nullptr);
    ctl_shutdown(); // as a main window's WM_DESTROY does, before its children go
    EXPECT_EQ(registered_classes(), 1) << "the Slide's class has a window: it stays for now";

    ASSERT_EQ(ctl_init(harness_instance(), app.name), 1) << ctl_error_message();
    HWND second = ctl_create_slide(host, 2, 0, 25, &s);
    EXPECT_NE(second, nullptr);
    EXPECT_EQ(registered_classes(), 7);
    DestroyWindow(host);
    ctl_shutdown();
    EXPECT_EQ(registered_classes(), 0) << "with the windows gone every class goes";
    DeleteObject(track);
    harness_app_end(&app);
}

} // namespace
