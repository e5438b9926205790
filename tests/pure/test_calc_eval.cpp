// Engine evaluation: precedence, result texts, the duration flag of results,
// and the three errors.
#include "tests/pure/test_calc_driver.h"

#include <cstring>

namespace {

// ---------------------------------------------------------------------------
// Precedence and result texts
// ---------------------------------------------------------------------------

TEST(Precedence, ProductsBindFirst)
{
    static const KeyRow rows[] = {
        {"2 + 3 x 4 Enter", "14"},
        {"2 x 3 + 4 Enter", "10"},
        {"1 0 - 2 x 3 Enter", "4"},
        {"1 0 - 2 x 3 + 1 Enter", "5"},
        {"2 x 3 + 4 x 5 Enter", "26"},
        {"1 + 2 x 3 x 4 Enter", "25"},
        {"8 / 2 / 2 Enter", "2"},
        {"1 - 8 / 2 / 2 Enter", "-1"},
        {"1 + 1 2 / 4 x 2 - 1 Enter", "6"},
        {"2 x 3 / 4 Enter", "1.5"},
        {"1 - 4 Enter", "-3"},
        {"1 0 - 4 - 3 Enter", "3"},                  // left to right
        {"2 4 / 4 / 2 Enter", "3"},
    };
    expect_rows(rows);
}

TEST(Precedence, OperatorKeys)
{
    static const KeyRow rows[] = {
        {"5 + x 3 Enter", "15"},          // the second operator replaces the first
        {"5 + Enter", "5"},               // a dangling operator is dropped
        {"5 Enter", "5"},
        {"+ 5 Enter", "5"},               // an operator on nothing is ignored
        {"Enter", ""},
        {"5 + 3 DEL DEL Enter", "5"},
        {"5 + 3 = ", "8"},
    };
    expect_rows(rows);
}

TEST(ResultText, PlainNumbers)
{
    static const ValueRow rows[] = {
        {"7 / 2 Enter", "3.5", 3.5, 0, 0},
        {"2 . 5 0 Enter", "2.5", 2.5, 0, 0},
        {"1 / 3 Enter", "0.333333333333", 1.0 / 3.0, 0, 0},   // the value keeps every digit
        {"2 / 3 Enter", "0.666666666667", 2.0 / 3.0, 0, 0},
        {"1 0 0 / 3 Enter", "33.3333333333", 100.0 / 3.0, 0, 0},
        {"1 / 4 0 Enter", "0.02500000", 0.025, 0, 0},          // below 0.1: "%.8f"
        {"0 . 0 5 Enter", "0.05000000", 0.05, 0, 0},
        {"0 - 0 . 0 5 Enter", "-0.05000000", 0.05, 0, 1},
        {"0 . 1 Enter", "0.1", 0.1, 0, 0},
        {"0 . 1 + 0 . 2 Enter", "0.3", 0.1 + 0.2, 0, 0},
        {"0 . 1 + 0 . 2 - 0 . 3 Enter", "0.00000000", 0, 0, 0}, // below the zero threshold
        {"0 - 0 . 0 0 0 0 0 0 0 0 5 Enter", "0.00000000", 0, 0, 0},
        {"0 - 0 . 0 0 0 0 0 0 0 1 Enter", "-0.00000001", 1e-8, 0, 1},
        {"9{12} Enter", "999999999999", 999999999999.0, 0, 0},
        {"1 0{11} / 3 Enter", "33333333333.3", 1e11 / 3.0, 0, 0},
        {"1 2 3 4 5 6 . 7 8 9 Enter", "123456.789", 123456.789, 0, 0},
        // a lone operand beyond twelve digits once rounded: exponent notation
        {"9{12} . 9 Enter", "1e+12", 999999999999.9, 0, 0},
        {"0 - 9{12} Enter DEL 9 . 5 Enter", "-1e+12", 999999999999.5, 0, 1},
    };
    expect_value_rows(rows);
}

TEST(ResultText, ResultEntryState)
{
    CalcState *s = calc_after("1 / 8 Enter");
    EXPECT_STREQ(s->text, "0.125");
    EXPECT_EQ(s->pointFlag, 1);
    EXPECT_EQ(s->fractionDigits, 3);
    EXPECT_NEAR(s->fractionWeight, 0.001, 1e-15);
    EXPECT_EQ(s->integerDigits, 1);
    EXPECT_EQ(s->entry.op, CALC_OP_RESULT);
    feed_keys(s, "DEL");                 // the fraction weight goes back up
    EXPECT_STREQ(s->text, "0.12");
    EXPECT_NEAR(s->entry.value, 0.12, 1e-15);

    s = calc_after("1 H / 7 Enter");     // durations are truncated to milliseconds
    EXPECT_STREQ(s->text, "0h8m34.285s");
    EXPECT_NEAR(s->entry.value, 514.285, 1e-9);
    EXPECT_EQ(s->secondsMark, 1);
    EXPECT_EQ(s->fractionDigits, 3);
}

TEST(ResultText, AgainAndOn)
{
    static const KeyRow rows[] = {
        {"2 + 3 Enter Enter", "5"},
        {"2 + 3 Enter + 1 Enter", "6"},
        {"2 + 3 Enter x 2 Enter", "10"},
        {"1 / 3 Enter x 3 Enter", "1"},    // the result goes on in full precision
        {"1 H / 3 Enter x 3 Enter", "1h0m0.000s"},
    };
    expect_rows(rows);
}

// ---------------------------------------------------------------------------
// Duration flag of results
// ---------------------------------------------------------------------------

TEST(DurationFlag, SumsProductsAndQuotients)
{
    static const KeyRow rows[] = {
        {"1 H + 3 0 Enter", "1h0m30.000s"},     // a number added to a duration is seconds
        {"3 0 + 1 H Enter", "1h0m30.000s"},
        {"1 H - 3 0 mn Enter", "0h30m0.000s"},
        {"3 0 mn - 1 H Enter", "-0h30m0.000s"},
        {"1 H / 2 Enter", "0h30m0.000s"},
        {"1 H / 3 0 mn Enter", "2"},            // duration / duration is a number
        {"1 H x 1 H Enter", "3600h0m0.000s"},
        {"1 H x 2 Enter", "2h0m0.000s"},
        {"2 x 1 H Enter", "2h0m0.000s"},
        {"3 6 0 0 / 1 H Enter", "0h0m1.000s"}, // number / duration is a duration
        {"2 x 1 H / 1 H Enter", "2"},
        {"1 H + 4 / 2 Enter", "1h0m2.000s"},
        {"1 H + 1 H / 1 H Enter", "1h0m1.000s"},
        {"1 H + 2 x 3 Enter", "1h0m6.000s"},
        {"2 + 1 H x 3 Enter", "3h0m2.000s"},
        {"2 + 3 / 1 H Enter", "0h0m2.000s"},
    };
    expect_rows(rows);
}

TEST(DurationFlag, OneFlagRunsThroughSumsAndProducts)
{
    // A ÷ that closes a product after a deferred + or - gives f or g: the
    // quotient of two durations is then seconds. Anywhere else a ÷ gives
    // f xor g, with f the flag of everything before it, the sum included.
    static const KeyRow rows[] = {
        {"1 H / 3 0 mn + 2 Enter", "4"},
        {"2 + 1 H / 3 0 mn Enter", "0h0m4.000s"},
        {"2 + 1 H / 1 H Enter", "0h0m3.000s"},
        {"5 - 1 H / 1 H Enter", "0h0m4.000s"},
        {"2 + 6 / 3 Enter", "4"},
        {"1 H + 1 H / 1 H x 2 Enter", "3602"},   // the ÷ does not close the product
        {"2 + 1 H / 1 H x 2 Enter", "4"},
        {"1 H / 1 H x 2 + 1 H Enter", "1h0m2.000s"},
    };
    expect_rows(rows);
}

TEST(DurationFlag, NoNegativeZeroDuration)
{
    // -0.5 ms truncates to zero milliseconds, shown without a "-"; the tape
    // keeps the result whole and rounds it.
    CalcState *s = calc_after("0 - H 0 mn 0 . 0 0 0 5 S Enter");
    EXPECT_STREQ(s->text, "0h0m0.000s");
    EXPECT_EQ(s->entry.negative, 0);
    EXPECT_EQ(tape_texts(s).front(), "= -0h0m0.001s");
    s = calc_after("0 - H 0 mn 0 . 0 0 0 4 S Enter");
    EXPECT_EQ(tape_texts(s).front(), "= 0h0m0.000s");
}

// ---------------------------------------------------------------------------
// Errors
// ---------------------------------------------------------------------------

TEST(Errors, Texts)
{
    static const KeyRow rows[] = {
        {"8 / 0 Enter", "Divid by zero"},
        {"0 / 0 Enter", "Divid by zero"},
        {"8 / 0 . 0 Enter", "Divid by zero"},
        {"8 / 0 x 2 Enter", "Divid by zero"},
        {"5 + 8 / 0 + 1 Enter", "Divid by zero"},
        {"1 H / 0 H Enter", "Divid by zero"},
        {"8 / 0 . 0 0 0 0 0 0 0 0 1 Enter", "8000000000"},
        {"9{12} + 1 Enter", "Overflow"},
        {"9{12} x 2 Enter", "Overflow"},
        {"0 - 9{12} - 1 Enter", "Overflow"},
        {"9{12} / 0 . 5 Enter", "Overflow"},
        {"1 + 9{6} x 9{7} Enter", "Overflow"},
        {"9{12} + 1 x 1 Enter", "Overflow"},      // when the deferred sum is added
        {"9{12} + 1 - 1 Enter", "Overflow"},      // after any step, not just the last
        {"9{6} x 9{6} Enter", "999998000001"},
    };
    expect_rows(rows);
}

TEST(Errors, OnlyAllClearIsAccepted)
{
    static const char *const errors[] = {"8 / 0 Enter", "9{12} + 1 Enter"};
    for (const char *keys : errors) {
        for (int code = 0; code <= CALC_KEY_ENTER; code++) {
            if (code == CALC_KEY_AC)
                continue;
            CalcState *s = calc_after(keys);
            static CalcState before;
            before = *s;
            calc_key(s, code);
            EXPECT_EQ(memcmp(&before, s, sizeof before), 0) << keys << " then key " << code;
        }
        CalcState *s = calc_after(keys);
        feed_keys(s, "AC");
        EXPECT_EQ(s->error, CALC_OK);
        EXPECT_STREQ(s->text, "");
        EXPECT_EQ(s->tapeStart, s->tapeEnd);
        feed_keys(s, "5 + 1 Enter");
        EXPECT_STREQ(s->text, "6");
    }
}

TEST(Errors, AnErrorStoresNoResult)
{
    CalcState *s = calc_after("7 + 8 / 0 Enter");
    EXPECT_EQ(s->error, CALC_ERR_DIVZERO);
    EXPECT_EQ(s->resultShown, 0);
    EXPECT_EQ(tape_range(s), 3);
    s = calc_after("9{12} + 1 Enter");
    EXPECT_EQ(s->error, CALC_ERR_OVERFLOW);
    EXPECT_EQ(tape_range(s), 2);
}

} // namespace
