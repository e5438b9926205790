// The gallery: a second program on the QK2CTL toolkit, where every control
// can be seen and tried. One main window holds a header with one lamp button
// per page, the page area and a log line that shows the last notification.
// Each page is a Free panel made by its own file; the page table in
// gallery.cpp lists them, so a new page is one file and one table row.
#pragma once
#include <windows.h>

#include <cstdint>

#include "toolkit/qk2ctl.h"

// ---------------------------------------------------------------------------
// Layout of the main window's client area
// ---------------------------------------------------------------------------

static const int GALLERY_W = 640;        // client width
static const int GALLERY_HEADER_H = 36;  // header with the page lamps
static const int GALLERY_PAGE_H = 384;   // page area
static const int GALLERY_LOG_H = 22;     // log line
static const int GALLERY_H = GALLERY_HEADER_H + GALLERY_PAGE_H + GALLERY_LOG_H;

#define GALLERY_CLASS "QK2CTL_Gallery"
#define GALLERY_TITLE "QK2CTL Gallery"

// Resource ids of the gallery's own pictures (resources/gallery.rc).
enum GalleryBitmap {
    GAL_BMP_MUTE_OFF = 600, GAL_BMP_MUTE_ON, GAL_BMP_SOLO_OFF, GAL_BMP_SOLO_ON,
    GAL_BMP_REC_OFF, GAL_BMP_REC_ON, GAL_BMP_PLAY_OFF, GAL_BMP_PLAY_ON,
    GAL_BMP_BACK_OFF, GAL_BMP_BACK_ON, GAL_BMP_FWD_OFF, GAL_BMP_FWD_ON,
    GAL_BMP_DISABLED, GAL_BMP_FX_OFF,
    // the Faders page's plates (gallery/fader_plates.h)
    GAL_BMP_CHANNEL_PLATE, GAL_BMP_CHANNEL_PLATE_DRAG,
    GAL_BMP_WIDE_PLATE, GAL_BMP_WIDE_PLATE_DRAG, GAL_BMP_WIDE_PLATE_OFF,
    GAL_BMP_KNOB_CAP, GAL_BMP_KNOB_CAP_HELD, GAL_BMP_KNOB_CAP_OFF, GAL_BMP_KNOB_HELD,
    GAL_BMP_END
};

// ---------------------------------------------------------------------------
// Pages
// ---------------------------------------------------------------------------

// One page: its name on the header, how it is made and its part of the tour.
struct GalleryPage {
    const char *name;                  // label beside its lamp, and the screenshot's name
    HWND (*create)(HWND parent, int x, int y, int width, int height); // a hidden page, or 0
    // Step `step` (from 0) of the scripted tour on the shown page; returns 1
    // while there are more steps, 0 when the page is ready for its picture.
    int (*tour)(HWND page, int step);
};

// The pages in header order.
const GalleryPage *gallery_pages(int *count);

// Page of the I2p buttons, with the movable popup and the edit-value field.
HWND gallery_create_buttons_page(HWND parent, int x, int y, int width, int height);
int gallery_tour_buttons(HWND page, int step);

// Page of the Slide faders: channel faders, crossfader, logarithmic, time, disabled.
HWND gallery_create_faders_page(HWND parent, int x, int y, int width, int height);
int gallery_tour_faders(HWND page, int step);
// Page of the lists: a million markers in a 2DList and four takes over them
// in a 3DList, with a readout.
HWND gallery_create_lists_page(HWND parent, int x, int y, int width, int height);
int gallery_tour_lists(HWND page, int step);
// Page of the Vgrid: a 16-step sequencer with zoom buttons and a readout.
// Its tour also saves the picture "grid".
HWND gallery_create_grid_page(HWND parent, int x, int y, int width, int height);
int gallery_tour_grid(HWND page, int step);
// Page of the Rotatif knobs, with the adjust popup; its tour also saves
// knobs.png and adjust.png.
HWND gallery_create_knobs_page(HWND parent, int x, int y, int width, int height);
int gallery_tour_knobs(HWND page, int step);
// Page of the time values, each entered with the time-entry dialog.
HWND gallery_create_time_page(HWND parent, int x, int y, int width, int height);
int gallery_tour_time(HWND page, int step);

// ---------------------------------------------------------------------------
// What pages share
// ---------------------------------------------------------------------------

// A titled group frame painted on a page.
struct GalleryBox {
    int x, y, w, h;    // frame rectangle in page coordinates
    const char *title; // written over the top edge
};
// A label painted on a page.
struct GalleryLabel {
    int x, y;          // top-left of the text
    const char *text;  // the text
};

// Paints a page: the marble background, the boxes and the labels.
void gallery_paint_page(HWND page, HDC dc, const GalleryBox *boxes, int boxCount,
                        const GalleryLabel *labels, int labelCount);
// Moves the focus to the next (or previous) tab stop of the page: what the
// page does with a Tab that a control forwarded.
void gallery_tab(HWND page, bool backwards);
// The picture of a gallery resource (loaded once, freed at exit).
HBITMAP gallery_bitmap(int id);
// Shows "Last notification: id N, value V" in the log line.
void gallery_log_notification(int id, float value);
// Shows any text in the log line.
void gallery_log_text(const char *text);
// The log line's current text (for tests), in buffer of size bytes.
void gallery_log_read(char *buffer, int size);

// ---------------------------------------------------------------------------
// The program
// ---------------------------------------------------------------------------

// Registers the class and creates the main window at (x, y), with the toolkit
// started. Returns the window, or 0.
HWND gallery_create(HINSTANCE instance, int x, int y);
// Shows the page of this index (its lamp lit, the others dark).
void gallery_show_page(int index);
// The index of the page of this name, or -1.
int gallery_page_index(const char *name);
// The window of page index (0 when out of range).
HWND gallery_page_window(int index);
// 1 while the scripted tour runs.
int gallery_touring(void);
// During the tour, saves the window (withFrame 1: with its frame, else the
// client area) as <tour folder>/<name in lower case>.bmp; `make gallery`
// turns it into a PNG under build/screenshots. Returns 1 when saved, 0
// outside the tour or on failure.
int gallery_save_picture(HWND window, const char *name, int withFrame);
// Runs the program: the window, then the message loop. With tourFolder,
// tours every page, saves each as <folder>/gallery-<name>.bmp and closes.
// Returns the process exit code.
int gallery_run(HINSTANCE instance, const char *tourFolder);
