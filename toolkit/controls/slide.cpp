// Slide control: the class is registered by toolkit start-up; until the control is
// built its windows do default processing only.
#include "toolkit/qk2ctl.h"

LRESULT CALLBACK ctl_slide_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}
