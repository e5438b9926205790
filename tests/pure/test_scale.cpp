// The knob's value scale: set-up and sweeps, angle/value round trips, log
// stepping and clamping, and ranges that give no usable slope.
#include "toolkit/controls/value_scale.h"

#include <gtest/gtest.h>
#include <cmath>
#include <limits>

namespace {

const float kPi = 3.14159265f;

ValueScale make_scale(float minimum, float maximum, float defaultValue, float step, uint32_t flags)
{
    ValueScale s = {};
    s.minimum = minimum;
    s.maximum = maximum;
    s.defaultValue = defaultValue;
    s.step = step;
    s.flags = flags;
    return s;
}

// --------------------------------------------------------------------------
// Set-up and sweeps
// --------------------------------------------------------------------------

struct SweepRow { uint16_t start, end; float startAngle, endAngle, sweep; };

TEST(ScaleSetup, SweepIsTheClockwiseArcFromStartToEnd)
{
    static const SweepRow rows[] = {
        {225, 315, 5 * kPi / 4, 7 * kPi / 4, 3 * kPi / 2}, // through the top
        {315, 225, 7 * kPi / 4, 5 * kPi / 4, kPi / 2},
        {0, 0, 0, 0, 2 * kPi},                            // equal angles: full turn
        {90, 90, kPi / 2, kPi / 2, 2 * kPi},
        {180, 0, kPi, 0, kPi},
        {0, 270, 0, 3 * kPi / 2, kPi / 2},
        {1, 0, kPi / 180, 0, kPi / 180},
        {0, 1, 0, kPi / 180, 2 * kPi - kPi / 180},
        // Degrees are taken modulo 360, so 360 is 0 and no sweep is ever 0.
        {360, 0, 0, 0, 2 * kPi},
        {0, 360, 0, 0, 2 * kPi},
        {585, 315, 5 * kPi / 4, 7 * kPi / 4, 3 * kPi / 2},
        {65535, 65535, 15 * kPi / 180, 15 * kPi / 180, 2 * kPi},
    };
    for (const SweepRow &r : rows) {
        ValueScale s = make_scale(0, 10, 3, 1, 0);
        float sweep = ctl_scale_setup(&s, r.start, r.end);
        SCOPED_TRACE(testing::Message() << r.start << " to " << r.end);
        EXPECT_NEAR(sweep, r.sweep, 1e-5f);
        EXPECT_GT(sweep, 0.0f);
        EXPECT_LE(sweep, CTL_TWO_PI);
        EXPECT_NEAR(s.startAngle, r.startAngle, 1e-5f);
        EXPECT_NEAR(s.endAngle, r.endAngle, 1e-5f);
        EXPECT_EQ(s.current, 3.0f);
    }
}

TEST(ScaleSetup, LinearSlopeIsRadiansPerUnit)
{
    ValueScale s = make_scale(-20, 20, 0, 1, 0);
    float sweep = ctl_scale_setup(&s, 225, 315);
    EXPECT_FLOAT_EQ(s.slope, sweep / 40.0f);
    EXPECT_FLOAT_EQ(s.unitsPerRadian, 40.0f / sweep);
}

TEST(ScaleSetup, LogSlopeIsRatioPerRadian)
{
    ValueScale s = make_scale(1, 1000, 10, 10, LogScale);
    s.unitsPerRadian = 123.0f;
    float sweep = ctl_scale_setup(&s, 225, 315);
    EXPECT_NEAR(std::pow(s.slope, sweep), 1000.0f, 0.01f);
    EXPECT_EQ(s.unitsPerRadian, 123.0f); // linear only: left alone
}

// --------------------------------------------------------------------------
// Angle <-> value
// --------------------------------------------------------------------------

TEST(ScaleAngle, EndsOfTheRangeSitAtTheEndsOfTheSweep)
{
    for (uint32_t flags : {0u, LogScale}) {
        ValueScale s = make_scale(1, 1000, 1, 1, flags);
        float sweep = ctl_scale_setup(&s, 225, 315);
        SCOPED_TRACE(flags ? "log" : "linear");
        EXPECT_NEAR(ctl_scale_angle(&s), s.startAngle, 1e-5f);
        ctl_scale_set_angle(&s, s.startAngle);
        EXPECT_EQ(s.current, 1.0f); // the pointer at startAngle gives minimum
        s.current = 1000.0f;
        EXPECT_NEAR(ctl_scale_angle(&s), s.endAngle, 1e-4f);
        ctl_scale_set_angle(&s, s.startAngle - sweep + CTL_TWO_PI);
        EXPECT_NEAR(s.current, 1000.0f, flags ? 0.05f : 1e-3f);
    }
}

TEST(ScaleAngle, ValuesRoundTripThroughTheirAngles)
{
    struct Row { uint16_t start, end; float minimum, maximum; uint32_t flags; };
    static const Row rows[] = {
        {225, 315, 0, 10, 0},       {225, 315, -48, 12, 0},  {90, 90, 0, 1, 0},
        {0, 180, 100, 200, 0},      {225, 315, 1, 1000, LogScale},
        {270, 90, 20, 20000, LogScale}, {225, 315, -1000, -1, LogScale},
        {10, 350, 0.01f, 1, LogScale},
    };
    for (const Row &r : rows) {
        ValueScale s = make_scale(r.minimum, r.maximum, r.minimum, 1, r.flags);
        ctl_scale_setup(&s, r.start, r.end);
        for (int i = 0; i <= 20; ++i) {
            float v = (r.flags & LogScale)
                          ? r.minimum * std::pow(r.maximum / r.minimum, i / 20.0f)
                          : r.minimum + (r.maximum - r.minimum) * (i / 20.0f);
            s.current = v;
            float a = ctl_scale_angle(&s);
            ASSERT_GE(a, 0.0f);
            ASSERT_LT(a, CTL_TWO_PI);
            ctl_scale_set_angle(&s, a);
            EXPECT_NEAR(s.current, v, std::fabs(v) * 2e-4f + 1e-4f)
                << r.start << "-" << r.end << " [" << r.minimum << ", " << r.maximum << "] step " << i;
        }
    }
}

TEST(ScaleAngle, IsNeverNegative)
{
    // Start at 0 degrees: every value above minimum lies clockwise, below 0.
    ValueScale s = make_scale(0, 100, 0, 1, 0);
    float sweep = ctl_scale_setup(&s, 0, 90);
    EXPECT_NEAR(sweep, 3 * kPi / 2, 1e-5f);
    s.current = 0;
    EXPECT_EQ(ctl_scale_angle(&s), 0.0f);
    s.current = 1e-7f; // a hair clockwise of 0: rounds to a full turn, shown as 0
    float tiny = ctl_scale_angle(&s);
    EXPECT_TRUE(tiny == 0.0f || (tiny > 6.28f && tiny < CTL_TWO_PI));
    s.current = 100;
    EXPECT_NEAR(ctl_scale_angle(&s), kPi / 2, 1e-5f);
    s.current = 50;
    EXPECT_NEAR(ctl_scale_angle(&s), 2 * kPi - 3 * kPi / 4, 1e-5f);
    // Far outside the range (a Slide keeps such values): still in [0, 2 pi).
    for (float v : {-1e6f, -250.0f, 400.0f, 1e7f, 3e38f}) {
        s.current = v;
        float a = ctl_scale_angle(&s);
        EXPECT_GE(a, 0.0f) << v;
        EXPECT_LT(a, CTL_TWO_PI) << v;
    }
}

TEST(ScaleAngle, AngleBeyondStartWrapsAroundTheTurn)
{
    // start 45 degrees, end 135 degrees: sweep 270 degrees clockwise.
    ValueScale s = make_scale(0, 270, 0, 1, 0);
    ctl_scale_setup(&s, 45, 135);
    ctl_scale_set_angle(&s, 45 * CTL_DEG_TO_RAD - 10 * CTL_DEG_TO_RAD); // 10 clockwise
    EXPECT_NEAR(s.current, 10.0f, 1e-3f);
    ctl_scale_set_angle(&s, 225 * CTL_DEG_TO_RAD); // above start: 180 clockwise
    EXPECT_NEAR(s.current, 180.0f, 1e-3f);
}

TEST(ScaleAngle, SetAngleReportsWhetherTheValueChanged)
{
    ValueScale s = make_scale(0, 10, 5, 1, 0);
    ctl_scale_setup(&s, 225, 315);
    float a = 3.0f;
    EXPECT_EQ(ctl_scale_set_angle(&s, a), 1);
    float v = s.current;
    EXPECT_EQ(ctl_scale_set_angle(&s, a), 0);
    EXPECT_EQ(s.current, v);
    // The value is not clamped: the caller keeps the angle inside the sweep.
    EXPECT_EQ(ctl_scale_set_angle(&s, 4.5f), 1); // beyond the sweep
    EXPECT_GT(s.current, 10.0f);
}

// --------------------------------------------------------------------------
// Stepping and range
// --------------------------------------------------------------------------

struct StepRow { float minimum, maximum, step, current; uint32_t flags; int n; float expected; };

TEST(ScaleStep, StepsAndClampsWithoutStoring)
{
    static const StepRow rows[] = {
        {0, 10, 0.5f, 1, 0, 2, 2},
        {0, 10, 0.5f, 1, 0, -1, 0.5f},
        {0, 10, 0.5f, 9.8f, 0, 1, 10},    // at or above maximum: maximum
        {0, 10, 0.5f, 0.2f, 0, -1, 0},    // not above minimum: minimum
        {0, 10, 0.5f, 0.5f, 0, -1, 0},    // exactly minimum
        {0, 10, 2, 4, 0, 0, 4},
        {-10, 10, 1, 0, 0, 100000, 10},
        {1, 1000, 10, 10, LogScale, 1, 100},
        {1, 1000, 10, 500, LogScale, 1, 1000},
        {1, 1000, 10, 1, LogScale, -1, 1},
        {1, 1000, 10, 1, LogScale, 2, 100},
        {1, 1000, 2, 1000, LogScale, -3, 125},
        {1, 1000, 10, 5, LogScale, 1000, 1000}, // 10^1000 overflows: maximum
        {1, 1000, 10, 5, LogScale, -1000, 1},   // and underflows: minimum
    };
    for (const StepRow &r : rows) {
        ValueScale s = make_scale(r.minimum, r.maximum, r.current, r.step, r.flags);
        ctl_scale_setup(&s, 225, 315);
        EXPECT_FLOAT_EQ(ctl_scale_step(&s, r.n), r.expected)
            << "from " << r.current << " by " << r.n << (r.flags ? " (log)" : "");
        EXPECT_EQ(s.current, r.current);
    }
}

TEST(ScaleStep, InRangeIncludesBothEnds)
{
    ValueScale s = make_scale(-1, 1, 0, 1, 0);
    struct Row { float v; int in; };
    static const Row rows[] = {{-1, 1}, {1, 1}, {0, 1}, {-1.0001f, 0}, {1.0001f, 0}, {NAN, 0},
                               {INFINITY, 0}};
    for (const Row &r : rows)
        EXPECT_EQ(ctl_scale_in_range(&s, r.v), r.in) << r.v;
}

// --------------------------------------------------------------------------
// Ranges with no usable slope: flat scales, never NaN or infinity
// --------------------------------------------------------------------------

struct FlatRow { const char *what; float minimum, maximum; uint32_t flags; };

TEST(ScaleImproperRange, FlatScalePinsTheValueAtMinimum)
{
    static const FlatRow rows[] = {
        {"linear, empty range", 5, 5, 0},
        {"linear, range beyond the float", -3e38f, 3e38f, 0},
        {"log, minimum 0", 0, 100, LogScale},
        {"log, opposite signs", -1, 100, LogScale},
        {"log, opposite signs reversed", 10, -10, LogScale},
        {"log, equal ends", 3, 3, LogScale},
        {"log, maximum 0", 5, 0, LogScale},
    };
    for (const FlatRow &r : rows) {
        SCOPED_TRACE(r.what);
        ValueScale s = make_scale(r.minimum, r.maximum, r.minimum, 1, r.flags);
        float sweep = ctl_scale_setup(&s, 225, 315);
        EXPECT_TRUE(std::isfinite(sweep));
        EXPECT_TRUE(std::isfinite(s.slope));
        EXPECT_EQ(s.slope, (r.flags & LogScale) ? 1.0f : 0.0f);
        for (float v : {r.minimum, r.maximum, 0.0f, 7.0f, -7.0f}) {
            s.current = v;
            float a = ctl_scale_angle(&s);
            EXPECT_TRUE(std::isfinite(a));
            EXPECT_EQ(a, s.startAngle) << v;
        }
        for (float theta : {0.0f, 1.0f, s.startAngle, 5.0f, 6.2f}) {
            ctl_scale_set_angle(&s, theta);
            EXPECT_EQ(s.current, r.minimum) << theta;
        }
        for (int n : {-3, -1, 1, 3}) {
            float v = ctl_scale_step(&s, n);
            EXPECT_TRUE(std::isfinite(v)) << n;
        }
    }
}

TEST(ScaleImproperRange, LogRootThatOverflowsIsFlat)
{
    // A 1-degree knob over 30 decades: the ratio per radian is beyond a float.
    ValueScale s = make_scale(1, 1e30f, 1, 10, LogScale);
    ctl_scale_setup(&s, 1, 0);
    EXPECT_EQ(s.slope, 1.0f);
    s.current = 1e10f;
    EXPECT_EQ(ctl_scale_angle(&s), s.startAngle);
}

TEST(ScaleImproperRange, ValuesWithoutAnAngleOrAnglesWithoutAValue)
{
    // A log value of the other sign or 0 has no angle: it points at the start.
    ValueScale s = make_scale(1, 1000, 1, 10, LogScale);
    ctl_scale_setup(&s, 225, 315);
    for (float v : {0.0f, -5.0f, NAN, INFINITY}) {
        s.current = v;
        EXPECT_EQ(ctl_scale_angle(&s), s.startAngle) << v;
    }
    // A NaN angle leaves the value alone.
    s.current = 10.0f;
    EXPECT_EQ(ctl_scale_set_angle(&s, NAN), 0);
    EXPECT_EQ(s.current, 10.0f);
    // A step of 0 on a log scale from 0 would be 0 x infinity: no step.
    ValueScale z = make_scale(-1, 1000, 0, 0, LogScale);
    EXPECT_EQ(ctl_scale_step(&z, -2), 0.0f);
}

// --------------------------------------------------------------------------
// Decibels
// --------------------------------------------------------------------------

TEST(Decibels, PowersOfTenAreWholeAndTheWayBackLandsOnTheSameFloat)
{
    struct Row { float value, db; };
    static const Row rows[] = {
        {10.0f, 20.0f}, {1.0f, 0.0f}, {0.1f, -20.0f}, {0.001f, -60.0f}, {100.0f, 40.0f},
        {1e-6f, -120.0f},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(ctl_decibels(row.value), row.db) << row.value;
        EXPECT_EQ(ctl_from_decibels(row.db), row.value) << row.db;
    }
    EXPECT_NEAR(ctl_decibels(0.5f), -6.0206f, 1e-4f);
    EXPECT_NEAR(ctl_from_decibels(-6.0f), 0.501187f, 1e-6f);
}

TEST(Decibels, ValuesWithoutDecibelsGiveFiniteFigures)
{
    const float floor = ctl_decibels(std::numeric_limits<float>::denorm_min());
    EXPECT_NEAR(floor, -897.1f, 0.1f);
    for (float v : {0.0f, -0.0f, -1.0f, -INFINITY, NAN})
        EXPECT_EQ(ctl_decibels(v), floor) << v;
    EXPECT_NEAR(ctl_decibels(INFINITY), 770.6f, 0.1f);
    EXPECT_TRUE(std::isnan(ctl_from_decibels(NAN)));
    EXPECT_EQ(ctl_from_decibels(-1000.0f), 0.0f);
    EXPECT_EQ(ctl_from_decibels(1000.0f), INFINITY);
}

} // namespace
