// The Wine benchmarks' one timing harness: QueryPerformanceCounter, subjects
// measured side by side in interleaved repetitions, median and range, and the
// one table of ratios that `make bench` prints.
//
// A subject is one operation timed in samples: a sample runs its step
// `steps` times and records the time per step. Subjects compared with each
// other are measured in one group: every repetition takes one sample of each,
// in turns (the order reverses every other repetition), so that the drift of
// a shared machine hits them alike. The figures are the median of the
// samples and their range (fastest, slowest).
#pragma once
#include <windows.h>

#include <cstdio>
#include <vector>

// ---------------------------------------------------------------------------
// Clock and queue
// ---------------------------------------------------------------------------

// Microseconds since an arbitrary start, from QueryPerformanceCounter.
double bench_now_us(void);
// Dispatches every queued message, paints included.
void bench_pump(void);

// ---------------------------------------------------------------------------
// Subjects and groups
// ---------------------------------------------------------------------------

// One timed operation and what it needs around its samples.
struct BenchSubject {
    const char *name;                   // as the table shows it
    void (*step)(void *data, int i);    // the timed operation; i counts within a sample
    void *data;                         // handed to the three functions
    int steps;                          // steps per sample (at least 1)
    void (*setUp)(void *data);          // before each sample, untimed; may be null
    void (*tearDown)(void *data);       // after each sample, untimed; may be null
    std::vector<double> samples;        // microseconds per step, one per repetition
};

// Median and range of a subject's samples, microseconds per step.
struct BenchFigure {
    double median; // the middle sample (the upper middle of an even count)
    double low;    // fastest sample
    double high;   // slowest sample
    int count;     // samples
};

// Measures the subjects side by side: one untimed warm-up round, then
// `repetitions` rounds that take one sample of each subject in turn. Every
// sample: setUp, pump, the timed steps (each followed by GdiFlush, so the
// drawing is done inside the time), tearDown, pump.
void bench_side_by_side(BenchSubject *const *subjects, int count, int repetitions);
// The same for a single subject.
void bench_alone(BenchSubject *subject, int repetitions);
// Median and range of samples (any microsecond figures). An empty vector
// gives all zero.
BenchFigure bench_figure(std::vector<double> samples);
// The median of the ratios subject / against of the samples taken in the
// same round (one right after the other), which the machine's slower drifts
// do not bend as they bend the ratio of the two medians. 0 without samples.
double bench_paired_ratio(const BenchSubject *subject, const BenchSubject *against);

// ---------------------------------------------------------------------------
// The table
// ---------------------------------------------------------------------------

// Adds a row comparing two subjects measured in the same group: the median
// of the ratios of their samples round by round, against the target (at
// most `target`).
void bench_add_ratio(const char *what, const BenchSubject *subject, const BenchSubject *against,
                     double target);
// Adds a row with one subject's figure and no comparison.
void bench_add_plain(const char *what, const BenchSubject *subject);
// Adds a row with a figure measured outside a subject.
void bench_add_figure(const char *what, const char *name, BenchFigure figure);
// Prints every row added, as one Markdown table under a line naming the
// machine, then the failures noted. Returns the number of ratios that
// missed their target.
int bench_print_table(FILE *out, const char *machine);
// Forgets every row and failure.
void bench_clear_table(void);

// Notes that something to measure could not be set up or did not finish
// (printed on stderr at once and listed under the table).
void bench_note_failure(const char *what);
// Failures noted so far.
int bench_failures(void);
