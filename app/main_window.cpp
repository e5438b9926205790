// The entry and the main window `w_principale`: the fixed-size calculator
// face with the display panel on top, the result line in the middle and the
// keypad panel below. Every user action reaches this window as a key code
// (WM_COMMAND, wParam 0, lParam 0..21); codes 0..20 go to the engine, 21
// opens the about box.
//
// Contents: process-wide values; start-up helpers; message handlers; the
// window procedure; the entry.
#include "app/app.h"

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
    create_children(&g_calc, window);
    size_for_client(window);
    return 0;
}

// Children first, then the toolkit (which writes the settings), then the
// quit message; only the first WM_DESTROY after a successful start counts.
static void main_on_destroy(void)
{
    if (!g_mainRunning)
        return;
    g_mainRunning = 0;
    void **children[] = {&g_calc.resultLine, &g_calc.keypadPanel, &g_calc.displayPanel};
    for (void **child : children) {
        if (*child)
            DestroyWindow((HWND)*child);
        *child = nullptr;
    }
    ctl_shutdown();
    PostQuitMessage(0);
}

// One key code: 0..20 to the engine, then the result line and the display
// are refreshed from its state; 21 opens the about box. Anything else,
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
    const char *text = calc_key(&g_calc, (int)lParam);
    SetWindowTextA((HWND)g_calc.resultLine, text);
    InvalidateRect((HWND)g_calc.displayPanel, nullptr, TRUE);
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
    case WM_KEYDOWN:
    case WM_KEYUP: app_keyboard(window, message, wParam, lParam, 1); return 0;
    case WM_COMMAND: main_on_command(wParam, lParam); return 0;
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
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    app_delete_resources();
    return (int)msg.wParam;
}
