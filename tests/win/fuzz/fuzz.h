// The toolkit under fire: seeded, repeatable runs of random messages against
// every control class and every dialog, with the checks that follow each
// message and the leak counts that follow each run.
//
// A run throws its messages at one subject: a control of the class under
// fire, or, for a dialog, the control that opens it. Every message comes from
// the run's generator, so a name and a seed give the same messages again.
// Whatever a message opens that runs its own loop (an edit box, a time
// dialog, a context menu) is driven from inside that loop: the engine keeps
// one tick message posted to a window of its own, which every such loop
// dispatches; each tick throws the next message at the open dialog or at the
// subject, and ends what stays open too long.
//
// Adding a dialog is one row of kFuzzDialogs (fuzz_dialogs.cpp): how to tell
// that it is open, how to open it, one function that throws a random message
// at it and, if there is something to check while it is open, a check.
// Adding a class is one row of kFuzzClasses (fuzz_classes.cpp).
//
// Contents: 1. rows  2. the run  3. helpers for rows  4. counting  5. running
#pragma once
#include <windows.h>

#include <cstdint>

struct FuzzRun;

// ---------------------------------------------------------------------------
// 1. Rows
// ---------------------------------------------------------------------------

// One window class under fire.
struct FuzzClass {
    const char *name; // as the issue and the figures name it: "Slide", "2DList"
    // Makes one control with a random set-up at (10, 10) in run->host.
    // Returns it, or null when the set-up was refused (the engine tries again).
    HWND (*create)(FuzzRun *run);
    // Throws one message only this class understands (its commands, its
    // public operations); the engine throws the common ones.
    void (*message)(FuzzRun *run, HWND control);
    // Checks the control after a message: it answers command 3 with a value
    // in its range, or its record holds together. Returns 1, or calls
    // fuzz_fail and returns 0.
    int (*check)(FuzzRun *run, HWND control);
};

// One toolkit dialog under fire.
struct FuzzDialog {
    const char *name;      // "edit-value"
    HWND (*current)(void); // the open dialog (the toolkit's handle), or null
    // Opens one over owner with random parameters. A modal dialog returns
    // once it has closed; the engine throws its messages from inside its loop.
    void (*open)(FuzzRun *run, HWND owner);
    // Throws one random message at the open dialog (or its children).
    void (*message)(FuzzRun *run, HWND dialog);
    // Checks the open dialog after a message (null: nothing to check).
    // Returns 1, or calls fuzz_fail and returns 0.
    int (*check)(FuzzRun *run, HWND dialog);
    const char *subject; // the class a run opens it from ("Rotatif"); null: a Free panel
};

extern const FuzzClass kFuzzClasses[];
extern const int kFuzzClassCount;
extern const FuzzDialog kFuzzDialogs[];
extern const int kFuzzDialogCount;

// The Free panel row (the default subject of a dialog run).
const FuzzClass *fuzz_free_panel_class(void);

// ---------------------------------------------------------------------------
// 2. The run
// ---------------------------------------------------------------------------

struct FuzzRun {
    uint64_t state;           // the generator
    uint64_t trace;           // hash of every number drawn and every value checked
    const FuzzClass *cls;     // the subject's class
    const FuzzDialog *dialog; // the dialog under fire, or null for a class run
    HWND host;                // top-level window holding subject and sibling
    HWND sibling;             // a plain child of host: focus and capture go there
    HWND subject;             // the control under fire, or null while there is none
    HWND driver;              // receives the ticks
    long budget;              // messages to throw
    long sent;                // messages thrown
    long lives;               // subjects made
    long refused;             // set-ups the class refused
    long opened;              // dialogs opened (a dialog run)
    int depth;                // ticks acting on the stack: nested loops
    int pumping;              // 1 while the engine empties its own queue
    uint64_t loopKey;         // what was open at the last tick (menu, dialogs)
    int loopSteps;            // ticks since that became the innermost loop
    int loopLimit;            // ticks it gets before the engine ends it
    int unknownLoops;         // ticks inside a loop the engine does not know
    int hostile;              // 1: callbacks of this life may destroy or re-enter
    int failed;               // a check failed
    char failure[320];        // the first failure, with the message number
    char lastAction[96];      // what the last message was, for failures and crashes
};

// ---------------------------------------------------------------------------
// 3. Helpers for rows
// ---------------------------------------------------------------------------

uint32_t fuzz_rand(FuzzRun *run);                // 32 random bits, traced
int fuzz_below(FuzzRun *run, int n);             // 0 to n - 1 (0 for n < 1)
int fuzz_chance(FuzzRun *run, int percent);      // 1 with that chance
int fuzz_range(FuzzRun *run, int low, int high); // low to high inclusive; low when high < low
// Float bits for a value command: NaNs with any payload, infinities, zeros,
// denormals, the float limits, values in and just outside low..high, or any
// 32 bits.
uint32_t fuzz_float_bits(FuzzRun *run, float low, float high);
float fuzz_float(FuzzRun *run, float low, float high); // the same, as a float
// A client point of window for a mouse message: mostly inside or near it,
// sometimes at the ends of the 16-bit range.
LPARAM fuzz_point(FuzzRun *run, HWND window);
// MK_ flags of a mouse message; Shift and Ctrl with the chance given.
WPARAM fuzz_mouse_keys(FuzzRun *run, int modifierPercent);

// Sends one message (counted, noted as the last action). Nothing is sent to
// a window that is gone. Returns the result.
LRESULT fuzz_send(FuzzRun *run, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Posts one message (counted).
void fuzz_post(FuzzRun *run, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Counts an action that is a call rather than a message (a public operation).
void fuzz_note(FuzzRun *run, const char *action);
// Throws one of the messages every window class meets: mouse, keys, wheel,
// scroll, focus and capture changes, WM_CANCELMODE, the value commands with
// any float bits, sizes, paints, showing and enabling, closing and
// destruction.
void fuzz_common(FuzzRun *run, HWND window);
// Holds (1) or lets go of (0) the Ctrl key in the thread's key state, as
// GetKeyState sees it.
void fuzz_hold_ctrl(int down);

// Records the first failure (printf format) and makes the run stop.
void fuzz_fail(FuzzRun *run, const char *format, ...);
// Adds a checked value to the trace.
void fuzz_trace_value(FuzzRun *run, uint32_t bits);
// The notify callback of value controls: notes the value; in a hostile life
// it sometimes re-enters the subject or destroys it.
int32_t fuzz_notify(void *userData, uint32_t wParam, int32_t lParam);
// Bitmaps shared by every run (made once, never deleted): a face of size
// w x h in colour.
HBITMAP fuzz_bitmap(int w, int h, COLORREF colour);

// ---------------------------------------------------------------------------
// 4. Counting: live heap blocks (the test build wraps malloc and free), GDI
//    objects (found by walking the handle table), menus and windows.
// ---------------------------------------------------------------------------

struct FuzzCounts {
    long heap;    // heap blocks allocated and not freed
    long gdi;     // live GDI objects of the process
    long menus;   // live menus
    long windows; // windows of the thread, children included
};
void fuzz_counts(FuzzCounts *out);
// Freed blocks are filled with poison and held back before they go back to
// the heap, so that reading a freed record reads poison and writing to one
// is found, and so is a block freed a second time. fuzz_watch_freed starts
// that (runs do it themselves); fuzz_freed_written lets the held blocks go
// and returns how many of them were written to, and how many blocks were
// freed twice, since the last call.
void fuzz_watch_freed(void);
long fuzz_freed_written(void);
long fuzz_heap_blocks(void);
long fuzz_gdi_objects(void);
// Open kernel handles of the process (registry keys, events, threads...).
long fuzz_kernel_handles(void);

// ---------------------------------------------------------------------------
// 5. Running
// ---------------------------------------------------------------------------

struct FuzzResult {
    long messages;     // messages thrown
    long lives;        // subjects made
    long refused;      // set-ups refused
    long opened;       // dialogs opened by a dialog run
    uint64_t trace;    // for repeatability
    FuzzCounts leaked; // counts after the run minus before
    int failed;        // a check failed
    char failure[320]; // what; or, for a clean run that left GDI objects, their kinds
    double ms;         // time taken
};

// The class or dialog row called name (case-insensitive), or 0.
const FuzzClass *fuzz_find_class(const char *name);
const FuzzDialog *fuzz_find_dialog(const char *name);

// Runs `messages` messages from seed against the row called name. The
// toolkit starts and stops around the run under its own application name,
// and the counts are taken outside that (the first run of a process first
// warms the system's caches with a short run of every row). Fills result;
// returns 1 when the run was clean (no failure, nothing leaked), 0
// otherwise, -1 for an unknown name.
int fuzz_run(const char *name, uint64_t seed, long messages, FuzzResult *result);
// The same for a row of any table: a class (dialog null), or a dialog (cls
// null: the dialog's subject).
int fuzz_run_row(const FuzzClass *cls, const FuzzDialog *dialog, uint64_t seed, long messages,
                 FuzzResult *result);

// Prints crash reports (the row and last action) on a fault in the program's
// own code or an unhandled one, and on a run that throws nothing for 30
// seconds (a hang, code DEAD0001), then ends the process with code 3.
// Installed once per process.
void fuzz_install_crash_report(void);
