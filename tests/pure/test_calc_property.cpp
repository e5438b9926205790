// Property test of the engine: random key sequences, with the engine's
// invariants checked after every key.
//
// - The text is well formed and reads back as the entry's value (durations
//   in seconds): exactly for typed text, within half a unit of the last digit
//   for a formatted result or conversion until the text is edited, and
//   exactly again once a digit, a point or DEL has changed it.
// - The marks, the point flag, the duration and negative flags agree with the
//   text.
// - The text stays under 256 characters.
// - The tape range never exceeds 2047 slots; a new calculation starts where
//   the last one ended; one key stores at most two slots.
// - An error state accepts only AC: every other key leaves the whole record
//   unchanged.
#include "tests/pure/test_calc_driver.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>

namespace {

// How a text reads.
struct Reading {
    double value;    // signed; durations in seconds
    double halfUnit; // half a unit of the last digit shown
    int duration;    // the text holds "h"
    int negative;    // the text starts with "-"
    int point, hours, minutes, seconds; // the text holds ".", "h", "m", "s"
};

int read_digits(const char *&t, double *number, int *count)
{
    *number = 0;
    *count = 0;
    while (*t >= '0' && *t <= '9') {
        *number = *number * 10 + (*t - '0');
        ++*count;
        t++;
    }
    return *count;
}

// Reads a plain text (digits, an optional point and fraction, or the
// exponent spelling "1e+12"). Returns 0 when it is not such a text.
int read_plain(const char *t, Reading *r)
{
    const char *start = t;
    double whole;
    int n;
    read_digits(t, &whole, &n);
    if (*t == 'e') {
        if (strcmp(t, "e+12") != 0 || n != 1)
            return 0;
        r->value = whole * 1e12;
        r->halfUnit = 0.5;
        return 1;
    }
    if (*t == '.') {
        r->point = 1;
        t++;
        int k = 0;
        while (*t >= '0' && *t <= '9') {
            k++;
            t++;
        }
        r->halfUnit = 0.5 * std::pow(10.0, -k);
    } else {
        r->halfUnit = 0.5;
    }
    if (*t != '\0')
        return 0;
    r->value = *start ? strtod(start, nullptr) : 0.0;
    return 1;
}

// Reads "<h>h[<m>[m[<s>[.<f>][s]]]]". Returns 0 when malformed.
int read_duration(const char *t, Reading *r)
{
    double h, m = 0, sec = 0;
    int n;
    r->duration = 1;
    r->hours = 1;
    r->halfUnit = 0;
    if (!read_digits(t, &h, &n) || *t++ != 'h')
        return 0;
    read_digits(t, &m, &n);
    if (n > 2 || m > 59)
        return 0;
    if (*t == 'm') {
        r->minutes = 1;
        t++;
        const char *s0 = t;
        read_digits(t, &sec, &n);
        if (n > 2 || sec > 59)
            return 0;
        if (*t == '.') {
            if (n == 0)
                return 0;
            r->point = 1;
            t++;
            while (*t >= '0' && *t <= '9')
                t++;
            sec = strtod(s0, nullptr);
        }
        if (*t == 's') {
            r->seconds = 1;
            t++;
        }
    }
    if (*t != '\0')
        return 0;
    r->value = h * 3600 + m * 60 + sec;
    return 1;
}

int read_text(const char *text, Reading *r)
{
    *r = Reading{};
    if (text[0] == '-') {
        r->negative = 1;
        text++;
    }
    int ok = strchr(text, 'h') ? read_duration(text, r) : read_plain(text, r);
    if (r->negative)
        r->value = -r->value;
    return ok;
}

int is_error_text(const char *t)
{
    return strcmp(t, "Stack overflow") == 0 || strcmp(t, "Divid by zero") == 0 ||
           strcmp(t, "Overflow") == 0;
}

// A random key, digits most often so that numbers grow long enough.
int random_key(std::mt19937 &rng)
{
    uint32_t r = rng() % 100;
    if (r < 48) return static_cast<int>(r % 10);
    if (r < 54) return CALC_KEY_POINT;
    if (r < 62) return CALC_KEY_DEL;
    if (r < 78) return CALC_KEY_MUL + static_cast<int>(r % 4);
    if (r < 90) return CALC_KEY_H + static_cast<int>(r % 3);
    if (r < 98) return CALC_KEY_ENTER;
    return CALC_KEY_AC;
}

struct Checker {
    CalcState *s;
    double slack;       // rounding a formatted text kept from its value
    std::string keys;   // the sequence so far, for the failure message
    CalcState before;   // the record before a key typed in an error state
    int wraps;          // times tape end went round the ring
};

// Feeds one key and checks the invariants. Returns 0 (with a failure added)
// when one does not hold.
int check_key(Checker *c, int code)
{
    CalcState *s = c->s;
    int wasError = s->error;
    int wasResult = s->resultShown;
    std::string oldText = s->text;
    int oldStart = s->tapeStart;
    int oldEnd = s->tapeEnd;
    if (wasError)
        c->before = *s; // 50 KB: only where the whole record must stay
    calc_key(s, code);
    c->keys += calc_key_label(code);
    c->keys += ' ';
    auto where = [&] { return "keys: " + c->keys + "\ntext: " + s->text; };

    size_t len = strnlen(s->text, CALC_TEXT_SIZE);
    if (len >= CALC_TEXT_SIZE) {
        ADD_FAILURE() << "text not terminated\n" << where();
        return 0;
    }
    if (s->tapeStart < 0 || s->tapeStart >= CALC_TAPE_SLOTS || s->tapeEnd < 0 ||
        s->tapeEnd >= CALC_TAPE_SLOTS || tape_range(s) > 2047) {
        ADD_FAILURE() << "tape range out of bounds\n" << where();
        return 0;
    }
    if (s->tapeStart != oldStart && s->tapeStart != oldEnd) {
        ADD_FAILURE() << "a calculation started anywhere but at tape end\n" << where();
        return 0;
    }
    int stored = (s->tapeEnd - oldEnd + CALC_TAPE_SLOTS) % CALC_TAPE_SLOTS;
    if (stored > 2) {
        ADD_FAILURE() << "one key stored " << stored << " slots\n" << where();
        return 0;
    }
    if (s->tapeEnd < oldEnd)
        c->wraps++;
    if (wasError && code != CALC_KEY_AC) {
        if (memcmp(&c->before, s, sizeof c->before) != 0) {
            ADD_FAILURE() << "a key other than AC changed an error state\n" << where();
            return 0;
        }
        return 1;
    }
    if (s->error) {
        if (!is_error_text(s->text)) {
            ADD_FAILURE() << "error " << s->error << " with another text\n" << where();
            return 0;
        }
        return 1;
    }

    Reading r;
    if (!read_text(s->text, &r)) {
        ADD_FAILURE() << "malformed text\n" << where();
        return 0;
    }
    if (r.duration != s->entry.duration || r.negative != s->entry.negative ||
        r.point != s->pointFlag || r.hours != s->hoursMark || r.minutes != s->minutesMark ||
        r.seconds != s->secondsMark) {
        ADD_FAILURE() << "flags disagree with the text: duration " << s->entry.duration
                      << " negative " << s->entry.negative << " point " << s->pointFlag
                      << " marks " << s->hoursMark << s->minutesMark << s->secondsMark << "\n"
                      << where();
        return 0;
    }
    if (!(s->entry.value >= 0.0)) {
        ADD_FAILURE() << "negative magnitude " << s->entry.value << "\n" << where();
        return 0;
    }

    // Slack: a result or a conversion may round, until its text is edited.
    int edits = code <= 9 || code == CALC_KEY_POINT || code == CALC_KEY_DEL;
    if (s->text[0] == '\0' || wasResult || (edits && oldText != s->text))
        c->slack = 0;
    int formats = code == CALC_KEY_ENTER || code == CALC_KEY_H || code == CALC_KEY_MN ||
                  code == CALC_KEY_S;
    double value = s->entry.negative ? -s->entry.value : s->entry.value;
    double diff = std::fabs(value - r.value);
    double allowed = formats ? std::fmax(c->slack, r.halfUnit) : c->slack;
    allowed += 1e-12 * std::fmax(1.0, std::fabs(value));
    if (diff > allowed) {
        ADD_FAILURE() << "text reads " << r.value << ", value is " << value << " (off by "
                      << diff << ", allowed " << allowed << ")\n" << where();
        return 0;
    }
    if (formats)
        c->slack = diff;
    return 1;
}

TEST(Property, RandomKeySequencesKeepTheInvariants)
{
    constexpr int k_sequences = 100000;
    std::mt19937 rng(20240611u);
    static Checker checker;
    checker.s = fresh_calc();
    int keys = 0;
    for (int seq = 0; seq < k_sequences; seq++) {
        // Mostly AC between sequences, so they start all over the ring; now
        // and then a freshly initialised engine.
        if (seq % 1000 == 0)
            calc_init(checker.s);
        else
            calc_all_clear(checker.s);
        checker.slack = 0;
        checker.keys.clear();
        int length = 1 + static_cast<int>(rng() % 30);
        for (int i = 0; i < length; i++, keys++) {
            if (!check_key(&checker, random_key(rng)))
                return;
        }
    }
    EXPECT_GT(keys, 100000 * 10);
}

TEST(Property, LongRunsWithoutAllClear)
{
    // One long run: results are edited, converted and carried on many times,
    // and the ring wraps over and over.
    std::mt19937 rng(7u);
    static Checker checker;
    checker.s = fresh_calc();
    checker.slack = 0;
    checker.wraps = 0;
    for (int i = 0; i < 200000; i++) {
        int code = random_key(rng);
        if (code == CALC_KEY_AC && !checker.s->error)
            code = CALC_KEY_ENTER;
        if (checker.keys.size() > 600)
            checker.keys.erase(0, 300);
        if (!check_key(&checker, code))
            return;
    }
    EXPECT_GE(checker.wraps, 10);
}

} // namespace
