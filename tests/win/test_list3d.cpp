// The 3DList through real messages: the fan-out and the stacking order, the
// cells each render asks for and the pixels WM_PAINT copies, bringing panels
// forward by clicks and arrow keys, dragging the front panel by its header,
// the current line and its moves, go-to-line, Ctrl+keys and commands to the
// callback, the context menu, 2^31 - 1 lines and bad creation records.
#include "tests/win/harness.h"
#include "tests/win/host_fixture.h"
#include "toolkit/qk2ctl.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace {

const COLORREF kBackground = RGB(0, 128, 128);
const COLORREF kLabel = RGB(200, 200, 200);
const COLORREF kRow = RGB(255, 255, 255);
const COLORREF kCurrentRow = RGB(255, 255, 0);
const COLORREF kHeader[4] = {0, RGB(200, 0, 0), RGB(0, 160, 0), RGB(0, 0, 200)}; // panels 1-3

// One callback call: the code and the cell info as it was.
struct Cell {
    int32_t code;
    int32_t panel, line;
    int32_t left, top, right, bottom;
    int32_t depth;
    int32_t currentLine;
    bool withDc;
};

struct Cells {
    std::vector<Cell> items;
    int32_t activateResult = 0; // what code 2 returns
    int count(int32_t code) const
    {
        int n = 0;
        for (const Cell &c : items)
            n += c.code == code;
        return n;
    }
    // The first drawn header of panel, or a cell with panel -1.
    Cell header(int32_t panel) const
    {
        for (const Cell &c : items)
            if (c.code == LIST_CODE_DRAW && c.panel == panel && c.line == 0)
                return c;
        return Cell{-1, -1, -1, 0, 0, 0, 0, 0, 0, false};
    }
    std::vector<int32_t> codes() const
    {
        std::vector<int32_t> out;
        for (const Cell &c : items)
            if (c.code != LIST_CODE_DRAW)
                out.push_back(c.code);
        return out;
    }
};

void fill(HDC dc, int left, int top, int right, int bottom, COLORREF colour)
{
    RECT rc = {left, top, right, bottom};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rc, brush);
    DeleteObject(brush);
}

// Logs every call; paints labels grey, headers in their panel's colour and
// rows white, the current line yellow.
int32_t log_cells(void *userData, int32_t code, void *data)
{
    const List3DInfo *info = static_cast<const List3DInfo *>(data);
    Cells *cells = static_cast<Cells *>(userData);
    cells->items.push_back({code, info->panel, info->line, info->left, info->top, info->right,
                            info->bottom, info->depth, info->currentLine, info->dc != nullptr});
    if (code == LIST_CODE_DRAW && info->dc != nullptr) {
        COLORREF colour = info->panel == 0                  ? kLabel
                          : info->line == 0                 ? kHeader[info->panel & 3]
                          : info->line == info->currentLine ? kCurrentRow
                                                            : kRow;
        fill(info->dc, info->left, info->top, info->right, info->bottom, colour);
    }
    return code == LIST_CODE_ACTIVATE ? cells->activateResult : 0;
}

// Menus the list opened, seen through a hook; a timer closes any at once.
HWND g_watchedList;
int g_menusOpened;

LRESULT CALLBACK watch_menus(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT *m = reinterpret_cast<const CWPSTRUCT *>(lParam);
    if (code == HC_ACTION && m->hwnd == g_watchedList && m->message == WM_INITMENUPOPUP)
        ++g_menusOpened;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK close_menu(HWND, UINT, UINT_PTR, DWORD) { EndMenu(); }

// The layout of the edge cases: three panels in 300 x 200, labels 40 wide,
// panels 200 wide with headers of 20, rows of 16, each panel 20 lower than
// the one behind. Eight rows fit below the front header: (200 - 40 - 20) / 16.
class List3DTest : public ToolkitHostTest<400, 300> {
protected:
    void SetUp() override
    {
        ToolkitHostTest::SetUp();
        source = harness_solid_bitmap(400, 300, kBackground);
    }
    void TearDown() override
    {
        ToolkitHostTest::TearDown();
        DeleteObject(source);
    }
    List3DRecord record(int32_t total = 100, int32_t panels = 3)
    {
        List3DRecord r = {};
        r.info.totalLines = total;
        r.info.labelWidth = 40;
        r.info.headerHeight = 20;
        r.info.panelWidth = 200;
        r.info.lineHeight = 16;
        r.info.panelCount = panels;
        r.info.panelStep = 20;
        r.callback = log_cells;
        r.userData = &cells;
        r.backgroundSource = source;
        return r;
    }
    // A new list (the previous one goes); the log holds its first render.
    HWND make(const List3DRecord &r, int width = 300, int height = 200)
    {
        if (list != nullptr)
            DestroyWindow(list);
        cells.items.clear();
        list = ctl_create_list3d(host, 9, 0, 0, width, height, &r);
        harness_pump();
        return list;
    }
    HWND make(int32_t total = 100, int32_t panels = 3) { return make(record(total, panels)); }
    List3DRecord *self() const { return static_cast<List3DRecord *>(ctl_get_instance_data(list)); }
    const List3DInfo &info() const { return self()->info; }
    int32_t front() const { return info().slots[info().panelCount - 1].panel; }
    void key(UINT vk)
    {
        cells.items.clear();
        harness_post_key(list, vk, true);
        harness_pump();
    }
    void click(int x, int y)
    {
        cells.items.clear();
        harness_click(list, x, y);
    }
    void command(WPARAM wParam, LPARAM lParam = 0)
    {
        cells.items.clear();
        SendMessageA(list, WM_COMMAND, wParam, lParam);
    }
    void go_to(float line) { command(LIST_CMD_GOTO, (LPARAM)ctl_float_bits(line)); }
    // A Ctrl+character (or a plain one) as the keyboard would bring it.
    void type(WPARAM character, bool ctrl)
    {
        BYTE keys[256];
        GetKeyboardState(keys);
        BYTE saved = keys[VK_CONTROL];
        keys[VK_CONTROL] = ctrl ? 0x80 : 0;
        SetKeyboardState(keys);
        cells.items.clear();
        SendMessageA(list, WM_CHAR, character, 1);
        keys[VK_CONTROL] = saved;
        SetKeyboardState(keys);
    }
    // A right click at (x, y); returns how many menus opened.
    int right_click(int x, int y)
    {
        g_watchedList = list;
        g_menusOpened = 0;
        HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, watch_menus, nullptr, GetCurrentThreadId());
        UINT_PTR timer = SetTimer(nullptr, 0, 60, close_menu);
        cells.items.clear();
        SendMessageA(list, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(x, y));
        KillTimer(nullptr, timer);
        UnhookWindowsHookEx(hook);
        harness_pump();
        return g_menusOpened;
    }
    // The centre of row r of the front panel, and of its header.
    POINT front_row(int r) const
    {
        const List3DInfo &i = info();
        int left = i.labelWidth + i.slots[i.panelCount - 1].xOffset;
        return {left + 50, (i.panelCount - 1) * i.panelStep + i.headerHeight + r * i.lineHeight + 8};
    }

    HBITMAP source = nullptr;
    Cells cells;
    HWND list = nullptr;
};

TEST_F(List3DTest, ThreePanelsFanOutWithPanelOneInFront)
{
    ASSERT_NE(make(), nullptr);
    EXPECT_EQ(info().visibleLines, 8);
    const int32_t offsets[3] = {0, 30, 60}, panels[3] = {3, 2, 1};
    for (int s = 0; s < 3; ++s) {
        EXPECT_EQ(info().slots[s].xOffset, offsets[s]) << s;
        EXPECT_EQ(info().slots[s].panel, panels[s]) << s;
    }
    // What the creation's render drew.
    Cell one = cells.header(1), three = cells.header(3);
    EXPECT_EQ(one.left, 100);
    EXPECT_EQ(one.top, 40);
    EXPECT_EQ(one.right, 300);
    EXPECT_EQ(one.bottom, 60);
    EXPECT_EQ(one.depth, 3);
    EXPECT_EQ(three.left, 40);
    EXPECT_EQ(three.top, 0);
    EXPECT_EQ(three.depth, 1);
    // Labels first (eight rows beside the back panel's), then the panels
    // from the front to the back, each a header and eight rows; code 6 last.
    ASSERT_EQ(cells.items.size(), 8u + 3 * 9 + 1);
    for (int r = 0; r < 8; ++r) {
        const Cell &c = cells.items[r];
        EXPECT_EQ(c.panel, 0);
        EXPECT_EQ(c.depth, 0);
        EXPECT_EQ(c.line, 1 + r);
        EXPECT_EQ(c.left, 0);
        EXPECT_EQ(c.right, 40);
        EXPECT_EQ(c.top, 20 + 16 * r);
        EXPECT_EQ(c.bottom, 36 + 16 * r);
    }
    EXPECT_EQ(cells.items[8].panel, 1);
    EXPECT_EQ(cells.items[9].line, 1);
    EXPECT_EQ(cells.items[9].top, 60);
    EXPECT_EQ(cells.items[17].panel, 2);
    EXPECT_EQ(cells.items[26].panel, 3);
    const Cell &done = cells.items.back();
    EXPECT_EQ(done.code, LIST_CODE_DONE);
    EXPECT_EQ(done.panel, 1);
    EXPECT_EQ(done.line, 1);
    EXPECT_FALSE(done.withDc);
    EXPECT_TRUE(cells.items[0].withDc);
}

TEST_F(List3DTest, LeftBringsTheNextPanelsForwardUntilTheLastThenBackspaceRestores)
{
    make();
    key(VK_LEFT);
    EXPECT_EQ(front(), 2);
    EXPECT_EQ(cells.header(2).left, 70) << "panel 2 keeps its x offset in the front slot";
    EXPECT_EQ(cells.header(2).top, 40);
    EXPECT_EQ(cells.header(1).left, 100) << "panel 1 one slot back keeps its own";
    EXPECT_EQ(cells.header(1).top, 20);
    key(VK_LEFT);
    EXPECT_EQ(front(), 3);
    key(VK_LEFT);
    EXPECT_EQ(front(), 3);
    EXPECT_TRUE(cells.items.empty()) << "nothing changed, nothing rendered";
    key(VK_RIGHT);
    EXPECT_EQ(front(), 2);
    key(VK_BACK);
    EXPECT_EQ(front(), 1);
    EXPECT_EQ(cells.header(1).left, 100);
    EXPECT_EQ(cells.header(3).left, 40);
    key(VK_RIGHT);
    EXPECT_TRUE(cells.items.empty()) << "panel 1 is the lowest number";
}

TEST_F(List3DTest, TwentyPanelsBecomeSixteenAndSixteenFillEverySlot)
{
    List3DRecord r = record(100, 20);
    r.info.panelStep = 10;
    make(r, 400, 400);
    EXPECT_EQ(info().panelCount, 16);
    EXPECT_EQ(info().visibleLines, (400 - 15 * 10 - 20) / 16) << "counted with 16 panels";
    for (int s = 0; s < 16; ++s)
        EXPECT_EQ(info().slots[s].panel, 16 - s);
    EXPECT_EQ(info().slots[15].xOffset, 15 * ((400 - 200 - 40) / 15));
    r.info.panelCount = 16;
    make(r, 400, 400);
    EXPECT_EQ(info().panelCount, 16);
    EXPECT_EQ(info().slots[0].panel, 16);
    EXPECT_EQ(info().slots[15].panel, 1);
    command(LIST_CMD_DEFAULT_PANELS);
    EXPECT_EQ(cells.count(LIST_CODE_DRAW), 14 + 16 * 15);
}

TEST_F(List3DTest, ClickingABackPanelsRowBringsItForwardAndAgainActivates)
{
    make();
    click(50, 20 + 2 * 16 + 5); // line 3 of panel 3, the back one
    EXPECT_EQ(front(), 3);
    EXPECT_EQ(info().current, 3);
    EXPECT_EQ(cells.count(LIST_CODE_ACTIVATE), 0);

    POINT row = front_row(2); // the same line, now in the front panel
    click(row.x, row.y);
    ASSERT_EQ(cells.codes(), std::vector<int32_t>{LIST_CODE_ACTIVATE});
    EXPECT_EQ(cells.items[0].panel, 3);
    EXPECT_EQ(cells.items[0].line, 3);
    EXPECT_EQ(cells.items[0].currentLine, 3);

    cells.activateResult = 1; // asks for a new render
    click(row.x, row.y);
    EXPECT_EQ(cells.codes(), (std::vector<int32_t>{LIST_CODE_ACTIVATE, LIST_CODE_DONE}));

    cells.activateResult = 0;
    row = front_row(5);
    click(row.x, row.y);
    EXPECT_EQ(info().current, 6);
    EXPECT_EQ(cells.codes(), std::vector<int32_t>{LIST_CODE_DONE});
}

TEST_F(List3DTest, AClickOutsideEveryPanelLeavesNoCurrentLineAndDownMakesLineOne)
{
    make();
    command(LIST_CMD_DOWN);
    command(LIST_CMD_DOWN);
    ASSERT_EQ(info().current, 3);
    click(20, 100); // the label column
    EXPECT_EQ(info().current, 0);
    click(20, 100); // again: no line to activate
    EXPECT_EQ(cells.count(LIST_CODE_ACTIVATE), 0);
    key(VK_DOWN);
    EXPECT_EQ(info().current, 1);

    for (int i = 0; i < 20; ++i) // scrolled down, then no current line
        command(LIST_CMD_DOWN);
    ASSERT_EQ(info().firstVisibleLine, 14);
    click(20, 100);
    key(VK_DOWN);
    EXPECT_EQ(info().current, 1);
    EXPECT_EQ(info().firstVisibleLine, 1) << "line 1 is brought into view";
}

TEST_F(List3DTest, RowsAndHeadersAreHitWhereTheirPixelsAre)
{
    make();
    struct Row {
        int x, y;
        int32_t front;   // panel in front after the click
        int32_t current; // current line after
    };
    const Row rows[] = {
        {150, 60, 1, 1},  {150, 75, 1, 1}, {150, 76, 1, 2}, {150, 187, 1, 8},
        {150, 188, 1, 0}, {99, 70, 2, 2},  {299, 70, 1, 1}, // x 99 is panel 2's, not panel 1's
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message() << row.x << ", " << row.y);
        make();
        click(row.x, row.y);
        EXPECT_EQ(front(), row.front);
        EXPECT_EQ(info().current, row.current);
        EXPECT_EQ(ctl_drag_active(&self()->drag), 0);
    }
    make();
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 59)); // the header's last row
    EXPECT_EQ(ctl_drag_active(&self()->drag), 1);
    SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(150, 59));
}

TEST_F(List3DTest, TheFrontPanelIsDraggedSidewaysByItsHeader)
{
    make();
    click(150, 45); // down and up without a move: it stays
    EXPECT_EQ(info().slots[2].xOffset, 60);
    EXPECT_EQ(GetCapture(), nullptr);

    struct Row {
        int toX, toY;
        int32_t offset; // front x offset after
    };
    const Row rows[] = {{120, 45, 30}, {120, 150, 30}, {250, 0, 60}, {-30, 45, 0}};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.toX);
        make();
        SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 45));
        EXPECT_EQ(GetCapture(), list);
        SendMessageA(list, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(row.toX, row.toY));
        cells.items.clear();
        SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(row.toX, row.toY));
        EXPECT_EQ(info().slots[2].xOffset, row.offset);
        EXPECT_EQ(cells.header(1).left, 40 + row.offset);
        EXPECT_EQ(cells.header(1).top, 40) << "it moves sideways only";
        EXPECT_EQ(GetCapture(), nullptr);
    }
    // Dragging a back panel's header brings it forward first.
    make();
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 5));
    SendMessageA(list, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100, 5));
    SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(100, 5));
    EXPECT_EQ(front(), 3);
    EXPECT_EQ(info().slots[2].xOffset, 50);
    key(VK_BACK);
    EXPECT_EQ(info().slots[2].xOffset, 60);
}

TEST_F(List3DTest, ACaptureTakenAwayEndsTheDragWhereTheOutlineIs)
{
    make();
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 45));
    SendMessageA(list, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(130, 45));
    SetCapture(host);
    harness_pump();
    EXPECT_EQ(ctl_drag_active(&self()->drag), 0);
    EXPECT_EQ(info().slots[2].xOffset, 40);
    ReleaseCapture();
}

TEST_F(List3DTest, KeysMoveTheCurrentLineAndEnterActivatesIt)
{
    make(100);
    struct Row {
        UINT vk;
        int32_t current, first;
    };
    const Row rows[] = {
        {VK_DOWN, 2, 1},   {VK_NEXT, 9, 2},   {VK_NEXT, 16, 9}, {VK_UP, 15, 9},
        {VK_PRIOR, 8, 8},  {VK_END, 100, 93}, {VK_DOWN, 100, 93}, {VK_HOME, 1, 1},
        {VK_UP, 1, 1},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.vk);
        key(row.vk);
        EXPECT_EQ(info().current, row.current);
        EXPECT_EQ(info().firstVisibleLine, row.first);
    }
    command(LIST_CMD_LAST);
    EXPECT_EQ(info().current, 100);
    command(LIST_CMD_FIRST);
    EXPECT_EQ(info().current, 1);
    command(LIST_CMD_DOWN);
    command(LIST_CMD_UP);
    EXPECT_EQ(info().current, 1);

    for (UINT vk : {VK_RETURN, VK_SPACE}) {
        key(vk);
        ASSERT_EQ(cells.codes(), std::vector<int32_t>{LIST_CODE_ACTIVATE}) << vk;
        EXPECT_EQ(cells.items[0].panel, 1);
        EXPECT_EQ(cells.items[0].line, 1);
    }
    click(20, 100); // no current line: Enter does nothing, and starts no drag
    key(VK_RETURN);
    EXPECT_TRUE(cells.items.empty());
    EXPECT_EQ(ctl_drag_active(&self()->drag), 0);
}

TEST_F(List3DTest, GoToLineTruncatesAndRefusesWhatIsNoLine)
{
    make(100);
    go_to(7.9f);
    EXPECT_EQ(info().current, 7);
    EXPECT_EQ(info().firstVisibleLine, 1);
    go_to(50.0f);
    EXPECT_EQ(info().current, 50);
    EXPECT_EQ(info().firstVisibleLine, 50);
    go_to(99.0f);
    EXPECT_EQ(info().firstVisibleLine, 93) << "never past the last page";
    go_to(95.0f);
    EXPECT_EQ(info().firstVisibleLine, 93) << "a line in view does not scroll";
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (float bad : {nan, -nan, inf, -inf, -3.5f, 0.0f, 0.99f, 101.0f, 1e30f, 95.5f}) {
        SCOPED_TRACE(bad);
        go_to(bad);
        EXPECT_EQ(info().current, 95);
        EXPECT_TRUE(cells.items.empty());
    }
    go_to(100.99f);
    EXPECT_EQ(info().current, 100);

    make(5); // shorter than a panel's eight rows
    go_to(4.0f);
    EXPECT_EQ(info().current, 4);
    EXPECT_EQ(info().firstVisibleLine, 1);
}

TEST_F(List3DTest, CtrlKeysAndUnknownCommandsGoToTheCallback)
{
    make();
    command(LIST_CMD_DOWN);
    key(VK_LEFT); // panel 2 in front, line 2 current
    struct Row {
        WPARAM character;
        bool ctrl;
        std::vector<int32_t> codes;
    };
    const Row rows[] = {
        {3, true, {LIST_CODE_COPY}}, {24, true, {LIST_CODE_CUT}}, {22, true, {LIST_CODE_PASTE}},
        {1, true, {LIST_CODE_COMMAND}}, {'c', false, {}}, {3, false, {}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.character);
        type(row.character, row.ctrl);
        EXPECT_EQ(cells.codes(), row.codes);
        if (!cells.items.empty()) {
            EXPECT_EQ(cells.items[0].panel, 2);
            EXPECT_EQ(cells.items[0].line, 2);
            EXPECT_EQ(cells.items[0].currentLine, 2);
        }
    }
    const struct {
        WPARAM wParam;
        std::vector<int32_t> codes;
    } commands[] = {{0, {0}}, {1, {}}, {4, {}}, {8, {8}}, {999, {999}}, {1003, {1003}}};
    for (const auto &c : commands) {
        command(c.wParam);
        EXPECT_EQ(cells.codes(), c.codes) << c.wParam;
    }
    g_toolkitActive = 0;
    type(3, true);
    command(77);
    g_toolkitActive = 1;
    EXPECT_TRUE(cells.items.empty()) << "nothing reaches the callback while inactive";
}

TEST_F(List3DTest, TheContextMenuHasItsThreeItemsAndOpensOnARightClick)
{
    make();
    const struct {
        UINT id;
        const char *text;
    } items[] = {{1000, "Default Panel Position\t[BACKSPACE]"},
                 {1001, "First line\t[HOME]"},
                 {1002, "Last line\t[End]"}};
    HMENU menu = self()->menu;
    ASSERT_EQ(GetMenuItemCount(menu), 3);
    for (int i = 0; i < 3; ++i) {
        char text[64] = "";
        GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, items[i].text);
        EXPECT_EQ(GetMenuItemID(menu, i), items[i].id);
        EXPECT_EQ(GetMenuState(menu, i, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED | MF_CHECKED), 0u);
    }
    // A right click on line 4 of the back panel brings both forward first.
    EXPECT_EQ(right_click(50, 20 + 3 * 16 + 5), 1);
    EXPECT_EQ(front(), 3);
    EXPECT_EQ(info().current, 4);
    EXPECT_EQ(cells.count(LIST_CODE_DONE), 1);
    // The menu's items arrive as commands.
    command(1002);
    EXPECT_EQ(info().current, 100);
    command(1001);
    EXPECT_EQ(info().current, 1);
    command(1000);
    EXPECT_EQ(front(), 1);
}

TEST_F(List3DTest, ARightClickDuringAPanelDragShowsNoMenu)
{
    make();
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 45));
    SendMessageA(list, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(140, 45));
    ASSERT_EQ(ctl_drag_active(&self()->drag), 1);
    EXPECT_EQ(right_click(50, 57), 0);
    EXPECT_EQ(front(), 1) << "nor does it bring a panel forward";
    EXPECT_EQ(info().current, 1);
    SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(140, 45));
    EXPECT_EQ(info().slots[2].xOffset, 50);
}

TEST_F(List3DTest, WmPaintCopiesTheBackBufferAndShowsTheFocus)
{
    make();
    EXPECT_EQ(harness_pixel(list, 150, 45), kHeader[1]);
    EXPECT_EQ(harness_pixel(list, 45, 5), kHeader[3]);
    EXPECT_EQ(harness_pixel(list, 80, 30), kHeader[2]) << "panel 3's rows stay behind panel 2";
    EXPECT_EQ(harness_pixel(list, 150, 65), kCurrentRow);
    EXPECT_EQ(harness_pixel(list, 150, 85), kRow);
    EXPECT_EQ(harness_pixel(list, 10, 25), kLabel);
    EXPECT_EQ(harness_pixel(list, 290, 10), kBackground);
    EXPECT_EQ(harness_pixel(list, 10, 195), kBackground);
    EXPECT_EQ(harness_pixel(list, 1, 1), kBackground);
    SetFocus(list);
    EXPECT_EQ(self()->focused, 1);
    EXPECT_EQ(harness_pixel(list, 1, 1), ctl_color(2));
    SetFocus(host);
    EXPECT_EQ(self()->focused, 0);
    EXPECT_EQ(harness_pixel(list, 1, 1), kBackground);
    key(VK_LEFT);
    EXPECT_EQ(harness_pixel(list, 150, 45), kHeader[2]);
}

TEST_F(List3DTest, LinesHoldAtTwoToTheThirtyFirst)
{
    make(INT32_MAX);
    key(VK_END);
    EXPECT_EQ(info().current, INT32_MAX);
    EXPECT_EQ(info().firstVisibleLine, INT32_MAX - 7);
    for (const Cell &c : cells.items)
        EXPECT_LE(c.line, INT32_MAX);
    EXPECT_EQ(cells.count(LIST_CODE_DRAW), 8 + 3 * 9);
    key(VK_PRIOR);
    EXPECT_EQ(info().current, INT32_MAX - 7);
    go_to(2147483520.0f); // the largest float below 2^31
    EXPECT_EQ(info().current, 2147483520);
    EXPECT_EQ(info().firstVisibleLine, 2147483520);
    go_to(2147483648.0f);
    EXPECT_EQ(info().current, 2147483520);
    POINT row = front_row(7);
    click(row.x, row.y);
    EXPECT_EQ(info().current, 2147483527);
    key(VK_HOME);
    EXPECT_EQ(info().current, 1);
    EXPECT_EQ(info().firstVisibleLine, 1);
}

TEST_F(List3DTest, BadRecordsAreRefusedOrMadeSafe)
{
    for (int32_t panels : {0, -1, INT32_MIN}) {
        List3DRecord r = record(100, panels);
        EXPECT_EQ(make(r), nullptr) << panels;
    }
    for (int32_t lineHeight : {0, -16}) {
        List3DRecord r = record();
        r.info.lineHeight = lineHeight;
        EXPECT_EQ(make(r), nullptr) << lineHeight;
    }
    List3DRecord r = record();
    r.callback = nullptr;
    EXPECT_EQ(make(r), nullptr) << "null callback";
    EXPECT_EQ(make(record(), -5, 100), nullptr) << "a negative width";
    EXPECT_EQ(make(record(), 100, -1), nullptr) << "a negative height";
    ASSERT_NE(make(record(), 0, 0), nullptr) << "an empty one is no harm";
    key(VK_DOWN);
    EXPECT_EQ(info().current, 2);
    EXPECT_EQ(CreateWindowExA(0, CTL_CLASS_3DLIST, nullptr, WS_CHILD, 0, 0, 10, 10, host, nullptr,
                              ctl_instance(), nullptr),
              nullptr);

    ASSERT_NE(make(-7), nullptr);
    EXPECT_EQ(info().totalLines, 0);
    for (UINT vk : {VK_DOWN, VK_END, VK_NEXT, VK_UP})
        key(vk);
    go_to(1.0f);
    EXPECT_EQ(info().current, 1);
    EXPECT_EQ(info().firstVisibleLine, 1);
}

TEST_F(List3DTest, PanelsWiderThanTheWindowStayOffTheLabels)
{
    List3DRecord r = record();
    r.info.panelWidth = 400;
    make(r);
    for (int s = 0; s < 3; ++s)
        EXPECT_EQ(info().slots[s].xOffset, 0) << s;
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 45));
    SendMessageA(list, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100, 45));
    SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(100, 45));
    EXPECT_EQ(info().slots[2].xOffset, 0);
    EXPECT_EQ(harness_pixel(list, 10, 25), kLabel);
}

TEST_F(List3DTest, AWindowShorterThanOneRowStillMoves)
{
    make(record(50), 300, 50); // 50 - 40 - 20 < 0: no rows
    EXPECT_EQ(info().visibleLines, 0);
    command(LIST_CMD_DEFAULT_PANELS);
    EXPECT_EQ(cells.count(LIST_CODE_DRAW), 3) << "the three headers";
    key(VK_DOWN);
    EXPECT_EQ(info().current, 2);
    EXPECT_EQ(info().firstVisibleLine, 2);
    key(VK_NEXT);
    EXPECT_EQ(info().current, 3);
    go_to(10.0f);
    EXPECT_EQ(info().firstVisibleLine, 10);
    key(VK_RETURN); // the current line is not in view
    EXPECT_TRUE(cells.items.empty());
}

TEST_F(List3DTest, TabAndEscapeGoToTheParent)
{
    make();
    for (UINT vk : {VK_TAB, VK_ESCAPE}) {
        SendMessageA(list, WM_KEYDOWN, vk, harness_key_lparam(vk, true));
        MSG msg;
        ASSERT_EQ(harness_take_message(host, WM_KEYDOWN, WM_KEYDOWN, &msg), 1);
        EXPECT_EQ(msg.wParam, vk);
    }
}

TEST_F(List3DTest, NothingRendersWhileTheToolkitIsInactive)
{
    make();
    g_toolkitActive = 0;
    click(150, 80);
    key(VK_LEFT);
    g_toolkitActive = 1;
    EXPECT_TRUE(cells.items.empty());
    EXPECT_EQ(info().current, 1) << "the click did nothing";
}

} // namespace
