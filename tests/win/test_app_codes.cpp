// Key codes posted to the main window: codes 0..20 reach the engine and the
// result line follows its text after every code; malformed commands are
// ignored; code 21 opens the about box and leaves the engine alone.
#include "tests/win/app_harness.h"

#include <climits>
#include <cstring>
#include <memory>

namespace {

using AppCodes = AppTest;

// The result line after every code equals the text of a separate engine fed
// the same codes.
TEST_F(AppCodes, ResultLineFollowsTheEngineAfterEveryCode)
{
    static const char *const rows[] = {
        "2 + 3 x 4 Enter",
        "1 H 3 0 mn + 4 5 S Enter",
        "8 / 0 Enter 5 + AC 7",
        "1 . 5 H 5 . 5 S S",
        "9 DEL DEL 0 0 . 0 5 - Enter Enter",
        "1 H / 3 0 mn Enter H mn",
    };
    for (const char *row : rows) {
        app_type("AC");
        std::vector<int> codes = app_codes(row);
        std::vector<std::string> expected = app_engine_texts(row);
        for (size_t i = 0; i < codes.size(); i++) {
            app_post_code(0, codes[i]);
            EXPECT_EQ(app_result_text(), expected[i]) << row << ", key " << i + 1;
        }
    }
}

// Commands that are not key codes change neither the engine nor the line.
TEST_F(AppCodes, MalformedCommandsAreIgnored)
{
    struct Row { WPARAM wParam; LPARAM code; };
    static const Row rows[] = {
        {1, 5}, {1, 0}, {10, 20}, {0x10000, 3}, // not from the keypad (wParam not 0)
        {0, 22}, {0, 100}, {0, 0x7FFFFFFF},     // above 21
        {0, -1}, {0, INT_MIN},                  // negative
    };
    app_type("1 2 +");
    std::unique_ptr<CalcState> before(new CalcState(g_calc));
    std::string text = app_result_text();
    for (const Row &r : rows) {
        app_post_code(r.wParam, r.code);
        EXPECT_EQ(memcmp(before.get(), &g_calc, sizeof g_calc), 0)
            << "wParam " << r.wParam << " lParam " << r.code;
        EXPECT_EQ(app_result_text(), text) << "wParam " << r.wParam << " lParam " << r.code;
        EXPECT_EQ(app_find_about_box(), nullptr) << "lParam " << r.code;
    }
}

TEST_F(AppCodes, CodeTwentyOneOpensTheAboutBoxWithoutTouchingTheEngine)
{
    app_type("4 x 5");
    std::unique_ptr<CalcState> before(new CalcState(g_calc));
    app_post_code(0, APP_CODE_ABOUT);
    HWND box = app_find_about_box();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(memcmp(before.get(), &g_calc, sizeof g_calc), 0);
    EXPECT_EQ(app_result_text(), "5");
    SendMessageA(box, WM_CLOSE, 0, 0);
    harness_pump();
    EXPECT_FALSE(IsWindow(box));
    // The calculator goes on where it was.
    app_type("Enter");
    EXPECT_EQ(app_result_text(), "20");
}

} // namespace
