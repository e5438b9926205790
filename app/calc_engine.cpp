// The calculator engine: typing numbers and durations, DEL, the unit keys,
// the operators, the tape ring and the evaluation with precedence.
//
// Sections:
//   1. Constants and text helpers
//   2. Formatting shared with the tape lines
//   3. Life cycle: init, clear entry, all clear
//   4. Tape: push and evaluate
//   5. Keys: digits, point, unit keys, DEL, operators, Enter
//   6. calc_key
//
// The text always describes the entry: digits, a point, at most one each of
// "h", "m", "s" in that order, and a leading "-" only on results and their
// conversions. Duration values are seconds. Whenever a key edits the text the
// value is read from it again, the double nearest to what the text says; only
// an unedited result or conversion keeps digits its rounded text hides.
#include "app/calc_engine.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <type_traits>

// The display and keypad reach these fields by name; the window code stores
// its HWNDs in the opaque handles.
static_assert(std::is_standard_layout_v<CalcState>);
static_assert(offsetof(CalcState, entry) > offsetof(CalcState, resultLine));
static_assert(offsetof(CalcState, tape) > offsetof(CalcState, previousCapture));
static_assert(offsetof(CalcState, resultShown) > offsetof(CalcState, error));
static_assert(offsetof(CalcState, hiddenDigits) > offsetof(CalcState, resultShown));
static_assert(CALC_TAPE_SLOTS == 2048, "the ring index wraps with & 2047");

// ---------------------------------------------------------------------------
// 1. Constants and text helpers
// ---------------------------------------------------------------------------

namespace {

// Divisions by 60 and 3600 are multiplications. A value that a text reads
// (typed digits, whole milliseconds) is instead rounded once, by a division
// by an exact power of ten, so that it is the double strtod gives.
constexpr double k_perMinute = 0.016666666666666666;  // 1/60
constexpr double k_perHour = 0.0002777777777777778;   // 1/3600
constexpr double k_tenth = 0.1;
constexpr double k_thousandth = 0.001;
constexpr double k_limit = 999999999999.0;      // twelve nines
constexpr double k_limitHours = 277777777.7775; // k_limit / 3600
constexpr double k_limitMinutes = 16666666666.65; // k_limit / 60
constexpr double k_zero = 0.00000001;           // results below are 0
constexpr int k_maxDigits = 12;                 // integer and fraction digits
constexpr int k_ringMask = CALC_TAPE_SLOTS - 1;

const char k_textStack[] = "Stack overflow";
const char k_textDivZero[] = "Divid by zero";
const char k_textOverflow[] = "Overflow";

int is_digit(char c) { return c >= '0' && c <= '9'; }

int text_length(const CalcState *s)
{
    return static_cast<int>(strnlen(s->text, CALC_TEXT_SIZE - 1));
}

// The character `back` places from the end (1 = last), or 0 when the text is
// shorter than that.
char text_char(const CalcState *s, int back)
{
    int n = text_length(s);
    return n >= back ? s->text[n - back] : '\0';
}

// Appends one character; refused (text unchanged) when the buffer is full.
void text_append(CalcState *s, char c)
{
    int n = text_length(s);
    if (n + 1 >= CALC_TEXT_SIZE)
        return;
    s->text[n] = c;
    s->text[n + 1] = '\0';
}

void text_drop_last(CalcState *s)
{
    int n = text_length(s);
    if (n > 0)
        s->text[n - 1] = '\0';
}

void text_set(CalcState *s, const char *t)
{
    snprintf(s->text, CALC_TEXT_SIZE, "%s", t);
}

// Digits before the point (or the end, or an exponent), after a leading "-".
int count_integer_digits(const char *t)
{
    if (*t == '-')
        t++;
    int n = 0;
    while (is_digit(*t)) {
        n++;
        t++;
    }
    return n;
}

// 1 when the field being typed is a single "0": the text ends in "0" with no
// digit or point before it ("0", "-0", "1h0", "1h30m0").
int ends_in_lone_zero(const CalcState *s)
{
    char c1 = text_char(s, 1);
    char c2 = text_char(s, 2);
    return c1 == '0' && !is_digit(c2) && c2 != '.';
}

// An entry text read as an exact decimal number, whole + fraction / 10^digits.
// A duration's fields add up into whole seconds: "1h30m5.25" is 5405 + 25/10^2.
struct Decimal {
    unsigned long long whole;    // integer part; seconds for a duration
    unsigned long long fraction; // the digits after the point, as an integer
    int digits;                  // digits after the point, 0..12
};

constexpr unsigned long long k_pow10[k_maxDigits + 1] = {
    1ULL, 10ULL, 100ULL, 1000ULL, 10000ULL, 100000ULL, 1000000ULL, 10000000ULL,
    100000000ULL, 1000000000ULL, 10000000000ULL, 100000000000ULL, 1000000000000ULL,
};
constexpr unsigned long long k_exactInteger = 1ULL << 53; // doubles hold every integer below
constexpr unsigned long long k_msHeld = 9000000000000000ULL; // see calc_duration_ms

// Reads a run of at most `most` digits into *n and moves t past it. Returns
// 1, or 0 when the run is longer.
int read_digit_run(const char *&t, int most, unsigned long long *n)
{
    *n = 0;
    for (int count = 0; is_digit(*t); count++, t++) {
        if (count == most)
            return 0;
        *n = *n * 10 + static_cast<unsigned long long>(*t - '0');
    }
    return 1;
}

// Reads an optional point and at most twelve fraction digits into d.
// Returns 1, or 0 when more digits follow.
int read_fraction(const char *&t, Decimal *d)
{
    if (*t != '.')
        return 1;
    const char *start = ++t;
    if (!read_digit_run(t, k_maxDigits, &d->fraction))
        return 0;
    d->digits = static_cast<int>(t - start);
    return 1;
}

// Reads an entry text without its sign: digits with an optional point and
// fraction ("", ".", "12.5"), or a duration "<h>h[<m>[m[<s>[.<f>][s]]]]".
// Returns 1, or 0 for any other text (exponent notation, an error message).
int read_decimal(const char *t, Decimal *d)
{
    *d = Decimal{0, 0, 0};
    if (*t == '-')
        t++;
    if (!read_digit_run(t, 15, &d->whole))
        return 0;
    if (*t != 'h')
        return read_fraction(t, d) && *t == '\0';
    unsigned long long minutes, seconds;
    t++;
    if (!read_digit_run(t, 2, &minutes))
        return 0;
    d->whole = d->whole * 3600 + minutes * 60;
    if (*t == 'm') {
        t++;
        if (!read_digit_run(t, 2, &seconds) || !read_fraction(t, d))
            return 0;
        d->whole += seconds;
        if (*t == 's')
            t++;
    }
    return *t == '\0';
}

// The double nearest to d, as strtod gives it.
//  - Up to 2^53 the digits make an exact integer, and one division by an
//    exact power of ten rounds once.
//  - Longer numbers: the whole part is exact, the fraction is rounded once
//    (off by at most 2^-54, as it is below 1), and their sum rounds once
//    more; the sum's own rounding error is exact. Unless the true value may
//    lie on the other side of a halfway point between two doubles (2^-54 of
//    slack against half an ulp of at least 2^-53: next to never), the sum is
//    the nearest double.
//  - Otherwise strtod.
double decimal_value(const Decimal &d)
{
    unsigned long long scale = k_pow10[d.digits];
    if (d.whole < k_exactInteger / scale) {
        unsigned long long n = d.whole * scale + d.fraction;
        return static_cast<double>(n) / static_cast<double>(scale);
    }
    if (d.whole < k_exactInteger) {
        double whole = static_cast<double>(d.whole); // at least 1 here
        double fraction = static_cast<double>(d.fraction) / static_cast<double>(scale);
        double sum = whole + fraction;
        double error = (whole - sum) + fraction; // exact: whole >= fraction
        double halfUlp = 0.5 * (sum - std::nextafter(sum, 0.0)); // the smaller side
        if (std::fabs(error) + 0x1p-54 < halfUlp)
            return sum;
    }
    // Written back to front: the fraction's digits, the point, the whole.
    char text[40]; // at most 20 + 1 + 12 characters and the terminator
    char *c = text + sizeof text;
    *--c = '\0';
    unsigned long long n = d.fraction;
    for (int i = 0; i < d.digits; i++, n /= 10)
        *--c = static_cast<char>('0' + n % 10);
    *--c = '.';
    n = d.whole;
    do {
        *--c = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n > 0);
    return strtod(c, nullptr);
}

// Whole milliseconds in d counted in units of msPerUnit milliseconds,
// truncated exactly. Returns 1, or 0 (ms untouched) beyond 9e15 ms.
int decimal_ms(const Decimal &d, unsigned long long msPerUnit, long long *ms)
{
    if (d.whole > k_msHeld / msPerUnit)
        return 0;
    // fraction < 10^12 and msPerUnit <= 3600000: the product fits in 64 bits
    unsigned long long part = d.fraction * msPerUnit / k_pow10[d.digits];
    *ms = static_cast<long long>(d.whole * msPerUnit + part);
    return 1;
}

// Gives the entry the value its text reads, the nearest double (durations in
// seconds). Whenever a digit, a point or DEL changes the text, the value is
// taken from it again, so no digit typed or deleted leaves a rounding error
// behind, and the hidden digits of a result or conversion go once its text is
// edited. A text that is no number (exponent notation) keeps the value.
void take_value_from_text(CalcState *s)
{
    Decimal d;
    if (read_decimal(s->text, &d))
        s->entry.value = decimal_value(d);
    s->hiddenDigits = 0;
}

// The double that a duration of ms milliseconds reads as: ms / 1000 rounded
// once (ms is below 2^53, so it converts exactly).
double ms_seconds(long long ms)
{
    return static_cast<double>(ms) / 1000.0;
}

// Sets the typing fields of a plain number from its text: no unit marks, the
// digit counts, and the point with the weight of the last fraction digit.
void set_plain_fields_from_text(CalcState *s)
{
    s->hoursMark = 0;
    s->minutesMark = 0;
    s->secondsMark = 0;
    s->integerDigits = count_integer_digits(s->text);
    s->pointFlag = 0;
    s->fractionWeight = 1.0;
    s->fractionDigits = 0;
    for (const char *c = s->text; *c; c++) {
        if (*c == '.') {
            s->pointFlag = 1;
        } else if (s->pointFlag) {
            s->fractionWeight *= k_tenth;
            s->fractionDigits++;
        }
    }
}

// Applies the new-calculation rule: the first key of new work after a result
// starts a new tape range.
void start_new_calculation(CalcState *s)
{
    if (s->resultShown) {
        s->tapeStart = s->tapeEnd;
        s->resultShown = 0;
    }
}

void raise_error(CalcState *s, int error)
{
    s->error = error;
    text_set(s, error == CALC_ERR_STACK     ? k_textStack
                : error == CALC_ERR_DIVZERO ? k_textDivZero
                                            : k_textOverflow);
}

} // namespace

// ---------------------------------------------------------------------------
// 2. Formatting shared with the tape lines
// ---------------------------------------------------------------------------

int calc_format_plain(double x, char *out, size_t outSize)
{
    if (out == nullptr || outSize == 0)
        return 0;
    // "%.12g" is exactly the rule for 0.1 and above: twelve significant
    // digits, fixed while the rounded number has at most twelve integer
    // digits, trailing zeros and a trailing point dropped.
    if (std::fabs(x) < 0.1)
        snprintf(out, outSize, "%.8f", x);
    else
        snprintf(out, outSize, "%.12g", x);
    if (out[0] == '-' && strpbrk(out, "123456789") == nullptr)
        memmove(out, out + 1, strlen(out)); // no negative zero
    return static_cast<int>(strlen(out));
}

namespace {

// How far below the double of the next whole millisecond a duration may lie
// and still count as that millisecond: 64 * 2^-52 of the value (32 to 64
// ulps, enough for the rounding of long sums) but never more than a
// microsecond, and never less than 4 ulps, the rounding of a sum or product
// of a few whole-millisecond operands. Past 2^31 s four ulps are more than a
// microsecond, yet under half a millisecond up to 2^40 s (a millisecond is
// at least 8 ulps there): a whole millisecond is never taken for the next.
double ms_slack(double seconds)
{
    double ulp = std::nextafter(seconds, DBL_MAX) - seconds;
    return std::fmax(4.0 * ulp, std::fmin(64.0 * DBL_EPSILON * seconds, 0.000001));
}

} // namespace

long long calc_duration_ms(double seconds)
{
    if (!(seconds > 0.0))
        return 0;
    double t = seconds * 1000.0;
    if (!(t < static_cast<double>(k_msHeld)))
        return static_cast<long long>(k_msHeld);
    // The product rounds, so t may sit on either side of a whole millisecond
    // the value truly reaches: the next one is measured against the double it
    // reads as, which is exact.
    long long ms = static_cast<long long>(t);
    if (ms_seconds(ms + 1) - seconds <= ms_slack(seconds))
        return ms + 1;
    return ms;
}

long long calc_tape_ms(double seconds)
{
    if (!(seconds > 0.0 && seconds < 9.0e12))
        return calc_duration_ms(seconds);
    long long h = static_cast<long long>(seconds * k_perHour);
    long long m = static_cast<long long>((seconds - 3600.0 * h) * k_perMinute);
    char text[32];
    snprintf(text, sizeof text, "%.3f", seconds - 3600.0 * h - 60.0 * m);
    return (h * 3600 + m * 60) * 1000 + std::llround(strtod(text, nullptr) * 1000.0);
}

int calc_format_duration(long long ms, int negative, int parts, char *out, size_t outSize)
{
    if (out == nullptr || outSize == 0)
        return 0;
    if (ms < 0)
        ms = 0;
    const char *sign = negative && ms > 0 ? "-" : "";
    long long h = ms / 3600000;
    long long r = ms % 3600000;
    long long m = r / 60000;
    long long sms = r % 60000;
    if (parts <= 1)
        snprintf(out, outSize, "%s%lldh", sign, h);
    else if (parts == 2)
        snprintf(out, outSize, "%s%lldh%lldm", sign, h, m);
    else
        snprintf(out, outSize, "%s%lldh%lldm%lld.%03llds", sign, h, m, sms / 1000, sms % 1000);
    return static_cast<int>(strlen(out));
}

// ---------------------------------------------------------------------------
// 3. Life cycle
// ---------------------------------------------------------------------------

void calc_clear_entry(CalcState *s)
{
    s->entry.value = 0.0;
    s->entry.duration = 0;
    s->entry.op = 0;
    s->entry.negative = 0;
    s->digitBase = 10.0;
    s->fractionWeight = 1.0;
    s->pointFlag = 0;
    s->hoursMark = 0;
    s->minutesMark = 0;
    s->secondsMark = 0;
    s->integerDigits = 0;
    s->fractionDigits = 0;
    s->loneZero = 0;
    s->text[0] = '\0';
    s->hiddenDigits = 0;
}

void calc_all_clear(CalcState *s)
{
    calc_clear_entry(s);
    s->tapeStart = s->tapeEnd;
    s->indicator = 0;
    s->pendingOp = 0;
    s->resultShown = 0;
    s->error = CALC_OK;
}

void calc_init(CalcState *s)
{
    memset(s, 0, sizeof *s);
    s->pressedKey = -1;
    s->keyHeld = 0;
    s->tapeStart = 0;
    s->tapeEnd = 0;
    s->error = CALC_OK;
    calc_all_clear(s);
}

// ---------------------------------------------------------------------------
// 4. Tape
// ---------------------------------------------------------------------------

namespace {

// Stores e at tape end and moves tape end on, 2047 wrapping to 0. When tape
// end then meets tape start the ring is full (the 2048th slot of one
// calculation): "Stack overflow". The range then reads as empty, which is
// harmless: only AC is accepted next, and it starts an empty range anyway.
// Returns 1, or 0 on the error.
int tape_store(CalcState *s, const TapeEntry &e)
{
    int end = s->tapeEnd & k_ringMask;
    s->tape[end] = e;
    s->tapeEnd = (end + 1) & k_ringMask;
    if (s->tapeEnd == (s->tapeStart & k_ringMask)) {
        raise_error(s, CALC_ERR_STACK);
        return 0;
    }
    return 1;
}

// Raises "Overflow" when the running result is beyond twelve nines.
// Returns 1 when acc is within the limit.
int within_limit(CalcState *s, double acc)
{
    if (std::fabs(acc) > k_limit) {
        raise_error(s, CALC_ERR_OVERFLOW);
        return 0;
    }
    return 1;
}

// Running state of one evaluation.
struct EvalRun {
    double acc;      // running result (the current product while one is open)
    double defValue; // left operand of the deferred + or -
    int defOp;       // 0 none, CALC_KEY_ADD or CALC_KEY_SUB
    int duration;    // duration flag of the result, one for sum and product
};

// Adds the deferred sum part to a product that has just closed.
// Returns 1, or 0 when the sum overflows.
int close_product(CalcState *s, EvalRun *run)
{
    if (run->defOp == 0)
        return 1;
    run->acc = run->defOp == CALC_KEY_ADD ? run->defValue + run->acc : run->defValue - run->acc;
    run->defOp = 0;
    return within_limit(s, run->acc);
}

// Applies one operand. next is the operator of the following operand (0 for
// the last). Returns 1, or 0 when an error stopped the evaluation.
//
// One duration flag f runs through the whole evaluation; g is the operand's.
// + - and x give f or g. A ÷ gives f xor g (a duration over a duration is a
// number, a number over a duration is a duration), except the ÷ that closes
// a product standing after a deferred + or -: the sum takes over and it
// gives f or g, so 2 + 1h ÷ 1h is 3 seconds.
int apply_operand(CalcState *s, EvalRun *run, const TapeEntry &e, int next)
{
    double x = e.negative ? -e.value : e.value;
    int product = next == CALC_KEY_MUL || next == CALC_KEY_DIV;
    switch (e.op) {
    case CALC_KEY_MUL:
        run->acc *= x;
        if (!within_limit(s, run->acc))
            return 0;
        run->duration |= e.duration;
        return product ? 1 : close_product(s, run);
    case CALC_KEY_DIV:
        if (x == 0.0) {
            raise_error(s, CALC_ERR_DIVZERO);
            return 0;
        }
        run->acc /= x;
        if (!within_limit(s, run->acc))
            return 0;
        if (product || run->defOp == 0) {
            run->duration ^= e.duration;
            return 1;
        }
        run->duration |= e.duration;
        return close_product(s, run);
    case CALC_KEY_ADD:
    case CALC_KEY_SUB:
        if (product) {
            // x and ÷ bind first: keep the sum so far aside until the
            // product closes.
            run->defValue = run->acc;
            run->defOp = e.op;
            run->acc = x;
        } else {
            run->acc = e.op == CALC_KEY_ADD ? run->acc + x : run->acc - x;
            if (!within_limit(s, run->acc))
                return 0;
        }
        run->duration |= e.duration; // a number added to a duration is seconds
        return 1;
    default: // the first operand
        run->acc = x;
        run->duration = e.duration;
        return 1;
    }
}

// Makes a copy of the result r the entry and writes its text. A duration is
// cut to whole milliseconds in the entry (the tape keeps r as it is) and
// shown with all three parts; a plain number keeps its full value and only
// the text is rounded.
void show_result(CalcState *s, const TapeEntry &r)
{
    s->entry = r;
    s->loneZero = 0;
    s->hiddenDigits = !r.duration;
    if (r.duration) {
        long long ms = calc_duration_ms(r.value);
        s->entry.value = ms_seconds(ms);
        if (ms == 0)
            s->entry.negative = 0; // no "-0h0m0.000s"
        calc_format_duration(ms, s->entry.negative, 3, s->text, CALC_TEXT_SIZE);
        s->hoursMark = 1;
        s->minutesMark = 1;
        s->secondsMark = 1;
        s->pointFlag = 1;
        s->fractionWeight = k_thousandth;
        s->fractionDigits = 3;
        s->integerDigits = 0;
        return;
    }
    calc_format_plain(r.negative ? -r.value : r.value, s->text, CALC_TEXT_SIZE);
    set_plain_fields_from_text(s);
}

} // namespace

void calc_push(CalcState *s)
{
    s->entry.op = s->pendingOp;
    if (s->text[0] == '\0')
        return;
    start_new_calculation(s);
    tape_store(s, s->entry);
}

void calc_evaluate(CalcState *s)
{
    int start = s->tapeStart & k_ringMask;
    int end = s->tapeEnd & k_ringMask;
    if (start == end)
        return;
    EvalRun run = {0.0, 0.0, 0, 0};
    for (int i = start; i != end; i = (i + 1) & k_ringMask) {
        int j = (i + 1) & k_ringMask;
        int next = j != end ? s->tape[j].op : 0;
        if (!apply_operand(s, &run, s->tape[i], next))
            return; // nothing stored, the tape and result shown unchanged
    }

    TapeEntry r;
    r.value = std::fabs(run.acc);
    r.negative = run.acc < 0.0;
    r.op = CALC_OP_RESULT;
    r.duration = run.duration;
    if (r.value < k_zero) {
        r.value = 0.0;
        r.negative = 0;
    }
    if (!tape_store(s, r))
        return;
    show_result(s, r);
    s->resultShown = 1;
}

// ---------------------------------------------------------------------------
// 5. Keys
// ---------------------------------------------------------------------------

namespace {

// Closes the minutes field of a duration with "m".
void close_minutes(CalcState *s)
{
    text_append(s, 'm');
    s->minutesMark = 1;
    s->loneZero = 0;
}

// Writes the digit d at the end of the text, over its last character when
// `replace` is 1, and gives the entry the value the new text reads.
void put_digit(CalcState *s, int d, int replace)
{
    if (replace)
        text_drop_last(s);
    text_append(s, static_cast<char>('0' + d));
    take_value_from_text(s);
}

// One digit into the minutes field (mark 'h') or the seconds field (mark
// 'm') of a duration being typed. The cases, by the last character c1 and
// the one before it c2:
//   c1 is the mark        the field's first digit
//   c2 is not the mark    two digits are there: the minutes field closes
//                         with "m" (returns 2), the seconds field refuses
//   c1 is "0"             a lone zero: the digit replaces it
//   c1 above 5            refused: no count of 60 or more
//   otherwise             c1 becomes the tens
// Returns 1 when the digit was taken, 0 when refused, 2 when the caller must
// go on with the seconds field.
int type_field_digit(CalcState *s, int d, char mark)
{
    char c1 = text_char(s, 1);
    char c2 = text_char(s, 2);
    if (c1 == mark) {
        s->loneZero = d == 0;
        put_digit(s, d, 0);
        return 1;
    }
    if (c2 != mark) {
        if (mark == 'm')
            return 0;
        close_minutes(s);
        return 2;
    }
    if (c1 == '0') {
        s->loneZero = d == 0;
        put_digit(s, d, 1);
        return 1;
    }
    if (!is_digit(c1) || c1 > '5')
        return 0;
    put_digit(s, d, 0);
    return 1;
}

// A digit of a plain number, or of the fraction of a duration's seconds.
void type_plain_digit(CalcState *s, int d)
{
    if (!s->pointFlag) {
        if (s->integerDigits == 0 && d == 0)
            s->loneZero = 1;
        int replace = 0;
        if (s->integerDigits == 1 && s->loneZero == 1) {
            replace = 1; // the digit replaces a lone "0"
            s->loneZero = 0;
            s->integerDigits = 0;
        }
        if (s->integerDigits >= k_maxDigits)
            return;
        s->integerDigits++;
        put_digit(s, d, replace);
        return;
    }
    if (s->fractionDigits >= k_maxDigits)
        return;
    s->fractionWeight *= k_tenth;
    s->fractionDigits++;
    put_digit(s, d, 0);
}

// A digit or a point after a result: a new calculation and a new number.
void start_new_number(CalcState *s)
{
    if (s->resultShown) {
        start_new_calculation(s);
        calc_clear_entry(s);
    }
}

void key_digit(CalcState *s, int d)
{
    if (d == 0 && s->loneZero)
        return;
    if (s->error)
        return;
    start_new_number(s);
    if (s->secondsMark)
        return;
    if (s->entry.duration && s->hoursMark && !s->minutesMark) {
        if (type_field_digit(s, d, 'h') != 2)
            return;
    }
    if (s->entry.duration && s->minutesMark && !s->pointFlag) {
        type_field_digit(s, d, 'm');
        return;
    }
    type_plain_digit(s, d);
}

void key_point(CalcState *s)
{
    if (s->error)
        return;
    start_new_number(s);
    if (s->pointFlag)
        return;
    // In a duration a point only follows a seconds digit.
    if (s->entry.duration &&
        !(s->minutesMark && !s->secondsMark && text_char(s, 1) != 'm'))
        return;
    text_append(s, '.');
    s->loneZero = 0;
    s->pointFlag = 1;
    s->fractionWeight = 1.0;
    s->fractionDigits = 0;
    take_value_from_text(s); // like every edit of the text
}

// Turns the duration being typed into a plain number of hours (scale 1/3600,
// 7 decimals), minutes (1/60, 5) or seconds (1, 3).
void duration_to_plain(CalcState *s, double scale, int decimals, double weight)
{
    double v = s->entry.value * scale;
    char text[64]; // at most 13 integer digits, a point and 7 decimals
    snprintf(text, sizeof text, "%.*f", decimals, v);
    if (strpbrk(text, "123456789") == nullptr)
        s->entry.negative = 0; // prints as zero: no "-0.000"
    snprintf(s->text, CALC_TEXT_SIZE, "%s%s", s->entry.negative ? "-" : "", text);
    s->entry.value = v;
    s->hiddenDigits = 1;
    s->entry.duration = 0;
    s->hoursMark = 0;
    s->minutesMark = 0;
    s->secondsMark = 0;
    s->integerDigits = count_integer_digits(s->text);
    s->pointFlag = 1;
    s->fractionWeight = weight;
    s->fractionDigits = decimals;
    s->loneZero = 0;
}

// Turns the plain number being typed into a duration of ms milliseconds. H
// stops after the hours when no minutes or seconds remain, H and mn stop
// after the minutes when no seconds remain, so that further digits go into
// the open field; otherwise the seconds close the text.
void plain_to_duration(CalcState *s, long long ms, int key)
{
    s->entry.value = ms_seconds(ms);
    s->hiddenDigits = 0;
    s->entry.duration = 1;
    if (ms == 0)
        s->entry.negative = 0;
    long long rest = ms % 3600000;
    int parts = 3;
    if (key == CALC_KEY_H && rest == 0)
        parts = 1;
    else if ((key == CALC_KEY_H || key == CALC_KEY_MN) && rest % 60000 == 0)
        parts = 2;
    calc_format_duration(ms, s->entry.negative, parts, s->text, CALC_TEXT_SIZE);
    s->hoursMark = 1;
    s->minutesMark = parts >= 2;
    s->secondsMark = parts == 3;
    s->pointFlag = parts == 3;
    s->fractionWeight = parts == 3 ? k_thousandth : 1.0;
    s->fractionDigits = parts == 3 ? 3 : 0;
    s->loneZero = 0;
}

// Whole milliseconds in the plain entry read as a count of hours (unit
// 3600), minutes (60) or seconds (1), truncated. A number that is what its
// text reads (typed, edited) is cut from its digits, exactly at every
// magnitude: 1.9999 s is 1999 ms and 277777777.7775 h is 999999999999000 ms.
// A result or conversion is cut from its value, which holds more than its
// rounded text: 93804556h10m4.930s in hours shows 93804556.1680361, which
// reads as the same double, but whose digits are 0.04 ms short of 4.930 s.
long long plain_entry_ms(const CalcState *s, int unit)
{
    Decimal d;
    long long ms;
    if (!s->hiddenDigits && read_decimal(s->text, &d) &&
        decimal_ms(d, 1000ULL * static_cast<unsigned>(unit), &ms))
        return ms;
    return calc_duration_ms(s->entry.value * unit);
}

// H, mn or S on a plain number: a duration, unless the number is beyond the
// unit's limit (the magnitude limit in that unit).
void unit_on_plain(CalcState *s, int key)
{
    double limit = key == CALC_KEY_H ? k_limitHours : key == CALC_KEY_MN ? k_limitMinutes : k_limit;
    int unit = key == CALC_KEY_H ? 3600 : key == CALC_KEY_MN ? 60 : 1;
    if (s->entry.value > limit)
        return;
    plain_to_duration(s, plain_entry_ms(s, unit), key);
}

// A unit key on a duration: it closes the open field, or, when that field is
// already closed, converts the duration into a plain number of that unit.
void unit_on_duration(CalcState *s, int key)
{
    char c1 = text_char(s, 1);
    switch (key) {
    case CALC_KEY_H:
        duration_to_plain(s, k_perHour, 7, 0.0000001);
        return;
    case CALC_KEY_MN:
        if (!s->minutesMark && c1 != 'h')
            close_minutes(s);
        else
            duration_to_plain(s, k_perMinute, 5, 0.00001);
        return;
    default:
        if (s->secondsMark || c1 == 'm' || c1 == 'h') {
            duration_to_plain(s, 1.0, 3, k_thousandth);
        } else if (s->minutesMark) {
            text_append(s, 's');
            s->secondsMark = 1;
            s->loneZero = 0;
        } else {
            // Minute digits after "h" ("1h30"): S closes the minutes field
            // first, and the seconds can follow.
            close_minutes(s);
        }
        return;
    }
}

void key_unit(CalcState *s, int key)
{
    if (s->error)
        return;
    start_new_calculation(s); // a result is converted, not cleared
    if (s->entry.duration)
        unit_on_duration(s, key);
    else
        unit_on_plain(s, key);
}

// DEL on a character of a plain number, or of the fraction of a duration's
// seconds: the typing fields follow the text.
void delete_plain_char(CalcState *s, char c1)
{
    text_drop_last(s);
    if (!s->pointFlag) {
        s->integerDigits--;
        return;
    }
    if (c1 == '.') {
        s->pointFlag = 0;
        s->fractionWeight = 1.0;
        s->fractionDigits = 0;
        return;
    }
    s->fractionDigits--;
    s->fractionWeight *= 10.0;
}

void key_delete(CalcState *s)
{
    if (s->error)
        return;
    start_new_calculation(s); // a result is edited, not cleared
    s->indicator = 0;
    // An empty text, or a result in exponent notation that has no digits to
    // take back one by one, clears the entry.
    if (s->text[0] == '\0' || strchr(s->text, 'e') != nullptr) {
        calc_clear_entry(s);
        return;
    }
    char c1 = text_char(s, 1);
    if (c1 == '-') {
        s->entry.negative = 0;
        text_drop_last(s);
    } else if (c1 == 's') {
        text_drop_last(s);
        s->secondsMark = 0;
    } else if (c1 == 'm') {
        text_drop_last(s);
        s->minutesMark = 0;
    } else if (c1 == 'h') {
        // The hours count is a plain number again.
        text_drop_last(s);
        s->entry.duration = 0;
        set_plain_fields_from_text(s);
    } else if (s->entry.duration && !s->pointFlag && is_digit(c1)) {
        // A minutes or seconds digit; a tens digit before it becomes the units.
        text_drop_last(s);
    } else if (is_digit(c1) || c1 == '.') {
        delete_plain_char(s, c1);
    } else {
        calc_clear_entry(s); // not a character the entry can hold
        return;
    }
    if (s->text[0] == '\0') {
        calc_clear_entry(s); // nothing left: a fresh, exact zero
        return;
    }
    take_value_from_text(s);
    s->loneZero = ends_in_lone_zero(s);
}

void key_operator(CalcState *s, int code)
{
    if (s->error)
        return;
    if (s->text[0] == '\0' && s->pendingOp == 0)
        return;
    s->indicator = code;
    if (s->text[0] == '\0') {
        s->pendingOp = code; // a second operator key replaces the first
        return;
    }
    calc_push(s);
    if (s->error)
        return;
    s->pendingOp = code;
    calc_clear_entry(s);
    s->indicator = code;
}

void key_enter(CalcState *s)
{
    if (s->error)
        return;
    if (s->text[0] != '\0') {
        calc_push(s);
        if (s->error)
            return;
        calc_clear_entry(s);
    }
    calc_evaluate(s); // a dangling operator is dropped
    s->pendingOp = 0;
    s->indicator = 0;
}

} // namespace

// ---------------------------------------------------------------------------
// 6. calc_key
// ---------------------------------------------------------------------------

const char *calc_key(CalcState *s, int code)
{
    if (code >= CALC_KEY_0 && code <= 9) {
        key_digit(s, code);
        return s->text;
    }
    switch (code) {
    case CALC_KEY_DEL:
        key_delete(s);
        break;
    case CALC_KEY_AC:
        calc_all_clear(s);
        break;
    case CALC_KEY_MUL:
    case CALC_KEY_DIV:
    case CALC_KEY_ADD:
    case CALC_KEY_SUB:
        key_operator(s, code);
        break;
    case CALC_KEY_POINT:
        key_point(s);
        break;
    case CALC_KEY_H:
    case CALC_KEY_MN:
    case CALC_KEY_S:
        key_unit(s, code);
        break;
    case CALC_KEY_ENTER:
        key_enter(s);
        break;
    default:
        break; // not a key of the engine
    }
    return s->text;
}
