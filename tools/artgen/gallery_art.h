// Painters of the gallery's own bitmaps (resources 600 and up): labelled
// channel keys, round transport buttons and a greyed key for disabled
// buttons. Each paints the whole canvas it is given.
#pragma once

#include "paint.h"

// A 33 x 23 key with a bold label; lit, its face glows in `lamp`.
void paint_label_key(Canvas& c, const char* label, Rgb lamp, bool on);
// A round button, black outside its disc (drawn through a round mask):
// record (a red dot) when `record`, else play (a green triangle).
void paint_round_button(Canvas& c, bool record, bool on);
// A 33 x 23 greyed key with a dashed outline: drawn over a disabled key.
void paint_disabled_key(Canvas& c);

// Fader plates of the Faders page, sized and marked as gallery/fader_plates.h
// says. A plate's state: as it rests, while its fader is dragged (the slot
// lit), or greyed out as the overlay of a disabled fader.
enum class PlateState { Resting, Dragging, Disabled };
// The 44 x 250 channel plate: a slot with a decibel scale from +6 to -inf.
void paint_channel_plate(Canvas& c, PlateState state);
// The 200 x 36 plate of the horizontal faders: a slot with 12 divisions.
void paint_wide_plate(Canvas& c, PlateState state);

// Knob faces for round knobs (black outside the disc, drawn through a round
// mask). A dark anodised cap with a knurled rim: kind 0 at rest, 1 pressed
// (held while dragging: sunk a little, its rim lit), 2 disabled (flat and
// pale, for drawing over a disabled knob).
void paint_knob_cap(Canvas& c, int kind);
// The toolkit's grey spherical knob as it looks while held: darker, sunk.
void paint_small_knob_pressed(Canvas& c);

