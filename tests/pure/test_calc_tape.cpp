// The tape lines as the display draws them, the shared number formatting,
// and the key labels.
#include "tests/pure/test_calc_driver.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace {

// ---------------------------------------------------------------------------
// Number helpers
// ---------------------------------------------------------------------------

struct PlainRow {
    double x;
    const char *text;
};

TEST(NumberHelpers, FormatPlain)
{
    static const PlainRow rows[] = {
        {5, "5"}, {2.5, "2.5"}, {-7, "-7"}, {1234.5, "1234.5"},
        {0.1, "0.1"}, {0.1 + 0.2, "0.3"}, {0.099999, "0.09999900"},
        {0.05, "0.05000000"}, {-0.05, "-0.05000000"}, {1e-8, "0.00000001"},
        {0.0, "0.00000000"}, {-0.0, "0.00000000"}, {-1e-9, "0.00000000"},
        {1.0 / 3.0, "0.333333333333"}, {2.0 / 3.0, "0.666666666667"},
        {100.0 / 3.0, "33.3333333333"}, {12960000, "12960000"},
        {123456789012.0, "123456789012"}, {123456789012.4, "123456789012"},
        {999999999999.0, "999999999999"}, {999999999999.4, "999999999999"},
        {999999999999.5, "1e+12"}, {-999999999999.5, "-1e+12"},
        {0.0999999999999, "0.10000000"},
    };
    for (const PlainRow &r : rows) {
        char out[64];
        int n = calc_format_plain(r.x, out, sizeof out);
        EXPECT_STREQ(out, r.text) << "x = " << r.x;
        EXPECT_EQ(n, static_cast<int>(strlen(r.text))) << "x = " << r.x;
    }
}

TEST(NumberHelpers, FormatPlainCutsToTheBuffer)
{
    char out[4];
    EXPECT_EQ(calc_format_plain(1234.5, out, sizeof out), 3);
    EXPECT_STREQ(out, "123");
    EXPECT_EQ(calc_format_plain(1.0, out, 0), 0);
    EXPECT_EQ(calc_format_plain(1.0, nullptr, 8), 0);
}

struct MsRow {
    double seconds;
    long long ms;
};

TEST(NumberHelpers, DurationMilliseconds)
{
    static const MsRow rows[] = {
        {1.001, 1001},             // 1.001 * 1000 is 1000.9999999999999
        {0.7 * 3600.0, 2520000},
        {5405.5, 5405500}, {514.2857142857, 514285}, {1.9999, 1999},
        {0.0005, 0}, {0.0, 0}, {-1.0, 0}, {-0.0, 0},
        {1.000999999999, 1000},    // truncated, not rounded
        {999999999999.999, 999999999999999},
        {0.7 + 0.1, 800},          // 0.7999999999999999, one ulp short
        {0.1 * 3.0, 300},          // 0.30000000000000004, above
        {1.999999, 1999},          // a microsecond short
        {2000000000.999998, 2000000000999}, // two microseconds short
        // Beyond 2^31 s a millisecond sum can land an ulp or two short, and
        // an ulp is more than a microsecond: whole milliseconds stay whole.
        {999999997200.0 + 2798.999, 999999999998999},
        {60000000000.0 - 0.0001, 59999999999999},   // 0.1 ms short is 13 ulps
        {184053574368.0 - 0.0005, 184053574367999}, // 0.5 ms short is 16 ulps
        {8589934592.0 + 0.001, 8589934592001},
        {std::numeric_limits<double>::quiet_NaN(), 0},
        {std::numeric_limits<double>::infinity(), 9000000000000000LL},
    };
    for (const MsRow &r : rows)
        EXPECT_EQ(calc_duration_ms(r.seconds), r.ms) << "seconds = " << r.seconds;
}

TEST(NumberHelpers, TapeMilliseconds)
{
    static const MsRow rows[] = {
        // The seconds round as "%.3f" prints them: by the binary value, and
        // an exact half to even.
        {5405.5, 5405500}, {1.0005, 1000}, {1.0015, 1002}, {0.0004, 0}, {0.0005, 1},
        {1.0625, 1062}, {1.1875, 1188},
        {59.9995, 59999}, {59.9996, 60000}, {3599.9996, 3600000}, {7199.99951, 7200000},
        {514.2857142857143, 514286}, {999999999999.0, 999999999999000},
        {-1.0, 0}, {std::numeric_limits<double>::quiet_NaN(), 0},
        {std::numeric_limits<double>::infinity(), 9000000000000000LL},
    };
    for (const MsRow &r : rows)
        EXPECT_EQ(calc_tape_ms(r.seconds), r.ms) << "seconds = " << r.seconds;
}

struct DurationRow {
    long long ms;
    int negative;
    int parts;
    const char *text;
};

TEST(NumberHelpers, FormatDuration)
{
    static const DurationRow rows[] = {
        {5405500, 0, 3, "1h30m5.500s"}, {7200000, 0, 1, "2h"}, {5400000, 0, 2, "1h30m"},
        {90000, 0, 3, "0h1m30.000s"}, {1, 0, 3, "0h0m0.001s"},
        {3600000, 1, 3, "-1h0m0.000s"}, {0, 1, 3, "0h0m0.000s"}, {0, 1, 1, "0h"},
        {999999999999000, 0, 3, "277777777h46m39.000s"}, {-5, 0, 3, "0h0m0.000s"},
    };
    for (const DurationRow &r : rows) {
        char out[64];
        int n = calc_format_duration(r.ms, r.negative, r.parts, out, sizeof out);
        EXPECT_STREQ(out, r.text) << "ms = " << r.ms;
        EXPECT_EQ(n, static_cast<int>(strlen(r.text))) << "ms = " << r.ms;
    }
    char small[5];
    EXPECT_EQ(calc_format_duration(5405500, 0, 3, small, sizeof small), 4);
    EXPECT_STREQ(small, "1h30");
}

TEST(NumberHelpers, KeyLabels)
{
    struct LabelRow { const char *label; int code; };
    static const LabelRow rows[] = {
        {"0", 0}, {"7", 7}, {".", CALC_KEY_POINT}, {"DEL", CALC_KEY_DEL}, {"del", CALC_KEY_DEL},
        {"AC", CALC_KEY_AC}, {"x", CALC_KEY_MUL}, {"*", CALC_KEY_MUL}, {"/", CALC_KEY_DIV},
        {"+", CALC_KEY_ADD}, {"-", CALC_KEY_SUB}, {"H", CALC_KEY_H}, {"mn", CALC_KEY_MN},
        {"S", CALC_KEY_S}, {"Enter", CALC_KEY_ENTER}, {"=", CALC_KEY_ENTER},
        {"q", -1}, {"", -1}, {"10", -1}, {"--tape", -1}, {"Enter ", -1},
    };
    for (const LabelRow &r : rows)
        EXPECT_EQ(calc_key_by_label(r.label), r.code) << "'" << r.label << "'";
    EXPECT_EQ(calc_key_by_label(nullptr), -1);
    for (int code = 0; code <= CALC_KEY_ENTER; code++)
        EXPECT_EQ(calc_key_by_label(calc_key_label(code)), code) << code;
    EXPECT_STREQ(calc_key_label(CALC_KEY_ABOUT), "?");
}

// ---------------------------------------------------------------------------
// Tape lines
// ---------------------------------------------------------------------------

struct LineRow {
    TapeEntry entry;
    const char *text;
};

TEST(TapeLines, OneLinePerOperand)
{
    static const LineRow rows[] = {
        {{5, 0, 0, 0}, "5"},
        {{2.5, 0, CALC_KEY_ADD, 0}, "+ 2.5"},
        {{3, 0, CALC_KEY_MUL, 0}, "x 3"},
        {{4, 0, CALC_KEY_DIV, 0}, "/ 4"},
        {{0.05, 0, CALC_KEY_SUB, 0}, "- 0.05000000"},
        {{14, 0, CALC_OP_RESULT, 0}, "= 14"},
        {{5, 0, CALC_OP_RESULT, 1}, "= -5"},
        {{5, 0, 0, 1}, "-5"},
        {{0, 0, CALC_KEY_MUL, 1}, "x 0.00000000"},         // never "-0"
        {{1.0 / 3.0, 0, CALC_KEY_MUL, 0}, "x 0.333333333333"},
        {{999999999999.5, 0, CALC_OP_RESULT, 0}, "= 1e+12"},
        {{90, 1, CALC_KEY_ADD, 0}, "+ 0h1m30.000s"},      // all three parts always
        {{5400, 1, 0, 0}, "1h30m0.000s"},                 // typed as 1h30
        {{5405.5, 1, 0, 0}, "1h30m5.500s"},
        {{3600, 1, CALC_OP_RESULT, 1}, "= -1h0m0.000s"},
        {{0, 1, 0, 1}, "0h0m0.000s"},
        {{12960000, 1, CALC_OP_RESULT, 0}, "= 3600h0m0.000s"},
        {{59.9996, 1, CALC_KEY_DIV, 0}, "/ 0h1m0.000s"},  // rounding carries
        {{7199.9999, 1, CALC_KEY_ADD, 0}, "+ 2h0m0.000s"},
        {{5.5545, 1, 0, 0}, "0h0m5.554s"},                // 5.55449999... in binary
        {{1.0625, 1, 0, 0}, "0h0m1.062s"},                // an exact half: to even
        {{1.001, 1, 0, 0}, "0h0m1.001s"},
        {{514.2857142857143, 1, CALC_OP_RESULT, 0}, "= 0h8m34.286s"}, // rounded, not cut
    };
    for (const LineRow &r : rows) {
        char out[CALC_TEXT_SIZE];
        int n = calc_tape_line_text(&r.entry, out, sizeof out);
        EXPECT_STREQ(out, r.text) << "value " << r.entry.value;
        EXPECT_EQ(n, static_cast<int>(strlen(r.text)));
    }
    char small[4];
    TapeEntry e = {123456, 0, CALC_KEY_ADD, 0};
    EXPECT_EQ(calc_tape_line_text(&e, small, sizeof small), 3);
    EXPECT_STREQ(small, "+ 1");
}

struct LinesRow {
    const char *keys;
    std::vector<std::string> lines; // newest first
};

TEST(TapeLines, WhatTheDisplayShows)
{
    const LinesRow rows[] = {
        {"", {}},
        {"5", {}},
        {"5 +", {"5"}},
        {"2 + 3 x 4 Enter", {"= 14", "x 4", "+ 3", "2"}},
        {"1 H 3 0 + 1 5 Enter", {"= 1h30m15.000s", "+ 15", "1h30m0.000s"}},
        {"0 - 5 Enter", {"= -5", "- 5", "0.00000000"}},
        {"0 - 5 Enter + 1", {"-5"}},
        {"0 - 1 H Enter x 2", {"-1h0m0.000s"}},
        {"1 + 2 Enter 7", {}},
        {"1 + 2 AC", {}},
        {"8 / 0 Enter", {"/ 0.00000000", "8"}},
        // The tape keeps the result whole and rounds it; the result line
        // shows it cut to whole milliseconds.
        {"1 H / 7 Enter", {"= 0h8m34.286s", "/ 7", "1h0m0.000s"}},
        {"1 H / 7 Enter + 0 Enter", {"= 0h8m34.285s", "+ 0.00000000", "0h8m34.285s"}},
    };
    for (const LinesRow &r : rows)
        EXPECT_EQ(tape_texts(calc_after(r.keys)), r.lines) << "keys: " << r.keys;
}

} // namespace
