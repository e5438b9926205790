// The entry and the main window `w_principale`: the fixed-size calculator
// face with the display panel on top, the result line in the middle and the
// keypad panel below. Every user action reaches this window as a key code
// (WM_COMMAND, wParam 0, lParam 0..21); codes 0..20 go to the engine, 21
// opens the about box.
//
// A close always ends the program: the close may be handled inside a loop of
// the system (moving the window, its menu) that takes the quit message for
// itself, so the entry's loop also ends on the closed flag.
//
// Contents: process-wide values; start-up helpers; the system menu; message
// handlers; the window procedure; the entry.
#include "app/app.h"

#include <cstdio>
#include <cstring>

#include "toolkit/qk2ctl.h"

// ---------------------------------------------------------------------------
// Process-wide values (all used by the window thread only)
// ---------------------------------------------------------------------------

HINSTANCE g_instance;
HWND g_mainWindow;
HBITMAP g_keypadPicture;
HBITMAP g_displayPicture;
HBITMAP g_aboutPicture;
HBRUSH g_lcdBrush;
POINT g_aboutAnchor;
CalcState g_calc;

// 1 from a successful start in WM_CREATE until WM_DESTROY has shut the
// toolkit down. WM_DESTROY can arrive more than once (posted by every
// WM_CLOSE, sent when the window really goes) and also after WM_CREATE
// refused the window; only the first one after a successful start shuts the
// toolkit down and posts the quit message. After a refused creation the
// entry is about to show its "Sorry" box, which a pending quit message
// would close at once.
static int g_mainRunning;

// 1 once WM_DESTROY has taken the face down: the entry's message loop ends
// on it, whichever loop handled the close.
static int g_mainClosed;

// The text the result line shows, so that an unchanged text is not set (and
// the line not repainted) again.
static char g_resultShown[CALC_TEXT_SIZE];

static const char MSG_REGISTER_FAILED[] = "Failed to register main class...";
static const char MSG_CREATE_FAILED[] = "Failed to create window...";
static const char MSG_TITLE[] = "Sorry";

static const DWORD MAIN_STYLE = WS_VISIBLE | WS_DLGFRAME | WS_SYSMENU | WS_MINIMIZEBOX;

// ---------------------------------------------------------------------------
// Start-up helpers
// ---------------------------------------------------------------------------

void app_delete_resources(void)
{
    ctl_delete_object(g_displayPicture);
    ctl_delete_object(g_keypadPicture);
    ctl_delete_object(g_aboutPicture);
    ctl_delete_object(g_lcdBrush);
}

void app_create_lcd_brush(void)
{
    LOGBRUSH brush = {BS_SOLID, APP_LCD_COLOUR, 0};
    ctl_delete_object(g_lcdBrush);
    g_lcdBrush = CreateBrushIndirect(&brush);
}

// Loads the three pictures; a picture that fails to load stays null and is
// simply not drawn.
static void load_pictures(HINSTANCE instance)
{
    ctl_delete_object(g_keypadPicture);
    ctl_delete_object(g_displayPicture);
    ctl_delete_object(g_aboutPicture);
    g_keypadPicture = LoadBitmapA(instance, MAKEINTRESOURCEA(APP_BMP_KEYPAD));
    g_displayPicture = LoadBitmapA(instance, MAKEINTRESOURCEA(APP_BMP_DISPLAY));
    g_aboutPicture = LoadBitmapA(instance, MAKEINTRESOURCEA(APP_BMP_ABOUT));
}

// Creates the display panel, the result line and the keypad panel, records
// them in the state and gives the keypad the focus.
static void create_children(CalcState *s, HWND window)
{
    s->mainWindow = window;
    s->displayPanel = ctl_create_free_panel(window, 0, 0, 0, APP_CLIENT_W, APP_DISPLAY_H,
                                            app_display_callback, s);
    HWND line = CreateWindowExA(WS_EX_CLIENTEDGE, "static", nullptr,
                                WS_CHILD | WS_VISIBLE | SS_RIGHT, 0, APP_RESULT_Y, APP_CLIENT_W,
                                APP_RESULT_H, window, (HMENU)(INT_PTR)APP_RESULT_ID, g_instance,
                                nullptr);
    s->resultLine = line;
    SendMessageA(line, WM_SETFONT, (WPARAM)ctl_font(7), TRUE);
    HWND keypad = ctl_create_free_panel(window, 0, 0, APP_KEYPAD_Y, APP_CLIENT_W, APP_KEYPAD_H,
                                        app_keypad_callback, s);
    s->keypadPanel = keypad;
    SetFocus(keypad);
}

// The three pictures drawn at every repaint or key, kept in memory DCs of
// the toolkit from start-up (ctl_keep_picture) so a blit costs one BitBlt.
static HBITMAP *const kPictures[] = {&g_keypadPicture, &g_displayPicture, &g_aboutPicture};

// Gives the window the outer size that holds a 200 x 297 client area. The
// frame is measured by the system for the window's own styles: frame width
// plus caption height from the metrics leaves the client one pixel short,
// because the caption bar has a separator line below it.
static void size_for_client(HWND window)
{
    RECT r = {0, 0, APP_CLIENT_W, APP_CLIENT_H};
    AdjustWindowRectEx(&r, (DWORD)GetWindowLongA(window, GWL_STYLE), FALSE,
                       (DWORD)GetWindowLongA(window, GWL_EXSTYLE));
    SetWindowPos(window, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_SHOWWINDOW | SWP_NOMOVE);
}

// ---------------------------------------------------------------------------
// The system menu
// ---------------------------------------------------------------------------

// One item the system menu gains.
struct MenuItem {
    UINT command;        // APP_CMD_...
    const wchar_t *text; // as shown, tab before the shortcut
};

static constexpr std::array<MenuItem, 4> kMenuItems = {{
    {APP_CMD_COPY, L"Copy\tCtrl+C"},
    {APP_CMD_PASTE, L"Paste\tCtrl+V"},
    {APP_CMD_ON_TOP, L"Always on top"},
    {APP_CMD_ABOUT, L"About Keldoran\u2026"},
}};

// Appends a separator and the calculator's items to the window's system menu.
static void extend_system_menu(HWND window)
{
    HMENU menu = GetSystemMenu(window, FALSE);
    if (!menu)
        return;
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    for (const MenuItem &item : kMenuItems)
        AppendMenuW(menu, MF_STRING, item.command, item.text);
}

static int is_on_top(HWND window)
{
    return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

// Before the system menu opens: Copy needs a result line, Paste a text on
// the clipboard; the check mark follows the window's real state.
static void init_system_menu(HWND window, HMENU menu)
{
    EnableMenuItem(menu, APP_CMD_COPY, MF_BYCOMMAND | (g_calc.text[0] ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(menu, APP_CMD_PASTE,
                   MF_BYCOMMAND | (app_clipboard_has_text() ? MF_ENABLED : MF_GRAYED));
    CheckMenuItem(menu, APP_CMD_ON_TOP, MF_BYCOMMAND | (is_on_top(window) ? MF_CHECKED : 0));
}

// Always on top for this run only: the setting is not stored.
static void toggle_on_top(HWND window)
{
    int onTop = !is_on_top(window);
    SetWindowPos(window, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    CheckMenuItem(GetSystemMenu(window, FALSE), APP_CMD_ON_TOP,
                  MF_BYCOMMAND | (is_on_top(window) ? MF_CHECKED : MF_UNCHECKED));
}

// The calculator's items; everything else is the system's.
static LRESULT main_on_syscommand(HWND window, WPARAM wParam, LPARAM lParam)
{
    if (!g_mainRunning)
        return DefWindowProcA(window, WM_SYSCOMMAND, wParam, lParam);
    switch (wParam & 0xFFF0) {
    case APP_CMD_COPY: app_copy_result(); return 0;
    case APP_CMD_PASTE: app_paste(); return 0;
    case APP_CMD_ON_TOP: toggle_on_top(window); return 0;
    case APP_CMD_ABOUT: app_request_about_centred(window); return 0;
    default: return DefWindowProcA(window, WM_SYSCOMMAND, wParam, lParam);
    }
}

// ---------------------------------------------------------------------------
// Message handlers
// ---------------------------------------------------------------------------

// Returns 0 when the window is ready, -1 when the toolkit could not start
// (the window is then not created).
static LRESULT main_on_create(HWND window, const CREATESTRUCTA *create)
{
    HINSTANCE instance = create->hInstance;
    load_pictures(instance);
    calc_init(&g_calc);
    if (!ctl_init(instance, APP_TITLE)) {
        // A failed start-up counts as one; undo it here, whether or not the
        // refused window is sent WM_DESTROY afterwards.
        ctl_shutdown();
        return -1;
    }
    g_mainRunning = 1;
    g_mainClosed = 0;
    g_resultShown[0] = '\0';
    for (HBITMAP *picture : kPictures)
        ctl_keep_picture(*picture);
    create_children(&g_calc, window);
    extend_system_menu(window);
    size_for_client(window);
    return 0;
}

// Children first, then the toolkit (which writes the settings), then the
// quit message; only the first WM_DESTROY after a successful start counts.
// A system menu still open is ended, so its loop returns at once.
static void main_on_destroy(void)
{
    if (!g_mainRunning)
        return;
    app_release_keys();
    g_mainRunning = 0;
    g_mainClosed = 1;
    EndMenu();
    void **children[] = {&g_calc.resultLine, &g_calc.keypadPanel, &g_calc.displayPanel};
    for (void **child : children) {
        if (*child)
            DestroyWindow((HWND)*child);
        *child = nullptr;
    }
    for (HBITMAP *picture : kPictures)
        ctl_release_picture(*picture);
    ctl_shutdown();
    PostQuitMessage(0);
}

void app_show_state(void)
{
    if (!g_mainRunning)
        return;
    if (strcmp(g_calc.text, g_resultShown) != 0) {
        SetWindowTextA((HWND)g_calc.resultLine, g_calc.text);
        snprintf(g_resultShown, sizeof g_resultShown, "%s", g_calc.text);
    }
    if (app_display_changed(&g_calc))
        app_redraw_display((HWND)g_calc.displayPanel, &g_calc);
}

// One key code: 0..20 to the engine, then the result line and the display
// show its state (each only when it changed); 21 opens the about box. Anything else,
// including a non-zero wParam, is ignored, and so is every code that comes
// after WM_DESTROY took the face down (keys still queued at the close): the
// cleared display handle would make InvalidateRect repaint every window on
// the screen, and an about box would grab the mouse of a program that is
// ending.
static void main_on_command(WPARAM wParam, LPARAM lParam)
{
    if (!g_mainRunning || wParam != 0 || lParam < 0 || lParam > APP_CODE_ABOUT)
        return;
    if (lParam == APP_CODE_ABOUT) {
        app_open_about();
        return;
    }
    calc_key(&g_calc, (int)lParam);
    app_show_state();
}

// A key-down: a clipboard shortcut, or a key of the keypad.
static void main_on_keydown(HWND window, WPARAM vk, LPARAM lParam)
{
    if (g_mainRunning && app_shortcut(vk))
        return;
    app_keyboard(window, WM_KEYDOWN, vk, lParam, 1);
}

// A key released while Alt is down comes as a system key-up: it still
// releases its key, and the system still sees it (Alt's menu key).
static LRESULT main_on_syskeyup(HWND window, WPARAM vk, LPARAM lParam)
{
    app_keyboard(window, WM_SYSKEYUP, vk, lParam, 1);
    return DefWindowProcA(window, WM_SYSKEYUP, vk, lParam);
}

// A press on the frame, or one that a child reports: no key stays drawn
// pressed by the keyboard while the mouse is busy elsewhere.
static LRESULT main_on_frame_press(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    app_release_keyboard_keys();
    return DefWindowProcA(window, message, wParam, lParam);
}

static void main_on_parent_notify(WPARAM wParam)
{
    UINT event = LOWORD(wParam);
    if (event == WM_LBUTTONDOWN || event == WM_RBUTTONDOWN || event == WM_MBUTTONDOWN)
        app_release_keyboard_keys();
}

// Losing the activation ends every press: the key-ups go elsewhere now.
static LRESULT main_on_activate(HWND window, WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == WA_INACTIVE)
        app_release_keys();
    return DefWindowProcA(window, WM_ACTIVATE, wParam, lParam);
}

static LRESULT main_on_init_menu(HWND window, WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(lParam)) // the system menu
        init_system_menu(window, (HMENU)wParam);
    return DefWindowProcA(window, WM_INITMENUPOPUP, wParam, lParam);
}

// Black text on the LCD colour for the result line.
static LRESULT main_on_ctlcolorstatic(HDC dc)
{
    SetTextColor(dc, ctl_color(0));
    SetBkColor(dc, APP_LCD_COLOUR);
    return (LRESULT)g_lcdBrush;
}

// ---------------------------------------------------------------------------
// Window procedure
// ---------------------------------------------------------------------------

LRESULT CALLBACK app_main_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: return main_on_create(window, (const CREATESTRUCTA *)lParam);
    case WM_CLOSE: PostMessageA(window, WM_DESTROY, 0, 0); return 0;
    case WM_DESTROY: main_on_destroy(); return 0;
    case WM_KEYDOWN: main_on_keydown(window, wParam, lParam); return 0;
    case WM_KEYUP: app_keyboard(window, message, wParam, lParam, 1); return 0;
    case WM_SYSKEYUP: return main_on_syskeyup(window, wParam, lParam);
    case WM_COMMAND: main_on_command(wParam, lParam); return 0;
    case WM_SYSCOMMAND: return main_on_syscommand(window, wParam, lParam);
    case WM_INITMENUPOPUP: return main_on_init_menu(window, wParam, lParam);
    case WM_ACTIVATE: return main_on_activate(window, wParam, lParam);
    case WM_PARENTNOTIFY: main_on_parent_notify(wParam); return 0;
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN: return main_on_frame_press(window, message, wParam, lParam);
    case WM_CTLCOLORSTATIC: return main_on_ctlcolorstatic((HDC)wParam);
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

// ---------------------------------------------------------------------------
// Entry
// ---------------------------------------------------------------------------

int app_register_main_class(HINSTANCE instance)
{
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = app_main_proc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(APP_ICON));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = APP_MAIN_CLASS;
    return RegisterClassA(&wc) ? 1 : 0;
}

HWND app_create_main_window(HINSTANCE instance)
{
    g_mainWindow = CreateWindowExA(0, APP_MAIN_CLASS, APP_TITLE, MAIN_STYLE, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                   instance, nullptr);
    return g_mainWindow;
}

int app_run(HINSTANCE instance)
{
    g_instance = instance;
    app_create_lcd_brush();
    if (!app_register_main_class(instance)) {
        MessageBoxA(nullptr, MSG_REGISTER_FAILED, MSG_TITLE, MB_ICONWARNING);
        app_delete_resources();
        return 0;
    }
    if (!app_create_main_window(instance)) {
        MessageBoxA(nullptr, MSG_CREATE_FAILED, MSG_TITLE, MB_ICONWARNING);
        app_delete_resources();
        return 0;
    }
    ShowWindow(g_mainWindow, SW_SHOW);
    UpdateWindow(g_mainWindow);

    MSG msg = {};
    int code = 0;
    while (!g_mainClosed) {
        int got = GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            code = got == 0 ? (int)msg.wParam : 0;
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    // After a close the quit message may still wait (the flag ended the
    // loop first) or be gone (a loop of the system took it): take it here
    // either way, so that nothing after the run sees it.
    PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    app_delete_resources();
    return code;
}
