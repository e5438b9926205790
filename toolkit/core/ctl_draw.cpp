// The shared drawing resources (palette, brushes, pens, fonts, bitmaps), the
// round-mask cache and the drawing helpers every control and dialog uses.
//
// Contents: 1. tables and resources  2. kept pictures  3. accessors
//           4. blits and tiling  5. text, lines and boxes  6. window placement
//           7. round masks
#include "toolkit/qk2ctl.h"
#include "toolkit/core/ctl_internal.h"

#include <algorithm>
#include <array>
#include <cstring>

// ---------------------------------------------------------------------------
// 1. Tables and resources. Built by start-up, deleted by the final shutdown,
//    read-only in between; one window thread, so plain globals are safe.
// ---------------------------------------------------------------------------

// The palette as designed (0x00BBGGRR); start-up keeps the nearest colours
// the screen can show.
static constexpr std::array<COLORREF, CTL_COLORS> kPalette = {
    0x000000, 0x1428CC, 0x1E3CFC, 0x36EBF0, 0x9D1C06, 0xE25F0F, 0xE4938C, 0x7A6B03,
    0x31A724, 0x404040, 0x545454, 0x6E6E6E, 0x828282, 0xB4B4B4, 0xE6E6E6, 0xFFFFFF,
};

struct FontSpec {
    int height; // cell height in logical units
    int weight; // 400 normal, 700 bold, 800 extra bold
};

// Sizes and weights of the 16 Arial fonts (13 is the same as 12).
static constexpr std::array<FontSpec, CTL_COLORS> kFonts = {{
    {10, 400}, {10, 700}, {12, 400}, {12, 700}, {14, 400}, {14, 700}, {16, 400}, {16, 700},
    {18, 400}, {18, 700}, {20, 400}, {20, 700}, {26, 800}, {26, 800}, {38, 400}, {38, 800},
}};

static std::array<COLORREF, CTL_COLORS> g_colors = kPalette; // palette as the screen shows it
static std::array<HBRUSH, CTL_COLORS> g_brushes = {};        // solid brush per colour
static std::array<HPEN, CTL_COLORS> g_pens = {};             // solid pen, width 0, per colour
static std::array<HFONT, CTL_COLORS> g_fonts = {};           // Arial fonts of kFonts
static std::array<HBITMAP, CTL_BITMAPS> g_bitmaps = {};      // resources 1500-1512
static HPEN g_dashPen = nullptr;                             // dash-dot outline pen, colour 0

void ctl_resources_build(HINSTANCE instance)
{
    for (int i = 0; i < CTL_BITMAPS; ++i) {
        g_bitmaps[i] = LoadBitmapA(instance, MAKEINTRESOURCEA(CTL_BITMAP_FIRST_ID + i));
        ctl_keep_picture(g_bitmaps[i]);
    }

    HDC screen = GetDC(nullptr);
    for (int i = 0; i < CTL_COLORS; ++i) {
        COLORREF nearest = screen != nullptr ? GetNearestColor(screen, kPalette[i]) : CLR_INVALID;
        g_colors[i] = nearest != CLR_INVALID ? nearest : kPalette[i];
    }
    if (screen != nullptr)
        ReleaseDC(nullptr, screen);

    for (int i = 0; i < CTL_COLORS; ++i) {
        LOGBRUSH lb = {BS_SOLID, g_colors[i], 0};
        g_brushes[i] = CreateBrushIndirect(&lb);
    }
    for (int i = 0; i < CTL_COLORS; ++i)
        g_pens[i] = CreatePen(PS_SOLID, 0, g_colors[i]);
    g_dashPen = CreatePen(PS_DASHDOT, 0, g_colors[0]);
    for (int i = 0; i < CTL_COLORS; ++i) {
        LOGFONTA lf = {};
        lf.lfHeight = kFonts[i].height;
        lf.lfWeight = kFonts[i].weight;
        std::strcpy(lf.lfFaceName, "Arial");
        g_fonts[i] = CreateFontIndirectA(&lf);
    }
}

// Deletes the object in slot and clears it; an empty slot is skipped. The
// kept pictures' DCs go first: a bitmap selected into a DC cannot be deleted.
void ctl_resources_release(void)
{
    ctl_kept_pictures_release();
    for (HBITMAP &b : g_bitmaps)
        ctl_delete_object(b);
    for (int i = 0; i < CTL_COLORS; ++i) {
        ctl_delete_object(g_brushes[i]);
        ctl_delete_object(g_pens[i]);
        ctl_delete_object(g_fonts[i]);
    }
    ctl_delete_object(g_dashPen);
}

// ---------------------------------------------------------------------------
// 2. Kept pictures: a memory DC per shared picture, kept open with the
//    picture selected from start-up to shutdown. Making a memory DC and
//    selecting a picture costs far more than the blit itself.
// ---------------------------------------------------------------------------

struct KeptPicture {
    HBITMAP bitmap; // the picture, selected into dc
    HDC dc;         // memory DC compatible with the screen
    HGDIOBJ old;    // the DC's own 1 x 1 bitmap, put back before it is deleted
};

static const int kKeptLimit = 32;                  // 13 toolkit bitmaps and the application's
static std::array<KeptPicture, kKeptLimit> g_kept = {}; // the first g_keptCount are in use
static int g_keptCount = 0;

// The slot of a kept picture, or -1.
static int kept_slot(HBITMAP bitmap)
{
    for (int i = 0; i < g_keptCount; ++i)
        if (g_kept[i].bitmap == bitmap)
            return i;
    return -1;
}

int ctl_keep_picture(HBITMAP bitmap)
{
    if (bitmap == nullptr)
        return 0;
    if (kept_slot(bitmap) >= 0)
        return 1;
    if (g_keptCount >= kKeptLimit)
        return 0;
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc == nullptr)
        return 0;
    HGDIOBJ old = SelectObject(dc, bitmap);
    if (old == nullptr) { // not a bitmap, or selected elsewhere
        DeleteDC(dc);
        return 0;
    }
    g_kept[g_keptCount++] = {bitmap, dc, old};
    return 1;
}

void ctl_release_picture(HBITMAP bitmap)
{
    int i = kept_slot(bitmap);
    if (i < 0)
        return;
    SelectObject(g_kept[i].dc, g_kept[i].old);
    DeleteDC(g_kept[i].dc);
    g_kept[i] = g_kept[--g_keptCount];
    g_kept[g_keptCount] = {};
}

HDC ctl_picture_dc(HBITMAP bitmap)
{
    int i = bitmap != nullptr ? kept_slot(bitmap) : -1;
    return i >= 0 ? g_kept[i].dc : nullptr;
}

void ctl_kept_pictures_release(void)
{
    while (g_keptCount > 0)
        ctl_release_picture(g_kept[g_keptCount - 1].bitmap);
}

int ctl_kept_picture_count(void) { return g_keptCount; }

CtlSourceDc ctl_source_begin(HDC target, HBITMAP bitmap)
{
    HDC kept = ctl_picture_dc(bitmap);
    if (kept != nullptr || bitmap == nullptr)
        return {kept, nullptr, false};
    HDC mem = CreateCompatibleDC(target);
    return {mem, SelectObject(mem, bitmap), true};
}

void ctl_source_end(CtlSourceDc *source)
{
    if (!source->temporary)
        return;
    SelectObject(source->dc, source->old);
    DeleteDC(source->dc);
    source->dc = nullptr;
    source->temporary = false;
}

// ---------------------------------------------------------------------------
// 3. Accessors: index modulo 65536; out-of-range indices give 0.
// ---------------------------------------------------------------------------

// The index as the accessors take it, or -1 when it names no slot.
static int slot_index(int index, int count)
{
    int i = index & 0xFFFF;
    return i < count ? i : -1;
}

COLORREF ctl_color(int index)
{
    int i = slot_index(index, CTL_COLORS);
    return i >= 0 ? g_colors[i] : 0;
}

HBRUSH ctl_brush(int index)
{
    int i = slot_index(index, CTL_COLORS);
    return i >= 0 ? g_brushes[i] : nullptr;
}

HPEN ctl_pen(int index)
{
    int i = slot_index(index, CTL_COLORS);
    return i >= 0 ? g_pens[i] : nullptr;
}

HFONT ctl_font(int index)
{
    int i = slot_index(index, CTL_COLORS);
    return i >= 0 ? g_fonts[i] : nullptr;
}

HBITMAP ctl_bitmap(int index)
{
    int i = slot_index(index, CTL_BITMAPS);
    return i >= 0 ? g_bitmaps[i] : nullptr;
}

HPEN ctl_dash_pen(void) { return g_dashPen; }

// Fields of the colour word.
static int word_pen(uint32_t word) { return word & 15; }
static int word_brush(uint32_t word) { return (word >> 4) & 15; }
static int word_font(uint32_t word) { return (word >> 8) & 15; }
static bool word_relief(uint32_t word) { return (word & CTL_RELIEF) != 0; }

// ---------------------------------------------------------------------------
// 4. Blits and tiling. A kept picture is copied from its own memory DC;
//    any other bitmap goes through one memory DC made from the target.
// ---------------------------------------------------------------------------

void ctl_blit_part(HDC dc, HBITMAP bitmap, int x, int y, int sx, int sy, int w, int h)
{
    if (bitmap == nullptr) // a memory DC without a bitmap would copy its 1 x 1 default
        return;
    CtlSourceDc source = ctl_source_begin(dc, bitmap);
    BitBlt(dc, x, y, w, h, source.dc, sx, sy, SRCCOPY);
    ctl_source_end(&source);
}

void ctl_blit(HDC dc, HBITMAP bitmap, int x, int y, int w, int h)
{
    ctl_blit_part(dc, bitmap, x, y, 0, 0, w, h);
}

void ctl_blit_bitmap(HDC dc, int x, int y, HBITMAP bitmap)
{
    int w, h;
    ctl_bitmap_size(bitmap, &w, &h);
    ctl_blit_part(dc, bitmap, x, y, 0, 0, w, h);
}

// Repeats the bitmap from (x, y) until it covers at least the client width + 1
// by height + 1: a row ends once the width still to cover is negative, and so
// do the rows. An empty or missing bitmap draws nothing.
void ctl_tile(HWND window, HDC dc, int x, int y, HBITMAP bitmap)
{
    RECT rc;
    int bw, bh;
    ctl_bitmap_size(bitmap, &bw, &bh);
    if (bw <= 0 || bh <= 0 || !GetClientRect(window, &rc))
        return;
    CtlSourceDc source = ctl_source_begin(dc, bitmap);
    for (int top = y, leftH = rc.bottom - rc.top + 1; leftH >= 0; top += bh, leftH -= bh)
        for (int left = x, leftW = rc.right - rc.left + 1; leftW >= 0; left += bw, leftW -= bw)
            BitBlt(dc, left, top, bw, bh, source.dc, 0, 0, SRCCOPY);
    ctl_source_end(&source);
}

// The round-mask cache and the scratch bitmap the masked blit works in.
static const int kScratchSize = 128;
static HBITMAP g_scratch = nullptr; // 128 x 128, made with the first mask

// Draws image through mask at (x, y) by way of the scratch bitmap: the
// target's pixels AND the mask OR the image. Masks are white where the
// background stays and black where the image shows. Nothing is drawn before
// the first mask exists or without image and mask; w and h are cut to 128.
void ctl_blit_masked(HDC dc, HBITMAP image, HBITMAP mask, int x, int y, int w, int h)
{
    if (g_scratch == nullptr || image == nullptr || mask == nullptr)
        return;
    w = std::min(w, kScratchSize);
    h = std::min(h, kScratchSize);
    CtlSourceDc work = ctl_source_begin(dc, g_scratch);
    CtlSourceDc maskDc = ctl_source_begin(dc, mask);
    CtlSourceDc imageDc = ctl_source_begin(dc, image);
    BitBlt(work.dc, 0, 0, w, h, dc, x, y, SRCCOPY);
    BitBlt(work.dc, 0, 0, w, h, maskDc.dc, 0, 0, SRCAND);
    BitBlt(work.dc, 0, 0, w, h, imageDc.dc, 0, 0, SRCPAINT);
    BitBlt(dc, x, y, w, h, work.dc, 0, 0, SRCCOPY);
    ctl_source_end(&imageDc);
    ctl_source_end(&maskDc);
    ctl_source_end(&work);
}

// ---------------------------------------------------------------------------
// 5. Text, lines and boxes, described by a colour word.
// ---------------------------------------------------------------------------

void ctl_text(HDC dc, uint32_t colourWord, int x, int y, const char *text)
{
    if (text == nullptr)
        return;
    int length = (int)std::strlen(text);
    SelectObject(dc, ctl_font(word_font(colourWord)));
    if (word_relief(colourWord)) {
        SetTextColor(dc, ctl_color(15));
        TextOutA(dc, x + 1, y + 1, text, length);
    }
    SetTextColor(dc, ctl_color(word_pen(colourWord)));
    TextOutA(dc, x, y, text, length);
}

// A line from (x1, y1) up to, not including, (x2, y2) with the pen selected.
static void line(HDC dc, int x1, int y1, int x2, int y2)
{
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

void ctl_line(HDC dc, uint32_t colourWord, int x1, int y1, int x2, int y2)
{
    if (word_relief(colourWord)) {
        SelectObject(dc, ctl_pen(15));
        line(dc, x1 + 1, y1 + 1, x2 + 1, y2 + 1);
    }
    SelectObject(dc, ctl_pen(word_pen(colourWord)));
    line(dc, x1, y1, x2, y2);
}

// The sunken edge: dark (pen 9) top and left, light (pen 15) right and bottom.
static void sunken_edges(HDC dc, int left, int top, int right, int bottom)
{
    SelectObject(dc, ctl_pen(9));
    line(dc, left, top, right, top);
    line(dc, left, top, left, bottom);
    SelectObject(dc, ctl_pen(15));
    line(dc, right, top + 1, right, bottom);
    line(dc, right, bottom, left, bottom);
}

// Without relief: the brush inside a pen outline, Rectangle (left, top,
// right, bottom). With relief: the brush over left..right by top..bottom
// inclusive, under the sunken edge.
void ctl_fill_box(HDC dc, uint32_t colourWord, int left, int top, int right, int bottom)
{
    SelectObject(dc, GetStockObject(NULL_PEN));
    SelectObject(dc, ctl_brush(word_brush(colourWord)));
    if (!word_relief(colourWord)) {
        SelectObject(dc, ctl_pen(word_pen(colourWord)));
        Rectangle(dc, left, top, right, bottom);
        return;
    }
    Rectangle(dc, left, top, right + 1, bottom + 1);
    sunken_edges(dc, left, top, right, bottom);
}

// The outline of ctl_fill_box without the fill.
void ctl_frame_box(HDC dc, uint32_t colourWord, int left, int top, int right, int bottom)
{
    SelectObject(dc, GetStockObject(NULL_PEN));
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    if (!word_relief(colourWord)) {
        SelectObject(dc, ctl_pen(word_pen(colourWord)));
        Rectangle(dc, left, top, right, bottom);
        return;
    }
    sunken_edges(dc, left, top, right, bottom);
}

// A white X outlined in black; its bars are a fifth of the smaller side
// (less one pixel), at least 3 pixels.
void ctl_cross(HDC dc, int left, int top, int right, int bottom)
{
    SelectObject(dc, ctl_pen(0));
    SelectObject(dc, ctl_brush(15));
    int g = std::max(std::min(right - 1 - left, bottom - 1 - top) / 5, 3);
    const POINT down[4] = {
        {left + g, top}, {right - 1, bottom - 1 - g}, {right - 1 - g, bottom - 1}, {left, top + g}};
    const POINT up[4] = {
        {left, bottom - 1 - g}, {right - 1 - g, top}, {right - 1, top + g}, {left + g, bottom - 1}};
    Polygon(dc, down, 4);
    Polygon(dc, up, 4);
}

void ctl_focus_mark(HDC dc, int x, int y)
{
    SelectObject(dc, ctl_pen(0));
    SelectObject(dc, ctl_brush(2));
    const POINT corner[3] = {{x, y}, {x + 5, y}, {x, y + 5}};
    Polygon(dc, corner, 3);
}

void ctl_dot(HDC dc, int x, int y)
{
    SelectObject(dc, ctl_pen(0));
    SelectObject(dc, ctl_brush(2));
    Ellipse(dc, x - 2, y - 2, x + 2, y + 2);
}

// ---------------------------------------------------------------------------
// 6. Window placement
// ---------------------------------------------------------------------------

// 1 when the client point lies in the client rectangle (right and bottom
// edges outside), else 0.
int ctl_point_in_client(HWND window, int x, int y)
{
    RECT rc;
    if (!GetClientRect(window, &rc))
        return 0;
    POINT pt = {x, y};
    return PtInRect(&rc, pt) ? 1 : 0;
}

// Moves the window into the work area of the monitor that holds its top-left
// corner (the nearest one when none does), left and top edges winning when
// it is larger, keeps its size and shows it. The work area leaves out the
// task bar; the size of a maximised window would not: it is larger than the
// screen by the frame, so windows kept in it stuck out.
void ctl_keep_on_screen(HWND window)
{
    RECT rc;
    if (!GetWindowRect(window, &rc))
        return;
    int w = rc.right - rc.left;
    int h = rc.bottom - rc.top;
    RECT area;
    ctl_work_area({rc.left, rc.top}, &area);
    int left = std::max<int>(std::min<int>(rc.left, area.right - w), area.left);
    int top = std::max<int>(std::min<int>(rc.top, area.bottom - h), area.top);
    SetWindowPos(window, nullptr, left, top, w, h, SWP_NOSIZE | SWP_SHOWWINDOW);
}

void ctl_work_area(POINT at, RECT *area)
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    HMONITOR monitor = MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST);
    if (monitor != nullptr && GetMonitorInfoA(monitor, &info)) {
        *area = info.rcWork;
        return;
    }
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, area, 0))
        *area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

// ---------------------------------------------------------------------------
// 7. Round masks: one per diameter, shared by every round control.
// ---------------------------------------------------------------------------

struct MaskEntry {
    HBITMAP mask; // white square with a black disc
    int diameter; // its width and height in pixels
};

static const int kMaskLimit = 31;             // entries ever filled
static std::array<MaskEntry, 32> g_masks = {}; // the table (one slot stays free)
static int g_maskCount = 0;                   // entries in use

void ctl_mask_cache_forget(void)
{
    g_masks = {};
    g_maskCount = 0;
    g_scratch = nullptr;
}

void ctl_mask_cache_release(void)
{
    for (int i = 0; i < g_maskCount; ++i)
        ctl_delete_object(g_masks[i].mask);
    ctl_delete_object(g_scratch);
    ctl_mask_cache_forget();
}

// Returns the mask of this diameter, making it (and the scratch bitmap, the
// first time) compatible with the window's DC. Returns null when 31 masks
// exist already, for a diameter under 1, or when GDI cannot make it.
HBITMAP ctl_round_mask(HWND window, int diameter)
{
    for (int i = 0; i < g_maskCount; ++i)
        if (g_masks[i].diameter == diameter)
            return g_masks[i].mask;
    if (g_maskCount >= kMaskLimit || diameter < 1)
        return nullptr;
    HDC dc = GetDC(window);
    if (dc == nullptr)
        return nullptr;
    if (g_scratch == nullptr)
        g_scratch = CreateCompatibleBitmap(dc, kScratchSize, kScratchSize);
    HBITMAP mask = CreateCompatibleBitmap(dc, diameter, diameter);
    if (mask != nullptr) {
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(mem, mask);
        PatBlt(mem, 0, 0, diameter, diameter, WHITENESS);
        SelectObject(mem, GetStockObject(BLACK_PEN));
        SelectObject(mem, GetStockObject(BLACK_BRUSH));
        Ellipse(mem, 0, 0, diameter, diameter);
        SelectObject(mem, old);
        DeleteDC(mem);
        g_masks[g_maskCount++] = {mask, diameter};
    }
    ReleaseDC(window, dc);
    return mask;
}
