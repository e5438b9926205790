// The "Buttons" page: the I2p kinds as a small mixing-desk panel. Mute and
// solo toggles on four channels with a solo lamp, a record-arm switch with
// its reset, auto-repeating nudge keys, a round play button, two disabled
// buttons, a lamp that shows a movable meter popup, and a track-name field
// that opens the edit-value dialog.
#include "gallery/gallery.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// ---------------------------------------------------------------------------
// Ids and layout
// ---------------------------------------------------------------------------

enum ButtonsId {
    ID_MUTE = 101,       // 101-104, one per channel
    ID_SOLO = 111,       // 111-114
    ID_SOLO_LAMP = 120,  // indicator: lit while any channel is soloed
    ID_ARM = 130,        // set-only record arm
    ID_ARM_RESET = 131,  // push: disarms
    ID_PLAY = 140,       // round toggle
    ID_BOUNCE = 141,     // disabled, drawn with the cross
    ID_FX = 142,         // disabled, drawn with the greyed key
    ID_NUDGE_BACK = 150, // auto-repeat push
    ID_NUDGE_FWD = 151,  // auto-repeat push
    ID_METER_LAMP = 160, // toggle: shows the meter popup
};

static const int kChannels = 4;
static const RECT kNameField = {440, 206, 612, 226}; // the track-name field

static const GalleryBox kBoxes[] = {
    {12, 12, 300, 152, "Channels"},
    {324, 12, 140, 152, "Record"},
    {476, 12, 152, 152, "Transport"},
    {12, 176, 300, 92, "Nudge (hold)"},
    {324, 176, 304, 92, "Popup and value"},
    {12, 280, 616, 92, "Try it"},
};
static const GalleryLabel kLabels[] = {
    {28, 36, "Ch 1"}, {88, 36, "Ch 2"}, {148, 36, "Ch 3"}, {208, 36, "Ch 4"},
    {262, 116, "SOLO"},
    {376, 49, "Arm"}, {376, 103, "Reset"},
    {528, 49, "Play"}, {492, 126, "Bounce"}, {548, 126, "FX"},
    {340, 208, "Meter"}, {380, 208, "Track"},
    {24, 304, "Click, or focus with Tab and press Space or Return. Mute, solo and play toggle;"},
    {24, 322, "the arm switch only turns on (Reset disarms); the nudge keys repeat while held,"},
    {24, 340, "faster the longer you hold. Drag the meter by its face; click the track name to type."},
};

// The page's state: its user data.
struct ButtonsPage {
    HWND mute[kChannels];      // mute toggles
    HWND solo[kChannels];      // solo toggles
    HWND soloLamp;             // indicator
    HWND arm;                  // set-only
    HWND nudge[2];             // back, forward
    HWND meterLamp;            // toggle for the popup
    HWND meter;                // the popup, or 0
    int offset;                // nudge offset in frames
    char trackName[64];        // shown in the field
};

static ButtonsPage g_buttons; // one page per process

// ---------------------------------------------------------------------------
// The meter popup: a small floating window dragged by its face with the
// window mover.
// ---------------------------------------------------------------------------

#define METER_CLASS "QK2CTL_GalleryMeter"
static const int kMeterW = 150, kMeterH = 84;

struct Meter {
    WindowMover mover; // drags the popup
};
static Meter g_meter;

static void meter_paint(HWND meter)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(meter, &ps);
    ctl_tile(meter, dc, 0, 0, ctl_bitmap(CTL_BMP_MARBLE));
    int oldMode = SetBkMode(dc, TRANSPARENT);
    ctl_text(dc, ctl_colour_word(9, 0, 3), 8, 6, "Meter");
    ctl_text(dc, ctl_colour_word(11, 0, 0), 8, 66, "drag me by the face");
    // two level bars, green into yellow into red
    for (int ch = 0; ch < 2; ++ch) {
        int y = 28 + ch * 16;
        ctl_fill_box(dc, ctl_colour_word(0, 9, 0, true), 8, y, 140, y + 10);
        int level = ch == 0 ? 96 : 118;
        for (int x = 10; x < 10 + level; x += 4) {
            int colour = x < 100 ? 8 : (x < 122 ? 3 : 2);
            ctl_fill_box(dc, ctl_colour_word(colour, colour, 0), x, y + 2, x + 3, y + 9);
        }
    }
    SetBkMode(dc, oldMode);
    EndPaint(meter, &ps);
}

static LRESULT CALLBACK meter_proc(HWND meter, UINT message, WPARAM wParam, LPARAM lParam)
{
    int x = (short)LOWORD(lParam), y = (short)HIWORD(lParam);
    switch (message) {
    case WM_PAINT: meter_paint(meter); return 0;
    case WM_LBUTTONDOWN: ctl_mover_begin(&g_meter.mover, x, y); return 0;
    case WM_MOUSEMOVE: ctl_mover_move(&g_meter.mover, x, y); return 0;
    case WM_LBUTTONUP: ctl_mover_end(&g_meter.mover, x, y); return 0;
    case WM_CAPTURECHANGED: // capture taken: end where the outline is
        if (ctl_drag_active(&g_meter.mover) && (HWND)lParam != meter)
            ctl_mover_end(&g_meter.mover, x, y);
        return 0;
    case WM_DESTROY: // Alt+F4 may close it in the middle of a move
        if (ctl_drag_active(&g_meter.mover))
            ctl_mover_end(&g_meter.mover, x, y);
        if (GetActiveWindow() == meter) // the gallery, not nothing, is active next
            SetActiveWindow(GetWindow(meter, GW_OWNER));
        g_buttons.meter = nullptr;
        if (g_buttons.meterLamp != nullptr)
            SendMessageA(g_buttons.meterLamp, WM_COMMAND, CTL_CMD_SET, ctl_float_bits(0.0f));
        return 0;
    }
    return DefWindowProcA(meter, message, wParam, lParam);
}

// Opens the meter beside the page, or closes it.
static void meter_show(HWND page, bool show)
{
    if (!show) {
        if (g_buttons.meter != nullptr)
            DestroyWindow(g_buttons.meter);
        return;
    }
    if (g_buttons.meter != nullptr)
        return;
    HINSTANCE instance = ctl_window_instance(page);
    WNDCLASSA wc = {};
    if (!GetClassInfoA(instance, METER_CLASS, &wc)) {
        wc.lpfnWndProc = meter_proc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorA(nullptr, IDC_SIZEALL);
        wc.lpszClassName = METER_CLASS;
        RegisterClassA(&wc);
    }
    POINT at = {470, 190};
    ClientToScreen(page, &at);
    g_buttons.meter = CreateWindowExA(WS_EX_TOOLWINDOW, METER_CLASS, "Meter", WS_POPUP | WS_BORDER,
                                      at.x, at.y, kMeterW, kMeterH, GetAncestor(page, GA_ROOT),
                                      nullptr, instance, nullptr);
    ctl_mover_init(&g_meter.mover, g_buttons.meter);
    SetWindowPos(g_buttons.meter, HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    UpdateWindow(g_buttons.meter);
}

// ---------------------------------------------------------------------------
// The page
// ---------------------------------------------------------------------------

static void buttons_paint(HWND page)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(page, &ps);
    gallery_paint_page(page, dc, kBoxes, (int)std::size(kBoxes), kLabels, (int)std::size(kLabels));
    char text[64];
    std::snprintf(text, sizeof text, "Offset: %+d frames", g_buttons.offset);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    ctl_text(dc, ctl_colour_word(0, 0, 7), 112, 214, text);
    ctl_fill_box(dc, ctl_colour_word(0, 14, 2, true), kNameField.left, kNameField.top,
                 kNameField.right, kNameField.bottom);
    ctl_text(dc, ctl_colour_word(0, 0, 2), kNameField.left + 4, kNameField.top + 3,
             g_buttons.trackName);
    SetBkMode(dc, oldMode);
    EndPaint(page, &ps);
}

// Opens the edit-value dialog over the track-name field.
static void edit_track_name(HWND page)
{
    POINT at = {kNameField.left, kNameField.top};
    ClientToScreen(page, &at);
    char *text = ctl_edit_value(page, 0x7E0, at.x, at.y, kNameField.right - kNameField.left,
                                kNameField.bottom - kNameField.top, g_buttons.trackName);
    if (text == nullptr)
        return;
    if (text[0] != '\0') {
        std::snprintf(g_buttons.trackName, sizeof g_buttons.trackName, "%s", text);
        char line[96];
        std::snprintf(line, sizeof line, " Track name: %s", g_buttons.trackName);
        gallery_log_text(line);
        if (IsWindow(page))
            InvalidateRect(page, &kNameField, FALSE);
    }
    std::free(text);
}

static void set_value(HWND control, float value)
{
    SendMessageA(control, WM_COMMAND, CTL_CMD_SET, ctl_float_bits(value));
}

// A notification from one of the page's buttons.
static void buttons_notified(HWND page, int id, float value)
{
    gallery_log_notification(id, value);
    if (id >= ID_SOLO && id < ID_SOLO + kChannels) {
        bool any = false;
        for (HWND solo : g_buttons.solo)
            any = any || ctl_send_command(solo, CTL_CMD_GET, 0) != 0.0f;
        set_value(g_buttons.soloLamp, any ? 1.0f : 0.0f);
    } else if (id == ID_ARM_RESET) {
        set_value(g_buttons.arm, 0.0f);
    } else if (id == ID_NUDGE_BACK || id == ID_NUDGE_FWD) {
        g_buttons.offset += id == ID_NUDGE_FWD ? 1 : -1;
        RECT rc = {100, 200, 312, 240};
        InvalidateRect(page, &rc, FALSE);
    } else if (id == ID_METER_LAMP) {
        meter_show(page, value != 0.0f);
    }
}

static LRESULT buttons_callback(HWND page, UINT message, WPARAM wParam, LPARAM lParam, void *)
{
    switch (message) {
    case WM_PAINT: buttons_paint(page); return 0;
    case WM_COMMAND:
        buttons_notified(page, LOWORD(wParam), ctl_as_float((uint32_t)lParam));
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_TAB)
            gallery_tab(page, GetKeyState(VK_SHIFT) < 0);
        return 0;
    case WM_LBUTTONDOWN: {
        POINT pt = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
        if (PtInRect(&kNameField, pt))
            edit_track_name(page);
        return 0;
    }
    case WM_DESTROY:
        meter_show(page, false);
        g_buttons = ButtonsPage();
        return 0;
    }
    return DefWindowProcA(page, message, wParam, lParam);
}

// A button of gallery pictures, posting to the page.
static HWND picture_button(HWND page, int id, int x, int y, int off, int on, uint32_t behaviour,
                           uint32_t look = 0, HBITMAP disabled = nullptr)
{
    I2pLook l = {0, 0, gallery_bitmap(off), gallery_bitmap(on), disabled, look, behaviour};
    NotifyTarget target = {page, nullptr, 0, nullptr};
    return ctl_create_i2p(page, id, x, y, &l, &target);
}

HWND gallery_create_buttons_page(HWND parent, int x, int y, int width, int height)
{
    g_buttons = ButtonsPage();
    std::snprintf(g_buttons.trackName, sizeof g_buttons.trackName, "Lead vocal");
    HWND page = ctl_create_free_panel(parent, 2, x, y, width, height, buttons_callback, nullptr);
    if (page == nullptr)
        return nullptr;
    ShowWindow(page, SW_HIDE);
    for (int ch = 0; ch < kChannels; ++ch) {
        g_buttons.mute[ch] = picture_button(page, ID_MUTE + ch, 24 + ch * 60, 58, GAL_BMP_MUTE_OFF,
                                            GAL_BMP_MUTE_ON, I2P_TOGGLE);
        g_buttons.solo[ch] = picture_button(page, ID_SOLO + ch, 24 + ch * 60, 90, GAL_BMP_SOLO_OFF,
                                            GAL_BMP_SOLO_ON, I2P_TOGGLE);
    }
    I2pLook led = {0, 0, ctl_bitmap(CTL_BMP_LED_OFF), ctl_bitmap(CTL_BMP_LED_ON), nullptr, 0,
                   I2P_INDICATOR};
    g_buttons.soloLamp = ctl_create_i2p(page, ID_SOLO_LAMP, 268, 94, &led, nullptr);
    g_buttons.arm = picture_button(page, ID_ARM, 338, 42, GAL_BMP_REC_OFF, GAL_BMP_REC_ON,
                                   I2P_SET_ONLY, I2P_ROUND);
    ctl_create_lamp_button(page, ID_ARM_RESET, 340, 102, I2P_PUSH);
    picture_button(page, ID_PLAY, 490, 42, GAL_BMP_PLAY_OFF, GAL_BMP_PLAY_ON, I2P_TOGGLE, I2P_ROUND);
    HWND bounce = picture_button(page, ID_BOUNCE, 490, 98, GAL_BMP_FX_OFF, GAL_BMP_FX_OFF, I2P_PUSH);
    HWND fx = picture_button(page, ID_FX, 546, 98, GAL_BMP_FX_OFF, GAL_BMP_FX_OFF, I2P_TOGGLE, 0,
                             gallery_bitmap(GAL_BMP_DISABLED));
    SendMessageA(bounce, WM_COMMAND, CTL_CMD_DISABLE, 0);
    SendMessageA(fx, WM_COMMAND, CTL_CMD_DISABLE, 0);
    const uint32_t repeat = I2P_PUSH | I2P_AUTO_REPEAT;
    g_buttons.nudge[0] = picture_button(page, ID_NUDGE_BACK, 24, 208, GAL_BMP_BACK_OFF,
                                        GAL_BMP_BACK_ON, repeat);
    g_buttons.nudge[1] = picture_button(page, ID_NUDGE_FWD, 64, 208, GAL_BMP_FWD_OFF,
                                        GAL_BMP_FWD_ON, repeat);
    g_buttons.meterLamp = ctl_create_lamp_button(page, ID_METER_LAMP, 340, 228, 0);
    return page;
}

// ---------------------------------------------------------------------------
// Tour: mute channel 2, solo channel 3, arm, start play, nudge forward for a
// while, open the meter, and focus a mute key so its mark shows.
// ---------------------------------------------------------------------------

static void click(HWND page, int id)
{
    HWND control = GetDlgItem(page, id);
    PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    PostMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

int gallery_tour_buttons(HWND page, int step)
{
    HWND fwd = GetDlgItem(page, ID_NUDGE_FWD);
    switch (step) {
    case 0: click(page, ID_MUTE + 1); return 1;
    case 1: click(page, ID_SOLO + 2); return 1;
    case 2: click(page, ID_ARM); return 1;
    case 3: click(page, ID_PLAY); return 1;
    case 4: PostMessageA(fwd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2)); return 1;
    case 12: PostMessageA(fwd, WM_LBUTTONUP, 0, MAKELPARAM(2, 2)); return 1;
    case 13: click(page, ID_METER_LAMP); return 1;
    case 14: SetFocus(GetDlgItem(page, ID_MUTE)); return 1;
    case 15: return 0;
    }
    return 1;
}
