// The toolkit under random messages: every class and every dialog takes
// 20,000 seeded messages and stays sound, leaking nothing; a seed gives the
// same run again; and the counters that find leaks do find them.
#include "tests/win/fuzz/fuzz.h"
#include "tests/win/harness.h"
#include "toolkit/qk2ctl.h"

#include <gtest/gtest.h>

#include <cstdlib>
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
                  r.failed ? r.failure : "checks held", r.leaked.heap, r.leaked.gdi,
                  r.leaked.menus, r.leaked.windows);
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

} // namespace
