// The main window's life: its face and children, the close that shuts the
// toolkit down once and writes the settings, and the entry's whole run with
// its two "Sorry" boxes.
#include "tests/win/app_harness.h"

#include <cstring>

#include "toolkit/qk2ctl.h"

namespace {

using AppLifecycle = AppTest;

std::string class_of(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

RECT child_rect(HWND parent, HWND child)
{
    RECT r = {};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, (POINT *)&r, 2);
    return r;
}

TEST_F(AppLifecycle, FaceAndChildren)
{
    EXPECT_EQ(class_of(main), APP_MAIN_CLASS);
    char title[32] = "";
    GetWindowTextA(main, title, sizeof title);
    EXPECT_STREQ(title, "Keldoran");
    LONG style = GetWindowLongA(main, GWL_STYLE);
    EXPECT_EQ(style & (WS_DLGFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE),
              WS_DLGFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE);
    EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
    // The outer size holds exactly the 200 x 297 face.
    RECT client;
    GetClientRect(main, &client);
    EXPECT_EQ(client.right, APP_CLIENT_W);
    EXPECT_EQ(client.bottom, APP_CLIENT_H);

    struct Row { HWND child; const char *cls; int id; RECT at; };
    const Row rows[] = {
        {display, CTL_CLASS_FREE, 0, {0, 0, 200, 119}},
        {result, "Static", APP_RESULT_ID, {0, 119, 200, 140}},
        {keypad, CTL_CLASS_FREE, 0, {0, 140, 200, 298}},
    };
    for (const Row &r : rows) {
        ASSERT_TRUE(IsWindow(r.child)) << r.cls;
        EXPECT_EQ(GetParent(r.child), main);
        EXPECT_EQ(class_of(r.child), r.cls);
        EXPECT_EQ(GetDlgCtrlID(r.child), r.id) << r.cls;
        RECT at = child_rect(main, r.child);
        EXPECT_TRUE(EqualRect(&at, &r.at)) << r.cls << " at " << at.left << ", " << at.top
                                           << ", " << at.right << ", " << at.bottom;
    }
    EXPECT_EQ(GetWindow(display, GW_HWNDNEXT), result); // creation order
    EXPECT_EQ(GetWindow(result, GW_HWNDNEXT), keypad);
    EXPECT_TRUE(GetWindowLongA(result, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(GetWindowLongA(result, GWL_STYLE) & SS_TYPEMASK, SS_RIGHT);
    EXPECT_EQ((HFONT)SendMessageA(result, WM_GETFONT, 0, 0), ctl_font(7));
    EXPECT_EQ(app_result_text(), "");
    EXPECT_EQ(g_calc.mainWindow, main);
    EXPECT_EQ(g_calc.pressedKey, -1);
    EXPECT_TRUE(g_keypadPicture && g_displayPicture && g_aboutPicture);
}

// Pumps until the queue is empty; returns how many WM_QUIT came by.
int pump_counting_quits(void)
{
    int quits = 0;
    MSG msg;
    for (int guard = 0; guard < 10000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); guard++) {
        if (msg.message == WM_QUIT) {
            quits++;
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return quits;
}

struct SettingRow { const char *name; DWORD size; };
static const SettingRow kSettings[] = {
    {"Rot_Mode", 4}, {"S_capture", 4}, {"S_settopos", 4}, {"A_imode", 4}, {"Dial_tCtx", 44},
};

TEST_F(AppLifecycle, CloseShutsTheToolkitDownAndWritesTheSettings)
{
    ASSERT_FALSE(harness_key_exists(APP_TEST_KEY));
    ASSERT_EQ(g_toolkitActive, 1);
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(pump_counting_quits(), 1);
    EXPECT_FALSE(IsWindow(display));
    EXPECT_FALSE(IsWindow(keypad));
    EXPECT_FALSE(IsWindow(result));
    EXPECT_EQ(g_toolkitActive, 0);
    for (const SettingRow &s : kSettings) {
        DWORD type = 0;
        std::vector<uint8_t> data;
        ASSERT_TRUE(harness_reg_get(APP_TEST_KEY, s.name, &type, &data)) << s.name;
        EXPECT_EQ(type, (DWORD)REG_BINARY) << s.name;
        EXPECT_EQ(data.size(), s.size) << s.name;
    }
}

// Key codes and keys that arrive after the close (still queued, or typed
// before the quit message is taken) find the face gone. They must not reach
// InvalidateRect with the display's cleared handle: a null window there
// means every window on the screen.
TEST_F(AppLifecycle, LateCodesAfterTheCloseRepaintNoWindow)
{
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(pump_counting_quits(), 1);
    ASSERT_FALSE(IsWindow(display));
    HWND bystander = harness_create_host(60, 40, RGB(0, 0, 255), 500, 500);
    ASSERT_NE(bystander, nullptr);
    UpdateWindow(bystander);
    UpdateWindow(main);
    harness_pump();
    ASSERT_FALSE(GetUpdateRect(bystander, nullptr, FALSE));
    struct Row { UINT message; WPARAM wParam; LPARAM lParam; };
    const Row rows[] = {
        {WM_COMMAND, 0, 5},
        {WM_COMMAND, 0, CALC_KEY_ENTER},
        {WM_KEYDOWN, '7', harness_key_lparam('7', true)},
    };
    for (const Row &r : rows) {
        SendMessageA(main, r.message, r.wParam, r.lParam);
        EXPECT_FALSE(GetUpdateRect(bystander, nullptr, FALSE)) << "message 0x" << std::hex
                                                               << r.message;
        EXPECT_FALSE(GetUpdateRect(main, nullptr, FALSE)) << "message 0x" << std::hex
                                                          << r.message;
        harness_pump(); // the code the key posted
        EXPECT_FALSE(GetUpdateRect(bystander, nullptr, FALSE)) << "after the posted code";
    }
    // A late about request opens nothing either: the program is ending.
    SendMessageA(main, WM_COMMAND, 0, APP_CODE_ABOUT);
    EXPECT_EQ(app_find_about_box(), nullptr);
    DestroyWindow(bystander);
}

// Two closes in a row (the second before the first is handled) shut the
// toolkit down once: another holder of the toolkit keeps it running.
TEST_F(AppLifecycle, SecondCloseDoesNotShutTheToolkitDownAgain)
{
    ASSERT_EQ(ctl_init(harness_instance(), "Keldoran"), 1); // a second holder
    PostMessageA(main, WM_CLOSE, 0, 0);
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(pump_counting_quits(), 1);
    EXPECT_EQ(g_toolkitActive, 1);
    SendMessageA(main, WM_DESTROY, 0, 0);
    EXPECT_EQ(g_toolkitActive, 1);
    ctl_shutdown();
    EXPECT_EQ(g_toolkitActive, 0);
    EXPECT_TRUE(harness_key_exists(APP_TEST_KEY));
}

// ---------------------------------------------------------------------------
// The entry, run inside the test with a timer playing the user
// ---------------------------------------------------------------------------

// What the timer saw and did.
struct EntryScript {
    int step;                 // timer ticks so far
    std::string resultText;   // result line after the keys
    std::string boxTitle;     // title of a message box found
    std::string boxText;      // its text
    int gaveUp;               // 1 when the watchdog ended the run
};
static EntryScript g_script;
static const int kWatchdogTicks = 200; // 50 ms each

static BOOL CALLBACK collect_static_text(HWND child, LPARAM)
{
    char text[128] = "";
    if (class_of(child) == "Static" && GetWindowTextA(child, text, sizeof text) > 0)
        g_script.boxText += text;
    return TRUE;
}

static BOOL CALLBACK find_message_box(HWND window, LPARAM found)
{
    if (class_of(window) == "#32770" && IsWindowVisible(window)) {
        *(HWND *)found = window;
        return FALSE;
    }
    return TRUE;
}

// Reads and dismisses a message box, or, once the calculator is up, types a
// calculation and closes it.
static void CALLBACK entry_timer(HWND, UINT, UINT_PTR id, DWORD)
{
    g_script.step++;
    if (g_script.step > kWatchdogTicks) {
        g_script.gaveUp = 1;
        KillTimer(nullptr, id);
        PostQuitMessage(99);
        return;
    }
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), find_message_box, (LPARAM)&box);
    if (box) {
        char title[64] = "";
        GetWindowTextA(box, title, sizeof title);
        g_script.boxTitle = title;
        EnumChildWindows(box, collect_static_text, 0);
        KillTimer(nullptr, id);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return;
    }
    if (g_mainWindow && IsWindowVisible(g_mainWindow) && g_script.resultText.empty()) {
        for (int code : app_codes("2 + 3 x 4 Enter"))
            PostMessageA(g_mainWindow, WM_COMMAND, 0, code);
        g_script.resultText = "(typing)";
        return;
    }
    if (g_script.resultText == "(typing)") {
        g_script.resultText = app_result_text();
        KillTimer(nullptr, id);
        PostMessageA(g_mainWindow, WM_CLOSE, 0, 0);
    }
}

// Runs the entry with the timer; returns its exit code.
int run_entry(void)
{
    g_script = {};
    g_mainWindow = nullptr;
    SetTimer(nullptr, 0, 50, entry_timer);
    return app_run(harness_instance());
}

void cleanup_entry(void)
{
    if (g_mainWindow && IsWindow(g_mainWindow))
        DestroyWindow(g_mainWindow);
    g_mainWindow = nullptr;
    UnregisterClassA(APP_MAIN_CLASS, harness_instance());
    harness_pump();
    harness_delete_key(APP_TEST_KEY);
}

TEST(AppEntry, RunsUntilClosedAndReturnsZero)
{
    harness_delete_key(APP_TEST_KEY);
    EXPECT_EQ(run_entry(), 0);
    EXPECT_EQ(g_script.gaveUp, 0);
    EXPECT_EQ(g_script.resultText, "14");
    EXPECT_EQ(g_script.boxTitle, "");
    EXPECT_EQ(g_toolkitActive, 0);
    EXPECT_TRUE(harness_key_exists(APP_TEST_KEY)); // the settings were written
    EXPECT_EQ(g_lcdBrush, nullptr);                // the entry deleted its objects
    EXPECT_EQ(g_keypadPicture, nullptr);
    cleanup_entry();
}

TEST(AppEntry, ClassRegistrationFailureShowsSorry)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = harness_instance();
    wc.lpszClassName = APP_MAIN_CLASS;
    ASSERT_NE(RegisterClassA(&wc), 0);
    EXPECT_EQ(run_entry(), 0);
    EXPECT_EQ(g_script.gaveUp, 0);
    EXPECT_EQ(g_script.boxTitle, "Sorry");
    EXPECT_EQ(g_script.boxText, "Failed to register main class...");
    EXPECT_EQ(g_mainWindow, nullptr);
    cleanup_entry();
}

// The toolkit cannot register its Free panel class (the name is taken), so
// ctl_init fails inside WM_CREATE and the window is not created. The box
// stays up until dismissed: the refused window's destruction posts no quit.
TEST(AppEntry, ToolkitFailureShowsSorryAndEndsWithZero)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = harness_instance();
    wc.lpszClassName = CTL_CLASS_FREE;
    ASSERT_NE(RegisterClassA(&wc), 0);
    EXPECT_EQ(run_entry(), 0);
    EXPECT_EQ(g_script.gaveUp, 0);
    EXPECT_EQ(g_script.boxTitle, "Sorry");
    EXPECT_EQ(g_script.boxText, "Failed to create window...");
    EXPECT_EQ(g_mainWindow, nullptr);
    EXPECT_EQ(g_toolkitActive, 0);
    UnregisterClassA(CTL_CLASS_FREE, harness_instance());
    cleanup_entry();
    // The toolkit starts normally afterwards.
    HWND main = app_test_start();
    EXPECT_NE(main, nullptr);
    app_test_stop();
}

} // namespace
