// The gallery's process entry: `gallery` opens the window; `gallery --tour
// FOLDER` tours every page, saves their pictures in FOLDER and exits.
#include "gallery/gallery.h"

#include <cstring>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    const char *tour = nullptr;
    if (commandLine != nullptr && std::strncmp(commandLine, "--tour ", 7) == 0)
        tour = commandLine + 7;
    return gallery_run(instance, tour);
}
