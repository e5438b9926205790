// fuzz-toolkit: the long fuzzing run of `make fuzz`. For every class and
// dialog (or the rows named) it throws a million messages (--messages), in
// runs of --run-length messages with the leak counts after each run, and
// prints the figures: messages, crashes, failed checks, leaks and time.
//
// Each share of --share messages runs in a child process (this program with
// --child), so that a crash is counted, reported with its row and seed, and
// the fuzzing goes on with the next share. --jobs children run at once.
//
//   fuzz-toolkit [--messages N] [--run-length N] [--share N] [--seed N]
//                [--jobs N] [ROW ...]
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
    std::string row;      // row name
    long long messages;   // thrown
    long runs;            // runs finished
    long crashes;         // shares that ended in a crash
    long failures;        // runs whose checks failed
    long leakyRuns;       // runs that leaked anything
    FuzzCounts leaked;    // sum of what the runs leaked
    double seconds;       // wall time of its shares
    std::vector<std::string> notes; // failure and crash lines, for the report
};

// A share waiting or running: the child's process and its output file.
struct Share {
    int row;               // index into the figures
    uint64_t seed;         // seed of its first run
    long messages;         // messages it throws
    HANDLE process;        // while running
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
                    r.messages, ok, r.leaked.heap, r.leaked.gdi, r.leaked.menus, r.leaked.windows,
                    r.ms, r.failed || r.failure[0] != '\0' ? r.failure : "-");
        std::fflush(stdout);
        if (!ok)
            status = 1;
        done += r.messages > 0 ? r.messages : n;
    }
    return status;
}

// --- parent: shares out the work and adds up the figures -------------------

bool start_share(Share *share, const char *self, const char *row, long runLength)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    GetTempFileNameA(temp, "qkf", 0, share->output);
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE out = CreateFileA(share->output, GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return false;
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
    BOOL ok = CreateProcessA(nullptr, command, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(out);
    if (!ok)
        return false;
    CloseHandle(pi.hThread);
    share->process = pi.hProcess;
    share->started = GetTickCount();
    return true;
}

// Reads a finished share's lines into its row's figures.
void collect(Share *share, Figures *f, DWORD exitCode)
{
    f->seconds += (GetTickCount() - share->started) / 1000.0;
    FILE *in = std::fopen(share->output, "r");
    char line[768];
    bool crashed = false;
    long thrown = 0;
    while (in != nullptr && std::fgets(line, sizeof line, in) != nullptr) {
        line[strcspn(line, "\r\n")] = '\0';
        if (std::strncmp(line, "run ", 4) == 0) {
            char row[64], failure[512] = "";
            unsigned long long seed;
            long messages, heap, gdi, menus, windows;
            int ok;
            double ms;
            if (std::sscanf(line, "run %63s %llu %ld %d %ld %ld %ld %ld %lf %511[^\n]", row, &seed,
                            &messages, &ok, &heap, &gdi, &menus, &windows, &ms, failure) < 9)
                continue;
            thrown += messages;
            ++f->runs;
            bool leaked = heap > 0 || gdi > 0 || menus > 0 || windows > 0;
            f->leakyRuns += leaked;
            f->leaked.heap += heap > 0 ? heap : 0;
            f->leaked.gdi += gdi > 0 ? gdi : 0;
            f->leaked.menus += menus > 0 ? menus : 0;
            f->leaked.windows += windows > 0 ? windows : 0;
            if (!ok && !leaked) {
                ++f->failures;
                f->notes.push_back("  failed: seed " + std::to_string(seed) + " (" +
                                   std::to_string(messages) + " messages): " + failure);
            } else if (leaked) {
                f->notes.push_back("  leaked: seed " + std::to_string(seed) + ": heap " +
                                   std::to_string(heap) + ", gdi " + std::to_string(gdi) +
                                   ", menus " + std::to_string(menus) + ", windows " +
                                   std::to_string(windows) + " " + failure);
            }
        } else if (std::strncmp(line, "crash", 5) == 0) {
            crashed = true;
            f->notes.push_back(std::string("  ") + line + " (share from seed " +
                               std::to_string(share->seed + f->runs) + ")");
        }
    }
    if (in != nullptr)
        std::fclose(in);
    DeleteFileA(share->output);
    if (!crashed && exitCode != 0 && exitCode != 1) {
        crashed = true;
        f->notes.push_back("  the share from seed " + std::to_string(share->seed) +
                           " ended with code " + std::to_string(exitCode));
    }
    if (crashed) {
        ++f->crashes;
        thrown = share->messages; // the crashed run's messages were thrown too
    }
    f->messages += thrown;
}

int parent(int argc, char **argv)
{
    long long messages = 1000000;
    long runLength = 5000, shareSize = 100000;
    uint64_t seed = 1;
    int jobs = 2;
    std::vector<std::string> rows;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        bool more = i + 1 < argc;
        if (a == "--messages" && more) messages = parse_number(argv[++i]);
        else if (a == "--run-length" && more) runLength = (long)parse_number(argv[++i]);
        else if (a == "--share" && more) shareSize = (long)parse_number(argv[++i]);
        else if (a == "--seed" && more) seed = (uint64_t)parse_number(argv[++i]);
        else if (a == "--jobs" && more) jobs = (int)parse_number(argv[++i]);
        else rows.push_back(a);
    }
    if (rows.empty()) {
        for (int i = 0; i < kFuzzClassCount; ++i)
            rows.push_back(kFuzzClasses[i].name);
        for (int i = 0; i < kFuzzDialogCount; ++i)
            rows.push_back(kFuzzDialogs[i].name);
    }
    if (runLength < 1 || shareSize < runLength || jobs < 1 || jobs > 8) {
        std::fprintf(stderr, "fuzz-toolkit: bad --run-length, --share or --jobs\n");
        return 2;
    }
    for (const std::string &r : rows)
        if (fuzz_find_class(r.c_str()) == nullptr && fuzz_find_dialog(r.c_str()) == nullptr) {
            std::fprintf(stderr, "fuzz-toolkit: no class or dialog called %s\n", r.c_str());
            return 2;
        }
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);

    std::vector<Figures> figures(rows.size());
    std::vector<Share> queue;
    for (size_t r = 0; r < rows.size(); ++r) {
        figures[r].row = rows[r];
        uint64_t s = seed;
        for (long long left = messages; left > 0; left -= shareSize) {
            Share share = {};
            share.row = (int)r;
            share.seed = s;
            share.messages = (long)(left < shareSize ? left : shareSize);
            s += (uint64_t)((share.messages + runLength - 1) / runLength);
            queue.push_back(share);
        }
    }
    std::printf("fuzz-toolkit: %lld messages per class and dialog, runs of %ld, %d at once\n",
                messages, runLength, jobs);
    std::fflush(stdout);
    DWORD start = GetTickCount();
    std::vector<Share> running;
    size_t next = 0;
    while (next < queue.size() || !running.empty()) {
        while (next < queue.size() && (int)running.size() < jobs) {
            Share share = queue[next++];
            if (!start_share(&share, self, rows[share.row].c_str(), runLength)) {
                std::fprintf(stderr, "fuzz-toolkit: cannot start a share\n");
                return 2;
            }
            running.push_back(share);
        }
        std::vector<HANDLE> handles;
        for (const Share &s : running)
            handles.push_back(s.process);
        DWORD which = WaitForMultipleObjects((DWORD)handles.size(), handles.data(), FALSE, INFINITE);
        size_t k = which - WAIT_OBJECT_0;
        if (k >= running.size())
            return 2;
        DWORD code = 0;
        GetExitCodeProcess(running[k].process, &code);
        CloseHandle(running[k].process);
        Figures &f = figures[running[k].row];
        collect(&running[k], &f, code);
        running.erase(running.begin() + (long)k);
    }

    std::printf("\n%-13s %10s %8s %9s %10s   %s\n", "class/dialog", "messages", "crashes",
                "failures", "leaks", "time");
    long long allMessages = 0;
    long crashes = 0, failures = 0, leaks = 0;
    for (const Figures &f : figures) {
        long leaked = f.leaked.heap + f.leaked.gdi + f.leaked.menus + f.leaked.windows;
        std::printf("%-13s %10lld %8ld %9ld %10ld   %.0f s (heap %ld, gdi %ld, menus %ld, windows %ld)\n",
                    f.row.c_str(), f.messages, f.crashes, f.failures, leaked, f.seconds,
                    f.leaked.heap, f.leaked.gdi, f.leaked.menus, f.leaked.windows);
        allMessages += f.messages;
        crashes += f.crashes;
        failures += f.failures;
        leaks += leaked;
    }
    std::printf("%-13s %10lld %8ld %9ld %10ld   %.0f s wall\n", "all", allMessages, crashes,
                failures, leaks, (GetTickCount() - start) / 1000.0);
    for (const Figures &f : figures)
        for (const std::string &note : f.notes)
            std::printf("%s: %s\n", f.row.c_str(), note.c_str());
    return crashes == 0 && failures == 0 && leaks == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 6 && std::strcmp(argv[1], "--child") == 0)
        return child(argv[2], (uint64_t)parse_number(argv[3]), (long)parse_number(argv[4]),
                     (long)parse_number(argv[5]));
    return parent(argc, argv);
}
