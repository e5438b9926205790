// The 2DList through real messages: the rows a paint asks for, the scroll
// bar's requests and thumb, the keys and commands that move the selection,
// Shift- and Ctrl-clicks, line numbers and thumb positions near 2^31 - 1
// lines, and bad creation records.
#include "tests/win/harness.h"
#include "tests/win/host_fixture.h"
#include "toolkit/qk2ctl.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

const COLORREF kRowColour = RGB(255, 255, 255);
const COLORREF kSelectedColour = RGB(0, 0, 160);

// One callback call as the list made it.
struct Call {
    int32_t code;
    int32_t line;
    int32_t top;
    int32_t selected;
    bool withDc; // a device context was handed over
};

struct Calls {
    std::vector<Call> items;
    int count(int32_t code) const
    {
        int n = 0;
        for (const Call &c : items)
            n += c.code == code;
        return n;
    }
    std::vector<int32_t> lines(int32_t code) const
    {
        std::vector<int32_t> out;
        for (const Call &c : items)
            if (c.code == code)
                out.push_back(c.line);
        return out;
    }
};

// Logs every call and fills each row white, or dark blue when selected.
int32_t log_rows(void *userData, int32_t code, void *info)
{
    const List2DInfo *row = static_cast<const List2DInfo *>(info);
    static_cast<Calls *>(userData)->items.push_back(
        {code, row->line, row->top, row->selected, row->dc != nullptr});
    if (code == LIST_CODE_DRAW && row->dc != nullptr) {
        RECT rc;
        GetClientRect(row->window, &rc);
        rc.top = row->top;
        rc.bottom = row->top + row->lineHeight;
        HBRUSH brush = CreateSolidBrush(row->selected ? kSelectedColour : kRowColour);
        FillRect(row->dc, &rc, brush);
        DeleteObject(brush);
    }
    return 0;
}

class List2DTest : public ToolkitHostTest<300, 300> {
protected:
    // A 200-pixel-wide list of total lines, rows of lineHeight, height pixels
    // tall, at (10, 10), painted once; the log starts empty.
    HWND make(int32_t total, int32_t lineHeight = 16, int height = 165)
    {
        if (list != nullptr)
            DestroyWindow(list);
        List2DRecord record = {};
        record.info.totalLines = total;
        record.info.lineHeight = lineHeight;
        record.callback = log_rows;
        record.userData = &calls;
        list = ctl_create_list2d(host, 5, 10, 10, 200, height, &record);
        if (list != nullptr)
            UpdateWindow(list);
        harness_pump();
        calls.items.clear();
        return list;
    }
    const List2DInfo &info() const
    {
        return static_cast<const List2DRecord *>(ctl_get_instance_data(list))->info;
    }
    int thumb() const { return GetScrollPos(list, SB_VERT); }
    void key(UINT vk)
    {
        harness_post_key(list, vk, true);
        harness_pump();
    }
    void scroll(int request, int position = 0)
    {
        SendMessageA(list, WM_VSCROLL, MAKEWPARAM(request, position), 0);
    }
    void click_row(int row, WPARAM keys = 0)
    {
        harness_post_mouse(list, WM_LBUTTONDOWN, 20, row * info().lineHeight + 3, MK_LBUTTON | keys);
        harness_post_mouse(list, WM_LBUTTONUP, 20, row * info().lineHeight + 3, keys);
        harness_pump();
    }
    // Paints the whole list now and returns the calls of that paint.
    Calls paint()
    {
        calls.items.clear();
        RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        Calls painted = calls;
        calls.items.clear();
        return painted;
    }
    Calls calls;
    HWND list = nullptr;
};

TEST_F(List2DTest, StartsAtLineOneWithTheScrollRangeOfAThousand)
{
    ASSERT_NE(make(100), nullptr);
    const List2DInfo &i = info();
    EXPECT_EQ(i.id, 5);
    EXPECT_EQ(i.window, list);
    EXPECT_EQ(i.visibleRows, 10);
    EXPECT_EQ(i.firstVisibleLine, 1);
    EXPECT_EQ(i.selectionStart, 1);
    EXPECT_EQ(i.selectionEnd, 1);
    int low = -1, high = -1;
    GetScrollRange(list, SB_VERT, &low, &high);
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, 1000);
    EXPECT_EQ(thumb(), 0);
    const List2DRecord *record = static_cast<const List2DRecord *>(ctl_get_instance_data(list));
    EXPECT_EQ(record->self, list);
    EXPECT_EQ(record->height, 165);
}

TEST_F(List2DTest, EndSelectsTheLastLineAndHomeThenUpDoesNothingMore)
{
    make(100);
    key(VK_END);
    EXPECT_EQ(info().selectionStart, 100);
    EXPECT_EQ(info().selectionEnd, 100);
    EXPECT_EQ(info().firstVisibleLine, 91);
    EXPECT_EQ(thumb(), 909); // 90 x 1000 / 99
    ASSERT_EQ(calls.count(LIST_CODE_SELECTION), 1);
    EXPECT_EQ(calls.lines(LIST_CODE_SELECTION)[0], 100);
    for (const Call &c : calls.items) {
        if (c.code == LIST_CODE_SELECTION) {
            EXPECT_EQ(c.selected, 1);
            EXPECT_FALSE(c.withDc);
        }
    }

    key(VK_HOME);
    EXPECT_EQ(info().selectionStart, 1);
    EXPECT_EQ(info().firstVisibleLine, 1);
    EXPECT_EQ(thumb(), 0);
    calls.items.clear();
    key(VK_UP);
    EXPECT_EQ(info().selectionStart, 1);
    EXPECT_EQ(calls.count(LIST_CODE_SELECTION), 0);
}

TEST_F(List2DTest, KeysAndCommandsMoveTheSelectionAndKeepItShown)
{
    struct Row {
        int32_t from;      // selected line before (reached with command 6)
        bool command;      // the move is a WM_COMMAND, not a key
        UINT what;         // virtual key or command
        int32_t selection; // selected line after
        int32_t first;     // first visible line after
    };
    // 100 lines, 10 full rows: a page moves by 9.
    const Row rows[] = {
        {1, false, VK_DOWN, 2, 1},       {10, false, VK_DOWN, 11, 2},
        {11, false, VK_UP, 10, 2},       {1, false, VK_NEXT, 10, 1},
        {10, false, VK_NEXT, 19, 10},    {19, false, VK_PRIOR, 10, 10},
        {95, false, VK_NEXT, 100, 91},   {5, false, VK_PRIOR, 1, 1},
        {50, true, LIST_CMD_DOWN, 51, 42}, {50, true, LIST_CMD_UP, 49, 41},
        {50, true, LIST_CMD_FIRST, 1, 1},  {50, true, LIST_CMD_LAST, 100, 91},
        {100, false, VK_DOWN, 100, 91},  {1, true, 1000, 1, 1}, // unknown command
        {1, false, 'A', 1, 1},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message() << "from " << row.from << " by " << row.what);
        make(100);
        // reach the start line from the top with the keys
        for (int i = 1; i < row.from; ++i)
            SendMessageA(list, WM_COMMAND, LIST_CMD_DOWN, 0);
        calls.items.clear();
        if (row.command)
            SendMessageA(list, WM_COMMAND, row.what, 0);
        else
            key(row.what);
        EXPECT_EQ(info().selectionStart, row.selection);
        EXPECT_EQ(info().selectionEnd, row.selection);
        EXPECT_EQ(info().firstVisibleLine, row.first);
        bool moved = row.selection != row.from;
        EXPECT_EQ(calls.count(LIST_CODE_SELECTION), moved ? 1 : 0);
    }
}

TEST_F(List2DTest, WithTwoLinesTheThumbStaysAtZero)
{
    make(2, 16, 16); // one full row
    key(VK_DOWN);
    EXPECT_EQ(info().firstVisibleLine, 2);
    EXPECT_EQ(thumb(), 0);
    scroll(SB_THUMBTRACK, 1000);
    EXPECT_EQ(info().firstVisibleLine, 2);
    EXPECT_EQ(thumb(), 0);
    make(3, 16, 16); // three lines: the thumb moves
    scroll(SB_THUMBTRACK, 1000);
    EXPECT_EQ(info().firstVisibleLine, 3);
    EXPECT_EQ(thumb(), 1000);
}

TEST_F(List2DTest, ShiftOrCtrlClickAboveTheSelectionNotifiesBelowItMovesTheEndSilently)
{
    for (WPARAM modifier : {(WPARAM)MK_SHIFT, (WPARAM)MK_CONTROL}) {
        SCOPED_TRACE(modifier);
        make(100);
        click_row(5); // line 6
        EXPECT_EQ(info().selectionStart, 6);
        EXPECT_EQ(info().selectionEnd, 6);
        ASSERT_EQ(calls.lines(LIST_CODE_SELECTION), std::vector<int32_t>{6});

        calls.items.clear();
        click_row(2, modifier); // line 3, above
        EXPECT_EQ(info().selectionStart, 3);
        EXPECT_EQ(info().selectionEnd, 6);
        EXPECT_EQ(calls.lines(LIST_CODE_SELECTION), std::vector<int32_t>{3});

        calls.items.clear();
        click_row(8, modifier); // line 9, below
        EXPECT_EQ(info().selectionStart, 3);
        EXPECT_EQ(info().selectionEnd, 9);
        EXPECT_EQ(calls.count(LIST_CODE_SELECTION), 0);

        Calls painted = paint(); // lines 3 to 9 are drawn selected
        for (const Call &c : painted.items) {
            if (c.code == LIST_CODE_DRAW) {
                EXPECT_EQ(c.selected, c.line >= 3 && c.line <= 9 ? 1 : 0) << c.line;
            }
        }
    }
}

TEST_F(List2DTest, AClickHitsTheRowWhosePixelsItLandsOn)
{
    make(100);
    key(VK_NEXT); // line 10, first visible 1
    key(VK_NEXT); // line 19, first visible 10
    ASSERT_EQ(info().firstVisibleLine, 10);
    struct Row {
        int y;
        int32_t line;
    };
    const Row rows[] = {
        {0, 10}, {15, 10}, {16, 11}, {17, 11}, {159, 19}, // ten full rows of 16
        {160, 0}, {164, 0}, {-1, 0},                       // cut-off row, above
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.y);
        calls.items.clear();
        harness_post_mouse(list, WM_LBUTTONDOWN, 50, row.y, MK_LBUTTON);
        harness_pump();
        EXPECT_EQ(info().selectionStart, row.line);
        EXPECT_EQ(info().selectionEnd, row.line);
        EXPECT_EQ(calls.lines(LIST_CODE_SELECTION), std::vector<int32_t>{row.line});
    }
}

TEST_F(List2DTest, TheScrollBarRequestsMoveTheViewOnly)
{
    struct Row {
        int32_t total;
        int32_t first;   // first visible line before
        int request;
        int position;
        int32_t after;   // first visible line after
    };
    const Row rows[] = {
        {101, 1, SB_THUMBTRACK, 500, 51},   {101, 1, SB_THUMBPOSITION, 1000, 101},
        {100, 50, SB_LINEUP, 0, 49},        {100, 50, SB_LINEDOWN, 0, 51},
        {100, 50, SB_PAGEUP, 0, 40},        {100, 50, SB_PAGEDOWN, 0, 60},
        {100, 5, SB_PAGEUP, 0, 1},          {100, 95, SB_PAGEDOWN, 0, 100},
        {100, 50, SB_TOP, 0, 1},            {100, 1, SB_BOTTOM, 0, 91}, // last line in the last full row
        {5, 1, SB_BOTTOM, 0, 1},            {100, 50, SB_ENDSCROLL, 0, 50},
        {100, 50, 99, 0, 50},               {100, 1, SB_THUMBTRACK, 65535, 100},
        {0, 1, SB_LINEDOWN, 0, 1},          {1, 1, SB_THUMBTRACK, 1000, 1},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message() << row.total << " lines from " << row.first
                                        << ", request " << row.request);
        make(row.total);
        scroll(SB_THUMBTRACK, 0);
        for (int32_t i = 1; i < row.first; ++i)
            scroll(SB_LINEDOWN);
        ASSERT_EQ(info().firstVisibleLine, row.first);
        scroll(row.request, row.position);
        EXPECT_EQ(info().firstVisibleLine, row.after);
        EXPECT_EQ(info().selectionStart, 1) << "scrolling leaves the selection";
        int64_t span = (int64_t)row.total - 1;
        int expected = span > 1 ? (int)((int64_t)(row.after - 1) * 1000 / span) : 0;
        EXPECT_EQ(thumb(), expected);
    }
}

TEST_F(List2DTest, APaintAsksForTheVisibleRowsAndOneMoreWhateverTheLength)
{
    for (int32_t total : {0, 1, 10, 10000000, INT32_MAX}) {
        SCOPED_TRACE(total);
        make(total);
        Calls painted = paint();
        ASSERT_EQ(painted.count(LIST_CODE_DRAW), 11);
        EXPECT_EQ(painted.lines(LIST_CODE_DRAW).front(), 1);
        EXPECT_EQ(painted.lines(LIST_CODE_DRAW).back(), 11);
        EXPECT_EQ(painted.items.back().code, LIST_CODE_DONE);
        for (int r = 0; r < 11; ++r) {
            EXPECT_EQ(painted.items[r].top, r * 16);
            EXPECT_TRUE(painted.items[r].withDc);
        }
        EXPECT_EQ(info().dc, nullptr) << "no stale paint DC after the paint";
    }
}

TEST_F(List2DTest, TheSelectionShowsInThePixels)
{
    make(100);
    click_row(2);
    EXPECT_EQ(harness_pixel(list, 50, 2 * 16 + 8), kSelectedColour);
    EXPECT_EQ(harness_pixel(list, 50, 1 * 16 + 8), kRowColour);
    key(VK_DOWN);
    EXPECT_EQ(harness_pixel(list, 50, 3 * 16 + 8), kSelectedColour);
    EXPECT_EQ(harness_pixel(list, 50, 2 * 16 + 8), kRowColour);
    scroll(SB_LINEDOWN); // the picture moves up one row
    EXPECT_EQ(harness_pixel(list, 50, 2 * 16 + 8), kSelectedColour);
}

TEST_F(List2DTest, LineNumbersAndThumbHoldAtTwoToTheThirtyFirstLines)
{
    const int32_t total = INT32_MAX;
    const int64_t span = (int64_t)total - 1;
    make(total);
    key(VK_END);
    EXPECT_EQ(info().selectionStart, total);
    EXPECT_EQ(info().firstVisibleLine, total - 9);
    EXPECT_EQ(thumb(), (int)((int64_t)(total - 10) * 1000 / span));
    Calls painted = paint(); // ten full rows, then nothing past 2^31 - 1
    EXPECT_EQ(painted.lines(LIST_CODE_DRAW).back(), total);
    EXPECT_EQ(painted.count(LIST_CODE_DRAW), 10);
    EXPECT_EQ(painted.items.back().code, LIST_CODE_DONE);

    for (int position : {1, 500, 998, 999, 1000}) {
        SCOPED_TRACE(position);
        scroll(SB_THUMBTRACK, position);
        int64_t first = (int64_t)position * span / 1000 + 1;
        EXPECT_EQ(info().firstVisibleLine, first);
        EXPECT_EQ(thumb(), (int)((first - 1) * 1000 / span));
    }
    scroll(SB_BOTTOM);
    EXPECT_EQ(info().firstVisibleLine, total - 9);
    key(VK_HOME);
    EXPECT_EQ(info().selectionStart, 1);
    EXPECT_EQ(info().firstVisibleLine, 1);
    key(VK_END);
    key(VK_PRIOR);
    EXPECT_EQ(info().selectionStart, total - 9);
    scroll(SB_PAGEDOWN);
    scroll(SB_LINEDOWN);
    EXPECT_EQ(info().firstVisibleLine, total);
}

TEST_F(List2DTest, BadRecordsAreRefused)
{
    List2DRecord record = {};
    record.info.totalLines = 10;
    record.callback = log_rows;
    for (int32_t lineHeight : {0, -1, INT32_MIN}) {
        record.info.lineHeight = lineHeight;
        EXPECT_EQ(ctl_create_list2d(host, 5, 0, 0, 100, 100, &record), nullptr) << lineHeight;
    }
    record.info.lineHeight = 16;
    record.callback = nullptr;
    EXPECT_EQ(ctl_create_list2d(host, 5, 0, 0, 100, 100, &record), nullptr) << "null callback";
    EXPECT_EQ(ctl_create_list2d(host, 5, 0, 0, 100, 100, nullptr), nullptr) << "no record";
    EXPECT_EQ(CreateWindowExA(0, CTL_CLASS_2DLIST, nullptr, WS_CHILD, 0, 0, 10, 10, host, nullptr,
                              ctl_instance(), nullptr),
              nullptr);
}

TEST_F(List2DTest, EmptyAndNegativeListsDoNotMove)
{
    for (int32_t total : {0, -5}) {
        SCOPED_TRACE(total);
        make(total);
        EXPECT_EQ(info().totalLines, 0);
        for (UINT vk : {VK_DOWN, VK_UP, VK_NEXT, VK_PRIOR, VK_END, VK_HOME})
            key(vk);
        SendMessageA(list, WM_COMMAND, LIST_CMD_LAST, 0);
        EXPECT_EQ(info().selectionStart, 1);
        EXPECT_EQ(info().firstVisibleLine, 1);
        EXPECT_EQ(calls.count(LIST_CODE_SELECTION), 0);
        scroll(SB_BOTTOM);
        scroll(SB_THUMBTRACK, 1000);
        EXPECT_EQ(info().firstVisibleLine, 1);
        EXPECT_EQ(thumb(), 0);
    }
    make(1);
    key(VK_DOWN);
    key(VK_END);
    EXPECT_EQ(info().selectionStart, 1);
    EXPECT_EQ(calls.count(LIST_CODE_SELECTION), 0);
}

TEST_F(List2DTest, AWindowShorterThanOneRowStillMovesLineByLine)
{
    make(50, 16, 10);
    EXPECT_EQ(info().visibleRows, 0);
    EXPECT_EQ(paint().count(LIST_CODE_DRAW), 1);
    key(VK_DOWN);
    EXPECT_EQ(info().selectionStart, 2);
    EXPECT_EQ(info().firstVisibleLine, 2) << "the selected line is the one shown";
    key(VK_NEXT);
    EXPECT_EQ(info().selectionStart, 3);
    EXPECT_EQ(info().firstVisibleLine, 3);
    key(VK_UP);
    EXPECT_EQ(info().firstVisibleLine, 2);
    scroll(SB_PAGEDOWN);
    EXPECT_EQ(info().firstVisibleLine, 3);
    harness_post_mouse(list, WM_LBUTTONDOWN, 5, 3, MK_LBUTTON); // no full row to hit
    harness_pump();
    EXPECT_EQ(info().selectionStart, 0);
}

TEST_F(List2DTest, AnyScrollRequestAndPositionKeepsTheFirstLineInRange)
{
    for (int32_t total : {0, 1, 2, 1000, INT32_MAX}) {
        make(total);
        for (int request = 0; request <= 12; ++request)
            for (int position : {0, 1, 999, 1000, 1001, 32768, 65535}) {
                scroll(request, position);
                int32_t first = info().firstVisibleLine;
                EXPECT_GE(first, 1);
                EXPECT_LE(first, std::max(total, 1));
                EXPECT_GE(thumb(), 0);
                EXPECT_LE(thumb(), 1000);
            }
    }
}

TEST_F(List2DTest, ResizingCountsTheFullRowsAgain)
{
    make(100);
    MoveWindow(list, 10, 10, 150, 100, TRUE);
    EXPECT_EQ(info().visibleRows, 6);
    const List2DRecord *record = static_cast<const List2DRecord *>(ctl_get_instance_data(list));
    EXPECT_EQ(record->width, 150);
    EXPECT_EQ(record->height, 100);
    POINT corner = {10, 10};
    ClientToScreen(host, &corner);
    EXPECT_EQ(record->left, corner.x);
    EXPECT_EQ(record->top, corner.y);
    EXPECT_EQ(paint().count(LIST_CODE_DRAW), 7);
}

TEST_F(List2DTest, TabAndEscapeGoToTheParent)
{
    make(10);
    harness_pump();
    for (UINT vk : {VK_TAB, VK_ESCAPE}) {
        SendMessageA(list, WM_KEYDOWN, vk, harness_key_lparam(vk, true));
        MSG msg;
        ASSERT_EQ(harness_take_message(host, WM_KEYDOWN, WM_KEYDOWN, &msg), 1);
        EXPECT_EQ(msg.wParam, vk);
        EXPECT_EQ(msg.lParam, harness_key_lparam(vk, true));
    }
}

TEST_F(List2DTest, NothingMovesOrDrawsWhileTheToolkitIsInactive)
{
    make(100);
    g_toolkitActive = 0;
    click_row(3);
    key(VK_DOWN);
    scroll(SB_PAGEDOWN);
    Calls painted = paint();
    g_toolkitActive = 1;
    EXPECT_EQ(info().selectionStart, 1);
    EXPECT_EQ(info().firstVisibleLine, 1);
    EXPECT_TRUE(painted.items.empty());
    EXPECT_TRUE(calls.items.empty());
}

TEST_F(List2DTest, AClickTakesTheFocusThroughTheSystemInput)
{
    make(100);
    harness_input_click(list, 40, 4 * 16 + 5);
    EXPECT_EQ(GetFocus(), list);
    EXPECT_EQ(info().selectionStart, 5);
}

} // namespace
