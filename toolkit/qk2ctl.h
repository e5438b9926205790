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
//           5. I2p button  6. drag helpers  7. edit-value dialog
//           8. time-entry dialog
#pragma once
#include <windows.h>
#include <cstddef>
#include <cstdint>

#include "toolkit/controls/value_scale.h"
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
HBITMAP ctl_round_mask(HWND window, int diameter);

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
