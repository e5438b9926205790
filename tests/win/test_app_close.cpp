// A close always ends the run: the entry's loop returns whatever loop of the
// system (moving the window by the display or the keypad, the system menu, a
// keyboard move) handled the close and took its quit message. Each case runs
// the entry with a timer playing the user: it starts the loop, closes the
// window from inside it, and gives up after a while (the run then returns 99).
#include "tests/win/app_harness.h"

#include <cstring>

namespace {

// What the timer does and saw.
struct CloseScript {
    const char *what;         // the case
    void (*start)(void);      // enters the loop of the system
    void (*close)(void);      // closes the window from inside it
    DWORD loopFlag;           // GUI_ flag of the loop the close must happen in
    int step;                 // timer ticks so far
    int closedInLoop;         // 1 when the loop was running at the close
    int gaveUp;               // 1 when the watchdog ended the run
};
static CloseScript g_close;
static const int kCloseWatchdog = 60; // ticks of 50 ms

void mouse(DWORD flags, int dx = 0, int dy = 0)
{
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    in.mi.dx = dx;
    in.mi.dy = dy;
    SendInput(1, &in, sizeof in);
}

void key(WORD vk, bool up)
{
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = (WORD)MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof in);
}

// Presses the real left button at a client point of a panel and keeps it down.
void press_on(HWND panel, int x, int y)
{
    POINT p = {x, y};
    ClientToScreen(panel, &p);
    SetForegroundWindow(g_mainWindow);
    SetCursorPos(p.x, p.y);
    mouse(MOUSEEVENTF_LEFTDOWN);
}

void drag_by_display(void) { press_on((HWND)g_calc.displayPanel, 100, 60); }
void drag_by_keypad(void) { press_on((HWND)g_calc.keypadPanel, 5, 5); }
void open_system_menu(void) { PostMessageA(g_mainWindow, WM_SYSCOMMAND, SC_KEYMENU, ' '); }
void keyboard_move(void) { PostMessageA(g_mainWindow, WM_SYSCOMMAND, SC_MOVE, 0); }

void post_close(void) { PostMessageA(g_mainWindow, WM_CLOSE, 0, 0); }
void alt_f4(void)
{
    mouse(MOUSEEVENTF_MOVE, 15, 10); // still dragging
    key(VK_MENU, false);
    key(VK_F4, false);
    key(VK_F4, true);
    key(VK_MENU, true);
}

DWORD gui_flags(void)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetCurrentThreadId(), &info);
    return info.flags;
}

// Tick 1 starts the loop; tick 3 closes from inside it; the button goes up
// a few ticks later, as the user lets go.
void CALLBACK close_timer(HWND, UINT, UINT_PTR id, DWORD)
{
    g_close.step++;
    if (g_close.step > kCloseWatchdog) {
        g_close.gaveUp = 1;
        KillTimer(nullptr, id);
        mouse(MOUSEEVENTF_LEFTUP);
        PostQuitMessage(99);
        return;
    }
    if (!g_mainWindow || !IsWindowVisible(g_mainWindow))
        return;
    if (g_close.step == 1) {
        g_close.start();
    } else if (g_close.step == 3) {
        g_close.closedInLoop = (gui_flags() & g_close.loopFlag) != 0;
        g_close.close();
    } else if (g_close.step == 6) {
        mouse(MOUSEEVENTF_LEFTUP);
    }
}

struct CloseRow {
    const char *what;
    void (*start)(void);
    void (*close)(void);
    DWORD loopFlag;
};

TEST(AppClose, ACloseInsideALoopOfTheSystemEndsTheRun)
{
    static const CloseRow rows[] = {
        {"WM_CLOSE while dragging by the display", drag_by_display, post_close, GUI_INMOVESIZE},
        {"WM_CLOSE while dragging by the keypad", drag_by_keypad, post_close, GUI_INMOVESIZE},
        {"Alt+F4 while dragging by the display", drag_by_display, alt_f4, GUI_INMOVESIZE},
        {"WM_CLOSE with the system menu open", open_system_menu, post_close, GUI_INMENUMODE},
        {"WM_CLOSE during a keyboard move", keyboard_move, post_close, GUI_INMOVESIZE},
    };
    for (const CloseRow &r : rows) {
        harness_delete_key(APP_TEST_KEY);
        g_close = {r.what, r.start, r.close, r.loopFlag, 0, 0, 0};
        g_mainWindow = nullptr;
        UINT_PTR timer = SetTimer(nullptr, 0, 50, close_timer);
        int code = app_run(harness_instance());
        KillTimer(nullptr, timer);
        mouse(MOUSEEVENTF_LEFTUP);
        EXPECT_EQ(code, 0) << r.what;
        EXPECT_EQ(g_close.gaveUp, 0) << r.what << ": the run never ended";
        EXPECT_EQ(g_close.closedInLoop, 1) << r.what << ": the loop was not running at the close";
        EXPECT_TRUE(harness_key_exists(APP_TEST_KEY)) << r.what << ": settings written";
        // Nothing of the run is left in the queue: no quit message for the next one.
        MSG msg;
        EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << r.what;
        if (g_mainWindow && IsWindow(g_mainWindow))
            DestroyWindow(g_mainWindow);
        g_mainWindow = nullptr;
        UnregisterClassA(APP_MAIN_CLASS, harness_instance());
        harness_pump();
    }
    harness_delete_key(APP_TEST_KEY);
}

} // namespace
