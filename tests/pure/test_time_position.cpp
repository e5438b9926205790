// Musical positions: formatting and parsing bar / beat / tick for every beat
// unit, reading fields, and the format-parse round trip.
#include "toolkit/dialogs/time_context.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

namespace {

std::string position_text(int bar, int beat, int tick)
{
    char text[64];
    snprintf(text, sizeof text, "%6i / %2i / %5i", bar, beat, tick);
    return text;
}

std::string format(float ms, float tempo, int32_t tpb, int32_t beatsPerBar, int32_t beatUnit)
{
    char out[CTL_POSITION_TEXT_SIZE];
    int n = ctl_music_format(out, sizeof out, ms, tempo, tpb, beatsPerBar, beatUnit);
    EXPECT_EQ(n, (int)strlen(out));
    return out;
}

// --------------------------------------------------------------------------
// Formatting
// --------------------------------------------------------------------------

TEST(MusicFormat, BuiltInContextTexts)
{
    EXPECT_EQ(format(500, 120, 96, 4, 4), "     1 /  2 /     0");
    EXPECT_EQ(format(0, 120, 96, 4, 4), "     1 /  1 /     0");
    EXPECT_EQ(format(4750, 120, 96, 4, 4), "     3 /  2 /    48");
    EXPECT_EQ(format(1000, 120, 96, 4, 4), "     1 /  3 /     0");
}

struct FormatRow { float ms, tempo; int32_t tpb, beatsPerBar, beatUnit; int bar, beat, tick; };

TEST(MusicFormat, EveryBeatUnit)
{
    static const FormatRow rows[] = {
        // Quarters (4, and any unit other than 1, 2, 8, 16). 500 ms a beat.
        {2000, 120, 96, 4, 4, 2, 1, 0},
        {499.5f, 120, 96, 4, 4, 1, 1, 96},   // rounds up to a full beat: not carried
        {2000, 120, 96, 3, 4, 2, 2, 0},
        {500, 120, 96, 4, 3, 1, 2, 0},
        {500, 120, 96, 4, 32, 1, 2, 0},
        // Halves: 1000 ms each; the ticks run over the whole half note.
        {1000, 120, 96, 3, 2, 1, 2, 0},
        {750, 120, 96, 3, 2, 1, 1, 144},
        {3000, 120, 96, 3, 2, 2, 1, 0},
        // Wholes: 2000 ms each.
        {4000, 120, 96, 2, 1, 2, 1, 0},
        {1750, 120, 96, 2, 1, 1, 1, 336},
        {1999.5f, 120, 96, 2, 1, 1, 1, 384}, // rounds up to a full whole note
        // Eighths: 250 ms, 48 ticks each; a full rounded beat carries.
        {250, 120, 96, 6, 8, 1, 2, 0},
        {260.4167f, 120, 96, 6, 8, 1, 2, 2},
        {499.5f, 120, 96, 6, 8, 1, 3, 0},
        {3000, 120, 96, 6, 8, 3, 1, 0},
        // Sixteenths: 125 ms, 24 ticks each.
        {125, 120, 96, 7, 16, 1, 2, 0},
        {875, 120, 96, 7, 16, 2, 1, 0},
        {130.2083f, 120, 96, 7, 16, 1, 2, 1},
        // Ticks round halves to even (tempo 60, 2 ticks a beat).
        {250, 60, 2, 4, 4, 1, 1, 0},         // 0.5 tick -> 0
        {750, 60, 2, 4, 4, 1, 1, 2},         // 1.5 ticks -> 2
        {1250, 60, 2, 4, 4, 1, 2, 0},
        {1750, 60, 2, 4, 4, 1, 2, 2},
        // Tempo below 1 counts as 1.
        {60000, 0.5f, 96, 4, 4, 1, 2, 0},
        // No beats per bar, or no beat unit: four units a bar.
        {2000, 120, 96, 0, 4, 2, 1, 0},
        {2000, 120, 96, 3, 0, 2, 1, 0},
    };
    for (const FormatRow &r : rows)
        EXPECT_EQ(format(r.ms, r.tempo, r.tpb, r.beatsPerBar, r.beatUnit),
                  position_text(r.bar, r.beat, r.tick))
            << r.ms << " ms, " << r.tempo << " bpm, " << r.tpb << " tpb, " << r.beatsPerBar << "/"
            << r.beatUnit;
}

TEST(MusicFormat, CutsTheTextToTheBuffer)
{
    char out[5];
    EXPECT_EQ(ctl_music_format(out, sizeof out, 500, 120, 96, 4, 4), 4);
    EXPECT_STREQ(out, "    ");
    EXPECT_EQ(ctl_music_format(out, 0, 500, 120, 96, 4, 4), 0);
    EXPECT_EQ(ctl_music_format(nullptr, 10, 500, 120, 96, 4, 4), 0);
}

// --------------------------------------------------------------------------
// Reading fields
// --------------------------------------------------------------------------

struct FieldRow { const char *text; int32_t start; int32_t value; int32_t position; };

TEST(MusicField, ReadsTheNextUnsignedField)
{
    static const FieldRow rows[] = {
        {"12/34", 0, 12, 3},
        {"12/34", 3, 34, 5},
        {"12/34", 5, -1, 5},          // at the end
        {"   7", 0, 7, 4},
        {"", 0, -1, 0},
        {"abc", 0, -1, 3},            // no digit before the end
        {"-5:", 0, 5, 3},             // signs are separators
        {"3.2.48", 2, 2, 4},
        {"2147483646", 0, 2147483646, 10},
        {"2147483647", 0, -1, 9},     // too long: stays on the digit that overflowed
        {"99999999999", 0, -1, 9},
        {"99999999999", 9, 99, 11},   // the rest reads as a new field
        {"x0y", 0, 0, 3},
    };
    for (const FieldRow &r : rows) {
        int32_t position = r.start;
        EXPECT_EQ(ctl_music_field(r.text, &position), r.value) << '"' << r.text << "\" at " << r.start;
        EXPECT_EQ(position, r.position) << '"' << r.text << "\" at " << r.start;
    }
}

TEST(MusicField, RefusesPositionsOutsideTheText)
{
    int32_t position = 4;
    EXPECT_EQ(ctl_music_field("12", &position), -1);
    EXPECT_EQ(position, 4);
    position = -1;
    EXPECT_EQ(ctl_music_field("12", &position), -1);
    EXPECT_EQ(position, -1);
    position = 0;
    EXPECT_EQ(ctl_music_field(nullptr, &position), -1);
    EXPECT_EQ(ctl_music_field("12", nullptr), -1);
}

// --------------------------------------------------------------------------
// Parsing and ctl_music_to_ms
// --------------------------------------------------------------------------

struct ParseRow { const char *text; int32_t beatsPerBar, beatUnit; float ms; };

TEST(MusicParse, TextsOfTheBuiltInContext)
{
    static const ParseRow rows[] = {
        {"3.2.48", 4, 4, 4750},
        {"3 / 2 / 48", 4, 4, 4750},
        {"3:2:48", 4, 4, 4750},
        {"   3:2:48", 4, 4, 4750},
        {"     3 /  2 /    48", 4, 4, 4750}, // the formatter's own text
        {"bar 3, beat 2, tick 48", 4, 4, 4750},
        {"-3.-2.-48", 4, 4, 4750},
        {"3.2.48.99", 4, 4, 4750},
        {"3", 4, 4, 4000},                    // bar 3, beat 1, tick 0
        {"", 4, 4, 0},
        {"0.0.0", 4, 4, 0},                   // bar 0 and beat 0 read as 1
        {"1.5.0", 4, 4, 0},                   // beat beyond the bar: 1
        {"1.4.0", 4, 4, 1500},
        {"1.1.96", 4, 4, 500},                // a tick equal to a unit's ticks stays
        {"1.1.97", 4, 4, 0},                  // one more reads as 0
        // A bar too long to read counts as 1; its last digits "99" are then
        // the beat (beyond the bar: 1) and 2 the tick.
        {"99999999999.2", 4, 4, 1000.0f / 96},
    };
    for (const ParseRow &r : rows)
        EXPECT_FLOAT_EQ(ctl_music_parse(r.text, 120, 96, r.beatsPerBar, r.beatUnit), r.ms)
            << '"' << r.text << '"';
}

TEST(MusicParse, TicksOfOneCountingUnitForEveryBeatUnit)
{
    struct Row { int32_t beatUnit; const char *kept; float keptMs; const char *dropped; };
    static const Row rows[] = {
        {1, "1.1.384", 2000, "1.1.385"},
        {2, "1.1.192", 1000, "1.1.193"},
        {4, "1.1.96", 500, "1.1.97"},
        {8, "1.1.48", 250, "1.1.49"},
        {16, "1.1.24", 125, "1.1.25"},
        {5, "1.1.96", 500, "1.1.97"},         // any other unit counts quarters
    };
    for (const Row &r : rows) {
        EXPECT_FLOAT_EQ(ctl_music_parse(r.kept, 120, 96, 4, r.beatUnit), r.keptMs) << r.beatUnit;
        EXPECT_EQ(ctl_music_parse(r.dropped, 120, 96, 4, r.beatUnit), 0.0f) << r.beatUnit;
    }
}

TEST(MusicParse, BarsAndBeatsForEveryBeatUnit)
{
    // "3.2.0" in x/unit with 3 units a bar: (2 bars x 3 + 1) units.
    struct Row { int32_t beatUnit; float unitMs; };
    static const Row rows[] = {{1, 2000}, {2, 1000}, {4, 500}, {8, 250}, {16, 125}};
    for (const Row &r : rows)
        EXPECT_FLOAT_EQ(ctl_music_parse("3.2.0", 120, 96, 3, r.beatUnit), 7 * r.unitMs) << r.beatUnit;
}

TEST(MusicToMs, CountsTicksAtTheTempo)
{
    EXPECT_EQ(ctl_music_to_ms(1, 1, 0, 120, 96, 4, 4), 0.0f);
    EXPECT_FLOAT_EQ(ctl_music_to_ms(3, 2, 48, 120, 96, 4, 4), 4750.0f);
    EXPECT_FLOAT_EQ(ctl_music_to_ms(2, 1, 0, 60, 480, 6, 8), 3000.0f);  // 6 eighths
    EXPECT_FLOAT_EQ(ctl_music_to_ms(1, 1, 1, 120, 96, 4, 4), 500.0f / 96);
    EXPECT_FLOAT_EQ(ctl_music_to_ms(1, 2, 0, 0, 96, 4, 4), 60000.0f); // tempo 0 counts as 1
}

// --------------------------------------------------------------------------
// Round trip: a formatted time reads back within one tick
// --------------------------------------------------------------------------

TEST(MusicRoundTrip, FormattedTimesParseBackWithinOneTick)
{
    std::mt19937 random(20240611);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    static const int32_t beatUnits[] = {1, 2, 4, 8, 16, 1, 2, 4, 8, 16, 0, 3, 32};
    const int kCases = 150000;
    int failures = 0;
    for (int i = 0; i < kCases && failures < 10; ++i) {
        // Tempo mostly 20-400 bpm, sometimes below 1 (read as 1).
        float tempo = (i % 16 == 0) ? unit(random) : 20.0f + 380.0f * unit(random);
        // Ticks per beat spread over 1-99999, small ones often.
        int32_t tpb = static_cast<int32_t>(std::pow(99999.0f, unit(random)));
        int32_t beatsPerBar = 1 + static_cast<int32_t>(random() % 64);
        int32_t beatUnit = beatUnits[random() % (sizeof beatUnits / sizeof beatUnits[0])];
        // Times from a millisecond to about three hours, and exact zero.
        float ms = (i % 64 == 0) ? 0.0f : std::pow(10.0f, 7.0f * unit(random));

        char text[CTL_POSITION_TEXT_SIZE];
        ctl_music_format(text, sizeof text, ms, tempo, tpb, beatsPerBar, beatUnit);
        float back = ctl_music_parse(text, tempo, tpb, beatsPerBar, beatUnit);

        float effectiveTempo = tempo < 1.0f ? 1.0f : tempo;
        double tickMs = 60000.0 / (static_cast<double>(tpb) * effectiveTempo);
        double floatStep = std::nextafter(std::max(ms, back), INFINITY) - std::max(ms, back);
        double error = std::fabs(static_cast<double>(back) - ms);
        if (error > tickMs + 2 * floatStep) {
            ++failures;
            ADD_FAILURE() << ms << " ms at " << tempo << " bpm, " << tpb << " tpb, " << beatsPerBar
                          << "/" << beatUnit << ": \"" << text << "\" reads back as " << back
                          << " ms (tick " << tickMs << " ms)";
        }
    }
}

} // namespace
