// The gallery's bitmaps, in the toolkit's light: lit from the top left, the
// same outline and greys as the toolkit's keys.
#include "gallery_art.h"

#include <cmath>
#include <cstdio>

#include "gallery/fader_plates.h"

namespace {

const double kPi = 3.14159265358979323846;
const Rgb kOutline = rgb(46, 46, 50);
const Rgb kHighlight = rgb(252, 252, 250);
const Rgb kShade = rgb(128, 128, 132);
const Rgb kFaceTop = rgb(228, 228, 226);
const Rgb kFaceBottom = rgb(196, 196, 194);

// A radial fill of the current path from `inner` near (fx, fy) to `outer`.
void radial(cairo_t* cr, double fx, double fy, double cx, double cy, double r, Rgb inner,
            Rgb outer)
{
    cairo_pattern_t* p = cairo_pattern_create_radial(fx, fy, 0, cx, cy, r);
    cairo_pattern_add_color_stop_rgb(p, 0, inner.r, inner.g, inner.b);
    cairo_pattern_add_color_stop_rgb(p, 1, outer.r, outer.g, outer.b);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

} // namespace

void paint_label_key(Canvas& c, const char* label, Rgb lamp, bool on)
{
    cairo_t* cr = c.cr;
    fill_rect(cr, 0, 0, c.w, c.h, kOutline);
    if (on) {
        // pressed in and lit from behind: the face takes the lamp's colour
        fill_vgradient(cr, 1, 1, c.w - 2, c.h - 2, mix(lamp, rgb(255, 255, 255), 0.35), lamp);
        fill_rect(cr, 1, 1, c.w - 2, 1, mix(lamp, rgb(0, 0, 0), 0.45));
        fill_rect(cr, 1, 2, 1, c.h - 3, mix(lamp, rgb(0, 0, 0), 0.45));
    } else {
        fill_vgradient(cr, 1, 1, c.w - 2, c.h - 2, kFaceTop, kFaceBottom);
        bevel(cr, 1, 1, c.w - 2, c.h - 2, kHighlight, kShade);
    }
    set_font(cr, 13, true);
    int shift = on ? 1 : 0;
    text_centred(cr, label, c.w / 2.0 + shift, c.h / 2.0 + shift,
                 on ? rgb(24, 24, 28) : rgb(70, 70, 76));
}

void paint_round_button(Canvas& c, bool record, bool on)
{
    cairo_t* cr = c.cr;
    fill_rect(cr, 0, 0, c.w, c.h, rgb(0, 0, 0));
    double cx = c.w / 2.0, cy = c.h / 2.0, r = c.w / 2.0;
    // the rim, then the face a pixel inside it
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    radial(cr, cx - r / 2, cy - r / 2, cx, cy, r * 1.3, rgb(120, 120, 124), rgb(30, 30, 34));
    cairo_arc(cr, cx, cy, r - 1.5, 0, 2 * kPi);
    radial(cr, cx - r / 3, cy - r / 3, cx, cy, r, kFaceTop, on ? rgb(150, 150, 150) : kFaceBottom);
    if (record) {
        Rgb lens = on ? rgb(240, 40, 24) : rgb(110, 40, 36);
        cairo_arc(cr, cx, cy, r * 0.42, 0, 2 * kPi);
        radial(cr, cx - 2, cy - 2, cx, cy, r * 0.5, mix(lens, rgb(255, 255, 255), on ? 0.5 : 0.2),
               lens);
    } else {
        Rgb ink = on ? rgb(30, 190, 60) : rgb(60, 90, 66);
        double s = r * 0.42;
        cairo_move_to(cr, cx - s * 0.7, cy - s);
        cairo_line_to(cr, cx + s, cy);
        cairo_line_to(cr, cx - s * 0.7, cy + s);
        cairo_close_path(cr);
        set_colour(cr, ink);
        cairo_fill(cr);
    }
}

void paint_disabled_key(Canvas& c)
{
    cairo_t* cr = c.cr;
    fill_rect(cr, 0, 0, c.w, c.h, rgb(120, 120, 124));
    fill_rect(cr, 1, 1, c.w - 2, c.h - 2, rgb(206, 206, 204));
    // a fine diagonal hatch says "not now" without hiding the key's place
    cairo_save(cr);
    cairo_rectangle(cr, 1, 1, c.w - 2, c.h - 2);
    cairo_clip(cr);
    set_colour(cr, rgb(160, 160, 164));
    cairo_set_line_width(cr, 1.0);
    for (int x = -c.h; x < c.w; x += 4) {
        cairo_move_to(cr, x + 0.5, c.h);
        cairo_line_to(cr, x + c.h + 0.5, 0);
    }
    cairo_stroke(cr);
    cairo_restore(cr);
}

// ---------------------------------------------------------------- fader plates

namespace {

const Rgb kSlotLight = rgb(255, 255, 255);  // the slot's lit lower and right edges
const Rgb kSlotShade = rgb(120, 120, 124);  // its shaded upper and left edges
const Rgb kSlotDeep = rgb(58, 58, 62);      // its floor
const Rgb kGlowHot = rgb(255, 196, 80);     // a lit slot's middle
const Rgb kGlowEdge = rgb(214, 110, 24);    // and its sides
const Rgb kDragRim = rgb(15, 95, 226);      // the plate's rim while dragged (palette blue)
const Rgb kMark = rgb(110, 110, 116);       // scale marks
const Rgb kMarkLong = rgb(70, 70, 76);
const Rgb kLabel = rgb(40, 40, 46);         // scale numbers

// The plate: a raised face with a rim, blue while dragged.
void plate(cairo_t* cr, int w, int h, PlateState state)
{
    fill_rect(cr, 0, 0, w, h, state == PlateState::Dragging ? kDragRim : kOutline);
    fill_vgradient(cr, 1, 1, w - 2, h - 2, rgb(238, 238, 236), rgb(212, 212, 210));
    bevel(cr, 1, 1, w - 2, h - 2, kHighlight, kShade);
}

// A sunken slot x, y, w, h; lit along its length while dragged.
void slot(cairo_t* cr, int x, int y, int w, int h, PlateState state)
{
    fill_rect(cr, x, y, w, h, kSlotLight);
    fill_rect(cr, x, y, w - 1, h - 1, kSlotShade);
    fill_rect(cr, x + 1, y + 1, w - 2, h - 2, kSlotDeep);
    if (state != PlateState::Dragging)
        return;
    bool vertical = h > w;
    int across = vertical ? w - 2 : h - 2;
    for (int i = 0; i < across; ++i) {
        double t = std::fabs(i - (across - 1) / 2.0) / ((across - 1) / 2.0); // 0 middle, 1 side
        Rgb glow = mix(kGlowHot, kGlowEdge, t);
        if (vertical)
            fill_rect(cr, x + 1 + i, y + 1, 1, h - 2, glow);
        else
            fill_rect(cr, x + 1, y + 1 + i, w - 2, 1, glow);
    }
}

// Greys a painted plate out: washed pale, with a fine diagonal hatch.
void grey_out(cairo_t* cr, int w, int h)
{
    fill_rect(cr, 1, 1, w - 2, h - 2, rgb(236, 236, 234), 0.72);
    cairo_save(cr);
    cairo_rectangle(cr, 1, 1, w - 2, h - 2);
    cairo_clip(cr);
    set_colour(cr, rgb(150, 150, 154), 0.55);
    cairo_set_line_width(cr, 1.0);
    for (int x = -h; x < w; x += 5) {
        cairo_move_to(cr, x + 0.5, h);
        cairo_line_to(cr, x + h + 0.5, 0);
    }
    cairo_stroke(cr);
    cairo_restore(cr);
}

// Text whose right end is at x, centred on row y.
void label_right(cairo_t* cr, const char* text, double x, double y, Rgb c)
{
    cairo_text_extents_t e;
    cairo_text_extents(cr, text, &e);
    text_at(cr, text, x - e.x_advance, std::floor(y + e.height / 2.0 - 0.5) + 0.5, c);
}

} // namespace

void paint_channel_plate(Canvas& c, PlateState state)
{
    cairo_t* cr = c.cr;
    plate(cr, c.w, c.h, state);
    int top = static_cast<int>(channel_mark_y(kChannelMaxGain)) - 3;
    int bottom = static_cast<int>(channel_mark_y(0.0)) + 4;
    slot(cr, kChannelSlotX - 2, top, 5, bottom - top, state);
    // decibel marks where the thumb's grip sits for that gain
    struct Mark {
        double db;
        const char* text;
    };
    const Mark marks[] = {{6, "+6"}, {3, "+3"}, {0, "0"}, {-3, "-3"}, {-6, "-6"},
                          {-12, "-12"}, {-20, "-20"}, {-1000, "-\u221E"}};
    for (const Mark& m : marks) {
        double gain = m.db <= -999 ? 0.0 : std::pow(10.0, m.db / 20.0);
        int y = static_cast<int>(std::lround(channel_mark_y(gain) - 0.5));
        bool zero = m.db == 0;
        int len = zero ? 5 : 3;
        fill_rect(cr, kChannelSlotX - 4 - len, y, len, 1, zero ? kMarkLong : kMark);
        fill_rect(cr, kChannelSlotX + 5, y, len, 1, zero ? kMarkLong : kMark);
        set_font(cr, m.db <= -999 ? 12 : 9, false); // the infinity sign runs small
        label_right(cr, m.text, kChannelSlotX - 10, y, zero ? kOutline : kLabel);
    }
    if (state == PlateState::Disabled)
        grey_out(cr, c.w, c.h);
}

void paint_wide_plate(Canvas& c, PlateState state)
{
    cairo_t* cr = c.cr;
    plate(cr, c.w, c.h, state);
    slot(cr, kWideFirst - 4, kWideSlotY - 2, kWideLast - kWideFirst + 9, 5, state);
    // a mark at every division above and below the slot, long every other one
    for (int i = 0; i <= kWideDivisions; ++i) {
        int x = kWideFirst + (kWideLast - kWideFirst) * i / kWideDivisions;
        bool big = i % 2 == 0;
        int len = big ? 6 : 3;
        fill_rect(cr, x, kWideSlotY - 5 - len, 1, len, big ? kMarkLong : kMark);
        fill_rect(cr, x, kWideSlotY + 6, 1, len, big ? kMarkLong : kMark);
    }
    if (state == PlateState::Disabled)
        grey_out(cr, c.w, c.h);
}

void paint_knob_cap(Canvas& c, int kind)
{
    cairo_t* cr = c.cr;
    fill_rect(cr, 0, 0, c.w, c.h, rgb(0, 0, 0));
    double cx = c.w / 2.0, cy = c.h / 2.0, r = c.w / 2.0;
    bool pressed = kind == 1, disabled = kind == 2;
    // the skirt: a ring that catches the light at the top left
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    if (disabled)
        radial(cr, cx - r / 2, cy - r / 2, cx, cy, r * 1.3, rgb(200, 200, 198), rgb(150, 150, 150));
    else
        radial(cr, cx - r / 2, cy - r / 2, cx, cy, r * 1.3, rgb(150, 150, 156), rgb(24, 24, 28));
    // knurling: short dark and light teeth all round the rim
    int teeth = 36;
    for (int i = 0; i < teeth; ++i) {
        double a = 2 * kPi * i / teeth;
        double lit = 0.5 + 0.5 * std::cos(a + kPi * 0.75); // brighter towards the top left
        Rgb tooth = disabled ? rgb(176, 176, 176)
                             : mix(rgb(30, 30, 34), rgb(190, 190, 196), lit * (pressed ? 0.6 : 1.0));
        cairo_move_to(cr, cx + (r - 5.0) * std::cos(a), cy + (r - 5.0) * std::sin(a));
        cairo_line_to(cr, cx + (r - 0.8) * std::cos(a), cy + (r - 0.8) * std::sin(a));
        set_colour(cr, tooth);
        cairo_set_line_width(cr, 1.2);
        cairo_stroke(cr);
    }
    // the cap, slightly dished: dark at the top left, lighter at the bottom right
    double capR = r - 5.5;
    cairo_arc(cr, cx, cy, capR, 0, 2 * kPi);
    if (disabled) {
        radial(cr, cx, cy, cx, cy, capR, rgb(214, 214, 212), rgb(196, 196, 194));
        // the greyed key's fine hatch: "not now"
        cairo_save(cr);
        cairo_arc(cr, cx, cy, capR, 0, 2 * kPi);
        cairo_clip(cr);
        set_colour(cr, rgb(176, 176, 180));
        cairo_set_line_width(cr, 1.0);
        for (int x = -c.h; x < c.w; x += 4) {
            cairo_move_to(cr, x + 0.5, c.h);
            cairo_line_to(cr, x + c.h + 0.5, 0);
        }
        cairo_stroke(cr);
        cairo_restore(cr);
    } else {
        Rgb rim = pressed ? rgb(20, 20, 24) : rgb(34, 34, 40);
        Rgb middle = pressed ? rgb(44, 44, 52) : rgb(70, 70, 80);
        radial(cr, cx + capR / 3, cy + capR / 3, cx, cy, capR * 1.2, middle, rim);
    }
    // a thin bright edge where the cap meets the rim, lit while held
    cairo_arc(cr, cx, cy, capR, 0, 2 * kPi);
    cairo_set_line_width(cr, 1.0);
    if (pressed)
        set_colour(cr, rgb(250, 150, 40), 0.9);
    else if (disabled)
        set_colour(cr, rgb(170, 170, 170));
    else
        set_colour(cr, rgb(120, 120, 130), 0.8);
    cairo_stroke(cr);
    if (pressed) {
        // the glow of the lit edge spills a little onto the cap
        cairo_arc(cr, cx, cy, capR - 1.5, 0, 2 * kPi);
        cairo_set_line_width(cr, 2.0);
        set_colour(cr, rgb(250, 150, 40), 0.25);
        cairo_stroke(cr);
    }
    // a soft sheen on the cap's top left
    if (!disabled) {
        cairo_arc(cr, cx - capR * 0.35, cy - capR * 0.4, capR * 0.45, 0, 2 * kPi);
        cairo_pattern_t* p = cairo_pattern_create_radial(cx - capR * 0.35, cy - capR * 0.4, 0,
                                                         cx - capR * 0.35, cy - capR * 0.4, capR * 0.45);
        cairo_pattern_add_color_stop_rgba(p, 0, 1, 1, 1, pressed ? 0.08 : 0.16);
        cairo_pattern_add_color_stop_rgba(p, 1, 1, 1, 1, 0);
        cairo_set_source(cr, p);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
    }
}

void paint_small_knob_pressed(Canvas& c)
{
    cairo_t* cr = c.cr;
    fill_rect(cr, 0, 0, c.w, c.h, rgb(0, 0, 0));
    double cx = c.w / 2.0, cy = c.h / 2.0, r = c.w / 2.0;
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    cairo_pattern_t* p = cairo_pattern_create_radial(cx - 4.5, cy - 5.5, 0.5, cx, cy, r);
    cairo_pattern_add_color_stop_rgb(p, 0.00, 0.86, 0.86, 0.85);
    cairo_pattern_add_color_stop_rgb(p, 0.30, 0.66, 0.66, 0.66);
    cairo_pattern_add_color_stop_rgb(p, 0.75, 0.40, 0.40, 0.42);
    cairo_pattern_add_color_stop_rgb(p, 1.00, 0.22, 0.22, 0.24);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    // held: a warm ring just inside the edge
    cairo_arc(cr, cx, cy, r - 1.0, 0, 2 * kPi);
    cairo_set_line_width(cr, 1.2);
    set_colour(cr, rgb(250, 150, 40), 0.8);
    cairo_stroke(cr);
}

