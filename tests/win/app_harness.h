// Calculator helpers for the window tests, on top of tests/win/harness.h:
// the real main window started inside the test process, a recorder of the
// messages posted to it, typing by key labels, pixel images of windows and
// pictures, the about box, and a screenshot of the calculator when a test
// fails.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app.h"
#include "tests/win/harness.h"
#include "tools/capture/capture.h"

// The registry key of the calculator's settings (the application name is fixed).
#define APP_TEST_KEY "Varkel_Audio\\QK2CTL\\Keldoran"

// ---------------------------------------------------------------------------
// The calculator in the test process
// ---------------------------------------------------------------------------

// Clears the settings key, creates the LCD brush, registers the main class
// and creates the main window as the entry does, shows it and pumps.
// Returns the main window, or null when it could not be created.
HWND app_test_start(void);
// Closes what the test left open (about boxes, the main window), really
// destroys the main window, unregisters its class, frees the pictures and
// the brush and clears the settings key.
void app_test_stop(void);

// ---------------------------------------------------------------------------
// Messages posted to the main window
// ---------------------------------------------------------------------------

// One WM_COMMAND or WM_NCLBUTTONDOWN that the main window took from its queue.
struct AppPosted {
    UINT message;  // WM_COMMAND or WM_NCLBUTTONDOWN
    WPARAM wParam; // as posted
    LPARAM lParam; // as posted
};

// Starts recording (clearing what was recorded). While the recorder runs, a
// WM_NCLBUTTONDOWN for the main window is recorded and then dropped, so a
// test never enters the system's window-moving loop.
void app_record_begin(void);
void app_record_end(void);
void app_record_clear(void);
const std::vector<AppPosted> &app_recorded(void);
// The key codes of the recorded WM_COMMAND messages with wParam 0.
std::vector<int> app_recorded_codes(void);
// How many WM_NCLBUTTONDOWN with HTCAPTION were recorded.
int app_recorded_drags(void);

// ---------------------------------------------------------------------------
// Typing and reading
// ---------------------------------------------------------------------------

// Posts the key codes of space-separated keypad labels ("2 + 3 x 4 Enter",
// see capture_key_code) to the main window, pumping after each.
void app_type(const char *labels);
// Posts one key code and pumps.
void app_post_code(WPARAM wParam, LPARAM code);
// The text of the result line.
std::string app_result_text(void);
// The key codes of labels; an unknown label adds a failure.
std::vector<int> app_codes(const char *labels);
// The texts a fresh engine shows after each code of labels.
std::vector<std::string> app_engine_texts(const char *labels);

// ---------------------------------------------------------------------------
// Pixels
// ---------------------------------------------------------------------------

// Paints what is pending and copies the window's client area from its own
// device context. Returns 1, or 0 on failure.
int app_window_image(HWND window, CaptureImage *out);
// The pixels of a bitmap. Returns 1, or 0 on failure.
int app_bitmap_image(HBITMAP bitmap, CaptureImage *out);
// Number of pixels in the rectangle [left, right) x [top, bottom) where the
// two images differ.
int app_count_differences(const CaptureImage *a, const CaptureImage *b, int left, int top,
                          int right, int bottom);

// Checks the keypad's pixels of key `key`: normal is the picture itself,
// pressed is the key face shifted one pixel up and left. `what` names the
// moment in failure messages.
void app_expect_key_look(HWND keypad, int key, bool pressed, const char *what);

// ---------------------------------------------------------------------------
// About box
// ---------------------------------------------------------------------------

// The open about box (a visible dialog of this thread owned by the main
// window), or null.
HWND app_find_about_box(void);
// Destroys every about box left open.
void app_close_about_boxes(void);

// ---------------------------------------------------------------------------
// Fixture
// ---------------------------------------------------------------------------

// Every calculator test starts a fresh main window with the recorder running
// and, when it failed, leaves a screenshot of the calculator in
// failures/<suite>.<test>.bmp in the working directory.
class AppTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    HWND main = nullptr;    // the main window
    HWND display = nullptr; // display panel
    HWND keypad = nullptr;  // keypad panel
    HWND result = nullptr;  // result line
};
