// Painters of the calculator's own pictures: the keypad (500), the display
// face (501), the about picture (502) and the application icon (100).
#pragma once

#include "paint.h"

void paint_keypad(Canvas& c);   // 200 x 158
void paint_display(Canvas& c);  // 200 x 119
void paint_about(Canvas& c);    // 443 x 262
void paint_icon(Canvas& c);     // square, 16 or 32, transparent outside
