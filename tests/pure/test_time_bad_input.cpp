// A stored "Dial_tCtx" can hold any bytes, and a typed field any text. Each
// case here has one defined result: no read outside the note table, no
// division by zero, no float turned into an integer it does not fit, and
// only finite numbers out.
#include "toolkit/dialogs/time_context.h"

#include <gtest/gtest.h>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <string>

namespace {

const uint16_t E = CTL_NOTE_EMPTY;

std::string format(float ms, float tempo, int32_t tpb, int32_t beatsPerBar, int32_t beatUnit)
{
    char out[CTL_POSITION_TEXT_SIZE];
    ctl_music_format(out, sizeof out, ms, tempo, tpb, beatsPerBar, beatUnit);
    return out;
}

bool all_finite(const TimeValues &v)
{
    return std::isfinite(v.seconds) && std::isfinite(v.milliseconds) && std::isfinite(v.frequency)
           && std::isfinite(v.tempoOfPeriod) && std::isfinite(v.distance) && std::isfinite(v.samples);
}

// --------------------------------------------------------------------------
// Note indices beyond the table end the sequence
// --------------------------------------------------------------------------

struct NotesRow { uint16_t notes[5]; int count; float seconds; };

TEST(BadNotes, AnIndexAbove14EndsTheSequence)
{
    static const NotesRow rows[] = {
        {{2, 15, 2, E, E}, 1, 0.5f},
        {{2, 2, 100, 2, 2}, 2, 1.0f},
        {{0xFFFE, 2, 2, 2, 2}, 0, 0.0f},
        {{14, 14, 14, 14, 0x8000}, 4, 0.75f},
        {{2, 2, 2, 2, 2}, 5, 2.5f}, // five valid notes: all of them
    };
    for (const NotesRow &r : rows) {
        TimeContext c = CTL_TIME_CONTEXT_BUILTIN;
        memcpy(c.notes, r.notes, sizeof c.notes);
        EXPECT_EQ(ctl_note_count(&c), r.count) << r.notes[0] << "," << r.notes[1];
        EXPECT_FLOAT_EQ(ctl_duration_seconds(&c), r.seconds) << r.notes[0] << "," << r.notes[1];
    }
}

TEST(BadNotes, PickingAppendsRightAfterTheValidNotes)
{
    TimeContext c = CTL_TIME_CONTEXT_BUILTIN;
    c.replaceMode = 0;
    const uint16_t stored[5] = {2, 99, 3, E, 7};
    memcpy(c.notes, stored, sizeof stored);
    EXPECT_EQ(ctl_duration_add(&c, 4), 1);
    const uint16_t expected[5] = {2, 4, E, E, E};
    EXPECT_EQ(memcmp(c.notes, expected, sizeof expected), 0);
    EXPECT_EQ(ctl_note_count(&c), 2);
}

TEST(BadNotes, OnlyNotesCanBePicked)
{
    TimeContext c = CTL_TIME_CONTEXT_BUILTIN;
    for (int note : {-1, 15, 0xFFFF, 1000}) {
        EXPECT_EQ(ctl_duration_add(&c, note), 0) << note;
        EXPECT_EQ(memcmp(&c, &CTL_TIME_CONTEXT_BUILTIN, sizeof c), 0) << note;
    }
}

TEST(BadNotes, OnlyReplaceMode1Replaces)
{
    for (int32_t mode : {2, -1, 0x7FFFFFFF}) {
        TimeContext c = CTL_TIME_CONTEXT_BUILTIN;
        c.replaceMode = mode;
        ctl_duration_add(&c, 3);
        EXPECT_EQ(ctl_note_count(&c), 2) << mode;
    }
}

// --------------------------------------------------------------------------
// Tempo, sample rate and frame rate out of their range
// --------------------------------------------------------------------------

TEST(BadRates, TempoOfZeroOrLessOrNotANumberGivesNoDuration)
{
    for (float tempo : {0.0f, -0.0f, -120.0f, NAN, -INFINITY, INFINITY}) {
        TimeContext c = CTL_TIME_CONTEXT_BUILTIN;
        c.tempo = tempo;
        EXPECT_EQ(ctl_duration_seconds(&c), 0.0f) << tempo;
        TimeValues v;
        EXPECT_EQ(ctl_time_from_notes(&v, &c), 0.0f) << tempo;
        EXPECT_TRUE(all_finite(v));
    }
    // A tempo so small that the duration overflows: the largest float.
    TimeContext c = CTL_TIME_CONTEXT_BUILTIN;
    c.tempo = 1e-45f;
    EXPECT_EQ(ctl_duration_seconds(&c), FLT_MAX);
    TimeValues v;
    ctl_time_from_notes(&v, &c);
    EXPECT_TRUE(all_finite(v));
    EXPECT_EQ(v.samples, 2147483648.0f); // the count is held at the integer limit
}

TEST(BadRates, SampleRateOfZeroOrLessHasNoSamples)
{
    for (int32_t rate : {0, -1, -44100, INT32_MIN}) {
        TimeContext c = CTL_TIME_CONTEXT_BUILTIN;
        c.sampleRate = rate;
        TimeValues v;
        ctl_derive_values(&v, 1.0f, &c);
        EXPECT_EQ(v.samples, 0.0f) << rate;
        EXPECT_EQ(ctl_time_from_samples(&v, &c, "44100"), 0.0f) << rate;
        EXPECT_EQ(v.samples, 44100.0f) << rate; // the typed count stays
        EXPECT_TRUE(all_finite(v));
    }
}

TEST(BadRates, SampleCountsAreHeldAtTheIntegerLimit)
{
    TimeContext c = CTL_TIME_CONTEXT_BUILTIN;
    c.sampleRate = INT32_MAX;
    TimeValues v;
    ctl_derive_values(&v, 1e6f, &c);
    EXPECT_EQ(v.samples, 2147483648.0f);
    ctl_derive_values(&v, -1e6f, &c);
    EXPECT_EQ(v.samples, -2147483648.0f);
    // A typed count beyond 32 bits.
    EXPECT_GT(ctl_time_from_samples(&v, &c, "99999999999999999999"), 0.0f);
    EXPECT_EQ(v.samples, 2147483648.0f);
}

TEST(BadRates, FrameRateOfZeroOrLessOrNotANumberGivesZeroSeconds)
{
    for (float fps : {0.0f, -25.0f, NAN, -INFINITY}) {
        TimeContext c = CTL_TIME_CONTEXT_BUILTIN;
        c.framesPerSecond = fps;
        TimeValues v;
        EXPECT_EQ(ctl_time_from_frame(&v, &c, "100"), 0.0f) << fps;
        EXPECT_TRUE(all_finite(v));
        EXPECT_TRUE(std::isfinite(ctl_video_frame(2.0f, &c))) << fps;
    }
    TimeContext c = CTL_TIME_CONTEXT_BUILTIN;
    c.framesPerSecond = NAN;
    EXPECT_EQ(ctl_video_frame(2.0f, &c), 0.0f);
    c.framesPerSecond = INFINITY;
    EXPECT_EQ(ctl_video_frame(2.0f, &c), FLT_MAX);
}

// --------------------------------------------------------------------------
// Numbers beyond the float range
// --------------------------------------------------------------------------

TEST(BadNumbers, TypedNumbersBeyondTheFloatAreTheLargestFloat)
{
    const TimeContext c = CTL_TIME_CONTEXT_BUILTIN;
    std::string huge = "1" + std::string(52, '0');
    TimeValues v;
    EXPECT_EQ(ctl_time_from_seconds(&v, &c, huge.c_str()), FLT_MAX);
    EXPECT_TRUE(all_finite(v));
    EXPECT_EQ(v.milliseconds, FLT_MAX);
    EXPECT_EQ(ctl_time_from_milliseconds(&v, &c, huge.c_str()), FLT_MAX * 0.001f);
    EXPECT_TRUE(all_finite(v));
    // A frequency so small its period is beyond the float range.
    std::string tiny = "0." + std::string(39, '0') + "1";
    EXPECT_EQ(ctl_time_from_frequency(&v, &c, tiny.c_str()), FLT_MAX);
    EXPECT_TRUE(all_finite(v));
    // And one that rounds to 0 in a float: no period.
    std::string zero = "0." + std::string(50, '0') + "1";
    EXPECT_EQ(ctl_time_from_tempo_of_period(&v, &c, zero.c_str()), 0.0f);
}

TEST(BadNumbers, CallersNonFiniteSecondsGiveFiniteViews)
{
    const TimeContext c = CTL_TIME_CONTEXT_BUILTIN;
    TimeValues v;
    ctl_derive_values(&v, NAN, &c);
    EXPECT_EQ(v.seconds, 0.0f);
    EXPECT_EQ(v.frequency, 0.0f);
    EXPECT_EQ(v.samples, 0.0f);
    ctl_derive_values(&v, INFINITY, &c);
    EXPECT_TRUE(all_finite(v));
    EXPECT_EQ(v.seconds, FLT_MAX);
    ctl_derive_values(&v, -INFINITY, &c);
    EXPECT_TRUE(all_finite(v));
    EXPECT_EQ(v.samples, -2147483648.0f);
    ctl_derive_values(&v, 1e-45f, &c); // a period too short for its frequency
    EXPECT_EQ(v.frequency, FLT_MAX);
}

// --------------------------------------------------------------------------
// Positions with a context out of range
// --------------------------------------------------------------------------

struct GridRow {
    const char *what;
    float tempo;
    int32_t tpb, beatsPerBar, beatUnit;
    float ms;
    const char *text;
};

TEST(BadPositions, FormatGivesADefinedText)
{
    static const GridRow rows[] = {
        // Eighths or sixteenths finer than the tick: the ticks per beat are
        // rounded up to whole ticks per counting unit.
        {"eighths at 1 tpb", 120, 1, 4, 8, 250, "     1 /  2 /     0"},
        {"eighths at 1 tpb, 3 eighths", 120, 1, 4, 8, 750, "     1 /  4 /     0"},
        {"sixteenths at 3 tpb", 120, 3, 4, 16, 125, "     1 /  2 /     0"},
        {"sixteenths at 1 tpb", 120, 1, 4, 16, 625, "     2 /  2 /     0"},
        {"eighths at 97 tpb", 120, 97, 6, 8, 3000, "     3 /  1 /     0"},
        // ticksPerBeat outside 1..99999.
        {"0 tpb", 120, 0, 4, 4, 750, "     1 /  2 /     0"},
        {"negative tpb", 120, -96, 4, 4, 1000, "     1 /  3 /     0"},
        {"huge tpb", 120, 0x7FFFFFFF, 4, 1, 1750, "     1 /  1 / 349997"}, // 99999 tpb
        // beatsPerBar of 0 or below: four units a bar.
        {"0 beats a bar", 120, 96, 0, 4, 2500, "     2 /  2 /     0"},
        {"negative beats a bar", 120, 96, -3, 4, 2500, "     2 /  2 /     0"},
        {"beatUnit 0", 120, 96, 7, 0, 2500, "     2 /  2 /     0"},
        {"beatUnit -8", 120, 96, 4, -8, 500, "     1 /  2 /     0"},
        // Tempo below 1, NaN or infinite.
        {"tempo 0", 0, 96, 4, 4, 60000, "     1 /  2 /     0"},
        {"tempo -120", -120, 96, 4, 4, 60000, "     1 /  2 /     0"},
        {"tempo NaN", NAN, 96, 4, 4, 60000, "     1 /  2 /     0"},
        {"tempo infinite", INFINITY, 96, 4, 4, 1, "67108865 /  1 /     0"},
        // Milliseconds negative, NaN, huge or infinite.
        {"negative time", 120, 96, 4, 4, -500, "     1 /  1 /     0"},
        {"NaN time", 120, 96, 4, 4, NAN, "     1 /  1 /     0"},
        {"-infinity", 120, 96, 4, 4, -INFINITY, "     1 /  1 /     0"},
        {"2^28 quarters", 120, 96, 4, 4, 1.34217728e11f, "67108865 /  1 /     0"},
        {"beyond 2^28 quarters", 120, 96, 4, 4, 1e30f, "67108865 /  1 /     0"},
        {"infinity", 120, 96, 4, 4, INFINITY, "67108865 /  1 /     0"},
        {"infinity in sixteenths", 120, 96, 1, 16, INFINITY, "1073741825 /  1 /     0"},
        {"infinity, huge bar", 120, 96, 0x7FFFFFFF, 16, INFINITY, "     1 / 1073741825 /     0"},
    };
    for (const GridRow &r : rows)
        EXPECT_EQ(format(r.ms, r.tempo, r.tpb, r.beatsPerBar, r.beatUnit), r.text) << r.what;
}

TEST(BadPositions, ParseAndFormatAgreeOnTheSameRules)
{
    // Each context is out of range in some way; a formatted time must read
    // back within one tick of the grid actually used.
    struct Row { float tempo; int32_t tpb, beatsPerBar, beatUnit; };
    static const Row rows[] = {
        {120, 1, 4, 8}, {120, 1, 4, 16}, {120, 3, 4, 16}, {120, 97, 6, 8}, {120, 98, 7, 16},
        {120, 0, 4, 4}, {120, -5, 3, 2}, {120, 96, 0, 4}, {120, 96, -4, 8}, {120, 96, 5, 0},
        {0, 96, 4, 4},  {-1, 96, 4, 1},  {NAN, 96, 4, 4}, {120, 200000, 4, 4},
    };
    for (const Row &r : rows) {
        for (float ms : {0.0f, 1.0f, 249.0f, 251.0f, 777.7f, 12345.6f, 999999.0f}) {
            char text[CTL_POSITION_TEXT_SIZE];
            ctl_music_format(text, sizeof text, ms, r.tempo, r.tpb, r.beatsPerBar, r.beatUnit);
            float back = ctl_music_parse(text, r.tempo, r.tpb, r.beatsPerBar, r.beatUnit);
            float tempo = (r.tempo >= 1.0f) ? r.tempo : 1.0f;
            int32_t tpb = r.tpb < 1 ? 1 : (r.tpb > 99999 ? 99999 : r.tpb);
            double tickMs = 60000.0 / (tpb * static_cast<double>(tempo));
            EXPECT_NEAR(back, ms, tickMs + ms * 1e-6)
                << text << " from " << ms << " ms at " << r.tempo << " bpm, " << r.tpb << " tpb, "
                << r.beatsPerBar << "/" << r.beatUnit;
        }
    }
}

TEST(BadPositions, ToMsStaysInTheFloatRange)
{
    // The largest fields, the smallest tempo that counts, the widest grid.
    float ms = ctl_music_to_ms(2147483646, 2147483646, 2147483646, 1e-30f, 99999, 0x7FFFFFFF, 1);
    EXPECT_TRUE(std::isfinite(ms));
    EXPECT_GT(ms, 0.0f);
    EXPECT_EQ(ctl_music_to_ms(5, 1, 0, INFINITY, 96, 4, 4), 0.0f);
    EXPECT_EQ(ctl_music_to_ms(5, 1, 0, NAN, 96, 4, 4), ctl_music_to_ms(5, 1, 0, 1, 96, 4, 4));
}

TEST(BadPositions, ParseOfAnyTextIsFiniteAndNotNegative)
{
    static const char *const texts[] = {
        "2147483646.2147483646.2147483646", "0:0:0", "::::", "1/1/1/1/1/1",
        "\x80\xff\x01 9", "4294967295.4294967295.4294967295",
    };
    for (const char *text : texts) {
        float ms = ctl_music_parse(text, 1e-3f, 0, -1, 16);
        EXPECT_TRUE(std::isfinite(ms) && ms >= 0.0f) << text;
        EXPECT_EQ(ctl_music_parse(text, 120, 96, 4, 4),
                  ctl_music_parse(text, 120, 96, 4, 4)) << text;
    }
    EXPECT_EQ(ctl_music_parse(nullptr, 120, 96, 4, 4), 0.0f);
}

} // namespace
