// The calculator's pictures. The keypad and the display face share one
// graphite case; the liquid-crystal colour and the key families come back in
// the about picture and the icon, so the four read as one product.
#include "calc_art.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace {

const double kPi = 3.14159265358979323846;

// Case and display colours.
const Rgb kCaseTop = rgb(70, 73, 78);      // graphite case, top of its gradient
const Rgb kCaseBottom = rgb(52, 54, 58);   // graphite case, bottom
const Rgb kLcd = rgb(148, 179, 158);       // the display's liquid crystal: exact
const Rgb kLcdGhost = rgb(136, 166, 146);  // unlit segments on the crystal
const Rgb kLcdShadow = rgb(120, 146, 128); // inner shadow under the bezel
const Rgb kKeyOutline = rgb(18, 18, 20);   // outer edge of every key
const Rgb kPaper = rgb(241, 240, 236);     // about picture background
const Rgb kText = rgb(36, 38, 42);         // dark lettering
const Rgb kTextSoft = rgb(100, 104, 110);  // secondary lettering
const Rgb kRed = rgb(204, 40, 20);         // palette dark red

// One family of keys: face colours and label colour.
struct KeyStyle {
    Rgb top;     // face colour at the top
    Rgb bottom;  // face colour at the bottom
    Rgb label;   // lettering
};

const KeyStyle kDigitKey = {rgb(236, 235, 230), rgb(206, 205, 199), rgb(30, 31, 34)};
const KeyStyle kOperatorKey = {rgb(140, 145, 152), rgb(112, 117, 124), rgb(255, 255, 255)};
const KeyStyle kUnitKey = {rgb(104, 134, 160), rgb(76, 104, 130), rgb(255, 255, 255)};
const KeyStyle kClearKey = {rgb(204, 92, 68), rgb(168, 62, 44), rgb(255, 255, 255)};
const KeyStyle kEnterKey = {rgb(82, 146, 116), rgb(56, 116, 88), rgb(255, 255, 255)};

// One key of the keypad: its rectangle (inclusive edges), its label, its family.
struct Key {
    int l, t, r, b;         // pixels from (l, t) to (r, b), both included
    const char* label;      // UTF-8
    const KeyStyle* style;  // colours
};

// The keypad's 21 keys, by key code. The rectangles are the keypad's hit
// rectangles: each key fills its own exactly, so a click anywhere on a key's
// face lands inside it.
const Key kKeys[21] = {
    {11, 93, 39, 112, "0", &kDigitKey},       {11, 64, 39, 83, "1", &kDigitKey},
    {49, 65, 77, 83, "2", &kDigitKey},        {86, 65, 114, 84, "3", &kDigitKey},
    {12, 34, 40, 54, "4", &kDigitKey},        {49, 35, 77, 54, "5", &kDigitKey},
    {87, 36, 115, 54, "6", &kDigitKey},       {12, 5, 40, 24, "7", &kDigitKey},
    {50, 5, 77, 24, "8", &kDigitKey},         {87, 6, 115, 24, "9", &kDigitKey},
    {124, 6, 153, 25, "DEL", &kClearKey},     {162, 6, 190, 25, "AC", &kClearKey},
    {124, 36, 153, 55, "\u00D7", &kOperatorKey}, {162, 36, 190, 55, "\u00F7", &kOperatorKey},
    {124, 65, 152, 84, "+", &kOperatorKey},   {162, 65, 189, 84, "\u2212", &kOperatorKey},
    {49, 94, 77, 113, ".", &kDigitKey},       {86, 94, 114, 113, "H", &kUnitKey},
    {124, 95, 152, 114, "mn", &kUnitKey},     {162, 95, 189, 114, "S", &kUnitKey},
    {124, 132, 189, 151, "Enter", &kEnterKey},
};

// The logo area: a click there opens the about box.
const int kLogoL = 9, kLogoT = 118, kLogoR = 117, kLogoB = 154;

// Returns 1 for the labels drawn as signs (the operators and the point).
int is_sign(std::string_view label)
{
    return label == "+" || label == "\u2212" || label == "\u00F7" || label == "\u00D7" ||
           label == ".";
}

// Label size in pixels (for the signs, their span): short words smaller than
// digits so that every key carries about the same weight of ink.
double label_size(const char* label)
{
    std::string_view s(label);
    if (is_sign(s)) return 10.0;  // span of the drawn sign
    if (s == "mn") return 11.5;
    if (s == "Enter") return 10.5;
    if (s.size() > 1 && (unsigned char)s[0] < 0x80) return 9.5;  // DEL, AC
    return 13.0;
}

// Fills the whole canvas with the graphite case.
void paint_case(Canvas& c)
{
    fill_vgradient(c.cr, 0, 0, c.w, c.h, kCaseTop, kCaseBottom);
}

// Draws the operator signs as crisp bars rather than font glyphs, whose
// strokes come out thin and blurred at key size. `size` is the sign's span.
// Returns 1 when the label was an operator sign, else 0 (nothing drawn).
int draw_operator_sign(cairo_t* cr, std::string_view label, double cx, double cy, double size,
                       Rgb colour)
{
    int span = int(size), bar = span >= 8 ? 2 : 1;
    int x0 = int(std::lround(cx - span / 2.0)), y0 = int(std::lround(cy - span / 2.0));
    int xm = int(std::lround(cx - bar / 2.0)), ym = int(std::lround(cy - bar / 2.0));
    if (label == "+") {
        fill_rect(cr, x0, ym, span, bar, colour);
        fill_rect(cr, xm, y0, bar, span, colour);
    } else if (label == "\u2212") {
        fill_rect(cr, x0, ym, span, bar, colour);
    } else if (label == "\u00F7") {
        fill_rect(cr, x0, ym, span, bar, colour);
        int gap = span >= 8 ? 2 : 1;
        fill_rect(cr, xm, ym - gap - bar, bar, bar, colour);
        fill_rect(cr, xm, ym + bar + gap, bar, bar, colour);
    } else if (label == ".") {
        cairo_arc(cr, cx, cy + 0.5, span / 5.0, 0, 2 * kPi);
        set_colour(cr, colour);
        cairo_fill(cr);
    } else if (label == "\u00D7") {
        double h = span * 0.36;
        cairo_save(cr);
        cairo_set_line_width(cr, bar * 1.15);
        set_colour(cr, colour);
        cairo_move_to(cr, cx - h, cy - h);
        cairo_line_to(cr, cx + h, cy + h);
        cairo_move_to(cr, cx + h, cy - h);
        cairo_line_to(cr, cx - h, cy + h);
        cairo_stroke(cr);
        cairo_restore(cr);
    } else {
        return 0;
    }
    return 1;
}

// Draws a key inside (l, t)-(r, b), both edges included:
//   edge pixels      near-black outline, corners blended with the case
//   next ring        lit top/left, shaded bottom/right (the key's bevel)
//   face             from l+2 to r-2: gradient, a lit first row and column and
//                    a shaded last row and column, label centred
// Pressing shifts the face one pixel up and left inside the fixed bevel: the
// lit row disappears and the shaded one doubles, and the label moves.
void draw_key(cairo_t* cr, int l, int t, int r, int b, const char* label, const KeyStyle& s,
              double size, Rgb caseColour)
{
    int w = r - l + 1, h = b - t + 1;
    // drop shadow on the case, down and to the right
    fill_rect(cr, l + 1, b + 1, w, 1, rgb(0, 0, 0), 0.30);
    fill_rect(cr, r + 1, t + 1, 1, h, rgb(0, 0, 0), 0.30);

    fill_rect(cr, l, t, w, h, kKeyOutline);
    Rgb lit = mix(s.top, rgb(255, 255, 255), 0.55);
    Rgb dark = mix(s.bottom, rgb(0, 0, 0), 0.38);
    fill_rect(cr, l + 1, t + 1, w - 2, h - 2, dark);
    fill_rect(cr, l + 1, t + 1, w - 3, 1, lit);
    fill_rect(cr, l + 1, t + 2, 1, h - 4, lit);

    fill_vgradient(cr, l + 2, t + 2, w - 4, h - 4, s.top, s.bottom);
    fill_rect(cr, l + 2, t + 2, w - 5, 1, mix(s.top, rgb(255, 255, 255), 0.30));
    fill_rect(cr, l + 2, t + 3, 1, h - 6, mix(s.top, rgb(255, 255, 255), 0.18));
    fill_rect(cr, l + 2, b - 2, w - 4, 1, mix(s.bottom, rgb(0, 0, 0), 0.18));
    fill_rect(cr, r - 2, t + 2, 1, h - 4, mix(s.bottom, rgb(0, 0, 0), 0.18));

    Rgb corner = mix(kKeyOutline, caseColour, 0.6);
    fill_rect(cr, l, t, 1, 1, corner);
    fill_rect(cr, r, t, 1, 1, corner);
    fill_rect(cr, l, b, 1, 1, corner);
    fill_rect(cr, r, b, 1, 1, corner);

    double cx = (l + 2 + r - 1) / 2.0, cy = (t + 2 + b - 1) / 2.0;
    if (!draw_operator_sign(cr, label, cx, cy, size, s.label)) {
        set_font(cr, size, true);
        text_centred(cr, label, cx, cy, s.label);
    }
}

// Draws a stopwatch of radius r centred on (cx, cy): graphite bezel with a
// crown, crystal face, elapsed sector and a red hand. `detail` adds ticks.
// The product's mark: the keypad's logo, the about picture and the icon.
void draw_stopwatch(cairo_t* cr, double cx, double cy, double r, bool detail)
{
    cairo_save(cr);
    // crown and its stem, on whole pixels so that they stay crisp when small
    int cw = std::max(4, int(std::lround(r * 0.5))), ch = std::max(2, int(std::lround(r * 0.2)));
    int sw = std::max(2, int(std::lround(r * 0.14))), sh = std::max(1, int(std::lround(r * 0.16)));
    int top = int(std::lround(cy - r)) - sh - ch;
    Rgb steel = rgb(58, 60, 64);
    fill_rect(cr, int(std::lround(cx - cw / 2.0)), top, cw, ch, steel);
    fill_rect(cr, int(std::lround(cx - sw / 2.0)), top + ch, sw, sh + 1, steel);

    // bezel
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    cairo_pattern_t* p = cairo_pattern_create_linear(cx - r, cy - r, cx + r, cy + r);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.44, 0.46, 0.49);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.16, 0.17, 0.19);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);

    // crystal face with the elapsed time, 12 to 4 o'clock, a shade darker
    double fr = r * 0.78;
    cairo_arc(cr, cx, cy, fr, 0, 2 * kPi);
    set_colour(cr, kLcd);
    cairo_fill(cr);
    cairo_move_to(cr, cx, cy);
    cairo_arc(cr, cx, cy, fr, -kPi / 2, -kPi / 2 + 2 * kPi * 4 / 12);
    cairo_close_path(cr);
    set_colour(cr, rgb(104, 140, 118));
    cairo_fill(cr);

    if (detail) {
        cairo_set_line_width(cr, r * 0.07);
        set_colour(cr, rgb(40, 52, 44));
        for (int i = 0; i < 12; ++i) {
            double a = 2 * kPi * i / 12;
            double r0 = fr * (i % 3 == 0 ? 0.72 : 0.84);
            cairo_move_to(cr, cx + std::sin(a) * r0, cy - std::cos(a) * r0);
            cairo_line_to(cr, cx + std::sin(a) * fr * 0.96, cy - std::cos(a) * fr * 0.96);
            cairo_stroke(cr);
        }
    }
    // hand at 4 o'clock, hub
    double a = 2 * kPi * 4 / 12;
    cairo_set_line_width(cr, std::fmax(r * 0.11, 1.5));
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    set_colour(cr, kRed);
    cairo_move_to(cr, cx, cy);
    cairo_line_to(cr, cx + std::sin(a) * fr * 0.88, cy - std::cos(a) * fr * 0.88);
    cairo_stroke(cr);
    cairo_arc(cr, cx, cy, std::fmax(r * 0.10, 0.9), 0, 2 * kPi);
    set_colour(cr, rgb(30, 30, 32));
    cairo_fill(cr);
    cairo_restore(cr);
}

} // namespace

void paint_keypad(Canvas& c)
{
    cairo_t* cr = c.cr;
    paint_case(c);
    for (const Key& k : kKeys) {
        Rgb caseColour = mix(kCaseTop, kCaseBottom, (k.t + k.b) / 2.0 / c.h);
        draw_key(cr, k.l, k.t, k.r, k.b, k.label, *k.style, label_size(k.label), caseColour);
    }

    // the logo: a stopwatch and the name, set into the case; the name is
    // fitted to the logo area's width
    double midY = (kLogoT + kLogoB + 1) / 2.0;
    draw_stopwatch(cr, kLogoL + 15.5, midY + 2.0, 12.0, true);
    double x = kLogoL + 33, room = kLogoR - 2 - x;
    set_font(cr, 19.0, true);
    set_font(cr, std::fmin(19.0, 19.0 * room / text_width(cr, "Keldoran")), true);
    cairo_text_extents_t e;
    cairo_text_extents(cr, "Keldoran", &e);
    double base = std::round(midY - e.height / 2 - e.y_bearing) + 1;
    text_at(cr, "Keldoran", x + 1, base + 1, rgb(22, 23, 26));
    text_at(cr, "Keldoran", x, base, rgb(230, 230, 226));
}

void paint_display(Canvas& c)
{
    cairo_t* cr = c.cr;
    paint_case(c);
    // crystal window: (22, 6) to (181, 113) inclusive; the bezel around it
    // is a recess lit from the top left
    const int l = 22, t = 6, r = 181, b = 113;
    fill_rect(cr, l - 3, t - 3, r - l + 7, b - t + 7, rgb(92, 96, 102));  // lit lower lip
    fill_rect(cr, l - 3, t - 3, r - l + 6, b - t + 6, rgb(30, 31, 34));   // shaded upper lip
    fill_rect(cr, l - 2, t - 2, r - l + 5, b - t + 5, rgb(14, 14, 16));   // the gap
    fill_rect(cr, l, t, r - l + 1, b - t + 1, kLcd);
    // inner shadow along the top and left, clear of the text and the boxes
    fill_rect(cr, l, t, r - l + 1, 1, kLcdShadow);
    fill_rect(cr, l, t + 1, 1, b - t, kLcdShadow);
    fill_rect(cr, l + 1, t + 1, r - l, 1, mix(kLcdShadow, kLcd, 0.5));
    fill_rect(cr, l + 1, t + 2, 1, b - t - 1, mix(kLcdShadow, kLcd, 0.5));

    // the four operator boxes, unlit: faint outlines with faint marks
    const char* marks[4] = {"+", "\u2212", "\u00D7", "\u00F7"};
    for (int i = 0; i < 4; ++i) {
        int top = 33 + 15 * i;
        frame_rect(cr, 27, top, 13, 13, kLcdGhost);
        set_font(cr, 11.0, true);
        text_centred(cr, marks[i], 27 + 6.5, top + 6.5, mix(kLcd, kLcdGhost, 0.6));
    }
}

// Width of a small key cap for the about picture: room for its label.
int cap_width(cairo_t* cr, const char* label, double size)
{
    std::string_view v(label);
    if (is_sign(v)) return 18;
    if (v.size() == 1) return 20;
    set_font(cr, size, true);
    return std::max(20, int(std::ceil(text_width(cr, label))) + 12);
}

// A small mouse, 12 x 18 at (x, y), with its right button lit.
void draw_mouse(cairo_t* cr, double x, double y)
{
    rounded_path(cr, x + 0.5, y + 0.5, 12, 18, 5.5);
    set_colour(cr, rgb(232, 232, 228));
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1.0);
    set_colour(cr, kKeyOutline);
    cairo_stroke(cr);
    // right button: the top-right quarter
    cairo_move_to(cr, x + 7, y + 1);
    cairo_arc(cr, x + 7.5, y + 6, 5.0, -kPi / 2, 0);
    cairo_line_to(cr, x + 12.5, y + 7.5);
    cairo_line_to(cr, x + 7, y + 7.5);
    cairo_close_path(cr);
    set_colour(cr, kRed);
    cairo_fill(cr);
    set_colour(cr, kKeyOutline);
    cairo_move_to(cr, x + 6.5, y + 0.5);
    cairo_line_to(cr, x + 6.5, y + 8);
    cairo_move_to(cr, x + 0.5, y + 8);
    cairo_line_to(cr, x + 12.5, y + 8);
    cairo_stroke(cr);
}

void paint_about(Canvas& c)
{
    cairo_t* cr = c.cr;
    fill_rect(cr, 0, 0, c.w, c.h, kPaper);

    // left band: the case, with the stopwatch, the name, what it is for and
    // a piece of display showing a duration
    const int band = 156;
    const double mid = band / 2.0;
    fill_vgradient(cr, 0, 0, band, c.h, kCaseTop, kCaseBottom);
    fill_rect(cr, band, 0, 1, c.h, rgb(30, 31, 34));
    draw_stopwatch(cr, mid, 60, 30, true);
    set_font(cr, 26.0, true);
    text_centred(cr, "Keldoran", mid + 1, 128 + 1, rgb(22, 23, 26));
    text_centred(cr, "Keldoran", mid, 128, rgb(236, 236, 232));
    set_font(cr, 11.0, false);
    const char* blurb[3] = {"A calculator for durations,", "for people who work", "with sound and pictures."};
    for (int i = 0; i < 3; ++i) text_centred(cr, blurb[i], mid, 156 + 15 * i, rgb(190, 195, 202));
    const int lx = 18, ly = 206, lw = band - 36, lh = 30;
    fill_rect(cr, lx - 2, ly - 2, lw + 4, lh + 4, rgb(92, 96, 102));
    fill_rect(cr, lx - 2, ly - 2, lw + 3, lh + 3, rgb(30, 31, 34));
    fill_rect(cr, lx - 1, ly - 1, lw + 2, lh + 2, rgb(14, 14, 16));
    fill_rect(cr, lx, ly, lw, lh, kLcd);
    fill_rect(cr, lx, ly, lw, 1, kLcdShadow);
    fill_rect(cr, lx, ly + 1, 1, lh - 1, kLcdShadow);
    set_font(cr, 16.0, false);
    const char* sample = "1h30m15.5s";
    text_at(cr, sample, lx + lw - 7 - text_width(cr, sample), ly + 21, rgb(0, 0, 0));

    // right: the keys and their keyboard shortcuts
    const int x = band + 20, textX = x + 96;
    set_font(cr, 14.0, true);
    text_at(cr, "Keys and keyboard", x, 31, kText);
    fill_rect(cr, x, 39, c.w - x - 20, 1, rgb(204, 203, 198));

    struct Row {
        const char* caps[4];    // key labels drawn as small key caps
        int count;              // caps used
        const KeyStyle* style;  // their family
        const char* text;       // the keyboard's keys
    };
    const Row rows[] = {
        {{"0", "9"}, 2, &kDigitKey, "Digit keys, numeric keypad"},
        {{"."}, 1, &kDigitKey, "Numeric keypad point"},
        {{"DEL"}, 1, &kClearKey, "Backspace or Delete"},
        {{"AC"}, 1, &kClearKey, "Home or Clear"},
        {{"\u00D7", "\u00F7", "+", "\u2212"}, 4, &kOperatorKey, "Numeric keypad  *  /  +  \u2212"},
        {{"H", "mn", "S"}, 3, &kUnitKey, "H, M and S keys"},
        {{"Enter"}, 1, &kEnterKey, "Return"},
    };
    int ry = 50;
    for (const Row& row : rows) {
        int cx = x;
        for (int i = 0; i < row.count; ++i) {
            double size = is_sign(row.caps[i]) ? 8.0 : label_size(row.caps[i]) * 0.85;
            int w = cap_width(cr, row.caps[i], size);
            draw_key(cr, cx, ry, cx + w - 1, ry + 17, row.caps[i], *row.style, size, kPaper);
            cx += w + 4;
            if (row.caps[0][0] == '0' && i == 0) {
                // 0 ... 9: a dash between the two caps
                fill_rect(cr, cx, ry + 9, 6, 1, kTextSoft);
                cx += 10;
            }
        }
        set_font(cr, 12.0, false);
        text_at(cr, row.text, textX, ry + 13, kText);
        ry += 23;
    }
    draw_mouse(cr, x + 4, ry);
    set_font(cr, 12.0, false);
    text_at(cr, "Right click: this box", textX, ry + 13, kText);

    set_font(cr, 11.0, false);
    text_at(cr, "Click anywhere or press a key to close.", x, c.h - 12, kTextSoft);
    // frame: the box has no border of its own
    frame_rect(cr, 0, 0, c.w, c.h, rgb(22, 23, 26));
}

void paint_icon(Canvas& c)
{
    // the stopwatch fills the square: the crown takes the top rows
    double s = c.w;
    double r = s < 24 ? 6.5 : 13.0;
    draw_stopwatch(c.cr, s / 2.0, s - r - (s < 24 ? 0.5 : 1.0), r, s >= 24);
}
