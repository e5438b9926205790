// Slide: the toolkit's linear fader. A thumb moves along a horizontal or
// vertical track over a background bitmap; the value is a float of a
// ValueScale, shown and typed plainly or in decibels. The user drags the
// thumb, steps it with the arrow keys or the wheel, restores the default with
// a double-click, types a value (Insert, middle button, Shift- or Ctrl-click)
// and reaches the ends, the default and the edit box from a context menu.
//
// Two toolkit-wide mouse modes (the menu's first two items):
//
//   S_settopos  0  relative: the value moves by step for every pixel the
//                  pointer moves along the track, wherever the press was
//               1  direct: the thumb's leading edge follows the pointer
//   S_capture   1  a drag goes on wherever the pointer goes until release
//               0  leaving the control ends the drag (and notifies); coming
//                  back with the button held begins a new one
//
// When the owner hears of a change:
//
//   drag            at the release (or when the drag is ended otherwise);
//                   with SLIDE_CONTINUOUS also at every move
//   arrow keys      at the key-up; with SLIDE_CONTINUOUS at every step
//   wheel           at every notch that changed the value
//   double-click, menu, edit box   at once, changed or not
//   command 4       never
//
// A disabled Slide shows its disabled bitmap or the cross and no thumb, and
// ignores drags, keys (but Tab and Escape), the wheel, double-clicks, the
// menu and the edit operation. Commands 1-4 and 101, 102 and the presets
// still work for the owner.
//
// Contents: 1. constants and small helpers  2. the track  3. drawing
//           4. value changes  5. dragging  6. keys and wheel  7. editing
//           8. context menu  9. message handlers  10. window procedure
//           11. creation
#include "toolkit/qk2ctl.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// ---------------------------------------------------------------------------
// 1. Constants and small helpers
// ---------------------------------------------------------------------------

static const uint32_t kEditColour = 0x7E0; // black text on palette colour 14 in font 7
static const int kEditWidth = 100;         // edit box size
static const int kEditHeight = 20;
static const int kWheelNotch = 120;        // wheel delta of one notch
static const int kWheelSteps = -5;         // steps per notch, before the direction rule
static const int kDecibelDecimals = 1;     // decimals of a decibel Slide, and of its menu values
static const int kMenuDecimals = 6;        // decimals of the plain default and ends in the menu
static const int kTextSize = 96;           // holds any formatted float and its label
// Track ends are kept within this many pixels of 0, so that every position
// truncates to an int.
static const double kTrackLimit = 1 << 30;

static bool is_horizontal(const SlideRecord *s) { return (s->style & SLIDE_HORIZONTAL) != 0; }
static bool is_log(const SlideRecord *s) { return (s->scale.flags & LogScale) != 0; }
static bool is_decibel(const SlideRecord *s) { return (s->style & SLIDE_DECIBELS) != 0; }
static bool is_continuous(const SlideRecord *s) { return (s->notify.flags & SLIDE_CONTINUOUS) != 0; }

// The range's lower and upper ends, whichever of minimum and maximum they are.
static float range_low(const SlideRecord *s) { return std::fmin(s->scale.minimum, s->scale.maximum); }
static float range_high(const SlideRecord *s) { return std::fmax(s->scale.minimum, s->scale.maximum); }

// Whether v lies in the range, ends included (NaN does not).
static bool in_range(const SlideRecord *s, float v) { return v >= range_low(s) && v <= range_high(s); }

// v brought into the range; NaN gives the lower end.
static float clamp_to_range(const SlideRecord *s, float v)
{
    float low = range_low(s), high = range_high(s);
    if (!(v >= low))
        return low;
    return v > high ? high : v;
}

// A parsed number as a float: beyond the float range it becomes an infinity
// of its sign rather than an undefined conversion.
static float to_float(long double x)
{
    if (std::fabs(x) > (long double)FLT_MAX)
        return x < 0 ? -INFINITY : INFINITY;
    return (float)x;
}

static void slide_notify(const SlideRecord *s)
{
    ctl_notify(&s->notify, s->id, (LPARAM)ctl_float_bits(s->scale.current));
}

// The window is gone (WM_DESTROY cleared self) while an edit box was open.
static bool is_gone(const SlideRecord *s) { return s->self == nullptr; }

// ---------------------------------------------------------------------------
// 2. The track: where the minimum and maximum sit, and the mapping between
//    values and pixels (see the header for the logarithmic scale).
// ---------------------------------------------------------------------------

static float track_limit(double p) { return (float)std::fmax(-kTrackLimit, std::fmin(kTrackLimit, p)); }

// Sets startPixel and endPixel from the margins and the thumb size, then the
// two slope fields. A track that would run backwards (margins and thumb
// larger than the control) is collapsed onto its start; a flat track or range
// gets both slopes 0.
static void setup_track(SlideRecord *s)
{
    ValueScale &sc = s->scale;
    double start, end;
    if (is_horizontal(s)) {
        start = s->minMargin;
        end = (double)s->width - s->maxMargin - s->thumbWidth;
        end = std::fmax(end, start);
    } else {
        start = (double)s->height - s->minMargin - s->thumbHeight;
        end = s->maxMargin;
        end = std::fmin(end, start);
    }
    sc.startAngle = track_limit(start);
    sc.endAngle = track_limit(end);
    float length = sc.endAngle - sc.startAngle;
    float span = sc.maximum - sc.minimum;
    if (is_log(s)) {
        float ratio = sc.maximum / sc.minimum;
        span = (ratio > 0.0f && std::isfinite(ratio)) ? std::log(ratio) : 0.0f;
    }
    sc.slope = length / span;          // pixels per unit
    sc.unitsPerRadian = span / length; // units per pixel
    if (length == 0.0f || span == 0.0f || !std::isfinite(span) || !std::isfinite(sc.slope) ||
        !std::isfinite(sc.unitsPerRadian)) {
        sc.slope = 0.0f;
        sc.unitsPerRadian = 0.0f;
    }
}

// The track coordinate of value v: always finite, the track's start for a
// value with no place on it.
static float value_pixel(const SlideRecord *s, float v)
{
    const ValueScale &sc = s->scale;
    float units = is_log(s) ? std::log(v / sc.minimum) : v - sc.minimum;
    float p = units * sc.slope + sc.startAngle;
    return std::isfinite(p) ? p : sc.startAngle;
}

// The value at track coordinate p, limited to the range.
static float pixel_value(const SlideRecord *s, int p)
{
    const ValueScale &sc = s->scale;
    float units = ((float)p - sc.startAngle) * sc.unitsPerRadian;
    float v = is_log(s) ? sc.minimum * std::exp(units) : units + sc.minimum;
    return clamp_to_range(s, v);
}

// The thumb's drawn position along the track.
static int thumb_pixel(const SlideRecord *s) { return (int)s->thumbPos; }

// ---------------------------------------------------------------------------
// 3. Drawing
// ---------------------------------------------------------------------------

static void draw_thumb(const SlideRecord *s, HDC dc)
{
    int along = thumb_pixel(s);
    int left = is_horizontal(s) ? along : s->thumbCross;
    int top = is_horizontal(s) ? s->thumbCross : along;
    if (s->thumbBitmap == nullptr) {
        SelectObject(dc, ctl_pen(s->thumbPen));
        SelectObject(dc, ctl_brush(s->thumbBrush));
        Rectangle(dc, left, top, left + s->thumbWidth, top + s->thumbHeight);
    } else if (s->look == SLIDE_ROUND && s->mask != nullptr) {
        ctl_blit_masked(dc, s->thumbBitmap, s->mask, left, top, s->thumbWidth, s->thumbHeight);
    } else {
        ctl_blit(dc, s->thumbBitmap, left, top, s->thumbWidth, s->thumbHeight);
    }
}

// Paints the whole control into dc: the background (the dragging one while
// dragging), then the disabled overlay, or the thumb and the focus mark.
static void slide_draw(const SlideRecord *s, HDC dc)
{
    HBITMAP back = s->dragging && s->draggingBackground != nullptr ? s->draggingBackground
                                                                   : s->background;
    ctl_blit(dc, back, 0, 0, s->width, s->height);
    if (!s->enabled) {
        if (s->disabledBitmap != nullptr)
            ctl_blit(dc, s->disabledBitmap, 0, 0, s->width, s->height);
        else if (s->width > 0 && s->height > 0)
            ctl_cross(dc, 0, 0, s->width, s->height);
        return;
    }
    draw_thumb(s, dc);
    if (s->focused)
        ctl_focus_mark(dc, 0, 0);
}

// Redraws at once after a change.
static void slide_redraw(HWND slide, const SlideRecord *s)
{
    HDC dc = GetDC(slide);
    if (dc == nullptr)
        return;
    slide_draw(s, dc);
    ReleaseDC(slide, dc);
}

// ---------------------------------------------------------------------------
// 4. Value changes. Each returns 1 when the value changed.
// ---------------------------------------------------------------------------

// Puts the thumb where the value is and redraws when its drawn place moved.
static void place_thumb(HWND slide, SlideRecord *s)
{
    int before = thumb_pixel(s);
    s->thumbPos = value_pixel(s, s->scale.current);
    if (thumb_pixel(s) != before)
        slide_redraw(slide, s);
}

// The set-value rule of commands, the menu, presets and the edit box: a value
// outside the range (NaN included) is ignored, an equal one changes nothing.
static int set_value(HWND slide, SlideRecord *s, float v)
{
    if (!in_range(s, v) || v == s->scale.current)
        return 0;
    s->scale.current = v;
    place_thumb(slide, s);
    return 1;
}

// Moves the value by d units: negated unless the scale says SLIDE_DELTAS_AS_IS,
// then step x d added, or step to the power d applied on a logarithmic scale;
// limited to the range. A step that gives no number leaves the value alone.
static int step_value(HWND slide, SlideRecord *s, int d)
{
    ValueScale &sc = s->scale;
    float units = (float)((sc.flags & SLIDE_DELTAS_AS_IS) != 0 ? d : -d);
    float v = is_log(s) ? sc.current * std::pow(sc.step, units) : sc.current + sc.step * units;
    if (std::isnan(v))
        return 0;
    v = clamp_to_range(s, v);
    if (v == sc.current)
        return 0;
    sc.current = v;
    place_thumb(slide, s);
    return 1;
}

// Direct positioning: the value whose thumb has its leading edge at client
// point (x, y), limited to the range.
static int position_value(HWND slide, SlideRecord *s, int x, int y)
{
    float v = pixel_value(s, is_horizontal(s) ? x : y);
    if (v == s->scale.current)
        return 0;
    s->scale.current = v;
    place_thumb(slide, s);
    return 1;
}

// ---------------------------------------------------------------------------
// 5. Dragging
// ---------------------------------------------------------------------------

static bool inside(const SlideRecord *s, int x, int y)
{
    return x >= 0 && x < s->width && y >= 0 && y < s->height;
}

// Begins a drag at client point (x, y): takes the focus and the capture and,
// in direct mode, puts the thumb at the point. Nothing is notified yet.
static void begin_drag(HWND slide, SlideRecord *s, int x, int y)
{
    SetFocus(slide);
    if (s->dragging || !s->enabled || is_gone(s))
        return;
    SetCapture(slide);
    s->lastX = x;
    s->lastY = y;
    s->dragging = 1;
    if (g_sSetToPos == 1)
        position_value(slide, s, x, y);
    slide_redraw(slide, s);
}

// Ends a drag (release, leaving the control, the capture or the enabled
// state lost) and notifies the value it left.
static void end_drag(HWND slide, SlideRecord *s)
{
    if (!s->dragging)
        return;
    s->dragging = 0; // first: giving the capture back is no second end
    if (GetCapture() == slide)
        ReleaseCapture();
    slide_redraw(slide, s);
    slide_notify(s);
}

// One pointer move while dragging.
static void drag_move(HWND slide, SlideRecord *s, int x, int y)
{
    if (g_sCapture == 0 && !inside(s, x, y)) {
        end_drag(slide, s);
        return;
    }
    if (g_sSetToPos == 1) {
        position_value(slide, s, x, y);
        if (is_continuous(s))
            slide_notify(s); // at every move, changed or not
    } else {
        int d = is_horizontal(s) ? x - s->lastX : y - s->lastY;
        if (step_value(slide, s, d) && is_continuous(s))
            slide_notify(s);
    }
    if (!ctl_holds_instance_data(slide, s)) // the owner closed it
        return;
    s->lastX = x;
    s->lastY = y;
}

static void mouse_move(HWND slide, SlideRecord *s, int x, int y, WPARAM keys)
{
    if (s->dragging) {
        drag_move(slide, s, x, y);
        return;
    }
    // A drag that left the control resumes when the pointer comes back with
    // the button held.
    if (g_sCapture == 0 && (keys & MK_LBUTTON) != 0 && s->enabled)
        begin_drag(slide, s, x, y);
    s->lastX = x;
    s->lastY = y;
}

// ---------------------------------------------------------------------------
// 6. Keys and wheel
// ---------------------------------------------------------------------------

// The arrow key's delta, before the direction rule; 0 for other keys.
static int arrow_delta(const SlideRecord *s, WPARAM key)
{
    bool rising = s->scale.minimum < s->scale.maximum;
    switch (key) {
    case VK_LEFT: return rising ? -1 : 1;
    case VK_RIGHT: return rising ? 1 : -1;
    case VK_UP: return is_horizontal(s) && rising ? 10 : -10;
    case VK_DOWN: return is_horizontal(s) && rising ? -10 : 10;
    }
    return 0;
}

static void edit_value(HWND slide, SlideRecord *s);

// A key step is reported at once with continuous notification, else at the
// key's release.
static void key_down(HWND slide, SlideRecord *s, WPARAM key, LPARAM lParam)
{
    if (key == VK_TAB || key == VK_ESCAPE) {
        PostMessageA(s->parent, WM_KEYDOWN, key, lParam);
        return;
    }
    if (!s->enabled)
        return;
    if (key == VK_INSERT) {
        edit_value(slide, s);
        return;
    }
    int d = arrow_delta(s, key);
    if (d == 0 || !step_value(slide, s, d))
        return;
    if (is_continuous(s))
        slide_notify(s);
    else
        s->keyPending = 1;
}

// Reports the key steps that have not been reported yet.
static void flush_key_steps(SlideRecord *s)
{
    if (!s->keyPending)
        return;
    s->keyPending = 0;
    slide_notify(s);
}

// One wheel message: a notch of 120 is 5 units against the wheel's
// direction (then the direction rule); the division truncates toward zero.
static void wheel(HWND slide, SlideRecord *s, int delta)
{
    if (!s->enabled)
        return;
    if (step_value(slide, s, delta * kWheelSteps / kWheelNotch))
        slide_notify(s);
}

// ---------------------------------------------------------------------------
// 7. Editing: the decibel, number and time editors, each in turn when its
//    style bit is set. Each editor opens a modal box; the Slide may be
//    destroyed meanwhile, so each checks is_gone before touching its value,
//    and the record outlives the window until the last editor returns.
// ---------------------------------------------------------------------------

// The text of v in decibels with the given decimals and sign flag. A value
// of 0 or below has no decibel value: "-inf".
static void format_decibels(float v, char *out, int decimals, int plus)
{
    if (!(v > 0.0f)) {
        std::strcpy(out, "-inf");
        return;
    }
    ctl_format_float(20.0f * std::log10(v), out, kTextSize, decimals, 0, plus);
}

// The value of a typed decibel text: 10 to the power (number x 0.05). A text
// without a digit that says "inf" (as the box shows for silence) gives 0.
static float parse_decibels(const char *text)
{
    bool digit = false, inf = false;
    for (const char *c = text; *c != '\0'; ++c) {
        digit = digit || (*c >= '0' && *c <= '9');
        inf = inf || (_strnicmp(c, "inf", 3) == 0);
    }
    if (!digit && inf)
        return 0.0f;
    return std::pow(10.0f, to_float(ctl_parse_number(text)) * 0.05f);
}

// Applies an edited value by the set-value rule and notifies, changed or not.
static void apply_edit(HWND slide, SlideRecord *s, float v)
{
    set_value(slide, s, v);
    slide_notify(s);
}

// The edit box over the anchor with the value in decibels or plainly; a text
// accepted and not empty is applied.
static void edit_as_text(HWND slide, SlideRecord *s, POINT anchor, bool decibels)
{
    char text[kTextSize];
    int decimals = s->scale.decimals & 0xFF;
    if (decibels)
        format_decibels(s->scale.current, text, decimals, 0);
    else
        ctl_format_float(s->scale.current, text, sizeof text, decimals, 0, 0);
    char *typed = ctl_edit_value(s->parent, kEditColour, anchor.x, anchor.y, kEditWidth,
                                 kEditHeight, text);
    if (typed == nullptr)
        return;
    if (!is_gone(s) && typed[0] != '\0')
        apply_edit(slide, s, decibels ? parse_decibels(typed) : to_float(ctl_parse_number(typed)));
    std::free(typed);
}

// The time editor's question: the time entered in the time-entry dialog
// opened at the anchor over the current value (in seconds), or
// CTL_TIME_CANCEL when none was entered.
static float ask_time(const SlideRecord *s, POINT anchor)
{
    return ctl_time_dialog(s->parent, kEditColour, anchor.x, anchor.y, s->scale.current);
}

static void edit_as_time(HWND slide, SlideRecord *s, POINT anchor)
{
    float seconds = ask_time(s, anchor);
    if (!is_gone(s) && seconds != CTL_TIME_CANCEL)
        apply_edit(slide, s, seconds);
}

// The edit operation: the decibel, number and time editors in turn, at the
// anchor (thumbCross, anchorY). Nothing while disabled. Frees the record
// when the window went away while an editor was open.
static void edit_value(HWND slide, SlideRecord *s)
{
    if (!s->enabled || is_gone(s))
        return;
    POINT anchor = {s->thumbCross, s->anchorY};
    ClientToScreen(slide, &anchor);
    ++s->editing;
    if ((s->style & SLIDE_DECIBELS) != 0)
        edit_as_text(slide, s, anchor, true);
    if ((s->style & SLIDE_EDIT_NUMBER) != 0 && !is_gone(s))
        edit_as_text(slide, s, anchor, false);
    if ((s->style & SLIDE_EDIT_TIME) != 0 && !is_gone(s))
        edit_as_time(slide, s, anchor);
    if (--s->editing == 0 && is_gone(s))
        std::free(s);
}

// ---------------------------------------------------------------------------
// 8. Context menu
// ---------------------------------------------------------------------------

// A menu value: with the plus sign, in decibels on a decibel Slide.
static void menu_value(const SlideRecord *s, float v, int decimals, char *out)
{
    if (is_decibel(s))
        format_decibels(v, out, decimals, 1);
    else
        ctl_format_float(v, out, kTextSize, decimals, 0, 1);
}

static const char *db_suffix(const SlideRecord *s) { return is_decibel(s) ? " db" : ""; }

static int plain_or_decibel_decimals(const SlideRecord *s)
{
    return is_decibel(s) ? kDecibelDecimals : kMenuDecimals;
}

// "Current value : +0.500", with " db" on a decibel Slide.
static void current_text(const SlideRecord *s, char *out, size_t size)
{
    char v[kTextSize];
    menu_value(s, s->scale.current, s->scale.decimals & 0xFF, v);
    std::snprintf(out, size, "Current value : %s%s", v, db_suffix(s));
}

// "Value Min (+0.000000)", or "Value Min (-20.0) db" on a decibel Slide.
static void end_text(const SlideRecord *s, const char *label, float v, char *out, size_t size)
{
    char t[kTextSize];
    menu_value(s, v, plain_or_decibel_decimals(s), t);
    std::snprintf(out, size, "%s (%s)%s", label, t, db_suffix(s));
}

// Builds the context menu; null when the system cannot make one.
static HMENU build_menu(const SlideRecord *s)
{
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr)
        return nullptr;
    char text[2 * kTextSize], v[kTextSize];
    AppendMenuA(menu, MF_STRING, SLIDE_CMD_CAPTURE, "Mouse Captured");
    AppendMenuA(menu, MF_STRING, SLIDE_CMD_SETTOPOS, "Direct mouse position");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    current_text(s, text, sizeof text);
    AppendMenuA(menu, MF_STRING | MF_DISABLED, SLIDE_CMD_CURRENT, text);
    menu_value(s, s->scale.defaultValue, plain_or_decibel_decimals(s), v);
    std::snprintf(text, sizeof text, "Default value (%s%s)\tDBLCLICK", v, db_suffix(s));
    AppendMenuA(menu, MF_STRING, SLIDE_CMD_DEFAULT, text);
    AppendMenuA(menu, MF_STRING, SLIDE_CMD_EDIT, "Edit Value\tINS");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    end_text(s, "Value Min", s->scale.minimum, text, sizeof text);
    AppendMenuA(menu, MF_STRING, SLIDE_CMD_MINIMUM, text);
    end_text(s, "Value Max", s->scale.maximum, text, sizeof text);
    AppendMenuA(menu, MF_STRING, SLIDE_CMD_MAXIMUM, text);
    return menu;
}

static void check(HMENU menu, UINT id, bool on)
{
    CheckMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

// Brings the menu up to date: the two modes, the current value, and a check
// on the default, an end or a preset equal to the value.
static void refresh_menu(const SlideRecord *s)
{
    HMENU menu = s->menu;
    float v = s->scale.current;
    check(menu, SLIDE_CMD_CAPTURE, g_sCapture == 1);
    check(menu, SLIDE_CMD_SETTOPOS, g_sSetToPos == 1);
    char text[2 * kTextSize];
    current_text(s, text, sizeof text);
    ModifyMenuA(menu, SLIDE_CMD_CURRENT, MF_BYCOMMAND | MF_STRING | MF_DISABLED, SLIDE_CMD_CURRENT,
                text);
    check(menu, SLIDE_CMD_DEFAULT, v == s->scale.defaultValue);
    check(menu, SLIDE_CMD_MINIMUM, v == s->scale.minimum);
    check(menu, SLIDE_CMD_MAXIMUM, v == s->scale.maximum);
    for (int i = 0; i < s->presetCount; ++i)
        check(menu, SLIDE_CMD_PRESET + i, v == s->presets[i]);
}

// Opens the context menu at client point (x, y); its choice comes back as
// WM_COMMAND. Nothing while disabled or dragging.
static void open_menu(HWND slide, SlideRecord *s, int x, int y)
{
    if (!s->enabled || s->dragging || s->menu == nullptr)
        return;
    POINT at = {x, y};
    ClientToScreen(slide, &at);
    refresh_menu(s);
    TrackPopupMenu(s->menu, TPM_LEFTBUTTON, at.x, at.y, 0, slide, nullptr);
}

// ---------------------------------------------------------------------------
// 9. Message handlers
// ---------------------------------------------------------------------------

// Copies the creation record into a new instance record, sets up the track,
// the value, the mask and the menu. Returns 0, or -1 (creation fails)
// without a record or memory for it.
static LRESULT slide_create(HWND slide, LPARAM lParam)
{
    const CREATESTRUCTA *cs = reinterpret_cast<const CREATESTRUCTA *>(lParam);
    const SlideRecord *record = static_cast<const SlideRecord *>(cs->lpCreateParams);
    if (record == nullptr)
        return -1;
    SlideRecord *s = static_cast<SlideRecord *>(std::malloc(sizeof *s));
    if (s == nullptr)
        return -1;
    ctl_copy(s, record, sizeof *s);
    if (s->presetCount > SLIDE_PRESETS)
        s->presetCount = SLIDE_PRESETS;
    setup_track(s);
    s->scale.current = clamp_to_range(s, s->scale.defaultValue);
    s->self = slide;
    s->enabled = 1;
    s->focused = 0;
    s->dragging = 0;
    s->keyPending = 0;
    s->editing = 0;
    s->thumbPos = value_pixel(s, s->scale.current);
    if (is_decibel(s))
        s->scale.decimals = kDecibelDecimals;
    s->mask = s->look == SLIDE_ROUND && s->thumbBitmap != nullptr
                  ? ctl_round_mask(slide, s->thumbWidth)
                  : nullptr;
    s->menu = build_menu(s);
    ctl_set_instance_data(slide, s);
    return 0;
}

// Frees the record, or leaves that to the edit operation when an editor is
// open: its box is closed and it finds self cleared.
static LRESULT slide_destroy(HWND slide, SlideRecord *s, WPARAM wParam, LPARAM lParam)
{
    if (s != nullptr) {
        s->dragging = 0;
        if (GetCapture() == slide)
            ReleaseCapture();
        if (s->menu != nullptr)
            DestroyMenu(s->menu);
        s->menu = nullptr;
        s->self = nullptr;
        ctl_set_instance_data(slide, nullptr);
        if (s->editing > 0) {
            if (g_openEditDialog != nullptr)
                SendMessageA(g_openEditDialog, WM_CLOSE, 0, 0);
            if (g_openTimeDialog != nullptr)
                SendMessageA(g_openTimeDialog, WM_CLOSE, 0, 0);
        } else {
            std::free(s);
        }
    }
    return DefWindowProcA(slide, WM_DESTROY, wParam, lParam);
}

static LRESULT slide_focus(HWND slide, SlideRecord *s, bool gained)
{
    if (s == nullptr)
        return 0;
    if (!gained) {
        flush_key_steps(s); // the key-up will go elsewhere
        if (!ctl_holds_instance_data(slide, s))
            return 0;
    }
    s->focused = gained ? 1 : 0;
    slide_redraw(slide, s);
    return 0;
}

static LRESULT slide_paint(HWND slide, const SlideRecord *s)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(slide, &ps);
    if (s != nullptr && dc != nullptr)
        slide_draw(s, dc);
    EndPaint(slide, &ps);
    return 0;
}

static LRESULT slide_mouse_activate(HWND slide, WPARAM wParam, LPARAM lParam)
{
    if (GetFocus() != slide)
        SetFocus(slide);
    return DefWindowProcA(slide, WM_MOUSEACTIVATE, wParam, lParam);
}

// Shift- or Ctrl-click edits; any other press begins a drag.
static LRESULT left_down(HWND slide, SlideRecord *s, int x, int y, WPARAM keys)
{
    if ((keys & (MK_SHIFT | MK_CONTROL)) != 0)
        edit_value(slide, s);
    else
        begin_drag(slide, s, x, y);
    return 0;
}

static LRESULT left_up(HWND slide, SlideRecord *s)
{
    end_drag(slide, s);
    return 0;
}

static LRESULT double_click(HWND slide, SlideRecord *s)
{
    if (s->enabled) {
        set_value(slide, s, s->scale.defaultValue);
        slide_notify(s);
    }
    return 0;
}

static LRESULT middle_down(HWND slide, SlideRecord *s, WPARAM wParam, LPARAM lParam)
{
    edit_value(slide, s);
    return DefWindowProcA(slide, WM_MBUTTONDOWN, wParam, lParam);
}

static LRESULT key_up(SlideRecord *s, WPARAM key)
{
    if (arrow_delta(s, key) != 0)
        flush_key_steps(s);
    return 0;
}

// The capture went to another window in the middle of a drag: the drag ends
// there, as at a release.
static LRESULT capture_changed(HWND slide, SlideRecord *s, LPARAM lParam)
{
    if ((HWND)lParam != slide)
        end_drag(slide, s);
    return 0;
}

static LRESULT enable(HWND slide, SlideRecord *s, bool on)
{
    if ((s->enabled != 0) == on)
        return 0;
    if (!on) {
        end_drag(slide, s);
        if (!ctl_holds_instance_data(slide, s))
            return 0;
    }
    s->enabled = on ? 1 : 0;
    slide_redraw(slide, s);
    return 0;
}

// Sets v by the set-value rule and notifies (the menu's commands).
static LRESULT set_and_notify(HWND slide, SlideRecord *s, float v)
{
    set_value(slide, s, v);
    slide_notify(s);
    return 0;
}

// The value commands 1-4 and the menu's commands; others are ignored.
static LRESULT slide_command(HWND slide, SlideRecord *s, WPARAM wParam, LPARAM lParam)
{
    int command = LOWORD(wParam);
    switch (command) {
    case CTL_CMD_ENABLE: return enable(slide, s, true);
    case CTL_CMD_DISABLE: return enable(slide, s, false);
    case CTL_CMD_GET: return (LRESULT)ctl_float_bits(s->scale.current);
    case CTL_CMD_SET: set_value(slide, s, ctl_as_float((uint32_t)lParam)); return 0;
    case SLIDE_CMD_CAPTURE: g_sCapture = g_sCapture == 1 ? 0 : 1; return 0;
    case SLIDE_CMD_SETTOPOS: g_sSetToPos = g_sSetToPos == 1 ? 0 : 1; return 0;
    case SLIDE_CMD_DEFAULT:
        return s->enabled ? set_and_notify(slide, s, s->scale.defaultValue) : 0;
    case SLIDE_CMD_MINIMUM: return set_and_notify(slide, s, s->scale.minimum);
    case SLIDE_CMD_MAXIMUM: return set_and_notify(slide, s, s->scale.maximum);
    case SLIDE_CMD_EDIT: edit_value(slide, s); return 0;
    }
    int preset = command - SLIDE_CMD_PRESET;
    if (preset >= 0 && preset < s->presetCount)
        return set_and_notify(slide, s, s->presets[preset]);
    return 0;
}

// ---------------------------------------------------------------------------
// 10. Window procedure
// ---------------------------------------------------------------------------

LRESULT CALLBACK ctl_slide_proc(HWND slide, UINT message, WPARAM wParam, LPARAM lParam)
{
    SlideRecord *s = static_cast<SlideRecord *>(ctl_get_instance_data(slide));
    int x = (short)LOWORD(lParam), y = (short)HIWORD(lParam);
    switch (message) {
    case WM_NCCREATE: ctl_set_instance_data(slide, nullptr); break;
    case WM_CREATE: return slide_create(slide, lParam);
    case WM_DESTROY: return slide_destroy(slide, s, wParam, lParam);
    case WM_SETFOCUS: return slide_focus(slide, s, true);
    case WM_KILLFOCUS: return slide_focus(slide, s, false);
    case WM_PAINT: return slide_paint(slide, s);
    case WM_CLOSE: DestroyWindow(slide); return 0;
    case WM_MOUSEACTIVATE: return slide_mouse_activate(slide, wParam, lParam);
    }
    if (s == nullptr)
        return DefWindowProcA(slide, message, wParam, lParam);
    switch (message) {
    case WM_LBUTTONDOWN: return left_down(slide, s, x, y, wParam);
    case WM_MOUSEMOVE: mouse_move(slide, s, x, y, wParam); return 0;
    case WM_LBUTTONUP: return left_up(slide, s);
    case WM_LBUTTONDBLCLK: return double_click(slide, s);
    case WM_RBUTTONDOWN: open_menu(slide, s, x, y); return 0;
    case WM_MBUTTONDOWN: return middle_down(slide, s, wParam, lParam);
    case WM_MOUSEWHEEL: wheel(slide, s, GET_WHEEL_DELTA_WPARAM(wParam)); return 0;
    case WM_KEYDOWN: key_down(slide, s, wParam, lParam); return 0;
    case WM_KEYUP: return key_up(s, wParam);
    case WM_CAPTURECHANGED: return capture_changed(slide, s, lParam);
    case WM_COMMAND: return slide_command(slide, s, wParam, lParam);
    }
    return DefWindowProcA(slide, message, wParam, lParam);
}

// ---------------------------------------------------------------------------
// 11. Creation
// ---------------------------------------------------------------------------

HWND ctl_create_slide(HWND parent, int id, int x, int y, const SlideRecord *record)
{
    if (record == nullptr)
        return nullptr;
    SlideRecord copy = *record;
    copy.parent = parent;
    copy.id = (uint16_t)id;
    HWND slide = CreateWindowExA(0, CTL_CLASS_SLIDE, nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP, x,
                                 y, copy.width, copy.height, parent, (HMENU)(UINT_PTR)(uint16_t)id,
                                 ctl_instance(), &copy);
    if (slide != nullptr)
        UpdateWindow(slide);
    return slide;
}
