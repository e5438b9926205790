// The knob's value model: a range, a default, a step, a linear or logarithmic
// scale, and the mapping between values and pointer angles. The Rotatif knob
// keeps one in its instance record, the adjust popup reads it, and the Slide
// reuses the record with track pixels in place of angles. Platform-free:
// single-precision arithmetic only, no window header.
//
// Angles are radians, 0 pointing right, counter-clockwise positive. The
// pointer turns clockwise from startAngle to endAngle as the value rises from
// minimum to maximum; the sweep is that clockwise arc, in (0, 2 pi].
#pragma once
#include <cstddef>
#include <cstdint>

// Degrees to radians and a full turn, as single-precision constants.
inline constexpr float CTL_DEG_TO_RAD = 0.017453292f;
inline constexpr float CTL_TWO_PI = 6.2831855f;

// ValueScale.flags: the scale is logarithmic (step and slope are ratios).
inline constexpr uint32_t LogScale = 0x10000000;

// Knob style flags (the knob's style word, also handed to the adjust popup).
inline constexpr uint32_t EditNumber = 0x00100000;     // edit opens the edit box with the plain value
inline constexpr uint32_t EditTime = 0x00200000;       // edit opens the time-entry dialog
inline constexpr uint32_t DecibelDisplay = 0x00400000; // shown and typed as 20 log10(value) " db"; 3 decimals
inline constexpr uint32_t NoValueEdit = 0x04000000;    // no edit box, time dialog or adjust popup
inline constexpr uint32_t ShortPointer = 0x08000000;   // pointer bar only on the outer 30 % of its length
inline constexpr uint32_t SpringReturn = 0x20000000;   // value returns to the default when a drag ends

struct ValueScale {
    float minimum;        // lowest value
    float maximum;        // highest value
    float defaultValue;   // restored by double-click, command 100 and SpringReturn
    float step;           // linear: added per step; LogScale: factor per step
    int32_t decimals;     // low byte: decimals shown when current is formatted
    uint32_t flags;       // LogScale or 0
    float current;        // current value; the set-up starts it at defaultValue
    float startAngle;     // pointer angle of minimum, radians (set-up)
    float endAngle;       // pointer angle of maximum, radians (set-up)
    float slope;          // linear: radians per unit; LogScale: ratio per radian (set-up)
    float unitsPerRadian; // linear only: units per radian (set-up)
};

// The knob, the Slide and the adjust popup rely on this field order.
static_assert(sizeof(ValueScale) == 44);
static_assert(offsetof(ValueScale, minimum) == 0);
static_assert(offsetof(ValueScale, maximum) == 4);
static_assert(offsetof(ValueScale, defaultValue) == 8);
static_assert(offsetof(ValueScale, step) == 12);
static_assert(offsetof(ValueScale, decimals) == 16);
static_assert(offsetof(ValueScale, flags) == 20);
static_assert(offsetof(ValueScale, current) == 24);
static_assert(offsetof(ValueScale, startAngle) == 28);
static_assert(offsetof(ValueScale, endAngle) == 32);
static_assert(offsetof(ValueScale, slope) == 36);
static_assert(offsetof(ValueScale, unitsPerRadian) == 40);

// Sets current to defaultValue, the two angles from degrees (taken modulo
// 360, so 360 is 0) and the slope fields from the range. Returns the sweep in
// (0, 2 pi]; equal angles give a full turn.
// A range that gives no usable slope is flattened rather than left to make
// NaN or infinity: a linear range of zero width (or one too wide for a float)
// gets slope 0 and unitsPerRadian 0, and a logarithmic range whose ratio
// maximum / minimum is not a positive finite number other than 1 (minimum 0,
// opposite signs, equal ends) gets slope 1. On a flat scale every angle gives
// minimum and every value points at startAngle.
float ctl_scale_setup(ValueScale *scale, uint16_t startDegrees, uint16_t endDegrees);

// Returns the pointer angle of current, in [0, 2 pi). A value that has no
// finite angle (a flat scale, a logarithmic value of the other sign than
// minimum, a non-finite current) points at startAngle.
float ctl_scale_angle(const ValueScale *scale);

// Stores the value of angle theta in current (not clamped: the caller keeps
// theta inside the sweep). Returns 1 when current changed, 0 when it is the
// same. An angle that maps to no finite value leaves current as it was and
// returns 0.
int ctl_scale_set_angle(ValueScale *scale, float theta);

// Returns current moved by n steps (linear: n x step added; LogScale: step to
// the power n, times current), clamped to the range; current is not changed.
// A step that gives no number (0 x infinity on a logarithmic scale) leaves
// the value where it was, clamped.
float ctl_scale_step(const ValueScale *scale, int32_t n);

// Returns 1 when minimum <= value <= maximum, 0 otherwise (NaN is outside).
int ctl_scale_in_range(const ValueScale *scale, float value);

// Decibels of a value, 20 log10(value), worked out in double and rounded to
// float, so that powers of ten come out whole (0.001 gives -60). A value of
// 0 or below (or NaN) has no decibels: it reads as the smallest positive
// float does, about -897.1; +infinity as the largest float, about +770.6.
float ctl_decibels(float value);

// The value of a decibel figure, 10 to the power (db / 20), worked out in
// double and rounded to float, so -60 gives the float nearest 0.001. NaN
// stays NaN; figures beyond about +/-770 give infinity or 0.
float ctl_from_decibels(float db);
