// The toolkit under random messages: every class and every dialog takes
// 20,000 seeded messages and stays sound, leaking nothing; a seed gives the
// same run again; and the counters that find leaks, the check that finds a
// broken state and the poisoned heap that finds writes to freed records do
// find them.
#include "tests/win/fuzz/fuzz.h"
#include "tests/win/harness.h"
#include "toolkit/qk2ctl.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Messages per class and dialog; QK2_FUZZ_MESSAGES changes it.
long messages_per_row(void)
{
    const char *text = std::getenv("QK2_FUZZ_MESSAGES");
    long n = text != nullptr ? std::strtol(text, nullptr, 10) : 0;
    return n > 0 ? n : 20000;
}

const long kRunLength = 5000; // messages between two leak counts

std::vector<std::string> row_names(void)
{
    std::vector<std::string> names;
    for (int i = 0; i < kFuzzClassCount; ++i)
        names.push_back(kFuzzClasses[i].name);
    for (int i = 0; i < kFuzzDialogCount; ++i)
        names.push_back(kFuzzDialogs[i].name);
    return names;
}

std::string describe(const char *row, uint64_t seed, const FuzzResult &r)
{
    char text[600];
    std::snprintf(text, sizeof text,
                  "%s seed %llu: %ld messages, %ld lives; %s; leaked heap %ld, gdi %ld, menus %ld, "
                  "windows %ld",
                  row, (unsigned long long)seed, r.messages, r.lives,
                  r.failed ? r.failure : "checks held", r.leaked.heap, r.leaked.gdi, r.leaked.menus,
                  r.leaked.windows);
    return text;
}

class FuzzRow : public testing::TestWithParam<std::string> {};

TEST_P(FuzzRow, TakesItsMessagesAndStaysSoundLeakingNothing)
{
    fuzz_install_crash_report();
    const std::string &row = GetParam();
    long total = messages_per_row(), done = 0;
    for (uint64_t seed = 1; done < total; ++seed) {
        FuzzResult r;
        long n = total - done < kRunLength ? total - done : kRunLength;
        int ok = fuzz_run(row.c_str(), seed, n, &r);
        ASSERT_EQ(ok, 1) << describe(row.c_str(), seed, r);
        ASSERT_GT(r.messages, 0);
        done += r.messages;
    }
}

INSTANTIATE_TEST_SUITE_P(Toolkit, FuzzRow, testing::ValuesIn(row_names()),
                         [](const testing::TestParamInfo<std::string> &info) {
                             std::string name;
                             for (char c : info.param)
                                 name += isalnum((unsigned char)c) ? c : '_';
                             return "r" + name;
                         });

// --- a seed gives the same run again ---------------------------------------

TEST_P(FuzzRow, ASeedGivesTheSameRunAgain)
{
    const std::string &row = GetParam();
    FuzzResult first, second;
    ASSERT_EQ(fuzz_run(row.c_str(), 77, 1500, &first), 1) << describe(row.c_str(), 77, first);
    ASSERT_EQ(fuzz_run(row.c_str(), 77, 1500, &second), 1) << describe(row.c_str(), 77, second);
    EXPECT_EQ(first.messages, second.messages);
    EXPECT_EQ(first.lives, second.lives);
    EXPECT_EQ(first.trace, second.trace) << "the same numbers drawn and values seen";
    FuzzResult other;
    ASSERT_EQ(fuzz_run(row.c_str(), 78, 1500, &other), 1);
    EXPECT_NE(other.trace, first.trace) << "another seed, another run";
}

// --- the counters ----------------------------------------------------------

TEST(FuzzCounters, TheGdiWalkSeesAnObjectComeAndGo)
{
    long before = fuzz_gdi_objects();
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(fuzz_gdi_objects(), before + 2);
    DeleteDC(dc);
    DeleteObject(brush);
    EXPECT_EQ(fuzz_gdi_objects(), before);
}

// Blocks kept where the compiler cannot see them go unused.
void *volatile g_sink;

TEST(FuzzCounters, TheHeapCounterSeesBlocksOfEveryAllocator)
{
    long before = fuzz_heap_blocks();
    void *a = std::malloc(10);
    g_sink = a;
    void *b = std::calloc(3, 4);
    g_sink = b;
    char *c = new char[7];
    g_sink = c;
    void *d = std::realloc(nullptr, 5);
    g_sink = d;
    EXPECT_EQ(fuzz_heap_blocks(), before + 4);
    d = std::realloc(d, 500); // moved or not, still one block
    g_sink = d;
    EXPECT_EQ(fuzz_heap_blocks(), before + 4);
    std::free(a);
    std::free(b);
    delete[] c;
    std::free(d);
    EXPECT_EQ(fuzz_heap_blocks(), before);
}

TEST(FuzzCounters, MenusWindowsAndHandlesAreCounted)
{
    // The first window of a thread brings the system's input-method window.
    HWND first = CreateWindowExA(0, "static", "", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr,
                                 harness_instance(), nullptr);
    FuzzCounts before, during, after;
    fuzz_counts(&before);
    long handles = fuzz_kernel_handles();
    HMENU menu = CreatePopupMenu();
    HWND window = CreateWindowExA(0, "static", "", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr,
                                  harness_instance(), nullptr);
    HKEY key;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Varkel_Audio", &key), ERROR_SUCCESS);
    fuzz_counts(&during);
    EXPECT_GT(during.menus, before.menus);
    EXPECT_EQ(during.windows, before.windows + 1);
    EXPECT_EQ(fuzz_kernel_handles(), handles + 1) << "an open registry key is a handle";
    RegCloseKey(key);
    DestroyWindow(window);
    DestroyMenu(menu);
    fuzz_counts(&after);
    EXPECT_EQ(after.menus, before.menus);
    EXPECT_EQ(after.windows, before.windows);
    EXPECT_EQ(fuzz_kernel_handles(), handles);
    DestroyWindow(first);
}

TEST(FuzzCounters, AWriteToAFreedBlockIsFound)
{
    fuzz_watch_freed();
    char *volatile block = static_cast<char *>(std::malloc(24));
    std::free(block);
    EXPECT_EQ(fuzz_freed_written(), 0);
    block = static_cast<char *>(std::malloc(24));
    std::free(block);
    block[5] = 1; // the freed block is held back, poisoned: the write spoils the poison
    EXPECT_EQ(fuzz_freed_written(), 1);
}

// --- a run finds a row that leaks or breaks ---------------------------------

LRESULT plain_panel(HWND panel, UINT message, WPARAM wParam, LPARAM lParam, void *)
{
    return DefWindowProcA(panel, message, wParam, lParam);
}

HWND make_panel(FuzzRun *run)
{
    return ctl_create_free_panel(run->host, 7, 10, 10, 100, 80, plain_panel, nullptr);
}

int sound(FuzzRun *, HWND) { return 1; }

void leak_a_brush(FuzzRun *run, HWND) // now and then
{
    if (fuzz_chance(run, 5))
        CreateSolidBrush(RGB(9, 9, 9));
}

void leak_a_block(FuzzRun *run, HWND)
{
    if (fuzz_chance(run, 5))
        g_sink = std::malloc(8);
}

void leak_a_menu(FuzzRun *run, HWND)
{
    if (fuzz_chance(run, 5))
        CreatePopupMenu();
}

int break_at_200(FuzzRun *run, HWND)
{
    if (run->sent < 200)
        return 1;
    fuzz_fail(run, "broken on purpose");
    return 0;
}

TEST(FuzzRunFinds, LeaksOfEveryKindAndABrokenCheck)
{
    const FuzzClass brushes = {"brushes", make_panel, leak_a_brush, sound};
    const FuzzClass blocks = {"blocks", make_panel, leak_a_block, sound};
    const FuzzClass menus = {"menus", make_panel, leak_a_menu, sound};
    const FuzzClass broken = {"broken", make_panel, [](FuzzRun *, HWND) {}, break_at_200};
    FuzzResult r;
    EXPECT_EQ(fuzz_run_row(&brushes, nullptr, 3, 800, &r), 0);
    EXPECT_GT(r.leaked.gdi, 0);
    EXPECT_NE(std::strstr(r.failure, "brush"), nullptr) << r.failure;
    EXPECT_EQ(fuzz_run_row(&blocks, nullptr, 3, 800, &r), 0);
    EXPECT_GT(r.leaked.heap, 0);
    EXPECT_EQ(fuzz_run_row(&menus, nullptr, 3, 800, &r), 0);
    EXPECT_GT(r.leaked.menus, 0);
    EXPECT_EQ(fuzz_run_row(&broken, nullptr, 3, 800, &r), 0);
    EXPECT_TRUE(r.failed);
    EXPECT_EQ(r.messages, 200);
    EXPECT_NE(std::strstr(r.failure, "broken on purpose (after #199"), nullptr) << r.failure;
    EXPECT_EQ(fuzz_run_row(&kFuzzClasses[0], nullptr, 3, 800, &r), 1) << "a sound row is clean";
}

} // namespace
