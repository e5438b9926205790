// gallery-probe: looks at a running gallery from outside, for the scripts
// that drive it with real input on the X server. It never sends input.
//
//   gallery-probe lamp N        screen point of the header's page lamp N (1..)
//   gallery-probe control ID    screen point at the centre of control ID on
//                               the shown page
//   gallery-probe page X Y      screen point of the shown page's point X, Y
//   gallery-probe popup X Y     screen point X, Y inside the gallery's first
//                               other shown window (a popup or a dialog)
//   gallery-probe state         one line: capture=<who holds the capture>
//                               popups=<other shown windows> focus=<who
//                               has the focus> log=<log line>; windows by
//                               control id, "main", "popup" or "none"
//   gallery-probe close         posts WM_CLOSE to the gallery's main window
//
// Points print as "X Y". Exit status: 0 done; 1 no gallery (waits up to 20 s
// for it) or no such window; 2 bad arguments.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "gallery/gallery.h"

static const int kLogId = 9000; // the gallery's log line
static const int kHeaderId = 1; // the header panel

// The gallery's main window once it is shown, or null after 20 s.
static HWND find_gallery(void)
{
    for (int tries = 0; tries < 400; ++tries) {
        HWND window = FindWindowA(GALLERY_CLASS, nullptr);
        if (window != nullptr && IsWindowVisible(window) && GetDlgItem(window, kLogId) != nullptr)
            return window;
        Sleep(50);
    }
    return nullptr;
}

// The page shown: the visible child that is neither the header nor the log.
static HWND shown_page(HWND gallery)
{
    for (HWND child = GetWindow(gallery, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        int id = GetDlgCtrlID(child);
        if (IsWindowVisible(child) && id != kHeaderId && id != kLogId)
            return child;
    }
    return nullptr;
}

struct PopupSearch {
    HWND gallery; // left out
    HWND first;   // the first other shown window
    int count;    // how many
};

static BOOL CALLBACK count_popup(HWND window, LPARAM data)
{
    PopupSearch *search = reinterpret_cast<PopupSearch *>(data);
    if (window != search->gallery && IsWindowVisible(window)) {
        if (search->first == nullptr)
            search->first = window;
        ++search->count;
    }
    return TRUE;
}

// The gallery thread's other shown top-level windows.
static PopupSearch find_popups(HWND gallery)
{
    PopupSearch search = {gallery, nullptr, 0};
    EnumThreadWindows(GetWindowThreadProcessId(gallery, nullptr), count_popup, (LPARAM)&search);
    return search;
}

static int print_point(HWND window, int x, int y)
{
    if (window == nullptr)
        return 1;
    POINT p = {x, y};
    ClientToScreen(window, &p);
    std::printf("%ld %ld\n", p.x, p.y);
    return 0;
}

static int print_centre(HWND window)
{
    RECT rc;
    if (window == nullptr || !GetClientRect(window, &rc))
        return 1;
    return print_point(window, rc.right / 2, rc.bottom / 2);
}

// A window of the gallery's thread as the state line names it: its control
// id, "main", "popup" for another window of its own, or "none".
static void name_window(HWND gallery, HWND window, char *name, int size)
{
    if (window == nullptr)
        std::snprintf(name, size, "none");
    else if (GetWindowLongA(window, GWL_STYLE) & WS_CHILD)
        std::snprintf(name, size, "%d", GetDlgCtrlID(window));
    else
        std::snprintf(name, size, window == gallery ? "main" : "popup");
}

static void print_state(HWND gallery)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(gallery, nullptr), &info))
        info = {};
    char capture[32], focus[32];
    name_window(gallery, info.hwndCapture, capture, sizeof capture);
    name_window(gallery, info.hwndFocus, focus, sizeof focus);
    char log[128] = "";
    GetWindowTextA(GetDlgItem(gallery, kLogId), log, sizeof log);
    std::printf("capture=%s popups=%d focus=%s log=%s\n", capture, find_popups(gallery).count,
                focus, log);
}

int main(int argc, char **argv)
{
    if (argc < 2)
        return 2;
    const char *verb = argv[1];
    HWND gallery = find_gallery();
    if (gallery == nullptr) {
        std::fprintf(stderr, "gallery-probe: no gallery\n");
        return 1;
    }
    if (std::strcmp(verb, "lamp") == 0 && argc == 3)
        return print_centre(GetDlgItem(GetDlgItem(gallery, kHeaderId), std::atoi(argv[2])));
    if (std::strcmp(verb, "control") == 0 && argc == 3)
        return print_centre(GetDlgItem(shown_page(gallery), std::atoi(argv[2])));
    if (std::strcmp(verb, "page") == 0 && argc == 4)
        return print_point(shown_page(gallery), std::atoi(argv[2]), std::atoi(argv[3]));
    if (std::strcmp(verb, "popup") == 0 && argc == 4)
        return print_point(find_popups(gallery).first, std::atoi(argv[2]), std::atoi(argv[3]));
    if (std::strcmp(verb, "state") == 0) {
        print_state(gallery);
        return 0;
    }
    if (std::strcmp(verb, "close") == 0) {
        PostMessageA(gallery, WM_CLOSE, 0, 0);
        return 0;
    }
    return 2;
}
