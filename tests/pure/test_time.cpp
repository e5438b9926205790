// The time context: its stored layout, deriving the views from seconds, a
// time typed into each field, and the note sequence.
#include "toolkit/dialogs/time_context.h"

#include <gtest/gtest.h>
#include <cmath>
#include <cstring>

namespace {

// --------------------------------------------------------------------------
// The stored record
// --------------------------------------------------------------------------

TEST(TimeContextRecord, BuiltInBytesAreTheStoredLayout)
{
    static const uint8_t expected[44] = {
        0x02, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, // notes 2, -, -, -, -
        0x00, 0x00,                                                 // reserved
        0x01, 0x00, 0x00, 0x00,                                     // replaceMode 1
        0x00, 0x00, 0xF0, 0x42,                                     // tempo 120.0
        0x0A, 0x00, 0x00, 0x00,                                     // focusId 10, reserved
        0x44, 0xAC, 0x00, 0x00,                                     // sampleRate 44100
        0x60, 0x00, 0x00, 0x00,                                     // ticksPerBeat 96
        0x04, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00,             // 4/4
        0x00, 0x00, 0xC8, 0x41,                                     // 25.0 frames per second
    };
    EXPECT_EQ(memcmp(&CTL_TIME_CONTEXT_BUILTIN, expected, sizeof expected), 0);
    EXPECT_EQ(memcmp(&g_timeContext, expected, sizeof expected), 0);
}

// --------------------------------------------------------------------------
// Deriving the views
// --------------------------------------------------------------------------

struct DeriveRow {
    float seconds;
    int32_t sampleRate;
    CtlSamplesRule rule;
    TimeValues expected;
};

TEST(DeriveValues, EveryViewFromSeconds)
{
    static const DeriveRow rows[] = {
        {0.5f, 44100, CTL_SAMPLES_ROUND, {0.5f, 500, 2, 120, 165, 22050}},
        {1.0f, 44100, CTL_SAMPLES_ROUND, {1, 1000, 1, 60, 330, 44100}},
        {0.0f, 44100, CTL_SAMPLES_ROUND, {0, 0, 0, 0, 0, 0}}, // no period: 0 Hz, 0 bpm
        {2.0f, 48000, CTL_SAMPLES_ROUND, {2, 2000, 0.5f, 30, 660, 96000}},
        // A caller's negative time is shown as it is.
        {-0.5f, 44100, CTL_SAMPLES_ROUND, {-0.5f, -500, -2, -120, -165, -22050}},
        // Samples: halves go down, more than a half goes up.
        {0.5f, 3, CTL_SAMPLES_ROUND, {0.5f, 500, 2, 120, 165, 1}},
        {0.5f, 5, CTL_SAMPLES_ROUND, {0.5f, 500, 2, 120, 165, 2}},
        {0.2f, 3, CTL_SAMPLES_ROUND, {0.2f, 200, 5, 300, 66, 1}},
        {-0.5f, 3, CTL_SAMPLES_ROUND, {-0.5f, -500, -2, -120, -165, -2}},
        // The note-picking path truncates toward zero.
        {0.5f, 3, CTL_SAMPLES_TRUNCATE, {0.5f, 500, 2, 120, 165, 1}},
        {0.2f, 3, CTL_SAMPLES_TRUNCATE, {0.2f, 200, 5, 300, 66, 0}},
        {-0.5f, 3, CTL_SAMPLES_TRUNCATE, {-0.5f, -500, -2, -120, -165, -1}},
    };
    for (const DeriveRow &r : rows) {
        TimeContext c = CTL_TIME_CONTEXT_BUILTIN;
        c.sampleRate = r.sampleRate;
        TimeValues v;
        ctl_derive_values(&v, r.seconds, &c, r.rule);
        SCOPED_TRACE(testing::Message() << r.seconds << " s at " << r.sampleRate << " Hz");
        EXPECT_EQ(v.seconds, r.expected.seconds);
        EXPECT_FLOAT_EQ(v.milliseconds, r.expected.milliseconds);
        EXPECT_FLOAT_EQ(v.frequency, r.expected.frequency);
        EXPECT_FLOAT_EQ(v.tempoOfPeriod, r.expected.tempoOfPeriod);
        EXPECT_FLOAT_EQ(v.distance, r.expected.distance);
        EXPECT_EQ(v.samples, r.expected.samples);
    }
}

// --------------------------------------------------------------------------
// A time typed into one field
// --------------------------------------------------------------------------

typedef float (*FieldEntry)(TimeValues *, const TimeContext *, const char *);

struct EntryRow {
    const char *field;
    FieldEntry entry;
    const char *text;
    float seconds;                  // expected result
    float TimeValues::*typed;       // the view that keeps the typed value, or null
    float typedValue;
};

const EntryRow kEntryRows[] = {
    {"seconds", ctl_time_from_seconds, "1.5", 1.5f, &TimeValues::seconds, 1.5f},
    {"seconds", ctl_time_from_seconds, "2,25", 2.25f, &TimeValues::seconds, 2.25f},
    {"milliseconds", ctl_time_from_milliseconds, "250", 0.25f, &TimeValues::milliseconds, 250},
    {"milliseconds", ctl_time_from_milliseconds, "1", 0.001f, &TimeValues::milliseconds, 1},
    {"frequency", ctl_time_from_frequency, "4", 0.25f, &TimeValues::frequency, 4},
    {"frequency", ctl_time_from_frequency, "440", 1.0f / 440, &TimeValues::frequency, 440},
    {"tempo of period", ctl_time_from_tempo_of_period, "120", 0.5f, &TimeValues::tempoOfPeriod, 120},
    {"tempo of period", ctl_time_from_tempo_of_period, "90 bpm", 60.0f / 90, &TimeValues::tempoOfPeriod, 90},
    {"distance", ctl_time_from_distance, "330", 1.0f, &TimeValues::distance, 330},
    {"distance", ctl_time_from_distance, "1.65", 0.005f, &TimeValues::distance, 1.65f},
    {"samples", ctl_time_from_samples, "22050", 0.5f, &TimeValues::samples, 22050},
    {"samples", ctl_time_from_samples, "2.5", 2.0f / 44100, &TimeValues::samples, 2},  // halves down
    {"samples", ctl_time_from_samples, "2.51", 3.0f / 44100, &TimeValues::samples, 3},
    {"frame", ctl_time_from_frame, "50", 2.0f, nullptr, 0},
    {"frame", ctl_time_from_frame, "12.5", 0.5f, nullptr, 0},
    {"position", ctl_time_from_position, "3.2.48", 4.75f, &TimeValues::milliseconds, 4750},
    {"position", ctl_time_from_position, "1/2/0", 0.5f, &TimeValues::milliseconds, 500},
};

TEST(TypedTime, EachFieldGivesSecondsAndKeepsWhatWasTyped)
{
    const TimeContext c = CTL_TIME_CONTEXT_BUILTIN;
    for (const EntryRow &r : kEntryRows) {
        SCOPED_TRACE(testing::Message() << r.field << " \"" << r.text << '"');
        TimeValues v;
        float s = r.entry(&v, &c, r.text);
        EXPECT_FLOAT_EQ(s, r.seconds);
        EXPECT_EQ(v.seconds, s);
        // The other views are derived from the seconds...
        TimeValues derived;
        ctl_derive_values(&derived, s, &c);
        for (float TimeValues::*view : {&TimeValues::milliseconds, &TimeValues::frequency,
                                        &TimeValues::tempoOfPeriod, &TimeValues::distance,
                                        &TimeValues::samples}) {
            if (view != r.typed) {
                EXPECT_EQ(v.*view, derived.*view);
            }
        }
        // ...and the typed one keeps the typed value.
        if (r.typed != nullptr) {
            EXPECT_FLOAT_EQ(v.*(r.typed), r.typedValue);
        }
    }
}

TEST(TypedTime, NegativeOrDigitFreeTextCountsAsZero)
{
    const TimeContext c = CTL_TIME_CONTEXT_BUILTIN;
    static const char *const texts[] = {"-3", "-0.5", "abc", "", "--", "- 2"};
    for (const EntryRow &r : kEntryRows) {
        if (r.entry == ctl_time_from_position)
            continue; // reads a bar/beat/tick text instead
        for (const char *text : texts) {
            TimeValues v;
            EXPECT_EQ(r.entry(&v, &c, text), 0.0f) << r.field << " \"" << text << '"';
            EXPECT_EQ(v.seconds, 0.0f);
            EXPECT_EQ(v.milliseconds, 0.0f);
            EXPECT_EQ(v.frequency, 0.0f);
            EXPECT_EQ(v.tempoOfPeriod, 0.0f);
            EXPECT_EQ(v.distance, 0.0f);
            EXPECT_EQ(v.samples, 0.0f);
        }
    }
}

TEST(TypedTime, FieldNumberIsNeverNegative)
{
    struct Row { const char *text; float value; };
    static const Row rows[] = {{"12,5", 12.5f}, {"0.25 s", 0.25f}, {"-3", 0}, {"-0", 0},
                               {"", 0}, {"abc", 0}, {nullptr, 0}};
    for (const Row &r : rows) {
        float v = ctl_time_field_number(r.text);
        EXPECT_EQ(v, r.value) << (r.text ? r.text : "(null)");
        EXPECT_FALSE(std::signbit(v)) << (r.text ? r.text : "(null)");
    }
}

TEST(TypedTime, NotesGiveTheDurationAndEveryView)
{
    TimeContext c = CTL_TIME_CONTEXT_BUILTIN;
    c.notes[0] = 12; // dotted quarter: 1.5 beats
    c.sampleRate = 3;
    TimeValues v;
    EXPECT_FLOAT_EQ(ctl_time_from_notes(&v, &c), 0.75f);
    EXPECT_FLOAT_EQ(v.milliseconds, 750.0f);
    EXPECT_EQ(v.samples, 2.0f); // 2.25 rounds down
    c.notes[0] = 1;             // half note
    c.tempo = 90;               // 2 beats at 90 bpm: 1.3333334 s, 4 samples either way
    ctl_time_from_notes(&v, &c, CTL_SAMPLES_ROUND);
    EXPECT_EQ(v.samples, 4.0f);
    ctl_time_from_notes(&v, &c, CTL_SAMPLES_TRUNCATE);
    EXPECT_EQ(v.samples, 4.0f);
    c.sampleRate = 2; // 2.6666667 samples: round up, truncate down
    ctl_time_from_notes(&v, &c, CTL_SAMPLES_ROUND);
    EXPECT_EQ(v.samples, 3.0f);
    ctl_time_from_notes(&v, &c, CTL_SAMPLES_TRUNCATE);
    EXPECT_EQ(v.samples, 2.0f);
}

// --------------------------------------------------------------------------
// The note sequence
// --------------------------------------------------------------------------

const uint16_t E = CTL_NOTE_EMPTY;

struct DurationRow { uint16_t notes[5]; float tempo; float seconds; };

TEST(NoteSequence, DurationIsBeatsAtTheTempo)
{
    static const DurationRow rows[] = {
        {{2, E, E, E, E}, 120, 0.5f},              // the built-in context
        {{0, E, E, E, E}, 120, 2.0f},
        {{10, 12, E, E, E}, 60, 7.5f},             // 6 + 1.5 beats
        {{5, 6, 7, 8, 9}, 120, 2.5833333f},        // triplets: 31/6 beats
        {{3, 3, 3, 3, 3}, 100, 1.5f},
        {{E, 2, 2, E, E}, 120, 0.0f},              // an empty first slot: no notes
        {{2, E, 0, E, E}, 120, 0.5f},              // the first empty slot ends it
        {{2, 2, E, E, E}, 0, 0.0f},                // tempo 0
    };
    for (const DurationRow &r : rows) {
        TimeContext c = CTL_TIME_CONTEXT_BUILTIN;
        memcpy(c.notes, r.notes, sizeof c.notes);
        c.tempo = r.tempo;
        EXPECT_FLOAT_EQ(ctl_duration_seconds(&c), r.seconds)
            << r.notes[0] << "," << r.notes[1] << "," << r.notes[2] << " at " << r.tempo;
    }
}

TEST(NoteSequence, ReplaceModeKeepsOneNote)
{
    TimeContext c = CTL_TIME_CONTEXT_BUILTIN;
    c.replaceMode = 1;
    for (int note : {4, 0, 14, 7}) {
        EXPECT_EQ(ctl_duration_add(&c, note), 1);
        EXPECT_EQ(ctl_note_count(&c), 1);
        EXPECT_EQ(c.notes[0], note);
        for (int i = 1; i < 5; ++i)
            EXPECT_EQ(c.notes[i], E);
    }
}

TEST(NoteSequence, AppendModeFillsFiveThenStartsOver)
{
    TimeContext c = CTL_TIME_CONTEXT_BUILTIN;
    c.replaceMode = 0;
    for (int i = 0; i < 5; ++i)
        c.notes[i] = E;
    static const uint16_t after[6][5] = {
        {1, E, E, E, E}, {1, 2, E, E, E}, {1, 2, 3, E, E},
        {1, 2, 3, 4, E}, {1, 2, 3, 4, 5}, {6, E, E, E, E}, // a sixth pick: alone
    };
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(ctl_duration_add(&c, k + 1), 1);
        EXPECT_EQ(memcmp(c.notes, after[k], sizeof c.notes), 0) << "after pick " << k + 1;
    }
    // Appending to the built-in quarter note.
    TimeContext d = CTL_TIME_CONTEXT_BUILTIN;
    d.replaceMode = 0;
    ctl_duration_add(&d, 3);
    EXPECT_EQ(ctl_note_count(&d), 2);
    EXPECT_FLOAT_EQ(ctl_duration_seconds(&d), 0.75f);
}

} // namespace
