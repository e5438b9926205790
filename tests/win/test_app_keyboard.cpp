// The keyboard: key-downs reaching the keypad (which forwards them) or the
// main window become the keypad's key codes with the key's pressed look;
// auto-repeat types again without drawing again; unmapped keys do nothing.
#include "tests/win/app_harness.h"

namespace {

using AppKeyboard = AppTest;

struct KeyRow {
    UINT vk;  // virtual key
    int code; // key code posted, -1 for none
};

static const KeyRow kKeyRows[] = {
    {'0', 0}, {'1', 1}, {'2', 2}, {'3', 3}, {'4', 4}, {'5', 5}, {'6', 6}, {'7', 7}, {'8', 8},
    {'9', 9},
    {VK_NUMPAD0, 0}, {VK_NUMPAD1, 1}, {VK_NUMPAD2, 2}, {VK_NUMPAD3, 3}, {VK_NUMPAD4, 4},
    {VK_NUMPAD5, 5}, {VK_NUMPAD6, 6}, {VK_NUMPAD7, 7}, {VK_NUMPAD8, 8}, {VK_NUMPAD9, 9},
    {VK_BACK, 10}, {VK_DELETE, 10}, {VK_CLEAR, 11}, {VK_HOME, 11},
    {VK_MULTIPLY, 12}, {VK_DIVIDE, 13}, {VK_ADD, 14}, {VK_SUBTRACT, 15}, {VK_DECIMAL, 16},
    {'H', 17}, {'M', 18}, {'S', 19}, {VK_RETURN, 20},
    // The main keyboard's plus, minus and period, and other keys: nothing.
    {VK_OEM_PLUS, -1}, {VK_OEM_MINUS, -1}, {VK_OEM_PERIOD, -1}, {VK_OEM_COMMA, -1},
    {'A', -1}, {'X', -1}, {VK_ESCAPE, -1}, {VK_SPACE, -1}, {VK_F1, -1}, {VK_END, -1},
    {VK_SEPARATOR, -1}, {VK_SHIFT, -1}, {VK_NUMPAD9 + 0x100, -1},
};

std::vector<int> expected_codes(int code)
{
    return code < 0 ? std::vector<int>{} : std::vector<int>{code};
}

TEST_F(AppKeyboard, EachVirtualKeyPostsItsCode)
{
    for (HWND target : {keypad, display, main}) {
        for (const KeyRow &r : kKeyRows) {
            app_record_clear();
            harness_post_key(target, r.vk, true);
            harness_post_key(target, r.vk, false);
            harness_pump();
            EXPECT_EQ(app_recorded_codes(), expected_codes(r.code))
                << "vk 0x" << std::hex << r.vk << " sent to "
                << (target == keypad ? "keypad" : target == display ? "display" : "main");
        }
    }
}

TEST_F(AppKeyboard, TypingOnTheKeyboardGivesTheKeypadsResults)
{
    struct Row { std::vector<UINT> keys; const char *labels; };
    static const Row rows[] = {
        {{'1', 'H', '3', '0', 'M', VK_ADD, '4', '5', 'S', VK_RETURN}, "1 H 3 0 mn + 4 5 S Enter"},
        {{VK_NUMPAD2, VK_ADD, VK_NUMPAD3, VK_MULTIPLY, VK_NUMPAD4, VK_RETURN},
         "2 + 3 x 4 Enter"},
        {{'9', VK_DIVIDE, '4', VK_SUBTRACT, '1', VK_DECIMAL, '5', VK_RETURN},
         "9 / 4 - 1 . 5 Enter"},
        {{'7', '7', VK_BACK, VK_DELETE, '5', VK_HOME, '6'}, "7 7 DEL DEL 5 AC 6"},
        {{'8', VK_CLEAR, '1', '2', 'S', 'H'}, "8 AC 1 2 S H"},
    };
    for (const Row &r : rows) {
        app_type("AC");
        for (UINT vk : r.keys)
            harness_press_key(keypad, vk);
        EXPECT_EQ(app_result_text(), app_engine_texts(r.labels).back()) << r.labels;
    }
}

TEST_F(AppKeyboard, AKeyLooksPressedWhileItIsDown)
{
    struct Row { UINT vk; int key; };
    static const Row rows[] = {{'5', 5}, {VK_NUMPAD0, 0}, {VK_ADD, 14}, {VK_RETURN, 20},
                               {VK_DELETE, 10}, {'M', 18}};
    for (const Row &r : rows) {
        harness_post_key(keypad, r.vk, true);
        harness_pump();
        app_expect_key_look(keypad, r.key, true, "after key-down");
        harness_post_key(keypad, r.vk, false);
        harness_pump();
        app_expect_key_look(keypad, r.key, false, "after key-up");
    }
}

// Auto-repeat: key-downs with a repeat count above 1 type the key again
// but leave the look alone.
TEST_F(AppKeyboard, AutoRepeatPostsACodePerKeyDownAndDrawsOnlyTheFirst)
{
    LPARAM first = harness_key_lparam('7', true);
    LPARAM repeat = (first & ~0xFFFF) | 2 | (1 << 30); // count 2, key was down
    PostMessageA(keypad, WM_KEYDOWN, '7', first);
    harness_pump();
    app_expect_key_look(keypad, 7, true, "first key-down");
    // Somebody repaints the keypad; repeats do not draw the pressed look again.
    RedrawWindow(keypad, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    for (int i = 0; i < 3; i++)
        PostMessageA(keypad, WM_KEYDOWN, '7', repeat);
    harness_pump();
    app_expect_key_look(keypad, 7, false, "repeated key-downs");
    harness_post_key(keypad, '7', false);
    harness_pump();
    EXPECT_EQ(app_recorded_codes(), (std::vector<int>{7, 7, 7, 7}));
    EXPECT_EQ(app_result_text(), "7777");
}

// The numeric keypad's 5 with NumLock off is VK_CLEAR: AC on every repeat.
TEST_F(AppKeyboard, HeldClearKeyPostsAllClearPerRepeat)
{
    app_type("4 2");
    LPARAM down = harness_key_lparam(VK_CLEAR, true);
    for (int i = 0; i < 4; i++)
        PostMessageA(keypad, WM_KEYDOWN, VK_CLEAR, i == 0 ? down : (down | 1 << 30));
    harness_post_key(keypad, VK_CLEAR, false);
    harness_pump();
    EXPECT_EQ(app_recorded_codes(), (std::vector<int>{4, 2, 11, 11, 11, 11}));
    EXPECT_EQ(app_result_text(), "");
}

} // namespace
