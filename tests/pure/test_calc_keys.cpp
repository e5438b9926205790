// Engine keys: typing plain numbers and durations, DEL, the unit keys and
// their conversions, the new-calculation rule and bad key codes.
#include "tests/pure/test_calc_driver.h"

#include <climits>
#include <cstring>

namespace {

// ---------------------------------------------------------------------------
// Typing
// ---------------------------------------------------------------------------

TEST(Typing, PlainNumbers)
{
    static const ValueRow rows[] = {
        {"0 0", "0", 0, 0, 0},
        {"0 5", "5", 5, 0, 0},
        {"0 . 0 5", "0.05", 0.05, 0, 0},
        {"0 0 . 0 0", "0.00", 0, 0, 0},
        {"1 2 3", "123", 123, 0, 0},
        {"5 0 0", "500", 500, 0, 0},
        {". 5", ".5", 0.5, 0, 0},
        {"1 . 2 . 3", "1.23", 1.23, 0, 0},             // a second point is refused
        {"1 2 3 4 5 6 7 8 9 0 1 2 3", "123456789012", 123456789012.0, 0, 0}, // 12 digits
        {"9{12} . 5", "999999999999.5", 999999999999.5, 0, 0},
        {"0 . 1 2 3 4 5 6 7 8 9 0 1 2 3", "0.123456789012", 0.123456789012, 0, 0},
        {"1 . 0{12} 5", "1.000000000000", 1, 0, 0},    // 12 fraction digits
    };
    expect_value_rows(rows);
}

TEST(Typing, Durations)
{
    static const ValueRow rows[] = {
        // the third minute digit opens the seconds field by itself
        {"1 H 3 0 1", "1h30m1", 5401, 1, 0},
        {"1 H 6 5", "1h6", 3960, 1, 0},               // no 65 minutes
        {"1 H 5 9 5 9", "1h59m59", 7199, 1, 0},
        {"1 H 5 9 6 0", "1h59m6", 7146, 1, 0},        // no 60 seconds
        {"1 H 3 0 mn 4 5 6", "1h30m45", 5445, 1, 0},  // a third second digit is refused
        {"1 H 0 0", "1h0", 3600, 1, 0},               // a second zero is refused
        {"1 H 0 5", "1h5", 3900, 1, 0},               // a digit replaces a lone zero
        {"1 H 3 0 mn 0 0 5", "1h30m5", 5405, 1, 0},
        {"2 H 3 0", "2h30", 9000, 1, 0},
        {"1 . 5 H", "1h30m", 5400, 1, 0},
        {"1 . 5 H 5 . 5 S", "1h30m5.5s", 5405.5, 1, 0},
        {"1 H 3 0 mn 1 5 S", "1h30m15s", 5415, 1, 0},
        {"1 H 3 0 mn 5 . 2 5", "1h30m5.25", 5405.25, 1, 0},
        {"1 H 3 0 mn 0 . 5", "1h30m0.5", 5400.5, 1, 0},
        {"1 H 3 0 mn 1 5 . 5 .", "1h30m15.5", 5415.5, 1, 0},
    };
    expect_value_rows(rows);
}

TEST(Typing, RefusedInDurations)
{
    static const KeyRow rows[] = {
        {"1 H .", "1h"},                     // no point in the hours
        {"1 H 3 0 .", "1h30"},               // nor in the minutes
        {"1 H 3 0 mn .", "1h30m"},           // a point only follows a seconds digit
        {"1 H 3 0 mn 1 5 S 7", "1h30m15s"},  // no digit after the seconds mark
        {"1 H 3 0 mn 1 5 S .", "1h30m15s"},
        {"1 H 3 0 mn 1 . 5 S 5", "1h30m1.5s"},
    };
    expect_rows(rows);
}

// ---------------------------------------------------------------------------
// DEL
// ---------------------------------------------------------------------------

TEST(Delete, PlainNumbers)
{
    static const ValueRow rows[] = {
        {"1 2 3 DEL", "12", 12, 0, 0},
        {"1 . 5 DEL", "1.", 1, 0, 0},
        {"1 . 5 DEL DEL", "1", 1, 0, 0},
        {"1 . 2 5 DEL 7", "1.27", 1.27, 0, 0},
        {"0 . DEL 0", "0", 0, 0, 0},          // back to a lone zero
        {"0 . DEL 5", "5", 5, 0, 0},
        {"5 DEL", "", 0, 0, 0},
        {"DEL", "", 0, 0, 0},
        {"5 DEL DEL 7", "7", 7, 0, 0},
        {"1 2 DEL DEL DEL 3", "3", 3, 0, 0},
    };
    expect_value_rows(rows);
}

TEST(Delete, Durations)
{
    static const ValueRow rows[] = {
        {"1 H 3 0 mn 1 5 S DEL", "1h30m15", 5415, 1, 0},
        {"1 H 3 0 mn 1 5 S DEL DEL", "1h30m1", 5401, 1, 0},
        {"1 H 3 0 mn 1 5 DEL 7", "1h30m17", 5417, 1, 0},
        {"1 H 3 0 mn DEL", "1h30", 5400, 1, 0},
        {"1 H 3 0 DEL", "1h3", 3780, 1, 0},     // the tens become the units
        {"1 H 3 0 DEL DEL", "1h", 3600, 1, 0},
        {"1 H 3 0 DEL DEL DEL", "1", 1, 0, 0},  // the hours are a plain number again
        {"1 2 H DEL", "12", 12, 0, 0},
        {"1 2 H DEL 5", "125", 125, 0, 0},
        {"1 H 3 0 mn 5 . 2 5 DEL", "1h30m5.2", 5405.2, 1, 0},
        {"1 H 3 0 mn 5 . 2 5 DEL DEL DEL", "1h30m5", 5405, 1, 0},
        {"1 H 3 0 mn 5 . 2 5 DEL DEL DEL 7", "1h30m57", 5457, 1, 0},
        {"1 H 3 0 DEL DEL DEL DEL", "", 0, 0, 0},
        // deleting back to "1h0m" leaves no stale lone zero: 0.5 s can be typed
        {"1 H 0 mn 0 . DEL DEL 0 . 5", "1h0m0.5", 3600.5, 1, 0},
        {"1 H Enter DEL{6} 0 . 5", "1h0m0.5", 3600.5, 1, 0},
    };
    expect_value_rows(rows);
}

TEST(Delete, Results)
{
    static const ValueRow rows[] = {
        {"2 . 5 + 1 Enter DEL", "3.", 3, 0, 0},
        {"0 - 5 Enter DEL", "-", 0, 0, 1},             // down to the "-"
        {"0 - 5 Enter DEL DEL", "", 0, 0, 0},          // then the negative flag goes
        {"0 - 5 Enter DEL 7", "-7", 7, 0, 1},
        {"0 - 1 H Enter", "-1h0m0.000s", 3600, 1, 1},
        {"0 - 1 H Enter DEL{8}", "-1h", 3600, 1, 1},
        {"0 - 1 H Enter DEL{9}", "-1", 1, 0, 1},
        {"0 - 1 H Enter DEL{10}", "-", 0, 0, 1},
        {"0 - 1 H Enter DEL{11}", "", 0, 0, 0},
        {"1 H + 3 0 Enter DEL", "1h0m30.000", 3630, 1, 0},
        // a result in exponent notation is cleared at once
        {"9{12} . 9 Enter DEL", "", 0, 0, 0},
    };
    expect_value_rows(rows);
}

TEST(Delete, RoundedConversionIsEditedAsItReads)
{
    // 5415 s in hours shows 1.5041667 but keeps 1.50416666...; an edited
    // or extended text must evaluate to what it reads.
    static const ValueRow rows[] = {
        {"1 H 3 0 mn 1 5 H DEL{5} 2 Enter", "1.502", 1.502, 0, 0},
        {"1 H 3 0 mn 1 5 H 5 Enter", "1.50416675", 1.50416675, 0, 0},
        {"1 H 0 mn 2 0 S mn DEL{2} 5 Enter", "60.3335", 60.3335, 0, 0},
    };
    expect_value_rows(rows);
}

TEST(Delete, RoundedResultDoesNotLeakIntoNewDigits)
{
    // 1/30 shows 0.03333333 and keeps 0.0333333333...; once its point is
    // deleted the text reads 0, and the hidden 3.3e-9 must not come back
    // scaled up by a trillion as new digits are typed.
    CalcState *s = calc_after("1 / 3 0 Enter DEL{9}");
    EXPECT_STREQ(s->text, "0");
    EXPECT_EQ(s->entry.value, 0.0);
    feed_keys(s, "5 0{11}");
    EXPECT_STREQ(s->text, "500000000000");
    EXPECT_EQ(s->entry.value, 500000000000.0);

    // 4e11/3 shows twelve digits and no point; deleting all of them leaves
    // nothing of the hidden third behind.
    s = calc_after("4 0{11} / 3 Enter");
    EXPECT_STREQ(s->text, "133333333333");
    feed_keys(s, "DEL{12} 5");
    EXPECT_EQ(s->entry.value, 5.0);
}

TEST(Delete, PutsTheIndicatorOutButKeepsThePendingOperator)
{
    CalcState *s = calc_after("5 + DEL");
    EXPECT_EQ(s->indicator, 0);
    EXPECT_EQ(s->pendingOp, CALC_KEY_ADD);
    feed_keys(s, "3 Enter");
    EXPECT_STREQ(s->text, "8");
}

// ---------------------------------------------------------------------------
// Unit keys and conversions
// ---------------------------------------------------------------------------

TEST(UnitKeys, PlainToDuration)
{
    static const ValueRow rows[] = {
        {"2 H", "2h", 7200, 1, 0},                       // digits go into the minutes
        {"9 0 mn", "1h30m", 5400, 1, 0},                 // digits go into the seconds
        {"3 7 2 5 S", "1h2m5.000s", 3725, 1, 0},         // closed
        {"H", "0h", 0, 1, 0},                            // an empty entry converts too
        {"mn", "0h0m", 0, 1, 0},
        {"S", "0h0m0.000s", 0, 1, 0},
        {"0 . 5 mn", "0h0m30.000s", 30, 1, 0},
        {"1 . 2 5 mn", "0h1m15.000s", 75, 1, 0},
        {"1 . 0 0 1 S", "0h0m1.001s", 1.001, 1, 0},      // no millisecond lost to rounding
        {"0 . 0 0 0 5 S", "0h0m0.000s", 0, 1, 0},        // truncated to milliseconds
        {"1 . 9 9 9 9 S", "0h0m1.999s", 1.999, 1, 0},
        {"0 . 7 H", "0h42m", 2520, 1, 0},
        {"2 H 3 0", "2h30", 9000, 1, 0},
        {"2 7 7 7 7 7 7 7 7 H", "277777777h", 999999997200.0, 1, 0},
        {"1 6 6 6 6 6 6 6 6 6 6 mn", "277777777h46m", 999999999960.0, 1, 0},
        {"9{12} S", "277777777h46m39.000s", 999999999999.0, 1, 0},
    };
    expect_value_rows(rows);
}

TEST(UnitKeys, RefusedBeyondTheirLimits)
{
    static const KeyRow rows[] = {
        {"2 7 7 7 7 7 7 7 8 H", "277777778"},
        {"1 6 6 6 6 6 6 6 6 6 7 mn", "16666666667"},
        {"9{12} . 5 S", "999999999999.5"},
    };
    expect_rows(rows);
}

TEST(UnitKeys, DurationMarksAndConversions)
{
    static const ValueRow rows[] = {
        {"1 H 3 0 mn", "1h30m", 5400, 1, 0},
        {"1 H 3 0 mn 1 5 S S", "5415.000", 5415, 0, 0},  // closed seconds: to seconds
        {"1 . 5 H H", "1.5000000", 1.5, 0, 0},           // to hours, always
        {"2 H mn", "120.00000", 120, 0, 0},              // minutes field closed: to minutes
        {"1 H 3 0 mn mn", "90.00000", 90, 0, 0},
        {"1 H S", "3600.000", 3600, 0, 0},
        {"1 H 3 0 mn S", "5400.000", 5400, 0, 0},
        {"1 H 3 0 mn 1 5 mn", "90.25000", 90.25, 0, 0},
        {"1 H 3 0 mn 1 5 H", "1.5041667", 5415.0 / 3600.0, 0, 0},
        {"1 H 3 0 mn 1 5 . S", "1h30m15.s", 5415, 1, 0},
        // S on minute digits typed after "h" closes the minutes field first
        {"1 H 3 0 S", "1h30m", 5400, 1, 0},
        {"1 H 3 S 5", "1h3m5", 185 + 3600, 1, 0},
        {"1 H 3 0 S 5 S", "1h30m5s", 5405, 1, 0},
        {"1 H 3 0 S S", "5400.000", 5400, 0, 0},
        // converted numbers take more fraction digits
        {"2 H mn 5", "120.000005", 120.000005, 0, 0},
        {"1 . 5 H H DEL DEL", "1.50000", 1.5, 0, 0},
    };
    expect_value_rows(rows);
}

TEST(UnitKeys, ResultsAndNegatives)
{
    static const ValueRow rows[] = {
        {"1 H + 3 0 mn Enter H", "1.5000000", 1.5, 0, 0},
        {"0 - 1 . 5 Enter H", "-1h30m", 5400, 1, 1},
        {"0 - 1 H Enter H", "-1.0000000", 1, 0, 1},
        {"0 - 1 H Enter mn", "-60.00000", 60, 0, 1},
        {"0 - 5 Enter DEL H", "0h", 0, 1, 0},            // no "-0h"
        {"0 - 0 . 0 0 0 1 Enter", "-0.00010000", 0.0001, 0, 1},
        {"0 - 0 . 0 0 0 1 Enter S", "0h0m0.000s", 0, 1, 0}, // no negative zero
        {"2 + 3 Enter H", "5h", 18000, 1, 0},
    };
    expect_value_rows(rows);
}

// ---------------------------------------------------------------------------
// The new-calculation rule
// ---------------------------------------------------------------------------

struct NewCalcRow {
    const char *keys;
    const char *text;
    std::vector<std::string> lines; // tape lines, newest first
};

TEST(NewCalculation, WhatTheFirstKeyAfterAResultDoes)
{
    const NewCalcRow rows[] = {
        {"2 + 3 Enter", "5", {"= 5", "+ 3", "2"}},
        {"2 + 3 Enter 4", "4", {}},                 // a digit starts a new number
        {"2 + 3 Enter 4 +", "", {"4"}},
        {"2 + 3 Enter .", ".", {}},
        {"2 + 3 Enter DEL", "", {}},                // DEL edits the result
        {"2 + 3 Enter H", "5h", {}},                // H converts it
        {"2 + 3 Enter + 1 Enter", "6", {"= 6", "+ 1", "5"}}, // an operator continues
        {"2 + 3 Enter x", "", {"5"}},
        {"2 + 3 Enter Enter", "5", {"= 5", "5"}},   // a one-operand calculation
        {"1 . 5 + 1 Enter S", "0h0m2.500s", {}},
        {"1 . 5 + 1 Enter S + 1 Enter", "0h0m3.500s", {"= 0h0m3.500s", "+ 1", "0h0m2.500s"}},
    };
    for (const NewCalcRow &r : rows) {
        CalcState *s = calc_after(r.keys);
        EXPECT_STREQ(s->text, r.text) << "keys: " << r.keys;
        EXPECT_EQ(tape_texts(s), r.lines) << "keys: " << r.keys;
    }
}

TEST(NewCalculation, ResultShownFlag)
{
    CalcState *s = calc_after("2 + 3 Enter");
    EXPECT_EQ(s->resultShown, 1);
    feed_keys(s, "mn");
    EXPECT_EQ(s->resultShown, 0);
    EXPECT_EQ(s->tapeStart, s->tapeEnd);
}

struct IndicatorRow {
    const char *keys;
    int indicator;
};

TEST(NewCalculation, OperatorIndicator)
{
    static const IndicatorRow rows[] = {
        {"5 +", CALC_KEY_ADD}, {"5 + 3", CALC_KEY_ADD}, {"5 + x", CALC_KEY_MUL},
        {"5 -", CALC_KEY_SUB}, {"5 /", CALC_KEY_DIV}, {"5 + DEL", 0},
        {"5 + 3 Enter", 0}, {"5 + AC", 0}, {"+", 0}, {"5 + 3 H", CALC_KEY_ADD},
    };
    for (const IndicatorRow &r : rows)
        EXPECT_EQ(calc_after(r.keys)->indicator, r.indicator) << "keys: " << r.keys;
}

// ---------------------------------------------------------------------------
// Bad key codes and the life cycle
// ---------------------------------------------------------------------------

TEST(BadInput, KeyCodesOutsideTheEngineChangeNothing)
{
    static const int codes[] = {-1, 21, 22, 255, 1000, INT_MIN, INT_MAX};
    CalcState *s = calc_after("1 H 3 0 +");
    feed_keys(s, "2 . 5");
    static CalcState before;
    before = *s;
    for (int code : codes) {
        const char *text = calc_key(s, code);
        EXPECT_EQ(text, s->text) << "code " << code;
        EXPECT_STREQ(text, "2.5") << "code " << code;
        EXPECT_EQ(memcmp(&before, s, sizeof before), 0) << "code " << code;
    }
}

TEST(LifeCycle, InitAndAllClear)
{
    CalcState *s = fresh_calc();
    EXPECT_EQ(s->pressedKey, -1);
    EXPECT_EQ(s->keyHeld, 0);
    EXPECT_EQ(s->mainWindow, nullptr);
    EXPECT_EQ(s->digitBase, 10.0);
    EXPECT_EQ(s->fractionWeight, 1.0);
    EXPECT_STREQ(s->text, "");
    feed_keys(s, "2 + 3 Enter AC");
    EXPECT_EQ(s->tapeStart, s->tapeEnd);
    EXPECT_EQ(s->tapeEnd, 3);           // old slots stay in the ring
    EXPECT_EQ(s->resultShown, 0);
    EXPECT_EQ(s->pendingOp, 0);
    EXPECT_STREQ(s->text, "");
    EXPECT_TRUE(tape_texts(s).empty());
}

} // namespace
