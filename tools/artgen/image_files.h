// Writers for the two Windows picture formats the resource compiler takes:
// 24-bit BMP files and icon files with 32-bit entries.
#pragma once

#include <cairo.h>

// Writes an image surface as a 24-bit BMP (BITMAPINFOHEADER, bottom-up rows
// padded to 4 bytes). Transparent pixels come out as if painted over black.
// Returns 1, or 0 when the surface is not an image or the file cannot be written.
int write_bmp(const char* path, cairo_surface_t* image);

// Writes an icon file holding one 32-bit BGRA entry (with its AND mask) per
// surface; each surface must be square and at most 255 pixels wide.
// Returns 1, or 0 on a bad surface or a write failure.
int write_ico(const char* path, cairo_surface_t* const* images, int count);
