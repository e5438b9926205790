// The fader plates of the Faders page: their sizes and where the thumb's
// centre runs on them. The page sets its Slides up from these numbers and
// the art generator (tools/artgen) paints each plate's scale where they put
// the thumb, so the marks and the thumb agree. Plain numbers, no window code.
#pragma once

// Vertical channel fader: a gain from 0 to +6 dB on a linear track, with the
// toolkit's 15 x 20 vertical thumb centred on the slot.
inline constexpr int kChannelPlateW = 44;       // plate width
inline constexpr int kChannelPlateH = 250;      // plate height
inline constexpr int kChannelSlotX = 26;        // centre column of the slot (scale numbers on its left)
inline constexpr int kChannelMargin = 6;        // both track margins
inline constexpr int kChannelThumbW = 15;       // toolkit bitmap 9
inline constexpr int kChannelThumbH = 20;
inline constexpr int kChannelThumbLeft = kChannelSlotX - kChannelThumbW / 2; // thumbCross
inline constexpr float kChannelMaxGain = 1.9952623f; // +6 dB

// Row of the thumb's centre for a gain from 0 to kChannelMaxGain: the
// thumb's top runs from the bottom margin (gain 0) to the top one.
inline constexpr double channel_mark_y(double gain)
{
    double bottom = kChannelPlateH - kChannelMargin - kChannelThumbH;
    double top = kChannelMargin;
    return bottom + (top - bottom) * gain / kChannelMaxGain + kChannelThumbH / 2.0;
}

// Horizontal faders share one plate: whatever its thumb's width, a fader
// sets its margins so that the thumb's centre runs from kWideFirst to
// kWideLast, across kWideDivisions equal divisions marked on the plate.
inline constexpr int kWidePlateW = 200;
inline constexpr int kWidePlateH = 36;
inline constexpr int kWideSlotY = 18;     // centre row of the slot
inline constexpr int kWideFirst = 16;     // thumb centre at the minimum
inline constexpr int kWideLast = 184;     // thumb centre at the maximum
inline constexpr int kWideDivisions = 12; // a mark every 14 pixels, a long one every 2 marks

// The margins that give a thumb of this width that run.
inline constexpr int wide_min_margin(int thumbW) { return kWideFirst - thumbW / 2; }
inline constexpr int wide_max_margin(int thumbW) { return kWidePlateW - kWideLast - (thumbW - thumbW / 2); }
