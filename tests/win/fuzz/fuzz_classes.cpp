// The seven toolkit classes under fire: for each, a random set-up (proper for
// the class's contract, but with every option and odd numbers), the messages
// only it understands, and the check after each message.
//
// Contents: 1. Free panel  2. I2p  3. Slide  4. Rotatif  5. Vgrid
//           6. 2DList  7. 3DList  8. the table
#include "tests/win/fuzz/fuzz.h"

#include "toolkit/qk2ctl.h"

#include <cfloat>
#include <cmath>
#include <cstring>

namespace {

const int kId = 7;    // every subject's control id
const int kLeft = 10; // and position in the host
const int kTop = 10;

FuzzRun *run_of(void *userData) { return static_cast<FuzzRun *>(userData); }

// A notify target: posted to the host, or the fuzzer's callback.
NotifyTarget random_target(FuzzRun *run, uint32_t extraFlags)
{
    NotifyTarget target = {run->host, nullptr, extraFlags, run};
    if (fuzz_chance(run, 60)) {
        target.callback = fuzz_notify;
        target.flags |= CTL_NOTIFY_CALLBACK;
    }
    return target;
}

// A finite float for a set-up: ordinary, tiny, huge or zero.
float finite_value(FuzzRun *run)
{
    switch (fuzz_below(run, 8)) {
    case 0: return 0.0f;
    case 1: return (float)fuzz_range(run, -5, 5);
    case 2: return fuzz_chance(run, 50) ? FLT_MAX : -FLT_MAX;
    case 3: return fuzz_chance(run, 50) ? 1e-40f : -1e-40f; // denormal
    case 4: return (float)fuzz_range(run, -100000, 100000) * 0.001f;
    default: return (float)fuzz_range(run, -1000, 1000);
    }
}

// An ordered finite range low < high, sometimes very wide or very narrow.
void finite_range(FuzzRun *run, float *low, float *high)
{
    switch (fuzz_below(run, 6)) {
    case 0:
        *low = -FLT_MAX;
        *high = FLT_MAX;
        return;
    case 1:
        *low = 1.0f;
        *high = std::nextafter(1.0f, 2.0f);
        return;
    case 2:
        *low = 0.0f;
        *high = 1.0f;
        return;
    default: break;
    }
    float a = finite_value(run), b = finite_value(run);
    if (a == b)
        b = a + 1.0f;
    if (!std::isfinite(b) || a == b) {
        a = -1.0f;
        b = 1.0f;
    }
    *low = a < b ? a : b;
    *high = a < b ? b : a;
}

// A step for a set-up: ordinary, zero, negative, tiny or huge.
float random_step(FuzzRun *run)
{
    switch (fuzz_below(run, 7)) {
    case 0: return 0.0f;
    case 1: return -1.0f;
    case 2: return 1e-30f;
    case 3: return 1e30f;
    case 4: return 2.0f;
    default: return (float)fuzz_range(run, 1, 100) * 0.01f;
    }
}

// Bitmaps of the subjects: shared for the whole process.
HBITMAP face(int w, int h) { return fuzz_bitmap(w, h, RGB(0, 0, 160)); }
HBITMAP pressed_face(int w, int h) { return fuzz_bitmap(w, h, RGB(0, 140, 0)); }
HBITMAP grey(int w, int h) { return fuzz_bitmap(w, h, RGB(120, 120, 120)); }

// A preset list of any values.
uint16_t random_presets(FuzzRun *run, float *presets, float low, float high)
{
    uint16_t count =
        (uint16_t)(fuzz_chance(run, 10) ? fuzz_rand(run) & 0xFFFF : fuzz_below(run, 17));
    for (int i = 0; i < 16; ++i)
        presets[i] = fuzz_float(run, low, high);
    return count;
}

// Menu and owner commands of a class: the listed ones most of the time.
void throw_commands(FuzzRun *run, HWND control, const int *ids, int count, float low, float high)
{
    WPARAM command =
        fuzz_chance(run, 85) ? (WPARAM)ids[fuzz_below(run, count)] : fuzz_rand(run) & 0xFFFF;
    fuzz_send(run, control, WM_COMMAND, command, (LPARAM)fuzz_float_bits(run, low, high));
}

bool finite(float v) { return std::isfinite(v); }

// ---------------------------------------------------------------------------
// 1. Free panel: the callback paints, and in a hostile life refuses to be
//    made or closes its panel from a click.
// ---------------------------------------------------------------------------

LRESULT free_callback(HWND panel, UINT message, WPARAM wParam, LPARAM lParam, void *userData)
{
    FuzzRun *run = run_of(userData);
    switch (message) {
    case WM_CREATE: return run->hostile && fuzz_chance(run, 10) ? -1 : 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(panel, &ps);
        FillRect(dc, &ps.rcPaint, ctl_brush(13));
        ctl_text(dc, ctl_colour_word(0, 13, 6), 2, 2, "Free");
        EndPaint(panel, &ps);
        return 0;
    }
    case WM_LBUTTONDOWN:
        if (run->hostile && fuzz_chance(run, 5)) {
            fuzz_note(run, "panel callback: destroy");
            DestroyWindow(panel);
            return 0;
        }
        break;
    }
    return DefWindowProcA(panel, message, wParam, lParam);
}

HWND free_create(FuzzRun *run)
{
    return ctl_create_free_panel(run->host, kId, kLeft, kTop, fuzz_range(run, 0, 300),
                                 fuzz_range(run, 0, 250), free_callback, run);
}

void free_message(FuzzRun *run, HWND panel)
{
    UINT message = WM_USER + (UINT)fuzz_below(run, 0x400);
    fuzz_send(run, panel, message, fuzz_rand(run), fuzz_rand(run));
}

int free_check(FuzzRun *run, HWND panel)
{
    const FreePanel *self = static_cast<const FreePanel *>(ctl_get_instance_data(panel));
    if (self->callback != free_callback || self->userData != run) {
        fuzz_fail(run, "the Free panel lost its callback");
        return 0;
    }
    return 1;
}

// ---------------------------------------------------------------------------
// 2. I2p
// ---------------------------------------------------------------------------

HWND i2p_create(FuzzRun *run)
{
    static const uint32_t kBehaviours[] = {
        I2P_PUSH,      I2P_PUSH | I2P_AUTO_REPEAT, I2P_TOGGLE,      I2P_SET_ONLY,
        I2P_INDICATOR, I2P_INDICATOR | 1,          I2P_AUTO_REPEAT, 0};
    I2pLook look = {};
    int d = fuzz_range(run, 8, 64);
    look.offBitmap = face(d, d);
    look.onBitmap = pressed_face(d, d);
    look.disabledBitmap = fuzz_chance(run, 30) ? grey(d, d) : nullptr;
    if (fuzz_chance(run, 50)) {
        look.width = fuzz_range(run, 0, 70);
        look.height = fuzz_range(run, 0, 70);
    }
    look.look = fuzz_chance(run, 40) ? I2P_ROUND : fuzz_rand(run) & 6;
    look.behaviour = fuzz_chance(run, 90) ? kBehaviours[fuzz_below(run, 8)] : fuzz_rand(run);
    NotifyTarget target = random_target(run, 0);
    if (fuzz_chance(run, 20))
        return ctl_create_lamp_button(run->host, kId, kLeft, kTop, fuzz_rand(run));
    return ctl_create_i2p(run->host, kId, kLeft, kTop, &look, &target);
}

void i2p_message(FuzzRun *run, HWND button)
{
    switch (fuzz_below(run, 4)) {
    case 0: {
        UINT key = fuzz_chance(run, 50) ? VK_RETURN : VK_SPACE;
        fuzz_send(run, button, fuzz_chance(run, 50) ? WM_KEYDOWN : WM_KEYUP, key, 1);
        break;
    }
    case 1: fuzz_send(run, button, WM_TIMER, I2P_TIMER_ID, 0); break;
    default: {
        static const int kCommands[] = {1, 2, 3, 4, 4, 4, 5, 0};
        throw_commands(run, button, kCommands, 8, 0.0f, 1.0f);
        break;
    }
    }
}

int i2p_check(FuzzRun *run, HWND button)
{
    const I2pRecord *self = static_cast<const I2pRecord *>(ctl_get_instance_data(button));
    float v = ctl_send_command(button, CTL_CMD_GET, 0);
    fuzz_trace_value(run, ctl_float_bits(v));
    if (v != 0.0f && v != 1.0f) {
        fuzz_fail(run, "I2p answers command 3 with %g", v);
        return 0;
    }
    if (!self->pressed && self->timerId != 0) {
        fuzz_fail(run, "I2p keeps its repeat timer without a press");
        return 0;
    }
    return 1;
}

// ---------------------------------------------------------------------------
// 3. Slide
// ---------------------------------------------------------------------------

HWND slide_create(FuzzRun *run)
{
    SlideRecord r = {};
    bool horizontal = fuzz_chance(run, 50);
    r.width = fuzz_range(run, 0, 260);
    r.height = fuzz_range(run, 0, 200);
    int tw = fuzz_range(run, 0, 40), th = fuzz_range(run, 0, 40);
    r.background = face(64, 64);
    r.draggingBackground = fuzz_chance(run, 40) ? pressed_face(64, 64) : nullptr;
    r.disabledBitmap = fuzz_chance(run, 30) ? grey(64, 64) : nullptr;
    r.minMargin = (uint16_t)(fuzz_chance(run, 10) ? fuzz_rand(run) : fuzz_below(run, 30));
    r.maxMargin = (uint16_t)(fuzz_chance(run, 10) ? fuzz_rand(run) : fuzz_below(run, 30));
    r.look = fuzz_chance(run, 30) ? SLIDE_ROUND : 0;
    static const uint32_t kEdits[] = {0, SLIDE_EDIT_NUMBER, SLIDE_DECIBELS, SLIDE_EDIT_TIME,
                                      SLIDE_EDIT_NUMBER | SLIDE_DECIBELS | SLIDE_EDIT_TIME};
    r.style = (horizontal ? SLIDE_HORIZONTAL : 0) | kEdits[fuzz_below(run, 5)];
    r.thumbCross = fuzz_range(run, -10, 60);
    r.anchorY = fuzz_range(run, -10, 60);
    r.notify = random_target(run, fuzz_chance(run, 50) ? SLIDE_CONTINUOUS : 0);
    ValueScale &s = r.scale;
    s.minimum = finite_value(run);
    s.maximum = finite_value(run);
    s.defaultValue = finite_value(run);
    s.step = random_step(run);
    s.decimals = fuzz_chance(run, 10) ? (int32_t)fuzz_rand(run) : fuzz_range(run, 0, 8);
    s.flags = (horizontal ? SLIDE_DELTAS_AS_IS : 0) | (fuzz_chance(run, 25) ? LogScale : 0);
    if (fuzz_chance(run, 10))
        s.flags ^= SLIDE_DELTAS_AS_IS;
    r.thumbBitmap = fuzz_chance(run, 60) && tw > 0 && th > 0 ? face(tw, th) : nullptr;
    r.thumbWidth = tw;
    r.thumbHeight = th;
    r.thumbPen = (uint16_t)fuzz_below(run, 20);
    r.thumbBrush = (uint16_t)fuzz_below(run, 20);
    r.presetCount = random_presets(run, r.presets, s.minimum, s.maximum);
    return ctl_create_slide(run->host, kId, kLeft, kTop, &r);
}

void slide_message(FuzzRun *run, HWND slide)
{
    const SlideRecord *s = static_cast<const SlideRecord *>(ctl_get_instance_data(slide));
    static const int kCommands[] = {1,   2,   3,   4,   4,   10,  12,  50,  100, 101, 102,
                                    103, 600, 601, 607, 615, 616, 599, 103, 100, 4,   3};
    throw_commands(run, slide, kCommands, 22, s->scale.minimum, s->scale.maximum);
}

int slide_check(FuzzRun *run, HWND slide)
{
    const SlideRecord *s = static_cast<const SlideRecord *>(ctl_get_instance_data(slide));
    float v = ctl_send_command(slide, CTL_CMD_GET, 0);
    fuzz_trace_value(run, ctl_float_bits(v));
    float low = std::fmin(s->scale.minimum, s->scale.maximum);
    float high = std::fmax(s->scale.minimum, s->scale.maximum);
    if (!(v >= low && v <= high)) {
        fuzz_fail(run, "Slide answers command 3 with %g outside %g..%g", v, low, high);
        return 0;
    }
    if (!finite(s->thumbPos)) {
        fuzz_fail(run, "Slide thumb at %g", s->thumbPos);
        return 0;
    }
    if (s->dragging && !s->enabled) {
        fuzz_fail(run, "a disabled Slide is dragging");
        return 0;
    }
    return 1;
}

// ---------------------------------------------------------------------------
// 4. Rotatif
// ---------------------------------------------------------------------------

HWND rotatif_create(FuzzRun *run)
{
    RotatifRecord r = {};
    int d = fuzz_range(run, 8, 96);
    r.width = fuzz_chance(run, 20) ? 0 : d;
    r.height = d;
    r.faceBitmap = face(d, d);
    r.pressedBitmap = fuzz_chance(run, 40) ? pressed_face(d, d) : nullptr;
    r.disabledBitmap = fuzz_chance(run, 30) ? grey(d, d) : nullptr;
    r.startDegrees = (uint16_t)(fuzz_chance(run, 70) ? 225 : fuzz_rand(run));
    r.endDegrees = (uint16_t)(fuzz_chance(run, 70) ? 315 : fuzz_rand(run));
    r.look = fuzz_chance(run, 50) ? ROT_ROUND : 0;
    static const uint32_t kStyles[] = {EditNumber,  EditTime,     DecibelDisplay,
                                       NoValueEdit, ShortPointer, SpringReturn};
    for (uint32_t style : kStyles)
        if (fuzz_chance(run, 30))
            r.style |= style;
    r.centreX = fuzz_chance(run, 80) ? d / 2 : fuzz_range(run, -20, 120);
    r.centreY = fuzz_chance(run, 80) ? d / 2 : fuzz_range(run, -20, 120);
    r.notify = random_target(run, fuzz_chance(run, 50) ? ROT_NOTIFY_CONTINUOUS : 0);
    ValueScale &s = r.scale;
    if (fuzz_chance(run, 30)) { // logarithmic: both ends above 0
        s.flags = LogScale;
        s.minimum = (float)fuzz_range(run, 1, 100) * 0.01f;
        s.maximum = s.minimum * (float)fuzz_range(run, 2, 100000);
        s.step =
            fuzz_chance(run, 80) ? 1.0f + (float)fuzz_range(run, 1, 100) * 0.01f : random_step(run);
    } else {
        finite_range(run, &s.minimum, &s.maximum);
        s.step = random_step(run);
    }
    float t = (float)fuzz_below(run, 1001) * 0.001f;
    s.defaultValue = s.minimum + (s.maximum - s.minimum) * t;
    if (!(s.defaultValue >= s.minimum && s.defaultValue <= s.maximum))
        s.defaultValue = s.minimum;
    s.decimals = fuzz_chance(run, 10) ? (int32_t)fuzz_rand(run) : fuzz_range(run, 0, 8);
    r.pointerLength = fuzz_range(run, 0, 60);
    r.pointerWidth = fuzz_range(run, 0, 10);
    r.pointerPen = (uint16_t)fuzz_below(run, 20);
    r.pointerBrush = (uint16_t)fuzz_below(run, 20);
    r.presetCount = random_presets(run, r.presets, s.minimum, s.maximum);
    if (fuzz_chance(run, 20))
        g_rotMode = (int32_t)fuzz_below(run, 4);
    return ctl_create_rotatif(run->host, kId, kLeft, kTop, &r);
}

void rotatif_message(FuzzRun *run, HWND knob)
{
    const RotatifRecord *self = static_cast<const RotatifRecord *>(ctl_get_instance_data(knob));
    switch (fuzz_below(run, 8)) {
    case 0: // Shift+click, Shift+right or middle click: the adjust popup
        fuzz_send(run, knob, fuzz_chance(run, 50) ? WM_LBUTTONDOWN : WM_RBUTTONDOWN, MK_SHIFT,
                  fuzz_point(run, knob));
        return;
    case 1:
        fuzz_note(run, "mouse mode");
        g_rotMode = (int32_t)fuzz_below(run, 4);
        return;
    default: {
        static const int kCommands[] = {1,   2,   3,   4,   4,   10,  12,  50,  100, 101, 102,
                                        103, 104, 104, 105, 600, 601, 615, 616, 599, 4,   3};
        throw_commands(run, knob, kCommands, 22, self->scale.minimum, self->scale.maximum);
        return;
    }
    }
}

int rotatif_check(FuzzRun *run, HWND knob)
{
    const RotatifRecord *self = static_cast<const RotatifRecord *>(ctl_get_instance_data(knob));
    float v = ctl_send_command(knob, CTL_CMD_GET, 0);
    fuzz_trace_value(run, ctl_float_bits(v));
    if (!(v >= self->scale.minimum && v <= self->scale.maximum)) {
        fuzz_fail(run, "Rotatif answers command 3 with %g outside %g..%g", v, self->scale.minimum,
                  self->scale.maximum);
        return 0;
    }
    if (!finite(self->pointerAngle)) {
        fuzz_fail(run, "Rotatif pointer at %g", self->pointerAngle);
        return 0;
    }
    if (self->popup != nullptr && !IsWindow(self->popup)) {
        fuzz_fail(run, "Rotatif keeps a popup that is gone");
        return 0;
    }
    if (self->dragging && !self->enabled) {
        fuzz_fail(run, "a disabled Rotatif is dragging");
        return 0;
    }
    return 1;
}

// ---------------------------------------------------------------------------
// 5. Vgrid: items of every type; callbacks that draw, and in a hostile life
//    clear the items, destroy the grid or change it while it reports.
// ---------------------------------------------------------------------------

FuzzRun *grid_run(const VgridContext *context)
{
    return reinterpret_cast<FuzzRun *>((uintptr_t)context->userValue);
}

void draw_item(VgridContext *c)
{
    if (c->dc == nullptr)
        return;
    SelectObject(c->dc, ctl_pen(0));
    SelectObject(c->dc, ctl_brush(c->value != nullptr && *c->value != 0.0f ? 3 : 5));
    Rectangle(c->dc, c->left, c->top, c->right, c->bottom);
}

int32_t grid_callback(VgridContext *c, int32_t code)
{
    FuzzRun *run = grid_run(c);
    switch (code) {
    case VGRID_CODE_CREATE: return run->hostile && fuzz_chance(run, 5) ? 0 : 1;
    case VGRID_CODE_PAINT: {
        RECT rc = {c->left, c->top, c->right, c->bottom};
        FillRect(c->dc, &rc, ctl_brush(9));
        return 0;
    }
    case VGRID_CODE_DRAW: draw_item(c); return 0;
    }
    return 0;
}

// The item callback: draws, and hears changes.
int32_t item_callback(VgridContext *c, int32_t code)
{
    FuzzRun *run = grid_run(c);
    if (code == VGRID_CODE_DRAW) {
        draw_item(c);
        return 0;
    }
    if (code != VGRID_CODE_CHANGED || !run->hostile || run->sent >= run->budget)
        return 0;
    if (c->value != nullptr)
        fuzz_trace_value(run, ctl_float_bits(*c->value));
    switch (fuzz_below(run, 20)) {
    case 0:
        fuzz_note(run, "item callback: clear");
        ctl_vgrid_clear(c->window);
        break;
    case 1:
        fuzz_note(run, "item callback: destroy");
        DestroyWindow(c->window);
        break;
    case 2:
        fuzz_note(run, "item callback: zoom");
        ctl_vgrid_set_zoom(c->window, fuzz_float(run, 50, 200));
        break;
    case 3:
        fuzz_note(run, "item callback: set value");
        ctl_vgrid_set_value(c->window, (uint32_t)fuzz_range(run, 0, 6), fuzz_float(run, -10, 10));
        break;
    }
    return 0;
}

void random_item(FuzzRun *run, HWND grid, VgridItem *item)
{
    const VgridRecord *record = ctl_vgrid_record(grid);
    int32_t lw = record->context.logicalWidth, lh = record->context.logicalHeight;
    *item = {};
    item->id = (int32_t)fuzz_rand(run);
    item->type = fuzz_chance(run, 95) ? (uint32_t)fuzz_below(run, 5) : fuzz_rand(run);
    int32_t w = lw > 1 ? fuzz_range(run, 1, lw < 400 ? lw : 400) : 1;
    int32_t h = lh > 1 ? fuzz_range(run, 1, lh < 400 ? lh : 400) : 1;
    item->left = fuzz_range(run, -5, lw);
    item->top = fuzz_range(run, -5, lh);
    item->right = item->left + w;
    item->bottom = item->top + h;
    if (item->type == VGRID_MULTIPLY) {
        item->minimum = (float)fuzz_range(run, 1, 100) * 0.01f;
        item->maximum = item->minimum * (float)fuzz_range(run, 1, 1000);
        item->leftStep = fuzz_chance(run, 80) ? 1.01f : random_step(run);
        item->rightStep = fuzz_chance(run, 80) ? 0.99f : random_step(run);
    } else if (fuzz_chance(run, 10)) {
        item->minimum = -INFINITY;
        item->maximum = INFINITY;
        item->leftStep = random_step(run);
        item->rightStep = random_step(run);
    } else {
        finite_range(run, &item->minimum, &item->maximum);
        item->leftStep = random_step(run);
        item->rightStep = random_step(run);
    }
    item->value = fuzz_float(run, item->minimum, item->maximum);
    if (std::isnan(item->value))
        item->value = item->minimum;
    item->user = fuzz_rand(run);
    item->itemCallback = fuzz_chance(run, 50) ? item_callback : nullptr;
}

HWND vgrid_create(FuzzRun *run)
{
    static const DWORD kStyles[] = {0, WS_HSCROLL, WS_VSCROLL, WS_HSCROLL | WS_VSCROLL | WS_BORDER};
    int32_t lw =
        fuzz_chance(run, 10) ? fuzz_range(run, 1, VGRID_MAX_LOGICAL) : fuzz_range(run, 1, 2000);
    int32_t lh =
        fuzz_chance(run, 10) ? fuzz_range(run, 1, VGRID_MAX_LOGICAL) : fuzz_range(run, 1, 2000);
    HWND grid = ctl_create_vgrid(run->host, kId, kLeft, kTop, fuzz_range(run, 0, 300),
                                 fuzz_range(run, 0, 250), kStyles[fuzz_below(run, 4)], lw, lh,
                                 grid_callback, (uint32_t)(uintptr_t)run);
    if (grid == nullptr)
        return nullptr;
    int items = fuzz_below(run, 40);
    for (int i = 0; i < items; ++i) {
        VgridItem item;
        random_item(run, grid, &item);
        ctl_vgrid_add(grid, &item);
    }
    return grid;
}

// Zooms, drawn outlines and dropped outlines, for ctl_vgrid_outline_begin.
void outline_draw(HDC dc, int32_t x, int32_t y, void *)
{
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, x, y, x + 30, y + 20);
}

void outline_drop(uint32_t, int32_t left, int32_t top, void *user)
{
    FuzzRun *run = static_cast<FuzzRun *>(user);
    fuzz_trace_value(run, (uint32_t)left ^ (uint32_t)top);
}

void vgrid_message(FuzzRun *run, HWND grid)
{
    switch (fuzz_below(run, 10)) {
    case 0:
    case 1: {
        fuzz_note(run, "ctl_vgrid_add");
        VgridItem item;
        random_item(run, grid, &item);
        ctl_vgrid_add(grid, &item);
        break;
    }
    case 2:
        fuzz_note(run, "ctl_vgrid_clear");
        ctl_vgrid_clear(grid);
        break;
    case 3:
        fuzz_note(run, "ctl_vgrid_set_value");
        ctl_vgrid_set_value(grid, (uint32_t)fuzz_range(run, 0, 45), fuzz_float(run, -100, 100));
        break;
    case 4:
        fuzz_note(run, "ctl_vgrid_set_zoom");
        ctl_vgrid_set_zoom(grid, fuzz_float(run, 40, 210));
        break;
    case 5: {
        fuzz_note(run, "ctl_vgrid_outline_begin");
        int32_t l = fuzz_range(run, -100, 2000), t = fuzz_range(run, -100, 2000);
        int32_t r = fuzz_chance(run, 20) ? -1 : l + fuzz_range(run, 0, 300);
        int32_t b = fuzz_chance(run, 20) ? -1 : t + fuzz_range(run, 0, 300);
        POINT p = {fuzz_range(run, -10, 300), fuzz_range(run, -10, 250)};
        ctl_vgrid_outline_begin(grid, l, t, r, b, p.x, p.y,
                                fuzz_chance(run, 50) ? outline_draw : nullptr,
                                fuzz_chance(run, 80) ? outline_drop : nullptr, run);
        break;
    }
    case 6: // Ctrl+clicks: editing an item, zooming the canvas
        fuzz_send(run, grid, fuzz_chance(run, 50) ? WM_LBUTTONDOWN : WM_RBUTTONDOWN, MK_CONTROL,
                  fuzz_point(run, grid));
        break;
    case 7: {
        VgridRecord *record = ctl_vgrid_record(grid);
        fuzz_note(run, "zoom and pan switches");
        record->zoomByClick = fuzz_chance(run, 70);
        record->panByDrag = fuzz_chance(run, 70);
        break;
    }
    default:
        fuzz_send(run, grid, fuzz_chance(run, 50) ? WM_RBUTTONUP : WM_MOUSEMOVE,
                  fuzz_mouse_keys(run, 10), fuzz_point(run, grid));
        break;
    }
}

int vgrid_check(FuzzRun *run, HWND grid)
{
    const VgridRecord *record = ctl_vgrid_record(grid);
    if (record == nullptr)
        return 1;
    const VgridView *view = record->context.view;
    uint32_t count = ctl_vgrid_count(grid);
    for (uint32_t i = 1; i <= count; ++i) {
        const VgridItem *item = ctl_vgrid_item(grid, i);
        if (!(item->value >= item->minimum && item->value <= item->maximum)) {
            fuzz_fail(run, "Vgrid item %u holds %g outside %g..%g", i, item->value, item->minimum,
                      item->maximum);
            return 0;
        }
        fuzz_trace_value(run, ctl_float_bits(item->value));
    }
    if (!(view->zoomPercent >= VGRID_MIN_ZOOM && view->zoomPercent <= VGRID_MAX_ZOOM)) {
        fuzz_fail(run, "Vgrid zoom %g", view->zoomPercent);
        return 0;
    }
    if (view->scrollX < 0 || view->scrollX > view->extentX || view->scrollY < 0 ||
        view->scrollY > view->extentY) {
        fuzz_fail(run, "Vgrid scrolled to %d, %d of %d, %d", view->scrollX, view->scrollY,
                  view->extentX, view->extentY);
        return 0;
    }
    if (record->pressActive + view->panning + view->outlineActive > 1) {
        fuzz_fail(run, "Vgrid runs two interactions at once");
        return 0;
    }
    return 1;
}

// ---------------------------------------------------------------------------
// 6. 2DList
// ---------------------------------------------------------------------------

// A list's number of lines: none, few, many, the most, or negative.
int32_t random_lines(FuzzRun *run)
{
    switch (fuzz_below(run, 8)) {
    case 0: return 0;
    case 1: return 1;
    case 2: return 2;
    case 3: return INT32_MAX;
    case 4: return INT32_MAX - fuzz_below(run, 100);
    case 5: return -fuzz_range(run, 1, 100);
    case 6: return fuzz_range(run, 1, 10000000);
    default: return fuzz_range(run, 3, 100);
    }
}

int32_t list2d_callback(void *userData, int32_t code, void *infoPointer)
{
    FuzzRun *run = run_of(userData);
    const List2DInfo *info = static_cast<const List2DInfo *>(infoPointer);
    if (code == LIST_CODE_DRAW && info->dc != nullptr) {
        RECT rc = {0, info->top, 400, info->top + info->lineHeight};
        FillRect(info->dc, &rc, ctl_brush(info->selected ? 5 : 15));
    }
    if (code == LIST_CODE_SELECTION) {
        fuzz_trace_value(run, (uint32_t)info->line);
        if (run->hostile && run->sent < run->budget && fuzz_chance(run, 5)) {
            fuzz_note(run, "list callback: destroy");
            DestroyWindow(info->window);
        }
    }
    return 0;
}

HWND list2d_create(FuzzRun *run)
{
    List2DRecord r = {};
    r.info.totalLines = random_lines(run);
    r.info.lineHeight = fuzz_chance(run, 5) ? fuzz_range(run, -2, 0) : fuzz_range(run, 1, 60);
    r.callback = fuzz_chance(run, 2) ? nullptr : list2d_callback;
    r.userData = run;
    return ctl_create_list2d(run->host, kId, kLeft, kTop, fuzz_range(run, 0, 300),
                             fuzz_range(run, 0, 250), &r);
}

void list2d_message(FuzzRun *run, HWND list)
{
    static const int kCommands[] = {1, 3, 5, 6, 6, 7, 7, 1001, 1002, 1000, 0};
    throw_commands(run, list, kCommands, 11, 0.0f, 100.0f);
}

int list2d_check(FuzzRun *run, HWND list)
{
    const List2DRecord *self = static_cast<const List2DRecord *>(ctl_get_instance_data(list));
    const List2DInfo &info = self->info;
    SendMessageA(list, WM_COMMAND, CTL_CMD_GET, 0); // answered, though a list has no value
    int32_t last = info.totalLines > 0 ? info.totalLines : 1;
    fuzz_trace_value(run, (uint32_t)info.firstVisibleLine ^ (uint32_t)info.selectionStart);
    if (info.firstVisibleLine < 1 || info.firstVisibleLine > last) {
        fuzz_fail(run, "2DList shows line %d first of %d", info.firstVisibleLine, info.totalLines);
        return 0;
    }
    if (info.selectionStart < 0 || info.selectionStart > last || info.selectionEnd < 0 ||
        info.selectionEnd > last) {
        fuzz_fail(run, "2DList selects %d..%d of %d", info.selectionStart, info.selectionEnd,
                  info.totalLines);
        return 0;
    }
    int thumb = GetScrollPos(list, SB_VERT);
    if (thumb < 0 || thumb > LIST2D_SCROLL_RANGE) {
        fuzz_fail(run, "2DList thumb at %d", thumb);
        return 0;
    }
    return 1;
}

// ---------------------------------------------------------------------------
// 7. 3DList
// ---------------------------------------------------------------------------

int32_t list3d_callback(void *userData, int32_t code, void *infoPointer)
{
    FuzzRun *run = run_of(userData);
    const List3DInfo *info = static_cast<const List3DInfo *>(infoPointer);
    if (code == LIST_CODE_DRAW && info->dc != nullptr) {
        RECT rc = {info->left, info->top, info->right, info->bottom};
        FillRect(info->dc, &rc, ctl_brush(info->line == info->currentLine ? 5 : 14));
    }
    if (code == LIST_CODE_ACTIVATE || code == LIST_CODE_COPY || code == LIST_CODE_COMMAND) {
        fuzz_trace_value(run, (uint32_t)info->line);
        if (run->hostile && run->sent < run->budget && fuzz_chance(run, 10)) {
            fuzz_note(run, "3DList callback: destroy");
            DestroyWindow(info->window);
            return 1;
        }
        return fuzz_chance(run, 50);
    }
    return 0;
}

HWND list3d_create(FuzzRun *run)
{
    List3DRecord r = {};
    List3DInfo &i = r.info;
    i.totalLines = random_lines(run);
    i.labelWidth = fuzz_chance(run, 10) ? fuzz_range(run, -50, 0) : fuzz_range(run, 0, 80);
    i.headerHeight = fuzz_range(run, 0, 40);
    i.panelWidth = fuzz_range(run, 0, 300);
    i.lineHeight = fuzz_chance(run, 5) ? fuzz_range(run, -2, 0) : fuzz_range(run, 1, 40);
    i.panelCount = fuzz_chance(run, 5) ? fuzz_range(run, -2, 0) : fuzz_range(run, 1, 20);
    i.panelStep = fuzz_range(run, 0, 40);
    r.callback = list3d_callback;
    r.userData = run;
    int w = fuzz_range(run, 0, 350), h = fuzz_range(run, 0, 280);
    r.backgroundSource = fuzz_chance(run, 50) ? grey(64, 64) : nullptr;
    r.sourceX = fuzz_range(run, -10, 80);
    r.sourceY = fuzz_range(run, -10, 80);
    return ctl_create_list3d(run->host, kId, kLeft, kTop, w, h, &r);
}

void list3d_message(FuzzRun *run, HWND list)
{
    if (fuzz_chance(run, 20)) {
        static const WPARAM kCtrlKeys[] = {3, 22, 24, 1, 26};
        fuzz_hold_ctrl(1);
        fuzz_send(run, list, WM_CHAR, kCtrlKeys[fuzz_below(run, 5)], 1);
        fuzz_hold_ctrl(0);
        return;
    }
    static const int kCommands[] = {1, 2, 3, 4, 5, 5, 5, 6, 6, 7, 7, 1000, 1001, 1002, 8, 999};
    throw_commands(run, list, kCommands, 16, -1.0f, 200.0f);
}

int list3d_check(FuzzRun *run, HWND list)
{
    const List3DRecord *self = static_cast<const List3DRecord *>(ctl_get_instance_data(list));
    const List3DInfo &info = self->info;
    int32_t last = info.totalLines > 0 ? info.totalLines : 1;
    fuzz_trace_value(run, (uint32_t)info.current ^ (uint32_t)info.firstVisibleLine << 8);
    if (info.current < 0 || info.current > last || info.firstVisibleLine < 1 ||
        info.firstVisibleLine > last) {
        fuzz_fail(run, "3DList at line %d, first %d, of %d", info.current, info.firstVisibleLine,
                  info.totalLines);
        return 0;
    }
    bool seen[LIST3D_MAX_PANELS + 1] = {};
    for (int s = 0; s < info.panelCount; ++s) {
        int32_t panel = info.slots[s].panel;
        if (panel < 1 || panel > info.panelCount || seen[panel] || info.slots[s].xOffset < 0) {
            fuzz_fail(run, "3DList slot %d holds panel %d at %d", s, panel, info.slots[s].xOffset);
            return 0;
        }
        seen[panel] = true;
    }
    return 1;
}

} // namespace

// ---------------------------------------------------------------------------
// 8. The table
// ---------------------------------------------------------------------------

const FuzzClass kFuzzClasses[] = {
    {"Free", free_create, free_message, free_check},
    {"I2p", i2p_create, i2p_message, i2p_check},
    {"Slide", slide_create, slide_message, slide_check},
    {"Rotatif", rotatif_create, rotatif_message, rotatif_check},
    {"Vgrid", vgrid_create, vgrid_message, vgrid_check},
    {"2DList", list2d_create, list2d_message, list2d_check},
    {"3DList", list3d_create, list3d_message, list3d_check},
};
const int kFuzzClassCount = sizeof kFuzzClasses / sizeof kFuzzClasses[0];

const FuzzClass *fuzz_free_panel_class(void) { return &kFuzzClasses[0]; }
