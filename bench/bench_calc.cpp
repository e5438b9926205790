// Engine speed: keys per second while typing and editing, and calc_evaluate
// over 10, 100 and 2046 operands. Targets: a typed key under 200 ns, 2046
// operands under 50 µs.
#include "app/calc_engine.h"

#include <benchmark/benchmark.h>

namespace {

CalcState g_state; // 50 KB: a global, not a stack record

constexpr int P = CALC_KEY_POINT, D = CALC_KEY_DEL, AC = CALC_KEY_AC;
constexpr int H = CALC_KEY_H, MN = CALC_KEY_MN, S = CALC_KEY_S;
constexpr int ADD = CALC_KEY_ADD, MUL = CALC_KEY_MUL, DIV = CALC_KEY_DIV, SUB = CALC_KEY_SUB;
constexpr int ENTER = CALC_KEY_ENTER;

template <size_t N>
void run_keys(benchmark::State &state, const int (&keys)[N])
{
    calc_init(&g_state);
    for (auto _ : state) {
        for (int code : keys)
            benchmark::DoNotOptimize(calc_key(&g_state, code));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * N);
}

// Typing numbers and durations, then AC.
void BM_TypeKeys(benchmark::State &state)
{
    static const int keys[] = {
        1, 2, 3, 4, 5, 6, P, 7, 8, 9, 0, 1, AC,
        1, H, 3, 0, MN, 1, 5, P, 2, 5, S, AC,
        0, P, 0, 5, AC, 9, 0, MN, 4, 5, AC,
    };
    run_keys(state, keys);
}
BENCHMARK(BM_TypeKeys);

// Typing, deleting and converting: the field digits, "h", the point.
void BM_EditKeys(benchmark::State &state)
{
    static const int keys[] = {
        1, H, 3, 0, MN, 1, 5, P, 2, 5, D, D, D, D, D, D, D, D, D, D,
        1, 2, 3, P, 4, D, D, D, D, D, 2, H, MN, D, D, D, D, D, D, D, D, D,
        1, P, 5, H, H, D, D, D, D, D, D, D, D, D, AC,
    };
    run_keys(state, keys);
}
BENCHMARK(BM_EditKeys);

// Numbers longer than a double holds exactly: twelve and twelve digits, a
// duration near the limit with a long fraction, and conversions of both.
void BM_LongNumberKeys(benchmark::State &state)
{
    static const int keys[] = {
        1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 1, 2, P, 3, 4, 5, 6, 7, 8, 9, 0, 1, 2, 3, 4, D, D, 5, S, AC,
        2, 7, 7, 7, 7, 7, 7, 7, 7, H, 4, 6, MN, 3, 8, P, 9, 9, 9, 9, 9, 9, 9, 9, D, D, 5, S, S, AC,
    };
    run_keys(state, keys);
}
BENCHMARK(BM_LongNumberKeys);

// A short calculation from the keys: push, evaluate, format the result.
void BM_CalculationKeys(benchmark::State &state)
{
    static const int keys[] = {2, ADD, 3, MUL, 4, ENTER, DIV, 7, ENTER, AC};
    run_keys(state, keys);
}
BENCHMARK(BM_CalculationKeys);

// calc_evaluate over state.range(0) operands mixing all four operators and
// durations; the result slot is taken back after every run.
void BM_Evaluate(benchmark::State &state)
{
    const int operands = static_cast<int>(state.range(0));
    static const int ops[] = {ADD, MUL, SUB, DIV, ADD, ADD, MUL};
    calc_init(&g_state);
    for (int i = 0; i < operands; i++) {
        if (i > 0)
            calc_key(&g_state, ops[i % 7]);
        calc_key(&g_state, 1 + i % 9);
        if (i % 5 == 0)
            calc_key(&g_state, S);
    }
    calc_push(&g_state);
    calc_clear_entry(&g_state);
    const int end = g_state.tapeEnd;
    for (auto _ : state) {
        calc_evaluate(&g_state);
        benchmark::DoNotOptimize(g_state.text);
        g_state.tapeEnd = end;
        g_state.resultShown = 0;
    }
    if (g_state.error)
        state.SkipWithError(g_state.text);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * operands);
}
BENCHMARK(BM_Evaluate)->Arg(10)->Arg(100)->Arg(2046);

} // namespace

BENCHMARK_MAIN();
