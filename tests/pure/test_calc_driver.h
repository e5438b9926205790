// Shared driver of the engine's table tests: rows of key labels and the text
// (and value) the result line must then show.
#pragma once
#include "app/calc_engine.h"

#include <gtest/gtest.h>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

// A row: key labels separated by spaces ("9{12}" types the 9 twelve times),
// and the text after the last key.
struct KeyRow {
    const char *keys;
    const char *text;
};

// A row that also checks the entry: its value (seconds for a duration), the
// duration flag and the negative flag.
struct ValueRow {
    const char *keys;
    const char *text;
    double value;
    int duration;
    int negative;
};

// The state is 50 KB: one per test program, made fresh for every row.
inline CalcState *fresh_calc()
{
    static CalcState state;
    calc_init(&state);
    return &state;
}

// Feeds the labels of keys to s; an unknown label fails the test.
inline void feed_keys(CalcState *s, const char *keys)
{
    std::istringstream in(keys);
    std::string token;
    while (in >> token) {
        int times = 1;
        size_t brace = token.find('{');
        if (brace != std::string::npos && brace > 0 && token.back() == '}') {
            times = atoi(token.c_str() + brace + 1);
            token.resize(brace);
        }
        int code = calc_key_by_label(token.c_str());
        if (code < 0) {
            ADD_FAILURE() << "unknown key label '" << token << "' in \"" << keys << "\"";
            return;
        }
        for (int i = 0; i < times; i++)
            calc_key(s, code);
    }
}

// A fresh engine after the given keys.
inline CalcState *calc_after(const char *keys)
{
    CalcState *s = fresh_calc();
    feed_keys(s, keys);
    return s;
}

template <size_t N>
void expect_rows(const KeyRow (&rows)[N])
{
    for (const KeyRow &r : rows) {
        CalcState *s = calc_after(r.keys);
        EXPECT_STREQ(s->text, r.text) << "keys: " << r.keys;
    }
}

template <size_t N>
void expect_value_rows(const ValueRow (&rows)[N])
{
    for (const ValueRow &r : rows) {
        CalcState *s = calc_after(r.keys);
        EXPECT_STREQ(s->text, r.text) << "keys: " << r.keys;
        EXPECT_NEAR(s->entry.value, r.value, 1e-9 * std::fmax(1.0, std::fabs(r.value)))
            << "keys: " << r.keys;
        EXPECT_EQ(s->entry.duration, r.duration) << "keys: " << r.keys;
        EXPECT_EQ(s->entry.negative, r.negative) << "keys: " << r.keys;
    }
}

// The tape lines the display shows, newest first.
inline std::vector<std::string> tape_texts(const CalcState *s)
{
    int slots[CALC_TAPE_LINES];
    int count = calc_tape_lines(s, slots);
    std::vector<std::string> lines;
    for (int i = 0; i < count; i++) {
        char line[CALC_TEXT_SIZE];
        calc_tape_line_text(&s->tape[slots[i]], line, sizeof line);
        lines.push_back(line);
    }
    return lines;
}

// Slots in the current tape range.
inline int tape_range(const CalcState *s)
{
    return (s->tapeEnd - s->tapeStart + CALC_TAPE_SLOTS) % CALC_TAPE_SLOTS;
}
