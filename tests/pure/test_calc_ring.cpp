// The tape ring: 2048 slots, a calculation of at most 2047 of them (the
// result included), the wrap from slot 2047 to slot 0.
#include "tests/pure/test_calc_driver.h"

namespace {

// Types "1 +" count times: count operands pushed, + pending.
void push_ones(CalcState *s, int count)
{
    for (int i = 0; i < count; i++) {
        calc_key(s, 1);
        calc_key(s, CALC_KEY_ADD);
    }
}

// Moves tape start and end to slot by one-operand calculations and AC.
void move_ring_to(CalcState *s, int slot)
{
    while (s->tapeEnd != slot) {
        feed_keys(s, "1 +");
        ASSERT_EQ(s->error, CALC_OK);
    }
    feed_keys(s, "AC");
}

TEST(Ring, TwoThousandFortySixOperandsEvaluate)
{
    CalcState *s = fresh_calc();
    push_ones(s, 2045);
    feed_keys(s, "1 Enter");
    EXPECT_EQ(s->error, CALC_OK);
    EXPECT_STREQ(s->text, "2046");
    EXPECT_EQ(tape_range(s), 2047); // 2046 operands and the result
}

TEST(Ring, TwoThousandFortySevenOperandsLeaveNoRoomForTheResult)
{
    CalcState *s = fresh_calc();
    push_ones(s, 2046);
    feed_keys(s, "1 Enter");
    EXPECT_EQ(s->error, CALC_ERR_STACK);
    EXPECT_STREQ(s->text, "Stack overflow");
    // The result took the 2048th slot: tape end met tape start.
    EXPECT_EQ(s->tapeEnd, s->tapeStart);
    EXPECT_EQ(s->tape[2047].op, CALC_OP_RESULT);
    EXPECT_EQ(s->resultShown, 0);
    EXPECT_TRUE(tape_texts(s).empty());
}

TEST(Ring, TheTwoThousandFortyEighthPushOverflows)
{
    CalcState *s = fresh_calc();
    push_ones(s, 2047);
    EXPECT_EQ(s->error, CALC_OK);
    EXPECT_EQ(tape_range(s), 2047);
    feed_keys(s, "1 +");
    EXPECT_EQ(s->error, CALC_ERR_STACK);
    EXPECT_STREQ(s->text, "Stack overflow");
    EXPECT_EQ(s->tapeEnd, s->tapeStart);
    feed_keys(s, "AC 2 + 2 Enter");
    EXPECT_STREQ(s->text, "4");
    const std::vector<std::string> lines = {"= 4", "+ 2", "2"};
    EXPECT_EQ(tape_texts(s), lines);
}

TEST(Ring, ACalculationAcrossTheEndOfTheRing)
{
    CalcState *s = fresh_calc();
    move_ring_to(s, 2045);
    feed_keys(s, "1 + 2 x 3 + 4 Enter");   // slots 2045, 2046, 2047, 0 and the result in 1
    EXPECT_STREQ(s->text, "11");
    EXPECT_EQ(s->tapeStart, 2045);
    EXPECT_EQ(s->tapeEnd, 2);
    const std::vector<std::string> lines = {"= 11", "+ 4", "x 3", "+ 2", "1"};
    EXPECT_EQ(tape_texts(s), lines);
    feed_keys(s, "+ 1 Enter");             // the result goes on from slot 2
    EXPECT_STREQ(s->text, "12");
    EXPECT_EQ(s->tapeStart, 2);
}

TEST(Ring, TheLimitHoldsWhereverTheCalculationStarts)
{
    CalcState *s = fresh_calc();
    move_ring_to(s, 1500);
    push_ones(s, 2047);
    EXPECT_EQ(s->error, CALC_OK);
    EXPECT_EQ(s->tapeEnd, (1500 + 2047) % CALC_TAPE_SLOTS);
    feed_keys(s, "Enter");
    EXPECT_EQ(s->error, CALC_ERR_STACK);

    s = fresh_calc();
    move_ring_to(s, 1000);
    push_ones(s, 2045);
    feed_keys(s, "1 Enter");
    EXPECT_STREQ(s->text, "2046");
    EXPECT_EQ(s->tapeEnd, (1000 + 2047) % CALC_TAPE_SLOTS);
}

TEST(Ring, SixLinesAtMost)
{
    CalcState *s = calc_after("1 + 2 + 3 + 4 + 5 + 6 + 7 Enter");
    const std::vector<std::string> lines = {"= 28", "+ 7", "+ 6", "+ 5", "+ 4", "+ 3"};
    EXPECT_EQ(tape_texts(s), lines);
}

TEST(Ring, LinesStopAtTapeStart)
{
    CalcState *s = calc_after("1 + 2 Enter AC 5 x 3 -");
    const std::vector<std::string> lines = {"x 3", "5"};
    EXPECT_EQ(tape_texts(s), lines);
    s = calc_after("1 + 2 Enter AC");
    EXPECT_TRUE(tape_texts(s).empty());
}

TEST(Ring, OutOfRangeIndicesAreMasked)
{
    CalcState *s = calc_after("4 + 5 Enter");
    s->tapeStart += CALC_TAPE_SLOTS;   // a damaged record never reads outside the ring
    s->tapeEnd -= CALC_TAPE_SLOTS;
    int slots[CALC_TAPE_LINES];
    EXPECT_EQ(calc_tape_lines(s, slots), 3);
    EXPECT_EQ(slots[0], 2);
}

} // namespace
