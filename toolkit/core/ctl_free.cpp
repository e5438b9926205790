// The Free panel: an empty focusable child window that hands almost every
// message to an application callback with its user data. The panel itself
// only takes the focus on a click, destroys itself on WM_CLOSE and owns the
// instance record (a copy of the FreePanel creation record).
#include "toolkit/qk2ctl.h"

#include <cstdlib>

// ---------------------------------------------------------------------------
// Message handlers
// ---------------------------------------------------------------------------

// Frees the instance record and clears the pointer to it.
static void free_release(HWND panel, FreePanel *self)
{
    ctl_set_instance_data(panel, nullptr);
    std::free(self);
}

// Copies the creation record into a new instance record and lets the
// callback see WM_CREATE. Returns -1 (creation fails) without a record or
// memory for it, else the callback's result. When the callback refuses with
// -1 the record goes at once: not every system sends WM_DESTROY to a window
// whose creation failed, and the callback has nothing to undo.
static LRESULT free_create(HWND panel, WPARAM wParam, LPARAM lParam)
{
    const CREATESTRUCTA *cs = reinterpret_cast<const CREATESTRUCTA *>(lParam);
    const FreePanel *record = static_cast<const FreePanel *>(cs->lpCreateParams);
    if (record == nullptr || record->callback == nullptr)
        return -1;
    FreePanel *self = static_cast<FreePanel *>(std::malloc(sizeof *self));
    if (self == nullptr)
        return -1;
    ctl_copy(self, record, sizeof *self);
    ctl_set_instance_data(panel, self);
    LRESULT result = self->callback(panel, WM_CREATE, wParam, lParam, self->userData);
    if (result == -1)
        free_release(panel, self);
    return result;
}

// The callback sees WM_DESTROY while the record still exists; then it goes.
static LRESULT free_destroy(FreePanel *self, HWND panel, WPARAM wParam, LPARAM lParam)
{
    if (self != nullptr) {
        self->callback(panel, WM_DESTROY, wParam, lParam, self->userData);
        free_release(panel, self);
    }
    return DefWindowProcA(panel, WM_DESTROY, wParam, lParam);
}

// The first message: no record yet, whatever the extra bytes held.
static LRESULT free_nccreate(HWND panel, WPARAM wParam, LPARAM lParam)
{
    ctl_set_instance_data(panel, nullptr);
    return DefWindowProcA(panel, WM_NCCREATE, wParam, lParam);
}

// The last message: a record still there (no WM_DESTROY came) goes now.
static LRESULT free_ncdestroy(FreePanel *self, HWND panel, WPARAM wParam, LPARAM lParam)
{
    if (self != nullptr)
        free_release(panel, self);
    return DefWindowProcA(panel, WM_NCDESTROY, wParam, lParam);
}

// A click takes the focus before the button message reaches the callback.
static LRESULT free_mouse_activate(HWND panel, WPARAM wParam, LPARAM lParam)
{
    if (GetFocus() != panel)
        SetFocus(panel);
    return DefWindowProcA(panel, WM_MOUSEACTIVATE, wParam, lParam);
}

// ---------------------------------------------------------------------------
// Window procedure
// ---------------------------------------------------------------------------

LRESULT CALLBACK ctl_free_proc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam)
{
    FreePanel *self = static_cast<FreePanel *>(ctl_get_instance_data(panel));
    switch (message) {
    case WM_NCCREATE: return free_nccreate(panel, wParam, lParam);
    case WM_CREATE: return free_create(panel, wParam, lParam);
    case WM_DESTROY: return free_destroy(self, panel, wParam, lParam);
    case WM_CLOSE: DestroyWindow(panel); return 0;
    case WM_NCDESTROY: return free_ncdestroy(self, panel, wParam, lParam);
    case WM_MOUSEACTIVATE: return free_mouse_activate(panel, wParam, lParam);
    }
    if (self == nullptr)
        return DefWindowProcA(panel, message, wParam, lParam);
    return self->callback(panel, message, wParam, lParam, self->userData);
}

HWND ctl_create_free_panel(HWND parent, int id, int x, int y, int width, int height,
                           FreePanelCallback callback, void *userData)
{
    FreePanel record;
    ctl_zero(&record, sizeof record);
    record.parent = parent;
    record.x = x;
    record.y = y;
    record.id = (uint16_t)id;
    record.userData = userData;
    record.callback = callback;
    HWND panel = CreateWindowExA(0, CTL_CLASS_FREE, nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                                 x, y, width, height, parent, (HMENU)(UINT_PTR)(uint16_t)id,
                                 ctl_instance(), &record);
    ShowWindow(panel, SW_SHOW);
    UpdateWindow(panel);
    return panel;
}
