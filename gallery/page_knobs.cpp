// The "Knobs" page: the Rotatif knob as a channel strip's controls. A gain
// knob in decibels on a logarithmic scale, a pan knob that springs back to
// the centre, a logarithmic frequency knob made for the angular mouse mode, a
// delay time that opens the time entry, and a disabled drive knob with its
// enable switch. Each knob has a painted scale and a readout of its value;
// two switches show and set the toolkit-wide mouse modes.
#include "gallery/gallery.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// ---------------------------------------------------------------------------
// Ids, layout and the knobs' set-up
// ---------------------------------------------------------------------------

enum KnobsId {
    ID_GAIN = 201,      // dB, log scale
    ID_PAN = 202,       // -1..1, spring return
    ID_FREQ = 203,      // 20 Hz..20 kHz, log scale
    ID_DELAY = 204,     // 0..2 s, time entry
    ID_DRIVE = 205,     // disabled
    ID_ENABLE = 210,    // lamp: enables the drive knob
    ID_INVERSE = 211,   // lamp: inverse mouse mode
    ID_ANGULAR = 212,   // lamp: angular mouse mode
};

static const UINT_PTR kModeTimer = 1;  // keeps the mode lamps in step with menu changes
static const UINT kModeTimerMs = 250;

// One knob of the page: where it sits, its face and pointer, its scale.
struct KnobPlan {
    int id;
    const char *title;              // its box's title
    int boxX;                       // its box's left edge (boxes are 148 wide)
    int size;                       // 48 (cap) or 32 (grey knob)
    uint32_t style;                 // knob style flags
    float minimum, maximum, defaultValue, step;
    int32_t decimals;
    uint32_t flags;                 // LogScale or 0
    const char *low, *high;         // scale end labels
    const char *hint;               // a line under the readout
};

static const int kBoxY = 12, kBoxW = 148, kBoxH = 200;
static const int kKnobTop = 52;      // knob top inside a box row
static const int kReadoutY = 134;    // readout line
static const int kRow2Y = 224;       // second row of boxes

static const KnobPlan kKnobs[] = {
    {ID_GAIN, "Gain", 12, 48, DecibelDisplay | ShortPointer, 0.001f, 3.981072f, 1.0f, 1.0592537f,
     1, LogScale, "-60", "+12", "log scale, decibels"},
    {ID_PAN, "Pan", 168, 32, SpringReturn | EditNumber, -1.0f, 1.0f, 0.0f, 0.01f, 2, 0, "L", "R",
     "springs back to centre"},
    {ID_FREQ, "Frequency", 324, 48, EditNumber, 20.0f, 20000.0f, 1000.0f, 1.0594631f, 1, LogScale,
     "20", "20k", "log; try angular mode"},
    {ID_DELAY, "Delay", 480, 32, EditTime, 0.0f, 2.0f, 0.25f, 0.001f, 3, 0, "0", "2 s",
     "Ins: enter a time"},
};
static const KnobPlan kDrive = {ID_DRIVE, "Disabled", 12, 48, EditNumber, 0.0f, 10.0f, 3.0f, 0.1f,
                                1, 0, "0", "10", "Drive"};

static const GalleryBox kBoxes[] = {
    {12, kBoxY, kBoxW, kBoxH, "Gain"},
    {168, kBoxY, kBoxW, kBoxH, "Pan"},
    {324, kBoxY, kBoxW, kBoxH, "Frequency"},
    {480, kBoxY, kBoxW, kBoxH, "Delay"},
    {12, kRow2Y, kBoxW, 148, "Disabled"},
    {168, kRow2Y, 148, 148, "Mouse modes"},
    {324, kRow2Y, 304, 148, "Try it"},
};
static const GalleryLabel kLabels[] = {
    {84, 238, "Enable"},
    {212, 262, "Inverse"},
    {212, 300, "Angular"},
    {184, 334, "(also in a knob's menu)"},
    {338, 250, "Drag up and down, or around the knob in"},
    {338, 266, "angular mode. Wheel and arrow keys step;"},
    {338, 282, "double-click resets. Right-click: the menu."},
    {338, 298, "Shift+click: Adjust Value, three tapes to"},
    {338, 314, "drag for coarse, medium and fine changes."},
    {338, 330, "Ctrl+click or Ins: type a value."},
};

// The page's state: its user data.
struct KnobsPage {
    std::array<HWND, 4> knobs;  // gain, pan, frequency, delay
    std::array<float, 4> values; // their last notified values
    HWND drive;                 // disabled knob
    float driveValue;           // its value
    HWND enable;                // lamp: drive enabled
    HWND inverse, angular;      // lamps: the mouse mode bits
};

static KnobsPage g_knobs; // one page per process

// Where the knob described by plan sits on the page: its top-left corner.
static POINT knob_corner(const KnobPlan &plan, int rowY)
{
    return {plan.boxX + (kBoxW - plan.size) / 2, rowY + kKnobTop - (plan.size - 48) / 2};
}

// ---------------------------------------------------------------------------
// Readouts
// ---------------------------------------------------------------------------

// The value as people read it: decibels, pan position, hertz, milliseconds.
static void readout_text(int id, float v, char *text, size_t size)
{
    switch (id) {
    case ID_GAIN: {
        float db = ctl_decibels(v);
        if (std::fabs(db) < 0.05f)
            std::snprintf(text, size, "0.0 dB");
        else
            std::snprintf(text, size, "%+.1f dB", (double)db);
        return;
    }
    case ID_PAN: {
        int percent = (int)std::lround(v * 100);
        if (percent == 0)
            std::snprintf(text, size, "C");
        else
            std::snprintf(text, size, "%s %d", percent < 0 ? "L" : "R", std::abs(percent));
        return;
    }
    case ID_FREQ:
        if (v < 1000)
            std::snprintf(text, size, "%.0f Hz", (double)v);
        else
            std::snprintf(text, size, "%.2f kHz", (double)v / 1000);
        return;
    case ID_DELAY:
        if (v < 1)
            std::snprintf(text, size, "%.0f ms", (double)v * 1000);
        else
            std::snprintf(text, size, "%.3f s", (double)v);
        return;
    default: std::snprintf(text, size, "%.1f", (double)v); return;
    }
}

// Text whose middle is at x.
static void centred_text(HDC dc, uint32_t word, int x, int y, const char *text)
{
    SelectObject(dc, ctl_font((word >> 8) & 15));
    SIZE extent = {0, 0};
    GetTextExtentPoint32A(dc, text, (int)std::strlen(text), &extent);
    ctl_text(dc, word, x - extent.cx / 2, y, text);
}

// The rectangle of a knob's readout line.
static RECT readout_rect(const KnobPlan &plan, int rowY)
{
    return {plan.boxX + 4, rowY + kReadoutY - 4, plan.boxX + kBoxW - 4, rowY + kReadoutY + 20};
}

// ---------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------

// The printed scale around a knob: eleven ticks over its 270 degrees, the
// end labels, the readout and the hint.
static void paint_knob_scale(HDC dc, const KnobPlan &plan, int rowY, float value, bool withHint)
{
    POINT corner = knob_corner(plan, rowY);
    double cx = corner.x + plan.size / 2.0, cy = corner.y + plan.size / 2.0;
    double inner = plan.size / 2.0 + 4, outer = inner + 5;
    const double pi = 3.14159265358979;
    for (int i = 0; i <= 10; ++i) {
        double a = (225.0 - 27.0 * i) * pi / 180;
        int big = i == 0 || i == 5 || i == 10;
        double r2 = big ? outer + 2 : outer;
        ctl_line(dc, big ? 9 : 11, (int)std::lround(cx + inner * std::cos(a)),
                 (int)std::lround(cy - inner * std::sin(a)), (int)std::lround(cx + r2 * std::cos(a)),
                 (int)std::lround(cy - r2 * std::sin(a)));
    }
    double labelR = outer + 10;
    double a0 = 225 * pi / 180, a1 = -45 * pi / 180;
    centred_text(dc, ctl_colour_word(10, 0, 0), (int)(cx + labelR * std::cos(a0)),
                 (int)(cy - labelR * std::sin(a0)) - 2, plan.low);
    centred_text(dc, ctl_colour_word(10, 0, 0), (int)(cx + labelR * std::cos(a1)),
                 (int)(cy - labelR * std::sin(a1)) - 2, plan.high);
    char text[32];
    readout_text(plan.id, value, text, sizeof text);
    RECT r = readout_rect(plan, rowY);
    ctl_fill_box(dc, ctl_colour_word(0, 14, 0, true), r.left + 24, r.top, r.right - 24, r.bottom - 2);
    centred_text(dc, ctl_colour_word(0, 0, 7), plan.boxX + kBoxW / 2, rowY + kReadoutY - 1, text);
    if (withHint)
        centred_text(dc, ctl_colour_word(11, 0, 2), plan.boxX + kBoxW / 2, rowY + kReadoutY + 30,
                     plan.hint);
}

static void knobs_paint(HWND page)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(page, &ps);
    gallery_paint_page(page, dc, kBoxes, (int)std::size(kBoxes), kLabels, (int)std::size(kLabels));
    int oldMode = SetBkMode(dc, TRANSPARENT);
    for (size_t i = 0; i < std::size(kKnobs); ++i)
        paint_knob_scale(dc, kKnobs[i], 0, g_knobs.values[i], true);
    paint_knob_scale(dc, kDrive, kRow2Y - kBoxY, g_knobs.driveValue, false);
    SetBkMode(dc, oldMode);
    EndPaint(page, &ps);
}

// ---------------------------------------------------------------------------
// Behaviour
// ---------------------------------------------------------------------------

// The mode lamps show g_rotMode; the inverse one is disabled while angular
// mode is on, as the knobs' menus grey it.
static void sync_mode_lamps(void)
{
    auto show = [](HWND lamp, bool on) {
        if (lamp != nullptr && (ctl_send_command(lamp, CTL_CMD_GET, 0) != 0.0f) != on)
            SendMessageA(lamp, WM_COMMAND, CTL_CMD_SET, ctl_float_bits(on ? 1.0f : 0.0f));
    };
    show(g_knobs.inverse, (g_rotMode & ROT_MODE_INVERSE) != 0);
    show(g_knobs.angular, (g_rotMode & ROT_MODE_ANGULAR) != 0);
    if (g_knobs.inverse != nullptr)
        SendMessageA(g_knobs.inverse, WM_COMMAND,
                     (g_rotMode & ROT_MODE_ANGULAR) != 0 ? CTL_CMD_DISABLE : CTL_CMD_ENABLE, 0);
}

// A knob's value changed: its readout follows.
static void knob_notified(HWND page, int id, float value)
{
    for (size_t i = 0; i < std::size(kKnobs); ++i) {
        if (kKnobs[i].id != id)
            continue;
        g_knobs.values[i] = value;
        RECT r = readout_rect(kKnobs[i], 0);
        InvalidateRect(page, &r, FALSE);
    }
    if (id == ID_DRIVE) {
        g_knobs.driveValue = value;
        RECT r = readout_rect(kDrive, kRow2Y - kBoxY);
        InvalidateRect(page, &r, FALSE);
    }
}

// A notification from one of the page's controls.
static void knobs_notified(HWND page, int id, float value)
{
    gallery_log_notification(id, value);
    switch (id) {
    case ID_ENABLE:
        SendMessageA(g_knobs.drive, WM_COMMAND, value != 0.0f ? CTL_CMD_ENABLE : CTL_CMD_DISABLE, 0);
        return;
    case ID_INVERSE: // the knobs' own menu commands, sent to any knob
        SendMessageA(g_knobs.knobs[0], WM_COMMAND, ROT_CMD_INVERSE_MODE, 0);
        sync_mode_lamps();
        return;
    case ID_ANGULAR:
        SendMessageA(g_knobs.knobs[0], WM_COMMAND, ROT_CMD_ANGULAR_MODE, 0);
        sync_mode_lamps();
        return;
    }
    knob_notified(page, id, value);
}

static LRESULT knobs_callback(HWND page, UINT message, WPARAM wParam, LPARAM lParam, void *)
{
    switch (message) {
    case WM_PAINT: knobs_paint(page); return 0;
    case WM_COMMAND:
        knobs_notified(page, LOWORD(wParam), ctl_as_float((uint32_t)lParam));
        return 0;
    case WM_TIMER:
        if (wParam == kModeTimer)
            sync_mode_lamps();
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_TAB)
            gallery_tab(page, GetKeyState(VK_SHIFT) < 0);
        return 0;
    case WM_DESTROY:
        KillTimer(page, kModeTimer);
        g_knobs = KnobsPage();
        return 0;
    }
    return DefWindowProcA(page, message, wParam, lParam);
}

// The knob described by plan on the page, posting every change to it.
static HWND make_knob(HWND page, const KnobPlan &plan, int rowY)
{
    RotatifRecord r = {};
    bool large = plan.size == 48;
    r.width = r.height = plan.size;
    r.faceBitmap = large ? gallery_bitmap(GAL_BMP_KNOB_CAP) : ctl_bitmap(CTL_BMP_KNOB);
    r.pressedBitmap = large ? gallery_bitmap(GAL_BMP_KNOB_CAP_HELD) : gallery_bitmap(GAL_BMP_KNOB_HELD);
    r.disabledBitmap = large ? gallery_bitmap(GAL_BMP_KNOB_CAP_OFF) : nullptr;
    r.startDegrees = 225;
    r.endDegrees = 315;
    r.look = ROT_ROUND;
    r.style = plan.style;
    r.centreX = r.centreY = plan.size / 2;
    r.notify = {page, nullptr, ROT_NOTIFY_CONTINUOUS, nullptr};
    r.scale.minimum = plan.minimum;
    r.scale.maximum = plan.maximum;
    r.scale.defaultValue = plan.defaultValue;
    r.scale.step = plan.step;
    r.scale.decimals = plan.decimals;
    r.scale.flags = plan.flags;
    r.pointerLength = large ? 18 : 13;
    r.pointerWidth = large ? 4 : 3;
    r.pointerPen = 0;
    r.pointerBrush = large ? 15 : 1; // white on the dark caps, dark red on the grey knobs
    POINT at = knob_corner(plan, rowY);
    return ctl_create_rotatif(page, plan.id, at.x, at.y, &r);
}

HWND gallery_create_knobs_page(HWND parent, int x, int y, int width, int height)
{
    g_knobs = KnobsPage();
    HWND page = ctl_create_free_panel(parent, 3, x, y, width, height, knobs_callback, nullptr);
    if (page == nullptr)
        return nullptr;
    ShowWindow(page, SW_HIDE);
    for (size_t i = 0; i < std::size(kKnobs); ++i) {
        g_knobs.knobs[i] = make_knob(page, kKnobs[i], 0);
        g_knobs.values[i] = kKnobs[i].defaultValue;
    }
    g_knobs.drive = make_knob(page, kDrive, kRow2Y - kBoxY);
    g_knobs.driveValue = kDrive.defaultValue;
    SendMessageA(g_knobs.drive, WM_COMMAND, CTL_CMD_DISABLE, 0);
    g_knobs.enable = ctl_create_lamp_button(page, ID_ENABLE, 124, 236, 0);
    g_knobs.inverse = ctl_create_lamp_button(page, ID_INVERSE, 182, 260, 0);
    g_knobs.angular = ctl_create_lamp_button(page, ID_ANGULAR, 182, 298, 0);
    sync_mode_lamps();
    SetTimer(page, kModeTimer, kModeTimerMs, nullptr);
    return page;
}

// ---------------------------------------------------------------------------
// Tour: gain down with the keys, a pan drag that springs back, the frequency
// turned in angular mode, the adjust popup on the gain knob (its picture is
// adjust.png), the delay stepped with the keys, then the page as knobs.png.
// ---------------------------------------------------------------------------

static void post_click(HWND control, int x, int y, WPARAM keys = 0)
{
    PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON | keys, MAKELPARAM(x, y));
    PostMessageA(control, WM_LBUTTONUP, keys, MAKELPARAM(x, y));
}

static void post_key(HWND control, UINT vk, int times = 1)
{
    for (int i = 0; i < times; ++i)
        PostMessageA(control, WM_KEYDOWN, vk, 1);
}

int gallery_tour_knobs(HWND page, int step)
{
    HWND gain = GetDlgItem(page, ID_GAIN), pan = GetDlgItem(page, ID_PAN);
    HWND freq = GetDlgItem(page, ID_FREQ), delay = GetDlgItem(page, ID_DELAY);
    switch (step) {
    case 0: SetFocus(gain); post_key(gain, VK_DOWN); post_key(gain, VK_RIGHT, 2); return 1;
    case 1: PostMessageA(pan, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(16, 16)); return 1;
    case 2: PostMessageA(pan, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-14, 17)); return 1;
    case 3: PostMessageA(pan, WM_LBUTTONUP, 0, MAKELPARAM(-14, 17)); return 1;
    case 4: post_click(g_knobs.angular, 2, 2); return 1;
    case 5: PostMessageA(freq, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(24, 4)); return 1;
    case 6: // two-thirds of the turn up a log scale of three decades: 2 kHz, at 45 degrees
        PostMessageA(freq, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(24 + 14, 24 - 14));
        return 1;
    case 7: PostMessageA(freq, WM_LBUTTONUP, 0, MAKELPARAM(38, 10)); return 1;
    case 8: post_click(g_knobs.angular, 2, 2); return 1;
    case 9: post_click(gain, 24, 24, MK_SHIFT); return 1;
    case 10: {
        HWND popup = g_openAdjustPopup;
        PostMessageA(popup, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 150));
        PostMessageA(popup, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(30, 175));
        PostMessageA(popup, WM_LBUTTONUP, 0, MAKELPARAM(30, 175));
        return 1;
    }
    case 11:
        if (g_openAdjustPopup != nullptr) {
            gallery_save_picture(g_openAdjustPopup, "adjust", 1);
            PostMessageA(g_openAdjustPopup, WM_KEYDOWN, VK_ESCAPE, 1);
        }
        return 1;
    case 12: SetFocus(delay); post_key(delay, VK_UP, 3); return 1;
    case 13: SetFocus(freq); return 1;
    case 14: gallery_save_picture(GetAncestor(page, GA_ROOT), "knobs", 0); return 0;
    }
    return 1;
}
