// Faults the random messages found, each as a small direct case: owners that
// close a control from the notification it sends, a knob turned to its end,
// and clicks on the rows a list draws past its last line. Freed records are
// poisoned and held back by the test build's heap, so a control that writes
// to its record after the owner closed it is caught here.
#include "tests/win/fuzz/fuzz.h"
#include "tests/win/harness.h"
#include "tests/win/host_fixture.h"
#include "toolkit/qk2ctl.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// An owner that closes the control it hears from at its close-th
// notification, as a dialog's Close button closes the dialog.
struct Closer {
    HWND control = nullptr;    // what it closes
    int closeAt = 1;           // which notification closes it
    std::vector<float> values; // what it heard
};

int32_t close_on_notify(void *userData, uint32_t, int32_t lParam)
{
    Closer *closer = static_cast<Closer *>(userData);
    closer->values.push_back(ctl_as_float((uint32_t)lParam));
    if ((int)closer->values.size() == closer->closeAt)
        DestroyWindow(closer->control);
    return 1;
}

class FuzzFaultTest : public ToolkitHostTest<300, 240> {
protected:
    void SetUp() override
    {
        ToolkitHostTest::SetUp();
        back = harness_solid_bitmap(120, 30, RGB(40, 40, 40));
        face = harness_solid_bitmap(48, 48, RGB(0, 0, 160));
        fuzz_watch_freed();
    }
    void TearDown() override
    {
        EXPECT_EQ(fuzz_freed_written(), 0) << "a control wrote to its record after it was freed";
        ToolkitHostTest::TearDown();
        DeleteObject(back);
        DeleteObject(face);
    }
    // A horizontal Slide 120 x 30 over 0..100 at 50, step 1, reporting to
    // the closer (continuous with extraFlags SLIDE_CONTINUOUS).
    HWND slide(uint32_t extraFlags = 0)
    {
        SlideRecord r = {};
        r.width = 120;
        r.height = 30;
        r.background = back;
        r.minMargin = r.maxMargin = 5;
        r.style = SLIDE_HORIZONTAL;
        r.thumbCross = 5;
        r.thumbWidth = 10;
        r.thumbHeight = 20;
        r.notify = {host, close_on_notify, CTL_NOTIFY_CALLBACK | extraFlags, &closer};
        r.scale.minimum = 0;
        r.scale.maximum = 100;
        r.scale.defaultValue = 50;
        r.scale.step = 1;
        r.scale.flags = SLIDE_DELTAS_AS_IS;
        closer.control = ctl_create_slide(host, 3, 10, 10, &r);
        return closer.control;
    }
    // A 24 x 16 push button reporting to the closer.
    HWND button(uint32_t behaviour)
    {
        I2pLook look = {};
        look.offBitmap = ctl_bitmap(CTL_BMP_LAMP_OFF);
        look.onBitmap = ctl_bitmap(CTL_BMP_LAMP_ON);
        look.behaviour = behaviour;
        NotifyTarget target = {host, close_on_notify, CTL_NOTIFY_CALLBACK, &closer};
        closer.control = ctl_create_i2p(host, 4, 10, 10, &look, &target);
        return closer.control;
    }
    static void mouse(HWND window, UINT message, int x, int y, WPARAM keys)
    {
        SendMessageA(window, message, keys, MAKELPARAM(x, y));
    }
    Closer closer;
    HBITMAP back = nullptr;
    HBITMAP face = nullptr;
};

// --- owners closing a control from its notification ------------------------

TEST_F(FuzzFaultTest, SlideLosingTheFocusWithAKeyStepToReportMayBeClosedByItsOwner)
{
    HWND s = slide();
    SendMessageA(s, WM_SETFOCUS, 0, 0);
    SendMessageA(s, WM_KEYDOWN, VK_RIGHT, 1); // reported at the key-up, or when the focus goes
    SendMessageA(s, WM_KILLFOCUS, (WPARAM)host, 0);
    EXPECT_FALSE(IsWindow(s));
    EXPECT_EQ(closer.values, std::vector<float>{51.0f});
}

TEST_F(FuzzFaultTest, SlideDraggedInDirectModeMayBeClosedByAContinuousNotification)
{
    HWND s = slide(SLIDE_CONTINUOUS);
    g_sSetToPos = 1;
    mouse(s, WM_LBUTTONDOWN, 55, 10, MK_LBUTTON);
    mouse(s, WM_MOUSEMOVE, 60, 10, MK_LBUTTON);
    g_sSetToPos = 0;
    EXPECT_FALSE(IsWindow(s));
    ASSERT_EQ(closer.values.size(), 1u);
    EXPECT_EQ(GetCapture(), nullptr) << "the capture went with the Slide";
}

TEST_F(FuzzFaultTest, SlideDraggedStepByStepMayBeClosedByAContinuousNotification)
{
    HWND s = slide(SLIDE_CONTINUOUS);
    mouse(s, WM_LBUTTONDOWN, 55, 10, MK_LBUTTON);
    mouse(s, WM_MOUSEMOVE, 58, 10, MK_LBUTTON);
    EXPECT_FALSE(IsWindow(s));
    EXPECT_EQ(closer.values, std::vector<float>{53.0f});
}

TEST_F(FuzzFaultTest, SlideDisabledInTheMiddleOfADragMayBeClosedByItsOwner)
{
    HWND s = slide();
    mouse(s, WM_LBUTTONDOWN, 55, 10, MK_LBUTTON);
    mouse(s, WM_MOUSEMOVE, 57, 10, MK_LBUTTON);
    SendMessageA(s, WM_COMMAND, CTL_CMD_DISABLE, 0); // ends the drag, which reports
    EXPECT_FALSE(IsWindow(s));
    EXPECT_EQ(closer.values, std::vector<float>{52.0f});
}

TEST_F(FuzzFaultTest, PushButtonMayBeClosedByTheClickItReports)
{
    HWND b = button(I2P_PUSH);
    mouse(b, WM_LBUTTONDOWN, 2, 2, MK_LBUTTON);
    mouse(b, WM_LBUTTONUP, 2, 2, 0);
    EXPECT_FALSE(IsWindow(b));
    EXPECT_EQ(closer.values, std::vector<float>{1.0f}) << "the click reports 1";
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(FuzzFaultTest, RepeatingButtonMayBeClosedByARepeat)
{
    HWND b = button(I2P_PUSH | I2P_AUTO_REPEAT);
    closer.closeAt = 2; // the press reports, then the ninth tick
    mouse(b, WM_LBUTTONDOWN, 2, 2, MK_LBUTTON);
    for (int tick = 0; tick < 9 && IsWindow(b); ++tick)
        SendMessageA(b, WM_TIMER, I2P_TIMER_ID, 0);
    EXPECT_FALSE(IsWindow(b));
    EXPECT_EQ(closer.values.size(), 2u);
}

TEST_F(FuzzFaultTest, ToggleAndSetOnlyButtonsMayBeClosedByThePressTheyReport)
{
    for (uint32_t behaviour : {I2P_TOGGLE, I2P_SET_ONLY}) {
        closer.values.clear();
        HWND b = button(behaviour);
        mouse(b, WM_LBUTTONDOWN, 2, 2, MK_LBUTTON);
        EXPECT_FALSE(IsWindow(b)) << behaviour;
        EXPECT_EQ(closer.values, std::vector<float>{1.0f}) << behaviour;
    }
}

// A 48 x 48 knob from 225 to 315 degrees over 0..1 at 0.5 reporting to
// the closer.
RotatifRecord knob_record(HWND host, HBITMAP face, Closer *closer)
{
    RotatifRecord r = {};
    r.width = r.height = 48;
    r.faceBitmap = face;
    r.startDegrees = 225;
    r.endDegrees = 315;
    r.centreX = r.centreY = 24;
    r.notify = {host, close_on_notify, CTL_NOTIFY_CALLBACK, closer};
    r.scale = {0.0f, 1.0f, 0.5f, 0.01f, 2, 0, 0, 0, 0, 0, 0};
    r.pointerLength = 20;
    r.pointerWidth = 4;
    return r;
}

TEST_F(FuzzFaultTest, KnobDestroyedInTheMiddleOfADragMayBeClosedAgainByTheDragsReport)
{
    RotatifRecord r = knob_record(host, face, &closer);
    HWND knob = closer.control = ctl_create_rotatif(host, 5, 10, 10, &r);
    g_rotMode = 0;
    mouse(knob, WM_LBUTTONDOWN, 24, 24, MK_LBUTTON);
    mouse(knob, WM_MOUSEMOVE, 24, 20, MK_LBUTTON);
    DestroyWindow(knob); // the drag ends as the capture goes, and reports
    EXPECT_FALSE(IsWindow(knob));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(FuzzFaultTest, KnobDestroyedWhileDraggingUnderItsPopupMayBeClosedAgain)
{
    RotatifRecord r = knob_record(host, face, &closer);
    HWND knob = closer.control = ctl_create_rotatif(host, 5, 10, 10, &r);
    HWND other = CreateWindowExA(0, "static", "", WS_CHILD | WS_VISIBLE, 200, 200, 20, 20, host,
                                 nullptr, harness_instance(), nullptr);
    g_rotMode = 0;
    SetCapture(other); // the popup gives the capture back here when it closes
    SendMessageA(knob, WM_COMMAND, ROT_CMD_ADJUST, 0);
    ASSERT_NE(g_openAdjustPopup, nullptr);
    mouse(knob, WM_LBUTTONDOWN, 24, 24, MK_LBUTTON); // the knob takes the capture to drag
    mouse(knob, WM_MOUSEMOVE, 24, 20, MK_LBUTTON);
    DestroyWindow(knob); // closing the popup hands the capture on: the drag ends and reports
    EXPECT_FALSE(IsWindow(knob));
    EXPECT_EQ(g_openAdjustPopup, nullptr);
    ReleaseCapture();
    DestroyWindow(other);
}

TEST_F(FuzzFaultTest, PopupMovedWhileItsKnobDragsMayBeClosedByTheDragsReport)
{
    RotatifRecord r = knob_record(host, face, &closer);
    HWND knob = closer.control = ctl_create_rotatif(host, 5, 10, 10, &r);
    g_rotMode = 0;
    SendMessageA(knob, WM_COMMAND, ROT_CMD_ADJUST, 0);
    HWND popup = g_openAdjustPopup;
    ASSERT_NE(popup, nullptr);
    mouse(knob, WM_LBUTTONDOWN, 24, 24, MK_LBUTTON); // the knob takes the capture to drag
    // A press on the popup's title begins moving it and takes the capture
    // back: the knob's drag ends and reports, and the owner closes the knob,
    // and with it the popup.
    mouse(popup, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    EXPECT_FALSE(IsWindow(knob));
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_EQ(g_openAdjustPopup, nullptr);
}

// The popup being moved by its title while its knob drags: how the move
// ends (the release, or the popup closing) hands the capture back, which
// ends the knob's drag, whose report closes the knob and the popup.
class PopupMoveTest : public FuzzFaultTest {
protected:
    void SetUp() override
    {
        FuzzFaultTest::SetUp();
        RotatifRecord r = knob_record(host, face, &closer);
        knob = closer.control = ctl_create_rotatif(host, 5, 10, 10, &r);
        g_rotMode = 0;
        SendMessageA(knob, WM_COMMAND, ROT_CMD_ADJUST, 0);
        popup = g_openAdjustPopup;
        ASSERT_NE(popup, nullptr);
        mouse(popup, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON); // the move begins
        mouse(knob, WM_LBUTTONDOWN, 24, 24, MK_LBUTTON); // the knob takes the capture
    }
    void TearDown() override
    {
        EXPECT_FALSE(IsWindow(knob));
        EXPECT_FALSE(IsWindow(popup));
        EXPECT_EQ(g_openAdjustPopup, nullptr);
        FuzzFaultTest::TearDown();
    }
    HWND knob = nullptr;
    HWND popup = nullptr;
};

TEST_F(PopupMoveTest, EndedByTheReleaseMayCloseThePopup)
{
    mouse(popup, WM_LBUTTONUP, 5, 5, 0);
}

TEST_F(PopupMoveTest, EndedByThePopupClosingMayCloseThePopupAgain)
{
    SendMessageA(popup, WM_CLOSE, 0, 0);
}

// --- a knob turned to its end ------------------------------------------------

TEST_F(FuzzFaultTest, KnobTurnedToItsEndInAngularModeHoldsItsMaximumExactly)
{
    // From 225 to 315 degrees over -10..-2: the end angle's value rounds to
    // -1.99999905, an ulp past the maximum.
    RotatifRecord r = knob_record(host, face, nullptr);
    r.notify = {host, nullptr, 0, nullptr};
    r.scale = {-10.0f, -2.0f, -6.0f, 1.0f, 2, 0, 0, 0, 0, 0, 0};
    HWND knob = ctl_create_rotatif(host, 5, 10, 10, &r);
    g_rotMode = ROT_MODE_ANGULAR;
    mouse(knob, WM_LBUTTONDOWN, 30, 44, MK_LBUTTON);
    mouse(knob, WM_MOUSEMOVE, 25, 44, MK_LBUTTON); // just right of straight down: snaps to the end
    EXPECT_EQ(ctl_send_command(knob, CTL_CMD_GET, 0), -2.0f);
    mouse(knob, WM_MOUSEMOVE, 23, 44, MK_LBUTTON); // just left of it: the start
    EXPECT_EQ(ctl_send_command(knob, CTL_CMD_GET, 0), -10.0f);
    mouse(knob, WM_LBUTTONUP, 23, 44, 0);
    g_rotMode = 1;
    DestroyWindow(knob);
}

// --- clicks on the rows a list draws past its last line ----------------------

int32_t note_selection(void *userData, int32_t code, void *info)
{
    if (code == LIST_CODE_SELECTION)
        static_cast<std::vector<int32_t> *>(userData)->push_back(
            static_cast<const List2DInfo *>(info)->line);
    return 0;
}

TEST_F(FuzzFaultTest, TwoDListClickOnARowPastTheLastLineSelectsNoLine)
{
    std::vector<int32_t> reported;
    List2DRecord r = {};
    r.info.totalLines = 3;
    r.info.lineHeight = 16;
    r.callback = note_selection;
    r.userData = &reported;
    HWND list = ctl_create_list2d(host, 6, 10, 10, 200, 165, &r); // ten rows, three lines
    const List2DInfo &info = static_cast<List2DRecord *>(ctl_get_instance_data(list))->info;
    mouse(list, WM_LBUTTONDOWN, 20, 5 * 16 + 8, MK_LBUTTON); // row 6: no line there
    EXPECT_EQ(info.selectionStart, 0);
    EXPECT_EQ(info.selectionEnd, 0);
    mouse(list, WM_LBUTTONDOWN, 20, 1 * 16 + 8, MK_LBUTTON); // line 2
    mouse(list, WM_LBUTTONDOWN, 20, 7 * 16 + 8, MK_LBUTTON | MK_SHIFT);
    EXPECT_EQ(info.selectionStart, 0) << "a Shift-click past the end reaches no line";
    EXPECT_EQ(reported, (std::vector<int32_t>{0, 2, 0}));
    mouse(list, WM_LBUTTONDOWN, 20, 2 * 16 + 8, MK_LBUTTON); // the last line still selects
    EXPECT_EQ(info.selectionStart, 3);
    DestroyWindow(list);
}

int32_t draw_nothing(void *, int32_t, void *) { return 0; }

TEST_F(FuzzFaultTest, ThreeDListClickOnARowPastTheLastLineMakesNoLineCurrent)
{
    List3DRecord r = {};
    r.info.totalLines = 2;
    r.info.labelWidth = 40;
    r.info.headerHeight = 20;
    r.info.panelWidth = 150;
    r.info.lineHeight = 16;
    r.info.panelCount = 2;
    r.info.panelStep = 20;
    r.callback = draw_nothing;
    HWND list = ctl_create_list3d(host, 7, 0, 0, 280, 200, &r);
    const List3DInfo &info = static_cast<List3DRecord *>(ctl_get_instance_data(list))->info;
    // The front panel (1) starts at 40 + 90; its rows begin at 20 + 20.
    int x = 40 + info.slots[1].xOffset + 10;
    mouse(list, WM_LBUTTONDOWN, x, 40 + 4 * 16 + 8, MK_LBUTTON); // row 5: no line there
    EXPECT_EQ(info.current, 0);
    mouse(list, WM_LBUTTONDOWN, x, 40 + 1 * 16 + 8, MK_LBUTTON); // line 2
    EXPECT_EQ(info.current, 2);
    // A row past the end of the panel behind: the panel comes forward, no line is current.
    mouse(list, WM_LBUTTONDOWN, 40 + 5, 20 + 4 * 16 + 8, MK_LBUTTON);
    EXPECT_EQ(info.slots[1].panel, 2);
    EXPECT_EQ(info.current, 0);
    DestroyWindow(list);
}

} // namespace
