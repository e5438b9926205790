// The time context: the units and rates the time-entry dialog works with, and
// every conversion between seconds, milliseconds, frequency, tempo, distance,
// samples, video frames, note durations and bar/beat/tick positions.
// Platform-free. The record is persisted byte for byte (44 bytes,
// little-endian) as the registry value "Dial_tCtx", so its layout is fixed.
#pragma once
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

static const uint16_t CTL_NOTE_EMPTY = 0xFFFF; // an unused note slot
static const int CTL_NOTE_SLOTS = 5;
static const int CTL_NOTE_KINDS = 15;          // indices 0..14 of the note table

struct TimeContext {
    uint16_t notes[CTL_NOTE_SLOTS]; // note sequence: indices 0..14, CTL_NOTE_EMPTY ends it
    uint16_t reserved1;             // kept as loaded
    int32_t replaceMode;            // 1: a picked note replaces the sequence, 0: appends
    float tempo;                    // beats (quarter notes) per minute
    uint16_t focusId;               // id of the time field that last had the focus
    uint16_t reserved2;             // kept as loaded
    int32_t sampleRate;             // Hz, for the sample count
    int32_t ticksPerBeat;           // ticks per quarter note of a position
    int32_t beatsPerBar;            // time-signature numerator
    int32_t beatUnit;               // time-signature denominator: 1, 2, 4, 8 or 16
    float framesPerSecond;          // video frame rate
};

static_assert(sizeof(TimeContext) == 44, "TimeContext is a 44-byte stored record");
static_assert(offsetof(TimeContext, notes) == 0);
static_assert(offsetof(TimeContext, reserved1) == 10);
static_assert(offsetof(TimeContext, replaceMode) == 12);
static_assert(offsetof(TimeContext, tempo) == 16);
static_assert(offsetof(TimeContext, focusId) == 20);
static_assert(offsetof(TimeContext, reserved2) == 22);
static_assert(offsetof(TimeContext, sampleRate) == 24);
static_assert(offsetof(TimeContext, ticksPerBeat) == 28);
static_assert(offsetof(TimeContext, beatsPerBar) == 32);
static_assert(offsetof(TimeContext, beatUnit) == 36);
static_assert(offsetof(TimeContext, framesPerSecond) == 40);

// The built-in context: one quarter note, replace mode, 120 bpm, focus on the
// seconds field (id 10), 44100 Hz, 96 ticks, 4/4, 25 frames per second.
static constexpr TimeContext CTL_TIME_CONTEXT_BUILTIN = {
    {2, CTL_NOTE_EMPTY, CTL_NOTE_EMPTY, CTL_NOTE_EMPTY, CTL_NOTE_EMPTY}, 0,
    1, 120.0f, 10, 0, 44100, 96, 4, 4, 25.0f};

// The process-wide context: the built-in values until toolkit start-up copies a
// stored "Dial_tCtx" over it; written back at the final shutdown.
extern TimeContext g_timeContext;

// ---------------------------------------------------------------------------
// Notes, views and the cancel marker
// ---------------------------------------------------------------------------

// What each note index is worth, in beats (quarter notes): plain, triplet and
// dotted whole, half, quarter, eighth and sixteenth notes. The picture of
// index i is cell (i mod 5, i div 5) of the toolkit's note bitmap.
inline constexpr std::array<float, CTL_NOTE_KINDS> CTL_NOTE_BEATS = {
    4.0f, 2.0f, 1.0f, 0.5f, 0.25f,                                // plain
    8.0f / 3.0f, 4.0f / 3.0f, 2.0f / 3.0f, 1.0f / 3.0f, 1.0f / 6.0f, // triplet
    6.0f, 3.0f, 1.5f, 0.75f, 0.375f,                              // dotted
};

// The views of one time that the time-entry dialog keeps. The video frame
// and the musical position are derived for display and not kept.
struct TimeValues {
    float seconds;       // "(s)", shown "%.6f"
    float milliseconds;  // "(ms)", shown "%.3f"
    float frequency;     // "(Hz)": 1 / seconds, shown "%.3f"
    float tempoOfPeriod; // "(bpm)": the tempo whose beat lasts the time, "%.3f"
    float distance;      // "(m)": metres sound travels at 330 m/s, "%.3f"
    float samples;       // "(smp)": a whole number of samples, "%.0f"
};

// "No time": what the time-entry dialog returns when it was not confirmed.
inline constexpr float CTL_TIME_CANCEL = -1e35f;
static_assert(std::bit_cast<uint32_t>(CTL_TIME_CANCEL) == 0xF99A130Cu);

// Room for any text ctl_music_format writes, with its terminating zero.
inline constexpr size_t CTL_POSITION_TEXT_SIZE = 40;

// How the samples view is made from the product seconds x sampleRate.
enum CtlSamplesRule {
    CTL_SAMPLES_ROUND = 0,    // ctl_round (halves down): every path but one
    CTL_SAMPLES_TRUNCATE = 1, // toward zero: the time set by picking a note
};

// ---------------------------------------------------------------------------
// The context's content is whatever the registry held. Every operation below
// accepts any bytes: nothing reads outside the note table, no integer
// division by zero happens, no float is turned into an integer unless it fits,
// and the results are finite. The rules for odd content are written at each
// operation.
// ---------------------------------------------------------------------------

// Number of notes in the sequence: the valid indices (0..14) from note 1 on,
// at most five. The first empty slot, or the first stored index above 14,
// ends the sequence.
int ctl_note_count(const TimeContext *context);

// Seconds of the note sequence at the context's tempo: beats x 60 / tempo.
// A tempo of 0, below 0 or not a number gives 0; an overflow gives the
// largest float.
float ctl_duration_seconds(const TimeContext *context);

// Picks note index note (0..14): with replaceMode 1 it becomes the whole
// sequence, otherwise it is appended after the sequence (emptying the slots
// behind it); a full sequence of five becomes the new note alone. Returns 1,
// or 0 (nothing changed) when the index is not a note.
int ctl_duration_add(TimeContext *context, int note);

// Fills every view from seconds (seconds itself included): milliseconds,
// frequency (0 for 0 s), tempo of period (0 for 0 s), distance and samples by
// the given rule. Overflows give the largest float of their sign and a NaN
// seconds gives 0 views; a sample rate of 0 or below gives 0 samples; the
// sample count is limited to the 32-bit integer range.
void ctl_derive_values(TimeValues *views, float seconds, const TimeContext *context,
                       CtlSamplesRule rule = CTL_SAMPLES_ROUND);

// Video frame number of a time: seconds x framesPerSecond (finite; NaN gives 0).
float ctl_video_frame(float seconds, const TimeContext *context);

// ---------------------------------------------------------------------------
// A time typed into one field. Each reads the text as the dialog does
// (ctl_parse_number; a negative number counts as 0, a number beyond the float
// range as the largest float), stores the typed view, computes the seconds,
// derives the other views, and returns the seconds (never negative, never
// NaN or infinite). The typed view keeps the typed value.
// ---------------------------------------------------------------------------

// The number in a field's text as the dialog reads every field:
// ctl_parse_number, a negative result (or -0) counting as 0, and a number
// beyond the float range as the largest float. Always finite, never negative.
float ctl_time_field_number(const char *text);

float ctl_time_from_seconds(TimeValues *views, const TimeContext *context, const char *text);
// seconds = x x 0.001
float ctl_time_from_milliseconds(TimeValues *views, const TimeContext *context, const char *text);
// seconds = 1 / x, 0 for 0 Hz
float ctl_time_from_frequency(TimeValues *views, const TimeContext *context, const char *text);
// seconds = 60 / x, 0 for 0 bpm
float ctl_time_from_tempo_of_period(TimeValues *views, const TimeContext *context, const char *text);
// seconds = x / 330
float ctl_time_from_distance(TimeValues *views, const TimeContext *context, const char *text);
// samples view = the typed count rounded (halves down); seconds = count /
// sampleRate, 0 when the rate is 0 or below
float ctl_time_from_samples(TimeValues *views, const TimeContext *context, const char *text);
// seconds = x / framesPerSecond, 0 when the rate is 0, below 0 or not a number
float ctl_time_from_frame(TimeValues *views, const TimeContext *context, const char *text);
// milliseconds view = ctl_music_parse of the text (kept); seconds = ms x 0.001
float ctl_time_from_position(TimeValues *views, const TimeContext *context, const char *text);
// seconds = ctl_duration_seconds; every view derived (Apply, a tempo change,
// and with CTL_SAMPLES_TRUNCATE a picked note)
float ctl_time_from_notes(TimeValues *views, const TimeContext *context,
                          CtlSamplesRule rule = CTL_SAMPLES_ROUND);

// ---------------------------------------------------------------------------
// Musical positions: bar / beat / tick
//
// A tempo below 1 (or not a number) counts as 1 bpm. ticksPerBeat is taken
// as the dialog keeps it, 1..99999. A beatsPerBar of 0 or below, or a beatUnit
// of 0, means 4 counting units per bar. When eighths or sixteenths are
// counted, ticksPerBeat is rounded up to a multiple of 2 or 4 so that each
// counting unit holds a whole number of ticks. Formatting, parsing and
// ctl_music_to_ms all use these same rules, so a formatted text reads back as
// the same time to within one tick.
// ---------------------------------------------------------------------------

// Writes "%6i / %2i / %5i" (bar, beat, tick, counted from 1, 1, 0) of the
// time into out (outSize bytes, CTL_POSITION_TEXT_SIZE is always enough; the
// text is cut to fit and zero-terminated when outSize > 0). Returns the
// length written. Negative or NaN milliseconds show the start, 1 / 1 / 0;
// times beyond 2^28 quarter notes show that position.
int ctl_music_format(char *out, size_t outSize, float milliseconds, float tempo,
                     int32_t ticksPerBeat, int32_t beatsPerBar, int32_t beatUnit);

// Reads the next unsigned field of text from *position on: non-digits before
// it are skipped, the first non-digit after it is stepped over. Returns the
// field, or -1 when the text ends before a digit, or when the run of digits
// reaches 2147483647 (the position then stays on that digit). A null text or a
// position outside the text returns -1 and leaves the position alone.
int32_t ctl_music_field(const char *text, int32_t *position);

// Milliseconds of a position text "bar beat tick" (any non-digits separate
// the fields). A missing bar or beat, 0, or a beat beyond the bar's count
// reads as 1; a missing tick or one beyond the ticks of a counting unit reads
// as 0 (a tick equal to it stays). An empty text gives 0.
float ctl_music_parse(const char *text, float tempo, int32_t ticksPerBeat, int32_t beatsPerBar,
                      int32_t beatUnit);

// Milliseconds of bar, beat and tick (counted from 1, 1, 0), in single
// precision and limited to the float range.
float ctl_music_to_ms(int32_t bar, int32_t beat, int32_t tick, float tempo, int32_t ticksPerBeat,
                      int32_t beatsPerBar, int32_t beatUnit);
