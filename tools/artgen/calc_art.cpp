// The calculator's pictures.
#include "calc_art.h"

void paint_keypad(Canvas& c) { fill_rect(c.cr, 0, 0, c.w, c.h, rgb(60, 60, 64)); }
void paint_display(Canvas& c) { fill_rect(c.cr, 0, 0, c.w, c.h, rgb(148, 179, 158)); }
void paint_about(Canvas& c) { fill_rect(c.cr, 0, 0, c.w, c.h, rgb(230, 230, 230)); }
void paint_icon(Canvas& c) { fill_rect(c.cr, 0, 0, c.w, c.h, rgb(60, 60, 64)); }
