// The toolkit's dialogs under fire, one row each: how to tell that it is
// open, how to open it, what to throw at it and what to check while it is
// open. A modal dialog's messages come from inside its own loop (the engine's
// ticks); a modeless one's from the run's own steps.
//
// Contents: 1. edit-value dialog  2. adjust-value popup  3. time-entry dialog
//           4. the table
#include "tests/win/fuzz/fuzz.h"

#include "toolkit/qk2ctl.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace {

// A window a dialog's run may destroy while the dialog is open, and its name
// in the trace.
struct Victim {
    const char *name;
    HWND window;
};

// Destroys one of the victims, drawn at random.
void destroy_one(FuzzRun *run, std::initializer_list<Victim> victims)
{
    const Victim &v = victims.begin()[fuzz_below(run, (int)victims.size())];
    char note[64];
    std::snprintf(note, sizeof note, "DestroyWindow %s", v.name);
    fuzz_note(run, note);
    DestroyWindow(v.window);
}

// A text to type or to start with: empty, short, number-like, or longer
// than the box holds.
const char *random_text(FuzzRun *run)
{
    static char text[1600];
    static const char kChars[] = "0123456789.,-+ eE:hmsdbinfNa\t\x7f\xe9";
    int length;
    switch (fuzz_below(run, 6)) {
    case 0: length = 0; break;
    case 1: length = 1023; break;
    case 2: length = fuzz_range(run, 1024, 1500); break;
    default: length = fuzz_range(run, 1, 24); break;
    }
    for (int i = 0; i < length; ++i)
        text[i] = kChars[fuzz_below(run, (int)sizeof kChars - 1)];
    text[length] = '\0';
    return text;
}

// Whatever window a message might name: the dialog's own, the run's, none.
HWND some_window(FuzzRun *run, HWND dialog, HWND child)
{
    HWND windows[] = {dialog, child, run->host, run->sibling, run->subject, nullptr};
    return windows[fuzz_below(run, 6)];
}

// ---------------------------------------------------------------------------
// 1. Edit-value dialog: modal, one edit box (id 10) in a borderless popup.
// ---------------------------------------------------------------------------

HWND edit_current(void) { return g_openEditDialog; }

// Opens the box over owner (or the host, a plain window, or none), at some
// point, of some size and colours, with some text; checks what it returns.
void edit_open(FuzzRun *run, HWND owner)
{
    HWND parents[] = {owner, owner, owner, run->host, run->sibling, nullptr};
    HWND parent = parents[fuzz_below(run, 6)];
    POINT at = {fuzz_range(run, -30, 300), fuzz_range(run, -30, 250)};
    ClientToScreen(run->host, &at);
    uint32_t word = fuzz_chance(run, 70) ? VGRID_EDIT_WORD : fuzz_rand(run);
    int w = fuzz_chance(run, 80) ? fuzz_range(run, 40, 160) : fuzz_range(run, 0, 400);
    int h = fuzz_chance(run, 80) ? 20 : fuzz_range(run, 0, 80);
    const char *initial = fuzz_chance(run, 10) ? nullptr : random_text(run);
    bool parentWasWindow = parent != nullptr && IsWindow(parent);
    char *text = ctl_edit_value(parent, word, at.x, at.y, w, h, initial);
    if (text == nullptr) {
        fuzz_fail(run, "the edit box returned no text");
        return;
    }
    size_t length = strnlen(text, CTL_EDIT_TEXT_SIZE);
    fuzz_trace_value(run, (uint32_t)length);
    if (length >= (size_t)CTL_EDIT_TEXT_SIZE)
        fuzz_fail(run, "the edit box returned an unterminated text");
    else if (parentWasWindow && !IsWindow(parent) && length != 0)
        fuzz_fail(run, "the edit box returned a text for a window that is gone");
    std::free(text);
}

void edit_message(FuzzRun *run, HWND dialog)
{
    HWND edit = GetDlgItem(dialog, 10);
    static const UINT kKeys[] = {VK_RETURN, VK_ESCAPE, VK_LEFT, VK_RIGHT, VK_BACK,
                                 VK_DELETE, VK_HOME,   VK_END,  'A',      VK_TAB};
    switch (fuzz_below(run, 20)) {
    case 0:
    case 1:
    case 2:
    case 3: { // typing; Ctrl+V would paste whatever the clipboard holds: left out
        WPARAM ch = (WPARAM)fuzz_range(run, 1, 255);
        if (ch == 22)
            ch = '5';
        fuzz_send(run, edit, WM_CHAR, ch, 1);
        break;
    }
    case 4:
    case 5: {
        UINT key = fuzz_chance(run, 85) ? kKeys[fuzz_below(run, 10)] : (UINT)fuzz_below(run, 256);
        fuzz_send(run, fuzz_chance(run, 85) ? edit : dialog,
                  fuzz_chance(run, 60) ? WM_KEYDOWN : WM_KEYUP, key, 1);
        break;
    }
    case 6: // Alt+key
        fuzz_send(run, fuzz_chance(run, 50) ? edit : dialog, WM_SYSKEYDOWN,
                  fuzz_chance(run, 20) ? VK_MENU : (WPARAM)fuzz_range(run, 'A', 'Z'), 1 << 29);
        break;
    case 7:
        fuzz_note(run, "SetWindowText edit");
        SetWindowTextA(edit, random_text(run));
        break;
    case 8: {
        static const WPARAM kCommands[] = {
            IDOK, IDCANCEL, MAKEWPARAM(10, EN_KILLFOCUS), MAKEWPARAM(10, EN_CHANGE), 10, 2};
        fuzz_send(run, dialog, WM_COMMAND,
                  fuzz_chance(run, 80) ? kCommands[fuzz_below(run, 6)] : fuzz_rand(run),
                  (LPARAM)edit);
        break;
    }
    case 9: fuzz_send(run, dialog, WM_CLOSE, 0, 0); break;
    case 10:
        fuzz_send(run, dialog, WM_SYSCOMMAND,
                  fuzz_chance(run, 50) ? SC_CLOSE : fuzz_rand(run) & 0xFFF0, 0);
        break;
    case 11: fuzz_send(run, dialog, WM_KILLFOCUS, (WPARAM)some_window(run, dialog, edit), 0); break;
    case 12:
        fuzz_note(run, "SetFocus");
        SetFocus(some_window(run, dialog, edit));
        break;
    case 13:
    case 14: {
        static const UINT kMouse[] = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE, WM_RBUTTONDOWN,
                                      WM_LBUTTONDBLCLK};
        HWND target = fuzz_chance(run, 70) ? edit : dialog;
        fuzz_send(run, target, kMouse[fuzz_below(run, 5)], fuzz_mouse_keys(run, 10),
                  fuzz_point(run, target));
        break;
    }
    case 15: fuzz_send(run, fuzz_chance(run, 50) ? dialog : edit, WM_CANCELMODE, 0, 0); break;
    case 16:
        if (fuzz_chance(run, 50)) {
            fuzz_note(run, "SetWindowPos dialog");
            SetWindowPos(dialog, nullptr, fuzz_range(run, -50, 600), fuzz_range(run, -50, 600),
                         fuzz_range(run, 0, 300), fuzz_range(run, 0, 100),
                         SWP_NOZORDER | SWP_NOACTIVATE);
        } else {
            fuzz_send(run, dialog, WM_SIZE, 0, (LPARAM)fuzz_rand(run));
        }
        break;
    case 17: // a second box: the first one ends
        if (fuzz_chance(run, 30)) {
            fuzz_note(run, "second edit box");
            edit_open(run, run->subject);
        }
        break;
    default: // destruction while it is open
        destroy_one(run, {{"dialog", dialog}, {"edit", edit}, {"subject", run->subject},
                          {"host", run->host}});
        break;
    }
}

int edit_check(FuzzRun *run, HWND dialog)
{
    (void)dialog;
    if (g_openEditDialog != nullptr && !IsWindow(g_openEditDialog)) {
        fuzz_fail(run, "the open edit box handle names no window");
        return 0;
    }
    return 1;
}

// ---------------------------------------------------------------------------
// 2. Adjust-value popup: modeless, holding the capture, three tapes and a
//    switch; it sends each value to its control and target.
// ---------------------------------------------------------------------------

HWND adjust_current(void) { return g_openAdjustPopup; }

bool is_knob(HWND window)
{
    char name[64] = "";
    return window != nullptr && GetClassNameA(window, name, sizeof name) &&
           std::strcmp(name, CTL_CLASS_ROTATIF) == 0;
}

// A float for a scale handed straight to the popup: anything at all.
float any_float(FuzzRun *run) { return fuzz_float(run, -1000.0f, 1000.0f); }

// Opens the popup the knob's way (Shift+click, command 104) or directly over
// a scale of any numbers, for the knob, another window or none.
void adjust_open(FuzzRun *run, HWND owner)
{
    if (is_knob(owner) && fuzz_chance(run, 60)) {
        if (fuzz_chance(run, 50))
            fuzz_send(run, owner, WM_COMMAND, ROT_CMD_ADJUST, 0);
        else
            fuzz_send(run, owner, WM_LBUTTONDOWN, MK_SHIFT, MAKELPARAM(5, 5));
        return;
    }
    ValueScale scale = {};
    scale.minimum = any_float(run);
    scale.maximum =
        fuzz_chance(run, 80) ? scale.minimum + (float)fuzz_range(run, 0, 1000) : any_float(run);
    scale.current = fuzz_chance(run, 80) ? (scale.minimum + scale.maximum) * 0.5f : any_float(run);
    scale.defaultValue = scale.current;
    uint32_t style = fuzz_chance(run, 40) ? DecibelDisplay : 0;
    HWND controls[] = {owner, owner, run->sibling, nullptr};
    HWND control = controls[fuzz_below(run, 4)];
    NotifyTarget target = {run->host, nullptr, 0, run};
    if (fuzz_chance(run, 60)) {
        target.callback = fuzz_notify;
        target.flags = CTL_NOTIFY_CALLBACK;
    }
    POINT at = {fuzz_range(run, -300, 1400), fuzz_range(run, -300, 1100)};
    uint16_t close =
        (uint16_t)(fuzz_chance(run, 80) ? (uint32_t)ROT_CMD_POPUP_CLOSED : fuzz_rand(run));
    ctl_adjust_popup(run->host, control, style, at.x, at.y, close,
                     fuzz_chance(run, 90) ? &target : nullptr, 7, &scale);
}

// A point of the popup: on the tapes, the title, the bottom row, the switch
// or outside.
LPARAM popup_point(FuzzRun *run, HWND popup)
{
    RECT rc;
    GetClientRect(popup, &rc);
    int w = rc.right, h = rc.bottom, x, y;
    switch (fuzz_below(run, 6)) {
    case 0:
        x = fuzz_range(run, 0, w);
        y = fuzz_range(run, 0, 19);
        break; // title
    case 1:
        x = fuzz_range(run, 0, w);
        y = fuzz_range(run, h - 40, h);
        break; // bottom row
    case 2:
        x = fuzz_range(run, w - 30, w - 6);
        y = fuzz_range(run, h - 18, h - 2);
        break;                             // switch
    case 3: return fuzz_point(run, popup); // anywhere
    default:
        x = fuzz_range(run, 0, w);
        y = fuzz_range(run, 20, h - 20);
        break; // tapes
    }
    return MAKELPARAM((WORD)x, (WORD)y);
}

void adjust_message(FuzzRun *run, HWND popup)
{
    const AdjustPopupState *s = static_cast<const AdjustPopupState *>(ctl_get_dialog_data(popup));
    switch (fuzz_below(run, 20)) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 4:
    case 5: { // drags: moves near the last point
        LPARAM at = popup_point(run, popup);
        if (s != nullptr && fuzz_chance(run, 70))
            at = MAKELPARAM((WORD)(s->lastX + fuzz_range(run, -30, 30)),
                            (WORD)(s->lastY + fuzz_range(run, -30, 30)));
        fuzz_send(run, popup, WM_MOUSEMOVE, fuzz_mouse_keys(run, 5), at);
        break;
    }
    case 6:
    case 7: fuzz_send(run, popup, WM_LBUTTONDOWN, MK_LBUTTON, popup_point(run, popup)); break;
    case 8:
    case 9: fuzz_send(run, popup, WM_LBUTTONUP, 0, popup_point(run, popup)); break;
    case 10:
        fuzz_send(run, popup, fuzz_chance(run, 50) ? WM_RBUTTONDOWN : WM_MBUTTONDOWN, 0,
                  popup_point(run, popup));
        break;
    case 11:
        fuzz_send(run, popup, WM_KEYDOWN,
                  fuzz_chance(run, 30) ? (WPARAM)VK_ESCAPE : (WPARAM)fuzz_below(run, 256), 1);
        break;
    case 12: fuzz_send(run, popup, fuzz_chance(run, 50) ? WM_CLOSE : WM_CANCELMODE, 0, 0); break;
    case 13:
        fuzz_send(run, popup, WM_COMMAND, fuzz_chance(run, 70) ? ADJUST_SWITCH_ID : fuzz_rand(run),
                  0);
        break;
    case 14:
        fuzz_note(run, "paint popup");
        InvalidateRect(popup, nullptr, TRUE);
        UpdateWindow(popup);
        break;
    case 15:
        switch (fuzz_below(run, 3)) {
        case 0:
            fuzz_note(run, "SetCapture");
            SetCapture(fuzz_chance(run, 50) ? run->sibling : popup);
            break;
        case 1:
            fuzz_note(run, "ReleaseCapture");
            ReleaseCapture();
            break;
        default: fuzz_send(run, popup, WM_CAPTURECHANGED, 0, (LPARAM)run->sibling); break;
        }
        break;
    case 16:
        fuzz_note(run, "SetWindowPos popup");
        SetWindowPos(popup, nullptr, fuzz_range(run, -100, 900), fuzz_range(run, -100, 700),
                     fuzz_range(run, 0, 400), fuzz_range(run, 0, 400),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        break;
    case 17: // a second popup: the first one closes
        if (fuzz_chance(run, 30)) {
            fuzz_note(run, "second popup");
            adjust_open(run, run->subject);
        }
        break;
    default:
        destroy_one(run, {{"popup", popup},
                          {"switch", s != nullptr ? s->switchWindow : nullptr},
                          {"subject", run->subject}});
        break;
    }
}

int adjust_check(FuzzRun *run, HWND popup)
{
    const AdjustPopupState *s = static_cast<const AdjustPopupState *>(ctl_get_dialog_data(popup));
    if (s == nullptr)
        return 1;
    fuzz_trace_value(run, ctl_float_bits(s->value));
    if (!(s->value >= s->minimum && s->value <= s->maximum)) {
        fuzz_fail(run, "the adjust popup holds %g outside %g..%g", s->value, s->minimum,
                  s->maximum);
        return 0;
    }
    if (s->decimals < 1 || s->decimals > 5) {
        fuzz_fail(run, "the adjust popup shows %d decimals", s->decimals);
        return 0;
    }
    return 1;
}

// ---------------------------------------------------------------------------
// 3. Time-entry dialog: modal, sixteen fields, lists, a note palette and a
//    lamp switch, editing the process's time context in place.
// ---------------------------------------------------------------------------

HWND time_current(void) { return g_openTimeDialog; }

// Opens the dialog over owner (or another window, or none) at some point on
// some time, any float included; checks what it returns.
void time_open(FuzzRun *run, HWND owner)
{
    HWND parents[] = {owner, owner, owner, run->host, run->sibling, nullptr};
    HWND parent = parents[fuzz_below(run, 6)];
    POINT at = {fuzz_range(run, -30, 300), fuzz_range(run, -30, 250)};
    ClientToScreen(run->host, &at);
    float seconds = fuzz_chance(run, 80) ? fuzz_float(run, -10.0f, 1000.0f)
                                         : ctl_as_float(fuzz_rand(run));
    float got = ctl_time_dialog(parent, fuzz_chance(run, 80) ? CTL_TD_CONTROL_WORD : fuzz_rand(run),
                                at.x, at.y, seconds);
    fuzz_trace_value(run, ctl_float_bits(got));
}

void time_message(FuzzRun *run, HWND dialog)
{
    static const int kFields[] = {CTL_TD_SECONDS,  CTL_TD_MILLISECONDS, CTL_TD_FREQUENCY,
                                  CTL_TD_TEMPO_OF_PERIOD, CTL_TD_TEMPO, CTL_TD_DISTANCE,
                                  CTL_TD_SAMPLES,  CTL_TD_TICKS,        CTL_TD_POSITION,
                                  CTL_TD_FRAME,    CTL_TD_FRAME_RATE};
    HWND field = GetDlgItem(dialog, kFields[fuzz_below(run, (int)std::size(kFields))]);
    switch (fuzz_below(run, 16)) {
    case 0:
    case 1:
    case 2:
    case 3: // typing into a field: it converts at once
        fuzz_note(run, "SetWindowText field");
        SetWindowTextA(field, random_text(run));
        break;
    case 4:
        fuzz_send(run, field, WM_CHAR, (WPARAM)fuzz_range(run, 32, 126), 1);
        break;
    case 5: { // the lists
        HWND list = GetDlgItem(dialog, fuzz_chance(run, 50) ? CTL_TD_BEATS_PER_BAR : CTL_TD_BEAT_UNIT);
        fuzz_send(run, list, LB_SETCURSEL, (WPARAM)fuzz_range(run, -2, 70), 0);
        fuzz_send(run, dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE), (LPARAM)list);
        break;
    }
    case 6:
    case 7:
    case 8: { // the note palette and the background
        static const UINT kMouse[] = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE, WM_RBUTTONDOWN};
        fuzz_send(run, dialog, kMouse[fuzz_below(run, 4)], fuzz_mouse_keys(run, 10),
                  fuzz_point(run, dialog));
        break;
    }
    case 9: { // buttons and the switch; OK, Cancel and Apply end or change it
        static const int kButtons[] = {CTL_TD_APPLY, CTL_TD_REPLACE, CTL_TD_OK, CTL_TD_CANCEL};
        int id = kButtons[fuzz_below(run, fuzz_chance(run, 80) ? 2 : 4)];
        fuzz_send(run, dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
        break;
    }
    case 10: {
        UINT key = fuzz_chance(run, 50) ? VK_TAB : (UINT)fuzz_below(run, 256);
        fuzz_send(run, field, fuzz_chance(run, 60) ? WM_KEYDOWN : WM_KEYUP, key, 1);
        break;
    }
    case 11: fuzz_send(run, dialog, WM_CANCELMODE, 0, 0); break;
    case 12: fuzz_send(run, dialog, WM_CAPTURECHANGED, 0, (LPARAM)some_window(run, dialog, field)); break;
    case 13:
        if (fuzz_chance(run, 20))
            fuzz_send(run, dialog, WM_CLOSE, 0, 0);
        else
            fuzz_send(run, dialog, WM_PAINT, 0, 0);
        break;
    case 14: // a second dialog: the first one ends
        if (fuzz_chance(run, 20)) {
            fuzz_note(run, "second time dialog");
            time_open(run, run->subject);
        }
        break;
    default: // destruction while it is open
        if (fuzz_chance(run, 30))
            destroy_one(run, {{"dialog", dialog}, {"subject", run->subject}, {"host", run->host}});
        break;
    }
}

// The context the dialog edits stays within its limits whatever was typed.
int time_check(FuzzRun *run, HWND dialog)
{
    (void)dialog;
    if (g_openTimeDialog != nullptr && !IsWindow(g_openTimeDialog)) {
        fuzz_fail(run, "the open time dialog handle names no window");
        return 0;
    }
    if (ctl_note_count(&g_timeContext) > (int)CTL_NOTE_SLOTS) {
        fuzz_fail(run, "the note sequence is longer than its table");
        return 0;
    }
    return 1;
}

} // namespace

// ---------------------------------------------------------------------------
// 4. The table
// ---------------------------------------------------------------------------

const FuzzDialog kFuzzDialogs[] = {
    {"edit-value", edit_current, edit_open, edit_message, edit_check, nullptr},
    {"adjust-value", adjust_current, adjust_open, adjust_message, adjust_check, "Rotatif"},
    {"time-entry", time_current, time_open, time_message, time_check, nullptr},
};
const int kFuzzDialogCount = sizeof kFuzzDialogs / sizeof kFuzzDialogs[0];
