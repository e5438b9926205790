// The knob's value scale: set-up, value <-> angle, stepping and range test.
#include "toolkit/controls/value_scale.h"

#include <cmath>
#include <limits>

static bool is_log(const ValueScale *scale) { return (scale->flags & LogScale) != 0; }

// Brings an angle into [0, 2 pi). The usual case, a slightly negative angle,
// gets one full turn added; anything further out is reduced with fmod (which
// is exact). A negative angle so small that adding a turn rounds to 2 pi
// becomes 0, the same direction. A non-finite angle gives 0.
static float wrap_angle(float a)
{
    if (!std::isfinite(a))
        return 0.0f;
    if (a < 0.0f && a >= -CTL_TWO_PI)
        a += CTL_TWO_PI;
    else if (a < 0.0f || a >= CTL_TWO_PI) {
        a = std::fmod(a, CTL_TWO_PI);
        if (a < 0.0f)
            a += CTL_TWO_PI;
    }
    return a >= CTL_TWO_PI ? 0.0f : a;
}

// Linear slope fields of the range, or 0 and 0 when the range is empty or
// too wide for the slope and its inverse to be finite.
static void setup_linear(ValueScale *scale, float sweep)
{
    float range = scale->maximum - scale->minimum;
    scale->slope = 0.0f;
    scale->unitsPerRadian = 0.0f;
    if (range == 0.0f || !std::isfinite(range))
        return;
    float slope = sweep / range;
    float unitsPerRadian = range / sweep;
    if (slope == 0.0f || !std::isfinite(slope) || !std::isfinite(unitsPerRadian))
        return;
    scale->slope = slope;
    scale->unitsPerRadian = unitsPerRadian;
}

// Logarithmic slope: the ratio per radian, or 1 (flat) when the ratio of the
// ends is not a positive finite number other than 1, or when its root over
// the sweep overflows or underflows.
static void setup_log(ValueScale *scale, float sweep)
{
    scale->slope = 1.0f;
    if (scale->minimum == 0.0f)
        return;
    float ratio = scale->maximum / scale->minimum;
    if (!std::isfinite(ratio) || !(ratio > 0.0f) || ratio == 1.0f)
        return;
    float slope = std::pow(ratio, 1.0f / sweep);
    if (std::isfinite(slope) && slope > 0.0f && slope != 1.0f)
        scale->slope = slope;
}

float ctl_scale_setup(ValueScale *scale, uint16_t startDegrees, uint16_t endDegrees)
{
    scale->current = scale->defaultValue;
    scale->startAngle = static_cast<float>(startDegrees % 360) * CTL_DEG_TO_RAD;
    scale->endAngle = static_cast<float>(endDegrees % 360) * CTL_DEG_TO_RAD;
    float sweep = scale->startAngle - scale->endAngle;
    if (scale->endAngle >= scale->startAngle)
        sweep += CTL_TWO_PI;
    if (is_log(scale))
        setup_log(scale, sweep);
    else
        setup_linear(scale, sweep);
    return sweep;
}

float ctl_scale_angle(const ValueScale *scale)
{
    float a;
    if (is_log(scale)) {
        float lnSlope = std::log(scale->slope);
        if (scale->minimum == 0.0f || !(lnSlope != 0.0f))
            return wrap_angle(scale->startAngle);
        a = scale->startAngle - std::log(scale->current / scale->minimum) / lnSlope;
    } else {
        a = scale->startAngle - (scale->current - scale->minimum) * scale->slope;
    }
    if (!std::isfinite(a))
        a = scale->startAngle;
    return wrap_angle(a);
}

int ctl_scale_set_angle(ValueScale *scale, float theta)
{
    float d = (theta <= scale->startAngle) ? scale->startAngle - theta
                                           : scale->startAngle + CTL_TWO_PI - theta;
    float value = is_log(scale) ? std::pow(scale->slope, d) * scale->minimum
                                : d * scale->unitsPerRadian + scale->minimum;
    if (!std::isfinite(value))
        return 0;
    int changed = !(value == scale->current);
    scale->current = value;
    return changed;
}

float ctl_scale_step(const ValueScale *scale, int32_t n)
{
    float steps = static_cast<float>(n);
    float v = is_log(scale) ? std::pow(scale->step, steps) * scale->current
                            : scale->step * steps + scale->current;
    if (std::isnan(v))
        v = scale->current;
    if (v >= scale->maximum)
        v = scale->maximum;
    if (!(v > scale->minimum))
        v = scale->minimum;
    return v;
}

int ctl_scale_in_range(const ValueScale *scale, float value)
{
    return (value >= scale->minimum && value <= scale->maximum) ? 1 : 0;
}

float ctl_decibels(float value)
{
    if (!(value > 0.0f))
        value = std::numeric_limits<float>::denorm_min();
    else if (value > std::numeric_limits<float>::max())
        value = std::numeric_limits<float>::max();
    return static_cast<float>(20.0 * std::log10(static_cast<double>(value)));
}

float ctl_from_decibels(float db)
{
    return static_cast<float>(std::pow(10.0, static_cast<double>(db) / 20.0));
}
