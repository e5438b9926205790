// Painters of the toolkit's thirteen shared bitmaps (resources 1500-1512).
// Each paints the whole canvas it is given, at the canvas's size.
#pragma once

#include "paint.h"

void paint_lamp_button(Canvas& c, bool on);   // 24 x 16
void paint_key(Canvas& c, bool on);           // 33 x 23
void paint_indicator(Canvas& c, bool lit);    // 16 x 16
void paint_note_palette(Canvas& c);           // 160 x 96
void paint_knob(Canvas& c);                   // 32 x 32
void paint_groove(Canvas& c, bool vertical);  // 17 x 128 or 128 x 17
void paint_thumb(Canvas& c, bool vertical);   // 15 x 20 or 20 x 15
void paint_marble(Canvas& c);                 // 64 x 64, tiles seamlessly

// The note symbol of note index 0-14 (column = value, row = plain, triplet,
// dotted) centred on (cx, cy), in colour ink. Also used by the icon.
void paint_note(cairo_t* cr, int index, double cx, double cy, Rgb ink);
