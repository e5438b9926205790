// The Wine benchmarks' timing harness: the clock, side-by-side samples, the
// figures and the table (see harness.h).
#include "bench/win/harness.h"

#include <algorithm>
#include <cstdio>
#include <string>

// ---------------------------------------------------------------------------
// Clock and queue
// ---------------------------------------------------------------------------

double bench_now_us(void)
{
    static double tick = 0; // microseconds per counter tick
    if (tick == 0) {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        tick = 1e6 / (double)frequency.QuadPart;
    }
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart * tick;
}

void bench_pump(void)
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// ---------------------------------------------------------------------------
// Samples
// ---------------------------------------------------------------------------

// One sample of a subject: microseconds per step.
static double take_sample(BenchSubject *s)
{
    if (s->setUp)
        s->setUp(s->data);
    bench_pump();
    int steps = std::max(s->steps, 1);
    double start = bench_now_us();
    for (int i = 0; i < steps; ++i) {
        s->step(s->data, i);
        GdiFlush();
    }
    double perStep = (bench_now_us() - start) / steps;
    if (s->tearDown)
        s->tearDown(s->data);
    bench_pump();
    return perStep;
}

void bench_side_by_side(BenchSubject *const *subjects, int count, int repetitions)
{
    for (int round = -1; round < repetitions; ++round) {
        for (int k = 0; k < count; ++k) {
            // ABAB... would favour whoever comes first after a pause: every
            // other round runs the other way round.
            BenchSubject *s = subjects[round % 2 == 0 ? k : count - 1 - k];
            double perStep = take_sample(s);
            if (round >= 0)
                s->samples.push_back(perStep);
        }
    }
}

void bench_alone(BenchSubject *subject, int repetitions)
{
    bench_side_by_side(&subject, 1, repetitions);
}

BenchFigure bench_figure(std::vector<double> samples)
{
    if (samples.empty())
        return {0, 0, 0, 0};
    std::sort(samples.begin(), samples.end());
    return {samples[samples.size() / 2], samples.front(), samples.back(), (int)samples.size()};
}

// ---------------------------------------------------------------------------
// The table
// ---------------------------------------------------------------------------

// One row of the table.
struct Row {
    std::string what;      // what the row measures
    std::string subject;   // the subject's name and figure
    std::string against;   // the reference's name and figure; empty for a plain row
    double ratio;          // median of the rounds' subject / reference (0 for a plain row)
    double target;         // at most this (0 for a plain row)
};

static std::vector<Row> g_rows;             // rows in the order added; the program's one table
static std::vector<std::string> g_failures; // what could not be measured

// A duration for the table: microseconds below 10 ms, milliseconds above.
static std::string duration_text(double us, double scaleOf)
{
    char text[32];
    if (scaleOf >= 10000)
        std::snprintf(text, sizeof text, "%.1f", us / 1000);
    else if (scaleOf >= 1000)
        std::snprintf(text, sizeof text, "%.0f", us);
    else if (scaleOf >= 10)
        std::snprintf(text, sizeof text, "%.1f", us);
    else
        std::snprintf(text, sizeof text, "%.2f", us);
    return text;
}

// "name: median unit (low–high)", all in the unit the median calls for.
static std::string figure_text(const char *name, BenchFigure f)
{
    const char *unit = f.median >= 10000 ? "ms" : "µs";
    return std::string(name) + ": " + duration_text(f.median, f.median) + " " + unit + " (" +
           duration_text(f.low, f.median) + "–" + duration_text(f.high, f.median) + ")";
}

double bench_paired_ratio(const BenchSubject *subject, const BenchSubject *against)
{
    std::vector<double> ratios;
    size_t n = std::min(subject->samples.size(), against->samples.size());
    for (size_t i = 0; i < n; ++i)
        if (against->samples[i] > 0)
            ratios.push_back(subject->samples[i] / against->samples[i]);
    return bench_figure(ratios).median;
}

void bench_add_ratio(const char *what, const BenchSubject *subject, const BenchSubject *against,
                     double target)
{
    BenchFigure a = bench_figure(subject->samples), b = bench_figure(against->samples);
    g_rows.push_back({what, figure_text(subject->name, a), figure_text(against->name, b),
                      bench_paired_ratio(subject, against), target});
}

void bench_add_plain(const char *what, const BenchSubject *subject)
{
    bench_add_figure(what, subject->name, bench_figure(subject->samples));
}

void bench_add_figure(const char *what, const char *name, BenchFigure figure)
{
    g_rows.push_back({what, figure_text(name, figure), "", 0, 0});
}

int bench_print_table(FILE *out, const char *machine)
{
    int missed = 0;
    std::fprintf(out, "Measured under Wine on %s. Each figure: the median sample (fastest–slowest)."
                 " Compared subjects are measured in turns in the same run; the ratio is the"
                 " median of the ratios of samples taken one right after the other.\n\n",
                 machine);
    std::fprintf(out, "| Measured | Subject | Against | Ratio | Target |\n");
    std::fprintf(out, "|---|---|---|---|---|\n");
    for (const Row &r : g_rows) {
        if (r.against.empty()) {
            std::fprintf(out, "| %s | %s | | | |\n", r.what.c_str(), r.subject.c_str());
            continue;
        }
        bool met = r.ratio <= r.target;
        missed += met ? 0 : 1;
        std::fprintf(out, "| %s | %s | %s | %.2f | ≤ %.2f %s |\n", r.what.c_str(),
                     r.subject.c_str(), r.against.c_str(), r.ratio, r.target,
                     met ? "met" : "**missed**");
    }
    for (const std::string &f : g_failures)
        std::fprintf(out, "\nNot measured: %s\n", f.c_str());
    std::fflush(out);
    return missed;
}

void bench_clear_table(void)
{
    g_rows.clear();
    g_failures.clear();
}

void bench_note_failure(const char *what)
{
    std::fprintf(stderr, "bench: %s\n", what);
    g_failures.push_back(what);
}

int bench_failures(void)
{
    return (int)g_failures.size();
}
