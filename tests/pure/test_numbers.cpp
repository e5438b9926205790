// Number helpers: the built format, tolerant parsing and rounding.
#include "toolkit/core/ctl_number.h"

#include <gtest/gtest.h>
#include <cstring>
#include <string>

namespace {

struct FormatRow { float value; int precision, width, plus; const char *text; };

TEST(FormatFloat, BuildsTheFormatFromItsArguments)
{
    static const FormatRow rows[] = {
        {1.25f, 2, 0, 0, "1.25"},
        {2.0f, 0, 0, 0, "2"},
        {2.5f, 0, 0, 0, "2"},        // printf rounds half to even
        {3.14159f, 3, 8, 1, "+003.142"},
        {-0.5f, 1, 0, 1, "-0.5"},
        {0.0f, 1, 0, 1, "0.0"},     // no plus sign for zero
        {2.0f, 1, 0, 1, "+2.0"},
        {-2.0f, 2, 7, 0, "-002.00"},
        {7.0f, 0, 3, 0, "007"},
        {1.5f, 256 + 1, 256, 0, "1.5"}, // taken modulo 256
    };
    for (const FormatRow &r : rows) {
        char out[64];
        int n = ctl_format_float(r.value, out, sizeof out, r.precision, r.width, r.plus);
        EXPECT_STREQ(out, r.text) << "value " << r.value;
        EXPECT_EQ(n, (int)strlen(r.text)) << "value " << r.value;
    }
}

TEST(FormatFloat, CutsTheTextToTheBuffer)
{
    char out[8];
    memset(out, 'x', sizeof out);
    int n = ctl_format_float(3.0e38f, out, sizeof out, 6, 0, 0);
    EXPECT_EQ(n, 7);
    EXPECT_EQ(out[7], '\0');
    EXPECT_EQ(ctl_format_float(1.0f, nullptr, 0, 2, 0, 0), 0);
}

TEST(FormatFloat, LengthIsModulo256)
{
    std::string big(600, '\0');
    int n = ctl_format_float(1.0f, big.data(), big.size(), 255, 0, 0);
    EXPECT_EQ(n, (2 + 255) % 256);
}

struct ParseRow { const char *text; long double value; };

TEST(ParseNumber, ReadsTheFirstNumber)
{
    static const ParseRow rows[] = {
        {"", 0}, {"-", 0}, {"--", 0}, {"abc", 0},
        {"12,5", 12.5L}, {"12.5", 12.5L}, {"abc-3x", -3}, {"- 2.25 dB", -2.25L},
        {"1-2", 1}, {"  42", 42}, {"007", 7}, {"3.", 3}, {".5", 5},
        {"1.2.3", 1.2L}, {"x-y-7,25z", -7.25L},
    };
    for (const ParseRow &r : rows)
        EXPECT_NEAR((double)ctl_parse_number(r.text), (double)r.value, 1e-15) << '"' << r.text << '"';
    EXPECT_EQ(ctl_parse_number(nullptr), 0);
}

TEST(ParseNumber, StopsAfter52Characters)
{
    // The first digit and 52 more make 53 digits; a following fraction is not read.
    std::string digits(53, '1');
    long double all = ctl_parse_number((digits + ".5").c_str());
    long double ones = 0;
    for (int i = 0; i < 53; ++i)
        ones = ones * 10 + 1;
    EXPECT_EQ(all, ones);
    // A 54th digit is ignored too.
    EXPECT_EQ(ctl_parse_number((digits + "9").c_str()), ones);
}

TEST(Round, HalvesGoDown)
{
    EXPECT_EQ(ctl_round(2.5f), 2.0f);
    EXPECT_EQ(ctl_round(2.51f), 3.0f);
    EXPECT_EQ(ctl_round(-2.5f), -3.0f);
    EXPECT_EQ(ctl_round(-2.4f), -2.0f);
    EXPECT_EQ(ctl_round(0.0f), 0.0f);
    EXPECT_EQ(ctl_round(7.0f), 7.0f);
    EXPECT_EQ(ctl_round(1.5f), 1.0f);
    EXPECT_EQ(ctl_round(1.6f), 2.0f);
}

} // namespace
