// The start-up benchmark's yardstick: the least a Win32 program with a window
// does before its first paint. One window of the calculator's client size
// and frame, shown and painted grey by its class brush, then the message
// loop until the window is closed.
//
//   bench-minimal-window.exe [--common-controls]
//
// With --common-controls it first initialises the common controls as the
// toolkit's start-up must (InitCommonControlsEx with the list-view and
// tree-view classes). comctl32.dll is then loaded by that call, not imported,
// so that without the option the program never loads it.
#include <windows.h>

#include <commctrl.h>

#include <cstring>

static const char kClass[] = "KeldoranBenchMinimal";

// Loads comctl32.dll and calls InitCommonControlsEx. Returns its result, or
// 0 when the library or the function is missing.
static int init_common_controls(void)
{
    HMODULE comctl = LoadLibraryA("comctl32.dll");
    if (!comctl)
        return 0;
    typedef BOOL(WINAPI * InitEx)(const INITCOMMONCONTROLSEX *);
    InitEx init = (InitEx)(void *)GetProcAddress(comctl, "InitCommonControlsEx");
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    return init && init(&icc) ? 1 : 0;
}

static LRESULT CALLBACK minimal_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(window, &ps);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    if (std::strstr(commandLine, "--common-controls") && !init_common_controls())
        return 1;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = minimal_proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClass;
    if (!RegisterClassA(&wc))
        return 1;
    DWORD style = WS_DLGFRAME | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT r = {0, 0, 200, 297};
    AdjustWindowRect(&r, style, FALSE);
    HWND window = CreateWindowExA(0, kClass, "Minimal", style, CW_USEDEFAULT, CW_USEDEFAULT,
                                  r.right - r.left, r.bottom - r.top, nullptr, nullptr, instance,
                                  nullptr);
    if (!window)
        return 1;
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
