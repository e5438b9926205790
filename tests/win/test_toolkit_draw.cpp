// The shared drawing resources and the drawing helpers, checked through GDI
// objects and the pixels they draw.
#include "tests/win/harness.h"
#include "toolkit/qk2ctl.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

namespace {

class Draw : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(harness_toolkit_start(&app, "draw"), 1);
        ASSERT_TRUE(harness_canvas_make(&canvas, 200, 160, kGround));
        SetBkMode(canvas.dc, TRANSPARENT);
    }
    void TearDown() override
    {
        harness_canvas_free(&canvas);
        harness_toolkit_stop(&app);
    }
    COLORREF px(int x, int y) { return harness_canvas_pixel(&canvas, x, y); }

    static constexpr COLORREF kGround = RGB(0, 255, 0); // in no palette entry
    HarnessApp app;
    HarnessCanvas canvas;
};

// --- Resources -------------------------------------------------------------------

const std::array<COLORREF, 16> kPalette = {
    0x000000, 0x1428CC, 0x1E3CFC, 0x36EBF0, 0x9D1C06, 0xE25F0F, 0xE4938C, 0x7A6B03,
    0x31A724, 0x404040, 0x545454, 0x6E6E6E, 0x828282, 0xB4B4B4, 0xE6E6E6, 0xFFFFFF,
};

TEST_F(Draw, PaletteBrushesAndPensOnATrueColourScreen)
{
    for (int i = 0; i < 16; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(ctl_color(i), kPalette[i]);
        LOGBRUSH lb = {};
        ASSERT_EQ(GetObjectA(ctl_brush(i), sizeof lb, &lb), (int)sizeof lb);
        EXPECT_EQ(lb.lbStyle, (UINT)BS_SOLID);
        EXPECT_EQ(lb.lbColor, kPalette[i]);
        LOGPEN lp = {};
        ASSERT_EQ(GetObjectA(ctl_pen(i), sizeof lp, &lp), (int)sizeof lp);
        EXPECT_EQ(lp.lopnStyle, (UINT)PS_SOLID);
        EXPECT_EQ(lp.lopnWidth.x, 0);
        EXPECT_EQ(lp.lopnColor, kPalette[i]);
    }
    LOGPEN dash = {};
    ASSERT_EQ(GetObjectA(ctl_dash_pen(), sizeof dash, &dash), (int)sizeof dash);
    EXPECT_EQ(dash.lopnStyle, (UINT)PS_DASHDOT);
    EXPECT_EQ(dash.lopnColor, kPalette[0]);
}

TEST_F(Draw, AccessorsTakeTheIndexModulo65536AndRefuseOthers)
{
    EXPECT_EQ(ctl_color(0x10003), kPalette[3]);
    EXPECT_EQ(ctl_brush(0x2000F), ctl_brush(15));
    EXPECT_EQ(ctl_color(16), 0u);
    EXPECT_EQ(ctl_pen(-1), nullptr);
    EXPECT_EQ(ctl_font(16), nullptr);
    EXPECT_EQ(ctl_bitmap(13), nullptr);
}

TEST_F(Draw, SixteenArialFontsAndFont13IsFont12)
{
    struct Row { int height, weight; };
    static const Row rows[16] = {
        {10, 400}, {10, 700}, {12, 400}, {12, 700}, {14, 400}, {14, 700}, {16, 400}, {16, 700},
        {18, 400}, {18, 700}, {20, 400}, {20, 700}, {26, 800}, {26, 800}, {38, 400}, {38, 800},
    };
    for (int i = 0; i < 16; ++i) {
        SCOPED_TRACE(i);
        LOGFONTA lf = {};
        ASSERT_NE(GetObjectA(ctl_font(i), sizeof lf, &lf), 0);
        EXPECT_EQ(lf.lfHeight, rows[i].height);
        EXPECT_EQ(lf.lfWeight, rows[i].weight);
        EXPECT_STREQ(lf.lfFaceName, "Arial");
        EXPECT_EQ(lf.lfWidth, 0);
        EXPECT_EQ(lf.lfItalic, 0);
        EXPECT_EQ(lf.lfCharSet, 0);
    }
    EXPECT_NE(ctl_font(13), ctl_font(12)) << "two fonts, one look";

    // Font 13 writes exactly what font 12 writes.
    HarnessCanvas other;
    ASSERT_TRUE(harness_canvas_make(&other, 200, 160, kGround));
    SetBkMode(other.dc, TRANSPARENT);
    ctl_text(canvas.dc, ctl_colour_word(0, 0, 12), 4, 4, "Keldoran 1h30");
    ctl_text(other.dc, ctl_colour_word(0, 0, 13), 4, 4, "Keldoran 1h30");
    int differ = 0, inked = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x) {
            differ += px(x, y) != harness_canvas_pixel(&other, x, y);
            inked += px(x, y) != kGround;
        }
    EXPECT_EQ(differ, 0);
    EXPECT_GT(inked, 100);
    harness_canvas_free(&other);
}

TEST_F(Draw, ThirteenBitmapsLoadAtTheirSizes)
{
    struct Row { int w, h; };
    static const Row sizes[13] = {
        {24, 16}, {24, 16}, {33, 23}, {33, 23}, {16, 16}, {16, 16}, {160, 96},
        {32, 32}, {17, 128}, {15, 20}, {128, 17}, {20, 15}, {64, 64},
    };
    for (int i = 0; i < 13; ++i) {
        SCOPED_TRACE(i);
        ASSERT_NE(ctl_bitmap(i), nullptr);
        int w = -1, h = -1;
        ctl_bitmap_size(ctl_bitmap(i), &w, &h);
        EXPECT_EQ(w, sizes[i].w);
        EXPECT_EQ(h, sizes[i].h);
    }
}

// --- Blits -------------------------------------------------------------------------

// A 16 x 16 bitmap in four 8 x 8 quadrants: red, blue / white, black.
HBITMAP quadrants(void)
{
    HBITMAP bitmap = harness_solid_bitmap(16, 16, RGB(255, 0, 0));
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, bitmap);
    const struct { RECT rc; COLORREF c; } parts[] = {
        {{8, 0, 16, 8}, RGB(0, 0, 255)}, {{0, 8, 8, 16}, RGB(255, 255, 255)},
        {{8, 8, 16, 16}, RGB(0, 0, 0)}};
    for (const auto &p : parts) {
        HBRUSH b = CreateSolidBrush(p.c);
        FillRect(mem, &p.rc, b);
        DeleteObject(b);
    }
    SelectObject(mem, old);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

TEST_F(Draw, BlitsCopyTheRightPiece)
{
    HBITMAP q = quadrants();
    ctl_blit(canvas.dc, q, 10, 10, 8, 8);              // the red corner only
    ctl_blit_part(canvas.dc, q, 40, 10, 8, 8, 8, 8);   // the black quadrant
    ctl_blit_bitmap(canvas.dc, 70, 10, q);             // all of it
    ctl_blit_bitmap(canvas.dc, 100, 10, nullptr);      // nothing
    EXPECT_EQ(px(10, 10), RGB(255, 0, 0));
    EXPECT_EQ(px(17, 17), RGB(255, 0, 0));
    EXPECT_EQ(px(18, 10), kGround);
    EXPECT_EQ(px(40, 10), RGB(0, 0, 0));
    EXPECT_EQ(px(48, 10), kGround);
    EXPECT_EQ(px(78, 10), RGB(0, 0, 255));
    EXPECT_EQ(px(70, 18), RGB(255, 255, 255));
    EXPECT_EQ(px(85, 25), RGB(0, 0, 0));
    EXPECT_EQ(px(86, 25), kGround);
    EXPECT_EQ(px(100, 10), kGround);
    DeleteObject(q);
}

TEST_F(Draw, TilesCoverTheClientAreaPlusOnePixelFromAnyOrigin)
{
    struct Row {
        int x, y;          // origin of the tiling
        int cw, ch;        // client size of the window
        int bw, bh;        // tile size
        int right, bottom; // last column and row the tiles cover
    };
    static const Row rows[] = {
        {0, 0, 150, 100, 64, 64, 191, 127},   // 3 columns, 2 rows
        {-10, -20, 150, 100, 64, 64, 181, 107},
        {0, 0, 128, 64, 64, 64, 191, 127},    // W + 1 = 129 needs a third column
        {5, 5, 40, 30, 20, 10, 64, 44},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(testing::Message() << "origin " << r.x << "," << r.y << " tile " << r.bw);
        HWND host = harness_create_host(r.cw, r.ch);
        HBITMAP tile = harness_solid_bitmap(r.bw, r.bh, RGB(255, 0, 0));
        RECT all = {0, 0, canvas.width, canvas.height};
        HBRUSH ground = CreateSolidBrush(kGround);
        FillRect(canvas.dc, &all, ground);
        DeleteObject(ground);
        ctl_tile(host, canvas.dc, r.x, r.y, tile);
        int x0 = r.x < 0 ? 0 : r.x, y0 = r.y < 0 ? 0 : r.y;
        EXPECT_EQ(px(x0, y0), RGB(255, 0, 0));
        EXPECT_EQ(px(r.right, r.bottom), RGB(255, 0, 0));
        EXPECT_EQ(px(r.right + 1, y0), kGround);
        EXPECT_EQ(px(x0, r.bottom + 1), kGround);
        DeleteObject(tile);
        DestroyWindow(host);
    }
}

TEST_F(Draw, TilingWithoutABitmapDrawsNothingAndReturns)
{
    HWND host = harness_create_host(50, 50);
    ctl_tile(host, canvas.dc, 0, 0, nullptr);
    EXPECT_EQ(px(0, 0), kGround);
    DestroyWindow(host);
}

// --- Text, lines and boxes --------------------------------------------------------

// The bounding box of the pixels that are not the ground colour.
RECT inked_box(const HarnessCanvas *c, COLORREF ground)
{
    RECT box = {c->width, c->height, -1, -1};
    for (int y = 0; y < c->height; ++y)
        for (int x = 0; x < c->width; ++x)
            if (harness_canvas_pixel(c, x, y) != ground) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x);
                box.bottom = std::max<LONG>(box.bottom, y);
            }
    return box;
}

int count_colour(const HarnessCanvas *c, COLORREF colour)
{
    int n = 0;
    for (int y = 0; y < c->height; ++y)
        for (int x = 0; x < c->width; ++x)
            n += harness_canvas_pixel(c, x, y) == colour;
    return n;
}

TEST_F(Draw, TextInReliefHasAWhiteCopyOnePixelRightAndDown)
{
    HarnessCanvas flat;
    ASSERT_TRUE(harness_canvas_make(&flat, 200, 160, kGround));
    SetBkMode(flat.dc, TRANSPARENT);
    ctl_text(flat.dc, ctl_colour_word(0, 0, 13), 10, 10, "IH");
    ctl_text(canvas.dc, ctl_colour_word(0, 0, 13, true), 10, 10, "IH");

    RECT f = inked_box(&flat, kGround);
    RECT r = inked_box(&canvas, kGround);
    EXPECT_EQ(r.left, f.left);
    EXPECT_EQ(r.top, f.top);
    EXPECT_EQ(r.right, f.right + 1);
    EXPECT_EQ(r.bottom, f.bottom + 1);
    EXPECT_GE(f.bottom - f.top, 15) << "a 26-pixel font";
    EXPECT_GT(count_colour(&canvas, RGB(255, 255, 255)), 10);
    EXPECT_GT(count_colour(&canvas, RGB(0, 0, 0)), 50);
    EXPECT_EQ(count_colour(&flat, RGB(255, 255, 255)), 0);
    // The text colour comes from the pen bits.
    ctl_text(flat.dc, ctl_colour_word(1, 0, 2), 10, 80, "H");
    EXPECT_GT(count_colour(&flat, kPalette[1]), 5);
    harness_canvas_free(&flat);
}

TEST_F(Draw, LineInReliefHasAWhiteCopyBelowRight)
{
    ctl_line(canvas.dc, ctl_colour_word(4, 0, 0, true), 10, 10, 30, 10);
    ctl_line(canvas.dc, ctl_colour_word(4, 0, 0), 10, 40, 30, 40);
    EXPECT_EQ(px(10, 10), kPalette[4]);
    EXPECT_EQ(px(29, 10), kPalette[4]);
    EXPECT_EQ(px(30, 10), kGround) << "the end point is not drawn";
    EXPECT_EQ(px(11, 11), RGB(255, 255, 255));
    EXPECT_EQ(px(30, 11), RGB(255, 255, 255));
    EXPECT_EQ(px(10, 11), kGround);
    EXPECT_EQ(px(20, 40), kPalette[4]);
    EXPECT_EQ(px(20, 41), kGround);
}

struct BoxRow {
    const char *what;
    uint32_t word;
    bool filled; // ctl_fill_box, else ctl_frame_box
    // Expected colours: top-left corner, inside, right edge, bottom edge,
    // and just outside the right and bottom edges.
    COLORREF corner, inside, right, bottom, outRight, outBottom;
};

TEST_F(Draw, BoxesWithAndWithoutRelief)
{
    const COLORREF white = kPalette[15], black = kPalette[0], dark = kPalette[9];
    const COLORREF yellow = kPalette[3], g = kGround;
    const BoxRow rows[] = {
        // Rectangle (10, 10, 30, 20): outline on 10..29 x 10..19.
        {"white box, black outline", ctl_colour_word(0, 15, 0), true, black, white, g, g, g, g},
        {"yellow box, red outline", ctl_colour_word(1, 3, 0), true, kPalette[1], yellow, g, g, g, g},
        // Relief: fill 10..30 x 10..20, dark top-left, white right-bottom.
        {"sunken white box", ctl_colour_word(0, 15, 0, true), true, dark, white, white, white, g, g},
        {"sunken yellow box", ctl_colour_word(0, 3, 0, true), true, dark, yellow, white, white, g, g},
        {"black frame", ctl_colour_word(0, 15, 0), false, black, g, g, g, g, g},
        {"sunken frame", ctl_colour_word(0, 15, 0, true), false, dark, g, white, white, g, g},
    };
    for (const BoxRow &r : rows) {
        SCOPED_TRACE(r.what);
        RECT all = {0, 0, canvas.width, canvas.height};
        HBRUSH ground = CreateSolidBrush(kGround);
        FillRect(canvas.dc, &all, ground);
        DeleteObject(ground);
        if (r.filled)
            ctl_fill_box(canvas.dc, r.word, 10, 10, 30, 20);
        else
            ctl_frame_box(canvas.dc, r.word, 10, 10, 30, 20);
        bool relief = (r.word & CTL_RELIEF) != 0;
        EXPECT_EQ(px(10, 10), r.corner);
        EXPECT_EQ(px(10, 15), r.corner) << "left edge";
        EXPECT_EQ(px(20, 15), r.inside);
        EXPECT_EQ(px(30, 15), r.right);
        EXPECT_EQ(px(20, 20), r.bottom);
        EXPECT_EQ(px(31, 15), r.outRight);
        EXPECT_EQ(px(20, 21), r.outBottom);
        if (!relief) {
            EXPECT_EQ(px(29, 15), r.corner) << "outline's right side";
            EXPECT_EQ(px(20, 19), r.corner) << "outline's bottom side";
        } else {
            EXPECT_EQ(px(29, 15), r.inside) << "no outline inside the edge";
            EXPECT_EQ(px(30, 20), white);
        }
    }
}

// The first and last inked column of the run that contains x on row y.
void run_at(const HarnessCanvas *c, COLORREF ground, int x, int y, int *first, int *last)
{
    *first = *last = x;
    while (*first > 0 && harness_canvas_pixel(c, *first - 1, y) != ground)
        --*first;
    while (*last < c->width - 1 && harness_canvas_pixel(c, *last + 1, y) != ground)
        ++*last;
}

TEST_F(Draw, CrossBarsAreAFifthOfTheSideAndAtLeastThree)
{
    struct Row {
        int size; // square side
        int g;    // bar thickness
        int row;  // a row where the falling bar stands alone
    };
    static const Row rows[] = {
        {15, 3, 2}, // 14 / 5 = 2, raised to 3
        {13, 3, 2}, // 12 / 5 = 2
        {40, 7, 30},
        {61, 12, 5},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.size);
        RECT all = {0, 0, canvas.width, canvas.height};
        HBRUSH ground = CreateSolidBrush(kGround);
        FillRect(canvas.dc, &all, ground);
        DeleteObject(ground);
        ctl_cross(canvas.dc, 0, 0, r.size, r.size);
        // The falling bar covers |x - y| <= g: its right border is x = y + g.
        int first, last;
        run_at(&canvas, kGround, r.row + r.g - 1, r.row, &first, &last);
        EXPECT_EQ(last, r.row + r.g);
        EXPECT_EQ(px(last, r.row), kPalette[0]) << "black outline";
        EXPECT_EQ(px(r.size / 2, r.size / 2), kPalette[15]) << "white inside";
        EXPECT_EQ(px(r.size, r.size / 2), kGround) << "nothing right of the rectangle";
    }
}

TEST_F(Draw, FocusMarkAndDot)
{
    ctl_focus_mark(canvas.dc, 10, 10);
    EXPECT_EQ(px(10, 10), kPalette[0]);
    EXPECT_EQ(px(11, 11), kPalette[2]);
    EXPECT_EQ(px(14, 14), kGround);
    ctl_dot(canvas.dc, 40, 40);
    EXPECT_NE(px(39, 39), kGround);
    EXPECT_EQ(px(44, 44), kGround);
    EXPECT_EQ(px(35, 40), kGround);
}

// --- Round masks ------------------------------------------------------------------

TEST_F(Draw, MaskedBlitShowsTheImageInsideTheDiscOnly)
{
    HWND host = harness_create_host(64, 64);
    HBITMAP spare = harness_solid_bitmap(32, 32, RGB(255, 0, 0));
    ctl_blit_masked(canvas.dc, spare, spare, 100, 100, 32, 32);
    EXPECT_EQ(px(116, 116), kGround) << "no scratch bitmap before the first mask";

    HBITMAP mask = ctl_round_mask(host, 32);
    ASSERT_NE(mask, nullptr);
    // The image: a red disc, black around it.
    HBITMAP image = harness_solid_bitmap(32, 32, RGB(0, 0, 0));
    HDC mem = CreateCompatibleDC(canvas.dc);
    HGDIOBJ old = SelectObject(mem, image);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    SelectObject(mem, red);
    SelectObject(mem, GetStockObject(NULL_PEN));
    Ellipse(mem, 0, 0, 33, 33);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(red);

    ctl_blit_masked(canvas.dc, image, mask, 10, 10, 32, 32);
    EXPECT_EQ(px(26, 26), RGB(255, 0, 0)) << "centre";
    EXPECT_EQ(px(12, 26), RGB(255, 0, 0)) << "inside near the left";
    EXPECT_EQ(px(10, 10), kGround) << "corner outside the disc";
    EXPECT_EQ(px(41, 41), kGround);
    EXPECT_EQ(px(42, 26), kGround) << "beyond the square";
    DeleteObject(image);
    DeleteObject(spare);
    DestroyWindow(host);
}

TEST_F(Draw, RoundMasksAreCachedUpTo31AndDeletedAtShutdown)
{
    HWND host = harness_create_host(64, 64);
    HBITMAP first = ctl_round_mask(host, 20);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(ctl_round_mask(host, 20), first);
    int w, h;
    ctl_bitmap_size(first, &w, &h);
    EXPECT_EQ(w, 20);
    EXPECT_EQ(h, 20);
    HDC mem = CreateCompatibleDC(canvas.dc);
    HGDIOBJ old = SelectObject(mem, first);
    EXPECT_EQ(GetPixel(mem, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(mem, 10, 10), RGB(0, 0, 0));
    SelectObject(mem, old);
    DeleteDC(mem);

    for (int d = 21; d < 51; ++d) // 30 more: 31 in all
        EXPECT_NE(ctl_round_mask(host, d), nullptr) << d;
    EXPECT_EQ(ctl_round_mask(host, 51), nullptr) << "the cache is full";
    EXPECT_EQ(ctl_round_mask(host, 20), first) << "cached masks stay";
    EXPECT_EQ(ctl_round_mask(host, 0), ctl_round_mask(host, -3));

    DestroyWindow(host);
    ctl_shutdown();
    EXPECT_EQ(GetObjectType(first), 0u) << "deleted by the final shutdown";
    ASSERT_EQ(ctl_init(harness_instance(), app.name), 1);
    host = harness_create_host(64, 64);
    HBITMAP again = ctl_round_mask(host, 20);
    EXPECT_NE(again, nullptr) << "a new start-up starts an empty cache";
    EXPECT_NE(ctl_round_mask(host, 51), nullptr);
    DestroyWindow(host);
}

// --- Window placement -----------------------------------------------------------

TEST_F(Draw, PointInClientExcludesTheRightAndBottomEdges)
{
    HWND host = harness_create_host(100, 50);
    struct Row { int x, y, in; };
    static const Row rows[] = {
        {0, 0, 1}, {99, 49, 1}, {100, 10, 0}, {10, 50, 0}, {-1, 0, 0}, {0, -1, 0}};
    for (const Row &r : rows)
        EXPECT_EQ(ctl_point_in_client(host, r.x, r.y), r.in) << r.x << "," << r.y;
    DestroyWindow(host);
}

TEST_F(Draw, KeepOnScreenMovesWindowsBackInsideTheWorkArea)
{
    RECT area;
    ctl_work_area({10, 10}, &area);
    int sw = area.right, sh = area.bottom;
    ASSERT_GE(sw - area.left, 1024);
    ASSERT_GE(sh - area.top, 700);
    struct Row {
        const char *what;
        int left, top, w, h;    // window rectangle
        int newLeft, newTop;    // expected position
    };
    const Row rows[] = {
        {"inside", 100, 100, 200, 100, 100, 100},
        {"touching the corner", sw - 200, sh - 100, 200, 100, sw - 200, sh - 100},
        {"past the right edge", sw - 50, 100, 200, 100, sw - 200, 100},
        {"past the bottom edge", 100, sh - 50, 200, 100, 100, sh - 100},
        {"past both", sw - 50, sh - 60, 300, 200, sw - 300, sh - 200},
        {"beyond the screen", sw + 500, sh + 400, 300, 200, sw - 300, sh - 200},
        {"above and left", -30, -40, 200, 100, (int)area.left, (int)area.top},
        {"wider than the screen", 10, 10, sw + 100, 50, (int)area.left, 10},
        {"taller than the screen", 10, 10, 50, sh + 100, 10, (int)area.top},
    };
    // One window for every row: it is activated when first shown, and
    // destroying an activated window is slow under Wine without a window manager.
    HWND w = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                             harness_instance(), nullptr);
    ASSERT_NE(w, nullptr);
    for (const Row &r : rows) {
        SCOPED_TRACE(r.what);
        SetWindowPos(w, nullptr, r.left, r.top, r.w, r.h, SWP_NOZORDER | SWP_NOACTIVATE);
        ctl_keep_on_screen(w);
        RECT rc;
        GetWindowRect(w, &rc);
        EXPECT_EQ(rc.left, r.newLeft);
        EXPECT_EQ(rc.top, r.newTop);
        EXPECT_EQ(rc.right - rc.left, r.w) << "size kept";
        EXPECT_EQ(rc.bottom - rc.top, r.h);
        EXPECT_TRUE(IsWindowVisible(w)) << "and shown";
    }
    DestroyWindow(w);
}

// --- Kept pictures --------------------------------------------------------------

// The toolkit keeps its own 13 bitmaps; a kept picture is drawn from its DC
// exactly as any bitmap is, and lets go of its DC when released, after which
// the bitmap can be selected (and deleted) by its owner again.
TEST_F(Draw, KeptPicturesDrawLikeAnyBitmapAndLetGo)
{
    EXPECT_EQ(ctl_kept_picture_count(), CTL_BITMAPS);
    for (int i = 0; i < CTL_BITMAPS; ++i)
        EXPECT_NE(ctl_picture_dc(ctl_bitmap(i)), nullptr) << i;
    HBITMAP q = quadrants();
    EXPECT_EQ(ctl_picture_dc(q), nullptr);
    ASSERT_EQ(ctl_keep_picture(q), 1);
    EXPECT_EQ(ctl_keep_picture(q), 1) << "kept once";
    EXPECT_EQ(ctl_kept_picture_count(), CTL_BITMAPS + 1);
    HDC kept = ctl_picture_dc(q);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(GetPixel(kept, 12, 3), RGB(0, 0, 255)) << "the picture is selected in it";
    ctl_blit_part(canvas.dc, q, 40, 10, 8, 8, 8, 8);
    ctl_blit_bitmap(canvas.dc, 70, 10, q);
    ctl_tile(nullptr, canvas.dc, 0, 0, q); // no window: nothing
    EXPECT_EQ(px(40, 10), RGB(0, 0, 0));
    EXPECT_EQ(px(48, 10), kGround);
    EXPECT_EQ(px(78, 10), RGB(0, 0, 255));
    EXPECT_EQ(px(85, 25), RGB(0, 0, 0));

    // A kept picture is selected in no other DC.
    HDC other = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(other, q), nullptr);
    ctl_release_picture(q);
    EXPECT_EQ(ctl_picture_dc(q), nullptr);
    EXPECT_EQ(ctl_kept_picture_count(), CTL_BITMAPS);
    HGDIOBJ old = SelectObject(other, q);
    EXPECT_NE(old, nullptr) << "released: selectable again";
    SelectObject(other, old);
    DeleteDC(other);
    ctl_release_picture(q); // twice: nothing
    EXPECT_EQ(ctl_keep_picture(nullptr), 0);
    EXPECT_TRUE(DeleteObject(q));
}

TEST_F(Draw, TheTableOfKeptPicturesHasAnEnd)
{
    std::vector<HBITMAP> pictures;
    int kept = 0;
    for (int i = 0; i < 40; ++i) {
        pictures.push_back(harness_solid_bitmap(4, 4, RGB(i, 0, 0)));
        kept += ctl_keep_picture(pictures.back());
    }
    EXPECT_EQ(kept, 32 - CTL_BITMAPS);
    // One that was not kept still draws, through a DC of its own.
    ctl_blit_bitmap(canvas.dc, 5, 5, pictures.back());
    EXPECT_EQ(px(5, 5), RGB(39, 0, 0));
    for (HBITMAP p : pictures)
        ctl_release_picture(p);
    EXPECT_EQ(ctl_kept_picture_count(), CTL_BITMAPS);
    for (HBITMAP p : pictures)
        EXPECT_TRUE(DeleteObject(p));
}

} // namespace
