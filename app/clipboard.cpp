// Copy and paste. Copy puts the result line, or the whole tape as the display
// shows it, on the clipboard as CF_TEXT and leaves the engine alone. Paste
// reads the clipboard's text and types it as the keys it stands for
// (calc_paste), or refuses it whole with one warning beep; a clipboard
// without text, or one that another program holds open, does nothing.
#include "app/app.h"

#include <cstring>

#include "toolkit/qk2ctl.h"

int g_refusedPastes;

// A pasted text converted to UTF-8: at most CALC_PASTE_MAX_CHARS UTF-16
// units, three bytes each (a surrogate pair is two units and four bytes).
static const int kPasteBytes = 3 * CALC_PASTE_MAX_CHARS + 1;

// ---------------------------------------------------------------------------
// Copy
// ---------------------------------------------------------------------------

// Replaces the clipboard's contents with text as CF_TEXT. Returns 1, or 0
// for an empty text, no memory, or a clipboard another program holds open.
static int put_text(const char *text)
{
    size_t n = strlen(text);
    if (n == 0)
        return 0;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, n + 1);
    if (!block)
        return 0;
    memcpy(GlobalLock(block), text, n + 1);
    GlobalUnlock(block);
    if (!OpenClipboard(g_mainWindow)) {
        GlobalFree(block);
        return 0;
    }
    EmptyClipboard();
    int ok = SetClipboardData(CF_TEXT, block) != nullptr;
    if (!ok)
        GlobalFree(block); // the clipboard owns it only when it was taken
    CloseClipboard();
    return ok;
}

int app_copy_result(void) { return put_text(g_calc.text); }

int app_copy_tape(void)
{
    char text[CALC_TAPE_COPY_SIZE];
    calc_tape_copy_text(&g_calc, text, sizeof text);
    return put_text(text);
}

// ---------------------------------------------------------------------------
// Paste
// ---------------------------------------------------------------------------

// What reading the clipboard gave.
enum ClipText {
    CLIP_NONE,     // no text, or the clipboard could not be opened
    CLIP_TEXT,     // the text, in UTF-8
    CLIP_TOO_LONG, // more characters than a paste takes
};

int app_clipboard_has_text(void)
{
    return IsClipboardFormatAvailable(CF_UNICODETEXT) || IsClipboardFormatAvailable(CF_TEXT);
}

// Characters of a clipboard text: up to its first zero, as every program
// reads clipboard text (a block may be longer than the text it holds, and
// what follows the zero is undefined), and never past the block's end. Only
// limit + 1 characters are looked at: more is too long anyway.
static size_t text_length(const void *data, size_t bytes, size_t unit, size_t limit)
{
    size_t n = 0, units = bytes / unit;
    while (n < units && n <= limit) {
        bool zero = unit == 2 ? ((const WCHAR *)data)[n] == 0 : ((const char *)data)[n] == 0;
        if (zero)
            break;
        n++;
    }
    return n;
}

// The text of an open clipboard's CF_UNICODETEXT, or CF_TEXT converted from
// the ANSI code page, as UTF-8 into out (kPasteBytes) with its length.
static ClipText read_open_clipboard(char *out, int *length)
{
    bool wide = true;
    HANDLE h = GetClipboardData(CF_UNICODETEXT);
    if (!h) {
        wide = false;
        h = GetClipboardData(CF_TEXT);
    }
    const void *data = h ? GlobalLock(h) : nullptr;
    if (!data)
        return CLIP_NONE;
    size_t n = text_length(data, GlobalSize(h), wide ? 2 : 1, CALC_PASTE_MAX_CHARS);
    ClipText result = CLIP_TEXT;
    WCHAR units[CALC_PASTE_MAX_CHARS];
    if (n > (size_t)CALC_PASTE_MAX_CHARS) {
        result = CLIP_TOO_LONG;
    } else if (wide) {
        memcpy(units, data, n * sizeof(WCHAR));
    } else {
        n = (size_t)MultiByteToWideChar(CP_ACP, 0, (const char *)data, (int)n, units,
                                        CALC_PASTE_MAX_CHARS);
    }
    GlobalUnlock(h);
    if (result == CLIP_TEXT) {
        *length = n ? WideCharToMultiByte(CP_UTF8, 0, units, (int)n, out, kPasteBytes - 1,
                                          nullptr, nullptr)
                    : 0;
        out[*length] = '\0';
        if (n > 0 && *length == 0)
            result = CLIP_NONE;
    }
    return result;
}

// Reads the clipboard's text. The clipboard is opened for as short a time
// as possible and never kept open.
static ClipText read_clipboard(char *out, int *length)
{
    *length = 0;
    if (!app_clipboard_has_text() || !OpenClipboard(g_mainWindow))
        return CLIP_NONE;
    ClipText result = read_open_clipboard(out, length);
    CloseClipboard();
    return result;
}

static AppPasteOutcome refuse_paste(void)
{
    g_refusedPastes++;
    MessageBeep(MB_ICONWARNING);
    return APP_PASTE_REFUSED;
}

AppPasteOutcome app_paste(void)
{
    char text[kPasteBytes];
    int length = 0;
    switch (read_clipboard(text, &length)) {
    case CLIP_NONE: return APP_PASTE_NOTHING;
    case CLIP_TOO_LONG: return refuse_paste();
    case CLIP_TEXT: break;
    }
    if (!calc_paste(&g_calc, text, (size_t)length, nullptr))
        return refuse_paste();
    app_show_state();
    return APP_PASTE_TYPED;
}

// ---------------------------------------------------------------------------
// Shortcuts
// ---------------------------------------------------------------------------

int app_shortcut(WPARAM vk)
{
    bool ctrl = GetKeyState(VK_CONTROL) < 0;
    bool shift = GetKeyState(VK_SHIFT) < 0;
    if (GetKeyState(VK_MENU) < 0)
        return 0;
    if (ctrl && vk == 'C') {
        if (shift)
            app_copy_tape();
        else
            app_copy_result();
        return 1;
    }
    if (ctrl && !shift && vk == VK_INSERT) {
        app_copy_result();
        return 1;
    }
    if ((ctrl && !shift && vk == 'V') || (shift && !ctrl && vk == VK_INSERT)) {
        app_paste();
        return 1;
    }
    return 0;
}
