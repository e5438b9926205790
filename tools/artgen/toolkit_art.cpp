// The toolkit's shared bitmaps. One light source at the top left for all of
// them; greys come from one ramp so that buttons, keys, thumbs and the knob
// sit together on the marbled dialog background.
#include "toolkit_art.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

const double kPi = 3.14159265358979323846;

// The shared grey ramp and accents.
const Rgb kOutline = rgb(46, 46, 50);       // outer edge of every raised part
const Rgb kHighlight = rgb(252, 252, 250);  // lit top and left bevels
const Rgb kShade = rgb(128, 128, 132);      // shaded bottom and right bevels
const Rgb kFaceTop = rgb(228, 228, 226);    // raised face, top of its gradient
const Rgb kFaceBottom = rgb(196, 196, 194); // raised face, bottom
const Rgb kBack = rgb(231, 231, 228);       // around small parts: the marble tile's mean
const Rgb kRed = rgb(204, 40, 20);          // palette dark red
const Rgb kRedBright = rgb(252, 60, 30);    // palette bright red
const Rgb kInk = rgb(24, 24, 28);           // note symbols

// Fills the current path with a radial gradient from `inner` at (fx, fy)
// to `outer` at radius r around (cx, cy).
void fill_radial(cairo_t* cr, double fx, double fy, double cx, double cy, double r,
                 Rgb inner, Rgb outer)
{
    cairo_pattern_t* p = cairo_pattern_create_radial(fx, fy, 0, cx, cy, r);
    cairo_pattern_add_color_stop_rgb(p, 0, inner.r, inner.g, inner.b);
    cairo_pattern_add_color_stop_rgb(p, 1, outer.r, outer.g, outer.b);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

// Softens the corner pixels of a one-pixel outline so the part reads as
// slightly rounded: each corner becomes a mix of outline and background.
void soften_corners(cairo_t* cr, int x, int y, int w, int h, Rgb outline, Rgb back)
{
    Rgb m = mix(outline, back, 0.55);
    fill_rect(cr, x, y, 1, 1, m);
    fill_rect(cr, x + w - 1, y, 1, 1, m);
    fill_rect(cr, x, y + h - 1, 1, 1, m);
    fill_rect(cr, x + w - 1, y + h - 1, 1, 1, m);
}

// A raised part: outline, one-pixel bevel and a vertical face gradient.
void raised_part(cairo_t* cr, int x, int y, int w, int h, Rgb back)
{
    fill_rect(cr, x, y, w, h, kOutline);
    fill_vgradient(cr, x + 1, y + 1, w - 2, h - 2, kFaceTop, kFaceBottom);
    bevel(cr, x + 1, y + 1, w - 2, h - 2, kHighlight, kShade);
    soften_corners(cr, x, y, w, h, kOutline, back);
}

// ---------------------------------------------------------------- notes

// Note values by column: 0 whole, 1 half, 2 quarter, 3 eighth, 4 sixteenth.
// Geometry in pixels, relative to the centre of the note head.
const double kHeadRx = 4.5;    // head half-width before the tilt
const double kHeadRy = 3.2;    // head half-height
const double kHeadTilt = -0.38;// head rotation (radians; negative tilts up to the right)
const double kStemLeft = 3.3;  // stem's left edge
const double kStemWidth = 1.3;  // stem thickness
const double kStemTop = -17.0; // stem's top end

// Adds the note head's outer ellipse to the path.
void head_path(cairo_t* cr, double rx, double ry, double tilt)
{
    cairo_save(cr);
    cairo_rotate(cr, tilt);
    cairo_scale(cr, rx, ry);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
    cairo_restore(cr);
}

// Draws one flag hanging from the stem top moved down by `drop`.
void flag(cairo_t* cr, double drop)
{
    double x = kStemLeft + kStemWidth - 0.2;
    double y = kStemTop + drop;
    cairo_move_to(cr, x, y);
    cairo_curve_to(cr, x + 0.5, y + 2.8, x + 6.2, y + 4.4, x + 4.6, y + 10.8);
    cairo_curve_to(cr, x + 5.0, y + 7.2, x + 2.6, y + 5.5, x, y + 3.9);
    cairo_close_path(cr);
    cairo_fill(cr);
}

// Draws note `index` with its head centre at (0, 0) in the current source.
void note_shape(cairo_t* cr, int index)
{
    int value = index % 5;
    int kind = index / 5;  // 0 plain, 1 triplet, 2 dotted
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    if (value == 0) {
        // whole note: wider open head, hole tilted against the outline
        head_path(cr, 6.3, 4.1, 0.0);
        head_path(cr, 2.4, 3.5, 0.95);
        cairo_fill(cr);
    } else if (value == 1) {
        head_path(cr, kHeadRx, kHeadRy, kHeadTilt);
        head_path(cr, 3.4, 1.75, kHeadTilt - 0.25);
        cairo_fill(cr);
    } else {
        head_path(cr, kHeadRx, kHeadRy, kHeadTilt);
        cairo_fill(cr);
    }
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    if (value >= 1) {
        cairo_rectangle(cr, kStemLeft, kStemTop, kStemWidth, -kStemTop - 0.5);
        cairo_fill(cr);
    }
    if (value >= 3) flag(cr, 0.0);
    if (value >= 4) flag(cr, 4.0);

    if (kind == 1) {
        // triplet: a small bold 3 beside the stem top, above a whole note
        set_font(cr, 10.0, true);
        cairo_text_extents_t e;
        cairo_text_extents(cr, "3", &e);
        double cx = value == 0 ? 0.0 : -2.6;
        double cy = value == 0 ? -9.5 : kStemTop + 4.5;
        cairo_move_to(cr, cx - e.width / 2 - e.x_bearing, cy - e.height / 2 - e.y_bearing);
        cairo_show_text(cr, "3");
    } else if (kind == 2) {
        // dot: right of the head, a little above its middle
        double dx = value == 0 ? 8.6 : 7.6;
        cairo_new_sub_path(cr);
        cairo_arc(cr, dx, -0.8, 1.45, 0, 2 * kPi);
        cairo_fill(cr);
    }
}

// ---------------------------------------------------------------- marble

// Periodic value noise on a `period` x `period` lattice over the 64-pixel
// tile, so that every octave wraps at the tile's edges.
struct Lattice {
    int period;                 // lattice cells across the tile
    std::vector<double> value;  // period * period random values in -1..1
};

Lattice lattice_new(int period, uint32_t& seed)
{
    Lattice l{period, std::vector<double>(size_t(period * period))};
    for (double& v : l.value) {
        seed = seed * 1664525u + 1013904223u;
        v = double(seed >> 8) / double(1u << 24) * 2.0 - 1.0;
    }
    return l;
}

double lattice_at(const Lattice& l, double x, double y)
{
    double fx = x * l.period / 64.0, fy = y * l.period / 64.0;
    int ix = int(std::floor(fx)), iy = int(std::floor(fy));
    double tx = fx - ix, ty = fy - iy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    auto at = [&](int i, int j) {
        i = ((i % l.period) + l.period) % l.period;
        j = ((j % l.period) + l.period) % l.period;
        return l.value[size_t(j * l.period + i)];
    };
    double a = at(ix, iy) + (at(ix + 1, iy) - at(ix, iy)) * tx;
    double b = at(ix, iy + 1) + (at(ix + 1, iy + 1) - at(ix, iy + 1)) * tx;
    return a + (b - a) * ty;
}

} // namespace

// ---------------------------------------------------------------- painters

void paint_lamp_button(Canvas& c, bool on)
{
    cairo_t* cr = c.cr;
    fill_rect(cr, 0, 0, c.w, c.h, kOutline);
    int shift = 0;
    if (!on) {
        fill_vgradient(cr, 1, 1, c.w - 2, c.h - 2, kFaceTop, kFaceBottom);
        bevel(cr, 1, 1, c.w - 2, c.h - 2, kHighlight, kShade);
    } else {
        // pressed: face a shade darker and lit from inside, shadow on top-left
        fill_vgradient(cr, 1, 1, c.w - 2, c.h - 2, rgb(192, 192, 190), rgb(214, 214, 212));
        fill_rect(cr, 1, 1, c.w - 2, 1, rgb(112, 112, 116));
        fill_rect(cr, 1, 2, 1, c.h - 3, rgb(112, 112, 116));
        shift = 1;
    }
    soften_corners(cr, 0, 0, c.w, c.h, kOutline, kBack);

    // the lamp: a small lens set into the face, 10 x 6
    double lx = 7 + shift, ly = 5 + shift, lw = 10, lh = 6;
    cairo_save(cr);
    rounded_path(cr, lx - 1, ly - 1, lw + 2, lh + 2, 2.5);  // setting: dark rim
    set_colour(cr, rgb(70, 70, 74));
    cairo_fill(cr);
    rounded_path(cr, lx, ly, lw, lh, 2.0);
    if (on) {
        fill_radial(cr, lx + 4, ly + 2, lx + 5, ly + 3, 6.5, rgb(255, 190, 150), kRedBright);
        rounded_path(cr, lx + 1.5, ly + 0.8, lw - 3, 1.6, 0.8);
        set_colour(cr, rgb(255, 255, 255), 0.55);
        cairo_fill(cr);
    } else {
        fill_radial(cr, lx + 4, ly + 2, lx + 5, ly + 3, 6.5, rgb(112, 46, 38), rgb(62, 22, 20));
        rounded_path(cr, lx + 1.5, ly + 0.8, lw - 3, 1.4, 0.7);
        set_colour(cr, rgb(255, 255, 255), 0.18);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void paint_key(Canvas& c, bool on)
{
    cairo_t* cr = c.cr;
    Rgb border = on ? kRed : rgb(0, 0, 0);
    fill_rect(cr, 0, 0, c.w, c.h, border);
    fill_vgradient(cr, 2, 2, c.w - 4, c.h - 4, kFaceTop, kFaceBottom);
    if (on) {
        // the lit border is two pixels wide, the inner ring a brighter red
        frame_rect(cr, 1, 1, c.w - 2, c.h - 2, kRedBright);
        bevel(cr, 2, 2, c.w - 4, c.h - 4, kHighlight, kShade);
    } else {
        frame_rect(cr, 1, 1, c.w - 2, c.h - 2, rgb(90, 90, 94));
        bevel(cr, 2, 2, c.w - 4, c.h - 4, kHighlight, kShade);
    }
    // a second, softer bevel gives the key its bevelled edge
    bevel(cr, 3, 3, c.w - 6, c.h - 6, rgb(240, 240, 238), rgb(172, 172, 172));
    soften_corners(cr, 0, 0, c.w, c.h, border, kBack);
}

void paint_indicator(Canvas& c, bool lit)
{
    cairo_t* cr = c.cr;
    fill_rect(cr, 0, 0, c.w, c.h, kBack);
    double cx = 8, cy = 8;
    // bezel: a dark ring lit from the top left
    cairo_arc(cr, cx, cy, 7.6, 0, 2 * kPi);
    fill_radial(cr, cx + 2.5, cy + 2.5, cx, cy, 9.0, rgb(150, 150, 154), rgb(60, 60, 64));
    cairo_arc(cr, cx, cy, 6.4, 0, 2 * kPi);
    fill_radial(cr, cx - 3, cy - 3, cx, cy, 9.0, rgb(56, 56, 60), rgb(200, 200, 204));
    // the lens
    cairo_arc(cr, cx, cy, 5.3, 0, 2 * kPi);
    if (lit)
        fill_radial(cr, cx - 1, cy - 1, cx, cy, 5.6, rgb(255, 176, 140), kRed);
    else
        fill_radial(cr, cx - 1.5, cy - 1.5, cx, cy, 5.6, rgb(104, 44, 38), rgb(54, 20, 18));
    // specular highlight
    cairo_save(cr);
    cairo_translate(cr, cx - 2.0, cy - 2.4);
    cairo_scale(cr, 2.1, 1.3);
    cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
    cairo_restore(cr);
    set_colour(cr, rgb(255, 255, 255), lit ? 0.75 : 0.28);
    cairo_fill(cr);
}

void paint_note(cairo_t* cr, int index, double cx, double cy, Rgb ink)
{
    // draw once off-screen to find the ink box, then centre it on the point
    cairo_surface_t* rec = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, nullptr);
    cairo_t* rc = cairo_create(rec);
    set_colour(rc, ink);
    note_shape(rc, index);
    cairo_destroy(rc);
    double x0, y0, w, h;
    cairo_recording_surface_ink_extents(rec, &x0, &y0, &w, &h);
    // whole-pixel offsets keep the stem's left edge crisp
    double tx = std::round(cx - (x0 + w / 2));
    double ty = std::round(cy - (y0 + h / 2));
    cairo_save(cr);
    cairo_set_source_surface(cr, rec, tx, ty);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_destroy(rec);
}

void paint_note_palette(Canvas& c)
{
    cairo_t* cr = c.cr;
    for (int i = 0; i < 15; ++i) {
        int x = (i % 5) * 32, y = (i / 5) * 32;
        // each cell a flat light tile with a hairline bevel, so the grid reads
        // as fifteen buttons; the note lives in the inner 30 x 30
        fill_rect(cr, x, y, 32, 32, rgb(238, 238, 234));
        bevel(cr, x, y, 32, 32, rgb(255, 255, 255), rgb(168, 168, 166));
        cairo_save(cr);
        cairo_rectangle(cr, x + 1, y + 1, 30, 30);
        cairo_clip(cr);
        paint_note(cr, i, x + 16, y + 16, kInk);
        cairo_restore(cr);
    }
}

void paint_knob(Canvas& c)
{
    cairo_t* cr = c.cr;
    // black outside the disc: the knob is drawn through a round mask
    fill_rect(cr, 0, 0, c.w, c.h, rgb(0, 0, 0));
    double cx = c.w / 2.0, cy = c.h / 2.0, r = c.w / 2.0;
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    {
        cairo_pattern_t* p = cairo_pattern_create_radial(cx - 5.5, cy - 6.5, 0.5, cx, cy, r);
        cairo_pattern_add_color_stop_rgb(p, 0.00, 0.99, 0.99, 0.98);
        cairo_pattern_add_color_stop_rgb(p, 0.30, 0.80, 0.80, 0.80);
        cairo_pattern_add_color_stop_rgb(p, 0.75, 0.49, 0.49, 0.51);
        cairo_pattern_add_color_stop_rgb(p, 1.00, 0.27, 0.27, 0.29);
        cairo_set_source(cr, p);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
    }
    // a faint bounce light on the lower right rim
    cairo_arc(cr, cx, cy, r - 1.0, 0.05 * kPi, 0.45 * kPi);
    cairo_set_line_width(cr, 1.2);
    set_colour(cr, rgb(200, 200, 204), 0.35);
    cairo_stroke(cr);
}

void paint_groove(Canvas& c, bool vertical)
{
    cairo_t* cr = c.cr;
    fill_rect(cr, 0, 0, c.w, c.h, kBack);
    // the slot: 5 pixels across, sunken, running almost the whole length
    int len = vertical ? c.h : c.w;
    int x0 = 6, y0 = 3, across = 5, along = len - 6;
    int x = vertical ? x0 : y0, y = vertical ? y0 : x0;
    int w = vertical ? across : along, h = vertical ? along : across;
    fill_rect(cr, x, y, w, h, rgb(255, 255, 255));
    fill_rect(cr, x, y, w - 1, h - 1, rgb(120, 120, 124));
    fill_rect(cr, x + 1, y + 1, w - 2, h - 2, rgb(58, 58, 62));
    fill_rect(cr, x + 1, y + 1, vertical ? w - 2 : 1, vertical ? 1 : h - 2, rgb(36, 36, 40));
    // scale ticks every 8 pixels on both sides, longer every 32
    for (int p = y0 + 4; p < y0 + along - 3; p += 8) {
        int big = ((p - y0 - 4) % 32) == 0;
        int tl = big ? 4 : 2;
        Rgb t = big ? rgb(140, 140, 144) : rgb(176, 176, 178);
        if (vertical) {
            fill_rect(cr, x0 - 2 - tl, p, tl, 1, t);
            fill_rect(cr, x0 + across + 2, p, tl, 1, t);
        } else {
            fill_rect(cr, p, x0 - 2 - tl, 1, tl, t);
            fill_rect(cr, p, x0 + across + 2, 1, tl, t);
        }
    }
}

void paint_thumb(Canvas& c, bool vertical)
{
    cairo_t* cr = c.cr;
    raised_part(cr, 0, 0, c.w, c.h, kBack);
    // grip line across the middle: a dark groove with a lit lower edge
    if (vertical) {
        int y = c.h / 2 - 1;
        fill_rect(cr, 3, y, c.w - 6, 1, rgb(70, 70, 74));
        fill_rect(cr, 3, y + 1, c.w - 6, 1, rgb(255, 255, 255));
    } else {
        int x = c.w / 2 - 1;
        fill_rect(cr, x, 3, 1, c.h - 6, rgb(70, 70, 74));
        fill_rect(cr, x + 1, 3, 1, c.h - 6, rgb(255, 255, 255));
    }
}

void paint_marble(Canvas& c)
{
    uint32_t seed = 0x4B454C44u;
    Lattice oct[4] = {lattice_new(4, seed), lattice_new(8, seed), lattice_new(16, seed),
                      lattice_new(32, seed)};
    // grey level per pixel: soft clouds crossed by pale veins
    std::vector<double> grey(size_t(c.w * c.h));
    for (int y = 0; y < c.h; ++y) {
        for (int x = 0; x < c.w; ++x) {
            double turb = 0, amp = 1.0;
            for (const Lattice& l : oct) {
                turb += std::fabs(lattice_at(l, x, y)) * amp;
                amp *= 0.5;
            }
            // veins: a wave that repeats once across and once down the tile,
            // bent by the turbulence
            double wave = std::sin(2 * kPi * (x / 64.0 + y / 64.0) + 3.6 * turb);
            double vein = std::pow(1.0 - std::fabs(wave), 5.0);
            double cloud = lattice_at(oct[0], x, y) * 0.6 + lattice_at(oct[1], x, y) * 0.4;
            grey[size_t(y * c.w + x)] = 232.0 + 5.0 * cloud - 15.0 * vein;
        }
    }
    // a 3 x 3 blur that wraps around the edges takes the grain off the veins
    cairo_surface_flush(c.surface);
    unsigned char* data = cairo_image_surface_get_data(c.surface);
    int stride = cairo_image_surface_get_stride(c.surface);
    for (int y = 0; y < c.h; ++y) {
        for (int x = 0; x < c.w; ++x) {
            double sum = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    sum += grey[size_t(((y + dy + c.h) % c.h) * c.w + (x + dx + c.w) % c.w)];
            double v = sum / 9.0;
            auto ch = [](double d) {
                return uint32_t(d < 0 ? 0 : d > 255 ? 255 : std::lround(d));
            };
            // a touch warmer than neutral, like the rest of the greys
            uint32_t r = ch(v + 1), g = ch(v + 1), b = ch(v - 2);
            reinterpret_cast<uint32_t*>(data + y * stride)[x] = 0xFF000000u | r << 16 | g << 8 | b;
        }
    }
    cairo_surface_mark_dirty(c.surface);
}
