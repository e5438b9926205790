// Exact numbers: a number typed or edited digit by digit is the double its
// text reads, and a duration whose decimal value is a whole number of
// milliseconds shows that number at every magnitude. Rows first, then the
// properties: typed texts against strtod, and durations against the test's
// own decimal arithmetic in whole milliseconds.
#include "tests/pure/test_calc_driver.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

// ---------------------------------------------------------------------------
// Rows
// ---------------------------------------------------------------------------

// Keys, the text after them, and the decimal whose strtod the value must be.
struct ReadsRow {
    const char *keys;
    const char *text;
    const char *reads;
};

TEST(ExactNumbers, TypedAndEditedTextsAreTheirValue)
{
    static const ReadsRow rows[] = {
        {". 1 2 DEL", ".1", "0.1"},
        {". 0 0 0 0 0 0 0 1 1 DEL", ".00000001", "1e-8"},
        {"2 7 7 7 7 7 7 7 7 . 7 7 7 5", "277777777.7775", "277777777.7775"},
        {"5 1 1 2 5 9 9 2 . 8 8", "51125992.88", "51125992.88"},
        {"0 . 1 2 3 4 5 6 7 8 9 0 1 2", "0.123456789012", "0.123456789012"},
        {"9{12} . 9{12}", "999999999999.999999999999", "999999999999.999999999999"},
        {"1 2 3 . 4 5 6 DEL{4} 7", "1237", "1237"},
        {"1 / 7 Enter DEL 5", "0.142857142855", "0.142857142855"},
        {"1 H 3 0 mn 1 5 H DEL{2} 9", "1.504169", "1.504169"},
        // the fields of a duration add up exactly
        {"1 H 3 0 mn 5 . 1 2 3", "1h30m5.123", "5405.123"},
        {"1 H 3 0 mn 1 5 . 0{11} 1", "1h30m15.000000000001", "5415.000000000001"},
        {"2 7 7 7 7 7 7 7 7 H 4 6 mn 3 8 . 9 9 9 9", "277777777h46m38.9999", "999999999998.9999"},
        {"1 H 3 0 mn 1 5 . 5 DEL{4}", "1h30m", "5400"},
    };
    for (const ReadsRow &r : rows) {
        CalcState *s = calc_after(r.keys);
        EXPECT_STREQ(s->text, r.text) << "keys: " << r.keys;
        EXPECT_EQ(s->entry.value, strtod(r.reads, nullptr)) << "keys: " << r.keys;
    }
}

TEST(ExactNumbers, LimitsAndMillisecondsTakeTheExactValue)
{
    static const KeyRow rows[] = {
        {". 1 2 DEL Enter", "0.1"},
        {". 0 0 0 0 0 0 0 1 1 DEL Enter", "0.00000001"}, // not below the zero threshold
        {". 0 0 0 0 0 0 0 0 9 Enter", "0.00000000"},     // below it
        {"2 7 7 7 7 7 7 7 7 . 7 7 7 5 H", "277777777h46m39.000s"}, // the H limit itself
        {"2 7 7 7 7 7 7 7 7 . 7 7 7 5 1 H", "277777777.77751"},    // beyond: refused
        {"1 6 6 6 6 6 6 6 6 6 6 . 6 5 mn", "277777777h46m39.000s"},
        {"5 1 1 2 5 9 9 2 . 8 8 H", "51125992h52m48.000s"},
        {"1 . 9 9 9 9 S", "0h0m1.999s"},
        {"9{11} 8 . 9 9 9 9 S", "277777777h46m38.999s"}, // cut from the digits
        {"0 . 0 0 0 0 0 0 2 7 7 7 7 8 H", "0h0m0.001s"}, // 1.0000008 ms
        {"0 . 0 0 0 0 0 0 2 7 7 7 7 7 H", "0h"},         // 0.9999972 ms
        {"1 . 9 9 9 9 + 0 Enter S", "0h0m1.999s"},
        // results at the top keep whole milliseconds
        {"2 7 7 7 7 7 7 7 7 H + 2 7 9 8 . 9 9 9 S Enter", "277777777h46m38.999s"},
        {"2 7 7 7 7 7 7 7 7 H 4 6 mn 3 8 . 9 9 9 S Enter", "277777777h46m38.999s"},
        {"9{11} 8 . 9 9 9 S x 1 Enter", "277777777h46m38.999s"},
        {"0 . 7 S + 0 . 1 S Enter", "0h0m0.800s"},
        {"1 H 3 0 mn 1 5 . 1 2 3 9 S Enter", "1h30m15.123s"},
    };
    expect_rows(rows);
    std::vector<std::string> lines = {"= 0.1", "0.1"};
    EXPECT_EQ(tape_texts(calc_after(". 1 2 DEL Enter")), lines);
}

TEST(ExactNumbers, LongSumsOfWholeMillisecondsStayWhole)
{
    // 57 times 0.1 is 5.699999999999999 in doubles, five ulps short.
    CalcState *s = calc_after("0 . 1 S");
    for (int i = 1; i < 57; i++)
        feed_keys(s, "+ 0 . 1 S");
    feed_keys(s, "Enter");
    EXPECT_STREQ(s->text, "0h0m5.700s");
}

// ---------------------------------------------------------------------------
// Property: a typed or edited text is strtod of itself
// ---------------------------------------------------------------------------

// Where a sequence starts: nothing, or a result or conversion that keeps
// digits its text hides until the text is edited.
const char *const k_starts[] = {
    "", "", "", "", "1 / 7 Enter", "0 - 2 / 3 Enter", "1 0 0 / 3 Enter",
    "1 / 3 0 0 0 0 Enter", "1 H 3 0 mn 1 5 H", "1 H 3 0 mn 1 5 mn", "0 . 1 + 0 . 2 Enter",
};

// The value of the text without its sign, as strtod reads it ("" is 0).
double strtod_of_text(const char *text)
{
    const char *t = text[0] == '-' ? text + 1 : text;
    return *t ? strtod(t, nullptr) : 0.0;
}

// Keys of a random plain number: up to 14 integer and 14 fraction digits
// (the engine takes 12 and 12), with DELs here and there.
std::vector<int> random_typing(std::mt19937 &rng)
{
    std::vector<int> keys;
    int integers = static_cast<int>(rng() % 15);
    int fraction = static_cast<int>(rng() % 15);
    int point = fraction > 0 || rng() % 4 == 0;
    int total = integers + point + fraction;
    for (int i = 0; i < total; i++) {
        keys.push_back(point && i == integers ? CALC_KEY_POINT : static_cast<int>(rng() % 10));
        if (rng() % 8 == 0) {
            for (int n = 1 + static_cast<int>(rng() % 3); n > 0; n--)
                keys.push_back(CALC_KEY_DEL);
        }
    }
    return keys;
}

TEST(ExactProperty, TypedPlainTextsAreStrtodOfTheirText)
{
    std::mt19937 rng(1515u);
    long checked = 0;
    size_t longest = 0;
    for (int seq = 0; seq < 40000; seq++) {
        const char *start = k_starts[rng() % (sizeof k_starts / sizeof k_starts[0])];
        CalcState *s = calc_after(start);
        std::string keys = start;
        int edited = start[0] == '\0';
        for (int code : random_typing(rng)) {
            std::string before = s->text;
            calc_key(s, code);
            keys += ' ';
            keys += calc_key_label(code);
            edited = edited || before != s->text;
            if (!edited)
                continue;
            double reads = strtod_of_text(s->text);
            if (s->entry.value != reads) {
                ADD_FAILURE() << "keys: " << keys << "\ntext: " << s->text << " reads "
                              << testing::PrintToString(reads) << ", value is "
                              << testing::PrintToString(s->entry.value);
                return;
            }
            checked++;
            longest = std::max(longest, strlen(s->text));
        }
    }
    EXPECT_GT(checked, 300000);
    EXPECT_EQ(longest, 25u); // twelve digits, the point, twelve digits
}

// ---------------------------------------------------------------------------
// Property: durations in exact whole milliseconds
// ---------------------------------------------------------------------------

constexpr long long k_limitMs = 999999999999000LL; // 999999999999 s

// The exact product of a decimal text ("277777777.7775") and n, cut to a
// whole number by long multiplication on its digits. *cut tells whether a
// non-zero fraction was cut off. A product beyond 18 digits gives INT64_MAX.
long long times_exactly(const std::string &decimal, unsigned n, bool *cut)
{
    std::string digits;
    size_t point = decimal.find('.');
    size_t fractionDigits = point == std::string::npos ? 0 : decimal.size() - point - 1;
    for (char c : decimal) {
        if (c != '.')
            digits += c;
    }
    std::string product; // least significant digit first
    unsigned long long carry = 0;
    for (size_t i = digits.size(); i-- > 0;) {
        unsigned long long v = static_cast<unsigned long long>(digits[i] - '0') * n + carry;
        product += static_cast<char>('0' + v % 10);
        carry = v / 10;
    }
    for (; carry > 0; carry /= 10)
        product += static_cast<char>('0' + carry % 10);
    *cut = false;
    long long whole = 0;
    for (size_t i = product.size(); i-- > 0;) {
        if (i < fractionDigits) {
            *cut = *cut || product[i] != '0';
        } else if (whole > INT64_MAX / 100) {
            whole = INT64_MAX; // far beyond any limit
        } else {
            whole = whole * 10 + (product[i] - '0');
        }
    }
    return whole;
}

// What a unit key shows for ms milliseconds: "<h>h" when H leaves no minutes
// and seconds, "<h>h<m>m" when H or mn leave no seconds, else all three
// parts, as results always show them.
std::string duration_text(long long ms, int key)
{
    long long h = ms / 3600000, m = ms / 60000 % 60, sec = ms / 1000 % 60;
    char out[64];
    if (key == CALC_KEY_H && ms % 3600000 == 0)
        snprintf(out, sizeof out, "%lldh", h);
    else if (key != CALC_KEY_S && ms % 60000 == 0)
        snprintf(out, sizeof out, "%lldh%lldm", h, m);
    else
        snprintf(out, sizeof out, "%lldh%lldm%lld.%03llds", h, m, sec, ms % 1000);
    return out;
}

// The double that ms milliseconds read as in seconds.
double seconds_of(long long ms)
{
    char text[32];
    snprintf(text, sizeof text, "%lld.%03lld", ms / 1000, ms % 1000);
    return strtod(text, nullptr);
}

// The key labels of a text of digits and a point: "12.5" is "1 2 . 5 ".
std::string spelled(const std::string &text)
{
    std::string keys;
    for (char c : text)
        keys += std::string(1, c) + " ";
    return keys;
}

std::string random_digits(std::mt19937 &rng, int count)
{
    std::string d;
    for (int i = 0; i < count; i++)
        d += static_cast<char>('0' + rng() % 10);
    return d;
}

// A random plain number for a unit key: any size, or at the edge of the
// unit's limit, or a fraction that ends in a run of nines.
std::string random_plain(std::mt19937 &rng, int unit)
{
    static const char *const k_edges[] = {"277777777.7775", "16666666666.65", "999999999999"};
    int fraction = static_cast<int>(rng() % 13);
    switch (rng() % 3) {
    case 0: {
        // The limit's digits, cut anywhere after the point, and a few more.
        std::string edge = k_edges[unit];
        if (edge.find('.') == std::string::npos)
            edge += '.';
        size_t point = edge.find('.');
        size_t keep = point + 1 + rng() % (edge.size() - point);
        return edge.substr(0, keep) + random_digits(rng, static_cast<int>(rng() % 4));
    }
    case 1: {
        std::string t = std::to_string(rng() % 100000) + "." + random_digits(rng, fraction / 3);
        return t + std::string(rng() % 9, '9');
    }
    default: {
        int integers = static_cast<int>(rng() % 13);
        std::string t = integers ? std::to_string(1 + rng() % 9) + random_digits(rng, integers - 1) : "";
        return fraction ? t + "." + random_digits(rng, fraction) : t;
    }
    }
}

TEST(ExactProperty, UnitKeysCutTypedNumbersToExactMilliseconds)
{
    static const int k_keys[] = {CALC_KEY_H, CALC_KEY_MN, CALC_KEY_S};
    static const unsigned k_msPerUnit[] = {3600000, 60000, 1000};
    std::mt19937 rng(277u);
    int converted = 0;
    for (int i = 0; i < 30000; i++) {
        int unit = static_cast<int>(rng() % 3);
        std::string text = random_plain(rng, unit);
        std::string keys = spelled(text);
        CalcState *s = calc_after(keys.c_str());
        ASSERT_EQ(s->text, text) << "keys: " << keys;
        calc_key(s, k_keys[unit]);
        keys += calc_key_label(k_keys[unit]);

        bool cut;
        long long ms = times_exactly(text, k_msPerUnit[unit], &cut);
        bool within = ms < k_limitMs || (ms == k_limitMs && !cut);
        if (!s->entry.duration) {
            ASSERT_FALSE(within) << "refused within the limit; keys: " << keys;
            ASSERT_EQ(s->text, text) << "keys: " << keys;
            continue;
        }
        // A number a hair beyond the limit may read as the limit itself.
        ASSERT_LE(ms, k_limitMs) << "keys: " << keys;
        ASSERT_EQ(s->text, duration_text(ms, k_keys[unit])) << "keys: " << keys;
        ASSERT_EQ(s->entry.value, seconds_of(ms)) << "keys: " << keys;
        converted++;
    }
    EXPECT_GT(converted, 20000);
}

// A duration typed field by field: "<h> H", one or two minute digits and
// mn, one or two second digits, a fraction, sometimes S.
struct FieldEntry {
    std::string keys;    // key labels
    std::string text;    // what the result line shows after them
    std::string seconds; // the exact value in seconds, as a decimal
    long long ms;        // whole milliseconds in it, truncated
};

FieldEntry random_fields(std::mt19937 &rng, long long maxHours, int maxFraction)
{
    // Hours spread over every magnitude up to maxHours.
    long long h = static_cast<long long>(rng() % 10);
    for (int digits = static_cast<int>(rng() % 10); digits > 0 && h * 10 + 9 <= maxHours; digits--)
        h = h * 10 + static_cast<long long>(rng() % 10);
    if (h > maxHours)
        h = maxHours;
    int m = static_cast<int>(rng() % 60), sec = static_cast<int>(rng() % 60);
    std::string fraction = random_digits(rng, static_cast<int>(rng() % (maxFraction + 1)));
    long long whole = h * 3600 + m * 60 + sec;
    FieldEntry e;
    e.text = std::to_string(h) + "h" + std::to_string(m) + "m" + std::to_string(sec);
    e.keys = spelled(std::to_string(h)) + "H " + spelled(std::to_string(m)) + "mn " +
             spelled(std::to_string(sec));
    if (!fraction.empty()) {
        e.keys += spelled("." + fraction);
        e.text += "." + fraction;
    }
    if (rng() % 2) {
        e.keys += "S ";
        e.text += "s";
    }
    e.seconds = std::to_string(whole) + "." + fraction;
    e.ms = whole * 1000 + atoll((fraction + "000").substr(0, 3).c_str());
    return e;
}

// Checks the result line against ms milliseconds (or "Overflow" beyond the
// limit; at the limit itself either). Returns 0 with a failure added when not.
int check_result(const CalcState *s, long long ms, const std::string &keys)
{
    if (ms >= k_limitMs && strcmp(s->text, "Overflow") == 0)
        return 1;
    std::string expected = ms > k_limitMs ? "Overflow" : duration_text(ms, CALC_KEY_S);
    if (s->text == expected)
        return 1;
    ADD_FAILURE() << "keys: " << keys << "\ntext: " << s->text << ", expected " << expected;
    return 0;
}

TEST(ExactProperty, DurationsTypedFieldByFieldKeepExactMilliseconds)
{
    static const char *const k_roundTrips[] = {"H H", "mn mn", "S S"};
    std::mt19937 rng(3600u);
    for (int i = 0; i < 20000; i++) {
        // Whole milliseconds at every magnitude, or a fraction of up to five
        // digits (a shortfall of at least 10 µs) up to 500000 hours.
        int wholeMs = rng() % 2;
        FieldEntry a = wholeMs ? random_fields(rng, 277777776, 3) : random_fields(rng, 500000, 5);
        CalcState *s = calc_after(a.keys.c_str());
        ASSERT_EQ(s->text, a.text) << "keys: " << a.keys;
        ASSERT_EQ(s->entry.value, strtod(a.seconds.c_str(), nullptr)) << "keys: " << a.keys;

        // The entry alone, a sum, or a product by a whole number.
        std::string keys = a.keys;
        long long ms = a.ms;
        switch (rng() % (wholeMs ? 3 : 2)) {
        case 0:
            break;
        case 1: {
            FieldEntry b = random_fields(rng, wholeMs ? 277777776 : 500000, wholeMs ? 3 : 0);
            keys += "+ " + b.keys;
            ms += b.ms;
            break;
        }
        default: {
            long long k = 1 + static_cast<long long>(rng() % 1000);
            keys += "x " + spelled(std::to_string(k));
            ms *= k;
            break;
        }
        }
        keys += "Enter";
        s = calc_after(keys.c_str());
        if (!check_result(s, ms, keys))
            return;
        if (s->error || !wholeMs)
            continue;
        // The typed entry's tape line shows its exact milliseconds too.
        int slots[CALC_TAPE_LINES];
        int lines = calc_tape_lines(s, slots);
        char line[CALC_TEXT_SIZE];
        calc_tape_line_text(&s->tape[slots[lines - 1]], line, sizeof line);
        ASSERT_EQ(line, duration_text(a.ms, CALC_KEY_S)) << "keys: " << keys;

        // Converted to hours, minutes or seconds and back, it is the same.
        const char *trip = k_roundTrips[rng() % 3];
        feed_keys(s, trip);
        int last = trip[0] == 'H' ? CALC_KEY_H : trip[0] == 'm' ? CALC_KEY_MN : CALC_KEY_S;
        ASSERT_EQ(s->text, duration_text(ms, last)) << "keys: " << keys << " " << trip;
    }
}

} // namespace
