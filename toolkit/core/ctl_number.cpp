// Number formatting, parsing and rounding for the toolkit.
#include "toolkit/core/ctl_number.h"

#include <cmath>
#include <cstdio>
#include <cstring>

int ctl_format_float(float value, char *out, size_t outSize, int precision, int width, int plus)
{
    if (out == nullptr || outSize == 0)
        return 0;
    char format[32];
    int n = 0;
    format[n++] = '%';
    if (plus == 1 && value != 0.0f)
        format[n++] = '+';
    width &= 0xFF;
    precision &= 0xFF;
    if (width != 0)
        n += snprintf(format + n, sizeof format - n, "0%i", width);
    if (precision != 0)
        n += snprintf(format + n, sizeof format - n, ".%i", precision);
    else
        n += snprintf(format + n, sizeof format - n, ".0");
    snprintf(format + n, sizeof format - n, "f");

    snprintf(out, outSize, format, static_cast<double>(value));
    return static_cast<int>(strlen(out) % 256);
}

// Both runs of digits stop after this many characters have been looked at.
static const int kMaxRun = 52;

static bool is_digit(char c) { return c >= '0' && c <= '9'; }

long double ctl_parse_number(const char *text)
{
    if (text == nullptr)
        return 0;
    bool negative = false;
    const char *p = text;
    while (*p != '\0' && !is_digit(*p)) {
        if (*p == '-')
            negative = true;
        ++p;
    }
    if (*p == '\0')
        return 0;

    long double value = *p++ - '0';
    int examined = 0;
    bool fraction = false;
    while (examined < kMaxRun && *p != '\0') {
        ++examined;
        char c = *p++;
        if (is_digit(c)) {
            value = value * 10 + (c - '0');
            continue;
        }
        fraction = (c == '.' || c == ',');
        break;
    }
    if (fraction) {
        long double divisor = 1;
        for (int i = 0; i < kMaxRun && is_digit(*p); ++i, ++p) {
            divisor *= 10;
            value += (*p - '0') / divisor;
        }
    }
    return negative ? -value : value;
}

float ctl_round(float x)
{
    if (!std::isfinite(x))
        return x;
    float whole = std::floor(x);
    return (x - whole > 0.5f) ? whole + 1.0f : whole;
}
