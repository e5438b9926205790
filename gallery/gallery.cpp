// The gallery's main window: the header with one lamp per page, the pages,
// the log line, the message loop and the scripted tour that saves a picture
// of every page.
//
// Contents: 1. the page table and process-wide values  2. shared page helpers
//           3. header  4. main window  5. tour  6. entry
#include "gallery/gallery.h"

#include "tools/capture/capture.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <cstring>

// ---------------------------------------------------------------------------
// 1. The page table and process-wide values (window thread only)
// ---------------------------------------------------------------------------

static const GalleryPage kPages[] = {
    {"Buttons", gallery_create_buttons_page, gallery_tour_buttons},
    {"Knobs", gallery_create_knobs_page, gallery_tour_knobs},
    {"Faders", gallery_create_faders_page, gallery_tour_faders},
    {"Lists", gallery_create_lists_page, gallery_tour_lists},
    {"Grid", gallery_create_grid_page, gallery_tour_grid},
    {"Time", gallery_create_time_page, gallery_tour_time},
};
static const int kPageCount = (int)(sizeof kPages / sizeof kPages[0]);

const GalleryPage *gallery_pages(int *count)
{
    *count = kPageCount;
    return kPages;
}

static const int kLogId = 9000;           // the log line's child id
static const UINT_PTR kTourTimer = 1;     // main window timer of the tour
static const UINT kTourStepMs = 120;      // between tour steps

static HINSTANCE g_galleryInstance;       // where the pictures are
static HWND g_galleryWindow;              // the main window
static HWND g_header;                     // header panel with the page lamps
static HWND g_logLine;                    // "static" log line
static std::array<HWND, 16> g_pageWindows = {};   // one per page
static std::array<HWND, 16> g_pageLamps = {};     // the header lamp of each page
static int g_currentPage = -1;            // shown page
static std::array<HBITMAP, GAL_BMP_END - GAL_BMP_MUTE_OFF> g_pictures = {}; // loaded on demand

// The tour: which page, which step, and where the pictures go.
static const char *g_tourFolder;          // null when there is no tour
static int g_tourPage;                    // page being toured
static int g_tourStep;                    // its next step
static int g_tourFailed;                  // 1 when a picture could not be saved

// ---------------------------------------------------------------------------
// 2. Shared page helpers
// ---------------------------------------------------------------------------

HBITMAP gallery_bitmap(int id)
{
    if (id < GAL_BMP_MUTE_OFF || id >= GAL_BMP_END)
        return nullptr;
    HBITMAP &slot = g_pictures[id - GAL_BMP_MUTE_OFF];
    if (slot == nullptr)
        slot = LoadBitmapA(g_galleryInstance, MAKEINTRESOURCEA(id));
    return slot;
}

static void free_pictures(void)
{
    for (HBITMAP &picture : g_pictures)
        ctl_delete_object(picture);
}

void gallery_paint_page(HWND page, HDC dc, const GalleryBox *boxes, int boxCount,
                        const GalleryLabel *labels, int labelCount)
{
    ctl_tile(page, dc, 0, 0, ctl_bitmap(CTL_BMP_MARBLE));
    int oldMode = SetBkMode(dc, TRANSPARENT);
    for (int i = 0; i < boxCount; ++i) {
        const GalleryBox &b = boxes[i];
        ctl_frame_box(dc, ctl_colour_word(0, 0, 0, true), b.x, b.y, b.x + b.w, b.y + b.h);
        ctl_text(dc, ctl_colour_word(9, 0, 3), b.x + 8, b.y + 5, b.title);
    }
    for (int i = 0; i < labelCount; ++i)
        ctl_text(dc, ctl_colour_word(0, 0, 2), labels[i].x, labels[i].y, labels[i].text);
    SetBkMode(dc, oldMode);
}

void gallery_tab(HWND page, bool backwards)
{
    HWND next = GetNextDlgTabItem(page, GetFocus(), backwards ? TRUE : FALSE);
    if (next != nullptr)
        SetFocus(next);
}

void gallery_log_text(const char *text)
{
    if (g_logLine != nullptr)
        SetWindowTextA(g_logLine, text);
}

void gallery_log_notification(int id, float value)
{
    char text[96];
    std::snprintf(text, sizeof text, " Last notification: id %d, value %.3f", id, (double)value);
    gallery_log_text(text);
}

void gallery_log_read(char *buffer, int size)
{
    if (size <= 0)
        return;
    buffer[0] = '\0';
    if (g_logLine != nullptr)
        GetWindowTextA(g_logLine, buffer, size);
}

int gallery_page_index(const char *name)
{
    for (int i = 0; i < kPageCount; ++i)
        if (std::strcmp(kPages[i].name, name) == 0)
            return i;
    return -1;
}

HWND gallery_page_window(int index)
{
    return index >= 0 && index < kPageCount ? g_pageWindows[index] : nullptr;
}

// ---------------------------------------------------------------------------
// 3. Header: the program's name and one set-only lamp per page, lit for the
//    page shown (a radio group: the others are turned off by command 4).
// ---------------------------------------------------------------------------

static const int kLampX = 130;   // first lamp
static const int kLampStep = 78; // lamp to lamp (six pages fit)

static void header_paint(HWND header)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(header, &ps);
    RECT rc;
    GetClientRect(header, &rc);
    FillRect(dc, &rc, ctl_brush(9));
    int oldMode = SetBkMode(dc, TRANSPARENT);
    ctl_text(dc, ctl_colour_word(15, 0, 5), 12, 10, "QK2CTL");
    ctl_text(dc, ctl_colour_word(13, 0, 2), 74, 12, "gallery");
    for (int i = 0; i < kPageCount; ++i)
        ctl_text(dc, ctl_colour_word(15, 0, 2), kLampX + i * kLampStep + 28, 12, kPages[i].name);
    SetBkMode(dc, oldMode);
    EndPaint(header, &ps);
}

static LRESULT header_callback(HWND header, UINT message, WPARAM wParam, LPARAM lParam, void *)
{
    switch (message) {
    case WM_PAINT: header_paint(header); return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) >= 1 && LOWORD(wParam) <= kPageCount)
            gallery_show_page(LOWORD(wParam) - 1);
        return 0;
    }
    return DefWindowProcA(header, message, wParam, lParam);
}

void gallery_show_page(int index)
{
    if (index < 0 || index >= kPageCount)
        return;
    for (int i = 0; i < kPageCount; ++i) {
        SendMessageA(g_pageLamps[i], WM_COMMAND, CTL_CMD_SET, ctl_float_bits(i == index ? 1.0f : 0.0f));
        if (i != index && g_pageWindows[i] != nullptr)
            ShowWindow(g_pageWindows[i], SW_HIDE);
    }
    g_currentPage = index;
    if (g_pageWindows[index] != nullptr)
        ShowWindow(g_pageWindows[index], SW_SHOW);
    char text[96];
    std::snprintf(text, sizeof text, " %s", kPages[index].name);
    gallery_log_text(text);
}

// ---------------------------------------------------------------------------
// 4. Main window
// ---------------------------------------------------------------------------

static int main_create(HWND window)
{
    if (!ctl_init(g_galleryInstance, "Gallery"))
        return -1;
    g_galleryWindow = window;
    g_header = ctl_create_free_panel(window, 1, 0, 0, GALLERY_W, GALLERY_HEADER_H, header_callback,
                                     nullptr);
    for (int i = 0; i < kPageCount; ++i) {
        g_pageLamps[i] = ctl_create_lamp_button(g_header, i + 1, kLampX + i * kLampStep, 10,
                                                I2P_SET_ONLY);
        g_pageWindows[i] = kPages[i].create(window, 0, GALLERY_HEADER_H, GALLERY_W, GALLERY_PAGE_H);
    }
    g_logLine = CreateWindowExA(0, "static", nullptr, WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP |
                                SS_CENTERIMAGE, 0, GALLERY_HEADER_H + GALLERY_PAGE_H, GALLERY_W,
                                GALLERY_LOG_H, window, (HMENU)(UINT_PTR)kLogId, g_galleryInstance,
                                nullptr);
    SendMessageA(g_logLine, WM_SETFONT, (WPARAM)ctl_font(2), 0);
    gallery_show_page(0);
    return 0;
}

// The children go before the toolkit stops: a class cannot be unregistered
// while windows of it exist, and the system destroys children only after
// their parent's WM_DESTROY.
static void main_destroy(void)
{
    for (HWND &page : g_pageWindows) {
        if (page != nullptr)
            DestroyWindow(page);
        page = nullptr;
    }
    if (g_header != nullptr)
        DestroyWindow(g_header);
    g_pageLamps = {};
    g_header = nullptr;
    g_logLine = nullptr;
    g_galleryWindow = nullptr;
    g_currentPage = -1;
    ctl_shutdown();
    free_pictures();
    PostQuitMessage(0);
}

static LRESULT main_ctlcolor(HDC dc)
{
    SetTextColor(dc, ctl_color(15));
    SetBkColor(dc, ctl_color(10));
    return (LRESULT)ctl_brush(10);
}

static void tour_tick(HWND window);

static LRESULT CALLBACK main_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: return main_create(window);
    case WM_DESTROY: main_destroy(); return 0;
    case WM_CTLCOLORSTATIC: return main_ctlcolor((HDC)wParam);
    case WM_TIMER:
        if (wParam == kTourTimer)
            tour_tick(window);
        return 0;
    case WM_KEYDOWN: // a Tab or Escape that a page passed up
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND gallery_create(HINSTANCE instance, int x, int y)
{
    g_galleryInstance = instance;
    WNDCLASSA wc = {};
    if (!GetClassInfoA(instance, GALLERY_CLASS, &wc)) {
        wc.lpfnWndProc = main_proc;
        wc.hInstance = instance;
        wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
        wc.lpszClassName = GALLERY_CLASS;
        if (!RegisterClassA(&wc))
            return nullptr;
    }
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    RECT rc = {0, 0, GALLERY_W, GALLERY_H};
    AdjustWindowRect(&rc, style, FALSE);
    return CreateWindowExA(0, GALLERY_CLASS, GALLERY_TITLE, style, x, y, rc.right - rc.left,
                           rc.bottom - rc.top, nullptr, nullptr, instance, nullptr);
}

// ---------------------------------------------------------------------------
// 5. Tour: every page in turn, its steps, then its picture.
// ---------------------------------------------------------------------------

int gallery_touring(void) { return g_tourFolder != nullptr; }

int gallery_save_picture(HWND window, const char *name, int withFrame)
{
    if (g_tourFolder == nullptr)
        return 0;
    char file[MAX_PATH];
    int n = std::snprintf(file, sizeof file, "%s\\", g_tourFolder);
    for (const char *c = name; *c != '\0' && n < (int)sizeof file - 5; ++c)
        file[n++] = (char)std::tolower((unsigned char)*c);
    std::snprintf(file + n, sizeof file - n, ".bmp");
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    CaptureImage image;
    if (!capture_window(window, withFrame, &image) || !capture_save_bmp(&image, file)) {
        std::fprintf(stderr, "gallery: cannot save %s\n", file);
        g_tourFailed = 1;
        return 0;
    }
    return 1;
}

static void tour_tick(HWND window)
{
    if (g_tourPage >= kPageCount) {
        KillTimer(window, kTourTimer);
        PostMessageA(window, WM_CLOSE, 0, 0);
        return;
    }
    if (g_tourStep == 0)
        gallery_show_page(g_tourPage);
    HWND page = g_pageWindows[g_tourPage];
    if (page != nullptr && kPages[g_tourPage].tour(page, g_tourStep++))
        return;
    char name[64];
    std::snprintf(name, sizeof name, "gallery-%s", kPages[g_tourPage].name);
    gallery_save_picture(window, name, 0);
    ++g_tourPage;
    g_tourStep = 0;
}

// ---------------------------------------------------------------------------
// 6. Entry
// ---------------------------------------------------------------------------

int gallery_run(HINSTANCE instance, const char *tourFolder)
{
    HWND window = gallery_create(instance, 40, 40);
    if (window == nullptr) {
        MessageBoxA(nullptr, "The toolkit could not start.", GALLERY_TITLE, MB_OK | MB_ICONSTOP);
        return 1;
    }
    g_tourFolder = tourFolder;
    g_tourPage = 0;
    g_tourStep = 0;
    g_tourFailed = 0;
    ShowWindow(window, tourFolder != nullptr ? SW_SHOWNA : SW_SHOW);
    UpdateWindow(window);
    if (tourFolder != nullptr)
        SetTimer(window, kTourTimer, kTourStepMs, nullptr);
    MSG msg;
    // The loop also ends when the window went away inside a system loop
    // (a move or a menu) that swallowed the quit message.
    while (IsWindow(window) && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return g_tourFailed;
}
