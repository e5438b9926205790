// time-convert: shows one time in every unit of the time-entry dialog, with
// the dialog's own formats, from a terminal.
//
//   time-convert [CONTEXT OPTIONS] [--from UNIT] VALUE
//
// UNIT: s (default), ms, hz, bpm, m, smp, frame, pos (VALUE is a position
// text such as 3.2.48) or notes (VALUE is a comma-separated list of note
// indices 0..14, read at the context's tempo). VALUE is read exactly as the
// dialog reads the field. Context options start from the built-in context:
// --tempo T, --tpb N, --sig B/U, --fps F, --rate R.
//
// Exit status: 0, or 2 with a one-line message on stderr for a missing
// value, an unknown unit or option, or a malformed option value.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "toolkit/dialogs/time_context.h"

namespace {

const int kUsageError = 2;

const char kUsage[] =
    "usage: time-convert [--tempo T] [--tpb N] [--sig B/U] [--fps F] [--rate R]\n"
    "                    [--from s|ms|hz|bpm|m|smp|frame|pos|notes] VALUE\n";

// A field the value can be typed into, by its unit name.
typedef float (*FieldEntry)(TimeValues *, const TimeContext *, const char *);
struct Unit {
    const char *name;  // as given to --from
    FieldEntry entry;  // null for notes
};
const Unit kUnits[] = {
    {"s", ctl_time_from_seconds},       {"ms", ctl_time_from_milliseconds},
    {"hz", ctl_time_from_frequency},    {"bpm", ctl_time_from_tempo_of_period},
    {"m", ctl_time_from_distance},      {"smp", ctl_time_from_samples},
    {"frame", ctl_time_from_frame},     {"pos", ctl_time_from_position},
    {"notes", nullptr},
};

// Prints "time-convert: " and the message (format holds one %s for detail) on
// one line, and returns the usage exit status.
int fail(const char *format, const char *detail)
{
    fputs("time-convert: ", stderr);
    fprintf(stderr, format, detail);
    fputc('\n', stderr);
    return kUsageError;
}

// Whole text as a decimal integer in [low, high]. Returns 1 and sets *out,
// or 0 when the text is malformed or out of range.
int read_int(const char *text, long low, long high, int32_t *out)
{
    if (*text == '\0')
        return 0;
    char *end = nullptr;
    errno = 0;
    long v = strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || v < low || v > high)
        return 0;
    *out = static_cast<int32_t>(v);
    return 1;
}

// Whole text as a finite number of at least 0 that fits a float. Returns 1
// and sets *out, or 0.
int read_rate(const char *text, float *out)
{
    if (*text == '\0')
        return 0;
    char *end = nullptr;
    errno = 0;
    double v = strtod(text, &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(v) || v < 0.0 || v > 3.0e38)
        return 0;
    *out = static_cast<float>(v);
    return 1;
}

// "B/U": beats per bar 1..64 and a beat unit of 1, 2, 4, 8 or 16.
int read_signature(const char *text, TimeContext *context)
{
    const char *slash = strchr(text, '/');
    if (slash == nullptr || slash - text > 8)
        return 0;
    char beats[9] = {};
    memcpy(beats, text, static_cast<size_t>(slash - text));
    int32_t b, u;
    if (!read_int(beats, 1, 64, &b) || !read_int(slash + 1, 1, 16, &u))
        return 0;
    if (u != 1 && u != 2 && u != 4 && u != 8 && u != 16)
        return 0;
    context->beatsPerBar = b;
    context->beatUnit = u;
    return 1;
}

// "i,j,...": up to five note indices 0..14, appended in order.
int read_notes(const char *text, TimeContext *context)
{
    for (int i = 0; i < CTL_NOTE_SLOTS; ++i)
        context->notes[i] = CTL_NOTE_EMPTY;
    context->replaceMode = 0;
    int count = 0;
    const char *p = text;
    for (;;) {
        const char *comma = strchr(p, ',');
        size_t len = comma ? static_cast<size_t>(comma - p) : strlen(p);
        char item[8] = {};
        int32_t note;
        if (len == 0 || len >= sizeof item || count == CTL_NOTE_SLOTS)
            return 0;
        memcpy(item, p, len);
        if (!read_int(item, 0, CTL_NOTE_KINDS - 1, &note))
            return 0;
        ctl_duration_add(context, note);
        ++count;
        if (comma == nullptr)
            return 1;
        p = comma + 1;
    }
}

void print_views(const TimeValues &views, const TimeContext &context)
{
    char position[CTL_POSITION_TEXT_SIZE];
    ctl_music_format(position, sizeof position, views.milliseconds, context.tempo,
                     context.ticksPerBeat, context.beatsPerBar, context.beatUnit);
    printf("seconds %.6f\n", static_cast<double>(views.seconds));
    printf("milliseconds %.3f\n", static_cast<double>(views.milliseconds));
    printf("frequency %.3f\n", static_cast<double>(views.frequency));
    printf("tempo %.3f\n", static_cast<double>(views.tempoOfPeriod));
    printf("distance %.3f\n", static_cast<double>(views.distance));
    printf("samples %.0f\n", static_cast<double>(views.samples));
    printf("frame %.3f\n", static_cast<double>(ctl_video_frame(views.seconds, &context)));
    printf("position %s\n", position);
}

} // namespace

int main(int argc, char **argv)
{
    TimeContext context = CTL_TIME_CONTEXT_BUILTIN;
    const Unit *unit = &kUnits[0];
    const char *value = nullptr;

    for (int i = 1; i < argc; ++i) {
        const char *arg = argv[i];
        if (strcmp(arg, "-h") == 0 || strcmp(arg, "--help") == 0) {
            fputs(kUsage, stdout);
            return 0;
        }
        if (strncmp(arg, "--", 2) != 0 || strcmp(arg, "--") == 0) {
            if (strcmp(arg, "--") == 0) {
                if (++i >= argc)
                    break;
                arg = argv[i];
            }
            if (value != nullptr)
                return fail("more than one value: %s", arg);
            value = arg;
            continue;
        }
        if (strcmp(arg, "--tempo") != 0 && strcmp(arg, "--tpb") != 0 && strcmp(arg, "--sig") != 0
            && strcmp(arg, "--fps") != 0 && strcmp(arg, "--rate") != 0 && strcmp(arg, "--from") != 0)
            return fail("unknown option %s", arg);
        if (i + 1 >= argc)
            return fail("%s needs a value", arg);
        const char *v = argv[++i];
        int ok = 1;
        if (strcmp(arg, "--tempo") == 0)
            ok = read_rate(v, &context.tempo);
        else if (strcmp(arg, "--fps") == 0)
            ok = read_rate(v, &context.framesPerSecond);
        else if (strcmp(arg, "--tpb") == 0)
            ok = read_int(v, 1, 99999, &context.ticksPerBeat);
        else if (strcmp(arg, "--rate") == 0)
            ok = read_int(v, 1, 2147483647L, &context.sampleRate);
        else if (strcmp(arg, "--sig") == 0)
            ok = read_signature(v, &context);
        else {
            unit = nullptr;
            for (const Unit &u : kUnits)
                if (strcmp(v, u.name) == 0)
                    unit = &u;
            if (unit == nullptr)
                return fail("unknown unit %s (s, ms, hz, bpm, m, smp, frame, pos, notes)", v);
        }
        if (!ok)
            return fail("malformed or out-of-range value for %s", arg);
    }
    if (value == nullptr)
        return fail("%s", "missing value (try --help)");

    TimeValues views;
    if (unit->entry != nullptr) {
        unit->entry(&views, &context, value);
    } else {
        if (!read_notes(value, &context))
            return fail("malformed note list %s (up to five indices 0 to 14)", value);
        ctl_time_from_notes(&views, &context);
    }
    print_views(views, context);
    return 0;
}
