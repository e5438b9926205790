// QK2CTL: the owner-drawn control toolkit. An application includes only this
// header and links only the qk2ctl library, with the toolkit's bitmaps
// (resources/toolkit.rc) in its own resources. It declares everything the
// toolkit offers: start-up and settings, the shared palette, fonts and bitmaps
// with their drawing helpers, the plumbing every control shares, the control
// records, flags and messages, the drag helpers and the value dialogs. The
// platform-free parts (number helpers, value scale, time context) live in
// their own headers, included here, so that they also build natively.
//
// Contents: 1. start-up and settings  2. drawing  3. plumbing  4. Free panel
//           5. I2p button  6. drag helpers  7. edit-value dialog  8. Slide fader
//           9. 2DList and 3DList  10. Vgrid  11. Rotatif knob  12. adjust-value popup
//           13. time-entry dialog
#pragma once
#include <windows.h>
#include <cstddef>
#include <cstdint>

#include "toolkit/controls/value_scale.h"
#include "toolkit/controls/vgrid_items.h"
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

// A DC to copy a bitmap from: a kept picture's own DC, or a temporary memory
// DC made from target with the bitmap selected. Code that reads a bitmap
// itself (instead of through the blit helpers) takes it from here, since a
// kept picture cannot be selected in a second DC. Every begin has its end.
struct CtlSourceDc {
    HDC dc;         // the source; null for a null bitmap
    HGDIOBJ old;    // the temporary DC's own bitmap
    bool temporary; // dc was made by ctl_source_begin and goes at ctl_source_end
};
CtlSourceDc ctl_source_begin(HDC target, HBITMAP bitmap);
void ctl_source_end(CtlSourceDc *source);

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
// Value controls (Slide, Rotatif) with this flag notify at every drag move
// and step, not only when a move ends.
static const uint32_t CTL_NOTIFY_CONTINUOUS = 0x1000000u;

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
// 1 while window still exists and holds record (dialog: state). Whoever
// hears a notification may destroy the window, which frees its record:
// code that goes on after a notification asks this first.
int ctl_holds_instance_data(HWND window, const void *record);
int ctl_holds_dialog_data(HWND dialog, const void *state);
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

// ---------------------------------------------------------------------------
// I2p two-image button
// ---------------------------------------------------------------------------

// I2pLook.behaviour: the kind is the nibble of bits 12-15, options are bits.
static const uint32_t I2P_KIND_MASK = 0xF000u;
static const uint32_t I2P_PUSH = 0x1000u;      // momentary: on while held
static const uint32_t I2P_TOGGLE = 0x2000u;    // each press flips the value
static const uint32_t I2P_INDICATOR = 0x4000u; // clicks do nothing; exactly 0x4000 shows no focus
static const uint32_t I2P_SET_ONLY = 0x8000u;  // a press turns it on; only command 4 turns it off
static const uint32_t I2P_AUTO_REPEAT = 0x20000u; // with push: notifies at the press, then while held

// I2pLook.look
static const uint32_t I2P_ROUND = 1; // the face is drawn through a round mask of diameter width

// Timer id of the auto-repeat timer and its period.
static const UINT_PTR I2P_TIMER_ID = 100;
static const UINT I2P_TIMER_MS = 50;

// The appearance, filled by the creator.
struct I2pLook {
    int32_t width, height;   // pixels; width 0 at creation: both from offBitmap
    HBITMAP offBitmap;       // shown while the value is 0.0
    HBITMAP onBitmap;        // shown while the value is not 0.0
    HBITMAP disabledBitmap;  // drawn over the face while disabled; null: the toolkit cross
    uint32_t look;           // I2P_ROUND, or anything else for rectangular
    uint32_t behaviour;      // kind and options, I2P_*
};
static_assert(sizeof(I2pLook) == 28 && offsetof(I2pLook, behaviour) == 24,
              "I2pLook is seven 32-bit fields in this order");

// The creation record, copied whole into the control's instance record.
struct I2pRecord {
    HWND parent;             // owner; receives forwarded Tab and Escape key-downs
    int32_t x, y;            // position in the parent's client area
    uint32_t id;             // control id in notifications (16 bits used)
    int32_t enabled;         // 1 = enabled; set to 1 at creation
    int32_t focused;         // 1 while the control has the keyboard focus
    I2pLook appearance;      // size, bitmaps, shape and behaviour
    NotifyTarget notify;     // where notifications go
    float value;             // 0.0 or 1.0
    HBITMAP mask;            // round mask (toolkit's cache), set at creation for I2P_ROUND
    int32_t pressed;         // 1 while a push-button press is in progress
    HWND previousCapture;    // capture owner when the press began, or null
    uint32_t repeatTicks;    // auto-repeat timer ticks since the press
    uint32_t timerId;        // id returned by SetTimer
    int32_t repeatPaused;    // 1 while auto-repeat is stopped or paused
};
static_assert(offsetof(I2pRecord, appearance) == 24 && offsetof(I2pRecord, notify) == 52 &&
                  offsetof(I2pRecord, value) == 68 && sizeof(I2pRecord) == 96,
              "I2pRecord keeps its fields in this order, 32 bits each");

// Creates a visible I2p button of the toolkit's application instance from a
// copy of look and target (either may be null: zeros). A width of 0 takes
// width and height from look->offBitmap. Returns the window, or 0.
HWND ctl_create_i2p(HWND parent, int id, int x, int y, const I2pLook *look,
                    const NotifyTarget *target);
// A 24 x 16 lamp toggle (toolkit bitmaps 0 and 1) that posts WM_COMMAND to
// parent. options: I2P_PUSH makes it a push button, I2P_SET_ONLY (winning
// over I2P_PUSH) a set-only switch. Returns the window, or 0.
HWND ctl_create_lamp_button(HWND parent, int id, int x, int y, uint32_t options);

// ---------------------------------------------------------------------------
// Drag and outline helpers
// ---------------------------------------------------------------------------
// The caller forwards its mouse messages; the helpers show a moving outline
// (drawn twice it vanishes) until the end, then report or apply the result.

// Moves a whole popup window by an outline on the screen.
struct WindowMover {
    HWND window;          // the window to move
    int32_t dragging;     // 1 between begin and end
    int32_t drawn;        // 1 while an outline is on the screen
    int32_t lastX, lastY; // pointer position of the outline, screen coordinates
    int32_t grabX, grabY; // pointer position relative to the window's corner at the start
    int32_t left, top;    // window position at the start; the new one after the end
    int32_t width, height; // window width + 1 and height + 1
    HWND previousCapture; // capture owner before the drag, or null
};
static_assert(sizeof(WindowMover) == 48 && offsetof(WindowMover, previousCapture) == 44,
              "WindowMover keeps its fields in this order, 32 bits each");

// Moves a rectangle inside one window's client area, within bounds.
struct RectDragger {
    HWND window;                  // the window whose client area holds the rectangle
    int32_t dragging;             // 1 between begin and end
    int32_t drawn;                // 1 while an outline is drawn
    int32_t currentLeft, currentTop; // where the outline is now, client coordinates
    int32_t grabX, grabY;         // pointer position relative to the rectangle's corner
    int32_t left, top;            // rectangle position at the start; the final one after the end
    int32_t width, height;        // rectangle size
    int32_t minLeft, minTop;      // smallest allowed left and top
    int32_t maxRight, maxBottom;  // largest allowed right and bottom edges
};
static_assert(sizeof(RectDragger) == 60 && offsetof(RectDragger, maxBottom) == 56,
              "RectDragger keeps its fields in this order, 32 bits each");
static_assert(offsetof(WindowMover, drawn) == offsetof(RectDragger, drawn),
              "both drag records begin with the window, dragging and drawn");

void ctl_mover_init(WindowMover *mover, HWND window);
// Starts a drag at client point (x, y) of the window and takes the capture.
void ctl_mover_begin(WindowMover *mover, int x, int y);
// Moves the outline to client point (x, y); nothing unless dragging.
void ctl_mover_move(WindowMover *mover, int x, int y);
// Ends the drag: the window goes to the last outline position and the former
// capture owner gets the capture back. Nothing unless dragging.
void ctl_mover_end(WindowMover *mover, int x, int y);

void ctl_dragger_init(RectDragger *dragger, HWND window, int minLeft, int minTop, int maxRight,
                      int maxBottom);
// Starts dragging the rectangle (left, top, width, height) grabbed at client
// point (x, y), and takes the capture.
void ctl_dragger_begin(RectDragger *dragger, int x, int y, int left, int top, int width,
                       int height);
// Moves the outline, kept within the bounds (the upper ones win); nothing
// unless dragging.
void ctl_dragger_move(RectDragger *dragger, int x, int y);
// Ends the drag; left and top then hold the final position. Nothing unless
// dragging.
void ctl_dragger_end(RectDragger *dragger);

// The dragging flag (0 for a null record).
int ctl_drag_active(const WindowMover *mover);
int ctl_drag_active(const RectDragger *dragger);

// ---------------------------------------------------------------------------
// Edit-value dialog
// ---------------------------------------------------------------------------

// Size of the text ctl_edit_value returns, terminator included.
static const int CTL_EDIT_TEXT_SIZE = 1024;

// Opens a borderless one-line edit box with its client area at screen point
// (x, y), width x height, in the colours and font of colourWord, showing
// initialText (null: empty; only its first 1023 characters) selected, and
// waits until it closes. Return accepts; Escape, Alt+key, the system menu, a
// click elsewhere, a second ctl_edit_value, the toolkit's shutdown or the
// destruction of parent (or of a window holding it) cancel at once.
// Returns a new CTL_EDIT_TEXT_SIZE-byte text that the caller frees with
// free(): what was accepted, or empty when cancelled or when parent is gone.
// Null when memory runs out. A control that opens it for another window
// checks IsWindow on itself after the call before it touches its record.
char *ctl_edit_value(HWND parent, uint32_t colourWord, int x, int y, int width, int height,
                     const char *initialText);

// ---------------------------------------------------------------------------
// Slide fader
// ---------------------------------------------------------------------------
// A thumb that moves along a horizontal or vertical track drawn over a
// background bitmap. The value lives in a ValueScale whose angle and slope
// fields hold track pixels here: startAngle is the track coordinate of the
// minimum (startPixel), endAngle that of the maximum (endPixel), slope the
// pixels per unit and unitsPerRadian the units per pixel.
//
// Logarithmic scale (LogScale in scale.flags): equal distances along the
// track are equal ratios of value, so a unit is one of ln(value): slope holds
// the pixels per unit of ln(value) and unitsPerRadian its inverse, and every
// step (a pixel of a drag, an arrow key's unit, a wheel unit) multiplies the
// value by scale.step. Both ends must then have the same sign and differ; a
// range that does not, like a linear range of zero width or a track of no
// length, is flat: every value sits at the track's start and every pointer
// position gives the minimum.

// SlideRecord.style
static const uint32_t SLIDE_HORIZONTAL = 0x10000u;    // moves along x, minimum at the left; else vertical, minimum at the bottom
static const uint32_t SLIDE_EDIT_NUMBER = EditNumber; // the edit operation opens the edit box with the plain value
static const uint32_t SLIDE_EDIT_TIME = EditTime;     // the edit operation opens the time-entry dialog
static const uint32_t SLIDE_DECIBELS = DecibelDisplay; // shown and typed as 20 log10(value), " db"; 1 decimal
// SlideRecord.scale.flags (beside LogScale)
static const uint32_t SLIDE_DELTAS_AS_IS = 0x10000u;  // movements count as they are; without it they are negated (vertical)
// SlideRecord.notify.flags
static const uint32_t SLIDE_CONTINUOUS = CTL_NOTIFY_CONTINUOUS; // notify at every drag move and every step, not only at the end
// SlideRecord.look
static const uint32_t SLIDE_ROUND = 1;                // the thumb bitmap is drawn through a round mask of diameter thumbWidth

static const int SLIDE_PRESETS = 16;                  // preset slots

// Context-menu commands (WM_COMMAND from the menu; an owner may send them too),
// beside the value commands 1-4.
enum SlideCommand {
    SLIDE_CMD_CAPTURE = 10,  // toggle "Mouse Captured" (S_capture)
    SLIDE_CMD_SETTOPOS = 12, // toggle "Direct mouse position" (S_settopos)
    SLIDE_CMD_CURRENT = 50,  // the menu's disabled line showing the value
    SLIDE_CMD_DEFAULT = 100, // restore the default and notify (only while enabled)
    SLIDE_CMD_MINIMUM = 101, // set the minimum and notify
    SLIDE_CMD_MAXIMUM = 102, // set the maximum and notify
    SLIDE_CMD_EDIT = 103,    // the edit operation (only while enabled)
    SLIDE_CMD_PRESET = 600,  // 600 + i: set preset i (i below presetCount) and notify
};

// The creation record, copied whole into the control's instance record at
// WM_CREATE; fields marked "set by the control" are its live state.
struct SlideRecord {
    HWND parent;                 // owner: gets forwarded Tab and Escape, owns the edit box and time dialog
    HWND self;                   // the control's window; set by the control
    uint32_t id;                 // control id in notifications (16 bits used)
    int32_t enabled;             // 1 = enabled; set to 1 by the control
    int32_t focused;             // 1 while the control has the keyboard focus; set by the control
    int32_t dragging;            // 1 while a drag holds the mouse; set by the control
    int32_t width, height;       // size of the control; every background blit covers it
    HBITMAP background;          // the track picture
    HBITMAP draggingBackground;  // shown instead of background while dragging, or null
    HBITMAP disabledBitmap;      // drawn over the background while disabled; null: the toolkit cross
    uint16_t minMargin;          // pixels kept free at the minimum end of the track
    uint16_t maxMargin;          // pixels kept free at the maximum end of the track
    uint32_t look;               // SLIDE_ROUND, or anything else for a rectangular thumb
    uint32_t style;              // SLIDE_HORIZONTAL, SLIDE_EDIT_*, SLIDE_DECIBELS
    int32_t thumbCross;          // thumb's top (horizontal) or left (vertical); x of the edit anchor
    int32_t anchorY;             // y of the edit anchor
    NotifyTarget notify;         // where notifications go; SLIDE_CONTINUOUS in its flags
    ValueScale scale;            // value, range, step and the track mapping (see above)
    HBITMAP thumbBitmap;         // the thumb picture; null draws a rectangle
    int32_t thumbWidth, thumbHeight; // thumb size
    uint16_t thumbPen;           // toolkit pen of the drawn thumb's outline
    uint16_t thumbBrush;         // toolkit brush of the drawn thumb's fill
    float thumbPos;              // thumb's leading edge (left or top) on the track; set by the control
    int32_t lastX, lastY;        // last pointer position of a drag, client coordinates
    HBITMAP mask;                // round mask (toolkit's cache); set by the control for SLIDE_ROUND
    HMENU menu;                  // context menu; built by the control
    uint16_t presetCount;        // preset values in use; more than 16 counts as 16
    float presets[SLIDE_PRESETS]; // preset values, selected by commands 600 + i
    int32_t keyPending;          // 1 while a key step awaits its key-up to be notified; set by the control
    int32_t editing;             // edit boxes or time dialogs open on the stack; set by the control
};
static_assert(offsetof(SlideRecord, minMargin) == 44 && offsetof(SlideRecord, look) == 48 &&
                  offsetof(SlideRecord, notify) == 64 && offsetof(SlideRecord, scale) == 80 &&
                  offsetof(SlideRecord, thumbBitmap) == 124 && offsetof(SlideRecord, thumbPen) == 136 &&
                  offsetof(SlideRecord, thumbPos) == 140 && offsetof(SlideRecord, menu) == 156 &&
                  offsetof(SlideRecord, presetCount) == 160 && offsetof(SlideRecord, presets) == 164 &&
                  offsetof(SlideRecord, keyPending) == 228 && sizeof(SlideRecord) == 236,
              "SlideRecord keeps its fields in this order");

// Creates a visible Slide of the toolkit's application instance, width x
// height at (x, y) in parent, from a copy of record with its parent and id
// set to these. Returns the window, or 0 (no record, no memory).
HWND ctl_create_slide(HWND parent, int id, int x, int y, const SlideRecord *record);

// ---------------------------------------------------------------------------
// 2DList and 3DList owner-drawn lists
// ---------------------------------------------------------------------------
// Both lists know only numbers: how many lines, how tall a row is, which
// lines are shown, current and selected. Every pixel of a row or cell is drawn
// by the application's ListCallback, so a list of ten million lines costs
// what a list of ten costs. Lines are numbered from 1.

// Codes handed to a ListCallback.
enum ListCode {
    LIST_CODE_COMMAND = 0,   // 3DList: Ctrl + another character, or a command it does not know
    LIST_CODE_DRAW = 1,      // draw one row (2DList) or one cell (3DList)
    LIST_CODE_ACTIVATE = 2,  // 3DList: a click on the current line; return 1 to have it re-rendered
    LIST_CODE_COPY = 3,      // 3DList: Ctrl+C
    LIST_CODE_CUT = 4,       // 3DList: Ctrl+X
    LIST_CODE_PASTE = 5,     // 3DList: Ctrl+V
    LIST_CODE_DONE = 6,      // after all rows of a paint (2DList), after each render (3DList)
    LIST_CODE_SELECTION = 7, // 2DList: the selection start moved
};

// WM_COMMAND wParam values the lists understand (the whole wParam). A 3DList
// hands any other value but 1-4 to its callback as the code.
enum ListCommand {
    LIST_CMD_GOTO = 5,            // 3DList: go to the line in lParam (float bits, truncated)
    LIST_CMD_DOWN = 6,            // one line down
    LIST_CMD_UP = 7,              // one line up
    LIST_CMD_DEFAULT_PANELS = 1000, // 3DList: the default fan-out (its menu's first item)
    LIST_CMD_FIRST = 1001,        // to line 1
    LIST_CMD_LAST = 1002,         // to the last line
};

// The application's drawing and notification function of both lists. info
// points at the list's List2DInfo or List3DInfo, which the callback reads
// (and must not change). Only the result of LIST_CODE_ACTIVATE is used.
typedef int32_t (*ListCallback)(void *userData, int32_t code, void *info);

// What a 2DList's callback sees: the row being drawn or reported, then the
// list's numbers.
struct List2DInfo {
    uint16_t id;              // copy of the list's id
    HWND window;              // the list's window
    int32_t line;             // line of the row being drawn or reported
    int32_t top;              // y of the row's top edge, client pixels
    HDC dc;                   // the paint DC while drawing; null outside a paint
    int32_t selected;         // 1 if the line lies in the selection
    int32_t totalLines;       // creator: number of lines (a negative count is taken as 0)
    int32_t lineHeight;       // creator: pixels per row, above 0
    int32_t visibleRows;      // full rows in the window: client height / line height
    int32_t firstVisibleLine; // line in the top row; 1 at creation
    int32_t selectionStart;   // first selected line (where the keys move from); 1 at creation
    int32_t selectionEnd;     // last selected line, inclusive; 1 at creation
};
static_assert(sizeof(List2DInfo) == 48 && offsetof(List2DInfo, window) == 4 &&
                  offsetof(List2DInfo, totalLines) == 24 && offsetof(List2DInfo, selectionEnd) == 44,
              "List2DInfo keeps the row info, then the list's numbers, in this order");

// The 2DList's creation record, copied whole into its instance record.
struct List2DRecord {
    HWND parent;           // creator: receives forwarded Tab and Escape key-downs
    HWND self;             // the list's window
    int32_t left, top;     // window rectangle's corner, screen coordinates (at WM_SIZE)
    int32_t width, height; // creator: window size in pixels; updated at WM_SIZE
    uint16_t id;           // creator: control id
    List2DInfo info;       // row info and numbers; creator fills totalLines and lineHeight
    ListCallback callback; // creator: draws the rows, hears of selection changes; not null
    void *userData;        // creator: the callback's first argument
};
static_assert(offsetof(List2DRecord, id) == 24 && offsetof(List2DRecord, info) == 28 &&
                  offsetof(List2DRecord, callback) == 76 && sizeof(List2DRecord) == 84,
              "List2DRecord keeps its fields in this order");

// The 2DList's scroll bar range is always 0 to this.
static const int LIST2D_SCROLL_RANGE = 1000;

// Creates a visible 2DList (with its vertical scroll bar) from a copy of
// record, whose parent, id, width and height this call sets. Returns the
// window, or 0: no memory, a null callback or a line height below 1.
HWND ctl_create_list2d(HWND parent, int id, int x, int y, int width, int height,
                       const List2DRecord *record);

// Most panels a 3DList shows; a creator's larger count is cut to this.
static const int LIST3D_MAX_PANELS = 16;

// One place in a 3DList's stack: slot 0 is the backmost panel.
struct ListPanelSlot {
    int32_t xOffset; // the panel's left edge minus the label width
    int32_t panel;   // the panel's number, 1 to panel count
};

// What a 3DList's callback sees: the cell being drawn or reported, then the
// list's numbers and its stack.
struct List3DInfo {
    uint16_t id;              // copy of the list's id
    HWND window;              // the list's window
    int32_t line;             // line of the cell; 0 for a panel's header
    int32_t panel;            // panel of the cell; 0 for the label column
    int32_t left, top, right, bottom; // the cell's rectangle, client pixels
    HDC dc;                   // the back buffer's DC while rendering; null otherwise
    int32_t depth;            // 0 for the label column; a panel's slot + 1 (the front is highest)
    int32_t currentLine;      // the current line at the time of the call
    int32_t totalLines;       // creator: number of lines (a negative count is taken as 0)
    int32_t labelWidth;       // creator: width of the label column; the panels start there
    int32_t headerHeight;     // creator: height of each panel's header
    int32_t panelWidth;       // creator: width of each panel
    int32_t lineHeight;       // creator: height of each row, above 0
    int32_t panelCount;       // creator: 1 to 16 (more is cut to 16)
    int32_t panelStep;        // creator: how much lower each panel sits than the one behind it
    int32_t visibleLines;     // rows per panel (0 when not even one fits)
    int32_t firstVisibleLine; // line in the first row; 1 at creation
    int32_t current;          // the current line; 1 at creation, 0 for none
    ListPanelSlot slots[LIST3D_MAX_PANELS]; // slot panelCount - 1 is the front panel
};
static_assert(offsetof(List3DInfo, dc) == 32 && offsetof(List3DInfo, currentLine) == 40 &&
                  offsetof(List3DInfo, current) == 80 && offsetof(List3DInfo, slots) == 84 &&
                  sizeof(List3DInfo) == 212,
              "List3DInfo keeps the cell info, then the list's numbers, in this order");

// The 3DList's creation record, copied into its instance record.
struct List3DRecord {
    HWND parent;           // creator: receives forwarded Tab and Escape key-downs
    HWND self;             // the list's window
    int32_t left, top;     // creator: position given to CreateWindowExA; not used
    int32_t width, height; // creator: client size; the size of the back buffer
    uint16_t id;           // creator: control id
    int32_t focused;       // 1 while the list has the keyboard focus
    List3DInfo info;       // cell info and numbers; creator fills the layout fields
    ListCallback callback; // creator: draws the cells and hears of keys and clicks; not null
    void *userData;        // creator: the callback's first argument
    RectDragger drag;      // dragging the front panel by its header
    HBITMAP backBuffer;    // width x height: the finished picture
    HBITMAP background;    // width x height: copied under every render
    HMENU menu;            // the context menu
    HBITMAP backgroundSource; // creator: picture to take the background from, or null
    int32_t sourceX, sourceY; // creator: top-left of the background piece in it
};
static_assert(offsetof(List3DRecord, focused) == 28 && offsetof(List3DRecord, info) == 32 &&
                  offsetof(List3DRecord, callback) == 244 && offsetof(List3DRecord, drag) == 252 &&
                  offsetof(List3DRecord, backgroundSource) == 324 && sizeof(List3DRecord) == 336,
              "List3DRecord keeps its fields in this order");

// Creates a visible 3DList from a copy of record, whose parent, id, left,
// top, width and height this call sets. Returns the window, or 0: no memory,
// no bitmaps, a null callback, a line height below 1, a panel count below 1
// or a negative size.
HWND ctl_create_list3d(HWND parent, int id, int x, int y, int width, int height,
                       const List3DRecord *record);

// ---------------------------------------------------------------------------
// Vgrid: a zoomable, scrollable canvas of value cells
// ---------------------------------------------------------------------------
// The application draws everything through its callback; the control maps a
// fixed logical surface to the window (zoom 50 % to 200 %, scroll bars when
// the window has WS_HSCROLL or WS_VSCROLL, dragging empty canvas pans) and
// edits its items' values with the mouse: a vertical drag changes a value
// (types 1, 2 and 4), a click flips a toggle (type 3), Ctrl+click types a
// value (types 1, 2 and 4); Ctrl+left and Ctrl+right click on empty canvas
// zoom out and in by 10 %. The item record and the list are in
// toolkit/controls/vgrid_items.h.

// Callback codes (VgridRecord.callback and VgridItem.itemCallback).
enum VgridCode {
    VGRID_CODE_CREATE = 1, // at WM_CREATE, record callback: answer 0 to refuse the window
    VGRID_CODE_PAINT = 2,  // each paint, record callback: draw the background in pixels
                           // into dc (MM_TEXT) over the client rectangle left..bottom
    VGRID_CODE_DRAW = 3,   // draw one item into dc in logical units: its rectangle is
                           // left..bottom; the item's callback, else the record's
    VGRID_CODE_CHANGED = 4, // the mouse or a dialog set the item's value: item callback only
};
// Codes 2 to 4 come only while the toolkit is running (g_toolkitActive).

static const int32_t VGRID_MIN_ZOOM = 50;        // percent
static const int32_t VGRID_MAX_ZOOM = 200;       // percent
static const int32_t VGRID_ZOOM_STEP = 10;       // percent per Ctrl+click
static const int32_t VGRID_MAX_LOGICAL = 1 << 24; // largest logical width and height
static const uint32_t VGRID_EDIT_WORD = 0x7E0;   // the dialogs' colours: black on colour 14, font 7

// Draws (drawn twice: removes) an outline whose top-left corner is the
// logical point (x, y) into dc, which is mapped and in the R2_NOT mix.
typedef void (*VgridOutlineDraw)(HDC dc, int32_t x, int32_t y, void *user);
// Hears the end of an outline drag: the button-up's MK_ flags (0 when the
// capture was taken away) and the outline's final top-left corner.
typedef void (*VgridOutlineDrop)(uint32_t flags, int32_t left, int32_t top, void *user);

// Zoom and scroll state, and the outline drag.
struct VgridView {
    HWND window;                     // the grid
    int32_t logicalWidth, logicalHeight; // window extents of the mapping
    int32_t extentX, extentY;        // viewport extents, pixels: logical size x zoomFactor
    int32_t scrollX, scrollY;        // scroll offsets, pixels, 0 to the extent
    float zoomPercent;               // 50 to 200
    float unitsPerPixel;             // 100 / zoomPercent
    float zoomFactor;                // zoomPercent x 0.01f
    int32_t lineStepX, lineStepY;    // pixels per scroll-bar arrow click: 4
    int32_t outlineActive;           // 1 while an outline drag runs
    int32_t outlineHidden;           // 1 while the outline is off the screen (a move scrolled)
    int32_t panning;                 // 1 while a pan drag runs
    int32_t panLastX, panLastY;      // last pointer position of the pan, client pixels
    VgridOutlineDraw outlineDraw;    // draws the outline; ctl_vgrid_outline_rect by default
    VgridOutlineDrop outlineDrop;    // hears the end, or null
    void *outlineUser;               // for outlineDraw (not the rectangle drawer) and outlineDrop
    int32_t outlineLeft, outlineTop; // the outline rectangle, logical units; a negative right
    int32_t outlineRight, outlineBottom; // or bottom stands for the visible width or height
    int32_t grabX, grabY;            // grabbed point minus the outline's top-left corner, logical
};
static_assert(sizeof(VgridView) == 104 && offsetof(VgridView, zoomPercent) == 28 &&
                  offsetof(VgridView, outlineDraw) == 68 && offsetof(VgridView, grabY) == 100,
              "VgridView keeps its fields in this order, 32 bits each");

// What every callback receives; the callback may read and write it.
struct VgridContext {
    HWND window;            // the grid
    uint32_t itemIndex;     // 1-based index of the item being drawn by a paint
    int32_t itemId;         // the current item's id
    uint32_t userValue;     // the record's userValue
    uint32_t itemUser;      // the current item's user
    HDC dc;                 // where to draw (codes 2 and 3)
    int32_t left, top;      // code 2: the client rectangle, pixels;
    int32_t right, bottom;  // codes 3 and 4: the item's rectangle, logical units
    float *value;           // the current item's value, then its minimum, maximum and steps
    VgridView *view;        // zoom and scroll
    int32_t logicalWidth, logicalHeight; // the logical surface, filled by the creator
    VgridItemList items;    // the items; reach them with ctl_vgrid_item
};
static_assert(offsetof(VgridContext, dc) == 20 && offsetof(VgridContext, value) == 40 &&
                  offsetof(VgridContext, items) == 56 && sizeof(VgridContext) == 80,
              "VgridContext keeps its fields in this order, 32 bits each");

// The creation record: the creator fills parent, userValue, callback and
// context.logicalWidth and logicalHeight (1 to VGRID_MAX_LOGICAL each) and
// passes its address to CreateWindowExA; the control copies it into its own
// record and sets up the rest.
struct VgridRecord {
    HWND parent;             // owner of the edit box and the time dialog (null: the grid)
    uint32_t userValue;      // the application's, copied into the context
    VgridCallback callback;  // drawing and events; null draws nothing and refuses nothing
    int32_t focused;         // 1 while the grid has the focus
    VgridContext context;    // handed to every callback
    float zoom;              // zoom in percent, changed by Ctrl+clicks and ctl_vgrid_set_zoom
    int32_t pressActive;     // 1 while an item is held down
    int32_t pressButton;     // 1: the press is the left button's, 0: the right one's
    VgridItem *pressedItem;  // the item held down
    int32_t lastX, lastY;    // last pointer position of the press, client pixels
    int32_t zoomByClick;     // 1: Ctrl+clicks on empty canvas zoom; 1 at creation
    int32_t panByDrag;       // 1: dragging empty canvas pans; 1 at creation
};
static_assert(offsetof(VgridRecord, context) == 16 && offsetof(VgridRecord, zoom) == 96 &&
                  offsetof(VgridRecord, pressedItem) == 108 && sizeof(VgridRecord) == 128,
              "VgridRecord keeps its fields in this order, 32 bits each");

// Creates a visible Vgrid child of the toolkit's application instance with
// the extra styles given (WS_HSCROLL, WS_VSCROLL, WS_BORDER, ...). Returns
// the window, or 0 when a logical size is outside 1 to VGRID_MAX_LOGICAL,
// memory runs out or the callback answers 0 to code 1.
HWND ctl_create_vgrid(HWND parent, int id, int x, int y, int width, int height, DWORD style,
                      int32_t logicalWidth, int32_t logicalHeight, VgridCallback callback,
                      uint32_t userValue);
// The grid's live record (zoomByClick, panByDrag, the view...), or 0 when
// grid is not a Vgrid.
VgridRecord *ctl_vgrid_record(HWND grid);

// Adds a copy of item (from code 1 on) and repaints it if it shows. Returns
// its index (1, 2, ...), or 0 when it is refused: left >= right or top >=
// bottom, a type above 4, a NaN value, limit or step, a minimum above the
// maximum, a type 4 item whose minimum is not above 0, VGRID_MAX_ITEMS items
// already, or no memory. The value is clamped to the limits. Items never
// move: an item's address stays good until the list is cleared, and its
// rectangle is fixed once added.
uint32_t ctl_vgrid_add(HWND grid, const VgridItem *item);
// Removes every item and repaints. A press on an item ends. Callbacks that
// run meanwhile may still read the item they were given.
void ctl_vgrid_clear(HWND grid);
// The number of items (0 for a window that is not a Vgrid).
uint32_t ctl_vgrid_count(HWND grid);
// Item index (1 to the count), or 0; it becomes the list's last fetched.
VgridItem *ctl_vgrid_item(HWND grid, uint32_t index);
// Sets item index's value, clamped to its limits, and redraws it; no code
// 4. Returns 1, or 0 for no such item, a NaN value or a stopped toolkit.
int ctl_vgrid_set_value(HWND grid, uint32_t index, float value);
// Zooms to percent, limited to 50-200, keeping the logical point at the
// top-left corner. Returns 1, or 0 for a NaN percent or no grid.
int ctl_vgrid_set_zoom(HWND grid, float percent);

// Starts an outline drag of the logical rectangle (left, top, right,
// bottom) grabbed at client point (x, y): the outline is drawn at once,
// follows the pointer (scrolling the view when it leaves it) and is
// reported to drop when a button comes up. draw null draws the rectangle.
// Returns 1, or 0 while an item press, a pan or another outline drag runs.
int ctl_vgrid_outline_begin(HWND grid, int32_t left, int32_t top, int32_t right, int32_t bottom,
                            int x, int y, VgridOutlineDraw draw, VgridOutlineDrop drop,
                            void *user);
// The rectangle drawer: user is the grid's view; draws its outline
// rectangle with the black pen and no brush.
void ctl_vgrid_outline_rect(HDC dc, int32_t x, int32_t y, void *user);

// ---------------------------------------------------------------------------
// Rotatif knob
// ---------------------------------------------------------------------------
// A bitmap face with a drawn pointer bar that turns clockwise from the start
// angle to the end angle as the value rises; its value model is a ValueScale
// and its style word takes the knob style flags (EditNumber, EditTime,
// DecibelDisplay, NoValueEdit, ShortPointer, SpringReturn).

// g_rotMode bits, shared by every knob of the process ("Rot_Mode").
static const int32_t ROT_MODE_INVERSE = 1; // linear drag: down raises; wheel: back raises
static const int32_t ROT_MODE_ANGULAR = 2; // the pointer follows the mouse around the centre

// NotifyTarget.flags of a knob: every step of a drag, key or wheel notifies
// (without it only the end of a drag and the explicit set operations do).
static const uint32_t ROT_NOTIFY_CONTINUOUS = CTL_NOTIFY_CONTINUOUS;

// RotatifRecord.look
static const uint32_t ROT_ROUND = 1; // the face is drawn through a round mask of diameter width

static const int ROT_MAX_PRESETS = 16; // presets the record holds

// Commands of the knob (WM_COMMAND, low word of wParam), beside the value
// commands 1-4. The menu items carry the same ids.
enum RotatifCommand {
    ROT_CMD_INVERSE_MODE = 10,  // menu: toggles ROT_MODE_INVERSE while not angular
    ROT_CMD_ANGULAR_MODE = 12,  // menu: toggles ROT_MODE_ANGULAR
    ROT_CMD_CURRENT = 50,       // menu: the "Current value : " line (disabled)
    ROT_CMD_DEFAULT = 100,      // reset to the default; notifies
    ROT_CMD_MINIMUM = 101,      // set the minimum; notifies
    ROT_CMD_MAXIMUM = 102,      // set the maximum; notifies
    ROT_CMD_EDIT = 103,         // the edit operation (edit box or time dialog)
    ROT_CMD_ADJUST = 104,       // opens the adjust popup
    ROT_CMD_POPUP_CLOSED = 105, // from the adjust popup as it closes: forget it
    ROT_CMD_PRESET = 600,       // 600 + i sets presets[i] (i < presetCount); notifies
};

// The creation record, copied whole into the knob's instance record at
// WM_CREATE; the fields marked "set by the knob" are overwritten there.
struct RotatifRecord {
    HWND parent;             // owner: gets forwarded Tab and Escape, owns the dialogs
    HWND self;               // the knob's window (set by the knob)
    HWND popup;              // the adjust popup open for this knob, or null (set by the knob)
    uint16_t id;             // control id in notifications
    int32_t enabled;         // 1 = enabled (set to 1 by the knob)
    int32_t focused;         // 1 while it has the focus (set to 0 by the knob)
    int32_t dragging;        // 1 while a left-button drag holds the capture (set to 0)
    int32_t width, height;   // face size; every blit covers (0, 0, width, height)
    HBITMAP faceBitmap;      // the face
    HBITMAP pressedBitmap;   // face while dragging; null: faceBitmap
    HBITMAP disabledBitmap;  // drawn over the face while disabled; null: the toolkit cross
    uint16_t startDegrees;   // angle of the minimum: 0 right, counter-clockwise positive
    uint16_t endDegrees;     // angle of the maximum
    uint32_t look;           // ROT_ROUND, or anything else for rectangular
    uint32_t style;          // knob style flags (EditNumber ... SpringReturn)
    int32_t centreX, centreY; // pivot of the pointer, client pixels; anchor of the dialogs
    NotifyTarget notify;     // where changes go; ROT_NOTIFY_CONTINUOUS in its flags
    ValueScale scale;        // range, default, step, decimals, current value, angles
    int32_t pointerLength;   // length L of the pointer bar, pixels
    int32_t pointerWidth;    // width W of the pointer bar, pixels
    uint16_t pointerPen;     // toolkit pen of the bar's outline
    uint16_t pointerBrush;   // toolkit brush of the bar's fill
    float pointerAngle;      // radians, where the bar is drawn now (set by the knob)
    float sweep;             // clockwise arc from start to end, radians (set by the knob)
    float deadMiddle;        // middle of the dead arc, clockwise from the start (set by the knob)
    int32_t lastX, lastY;    // last mouse position seen, client pixels
    HBITMAP mask;            // the round mask of a round knob (set by the knob)
    HMENU menu;              // context menu (built by the knob)
    uint16_t presetCount;    // presets in use, at most 16 (more are read as 16)
    float presets[ROT_MAX_PRESETS]; // values set by commands 600 + i
};
static_assert(offsetof(RotatifRecord, id) == 12 && offsetof(RotatifRecord, enabled) == 16 &&
                  offsetof(RotatifRecord, faceBitmap) == 36 &&
                  offsetof(RotatifRecord, startDegrees) == 48 &&
                  offsetof(RotatifRecord, endDegrees) == 50 && offsetof(RotatifRecord, look) == 52 &&
                  offsetof(RotatifRecord, notify) == 68 && offsetof(RotatifRecord, scale) == 84 &&
                  offsetof(RotatifRecord, pointerLength) == 128 &&
                  offsetof(RotatifRecord, pointerPen) == 136 &&
                  offsetof(RotatifRecord, pointerBrush) == 138 &&
                  offsetof(RotatifRecord, pointerAngle) == 140 &&
                  offsetof(RotatifRecord, menu) == 164 &&
                  offsetof(RotatifRecord, presetCount) == 168 &&
                  offsetof(RotatifRecord, presets) == 172 && sizeof(RotatifRecord) == 236,
              "RotatifRecord keeps its fields in this order");

// Creates a visible knob of the toolkit's application instance from a copy
// of record, with the given parent, id and position. A width of 0 takes width
// and height from record->faceBitmap. Returns the window, or 0.
HWND ctl_create_rotatif(HWND parent, int id, int x, int y, const RotatifRecord *record);

// ---------------------------------------------------------------------------
// Adjust-value popup
// ---------------------------------------------------------------------------
// A small modeless window, "Adjust Value", with three tape scales (coarse,
// medium, fine) centred on a knob's value: dragging in a column moves the
// value by that column's step per pixel and sends it at once to the knob
// (command 4) and to its owner. It holds the mouse capture while open and
// closes on a click outside, a right or middle click, Escape, WM_CANCELMODE
// or WM_CLOSE, sending its close command to the knob.

static const int ADJUST_W = 231;         // client width when opened
static const int ADJUST_H = 320;         // client height when opened
static const int ADJUST_SWITCH_ID = 100; // the "Inverse mousemove mode" switch

// The popup's state: filled by ctl_adjust_popup, copied to a heap block of
// the popup's own at WM_INITDIALOG and reached through its DWL_USER slot.
struct AdjustPopupState {
    int32_t x, y;             // screen position of the window's corner
    int32_t width, height;    // 231 and 320, then the client size w and h
    uint32_t style;           // the knob's style flags; only DecibelDisplay is read
    HGLOBAL templ;            // the in-memory dialog template, freed at WM_DESTROY
    uint16_t closeCommand;    // sent to control as the popup goes (the knob's 105)
    HWND control;             // the knob: command 4 with each value, then closeCommand
    NotifyTarget notify;      // where notifications go: a copy of the opener's target,
                              // so that it never points into a record already freed
    const ValueScale *scale;  // the knob's scale, read only while opening
    uint16_t id;              // the knob's id in notifications
    float value;              // working value; in decibel mode in decibels
    float minimum, maximum;   // working limits, minimum <= maximum (decibels in decibel mode)
    float step1, step2, step3; // value change per pixel: coarse, medium, fine column
    float range;              // maximum - minimum
    int32_t column2Left;      // w / 3
    int32_t column3Left;      // w / 3 * 2
    int32_t columnWidth;      // w / 3 - 1
    int32_t tapeHeight;       // h - 40
    int32_t centreRow;        // tapeHeight / 2: the row of the value
    HWND previousCapture;     // capture owner before the popup took it, or null
    int32_t activeColumn;     // 0 none, 1 coarse, 2 medium, 3 fine
    int32_t lastX, lastY;     // previous mouse position of a drag in a column
    HBITMAP tapeBitmap;       // the three tapes, w x (h - 40)
    WindowMover mover;        // drags the popup by its title row and the space below the tapes
    int32_t decimals;         // decimals of every number shown, 1-5
    HWND switchWindow;        // the "Inverse mousemove mode" lamp, id 100
    float sendMinimum;        // what is sent is kept within these: the knob's own limits
    float sendMaximum;        //   (decibel-mode limits are whole decibels inside them)
};

// Opens the popup for control at screen point (x, y) (an open one is closed
// first) over a copy of the scale's range and value and of target. Each
// adjusted value goes to control as command 4 and to target; closeCommand
// goes to control as the popup goes (while the toolkit runs). Returns the
// popup, or 0 when it cannot be made.
HWND ctl_adjust_popup(HWND owner, HWND control, uint32_t style, int x, int y,
                      uint16_t closeCommand, const NotifyTarget *target, uint16_t id,
                      const ValueScale *scale);
// Draws the three tapes into state->tapeBitmap: scale, labels, ticks, the
// hatching beyond the range and the value's box on each. Nothing without a
// bitmap.
void ctl_adjust_draw(const AdjustPopupState *state);
// The decade of x: log10(x) rounded away from zero to a whole number (100
// gives 2, 127 gives 3, 0.5 gives -1); figures within a few parts per
// million of a power of ten count as that power. 0 for 0, a negative x or NaN,
// 38 for infinity.
int ctl_decade(float x);
// The popup's dialog procedure. WM_INITDIALOG's lParam is the state to copy;
// without one (or without memory) the set-up fails and the popup closes at
// once, having no state.
INT_PTR CALLBACK ctl_adjust_proc(HWND popup, UINT message, WPARAM wParam, LPARAM lParam);


// ---------------------------------------------------------------------------
// Time-entry dialog
// ---------------------------------------------------------------------------
// A modal dialog that shows one time in every unit of the time context at
// once: seconds, milliseconds, frequency, tempo of period, distance, samples,
// a note duration, a bar / beat / tick position and a video frame. Typing
// into any field converts at once and rewrites the others. It edits the
// process's time context (g_timeContext, saved as "Dial_tCtx" at the final
// shutdown) in place; Cancel puts the context back as it was at the opening.

// Child ids (the dialog's controls, in Tab order: 10, 11, 12, 13, 50, 51, 14,
// 63, 60, 61, 62, 70, 71, 15, 1, 2, 3).
enum CtlTimeDialogId {
    CTL_TD_OK = 1,               // "OK" (also Enter): returns the seconds
    CTL_TD_CANCEL = 2,           // "Cancel" (also Escape): restores the context
    CTL_TD_APPLY = 3,            // "Apply": the time becomes the note duration
    CTL_TD_SECONDS = 10,         // edit, "%.6f" seconds
    CTL_TD_MILLISECONDS = 11,    // edit, "%.3f" milliseconds
    CTL_TD_FREQUENCY = 12,       // edit, "%.3f" Hz (1 / seconds)
    CTL_TD_TEMPO_OF_PERIOD = 13, // edit, "%.3f" bpm (60 / seconds)
    CTL_TD_TEMPO = 14,           // edit, the context's tempo, "%.3f"
    CTL_TD_REPLACE = 15,         // lamp switch: a picked note replaces the duration
    CTL_TD_DISTANCE = 50,        // edit, "%.3f" metres at 330 m/s
    CTL_TD_SAMPLES = 51,         // edit, "%.0f" samples at the context's sample rate
    CTL_TD_TICKS = 60,           // edit, ticks per beat "%04i", kept in 1-99999
    CTL_TD_BEATS_PER_BAR = 61,   // list box, items 64 down to 1
    CTL_TD_BEAT_UNIT = 62,       // list box, items 16, 8, 4, 2, 1
    CTL_TD_POSITION = 63,        // edit, "bar / beat / tick"
    CTL_TD_FRAME = 70,           // edit, "%.3f" video frame
    CTL_TD_FRAME_RATE = 71,      // edit, frames per second "%.3f"
};

static const int CTL_TD_CLIENT_W = 544;   // client area of the dialog
static const int CTL_TD_CLIENT_H = 220;
static const int CTL_TD_FIELD_TEXT = 128; // bytes a field's text is read into (126 characters kept)
// The colour word the toolkit's controls open the dialog with: black text on
// palette colour 14 in font 7.
static const uint32_t CTL_TD_CONTROL_WORD = 0x7E0;

// The state of one open dialog. It lives on the stack of the ctl_time_dialog
// call that opened it and is reached through the dialog's DWL_USER slot.
struct TimeDialogState {
    int32_t busy;              // 1 while the dialog writes its own fields (EN_CHANGE ignored)
    int32_t x, y;              // screen position asked by the caller
    int32_t width, height;     // window size: the client size plus twice the dialog frame
    uint32_t colourWord;       // bits 0-3 field text colour, 4-7 field background, 8-11 field font
    TimeContext *context;      // the process's time context, edited in place
    TimeContext snapshot;      // the context as it was at the opening; Cancel writes it back
    uint16_t fontIndex;        // bits 8-11 of the colour word
    HWND secondsEdit;          // CTL_TD_SECONDS
    HWND millisecondsEdit;     // CTL_TD_MILLISECONDS
    HWND frequencyEdit;        // CTL_TD_FREQUENCY
    HWND tempoOfPeriodEdit;    // CTL_TD_TEMPO_OF_PERIOD
    HWND tempoEdit;            // CTL_TD_TEMPO
    HWND replaceSwitch;        // CTL_TD_REPLACE
    HWND okButton;             // CTL_TD_OK
    HWND cancelButton;         // CTL_TD_CANCEL
    HWND applyButton;          // CTL_TD_APPLY
    HWND distanceEdit;         // CTL_TD_DISTANCE
    HWND samplesEdit;          // CTL_TD_SAMPLES
    HWND ticksEdit;            // CTL_TD_TICKS
    HWND beatsPerBarList;      // CTL_TD_BEATS_PER_BAR
    HWND beatUnitList;         // CTL_TD_BEAT_UNIT
    HWND positionEdit;         // CTL_TD_POSITION
    HWND frameEdit;            // CTL_TD_FRAME
    HWND frameRateEdit;        // CTL_TD_FRAME_RATE
    float value;               // the caller's seconds at the opening; then the result
    TimeValues views;          // the time shown, in every kept unit
    int32_t pressedNote;       // note cell 0-14 held with the mouse, -1 for none
    int32_t column2X, column2Y; // top-left of the note palette (180, 25)
    int32_t column3X, column3Y; // top-left of the position column (360, 25)
    WindowMover drag;          // moves the dialog when its background is dragged
    HGLOBAL dialogTemplate;    // the in-memory template, freed when the dialog goes
    HWND owner;                // the caller's window: its destruction ends the dialog
    int32_t ended;             // 1 once the dialog has ended: later ends change nothing
};

// Opens the time-entry dialog with its top-left corner at screen point
// (x, y) (moved only as far as needed to be wholly on the screen), showing
// seconds, for owner (which it disables while open; may be null). The
// fields take the colours and font of colourWord (the toolkit's controls pass
// CTL_TD_CONTROL_WORD). Waits until the dialog closes and returns:
// - the time in seconds, after OK or Enter (the context keeps its changes);
// - CTL_TIME_CANCEL (-1e35), after Cancel or Escape (the context is put back
//   as it was), or when the dialog was closed otherwise: WM_CLOSE, a second
//   ctl_time_dialog (which closes the open one first), the toolkit's final
//   shutdown, or the destruction of owner or of a window holding it (in
//   those cases the context keeps its changes). Also CTL_TIME_CANCEL at once
//   when the toolkit is not running or the dialog cannot be made.
// A control that opens it for itself checks IsWindow on itself after the
// call before it touches its own record: it may have been destroyed. Only one
// time-entry dialog is open at a time (g_openTimeDialog).
float ctl_time_dialog(HWND owner, uint32_t colourWord, int x, int y, float seconds);

// Draws the duration strip of context's note sequence into dc: a sunken
// black box from (X - 1, Y + 135) to (X + 161, Y + 169), each note of the
// sequence (at most five) as its picture inverted, 30 pixels apart, and a
// tie mark between notes; (X, Y) is state's note-palette origin (column2X,
// column2Y), or (180, 25) when state is null. Leaves toolkit pen 13 selected.
void ctl_duration_draw(HDC dc, const TimeContext *context, const TimeDialogState *state);
