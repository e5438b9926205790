// Screen captures of windows into memory, and BMP output.
#include "tools/capture/capture.h"

#include <array>
#include <cstdio>
#include <cstring>

// ---------------------------------------------------------------------------
// Capture
// ---------------------------------------------------------------------------

int capture_dc(HDC dc, int x, int y, int w, int h, CaptureImage *out)
{
    if (!dc || w <= 0 || h <= 0)
        return 0;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    HBITMAP dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(dc);
    int ok = 0;
    if (dib && memory && bits) {
        HGDIOBJ old = SelectObject(memory, dib);
        ok = BitBlt(memory, 0, 0, w, h, dc, x, y, SRCCOPY) ? 1 : 0;
        GdiFlush();
        SelectObject(memory, old);
    }
    if (ok) {
        out->width = w;
        out->height = h;
        out->pixels.resize((size_t)w * h);
        const uint32_t *p = (const uint32_t *)bits;
        for (size_t i = 0; i < out->pixels.size(); i++) // DIB words are 0x00RRGGBB
            out->pixels[i] = RGB((p[i] >> 16) & 255, (p[i] >> 8) & 255, p[i] & 255);
    }
    if (memory)
        DeleteDC(memory);
    if (dib)
        DeleteObject(dib);
    return ok;
}

int capture_screen_rect(int x, int y, int w, int h, CaptureImage *out)
{
    HDC screen = GetDC(nullptr);
    int ok = capture_dc(screen, x, y, w, h, out);
    if (screen)
        ReleaseDC(nullptr, screen);
    return ok;
}

int capture_window(HWND window, int withFrame, CaptureImage *out)
{
    RECT r;
    if (!IsWindow(window))
        return 0;
    if (withFrame) {
        if (!GetWindowRect(window, &r))
            return 0;
    } else {
        if (!GetClientRect(window, &r))
            return 0;
        MapWindowPoints(window, nullptr, (POINT *)&r, 2);
    }
    return capture_screen_rect(r.left, r.top, r.right - r.left, r.bottom - r.top, out);
}

COLORREF capture_pixel(const CaptureImage *image, int x, int y)
{
    if (x < 0 || y < 0 || x >= image->width || y >= image->height)
        return CLR_INVALID;
    return image->pixels[(size_t)y * image->width + x];
}

// ---------------------------------------------------------------------------
// BMP output
// ---------------------------------------------------------------------------

static void put16(unsigned char *p, unsigned v)
{
    p[0] = (unsigned char)v;
    p[1] = (unsigned char)(v >> 8);
}

static void put32(unsigned char *p, unsigned v)
{
    put16(p, v & 0xFFFF);
    put16(p + 2, v >> 16);
}

int capture_save_bmp(const CaptureImage *image, const char *path)
{
    if (image->width <= 0 || image->height <= 0)
        return 0;
    const unsigned rowBytes = ((unsigned)image->width * 3 + 3) & ~3u;
    const unsigned dataBytes = rowBytes * (unsigned)image->height;
    std::array<unsigned char, 54> header = {};
    header[0] = 'B';
    header[1] = 'M';
    put32(&header[2], 54 + dataBytes); // file size
    put32(&header[10], 54);            // offset of the pixels
    put32(&header[14], 40);            // BITMAPINFOHEADER
    put32(&header[18], (unsigned)image->width);
    put32(&header[22], (unsigned)image->height); // rows bottom-up
    put16(&header[26], 1);             // planes
    put16(&header[28], 24);            // bits per pixel
    put32(&header[34], dataBytes);

    FILE *f = fopen(path, "wb");
    if (!f)
        return 0;
    int ok = fwrite(header.data(), 1, header.size(), f) == header.size();
    std::vector<unsigned char> row(rowBytes, 0);
    for (int y = image->height - 1; ok && y >= 0; y--) {
        for (int x = 0; x < image->width; x++) {
            COLORREF c = capture_pixel(image, x, y);
            row[x * 3 + 0] = GetBValue(c);
            row[x * 3 + 1] = GetGValue(c);
            row[x * 3 + 2] = GetRValue(c);
        }
        ok = fwrite(row.data(), 1, rowBytes, f) == rowBytes;
    }
    if (fclose(f) != 0)
        ok = 0;
    return ok;
}

// ---------------------------------------------------------------------------
// Key labels
// ---------------------------------------------------------------------------

struct KeyLabel {
    const char *label; // as printed on the keypad (ASCII)
    int code;          // key code
};

static constexpr std::array<KeyLabel, 24> KEY_LABELS = {{
    {"0", 0}, {"1", 1}, {"2", 2}, {"3", 3}, {"4", 4}, {"5", 5}, {"6", 6}, {"7", 7},
    {"8", 8}, {"9", 9}, {"DEL", 10}, {"AC", 11}, {"x", 12}, {"*", 12}, {"/", 13},
    {"+", 14}, {"-", 15}, {".", 16}, {"H", 17}, {"mn", 18}, {"S", 19}, {"Enter", 20}, {"about", 21},
}};

int capture_key_code(const char *label)
{
    for (const KeyLabel &k : KEY_LABELS)
        if (_stricmp(k.label, label) == 0)
            return k.code;
    return -1;
}
