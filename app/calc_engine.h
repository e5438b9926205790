// The calculator engine: one state record, one key code at a time, and the
// text the result line shows after every key. Free of any window code; the
// four window fields and the previous capture are opaque handles that the
// window code fills with its HWNDs.
#pragma once
#include <cstddef>

// Key codes (also the index of the keypad's rectangle table).
enum CalcKey {
    CALC_KEY_0 = 0,       // digits are 0..9
    CALC_KEY_DEL = 10,
    CALC_KEY_AC = 11,
    CALC_KEY_MUL = 12,    // ×
    CALC_KEY_DIV = 13,    // ÷
    CALC_KEY_ADD = 14,    // +
    CALC_KEY_SUB = 15,    // −
    CALC_KEY_POINT = 16,
    CALC_KEY_H = 17,
    CALC_KEY_MN = 18,
    CALC_KEY_S = 19,
    CALC_KEY_ENTER = 20,
    CALC_KEY_ABOUT = 21,  // never reaches the engine
};

// Operator code stored in a tape entry that holds a result.
static const int CALC_OP_RESULT = 20;

// Error codes.
enum CalcError {
    CALC_OK = 0,
    CALC_ERR_STACK = 2,     // "Stack overflow"
    CALC_ERR_DIVZERO = 3,   // "Divid by zero"
    CALC_ERR_OVERFLOW = 4,  // "Overflow"
};

static const int CALC_TAPE_SLOTS = 2048;
static const int CALC_TEXT_SIZE = 256;

// One operand of the tape, and the entry being typed.
struct TapeEntry {
    double value;  // magnitude, never negative; seconds for a duration
    int duration;  // 1 = duration, 0 = plain number
    int op;        // 0 first operand, 12..15 operator joining it, 20 a result
    int negative;  // 1 = the operand is negative
};

// The calculator's single state record.
struct CalcState {
    void *mainWindow;      // set by the main window
    void *displayPanel;    // set by the main window
    void *keypadPanel;     // set by the main window
    void *resultLine;      // set by the main window
    TapeEntry entry;       // operand being typed, or copy of the last result
    int pressedKey;        // keypad key last pressed with the mouse, -1 at start
    int keyHeld;           // 1 while a keypad key is held with the mouse
    void *previousCapture; // capture owner saved by the keypad
    TapeEntry tape[CALC_TAPE_SLOTS]; // ring of operands and results
    int tapeStart;         // slot of the first operand of the current calculation
    int tapeEnd;           // next free slot
    int indicator;         // 0 or 12..15: operator box shown by the display
    int pendingOp;         // 0 or 12..15: operator the next pushed operand gets
    double digitBase;      // 10.0
    double fractionWeight; // weight of the last fraction digit, 1.0 when none
    int pointFlag;         // a decimal point is in the text
    int hoursMark;         // the text holds "h"
    int minutesMark;       // the text holds "m"
    int secondsMark;       // the text holds "s"
    int integerDigits;     // digits typed before the point
    int fractionDigits;    // digits typed after the point
    int loneZero;          // the field typed so far is a single "0"
    char text[CALC_TEXT_SIZE]; // what the result line shows
    int error;             // CalcError
    int resultShown;       // 1 from an evaluation until new work starts
    int hiddenDigits;      // 1 while the entry is an unedited plain result or
                           // conversion whose value keeps digits its text
                           // does not show; 0 when the value is what the
                           // text reads (typed, edited, a duration)
};

void calc_init(CalcState *s);
// Handles one key code 0..20 and returns the result-line text (inside s).
// Codes outside 0..20 are ignored.
const char *calc_key(CalcState *s, int code);
void calc_clear_entry(CalcState *s);
void calc_all_clear(CalcState *s);
void calc_push(CalcState *s);
void calc_evaluate(CalcState *s);

// Prints a plain number as results show it: "%.8f" below 0.1 in magnitude,
// else 12 significant digits without trailing zeros or a trailing point, in
// exponent notation ("1e+12") only when the rounding carries into a 13th
// integer digit. A value that prints as zero never gets a "-".
// Returns the length written (out is always zero-terminated; 0 when outSize is 0).
int calc_format_plain(double x, char *out, size_t outSize);

// Whole milliseconds in a duration of the given seconds, truncated; a value
// that lies a hair below the double of the next whole millisecond counts as
// that millisecond (0.7 s + 0.1 s is 0.7999999999999999 s, 800 ms). The hair
// is 64 * 2^-52 of the value but at most 1 µs, and never less than 4 ulps,
// which keeps whole milliseconds whole up to the 999999999999 s limit;
// 1.9999 s stays 1999 ms. Negative and NaN inputs give 0; from 9e12 s on
// (far beyond any operand) the count is held at 9e15.
long long calc_duration_ms(double seconds);

// Whole milliseconds a tape line shows for a duration of the given seconds:
// hours and minutes truncated, the seconds rounded as "%.3f" prints them. The
// seconds that print as 60.000 carry into the minutes, so 59.9996 s shows as
// 0h1m0.000s, not 0h0m60.000s. Out-of-range inputs as calc_duration_ms.
long long calc_tape_ms(double seconds);

// Prints a duration of whole milliseconds as "%ih%im%.3fs": parts 1 stops
// after the hours ("2h"), parts 2 after the minutes ("1h30m"), parts 3 prints
// all three ("1h2m5.000s"). The "-" is printed only for a non-zero duration.
// Returns the length written (out is always zero-terminated; 0 when outSize is 0).
int calc_format_duration(long long ms, int negative, int parts, char *out, size_t outSize);

// The text of one tape line: the operator mark ("x ", "/ ", "+ ", "- ", "= ",
// none for a first operand) and the value, a duration always as "%ih%im%.3fs".
int calc_tape_line_text(const TapeEntry *e, char *out, size_t outSize);

// The slots the display shows, newest first: at most six, walking back from
// tape end and stopping after tape start. Returns the count written to slots.
static const int CALC_TAPE_LINES = 6;
int calc_tape_lines(const CalcState *s, int slots[CALC_TAPE_LINES]);

// The text a copy of the whole tape puts on the clipboard: the tape lines as
// the display shows them, oldest first, a line of dashes where the display
// draws the rule over a result (as long as the longest line of the copy),
// then the result line's text when it is not empty; lines separated by CRLF,
// none after the last. Returns the length written (out is always
// zero-terminated and cut to fit; 0 when outSize is 0).
static const int CALC_TAPE_COPY_SIZE = 2048; // always enough for the whole copy
int calc_tape_copy_text(const CalcState *s, char *out, size_t outSize);

// ---------------------------------------------------------------------------
// Paste: a text turned into the keys that type it (calc_paste.cpp)
// ---------------------------------------------------------------------------

// Longest text a paste takes, in characters (surrounding blanks included).
static const int CALC_PASTE_MAX_CHARS = 256;
// Key codes one accepted text can need: a character types at most one key,
// except the seconds of "1h5s", which need the zero minutes "0 mn" as well.
static const int CALC_PASTE_MAX_KEYS = 2 * CALC_PASTE_MAX_CHARS;

// The keys of a pasted text, or why it was refused.
struct CalcPasteKeys {
    int codes[CALC_PASTE_MAX_KEYS]; // key codes 0..20 in typing order
    int count;                      // codes in use
    const char *reason;             // why the text was refused; null when accepted
};

// Reads a pasted text (UTF-8, `length` bytes, zero bytes included) as the
// keypad's keys: plain numbers ("90", "0.5", "1,5", "1 000"), durations
// ("1h30m15.5s", "2h", "45m", "12.5s"), clock times ("1:30:15.5", "4:05"),
// joined by + - * x / (and the signs × ÷ −), with an optional "=" at the
// end; blanks around the whole and one line break at its end are ignored.
// Returns 1 with the codes when the whole text is such a form, 0 with a
// reason (and no codes) otherwise: also for a leading minus, which the
// keypad cannot type, and for a number the keypad would cut (more than 12
// digits before or after the point, 60 or more minutes or seconds after a
// larger unit).
int calc_paste_keys(const char *text, size_t length, CalcPasteKeys *out);

// Types a pasted text into s, key by key, as calc_paste_keys reads it.
// Returns 1 (s->text is the result line), or 0 with a reason when the text is
// refused or an error is shown (only AC clears it); s is then unchanged.
int calc_paste(CalcState *s, const char *text, size_t length, const char **reason);

// Key labels of the command-line driver and the tests: "0".."9", ".", "DEL",
// "AC", "x" or "*", "/", "+", "-", "H", "mn", "S", "Enter" or "=" (letters in
// any case). Returns the key code, or -1 for an unknown label.
int calc_key_by_label(const char *label);
// The label of a key code 0..20 ("x" for 12, "Enter" for 20), "?" otherwise.
const char *calc_key_label(int code);
