// Screen captures of windows: copies a window (with or without its frame)
// from the screen into memory and writes it as a 24-bit BMP file. Used by
// the wincapture tool and by the window tests.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

// Pixels of a captured area, rows top to bottom, each pixel a COLORREF.
struct CaptureImage {
    int width;                    // pixels per row
    int height;                   // rows
    std::vector<COLORREF> pixels; // width * height, row after row
};

// Copies the rectangle (x, y, w, h) of a device context. Returns 1, or 0 on
// failure.
int capture_dc(HDC dc, int x, int y, int w, int h, CaptureImage *out);
// Copies the screen rectangle (x, y, w, h). Returns 1, or 0 on failure.
int capture_screen_rect(int x, int y, int w, int h, CaptureImage *out);
// Copies a window from the screen: its whole window rectangle when
// withFrame is 1, its client area otherwise. Returns 1, or 0 on failure.
int capture_window(HWND window, int withFrame, CaptureImage *out);
// The pixel at (x, y), or CLR_INVALID outside the image.
COLORREF capture_pixel(const CaptureImage *image, int x, int y);
// Writes the image as an uncompressed 24-bit BMP. Returns 1, or 0 on failure.
int capture_save_bmp(const CaptureImage *image, const char *path);

// The key code of a keypad label ("0".."9", "DEL", "AC", "x", "/", "+", "-",
// ".", "H", "mn", "S", "Enter", and "about" for code 21; case does not
// matter), or -1.
int capture_key_code(const char *label);
