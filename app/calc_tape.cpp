// The tape as the display draws it (the text of one line and the slots of the
// lines shown), and the key labels of the command-line driver and the tests.
#include "app/calc_engine.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <strings.h>

namespace {

constexpr int k_ringMask = CALC_TAPE_SLOTS - 1;

// The mark that opens a tape line, by the operand's operator.
const char *operator_mark(int op)
{
    switch (op) {
    case CALC_KEY_MUL: return "x ";
    case CALC_KEY_DIV: return "/ ";
    case CALC_KEY_ADD: return "+ ";
    case CALC_KEY_SUB: return "- ";
    case CALC_OP_RESULT: return "= ";
    default: return "";
    }
}

// One key label and its code; the first label of a code is the one printed.
struct KeyLabel {
    const char *label; // what calc-keys and the test rows accept
    int code;          // key code 0..20
};

constexpr std::array<KeyLabel, 23> k_labels = {{
    {"0", 0}, {"1", 1}, {"2", 2}, {"3", 3}, {"4", 4},
    {"5", 5}, {"6", 6}, {"7", 7}, {"8", 8}, {"9", 9},
    {"DEL", CALC_KEY_DEL}, {"AC", CALC_KEY_AC},
    {"x", CALC_KEY_MUL}, {"*", CALC_KEY_MUL}, {"/", CALC_KEY_DIV},
    {"+", CALC_KEY_ADD}, {"-", CALC_KEY_SUB}, {".", CALC_KEY_POINT},
    {"H", CALC_KEY_H}, {"mn", CALC_KEY_MN}, {"S", CALC_KEY_S},
    {"Enter", CALC_KEY_ENTER}, {"=", CALC_KEY_ENTER},
}};

// Appends a line to out (used bytes so far), CRLF first unless it is the
// first line; what does not fit is cut.
void append_line(char *out, size_t outSize, size_t *used, const char *line)
{
    int n = snprintf(out + *used, outSize - *used, "%s%s", *used > 0 ? "\r\n" : "", line);
    *used = std::min(*used + (n > 0 ? static_cast<size_t>(n) : 0), outSize - 1);
}

} // namespace

int calc_tape_line_text(const TapeEntry *e, char *out, size_t outSize)
{
    if (out == nullptr || outSize == 0)
        return 0;
    char value[CALC_TEXT_SIZE];
    if (e->duration) {
        calc_format_duration(calc_tape_ms(e->value), e->negative, 3, value, sizeof value);
    } else {
        calc_format_plain(e->negative ? -e->value : e->value, value, sizeof value);
    }
    snprintf(out, outSize, "%s%s", operator_mark(e->op), value);
    return static_cast<int>(strlen(out));
}

int calc_tape_lines(const CalcState *s, int slots[CALC_TAPE_LINES])
{
    int start = s->tapeStart & k_ringMask;
    int end = s->tapeEnd & k_ringMask;
    int count = 0;
    if (start == end)
        return 0;
    int slot = end;
    do {
        slot = (slot + k_ringMask) & k_ringMask; // one back, 0 wraps to 2047
        slots[count++] = slot;
    } while (slot != start && count < CALC_TAPE_LINES);
    return count;
}

int calc_tape_copy_text(const CalcState *s, char *out, size_t outSize)
{
    if (out == nullptr || outSize == 0)
        return 0;
    int slots[CALC_TAPE_LINES];
    int count = calc_tape_lines(s, slots);
    char lines[CALC_TAPE_LINES][CALC_TEXT_SIZE];
    size_t widest = strnlen(s->text, CALC_TEXT_SIZE - 1);
    for (int i = 0; i < count; i++) {
        calc_tape_line_text(&s->tape[slots[count - 1 - i]], lines[i], sizeof lines[i]);
        widest = std::max(widest, strlen(lines[i]));
    }
    char rule[CALC_TEXT_SIZE];
    memset(rule, '-', widest);
    rule[widest] = '\0';

    size_t used = 0;
    out[0] = '\0';
    for (int i = 0; i < count; i++) {
        if (s->tape[slots[count - 1 - i]].op == CALC_OP_RESULT)
            append_line(out, outSize, &used, rule);
        append_line(out, outSize, &used, lines[i]);
    }
    if (s->text[0] != '\0')
        append_line(out, outSize, &used, s->text);
    return static_cast<int>(used);
}

int calc_key_by_label(const char *label)
{
    if (label == nullptr)
        return -1;
    for (const KeyLabel &k : k_labels) {
        if (strcasecmp(label, k.label) == 0)
            return k.code;
    }
    return -1;
}

const char *calc_key_label(int code)
{
    for (const KeyLabel &k : k_labels) {
        if (k.code == code)
            return k.label;
    }
    return "?";
}
