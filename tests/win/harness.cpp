// Window-test helpers; see harness.h.
#include "tests/win/harness.h"

#include "toolkit/qk2ctl.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

// ---------------------------------------------------------------------------
// Messages
// ---------------------------------------------------------------------------

// A window that never validates its update region would keep the queue busy
// for ever; stop after this many messages.
static const int kPumpLimit = 20000;

int harness_pump(void)
{
    MSG msg;
    int n = 0;
    while (n < kPumpLimit && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        ++n;
    }
    return n;
}

int harness_pump_until(bool (*done)(void *data), void *data, DWORD ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        harness_pump();
        if (done != nullptr && done(data))
            return 1;
        DWORD spent = GetTickCount() - start;
        if (spent >= ms)
            return 0;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - spent, QS_ALLINPUT);
    }
}

void harness_pump_for(DWORD ms) { harness_pump_until(nullptr, nullptr, ms); }

int harness_take_message(HWND window, UINT first, UINT last, MSG *out)
{
    return PeekMessageA(out, window, first, last, PM_REMOVE) ? 1 : 0;
}

// ---------------------------------------------------------------------------
// Input
// ---------------------------------------------------------------------------

void harness_post_mouse(HWND window, UINT message, int x, int y, WPARAM keys)
{
    PostMessageA(window, message, keys, MAKELPARAM(x, y));
}

void harness_click(HWND window, int x, int y)
{
    harness_post_mouse(window, WM_LBUTTONDOWN, x, y, MK_LBUTTON);
    harness_post_mouse(window, WM_LBUTTONUP, x, y, 0);
    harness_pump();
}

// Keys whose scan code comes with the extended-key prefix.
static bool is_extended_key(UINT vk)
{
    switch (vk) {
    case VK_INSERT: case VK_DELETE: case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: case VK_DIVIDE: case VK_NUMLOCK:
    case VK_RCONTROL: case VK_RMENU:
        return true;
    }
    return false;
}

LPARAM harness_key_lparam(UINT vk, bool down)
{
    uint32_t lp = 1;                                            // repeat count
    lp |= (MapVirtualKeyA(vk, MAPVK_VK_TO_VSC) & 0xFF) << 16;  // scan code
    if (is_extended_key(vk))
        lp |= 1u << 24;
    if (!down)
        lp |= 1u << 30 | 1u << 31; // was down, is being released
    return (LPARAM)lp;
}

void harness_post_key(HWND window, UINT vk, bool down)
{
    PostMessageA(window, down ? WM_KEYDOWN : WM_KEYUP, vk, harness_key_lparam(vk, down));
}

void harness_press_key(HWND window, UINT vk)
{
    harness_post_key(window, vk, true);
    harness_pump(); // the WM_CHAR made from the key-down comes before the key-up
    harness_post_key(window, vk, false);
    harness_pump();
}

void harness_input_click(HWND window, int x, int y, bool right)
{
    POINT pt = {x, y};
    ClientToScreen(window, &pt);
    SetForegroundWindow(GetAncestor(window, GA_ROOT));
    harness_pump();
    SetCursorPos(pt.x, pt.y);
    harness_pump();
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof in[0]);
    harness_pump_for(50); // hardware messages reach the queue a moment later
}

// ---------------------------------------------------------------------------
// Pixels
// ---------------------------------------------------------------------------

COLORREF harness_pixel(HWND window, int x, int y)
{
    UpdateWindow(window);
    HDC dc = GetDC(window);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return c;
}

int harness_canvas_make(HarnessCanvas *canvas, int width, int height, COLORREF colour)
{
    *canvas = {};
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height; // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    HDC screen = GetDC(nullptr);
    canvas->bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    canvas->dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    if (canvas->bitmap == nullptr || canvas->dc == nullptr) {
        harness_canvas_free(canvas);
        return 0;
    }
    canvas->old = SelectObject(canvas->dc, canvas->bitmap);
    canvas->width = width;
    canvas->height = height;
    HBRUSH brush = CreateSolidBrush(colour);
    RECT rc = {0, 0, width, height};
    FillRect(canvas->dc, &rc, brush);
    DeleteObject(brush);
    return 1;
}

COLORREF harness_canvas_pixel(const HarnessCanvas *canvas, int x, int y)
{
    GdiFlush();
    return GetPixel(canvas->dc, x, y);
}

void harness_canvas_free(HarnessCanvas *canvas)
{
    if (canvas->dc != nullptr) {
        if (canvas->old != nullptr)
            SelectObject(canvas->dc, canvas->old);
        DeleteDC(canvas->dc);
    }
    if (canvas->bitmap != nullptr)
        DeleteObject(canvas->bitmap);
    *canvas = {};
}

HBITMAP harness_solid_bitmap(int w, int h, COLORREF colour)
{
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, bitmap);
    HBRUSH brush = CreateSolidBrush(colour);
    RECT rc = {0, 0, w, h};
    FillRect(mem, &rc, brush);
    DeleteObject(brush);
    SelectObject(mem, old);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

// ---------------------------------------------------------------------------
// Windows
// ---------------------------------------------------------------------------

static const char kHostClass[] = "KeldoranTestHost";

// The host paints its background in the colour kept in GWLP_USERDATA.
static LRESULT CALLBACK host_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ERASEBKGND) {
        RECT rc;
        GetClientRect(window, &rc);
        HBRUSH brush = CreateSolidBrush((COLORREF)GetWindowLongPtrA(window, GWLP_USERDATA));
        FillRect((HDC)wParam, &rc, brush);
        DeleteObject(brush);
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND harness_create_host(int width, int height, COLORREF colour, int x, int y)
{
    WNDCLASSA wc = {};
    if (!GetClassInfoA(harness_instance(), kHostClass, &wc)) {
        wc.lpfnWndProc = host_proc;
        wc.hInstance = harness_instance();
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.lpszClassName = kHostClass;
        RegisterClassA(&wc);
    }
    HWND host = CreateWindowExA(0, kHostClass, "test host", WS_POPUP | WS_CLIPCHILDREN, x, y,
                                width, height, nullptr, nullptr, harness_instance(), nullptr);
    if (host == nullptr)
        return nullptr;
    SetWindowLongPtrA(host, GWLP_USERDATA, (LONG_PTR)colour);
    // Shown without activation: Wine hands an activated window to the X
    // window manager and, there being none under Xvfb, then waits two
    // seconds for it when the window is destroyed.
    ShowWindow(host, SW_SHOWNA);
    UpdateWindow(host);
    harness_pump();
    return host;
}

void harness_log(MessageLog *log, UINT message, WPARAM wParam, LPARAM lParam)
{
    log->items.push_back({message, wParam, lParam, log->step});
}

std::vector<UINT> harness_log_codes(const MessageLog *log, std::initializer_list<UINT> keep)
{
    std::vector<UINT> codes;
    for (const LoggedMessage &m : log->items)
        if (std::find(keep.begin(), keep.end(), m.message) != keep.end())
            codes.push_back(m.message);
    return codes;
}

int harness_log_find(const MessageLog *log, UINT message)
{
    for (size_t i = 0; i < log->items.size(); ++i)
        if (log->items[i].message == message)
            return (int)i;
    return -1;
}

// ---------------------------------------------------------------------------
// Registry and the toolkit
// ---------------------------------------------------------------------------

// Deletes the subkeys of HKEY_CURRENT_USER\path, deepest first, then the key.
static int delete_tree(const std::string &path)
{
    HKEY key;
    LONG rc = RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &key);
    if (rc == ERROR_FILE_NOT_FOUND)
        return 1;
    if (rc != ERROR_SUCCESS)
        return 0;
    char sub[256];
    for (;;) {
        DWORD n = sizeof sub;
        if (RegEnumKeyExA(key, 0, sub, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (!delete_tree(path + "\\" + sub))
            break;
    }
    RegCloseKey(key);
    return RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str()) == ERROR_SUCCESS;
}

int harness_delete_key(const char *path) { return delete_tree(path); }

int harness_reg_set(const char *path, const char *name, DWORD type, const void *data, DWORD size)
{
    HKEY key;
    if (RegCreateKeyA(HKEY_CURRENT_USER, path, &key) != ERROR_SUCCESS)
        return 0;
    LONG rc = RegSetValueExA(key, name, 0, type, static_cast<const BYTE *>(data), size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

int harness_reg_get(const char *path, const char *name, DWORD *type, std::vector<uint8_t> *data)
{
    HKEY key;
    if (RegOpenKeyA(HKEY_CURRENT_USER, path, &key) != ERROR_SUCCESS)
        return 0;
    DWORD size = 0;
    LONG rc = RegQueryValueExA(key, name, nullptr, type, nullptr, &size);
    if (rc == ERROR_SUCCESS) {
        data->assign(size, 0);
        rc = RegQueryValueExA(key, name, nullptr, type, data->data(), &size);
    }
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

int harness_key_exists(const char *path)
{
    HKEY key;
    if (RegOpenKeyA(HKEY_CURRENT_USER, path, &key) != ERROR_SUCCESS)
        return 0;
    RegCloseKey(key);
    return 1;
}

void harness_app_begin(HarnessApp *app, const char *tag)
{
    static int counter = 0;
    snprintf(app->name, sizeof app->name, "ktest%lu_%d_%.32s", GetCurrentProcessId(), ++counter,
             tag != nullptr ? tag : "");
    snprintf(app->keyPath, sizeof app->keyPath, "Varkel_Audio\\QK2CTL\\%s", app->name);
    harness_delete_key(app->keyPath);
}

void harness_app_end(HarnessApp *app) { harness_delete_key(app->keyPath); }

HINSTANCE harness_instance(void) { return GetModuleHandleA(nullptr); }

int harness_toolkit_start(HarnessApp *app, const char *tag)
{
    harness_app_begin(app, tag);
    return ctl_init(harness_instance(), app->name);
}

void harness_toolkit_stop(HarnessApp *app)
{
    ctl_shutdown();
    harness_app_end(app);
}

// ---------------------------------------------------------------------------
// The time-entry dialog
// ---------------------------------------------------------------------------

static TimeDialogAnswer *g_timeAnswer; // the armed answer, one at a time
static HWND g_timeAnswered;            // the dialog answered last

static void CALLBACK answer_time_dialog(HWND, UINT, UINT_PTR, DWORD)
{
    HWND dialog = g_openTimeDialog;
    if (g_timeAnswer == nullptr || dialog == nullptr || dialog == g_timeAnswered)
        return;
    g_timeAnswered = dialog;
    ++g_timeAnswer->opened;
    GetWindowTextA(GetDlgItem(dialog, CTL_TD_SECONDS), g_timeAnswer->shown,
                   (int)sizeof g_timeAnswer->shown);
    if (g_timeAnswer->seconds != nullptr)
        SetWindowTextA(GetDlgItem(dialog, CTL_TD_SECONDS), g_timeAnswer->seconds);
    int button = g_timeAnswer->seconds != nullptr ? CTL_TD_OK : CTL_TD_CANCEL;
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 (LPARAM)GetDlgItem(dialog, button));
}

UINT_PTR harness_time_dialog_arm(TimeDialogAnswer *answer)
{
    g_timeAnswer = answer;
    g_timeAnswered = nullptr;
    answer->shown[0] = '\0';
    answer->opened = 0;
    return SetTimer(nullptr, 0, 10, answer_time_dialog);
}

void harness_time_dialog_disarm(UINT_PTR timer)
{
    KillTimer(nullptr, timer);
    g_timeAnswer = nullptr;
    g_timeAnswered = nullptr;
}
