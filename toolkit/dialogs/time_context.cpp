// The time context and every conversion between its units.
//
// Sections:
//   1. Safe number helpers
//   2. The note sequence
//   3. Deriving the views from seconds
//   4. A time typed into one field
//   5. Musical positions
#include "toolkit/dialogs/time_context.h"

#include <cfloat>
#include <cmath>
#include <cstdio>

#include "toolkit/core/ctl_number.h"

// The process-wide context. Only the window thread touches it: toolkit
// start-up copies the stored "Dial_tCtx" over it, the time-entry dialog edits
// it, and the final shutdown saves it.
TimeContext g_timeContext = CTL_TIME_CONTEXT_BUILTIN;

// ===========================================================================
// 1. Safe number helpers
// ===========================================================================

// x with NaN as 0 and overflows as the largest float of their sign.
static float finite_or_limit(double x)
{
    if (std::isnan(x))
        return 0.0f;
    if (x > FLT_MAX)
        return FLT_MAX;
    if (x < -FLT_MAX)
        return -FLT_MAX;
    return static_cast<float>(x);
}

// x truncated toward zero to a 32-bit integer, limited to the integer range;
// NaN gives 0.
static int32_t truncate_to_i32(float x)
{
    if (std::isnan(x))
        return 0;
    if (x >= 2147483648.0f)
        return INT32_MAX;
    if (x <= -2147483648.0f)
        return INT32_MIN;
    return static_cast<int32_t>(x);
}

// A time computed from a typed value: never negative, never NaN, finite.
static float typed_seconds(float s)
{
    if (!(s > 0.0f))
        return 0.0f;
    return s > FLT_MAX ? FLT_MAX : s;
}

float ctl_time_field_number(const char *text)
{
    long double x = ctl_parse_number(text);
    if (!(x > 0))
        return 0.0f;
    if (x > FLT_MAX)
        return FLT_MAX;
    return static_cast<float>(x);
}

// ===========================================================================
// 2. The note sequence
// ===========================================================================

static bool is_note(uint32_t index) { return index < CTL_NOTE_KINDS; }

int ctl_note_count(const TimeContext *context)
{
    int count = 0;
    while (count < CTL_NOTE_SLOTS && is_note(context->notes[count]))
        ++count;
    return count;
}

float ctl_duration_seconds(const TimeContext *context)
{
    float tempo = context->tempo;
    if (!(tempo > 0.0f))
        return 0.0f;
    float beats = 0.0f;
    int count = ctl_note_count(context);
    for (int i = 0; i < count; ++i)
        beats += CTL_NOTE_BEATS[context->notes[i]];
    return finite_or_limit(beats * 60.0f / tempo);
}

int ctl_duration_add(TimeContext *context, int note)
{
    if (note < 0 || !is_note(static_cast<uint32_t>(note)))
        return 0;
    int slot = ctl_note_count(context);
    if (context->replaceMode == 1 || slot >= CTL_NOTE_SLOTS)
        slot = 0;
    context->notes[slot] = static_cast<uint16_t>(note);
    for (int i = slot + 1; i < CTL_NOTE_SLOTS; ++i)
        context->notes[i] = CTL_NOTE_EMPTY;
    return 1;
}

// ===========================================================================
// 3. Deriving the views from seconds
// ===========================================================================

// Sample count of s seconds: the single-precision product s x rate, rounded
// by the rule and limited to a 32-bit integer; 0 when the rate is not positive.
static float samples_of(float s, int32_t rate, CtlSamplesRule rule)
{
    if (rate <= 0)
        return 0.0f;
    float product = s * static_cast<float>(rate);
    float whole = (rule == CTL_SAMPLES_TRUNCATE) ? std::trunc(product) : ctl_round(product);
    return static_cast<float>(truncate_to_i32(whole));
}

void ctl_derive_values(TimeValues *views, float seconds, const TimeContext *context,
                       CtlSamplesRule rule)
{
    float s = finite_or_limit(seconds);
    views->seconds = s;
    views->milliseconds = finite_or_limit(s * 1000.0f);
    views->frequency = (s == 0.0f) ? 0.0f : finite_or_limit(1.0f / s);
    views->tempoOfPeriod = (s == 0.0f) ? 0.0f : finite_or_limit(60.0f / s);
    views->distance = finite_or_limit(s * 330.0f);
    views->samples = samples_of(s, context->sampleRate, rule);
}

float ctl_video_frame(float seconds, const TimeContext *context)
{
    return finite_or_limit(seconds * context->framesPerSecond);
}

// ===========================================================================
// 4. A time typed into one field
// ===========================================================================

// Single-precision 1/1000 and 1/330.
static const float kMsToSeconds = 0.0010000000474974513f;
static const float kMetresToSeconds = 0.0030303029343485832f;

// Derives every view from s (made safe) and puts back the typed view's value.
// Returns the seconds.
static float settle(TimeValues *views, const TimeContext *context, float s,
                    float TimeValues::*typed, float typedValue)
{
    s = typed_seconds(s);
    ctl_derive_values(views, s, context);
    if (typed != nullptr)
        views->*typed = typedValue;
    return s;
}

// q / x, or 0 when x is 0 (a period of 0 Hz or 0 bpm has no length).
static float reciprocal_scaled(float q, float x) { return (x == 0.0f) ? 0.0f : q / x; }

float ctl_time_from_seconds(TimeValues *views, const TimeContext *context, const char *text)
{
    float x = ctl_time_field_number(text);
    return settle(views, context, x, &TimeValues::seconds, x);
}

float ctl_time_from_milliseconds(TimeValues *views, const TimeContext *context, const char *text)
{
    float x = ctl_time_field_number(text);
    return settle(views, context, x * kMsToSeconds, &TimeValues::milliseconds, x);
}

float ctl_time_from_frequency(TimeValues *views, const TimeContext *context, const char *text)
{
    float x = ctl_time_field_number(text);
    return settle(views, context, reciprocal_scaled(1.0f, x), &TimeValues::frequency, x);
}

float ctl_time_from_tempo_of_period(TimeValues *views, const TimeContext *context, const char *text)
{
    float x = ctl_time_field_number(text);
    return settle(views, context, reciprocal_scaled(60.0f, x), &TimeValues::tempoOfPeriod, x);
}

float ctl_time_from_distance(TimeValues *views, const TimeContext *context, const char *text)
{
    float x = ctl_time_field_number(text);
    return settle(views, context, x * kMetresToSeconds, &TimeValues::distance, x);
}

float ctl_time_from_samples(TimeValues *views, const TimeContext *context, const char *text)
{
    int32_t n = truncate_to_i32(ctl_round(ctl_time_field_number(text)));
    int32_t rate = context->sampleRate;
    float s = (rate > 0) ? static_cast<float>(static_cast<double>(n) / rate) : 0.0f;
    return settle(views, context, s, &TimeValues::samples, static_cast<float>(n));
}

float ctl_time_from_frame(TimeValues *views, const TimeContext *context, const char *text)
{
    float x = ctl_time_field_number(text);
    float fps = context->framesPerSecond;
    float s = (fps > 0.0f) ? x / fps : 0.0f;
    return settle(views, context, s, nullptr, 0.0f);
}

float ctl_time_from_position(TimeValues *views, const TimeContext *context, const char *text)
{
    float ms = ctl_music_parse(text, context->tempo, context->ticksPerBeat, context->beatsPerBar,
                               context->beatUnit);
    return settle(views, context, ms * kMsToSeconds, &TimeValues::milliseconds, ms);
}

float ctl_time_from_notes(TimeValues *views, const TimeContext *context, CtlSamplesRule rule)
{
    float s = typed_seconds(ctl_duration_seconds(context));
    ctl_derive_values(views, s, context, rule);
    return s;
}

// ===========================================================================
// 5. Musical positions
// ===========================================================================

// Times are cut at this many quarter notes, so every count of the text fits
// a 32-bit integer even when sixteenths are counted.
static const uint32_t kMaxQuarters = 1u << 28;
// The range of ticksPerBeat the dialog allows.
static const int32_t kMaxTicksPerBeat = 99999;

// The grid a position is counted on, made safe from the context's fields.
struct PositionGrid {
    float tempo;           // bpm, at least 1
    uint32_t ticksPerBeat; // ticks per quarter note, 1..100000
    uint32_t unitTicks;    // ticks per counting unit, at least 1
    uint32_t unitsPerBar;  // counting units per bar, at least 1
};

// Builds the grid: tempo below 1 or NaN is 1; ticksPerBeat limited to
// 1..99999 and, when eighths or sixteenths are counted, rounded up to a
// multiple of 2 or 4; 4 units per bar when beatsPerBar is 0 or below or when
// beatUnit is 0.
static PositionGrid position_grid(float tempo, int32_t ticksPerBeat, int32_t beatsPerBar,
                                  int32_t beatUnit)
{
    PositionGrid grid;
    grid.tempo = (tempo >= 1.0f) ? tempo : 1.0f;
    uint32_t t = static_cast<uint32_t>(ticksPerBeat < 1 ? 1
                                       : ticksPerBeat > kMaxTicksPerBeat ? kMaxTicksPerBeat
                                                                         : ticksPerBeat);
    switch (beatUnit) {
    case 1: grid.unitTicks = 4 * t; break;
    case 2: grid.unitTicks = 2 * t; break;
    case 8: t = (t + 1) / 2 * 2; grid.unitTicks = t / 2; break;
    case 16: t = (t + 3) / 4 * 4; grid.unitTicks = t / 4; break;
    default: grid.unitTicks = t; break;
    }
    grid.ticksPerBeat = t;
    grid.unitsPerBar = (beatsPerBar <= 0 || beatUnit == 0) ? 4u : static_cast<uint32_t>(beatsPerBar);
    return grid;
}

// x (0 <= x <= 100000) rounded to the nearest whole number, halves to even.
static uint32_t round_half_even(double x)
{
    double whole = std::floor(x);
    double fraction = x - whole;
    uint32_t n = static_cast<uint32_t>(whole);
    if (fraction > 0.5 || (fraction == 0.5 && (n & 1u) != 0))
        ++n;
    return n;
}

int ctl_music_format(char *out, size_t outSize, float milliseconds, float tempo,
                     int32_t ticksPerBeat, int32_t beatsPerBar, int32_t beatUnit)
{
    if (out == nullptr || outSize == 0)
        return 0;
    PositionGrid grid = position_grid(tempo, ticksPerBeat, beatsPerBar, beatUnit);

    // Quarter notes elapsed: whole ones and the ticks of the fraction.
    double q = static_cast<double>(grid.tempo) * milliseconds / 60000.0;
    uint32_t quarters = 0, ticks = 0;
    if (q >= kMaxQuarters) {
        quarters = kMaxQuarters;
    } else if (q > 0.0) {
        double whole = std::floor(q);
        quarters = static_cast<uint32_t>(whole);
        ticks = round_half_even((q - whole) * grid.ticksPerBeat);
    }

    // Counting units and the ticks into the current one. Whole and half
    // notes keep the rounded-up tick in the tick count; eighths and
    // sixteenths carry it into the unit.
    uint32_t t = grid.ticksPerBeat, h = grid.unitTicks;
    uint32_t units, unitTick;
    switch (beatUnit) {
    case 1: units = quarters / 4; unitTick = ticks + (quarters % 4) * t; break;
    case 2: units = quarters / 2; unitTick = ticks + (quarters % 2) * t; break;
    case 8: units = 2 * quarters + ticks / h; unitTick = ticks % h; break;
    case 16: units = 4 * quarters + ticks / h; unitTick = ticks % h; break;
    default: units = quarters; unitTick = ticks; break;
    }
    int bar = static_cast<int>(units / grid.unitsPerBar + 1);
    int beat = static_cast<int>(units % grid.unitsPerBar + 1);

    int n = snprintf(out, outSize, "%6i / %2i / %5i", bar, beat, static_cast<int>(unitTick));
    if (n < 0) {
        out[0] = '\0';
        return 0;
    }
    return static_cast<size_t>(n) < outSize ? n : static_cast<int>(outSize - 1);
}

int32_t ctl_music_field(const char *text, int32_t *position)
{
    if (text == nullptr || position == nullptr || *position < 0)
        return -1;
    // The position must lie inside the text or on its terminating zero.
    size_t p = static_cast<size_t>(*position);
    for (size_t i = 0; i < p; ++i)
        if (text[i] == '\0')
            return -1;

    int64_t run = 0;
    int32_t value = -1;
    while (text[p] != '\0' && p < static_cast<size_t>(INT32_MAX)) {
        char c = text[p];
        if (c >= '0' && c <= '9') {
            run = run * 10 + (c - '0');
            if (run >= INT32_MAX)
                break;
            value = static_cast<int32_t>(run);
            ++p;
            continue;
        }
        ++p;
        if (value >= 0)
            break;
    }
    *position = static_cast<int32_t>(p);
    return (run >= INT32_MAX) ? -1 : value;
}

float ctl_music_parse(const char *text, float tempo, int32_t ticksPerBeat, int32_t beatsPerBar,
                      int32_t beatUnit)
{
    PositionGrid grid = position_grid(tempo, ticksPerBeat, beatsPerBar, beatUnit);
    int32_t position = 0;
    int32_t bar = ctl_music_field(text, &position);
    int32_t beat = ctl_music_field(text, &position);
    int32_t tick = ctl_music_field(text, &position);
    if (bar <= 0)
        bar = 1;
    if (beat <= 0 || static_cast<uint32_t>(beat) > grid.unitsPerBar)
        beat = 1;
    if (tick < 0 || static_cast<uint32_t>(tick) > grid.unitTicks)
        tick = 0;
    return ctl_music_to_ms(bar, beat, tick, tempo, ticksPerBeat, beatsPerBar, beatUnit);
}

float ctl_music_to_ms(int32_t bar, int32_t beat, int32_t tick, float tempo, int32_t ticksPerBeat,
                      int32_t beatsPerBar, int32_t beatUnit)
{
    PositionGrid grid = position_grid(tempo, ticksPerBeat, beatsPerBar, beatUnit);
    double unitTicks = grid.unitTicks;
    double total = (static_cast<double>(bar) - 1.0) * unitTicks * grid.unitsPerBar
                   + (static_cast<double>(beat) - 1.0) * unitTicks + tick;
    return finite_or_limit(total * 60000.0 / (grid.ticksPerBeat * static_cast<double>(grid.tempo)));
}
