// The gallery's bitmaps, in the toolkit's light: lit from the top left, the
// same outline and greys as the toolkit's keys.
#include "gallery_art.h"

#include <cmath>

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

