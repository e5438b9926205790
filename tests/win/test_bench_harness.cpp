// The Wine benchmark's harness: its figures, the order in which it takes
// samples side by side, the round-by-round ratio and the table's verdicts.
#include "bench/win/harness.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

TEST(BenchFigure, MedianAndRangeOfAnyCount)
{
    BenchFigure odd = bench_figure({5, 1, 9, 3, 7});
    EXPECT_EQ(odd.median, 5);
    EXPECT_EQ(odd.low, 1);
    EXPECT_EQ(odd.high, 9);
    EXPECT_EQ(odd.count, 5);
    EXPECT_EQ(bench_figure({4, 2}).median, 4) << "the upper middle of an even count";
    BenchFigure none = bench_figure({});
    EXPECT_EQ(none.count, 0);
    EXPECT_EQ(none.median, 0);
}

// What the subjects' functions saw, in order.
std::string g_log;

void log_step(void *data, int i)
{
    g_log += (const char *)data;
    g_log += (char)('0' + i);
}
void log_set_up(void *) { g_log += "<"; }
void log_tear_down(void *) { g_log += ">"; }

// A warm-up round that records nothing, then rounds that take one sample of
// each subject in turn, in the other order every other round; set-up and
// tear-down come around every sample, steps count from 0 within it.
TEST(BenchSideBySide, TakesSamplesInTurnsBothWaysRound)
{
    g_log.clear();
    BenchSubject a = {"a", log_step, (void *)"a", 2, log_set_up, log_tear_down, {}};
    BenchSubject b = {"b", log_step, (void *)"b", 1, nullptr, nullptr, {}};
    BenchSubject *group[] = {&a, &b};
    bench_side_by_side(group, 2, 3);
    EXPECT_EQ(g_log, "b0<a0a1>"    // warm-up
                     "<a0a1>b0"    // round 0
                     "b0<a0a1>"    // round 1
                     "<a0a1>b0");  // round 2
    EXPECT_EQ(a.samples.size(), 3u);
    EXPECT_EQ(b.samples.size(), 3u);
    for (double us : a.samples)
        EXPECT_GE(us, 0);
}

// Samples that drift together from round to round keep their ratio; the
// ratio of the medians would not.
TEST(BenchPairedRatio, FollowsTheRoundsNotTheMedians)
{
    BenchSubject a = {"a", log_step, nullptr, 1, nullptr, nullptr, {10, 100, 11}};
    BenchSubject b = {"b", log_step, nullptr, 1, nullptr, nullptr, {5, 50, 100}};
    EXPECT_DOUBLE_EQ(bench_paired_ratio(&a, &b), 2.0);
    EXPECT_LT(bench_figure(a.samples).median / bench_figure(b.samples).median, 0.3);
    BenchSubject empty = {"e", log_step, nullptr, 1, nullptr, nullptr, {}};
    EXPECT_EQ(bench_paired_ratio(&a, &empty), 0);
}

// The table as printed into a file, read back.
std::string print_table(int *missed)
{
    FILE *f = tmpfile();
    *missed = bench_print_table(f, "a test machine, 2 cores");
    std::string text;
    rewind(f);
    char buffer[512];
    while (fgets(buffer, sizeof buffer, f))
        text += buffer;
    fclose(f);
    return text;
}

TEST(BenchTable, RowsWithTheirVerdictsAndTheFailures)
{
    bench_clear_table();
    BenchSubject fast = {"fast", log_step, nullptr, 1, nullptr, nullptr, {1, 2, 3}};
    BenchSubject slow = {"slow", log_step, nullptr, 1, nullptr, nullptr, {10, 20, 30}};
    bench_add_ratio("fast vs slow", &fast, &slow, 1.0);
    bench_add_ratio("slow vs fast", &slow, &fast, 1.25);
    BenchSubject long_one = {"dialog", log_step, nullptr, 1, nullptr, nullptr, {25000}};
    bench_add_plain("plain", &long_one);
    bench_note_failure("something was not made");
    int missed = -1;
    std::string text = print_table(&missed);
    EXPECT_EQ(missed, 1);
    EXPECT_EQ(bench_failures(), 1);
    EXPECT_NE(text.find("on a test machine, 2 cores."), std::string::npos) << text;
    EXPECT_NE(text.find("| fast vs slow | fast: 2.00 µs (1.00–3.00) | slow: 20.0 µs (10.0–30.0) "
                        "| 0.10 | ≤ 1.00 met |"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("| slow vs fast | slow: 20.0 µs (10.0–30.0) | fast: 2.00 µs (1.00–3.00) "
                        "| 10.00 | ≤ 1.25 **missed** |"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("| plain | dialog: 25.0 ms (25.0–25.0) | | | |"), std::string::npos)
        << "ten milliseconds and more in ms: " << text;
    EXPECT_NE(text.find("Not measured: something was not made"), std::string::npos) << text;
    bench_clear_table();
    EXPECT_EQ(bench_failures(), 0);
    text = print_table(&missed);
    EXPECT_EQ(text.find("fast vs slow"), std::string::npos);
}

} // namespace
