// artgen: paints every picture of Keldoran and its toolkit and writes them,
// with the resource scripts that embed them, into one folder.
// Usage: artgen <folder>    (normally: artgen resources)
// Returns 0 when every file was written, 1 otherwise.
#include <cstdio>
#include <string>

#include "calc_art.h"
#include "gallery_art.h"
#include "image_files.h"
#include "paint.h"
#include "toolkit_art.h"
#include "gallery/fader_plates.h"

namespace {

// One bitmap resource: its id, its file, its exact size and its painter.
struct Picture {
    int id;                    // resource id
    const char* file;          // BMP file name inside the output folder
    int w, h;                  // size in pixels
    void (*paint)(Canvas& c);  // paints the whole canvas
    const char* what;          // comment written into the resource script
};

// The toolkit's bitmaps: toolkit bitmap i is resource 1500 + i.
constexpr Picture kToolkit[] = {
    {1500, "ctl_1500_lamp_off.bmp", 24, 16, [](Canvas& c) { paint_lamp_button(c, false); },
     "push button, dark lamp"},
    {1501, "ctl_1501_lamp_on.bmp", 24, 16, [](Canvas& c) { paint_lamp_button(c, true); },
     "push button pressed, red lamp"},
    {1502, "ctl_1502_key_off.bmp", 33, 23, [](Canvas& c) { paint_key(c, false); },
     "bevelled key, black border"},
    {1503, "ctl_1503_key_on.bmp", 33, 23, [](Canvas& c) { paint_key(c, true); },
     "bevelled key, red border"},
    {1504, "ctl_1504_led_off.bmp", 16, 16, [](Canvas& c) { paint_indicator(c, false); },
     "round indicator, unlit"},
    {1505, "ctl_1505_led_on.bmp", 16, 16, [](Canvas& c) { paint_indicator(c, true); },
     "round indicator, lit"},
    {1506, "ctl_1506_notes.bmp", 160, 96, paint_note_palette,
     "note values, 5 x 3 cells of 32 x 32"},
    {1507, "ctl_1507_knob.bmp", 32, 32, paint_knob, "spherical knob"},
    {1508, "ctl_1508_vgroove.bmp", 17, 128, [](Canvas& c) { paint_groove(c, true); },
     "vertical slider groove"},
    {1509, "ctl_1509_vthumb.bmp", 15, 20, [](Canvas& c) { paint_thumb(c, true); },
     "vertical slider thumb"},
    {1510, "ctl_1510_hgroove.bmp", 128, 17, [](Canvas& c) { paint_groove(c, false); },
     "horizontal slider groove"},
    {1511, "ctl_1511_hthumb.bmp", 20, 15, [](Canvas& c) { paint_thumb(c, false); },
     "horizontal slider thumb"},
    {1512, "ctl_1512_marble.bmp", 64, 64, paint_marble, "marbled background tile"},
};
static_assert(sizeof(kToolkit) / sizeof(kToolkit[0]) == 13, "the toolkit loads 13 bitmaps");

// The calculator's own bitmaps.
constexpr Picture kCalculator[] = {
    {500, "keypad.bmp", 200, 158, paint_keypad, "keypad"},
    {501, "display.bmp", 200, 119, paint_display, "display face"},
    {502, "about.bmp", 443, 262, paint_about, "about picture"},
};

// The gallery's own bitmaps.
constexpr Rgb kMuteLamp = rgb(250, 200, 40);
constexpr Rgb kSoloLamp = rgb(90, 210, 90);
constexpr Picture kGallery[] = {
    {600, "gal_600_mute_off.bmp", 33, 23, [](Canvas& c) { paint_label_key(c, "M", kMuteLamp, false); },
     "mute key"},
    {601, "gal_601_mute_on.bmp", 33, 23, [](Canvas& c) { paint_label_key(c, "M", kMuteLamp, true); },
     "mute key, lit"},
    {602, "gal_602_solo_off.bmp", 33, 23, [](Canvas& c) { paint_label_key(c, "S", kSoloLamp, false); },
     "solo key"},
    {603, "gal_603_solo_on.bmp", 33, 23, [](Canvas& c) { paint_label_key(c, "S", kSoloLamp, true); },
     "solo key, lit"},
    {604, "gal_604_rec_off.bmp", 28, 28, [](Canvas& c) { paint_round_button(c, true, false); },
     "round record button"},
    {605, "gal_605_rec_on.bmp", 28, 28, [](Canvas& c) { paint_round_button(c, true, true); },
     "round record button, armed"},
    {606, "gal_606_play_off.bmp", 28, 28, [](Canvas& c) { paint_round_button(c, false, false); },
     "round play button"},
    {607, "gal_607_play_on.bmp", 28, 28, [](Canvas& c) { paint_round_button(c, false, true); },
     "round play button, playing"},
    {608, "gal_608_back_off.bmp", 33, 23, [](Canvas& c) { paint_label_key(c, "<<", kMuteLamp, false); },
     "nudge earlier"},
    {609, "gal_609_back_on.bmp", 33, 23, [](Canvas& c) { paint_label_key(c, "<<", kMuteLamp, true); },
     "nudge earlier, held"},
    {610, "gal_610_fwd_off.bmp", 33, 23, [](Canvas& c) { paint_label_key(c, ">>", kMuteLamp, false); },
     "nudge later"},
    {611, "gal_611_fwd_on.bmp", 33, 23, [](Canvas& c) { paint_label_key(c, ">>", kMuteLamp, true); },
     "nudge later, held"},
    {612, "gal_612_disabled.bmp", 33, 23, paint_disabled_key, "greyed key over a disabled button"},
    {613, "gal_613_fx_off.bmp", 33, 23, [](Canvas& c) { paint_label_key(c, "FX", kSoloLamp, false); },
     "effects key"},
    {614, "gal_614_channel_plate.bmp", kChannelPlateW, kChannelPlateH,
     [](Canvas& c) { paint_channel_plate(c, PlateState::Resting); }, "channel fader plate"},
    {615, "gal_615_channel_plate_drag.bmp", kChannelPlateW, kChannelPlateH,
     [](Canvas& c) { paint_channel_plate(c, PlateState::Dragging); }, "channel fader plate, dragged"},
    {616, "gal_616_wide_plate.bmp", kWidePlateW, kWidePlateH,
     [](Canvas& c) { paint_wide_plate(c, PlateState::Resting); }, "horizontal fader plate"},
    {617, "gal_617_wide_plate_drag.bmp", kWidePlateW, kWidePlateH,
     [](Canvas& c) { paint_wide_plate(c, PlateState::Dragging); }, "horizontal fader plate, dragged"},
    {618, "gal_618_wide_plate_off.bmp", kWidePlateW, kWidePlateH,
     [](Canvas& c) { paint_wide_plate(c, PlateState::Disabled); }, "disabled horizontal fader overlay"},
    {619, "gal_619_knob_cap.bmp", 48, 48, [](Canvas& c) { paint_knob_cap(c, 0); },
     "large knob, knurled cap"},
    {620, "gal_620_knob_cap_held.bmp", 48, 48, [](Canvas& c) { paint_knob_cap(c, 1); },
     "large knob while held, lit edge"},
    {621, "gal_621_knob_cap_off.bmp", 48, 48, [](Canvas& c) { paint_knob_cap(c, 2); },
     "large knob, disabled"},
    {622, "gal_622_knob_held.bmp", 32, 32, paint_small_knob_pressed, "small grey knob while held"},
};

const char* kIconFile = "keldoran.ico";
constexpr int kIconSizes[] = {16, 32};

// Paints one picture and writes it. Returns 1, or 0 with a message.
int make_picture(const std::string& dir, const Picture& p)
{
    Canvas c = canvas_new(p.w, p.h);
    p.paint(c);
    std::string path = dir + "/" + p.file;
    int ok = write_bmp(path.c_str(), c.surface);
    canvas_free(c);
    if (!ok) std::fprintf(stderr, "artgen: cannot write %s\n", path.c_str());
    return ok;
}

// Writes the icon with one entry per size. Returns 1, or 0 with a message.
int make_icon(const std::string& dir)
{
    constexpr int n = sizeof(kIconSizes) / sizeof(kIconSizes[0]);
    Canvas canvases[n];
    cairo_surface_t* surfaces[n];
    for (int i = 0; i < n; ++i) {
        canvases[i] = canvas_new(kIconSizes[i], kIconSizes[i]);
        paint_icon(canvases[i]);
        surfaces[i] = canvases[i].surface;
    }
    std::string path = dir + "/" + kIconFile;
    int ok = write_ico(path.c_str(), surfaces, n);
    for (Canvas& c : canvases) canvas_free(c);
    if (!ok) std::fprintf(stderr, "artgen: cannot write %s\n", path.c_str());
    return ok;
}

// Writes a resource script. Returns 1, or 0 with a message.
int write_script(const std::string& path, const std::string& text)
{
    FILE* f = std::fopen(path.c_str(), "w");
    int ok = f && std::fputs(text.c_str(), f) >= 0;
    if (f && std::fclose(f) != 0) ok = 0;
    if (!ok) std::fprintf(stderr, "artgen: cannot write %s\n", path.c_str());
    return ok;
}

// One BITMAP line per picture, file names relative to the script's folder.
std::string bitmap_lines(const Picture* pictures, int count)
{
    std::string s;
    for (int i = 0; i < count; ++i) {
        char line[160];
        std::snprintf(line, sizeof line, "%d BITMAP \"%s\"  // %d x %d, %s\n", pictures[i].id,
                      pictures[i].file, pictures[i].w, pictures[i].h, pictures[i].what);
        s += line;
    }
    return s;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: artgen <output folder>\n");
        return 1;
    }
    std::string dir = argv[1];
    int ok = 1;
    for (const Picture& p : kToolkit) ok &= make_picture(dir, p);
    for (const Picture& p : kCalculator) ok &= make_picture(dir, p);
    for (const Picture& p : kGallery) ok &= make_picture(dir, p);
    ok &= make_icon(dir);

    const char* banner = "// Written by tools/artgen (make art); do not edit by hand.\n";
    ok &= write_script(dir + "/toolkit.rc",
                       std::string(banner) + "// The toolkit's shared bitmaps: toolkit bitmap i is resource 1500 + i.\n" +
                           bitmap_lines(kToolkit, 13));
    ok &= write_script(dir + "/keldoran.rc",
                       std::string(banner) + "// Keldoran's resources: its own pictures, its icon and the toolkit's bitmaps.\n"
                           "#include \"toolkit.rc\"\n" +
                           bitmap_lines(kCalculator, 3) + "100 ICON \"" + kIconFile + "\"\n");
    constexpr int galleryCount = sizeof(kGallery) / sizeof(kGallery[0]);
    ok &= write_script(dir + "/gallery.rc",
                       std::string(banner) + "// The gallery's resources: its own pictures and the toolkit's bitmaps.\n"
                           "#include \"toolkit.rc\"\n" +
                           bitmap_lines(kGallery, galleryCount));
    if (ok) std::printf("artgen: pictures written to %s\n", dir.c_str());
    return ok ? 0 : 1;
}
