// The fuzzing engine: the generator, the messages every class meets, the
// driving of loops that messages open, the checks after each message, the
// counts before and after each run, and crash reports. See fuzz.h.
//
// Contents: 1. counting allocator  2. handle counts  3. the generator
//           4. throwing messages  5. the common messages  6. loops and ticks
//           7. a run  8. crash reports
#include "tests/win/fuzz/fuzz.h"

#include "tests/win/harness.h"
#include "toolkit/qk2ctl.h"

#include <cfloat>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <new>

// ---------------------------------------------------------------------------
// 1. Counting allocator. The test programs link with --wrap for malloc,
//    calloc, realloc and free, so every block the toolkit (and everything
//    else linked in) takes from the C heap passes here; operator new and
//    delete are replaced to go the same way. Only the number of live blocks
//    is kept. Other threads (the watchdog) may allocate too: interlocked.
// ---------------------------------------------------------------------------

extern "C" void *__real_malloc(size_t size);
extern "C" void *__real_calloc(size_t count, size_t size);
extern "C" void *__real_realloc(void *block, size_t size);
extern "C" void __real_free(void *block);

static volatile LONG g_liveBlocks = 0; // blocks handed out and not freed

extern "C" void *__wrap_malloc(size_t size)
{
    void *block = __real_malloc(size);
    if (block != nullptr)
        InterlockedIncrement(&g_liveBlocks);
    return block;
}

extern "C" void *__wrap_calloc(size_t count, size_t size)
{
    void *block = __real_calloc(count, size);
    if (block != nullptr)
        InterlockedIncrement(&g_liveBlocks);
    return block;
}

// realloc of null is malloc; realloc to size 0 frees (the C runtime here
// returns null then); a failed realloc leaves the block as it was.
extern "C" void *__wrap_realloc(void *block, size_t size)
{
    void *moved = __real_realloc(block, size);
    if (block == nullptr && moved != nullptr)
        InterlockedIncrement(&g_liveBlocks);
    else if (block != nullptr && size == 0 && moved == nullptr)
        InterlockedDecrement(&g_liveBlocks);
    return moved;
}

// Freed blocks wait in a quarantine, filled with a poison byte, before they
// go back to the heap: a control that reads its record after freeing it
// reads poison (pointers that fault), and one that writes to it spoils the
// poison, which is found when the block leaves the quarantine.
static const unsigned char kPoison = 0xDD;
static const int kQuarantine = 2048;   // blocks held back
static void *g_held[kQuarantine];      // ring of held blocks
static size_t g_heldSize[kQuarantine]; // their sizes
static int g_heldNext = 0;             // next slot of the ring
static volatile LONG g_spoiled = 0;    // held blocks found written to
static volatile LONG g_doubleFrees = 0;  // blocks freed again while held
static size_t g_spoiledSize = 0;       // size of the last one
static CRITICAL_SECTION g_heldLock;    // the watchdog's thread frees too
static bool g_heldReady = false;

static void release_held(int slot)
{
    void *block = g_held[slot];
    if (block == nullptr)
        return;
    const unsigned char *bytes = static_cast<const unsigned char *>(block);
    for (size_t i = 0; i < g_heldSize[slot]; ++i)
        if (bytes[i] != kPoison) {
            InterlockedIncrement(&g_spoiled);
            g_spoiledSize = g_heldSize[slot];
            break;
        }
    g_held[slot] = nullptr;
    __real_free(block);
}

extern "C" void __wrap_free(void *block)
{
    if (block == nullptr)
        return;
    InterlockedDecrement(&g_liveBlocks);
    if (!g_heldReady) {
        __real_free(block);
        return;
    }
    EnterCriticalSection(&g_heldLock);
    for (int i = 0; i < kQuarantine; ++i)
        if (g_held[i] == block) { // freed twice: the first free holds it still
            InterlockedIncrement(&g_doubleFrees);
            InterlockedIncrement(&g_liveBlocks);
            LeaveCriticalSection(&g_heldLock);
            return;
        }
    size_t size = _msize(block);
    std::memset(block, kPoison, size);
    release_held(g_heldNext);
    g_held[g_heldNext] = block;
    g_heldSize[g_heldNext] = size;
    g_heldNext = (g_heldNext + 1) % kQuarantine;
    LeaveCriticalSection(&g_heldLock);
}

// Whether a held block has been written to, without releasing any (slow:
// only when QK2_FUZZ_CHECK_FREED asks for it after every message).
static bool quarantine_spoiled(void)
{
    bool spoiled = false;
    EnterCriticalSection(&g_heldLock);
    for (int k = 0; k < kQuarantine && !spoiled; ++k) {
        const unsigned char *bytes = static_cast<const unsigned char *>(g_held[k]);
        for (size_t i = 0; bytes != nullptr && i < g_heldSize[k]; ++i)
            if (bytes[i] != kPoison) {
                spoiled = true;
                g_spoiledSize = g_heldSize[k];
                break;
            }
    }
    LeaveCriticalSection(&g_heldLock);
    return spoiled;
}

// Starts holding freed blocks back (once, before the first run).
static void start_quarantine(void)
{
    if (g_heldReady)
        return;
    InitializeCriticalSection(&g_heldLock);
    g_heldReady = true;
}

// Releases every held block. Returns how many held blocks were found written
// to, and how many blocks were freed twice, since the last call.
static long flush_quarantine(void)
{
    if (!g_heldReady)
        return 0;
    EnterCriticalSection(&g_heldLock);
    for (int i = 0; i < kQuarantine; ++i)
        release_held(i);
    LeaveCriticalSection(&g_heldLock);
    return InterlockedExchange(&g_spoiled, 0) + InterlockedExchange(&g_doubleFrees, 0);
}

void fuzz_watch_freed(void)
{
    start_quarantine();
    flush_quarantine();
}

long fuzz_freed_written(void) { return flush_quarantine(); }

void *operator new(size_t size)
{
    void *block = std::malloc(size != 0 ? size : 1);
    if (block == nullptr)
        throw std::bad_alloc();
    return block;
}
void *operator new[](size_t size) { return operator new(size); }
void *operator new(size_t size, const std::nothrow_t &) noexcept
{
    return std::malloc(size != 0 ? size : 1);
}
void *operator new[](size_t size, const std::nothrow_t &) noexcept
{
    return std::malloc(size != 0 ? size : 1);
}
void operator delete(void *block) noexcept { std::free(block); }
void operator delete[](void *block) noexcept { std::free(block); }
void operator delete(void *block, size_t) noexcept { std::free(block); }
void operator delete[](void *block, size_t) noexcept { std::free(block); }
void operator delete(void *block, const std::nothrow_t &) noexcept { std::free(block); }
void operator delete[](void *block, const std::nothrow_t &) noexcept { std::free(block); }

long fuzz_heap_blocks(void) { return g_liveBlocks; }

// ---------------------------------------------------------------------------
// 2. Handle counts. The system's GDI object counter (GetGuiResources) reads
//    0 here, so the live objects are found by asking GetObjectType about
//    every handle index: a handle whose upper half is 0 names the object at
//    that index, whatever its generation. Menus are found the same way with
//    IsMenu; windows by enumerating the thread's windows and their children;
//    kernel handles (registry keys among them: GetProcessHandleCount reads 0
//    here too) by asking GetHandleInformation about every handle value.
// ---------------------------------------------------------------------------

long fuzz_gdi_objects(void)
{
    long n = 0;
    for (UINT_PTR i = 1; i < 0x10000; ++i)
        n += GetObjectType((HGDIOBJ)i) != 0;
    return n;
}

// The type of every live GDI object by handle index (0: none).
static void gdi_snapshot(uint8_t *types)
{
    for (UINT_PTR i = 0; i < 0x10000; ++i)
        types[i] = (uint8_t)GetObjectType((HGDIOBJ)i);
}

// "2 dc, 1 bitmap": the objects alive now that were not in the snapshot.
static void describe_new_objects(const uint8_t *before, char *out, size_t size)
{
    static const char *const kNames[] = {
        "?",      "pen",      "brush", "dc",     "metadc",    "palette",     "font",      "bitmap",
        "region", "metafile", "memdc", "extpen", "enhmetadc", "enhmetafile", "colorspace"};
    int counts[16] = {};
    for (UINT_PTR i = 1; i < 0x10000; ++i) {
        DWORD type = GetObjectType((HGDIOBJ)i);
        if (type != 0 && type != before[i])
            ++counts[type < 16 ? type : 0];
    }
    out[0] = '\0';
    for (int t = 0; t < 16; ++t)
        if (counts[t] != 0) {
            size_t n = std::strlen(out);
            std::snprintf(out + n, size - n, "%s%d %s", n != 0 ? ", " : "", counts[t],
                          t < 15 ? kNames[t] : "?");
        }
}

long fuzz_kernel_handles(void)
{
    long n = 0;
    DWORD flags;
    for (UINT_PTR h = 4; h < 0x10000; h += 4)
        n += GetHandleInformation((HANDLE)h, &flags) != 0;
    return n;
}

static long count_menus(void)
{
    long n = 0;
    for (UINT_PTR i = 1; i < 0x10000; ++i)
        n += IsMenu((HMENU)i) != 0;
    return n;
}

static BOOL CALLBACK count_child(HWND, LPARAM total)
{
    ++*reinterpret_cast<long *>(total);
    return TRUE;
}

static BOOL CALLBACK count_top(HWND window, LPARAM total)
{
    ++*reinterpret_cast<long *>(total);
    EnumChildWindows(window, count_child, total);
    return TRUE;
}

void fuzz_counts(FuzzCounts *out)
{
    out->heap = fuzz_heap_blocks();
    out->gdi = fuzz_gdi_objects();
    out->menus = count_menus();
    out->windows = 0;
    EnumThreadWindows(GetCurrentThreadId(), count_top, (LPARAM)&out->windows);
}

// ---------------------------------------------------------------------------
// 3. The generator: splitmix64. Every number drawn goes into the trace, so
//    two runs of one seed that draw differently show it.
// ---------------------------------------------------------------------------

static uint64_t mix(uint64_t hash, uint64_t value)
{
    hash ^= value + 0x9E3779B97F4A7C15ull + (hash << 6) + (hash >> 2);
    return hash;
}

uint32_t fuzz_rand(FuzzRun *run)
{
    uint64_t z = (run->state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    uint32_t r = (uint32_t)(z >> 32);
    run->trace = mix(run->trace, r);
    return r;
}

int fuzz_below(FuzzRun *run, int n) { return n > 0 ? (int)(fuzz_rand(run) % (uint32_t)n) : 0; }
int fuzz_chance(FuzzRun *run, int percent) { return fuzz_below(run, 100) < percent; }
int fuzz_range(FuzzRun *run, int low, int high)
{
    uint32_t r = fuzz_rand(run);
    if (high <= low) // an empty range (a window sized to nothing) gives its low end
        return low;
    return (int)((int64_t)low + r % (uint64_t)((int64_t)high - low + 1));
}

void fuzz_trace_value(FuzzRun *run, uint32_t bits) { run->trace = mix(run->trace, bits); }

static uint32_t bits_of(float f)
{
    uint32_t b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

static float float_of(uint32_t b)
{
    float f;
    std::memcpy(&f, &b, sizeof f);
    return f;
}

uint32_t fuzz_float_bits(FuzzRun *run, float low, float high)
{
    uint32_t r = fuzz_rand(run);
    switch (fuzz_below(run, 16)) {
    case 0: return 0x7FC00000u | (r & 0x803FFFFFu);   // quiet NaN, any sign and payload
    case 1: return 0x7F800001u | (r & 0x803FFFFFu);   // signalling NaN
    case 2: return r & 1 ? 0xFF800000u : 0x7F800000u; // infinities
    case 3: return r & 1 ? 0x80000000u : 0u;          // zeros
    case 4: return (r & 0x807FFFFFu) | 1u;            // denormals
    case 5: return bits_of(r & 1 ? -FLT_MAX : FLT_MAX);
    case 6: return bits_of(r & 1 ? -FLT_MIN : FLT_MIN);
    case 7: return bits_of(low);
    case 8: return bits_of(high);
    case 9: return bits_of(std::nextafter(low, -INFINITY)); // just outside
    case 10: return bits_of(std::nextafter(high, INFINITY));
    case 11: return r; // anything
    default: {         // inside the range
        float t = (float)(r >> 8) / (float)(1u << 24);
        float v = low + (high - low) * t;
        return bits_of(std::isfinite(v) ? v : low);
    }
    }
}

float fuzz_float(FuzzRun *run, float low, float high)
{
    return float_of(fuzz_float_bits(run, low, high));
}

LPARAM fuzz_point(FuzzRun *run, HWND window)
{
    RECT rc = {0, 0, 100, 100};
    GetClientRect(window, &rc);
    int x, y;
    switch (fuzz_below(run, 10)) {
    case 0: // the ends of the 16-bit range
        x = fuzz_chance(run, 50) ? -32768 : 32767;
        y = fuzz_chance(run, 50) ? -32768 : 32767;
        break;
    case 1: // anywhere a 16-bit point can be
        x = (short)fuzz_rand(run);
        y = (short)fuzz_rand(run);
        break;
    case 2: // just outside
        x = fuzz_range(run, -40, rc.right + 40);
        y = fuzz_range(run, -40, rc.bottom + 40);
        break;
    default:
        x = fuzz_range(run, 0, rc.right > 0 ? rc.right - 1 : 0);
        y = fuzz_range(run, 0, rc.bottom > 0 ? rc.bottom - 1 : 0);
        break;
    }
    return MAKELPARAM((WORD)x, (WORD)y);
}

WPARAM fuzz_mouse_keys(FuzzRun *run, int modifierPercent)
{
    WPARAM keys = 0;
    uint32_t r = fuzz_rand(run);
    if (r & 1)
        keys |= MK_LBUTTON;
    if (r & 2 && r & 4)
        keys |= MK_RBUTTON;
    if (r & 8 && r & 16)
        keys |= MK_MBUTTON;
    if (fuzz_chance(run, modifierPercent))
        keys |= fuzz_chance(run, 50) ? MK_SHIFT : MK_CONTROL;
    return keys;
}

// ---------------------------------------------------------------------------
// 4. Throwing messages
// ---------------------------------------------------------------------------

static FuzzRun *g_run = nullptr; // the run in progress (one at a time, one thread)

// QK2_FUZZ_VERBOSE set: every action is printed as it is thrown.
static bool verbose(void)
{
    static int on = -1;
    if (on < 0)
        on = std::getenv("QK2_FUZZ_VERBOSE") != nullptr;
    return on == 1;
}

static volatile LONG g_progress = 0; // actions so far: the watchdog sees it move

static void noted(FuzzRun *run)
{
    InterlockedIncrement(&g_progress);
    if (verbose())
        std::printf("  %s (depth %d)\n", run->lastAction, run->depth);
    ++run->sent;
}

static void note_action(FuzzRun *run, const char *what, UINT message, WPARAM wParam, LPARAM lParam)
{
    std::snprintf(run->lastAction, sizeof run->lastAction, "#%ld %s %04X %08lX %08lX", run->sent,
                  what, message, (unsigned long)wParam, (unsigned long)lParam);
    noted(run);
}

LRESULT fuzz_send(FuzzRun *run, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    note_action(run, "send", message, wParam, lParam);
    if (window == nullptr || !IsWindow(window))
        return 0;
    return SendMessageA(window, message, wParam, lParam);
}

void fuzz_post(FuzzRun *run, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    note_action(run, "post", message, wParam, lParam);
    if (window != nullptr && IsWindow(window))
        PostMessageA(window, message, wParam, lParam);
}

void fuzz_note(FuzzRun *run, const char *action)
{
    std::snprintf(run->lastAction, sizeof run->lastAction, "#%ld %s", run->sent, action);
    noted(run);
}

void fuzz_hold_ctrl(int down)
{
    BYTE keys[256];
    if (!GetKeyboardState(keys))
        return;
    keys[VK_CONTROL] = down ? 0x80 : 0;
    keys[VK_LCONTROL] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

void fuzz_fail(FuzzRun *run, const char *format, ...)
{
    if (run->failed)
        return;
    run->failed = 1;
    char text[224];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    std::snprintf(run->failure, sizeof run->failure, "%s (after %s)", text, run->lastAction);
}

int32_t fuzz_notify(void *userData, uint32_t wParam, int32_t lParam)
{
    FuzzRun *run = static_cast<FuzzRun *>(userData);
    (void)wParam;
    fuzz_trace_value(run, (uint32_t)lParam);
    if (!run->hostile || run->sent >= run->budget)
        return 1;
    switch (fuzz_below(run, 12)) {
    case 0: // the owner closes the control as it reports
        fuzz_note(run, "notify: destroy");
        DestroyWindow(run->subject);
        break;
    case 1:
    case 2: // the owner sets another value
        fuzz_send(run, run->subject, WM_COMMAND, CTL_CMD_SET, (LPARAM)fuzz_float_bits(run, -1, 1));
        break;
    case 3: // the owner reads the value back
        fuzz_send(run, run->subject, WM_COMMAND, CTL_CMD_GET, 0);
        break;
    case 4: // the owner disables it
        fuzz_send(run, run->subject, WM_COMMAND, CTL_CMD_DISABLE, 0);
        break;
    }
    return 1;
}

// The bitmaps a run made for its subjects, deleted when its windows are gone.
static HBITMAP g_bitmaps[64];
static int g_bitmapCount = 0;

HBITMAP fuzz_bitmap(int w, int h, COLORREF colour)
{
    HBITMAP bitmap = harness_solid_bitmap(w, h, colour);
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, bitmap);
    SelectObject(mem, GetStockObject(BLACK_PEN));
    MoveToEx(mem, 0, 0, nullptr);
    LineTo(mem, w, h);
    SelectObject(mem, old);
    DeleteDC(mem);
    if (g_bitmapCount == 64) // the oldest one is no subject's any more
        DeleteObject(g_bitmaps[--g_bitmapCount]);
    g_bitmaps[g_bitmapCount++] = bitmap;
    return bitmap;
}

static void delete_bitmaps(void)
{
    while (g_bitmapCount > 0)
        DeleteObject(g_bitmaps[--g_bitmapCount]);
}

// ---------------------------------------------------------------------------
// 5. The common messages
// ---------------------------------------------------------------------------

// Keys with a meaning to some control, then any key.
static const UINT kKeys[] = {VK_LEFT,   VK_RIGHT, VK_UP,     VK_DOWN,   VK_PRIOR, VK_NEXT,
                             VK_HOME,   VK_END,   VK_INSERT, VK_RETURN, VK_SPACE, VK_TAB,
                             VK_ESCAPE, VK_BACK,  VK_DELETE, 'C',       'V',      'X',
                             VK_F10,    VK_MENU,  VK_SHIFT,  VK_CONTROL};

static UINT random_key(FuzzRun *run)
{
    if (fuzz_chance(run, 85))
        return kKeys[fuzz_below(run, (int)(sizeof kKeys / sizeof kKeys[0]))];
    return (UINT)fuzz_below(run, 256);
}

static LPARAM key_lparam(FuzzRun *run, UINT key, bool down)
{
    if (fuzz_chance(run, 10))
        return (LPARAM)fuzz_rand(run);
    uint32_t lp = 1 | (MapVirtualKeyA(key, MAPVK_VK_TO_VSC) & 0xFF) << 16;
    if (!down)
        lp |= 3u << 30;
    else if (fuzz_chance(run, 20))
        lp |= 1u << 30; // auto-repeat
    return (LPARAM)lp;
}

static void throw_mouse(FuzzRun *run, HWND window)
{
    static const UINT kMouse[] = {WM_MOUSEMOVE,   WM_MOUSEMOVE,     WM_MOUSEMOVE,   WM_LBUTTONDOWN,
                                  WM_LBUTTONUP,   WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP,
                                  WM_MBUTTONDOWN, WM_MBUTTONUP,     WM_LBUTTONDOWN, WM_LBUTTONUP};
    UINT message = kMouse[fuzz_below(run, (int)(sizeof kMouse / sizeof kMouse[0]))];
    // Shift and Ctrl clicks open dialogs; right clicks open menus: less often.
    int modifiers = message == WM_MOUSEMOVE ? 20 : 8;
    if (message == WM_RBUTTONDOWN && fuzz_chance(run, 50))
        message = WM_RBUTTONUP;
    fuzz_send(run, window, message, fuzz_mouse_keys(run, modifiers), fuzz_point(run, window));
}

static void throw_key(FuzzRun *run, HWND window)
{
    UINT key = random_key(run);
    // Insert opens the edit box: less often than the others.
    if (key == VK_INSERT && fuzz_chance(run, 60))
        key = VK_DOWN;
    switch (fuzz_below(run, 6)) {
    case 0:
    case 1: fuzz_send(run, window, WM_KEYDOWN, key, key_lparam(run, key, true)); break;
    case 2: fuzz_send(run, window, WM_KEYUP, key, key_lparam(run, key, false)); break;
    case 3: {
        bool ctrl = fuzz_chance(run, 50);
        fuzz_hold_ctrl(ctrl);
        WPARAM ch =
            fuzz_chance(run, 50) ? (WPARAM)fuzz_range(run, 1, 26) : (WPARAM)fuzz_below(run, 256);
        fuzz_send(run, window, WM_CHAR, ch, key_lparam(run, 'A', true));
        fuzz_hold_ctrl(0);
        break;
    }
    case 4: fuzz_send(run, window, WM_SYSKEYDOWN, key, key_lparam(run, key, true) | 1 << 29); break;
    default: fuzz_send(run, window, WM_KEYDOWN, key, key_lparam(run, key, true)); break;
    }
}

static void throw_wheel(FuzzRun *run, HWND window)
{
    static const short kDeltas[] = {120, -120, 240, -360, 1, -1, 23, 24, -24, 32767, -32768, 0};
    short delta = fuzz_chance(run, 70) ? kDeltas[fuzz_below(run, 12)] : (short)fuzz_rand(run);
    WPARAM wParam = MAKEWPARAM(fuzz_mouse_keys(run, 10), (WORD)delta);
    POINT at = {0, 0};
    ClientToScreen(window, &at);
    fuzz_send(run, window, WM_MOUSEWHEEL, wParam, MAKELPARAM(at.x + 5, at.y + 5));
}

static void throw_scroll(FuzzRun *run, HWND window)
{
    UINT message = fuzz_chance(run, 50) ? WM_VSCROLL : WM_HSCROLL;
    WORD code = fuzz_chance(run, 90) ? (WORD)fuzz_below(run, 9) : (WORD)fuzz_rand(run);
    WORD position = fuzz_chance(run, 50) ? (WORD)fuzz_below(run, 1001) : (WORD)fuzz_rand(run);
    fuzz_send(run, window, message, MAKEWPARAM(code, position), 0);
}

// Focus and capture: the real calls, and the messages sent bare.
static void throw_focus_capture(FuzzRun *run, HWND window)
{
    HWND others[] = {window, run->sibling, run->host, nullptr};
    HWND other = others[fuzz_below(run, 4)];
    switch (fuzz_below(run, 9)) {
    case 0:
        fuzz_note(run, "SetFocus");
        SetFocus(other);
        break;
    case 1:
        fuzz_note(run, "SetFocus control");
        SetFocus(window);
        break;
    case 2:
        fuzz_note(run, "SetCapture");
        if (other != nullptr)
            SetCapture(other);
        break;
    case 3:
        fuzz_note(run, "ReleaseCapture");
        ReleaseCapture();
        break;
    case 4: fuzz_send(run, window, WM_CAPTURECHANGED, 0, (LPARAM)other); break;
    case 5: fuzz_send(run, window, WM_SETFOCUS, (WPARAM)other, 0); break;
    case 6: fuzz_send(run, window, WM_KILLFOCUS, (WPARAM)other, 0); break;
    case 7: fuzz_send(run, window, WM_CANCELMODE, 0, 0); break;
    default:
        fuzz_send(run, window, WM_MOUSEACTIVATE, (WPARAM)run->host,
                  MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
        break;
    }
}

// The value commands 1-4 with any float bits, and any command number.
static void throw_command(FuzzRun *run, HWND window)
{
    int pick = fuzz_below(run, 10);
    WPARAM command = pick < 6 ? (WPARAM)fuzz_range(run, 1, 4) : (WPARAM)fuzz_rand(run) & 0xFFFF;
    if (pick == 9)
        command = fuzz_rand(run); // a notification code in the high word
    LPARAM lParam = (LPARAM)fuzz_float_bits(run, -2.0f, 2.0f);
    fuzz_send(run, window, WM_COMMAND, command, lParam);
}

// Sizes: the real moves and sizes, and WM_SIZE sent bare.
static void throw_size(FuzzRun *run, HWND window)
{
    int w = fuzz_chance(run, 10) ? 0 : fuzz_range(run, 1, 300);
    int h = fuzz_chance(run, 10) ? 0 : fuzz_range(run, 1, 260);
    switch (fuzz_below(run, 4)) {
    case 0:
        fuzz_note(run, "SetWindowPos size");
        SetWindowPos(window, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        break;
    case 1:
        fuzz_note(run, "MoveWindow");
        MoveWindow(window, fuzz_range(run, -20, 200), fuzz_range(run, -20, 200), w, h, TRUE);
        break;
    default:
        fuzz_send(run, window, WM_SIZE, (WPARAM)fuzz_below(run, 5), (LPARAM)fuzz_rand(run));
        break;
    }
}

static void throw_paint_show(FuzzRun *run, HWND window)
{
    switch (fuzz_below(run, 7)) {
    case 0:
        fuzz_note(run, "invalidate and update");
        InvalidateRect(window, nullptr, fuzz_chance(run, 50));
        UpdateWindow(window);
        break;
    case 1: fuzz_send(run, window, WM_PAINT, 0, 0); break;
    case 2:
        fuzz_note(run, "ShowWindow hide");
        ShowWindow(window, SW_HIDE);
        break;
    case 3:
        fuzz_note(run, "ShowWindow show");
        ShowWindow(window, SW_SHOWNA);
        break;
    case 4:
        fuzz_note(run, "EnableWindow");
        EnableWindow(window, fuzz_chance(run, 60));
        break;
    case 5:
        fuzz_send(run, window, WM_TIMER,
                  fuzz_chance(run, 70) ? I2P_TIMER_ID : fuzz_rand(run) & 0xFFFF, 0);
        break;
    default: fuzz_send(run, window, WM_INITMENUPOPUP, 0, 0); break;
    }
}

// Closing and destruction, in whatever the control is doing; often in the
// middle of a drag begun for the purpose.
static void throw_end(FuzzRun *run, HWND window)
{
    if (fuzz_chance(run, 40)) {
        fuzz_send(run, window, WM_LBUTTONDOWN, MK_LBUTTON, fuzz_point(run, window));
        fuzz_send(run, window, WM_MOUSEMOVE, MK_LBUTTON, fuzz_point(run, window));
        if (!IsWindow(window))
            return;
    }
    switch (fuzz_below(run, 8)) {
    case 0:
    case 1:
    case 2: fuzz_send(run, window, WM_CLOSE, 0, 0); break;
    case 3:
    case 4:
        fuzz_note(run, "DestroyWindow control");
        DestroyWindow(window);
        break;
    case 5:
        fuzz_note(run, "DestroyWindow host");
        DestroyWindow(run->host);
        break;
    default: fuzz_send(run, window, WM_CANCELMODE, 0, 0); break;
    }
}

void fuzz_common(FuzzRun *run, HWND window)
{
    int r = fuzz_below(run, 1000);
    if (r < 380)
        throw_mouse(run, window);
    else if (r < 560)
        throw_key(run, window);
    else if (r < 620)
        throw_wheel(run, window);
    else if (r < 680)
        throw_scroll(run, window);
    else if (r < 770)
        throw_focus_capture(run, window);
    else if (r < 900)
        throw_command(run, window);
    else if (r < 940)
        throw_size(run, window);
    else if (r < 985)
        throw_paint_show(run, window);
    else
        throw_end(run, window);
}

// ---------------------------------------------------------------------------
// 6. Loops and ticks. A message may open a loop of its own (an edit box, a
//    menu); the engine keeps a tick posted so that such a loop dispatches
//    it, and each tick throws the next message from inside.
// ---------------------------------------------------------------------------

static const UINT kTick = WM_APP + 0x51; // the tick, posted to the driver window
static const int kMaxDepth = 3;          // loops inside loops the engine still throws into

// Whether the thread is in a menu loop (a context menu is up).
static int in_menu(void)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetCurrentThreadId(), &info) && (info.flags & GUI_INMENUMODE) != 0;
}

static void post_tick(FuzzRun *run) { PostMessageA(run->driver, kTick, 0, 0); }

// Posts a tick unless one waits in the queue. A loop that ends may take a
// tick from the queue without dispatching it (a dialog that another
// application's activation cancels), so the queue is asked, not a flag.
static void ensure_tick(FuzzRun *run)
{
    MSG msg;
    if (!PeekMessageA(&msg, run->driver, kTick, kTick, PM_NOREMOVE))
        post_tick(run);
}

// The dialogs of the table that are open now, and their rows. Returns how many.
static int open_dialogs(HWND *found, const FuzzDialog **rows)
{
    int n = 0;
    for (int i = 0; i < kFuzzDialogCount; ++i) {
        HWND dialog = kFuzzDialogs[i].current();
        if (dialog != nullptr && IsWindow(dialog)) {
            found[n] = dialog;
            rows[n++] = &kFuzzDialogs[i];
        }
    }
    return n;
}

// A random message at the subject: the common ones or the class's own.
static void throw_at_subject(FuzzRun *run)
{
    HWND subject = run->subject;
    if (subject == nullptr || !IsWindow(subject)) {
        fuzz_common(run, run->sibling);
        return;
    }
    if (fuzz_chance(run, 70))
        fuzz_common(run, subject);
    else
        run->cls->message(run, subject);
}

// Ends every loop the engine knows of: menus, then the modal dialogs.
static void end_loops(FuzzRun *run)
{
    fuzz_note(run, "end loops");
    if (in_menu())
        EndMenu();
    HWND found[8];
    const FuzzDialog *rows[8];
    int n = open_dialogs(found, rows);
    for (int i = 0; i < n; ++i)
        SendMessageA(found[i], WM_CLOSE, 0, 0);
}

static void check_state(FuzzRun *run);

static void throw_in_loop(FuzzRun *run)
{
    if (in_menu()) {
        int r = fuzz_below(run, 10);
        if (r < 6) {
            fuzz_note(run, "EndMenu");
            EndMenu();
        } else if (r < 7) {
            fuzz_send(run, run->subject, WM_CANCELMODE, 0, 0);
        } else {
            throw_at_subject(run);
        }
        return;
    }
    HWND found[8];
    const FuzzDialog *rows[8];
    int n = open_dialogs(found, rows);
    if (n > 0 && fuzz_chance(run, run->dialog != nullptr ? 75 : 60)) {
        int k = fuzz_below(run, n);
        rows[k]->message(run, found[k]);
        return;
    }
    throw_at_subject(run);
}

// One tick. Dispatched by the engine's own pump it only clears itself;
// dispatched by a loop a message opened it posts the next tick and throws one
// message, or ends the loops when they ran long enough, nest too deep or the
// run is over.
static void on_tick(FuzzRun *run)
{
    if (run->pumping && run->depth == 0)
        return;
    post_tick(run);
    HWND found[8];
    const FuzzDialog *rows[8];
    int n = open_dialogs(found, rows);
    uint64_t key = mix((uint64_t)in_menu(), (uint64_t)n);
    for (int i = 0; i < n; ++i)
        key = mix(key, (uint64_t)(UINT_PTR)found[i]);
    if (key != run->loopKey) { // another loop is innermost now: it gets a length of its own
        run->loopKey = key;
        run->loopSteps = 0;
        run->loopLimit = in_menu() ? fuzz_range(run, 1, 4) : fuzz_range(run, 1, 60);
    }
    ++run->loopSteps;
    if (!in_menu() && n == 0) {
        // A loop the engine does not know: try to end it, then give up.
        if (++run->unknownLoops > 50) {
            fuzz_fail(run, "stuck in a loop the fuzzer does not know");
            PostQuitMessage(0);
        }
        EndMenu();
        SendMessageA(GetCapture(), WM_CANCELMODE, 0, 0);
        return;
    }
    run->unknownLoops = 0;
    ++run->depth;
    if (run->depth > kMaxDepth || run->sent >= run->budget || run->failed ||
        run->loopSteps > run->loopLimit) {
        end_loops(run);
    } else {
        throw_in_loop(run);
        check_state(run);
    }
    --run->depth;
}

static const UINT_PTR kSafetyTimer = 1; // feeds a loop whose tick was lost
static const UINT kSafetyMs = 100;

static LRESULT CALLBACK driver_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kTick && g_run != nullptr) {
        on_tick(g_run);
        return 0;
    }
    // Timer messages come only when no message is posted: inside a loop
    // that means no tick is waiting. The engine's own pump drops them.
    if (message == WM_TIMER && wParam == kSafetyTimer && g_run != nullptr) {
        ensure_tick(g_run);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Empties the queue. Timer messages are dropped: they come with the clock,
// and a run must depend on its seed alone (the fuzzer sends WM_TIMER itself).
static void pump(FuzzRun *run)
{
    ++run->pumping;
    MSG msg;
    for (int n = 0; n < 20000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++n) {
        if (msg.message == WM_TIMER || msg.message == WM_QUIT)
            continue;
        DispatchMessageA(&msg);
    }
    --run->pumping;
}

// ---------------------------------------------------------------------------
// 7. A run
// ---------------------------------------------------------------------------

static const char kHostClass[] = "QK2FuzzHost";
static const char kDriverClass[] = "QK2FuzzDriver";

static LRESULT CALLBACK host_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ERASEBKGND) {
        RECT rc;
        GetClientRect(window, &rc);
        FillRect((HDC)wParam, &rc, (HBRUSH)GetStockObject(GRAY_BRUSH));
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static void register_classes(void)
{
    static bool done = false;
    if (done)
        return;
    done = true;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = host_proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kHostClass;
    RegisterClassA(&wc);
    wc.lpfnWndProc = driver_proc;
    wc.lpszClassName = kDriverClass;
    RegisterClassA(&wc);
}

// Makes the host and its sibling when they are gone. Returns 1.
static int ensure_host(FuzzRun *run)
{
    if (run->host != nullptr && IsWindow(run->host))
        return 1;
    run->host = CreateWindowExA(0, kHostClass, "fuzz host", WS_POPUP | WS_CLIPCHILDREN, 20, 20, 420,
                                320, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (run->host == nullptr)
        return 0;
    ShowWindow(run->host, SW_SHOWNA);
    run->sibling = CreateWindowExA(0, "static", "", WS_CHILD | WS_VISIBLE, 330, 250, 60, 40,
                                   run->host, nullptr, GetModuleHandleA(nullptr), nullptr);
    run->subject = nullptr;
    return 1;
}

// Makes a new subject when the last one is gone. Returns 1, or 0 when the
// class refused a thousand set-ups in a row.
static int ensure_subject(FuzzRun *run)
{
    if (!ensure_host(run)) {
        fuzz_fail(run, "no host window (error %lu)", GetLastError());
        return 0;
    }
    if (run->subject != nullptr && IsWindow(run->subject))
        return 1;
    for (int tries = 0; tries < 1000; ++tries) {
        run->hostile = fuzz_chance(run, 25);
        run->subject = run->cls->create(run);
        if (run->subject != nullptr) {
            ++run->lives;
            return 1;
        }
        ++run->refused;
    }
    fuzz_fail(run, "%s refused a thousand set-ups", run->cls->name);
    return 0;
}

// After each message, at the top or inside a loop: the subject holds
// together, and so does every open dialog.
static void check_state(FuzzRun *run)
{
    if (run->failed)
        return;
    HWND subject = run->subject;
    if (subject != nullptr && IsWindow(subject) && ctl_get_instance_data(subject) != nullptr)
        run->cls->check(run, subject);
    if (g_doubleFrees != 0)
        fuzz_fail(run, "a block was freed twice");
    static const bool everyMessage = std::getenv("QK2_FUZZ_CHECK_FREED") != nullptr;
    if (everyMessage && quarantine_spoiled())
        fuzz_fail(run, "a freed block of %u bytes was written to", (unsigned)g_spoiledSize);
    HWND found[8];
    const FuzzDialog *rows[8];
    int n = open_dialogs(found, rows);
    for (int i = 0; i < n && !run->failed; ++i)
        if (rows[i]->check != nullptr)
            rows[i]->check(run, found[i]);
}

// After each message at the top: no modal dialog or menu is left open, the
// toolkit's handles name live windows, and the states hold together.
static void check(FuzzRun *run)
{
    if (run->failed)
        return;
    if (g_openEditDialog != nullptr)
        fuzz_fail(run, "an edit box is still marked open outside its loop");
    if (g_openTimeDialog != nullptr)
        fuzz_fail(run, "a time dialog is still marked open outside its loop");
    if (g_openAdjustPopup != nullptr && !IsWindow(g_openAdjustPopup))
        fuzz_fail(run, "the open adjust popup handle names no window");
    if (in_menu())
        fuzz_fail(run, "a menu loop is still open");
    check_state(run);
}

// One step of a class run: a message at the subject or at an open popup.
static void class_step(FuzzRun *run)
{
    HWND found[8];
    const FuzzDialog *rows[8];
    int n = open_dialogs(found, rows);
    if (n > 0 && fuzz_chance(run, 30)) {
        int k = fuzz_below(run, n);
        rows[k]->message(run, found[k]);
        return;
    }
    throw_at_subject(run);
}

// One step of a dialog run: open the dialog, throw at it, or at its opener.
static void dialog_step(FuzzRun *run)
{
    HWND open = run->dialog->current();
    if (open == nullptr && fuzz_chance(run, 50)) {
        ++run->opened;
        fuzz_note(run, "open dialog");
        run->dialog->open(run, run->subject);
        return;
    }
    if (open != nullptr && fuzz_chance(run, 70)) {
        run->dialog->message(run, open);
        return;
    }
    throw_at_subject(run);
}

// Closes what is open and destroys every window of the run.
static void finish(FuzzRun *run)
{
    run->budget = run->sent;
    HWND found[8];
    const FuzzDialog *rows[8];
    int n = open_dialogs(found, rows);
    for (int i = 0; i < n; ++i)
        SendMessageA(found[i], WM_CLOSE, 0, 0);
    ReleaseCapture();
    if (run->host != nullptr && IsWindow(run->host))
        DestroyWindow(run->host);
    run->host = run->subject = run->sibling = nullptr;
    pump(run);
    fuzz_hold_ctrl(0);
    delete_bitmaps();
}

static void run_messages(FuzzRun *run)
{
    register_classes();
    run->driver = CreateWindowExA(0, kDriverClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    if (run->driver == nullptr) {
        fuzz_fail(run, "no window for the ticks");
        return;
    }
    SetTimer(run->driver, kSafetyTimer, kSafetyMs, nullptr);
    g_run = run;
    while (run->sent < run->budget && !run->failed) {
        if (!ensure_subject(run))
            break;
        ensure_tick(run);
        if (run->dialog != nullptr)
            dialog_step(run);
        else
            class_step(run);
        pump(run);
        check(run);
    }
    finish(run);
    if (g_openAdjustPopup != nullptr || g_openEditDialog != nullptr || g_openTimeDialog != nullptr)
        fuzz_fail(run, "a dialog outlived its run");
    g_run = nullptr;
    DestroyWindow(run->driver);
    pump(run);
}

const FuzzClass *fuzz_find_class(const char *name)
{
    for (int i = 0; i < kFuzzClassCount; ++i)
        if (_stricmp(kFuzzClasses[i].name, name) == 0)
            return &kFuzzClasses[i];
    return nullptr;
}

const FuzzDialog *fuzz_find_dialog(const char *name)
{
    for (int i = 0; i < kFuzzDialogCount; ++i)
        if (_stricmp(kFuzzDialogs[i].name, name) == 0)
            return &kFuzzDialogs[i];
    return nullptr;
}

static const char kAppName[] = "KeldoranFuzz";
static const char kKeyPath[] = "Varkel_Audio\\QK2CTL\\KeldoranFuzz";

// The toolkit starts and stops around each run under its own application
// name, whose key is deleted afterwards (the settings the run changed are
// written there by the shutdown).
static void forget_settings(void) { RegDeleteKeyA(HKEY_CURRENT_USER, kKeyPath); }

// One run with the counts taken around it.
static int run_once(const FuzzClass *cls, const FuzzDialog *dialog, uint64_t seed, long messages,
                    FuzzResult *result)
{
    std::memset(result, 0, sizeof *result);
    start_quarantine();
    flush_quarantine();
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    FuzzCounts before, after;
    static uint8_t objects[0x10000];
    gdi_snapshot(objects);
    fuzz_counts(&before);
    forget_settings();
    if (!ctl_init(GetModuleHandleA(nullptr), kAppName)) {
        ctl_shutdown();
        std::snprintf(result->failure, sizeof result->failure, "the toolkit did not start");
        result->failed = 1;
        return 0;
    }
    FuzzRun *run = static_cast<FuzzRun *>(std::calloc(1, sizeof(FuzzRun)));
    run->state = seed * 0x2545F4914F6CDD1Dull + 0x1234567u;
    run->cls = cls;
    run->dialog = dialog;
    run->budget = messages;
    run_messages(run);
    ctl_shutdown();
    forget_settings();
    QueryPerformanceCounter(&end);

    result->messages = run->sent;
    result->lives = run->lives;
    result->refused = run->refused;
    result->opened = run->opened;
    result->trace = run->trace;
    result->failed = run->failed;
    std::memcpy(result->failure, run->failure, sizeof result->failure);
    std::free(run); // the run's own block goes before the blocks are counted
    bool doubleFree = g_doubleFrees != 0;
    if (flush_quarantine() != 0 && !result->failed) {
        result->failed = 1;
        if (doubleFree)
            std::snprintf(result->failure, sizeof result->failure, "a block was freed twice");
        else
            std::snprintf(result->failure, sizeof result->failure,
                          "a freed block of %u bytes was written to", (unsigned)g_spoiledSize);
    }
    fuzz_counts(&after);
    result->leaked.heap = after.heap - before.heap;
    result->leaked.gdi = after.gdi - before.gdi;
    result->leaked.menus = after.menus - before.menus;
    result->leaked.windows = after.windows - before.windows;
    result->ms = (double)(end.QuadPart - start.QuadPart) * 1000.0 / (double)frequency.QuadPart;
    bool leaked = result->leaked.heap > 0 || result->leaked.gdi > 0 || result->leaked.menus > 0 ||
                  result->leaked.windows > 0;
    if (result->leaked.gdi > 0 && !result->failed) {
        char kinds[160];
        describe_new_objects(objects, kinds, sizeof kinds);
        std::snprintf(result->failure, sizeof result->failure, "GDI objects left: %s", kinds);
    }
    return !result->failed && !leaked;
}

static void CALLBACK end_menu(HWND, UINT, UINT_PTR, DWORD) { EndMenu(); }

// The system keeps some GDI objects once made: device contexts of its
// cache for GetDC and BeginPaint (with their regions), and the system colour
// brushes. Making them all at the start keeps them out of the counts.
static void warm_system_caches(void)
{
    static bool done = false;
    if (done)
        return;
    done = true;
    for (int i = 0; i <= COLOR_MENUBAR; ++i)
        GetSysColorBrush(i);
    HWND window = CreateWindowExA(0, "static", "", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    const int kDeep = 48; // far more device contexts than any run holds at once
    HDC dcs[kDeep];
    for (int i = 0; i < kDeep; ++i)
        dcs[i] = GetDC(window);
    for (int i = kDeep - 1; i >= 0; --i)
        ReleaseDC(window, dcs[i]);
    // A menu shown once: the system makes its font and check marks then.
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING | MF_CHECKED, 1, "warm");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING | MF_GRAYED, 2, "up");
    UINT_PTR timer = SetTimer(nullptr, 0, 30, end_menu);
    TrackPopupMenu(menu, 0, 5, 5, 0, window, nullptr);
    KillTimer(nullptr, timer);
    DestroyMenu(menu);
    DestroyWindow(window);
}

int fuzz_run_row(const FuzzClass *cls, const FuzzDialog *dialog, uint64_t seed, long messages,
                 FuzzResult *result)
{
    std::memset(result, 0, sizeof *result);
    if (dialog != nullptr && cls == nullptr)
        cls =
            dialog->subject != nullptr ? fuzz_find_class(dialog->subject) : fuzz_free_panel_class();
    if (cls == nullptr)
        return -1;
    // The first run in a process warms what the system makes once and keeps
    // (cached device contexts, the menu font, realised fonts, the edit
    // class): a short run of every row first, whose counts are not taken.
    static bool warmed = false;
    if (!warmed) {
        warmed = true;
        warm_system_caches();
        for (int i = 0; i < kFuzzClassCount; ++i)
            run_once(&kFuzzClasses[i], nullptr, 0x5EED + i, 600, result);
        for (int i = 0; i < kFuzzDialogCount; ++i) {
            const FuzzDialog *d = &kFuzzDialogs[i];
            const FuzzClass *c =
                d->subject != nullptr ? fuzz_find_class(d->subject) : fuzz_free_panel_class();
            if (c != nullptr)
                run_once(c, d, 0x5EED + i, 600, result);
        }
    }
    return run_once(cls, dialog, seed, messages, result);
}

int fuzz_run(const char *name, uint64_t seed, long messages, FuzzResult *result)
{
    std::memset(result, 0, sizeof *result);
    const FuzzClass *cls = fuzz_find_class(name);
    const FuzzDialog *dialog = cls == nullptr ? fuzz_find_dialog(name) : nullptr;
    if (cls == nullptr && dialog == nullptr)
        return -1;
    return fuzz_run_row(dialog != nullptr ? nullptr : cls, dialog, seed, messages, result);
}

// ---------------------------------------------------------------------------
// 8. Crash reports
// ---------------------------------------------------------------------------

static bool is_fault(DWORD code)
{
    switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_STACK_OVERFLOW:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case 0xC0000409: // a failed stack check or fast fail
        return true;
    }
    return false;
}

// Where in our program an address lies (for a fault in the toolkit's code).
static bool in_program(const void *address)
{
    HMODULE self = GetModuleHandleA(nullptr);
    const IMAGE_DOS_HEADER *dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(self);
    const IMAGE_NT_HEADERS *nt = reinterpret_cast<const IMAGE_NT_HEADERS *>(
        reinterpret_cast<const char *>(self) + dos->e_lfanew);
    const char *base = reinterpret_cast<const char *>(self);
    const char *at = static_cast<const char *>(address);
    return at >= base && at < base + nt->OptionalHeader.SizeOfImage;
}

static DWORD g_mainThread = 0; // the thread the runs are on

static void report_crash(const EXCEPTION_RECORD *record)
{
    FuzzRun *run = g_run;
    std::fprintf(stdout, "\ncrash %08lX at %p", record->ExceptionCode, record->ExceptionAddress);
    if (run != nullptr)
        std::fprintf(stdout, " in %s after %s",
                     run->dialog != nullptr ? run->dialog->name : run->cls->name, run->lastAction);
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof gui;
    if (GetGUIThreadInfo(g_mainThread, &gui))
        std::fprintf(stdout,
                     " (gui flags %lX, capture %p, menu owner %p, edit box %p, depth %d,"
                     " driver %p, pumping %d)",
                     gui.flags, (void *)gui.hwndCapture, (void *)gui.hwndMenuOwner,
                     (void *)g_openEditDialog, run != nullptr ? run->depth : -1,
                     run != nullptr ? (void *)run->driver : nullptr,
                     run != nullptr ? run->pumping : -1);
    std::fprintf(stdout, "\n");
    std::fflush(stdout);
    TerminateProcess(GetCurrentProcess(), 3);
}

// A fault in our own code is a crash at once, even when some handler up
// the stack would swallow it; faults elsewhere go on to their handlers.
static LONG CALLBACK first_chance(EXCEPTION_POINTERS *info)
{
    const EXCEPTION_RECORD *record = info->ExceptionRecord;
    if (is_fault(record->ExceptionCode) && in_program(record->ExceptionAddress))
        report_crash(record);
    return EXCEPTION_CONTINUE_SEARCH;
}

static LONG WINAPI unhandled(EXCEPTION_POINTERS *info)
{
    report_crash(info->ExceptionRecord);
    return EXCEPTION_EXECUTE_HANDLER;
}

// A run that throws nothing for half a minute hangs (a message sent into a
// loop nobody ends, a wait that never returns): reported like a crash.
static DWORD WINAPI watchdog(void *)
{
    LONG seen = g_progress;
    int quiet = 0;
    for (;;) {
        Sleep(1000);
        LONG now = g_progress;
        quiet = now != seen || g_run == nullptr ? 0 : quiet + 1;
        seen = now;
        if (quiet >= 30) {
            EXCEPTION_RECORD hang = {};
            hang.ExceptionCode = 0xDEAD0001u; // "hang"
            report_crash(&hang);
        }
    }
}

void fuzz_install_crash_report(void)
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    g_mainThread = GetCurrentThreadId();
    AddVectoredExceptionHandler(1, first_chance);
    SetUnhandledExceptionFilter(unhandled);
    HANDLE thread = CreateThread(nullptr, 0, watchdog, nullptr, 0, nullptr);
    if (thread != nullptr)
        CloseHandle(thread);
}
