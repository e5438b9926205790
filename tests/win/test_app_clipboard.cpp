// Copy, paste and the system menu: Ctrl+C, Ctrl+Insert and Ctrl+Shift+C put
// the result line or the tape on the real clipboard, Ctrl+V and Shift+Insert
// type the clipboard's text or refuse it whole with one beep, and the items
// the system menu gains.
#include "tests/win/app_harness.h"

#include <cstring>
#include <string>
#include <vector>

#include "toolkit/qk2ctl.h"

namespace {

using AppClipboard = AppTest;

// ---------------------------------------------------------------------------
// The real clipboard
// ---------------------------------------------------------------------------

// Replaces the clipboard with one block of the given format holding bytes.
void clipboard_put(UINT format, const void *bytes, size_t size)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    if (size > 0) {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
        ASSERT_NE(block, nullptr);
        memcpy(GlobalLock(block), bytes, size);
        GlobalUnlock(block);
        SetClipboardData(format, block);
    }
    CloseClipboard();
}

// UTF-16 text with its terminating zero.
void clipboard_put_unicode(const std::wstring &text)
{
    clipboard_put(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

void clipboard_put_ansi(const std::string &text)
{
    clipboard_put(CF_TEXT, text.c_str(), text.size() + 1);
}

// The clipboard's CF_TEXT, or "(none)".
std::string clipboard_text(void)
{
    std::string text = "(none)";
    if (!OpenClipboard(nullptr))
        return "(not opened)";
    if (HANDLE h = GetClipboardData(CF_TEXT)) {
        text = (const char *)GlobalLock(h);
        GlobalUnlock(h);
    }
    CloseClipboard();
    return text;
}

// Presses keys through the system's input path: each entry is a virtual key,
// pressed when positive and released when negative.
void send_keys(std::initializer_list<int> keys)
{
    std::vector<INPUT> in;
    for (int k : keys) {
        INPUT i = {};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = (WORD)(k < 0 ? -k : k);
        i.ki.wScan = (WORD)MapVirtualKeyA(i.ki.wVk, MAPVK_VK_TO_VSC);
        i.ki.dwFlags = k < 0 ? KEYEVENTF_KEYUP : 0;
        if (i.ki.wVk == VK_INSERT || i.ki.wVk == VK_DELETE)
            i.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
        in.push_back(i);
    }
    SendInput((UINT)in.size(), in.data(), sizeof(INPUT));
    harness_pump_for(80);
}

// Copy and paste from a second thread, while this one holds the clipboard
// open as another program would.
DWORD WINAPI copy_thread(void *) { return (DWORD)app_copy_result(); }
DWORD WINAPI paste_thread(void *) { return (DWORD)app_paste(); }

// Runs a thread to its end; returns its exit code (9 when it did not end).
DWORD run_on_other_thread(LPTHREAD_START_ROUTINE routine)
{
    HANDLE thread = CreateThread(nullptr, 0, routine, nullptr, 0, nullptr);
    DWORD code = 9;
    if (thread && WaitForSingleObject(thread, 5000) == WAIT_OBJECT_0)
        GetExitCodeThread(thread, &code);
    if (thread)
        CloseHandle(thread);
    return code;
}

// The calculator in front with the keypad focused, so real keys reach it.
void focus_keypad(HWND main, HWND keypad)
{
    SetForegroundWindow(main);
    SetFocus(keypad);
    harness_pump();
}

// ---------------------------------------------------------------------------
// Copy
// ---------------------------------------------------------------------------

TEST_F(AppClipboard, CopyShortcutsPutTheResultLineOrTheTapeOnTheClipboard)
{
    focus_keypad(main, keypad);
    struct Row {
        const char *keys;                 // typed first
        std::initializer_list<int> press; // the shortcut
        const char *copied;               // CF_TEXT afterwards
    };
    const Row rows[] = {
        {"1 H 3 0 mn + 4 5 S Enter", {VK_CONTROL, 'C', -'C', -VK_CONTROL}, "1h30m45.000s"},
        {"AC 2 + 3 x 4 Enter", {VK_CONTROL, VK_INSERT, -VK_INSERT, -VK_CONTROL}, "14"},
        {"AC 8 / 0 Enter", {VK_CONTROL, 'C', -'C', -VK_CONTROL}, "Divid by zero"},
        {"AC 2 + 3 x 4 Enter", {VK_CONTROL, VK_SHIFT, 'C', -'C', -VK_SHIFT, -VK_CONTROL},
         "2\r\n+ 3\r\nx 4\r\n----\r\n= 14\r\n14"},
    };
    for (const Row &r : rows) {
        app_type(r.keys);
        static CalcState before;
        before = g_calc;
        clipboard_put_ansi("old");
        send_keys(r.press);
        EXPECT_EQ(clipboard_text(), r.copied) << r.keys;
        // Copying never changes the engine's state.
        EXPECT_EQ(memcmp(&before, &g_calc, sizeof before), 0) << r.keys;
    }
    EXPECT_EQ(app_recorded_codes().size(), app_codes("1 H 3 0 mn + 4 5 S Enter AC 2 + 3 x 4 Enter"
                                                     " AC 8 / 0 Enter AC 2 + 3 x 4 Enter")
                                               .size())
        << "the shortcuts typed no key";
}

// With nothing to copy, or the clipboard held open by another program, the
// clipboard keeps what it had.
TEST_F(AppClipboard, NothingToCopyOrAHeldClipboardLeavesItAlone)
{
    clipboard_put_ansi("kept");
    EXPECT_EQ(app_copy_result(), 0);
    EXPECT_EQ(app_copy_tape(), 0);
    EXPECT_EQ(clipboard_text(), "kept");
    app_type("7");
    ASSERT_TRUE(OpenClipboard(nullptr)); // held by this thread's "other program"
    DWORD copied = run_on_other_thread(copy_thread);
    CloseClipboard();
    EXPECT_EQ(copied, 0u);
    EXPECT_EQ(clipboard_text(), "kept");
}

// ---------------------------------------------------------------------------
// Paste
// ---------------------------------------------------------------------------

TEST_F(AppClipboard, PasteShortcutsTypeTheClipboardsText)
{
    focus_keypad(main, keypad);
    struct Row {
        std::wstring text;                // on the clipboard
        std::initializer_list<int> press; // the shortcut
        const char *result;               // result line afterwards
    };
    const Row rows[] = {
        {L"1:30:15.5 + 45s =", {VK_CONTROL, 'V', -'V', -VK_CONTROL}, "1h31m0.500s"},
        {L"2 \u00D7 3 \u2212 1 \u00F7 4 =\r\n", {VK_SHIFT, VK_INSERT, -VK_INSERT, -VK_SHIFT},
         "5.75"},
        {L"1 000,5", {VK_CONTROL, 'V', -'V', -VK_CONTROL}, "1000.5"},
    };
    for (const Row &r : rows) {
        app_type("AC");
        clipboard_put_unicode(r.text);
        int refused = g_refusedPastes;
        send_keys(r.press);
        EXPECT_EQ(app_result_text(), r.result);
        EXPECT_EQ(g_refusedPastes, refused);
    }
}

// Copy then paste: a result goes back in as it reads.
TEST_F(AppClipboard, CopiedResultsPasteBackAsTheyRead)
{
    for (const char *keys : {"1 H 3 0 mn + 4 5 S Enter", "1 0 / 4 Enter", "9 0 mn"}) {
        app_type("AC");
        app_type(keys);
        std::string shown = app_result_text();
        ASSERT_EQ(app_copy_result(), 1);
        app_type("AC");
        EXPECT_EQ(app_paste(), APP_PASTE_TYPED) << keys;
        EXPECT_EQ(app_result_text(), shown) << keys;
    }
}

// Only CF_TEXT on the clipboard: read in the ANSI code page.
TEST_F(AppClipboard, PasteReadsPlainTextWhenThatIsAllThereIs)
{
    clipboard_put_ansi("12,5s");
    EXPECT_EQ(app_paste(), APP_PASTE_TYPED);
    EXPECT_EQ(app_result_text(), "0h0m12.500s");
    clipboard_put_ansi("6 \xD7 7 ="); // × in the ANSI code page
    app_type("AC");
    EXPECT_EQ(app_paste(), APP_PASTE_TYPED);
    EXPECT_EQ(app_result_text(), "42");
}

// Bad clipboards: nothing happens, nothing is typed, no beep.
TEST_F(AppClipboard, NoTextOrAHeldClipboardDoesNothing)
{
    app_type("4 2");
    int refused = g_refusedPastes;
    clipboard_put(CF_TEXT, nullptr, 0); // empty
    EXPECT_EQ(app_paste(), APP_PASTE_NOTHING);
    HDC screen = GetDC(nullptr);
    HBITMAP picture = CreateCompatibleBitmap(screen, 4, 4);
    ReleaseDC(nullptr, screen);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(CF_BITMAP, picture); // a picture, no text
    CloseClipboard();
    EXPECT_EQ(app_paste(), APP_PASTE_NOTHING);

    clipboard_put_unicode(L"7");
    ASSERT_TRUE(OpenClipboard(nullptr)); // held open by "another program"
    DWORD outcome = run_on_other_thread(paste_thread);
    CloseClipboard();
    EXPECT_EQ(outcome, (DWORD)APP_PASTE_NOTHING);
    EXPECT_EQ(g_calc.text, std::string("42"));
    harness_pump();
    EXPECT_EQ(app_result_text(), "42");
    EXPECT_EQ(g_refusedPastes, refused);
}

// Texts that are no form, or too long, or hold a foreign character: refused
// whole with one beep; the result line keeps its text.
TEST_F(AppClipboard, BadTextsAreRefusedWithOneBeep)
{
    app_type("4 2");
    std::wstring tenMegabytes(5 * 1024 * 1024, L'1');
    const std::vector<std::wstring> texts = {
        L"-2.5", L"abc", L"1h60m", L"2 +", std::wstring(400, L'9'), tenMegabytes,
        L"1\u00A0000", L"\u4E00", L"5\u20AC", L"1\t\u0007",
    };
    for (const std::wstring &t : texts) {
        clipboard_put(CF_UNICODETEXT, t.c_str(), (t.size() + 1) * sizeof(wchar_t));
        int refused = g_refusedPastes;
        EXPECT_EQ(app_paste(), APP_PASTE_REFUSED) << t.size() << " characters";
        EXPECT_EQ(g_refusedPastes, refused + 1);
        EXPECT_EQ(app_result_text(), "42");
    }
    // Clipboard text ends at its first zero, whatever the block holds after
    // it (as every program reads it).
    const wchar_t block[] = {L'5', 0, L'x', L'-', 0, 0};
    clipboard_put(CF_UNICODETEXT, block, sizeof block);
    EXPECT_EQ(app_paste(), APP_PASTE_TYPED);
    EXPECT_EQ(app_result_text(), "425");
}

// While an error is shown only AC is taken: a paste is refused.
TEST_F(AppClipboard, PasteIsRefusedWhileAnErrorIsShown)
{
    app_type("9 9 9 9 9 9 9 9 9 9 9 9 x 9 9 Enter");
    ASSERT_EQ(app_result_text(), "Overflow");
    clipboard_put_unicode(L"5");
    int refused = g_refusedPastes;
    EXPECT_EQ(app_paste(), APP_PASTE_REFUSED);
    EXPECT_EQ(g_refusedPastes, refused + 1);
    EXPECT_EQ(app_result_text(), "Overflow");
}

// A paste shows the display's new tape at once, like typed keys.
TEST_F(AppClipboard, PasteRepaintsTheDisplay)
{
    clipboard_put_unicode(L"2*3 + 4 =");
    CaptureImage before = {}, after = {}, typed = {};
    ASSERT_TRUE(app_window_image(display, &before));
    ASSERT_EQ(app_paste(), APP_PASTE_TYPED);
    ASSERT_TRUE(app_window_image(display, &after));
    EXPECT_GT(app_count_differences(&before, &after, 0, 0, 200, 119), 0);
    app_type("AC 2 x 3 + 4 Enter");
    ASSERT_TRUE(app_window_image(display, &typed));
    EXPECT_EQ(app_count_differences(&after, &typed, 0, 0, 200, 119), 0);
}

// ---------------------------------------------------------------------------
// The system menu
// ---------------------------------------------------------------------------

std::wstring menu_text(HMENU menu, UINT command)
{
    wchar_t text[64] = L"";
    GetMenuStringW(menu, command, text, 64, MF_BYCOMMAND);
    return text;
}

TEST_F(AppClipboard, SystemMenuGainsItsItemsUnderASeparator)
{
    HMENU menu = GetSystemMenu(main, FALSE);
    ASSERT_NE(menu, nullptr);
    int count = GetMenuItemCount(menu);
    ASSERT_GE(count, 5);
    EXPECT_EQ(GetMenuState(menu, count - 5, MF_BYPOSITION) & MF_SEPARATOR, (UINT)MF_SEPARATOR);
    struct Row { UINT command; const wchar_t *text; };
    static const Row rows[] = {
        {APP_CMD_COPY, L"Copy\tCtrl+C"},
        {APP_CMD_PASTE, L"Paste\tCtrl+V"},
        {APP_CMD_ON_TOP, L"Always on top"},
        {APP_CMD_ABOUT, L"About Keldoran\u2026"},
    };
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(GetMenuItemID(menu, count - 4 + i), rows[i].command);
        EXPECT_EQ(menu_text(menu, rows[i].command), rows[i].text);
    }
}

// Before it opens, the menu greys Copy without a result and Paste without
// text on the clipboard, and checks Always on top while it is on.
TEST_F(AppClipboard, SystemMenuStatesFollowTheCalculator)
{
    HMENU menu = GetSystemMenu(main, FALSE);
    auto state = [&](UINT command) {
        SendMessageA(main, WM_INITMENUPOPUP, (WPARAM)menu, MAKELPARAM(0, TRUE));
        return GetMenuState(menu, command, MF_BYCOMMAND);
    };
    clipboard_put(CF_TEXT, nullptr, 0);
    EXPECT_TRUE(state(APP_CMD_COPY) & MF_GRAYED);
    EXPECT_TRUE(state(APP_CMD_PASTE) & MF_GRAYED);
    EXPECT_FALSE(state(APP_CMD_ON_TOP) & MF_CHECKED);
    app_type("5");
    clipboard_put_unicode(L"1");
    SendMessageA(main, WM_SYSCOMMAND, APP_CMD_ON_TOP, 0);
    EXPECT_FALSE(state(APP_CMD_COPY) & MF_GRAYED);
    EXPECT_FALSE(state(APP_CMD_PASTE) & MF_GRAYED);
    EXPECT_TRUE(state(APP_CMD_ON_TOP) & MF_CHECKED);
    SendMessageA(main, WM_SYSCOMMAND, APP_CMD_ON_TOP, 0);
    EXPECT_FALSE(state(APP_CMD_ON_TOP) & MF_CHECKED);
}

TEST_F(AppClipboard, SystemMenuCommandsCopyPasteAndKeepOnTop)
{
    app_type("1 2 + 3 Enter");
    clipboard_put_ansi("old");
    SendMessageA(main, WM_SYSCOMMAND, APP_CMD_COPY, 0);
    EXPECT_EQ(clipboard_text(), "15");
    clipboard_put_unicode(L"4:05");
    SendMessageA(main, WM_SYSCOMMAND, APP_CMD_PASTE, 0);
    EXPECT_EQ(app_result_text(), "0h4m5s");

    EXPECT_FALSE(GetWindowLongA(main, GWL_EXSTYLE) & WS_EX_TOPMOST);
    SendMessageA(main, WM_SYSCOMMAND, APP_CMD_ON_TOP, 0);
    EXPECT_TRUE(GetWindowLongA(main, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(GetMenuState(GetSystemMenu(main, FALSE), APP_CMD_ON_TOP, MF_BYCOMMAND) &
                MF_CHECKED);
    SendMessageA(main, WM_SYSCOMMAND, APP_CMD_ON_TOP, 0);
    EXPECT_FALSE(GetWindowLongA(main, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(GetMenuState(GetSystemMenu(main, FALSE), APP_CMD_ON_TOP, MF_BYCOMMAND) &
                 MF_CHECKED);
    // Not a setting: nothing is stored for it.
    PostMessageA(main, WM_CLOSE, 0, 0);
    harness_pump();
    DWORD type = 0;
    std::vector<uint8_t> data;
    EXPECT_FALSE(harness_reg_get(APP_TEST_KEY, "On_top", &type, &data));
}

// "About Keldoran…" opens the box centred on the window; a click closes it
// as ever.
TEST_F(AppClipboard, SystemMenuAboutOpensTheBoxAtTheWindowsCentre)
{
    SetWindowPos(main, nullptr, 400, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    harness_pump();
    SendMessageA(main, WM_SYSCOMMAND, APP_CMD_ABOUT, 0);
    harness_pump();
    HWND box = app_find_about_box();
    ASSERT_NE(box, nullptr);
    RECT w, b;
    GetWindowRect(main, &w);
    GetWindowRect(box, &b);
    EXPECT_NEAR((b.left + b.right) / 2, (w.left + w.right) / 2, 1);
    EXPECT_NEAR((b.top + b.bottom) / 2, (w.top + w.bottom) / 2, 1);
    EXPECT_EQ(GetCapture(), box);
    SendMessageA(box, WM_LBUTTONDOWN, 0, 0);
    harness_pump();
    EXPECT_FALSE(IsWindow(box));
    EXPECT_EQ(app_recorded_codes(), std::vector<int>{APP_CODE_ABOUT});
}

} // namespace
