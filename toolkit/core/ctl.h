// QK2CTL toolkit core: start-up and settings, the shared palette, fonts and
// bitmaps with their drawing helpers, the plumbing every control shares, and
// the Free panel. Win32 only; the platform-free number helpers live in
// ctl_number.h and the time context in toolkit/dialogs/time_context.h.
#pragma once
#include <windows.h>
#include <cstddef>
#include <cstdint>

#include "toolkit/core/ctl_number.h"
#include "toolkit/dialogs/time_context.h"

// ---------------------------------------------------------------------------
// Start-up, shutdown and settings
// ---------------------------------------------------------------------------

// Start-up error codes (see ctl_error_message for their texts).
enum CtlError {
    CTL_ERR_NONE = 0,
    CTL_ERR_NOT_INITIALIZED = 1,
    CTL_ERR_ROTATIF = 2,
    CTL_ERR_I2P = 3,
    CTL_ERR_FREE = 4,
    CTL_ERR_SLIDE = 5,
    CTL_ERR_3DLIST = 6,
    CTL_ERR_VGRID = 7,
    CTL_ERR_2DLIST = 8,
};

// Starts the toolkit for the application name (the last part of the registry
// key). Reference counted: only the first call does the work. Returns 1 when
// the toolkit is ready, 0 when start-up failed (see ctl_error_code).
int ctl_init(HINSTANCE instance, const char *appName);
// Undoes one ctl_init; the last one closes popups, frees every resource,
// unregisters the classes and writes the settings to the registry.
void ctl_shutdown(void);

// Reads the REG_BINARY value valueName of HKEY_CURRENT_USER\keyPath into
// buffer (size bytes). Returns 1 on success. Fails (0, buffer untouched) when
// the key or value is missing, is not REG_BINARY or is longer than size. A
// shorter value replaces only the leading bytes: the tail keeps what the
// buffer held. Never creates the key.
int ctl_reg_read(const char *keyPath, const char *valueName, void *buffer, DWORD size);
// Writes size bytes as the REG_BINARY value valueName, creating the key path
// when it is missing. Returns 1 on success, 0 when the key cannot be opened or
// created or the value cannot be set.
int ctl_reg_write(const char *keyPath, const char *valueName, const void *data, DWORD size);

// The result of the last start-up and its "[QK2CTL] ..." message.
int ctl_error_code(void);
const char *ctl_error_message(void);

// Registry key path "Varkel_Audio\QK2CTL\<name>" of the running toolkit
// (the name of the first start-up, cut to 127 characters).
const char *ctl_key_path(void);
// The application instance given to ctl_init.
HINSTANCE ctl_instance(void);

// Settings (read at start-up, written at the final shutdown).
extern int32_t g_rotMode;   // "Rot_Mode": bit 0 inverse, bit 1 angular mouse mode
extern int32_t g_sCapture;  // "S_capture": Slide "Mouse Captured", 0 or 1
extern int32_t g_sSetToPos; // "S_settopos": Slide "Direct mouse position", 0 or 1
extern int32_t g_aIMode;    // "A_imode": adjust popup inverse mouse mode, 0 or 1
// (The time-dialog context is g_timeContext, "Dial_tCtx".)

// Open toolkit popups (none when 0), closed by the final shutdown.
extern HWND g_openEditDialog;
extern HWND g_openTimeDialog;
extern HWND g_openAdjustPopup;

// 1 from start-up to the final shutdown; while 0 no notification is delivered.
extern int g_toolkitActive;

// Window class names: the visible name, the byte 0xA9 and "Tarnix".
#define CTL_CLASS_ROTATIF "C_QK2CTL_Rotatif_00\xA9Tarnix"
#define CTL_CLASS_I2P "C_QK2CTL_I2p_00\xA9Tarnix"
#define CTL_CLASS_FREE "C_QK2CTL_Free_00\xA9Tarnix"
#define CTL_CLASS_SLIDE "C_QK2CTL_Slide_00\xA9Tarnix"
#define CTL_CLASS_3DLIST "C_QK2CTL_3DList_00\xA9Tarnix"
#define CTL_CLASS_VGRID "C_QK2CTL_Vgrid_00\xA9Tarnix"
#define CTL_CLASS_2DLIST "C_QK2CTL_2DList_00\xA9Tarnix"

// Window procedures of the seven classes, registered by ctl_init. Each lives
// in its own file under toolkit/controls/ (the Free panel in toolkit/core/).
LRESULT CALLBACK ctl_rotatif_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ctl_i2p_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ctl_free_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ctl_slide_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ctl_list3d_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ctl_vgrid_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ctl_list2d_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// ---------------------------------------------------------------------------
// Palette, fonts, bitmaps and drawing helpers
// ---------------------------------------------------------------------------

static const int CTL_COLORS = 16;             // palette colours, and brushes, pens and fonts each
static const int CTL_BITMAPS = 13;            // toolkit bitmaps
static const int CTL_BITMAP_FIRST_ID = 1500;  // resource id of bitmap 0

// Toolkit bitmap indices (resource id 1500 + index).
enum CtlBitmap {
    CTL_BMP_LAMP_OFF = 0,     // 24 x 16
    CTL_BMP_LAMP_ON = 1,      // 24 x 16
    CTL_BMP_KEY_OFF = 2,      // 33 x 23
    CTL_BMP_KEY_ON = 3,       // 33 x 23
    CTL_BMP_LED_OFF = 4,      // 16 x 16
    CTL_BMP_LED_ON = 5,       // 16 x 16
    CTL_BMP_NOTES = 6,        // 160 x 96, 5 x 3 cells of 32 x 32
    CTL_BMP_KNOB = 7,         // 32 x 32
    CTL_BMP_VGROOVE = 8,      // 17 x 128
    CTL_BMP_VTHUMB = 9,       // 15 x 20
    CTL_BMP_HGROOVE = 10,     // 128 x 17
    CTL_BMP_HTHUMB = 11,      // 20 x 15
    CTL_BMP_MARBLE = 12,      // 64 x 64
};

// Colour word: bits 0-3 pen/text colour, 4-7 brush, 8-11 font, 31 relief.
static const uint32_t CTL_RELIEF = 0x80000000u;
constexpr uint32_t ctl_colour_word(int pen, int brush, int font, bool relief = false)
{
    return (uint32_t)(pen & 15) | (uint32_t)(brush & 15) << 4 | (uint32_t)(font & 15) << 8 |
           (relief ? CTL_RELIEF : 0u);
}

// Accessors: the index is taken modulo 65536; outside 0-15 (0-12 for the
// bitmaps) they return 0. Handles belong to the toolkit: never delete them.
COLORREF ctl_color(int index);
HBRUSH ctl_brush(int index);
HPEN ctl_pen(int index);
HFONT ctl_font(int index);
HBITMAP ctl_bitmap(int index);
HPEN ctl_dash_pen(void);

// Drawing helpers. Each leaves its pen, brush, font and text colour selected
// in dc and never touches the background mode. See ctl_draw.cpp for each.

void ctl_blit(HDC dc, HBITMAP bitmap, int x, int y, int w, int h);
void ctl_blit_part(HDC dc, HBITMAP bitmap, int x, int y, int sx, int sy, int w, int h);
void ctl_blit_bitmap(HDC dc, int x, int y, HBITMAP bitmap);
void ctl_tile(HWND window, HDC dc, int x, int y, HBITMAP bitmap);
void ctl_blit_masked(HDC dc, HBITMAP image, HBITMAP mask, int x, int y, int w, int h);
void ctl_text(HDC dc, uint32_t colourWord, int x, int y, const char *text);
void ctl_line(HDC dc, uint32_t colourWord, int x1, int y1, int x2, int y2);
void ctl_fill_box(HDC dc, uint32_t colourWord, int left, int top, int right, int bottom);
void ctl_frame_box(HDC dc, uint32_t colourWord, int left, int top, int right, int bottom);
void ctl_cross(HDC dc, int left, int top, int right, int bottom);
void ctl_focus_mark(HDC dc, int x, int y);
void ctl_dot(HDC dc, int x, int y);
int ctl_point_in_client(HWND window, int x, int y);
void ctl_keep_on_screen(HWND window);
// The work area (the screen less the task bar) of the monitor that holds the
// point, or of the nearest monitor.
void ctl_work_area(POINT at, RECT *area);
HBITMAP ctl_round_mask(HWND window, int diameter);

// Kept pictures. The blit helpers copy a kept picture from a memory DC kept
// open with it selected, which costs one BitBlt; any other bitmap costs a
// memory DC made and deleted per call. The toolkit keeps its 13 bitmaps from
// start-up; an application keeps its own pictures after ctl_init and lets
// them go before deleting them (the final shutdown lets every kept picture
// go). While kept, a picture is selected in its DC and in no other: read it
// through ctl_picture_dc.
// ctl_keep_picture returns 1 when the picture is kept (also when it was
// already), 0 for a null bitmap, a full table (32) or a bitmap that cannot be
// selected; the helpers then still draw it the slow way.
int ctl_keep_picture(HBITMAP bitmap);
// Deselects a kept picture and deletes its DC; nothing for other bitmaps.
void ctl_release_picture(HBITMAP bitmap);
// The memory DC a kept picture is selected in, or null when it is not kept.
HDC ctl_picture_dc(HBITMAP bitmap);
// How many pictures are kept.
int ctl_kept_picture_count(void);

// Deletes a GDI object the caller created, if there is one, and clears the
// handle, so a second call does nothing.
template <typename Handle>
inline void ctl_delete_object(Handle &object)
{
    if (object != nullptr)
        DeleteObject(object);
    object = nullptr;
}

// ---------------------------------------------------------------------------
// Control plumbing
// ---------------------------------------------------------------------------

// Callback flag in NotifyTarget.flags: call the callback instead of posting.
static const uint32_t CTL_NOTIFY_CALLBACK = 0x2000000u;

typedef int32_t (*NotifyCallback)(void *userData, uint32_t wParam, int32_t lParam);

// Where a value control reports changes.
struct NotifyTarget {
    HWND parent;             // receives the posted WM_COMMAND
    NotifyCallback callback; // called instead when flags has CTL_NOTIFY_CALLBACK
    uint32_t flags;          // option bits; the controls define more of them
    void *userData;          // first argument of the callback
};
static_assert(offsetof(NotifyTarget, parent) == 0 && offsetof(NotifyTarget, callback) == 4 &&
                  offsetof(NotifyTarget, flags) == 8 && offsetof(NotifyTarget, userData) == 12,
              "NotifyTarget is four 32-bit fields in this order, embedded in creation records");

// Value commands understood by every value control (WM_COMMAND wParam).
enum CtlValueCommand {
    CTL_CMD_ENABLE = 1,  // enable and repaint if disabled; LRESULT 0
    CTL_CMD_DISABLE = 2, // disable and repaint if enabled; LRESULT 0
    CTL_CMD_GET = 3,     // LRESULT: the value's float bits
    CTL_CMD_SET = 4,     // lParam: the new value's float bits; repaints, never notifies
};

// Instance record in the window's 4 extra bytes; dialog state in DWL_USER.
// The setters return the previous value.
LONG_PTR ctl_set_instance_data(HWND window, void *data);
void *ctl_get_instance_data(HWND window);
LONG_PTR ctl_set_dialog_data(HWND dialog, void *data);
void *ctl_get_dialog_data(HWND dialog);
HINSTANCE ctl_window_instance(HWND window);

// Tells the target that a value changed: 0 while the toolkit is inactive (and
// for a null target or a callback flag without a callback); else the
// callback's result, or PostMessageA's result for WM_COMMAND (low word of
// wParam, lParam unchanged) to the parent.
LRESULT ctl_notify(const NotifyTarget *target, WPARAM wParam, LPARAM lParam);
// WM_COMMAND posted to window; PostMessageA's result.
BOOL ctl_post_command(HWND window, WPARAM wParam, LPARAM lParam);
// WM_COMMAND sent to window; the LRESULT read as float bits.
float ctl_send_command(HWND window, WPARAM wParam, LPARAM lParam);

float ctl_as_float(uint32_t bits);
uint32_t ctl_as_int(uint32_t bits);
uint32_t ctl_float_bits(float value); // the bits of a float, for lParam

// Width and height of a bitmap (0 and 0 for a null or invalid handle).
void ctl_bitmap_size(HBITMAP bitmap, int *width, int *height);
// Dialog frame width, caption height and menu height of the system.
void ctl_frame_metrics(int *frame, int *caption, int *menu);
// Size of a maximised window: the area windows are kept in.
void ctl_screen_limit(int *width, int *height);
void ctl_zero(void *destination, size_t count);
// Copies count bytes; overlapping ranges are safe, equal ones left alone.
void ctl_copy(void *destination, const void *source, size_t count);

// ---------------------------------------------------------------------------
// Free panel
// ---------------------------------------------------------------------------

typedef LRESULT (*FreePanelCallback)(HWND panel, UINT message, WPARAM wParam, LPARAM lParam,
                                     void *userData);

// The creation record, copied into the panel's own instance record at
// WM_CREATE.
struct FreePanel {
    HWND parent;                // the panel's parent
    int32_t x, y;               // position in the parent's client area
    uint32_t id;                // child id (16 bits used, upper half 0)
    void *userData;             // handed to the callback, never read or freed
    FreePanelCallback callback; // receives the panel's messages
};
static_assert(sizeof(FreePanel) == 24 && offsetof(FreePanel, callback) == 20,
              "FreePanel is six 32-bit fields in this order");

// Creates a visible Free panel of the application instance given to ctl_init;
// returns its handle, or 0 when creation fails (no memory, or the callback
// returned -1 from WM_CREATE, after which it sees nothing more). From
// WM_CREATE to WM_DESTROY the callback sees every message except WM_CLOSE (the
// panel destroys itself) and WM_MOUSEACTIVATE (the panel takes the focus); it
// must call DefWindowProcA itself for what it does not handle, WM_PAINT
// included.
HWND ctl_create_free_panel(HWND parent, int id, int x, int y, int width, int height,
                           FreePanelCallback callback, void *userData);
