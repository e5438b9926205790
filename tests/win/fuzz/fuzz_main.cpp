// fuzz-toolkit: the long fuzzing run of `make fuzz`. For every class and
// dialog (or the rows named) it throws a million messages (--messages), in
// runs of --run-length messages with the leak counts after each run, and
// prints the figures: messages, crashes, failed checks, leaks and time.
//
// Each share of --share messages runs in a child process (this program with
// --child), so that a crash is counted, reported with its row and seed, and
// the fuzzing goes on with the next share; one share runs at a time. Lanes
// split the shares between programs that run side by side, each in a Wine
// prefix and on a screen of its own (windows of one process would take the
// focus from another's and end its dialogs): lane k of n takes every n-th
// share, writes its figures to a summary file, and --report adds the
// summaries up.
//
//   fuzz-toolkit [--messages N] [--run-length N] [--share N] [--seed N]
//                [--lane K --lanes N --summary FILE] [ROW ...]
//   fuzz-toolkit --report FILE ...
//   fuzz-toolkit --child ROW SEED MESSAGES RUN-LENGTH
//
// A failure or crash is reproduced with --child ROW SEED <its messages> <same>.
#include "tests/win/fuzz/fuzz.h"

#include "toolkit/qk2ctl.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// What one row's shares added up to.
struct Figures {
    std::string row;                // row name
    long long messages;             // thrown
    long runs;                      // runs finished
    long crashes;                   // shares that ended in a crash
    long failures;                  // runs whose checks failed
    long leakyRuns;                 // runs that leaked anything
    FuzzCounts leaked;              // sum of what the runs leaked
    double seconds;                 // wall time of its shares
    std::vector<std::string> notes; // failure and crash lines, for the report
};

// A share waiting or running: the child's process and its output file.
struct Share {
    int row;               // index into the figures
    uint64_t seed;         // seed of its first run
    long messages;         // messages it throws
    char output[MAX_PATH]; // where its lines go
    DWORD started;         // GetTickCount at the start
};

long long parse_number(const char *text) { return std::strtoll(text, nullptr, 10); }

// --- child: runs its share and prints one line per run ---------------------

int child(const char *row, uint64_t seed, long messages, long runLength)
{
    fuzz_install_crash_report();
    int status = 0;
    for (long done = 0; done < messages; ++seed) {
        long n = messages - done < runLength ? messages - done : runLength;
        FuzzResult r;
        int ok = fuzz_run(row, seed, n, &r);
        if (ok < 0) {
            std::printf("error unknown row %s\n", row);
            return 2;
        }
        std::printf("run %s %llu %ld %d %ld %ld %ld %ld %.1f %s\n", row, (unsigned long long)seed,
                    r.messages, r.failed, r.leaked.heap, r.leaked.gdi, r.leaked.menus,
                    r.leaked.windows, r.ms, r.failure[0] != '\0' ? r.failure : "-");
        std::fflush(stdout);
        if (!ok)
            status = 1;
        done += r.messages > 0 ? r.messages : n;
    }
    return status;
}

// --- parent: shares out the work and adds up the figures -------------------

// Runs one share in a child and waits for it. Returns its exit code, or -1
// when it cannot be started.
long run_share(Share *share, const char *self, const char *row, long runLength)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    GetTempFileNameA(temp, "qkf", 0, share->output);
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE out = CreateFileA(share->output, GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return -1;
    char command[512];
    std::snprintf(command, sizeof command, "\"%s\" --child %s %llu %ld %ld", self, row,
                  (unsigned long long)share->seed, share->messages, runLength);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = out;
    si.hStdError = out;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi = {};
    share->started = GetTickCount();
    BOOL ok =
        CreateProcessA(nullptr, command, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(out);
    if (!ok)
        return -1;
    CloseHandle(pi.hThread);
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    return (long)code;
}

// Reads a finished share's lines ("run" lines, a "crash" line) into its
// row's figures.
void collect(Share *share, Figures *f, DWORD exitCode)
{
    f->seconds += (GetTickCount() - share->started) / 1000.0;
    FILE *in = std::fopen(share->output, "r");
    char line[768];
    bool crashed = false;
    long thrown = 0, runs = 0;
    while (in != nullptr && std::fgets(line, sizeof line, in) != nullptr) {
        line[strcspn(line, "\r\n")] = '\0';
        if (std::strncmp(line, "run ", 4) == 0) {
            char row[64], text[512] = "";
            unsigned long long seed;
            long messages, heap, gdi, menus, windows;
            int failed;
            double ms;
            if (std::sscanf(line, "run %63s %llu %ld %d %ld %ld %ld %ld %lf %511[^\n]", row, &seed,
                            &messages, &failed, &heap, &gdi, &menus, &windows, &ms, text) < 9)
                continue;
            thrown += messages;
            ++runs;
            bool leaked = heap > 0 || gdi > 0 || menus > 0 || windows > 0;
            f->leakyRuns += leaked;
            f->leaked.heap += heap > 0 ? heap : 0;
            f->leaked.gdi += gdi > 0 ? gdi : 0;
            f->leaked.menus += menus > 0 ? menus : 0;
            f->leaked.windows += windows > 0 ? windows : 0;
            f->failures += failed != 0;
            if (failed || leaked)
                f->notes.push_back("seed " + std::to_string(seed) + " (" +
                                   std::to_string(messages) + " messages): leaked heap " +
                                   std::to_string(heap) + ", gdi " + std::to_string(gdi) +
                                   ", menus " + std::to_string(menus) + ", windows " +
                                   std::to_string(windows) + "; " + text);
        } else if (std::strncmp(line, "crash", 5) == 0) {
            crashed = true;
            f->notes.push_back("seed " + std::to_string(share->seed + (uint64_t)runs) + ": " +
                               line);
        }
    }
    if (in != nullptr)
        std::fclose(in);
    DeleteFileA(share->output);
    if (!crashed && exitCode != 0 && exitCode != 1) {
        crashed = true;
        f->notes.push_back("the share from seed " + std::to_string(share->seed) +
                           " ended with code " + std::to_string(exitCode));
    }
    if (crashed) {
        ++f->crashes;
        thrown = share->messages; // the crashed run's messages were thrown too
    }
    f->messages += thrown;
    f->runs += runs;
}

long total_leaked(const Figures &f)
{
    return f.leaked.heap + f.leaked.gdi + f.leaked.menus + f.leaked.windows;
}

// The table of figures and the notes; returns 0 when all is clean.
int print_figures(const std::vector<Figures> &figures, double wallSeconds)
{
    std::printf("\n%-13s %10s %8s %9s %7s %9s   %s\n", "class/dialog", "messages", "crashes",
                "failures", "leaks", "time", "(leaked heap blocks, GDI objects, menus, windows)");
    long long allMessages = 0;
    long crashes = 0, failures = 0, leaks = 0;
    double seconds = 0;
    for (const Figures &f : figures) {
        std::printf("%-13s %10lld %8ld %9ld %7ld %7.0f s   (%ld, %ld, %ld, %ld)\n", f.row.c_str(),
                    f.messages, f.crashes, f.failures, total_leaked(f), f.seconds, f.leaked.heap,
                    f.leaked.gdi, f.leaked.menus, f.leaked.windows);
        allMessages += f.messages;
        crashes += f.crashes;
        failures += f.failures;
        leaks += total_leaked(f);
        seconds += f.seconds;
    }
    std::printf("%-13s %10lld %8ld %9ld %7ld %7.0f s   (%.0f s wall)\n", "all", allMessages,
                crashes, failures, leaks, seconds, wallSeconds);
    for (const Figures &f : figures)
        for (const std::string &note : f.notes)
            std::printf("%s: %s\n", f.row.c_str(), note.c_str());
    return crashes == 0 && failures == 0 && leaks == 0 ? 0 : 1;
}

// Summary file: one "row" line per row, then "note" lines.
bool write_summary(const char *path, const std::vector<Figures> &figures, double wallSeconds)
{
    FILE *out = std::fopen(path, "w");
    if (out == nullptr)
        return false;
    std::fprintf(out, "wall %.1f\n", wallSeconds);
    for (const Figures &f : figures)
        std::fprintf(out, "row %s %lld %ld %ld %ld %ld %ld %ld %ld %ld %.1f\n", f.row.c_str(),
                     f.messages, f.runs, f.crashes, f.failures, f.leakyRuns, f.leaked.heap,
                     f.leaked.gdi, f.leaked.menus, f.leaked.windows, f.seconds);
    for (const Figures &f : figures)
        for (const std::string &note : f.notes)
            std::fprintf(out, "note %s %s\n", f.row.c_str(), note.c_str());
    std::fclose(out);
    return true;
}

// Adds the summaries of the lanes up and prints them.
int report(int count, char **paths)
{
    std::vector<Figures> figures;
    double wall = 0;
    auto find = [&](const std::string &row) -> Figures & {
        for (Figures &f : figures)
            if (f.row == row)
                return f;
        figures.push_back(Figures{row, 0, 0, 0, 0, 0, {0, 0, 0, 0}, 0, {}});
        return figures.back();
    };
    for (int i = 0; i < count; ++i) {
        FILE *in = std::fopen(paths[i], "r");
        if (in == nullptr) {
            std::printf("fuzz-toolkit: no summary %s (a lane did not finish)\n", paths[i]);
            return 1;
        }
        char line[1024];
        while (std::fgets(line, sizeof line, in) != nullptr) {
            line[strcspn(line, "\r\n")] = '\0';
            char row[64];
            Figures g = {};
            double w;
            int at = 0;
            if (std::sscanf(line, "wall %lf", &w) == 1) {
                wall = w > wall ? w : wall;
            } else if (std::sscanf(line, "row %63s %lld %ld %ld %ld %ld %ld %ld %ld %ld %lf", row,
                                   &g.messages, &g.runs, &g.crashes, &g.failures, &g.leakyRuns,
                                   &g.leaked.heap, &g.leaked.gdi, &g.leaked.menus,
                                   &g.leaked.windows, &g.seconds) == 11) {
                Figures &f = find(row);
                f.messages += g.messages;
                f.runs += g.runs;
                f.crashes += g.crashes;
                f.failures += g.failures;
                f.leakyRuns += g.leakyRuns;
                f.leaked.heap += g.leaked.heap;
                f.leaked.gdi += g.leaked.gdi;
                f.leaked.menus += g.leaked.menus;
                f.leaked.windows += g.leaked.windows;
                f.seconds += g.seconds;
            } else if (std::sscanf(line, "note %63s %n", row, &at) == 1 && at > 0) {
                find(row).notes.push_back(line + at);
            }
        }
        std::fclose(in);
    }
    return print_figures(figures, wall);
}

int parent(int argc, char **argv)
{
    long long messages = 1000000;
    long runLength = 5000, shareSize = 100000;
    uint64_t seed = 1;
    int lane = 0, lanes = 1;
    const char *summary = nullptr;
    std::vector<std::string> rows;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        bool more = i + 1 < argc;
        if (a == "--messages" && more)
            messages = parse_number(argv[++i]);
        else if (a == "--run-length" && more)
            runLength = (long)parse_number(argv[++i]);
        else if (a == "--share" && more)
            shareSize = (long)parse_number(argv[++i]);
        else if (a == "--seed" && more)
            seed = (uint64_t)parse_number(argv[++i]);
        else if (a == "--lane" && more)
            lane = (int)parse_number(argv[++i]);
        else if (a == "--lanes" && more)
            lanes = (int)parse_number(argv[++i]);
        else if (a == "--summary" && more)
            summary = argv[++i];
        else
            rows.push_back(a);
    }
    if (rows.empty()) {
        for (int i = 0; i < kFuzzClassCount; ++i)
            rows.push_back(kFuzzClasses[i].name);
        for (int i = 0; i < kFuzzDialogCount; ++i)
            rows.push_back(kFuzzDialogs[i].name);
    }
    if (runLength < 1 || shareSize < runLength || lanes < 1 || lane < 0 || lane >= lanes) {
        std::fprintf(stderr, "fuzz-toolkit: bad --run-length, --share, --lane or --lanes\n");
        return 2;
    }
    for (const std::string &r : rows)
        if (fuzz_find_class(r.c_str()) == nullptr && fuzz_find_dialog(r.c_str()) == nullptr) {
            std::fprintf(stderr, "fuzz-toolkit: no class or dialog called %s\n", r.c_str());
            return 2;
        }
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);

    // The shares of every row, taken in turn by the lanes; their seeds follow
    // each other, one per run, whatever the lanes.
    std::vector<Figures> figures(rows.size());
    std::vector<Share> queue;
    int index = 0;
    for (size_t r = 0; r < rows.size(); ++r) {
        figures[r].row = rows[r];
        uint64_t s = seed;
        for (long long left = messages; left > 0; left -= shareSize, ++index) {
            Share share = {};
            share.row = (int)r;
            share.seed = s;
            share.messages = (long)(left < shareSize ? left : shareSize);
            s += (uint64_t)((share.messages + runLength - 1) / runLength);
            if (index % lanes == lane)
                queue.push_back(share);
        }
    }
    std::printf("fuzz-toolkit: %lld messages per class and dialog in runs of %ld; lane %d of %d: "
                "%zu shares\n",
                messages, runLength, lane + 1, lanes, queue.size());
    std::fflush(stdout);
    DWORD start = GetTickCount();
    for (size_t k = 0; k < queue.size(); ++k) {
        Share &share = queue[k];
        Figures &f = figures[share.row];
        long code = run_share(&share, self, rows[share.row].c_str(), runLength);
        if (code < 0) {
            std::fprintf(stderr, "fuzz-toolkit: cannot start a share\n");
            return 2;
        }
        long crashesBefore = f.crashes, failuresBefore = f.failures;
        collect(&share, &f, (DWORD)code);
        std::printf("  %-13s seeds from %-6llu %7ld messages  %s\n", f.row.c_str(),
                    (unsigned long long)share.seed, share.messages,
                    f.crashes > crashesBefore     ? "CRASH"
                    : f.failures > failuresBefore ? "FAILED"
                                                  : "ok");
        std::fflush(stdout);
    }
    double wall = (GetTickCount() - start) / 1000.0;
    if (summary != nullptr)
        return write_summary(summary, figures, wall) ? 0 : 2;
    return print_figures(figures, wall);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 6 && std::strcmp(argv[1], "--child") == 0)
        return child(argv[2], (uint64_t)parse_number(argv[3]), (long)parse_number(argv[4]),
                     (long)parse_number(argv[5]));
    if (argc >= 2 && std::strcmp(argv[1], "--report") == 0)
        return report(argc - 2, argv + 2);
    return parent(argc, argv);
}
