// The display panel, read back by pixels: the tape lines sit right-aligned
// in their rows with the width of their texts, a rule marks the result, and
// the box of the last operator is lit.
#include "tests/win/app_harness.h"

#include "toolkit/qk2ctl.h"

#include <sstream>
#include <string>

namespace {

using AppDisplay = AppTest;

// Where a tape line's text shows in its rows: the box around every pixel
// that differs from the background.
struct Ink {
    int left, right;  // first and last column, -1 when nothing shows
    int top, bottom;  // first and last row, relative to the line's top
    int count;        // pixels
};

int line_top(int i) { return APP_TAPE_NEWEST_TOP - APP_TAPE_LINE_STEP * i; }

void add_ink(Ink *ink, int x, int y)
{
    if (ink->count == 0 || x < ink->left)
        ink->left = x;
    if (ink->count == 0 || x > ink->right)
        ink->right = x;
    if (ink->count == 0 || y < ink->top)
        ink->top = y;
    if (ink->count == 0 || y > ink->bottom)
        ink->bottom = y;
    ink->count++;
}

// Ink of tape line i on the panel: its rows without the rule rows above and
// below it, right of the indicator boxes.
Ink line_ink(const CaptureImage *panel, const CaptureImage *face, int i)
{
    Ink ink = {-1, -1, -1, -1, 0};
    int top = line_top(i);
    for (int y = top + 1; y < top + APP_TAPE_LINE_STEP; y++)
        for (int x = APP_TAPE_LEFT; x < 200; x++)
            if (capture_pixel(panel, x, y) != capture_pixel(face, x, y))
                add_ink(&ink, x, y - top);
    return ink;
}

// Where the text lands when drawn alone, right-aligned in a line's
// rectangle with the tape font, on a blank canvas.
Ink expected_ink(const char *text)
{
    Ink ink = {-1, -1, -1, -1, 0};
    HarnessCanvas canvas;
    if (!harness_canvas_make(&canvas, 200, APP_TAPE_LINE_H, RGB(255, 255, 255)))
        return ink;
    SelectObject(canvas.dc, ctl_font(6));
    SetBkMode(canvas.dc, TRANSPARENT);
    SetTextColor(canvas.dc, RGB(0, 0, 0));
    RECT r = {APP_TAPE_LEFT, 0, APP_TAPE_RIGHT, APP_TAPE_LINE_H};
    DrawTextA(canvas.dc, text, -1, &r, DT_RIGHT | DT_SINGLELINE);
    for (int y = 0; y < APP_TAPE_LINE_H; y++)
        for (int x = 0; x < 200; x++)
            if (harness_canvas_pixel(&canvas, x, y) != RGB(255, 255, 255))
                add_ink(&ink, x, y);
    harness_canvas_free(&canvas);
    return ink;
}

// Pixels of row y from x 51 to 175 that are palette black.
int rule_pixels(const CaptureImage *panel, int y)
{
    int n = 0;
    for (int x = APP_RULE_LEFT; x < APP_TAPE_RIGHT; x++)
        if (capture_pixel(panel, x, y) == ctl_color(0))
            n++;
    return n;
}

// Light pixels (the character) inside a box's outline.
bool light(COLORREF c) { return GetGValue(c) > GetGValue(ctl_color(13)) / 2; }

// 1 when the indicator box of look is drawn lit: black outline at its four
// corners, and inside on black exactly the light pixels that the character,
// drawn alone with its font and colour, gives there.
int box_lit(const CaptureImage *panel, const IndicatorLook &look)
{
    const RECT &b = look.box;
    const POINT corners[] = {{b.left, b.top}, {b.right - 1, b.top}, {b.left, b.bottom - 1},
                             {b.right - 1, b.bottom - 1}};
    for (const POINT &c : corners)
        if (capture_pixel(panel, c.x, c.y) != ctl_color(0))
            return 0;
    HarnessCanvas canvas;
    if (!harness_canvas_make(&canvas, 60, 100, ctl_color(0)))
        return 0;
    SelectObject(canvas.dc, ctl_font(look.font));
    SetBkMode(canvas.dc, TRANSPARENT);
    SetTextColor(canvas.dc, ctl_color(13));
    TextOutA(canvas.dc, look.textAt.x, look.textAt.y, look.text, 1);
    int lit = 0, wrong = 0;
    for (int y = b.top + 1; y < b.bottom - 1; y++)
        for (int x = b.left + 1; x < b.right - 1; x++) {
            bool want = light(harness_canvas_pixel(&canvas, x, y));
            lit += want;
            wrong += want != light(capture_pixel(panel, x, y));
        }
    harness_canvas_free(&canvas);
    return lit > 0 && wrong == 0;
}

// A box drawn neither lit nor otherwise: the face shows unchanged there.
int box_untouched(const CaptureImage *panel, const CaptureImage *face, const IndicatorLook &look)
{
    const RECT &b = look.box;
    return app_count_differences(panel, face, b.left, b.top, b.right, b.bottom) == 0;
}

struct DisplayRow {
    const char *labels;              // typed after AC
    std::vector<const char *> lines; // tape lines, newest first
    int indicator;                   // lit operator, 0 for none
};

// Checks the panel against one row: the texts of the lines, their ink and
// rule, empty rows above them, and the indicator boxes.
void expect_display(HWND display, const DisplayRow &row)
{
    CaptureImage face = {}, panel = {};
    ASSERT_TRUE(app_bitmap_image(g_displayPicture, &face));
    ASSERT_TRUE(app_window_image(display, &panel));
    int slots[CALC_TAPE_LINES];
    int count = calc_tape_lines(&g_calc, slots);
    ASSERT_EQ(count, (int)row.lines.size()) << row.labels;
    for (int i = 0; i < CALC_TAPE_LINES; i++) {
        Ink ink = line_ink(&panel, &face, i);
        if (i >= count) {
            EXPECT_EQ(ink.count, 0) << row.labels << ": row " << line_top(i) << " not empty";
            continue;
        }
        char text[64];
        calc_tape_line_text(&g_calc.tape[slots[i]], text, sizeof text);
        EXPECT_STREQ(text, row.lines[i]) << row.labels << ", line " << i;
        Ink want = expected_ink(text);
        ASSERT_GT(want.count, 0) << text;
        ASSERT_GT(want.top, 0) << text; // the text keeps clear of the rule rows
        ASSERT_LT(want.bottom, APP_TAPE_LINE_STEP) << text;
        EXPECT_GT(ink.count, 0) << row.labels << ": nothing in row " << line_top(i);
        EXPECT_NEAR(ink.left, want.left, 1) << row.labels << ", " << text;
        EXPECT_NEAR(ink.right, want.right, 1) << row.labels << ", " << text;
        EXPECT_NEAR(ink.top, want.top, 1) << row.labels << ", " << text;
        EXPECT_NEAR(ink.bottom, want.bottom, 1) << row.labels << ", " << text;
        bool result = text[0] == '=';
        int rule = rule_pixels(&panel, line_top(i));
        if (result) {
            EXPECT_EQ(rule, APP_TAPE_RIGHT - APP_RULE_LEFT) << row.labels << ": rule";
        } else {
            EXPECT_LT(rule, 10) << row.labels << ": a rule over " << text;
        }
    }
    for (const IndicatorLook &look : APP_INDICATORS) {
        if (look.op == row.indicator) {
            EXPECT_TRUE(box_lit(&panel, look)) << row.labels << ": box " << look.text;
        } else {
            EXPECT_TRUE(box_untouched(&panel, &face, look)) << row.labels << ": box " << look.text;
        }
    }
}

TEST_F(AppDisplay, TapeLinesRuleAndIndicatorFollowTheEngine)
{
    const DisplayRow rows[] = {
        {"2 + 3 x 4 Enter", {"= 14", "x 4", "+ 3", "2"}, 0},
        {"2 +", {"2"}, CALC_KEY_ADD},
        {"2 + 3", {"2"}, CALC_KEY_ADD},
        {"2 + 3 x", {"+ 3", "2"}, CALC_KEY_MUL},
        {"2 + 3 x 4", {"+ 3", "2"}, CALC_KEY_MUL},
        {"9 -", {"9"}, CALC_KEY_SUB},
        {"9 - DEL", {"9"}, 0},
        {"6 /", {"6"}, CALC_KEY_DIV},
        {"6 / x", {"6"}, CALC_KEY_MUL},
        {"", {}, 0},
        {"2 + 3 x 4 Enter AC", {}, 0},
        {"2 + 3 x 4 Enter 5", {}, 0},
        {"2 + 3 x 4 Enter 5 +", {"5"}, CALC_KEY_ADD},
        {"2 + 3 x 4 Enter -", {"14"}, CALC_KEY_SUB},
        {"3 - 8 Enter", {"= -5", "- 8", "3"}, 0},
        {"3 - 8 Enter x", {"-5"}, CALC_KEY_MUL},
        {"1 H 3 0 +", {"1h30m0.000s"}, CALC_KEY_ADD},
        {"1 H 3 0 mn + 4 5 S Enter", {"= 1h30m45.000s", "+ 0h0m45.000s", "1h30m0.000s"}, 0},
        {"1 + 2 + 3 + 4 + 5 + 6 + 7 Enter",
         {"= 28", "+ 7", "+ 6", "+ 5", "+ 4", "+ 3"}, 0},
    };
    for (const DisplayRow &row : rows) {
        app_type("AC");
        app_type(row.labels);
        expect_display(display, row);
    }
}

// Nothing is drawn above the sixth line, even for a long calculation.
TEST_F(AppDisplay, NothingAboveTheSixthLine)
{
    app_type("1 + 2 + 3 + 4 + 5 + 6 + 7 + 8 Enter");
    CaptureImage face = {}, panel = {};
    ASSERT_TRUE(app_bitmap_image(g_displayPicture, &face));
    ASSERT_TRUE(app_window_image(display, &panel));
    EXPECT_EQ(app_count_differences(&panel, &face, APP_TAPE_LEFT, 0, APP_TAPE_RIGHT + 1,
                                    line_top(5)),
              0);
}

// The same calculation drawn from slots 2045..2047 and 0 looks exactly like
// the one drawn from the start of the ring.
TEST_F(AppDisplay, CalculationAcrossTheRingEndDrawsLikeAnyOther)
{
    static const char labels[] = "2 + 3 x 4 Enter";
    app_type("AC");
    app_type(labels);
    ASSERT_LT(g_calc.tapeStart, g_calc.tapeEnd);
    CaptureImage plain = {};
    ASSERT_TRUE(app_window_image(display, &plain));

    app_type("AC");
    g_calc.tapeStart = g_calc.tapeEnd = CALC_TAPE_SLOTS - 3;
    app_type(labels);
    ASSERT_EQ(g_calc.tapeStart, CALC_TAPE_SLOTS - 3);
    ASSERT_EQ(g_calc.tapeEnd, 1);
    CaptureImage wrapped = {};
    ASSERT_TRUE(app_window_image(display, &wrapped));
    EXPECT_EQ(app_count_differences(&plain, &wrapped, 0, 0, 200, APP_DISPLAY_H), 0);
    expect_display(display, {labels, {"= 14", "x 4", "+ 3", "2"}, 0});
}

// The whole display drawn afresh for the engine's state: the face, then the
// lines and the indicator.
CaptureImage fresh_display(void)
{
    HarnessCanvas canvas = {};
    CaptureImage image = {};
    if (harness_canvas_make(&canvas, APP_CLIENT_W, APP_DISPLAY_H, RGB(255, 0, 255))) {
        ctl_blit_bitmap(canvas.dc, 0, 0, g_displayPicture);
        app_paint_display(canvas.dc, &g_calc);
        capture_dc(canvas.dc, 0, 0, APP_CLIENT_W, APP_DISPLAY_H, &image);
        harness_canvas_free(&canvas);
    }
    return image;
}

// Types each label and checks after each that the panel shows exactly what
// a fresh drawing of the same state shows. Returns the labels that differed.
std::string differing_keys(HWND display, const char *labels)
{
    std::string differ;
    std::istringstream words(labels);
    std::string label;
    while (words >> label) {
        app_type(label.c_str());
        CaptureImage shown = {}, fresh = fresh_display();
        app_window_image(display, &shown);
        if (shown.width != APP_CLIENT_W ||
            app_count_differences(&shown, &fresh, 0, 0, APP_CLIENT_W, APP_DISPLAY_H) != 0)
            differ += label + " ";
    }
    return differ;
}

// Every key, operators, units, results, DEL, AC and calculations longer than
// the six lines, that only adds lines moves the older ones up in the back
// buffer; whatever the path, the panel shows what drawing it whole shows.
const char kEveryKindOfKey[] =
    "1 + 2 x 3 - 4 / 5 + 6 + 7 Enter x 2 + 1 H 3 0 mn + 4 5 S Enter DEL 9 + 8 - . 5 Enter "
    "AC 3 - 8 Enter x 7 + 1 + 2 + 3 + 4 + 5 + 6 + 7 + 8 Enter - 1 . 2 5 H Enter 0 / 3 Enter "
    "AC 1 2 3 4 5 6 7 8 9 . 0 1 2 + 9 8 7 6 5 4 3 2 1 x . 0 0 0 0 1 Enter";

TEST_F(AppDisplay, LinesMovedUpShowWhatDrawingTheWholeDisplayShows)
{
    int moved = app_display_lines_moved();
    EXPECT_EQ(differing_keys(display, kEveryKindOfKey), "");
    EXPECT_GT(app_display_lines_moved() - moved, 40) << "most keys moved the older lines";
}

// With a face that is not one colour under the tape, a moved line would
// carry the wrong background: every change draws the whole display instead.
TEST_F(AppDisplay, AFaceWithAPictureUnderTheTapeIsAlwaysDrawnWhole)
{
    HDC face = ctl_picture_dc(g_displayPicture);
    ASSERT_NE(face, nullptr);
    for (int x = APP_TAPE_LEFT; x < APP_TAPE_RIGHT; x += 7)
        SetPixel(face, x, x % 90 + 12, RGB(255, 0, 0));
    app_display_release(); // the next paint makes the buffer again and looks at the face
    InvalidateRect(display, nullptr, FALSE);
    UpdateWindow(display);
    int moved = app_display_lines_moved();
    EXPECT_EQ(differing_keys(display, "AC 1 + 2 + 3 x 4 Enter - 5 + 6 + 7 + 8 Enter"), "");
    EXPECT_EQ(app_display_lines_moved(), moved);
}

// The result line is drawn in black on the LCD colour.
TEST_F(AppDisplay, ResultLineIsBlackOnTheLcdColour)
{
    app_type("8 8 8 8 8 8 8 8");
    CaptureImage line = {};
    ASSERT_TRUE(app_window_image(result, &line));
    int lcd = 0, black = 0;
    for (COLORREF c : line.pixels) {
        lcd += c == APP_LCD_COLOUR;
        black += c == RGB(0, 0, 0);
    }
    EXPECT_GT(lcd, line.width * line.height / 2);
    EXPECT_GT(black, 20);
    EXPECT_EQ(capture_pixel(&line, 2, line.height / 2), APP_LCD_COLOUR);
}

// The screenshot tool's capture from the screen shows what the calculator's
// own device contexts read.
TEST_F(AppDisplay, ScreenCaptureMatchesTheWindowsPixels)
{
    app_type("2 + 3 x 4 Enter");
    SetForegroundWindow(main);
    harness_pump_for(300);
    CaptureImage own = {}, screen = {};
    ASSERT_TRUE(app_window_image(display, &own));
    ASSERT_TRUE(capture_window(display, 0, &screen));
    ASSERT_EQ(screen.width, own.width);
    ASSERT_EQ(screen.height, own.height);
    EXPECT_EQ(app_count_differences(&own, &screen, 0, 0, own.width, own.height), 0);
    for (POINT p : {POINT{51, 91}, POINT{100, 91}, POINT{5, 5}, POINT{120, 100}})
        EXPECT_EQ(capture_pixel(&screen, p.x, p.y), harness_pixel(display, p.x, p.y));

    CaptureImage framed = {};
    ASSERT_TRUE(capture_window(main, 1, &framed));
    RECT w;
    GetWindowRect(main, &w);
    EXPECT_EQ(framed.width, w.right - w.left);
    EXPECT_EQ(framed.height, w.bottom - w.top);
}

} // namespace
