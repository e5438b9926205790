// Helpers for window tests under Wine: pumping messages, posting mouse and
// key messages at client points, real input through SendInput, reading
// pixels, a host window, a clean registry key per test and the toolkit's
// start and stop around a test. Plain functions, no GoogleTest inside.
#pragma once
#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

// ---------------------------------------------------------------------------
// Messages
// ---------------------------------------------------------------------------

// Dispatches every queued message until the queue is empty. Returns how many.
int harness_pump(void);
// Dispatches messages as they come for ms milliseconds.
void harness_pump_for(DWORD ms);
// Dispatches messages until done(data) returns true or ms milliseconds pass.
// Returns 1 when done came true, 0 on time-out.
int harness_pump_until(bool (*done)(void *data), void *data, DWORD ms);
// Removes the first queued message for window in [first, last] without
// dispatching it. Returns 1 and the message, or 0 when there is none.
int harness_take_message(HWND window, UINT first, UINT last, MSG *out);

// ---------------------------------------------------------------------------
// Input. Posted messages go straight to the window's queue (no activation,
// no focus change); harness_input_* go through the system's input path like
// a real mouse or keyboard, with WM_MOUSEACTIVATE and focus changes.
// ---------------------------------------------------------------------------

// Posts a mouse message (WM_LBUTTONDOWN, WM_MOUSEMOVE, ...) at client point
// (x, y) with the MK_ flags in keys.
void harness_post_mouse(HWND window, UINT message, int x, int y, WPARAM keys);
// Posts a left click (down with MK_LBUTTON, up without) and pumps.
void harness_click(HWND window, int x, int y);
// Posts WM_KEYDOWN or WM_KEYUP for the virtual key with a real lParam: repeat
// count 1, scan code, extended-key bit, previous state and transition bits.
void harness_post_key(HWND window, UINT vk, bool down);
// Posts a key-down, pumps, posts the key-up and pumps (so WM_CHAR comes
// between them, as with a real key).
void harness_press_key(HWND window, UINT vk);
// The lParam of a key message as the system builds it.
LPARAM harness_key_lparam(UINT vk, bool down);

// Moves the real pointer to client point (x, y) of window and presses and
// releases the left button (or the right one) there with SendInput, then pumps.
void harness_input_click(HWND window, int x, int y, bool right = false);

// ---------------------------------------------------------------------------
// Pixels
// ---------------------------------------------------------------------------

// UpdateWindow, then the pixel at client point (x, y) of the window's DC
// (CLR_INVALID outside the visible area).
COLORREF harness_pixel(HWND window, int x, int y);

// An off-screen 32-bit drawing surface for testing drawing code.
struct HarnessCanvas {
    HDC dc;         // memory DC with the bitmap selected
    HBITMAP bitmap; // width x height DIB section
    HGDIOBJ old;    // the DC's bitmap before ours
    int width;      // pixels
    int height;     // pixels
};
// Makes a canvas filled with colour. Returns 1, or 0 when GDI fails.
int harness_canvas_make(HarnessCanvas *canvas, int width, int height, COLORREF colour);
COLORREF harness_canvas_pixel(const HarnessCanvas *canvas, int x, int y);
void harness_canvas_free(HarnessCanvas *canvas);

// A bitmap of the screen's format filled with one colour; the caller deletes it.
HBITMAP harness_solid_bitmap(int w, int h, COLORREF colour);

// ---------------------------------------------------------------------------
// Windows
// ---------------------------------------------------------------------------

// A visible top-level window with a client area of width x height at (x, y),
// painted in colour; its procedure does default processing. It is shown
// without being activated (under Wine without a window manager, destroying a
// window that was ever active costs two seconds).
HWND harness_create_host(int width, int height, COLORREF colour = RGB(0, 128, 0), int x = 40,
                         int y = 40);

// One message seen by a window procedure or callback.
struct LoggedMessage {
    UINT message;  // WM_ code
    WPARAM wParam; // as received
    LPARAM lParam; // as received
    int step;      // harness_log_step value when it came
};
// A log that callbacks append to.
struct MessageLog {
    std::vector<LoggedMessage> items; // in arrival order
    int step = 0;                     // a marker the test moves forward
};
void harness_log(MessageLog *log, UINT message, WPARAM wParam, LPARAM lParam);
// The logged codes that are among keep, in order: for comparing with a
// static const array of expected messages.
std::vector<UINT> harness_log_codes(const MessageLog *log, std::initializer_list<UINT> keep);
// Index of the first logged message with this code, or -1.
int harness_log_find(const MessageLog *log, UINT message);

// ---------------------------------------------------------------------------
// The time-entry dialog, answered from inside its own loop
// ---------------------------------------------------------------------------

// What a control's time-entry dialog showed and what the test answered.
struct TimeDialogAnswer {
    const char *seconds; // typed into the seconds field before OK; null: Cancel
    char shown[64];      // the seconds field's text when the dialog opened
    int opened;          // how many dialogs were answered
};
// Arms a timer that answers every time-entry dialog that opens while the test
// waits (until harness_time_dialog_disarm). Returns the timer.
UINT_PTR harness_time_dialog_arm(TimeDialogAnswer *answer);
void harness_time_dialog_disarm(UINT_PTR timer);

// ---------------------------------------------------------------------------
// Registry and the toolkit
// ---------------------------------------------------------------------------

// A toolkit application of one test: a unique name and its registry key.
struct HarnessApp {
    char name[64];     // application name given to ctl_init
    char keyPath[128]; // "Varkel_Audio\QK2CTL\<name>" under HKEY_CURRENT_USER
};

// Picks a name unique in this process from tag and clears its key.
void harness_app_begin(HarnessApp *app, const char *tag);
// Deletes the application's key and everything under it.
void harness_app_end(HarnessApp *app);

// Deletes HKEY_CURRENT_USER\path with its subkeys and values. Returns 1 when
// the key is gone (or never existed).
int harness_delete_key(const char *path);
// Stores a value of any type under HKEY_CURRENT_USER\path, creating the key.
int harness_reg_set(const char *path, const char *name, DWORD type, const void *data,
                    DWORD size);
// Reads a value: its bytes, type and size. Returns 1, or 0 when missing.
int harness_reg_get(const char *path, const char *name, DWORD *type, std::vector<uint8_t> *data);
// 1 when the key exists.
int harness_key_exists(const char *path);

// The test program's own instance (the toolkit bitmaps are linked into it).
HINSTANCE harness_instance(void);
// harness_app_begin, then ctl_init with the app's name. Returns ctl_init's result.
int harness_toolkit_start(HarnessApp *app, const char *tag);
// ctl_shutdown, then harness_app_end.
void harness_toolkit_stop(HarnessApp *app);
