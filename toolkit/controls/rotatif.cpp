// Rotatif: the rotary knob. A bitmap face (round through a mask, or
// rectangular) with a drawn pointer bar that turns clockwise from the start
// angle to the end angle as the value rises. The value model is the record's
// ValueScale; every change is reported through its NotifyTarget.
//
// Ways to turn it, and what they notify (C: only with ROT_NOTIFY_CONTINUOUS):
//
//   input                    change                          notifies
//   left drag, linear mode   one step per pixel, up or right  C each step; the release
//   left drag, angular mode  the pointer follows the mouse    C each move; the release
//   arrow keys, wheel        +-1, +-10 steps, 5 per notch     C each step
//   double-click, 100        the default                      yes
//   101, 102, presets        minimum, maximum, preset         yes, changed or not
//   edit box, time dialog    the typed value                  yes
//   adjust popup             its value, as command 4          the popup does
//   command 4                any value in range               no
//
// The mouse mode (linear or angular, normal or inverse) is one word for every
// knob of the process, g_rotMode. A disabled knob shows its disabled face or
// the cross and no pointer, and neither drags nor steps. A drag ends on the
// button's release or when the capture goes elsewhere; SpringReturn then
// brings the value back to the default.
//
// Contents: 1. helpers  2. drawing  3. value changes  4. dragging, keys and
//           the wheel  5. edit box, time dialog and adjust popup
//           6. context menu  7. message handlers  8. window procedure
//           9. creation
#include "toolkit/qk2ctl.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

// ---------------------------------------------------------------------------
// 1. Helpers
// ---------------------------------------------------------------------------

static const uint32_t kEditColours = 0x7E0; // black text on colour 14 in font 7
static const int kEditW = 100, kEditH = 20; // size of the edit box
static const int kPopupOffset = 2;          // the adjust popup opens this far up and left
static const uint32_t kNumberTextSize = 64; // formatted values are cut to fit

// The knob whose edit operation runs (its edit box or time dialog is open),
// or null. One window thread and one modal dialog at a time, so a plain
// global is safe; a nested edit operation saves and restores it.
static HWND g_editingKnob = nullptr;

// The knob's instance: the public record first (ctl_get_instance_data gives
// its address), then what only the knob's drawing uses.
struct RotatifInstance {
    RotatifRecord record;  // the creation record, copied whole, and the live state
    HDC backdropDc;        // memory DC holding the backdrop, or null
    HBITMAP backdrop;      // copy of the face layer as it shows on the screen
    HGDIOBJ backdropOld;   // backdropDc's bitmap before ours
    int32_t backdropLayer; // face_layer() the copy shows; 0 when there is none
};

static RotatifInstance *instance_of(RotatifRecord *self)
{
    return reinterpret_cast<RotatifInstance *>(self);
}

static bool has_style(const RotatifRecord *self, uint32_t flag) { return (self->style & flag) != 0; }
static bool continuous(const RotatifRecord *self)
{
    return (self->notify.flags & ROT_NOTIFY_CONTINUOUS) != 0;
}

static void rot_notify(const RotatifRecord *self)
{
    ctl_notify(&self->notify, self->id, (LPARAM)ctl_float_bits(self->scale.current));
}

// The value as shown: in decibels with DecibelDisplay.
static float shown_value(const RotatifRecord *self, float value)
{
    return has_style(self, DecibelDisplay) ? ctl_decibels(value) : value;
}

// The toolkit's rounding to a whole pixel, kept within what an int holds.
static int round_pixel(float x)
{
    float r = ctl_round(x);
    if (!(r > -1e6f))
        return -1000000;
    return r < 1e6f ? (int)r : 1000000;
}

// ---------------------------------------------------------------------------
// 2. Drawing
// ---------------------------------------------------------------------------

// The four corners of the pointer bar at pointerAngle: from the centre (or,
// with ShortPointer, from 0.7 L) to L, W wide, every product rounded as the
// toolkit rounds.
static void pointer_polygon(const RotatifRecord *self, POINT corners[4])
{
    float c = std::cos(self->pointerAngle);
    float s = -std::sin(self->pointerAngle); // screen y grows downwards
    float length = (float)self->pointerLength;
    float width = (float)self->pointerWidth;
    int bx = self->centreX, by = self->centreY, rx, ry;
    if (has_style(self, ShortPointer)) {
        bx += round_pixel(0.7f * length * c);
        by += round_pixel(0.7f * length * s);
        rx = round_pixel(0.3f * length * c);
        ry = round_pixel(0.3f * length * s);
    } else {
        rx = round_pixel(length * c);
        ry = round_pixel(length * s);
    }
    int hx = round_pixel(0.5f * width * s), hy = round_pixel(0.5f * width * c);
    corners[0] = {bx + hx, by - hy};
    corners[1] = {bx - hx, by + hy};
    corners[2] = {bx + rx - hx, by + ry + hy};
    corners[3] = {bx + rx + hx, by + ry - hy};
}

// A face-sized picture, through the round mask for a round knob.
static void blit_face(const RotatifRecord *self, HDC dc, HBITMAP picture)
{
    if (self->look == ROT_ROUND)
        ctl_blit_masked(dc, picture, self->mask, 0, 0, self->width, self->height);
    else
        ctl_blit(dc, picture, 0, 0, self->width, self->height);
}

// Which face layer shows: 1 normal, 2 pressed, 3 disabled (0: none yet).
static int face_layer(const RotatifRecord *self)
{
    if (!self->enabled)
        return 3;
    return self->dragging && self->pressedBitmap != nullptr ? 2 : 1;
}

// The face layer: the face (pressed while dragging) and, while disabled, the
// disabled picture or the cross over it.
static void draw_face(const RotatifRecord *self, HDC dc)
{
    bool pressed = face_layer(self) == 2;
    blit_face(self, dc, pressed ? self->pressedBitmap : self->faceBitmap);
    if (self->enabled)
        return;
    if (self->disabledBitmap != nullptr)
        blit_face(self, dc, self->disabledBitmap);
    else
        ctl_cross(dc, 4, 4, self->width - 4, self->height - 4);
}

// What goes over the face of an enabled knob: the focus mark and the pointer.
static void draw_marks(const RotatifRecord *self, HDC dc)
{
    if (!self->enabled)
        return;
    if (self->focused) {
        if (self->look == ROT_ROUND)
            ctl_dot(dc, self->centreX, self->height * 3 / 4);
        else
            ctl_focus_mark(dc, 0, 0);
    }
    POINT corners[4];
    pointer_polygon(self, corners);
    SelectObject(dc, ctl_pen(self->pointerPen));
    SelectObject(dc, ctl_brush(self->pointerBrush));
    Polygon(dc, corners, 4);
}

// Paints the whole knob into dc. The next direct redraw takes a new copy of
// the face layer: what lies around a round face may have changed.
static void rot_draw(RotatifRecord *self, HDC dc)
{
    instance_of(self)->backdropLayer = 0;
    draw_face(self, dc);
    draw_marks(self, dc);
}

// Keeps a copy of the face layer as it shows on the screen, background
// around a round face included, so that a redraw after a change is one
// copy and the marks: the masked blit reads the screen back, which costs
// far more than drawing. Returns 1 when the copy is there.
static int backdrop_ready(RotatifInstance *instance, HDC windowDc)
{
    const RotatifRecord *self = &instance->record;
    if (instance->backdropDc == nullptr) {
        if (self->width <= 0 || self->height <= 0)
            return 0;
        HDC dc = CreateCompatibleDC(windowDc);
        HBITMAP bitmap = dc != nullptr ? CreateCompatibleBitmap(windowDc, self->width, self->height)
                                       : nullptr;
        if (bitmap == nullptr) {
            if (dc != nullptr)
                DeleteDC(dc);
            return 0;
        }
        instance->backdropDc = dc;
        instance->backdrop = bitmap;
        instance->backdropOld = SelectObject(dc, bitmap);
    }
    draw_face(self, windowDc);
    BitBlt(instance->backdropDc, 0, 0, self->width, self->height, windowDc, 0, 0, SRCCOPY);
    instance->backdropLayer = face_layer(self);
    return 1;
}

static void backdrop_free(RotatifInstance *instance)
{
    if (instance->backdropDc != nullptr) {
        SelectObject(instance->backdropDc, instance->backdropOld);
        DeleteDC(instance->backdropDc);
    }
    ctl_delete_object(instance->backdrop);
    instance->backdropDc = nullptr;
    instance->backdropLayer = 0;
}

// Redraws at once after a change: the face layer from its copy (made anew
// when the layer changed), then the marks.
static void rot_redraw(HWND knob, RotatifRecord *self)
{
    HDC dc = GetDC(knob);
    if (dc == nullptr)
        return;
    RotatifInstance *instance = instance_of(self);
    if (instance->backdropLayer == face_layer(self))
        BitBlt(dc, 0, 0, self->width, self->height, instance->backdropDc, 0, 0, SRCCOPY);
    else if (!backdrop_ready(instance, dc))
        draw_face(self, dc);
    draw_marks(self, dc);
    ReleaseDC(knob, dc);
}

// ---------------------------------------------------------------------------
// 3. Value changes
// ---------------------------------------------------------------------------

// After a change of current: the pointer goes to the value's angle, and the
// knob is redrawn when it moved.
static void follow_value(HWND knob, RotatifRecord *self)
{
    float angle = ctl_scale_angle(&self->scale);
    if (angle == self->pointerAngle)
        return;
    self->pointerAngle = angle;
    rot_redraw(knob, self);
}

// The set-value rule: a value outside the range (NaN and infinities
// included) is refused, never clamped. Returns 1 when the value changed.
static int rot_set_value(HWND knob, RotatifRecord *self, float value)
{
    if (!std::isfinite(value) || !ctl_scale_in_range(&self->scale, value))
        return 0;
    if (value == self->scale.current)
        return 0;
    self->scale.current = value;
    follow_value(knob, self);
    return 1;
}

// Sets the value and notifies, changed or not (commands, reset, dialogs).
static void rot_set_and_notify(HWND knob, RotatifRecord *self, float value)
{
    rot_set_value(knob, self, value);
    rot_notify(self);
}

// Moves the value by n steps, clamped to the range. A step that changes
// nothing (0 steps, or clamped where it already was) notifies nothing.
static void rot_step(HWND knob, RotatifRecord *self, int n)
{
    if (n == 0)
        return;
    float value = ctl_scale_step(&self->scale, n);
    if (value == self->scale.current)
        return;
    self->scale.current = value;
    follow_value(knob, self);
    if (continuous(self))
        rot_notify(self);
}

// ---------------------------------------------------------------------------
// 4. Dragging, keys and the wheel
// ---------------------------------------------------------------------------

static void rot_begin_drag(HWND knob, RotatifRecord *self, int x, int y)
{
    SetFocus(knob);
    if (self->dragging || !self->enabled)
        return;
    SetCapture(knob);
    self->lastX = x;
    self->lastY = y;
    self->dragging = 1;
    rot_redraw(knob, self);
}

// Ends a drag: the face comes back, the value is notified, and a
// SpringReturn knob goes back to its default and notifies again. Nothing
// unless dragging.
static void rot_end_drag(HWND knob, RotatifRecord *self)
{
    if (!self->dragging)
        return;
    self->dragging = 0; // first: losing the capture now is no second end
    if (GetCapture() == knob)
        ReleaseCapture();
    rot_redraw(knob, self);
    rot_notify(self);
    if (!ctl_holds_instance_data(knob, self) || !has_style(self, SpringReturn))
        return;
    rot_set_and_notify(knob, self, self->scale.defaultValue);
}

// Linear mode: one pixel is one step, along the axis the mouse moved most.
// Up or right raises the value; in inverse mode down or right.
static void drag_linear(HWND knob, RotatifRecord *self, int x, int y)
{
    int dx = x - self->lastX, dy = y - self->lastY;
    int n = dx;
    if (std::abs(dy) > std::abs(dx))
        n = (g_rotMode & ROT_MODE_INVERSE) != 0 ? dy : -dy;
    rot_step(knob, self, n);
}

// The value of an end angle can land an ulp beyond its end (the slope and
// the sweep are rounded floats): such a value is the end itself.
static void keep_in_range(ValueScale *scale)
{
    if (scale->current > scale->maximum)
        scale->current = scale->maximum;
    if (scale->current < scale->minimum)
        scale->current = scale->minimum;
}

// Angular mode: the pointer follows the mouse around the centre; in the dead
// arc outside the sweep it snaps to the nearer end. Returns 0 for a move on
// the centre itself, which has no angle and is ignored.
static int drag_angular(HWND knob, RotatifRecord *self, int x, int y)
{
    float dx = (float)(x - self->centreX), ey = (float)(self->centreY - y);
    float r = std::sqrt(dx * dx + ey * ey);
    if (r <= 1e-20f)
        return 0;
    float theta = std::acos(std::clamp(dx / r, -1.0f, 1.0f));
    if (ey <= 0.0f)
        theta = CTL_TWO_PI - theta;
    const ValueScale &scale = self->scale;
    float d = scale.startAngle - theta;
    if (theta >= scale.startAngle)
        d += CTL_TWO_PI;
    if (d > self->sweep)
        theta = d <= self->deadMiddle ? scale.endAngle : scale.startAngle;
    if (theta != self->pointerAngle && ctl_scale_set_angle(&self->scale, theta)) {
        keep_in_range(&self->scale);
        self->pointerAngle = theta;
        rot_redraw(knob, self);
    }
    if (continuous(self))
        rot_notify(self);
    return 1;
}

// Every mouse move: a drag step while dragging; the position is kept.
static void rot_mouse_move(HWND knob, RotatifRecord *self, int x, int y)
{
    if (self->dragging) {
        if ((g_rotMode & ROT_MODE_ANGULAR) == 0)
            drag_linear(knob, self, x, y);
        else if (!drag_angular(knob, self, x, y))
            return;
        if (!ctl_holds_instance_data(knob, self)) // a continuous callback may have destroyed it
            return;
    }
    self->lastX = x;
    self->lastY = y;
}

// One wheel message: 5 steps a notch of 120, truncated toward zero, so
// deltas under 24 do nothing. Forward raises the value, in inverse mode
// lowers it.
static void rot_wheel(HWND knob, RotatifRecord *self, int delta)
{
    if (!self->enabled)
        return;
    int n = -5 * delta / 120;
    rot_step(knob, self, (g_rotMode & ROT_MODE_INVERSE) != 0 ? n : -n);
}

// ---------------------------------------------------------------------------
// 5. Edit box, time dialog and adjust popup
// ---------------------------------------------------------------------------

// The knob's centre on the screen: where the dialogs open.
static POINT rot_anchor(HWND knob, const RotatifRecord *self)
{
    POINT at = {self->centreX, self->centreY};
    ClientToScreen(knob, &at);
    return at;
}

// Opens the edit box at `at` showing `shown` with the scale's decimals.
// Returns 1 and the number typed in *typed, or 0 when the box came back
// empty or cancelled.
static int ask_number(const RotatifRecord *self, POINT at, float shown, float *typed)
{
    char text[kNumberTextSize];
    ctl_format_float(shown, text, sizeof text, self->scale.decimals & 0xFF, 0, 0);
    char *answer = ctl_edit_value(self->parent, kEditColours, at.x, at.y, kEditW, kEditH, text);
    int got = answer != nullptr && answer[0] != '\0';
    if (got)
        *typed = (float)ctl_parse_number(answer);
    std::free(answer);
    return got;
}

// Asks for a time in seconds at `at` in the time-entry dialog. Returns it, or
// CTL_TIME_CANCEL when nothing was entered.
static float ask_time(const RotatifRecord *self, POINT at)
{
    return ctl_time_dialog(self->parent, kEditColours, at.x, at.y, self->scale.current);
}

// The three edit paths, each when its style is set: decibels, the plain
// number, a time. A knob destroyed meanwhile ends it.
static void run_edits(HWND knob, RotatifRecord *self)
{
    float typed;
    POINT at = rot_anchor(knob, self);
    if (has_style(self, DecibelDisplay) && ask_number(self, at, ctl_decibels(self->scale.current), &typed)) {
        if (!ctl_holds_instance_data(knob, self))
            return;
        rot_set_and_notify(knob, self, ctl_from_decibels(typed));
    }
    if (!ctl_holds_instance_data(knob, self))
        return;
    if (has_style(self, EditNumber) && ask_number(self, at, self->scale.current, &typed)) {
        if (!ctl_holds_instance_data(knob, self))
            return;
        rot_set_and_notify(knob, self, typed);
    }
    if (!ctl_holds_instance_data(knob, self) || !has_style(self, EditTime))
        return;
    float time = ask_time(self, at);
    if (ctl_holds_instance_data(knob, self) && time != CTL_TIME_CANCEL)
        rot_set_and_notify(knob, self, time);
}

// The edit operation (Insert, Ctrl+click, middle click, command 103): only
// when enabled and editable.
static void rot_edit(HWND knob, RotatifRecord *self)
{
    if (!self->enabled || has_style(self, NoValueEdit))
        return;
    HWND outer = g_editingKnob;
    g_editingKnob = knob;
    run_edits(knob, self);
    g_editingKnob = outer;
}

// Opens the adjust popup a little up and left of the centre (Shift+click,
// Shift+right or middle click, command 104): only when enabled and editable.
static void rot_adjust(HWND knob, RotatifRecord *self)
{
    if (!self->enabled || has_style(self, NoValueEdit))
        return;
    POINT at = rot_anchor(knob, self);
    HWND popup = ctl_adjust_popup(self->parent, knob, self->style, at.x - kPopupOffset,
                                  at.y - kPopupOffset, ROT_CMD_POPUP_CLOSED, &self->notify,
                                  self->id, &self->scale);
    if (ctl_holds_instance_data(knob, self))
        self->popup = popup;
}

// Ends the dialogs that belong to the knob as it goes: its edit box or time
// dialog ends cancelled, its adjust popup closes.
static void close_dialogs(HWND knob, RotatifRecord *self)
{
    if (g_editingKnob == knob) {
        if (g_openEditDialog != nullptr)
            SendMessageA(g_openEditDialog, WM_CLOSE, 0, 0);
        if (g_openTimeDialog != nullptr)
            SendMessageA(g_openTimeDialog, WM_CLOSE, 0, 0);
    }
    HWND popup = self->popup;
    if (popup != nullptr && popup == g_openAdjustPopup && IsWindow(popup))
        SendMessageA(popup, WM_CLOSE, 0, 0);
    self->popup = nullptr;
}

// ---------------------------------------------------------------------------
// 6. Context menu
// ---------------------------------------------------------------------------

// Appends `text` to out (of size bytes), cutting it to fit.
static void append(char *out, size_t size, const char *text)
{
    size_t n = std::strlen(out);
    while (*text != '\0' && n + 1 < size)
        out[n++] = *text++;
    out[n] = '\0';
}

// "<before><value>[ db]<after>" or, with dbAfter, "<before><value><after>[ db]":
// the value as shown, with the plus sign, with `decimals` decimals.
static void value_text(const RotatifRecord *self, char *out, size_t size, const char *before,
                       float value, int decimals, const char *after, bool dbAfter)
{
    char number[kNumberTextSize];
    bool db = has_style(self, DecibelDisplay);
    ctl_format_float(shown_value(self, value), number, sizeof number, decimals, 0, 1);
    out[0] = '\0';
    append(out, size, before);
    append(out, size, number);
    if (db && !dbAfter)
        append(out, size, " db");
    append(out, size, after);
    if (db && dbAfter)
        append(out, size, " db");
}

static const int kMenuTextSize = 160;

// Decimals of the default, minimum and maximum items.
static int limit_decimals(const RotatifRecord *self) { return has_style(self, DecibelDisplay) ? 1 : 6; }

// Builds the context menu: the two mouse modes, and for an editable knob the
// value lines and commands. Returns it, or null when it cannot be made.
static HMENU build_menu(const RotatifRecord *self)
{
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr)
        return nullptr;
    AppendMenuA(menu, MF_STRING, ROT_CMD_INVERSE_MODE, "Inverse Mousemove Mode");
    AppendMenuA(menu, MF_STRING, ROT_CMD_ANGULAR_MODE, "Angular Mousemove Mode");
    if (has_style(self, NoValueEdit))
        return menu;
    char text[kMenuTextSize];
    const ValueScale &scale = self->scale;
    int decimals = limit_decimals(self);
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING | MF_DISABLED, ROT_CMD_CURRENT, "Current value : ");
    value_text(self, text, sizeof text, "Default value (", scale.defaultValue, decimals,
               ")\tDBLCLICK", false);
    AppendMenuA(menu, MF_STRING, ROT_CMD_DEFAULT, text);
    AppendMenuA(menu, MF_STRING, ROT_CMD_EDIT, "Edit Value\tINS [CTRL+CLICK]");
    AppendMenuA(menu, MF_STRING, ROT_CMD_ADJUST, "Adjust Value\t[SHIFT+CLICK]");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    value_text(self, text, sizeof text, "Value Min (", scale.minimum, decimals, ")", true);
    AppendMenuA(menu, MF_STRING, ROT_CMD_MINIMUM, text);
    value_text(self, text, sizeof text, "Value Max (", scale.maximum, decimals, ")", true);
    AppendMenuA(menu, MF_STRING, ROT_CMD_MAXIMUM, text);
    return menu;
}

static void check_item(HMENU menu, UINT id, bool checked)
{
    CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

// Brings the menu up to date just before it shows: the mode items' checks
// and greying, the current value's line and the checks of the default,
// minimum, maximum and preset items.
static void refresh_menu(const RotatifRecord *self)
{
    HMENU menu = self->menu;
    check_item(menu, ROT_CMD_INVERSE_MODE, (g_rotMode & ROT_MODE_INVERSE) != 0);
    EnableMenuItem(menu, ROT_CMD_INVERSE_MODE,
                   MF_BYCOMMAND | ((g_rotMode & ROT_MODE_ANGULAR) != 0 ? MF_GRAYED : MF_ENABLED));
    check_item(menu, ROT_CMD_ANGULAR_MODE, (g_rotMode & ROT_MODE_ANGULAR) != 0);
    if (has_style(self, NoValueEdit))
        return;
    const ValueScale &scale = self->scale;
    char text[kMenuTextSize];
    value_text(self, text, sizeof text, "Current value : ", scale.current, scale.decimals & 0xFF,
               "", false);
    ModifyMenuA(menu, ROT_CMD_CURRENT, MF_BYCOMMAND | MF_STRING | MF_DISABLED, ROT_CMD_CURRENT,
                text);
    check_item(menu, ROT_CMD_DEFAULT, scale.current == scale.defaultValue);
    check_item(menu, ROT_CMD_MINIMUM, scale.current == scale.minimum);
    check_item(menu, ROT_CMD_MAXIMUM, scale.current == scale.maximum);
    for (int i = 0; i < self->presetCount; ++i)
        check_item(menu, ROT_CMD_PRESET + i, scale.current == self->presets[i]);
}

// Shows the menu at client point (x, y); the chosen command comes back to
// the knob as WM_COMMAND. The menu is brought up to date on
// WM_INITMENUPOPUP, as it opens.
static void open_menu(HWND knob, const RotatifRecord *self, int x, int y)
{
    if (self->menu == nullptr)
        return;
    POINT at = {x, y};
    ClientToScreen(knob, &at);
    TrackPopupMenu(self->menu, 0, at.x, at.y, 0, knob, nullptr);
}

// ---------------------------------------------------------------------------
// 7. Message handlers
// ---------------------------------------------------------------------------

// Copies the creation record into a new instance record and sets the knob
// up. Returns 0, or -1 (creation fails) without a record or memory for it.
static LRESULT rot_create(HWND knob, LPARAM lParam)
{
    const CREATESTRUCTA *cs = reinterpret_cast<const CREATESTRUCTA *>(lParam);
    const RotatifRecord *record = static_cast<const RotatifRecord *>(cs->lpCreateParams);
    if (record == nullptr)
        return -1;
    RotatifInstance *instance = static_cast<RotatifInstance *>(std::malloc(sizeof *instance));
    if (instance == nullptr)
        return -1;
    ctl_zero(instance, sizeof *instance);
    RotatifRecord *self = &instance->record;
    ctl_set_instance_data(knob, self);
    ctl_copy(self, record, sizeof *self);
    if (has_style(self, DecibelDisplay))
        self->scale.decimals = 3;
    float sweep = ctl_scale_setup(&self->scale, self->startDegrees, self->endDegrees);
    self->self = knob;
    self->popup = nullptr;
    self->enabled = 1;
    self->focused = 0;
    self->dragging = 0;
    self->presetCount = std::min<uint16_t>(self->presetCount, ROT_MAX_PRESETS);
    self->pointerAngle = ctl_scale_angle(&self->scale);
    self->mask = self->look == ROT_ROUND ? ctl_round_mask(knob, self->width) : nullptr;
    self->sweep = sweep;
    self->deadMiddle = sweep + (CTL_TWO_PI - sweep) * 0.5f;
    self->menu = nullptr;
    self->menu = build_menu(self);
    return 0;
}

// Closes the knob's dialogs, lets go of the capture, destroys the menu and
// frees the record. The record is detached first, drag and all: closing the
// popup hands the capture on, and the drag it ended would report to an
// owner that may destroy the knob again, inside its own destruction.
static LRESULT rot_destroy(HWND knob, RotatifRecord *self, WPARAM wParam, LPARAM lParam)
{
    if (self != nullptr) {
        self->dragging = 0;
        ctl_set_instance_data(knob, nullptr);
        close_dialogs(knob, self);
        if (GetCapture() == knob)
            ReleaseCapture();
        if (self->menu != nullptr)
            DestroyMenu(self->menu);
        backdrop_free(instance_of(self));
        std::free(instance_of(self));
    }
    return DefWindowProcA(knob, WM_DESTROY, wParam, lParam);
}

static LRESULT rot_paint(HWND knob, RotatifRecord *self)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(knob, &ps);
    if (self != nullptr && dc != nullptr)
        rot_draw(self, dc);
    EndPaint(knob, &ps);
    return 0;
}

static LRESULT rot_focus(HWND knob, RotatifRecord *self, UINT message, WPARAM wParam,
                         LPARAM lParam)
{
    if (self == nullptr)
        return DefWindowProcA(knob, message, wParam, lParam);
    self->focused = message == WM_SETFOCUS ? 1 : 0;
    InvalidateRect(knob, nullptr, FALSE);
    return 0;
}

static LRESULT rot_mouse_activate(HWND knob, WPARAM wParam, LPARAM lParam)
{
    if (GetFocus() != knob)
        SetFocus(knob);
    return DefWindowProcA(knob, WM_MOUSEACTIVATE, wParam, lParam);
}

// Tab and Escape go to the owner; the arrows step (not while dragging, nor
// on a SpringReturn or disabled knob); Insert edits.
static LRESULT rot_key(HWND knob, RotatifRecord *self, WPARAM key, LPARAM lParam)
{
    if (key == VK_TAB || key == VK_ESCAPE) {
        PostMessageA(self->parent, WM_KEYDOWN, key, lParam);
        return 0;
    }
    if (key == VK_INSERT) {
        if (!self->dragging && !has_style(self, NoValueEdit))
            rot_edit(knob, self);
        return 0;
    }
    if (self->dragging || has_style(self, SpringReturn) || !self->enabled)
        return 0;
    switch (key) {
    case VK_LEFT: rot_step(knob, self, -1); break;
    case VK_RIGHT: rot_step(knob, self, 1); break;
    case VK_UP: rot_step(knob, self, 10); break;
    case VK_DOWN: rot_step(knob, self, -10); break;
    }
    return 0;
}

// Commands 1-4 from the owner, and the menu's and popup's commands.
static LRESULT rot_command(HWND knob, RotatifRecord *self, WPARAM wParam, LPARAM lParam)
{
    unsigned id = LOWORD(wParam);
    switch (id) {
    case CTL_CMD_ENABLE:
        if (!self->enabled) {
            self->enabled = 1;
            InvalidateRect(knob, nullptr, FALSE);
        }
        return 0;
    case CTL_CMD_DISABLE:
        if (self->enabled) {
            rot_end_drag(knob, self); // a held knob lets go first
            if (!ctl_holds_instance_data(knob, self))
                return 0;
            self->enabled = 0;
            InvalidateRect(knob, nullptr, FALSE);
        }
        return 0;
    case CTL_CMD_GET: return (LRESULT)ctl_float_bits(self->scale.current);
    case CTL_CMD_SET: rot_set_value(knob, self, ctl_as_float((uint32_t)lParam)); return 0;
    case ROT_CMD_INVERSE_MODE:
        if (g_rotMode == 0 || g_rotMode == ROT_MODE_INVERSE)
            g_rotMode ^= ROT_MODE_INVERSE;
        return 0;
    case ROT_CMD_ANGULAR_MODE:
        if ((g_rotMode & ROT_MODE_ANGULAR) != 0)
            g_rotMode &= ROT_MODE_INVERSE;
        else
            g_rotMode |= ROT_MODE_ANGULAR;
        return 0;
    case ROT_CMD_DEFAULT: rot_set_and_notify(knob, self, self->scale.defaultValue); return 0;
    case ROT_CMD_MINIMUM: rot_set_and_notify(knob, self, self->scale.minimum); return 0;
    case ROT_CMD_MAXIMUM: rot_set_and_notify(knob, self, self->scale.maximum); return 0;
    case ROT_CMD_EDIT: rot_edit(knob, self); return 0;
    case ROT_CMD_ADJUST: rot_adjust(knob, self); return 0;
    case ROT_CMD_POPUP_CLOSED: self->popup = nullptr; return 0;
    }
    if (id >= ROT_CMD_PRESET && id < (unsigned)ROT_CMD_PRESET + self->presetCount)
        rot_set_and_notify(knob, self, self->presets[id - ROT_CMD_PRESET]);
    return 0;
}

static LRESULT rot_left_down(HWND knob, RotatifRecord *self, WPARAM keys, LPARAM lParam)
{
    if ((keys & MK_CONTROL) != 0) {
        rot_edit(knob, self);
        return DefWindowProcA(knob, WM_LBUTTONDOWN, keys, lParam);
    }
    if ((keys & MK_SHIFT) != 0) {
        rot_adjust(knob, self);
        return DefWindowProcA(knob, WM_LBUTTONDOWN, keys, lParam);
    }
    rot_begin_drag(knob, self, (short)LOWORD(lParam), (short)HIWORD(lParam));
    return 0;
}

static LRESULT rot_double_click(HWND knob, RotatifRecord *self)
{
    if (self->enabled)
        rot_set_and_notify(knob, self, self->scale.defaultValue);
    return 0;
}

static LRESULT rot_right_down(HWND knob, RotatifRecord *self, WPARAM keys, LPARAM lParam)
{
    if (!self->enabled || self->dragging)
        return 0;
    if ((keys & MK_SHIFT) != 0)
        rot_adjust(knob, self);
    else
        open_menu(knob, self, LOWORD(lParam), HIWORD(lParam));
    return 0;
}

static LRESULT rot_middle_down(HWND knob, RotatifRecord *self, WPARAM keys, LPARAM lParam)
{
    if (self->dragging)
        return DefWindowProcA(knob, WM_MBUTTONDOWN, keys, lParam);
    if ((keys & MK_SHIFT) != 0)
        rot_adjust(knob, self);
    else
        rot_edit(knob, self);
    return 0;
}

// The capture went elsewhere in the middle of a drag: the drag ends there.
static LRESULT rot_capture_changed(HWND knob, RotatifRecord *self, LPARAM lParam)
{
    if ((HWND)lParam != knob)
        rot_end_drag(knob, self);
    return 0;
}

static LRESULT rot_init_menu(const RotatifRecord *self, HMENU menu)
{
    if (menu == self->menu && menu != nullptr)
        refresh_menu(self);
    return 0;
}

// ---------------------------------------------------------------------------
// 8. Window procedure
// ---------------------------------------------------------------------------

LRESULT CALLBACK ctl_rotatif_proc(HWND knob, UINT message, WPARAM wParam, LPARAM lParam)
{
    RotatifRecord *self = static_cast<RotatifRecord *>(ctl_get_instance_data(knob));
    int x = (short)LOWORD(lParam), y = (short)HIWORD(lParam);
    switch (message) {
    case WM_NCCREATE: ctl_set_instance_data(knob, nullptr); break;
    case WM_CREATE: return rot_create(knob, lParam);
    case WM_DESTROY: return rot_destroy(knob, self, wParam, lParam);
    case WM_CLOSE: DestroyWindow(knob); return 0;
    case WM_PAINT: return rot_paint(knob, self);
    case WM_SETFOCUS:
    case WM_KILLFOCUS: return rot_focus(knob, self, message, wParam, lParam);
    case WM_MOUSEACTIVATE: return rot_mouse_activate(knob, wParam, lParam);
    }
    if (self == nullptr)
        return DefWindowProcA(knob, message, wParam, lParam);
    switch (message) {
    case WM_KEYDOWN: return rot_key(knob, self, wParam, lParam);
    case WM_COMMAND: return rot_command(knob, self, wParam, lParam);
    case WM_LBUTTONDOWN: return rot_left_down(knob, self, wParam, lParam);
    case WM_MOUSEMOVE: rot_mouse_move(knob, self, x, y); return 0;
    case WM_LBUTTONUP: rot_end_drag(knob, self); return 0;
    case WM_LBUTTONDBLCLK: return rot_double_click(knob, self);
    case WM_RBUTTONDOWN: return rot_right_down(knob, self, wParam, lParam);
    case WM_MBUTTONDOWN: return rot_middle_down(knob, self, wParam, lParam);
    case WM_MOUSEWHEEL: rot_wheel(knob, self, (short)HIWORD(wParam)); return 0;
    case WM_CAPTURECHANGED: return rot_capture_changed(knob, self, lParam);
    case WM_INITMENUPOPUP: return rot_init_menu(self, (HMENU)wParam);
    case WM_WINDOWPOSCHANGED: instance_of(self)->backdropLayer = 0; break; // a new background
    }
    return DefWindowProcA(knob, message, wParam, lParam);
}

// ---------------------------------------------------------------------------
// 9. Creation
// ---------------------------------------------------------------------------

HWND ctl_create_rotatif(HWND parent, int id, int x, int y, const RotatifRecord *record)
{
    RotatifRecord copy;
    ctl_zero(&copy, sizeof copy);
    if (record != nullptr)
        copy = *record;
    copy.parent = parent;
    copy.id = (uint16_t)id;
    if (copy.width == 0)
        ctl_bitmap_size(copy.faceBitmap, &copy.width, &copy.height);
    HWND knob = CreateWindowExA(0, CTL_CLASS_ROTATIF, nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP, x,
                                y, copy.width, copy.height, parent, (HMENU)(UINT_PTR)(uint16_t)id,
                                ctl_instance(), &copy);
    if (knob != nullptr)
        UpdateWindow(knob);
    return knob;
}
