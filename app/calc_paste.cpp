// The paste reader: a pasted text becomes the key codes that type it, or is
// refused whole, so a paste never types part of a text.
//
// Forms, after the blanks around the text and one line break at its end are
// dropped (the grammar; a blank is a space or a tab):
//
//   text      value (blank* operator blank* value)* (blank* "=")?
//   value     number | duration | clock
//   number    digits ("." | ",") digits  |  digits  |  ("." | ",") digits
//             (the integer digits may be grouped by thousands: "1 000 000")
//   duration  number unit                       "1.5h", "45m", "12.5s"
//             integer "h" field "m" [field "s"]  "1h30m", "1h30m15.5s"
//             integer "h" field "s"              "1h15s" (typed as 1h0m15s)
//             integer "m" field "s"              "30m15s"
//   clock     integer ":" field ":" field        h:m:s, "1:30:15.5"
//             integer ":" field                  m:s, "4:05"
//   field     one or two digits below 60; a seconds field may have a fraction
//   operator  + - * x / and the signs × ÷ −
//
// Unit letters may be capitals. A text that starts with a minus is refused:
// the keypad has no key for a negative number, and the − key at the start
// would not subtract. Numbers the keypad would cut (more than 12 digits
// before or after the point) are refused too, so every accepted text types
// exactly what it says.
#include "app/calc_engine.h"

#include <cstdint>

namespace {

// Why a text was refused (printed by calc-keys).
const char k_empty[] = "the text is empty";
const char k_tooLong[] = "the text is longer than 256 characters";
const char k_zeroByte[] = "the text holds a zero byte";
const char k_badUtf8[] = "the text is not valid UTF-8";
const char k_foreign[] = "the text holds a character that no key types";
const char k_minus[] = "a value cannot start with a minus: the keypad types no negative numbers";
const char k_operatorPlace[] = "an operator must stand between two values";
const char k_form[] = "the text is not numbers, durations or clock times joined by operators";
const char k_digits[] = "a number has more than 12 digits before or after its point";
const char k_field[] = "minutes and seconds after a larger unit must be one or two digits below 60";
const char k_equals[] = "\"=\" can only end the text";
const char k_error[] = "an error is shown: only AC clears it";

constexpr int k_maxDigits = 12; // the keypad's limit before and after the point

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_blank(char c) { return c == ' ' || c == '\t'; }

// ---------------------------------------------------------------------------
// Characters: UTF-8 in, one ASCII character per character out
// ---------------------------------------------------------------------------

// Decodes the character at text[i]: its code point and its length in bytes.
// Returns 0 for a byte sequence that is not UTF-8 (cut short, a stray
// continuation byte, an overlong form).
int decode_utf8(const unsigned char *text, size_t length, size_t i, uint32_t *cp, int *bytes)
{
    unsigned char c = text[i];
    int n;
    uint32_t min;
    if (c < 0x80) {
        *cp = c;
        *bytes = 1;
        return 1;
    } else if ((c & 0xE0) == 0xC0) {
        n = 2;
        min = 0x80;
        *cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        n = 3;
        min = 0x800;
        *cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        n = 4;
        min = 0x10000;
        *cp = c & 0x07;
    } else {
        return 0;
    }
    if (length - i < static_cast<size_t>(n))
        return 0;
    for (int k = 1; k < n; k++) {
        if ((text[i + k] & 0xC0) != 0x80)
            return 0;
        *cp = (*cp << 6) | (text[i + k] & 0x3F);
    }
    *bytes = n;
    return *cp >= min;
}

// The ASCII character a code point is read as: itself for printable ASCII,
// tabs and line breaks, * / - for the signs × ÷ −; 0 for anything else.
char ascii_of(uint32_t cp)
{
    if ((cp >= 0x20 && cp < 0x7F) || cp == '\t' || cp == '\r' || cp == '\n')
        return static_cast<char>(cp);
    switch (cp) {
    case 0x00D7: return '*'; // ×
    case 0x00F7: return '/'; // ÷
    case 0x2212: return '-'; // −
    default: return 0;
    }
}

// Copies the text into ascii (at most CALC_PASTE_MAX_CHARS characters and a
// terminating zero). Returns null, or the reason of a refusal.
const char *to_ascii(const char *text, size_t length, char *ascii)
{
    // Four bytes at most per character: anything longer has too many.
    if (length > 4 * static_cast<size_t>(CALC_PASTE_MAX_CHARS))
        return k_tooLong;
    const unsigned char *bytes = reinterpret_cast<const unsigned char *>(text);
    int n = 0;
    for (size_t i = 0; i < length;) {
        uint32_t cp;
        int size;
        if (!decode_utf8(bytes, length, i, &cp, &size))
            return k_badUtf8;
        if (n == CALC_PASTE_MAX_CHARS)
            return k_tooLong;
        if (cp == 0)
            return k_zeroByte;
        char c = ascii_of(cp);
        if (c == 0)
            return k_foreign;
        ascii[n++] = c;
        i += static_cast<size_t>(size);
    }
    ascii[n] = '\0';
    return nullptr;
}

// Drops the blanks at both ends and one line break ("\r\n", "\n" or "\r")
// among the blanks at the end. Returns the first character kept.
char *trim(char *t)
{
    while (is_blank(*t))
        t++;
    char *end = t;
    while (*end)
        end++;
    while (end > t && is_blank(end[-1]))
        end--;
    if (end > t && end[-1] == '\n')
        end--;
    if (end > t && end[-1] == '\r')
        end--;
    while (end > t && is_blank(end[-1]))
        end--;
    *end = '\0';
    return t;
}

// ---------------------------------------------------------------------------
// Reading values
// ---------------------------------------------------------------------------

// A number as written.
struct Number {
    const char *begin;  // its first character
    const char *end;    // one past its last
    int written;        // integer digits as written
    int integerDigits;  // integer digits without the leading zeros
    int fractionDigits; // digits after the mark
    bool mark;          // a decimal mark ("." or ",") was written
    int value;          // the integer part, for one- and two-digit fields
};

// The reader: a cursor over the trimmed text and the keys so far.
struct Reader {
    const char *at;     // next character
    CalcPasteKeys *out; // the keys
    const char *reason; // the first refusal, null while all is well
};

// Refuses the text with the first reason given. Returns 0.
int refuse(Reader *r, const char *reason)
{
    if (r->reason == nullptr)
        r->reason = reason;
    return 0;
}

void emit(Reader *r, int code)
{
    if (r->out->count < CALC_PASTE_MAX_KEYS)
        r->out->codes[r->out->count++] = code;
    else
        refuse(r, k_tooLong); // never, by the bound on the text
}

// A run of digits at p: how many.
int digit_run(const char *p)
{
    int n = 0;
    while (is_digit(p[n]))
        n++;
    return n;
}

// Reads a number at r->at: digits, thousands groups when `groups` is set
// (" ddd" after a first run of one to three digits), then a decimal mark
// with at least one digit after it. Returns 1 and moves on, or 0 when no
// number starts here (a mark must be followed by a digit: "5." is none).
int read_number(Reader *r, Number *n, bool groups)
{
    const char *p = r->at;
    *n = {p, p, 0, 0, 0, false, 0};
    int run = digit_run(p);
    p += run;
    n->written = run;
    if (groups && run >= 1 && run <= 3) {
        while (p[0] == ' ' && digit_run(p + 1) == 3) {
            p += 4;
            n->written += 3;
        }
    }
    if ((*p == '.' || *p == ',') && is_digit(p[1])) {
        n->mark = true;
        n->fractionDigits = digit_run(p + 1);
        p += 1 + n->fractionDigits;
    }
    if (n->written == 0 && !n->mark)
        return 0;
    bool leading = true;
    for (const char *c = n->begin; c < p && *c != '.' && *c != ','; c++) {
        if (*c == ' ')
            continue; // a thousands blank
        leading = leading && *c == '0';
        if (!leading)
            n->integerDigits++;
        if (n->value < 100)
            n->value = n->value * 10 + (*c - '0');
    }
    n->end = p;
    r->at = p;
    return 1;
}

// Refuses numbers the keypad would cut. Returns 1 when n can be typed whole.
int check_digits(Reader *r, const Number &n)
{
    if (n.integerDigits > k_maxDigits || n.fractionDigits > k_maxDigits)
        return refuse(r, k_digits);
    return 1;
}

// The keys of a number: its digits, the point, its fraction digits.
void emit_number(Reader *r, const Number &n)
{
    for (const char *c = n.begin; c < n.end; c++) {
        if (is_digit(*c))
            emit(r, CALC_KEY_0 + (*c - '0'));
        else if (*c == '.' || *c == ',')
            emit(r, CALC_KEY_POINT);
    }
}

// Reads a minutes or seconds field after a larger unit: one or two integer
// digits below 60, a fraction only when `fraction` is set. Returns 1, or 0
// with the reason.
int read_field(Reader *r, Number *n, bool fraction)
{
    if (!read_number(r, n, false))
        return refuse(r, k_form);
    if (n->written < 1 || n->written > 2 || n->value >= 60)
        return refuse(r, k_field);
    if (n->mark && !fraction)
        return refuse(r, k_form);
    return check_digits(r, *n);
}

// The unit key of a unit letter, or -1.
int unit_key(char c)
{
    switch (c) {
    case 'h': case 'H': return CALC_KEY_H;
    case 'm': case 'M': return CALC_KEY_MN;
    case 's': case 'S': return CALC_KEY_S;
    default: return -1;
    }
}

// The operator key of a character, or -1.
int operator_key(char c)
{
    switch (c) {
    case '+': return CALC_KEY_ADD;
    case '-': return CALC_KEY_SUB;
    case '*': case 'x': case 'X': return CALC_KEY_MUL;
    case '/': return CALC_KEY_DIV;
    default: return -1;
    }
}

// The seconds field that may close a duration whose minutes are typed:
// nothing, or a field and "s". Returns 1, or 0 with the reason.
int read_seconds(Reader *r)
{
    if (!is_digit(*r->at))
        return 1;
    Number s;
    if (!read_field(r, &s, true))
        return 0;
    if (unit_key(*r->at) != CALC_KEY_S)
        return refuse(r, k_form);
    r->at++;
    emit_number(r, s);
    emit(r, CALC_KEY_S);
    return 1;
}

// The fields after "h": nothing, minutes and "m" with optional seconds, or
// seconds and "s" alone, which the keypad types with zero minutes in front
// ("1h15s" is 1 H 0 mn 1 5 S). Returns 1, or 0 with the reason.
int read_after_hours(Reader *r)
{
    if (!is_digit(*r->at))
        return 1;
    Number f;
    if (!read_field(r, &f, true))
        return 0;
    int unit = unit_key(*r->at);
    if (unit == CALC_KEY_MN && !f.mark) {
        r->at++;
        emit_number(r, f);
        emit(r, CALC_KEY_MN);
        return read_seconds(r);
    }
    if (unit != CALC_KEY_S)
        return refuse(r, k_form);
    r->at++;
    emit(r, CALC_KEY_0);
    emit(r, CALC_KEY_MN);
    emit_number(r, f);
    emit(r, CALC_KEY_S);
    return 1;
}

// A clock time after its first number n (hours or minutes) and the ":" at
// r->at. Returns 1, or 0 with the reason.
int read_clock(Reader *r, const Number &n)
{
    if (n.mark)
        return refuse(r, k_form);
    r->at++; // ":"
    Number a;
    if (!read_field(r, &a, true))
        return 0;
    if (*r->at != ':') { // m:s
        emit_number(r, n);
        emit(r, CALC_KEY_MN);
        emit_number(r, a);
        emit(r, CALC_KEY_S);
        return 1;
    }
    if (a.mark) // h:m:s: the minutes are whole
        return refuse(r, k_form);
    r->at++;
    Number b;
    if (!read_field(r, &b, true))
        return 0;
    emit_number(r, n);
    emit(r, CALC_KEY_H);
    emit_number(r, a);
    emit(r, CALC_KEY_MN);
    emit_number(r, b);
    emit(r, CALC_KEY_S);
    return 1;
}

// One value: a number, a duration or a clock time. Returns 1, or 0 with the
// reason.
int read_value(Reader *r)
{
    Number n;
    if (!read_number(r, &n, true)) {
        if (*r->at == '-')
            return refuse(r, k_minus);
        return refuse(r, operator_key(*r->at) >= 0 ? k_operatorPlace : k_form);
    }
    if (!check_digits(r, n))
        return 0;
    if (*r->at == ':')
        return read_clock(r, n);
    emit_number(r, n);
    int unit = unit_key(*r->at);
    if (unit < 0)
        return 1;
    r->at++;
    emit(r, unit);
    // A fraction makes the duration one field; seconds close it.
    if (n.mark || unit == CALC_KEY_S)
        return 1;
    return unit == CALC_KEY_H ? read_after_hours(r) : read_seconds(r);
}

void skip_blanks(Reader *r)
{
    while (is_blank(*r->at))
        r->at++;
}

// The whole trimmed text: values joined by operators, an optional "=".
int read_text(Reader *r)
{
    for (;;) {
        if (!read_value(r))
            return 0;
        skip_blanks(r);
        char c = *r->at;
        if (c == '\0')
            return 1;
        if (c == '=') {
            r->at++;
            skip_blanks(r);
            emit(r, CALC_KEY_ENTER);
            return *r->at == '\0' ? 1 : refuse(r, k_equals);
        }
        int op = operator_key(c);
        if (op < 0)
            return refuse(r, k_form);
        r->at++;
        emit(r, op);
        skip_blanks(r);
        if (*r->at == '\0' || *r->at == '=' || operator_key(*r->at) >= 0)
            return refuse(r, k_operatorPlace);
    }
}

} // namespace

int calc_paste_keys(const char *text, size_t length, CalcPasteKeys *out)
{
    out->count = 0;
    out->reason = nullptr;
    char ascii[CALC_PASTE_MAX_CHARS + 1];
    if (text == nullptr)
        length = 0;
    const char *reason = to_ascii(text, length, ascii);
    if (reason == nullptr) {
        Reader r = {trim(ascii), out, nullptr};
        if (*r.at == '\0')
            reason = k_empty;
        else if (!read_text(&r))
            reason = r.reason != nullptr ? r.reason : k_form;
    }
    if (reason != nullptr) {
        out->count = 0;
        out->reason = reason;
        return 0;
    }
    return 1;
}

int calc_paste(CalcState *s, const char *text, size_t length, const char **reason)
{
    CalcPasteKeys keys;
    const char *why = nullptr;
    if (!calc_paste_keys(text, length, &keys))
        why = keys.reason;
    else if (s->error)
        why = k_error;
    if (reason != nullptr)
        *reason = why;
    if (why != nullptr)
        return 0;
    for (int i = 0; i < keys.count; i++)
        calc_key(s, keys.codes[i]);
    return 1;
}
