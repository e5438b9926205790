// The time-entry dialog, driven from inside its own modal loop by a timer:
// what it shows when it opens, typing into each field, note picking with the
// mouse, the time signature lists, every way it ends and what the caller and
// the time context then hold, one dialog at a time, dragging it by its
// background, odd stored contexts and typed texts, and the settings round
// trip through the registry.
#include "tests/win/harness.h"
#include "tests/win/host_fixture.h"
#include "toolkit/qk2ctl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

using TimeDialogTest = ToolkitHostTest<200, 120>;

const uint32_t kWord = CTL_TD_CONTROL_WORD; // black on colour 14, font 7

// ---------------------------------------------------------------------------
// Running a dialog with a script in its loop
// ---------------------------------------------------------------------------

// What a test does from inside the dialog's loop, one step per tick. The
// timer also ticks in a nested loop (a second dialog).
struct Script {
    void (*tick)(Script *s) = nullptr; // called on every tick once a dialog is open
    int step = 0;                      // the script's progress
    int ticks = 0;                     // ticks so far; past 300 the dialog is ended by force
    bool timedOut = false;             // it was
    HWND owner = nullptr;              // the window the dialog is opened for
    HWND dialog = nullptr;             // the first dialog seen
    std::string seen;                  // what the script noted
    float inner = 0.0f;                // what a nested dialog returned
    uint32_t word = kWord;             // the colour word the dialog is opened with
    std::vector<void (*)(Script *)> steps; // run_steps: one per tick
};

Script *g_script = nullptr; // the running script

void CALLBACK script_timer(HWND, UINT, UINT_PTR, DWORD)
{
    Script *s = g_script;
    if (s != nullptr && s->dialog == nullptr && g_openTimeDialog != nullptr)
        s->dialog = g_openTimeDialog;
    if (s == nullptr || s->dialog == nullptr)
        return;
    if (++s->ticks > 300) {
        s->timedOut = true;
        EndDialog(g_openTimeDialog != nullptr ? g_openTimeDialog : s->dialog, 0);
        return;
    }
    s->tick(s);
}

// Opens a dialog for s->owner at its client point (at, at) showing seconds.
float open_dialog(Script *s, float seconds, int at = 10)
{
    POINT p = {at, at};
    ClientToScreen(s->owner, &p);
    return ctl_time_dialog(s->owner, s->word, p.x, p.y, seconds);
}

// Opens the dialog with the script running in its loop; returns its result.
float run_dialog(Script *script, float seconds)
{
    g_script = script;
    UINT_PTR timer = SetTimer(nullptr, 0, 10, script_timer);
    float result = open_dialog(script, seconds);
    KillTimer(nullptr, timer);
    g_script = nullptr;
    harness_pump();
    return result;
}

// Runs the actions one per tick (posted input is handled between ticks);
// the last should end the dialog. Returns the dialog's result.
typedef void (*Action)(Script *s);
float run_steps(Script *script, float seconds, std::initializer_list<Action> actions)
{
    script->steps = std::vector<Action>(actions);
    script->tick = [](Script *s) {
        if (s->step < (int)s->steps.size())
            s->steps[s->step++](s);
    };
    return run_dialog(script, seconds);
}

std::string text_of(HWND dialog, int id)
{
    char text[256] = "";
    GetWindowTextA(GetDlgItem(dialog, id), text, sizeof text);
    return text;
}

void type(HWND dialog, int id, const char *text)
{
    SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, (LPARAM)text);
}

bool is_marker(float x) { return x == CTL_TIME_CANCEL; }

HWND child(const Script *s, int id) { return GetDlgItem(s->dialog, id); }

// A left click posted to a child window (a button or the lamp switch).
void post_click(HWND window)
{
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
}

// Posts a press, or a release, at client point (x, y) of the dialog.
void post_press(const Script *s, int x, int y)
{
    harness_post_mouse(s->dialog, WM_LBUTTONDOWN, x, y, MK_LBUTTON);
}
void post_release(const Script *s, int x, int y)
{
    harness_post_mouse(s->dialog, WM_LBUTTONUP, x, y, 0);
}

// The note palette's origin and the centre of note cell c.
const int kPalX = 180, kPalY = 25;
POINT cell_centre(int c) { return {kPalX + 32 * (c % 5) + 16, kPalY + 32 * (c / 5) + 16}; }

// A press and release on note cell c, taken in by the next tick.
void pick(const Script *s, int c)
{
    POINT p = cell_centre(c);
    post_press(s, p.x, p.y);
    post_release(s, p.x, p.y);
}

// Every pixel of note cell c as the dialog shows it.
std::vector<COLORREF> cell_pixels(HWND dialog, int c)
{
    UpdateWindow(dialog);
    std::vector<COLORREF> pixels;
    HDC dc = GetDC(dialog);
    int left = kPalX + 32 * (c % 5), top = kPalY + 32 * (c / 5);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            pixels.push_back(GetPixel(dc, left + x, top + y));
    ReleaseDC(dialog, dc);
    return pixels;
}

std::vector<COLORREF> inverted(std::vector<COLORREF> pixels)
{
    for (COLORREF &p : pixels)
        p ^= 0xFFFFFF;
    return pixels;
}

// The notes of the context's sequence, as "2,3" ("" for none).
std::string notes_of(const TimeContext &c)
{
    std::string text;
    for (int i = 0; i < ctl_note_count(&c); ++i)
        text += (i ? "," : "") + std::to_string(c.notes[i]);
    return text;
}

// Every time field's text, "|" between them, in the order 10, 11, 12, 13,
// 50, 51, 70, 63 (the order time-convert prints its lines in).
std::string time_texts(HWND dialog)
{
    static const int ids[] = {CTL_TD_SECONDS, CTL_TD_MILLISECONDS, CTL_TD_FREQUENCY,
                              CTL_TD_TEMPO_OF_PERIOD, CTL_TD_DISTANCE, CTL_TD_SAMPLES,
                              CTL_TD_FRAME, CTL_TD_POSITION};
    std::string all;
    for (int id : ids)
        all += (all.empty() ? "" : "|") + text_of(dialog, id);
    return all;
}

// ---------------------------------------------------------------------------
// Opening
// ---------------------------------------------------------------------------

// The fields that show a time or the context, with their texts for 1.0 s and
// the built-in context.
struct Shown {
    int id;
    const char *text;
};
const Shown kOneSecond[] = {
    {CTL_TD_SECONDS, "1.000000"},      {CTL_TD_MILLISECONDS, "1000.000"},
    {CTL_TD_FREQUENCY, "1.000"},       {CTL_TD_TEMPO_OF_PERIOD, "60.000"},
    {CTL_TD_DISTANCE, "330.000"},      {CTL_TD_SAMPLES, "44100"},
    {CTL_TD_TEMPO, "120.000"},         {CTL_TD_POSITION, "     1 /  3 /     0"},
    {CTL_TD_TICKS, "0096"},            {CTL_TD_FRAME, "25.000"},
    {CTL_TD_FRAME_RATE, "25.000"},
};

TEST_F(TimeDialogTest, OpensAtItsPointShowingOneSecondInEveryUnit)
{
    Script script;
    script.owner = host;
    script.tick = [](Script *s) {
        if (s->step++ != 0)
            return;
        for (const Shown &f : kOneSecond)
            EXPECT_EQ(text_of(s->dialog, f.id), f.text) << "field " << f.id;
        RECT window, client;
        GetWindowRect(s->dialog, &window);
        GetClientRect(s->dialog, &client);
        POINT at = {10, 10};
        ClientToScreen(s->owner, &at);
        EXPECT_EQ(window.left, at.x);
        EXPECT_EQ(window.top, at.y);
        EXPECT_EQ(client.right, 544);
        EXPECT_EQ(client.bottom, 220);
        EXPECT_EQ((DWORD)GetWindowLongA(s->dialog, GWL_STYLE) & 0x92800080u, 0x92800080u);
        EXPECT_FALSE(IsWindowEnabled(s->owner)) << "modal";
        HWND seconds = GetDlgItem(s->dialog, CTL_TD_SECONDS);
        EXPECT_EQ(GetFocus(), seconds);
        EXPECT_EQ(SendMessageA(seconds, EM_GETSEL, 0, 0), MAKELONG(0, 8)) << "all selected";
        EXPECT_EQ(SendMessageA(child(s, CTL_TD_BEATS_PER_BAR), LB_GETCURSEL, 0, 0), 60);
        EXPECT_EQ(SendMessageA(child(s, CTL_TD_BEAT_UNIT), LB_GETCURSEL, 0, 0), 2);
        EXPECT_EQ(ctl_send_command(GetDlgItem(s->dialog, CTL_TD_REPLACE), CTL_CMD_GET, 0), 1.0f)
            << "replace mode is on";
        PostMessageA(s->dialog, WM_COMMAND, IDCANCEL, 0);
    };
    EXPECT_TRUE(is_marker(run_dialog(&script, 1.0f)));
    EXPECT_FALSE(script.timedOut);
    EXPECT_FALSE(IsWindow(script.dialog));
    EXPECT_EQ(g_openTimeDialog, nullptr);
    EXPECT_TRUE(IsWindowEnabled(host));
}

// The children, in creation (Tab) order, as the dialog's layout gives them.
struct ChildRow {
    int id;
    const char *cls; // window class, or "" for the toolkit's lamp switch
    int x, y, w, h;  // client rectangle
    int font;        // toolkit font, -1 for none
};
const ChildRow kChildren[] = {
    {10, "Edit", 6, 28, 125, 17, 7},     {11, "Edit", 6, 48, 125, 17, 7},
    {12, "Edit", 6, 68, 125, 17, 7},     {13, "Edit", 6, 88, 125, 17, 7},
    {50, "Edit", 6, 108, 125, 17, 7},    {51, "Edit", 6, 128, 125, 17, 7},
    {14, "Edit", 181, 126, 60, 17, 7},   {63, "Edit", 360, 25, 162, 17, 7},
    {60, "Edit", 360, 58, 50, 17, 7},    {61, "ListBox", 420, 58, 50, 60, 7},
    {62, "ListBox", 475, 58, 50, 60, 7}, {70, "Edit", 360, 155, 162, 17, 7},
    {71, "Edit", 455, 185, 67, 17, 7},   {15, "", 315, 126, 24, 16, -1},
    {1, "Button", 5, 185, 70, 25, 7},    {2, "Button", 80, 185, 70, 25, 7},
    {3, "Button", 275, 197, 67, 15, 4},
};

TEST_F(TimeDialogTest, ChildrenComeInTabOrderWithTheirPlacesFontsAndMargins)
{
    Script script;
    script.owner = host;
    run_steps(&script, 1.0f, {[](Script *s) {
                  HWND c = GetWindow(s->dialog, GW_CHILD);
                  for (const ChildRow &row : kChildren) {
                      SCOPED_TRACE(row.id);
                      ASSERT_NE(c, nullptr);
                      EXPECT_EQ(GetDlgCtrlID(c), row.id);
                      char cls[64] = "";
                      GetClassNameA(c, cls, sizeof cls);
                      if (*row.cls != '\0') {
                          EXPECT_STRCASEEQ(cls, row.cls);
                      } else {
                          EXPECT_EQ(std::string(cls), CTL_CLASS_I2P);
                      }
                      RECT r;
                      GetWindowRect(c, &r);
                      MapWindowPoints(nullptr, s->dialog, reinterpret_cast<POINT *>(&r), 2);
                      EXPECT_EQ(r.left, row.x);
                      EXPECT_EQ(r.top, row.y);
                      EXPECT_EQ(r.right - r.left, row.w);
                      EXPECT_EQ(r.bottom - r.top, row.h);
                      LONG style = GetWindowLongA(c, GWL_STYLE);
                      EXPECT_TRUE(style & WS_TABSTOP);
                      EXPECT_TRUE(style & WS_VISIBLE);
                      if (row.font >= 0) {
                          EXPECT_EQ((HFONT)SendMessageA(c, WM_GETFONT, 0, 0), ctl_font(row.font));
                      }
                      bool edit = std::string(row.cls) == "Edit";
                      bool list = std::string(row.cls) == "ListBox";
                      if (edit || list) {
                          EXPECT_TRUE(GetWindowLongA(c, GWL_EXSTYLE) & WS_EX_STATICEDGE);
                      }
                      if (edit) {
                          EXPECT_EQ(SendMessageA(c, EM_GETMARGINS, 0, 0), MAKELONG(2, 2));
                      }
                      if (list) {
                          EXPECT_EQ(style & (WS_VSCROLL | LBS_NOTIFY), WS_VSCROLL | LBS_NOTIFY);
                      }
                      if (row.id == 1) {
                          EXPECT_EQ(style & 0xF, BS_DEFPUSHBUTTON);
                      }
                      c = GetWindow(c, GW_HWNDNEXT);
                  }
                  EXPECT_EQ(c, nullptr) << "seventeen children";
                  EXPECT_EQ(text_of(s->dialog, 1) + text_of(s->dialog, 2) + text_of(s->dialog, 3),
                            "OKCancelApply");
                  PostMessageA(s->dialog, WM_COMMAND, IDCANCEL, 0);
              }});
    EXPECT_FALSE(script.timedOut);
}

// Each list's items, and that each can be brought into full view and picked
// with the keyboard (the first by Home, every other by Down), in the fields'
// font of three colour words; the lists keep their height of 60 pixels.
std::string g_listFailures; // list items that could not be seen or picked

// Picks every item of both lists with the keyboard, from the dialog's loop.
void pick_every_list_item(Script *s)
{
    struct ListRow {
        int id;
        int count;
        const char *first, *last;
    };
    const ListRow rows[] = {{61, 64, "64", "1"}, {62, 5, "16", "1"}};
    for (const ListRow &row : rows) {
        HWND list = child(s, row.id);
        ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), row.count);
        char item[16];
        SendMessageA(list, LB_GETTEXT, 0, (LPARAM)item);
        EXPECT_STREQ(item, row.first);
        SendMessageA(list, LB_GETTEXT, row.count - 1, (LPARAM)item);
        EXPECT_STREQ(item, row.last);
        RECT client, frame;
        GetClientRect(list, &client);
        GetWindowRect(list, &frame);
        EXPECT_EQ(frame.bottom - frame.top, 60) << "as laid out, whatever the font";
        SetFocus(list);
        SendMessageA(list, WM_KEYDOWN, VK_HOME, harness_key_lparam(VK_HOME, true));
        for (int i = 0; i < row.count; ++i) {
            if (i > 0)
                SendMessageA(list, WM_KEYDOWN, VK_DOWN, harness_key_lparam(VK_DOWN, true));
            RECT r;
            SendMessageA(list, LB_GETITEMRECT, i, (LPARAM)&r);
            int want = row.id == 61 ? 64 - i : 16 >> i;
            int got = row.id == 61 ? g_timeContext.beatsPerBar : g_timeContext.beatUnit;
            if (SendMessageA(list, LB_GETCURSEL, 0, 0) != i || r.top < 0 ||
                r.bottom > client.bottom || got != want)
                g_listFailures += std::to_string(row.id) + ":" + std::to_string(i) + " ";
        }
    }
    EXPECT_EQ(g_timeContext.focusId, 62) << "the last list focused";
    EXPECT_EQ(text_of(s->dialog, CTL_TD_POSITION), "     1 /  1 /   192")
        << "1 s at 120 bpm in 1/1: half a whole note, in ticks";
    PostMessageA(s->dialog, WM_COMMAND, IDOK, 0);
}

TEST_F(TimeDialogTest, EveryItemOfTheSignatureListsCanBeReachedAndPicked)
{
    for (uint32_t word : {kWord, ctl_colour_word(0, 14, 12), ctl_colour_word(0, 14, 15)}) {
        SCOPED_TRACE(word);
        g_timeContext = CTL_TIME_CONTEXT_BUILTIN;
        g_listFailures.clear();
        Script script;
        script.owner = host;
        script.word = word;
        run_steps(&script, 1.0f, {pick_every_list_item});
        EXPECT_EQ(g_listFailures, "") << "items that were not visible or not picked";
        EXPECT_FALSE(script.timedOut);
    }
}

// A text typed into one field, and what every time field then shows: the
// lines time-convert prints for the same entry (the typed field keeps the
// typed text).
struct TypedRow {
    int id;
    const char *typed;
    const char *expected; // 10|11|12|13|50|51|70|63
};
const TypedRow kTyped[] = {
    {CTL_TD_SECONDS, "0.5",
     "0.5|500.000|2.000|120.000|165.000|22050|12.500|     1 /  2 /     0"},
    {CTL_TD_MILLISECONDS, "250",
     "0.250000|250|4.000|240.000|82.500|11025|6.250|     1 /  1 /    48"},
    {CTL_TD_FREQUENCY, "440",
     "0.002273|2.273|440|26400.000|0.750|100|0.057|     1 /  1 /     0"},
    {CTL_TD_TEMPO_OF_PERIOD, "90",
     "0.666667|666.667|1.500|90|220.000|29400|16.667|     1 /  2 /    32"},
    {CTL_TD_DISTANCE, "33",
     "0.100000|100.000|10.000|600.000|33|4410|2.500|     1 /  1 /    19"},
    {CTL_TD_SAMPLES, "22050.5",
     "0.500000|500.000|2.000|120.000|165.000|22050.5|12.500|     1 /  2 /     0"},
    {CTL_TD_FRAME, "100",
     "4.000000|4000.000|0.250|15.000|1320.000|176400|100|     3 /  1 /     0"},
    {CTL_TD_POSITION, "3:2:48",
     "4.750000|4750.000|0.211|12.632|1567.500|209475|118.750|3:2:48"},
    {CTL_TD_POSITION, "2", "2.000000|2000.000|0.500|30.000|660.000|88200|50.000|2"},
    {CTL_TD_MILLISECONDS, "0,25",
     "0.000250|0,25|4000.000|239999.984|0.083|11|0.006|     1 /  1 /     0"},
    // 0, no digits and negative numbers all count as 0
    {CTL_TD_FREQUENCY, "0", "0.000000|0.000|0|0.000|0.000|0|0.000|     1 /  1 /     0"},
    {CTL_TD_FREQUENCY, "abc", "0.000000|0.000|abc|0.000|0.000|0|0.000|     1 /  1 /     0"},
    {CTL_TD_SECONDS, "-2", "-2|0.000|0.000|0.000|0.000|0|0.000|     1 /  1 /     0"},
    {CTL_TD_SAMPLES, "-44100", "0.000000|0.000|0.000|0.000|0.000|-44100|0.000|     1 /  1 /     0"},
    // several points: the number ends at the second
    {CTL_TD_SECONDS, "1.2.3",
     "1.2.3|1200.000|0.833|50.000|396.000|52920|30.000|     1 /  3 /    38"},
};

TEST_F(TimeDialogTest, TypingInAFieldRewritesEveryOtherFieldAsTimeConvertDoes)
{
    for (const TypedRow &row : kTyped) {
        static const TypedRow *current;
        current = &row;
        SCOPED_TRACE(std::to_string(row.id) + " " + row.typed);
        Script script;
        script.owner = host;
        run_steps(&script, 1.0f,
                  {[](Script *s) { type(s->dialog, current->id, current->typed); },
                   [](Script *s) {
                       s->seen = time_texts(s->dialog);
                       PostMessageA(s->dialog, WM_COMMAND, IDCANCEL, 0);
                   }});
        EXPECT_EQ(script.seen, row.expected);
        EXPECT_FALSE(script.timedOut);
    }
}

TEST_F(TimeDialogTest, TypingWithTheKeyboardAndReplacingTheSelectionConvertsToo)
{
    Script script;
    script.owner = host;
    float result = run_steps(
        &script, 1.0f,
        {[](Script *s) { // the seconds field has the focus with its text selected
             for (char c : std::string("2.5"))
                 PostMessageA(child(s, CTL_TD_SECONDS), WM_CHAR, (WPARAM)c, 1);
         },
         [](Script *s) {
             EXPECT_EQ(text_of(s->dialog, CTL_TD_MILLISECONDS), "2500.000");
             HWND ms = child(s, CTL_TD_MILLISECONDS);
             SendMessageA(ms, EM_SETSEL, 0, -1);
             SendMessageA(ms, EM_REPLACESEL, TRUE, (LPARAM) "125");
         },
         [](Script *s) {
             EXPECT_EQ(text_of(s->dialog, CTL_TD_SECONDS), "0.125000");
             // a number longer than the field is wide scrolls instead of stopping
             HWND samples = child(s, CTL_TD_SAMPLES);
             SetFocus(samples);
             SendMessageA(samples, EM_SETSEL, 0, -1);
             for (char c : std::string("123456789012345678901234"))
                 PostMessageA(samples, WM_CHAR, (WPARAM)c, 1);
         },
         [](Script *s) {
             EXPECT_EQ(text_of(s->dialog, CTL_TD_SAMPLES), "123456789012345678901234");
             type(s->dialog, CTL_TD_MILLISECONDS, "125");
             harness_post_key(child(s, CTL_TD_MILLISECONDS), VK_RETURN, true);
         }});
    EXPECT_EQ(result, 0.125f) << "Enter is OK";
    EXPECT_FALSE(script.timedOut);
}

// Long and odd texts: the views stay finite and every field's text fits its
// 128-byte buffer.
TEST_F(TimeDialogTest, OddTypedTextsGiveFiniteViews)
{
    static const std::string digits126(126, '9'), digits200(200, '7'), points(130, '.');
    static const std::string exponent = "1e999999999", tiny = "0." + std::string(120, '0') + "1";
    const std::string *texts[] = {&digits126, &digits200, &points, &exponent, &tiny};
    const int ids[] = {10, 11, 12, 13, 50, 51, 70, 63, 14, 60, 71};
    for (const std::string *text : texts) {
        for (int id : ids) {
            static const std::string *typedText;
            static int typedId;
            typedText = text;
            typedId = id;
            SCOPED_TRACE(std::to_string(id) + " " + text->substr(0, 12));
            Script script;
            script.owner = host;
            run_steps(&script, 1.0f,
                      {[](Script *s) { type(s->dialog, typedId, typedText->c_str()); },
                       [](Script *s) {
                           for (int other : {10, 11, 12, 13, 50, 51, 70, 63, 14, 60, 71}) {
                               if (other == typedId)
                                   continue;
                               std::string t = text_of(s->dialog, other);
                               EXPECT_LT(t.size(), 128u) << other;
                               EXPECT_EQ(t.find_first_of("naif"), std::string::npos)
                                   << other << ": " << t;
                           }
                           PostMessageA(s->dialog, WM_COMMAND, IDOK, 0);
                       }});
            EXPECT_FALSE(script.timedOut);
            EXPECT_TRUE(std::isfinite(g_timeContext.tempo));
            EXPECT_TRUE(std::isfinite(g_timeContext.framesPerSecond));
            EXPECT_GE(g_timeContext.ticksPerBeat, 1);
            EXPECT_LE(g_timeContext.ticksPerBeat, 99999);
            g_timeContext = CTL_TIME_CONTEXT_BUILTIN;
        }
    }
}

// The tempo, Apply and a picked note all make the time the duration of the
// note sequence at the tempo.
TEST_F(TimeDialogTest, TheTempoApplyAndAPickedNoteMakeTheTimeTheNoteDuration)
{
    Script script;
    script.owner = host;
    run_steps(&script, 1.0f,
              {[](Script *s) { type(s->dialog, CTL_TD_TEMPO, "90"); },
               [](Script *s) {
                   EXPECT_EQ(g_timeContext.tempo, 90.0f);
                   // time-convert --tempo 90 --from notes 2
                   EXPECT_EQ(time_texts(s->dialog), "0.666667|666.667|1.500|90.000|220.000|29400|"
                                                    "16.667|     1 /  2 /     0");
                   EXPECT_EQ(text_of(s->dialog, CTL_TD_TEMPO), "90") << "kept as typed";
                   type(s->dialog, CTL_TD_SECONDS, "3");
                   post_click(child(s, CTL_TD_APPLY));
               },
               [](Script *s) {
                   EXPECT_EQ(text_of(s->dialog, CTL_TD_SECONDS), "0.666667") << "Apply";
                   type(s->dialog, CTL_TD_TEMPO, "-60");
               },
               [](Script *s) {
                   EXPECT_EQ(g_timeContext.tempo, 0.0f) << "a negative tempo counts as 0";
                   EXPECT_EQ(time_texts(s->dialog),
                             "0.000000|0.000|0.000|0.000|0.000|0|0.000|     1 /  1 /     0");
                   type(s->dialog, CTL_TD_TEMPO, "100");
                   post_click(child(s, CTL_TD_REPLACE)); // replace mode off
               },
               [](Script *s) { pick(s, 11); }, // a dotted half after the quarter
               [](Script *s) {
                   EXPECT_EQ(notes_of(g_timeContext), "2,11");
                   // time-convert --tempo 100 --from notes 2,11, samples cut toward zero
                   EXPECT_EQ(time_texts(s->dialog), "2.400000|2400.000|0.417|25.000|792.000|"
                                                    "105840|60.000|     2 /  1 /     0");
                   PostMessageA(s->dialog, WM_COMMAND, IDOK, 0);
               }});
    EXPECT_FALSE(script.timedOut);
}

TEST_F(TimeDialogTest, APickedNotesSamplesAreCutTowardZero)
{
    g_timeContext.sampleRate = 3;
    g_timeContext.tempo = 60.0f;
    Script script;
    script.owner = host;
    run_steps(&script, 1.0f,
              {[](Script *s) { pick(s, 3); }, // an eighth at 60 bpm: 0.5 s, 1.5 samples
               [](Script *s) {
                   EXPECT_EQ(text_of(s->dialog, CTL_TD_SAMPLES), "1") << "picked: cut";
                   post_click(child(s, CTL_TD_APPLY));
               },
               [](Script *s) {
                   EXPECT_EQ(text_of(s->dialog, CTL_TD_SAMPLES), "1") << "applied: halves down";
                   type(s->dialog, CTL_TD_SECONDS, "0.6");
               },
               [](Script *s) {
                   EXPECT_EQ(text_of(s->dialog, CTL_TD_SAMPLES), "2") << "typed: 1.8 rounds up";
                   PostMessageA(s->dialog, WM_COMMAND, IDOK, 0);
               }});
    EXPECT_FALSE(script.timedOut);
}

struct TicksRow {
    const char *typed;
    int32_t stored;
    const char *position; // 0.6 s at 120 bpm: 1.2 quarter notes
};
const TicksRow kTicks[] = {
    {"2.7", 2, "     1 /  2 /     0"},     {"0", 1, "     1 /  2 /     0"},
    {"123456", 99999, "     1 /  2 / 20000"}, {"-5", 1, "     1 /  2 /     0"},
    {"none", 1, "     1 /  2 /     0"},    {"480", 480, "     1 /  2 /    96"},
};

TEST_F(TimeDialogTest, TicksPerBeatAreKeptWholeIn1To99999AndRewriteThePosition)
{
    for (const TicksRow &row : kTicks) {
        static const TicksRow *current;
        current = &row;
        SCOPED_TRACE(row.typed);
        Script script;
        script.owner = host;
        run_steps(&script, 0.6f,
                  {[](Script *s) { type(s->dialog, CTL_TD_TICKS, current->typed); },
                   [](Script *s) {
                       EXPECT_EQ(g_timeContext.ticksPerBeat, current->stored);
                       EXPECT_EQ(text_of(s->dialog, CTL_TD_POSITION), current->position);
                       EXPECT_EQ(text_of(s->dialog, CTL_TD_SECONDS), "0.600000") << "unchanged";
                       EXPECT_EQ(text_of(s->dialog, CTL_TD_TICKS), current->typed) << "as typed";
                       PostMessageA(s->dialog, WM_COMMAND, IDOK, 0);
                   }});
        EXPECT_FALSE(script.timedOut);
        g_timeContext = CTL_TIME_CONTEXT_BUILTIN;
    }
}

TEST_F(TimeDialogTest, TheSignatureAndTheFrameRateRewriteOnlyTheirOwnField)
{
    Script script;
    script.owner = host;
    run_steps(&script, 2.5f,
              {[](Script *s) {
                   HWND beats = child(s, CTL_TD_BEATS_PER_BAR);
                   SetFocus(beats);
                   // from 4 down the list to 3
                   harness_post_key(beats, VK_DOWN, true);
               },
               [](Script *s) {
                   EXPECT_EQ(g_timeContext.beatsPerBar, 3);
                   // 2.5 s at 120 bpm: five quarters, bar 2 beat 3 in 3/4
                   EXPECT_EQ(text_of(s->dialog, CTL_TD_POSITION), "     2 /  3 /     0");
                   HWND unit = child(s, CTL_TD_BEAT_UNIT);
                   SetFocus(unit);
                   harness_post_key(unit, VK_UP, true); // from 4 up to 8
               },
               [](Script *s) {
                   EXPECT_EQ(g_timeContext.beatUnit, 8);
                   // ten eighths in 3/8: bar 4 beat 2
                   EXPECT_EQ(text_of(s->dialog, CTL_TD_POSITION), "     4 /  2 /     0");
                   type(s->dialog, CTL_TD_FRAME_RATE, "29.97");
               },
               [](Script *s) {
                   EXPECT_EQ(g_timeContext.framesPerSecond, 29.97f);
                   EXPECT_EQ(text_of(s->dialog, CTL_TD_FRAME), "74.925");
                   EXPECT_EQ(text_of(s->dialog, CTL_TD_SECONDS), "2.500000") << "unchanged";
                   EXPECT_EQ(text_of(s->dialog, CTL_TD_FRAME_RATE), "29.97") << "as typed";
                   PostMessageA(s->dialog, WM_COMMAND, IDOK, 0);
               }});
    EXPECT_FALSE(script.timedOut);
}

// ---------------------------------------------------------------------------
// Note picking
// ---------------------------------------------------------------------------

TEST_F(TimeDialogTest, APressAndReleaseOnOneCellAppendsItUpToFiveNotes)
{
    g_timeContext.replaceMode = 0;
    Script script;
    script.owner = host;
    run_steps(&script, 1.0f,
              {[](Script *s) { pick(s, 3); },
               [](Script *s) {
                   EXPECT_EQ(notes_of(g_timeContext), "2,3");
                   EXPECT_EQ(text_of(s->dialog, CTL_TD_SECONDS), "0.750000");
                   EXPECT_EQ(GetCapture(), nullptr);
                   pick(s, 14);
                   pick(s, 0);
                   pick(s, 9);
               },
               [](Script *s) {
                   EXPECT_EQ(notes_of(g_timeContext), "2,3,14,0,9");
                   pick(s, 5);
               },
               [](Script *s) {
                   EXPECT_EQ(notes_of(g_timeContext), "5") << "a sixth note starts again";
                   // the cells' edges: just inside the palette's corners, and a
                   // cell's first pixel column picks that cell
                   post_press(s, kPalX + 1, kPalY + 1);
                   post_release(s, kPalX + 1, kPalY + 1);
                   post_press(s, kPalX + 159, kPalY + 95);
                   post_release(s, kPalX + 159, kPalY + 95);
                   post_press(s, kPalX + 64, kPalY + 40);
                   post_release(s, kPalX + 64, kPalY + 40);
               },
               [](Script *s) {
                   EXPECT_EQ(notes_of(g_timeContext), "5,0,14,7");
                   // the palette's outer edge picks nothing
                   post_press(s, kPalX, kPalY + 10);
                   post_release(s, kPalX, kPalY + 10);
                   post_press(s, kPalX + 160, kPalY + 10);
                   post_release(s, kPalX + 160, kPalY + 10);
               },
               [](Script *s) {
                   EXPECT_EQ(notes_of(g_timeContext), "5,0,14,7");
                   PostMessageA(s->dialog, WM_COMMAND, IDOK, 0);
               }});
    EXPECT_FALSE(script.timedOut);
}

TEST_F(TimeDialogTest, AHeldCellIsInvertedAndAReleaseOnAnotherPicksNothing)
{
    static std::vector<COLORREF> normal1, normal2;
    Script script;
    script.owner = host;
    run_steps(&script, 1.0f,
              {[](Script *s) {
                   normal1 = cell_pixels(s->dialog, 1);
                   normal2 = cell_pixels(s->dialog, 2);
                   POINT p = cell_centre(1);
                   post_press(s, p.x, p.y);
               },
               [](Script *s) {
                   EXPECT_EQ(GetCapture(), s->dialog);
                   EXPECT_TRUE(cell_pixels(s->dialog, 1) == inverted(normal1)) << "held";
                   EXPECT_TRUE(cell_pixels(s->dialog, 2) == normal2);
                   // a repaint while it is held keeps it inverted
                   RedrawWindow(s->dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
                   EXPECT_TRUE(cell_pixels(s->dialog, 1) == inverted(normal1)) << "repainted";
                   POINT p = cell_centre(2);
                   harness_post_mouse(s->dialog, WM_MOUSEMOVE, p.x, p.y, MK_LBUTTON);
                   post_release(s, p.x, p.y);
               },
               [](Script *s) {
                   EXPECT_EQ(notes_of(g_timeContext), "2") << "nothing picked";
                   EXPECT_TRUE(cell_pixels(s->dialog, 1) == normal1);
                   EXPECT_TRUE(cell_pixels(s->dialog, 2) == normal2);
                   EXPECT_EQ(GetCapture(), nullptr);
                   EXPECT_EQ(text_of(s->dialog, CTL_TD_SECONDS), "1.000000") << "time unchanged";
                   POINT p = cell_centre(4);
                   post_press(s, p.x, p.y);
                   post_release(s, 10, 170); // off the palette
               },
               [](Script *s) {
                   EXPECT_EQ(notes_of(g_timeContext), "2");
                   normal1 = cell_pixels(s->dialog, 4);
                   POINT p = cell_centre(4);
                   post_press(s, p.x, p.y); // then the capture is taken away
               },
               [](Script *s) {
                   SetCapture(s->owner);
                   ReleaseCapture();
                   EXPECT_TRUE(cell_pixels(s->dialog, 4) == normal1) << "let go";
                   POINT p = cell_centre(4);
                   post_release(s, p.x, p.y); // a late release picks nothing
               },
               [](Script *s) { PostMessageA(s->dialog, WM_COMMAND, IDOK, 0); }});
    EXPECT_FALSE(script.timedOut);
    EXPECT_EQ(notes_of(g_timeContext), "2");
}

// The strip: a black box with each note inverted, 30 pixels apart.
const int kStripY = kPalY + 137 + 15; // the middle row of the notes
bool slot_shows_a_note(HWND dialog, int slot)
{
    UpdateWindow(dialog);
    HDC dc = GetDC(dialog);
    bool seen = false;
    for (int x = 0; x < 30 && !seen; ++x)
        for (int y = 0; y < 30 && !seen; ++y)
            seen = GetPixel(dc, kPalX + 1 + 30 * slot + x, kPalY + 137 + y) != RGB(0, 0, 0);
    ReleaseDC(dialog, dc);
    return seen;
}

std::string strip_slots(HWND dialog)
{
    std::string slots;
    for (int i = 0; i < 5; ++i)
        slots += slot_shows_a_note(dialog, i) ? 'N' : '-';
    return slots;
}

TEST_F(TimeDialogTest, WithReplaceModeOnTheStripAlwaysShowsOneNote)
{
    Script script;
    script.owner = host;
    run_steps(&script, 1.0f,
              {[](Script *s) {
                   EXPECT_EQ(strip_slots(s->dialog), "N----");
                   pick(s, 0);
                   pick(s, 6);
                   pick(s, 13);
               },
               [](Script *s) {
                   EXPECT_EQ(notes_of(g_timeContext), "13");
                   EXPECT_EQ(strip_slots(s->dialog), "N----");
                   post_click(child(s, CTL_TD_REPLACE)); // off: notes append
               },
               [](Script *s) {
                   EXPECT_EQ(g_timeContext.replaceMode, 0);
                   pick(s, 1);
                   pick(s, 2);
               },
               [](Script *s) {
                   EXPECT_EQ(notes_of(g_timeContext), "13,1,2");
                   EXPECT_EQ(strip_slots(s->dialog), "NNN--");
                   // a tie mark in pen 13 between the first two notes
                   int t = kPalX - 13 + 30;
                   EXPECT_EQ(harness_pixel(s->dialog, t + 5, kPalY + 154), ctl_color(13));
                   post_click(child(s, CTL_TD_REPLACE)); // on again
               },
               [](Script *s) {
                   EXPECT_EQ(g_timeContext.replaceMode, 1);
                   pick(s, 4);
               },
               [](Script *s) {
                   EXPECT_EQ(notes_of(g_timeContext), "4");
                   EXPECT_EQ(strip_slots(s->dialog), "N----");
                   PostMessageA(s->dialog, WM_COMMAND, IDOK, 0);
               }});
    EXPECT_FALSE(script.timedOut);
}

// ---------------------------------------------------------------------------
// Ending
// ---------------------------------------------------------------------------

// Changes the tempo, the signature, the ticks, the frame rate, the replace
// mode and the notes, then ends the dialog some way.
struct EndRow {
    const char *name;
    void (*end)(Script *s);
    bool keeps;  // the context keeps the changes
    bool result; // the seconds come back (else the cancel marker)
};
const EndRow kEnds[] = {
    {"OK", [](Script *s) { post_click(child(s, CTL_TD_OK)); }, true, true},
    {"Enter", [](Script *s) { harness_post_key(child(s, CTL_TD_SECONDS), VK_RETURN, true); },
     true, true},
    {"Cancel", [](Script *s) { post_click(child(s, CTL_TD_CANCEL)); }, false, false},
    {"Escape", [](Script *s) { harness_post_key(child(s, CTL_TD_SECONDS), VK_ESCAPE, true); },
     false, false},
    {"WM_CLOSE", [](Script *s) { PostMessageA(s->dialog, WM_CLOSE, 0, 0); }, true, false},
    {"WM_CLOSE, then a late OK",
     [](Script *s) {
         SendMessageA(s->dialog, WM_CLOSE, 0, 0);
         SendMessageA(s->dialog, WM_COMMAND, IDOK, 0);
     },
     true, false},
    {"OK, then a late Cancel",
     [](Script *s) {
         SendMessageA(s->dialog, WM_COMMAND, IDOK, 0);
         SendMessageA(s->dialog, WM_COMMAND, IDCANCEL, 0);
     },
     true, true},
};

TEST_F(TimeDialogTest, CancelRestoresTheContextOKKeepsItAndACloseKeepsItWithoutATime)
{
    for (const EndRow &row : kEnds) {
        static const EndRow *current;
        current = &row;
        SCOPED_TRACE(row.name);
        g_timeContext = CTL_TIME_CONTEXT_BUILTIN;
        Script script;
        script.owner = host;
        float result = run_steps(
            &script, 1.0f,
            {[](Script *s) {
                 type(s->dialog, CTL_TD_TEMPO, "60");
                 type(s->dialog, CTL_TD_TICKS, "480");
                 type(s->dialog, CTL_TD_FRAME_RATE, "30");
                 SetFocus(child(s, CTL_TD_BEAT_UNIT));
                 harness_post_key(child(s, CTL_TD_BEAT_UNIT), VK_UP, true); // 8
                 post_click(child(s, CTL_TD_REPLACE));                      // off
             },
             [](Script *s) {
                 SetFocus(child(s, CTL_TD_BEATS_PER_BAR));
                 harness_post_key(child(s, CTL_TD_BEATS_PER_BAR), VK_UP, true); // 5
                 pick(s, 3);
                 pick(s, 3);
             },
             [](Script *s) {
                 SetFocus(child(s, CTL_TD_SECONDS));
                 type(s->dialog, CTL_TD_SECONDS, "1.25");
             },
             [](Script *s) { current->end(s); }});
        EXPECT_FALSE(script.timedOut);
        EXPECT_FALSE(IsWindow(script.dialog));
        EXPECT_EQ(g_openTimeDialog, nullptr);
        EXPECT_TRUE(IsWindowEnabled(host));
        if (row.result) {
            EXPECT_EQ(result, 1.25f);
        } else {
            EXPECT_TRUE(is_marker(result)) << result;
        }
        TimeContext changed = CTL_TIME_CONTEXT_BUILTIN;
        changed.tempo = 60.0f;
        changed.ticksPerBeat = 480;
        changed.framesPerSecond = 30.0f;
        changed.beatUnit = 8;
        changed.beatsPerBar = 5;
        changed.replaceMode = 0;
        changed.notes[1] = changed.notes[2] = 3;
        const TimeContext &want = row.keeps ? changed : CTL_TIME_CONTEXT_BUILTIN;
        EXPECT_EQ(std::memcmp(&g_timeContext, &want, sizeof want), 0)
            << "tempo " << g_timeContext.tempo << ", notes " << notes_of(g_timeContext)
            << ", focus " << g_timeContext.focusId;
    }
}

TEST_F(TimeDialogTest, ASecondDialogClosesTheFirstWhoseCallerGetsTheCancelMarker)
{
    Script script;
    script.owner = host;
    script.tick = [](Script *s) {
        if (s->step == 0) { // in the first dialog's loop
            s->step = 1;
            type(s->dialog, CTL_TD_TEMPO, "100");
            s->inner = open_dialog(s, 2.0f, 30);
        } else if (s->step == 1 && g_openTimeDialog != s->dialog) { // in the second's
            s->step = 2;
            EXPECT_FALSE(IsWindowVisible(s->dialog)) << "the first has gone";
            EXPECT_EQ(text_of(g_openTimeDialog, CTL_TD_TEMPO), "100.000") << "same context";
            type(g_openTimeDialog, CTL_TD_SECONDS, "3");
            post_click(GetDlgItem(g_openTimeDialog, CTL_TD_OK));
        }
    };
    EXPECT_TRUE(is_marker(run_dialog(&script, 1.0f))) << "the first was closed";
    EXPECT_EQ(script.inner, 3.0f) << "the second was accepted";
    EXPECT_EQ(g_timeContext.tempo, 100.0f);
    EXPECT_FALSE(script.timedOut);
    EXPECT_EQ(g_openTimeDialog, nullptr);
    EXPECT_TRUE(IsWindowEnabled(host));
}

// ---------------------------------------------------------------------------
// Dragging, focus, odd contexts, going away
// ---------------------------------------------------------------------------

TEST_F(TimeDialogTest, DraggingTheBackgroundMovesTheDialogWhereTheOutlineWas)
{
    static RECT before, after;
    Script script;
    script.owner = host;
    run_steps(&script, 1.0f,
              {[](Script *s) {
                   GetWindowRect(s->dialog, &before);
                   post_press(s, 240, 170); // on the duration strip: nothing
                   harness_post_mouse(s->dialog, WM_MOUSEMOVE, 260, 190, MK_LBUTTON);
                   post_release(s, 260, 190);
               },
               [](Script *s) {
                   GetWindowRect(s->dialog, &after);
                   EXPECT_TRUE(EqualRect(&before, &after)) << "the strip does not drag";
                   EXPECT_EQ(GetCapture(), nullptr);
                   post_press(s, 100, 170); // the background under the sample rate
                   harness_post_mouse(s->dialog, WM_MOUSEMOVE, 120, 180, MK_LBUTTON);
                   harness_post_mouse(s->dialog, WM_MOUSEMOVE, 150, 200, MK_LBUTTON);
                   post_release(s, 300, 300); // where the outline was counts
               },
               [](Script *s) {
                   GetWindowRect(s->dialog, &after);
                   EXPECT_EQ(after.left - before.left, 50);
                   EXPECT_EQ(after.top - before.top, 30);
                   EXPECT_EQ(after.right - after.left, before.right - before.left);
                   EXPECT_EQ(GetCapture(), nullptr);
                   PostMessageA(s->dialog, WM_COMMAND, IDOK, 0);
               }});
    EXPECT_FALSE(script.timedOut);
}

TEST_F(TimeDialogTest, TheLastFocusedFieldHasTheFocusAtTheNextOpening)
{
    const int ids[] = {CTL_TD_POSITION, CTL_TD_TEMPO, CTL_TD_BEAT_UNIT, CTL_TD_FRAME_RATE};
    for (int id : ids) {
        static int focused;
        focused = id;
        SCOPED_TRACE(id);
        Script first;
        first.owner = host;
        run_steps(&first, 1.0f, {[](Script *s) {
                      SetFocus(child(s, focused));
                      PostMessageA(s->dialog, WM_COMMAND, IDOK, 0);
                  }});
        EXPECT_EQ(g_timeContext.focusId, id);
        Script second;
        second.owner = host;
        run_steps(&second, 1.0f, {[](Script *s) {
                      HWND field = child(s, focused);
                      EXPECT_EQ(GetFocus(), field);
                      if (focused != CTL_TD_BEAT_UNIT) {
                          EXPECT_EQ(SendMessageA(field, EM_GETSEL, 0, 0),
                                    MAKELONG(0, GetWindowTextLengthA(field)));
                      }
                      PostMessageA(s->dialog, WM_COMMAND, IDCANCEL, 0);
                  }});
    }
}

// Stored contexts with odd fields open with finite texts and read nothing
// outside the note table.
struct OddContext {
    const char *name;
    void (*spoil)(TimeContext *c);
    const char *position; // for 1.0 s
    int beatsItem, unitItem; // list selections, -1 for none
};
const OddContext kOdd[] = {
    {"beat unit 3", [](TimeContext *c) { c->beatUnit = 3; }, "     1 /  3 /     0", 60, -1},
    {"beat unit 0 and 0 beats",
     [](TimeContext *c) {
         c->beatUnit = 0;
         c->beatsPerBar = 0;
     },
     "     1 /  3 /     0", -1, -1},
    {"100 beats per bar", [](TimeContext *c) { c->beatsPerBar = 100; }, "     1 /  3 /     0", -1,
     2},
    {"notes above 14",
     [](TimeContext *c) {
         c->notes[0] = 2;
         c->notes[1] = 15;
         c->notes[2] = 0x7FFF;
     },
     "     1 /  3 /     0", 60, 2},
    {"tempo and frame rate 0",
     [](TimeContext *c) {
         c->tempo = 0.0f;
         c->framesPerSecond = 0.0f;
     },
     "     1 /  1 /     2", 60, 2}, // counted at 1 bpm
    {"not-a-number floats",
     [](TimeContext *c) {
         c->tempo = NAN;
         c->framesPerSecond = NAN;
     },
     "     1 /  1 /     2", 60, 2},
    {"infinite floats",
     [](TimeContext *c) {
         c->tempo = INFINITY;
         c->framesPerSecond = -INFINITY;
     },
     nullptr, 60, 2},
    {"ticks, rate and focus out of range",
     [](TimeContext *c) {
         c->ticksPerBeat = -7;
         c->sampleRate = 0;
         c->focusId = 999;
     },
     "     1 /  3 /     0", 60, 2},
    {"eighths with one tick",
     [](TimeContext *c) {
         c->beatUnit = 8;
         c->ticksPerBeat = 1;
     },
     "     2 /  1 /     0", 60, 1}, // two ticks per quarter: four eighths a bar
};

TEST_F(TimeDialogTest, OddStoredContextsOpenWithFiniteTexts)
{
    for (const OddContext &odd : kOdd) {
        static const OddContext *current;
        current = &odd;
        SCOPED_TRACE(odd.name);
        g_timeContext = CTL_TIME_CONTEXT_BUILTIN;
        odd.spoil(&g_timeContext);
        Script script;
        script.owner = host;
        float result = run_steps(
            &script, 1.0f,
            {[](Script *s) {
                 for (int id : {10, 11, 12, 13, 50, 51, 70, 63, 14, 60, 71}) {
                     std::string t = text_of(s->dialog, id);
                     EXPECT_FALSE(t.empty()) << id;
                     EXPECT_EQ(t.find_first_of("naif"), std::string::npos) << id << ": " << t;
                 }
                 if (current->position != nullptr) {
                     EXPECT_EQ(text_of(s->dialog, CTL_TD_POSITION), current->position);
                 }
                 EXPECT_EQ(SendMessageA(child(s, 61), LB_GETCURSEL, 0, 0), current->beatsItem);
                 EXPECT_EQ(SendMessageA(child(s, 62), LB_GETCURSEL, 0, 0), current->unitItem);
                 pick(s, 2);
             },
             [](Script *s) {
                 EXPECT_EQ(text_of(s->dialog, CTL_TD_SECONDS).find_first_of("naif"),
                           std::string::npos);
                 post_click(child(s, CTL_TD_APPLY));
             },
             [](Script *s) {
                 for (int id : {10, 11, 12, 13, 50, 51, 70, 63})
                     EXPECT_EQ(text_of(s->dialog, id).find_first_of("naif"), std::string::npos)
                         << id;
                 PostMessageA(s->dialog, WM_COMMAND, IDOK, 0);
             }});
        EXPECT_FALSE(script.timedOut);
        EXPECT_TRUE(std::isfinite(result));
    }
    g_timeContext = CTL_TIME_CONTEXT_BUILTIN;
}

TEST_F(TimeDialogTest, ANegativeCallerTimeIsShownUnchangedWithTheStartAsPosition)
{
    Script script;
    script.owner = host;
    float result = run_steps(&script, -1.5f, {[](Script *s) {
                                 s->seen = time_texts(s->dialog);
                                 PostMessageA(s->dialog, WM_COMMAND, IDOK, 0);
                             }});
    EXPECT_EQ(script.seen, "-1.500000|-1500.000|-0.667|-40.000|-495.000|-66150|-37.500|"
                           "     1 /  1 /     0");
    EXPECT_EQ(result, -1.5f) << "OK returns it as it is";
}

TEST_F(TimeDialogTest, ShutdownWhileOpenEndsItAndTheToolkitStartsAgain)
{
    Script script;
    script.owner = host;
    float result = run_steps(&script, 1.0f,
                             {[](Script *s) {
                                  type(s->dialog, CTL_TD_TEMPO, "150");
                                  ctl_shutdown();
                                  s->seen = IsWindow(s->dialog) ? "still there" : "gone";
                              }});
    EXPECT_TRUE(is_marker(result));
    EXPECT_EQ(script.seen, "gone");
    EXPECT_FALSE(script.timedOut);
    EXPECT_EQ(g_openTimeDialog, nullptr);
    EXPECT_TRUE(IsWindowEnabled(host));
    std::vector<uint8_t> stored;
    DWORD type = 0;
    ASSERT_EQ(harness_reg_get(app.keyPath, "Dial_tCtx", &type, &stored), 1);
    ASSERT_EQ(stored.size(), sizeof(TimeContext));
    TimeContext saved;
    std::memcpy(&saved, stored.data(), sizeof saved);
    EXPECT_EQ(saved.tempo, 150.0f) << "the shutdown saved the change";
    ASSERT_EQ(ctl_init(harness_instance(), app.name), 1) << "every class registers again";
}

RECT g_placed; // where the dialog was once set up

// Notes where the dialog stands after its set-up and cancels it.
LRESULT CALLBACK note_place_and_cancel(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPRETSTRUCT *call = reinterpret_cast<const CWPRETSTRUCT *>(lParam);
    if (code == HC_ACTION && call->message == WM_INITDIALOG) {
        GetWindowRect(call->hwnd, &g_placed);
        PostMessageA(call->hwnd, WM_COMMAND, IDCANCEL, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(TimeDialogTest, OpensWhollyOnTheScreenAndNotAtAllWithoutTheToolkit)
{
    static const POINT corners[] = {{5000, 4000}, {-300, -200}};
    for (POINT at : corners) {
        HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, note_place_and_cancel, nullptr,
                                       GetCurrentThreadId());
        ctl_time_dialog(host, kWord, at.x, at.y, 1.0f);
        const RECT &window = g_placed;
        UnhookWindowsHookEx(hook);
        int width, height;
        ctl_screen_limit(&width, &height);
        EXPECT_GE(window.left, 0);
        EXPECT_GE(window.top, 0);
        EXPECT_LE(window.right, width + 1);
        EXPECT_LE(window.bottom, height + 1);
    }
    ctl_shutdown();
    EXPECT_TRUE(is_marker(ctl_time_dialog(host, kWord, 10, 10, 1.0f)));
    EXPECT_EQ(g_openTimeDialog, nullptr);
    ASSERT_EQ(ctl_init(harness_instance(), app.name), 1);
}

LRESULT plain_panel(HWND panel, UINT message, WPARAM wParam, LPARAM lParam, void *);

TEST_F(TimeDialogTest, TheCallerGoingAwayJustBeforeShutdownLeavesNothingBehind)
{
    static HWND panel;
    Script script;
    script.owner = panel = ctl_create_free_panel(host, 1, 10, 10, 60, 40, plain_panel, nullptr);
    float result = run_steps(&script, 1.0f, {[](Script *s) {
                                 DestroyWindow(panel); // ends the dialog
                                 ctl_shutdown();       // before its loop takes it away
                                 s->seen = IsWindow(s->dialog) ? "still there" : "gone";
                             }});
    EXPECT_TRUE(is_marker(result));
    EXPECT_EQ(script.seen, "gone");
    EXPECT_EQ(g_openTimeDialog, nullptr);
    ASSERT_EQ(ctl_init(harness_instance(), app.name), 1) << "every class registers again";
}

LRESULT plain_panel(HWND panel, UINT message, WPARAM wParam, LPARAM lParam, void *)
{
    return DefWindowProcA(panel, message, wParam, lParam);
}

struct GoneRow {
    const char *name;            // what goes away
    bool panelOwner;             // opened for a panel of the frame, not for the frame
    void (*act)(const Script *); // done once, from the loop
};

TEST_F(TimeDialogTest, TheCallersWindowGoingAwayEndsTheDialogWithTheCancelMarker)
{
    static const GoneRow rows[] = {
        {"the top-level window it was opened for", false,
         [](const Script *s) { DestroyWindow(s->owner); }},
        {"the control it was opened for", true, [](const Script *s) { DestroyWindow(s->owner); }},
        {"the window holding that control", true,
         [](const Script *s) { DestroyWindow(GetParent(s->owner)); }},
        {"the dialog itself", true, [](const Script *s) { DestroyWindow(s->dialog); }},
        {"the control, after an OK", true,
         [](const Script *s) {
             SendMessageA(s->dialog, WM_COMMAND, IDOK, 0);
             DestroyWindow(s->owner);
         }},
    };
    for (const GoneRow &row : rows) {
        static const GoneRow *current;
        current = &row;
        SCOPED_TRACE(row.name);
        HWND frame = harness_create_host(120, 80, RGB(255, 255, 255), 300, 250);
        HWND panel = ctl_create_free_panel(frame, 1, 10, 10, 60, 40, plain_panel, nullptr);
        Script script;
        script.owner = row.panelOwner ? panel : frame;
        float result = run_steps(&script, 1.0f, {[](Script *s) { current->act(s); }});
        EXPECT_TRUE(is_marker(result));
        EXPECT_FALSE(script.timedOut) << "it ended at once";
        EXPECT_FALSE(IsWindow(script.dialog));
        EXPECT_EQ(g_openTimeDialog, nullptr);
        if (IsWindow(frame)) {
            EXPECT_TRUE(IsWindowEnabled(frame)) << "the owner works again";
            DestroyWindow(frame);
        }
    }
}

// ---------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------

TEST_F(TimeDialogTest, PaintsTheMarbleTheNotePaletteTheLinesAndTheStrip)
{
    Script script;
    script.owner = host;
    run_steps(&script, 1.0f, {[](Script *s) {
                  // the palette is the note bitmap, pixel for pixel (the
                  // toolkit's bitmaps are read through their kept DCs)
                  HDC notes = ctl_picture_dc(ctl_bitmap(CTL_BMP_NOTES));
                  HDC marble = ctl_picture_dc(ctl_bitmap(CTL_BMP_MARBLE));
                  ASSERT_NE(notes, nullptr);
                  ASSERT_NE(marble, nullptr);
                  int differ = 0;
                  HDC dc = GetDC(s->dialog);
                  for (int y = 0; y < 96; y += 5)
                      for (int x = 0; x < 160; x += 5)
                          differ += GetPixel(notes, x, y) != GetPixel(dc, kPalX + x, kPalY + y);
                  // the marble where nothing else is drawn
                  EXPECT_EQ(GetPixel(dc, 100, 170), GetPixel(marble, 100 % 64, 170 % 64));
                  EXPECT_EQ(GetPixel(dc, 530, 210), GetPixel(marble, 530 % 64, 210 % 64));
                  EXPECT_EQ(differ, 0);
                  // the column lines: black with a white relief
                  EXPECT_EQ(GetPixel(dc, 170, 100), RGB(0, 0, 0));
                  EXPECT_EQ(GetPixel(dc, 171, 101), RGB(255, 255, 255));
                  EXPECT_EQ(GetPixel(dc, 352, 20), RGB(0, 0, 0));
                  EXPECT_EQ(GetPixel(dc, 400, 125), RGB(0, 0, 0));
                  // the strip: a black box with dark top-left and white bottom-right edges
                  EXPECT_EQ(GetPixel(dc, 300, 175), RGB(0, 0, 0));
                  EXPECT_EQ(GetPixel(dc, 250, 160), ctl_color(9));
                  EXPECT_EQ(GetPixel(dc, 250, 194), RGB(255, 255, 255));
                  ReleaseDC(s->dialog, dc);
                  EXPECT_EQ(strip_slots(s->dialog), "N----");
                  // the fields in the colour word's colours
                  RECT r;
                  GetClientRect(child(s, CTL_TD_TICKS), &r);
                  EXPECT_EQ(harness_pixel(child(s, CTL_TD_TICKS), r.right - 2, r.bottom / 2),
                            ctl_color(14));
                  PostMessageA(s->dialog, WM_COMMAND, IDOK, 0);
              }});
    EXPECT_FALSE(script.timedOut);
}

// ---------------------------------------------------------------------------
// The settings round trip
// ---------------------------------------------------------------------------

TEST_F(TimeDialogTest, WhatTheUserLeavesIsSavedAtShutdownAndShownAtTheNextStart)
{
    Script script;
    script.owner = host;
    run_steps(&script, 1.0f,
              {[](Script *s) {
                   type(s->dialog, CTL_TD_TEMPO, "96");
                   type(s->dialog, CTL_TD_TICKS, "960");
                   type(s->dialog, CTL_TD_FRAME_RATE, "24");
                   SetFocus(child(s, CTL_TD_BEATS_PER_BAR));
                   harness_post_key(child(s, CTL_TD_BEATS_PER_BAR), VK_UP, true); // 5
                   post_click(child(s, CTL_TD_REPLACE));                           // off
               },
               [](Script *s) {
                   pick(s, 12);
                   SetFocus(child(s, CTL_TD_POSITION));
               },
               [](Script *s) { post_click(child(s, CTL_TD_OK)); }});
    EXPECT_FALSE(script.timedOut);
    ctl_shutdown();
    g_timeContext = CTL_TIME_CONTEXT_BUILTIN; // what the next process would start with
    std::vector<uint8_t> stored;
    DWORD type = 0;
    ASSERT_EQ(harness_reg_get(app.keyPath, "Dial_tCtx", &type, &stored), 1);
    EXPECT_EQ(type, (DWORD)REG_BINARY);
    ASSERT_EQ(stored.size(), 44u);
    ASSERT_EQ(ctl_init(harness_instance(), app.name), 1);
    EXPECT_EQ(std::memcmp(&g_timeContext, stored.data(), 44), 0) << "read back whole";
    Script next;
    next.owner = host;
    run_steps(&next, 2.0f, {[](Script *s) {
                  EXPECT_EQ(text_of(s->dialog, CTL_TD_TEMPO), "96.000");
                  EXPECT_EQ(text_of(s->dialog, CTL_TD_TICKS), "0960");
                  EXPECT_EQ(text_of(s->dialog, CTL_TD_FRAME_RATE), "24.000");
                  EXPECT_EQ(text_of(s->dialog, CTL_TD_FRAME), "48.000");
                  EXPECT_EQ(SendMessageA(child(s, 61), LB_GETCURSEL, 0, 0), 59) << "5 beats";
                  EXPECT_EQ(ctl_send_command(child(s, CTL_TD_REPLACE), CTL_CMD_GET, 0), 0.0f);
                  EXPECT_EQ(notes_of(g_timeContext), "2,12");
                  EXPECT_EQ(strip_slots(s->dialog), "NN---");
                  EXPECT_EQ(GetFocus(), child(s, CTL_TD_POSITION));
                  // 2 s at 96 bpm: 3.2 quarters in 5/4, 960 ticks
                  EXPECT_EQ(text_of(s->dialog, CTL_TD_POSITION), "     1 /  4 /   192");
                  PostMessageA(s->dialog, WM_COMMAND, IDCANCEL, 0);
              }});
    EXPECT_FALSE(next.timedOut);
}

} // namespace
