// The calculator's window side: the entry and main window (main_window.cpp),
// the display panel (display.cpp), the keypad and keyboard (keypad.cpp) and
// the about box (about.cpp). They share the process-wide values below, all
// owned by the main window's module (except the about box's capture owner,
// which about.cpp owns) and touched only by the window thread.
#pragma once
#include <windows.h>

#include <array>

#include "app/calc_engine.h"

// ---------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------

#define APP_MAIN_CLASS "w_principale"
#define APP_TITLE "Keldoran"         // window title and the toolkit's application name

static const COLORREF APP_LCD_COLOUR = RGB(148, 179, 158);

// Resource ids of the program's pictures and icon.
enum AppResource {
    APP_ICON = 100,
    APP_BMP_KEYPAD = 500,  // 200 x 158
    APP_BMP_DISPLAY = 501, // 200 x 119
    APP_BMP_ABOUT = 502,   // 443 x 262
};

// Client layout of the main window.
static const int APP_CLIENT_W = 200;
static const int APP_CLIENT_H = 297;
static const int APP_DISPLAY_H = 119;    // display panel at y 0
static const int APP_RESULT_Y = 119;     // result line
static const int APP_RESULT_H = 21;
static const int APP_KEYPAD_Y = 140;     // keypad panel
static const int APP_KEYPAD_H = 158;
static const int APP_RESULT_ID = 10;     // control id of the result line
static const int APP_ABOUT_W = 443;
static const int APP_ABOUT_H = 262;

// Commands the window's system menu gains (multiples of 16 below 0xF000:
// the system keeps the low four bits of WM_SYSCOMMAND's wParam).
enum AppMenuCommand {
    APP_CMD_COPY = 0x0010,   // "Copy\tCtrl+C": the result line to the clipboard
    APP_CMD_PASTE = 0x0020,  // "Paste\tCtrl+V": the clipboard's text typed
    APP_CMD_ON_TOP = 0x0030, // "Always on top", checked while on; not stored
    APP_CMD_ABOUT = 0x0040,  // "About Keldoran…": the about box at the window's centre
};

// Key code that opens the about box (codes 0..20 go to the engine).
static const int APP_CODE_ABOUT = CALC_KEY_ABOUT;
static const int APP_KEY_COUNT = 22;

// Key rectangles of the keypad picture, indexed by key code; 21 is the logo
// area. A point hits a key only strictly inside (edges belong to no key).
inline constexpr std::array<RECT, APP_KEY_COUNT> APP_KEY_RECTS = {{
    {11, 93, 39, 112},   // 0
    {11, 64, 39, 83},    // 1
    {49, 65, 77, 83},    // 2
    {86, 65, 114, 84},   // 3
    {12, 34, 40, 54},    // 4
    {49, 35, 77, 54},    // 5
    {87, 36, 115, 54},   // 6
    {12, 5, 40, 24},     // 7
    {50, 5, 77, 24},     // 8
    {87, 6, 115, 24},    // 9
    {124, 6, 153, 25},   // DEL
    {162, 6, 190, 25},   // AC
    {124, 36, 153, 55},  // ×
    {162, 36, 190, 55},  // ÷
    {124, 65, 152, 84},  // +
    {162, 65, 189, 84},  // −
    {49, 94, 77, 113},   // .
    {86, 94, 114, 113},  // H
    {124, 95, 152, 114}, // mn
    {162, 95, 189, 114}, // S
    {124, 132, 189, 151}, // Enter
    {9, 118, 117, 154},  // logo area: about box
}};

// Display layout: the newest tape line's top row; older lines sit 16 higher.
static const int APP_TAPE_LEFT = 41;
static const int APP_TAPE_RIGHT = 176;
static const int APP_TAPE_NEWEST_TOP = 91;
static const int APP_TAPE_LINE_STEP = 16;
static const int APP_TAPE_LINE_H = 17;
static const int APP_RULE_LEFT = 51;

// One operator indicator of the display: its box and its character.
struct IndicatorLook {
    int op;           // operator code 12..15
    RECT box;         // Rectangle coordinates
    POINT textAt;     // TextOutA origin of the character
    int font;         // toolkit font of the character
    const char *text; // the character
};

inline constexpr std::array<IndicatorLook, 4> APP_INDICATORS = {{
    {CALC_KEY_ADD, {27, 33, 40, 46}, {29, 30}, 7, "+"},
    {CALC_KEY_SUB, {27, 48, 40, 61}, {31, 45}, 7, "-"},
    {CALC_KEY_MUL, {27, 63, 40, 76}, {31, 62}, 5, "x"},
    {CALC_KEY_DIV, {27, 78, 40, 91}, {33, 77}, 5, ":"},
}};

// ---------------------------------------------------------------------------
// Process-wide values
// ---------------------------------------------------------------------------

extern HINSTANCE g_instance;       // application instance (resources, classes, dialogs)
extern HWND g_mainWindow;          // the calculator window; receives every key code
extern HBITMAP g_keypadPicture;    // bitmap 500, loaded at WM_CREATE
extern HBITMAP g_displayPicture;   // bitmap 501, loaded at WM_CREATE
extern HBITMAP g_aboutPicture;     // bitmap 502, loaded at WM_CREATE
extern HBRUSH g_lcdBrush;          // solid brush of the LCD colour
extern POINT g_aboutAnchor;        // screen point where the next about box opens
extern CalcState g_calc;           // the engine's state; display and keypad read it
extern HWND g_aboutCaptureOwner;   // about.cpp: capture owner saved by the open about box
extern int g_refusedPastes;        // clipboard.cpp: pastes refused with a beep so far

// ---------------------------------------------------------------------------
// Entry and main window (main_window.cpp)
// ---------------------------------------------------------------------------

// The whole program: brush, class, window, message loop, clean-up. Shows the
// "Sorry" box and returns 0 when the class or the window cannot be made;
// otherwise returns the WM_QUIT code.
int app_run(HINSTANCE instance);

// Registers `w_principale`. Returns 1, or 0 when RegisterClassA fails.
int app_register_main_class(HINSTANCE instance);
// Creates the main window (the class must be registered); stores it in
// g_mainWindow. Returns the window, or 0 when creation failed (also when the
// toolkit could not start).
HWND app_create_main_window(HINSTANCE instance);
// Creates the LCD brush (g_lcdBrush).
void app_create_lcd_brush(void);
// Deletes the three pictures and the LCD brush, those that exist.
void app_delete_resources(void);

LRESULT CALLBACK app_main_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Shows the engine's state: the result line's text and the display, each
// only when it differs from what is shown, and at once: the static control
// paints a new text itself, the display is redrawn through GetDC.
void app_show_state(void);

// ---------------------------------------------------------------------------
// Display panel (display.cpp)
// ---------------------------------------------------------------------------

// Free panel callback of the display; user data is the CalcState.
LRESULT app_display_callback(HWND panel, UINT message, WPARAM wParam, LPARAM lParam,
                             void *userData);
// Draws the tape lines and the lit indicator of s (the face is not drawn).
void app_paint_display(HDC dc, const CalcState *s);
// Draws the whole display at once through GetDC: face, lines, indicator.
void app_redraw_display(HWND panel, const CalcState *s);
// 1 when the display would paint something else than it last painted (the
// tape lines shown or the lit indicator differ), or has not painted yet.
int app_display_changed(const CalcState *s);
// Frees the display's back buffer (the display panel's WM_DESTROY does).
void app_display_release(void);
// How many tape lines the display has moved up in its back buffer instead
// of drawing them again, since the program started.
int app_display_lines_moved(void);

// ---------------------------------------------------------------------------
// Keypad and keyboard (keypad.cpp)
// ---------------------------------------------------------------------------

// Free panel callback of the keypad; user data is the CalcState.
LRESULT app_keypad_callback(HWND panel, UINT message, WPARAM wParam, LPARAM lParam,
                            void *userData);
// The key whose rectangle holds (x, y) strictly inside; the last one wins.
// Returns -1 for a point between the keys.
int app_hit_key(int x, int y);
// The key code of a virtual key, or -1 when the key is not mapped.
int app_key_for_vk(WPARAM vk);
// Draws key `key` of the keypad panel pressed (shifted one pixel up-left) or normal.
void app_draw_key(HWND keypad, int key, int pressed);
// The keyboard mapping: a WM_KEYDOWN of a mapped key draws the key pressed
// and, with `post` set, posts its code to `target`. A WM_KEYUP or
// WM_SYSKEYUP draws normal the key it maps to and every key the keyboard
// drew pressed with the same scan code (the numeric keypad's 5 goes down as
// VK_NUMPAD5 and may come up as VK_CLEAR once NumLock changed).
void app_keyboard(HWND target, UINT message, WPARAM vk, LPARAM lParam, int post);
// A panel's WM_SYSKEYUP (a key released while Alt is down): the key's look
// as for WM_KEYUP, then the system's own handling of the panel.
LRESULT app_panel_syskeyup(HWND panel, const CalcState *s, WPARAM vk, LPARAM lParam);
// Draws normal every key the keyboard drew pressed (focus lost, a mouse press
// elsewhere). Keys held by the mouse stay.
void app_release_keyboard_keys(void);
// Ends every press: the keyboard's keys and a key held by the mouse, whose
// capture is let go without being handed back and which sends no code.
void app_release_keys(void);
// ---------------------------------------------------------------------------
// About box (about.cpp)
// ---------------------------------------------------------------------------

// Stores the about anchor (a client point of `window`, signed words of
// lParam, made a screen point) and posts code 21 to the main window.
void app_request_about(const CalcState *s, HWND window, LPARAM clientPoint);
// Stores the anchor that centres the about box on the window and posts code
// 21 to the main window.
void app_request_about_centred(HWND window);
// Opens the modeless about box at g_aboutAnchor. Nothing is reported on failure.
void app_open_about(void);
INT_PTR CALLBACK app_about_proc(HWND box, UINT message, WPARAM wParam, LPARAM lParam);

// ---------------------------------------------------------------------------
// Clipboard (clipboard.cpp)
// ---------------------------------------------------------------------------

// Puts the result line's text (Ctrl+C) or the whole tape as shown (Ctrl+Shift+C,
// calc_tape_copy_text) on the clipboard as CF_TEXT; the engine is not
// touched. Returns 1, or 0 when there is nothing to copy or another program
// holds the clipboard open.
int app_copy_result(void);
int app_copy_tape(void);

// What a paste did.
enum AppPasteOutcome {
    APP_PASTE_NOTHING = 0, // no text on the clipboard, or it is held open elsewhere
    APP_PASTE_TYPED = 1,   // the text's keys were typed
    APP_PASTE_REFUSED = 2, // the text was refused whole, with one beep
};
// Types the clipboard's text (CF_UNICODETEXT, or CF_TEXT when only that is
// there) as calc_paste reads it and shows the result.
AppPasteOutcome app_paste(void);
// The clipboard shortcuts of a key-down: Ctrl+C and Ctrl+Insert copy the
// result line, Ctrl+Shift+C the tape, Ctrl+V and Shift+Insert paste (not with
// Alt: AltGr is Ctrl+Alt). Returns 1 when the key was one of them.
int app_shortcut(WPARAM vk);
// 1 when the clipboard holds text (the menu's Paste is enabled then).
int app_clipboard_has_text(void);
