// BMP and ICO writers. Both formats are little-endian and store rows bottom-up.
#include "image_files.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

// Appends little-endian integers to a byte buffer.
void put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// Appends a BITMAPINFOHEADER. For icon entries the height is doubled (colour
// rows followed by the mask rows) and the image size covers both parts.
void put_info_header(std::vector<uint8_t>& out, int w, int h, int bits, uint32_t imageBytes)
{
    put32(out, 40);           // biSize
    put32(out, uint32_t(w));  // biWidth
    put32(out, uint32_t(h));  // biHeight: positive, rows bottom-up
    put16(out, 1);            // biPlanes
    put16(out, uint32_t(bits));
    put32(out, 0);            // biCompression: BI_RGB
    put32(out, imageBytes);   // biSizeImage
    put32(out, 2835);         // 72 dpi
    put32(out, 2835);
    put32(out, 0);            // biClrUsed
    put32(out, 0);            // biClrImportant
}

// Returns 1 when the whole buffer reached the file, else 0.
int write_file(const char* path, const std::vector<uint8_t>& bytes)
{
    FILE* f = std::fopen(path, "wb");
    if (!f) return 0;
    size_t n = std::fwrite(bytes.data(), 1, bytes.size(), f);
    int closed = std::fclose(f) == 0;
    return n == bytes.size() && closed;
}

// Reads one pixel of an ARGB32 surface as premultiplied a, r, g, b.
struct Pixel {
    uint8_t a, r, g, b;  // alpha and premultiplied colour channels
};

Pixel pixel_at(cairo_surface_t* s, int x, int y)
{
    const uint8_t* row = cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
    uint32_t v = reinterpret_cast<const uint32_t*>(row)[x];
    if (cairo_image_surface_get_format(s) == CAIRO_FORMAT_RGB24) v |= 0xFF000000u;
    return Pixel{uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
}

// Returns 1 when the surface is an ARGB32 or RGB24 image we can read.
int readable(cairo_surface_t* s)
{
    if (!s || cairo_surface_get_type(s) != CAIRO_SURFACE_TYPE_IMAGE) return 0;
    cairo_format_t f = cairo_image_surface_get_format(s);
    if (f != CAIRO_FORMAT_ARGB32 && f != CAIRO_FORMAT_RGB24) return 0;
    cairo_surface_flush(s);
    return 1;
}

} // namespace

int write_bmp(const char* path, cairo_surface_t* image)
{
    if (!readable(image)) return 0;
    int w = cairo_image_surface_get_width(image);
    int h = cairo_image_surface_get_height(image);
    uint32_t stride = uint32_t((w * 3 + 3) & ~3);
    uint32_t imageBytes = stride * uint32_t(h);

    std::vector<uint8_t> out;
    out.reserve(54 + imageBytes);
    out.push_back('B');
    out.push_back('M');
    put32(out, 54 + imageBytes);  // bfSize
    put32(out, 0);                // bfReserved1, bfReserved2
    put32(out, 54);               // bfOffBits
    put_info_header(out, w, h, 24, imageBytes);
    for (int y = h - 1; y >= 0; --y) {
        size_t start = out.size();
        for (int x = 0; x < w; ++x) {
            // premultiplied channels are the colour over black
            Pixel p = pixel_at(image, x, y);
            out.push_back(p.b);
            out.push_back(p.g);
            out.push_back(p.r);
        }
        while (out.size() - start < stride) out.push_back(0);
    }
    return write_file(path, out);
}

int write_ico(const char* path, cairo_surface_t* const* images, int count)
{
    std::vector<std::vector<uint8_t>> entries;
    for (int i = 0; i < count; ++i) {
        cairo_surface_t* s = images[i];
        if (!readable(s)) return 0;
        int w = cairo_image_surface_get_width(s);
        int h = cairo_image_surface_get_height(s);
        if (w != h || w < 1 || w > 255) return 0;
        uint32_t maskStride = uint32_t(((w + 31) / 32) * 4);
        uint32_t imageBytes = uint32_t(w * h * 4) + maskStride * uint32_t(h);

        std::vector<uint8_t> e;
        put_info_header(e, w, 2 * h, 32, imageBytes);
        for (int y = h - 1; y >= 0; --y) {
            for (int x = 0; x < w; ++x) {
                Pixel p = pixel_at(s, x, y);
                // icons store straight (not premultiplied) colour
                auto unmul = [&](uint8_t c) {
                    return p.a ? uint8_t((c * 255 + p.a / 2) / p.a) : uint8_t(0);
                };
                e.push_back(unmul(p.b));
                e.push_back(unmul(p.g));
                e.push_back(unmul(p.r));
                e.push_back(p.a);
            }
        }
        // AND mask: 1 where the pixel is (almost) transparent, for old blitters
        for (int y = h - 1; y >= 0; --y) {
            std::vector<uint8_t> row(maskStride, 0);
            for (int x = 0; x < w; ++x)
                if (pixel_at(s, x, y).a < 128) row[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
            e.insert(e.end(), row.begin(), row.end());
        }
        entries.push_back(std::move(e));
    }

    std::vector<uint8_t> out;
    put16(out, 0);                // reserved
    put16(out, 1);                // type: icon
    put16(out, uint32_t(count));  // number of entries
    uint32_t offset = 6 + 16 * uint32_t(count);
    for (int i = 0; i < count; ++i) {
        int w = cairo_image_surface_get_width(images[i]);
        out.push_back(uint8_t(w));  // width
        out.push_back(uint8_t(w));  // height
        out.push_back(0);           // colour count: not paletted
        out.push_back(0);           // reserved
        put16(out, 1);              // planes
        put16(out, 32);             // bits per pixel
        put32(out, uint32_t(entries[size_t(i)].size()));
        put32(out, offset);
        offset += uint32_t(entries[size_t(i)].size());
    }
    for (const auto& e : entries) out.insert(out.end(), e.begin(), e.end());
    return write_file(path, out);
}
