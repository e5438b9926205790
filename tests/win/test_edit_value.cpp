// The edit-value dialog, driven from inside its own modal loop by a timer:
// how it opens, every way it ends and what the caller then gets, one dialog
// at a time, and the toolkit's shutdown or the caller's window going away
// while it is open.
#include "tests/win/harness.h"
#include "tests/win/host_fixture.h"
#include "toolkit/qk2ctl.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

using EditValueTest = ToolkitHostTest<200, 120>;

static const uint32_t kWord = 0x7E0; // black text on palette colour 14 in font 7

// What a test does from inside the dialog's loop. The timer also ticks in a
// nested loop (a second dialog), so a script moves through steps.
struct DialogScript {
    void (*tick)(DialogScript *s); // called on every tick once a dialog is open
    int step = 0;                  // the script's progress
    int ticks = 0;                 // ticks so far; past 150 the dialog is ended by force
    bool timedOut = false;         // it was
    HWND parent = nullptr;         // the window the dialog is opened for
    HWND other = nullptr;          // a second window the script may use
    HWND dialog = nullptr;         // the first dialog seen, and its edit box
    HWND edit = nullptr;
    std::string seen; // what the script noted
};

DialogScript *g_script = nullptr; // the running script

void CALLBACK script_timer(HWND, UINT, UINT_PTR, DWORD)
{
    DialogScript *s = g_script;
    if (s != nullptr && s->dialog == nullptr && g_openEditDialog != nullptr) {
        s->dialog = g_openEditDialog;
        s->edit = GetDlgItem(s->dialog, 10);
    }
    if (s == nullptr || s->dialog == nullptr)
        return;
    if (++s->ticks > 150) {
        s->timedOut = true;
        EndDialog(g_openEditDialog != nullptr ? g_openEditDialog : s->dialog, 0);
        return;
    }
    s->tick(s);
}

// Opens a dialog for s->parent at its client point (at, at); "<null>" stands
// for a null result.
std::string open_dialog(DialogScript *s, uint32_t word, const char *initial, int at = 10)
{
    POINT p = {at, at};
    ClientToScreen(s->parent, &p);
    char *text = ctl_edit_value(s->parent, word, p.x, p.y, 100, 20, initial);
    std::string result = text != nullptr ? text : "<null>";
    std::free(text);
    return result;
}

// Opens the dialog with script running in its loop.
std::string run_dialog(DialogScript *script, uint32_t word, const char *initial)
{
    g_script = script;
    UINT_PTR timer = SetTimer(nullptr, 0, 10, script_timer);
    std::string text = open_dialog(script, word, initial);
    KillTimer(nullptr, timer);
    g_script = nullptr;
    harness_pump();
    return text;
}

TEST_F(EditValueTest, OpensAtItsPointShowingTheTextSelectedInTheColourWordsColours)
{
    static const uint32_t words[] = {kWord, ctl_colour_word(15, 4, 2), ctl_colour_word(3, 0, 12)};
    static uint32_t word;
    for (uint32_t w : words) {
        SCOPED_TRACE(testing::Message() << std::hex << w);
        word = w;
        DialogScript script;
        script.parent = host;
        script.tick = [](DialogScript *s) {
            if (s->step++ != 0)
                return;
            RECT window, client, edit;
            GetWindowRect(s->dialog, &window);
            GetClientRect(s->dialog, &client);
            GetWindowRect(s->edit, &edit);
            MapWindowPoints(nullptr, s->dialog, reinterpret_cast<POINT *>(&edit), 2);
            POINT at = {10, 10};
            ClientToScreen(s->parent, &at);
            EXPECT_EQ(window.left, at.x);
            EXPECT_EQ(window.top, at.y);
            EXPECT_EQ(client.right * 100 + client.bottom, 100 * 100 + 20) << "100 x 20";
            EXPECT_TRUE(EqualRect(&edit, &client)) << "the edit box fills it";
            EXPECT_EQ((DWORD)GetWindowLongA(s->dialog, GWL_STYLE) & 0x92800180u, 0x92800180u);
            EXPECT_FALSE(IsWindowEnabled(s->parent)) << "modal";
            char text[16] = "";
            GetWindowTextA(s->edit, text, sizeof text);
            EXPECT_STREQ(text, "1.5");
            EXPECT_EQ(SendMessageA(s->edit, EM_GETSEL, 0, 0), MAKELONG(0, 3)) << "all selected";
            EXPECT_EQ(GetFocus(), s->edit);
            int pen = word & 15, brush = (word >> 4) & 15;
            EXPECT_EQ((HFONT)SendMessageA(s->edit, WM_GETFONT, 0, 0), ctl_font((word >> 8) & 15));
            HDC dc = CreateCompatibleDC(nullptr);
            EXPECT_EQ(SendMessageA(s->dialog, WM_CTLCOLOREDIT, (WPARAM)dc, (LPARAM)s->edit),
                      (LRESULT)ctl_brush(brush));
            EXPECT_EQ(GetBkColor(dc), ctl_color(brush));
            EXPECT_EQ(GetTextColor(dc), ctl_color(pen));
            DeleteDC(dc);
            GetClientRect(s->edit, &client);
            COLORREF back = harness_pixel(s->edit, client.right - 4, client.bottom / 2);
            EXPECT_EQ(back, ctl_color(brush));
            harness_post_key(s->edit, VK_RETURN, true);
        };
        EXPECT_EQ(run_dialog(&script, w, "1.5"), "1.5") << "accepted unchanged";
        EXPECT_FALSE(IsWindow(script.dialog));
        EXPECT_EQ(g_openEditDialog, nullptr);
        EXPECT_TRUE(IsWindowEnabled(host));
    }
}

TEST_F(EditValueTest, ANullInitialTextIsEmptyAndALongOneIsCutTo1023Characters)
{
    const std::string exact(1023, '7'), longer(2000, '7');
    const char *initials[] = {nullptr, "", exact.c_str(), longer.c_str()};
    const size_t shown[] = {0, 0, 1023, 1023};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        DialogScript script;
        script.parent = host;
        script.tick = [](DialogScript *s) {
            if (s->step++ == 0) {
                s->seen = std::to_string(GetWindowTextLengthA(s->edit));
                harness_post_key(s->edit, VK_RETURN, true);
            }
        };
        EXPECT_EQ(run_dialog(&script, kWord, initials[i]), std::string(shown[i], '7'));
        EXPECT_EQ(script.seen, std::to_string(shown[i])) << "characters shown";
    }
}

struct EndCase {
    const char *name;                  // what the user (or the system) does
    void (*act)(const DialogScript *); // done once, from the loop
    const char *expected;              // the text the caller gets
};

void post_return(const DialogScript *s) { harness_post_key(s->edit, VK_RETURN, true); }

static const EndCase kEndCases[] = {
    {"Return", post_return, "12.5"},
    {"typing, then Return",
     [](const DialogScript *s) {
         for (char c : std::string("-7,5"))
             PostMessageA(s->edit, WM_CHAR, (WPARAM)c, 1);
         post_return(s);
     },
     "-7,5"},
    {"a Return key-up alone",
     [](const DialogScript *s) { harness_post_key(s->edit, VK_RETURN, false); }, "12.5"},
    {"Escape down cancels at once, before a Return that follows",
     [](const DialogScript *s) {
         harness_post_key(s->edit, VK_ESCAPE, true);
         post_return(s);
     },
     ""},
    {"an Escape key-up alone",
     [](const DialogScript *s) { harness_post_key(s->edit, VK_ESCAPE, false); }, ""},
    {"Alt+X",
     [](const DialogScript *s) {
         PostMessageA(s->edit, WM_SYSKEYDOWN, 'X', harness_key_lparam('X', true) | 1 << 29);
     },
     ""},
    {"Alt alone, then Return",
     [](const DialogScript *s) {
         PostMessageA(s->edit, WM_SYSKEYDOWN, VK_MENU, harness_key_lparam(VK_MENU, true) | 1 << 29);
         post_return(s);
     },
     "12.5"},
    {"the system menu",
     [](const DialogScript *s) { PostMessageA(s->dialog, WM_SYSCOMMAND, SC_KEYMENU, ' '); }, ""},
    {"the focus going to another window", [](const DialogScript *s) { SetFocus(s->other); }, ""},
    {"a close, then a late accept",
     [](const DialogScript *s) {
         SendMessageA(s->dialog, WM_CLOSE, 0, 0);
         SendMessageA(s->dialog, WM_COMMAND, IDOK, 0);
     },
     ""},
    {"an accept, then a late close and a second accept of another text",
     [](const DialogScript *s) {
         SendMessageA(s->dialog, WM_COMMAND, IDOK, 0);
         SendMessageA(s->dialog, WM_CLOSE, 0, 0);
         SetWindowTextA(s->edit, "99");
         SendMessageA(s->dialog, WM_COMMAND, IDOK, 0);
     },
     "12.5"},
};

TEST_F(EditValueTest, ReturnAcceptsTheTextAsShownAndEveryOtherWayOutCancels)
{
    HWND other = harness_create_host(50, 30, RGB(255, 255, 255), 400, 300);
    static const EndCase *current;
    for (const EndCase &c : kEndCases) {
        SCOPED_TRACE(c.name);
        current = &c;
        DialogScript script;
        script.parent = host;
        script.other = other;
        script.tick = [](DialogScript *s) {
            if (s->step++ == 0)
                current->act(s);
        };
        EXPECT_EQ(run_dialog(&script, kWord, "12.5"), c.expected);
        EXPECT_FALSE(script.timedOut) << "the dialog ended by itself";
        EXPECT_FALSE(IsWindow(script.dialog));
        EXPECT_EQ(g_openEditDialog, nullptr);
        EXPECT_TRUE(IsWindowEnabled(host));
    }
    DestroyWindow(other);
}

TEST_F(EditValueTest, ASecondDialogCancelsTheFirst)
{
    DialogScript script;
    script.parent = host;
    script.tick = [](DialogScript *s) {
        if (s->step == 0) { // in the first dialog's loop
            s->step = 1;
            s->seen = open_dialog(s, kWord, "second", 30);
        } else if (s->step == 1 && g_openEditDialog != s->dialog) { // in the second's
            s->step = 2;
            EXPECT_FALSE(IsWindowVisible(s->dialog)) << "the first has gone";
            harness_post_key(GetDlgItem(g_openEditDialog, 10), VK_RETURN, true);
        }
    };
    EXPECT_EQ(run_dialog(&script, kWord, "first"), "") << "the first was cancelled";
    EXPECT_EQ(script.seen, "second") << "the second was accepted";
    EXPECT_FALSE(script.timedOut);
    EXPECT_EQ(g_openEditDialog, nullptr);
    EXPECT_TRUE(IsWindowEnabled(host));
}

TEST_F(EditValueTest, ShutdownWhileOpenCancelsAndLeavesNothingBehind)
{
    DialogScript script;
    script.parent = host;
    script.tick = [](DialogScript *s) {
        if (s->step++ == 0) {
            ctl_shutdown();
            s->seen = g_openEditDialog == nullptr ? "forgotten" : "still open";
        }
    };
    EXPECT_EQ(run_dialog(&script, kWord, "12.5"), "");
    EXPECT_EQ(script.seen, "forgotten");
    EXPECT_FALSE(script.timedOut);
    EXPECT_FALSE(IsWindow(script.dialog));
    EXPECT_EQ(g_openEditDialog, nullptr);
    EXPECT_TRUE(IsWindowEnabled(host));
    ASSERT_EQ(ctl_init(harness_instance(), app.name), 1) << "started again for the teardown";
}

LRESULT plain_panel(HWND panel, UINT message, WPARAM wParam, LPARAM lParam, void *)
{
    return DefWindowProcA(panel, message, wParam, lParam);
}

struct GoneCase {
    const char *name;                  // what goes away
    bool panelParent;                  // opened for a panel of the frame, not for the frame
    void (*act)(const DialogScript *); // done once, from the loop
};

TEST_F(EditValueTest, TheCallersWindowGoingAwayEndsTheDialogWithAnEmptyText)
{
    static const GoneCase cases[] = {
        {"the top-level window it was opened for", false,
         [](const DialogScript *s) { DestroyWindow(s->parent); }},
        {"the child window it was opened for", true,
         [](const DialogScript *s) { DestroyWindow(s->parent); }},
        {"the top-level window holding that child", true,
         [](const DialogScript *s) { DestroyWindow(GetParent(s->parent)); }},
        {"the dialog itself", true, [](const DialogScript *s) { DestroyWindow(s->dialog); }},
        {"the caller's window, after an accept", true,
         [](const DialogScript *s) {
             SendMessageA(s->dialog, WM_COMMAND, IDOK, 0);
             DestroyWindow(s->parent);
         }},
    };
    static const GoneCase *current;
    for (const GoneCase &c : cases) {
        SCOPED_TRACE(c.name);
        current = &c;
        HWND frame = harness_create_host(120, 80, RGB(255, 255, 255), 300, 250);
        HWND panel = ctl_create_free_panel(frame, 1, 10, 10, 60, 40, plain_panel, nullptr);
        DialogScript script;
        script.parent = c.panelParent ? panel : frame;
        script.tick = [](DialogScript *s) {
            if (s->step++ == 0)
                current->act(s);
        };
        EXPECT_EQ(run_dialog(&script, kWord, "12.5"), "");
        EXPECT_FALSE(script.timedOut) << "it ended at once";
        EXPECT_FALSE(IsWindow(script.dialog));
        EXPECT_EQ(g_openEditDialog, nullptr);
        if (IsWindow(frame)) {
            EXPECT_TRUE(IsWindowEnabled(frame)) << "the owner works again";
            DestroyWindow(frame);
        }
    }
}

} // namespace
