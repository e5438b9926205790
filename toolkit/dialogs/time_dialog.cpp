// The time-entry dialog: one time shown at once as seconds, milliseconds,
// frequency, tempo of period, distance, samples, a note duration, a bar /
// beat / tick position and a video frame. Modal, built from a template in
// memory; the dialog makes its seventeen children itself. Every field
// converts while the user types and rewrites the others; the conversions are
// the time context's (time_context.h).
//
// What changes what:
//
//   typed into                   time (seconds)            also rewritten
//   s, ms, Hz, bpm, m, smp, frame   from that field        every time field but it
//   position                     parsed bar/beat/tick      every time field but it
//   tempo, Apply, a picked note  the note duration         every time field
//   ticks, beats/bar, beat unit  unchanged                 the position only
//   frame rate                   unchanged                 the video frame only
//
// Ending: OK keeps the context's changes and returns the seconds; Cancel
// puts the context back and returns the cancel marker; a close (WM_CLOSE, a
// second dialog, the toolkit's shutdown, the caller's window going away)
// keeps the changes and returns the cancel marker.
//
// Contents: 1. layout  2. texts of the fields  3. ending  4. set-up
//           5. commands  6. note picking and dragging  7. painting
//           8. dialog procedure  9. opening
#include "toolkit/qk2ctl.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <span>

// ---------------------------------------------------------------------------
// 1. Layout: children in creation (and Tab) order, client coordinates.
// ---------------------------------------------------------------------------

// An edit field or a list box.
struct FieldSpec {
    uint16_t id;                 // child id
    int16_t x, y, w, h;          // client rectangle
    HWND TimeDialogState::*slot; // where its handle is kept
};
static constexpr FieldSpec kEdits[] = {
    {CTL_TD_SECONDS, 6, 28, 125, 17, &TimeDialogState::secondsEdit},
    {CTL_TD_MILLISECONDS, 6, 48, 125, 17, &TimeDialogState::millisecondsEdit},
    {CTL_TD_FREQUENCY, 6, 68, 125, 17, &TimeDialogState::frequencyEdit},
    {CTL_TD_TEMPO_OF_PERIOD, 6, 88, 125, 17, &TimeDialogState::tempoOfPeriodEdit},
    {CTL_TD_DISTANCE, 6, 108, 125, 17, &TimeDialogState::distanceEdit},
    {CTL_TD_SAMPLES, 6, 128, 125, 17, &TimeDialogState::samplesEdit},
    {CTL_TD_TEMPO, 181, 126, 60, 17, &TimeDialogState::tempoEdit},
    {CTL_TD_POSITION, 360, 25, 162, 17, &TimeDialogState::positionEdit},
    {CTL_TD_TICKS, 360, 58, 50, 17, &TimeDialogState::ticksEdit},
};
// The two edits made after the list boxes.
static constexpr FieldSpec kVideoEdits[] = {
    {CTL_TD_FRAME, 360, 155, 162, 17, &TimeDialogState::frameEdit},
    {CTL_TD_FRAME_RATE, 455, 185, 67, 17, &TimeDialogState::frameRateEdit},
};

// The list boxes of the time signature, made between the two groups of edits.
static constexpr FieldSpec kLists[] = {
    {CTL_TD_BEATS_PER_BAR, 420, 58, 50, 60, &TimeDialogState::beatsPerBarList},
    {CTL_TD_BEAT_UNIT, 475, 58, 50, 60, &TimeDialogState::beatUnitList},
};
// Every edit and list box, in the order they are made.
static constexpr std::span<const FieldSpec> kFieldGroups[] = {kEdits, kLists, kVideoEdits};

static const int kMaxBeatsPerBar = 64;               // the first item of the beats list
static constexpr int kBeatUnits[] = {16, 8, 4, 2, 1}; // the beat-unit list's items, in order

// A push button.
struct ButtonSpec {
    uint16_t id;                 // child id
    const char *text;            // its caption
    int16_t x, y, w, h;          // client rectangle
    DWORD style;                 // besides WS_CHILD | WS_VISIBLE | WS_TABSTOP
    HWND TimeDialogState::*slot; // where its handle is kept
};
static constexpr ButtonSpec kButtons[] = {
    {CTL_TD_OK, "OK", 5, 185, 70, 25, BS_DEFPUSHBUTTON, &TimeDialogState::okButton},
    {CTL_TD_CANCEL, "Cancel", 80, 185, 70, 25, 0, &TimeDialogState::cancelButton},
    {CTL_TD_APPLY, "Apply", 275, 197, 67, 15, 0, &TimeDialogState::applyButton},
};
static const int kApplyFont = 4; // Apply's toolkit font; OK and Cancel take the fields' font
static const int kReplaceX = 315, kReplaceY = 126; // the replace switch

// Edits and list boxes: a thin sunken edge, two-pixel margins. The edits
// scroll their text sideways, so that a long number can be typed whole.
static const DWORD kEditStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL;
// The list boxes keep the height they are given: shrunk to whole items of
// the fields' font they came out 26 to 48 pixels high, a single item with a
// large font, too short to pick from with the scroll bar.
static const DWORD kListStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_CLIPCHILDREN |
                                LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
static const LPARAM kMargins = MAKELPARAM(2, 2);

// Popup, visible, clipping its children, thin border, modal frame.
static const DWORD kDialogStyle =
    WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_BORDER | DS_MODALFRAME;
static_assert(kDialogStyle == 0x92800080, "time-entry dialog style");
static const SIZE_T kTemplateBytes = 1024; // the zeroed block the template is built in

// The note palette: five columns and three rows of 32-pixel cells.
static const int kCell = 32;
static const int kPaletteW = 5 * kCell, kPaletteH = 3 * kCell;

// The time fields in the order they are rewritten; the first six are the
// views typed into directly.
static constexpr uint16_t kRefreshOrder[] = {CTL_TD_SECONDS, CTL_TD_MILLISECONDS, CTL_TD_FREQUENCY,
                                             CTL_TD_TEMPO_OF_PERIOD, CTL_TD_DISTANCE,
                                             CTL_TD_SAMPLES, CTL_TD_POSITION, CTL_TD_FRAME};

// The fields a typed time comes from, with their conversion to seconds.
typedef float (*TimeEntry)(TimeValues *views, const TimeContext *context, const char *text);
struct TypedField {
    uint16_t id;     // child id
    TimeEntry entry; // reads the text, fills the views
};
static constexpr TypedField kTypedFields[] = {
    {CTL_TD_SECONDS, ctl_time_from_seconds},
    {CTL_TD_MILLISECONDS, ctl_time_from_milliseconds},
    {CTL_TD_FREQUENCY, ctl_time_from_frequency},
    {CTL_TD_TEMPO_OF_PERIOD, ctl_time_from_tempo_of_period},
    {CTL_TD_DISTANCE, ctl_time_from_distance},
    {CTL_TD_SAMPLES, ctl_time_from_samples},
    {CTL_TD_FRAME, ctl_time_from_frame},
    {CTL_TD_POSITION, ctl_time_from_position},
};

static const int kMinTicks = 1, kMaxTicks = 99999; // ticks per beat the dialog allows

// ---------------------------------------------------------------------------
// 2. Texts of the fields
// ---------------------------------------------------------------------------

// x for display: NaN as 0 and infinities as the largest float of their sign,
// so that a field never shows "nan" or "inf" (a stored context may hold them).
static double shown(float x)
{
    if (std::isnan(x))
        return 0.0;
    if (std::isinf(x))
        return x > 0 ? FLT_MAX : -FLT_MAX;
    return x;
}

// The window handle of child id, from the state (null when not made).
static HWND field_window(const TimeDialogState *s, int id)
{
    for (std::span<const FieldSpec> group : kFieldGroups)
        for (const FieldSpec &f : group)
            if (f.id == id)
                return s->*f.slot;
    return nullptr;
}

// Writes what edit field id shows for the state into text (CTL_TD_FIELD_TEXT
// bytes). Returns 0 for an id that is not an edit field.
static int field_text(const TimeDialogState *s, int id, char *text)
{
    const TimeValues &v = s->views;
    const TimeContext *c = s->context;
    const size_t n = CTL_TD_FIELD_TEXT;
    switch (id) {
    case CTL_TD_SECONDS: std::snprintf(text, n, "%.6f", shown(v.seconds)); return 1;
    case CTL_TD_MILLISECONDS: std::snprintf(text, n, "%.3f", shown(v.milliseconds)); return 1;
    case CTL_TD_FREQUENCY: std::snprintf(text, n, "%.3f", shown(v.frequency)); return 1;
    case CTL_TD_TEMPO_OF_PERIOD: std::snprintf(text, n, "%.3f", shown(v.tempoOfPeriod)); return 1;
    case CTL_TD_DISTANCE: std::snprintf(text, n, "%.3f", shown(v.distance)); return 1;
    case CTL_TD_SAMPLES: std::snprintf(text, n, "%.0f", shown(v.samples)); return 1;
    case CTL_TD_TEMPO: std::snprintf(text, n, "%.3f", shown(c->tempo)); return 1;
    case CTL_TD_TICKS: std::snprintf(text, n, "%04i", (int)c->ticksPerBeat); return 1;
    case CTL_TD_FRAME_RATE: std::snprintf(text, n, "%.3f", shown(c->framesPerSecond)); return 1;
    case CTL_TD_FRAME:
        std::snprintf(text, n, "%.3f", shown(ctl_video_frame(v.seconds, c)));
        return 1;
    case CTL_TD_POSITION:
        ctl_music_format(text, n, v.milliseconds, c->tempo, c->ticksPerBeat, c->beatsPerBar,
                         c->beatUnit);
        return 1;
    }
    return 0;
}

// Sets field id's text from the state. The EN_CHANGE this sends is turned
// away by busy, which the callers hold.
static void rewrite_field(const TimeDialogState *s, int id)
{
    char text[CTL_TD_FIELD_TEXT];
    HWND field = field_window(s, id);
    if (field != nullptr && field_text(s, id, text))
        SetWindowTextA(field, text);
}

// Rewrites every time field from the views, in order, leaving out field
// `except` (the one just typed in; 0 for none).
static void refresh_fields(const TimeDialogState *s, int except)
{
    for (uint16_t id : kRefreshOrder)
        if (id != except)
            rewrite_field(s, id);
}

// The number typed in field id as every field reads it: at most 126
// characters, a negative number counting as 0, always finite.
static float field_number(const TimeDialogState *s, int id)
{
    char text[CTL_TD_FIELD_TEXT] = "";
    GetWindowTextA(field_window(s, id), text, CTL_TD_FIELD_TEXT - 1);
    return ctl_time_field_number(text);
}

// ---------------------------------------------------------------------------
// 3. Ending. Every way out ends here, once.
// ---------------------------------------------------------------------------

static TimeDialogState *state_of(HWND dialog)
{
    return static_cast<TimeDialogState *>(ctl_get_dialog_data(dialog));
}

// Forgets dialog as the open time-entry dialog, unless another one has
// taken its place since. An ended dialog stays the open one until it is
// destroyed, so that the toolkit's shutdown still finds it (and its lamp
// switch) when its loop has not yet taken it away.
static void forget_open_dialog(HWND dialog)
{
    if (g_openTimeDialog == dialog)
        g_openTimeDialog = nullptr;
}

// Ends the dialog with the value the state holds. Returns TRUE (handled).
static INT_PTR end_dialog(HWND dialog, TimeDialogState *s)
{
    if (s->ended)
        return TRUE;
    s->ended = 1;
    EndDialog(dialog, 0);
    return TRUE;
}

// OK: the seconds shown become the result.
static INT_PTR accept(HWND dialog, TimeDialogState *s)
{
    if (!s->ended)
        s->value = s->views.seconds;
    return end_dialog(dialog, s);
}

// Cancel: the context goes back to what it was at the opening.
static INT_PTR cancel(HWND dialog, TimeDialogState *s)
{
    if (!s->ended)
        *s->context = s->snapshot;
    return end_dialog(dialog, s);
}

// A close keeps the context's changes and returns the cancel marker. During
// the toolkit's final shutdown the dialog goes at once, so that none of its
// children (the lamp switch is a toolkit control) outlives the classes and
// the fonts.
static INT_PTR close_dialog(HWND dialog, TimeDialogState *s)
{
    end_dialog(dialog, s);
    if (!g_toolkitActive && IsWindow(dialog))
        DestroyWindow(dialog);
    return TRUE;
}

// ---------------------------------------------------------------------------
// 4. Set-up
// ---------------------------------------------------------------------------

// Makes one child of the dialog in the state's font (font index `font`).
static HWND make_child(HWND dialog, DWORD exStyle, const char *cls, const char *text, DWORD style,
                       int id, int x, int y, int w, int h, int font)
{
    HWND child = CreateWindowExA(exStyle, cls, text, style, x, y, w, h, dialog,
                                 (HMENU)(INT_PTR)id, ctl_instance(), nullptr);
    if (child != nullptr)
        SendMessageA(child, WM_SETFONT, (WPARAM)ctl_font(font), FALSE);
    return child;
}

// Makes the edits, each with its margins and first text.
static void make_edits(HWND dialog, TimeDialogState *s, const FieldSpec *edits, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        const FieldSpec &e = edits[i];
        if (e.id == CTL_TD_POSITION) {
            s->column3X = 360;
            s->column3Y = 25;
        }
        HWND edit = make_child(dialog, WS_EX_STATICEDGE, "edit", "", kEditStyle, e.id, e.x, e.y,
                               e.w, e.h, s->fontIndex);
        s->*e.slot = edit;
        if (edit == nullptr)
            continue;
        SendMessageA(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, kMargins);
        rewrite_field(s, e.id);
    }
}

// Number of items of list id, and the value item `index` stands for: beats
// per bar 64 down to 1, beat units 16, 8, 4, 2, 1.
static int list_count(int id)
{
    return id == CTL_TD_BEATS_PER_BAR ? kMaxBeatsPerBar : (int)std::size(kBeatUnits);
}
static int list_value(int id, int index)
{
    return id == CTL_TD_BEATS_PER_BAR ? kMaxBeatsPerBar - index : kBeatUnits[index];
}

// The item of list id that shows the context's value, or -1 (no selection)
// when no item does.
static int list_selection(const TimeDialogState *s, int id)
{
    int32_t value = id == CTL_TD_BEATS_PER_BAR ? s->context->beatsPerBar : s->context->beatUnit;
    for (int i = 0; i < list_count(id); ++i)
        if (list_value(id, i) == value)
            return i;
    return -1;
}

// Makes the two lists, fills them and selects the context's values.
static void make_lists(HWND dialog, TimeDialogState *s)
{
    for (const FieldSpec &l : kLists) {
        HWND list = make_child(dialog, WS_EX_STATICEDGE, "listbox", nullptr, kListStyle, l.id, l.x,
                               l.y, l.w, l.h, s->fontIndex);
        s->*l.slot = list;
        if (list == nullptr)
            continue;
        // Filled without redrawing: each item would otherwise redraw the
        // list and its scroll bar, which costs a visible delay at opening.
        SendMessageA(list, WM_SETREDRAW, FALSE, 0);
        for (int i = 0; i < list_count(l.id); ++i) {
            char item[16];
            std::snprintf(item, sizeof item, "%i", list_value(l.id, i));
            SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)item);
        }
        SendMessageA(list, LB_SETCURSEL, (WPARAM)list_selection(s, l.id), 0);
        SendMessageA(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
    }
}

// Gives the focus to the field that had it last (its text all selected); the
// seconds field when the stored id names no field.
static void focus_last_field(TimeDialogState *s)
{
    int id = s->context->focusId;
    HWND field = field_window(s, id);
    if (field == nullptr) {
        id = CTL_TD_SECONDS;
        field = s->secondsEdit;
    }
    if (id != CTL_TD_BEATS_PER_BAR && id != CTL_TD_BEAT_UNIT)
        SendMessageA(field, EM_SETSEL, 0, -1);
    SetFocus(field);
}

static void make_buttons(HWND dialog, TimeDialogState *s)
{
    s->replaceSwitch = ctl_create_lamp_button(dialog, CTL_TD_REPLACE, kReplaceX, kReplaceY, 0);
    if (s->replaceSwitch != nullptr && s->context->replaceMode == 1)
        SendMessageA(s->replaceSwitch, WM_COMMAND, CTL_CMD_SET, ctl_float_bits(1.0f));
    for (const ButtonSpec &b : kButtons) {
        int font = b.id == CTL_TD_APPLY ? kApplyFont : s->fontIndex;
        s->*b.slot = make_child(dialog, 0, "button", b.text,
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | b.style, b.id, b.x, b.y, b.w,
                                b.h, font);
    }
}

// Takes the snapshot, derives the views from the caller's seconds, places
// the dialog (wholly on the screen) and makes the children with their texts.
// Returns FALSE: the focus is set here.
static INT_PTR on_init(HWND dialog, TimeDialogState *s)
{
    g_openTimeDialog = dialog;
    ctl_set_dialog_data(dialog, s);
    s->pressedNote = -1;
    s->column2X = 180;
    s->column2Y = 25;
    ctl_mover_init(&s->drag, dialog);
    s->snapshot = *s->context;
    s->busy = 1;
    float seconds = s->value;
    s->value = CTL_TIME_CANCEL;
    ctl_derive_values(&s->views, seconds, s->context);
    SetWindowPos(dialog, nullptr, s->x, s->y, s->width, s->height, SWP_SHOWWINDOW);
    ctl_keep_on_screen(dialog);
    make_edits(dialog, s, kEdits, std::size(kEdits));
    make_lists(dialog, s);
    make_edits(dialog, s, kVideoEdits, std::size(kVideoEdits));
    focus_last_field(s);
    make_buttons(dialog, s);
    s->busy = 0;
    InvalidateRect(dialog, nullptr, FALSE);
    return FALSE;
}

// ---------------------------------------------------------------------------
// 5. Commands
// ---------------------------------------------------------------------------

// Work done under the busy guard: a notification that arrives while the
// dialog writes its own fields is answered TRUE and ignored.
static INT_PTR guarded(TimeDialogState *s, void (*work)(TimeDialogState *, int), int id)
{
    if (s->busy)
        return TRUE;
    s->busy = 1;
    work(s, id);
    s->busy = 0;
    return FALSE;
}

// A time typed into field id: the views from its text, the other fields
// rewritten.
static void typed_time(TimeDialogState *s, int id)
{
    for (const TypedField &f : kTypedFields) {
        if (f.id != id)
            continue;
        char text[CTL_TD_FIELD_TEXT] = "";
        GetWindowTextA(field_window(s, id), text, CTL_TD_FIELD_TEXT - 1);
        f.entry(&s->views, s->context, text);
        refresh_fields(s, id);
        return;
    }
}

// The time becomes the note sequence's duration at the context's tempo.
static void time_from_notes(TimeDialogState *s, CtlSamplesRule rule)
{
    ctl_time_from_notes(&s->views, s->context, rule);
    refresh_fields(s, 0);
}

static void typed_tempo(TimeDialogState *s, int)
{
    s->context->tempo = field_number(s, CTL_TD_TEMPO);
    time_from_notes(s, CTL_SAMPLES_ROUND);
}

static void apply_notes(TimeDialogState *s, int) { time_from_notes(s, CTL_SAMPLES_ROUND); }

// Ticks per beat: limited to 1-99999, then the fraction dropped.
static void typed_ticks(TimeDialogState *s, int)
{
    float ticks = field_number(s, CTL_TD_TICKS);
    if (ticks > kMaxTicks)
        ticks = kMaxTicks;
    if (ticks < kMinTicks)
        ticks = kMinTicks;
    s->context->ticksPerBeat = (int32_t)ticks;
    rewrite_field(s, CTL_TD_POSITION);
}

// A signature item picked: beats per bar or beat unit; no selection changes
// nothing.
static void picked_signature(TimeDialogState *s, int id)
{
    int index = (int)SendMessageA(field_window(s, id), LB_GETCURSEL, 0, 0);
    if (index >= 0 && index < list_count(id)) {
        TimeContext *c = s->context;
        (id == CTL_TD_BEATS_PER_BAR ? c->beatsPerBar : c->beatUnit) = list_value(id, index);
    }
    rewrite_field(s, CTL_TD_POSITION);
}

static void typed_frame_rate(TimeDialogState *s, int)
{
    s->context->framesPerSecond = field_number(s, CTL_TD_FRAME_RATE);
    rewrite_field(s, CTL_TD_FRAME);
}

// What a field's change notification does, or null for the edits of a time.
static void (*change_work(int id))(TimeDialogState *, int)
{
    switch (id) {
    case CTL_TD_TEMPO: return typed_tempo;
    case CTL_TD_TICKS: return typed_ticks;
    case CTL_TD_BEATS_PER_BAR:
    case CTL_TD_BEAT_UNIT: return picked_signature;
    case CTL_TD_FRAME_RATE: return typed_frame_rate;
    }
    return typed_time;
}

static bool is_list(int id) { return id == CTL_TD_BEATS_PER_BAR || id == CTL_TD_BEAT_UNIT; }

// The buttons end or apply whatever the notification; the switch sets the
// replace mode from its value (lParam holds its float bits); a field
// remembers itself as the last focused on its set-focus code and converts on
// its change code. Everything else returns FALSE.
static INT_PTR on_command(HWND dialog, TimeDialogState *s, int id, int code, LPARAM lParam)
{
    switch (id) {
    case CTL_TD_OK: return accept(dialog, s);
    case CTL_TD_CANCEL: return cancel(dialog, s);
    case CTL_TD_APPLY: return guarded(s, apply_notes, id);
    case CTL_TD_REPLACE:
        s->context->replaceMode = ctl_as_float((uint32_t)lParam) != 0.0f ? 1 : 0;
        return FALSE;
    }
    if (field_window(s, id) == nullptr)
        return FALSE;
    int focusCode = is_list(id) ? LBN_SETFOCUS : EN_SETFOCUS;
    int changeCode = is_list(id) ? LBN_SELCHANGE : EN_CHANGE;
    if (code == focusCode) {
        s->context->focusId = (uint16_t)id;
        return FALSE;
    }
    if (code == changeCode)
        return guarded(s, change_work(id), id);
    return FALSE;
}

// ---------------------------------------------------------------------------
// 6. Note picking and dragging
// ---------------------------------------------------------------------------

// The note cell under client point (x, y): the palette's inner area,
// strictly inside its edges, is split into the cells as they are drawn.
// Returns 0-14, or -1 outside.
static int note_at(const TimeDialogState *s, int x, int y)
{
    int dx = x - s->column2X, dy = y - s->column2Y;
    if (dx <= 0 || dx >= kPaletteW || dy <= 0 || dy >= kPaletteH)
        return -1;
    return dy / kCell * 5 + dx / kCell;
}

// The rectangle of note cell c in the dialog's client area.
static RECT cell_rect(const TimeDialogState *s, int c)
{
    int left = s->column2X + kCell * (c % 5), top = s->column2Y + kCell * (c / 5);
    return {left, top, left + kCell, top + kCell};
}

// Inverts note cell c of the palette on the dialog's screen.
static void invert_cell(HWND dialog, const TimeDialogState *s, int c)
{
    RECT cell = cell_rect(s, c);
    HDC dc = GetDC(dialog);
    InvertRect(dc, &cell);
    ReleaseDC(dialog, dc);
}

// Lets go of the held note cell, if any: its normal look comes back.
static void release_note(HWND dialog, TimeDialogState *s)
{
    if (s->pressedNote < 0)
        return;
    int c = s->pressedNote;
    s->pressedNote = -1;
    invert_cell(dialog, s, c);
}

// The duration strip, redrawn at once.
static void redraw_strip(HWND dialog, const TimeDialogState *s)
{
    HDC dc = GetDC(dialog);
    ctl_duration_draw(dc, s->context, s);
    ReleaseDC(dialog, dc);
}

// A note cell picked: it joins (or replaces) the sequence and the time
// becomes the sequence's duration, its samples cut toward zero.
static void pick_note(HWND dialog, TimeDialogState *s, int c)
{
    ctl_duration_add(s->context, c);
    redraw_strip(dialog, s);
    if (s->busy)
        return;
    s->busy = 1;
    time_from_notes(s, CTL_SAMPLES_TRUNCATE);
    s->busy = 0;
}

// A press on a note cell holds it (inverted, mouse captured); a press on the
// duration strip does nothing; any other press on the dialog's own surface
// starts moving the dialog.
static INT_PTR on_button_down(HWND dialog, TimeDialogState *s, int x, int y)
{
    release_note(dialog, s);
    int c = note_at(s, x, y);
    if (c >= 0) {
        invert_cell(dialog, s, c);
        s->pressedNote = c;
        SetCapture(dialog);
        return FALSE;
    }
    int X = s->column2X, Y = s->column2Y;
    if (x > X - 1 && x < X + kPaletteW + 1 && y > Y + 135 && y < Y + 169)
        return FALSE;
    ctl_mover_begin(&s->drag, x, y);
    return FALSE;
}

static INT_PTR on_mouse_move(TimeDialogState *s, int x, int y)
{
    ctl_mover_move(&s->drag, x, y);
    return FALSE;
}

// A release on the held cell picks it; a release anywhere else picks
// nothing. Either way the cell looks normal again and the capture goes; a
// drag in progress ends where its outline is.
static INT_PTR on_button_up(HWND dialog, TimeDialogState *s, int x, int y)
{
    if (s->pressedNote >= 0) {
        int held = s->pressedNote;
        release_note(dialog, s);
        if (note_at(s, x, y) == held)
            pick_note(dialog, s, held);
        if (GetCapture() == dialog)
            ReleaseCapture();
    }
    ctl_mover_end(&s->drag, x, y);
    return FALSE;
}

// The capture taken away by another window ends a held note (nothing picked)
// and a drag (the dialog goes where the outline is).
static INT_PTR on_capture_changed(HWND dialog, TimeDialogState *s, HWND gainer)
{
    if (gainer == dialog)
        return FALSE;
    release_note(dialog, s);
    if (ctl_drag_active(&s->drag))
        ctl_mover_end(&s->drag, 0, 0);
    return FALSE;
}

// ---------------------------------------------------------------------------
// 7. Painting
// ---------------------------------------------------------------------------

void ctl_duration_draw(HDC dc, const TimeContext *context, const TimeDialogState *state)
{
    int X = state != nullptr ? state->column2X : 180;
    int Y = state != nullptr ? state->column2Y : 25;
    ctl_fill_box(dc, CTL_RELIEF, X - 1, Y + 135, X + kPaletteW + 1, Y + 169);
    SelectObject(dc, ctl_pen(13));
    int count = context != nullptr ? ctl_note_count(context) : 0;
    if (count == 0)
        return;
    // The toolkit keeps its bitmaps selected in DCs of their own, and a
    // bitmap can be selected in one DC only: the notes are read from that
    // DC, or from one made here when the bitmap is not kept.
    HBITMAP picture = ctl_bitmap(CTL_BMP_NOTES);
    HDC notes = ctl_picture_dc(picture);
    HDC made = notes == nullptr ? CreateCompatibleDC(dc) : nullptr;
    HGDIOBJ old = made != nullptr ? SelectObject(made, picture) : nullptr;
    if (made != nullptr)
        notes = made;
    for (int i = 0; i < count; ++i) {
        int note = context->notes[i];
        BitBlt(dc, X + 1 + 30 * i, Y + 137, 30, 30, notes, note % 5 * kCell + 1,
               note / 5 * kCell + 1, NOTSRCCOPY);
        if (i == 0)
            continue;
        int t = X - 13 + 30 * i; // the tie mark between note i - 1 and note i
        MoveToEx(dc, t, Y + 154, nullptr);
        LineTo(dc, t + 11, Y + 154);
        MoveToEx(dc, t, Y + 154, nullptr);
        LineTo(dc, t - 3, Y + 157);
        MoveToEx(dc, t + 11, Y + 154, nullptr);
        LineTo(dc, t + 14, Y + 157);
    }
    if (made != nullptr) {
        SelectObject(made, old);
        DeleteDC(made);
    }
}

// Titles in font 9 and captions in font 4, black with a white relief.
static const uint32_t kTitleWord = 0x80000900u;
static const uint32_t kCaptionWord = 0x80000400u;

struct PaintedText {
    int16_t x, y;     // top-left
    uint32_t word;    // title or caption
    const char *text; // the text
};
static constexpr PaintedText kTexts[] = {
    {5, 2, kTitleWord, "Enter Time"},
    {135, 30, kCaptionWord, "(s)"},
    {135, 50, kCaptionWord, "(ms)"},
    {135, 70, kCaptionWord, "(Hz)"},
    {135, 90, kCaptionWord, "(bpm)"},
    {135, 110, kCaptionWord, "(m)"},
    {135, 130, kCaptionWord, "(smp)"},
    {180, 2, kTitleWord, "Enter Musical Time"},
    {247, 127, kCaptionWord, "Tempo"},
    {245, 144, kCaptionWord, "Replace mode"},
    {179, 196, kCaptionWord, "Musical duration."},
    {360, 2, kTitleWord, "Enter Musical Position"},
    {362, 44, kCaptionWord, "tic"},
    {421, 44, kCaptionWord, "Time Signature"},
    {360, 130, kTitleWord, "Enter Video Frame"},
    {360, 187, kCaptionWord, "Frame per second"},
};

struct PaintedLine {
    int16_t x1, y1, x2, y2; // from, to (the end point is not drawn)
};
static constexpr PaintedLine kLines[] = {
    {170, 2, 170, 212},  // between the first and second columns
    {327, 144, 327, 152}, // from the replace switch to its caption
    {315, 152, 327, 152},
    {352, 2, 352, 212},  // between the second and third columns
    {360, 125, 523, 125}, // above the video frame
};

// The decoration: titles, captions, the sample rate, the lines, the note
// palette (with the held cell inverted) and the duration strip.
static void paint_decoration(HDC dc, const TimeDialogState *s)
{
    int oldMode = SetBkMode(dc, TRANSPARENT);
    for (const PaintedText &t : kTexts)
        ctl_text(dc, t.word, t.x, t.y, t.text);
    char rate[48];
    std::snprintf(rate, sizeof rate, "Freq. Sample : %iHz", (int)s->context->sampleRate);
    ctl_text(dc, kCaptionWord, 8, 149, rate);
    for (const PaintedLine &l : kLines)
        ctl_line(dc, CTL_RELIEF, l.x1, l.y1, l.x2, l.y2);
    ctl_blit(dc, ctl_bitmap(CTL_BMP_NOTES), s->column2X, s->column2Y, kPaletteW, kPaletteH);
    if (s->pressedNote >= 0) { // a held cell stays inverted through a repaint
        RECT cell = cell_rect(s, s->pressedNote);
        InvertRect(dc, &cell);
    }
    ctl_duration_draw(dc, s->context, s);
    SetBkMode(dc, oldMode);
}

static INT_PTR on_paint(HWND dialog, const TimeDialogState *s)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(dialog, &ps);
    if (!s->busy)
        paint_decoration(dc, s);
    EndPaint(dialog, &ps);
    return TRUE;
}

// The marble tiled over the client area; the dialog manager is told it is
// erased.
static INT_PTR on_erase(HWND dialog, HDC dc)
{
    ctl_tile(dialog, dc, 0, 0, ctl_bitmap(CTL_BMP_MARBLE));
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 1);
    return TRUE;
}

// Fields and lists in the colour word's colours.
static INT_PTR on_colour(const TimeDialogState *s, HDC dc)
{
    int back = (s->colourWord >> 4) & 15;
    SetBkColor(dc, ctl_color(back));
    SetTextColor(dc, ctl_color(s->colourWord & 15));
    return (INT_PTR)ctl_brush(back);
}

// A dialog destroyed before it ended (by someone else than its own loop)
// ends here, so that its owner is enabled again; the template goes.
static INT_PTR on_destroy(HWND dialog, TimeDialogState *s)
{
    end_dialog(dialog, s);
    forget_open_dialog(dialog);
    if (s->dialogTemplate != nullptr)
        GlobalFree(s->dialogTemplate);
    s->dialogTemplate = nullptr;
    return FALSE;
}

// ---------------------------------------------------------------------------
// 8. Dialog procedure
// ---------------------------------------------------------------------------

static INT_PTR CALLBACK time_dialog_proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    TimeDialogState *s = message == WM_INITDIALOG ? reinterpret_cast<TimeDialogState *>(lParam)
                                                  : state_of(dialog);
    if (s == nullptr)
        return FALSE;
    int x = (short)LOWORD(lParam), y = (short)HIWORD(lParam);
    switch (message) {
    case WM_INITDIALOG: return on_init(dialog, s);
    case WM_PAINT: return on_paint(dialog, s);
    case WM_ERASEBKGND: return on_erase(dialog, (HDC)wParam);
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: return on_colour(s, (HDC)wParam);
    case WM_COMMAND: return on_command(dialog, s, LOWORD(wParam), HIWORD(wParam), lParam);
    case WM_LBUTTONDOWN: return on_button_down(dialog, s, x, y);
    case WM_MOUSEMOVE: return on_mouse_move(s, x, y);
    case WM_LBUTTONUP: return on_button_up(dialog, s, x, y);
    case WM_CAPTURECHANGED: return on_capture_changed(dialog, s, (HWND)lParam);
    case WM_CLOSE: return close_dialog(dialog, s);
    case WM_DESTROY: return on_destroy(dialog, s);
    default: return FALSE;
    }
}

// ---------------------------------------------------------------------------
// 9. Opening
// ---------------------------------------------------------------------------

// Watches, while a dialog runs, for the destruction of the open dialog's
// caller window or of a window that holds it: the dialog is closed before
// anything is destroyed, so its loop ends at once with the cancel marker.
static LRESULT CALLBACK watch_destruction(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_DESTROYWND && g_openTimeDialog != nullptr) {
        HWND dying = (HWND)wParam;
        TimeDialogState *s = state_of(g_openTimeDialog);
        if (s != nullptr && s->owner != nullptr && (s->owner == dying || IsChild(dying, s->owner)))
            close_dialog(g_openTimeDialog, s);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Runs the dialog over the state until it ends. The template is the style
// and zeros: no extended style, no items, position and size 0, no menu, the
// default class and an empty title. When it cannot be made the value stays
// the caller's and the caller turns it into the cancel marker.
static int run_dialog(HWND owner, TimeDialogState *s)
{
    s->dialogTemplate = GlobalAlloc(GMEM_ZEROINIT, kTemplateBytes);
    if (s->dialogTemplate == nullptr)
        return 0;
    static_cast<DLGTEMPLATE *>(s->dialogTemplate)->style = kDialogStyle;
    HHOOK watch = SetWindowsHookExA(WH_CBT, watch_destruction, nullptr, GetCurrentThreadId());
    INT_PTR result = DialogBoxIndirectParamA(
        ctl_instance(), static_cast<LPCDLGTEMPLATEA>(s->dialogTemplate), owner, time_dialog_proc,
        (LPARAM)s);
    if (watch != nullptr)
        UnhookWindowsHookEx(watch);
    if (s->dialogTemplate != nullptr) // the dialog never came to be destroyed
        GlobalFree(s->dialogTemplate);
    s->dialogTemplate = nullptr;
    return result != -1 && s->ended;
}

float ctl_time_dialog(HWND owner, uint32_t colourWord, int x, int y, float seconds)
{
    if (!g_toolkitActive)
        return CTL_TIME_CANCEL;
    if (g_openTimeDialog != nullptr) // only one at a time: the open one is closed
        SendMessageA(g_openTimeDialog, WM_CLOSE, 0, 0);
    int frame, caption, menu;
    ctl_frame_metrics(&frame, &caption, &menu);
    TimeDialogState state = {};
    state.x = x;
    state.y = y;
    state.width = CTL_TD_CLIENT_W + 2 * frame;
    state.height = CTL_TD_CLIENT_H + 2 * frame;
    state.colourWord = colourWord;
    state.context = &g_timeContext;
    state.fontIndex = (uint16_t)((colourWord >> 8) & 15);
    state.value = seconds;
    state.owner = owner;
    bool ownerWasWindow = owner != nullptr && IsWindow(owner);
    if (!run_dialog(owner, &state))
        return CTL_TIME_CANCEL;
    if (ownerWasWindow && !IsWindow(owner))
        return CTL_TIME_CANCEL; // the caller's window is gone: nothing to apply
    return state.value;
}
