// Painting helpers. Integer rectangles are filled with antialiasing off, so
// their edges are exactly the pixels asked for.
#include "paint.h"

Rgb mix(Rgb a, Rgb b, double t)
{
    return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Canvas canvas_new(int w, int h)
{
    Canvas c;
    c.surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    c.cr = cairo_create(c.surface);
    c.w = w;
    c.h = h;
    return c;
}

void canvas_free(Canvas& c)
{
    cairo_destroy(c.cr);
    cairo_surface_destroy(c.surface);
    c.cr = nullptr;
    c.surface = nullptr;
}

void set_colour(cairo_t* cr, Rgb c, double alpha)
{
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

void fill_rect(cairo_t* cr, int x, int y, int w, int h, Rgb c, double alpha)
{
    if (w <= 0 || h <= 0) return;
    cairo_save(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    set_colour(cr, c, alpha);
    cairo_rectangle(cr, x, y, w, h);
    cairo_fill(cr);
    cairo_restore(cr);
}

void fill_vgradient(cairo_t* cr, int x, int y, int w, int h, Rgb top, Rgb bottom)
{
    if (w <= 0 || h <= 0) return;
    cairo_save(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y, 0, y + h);
    cairo_pattern_add_color_stop_rgb(p, 0, top.r, top.g, top.b);
    cairo_pattern_add_color_stop_rgb(p, 1, bottom.r, bottom.g, bottom.b);
    cairo_set_source(cr, p);
    cairo_rectangle(cr, x, y, w, h);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_restore(cr);
}

void bevel(cairo_t* cr, int x, int y, int w, int h, Rgb light, Rgb dark, int thick)
{
    for (int i = 0; i < thick; ++i) {
        int xi = x + i, yi = y + i, wi = w - 2 * i, hi = h - 2 * i;
        fill_rect(cr, xi, yi, wi - 1, 1, light);           // top
        fill_rect(cr, xi, yi + 1, 1, hi - 2, light);       // left
        fill_rect(cr, xi, yi + hi - 1, wi, 1, dark);       // bottom
        fill_rect(cr, xi + wi - 1, yi, 1, hi - 1, dark);   // right
    }
}

void frame_rect(cairo_t* cr, int x, int y, int w, int h, Rgb c, double alpha)
{
    fill_rect(cr, x, y, w, 1, c, alpha);
    fill_rect(cr, x, y + h - 1, w, 1, c, alpha);
    fill_rect(cr, x, y + 1, 1, h - 2, c, alpha);
    fill_rect(cr, x + w - 1, y + 1, 1, h - 2, c, alpha);
}

void rounded_path(cairo_t* cr, double x, double y, double w, double h, double r)
{
    const double pi = 3.14159265358979323846;
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -pi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, pi / 2);
    cairo_arc(cr, x + r, y + h - r, r, pi / 2, pi);
    cairo_arc(cr, x + r, y + r, r, pi, 3 * pi / 2);
    cairo_close_path(cr);
}

void set_font(cairo_t* cr, double size, bool bold)
{
    cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_font_options_t* o = cairo_font_options_create();
    cairo_font_options_set_antialias(o, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(o, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(o, CAIRO_HINT_METRICS_ON);
    cairo_set_font_options(cr, o);
    cairo_font_options_destroy(o);
}

void text_centred(cairo_t* cr, const char* utf8, double cx, double cy, Rgb c)
{
    cairo_text_extents_t e;
    cairo_text_extents(cr, utf8, &e);
    set_colour(cr, c);
    cairo_move_to(cr, cx - e.width / 2 - e.x_bearing, cy - e.height / 2 - e.y_bearing);
    cairo_show_text(cr, utf8);
}

double text_at(cairo_t* cr, const char* utf8, double x, double y, Rgb c)
{
    set_colour(cr, c);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, utf8);
    return text_width(cr, utf8);
}

double text_width(cairo_t* cr, const char* utf8)
{
    cairo_text_extents_t e;
    cairo_text_extents(cr, utf8, &e);
    return e.x_advance;
}
