// The Wine benchmark: every toolkit control and the calculator beside the
// platform's own controls or their floor, measured side by side in one run,
// printed as one table (bench/win/harness.h). Run by `make bench` under Xvfb
// and Wine after the native benchmarks.
//
//   bench-win.exe [--machine TEXT] [--quick] [--only GROUP]
//
// --machine names the machine in the table's heading (scripts/run-bench.sh
// passes the CPU model and core count); --quick takes few samples, for a
// check that everything runs; --only measures one group of the table:
// drag, lists, vgrid, key, start or dialog. The exit status is 1 when
// something could not be measured (a missed target is a figure, not a
// failure).
#include "bench/win/harness.h"
#include "bench/win/subjects.h"
#include "toolkit/qk2ctl.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>

static const char kAppName[] = "BenchWin"; // the toolkit's settings key while measuring

// A group of the table, in the order measured.
struct Group {
    const char *name;         // for --only
    void (*run)(int);         // measures the group and adds its rows
    int repetitions;          // samples of each subject
};

int main(int argc, char **argv)
{
    const char *machine = "this machine";
    const char *only = nullptr;
    int quick = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--machine") == 0 && i + 1 < argc)
            machine = argv[++i];
        else if (std::strcmp(argv[i], "--only") == 0 && i + 1 < argc)
            only = argv[++i];
        else if (std::strcmp(argv[i], "--quick") == 0)
            quick = 1;
    }
    if (!ctl_init(GetModuleHandleA(nullptr), kAppName)) {
        bench_note_failure("the toolkit did not start");
        ctl_shutdown(); // a failed start-up counts as one
        bench_print_table(stdout, machine);
        return 1;
    }
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);

    int reps = quick ? 3 : 15;
    const Group groups[] = {
        {"drag", bench_drag_steps, reps},
        {"lists", bench_list_paints, reps},
        {"vgrid", bench_vgrid_paints, reps},
        {"key", bench_key_to_repaint, quick ? 50 : 2000},
        {"start", bench_start_up, quick ? 2 : 21},
        {"dialog", bench_time_dialog, reps},
    };
    int measured = 0;
    for (const Group &g : groups) {
        if (!only || std::strcmp(only, g.name) == 0) {
            g.run(g.repetitions);
            measured++;
        }
    }
    if (measured == 0)
        bench_note_failure("--only names no group");

    ctl_shutdown();
    RegDeleteKeyA(HKEY_CURRENT_USER, ctl_key_path()); // the settings the shutdown wrote
    bench_print_table(stdout, machine);
    return bench_failures() ? 1 : 0;
}
