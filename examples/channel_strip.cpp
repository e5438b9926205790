// A complete program on the QK2CTL toolkit: one channel strip with a gain
// knob, a level fader and a mute lamp, and a line that shows what they
// report. Build it with the toolkit's library and put the toolkit's bitmaps in
// the program's resources (see README.md, "Use the toolkit in your program").
#include "toolkit/qk2ctl.h"

#include <cstdio>

enum { ID_GAIN = 1, ID_LEVEL = 2, ID_MUTE = 3, ID_READOUT = 4 };

// Gain: a round knob in decibels, 0.1 to 4 (-20 to +12 dB), reporting while it turns.
static HWND make_gain_knob(HWND window)
{
    RotatifRecord knob = {};
    knob.faceBitmap = ctl_bitmap(CTL_BMP_KNOB); // 32 x 32, width 0 takes its size
    knob.startDegrees = 225;                     // lower left ...
    knob.endDegrees = 315;                       // ... clockwise to lower right
    knob.look = ROT_ROUND;
    knob.style = DecibelDisplay;                 // menu and typing in dB
    knob.centreX = knob.centreY = 16;
    knob.notify = {window, nullptr, ROT_NOTIFY_CONTINUOUS, nullptr};
    knob.scale.minimum = 0.1f;
    knob.scale.maximum = 4.0f;
    knob.scale.defaultValue = 1.0f;
    knob.scale.step = 1.01f; // a logarithmic step multiplies
    knob.scale.flags = LogScale;
    knob.pointerLength = 13;
    knob.pointerWidth = 3;
    knob.pointerBrush = 1;
    return ctl_create_rotatif(window, ID_GAIN, 24, 20, &knob);
}

// Level: a vertical fader on the toolkit's groove, 0 to 1, default 0.8.
static HWND make_level_fader(HWND window)
{
    SlideRecord fader = {};
    fader.width = 17;
    fader.height = 128;
    fader.background = ctl_bitmap(CTL_BMP_VGROOVE);
    fader.minMargin = fader.maxMargin = 4;
    fader.notify = {window, nullptr, 0, nullptr}; // reports when a move ends
    fader.scale.minimum = 0.0f;
    fader.scale.maximum = 1.0f;
    fader.scale.defaultValue = 0.8f;
    fader.scale.step = 1.0f / 108; // one pixel of the track
    fader.scale.decimals = 2;
    fader.thumbBitmap = ctl_bitmap(CTL_BMP_VTHUMB);
    fader.thumbWidth = 15;
    fader.thumbHeight = 20;
    return ctl_create_slide(window, ID_LEVEL, 32, 64, &fader);
}

static LRESULT CALLBACK strip_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        // Settings live under HKEY_CURRENT_USER\Varkel_Audio\QK2CTL\ChannelStrip.
        if (!ctl_init(GetModuleHandleA(nullptr), "ChannelStrip"))
            return -1;
        make_gain_knob(window);
        make_level_fader(window);
        ctl_create_lamp_button(window, ID_MUTE, 28, 204, 0); // a 24 x 16 toggle
        CreateWindowExA(0, "static", "", WS_CHILD | WS_VISIBLE, 80, 20, 150, 40, window,
                        (HMENU)ID_READOUT, GetModuleHandleA(nullptr), nullptr);
        return 0;
    case WM_COMMAND: {
        // A control's report: its id in wParam, the value's float bits in lParam.
        static const char *const names[] = {"", "gain", "level", "mute"};
        int id = LOWORD(wParam);
        if (id < ID_GAIN || id > ID_MUTE)
            break;
        char text[64];
        std::snprintf(text, sizeof text, "%s: %.3f", names[id],
                      (double)ctl_as_float((uint32_t)lParam));
        SetDlgItemTextA(window, ID_READOUT, text);
        return 0;
    }
    case WM_DESTROY:
        // Children go first: the toolkit cannot unregister a class in use.
        for (HWND child; (child = GetWindow(window, GW_CHILD)) != nullptr;)
            DestroyWindow(child);
        ctl_shutdown(); // closes toolkit dialogs, writes the settings
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = strip_proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = "ChannelStrip";
    if (!RegisterClassA(&wc))
        return 1;
    HWND window = CreateWindowExA(0, "ChannelStrip", "Channel strip",
                                  WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 260, 280, nullptr, nullptr,
                                  instance, nullptr);
    if (window == nullptr)
        return 1;
    ShowWindow(window, show);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
