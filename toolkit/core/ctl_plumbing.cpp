// Control plumbing: instance and dialog data, notifications, value commands,
// float bit patterns in messages, and small system helpers.
#include "toolkit/qk2ctl.h"

#include <bit>
#include <cstring>

// ---------------------------------------------------------------------------
// Instance and dialog data
// ---------------------------------------------------------------------------

static const int kDialogUserSlot = 8; // DWL_USER of a 32-bit dialog

LONG_PTR ctl_set_instance_data(HWND window, void *data)
{
    return SetWindowLongPtrA(window, 0, (LONG_PTR)data);
}

void *ctl_get_instance_data(HWND window) { return (void *)GetWindowLongPtrA(window, 0); }

int ctl_holds_instance_data(HWND window, const void *record)
{
    return IsWindow(window) && ctl_get_instance_data(window) == record;
}

int ctl_holds_dialog_data(HWND dialog, const void *state)
{
    return IsWindow(dialog) && ctl_get_dialog_data(dialog) == state;
}

LONG_PTR ctl_set_dialog_data(HWND dialog, void *data)
{
    return SetWindowLongPtrA(dialog, kDialogUserSlot, (LONG_PTR)data);
}

void *ctl_get_dialog_data(HWND dialog) { return (void *)GetWindowLongPtrA(dialog, kDialogUserSlot); }

HINSTANCE ctl_window_instance(HWND window)
{
    return (HINSTANCE)GetWindowLongPtrA(window, GWLP_HINSTANCE);
}

// ---------------------------------------------------------------------------
// Notifications and value commands
// ---------------------------------------------------------------------------

LRESULT ctl_notify(const NotifyTarget *target, WPARAM wParam, LPARAM lParam)
{
    if (g_toolkitActive == 0 || target == nullptr)
        return 0;
    if ((target->flags & CTL_NOTIFY_CALLBACK) != 0) {
        if (target->callback == nullptr) // a callback flag without a callback: drop it
            return 0;
        return target->callback(target->userData, (uint32_t)wParam, (int32_t)lParam);
    }
    return PostMessageA(target->parent, WM_COMMAND, wParam & 0xFFFF, lParam);
}

BOOL ctl_post_command(HWND window, WPARAM wParam, LPARAM lParam)
{
    return PostMessageA(window, WM_COMMAND, wParam, lParam);
}

float ctl_send_command(HWND window, WPARAM wParam, LPARAM lParam)
{
    return ctl_as_float((uint32_t)SendMessageA(window, WM_COMMAND, wParam, lParam));
}

float ctl_as_float(uint32_t bits) { return std::bit_cast<float>(bits); }
uint32_t ctl_as_int(uint32_t bits) { return bits; }
uint32_t ctl_float_bits(float value) { return std::bit_cast<uint32_t>(value); }

// ---------------------------------------------------------------------------
// System helpers
// ---------------------------------------------------------------------------

void ctl_bitmap_size(HBITMAP bitmap, int *width, int *height)
{
    BITMAP bm = {};
    if (bitmap == nullptr || GetObjectA(bitmap, sizeof bm, &bm) == 0)
        bm = {};
    *width = bm.bmWidth;
    *height = bm.bmHeight;
}

// The metrics record as the oldest systems know it: 340 bytes, without the
// padded-border field newer headers add.
static const UINT kNonClientMetricsSize = 340;
static_assert(sizeof(NONCLIENTMETRICSA) >= kNonClientMetricsSize);

void ctl_frame_metrics(int *frame, int *caption, int *menu)
{
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = kNonClientMetricsSize;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, kNonClientMetricsSize, &metrics, 0);
    *frame = GetSystemMetrics(SM_CXDLGFRAME);
    *caption = metrics.iCaptionHeight;
    *menu = metrics.iMenuHeight;
}

void ctl_screen_limit(int *width, int *height)
{
    *width = GetSystemMetrics(SM_CXMAXIMIZED);
    *height = GetSystemMetrics(SM_CYMAXIMIZED);
}

void ctl_zero(void *destination, size_t count) { std::memset(destination, 0, count); }

void ctl_copy(void *destination, const void *source, size_t count)
{
    if (destination != source)
        std::memmove(destination, source, count);
}
