// The time context: the units and rates the time-entry dialog works with, and
// every conversion between seconds, milliseconds, frequency, tempo, distance,
// samples, video frames, note durations and bar/beat/tick positions.
// Platform-free. The record is persisted byte for byte (44 bytes,
// little-endian) as the registry value "Dial_tCtx", so its layout is fixed.
#pragma once
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
