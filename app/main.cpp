// Keldoran's process entry. Everything else lives in the keldoran_app
// library, so the window tests can run the same code inside their process.
#include "app/app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    return app_run(instance);
}
