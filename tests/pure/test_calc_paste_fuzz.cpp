// Fuzz target for the paste reader: arbitrary bytes never crash it, an
// accepted text gives only key codes 0..20 within the bound, pasting it
// types the same result line as its keys typed one by one, and a single
// value pasted and evaluated is the value the text says, read here by a
// second, independent reader.
//
// main() feeds it a seeded stream of random inputs, biased toward the
// characters of the accepted forms:
//   fuzz-paste [count]   (default 300000)
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/calc_engine.h"

#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            fprintf(stderr, "fuzz-paste: %s:%d: check failed: %s\n", __FILE__, __LINE__, #cond);   \
            abort();                                                                               \
        }                                                                                          \
    } while (0)

namespace {

CalcState g_pasted; // 50 KB each: globals, not stack records
CalcState g_typed;
CalcPasteKeys g_keys;
long g_accepted;      // inputs the reader took
long g_valuesChecked; // accepted single values checked against the second reader

// The value of one pasted value read without the reader under test: blanks,
// line breaks and an ending "=" dropped, "," read as ".", then a clock time
// (fields split at ":"), a duration (numbers each followed by h, m or s) or
// a plain number. Returns 1 with seconds (or the number) and the duration
// flag, 0 for texts with an operator or anything else it does not know.
int reference_value(const uint8_t *data, size_t size, double *value, int *duration)
{
    std::string t;
    for (size_t i = 0; i < size; i++) {
        char c = static_cast<char>(data[i]);
        if (data[i] >= 0x80)
            return 0; // the signs × ÷ − and what the reader refuses
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
            continue;
        if (c == '=' && i + 1 >= size)
            continue;
        t += c == ',' ? '.' : c;
    }
    while (!t.empty() && t.back() == '=')
        t.pop_back();
    if (t.empty() || t.find_first_of("+-*xX/=") != std::string::npos)
        return 0;
    if (t.find(':') != std::string::npos) {
        double fields[3] = {0, 0, 0};
        int n = 0;
        size_t start = 0;
        for (;;) {
            size_t colon = t.find(':', start);
            if (n == 3)
                return 0;
            fields[n++] = strtod(t.substr(start, colon - start).c_str(), nullptr);
            if (colon == std::string::npos)
                break;
            start = colon + 1;
        }
        *value = n == 3 ? fields[0] * 3600 + fields[1] * 60 + fields[2] : fields[0] * 60 + fields[1];
        *duration = 1;
        return 1;
    }
    const char *p = t.c_str();
    char *end = nullptr;
    double total = 0;
    *duration = 0;
    while (*p) {
        double x = strtod(p, &end);
        if (end == p)
            return 0;
        switch (*end) {
        case 'h': case 'H': total += x * 3600; break;
        case 'm': case 'M': total += x * 60; break;
        case 's': case 'S': total += x; break;
        case '\0': total += x; *value = total; return 1; // a plain number
        default: return 0;
        }
        *duration = 1;
        p = end + 1;
    }
    *value = total;
    return 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const char *text = reinterpret_cast<const char *>(data);
    if (!calc_paste_keys(text, size, &g_keys)) {
        FUZZ_CHECK(g_keys.reason != nullptr && g_keys.count == 0);
        calc_init(&g_pasted);
        FUZZ_CHECK(calc_paste(&g_pasted, text, size, nullptr) == 0);
        FUZZ_CHECK(g_pasted.text[0] == '\0' && g_pasted.tapeEnd == 0);
        return 0;
    }
    g_accepted++;
    FUZZ_CHECK(g_keys.reason == nullptr && g_keys.count > 0 && g_keys.count <= CALC_PASTE_MAX_KEYS);
    for (int i = 0; i < g_keys.count; i++)
        FUZZ_CHECK(g_keys.codes[i] >= 0 && g_keys.codes[i] <= CALC_KEY_ENTER);

    calc_init(&g_pasted);
    calc_init(&g_typed);
    const char *reason = "unset";
    FUZZ_CHECK(calc_paste(&g_pasted, text, size, &reason) == 1 && reason == nullptr);
    for (int i = 0; i < g_keys.count; i++)
        calc_key(&g_typed, g_keys.codes[i]);
    FUZZ_CHECK(strcmp(g_pasted.text, g_typed.text) == 0);

    double expected = 0;
    int duration = 0;
    if (reference_value(data, size, &expected, &duration) && expected < 1e9) {
        g_valuesChecked++;
        calc_key(&g_typed, CALC_KEY_ENTER);
        double got = g_typed.entry.negative ? -g_typed.entry.value : g_typed.entry.value;
        FUZZ_CHECK(g_typed.error == CALC_OK);
        FUZZ_CHECK(g_typed.entry.duration == duration);
        // A duration keeps whole milliseconds; a number its full value.
        double tolerance = duration ? 0.001 + 1e-9 * expected : 1e-9 * std::fmax(1.0, expected);
        if (!(std::fabs(got - expected) <= tolerance)) {
            fprintf(stderr, "fuzz-paste: \"%.*s\" reads %.9g, types %.9g\n", (int)size, text,
                    expected, got);
            FUZZ_CHECK(false);
        }
    }
    return 0;
}

namespace {

uint64_t g_fuzzState = 0x2545F4914F6CDD1Dull; // xorshift state, fixed seed

uint32_t next_random()
{
    g_fuzzState ^= g_fuzzState << 13;
    g_fuzzState ^= g_fuzzState >> 7;
    g_fuzzState ^= g_fuzzState << 17;
    return static_cast<uint32_t>(g_fuzzState >> 32);
}

// Pieces most inputs are made of: the characters of the forms, the signs
// in UTF-8, and a few that every form refuses.
const char *const kPieces[] = {
    "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "0", "1", "5", "9", "00", "59", "60",
    ".", ",", ":", "h", "m", "s", "H", "M", "S", " ", " ", "  ", "\t", "\n", "\r\n",
    "+", "-", "*", "x", "/", "=", "\xC3\x97", "\xC3\xB7", "\xE2\x88\x92", " 000", "e", "\xC2\xA0",
};

} // namespace

int main(int argc, char **argv)
{
    long count = (argc > 1) ? strtol(argv[1], nullptr, 10) : 300000;
    std::string input;
    for (long i = 0; i < count; ++i) {
        input.clear();
        size_t pieces = next_random() % 24;
        bool raw = next_random() % 8 == 0; // one input in eight is arbitrary bytes
        for (size_t k = 0; k < pieces; ++k) {
            uint32_t r = next_random();
            if (raw)
                input += static_cast<char>(r);
            else
                input += kPieces[r % (sizeof kPieces / sizeof kPieces[0])];
        }
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(input.data()), input.size());
    }
    printf("fuzz-paste: %ld inputs, %ld accepted, %ld values checked, no fault\n", count,
           g_accepted, g_valuesChecked);
    return 0;
}
