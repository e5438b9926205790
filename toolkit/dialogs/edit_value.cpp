// The edit-value dialog: a borderless one-line edit box that pops up over a
// control so that the user can type a value. Modal, built from a template in
// memory, with one "edit" control filling its client area. Return accepts;
// Escape, Alt+key, the system menu, the focus leaving, a second dialog, the
// toolkit's shutdown and the destruction of the caller's window cancel.
//
// Contents: 1. the dialog context  2. ending  3. the edit subclass
//           4. message handlers  5. dialog procedure  6. opening
#include "toolkit/qk2ctl.h"

#include <cstdlib>
#include <cstring>

// ---------------------------------------------------------------------------
// 1. The dialog context: on the opening call's stack, reached through DWL_USER.
// ---------------------------------------------------------------------------

struct EditContext {
    int32_t x, y;                  // top-left corner of the dialog, screen coordinates
    int32_t width, height;         // size of the edit box: the dialog's client area
    uint32_t colourWord;           // bits 0-3 text colour, 4-7 background and brush, 8-11 font
    const char *initialText;       // shown selected when the dialog opens; never null
    char text[CTL_EDIT_TEXT_SIZE]; // the accepted text; stays empty unless accepted
    uint16_t fontIndex;            // bits 8-11 of the colour word
    HWND edit;                     // the edit control, made at WM_INITDIALOG
    HWND parent;                   // the caller's window; its destruction cancels
    int32_t ended;                 // 1 once EndDialog was called: later ends do nothing
};

// Popup, visible, clipping its child, thin border, modal frame, no WM_ENTERIDLE.
static const DWORD kDialogStyle =
    WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_BORDER | DS_MODALFRAME | DS_NOIDLEMSG;
static_assert(kDialogStyle == 0x92800180, "edit-value dialog style");
static const SIZE_T kTemplateBytes = 1024; // the zeroed block the template is built in
static const int kEditId = 10;             // child id of the edit control
static const LPARAM kEditMargins = MAKELPARAM(2, 2); // left and right inner margins

// The "edit" class procedure, saved when an edit box is subclassed. Every
// edit box has the same one; one window thread, so a plain global is safe.
static WNDPROC g_editClassProc = nullptr;

// ---------------------------------------------------------------------------
// 2. Ending. Accepting and cancelling both end here, once.
// ---------------------------------------------------------------------------

// Forgets dialog as the open edit-value dialog, unless another one has
// taken its place since.
static void forget_open_dialog(HWND dialog)
{
    if (g_openEditDialog == dialog)
        g_openEditDialog = nullptr;
}

// Ends the dialog with what context->text holds. Returns TRUE (handled).
static INT_PTR end_dialog(HWND dialog, EditContext *context)
{
    if (context->ended)
        return TRUE;
    context->ended = 1;
    forget_open_dialog(dialog);
    EndDialog(dialog, 0);
    return TRUE;
}

// Ends the dialog keeping the text the edit box shows (cut to 1023
// characters); after the end it does nothing.
static INT_PTR accept(HWND dialog, EditContext *context)
{
    if (context->ended)
        return TRUE;
    GetWindowTextA(context->edit, context->text, CTL_EDIT_TEXT_SIZE);
    return end_dialog(dialog, context);
}

// Ends the dialog with the text left empty.
static INT_PTR cancel(HWND dialog, EditContext *context) { return end_dialog(dialog, context); }

// ---------------------------------------------------------------------------
// 3. The edit subclass: Return and Escape, down or up, end the dialog by a
//    posted message instead of reaching the edit box. Alt+key goes to the
//    dialog, which it cancels: the edit box holds the focus, so the dialog
//    would never see it. Alt alone stays with the edit box.
// ---------------------------------------------------------------------------

static LRESULT CALLBACK edit_key_proc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND dialog = GetParent(edit);
    bool key = message == WM_KEYDOWN || message == WM_KEYUP;
    if (key && wParam == VK_RETURN) {
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        return 1;
    }
    if (key && wParam == VK_ESCAPE) {
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        return 1;
    }
    if (message == WM_SYSKEYDOWN && wParam != VK_MENU) {
        PostMessageA(dialog, WM_SYSKEYDOWN, wParam, lParam);
        return 0;
    }
    return CallWindowProcA(g_editClassProc, edit, message, wParam, lParam);
}

// ---------------------------------------------------------------------------
// 4. Message handlers
// ---------------------------------------------------------------------------

// Places the dialog so that its client area is the edit box, makes the edit
// box and fills it with the initial text (cut to 1023 characters), all of it
// selected and focused. Returns FALSE: the focus is set. When the edit box
// cannot be made the dialog ends at once, cancelled.
static INT_PTR on_init(HWND dialog, EditContext *context)
{
    g_openEditDialog = dialog;
    ctl_set_dialog_data(dialog, context);
    int frame, caption, menu;
    ctl_frame_metrics(&frame, &caption, &menu);
    SetWindowPos(dialog, nullptr, context->x, context->y, context->width + 2 * frame,
                 context->height + 2 * frame, SWP_SHOWWINDOW);
    // ES_AUTOHSCROLL: a value longer than the box scrolls instead of being refused.
    HWND edit = CreateWindowExA(WS_EX_CLIENTEDGE, "edit", "",
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0,
                                context->width, context->height, dialog, (HMENU)(INT_PTR)kEditId,
                                ctl_instance(), nullptr);
    if (edit == nullptr) {
        cancel(dialog, context);
        return FALSE;
    }
    context->edit = edit;
    g_editClassProc = (WNDPROC)SetWindowLongPtrA(edit, GWLP_WNDPROC, (LONG_PTR)edit_key_proc);
    SendMessageA(edit, WM_SETFONT, (WPARAM)ctl_font(context->fontIndex), TRUE);
    SendMessageA(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, kEditMargins);
    SendMessageA(edit, EM_SETLIMITTEXT, CTL_EDIT_TEXT_SIZE - 1, 0);
    char shown[CTL_EDIT_TEXT_SIZE];
    size_t length = strnlen(context->initialText, CTL_EDIT_TEXT_SIZE - 1);
    std::memcpy(shown, context->initialText, length);
    shown[length] = '\0';
    SetWindowTextA(edit, shown);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SetFocus(edit);
    return FALSE;
}

// IDOK (the dialog manager's Return, or the edit box's) accepts; IDCANCEL
// (the dialog manager's Escape key-down) cancels at once; the edit box
// losing the focus to anything but the dialog cancels.
static INT_PTR on_command(HWND dialog, EditContext *context, int id, int code)
{
    if (id == IDOK)
        return accept(dialog, context);
    if (id == IDCANCEL)
        return cancel(dialog, context);
    if (id == kEditId && code == EN_KILLFOCUS && GetFocus() != dialog)
        return cancel(dialog, context);
    return FALSE;
}

// The dialog losing the focus to anything but itself or its edit box cancels.
static INT_PTR on_kill_focus(HWND dialog, EditContext *context, HWND gainer)
{
    if (gainer == dialog || gainer == context->edit)
        return FALSE;
    return cancel(dialog, context);
}

// The edit box's colours: text and background from the colour word.
static INT_PTR on_colour_edit(const EditContext *context, HDC dc)
{
    int back = (context->colourWord >> 4) & 15;
    SetBkColor(dc, ctl_color(back));
    SetTextColor(dc, ctl_color(context->colourWord & 15));
    return (INT_PTR)ctl_brush(back);
}

// A dialog destroyed before it ended (by someone else than its own loop)
// ends here, so that its owner is enabled again.
static INT_PTR on_destroy(HWND dialog, EditContext *context)
{
    cancel(dialog, context);
    forget_open_dialog(dialog);
    return FALSE;
}

// ---------------------------------------------------------------------------
// 5. Dialog procedure
// ---------------------------------------------------------------------------

static INT_PTR CALLBACK edit_dialog_proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    EditContext *context = message == WM_INITDIALOG
                               ? reinterpret_cast<EditContext *>(lParam)
                               : static_cast<EditContext *>(ctl_get_dialog_data(dialog));
    if (context == nullptr)
        return FALSE;
    switch (message) {
    case WM_INITDIALOG: return on_init(dialog, context);
    case WM_COMMAND: return on_command(dialog, context, LOWORD(wParam), HIWORD(wParam));
    case WM_KILLFOCUS: return on_kill_focus(dialog, context, (HWND)wParam);
    case WM_CLOSE:
    case WM_SYSKEYDOWN:
    case WM_SYSCOMMAND: return cancel(dialog, context);
    case WM_CTLCOLOREDIT: return on_colour_edit(context, (HDC)wParam);
    case WM_DESTROY: return on_destroy(dialog, context);
    default: return FALSE;
    }
}

// ---------------------------------------------------------------------------
// 6. Opening
// ---------------------------------------------------------------------------

// Watches, while a dialog runs, for the destruction of the open dialog's
// caller window or of any window that holds it: the dialog is then
// cancelled before anything is destroyed, so its loop ends at once.
static LRESULT CALLBACK watch_destruction(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_DESTROYWND && g_openEditDialog != nullptr) {
        HWND dying = (HWND)wParam;
        EditContext *context = static_cast<EditContext *>(ctl_get_dialog_data(g_openEditDialog));
        if (context != nullptr && context->parent != nullptr &&
            (context->parent == dying || IsChild(dying, context->parent)))
            cancel(g_openEditDialog, context);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Runs the dialog over context until it ends. The template is the style and
// zeros: no extended style, no items, position and size 0, no menu, the
// default class and an empty title. When the template or the dialog cannot
// be made the text stays empty.
static void run_dialog(HWND parent, EditContext *context)
{
    HGLOBAL block = GlobalAlloc(GMEM_ZEROINIT, kTemplateBytes);
    if (block == nullptr)
        return;
    static_cast<DLGTEMPLATE *>(block)->style = kDialogStyle;
    HHOOK watch = SetWindowsHookExA(WH_CBT, watch_destruction, nullptr, GetCurrentThreadId());
    DialogBoxIndirectParamA(ctl_instance(), static_cast<LPCDLGTEMPLATEA>(block), parent,
                            edit_dialog_proc, (LPARAM)context);
    if (watch != nullptr)
        UnhookWindowsHookEx(watch);
    GlobalFree(block);
}

char *ctl_edit_value(HWND parent, uint32_t colourWord, int x, int y, int width, int height,
                     const char *initialText)
{
    if (g_openEditDialog != nullptr) // only one at a time: the open one is cancelled
        SendMessageA(g_openEditDialog, WM_CLOSE, 0, 0);
    EditContext context = {};
    context.x = x;
    context.y = y;
    context.width = width;
    context.height = height;
    context.colourWord = colourWord;
    context.initialText = initialText != nullptr ? initialText : "";
    context.fontIndex = (uint16_t)((colourWord >> 8) & 15);
    context.parent = parent;
    bool parentWasWindow = parent != nullptr && IsWindow(parent);
    run_dialog(parent, &context);
    if (parentWasWindow && !IsWindow(parent))
        context.text[0] = '\0'; // the caller's window is gone: nothing to apply
    char *text = static_cast<char *>(std::malloc(CTL_EDIT_TEXT_SIZE));
    if (text != nullptr)
        std::memcpy(text, context.text, CTL_EDIT_TEXT_SIZE);
    return text;
}
