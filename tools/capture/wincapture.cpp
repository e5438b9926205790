// wincapture: finds the running calculator, optionally types keys on it by
// posting their key codes, and saves the window as a BMP.
//
//   wincapture [options] OUT.bmp [KEY...]
//     KEY           a keypad label: 0..9 . DEL AC x / + - H mn S Enter about
//     --wait MS     wait up to MS milliseconds for the window (default 20000)
//     --expect TEXT after the keys, wait until the result line reads TEXT
//     --settle MS   pause before the capture so painting ends (default 400)
//     --client      capture the client area only (default: with the frame)
//     --close       close the calculator afterwards and wait for it to go
//
// Exit status: 0 saved; 1 no window; 2 the result line never read TEXT (the
// capture is saved anyway); 3 capture or file error; 4 bad arguments.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "tools/capture/capture.h"

static const char MAIN_CLASS[] = "w_principale";
static const char MAIN_TITLE[] = "Keldoran";
static const int RESULT_LINE_ID = 10;
static const DWORD POLL_MS = 50;

// Command-line options.
struct Options {
    DWORD waitMs;            // how long to wait for the window
    DWORD settleMs;          // pause after the keys
    const char *expect;      // text the result line must reach, or null
    int withFrame;           // 1 = window rectangle, 0 = client area
    int close;               // 1 = close the calculator at the end
    const char *out;         // BMP path
    std::vector<int> codes;  // key codes to post, in order
};

static int usage(const char *why)
{
    fprintf(stderr, "wincapture: %s\n"
                    "usage: wincapture [--wait MS] [--expect TEXT] [--settle MS] [--client] "
                    "[--close] OUT.bmp [KEY...]\n",
            why);
    return 4;
}

// Returns 1 when the arguments make sense, else 0 with a message printed.
static int parse_options(int argc, char **argv, Options *o)
{
    for (int i = 1; i < argc; i++) {
        const char *a = argv[i];
        int hasValue = i + 1 < argc;
        if (strcmp(a, "--wait") == 0 && hasValue) {
            o->waitMs = (DWORD)strtoul(argv[++i], nullptr, 10);
        } else if (strcmp(a, "--settle") == 0 && hasValue) {
            o->settleMs = (DWORD)strtoul(argv[++i], nullptr, 10);
        } else if (strcmp(a, "--expect") == 0 && hasValue) {
            o->expect = argv[++i];
        } else if (strcmp(a, "--client") == 0) {
            o->withFrame = 0;
        } else if (strcmp(a, "--close") == 0) {
            o->close = 1;
        } else if (a[0] == '-' && a[1] == '-') {
            fprintf(stderr, "wincapture: unknown option %s\n", a);
            return 0;
        } else if (!o->out) {
            o->out = a;
        } else {
            int code = capture_key_code(a);
            if (code < 0) {
                fprintf(stderr, "wincapture: unknown key %s\n", a);
                return 0;
            }
            o->codes.push_back(code);
        }
    }
    if (!o->out) {
        fprintf(stderr, "wincapture: no output file\n");
        return 0;
    }
    return 1;
}

// The calculator window once it is shown with its result line, or null
// after waitMs.
static HWND find_calculator(DWORD waitMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND window = FindWindowA(MAIN_CLASS, nullptr);
        if (!window)
            window = FindWindowA(nullptr, MAIN_TITLE);
        if (window && IsWindowVisible(window) && GetDlgItem(window, RESULT_LINE_ID))
            return window;
        if (GetTickCount() - start > waitMs)
            return nullptr;
        Sleep(POLL_MS);
    }
}

// Waits until the result line reads `expect`; returns 1, or 0 after timeoutMs.
static int wait_for_text(HWND line, const char *expect, DWORD timeoutMs, char *seen, int size)
{
    DWORD start = GetTickCount();
    for (;;) {
        GetWindowTextA(line, seen, size);
        if (strcmp(seen, expect) == 0)
            return 1;
        if (GetTickCount() - start > timeoutMs)
            return 0;
        Sleep(POLL_MS);
    }
}

// Posts WM_CLOSE and waits up to timeoutMs for the window to disappear.
static void close_calculator(HWND window, DWORD timeoutMs)
{
    PostMessageA(window, WM_CLOSE, 0, 0);
    DWORD start = GetTickCount();
    while (IsWindow(window) && GetTickCount() - start < timeoutMs)
        Sleep(POLL_MS);
}

int main(int argc, char **argv)
{
    Options o = {20000, 400, nullptr, 1, 0, nullptr, {}};
    if (!parse_options(argc, argv, &o))
        return usage("bad arguments");

    HWND window = find_calculator(o.waitMs);
    if (!window) {
        fprintf(stderr, "wincapture: no calculator window\n");
        return 1;
    }
    // Posted in order, handled in order, one per turn of its message loop.
    for (int code : o.codes) {
        PostMessageA(window, WM_COMMAND, 0, code);
        Sleep(20);
    }
    int status = 0;
    char seen[256] = "";
    if (o.expect && !wait_for_text(GetDlgItem(window, RESULT_LINE_ID), o.expect, 10000, seen,
                                   sizeof seen)) {
        fprintf(stderr, "wincapture: result line reads \"%s\", expected \"%s\"\n", seen,
                o.expect);
        status = 2;
    }
    Sleep(o.settleMs);

    CaptureImage image = {};
    if (!capture_window(window, o.withFrame, &image) || !capture_save_bmp(&image, o.out)) {
        fprintf(stderr, "wincapture: cannot capture the window into %s\n", o.out);
        return 3;
    }
    printf("wincapture: saved %s (%d x %d)\n", o.out, image.width, image.height);
    if (o.close)
        close_calculator(window, 10000);
    return status;
}
