// Number helpers shared by every control and dialog: float formatting with a
// built printf format, tolerant parsing, and rounding where halves go down.
// Platform-free: no window header here.
#pragma once
#include <cstddef>

// Prints value (widened to double) with the format "%[+][0width].<precision>f"
// into out, which holds outSize bytes; the text is cut to fit and always
// zero-terminated (outSize > 0). The plus sign is left out for 0.0. Precision
// and width are taken modulo 256; a precision of 0 prints no fraction.
// Returns the length of the text written, modulo 256.
int ctl_format_float(float value, char *out, size_t outSize, int precision, int width, int plus);

// Reads the first number in text: a '-' anywhere before the first digit makes
// it negative, other characters before it are skipped, '.' or ',' starts the
// fraction, and everything after the number is ignored. At most 52 characters
// after the first digit, and 52 in the fraction, are looked at. Null, empty and
// digit-free texts give 0. The result is in extended precision.
long double ctl_parse_number(const char *text);

// floor(x), plus 1 only when x - floor(x) is greater than 0.5 (2.5 gives 2,
// -2.5 gives -3). Non-finite values come back unchanged.
float ctl_round(float x);
