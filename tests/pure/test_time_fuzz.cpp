// Fuzz target for the text readers and the conversions that take a stored
// context: arbitrary bytes are both a field's text and (their first 44 bytes)
// a "Dial_tCtx" as the registry could hold it. Every result must be a finite
// number, every text must fit its buffer, and the position reader must
// always move on or stop.
//
// Built with K_LIBFUZZER it is a libFuzzer target. Otherwise main() feeds it
// a seeded stream of random inputs, biased toward digits and separators:
//   fuzz-time [count]   (default 1000000)
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "toolkit/controls/value_scale.h"
#include "toolkit/core/ctl_number.h"
#include "toolkit/dialogs/time_context.h"

#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            fprintf(stderr, "fuzz-time: %s:%d: check failed: %s\n", __FILE__, __LINE__, #cond);    \
            abort();                                                                               \
        }                                                                                          \
    } while (0)

namespace {

bool views_finite(const TimeValues &v)
{
    return std::isfinite(v.seconds) && std::isfinite(v.milliseconds) && std::isfinite(v.frequency)
           && std::isfinite(v.tempoOfPeriod) && std::isfinite(v.distance) && std::isfinite(v.samples);
}

// Reads every field of text; each call must step forward or report the end.
void walk_fields(const char *text)
{
    size_t length = strlen(text);
    int32_t position = 0;
    for (size_t calls = 0;; ++calls) {
        FUZZ_CHECK(calls <= length + 1);
        int32_t before = position;
        int32_t field = ctl_music_field(text, &position);
        FUZZ_CHECK(field >= -1);
        FUZZ_CHECK(position >= before && static_cast<size_t>(position) <= length);
        if (position == before)
            break; // end of text, or a run too long to read
    }
}

// The float stored at byte offset of data (0 when the input is too short).
float float_at(const uint8_t *data, size_t size, size_t offset)
{
    float f = 0.0f;
    if (offset + sizeof f <= size)
        memcpy(&f, data + offset, sizeof f);
    return f;
}

void check_position_text(float ms, const TimeContext &c)
{
    char out[CTL_POSITION_TEXT_SIZE];
    int n = ctl_music_format(out, sizeof out, ms, c.tempo, c.ticksPerBeat, c.beatsPerBar, c.beatUnit);
    FUZZ_CHECK(n > 0 && static_cast<size_t>(n) == strlen(out) && n < (int)sizeof out);
    float back = ctl_music_parse(out, c.tempo, c.ticksPerBeat, c.beatsPerBar, c.beatUnit);
    FUZZ_CHECK(std::isfinite(back) && back >= 0.0f);
    char small[8];
    n = ctl_music_format(small, sizeof small, ms, c.tempo, c.ticksPerBeat, c.beatsPerBar, c.beatUnit);
    FUZZ_CHECK(n == 7 && small[7] == '\0');
}

void check_scale(const uint8_t *data, size_t size)
{
    ValueScale scale;
    memset(&scale, 0, sizeof scale);
    memcpy(&scale, data, size < sizeof scale ? size : sizeof scale);
    uint16_t start = size > 2 ? static_cast<uint16_t>(data[0] | data[1] << 8) : 225;
    uint16_t end = size > 4 ? static_cast<uint16_t>(data[2] | data[3] << 8) : 315;
    float sweep = ctl_scale_setup(&scale, start, end);
    FUZZ_CHECK(sweep > 0.0f && sweep <= CTL_TWO_PI);
    float a = ctl_scale_angle(&scale);
    FUZZ_CHECK(a >= 0.0f && a < CTL_TWO_PI);
    bool finiteFields = std::isfinite(scale.minimum) && std::isfinite(scale.maximum)
                        && std::isfinite(scale.defaultValue) && std::isfinite(scale.step);
    ctl_scale_set_angle(&scale, float_at(data, size, 44));
    if (finiteFields)
        FUZZ_CHECK(std::isfinite(scale.current));
    a = ctl_scale_angle(&scale);
    FUZZ_CHECK(a >= 0.0f && a < CTL_TWO_PI);
    float v = ctl_scale_step(&scale, size > 48 ? static_cast<int8_t>(data[48]) : 1);
    if (finiteFields)
        FUZZ_CHECK(std::isfinite(v));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string bytes(reinterpret_cast<const char *>(data), size);
    const char *text = bytes.c_str(); // up to the first zero byte

    TimeContext context = CTL_TIME_CONTEXT_BUILTIN;
    memcpy(&context, data, size < sizeof context ? size : sizeof context);

    long double number = ctl_parse_number(text);
    FUZZ_CHECK(std::isfinite(static_cast<double>(number)));
    walk_fields(text);
    float ms = ctl_music_parse(text, context.tempo, context.ticksPerBeat, context.beatsPerBar,
                               context.beatUnit);
    FUZZ_CHECK(std::isfinite(ms) && ms >= 0.0f);

    typedef float (*Entry)(TimeValues *, const TimeContext *, const char *);
    static const Entry entries[] = {
        ctl_time_from_seconds,  ctl_time_from_milliseconds, ctl_time_from_frequency,
        ctl_time_from_tempo_of_period, ctl_time_from_distance, ctl_time_from_samples,
        ctl_time_from_frame,    ctl_time_from_position,
    };
    for (Entry entry : entries) {
        TimeValues views;
        float s = entry(&views, &context, text);
        FUZZ_CHECK(std::isfinite(s) && s >= 0.0f && views_finite(views));
        FUZZ_CHECK(std::isfinite(ctl_video_frame(s, &context)));
    }

    FUZZ_CHECK(ctl_note_count(&context) >= 0 && ctl_note_count(&context) <= CTL_NOTE_SLOTS);
    float duration = ctl_duration_seconds(&context);
    FUZZ_CHECK(std::isfinite(duration) && duration >= 0.0f);
    TimeValues views;
    ctl_time_from_notes(&views, &context, CTL_SAMPLES_TRUNCATE);
    FUZZ_CHECK(views_finite(views));
    ctl_derive_values(&views, float_at(data, size, 44), &context);
    FUZZ_CHECK(views_finite(views));

    TimeContext picked = context;
    int before = ctl_note_count(&picked);
    int note = size > 0 ? data[size - 1] % 16 : 0; // 15 is not a note
    int added = ctl_duration_add(&picked, note);
    FUZZ_CHECK(added == (note < CTL_NOTE_KINDS ? 1 : 0));
    if (added) {
        int after = ctl_note_count(&picked);
        FUZZ_CHECK(after == 1 || after == before + 1);
        FUZZ_CHECK(picked.notes[after - 1] == note);
    }

    check_position_text(ms, context);
    check_position_text(float_at(data, size, 44), context);
    check_position_text(float_at(data, size, 16), context);
    check_scale(data, size);
    return 0;
}

#ifndef K_LIBFUZZER

namespace {

uint64_t g_fuzzState = 0x9E3779B97F4A7C15ull; // xorshift state, fixed seed

uint32_t next_random()
{
    g_fuzzState ^= g_fuzzState << 13;
    g_fuzzState ^= g_fuzzState >> 7;
    g_fuzzState ^= g_fuzzState << 17;
    return static_cast<uint32_t>(g_fuzzState >> 32);
}

// Bytes a position or number text is made of, most inputs use only these.
const char kTextBytes[] = "0123456789012345678901234567890123456789 ./:,-+e";

} // namespace

int main(int argc, char **argv)
{
    long count = (argc > 1) ? strtol(argv[1], nullptr, 10) : 1000000;
    uint8_t input[160];
    for (long i = 0; i < count; ++i) {
        size_t size = next_random() % sizeof input;
        uint32_t mode = next_random() % 4;
        for (size_t k = 0; k < size; ++k) {
            uint32_t r = next_random();
            // Mode 0: arbitrary bytes. Modes 1-3: a context of arbitrary
            // bytes followed by text bytes, or text all through.
            bool textByte = mode == 3 || (mode != 0 && k >= sizeof(TimeContext));
            input[k] = textByte ? static_cast<uint8_t>(kTextBytes[r % (sizeof kTextBytes - 1)])
                                : static_cast<uint8_t>(r);
        }
        LLVMFuzzerTestOneInput(input, size);
    }
    printf("fuzz-time: %ld inputs, no fault\n", count);
    return 0;
}

#endif
