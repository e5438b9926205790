// Small painting helpers shared by every picture: colours, pixel-exact
// rectangles and bevels, rounded paths and centred text.
#pragma once

#include <cairo.h>

// A colour with channels 0..1.
struct Rgb {
    double r, g, b;  // red, green, blue
};

// The colour of 8-bit channels.
constexpr Rgb rgb(int r, int g, int b)
{
    return Rgb{r / 255.0, g / 255.0, b / 255.0};
}

// The colour t of the way from a to b (t = 0 gives a).
Rgb mix(Rgb a, Rgb b, double t);

// An image surface with its drawing context.
struct Canvas {
    cairo_surface_t* surface;  // ARGB32 image, starts fully transparent
    cairo_t* cr;               // drawing context on it
    int w, h;                  // size in pixels
};

// Returns a new transparent canvas; canvas_free releases it.
Canvas canvas_new(int w, int h);
void canvas_free(Canvas& c);

// Selects a colour as the source.
void set_colour(cairo_t* cr, Rgb c, double alpha = 1.0);

// Fills the pixels x..x+w-1, y..y+h-1 exactly.
void fill_rect(cairo_t* cr, int x, int y, int w, int h, Rgb c, double alpha = 1.0);

// Fills a rectangle with a vertical gradient from top to bottom colour.
void fill_vgradient(cairo_t* cr, int x, int y, int w, int h, Rgb top, Rgb bottom);

// Draws a frame `thick` pixels wide inside the rectangle: light on the top and
// left edges, dark on the bottom and right ones (a raised look; swap the two
// colours for a sunken one).
void bevel(cairo_t* cr, int x, int y, int w, int h, Rgb light, Rgb dark, int thick = 1);

// One-pixel outline just inside the rectangle.
void frame_rect(cairo_t* cr, int x, int y, int w, int h, Rgb c, double alpha = 1.0);

// Adds a rounded rectangle to the path.
void rounded_path(cairo_t* cr, double x, double y, double w, double h, double r);

// Selects the text face: Liberation Sans, bold or regular, at `size` pixels.
void set_font(cairo_t* cr, double size, bool bold);

// Draws text whose ink box is centred on (cx, cy) with the current font.
void text_centred(cairo_t* cr, const char* utf8, double cx, double cy, Rgb c);

// Draws text with its baseline starting at (x, y) with the current font;
// returns the advance width.
double text_at(cairo_t* cr, const char* utf8, double x, double y, Rgb c);

// Returns the advance width of the text with the current font.
double text_width(cairo_t* cr, const char* utf8);
