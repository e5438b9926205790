// The "Faders" page: the Slide as a small mixer. Four vertical channel
// faders in decibels, each with its level readout; a crossfader that reports
// while it moves; a logarithmic filter-cutoff fader; a delay fader whose
// value is a time (its edit operation opens the time-entry dialog); and a
// locked pan fader drawn with its disabled overlay. The channel faders and
// the crossfader carry presets in their context menus.
#include "gallery/fader_plates.h"
#include "gallery/gallery.h"

#include <array>
#include <cmath>
#include <cstdio>

// ---------------------------------------------------------------------------
// Ids and layout
// ---------------------------------------------------------------------------

enum FadersId {
    ID_CHANNEL = 201, // 201-204, one per channel
    ID_XFADE = 210,   // crossfader, continuous
    ID_CUTOFF = 220,  // logarithmic
    ID_DELAY = 230,   // a time
    ID_PAN = 240,     // disabled
};

static const int kChannels = 4;
static const int kChannelX = 28;         // first channel fader's left edge
static const int kChannelStep = 70;      // fader to fader
static const int kChannelY = 40;         // top of the channel faders
static const int kWideX = 376;           // left edge of the horizontal faders
static const int kXfadeY = 36;           // tops of the horizontal faders
static const int kCutoffY = 130;
static const int kDelayY = 224;
static const int kPanY = 316;
static const int kReadoutX = 500;        // readouts on the title row of their box

static const GalleryBox kBoxes[] = {
    {12, 12, 300, 360, "Channels"},
    {324, 12, 304, 86, "Crossfader"},
    {324, 106, 304, 86, "Filter cutoff"},
    {324, 200, 304, 86, "Delay"},
    {324, 294, 304, 78, "Pan (locked)"},
};

// The centre of division i of a horizontal plate, in page coordinates.
constexpr int division_x(int i) { return kWideX + kWideFirst + (kWideLast - kWideFirst) * i / kWideDivisions; }

static const GalleryLabel kLabels[] = {
    {kChannelX + 8, 298, "Ch 1"}, {kChannelX + 78, 298, "Ch 2"},
    {kChannelX + 148, 298, "Ch 3"}, {kChannelX + 218, 298, "Ch 4"},
    {24, 336, "Drag, or use the wheel or the arrow keys; a double-click"},
    {24, 350, "gives 0 dB. Insert or Shift-click: type in dB. Right: menu."},
    {358, 46, "A"}, {590, 46, "B"},
    {division_x(0) - 6, 168, "20"}, {division_x(4) - 9, 168, "200"},
    {division_x(8) - 6, 168, "2k"}, {division_x(12) - 9, 168, "20k"},
    {division_x(0) - 3, 262, "0"}, {division_x(3) - 8, 262, "0.5"}, {division_x(6) - 3, 262, "1"},
    {division_x(9) - 8, 262, "1.5"}, {division_x(12) - 7, 262, "2 s"},
    {division_x(0) - 3, 354, "L"}, {division_x(6) - 3, 354, "C"}, {division_x(12) - 3, 354, "R"},
    {340, 76, "reports while it moves"},
};

// What the page shows: the last value each fader reported.
struct FadersPage {
    std::array<float, kChannels> gain; // channel gains
    float xfade;                       // 0 (all A) to 1 (all B)
    float cutoff;                      // Hz
    float delay;                       // seconds
};
static FadersPage g_faders; // one page per process

// ---------------------------------------------------------------------------
// Readouts
// ---------------------------------------------------------------------------

// "-6.0 dB", or "-inf dB" for silence.
static void decibel_text(float gain, char *out, size_t size)
{
    if (!(gain > 0.0f))
        std::snprintf(out, size, "-inf dB");
    else
        std::snprintf(out, size, "%+.1f dB", 20.0 * std::log10((double)gain));
}

static void cutoff_text(float hz, char *out, size_t size)
{
    if (hz >= 1000.0f)
        std::snprintf(out, size, "%.2f kHz", hz / 1000.0);
    else
        std::snprintf(out, size, "%.0f Hz", (double)hz);
}

static void draw_readouts(HDC dc)
{
    char text[64];
    const uint32_t word = ctl_colour_word(0, 0, 3);
    for (int ch = 0; ch < kChannels; ++ch) {
        decibel_text(g_faders.gain[ch], text, sizeof text);
        ctl_text(dc, word, kChannelX + ch * kChannelStep, 314, text);
    }
    int a = (int)std::lround((1.0f - g_faders.xfade) * 100.0f);
    std::snprintf(text, sizeof text, "A %d%%  B %d%%", a, 100 - a);
    ctl_text(dc, word, kReadoutX, 17, text);
    cutoff_text(g_faders.cutoff, text, sizeof text);
    ctl_text(dc, word, kReadoutX, 111, text);
    std::snprintf(text, sizeof text, "%.3f s", (double)g_faders.delay);
    ctl_text(dc, word, kReadoutX, 205, text);
}

// The rectangles the readouts are drawn in, to repaint one.
static RECT readout_rect(int id)
{
    if (id >= ID_CHANNEL && id < ID_CHANNEL + kChannels) {
        int x = kChannelX + (id - ID_CHANNEL) * kChannelStep;
        return {x - 4, 312, x + 66, 330};
    }
    int y = id == ID_XFADE ? 15 : id == ID_CUTOFF ? 109 : 203;
    return {kReadoutX - 2, y, 626, y + 18};
}

// ---------------------------------------------------------------------------
// The page
// ---------------------------------------------------------------------------

static void faders_paint(HWND page)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(page, &ps);
    gallery_paint_page(page, dc, kBoxes, (int)std::size(kBoxes), kLabels, (int)std::size(kLabels));
    int oldMode = SetBkMode(dc, TRANSPARENT);
    draw_readouts(dc);
    SetBkMode(dc, oldMode);
    EndPaint(page, &ps);
}

// A notification: the value goes into its readout and the log line.
static void faders_notified(HWND page, int id, float value)
{
    gallery_log_notification(id, value);
    if (id >= ID_CHANNEL && id < ID_CHANNEL + kChannels)
        g_faders.gain[id - ID_CHANNEL] = value;
    else if (id == ID_XFADE)
        g_faders.xfade = value;
    else if (id == ID_CUTOFF)
        g_faders.cutoff = value;
    else if (id == ID_DELAY)
        g_faders.delay = value;
    else
        return;
    RECT rc = readout_rect(id);
    InvalidateRect(page, &rc, FALSE);
}

static LRESULT faders_callback(HWND page, UINT message, WPARAM wParam, LPARAM lParam, void *)
{
    switch (message) {
    case WM_PAINT: faders_paint(page); return 0;
    case WM_COMMAND:
        faders_notified(page, LOWORD(wParam), ctl_as_float((uint32_t)lParam));
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_TAB)
            gallery_tab(page, GetKeyState(VK_SHIFT) < 0);
        return 0;
    case WM_DESTROY:
        g_faders = FadersPage();
        return 0;
    }
    return DefWindowProcA(page, message, wParam, lParam);
}

// ---------------------------------------------------------------------------
// Making the faders
// ---------------------------------------------------------------------------

// Preset values with their menu texts.
struct Preset {
    float value;
    const char *text;
};

// Puts the presets into the record, to be added to the menu once it exists.
template <size_t N>
static void give_presets(SlideRecord *r, const Preset (&presets)[N])
{
    static_assert(N <= SLIDE_PRESETS);
    r->presetCount = (uint16_t)N;
    for (size_t i = 0; i < N; ++i)
        r->presets[i] = presets[i].value;
}

// Appends the presets to the Slide's context menu under a separator.
template <size_t N>
static void add_preset_items(HWND slide, const Preset (&presets)[N])
{
    const SlideRecord *s = static_cast<const SlideRecord *>(ctl_get_instance_data(slide));
    if (s == nullptr || s->menu == nullptr)
        return;
    AppendMenuA(s->menu, MF_SEPARATOR, 0, nullptr);
    for (size_t i = 0; i < N; ++i)
        AppendMenuA(s->menu, MF_STRING, SLIDE_CMD_PRESET + i, presets[i].text);
}

static const Preset kChannelPresets[] = {
    {1.0f, "Unity (0 db)"}, {0.5011872f, "-6 db"}, {0.0f, "Mute"}};
static const Preset kXfadePresets[] = {{0.0f, "All A"}, {0.5f, "Centre"}, {1.0f, "All B"}};

// A horizontal fader on the shared plate, with a thumb of this size whose
// centre runs over the plate's divisions; step is one pixel's worth.
static SlideRecord wide_record(HWND page, int thumbW, int thumbH, float minimum, float maximum,
                               float start, uint32_t flags)
{
    SlideRecord r = {};
    r.width = kWidePlateW;
    r.height = kWidePlateH;
    r.background = gallery_bitmap(GAL_BMP_WIDE_PLATE);
    r.draggingBackground = gallery_bitmap(GAL_BMP_WIDE_PLATE_DRAG);
    r.minMargin = (uint16_t)wide_min_margin(thumbW);
    r.maxMargin = (uint16_t)wide_max_margin(thumbW);
    r.style = SLIDE_HORIZONTAL | SLIDE_EDIT_NUMBER;
    r.thumbCross = kWideSlotY - thumbH / 2;
    r.anchorY = kWidePlateH;
    r.notify = {page, nullptr, 0, nullptr};
    float track = (float)(kWideLast - kWideFirst);
    bool log = (flags & LogScale) != 0;
    float step = log ? std::pow(maximum / minimum, 1.0f / track) : (maximum - minimum) / track;
    r.scale = {minimum, maximum, start, step, 2, flags | SLIDE_DELTAS_AS_IS, 0, 0, 0, 0, 0};
    r.thumbWidth = thumbW;
    r.thumbHeight = thumbH;
    return r;
}

static void make_channels(HWND page)
{
    for (int ch = 0; ch < kChannels; ++ch) {
        SlideRecord r = {};
        r.width = kChannelPlateW;
        r.height = kChannelPlateH;
        r.background = gallery_bitmap(GAL_BMP_CHANNEL_PLATE);
        r.draggingBackground = gallery_bitmap(GAL_BMP_CHANNEL_PLATE_DRAG);
        r.minMargin = kChannelMargin;
        r.maxMargin = kChannelMargin;
        r.style = SLIDE_DECIBELS;
        r.thumbCross = kChannelThumbLeft;
        r.anchorY = 120;
        r.notify = {page, nullptr, 0, nullptr};
        float track = (float)(kChannelPlateH - 2 * kChannelMargin - kChannelThumbH);
        r.scale = {0.0f, kChannelMaxGain, 1.0f, kChannelMaxGain / track, 1, 0, 0, 0, 0, 0, 0};
        r.thumbBitmap = ctl_bitmap(CTL_BMP_VTHUMB);
        r.thumbWidth = kChannelThumbW;
        r.thumbHeight = kChannelThumbH;
        give_presets(&r, kChannelPresets);
        HWND slide = ctl_create_slide(page, ID_CHANNEL + ch, kChannelX + ch * kChannelStep,
                                      kChannelY, &r);
        add_preset_items(slide, kChannelPresets);
        g_faders.gain[ch] = 1.0f;
    }
}

HWND gallery_create_faders_page(HWND parent, int x, int y, int width, int height)
{
    g_faders = FadersPage();
    HWND page = ctl_create_free_panel(parent, 3, x, y, width, height, faders_callback, nullptr);
    if (page == nullptr)
        return nullptr;
    ShowWindow(page, SW_HIDE);
    make_channels(page);

    // the crossfader: the toolkit's horizontal thumb, reports while it moves
    SlideRecord xfade = wide_record(page, 20, 15, 0.0f, 1.0f, 0.5f, 0);
    xfade.thumbBitmap = ctl_bitmap(CTL_BMP_HTHUMB);
    xfade.notify.flags = SLIDE_CONTINUOUS;
    give_presets(&xfade, kXfadePresets);
    add_preset_items(ctl_create_slide(page, ID_XFADE, kWideX, kXfadeY, &xfade), kXfadePresets);
    g_faders.xfade = 0.5f;

    // the cutoff: 20 Hz to 20 kHz, a decade every four divisions; a round thumb
    SlideRecord cutoff = wide_record(page, 32, 32, 20.0f, 20000.0f, 1000.0f, LogScale);
    cutoff.scale.decimals = 0;
    cutoff.thumbBitmap = ctl_bitmap(CTL_BMP_KNOB);
    cutoff.look = SLIDE_ROUND;
    ctl_create_slide(page, ID_CUTOFF, kWideX, kCutoffY, &cutoff);
    g_faders.cutoff = 1000.0f;

    // the delay: a time, typed in the time-entry dialog; a drawn thumb
    SlideRecord delay = wide_record(page, 12, 24, 0.0f, 2.0f, 0.25f, 0);
    delay.style = SLIDE_HORIZONTAL | SLIDE_EDIT_TIME;
    delay.scale.decimals = 3;
    delay.thumbPen = 0;
    delay.thumbBrush = 5;
    ctl_create_slide(page, ID_DELAY, kWideX, kDelayY, &delay);
    g_faders.delay = 0.25f;

    // the pan: locked, greyed by its overlay
    SlideRecord pan = wide_record(page, 20, 15, -1.0f, 1.0f, 0.0f, 0);
    pan.thumbBitmap = ctl_bitmap(CTL_BMP_HTHUMB);
    pan.disabledBitmap = gallery_bitmap(GAL_BMP_WIDE_PLATE_OFF);
    HWND panSlide = ctl_create_slide(page, ID_PAN, kWideX, kPanY, &pan);
    SendMessageA(panSlide, WM_COMMAND, CTL_CMD_DISABLE, 0);
    return page;
}

// ---------------------------------------------------------------------------
// Tour: type -6 dB into channel 1 (with a picture of the open box), raise
// channel 2 with the keys, lower channel 3 with the wheel, mute channel 4 by
// the menu's minimum, drag the crossfader (with a picture while it is held),
// raise the cutoff by a key, and leave the focus on channel 2.
// ---------------------------------------------------------------------------

static void post_key(HWND control, UINT vk, bool down)
{
    PostMessageA(control, down ? WM_KEYDOWN : WM_KEYUP, vk, down ? 1 : 0xC0000001);
}

int gallery_tour_faders(HWND page, int step)
{
    HWND ch1 = GetDlgItem(page, ID_CHANNEL), ch2 = GetDlgItem(page, ID_CHANNEL + 1);
    HWND ch3 = GetDlgItem(page, ID_CHANNEL + 2), ch4 = GetDlgItem(page, ID_CHANNEL + 3);
    HWND xfade = GetDlgItem(page, ID_XFADE), cutoff = GetDlgItem(page, ID_CUTOFF);
    // the crossfader's thumb at 0.5 has its leading edge here: pressing on it
    // and moving 50 pixels left gives the same value in both mouse modes
    const int grab = wide_min_margin(20) + (kWideLast - kWideFirst) / 2;
    switch (step) {
    case 0: post_key(ch1, VK_INSERT, true); return 1;
    case 2: // inside the edit box's loop
        if (g_openEditDialog != nullptr) {
            HWND edit = GetDlgItem(g_openEditDialog, 10);
            SetWindowTextA(edit, "-6");
            SendMessageA(edit, EM_SETSEL, 0, -1);
            UpdateWindow(edit);
            gallery_save_picture(GetAncestor(page, GA_ROOT), "gallery-faders-edit", 0);
            PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 1);
        }
        return 1;
    case 4:
        for (int i = 0; i < 3; ++i)
            post_key(ch2, VK_UP, true);
        post_key(ch2, VK_UP, false);
        return 1;
    case 5:
        PostMessageA(ch3, WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)-480), 0);
        return 1;
    case 6: PostMessageA(ch4, WM_COMMAND, SLIDE_CMD_MINIMUM, 0); return 1;
    case 7: PostMessageA(xfade, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(grab, kWideSlotY)); return 1;
    case 8: PostMessageA(xfade, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(grab - 30, kWideSlotY)); return 1;
    case 9: PostMessageA(xfade, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(grab - 50, kWideSlotY)); return 1;
    case 10: gallery_save_picture(GetAncestor(page, GA_ROOT), "gallery-faders-drag", 0); return 1;
    case 11: PostMessageA(xfade, WM_LBUTTONUP, 0, MAKELPARAM(grab - 50, kWideSlotY)); return 1;
    case 12:
        post_key(cutoff, VK_UP, true);
        post_key(cutoff, VK_UP, false);
        return 1;
    case 13: SetFocus(ch2); return 1;
    case 14: return 0;
    }
    return 1;
}
