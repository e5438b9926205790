// The about box: a borderless modeless dialog showing the about picture
// (bitmap 502) at the point where the user clicked (or centred on the window
// from the system menu), moved back inside the work area of its monitor
// where it would stick out. It takes the mouse capture, so the next
// click anywhere, or a key, closes it and hands the capture back.
#include "app/app.h"

#include <windowsx.h>

#include "toolkit/qk2ctl.h"

HWND g_aboutCaptureOwner;

// Popup, visible, clipping its (absent) children, no WM_ENTERIDLE.
static const DWORD ABOUT_STYLE = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | DS_NOIDLEMSG;
static_assert(ABOUT_STYLE == 0x92000100, "about box style");
static const SIZE_T TEMPLATE_BYTES = 1024;

// ---------------------------------------------------------------------------
// Opening
// ---------------------------------------------------------------------------

void app_request_about(const CalcState *s, HWND window, LPARAM clientPoint)
{
    POINT at = {GET_X_LPARAM(clientPoint), GET_Y_LPARAM(clientPoint)};
    ClientToScreen(window, &at);
    g_aboutAnchor = at;
    PostMessageA((HWND)s->mainWindow, WM_COMMAND, 0, APP_CODE_ABOUT);
}

void app_request_about_centred(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    g_aboutAnchor = {(r.left + r.right - APP_ABOUT_W) / 2, (r.top + r.bottom - APP_ABOUT_H) / 2};
    PostMessageA(window, WM_COMMAND, 0, APP_CODE_ABOUT);
}

// Template cursor: each write stores one field and advances.
struct TemplateWriter {
    BYTE *at; // next byte to write
};

static void write_dword(TemplateWriter *w, DWORD value)
{
    CopyMemory(w->at, &value, sizeof value);
    w->at += sizeof value;
}

static void write_word(TemplateWriter *w, WORD value)
{
    CopyMemory(w->at, &value, sizeof value);
    w->at += sizeof value;
}

// The dialog template: the style, then zeros for the extended style, the
// control count, the position and size, the menu, the class and the title.
static void build_about_template(BYTE *block)
{
    TemplateWriter w = {block};
    write_dword(&w, ABOUT_STYLE);
    write_dword(&w, 0); // extended style
    write_word(&w, 0);  // no controls
    for (int i = 0; i < 4; i++)
        write_word(&w, 0); // x, y, cx, cy: placed at WM_INITDIALOG
    write_word(&w, 0);  // no menu
    write_word(&w, 0);  // the default dialog class
    write_word(&w, 0);  // empty title
}

void app_open_about(void)
{
    HGLOBAL block = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, TEMPLATE_BYTES);
    if (!block)
        return;
    build_about_template((BYTE *)block);
    CreateDialogIndirectParamA(g_instance, (LPCDLGTEMPLATEA)block, g_mainWindow, app_about_proc,
                               0);
    GlobalFree(block);
}

// ---------------------------------------------------------------------------
// Message handlers
// ---------------------------------------------------------------------------

static INT_PTR about_on_init(HWND box)
{
    SetWindowPos(box, nullptr, g_aboutAnchor.x, g_aboutAnchor.y, APP_ABOUT_W, APP_ABOUT_H,
                 SWP_SHOWWINDOW);
    ctl_keep_on_screen(box);
    g_aboutCaptureOwner = SetCapture(box);
    return FALSE;
}

static INT_PTR about_on_erase(HWND box, HDC dc)
{
    ctl_blit_bitmap(dc, 0, 0, g_aboutPicture);
    SetWindowLongPtrA(box, DWLP_MSGRESULT, TRUE);
    return TRUE;
}

static INT_PTR about_on_paint(HWND box)
{
    PAINTSTRUCT ps;
    BeginPaint(box, &ps);
    EndPaint(box, &ps);
    return FALSE;
}

// Any click, key or interruption: capture back to its owner, box gone.
static INT_PTR about_close(HWND box)
{
    ReleaseCapture();
    if (g_aboutCaptureOwner && IsWindow(g_aboutCaptureOwner))
        SetCapture(g_aboutCaptureOwner);
    DestroyWindow(box);
    return TRUE;
}

// ---------------------------------------------------------------------------
// Dialog procedure
// ---------------------------------------------------------------------------

INT_PTR CALLBACK app_about_proc(HWND box, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: return about_on_init(box);
    case WM_ERASEBKGND: return about_on_erase(box, (HDC)wParam);
    case WM_PAINT: return about_on_paint(box);
    case WM_CLOSE:
    case WM_CANCELMODE:
    case WM_KEYDOWN:
    case WM_COMMAND:
    case WM_SYSCOMMAND:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: return about_close(box);
    default: return FALSE;
    }
}
