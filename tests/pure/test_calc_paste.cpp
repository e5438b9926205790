// Paste: the texts the reader takes with the keys they type and what the
// result line then shows, the texts it refuses, typing into a running
// calculation, and the text a copy of the whole tape gives.
#include "tests/pure/test_calc_driver.h"

#include <cstring>
#include <string>

namespace {

// The labels of the keys a text types ("" when refused).
std::string paste_labels(const std::string &text)
{
    static CalcPasteKeys keys;
    if (!calc_paste_keys(text.data(), text.size(), &keys))
        return "";
    std::string labels;
    for (int i = 0; i < keys.count; i++)
        labels += std::string(i ? " " : "") + calc_key_label(keys.codes[i]);
    return labels;
}

// The reason a text is refused ("" when it is accepted).
std::string paste_reason(const std::string &text)
{
    static CalcPasteKeys keys;
    return calc_paste_keys(text.data(), text.size(), &keys) ? "" : keys.reason;
}

struct AcceptRow {
    const char *text;   // pasted
    const char *keys;   // the keys it types
    const char *result; // the result line on a fresh calculator
};

TEST(Paste, AcceptedFormsTypeTheirKeys)
{
    static const AcceptRow rows[] = {
        // Plain numbers: comma as the decimal mark, thousands blanks.
        {"90", "9 0", "90"},
        {"0.5", "0 . 5", "0.5"},
        {"1,5", "1 . 5", "1.5"},
        {".25", ". 2 5", ".25"},
        {"1 000", "1 0 0 0", "1000"},
        {"12 345 678,5", "1 2 3 4 5 6 7 8 . 5", "12345678.5"},
        {"007", "0 0 7", "7"},
        {"999999999999.999999999999", "9 9 9 9 9 9 9 9 9 9 9 9 . 9 9 9 9 9 9 9 9 9 9 9 9",
         "999999999999.999999999999"},
        // Durations in the calculator's own spelling.
        {"1h30m15.5s", "1 H 3 0 mn 1 5 . 5 S", "1h30m15.5s"},
        {"2h", "2 H", "2h"},
        {"45m", "4 5 mn", "0h45m"},
        {"12.5s", "1 2 . 5 S", "0h0m12.500s"},
        {"1.5h", "1 . 5 H", "1h30m"},
        {"1h30m", "1 H 3 0 mn", "1h30m"},
        {"1H05M", "1 H 0 5 mn", "1h5m"},
        {"1h15s", "1 H 0 mn 1 5 S", "1h0m15s"},
        {"30m15s", "3 0 mn 1 5 S", "0h30m15s"},
        {"90m", "9 0 mn", "1h30m"},
        {"1h30m45.000s", "1 H 3 0 mn 4 5 . 0 0 0 S", "1h30m45.000s"},
        {"0h0m0,5s", "0 H 0 mn 0 . 5 S", "0h0m0.5s"},
        // Clock times.
        {"1:30:15.5", "1 H 3 0 mn 1 5 . 5 S", "1h30m15.5s"},
        {"4:05", "4 mn 0 5 S", "0h4m5s"},
        {"0:00:07", "0 H 0 0 mn 0 7 S", "0h0m7s"},
        {"90:00", "9 0 mn 0 0 S", "1h30m0s"},
        {"2:59,25", "2 mn 5 9 . 2 5 S", "0h2m59.25s"},
        // Expressions, blanks, the ending "=", the signs.
        {"2*3", "2 x 3", "3"},
        {"2 * 3 =", "2 x 3 Enter", "6"},
        {"2x3=", "2 x 3 Enter", "6"},
        {"8 / 2 - 1 + 4 X 2=", "8 / 2 - 1 + 4 x 2 Enter", "11"},
        {"1h30m + 45s", "1 H 3 0 mn + 4 5 S", "0h0m45.000s"},
        {"1:30:15.5 + 45s =", "1 H 3 0 mn 1 5 . 5 S + 4 5 S Enter", "1h31m0.500s"},
        {"2 \xC3\x97 3 \xE2\x88\x92 1 \xC3\xB7 4 =", "2 x 3 - 1 / 4 Enter", "5.75"},
        {"  \t7 + 1\t \r\n", "7 + 1", "1"},
        {"5\n", "5", "5"},
        {"5 \r", "5", "5"},
        {"1 000 + 2 000 =", "1 0 0 0 + 2 0 0 0 Enter", "3000"},
    };
    for (const AcceptRow &r : rows) {
        EXPECT_EQ(paste_labels(r.text), r.keys) << "text: \"" << r.text << "\"";
        CalcState *s = fresh_calc();
        const char *reason = "unset";
        EXPECT_EQ(calc_paste(s, r.text, strlen(r.text), &reason), 1) << r.text;
        EXPECT_EQ(reason, nullptr) << r.text;
        EXPECT_STREQ(s->text, r.result) << "text: \"" << r.text << "\"";
        // The same as typing the keys one by one.
        EXPECT_STREQ(calc_after(r.keys)->text, r.result) << r.keys;
    }
}

struct RefuseRow {
    std::string text; // pasted
    const char *why;  // a word of the reason
};

TEST(Paste, RefusedTextsTypeNothing)
{
    const RefuseRow rows[] = {
        {"", "empty"},
        {"  \r\n", "empty"},
        {"-2.5", "negative"},
        {"\xE2\x88\x92" "2", "negative"},
        {"- 2 + 3", "negative"},
        {"+5", "between two values"},
        {"3 * -2", "between two values"},
        {"2 +", "between two values"},
        {"2 + =", "between two values"},
        {"=", "not numbers"},
        {"2 = 3", "only end"},
        {"2 == ", "only end"},
        {"5.", "not numbers"},
        {"1e5", "not numbers"},
        {"0x1F", "not numbers"},
        {"abc", "not numbers"},
        {"1 00", "not numbers"},
        {"1234 567", "not numbers"},
        {"1  000", "not numbers"},
        {"1h 30m", "not numbers"},
        {"1h30", "not numbers"},
        {"1h30m15", "not numbers"},
        {"1.5h30m", "not numbers"},
        {"1h30.5m", "not numbers"},
        {"1h30m.5s", "not numbers"},
        {"1:30.5:15", "not numbers"},
        {"1.5:30", "not numbers"},
        {"1:2:3:4", "not numbers"},
        {"5\n\n", "not numbers"},
        {"\n5", "not numbers"},
        {"1\n+2", "not numbers"},
        {"1h60m", "below 60"},
        {"1h0m75s", "below 60"},
        {"1h005m", "below 60"},
        {"4:60", "below 60"},
        {"1:30:100", "below 60"},
        {"1234567890123", "12 digits"},
        {"1.1234567890123", "12 digits"},
        {std::string(400, '7'), "longer than 256"},
        {std::string(257, ' ') + "1", "longer than 256"},
        {std::string(10 * 1024 * 1024, '1'), "longer than 256"},
        {std::string("1\0" "2", 3), "zero byte"},
        {std::string("12\0", 3), "zero byte"},
        {"1\xC3", "UTF-8"},         // cut short
        {"\xC0\xB1", "UTF-8"},      // an overlong "1"
        {"\xE0\x83\x97", "UTF-8"},  // an overlong "×"
        {"\x80" "1", "UTF-8"},
        {"1\xC2\xA0" "000", "no key types"}, // a no-break space
        {"5\xE2\x82\xAC", "no key types"},   // the euro sign
        {"\xEF\xBC\x95", "no key types"},    // a full-width 5
        {"1\x07", "no key types"},
        {"Divid by zero", "not numbers"},
        {"1e+12", "not numbers"},
    };
    for (const RefuseRow &r : rows) {
        std::string reason = paste_reason(r.text);
        std::string shown = r.text.size() > 40 ? r.text.substr(0, 40) + "..." : r.text;
        EXPECT_NE(reason.find(r.why), std::string::npos)
            << "text: \"" << shown << "\" reason: \"" << reason << "\"";
        CalcState *s = calc_after("4 2");
        EXPECT_EQ(calc_paste(s, r.text.data(), r.text.size(), nullptr), 0) << shown;
        EXPECT_STREQ(s->text, "42") << shown;
    }
}

// Exactly 256 characters are taken, blanks included; one more is refused.
TEST(Paste, TheLengthLimitCountsCharacters)
{
    std::string text = std::string(251, ' ') + "1 \xC3\x97 2"; // × is one character
    ASSERT_EQ(text.size(), 257u);
    EXPECT_EQ(paste_labels(text), "1 x 2");
    EXPECT_NE(paste_reason(text + " ").find("longer than 256"), std::string::npos);
}

// A paste goes on from where the calculation stands, as typing would.
TEST(Paste, TypesIntoTheCalculationAsItStands)
{
    struct Row { const char *before; const char *text; const char *result; };
    static const Row rows[] = {
        {"1 H", "30m", "1h30m"},
        {"1 2", "3", "123"},
        {"5 +", "3 =", "8"},
        {"2 + 3 Enter", "4", "4"},  // a digit after a result starts anew
        {"9 9 9 9 9 9 9 9 9 9 9 9", "9", "999999999999"}, // the engine's own limit
    };
    for (const Row &r : rows) {
        CalcState *s = calc_after(r.before);
        ASSERT_EQ(calc_paste(s, r.text, strlen(r.text), nullptr), 1) << r.text;
        EXPECT_STREQ(s->text, r.result) << r.before << " then " << r.text;
    }
}

// While an error is shown only AC is taken; a paste types no AC, so it is
// refused and leaves the error as it is.
TEST(Paste, RefusedWhileAnErrorIsShown)
{
    CalcState *s = calc_after("9 / 0 Enter");
    ASSERT_STREQ(s->text, "Divid by zero");
    const char *reason = nullptr;
    EXPECT_EQ(calc_paste(s, "5", 1, &reason), 0);
    ASSERT_NE(reason, nullptr);
    EXPECT_NE(std::string(reason).find("only AC"), std::string::npos);
    EXPECT_STREQ(s->text, "Divid by zero");
    EXPECT_EQ(s->error, CALC_ERR_DIVZERO);
}

// ---------------------------------------------------------------------------
// Copy of the whole tape
// ---------------------------------------------------------------------------

TEST(TapeCopy, LinesAsShownTheRuleAndTheResultLine)
{
    struct Row { const char *keys; const char *copy; };
    static const Row rows[] = {
        {"", ""},
        {"4 2", "42"},
        {"2 + 3 x 4 Enter", "2\r\n+ 3\r\nx 4\r\n----\r\n= 14\r\n14"},
        {"5 x", "5"},
        {"1 H 3 0 mn + 4 5 S Enter",
         "1h30m0.000s\r\n+ 0h0m45.000s\r\n--------------\r\n= 1h30m45.000s\r\n1h30m45.000s"},
        {"1 + 2 + 3 + 4 + 5 + 6 + 7 Enter",
         "+ 3\r\n+ 4\r\n+ 5\r\n+ 6\r\n+ 7\r\n----\r\n= 28\r\n28"},
        {"8 / 0 Enter", "8\r\n/ 0.00000000\r\nDivid by zero"},
        {"7 + 1 Enter 2", "2"},
    };
    for (const Row &r : rows) {
        CalcState *s = calc_after(r.keys);
        char out[CALC_TAPE_COPY_SIZE];
        int n = calc_tape_copy_text(s, out, sizeof out);
        EXPECT_STREQ(out, r.copy) << "keys: " << r.keys;
        EXPECT_EQ(n, static_cast<int>(strlen(r.copy))) << "keys: " << r.keys;
    }
}

TEST(TapeCopy, CutToTheBufferAndLeavesTheStateAlone)
{
    CalcState *s = calc_after("2 + 3 x 4 Enter");
    static CalcState before;
    before = *s;
    char small[8];
    EXPECT_EQ(calc_tape_copy_text(s, small, sizeof small), 7);
    EXPECT_STREQ(small, "2\r\n+ 3\r");
    EXPECT_EQ(calc_tape_copy_text(s, small, 0), 0);
    EXPECT_EQ(memcmp(&before, s, sizeof before), 0);
}

} // namespace
