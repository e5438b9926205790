// The "Grid" page: a Vgrid as a 16-step drum sequencer of four tracks. Each
// track has a gain cell (multiplicative, shown in dB), a decay time cell and,
// for each step, an on/off toggle over a velocity cell. Everything on the
// canvas is drawn by this page's callbacks in logical units, so it zooms;
// the zoom buttons below it and Ctrl+clicks on empty canvas change the zoom,
// and the readout shows the last change.
#include "gallery/gallery.h"

#include <cmath>
#include <cstdio>
#include <cstring>

// ---------------------------------------------------------------------------
// Ids and layout. The canvas is in logical units; the page in pixels.
// ---------------------------------------------------------------------------

enum GridId {
    ID_GRID = 300,       // the Vgrid
    ID_ZOOM_OUT = 301,   // push: 25 % less
    ID_ZOOM_IN = 302,    // push: 25 % more
    ID_ZOOM_RESET = 303, // push: 100 %
};

// What a canvas item is; kept in bits 8-15 of its user value, the track in
// bits 4-7 and the step in bits 0-3.
enum CellKind {
    KIND_BAND = 1, // background band behind four steps
    KIND_TITLE,    // a step number or column title
    KIND_TRACK,    // a track's name
    KIND_STEP,     // toggle: the step plays
    KIND_VELOCITY, // 0-127
    KIND_GAIN,     // factor 0.01 (-40 dB) to 4 (+12 dB)
    KIND_DECAY,    // seconds
};

static const int kTracks = 4;
static const int kSteps = 16;
static const char *const kTrackNames[kTracks] = {"Kick", "Snare", "Hat", "Clap"};

static const int kHeaderH = 20; // step numbers
static const int kRowH = 56;    // one track
static const int kGainX = 68;   // gain column
static const int kDecayX = 124; // decay column
static const int kCellW = 52;   // gain and decay cells
static const int kStepX = 188;  // first step
static const int kStepW = 32;   // step to step
static const int kLogicalW = kStepX + kSteps * kStepW + 8;
static const int kLogicalH = kHeaderH + kTracks * kRowH + 8;

static const RECT kGridRect = {20, 30, 620, 304};  // the grid window on the page
static const RECT kReadout = {244, 330, 620, 350}; // the readout line

static const GalleryBox kBoxes[] = {
    {12, 8, 616, 304, "Step sequencer"},
    {12, 316, 216, 60, "Zoom"},
    {236, 316, 392, 60, "Last change"},
};
static const GalleryLabel kLabels[] = {
    {50, 345, "out"},
    {114, 345, "in"},
    {178, 345, "100 %"},
    {248, 356, "Drag a cell up or down (right button: finer), click a step, Ctrl+click to type."},
};

// The page's state.
struct GridPage {
    HWND grid;        // the Vgrid
    char readout[96]; // the last change
};
static GridPage g_grid; // one page per process

static uint32_t user_of(int kind, int track, int step)
{
    return (uint32_t)kind << 8 | (uint32_t)track << 4 | (uint32_t)step;
}
static int kind_of(uint32_t user) { return (int)(user >> 8 & 0xFF); }
static int track_of(uint32_t user) { return (int)(user >> 4 & 15); }
static int step_of(uint32_t user) { return (int)(user & 15); }

// ---------------------------------------------------------------------------
// Drawing, in the grid's callbacks
// ---------------------------------------------------------------------------

static void fill(HDC dc, int brush, int left, int top, int right, int bottom, bool sunken)
{
    ctl_fill_box(dc, ctl_colour_word(0, brush, 0, sunken), left, top, right, bottom);
}

static void text(HDC dc, int colour, int font, int x, int y, const char *s)
{
    ctl_text(dc, ctl_colour_word(colour, 0, font), x, y, s);
}

// Labels and bands: the items without a callback of their own.
static void draw_label(HDC dc, const VgridContext *c)
{
    int kind = kind_of(c->itemUser), step = step_of(c->itemUser);
    char s[16];
    switch (kind) {
    case KIND_BAND:
        fill(dc, step / 4 % 2 == 0 ? 10 : 9, c->left, c->top, c->right, c->bottom, false);
        break;
    case KIND_TITLE:
        if (c->itemId < 0)
            text(dc, 13, 1, c->left, c->top + 4, c->itemId == -1 ? "Gain" : "Decay");
        else {
            std::snprintf(s, sizeof s, "%d", step + 1);
            text(dc, step % 4 == 0 ? 15 : 13, step % 4 == 0 ? 1 : 0, c->left + 10, c->top + 4, s);
        }
        break;
    case KIND_TRACK:
        fill(dc, 5 + track_of(c->itemUser) % 2 * 2, c->left, c->top, c->left + 4, c->bottom, false);
        text(dc, 15, 3, c->left + 8, c->top + 16, kTrackNames[track_of(c->itemUser)]);
        break;
    }
}

// One cell: a lamp for a step, a bar for a velocity, a number for gain and
// decay.
static void draw_cell(HDC dc, const VgridContext *c)
{
    float v = *c->value;
    char s[24];
    switch (kind_of(c->itemUser)) {
    case KIND_STEP:
        fill(dc, v != 0.0f ? 2 : (step_of(c->itemUser) % 4 == 0 ? 12 : 11), c->left, c->top,
             c->right, c->bottom, true);
        if (v != 0.0f)
            fill(dc, 3, c->left + 8, c->top + 7, c->right - 8, c->bottom - 7, false);
        break;
    case KIND_VELOCITY: {
        fill(dc, 0, c->left, c->top, c->right, c->bottom, true);
        int h = (int)((c->bottom - c->top - 4) * v / 127.0f);
        if (h > 0)
            fill(dc, v > 110.0f ? 3 : 8, c->left + 3, c->bottom - 2 - h, c->right - 2,
                 c->bottom - 2, false);
        std::snprintf(s, sizeof s, "%d", (int)v);
        text(dc, 15, 0, c->left + 3, c->top + 2, s);
        break;
    }
    case KIND_GAIN:
        fill(dc, 4, c->left, c->top, c->right, c->bottom, true);
        std::snprintf(s, sizeof s, "%+.1f", 20.0 * std::log10((double)v));
        text(dc, 15, 3, c->left + 5, c->top + 8, s);
        text(dc, 6, 0, c->left + 5, c->top + 28, "dB");
        break;
    case KIND_DECAY:
        fill(dc, 7, c->left, c->top, c->right, c->bottom, true);
        std::snprintf(s, sizeof s, "%.3f", (double)v);
        text(dc, 15, 3, c->left + 5, c->top + 8, s);
        text(dc, 14, 0, c->left + 5, c->top + 28, "s");
        break;
    }
}

// The readout for a change of the cell in the context.
static void note_change(const VgridContext *c)
{
    const char *name = kTrackNames[track_of(c->itemUser)];
    int step = step_of(c->itemUser) + 1;
    float v = *c->value;
    char *out = g_grid.readout;
    size_t size = sizeof g_grid.readout;
    switch (kind_of(c->itemUser)) {
    case KIND_STEP:
        std::snprintf(out, size, "%s, step %d: %s", name, step, v != 0.0f ? "on" : "off");
        break;
    case KIND_VELOCITY:
        std::snprintf(out, size, "%s, step %d: velocity %d", name, step, (int)v);
        break;
    case KIND_GAIN:
        std::snprintf(out, size, "%s: gain %+.1f dB", name, 20.0 * std::log10((double)v));
        break;
    case KIND_DECAY: std::snprintf(out, size, "%s: decay %.3f s", name, (double)v); break;
    }
    char line[128];
    std::snprintf(line, sizeof line, " Grid: %s", out);
    gallery_log_text(line);
    HWND page = GetParent(c->window);
    if (page != nullptr)
        InvalidateRect(page, &kReadout, FALSE);
}

// The cells' own callback: draws them (code 3) and hears their changes (4).
static int32_t cell_callback(VgridContext *c, int32_t code)
{
    if (code == VGRID_CODE_DRAW) {
        int oldMode = SetBkMode(c->dc, TRANSPARENT);
        draw_cell(c->dc, c);
        SetBkMode(c->dc, oldMode);
    } else if (code == VGRID_CODE_CHANGED) {
        note_change(c);
    }
    return 1;
}

// ---------------------------------------------------------------------------
// The canvas: its items, made at code 1
// ---------------------------------------------------------------------------

static void add(HWND grid, int32_t id, uint32_t type, int left, int top, int right, int bottom,
                float value, float minimum, float maximum, float leftStep, float rightStep,
                uint32_t user, VgridCallback callback)
{
    VgridItem item = {id,      type,    left,     top,       right, bottom,  value,
                      minimum, maximum, leftStep, rightStep, user,  callback};
    ctl_vgrid_add(grid, &item);
}

// A four-on-the-floor pattern to start from.
static bool starts_on(int track, int step)
{
    switch (track) {
    case 0: return step % 4 == 0;
    case 1: return step == 4 || step == 12;
    case 2: return step % 2 == 0;
    default: return step == 15;
    }
}

static void add_items(HWND grid)
{
    const int bottom = kHeaderH + kTracks * kRowH;
    for (int g = 0; g < kSteps / 4; ++g)
        add(grid, 0, VGRID_INERT, kStepX + g * 4 * kStepW - 2, 0, kStepX + (g + 1) * 4 * kStepW - 2,
            bottom + 4, 0, 0, 0, 0, 0, user_of(KIND_BAND, 0, g * 4), nullptr);
    add(grid, -1, VGRID_INERT, kGainX, 0, kGainX + kCellW, kHeaderH, 0, 0, 0, 0, 0,
        user_of(KIND_TITLE, 0, 0), nullptr);
    add(grid, -2, VGRID_INERT, kDecayX, 0, kDecayX + kCellW, kHeaderH, 0, 0, 0, 0, 0,
        user_of(KIND_TITLE, 0, 0), nullptr);
    for (int s = 0; s < kSteps; ++s)
        add(grid, s, VGRID_INERT, kStepX + s * kStepW, 0, kStepX + s * kStepW + 28, kHeaderH, 0, 0,
            0, 0, 0, user_of(KIND_TITLE, 0, s), nullptr);
    for (int t = 0; t < kTracks; ++t) {
        int y = kHeaderH + t * kRowH;
        add(grid, 0, VGRID_INERT, 4, y + 4, 64, y + kRowH - 4, 0, 0, 0, 0, 0,
            user_of(KIND_TRACK, t, 0), nullptr);
        add(grid, 3000 + t, VGRID_MULTIPLY, kGainX, y + 4, kGainX + kCellW, y + kRowH - 4,
            t == 2 ? 0.5f : 1.0f, 0.01f, 4.0f, 1.02f, 1.002f, user_of(KIND_GAIN, t, 0),
            cell_callback);
        add(grid, 4000 + t, VGRID_TIME, kDecayX, y + 4, kDecayX + kCellW, y + kRowH - 4,
            t == 2 ? 0.08f : 0.25f, 0.01f, 4.0f, 0.005f, 0.001f, user_of(KIND_DECAY, t, 0),
            cell_callback);
        for (int s = 0; s < kSteps; ++s) {
            int x = kStepX + s * kStepW;
            add(grid, 1000 + t * 100 + s, VGRID_TOGGLE, x, y + 4, x + 28, y + 24,
                starts_on(t, s) ? 1.0f : 0.0f, 0.0f, 1.0f, 0, 0, user_of(KIND_STEP, t, s),
                cell_callback);
            float velocity = t == 2 && s % 4 != 0 ? 72.0f : 100.0f;
            add(grid, 2000 + t * 100 + s, VGRID_LINEAR, x, y + 28, x + 28, y + kRowH - 4, velocity,
                0.0f, 127.0f, 1.0f, 0.25f, user_of(KIND_VELOCITY, t, s), cell_callback);
        }
    }
}

// The grid's own callback: the items at code 1, the background at code 2,
// the labels at code 3.
static int32_t grid_callback(VgridContext *c, int32_t code)
{
    switch (code) {
    case VGRID_CODE_CREATE: add_items(c->window); return 1;
    case VGRID_CODE_PAINT: {
        RECT rc = {c->left, c->top, c->right, c->bottom};
        FillRect(c->dc, &rc, ctl_brush(9));
        return 1;
    }
    case VGRID_CODE_DRAW: {
        int oldMode = SetBkMode(c->dc, TRANSPARENT);
        draw_label(c->dc, c);
        SetBkMode(c->dc, oldMode);
        return 1;
    }
    }
    return 1;
}

// ---------------------------------------------------------------------------
// The page
// ---------------------------------------------------------------------------

static void grid_page_paint(HWND page)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(page, &ps);
    gallery_paint_page(page, dc, kBoxes, (int)std::size(kBoxes), kLabels, (int)std::size(kLabels));
    const VgridRecord *record = ctl_vgrid_record(g_grid.grid);
    char line[128];
    std::snprintf(line, sizeof line, "%d %%   %s", record != nullptr ? (int)record->zoom : 0,
                  g_grid.readout);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    ctl_text(dc, ctl_colour_word(0, 0, 3), kReadout.left + 4, kReadout.top + 2, line);
    SetBkMode(dc, oldMode);
    EndPaint(page, &ps);
}

static void zoom_by(HWND page, float step)
{
    const VgridRecord *record = ctl_vgrid_record(g_grid.grid);
    if (record == nullptr)
        return;
    ctl_vgrid_set_zoom(g_grid.grid, step == 0.0f ? 100.0f : record->zoom + step);
    InvalidateRect(page, &kReadout, FALSE);
}

static LRESULT grid_page_callback(HWND page, UINT message, WPARAM wParam, LPARAM lParam, void *)
{
    switch (message) {
    case WM_PAINT: grid_page_paint(page); return 0;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case ID_ZOOM_OUT: zoom_by(page, -25.0f); break;
        case ID_ZOOM_IN: zoom_by(page, 25.0f); break;
        case ID_ZOOM_RESET: zoom_by(page, 0.0f); break;
        }
        return 0;
    case WM_PARENTNOTIFY: // a Ctrl+click on the canvas may have zoomed
        if (LOWORD(wParam) == WM_LBUTTONDOWN || LOWORD(wParam) == WM_RBUTTONDOWN)
            PostMessageA(page, WM_APP, 0, 0);
        return 0;
    case WM_APP: InvalidateRect(page, &kReadout, FALSE); return 0;
    case WM_DESTROY: g_grid = GridPage(); return 0;
    }
    return DefWindowProcA(page, message, wParam, lParam);
}

HWND gallery_create_grid_page(HWND parent, int x, int y, int width, int height)
{
    g_grid = GridPage();
    std::snprintf(g_grid.readout, sizeof g_grid.readout, "nothing yet");
    HWND page = ctl_create_free_panel(parent, 3, x, y, width, height, grid_page_callback, nullptr);
    if (page == nullptr)
        return nullptr;
    ShowWindow(page, SW_HIDE);
    g_grid.grid = ctl_create_vgrid(
        page, ID_GRID, kGridRect.left, kGridRect.top, kGridRect.right - kGridRect.left,
        kGridRect.bottom - kGridRect.top, WS_HSCROLL | WS_VSCROLL | WS_BORDER, kLogicalW, kLogicalH,
        grid_callback, 0);
    ctl_create_lamp_button(page, ID_ZOOM_OUT, 24, 344, I2P_PUSH);
    ctl_create_lamp_button(page, ID_ZOOM_IN, 88, 344, I2P_PUSH);
    ctl_create_lamp_button(page, ID_ZOOM_RESET, 152, 344, I2P_PUSH);
    return page;
}

// ---------------------------------------------------------------------------
// Tour: program a few steps, ride a velocity, the hat's gain and the clap's
// decay, then zoom in to 150 % and shape the kick's first steps.
// ---------------------------------------------------------------------------

// Client point of the logical point (lx, ly) of the grid.
static POINT grid_point(HWND grid, int lx, int ly)
{
    const VgridView *v = ctl_vgrid_record(grid)->context.view;
    return {(int)((float)lx * v->zoomFactor) - v->scrollX,
            (int)((float)ly * v->zoomFactor) - v->scrollY};
}

// A click, or a drag of dy pixels, on the middle of a cell.
static void touch(HWND grid, int lx, int ly, int dy)
{
    POINT p = grid_point(grid, lx, ly);
    PostMessageA(grid, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    for (int i = 1; i <= 4 && dy != 0; ++i)
        PostMessageA(grid, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y + dy * i / 4));
    PostMessageA(grid, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y + dy));
}

static void touch_step(HWND grid, int track, int step)
{
    touch(grid, kStepX + step * kStepW + 14, kHeaderH + track * kRowH + 14, 0);
}

static void ride_velocity(HWND grid, int track, int step, int dy)
{
    touch(grid, kStepX + step * kStepW + 14, kHeaderH + track * kRowH + 40, dy);
}

static void click_button(HWND page, int id)
{
    HWND button = GetDlgItem(page, id);
    PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    PostMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

int gallery_tour_grid(HWND page, int step)
{
    HWND grid = GetDlgItem(page, ID_GRID);
    switch (step) {
    case 0: touch_step(grid, 1, 7); return 1;
    case 1: touch_step(grid, 1, 10); return 1;
    case 2: touch_step(grid, 3, 3); return 1;
    case 3: ride_velocity(grid, 1, 7, 40); return 1;
    case 4: touch(grid, kGainX + 26, kHeaderH + 2 * kRowH + 28, 30); return 1;
    case 5: touch(grid, kDecayX + 26, kHeaderH + 3 * kRowH + 28, -24); return 1;
    case 6: click_button(page, ID_ZOOM_IN); return 1;
    case 7: click_button(page, ID_ZOOM_IN); return 1;
    case 8: touch_step(grid, 0, 2); return 1;
    case 9: ride_velocity(grid, 0, 0, 20); return 1;
    case 10: ride_velocity(grid, 0, 2, 36); return 1;
    case 11: gallery_save_picture(GetAncestor(page, GA_ROOT), "grid", 0); return 0;
    }
    return 1;
}
