// Toolkit start-up and shutdown: the reference count, the persisted settings
// and their registry values, the seven window classes and the start-up error
// code with its messages.
//
// Contents: 1. process-wide state  2. registry values  3. the class table
//           4. start-up  5. shutdown
#include "toolkit/qk2ctl.h"
#include "toolkit/core/ctl_internal.h"

#include <commctrl.h>

#include <array>
#include <cstdlib>
#include <cstring>

// ---------------------------------------------------------------------------
// 1. Process-wide state. One toolkit per process, used from the one window
//    thread only, so plain globals without locks are safe.
// ---------------------------------------------------------------------------

int32_t g_rotMode = 1;
int32_t g_sCapture = 1;
int32_t g_sSetToPos = 0;
int32_t g_aIMode = 0;

HWND g_openEditDialog = nullptr;
HWND g_openTimeDialog = nullptr;
HWND g_openAdjustPopup = nullptr;

int g_toolkitActive = 0;

static int32_t g_refCount = 0;               // start-ups minus shutdowns
static HINSTANCE g_toolkitInstance = nullptr;       // where classes and bitmaps live
static uint16_t g_errorCode = CTL_ERR_NOT_INITIALIZED; // result of the last start-up

static const char kKeyPrefix[] = "Varkel_Audio\\QK2CTL\\";
static const size_t kMaxAppName = 127;
static char g_appName[kMaxAppName + 1] = "";                      // last key component
static char g_keyPath[sizeof kKeyPrefix + kMaxAppName] = "";      // prefix + name

// The "[QK2CTL] ..." text of each start-up error code.
static constexpr std::array<const char *, 9> kErrorMessages = {
    "[QK2CTL] No error",
    "[QK2CTL] Module not initialized !",
    "[QK2CTL] Failed to register rotatif class",
    "[QK2CTL] Failed to register I2P class",
    "[QK2CTL] Failed to register FREE class",
    "[QK2CTL] Failed to register slide class",
    "[QK2CTL] Failed to register 3Dlist class",
    "[QK2CTL] Failed to register Vgrid class",
    "[QK2CTL] Failed to register 2Dgrid class",
};

int ctl_error_code(void) { return g_errorCode; }

const char *ctl_error_message(void)
{
    return g_errorCode < kErrorMessages.size() ? kErrorMessages[g_errorCode] : "";
}

const char *ctl_key_path(void) { return g_keyPath; }
HINSTANCE ctl_instance(void) { return g_toolkitInstance; }

// ---------------------------------------------------------------------------
// 2. Registry values: REG_BINARY under HKEY_CURRENT_USER.
// ---------------------------------------------------------------------------

int ctl_reg_read(const char *keyPath, const char *valueName, void *buffer, DWORD size)
{
    if (keyPath == nullptr || buffer == nullptr)
        return 0;
    HKEY key;
    if (RegOpenKeyA(HKEY_CURRENT_USER, keyPath, &key) != ERROR_SUCCESS)
        return 0;
    // Query into a copy of the buffer: a failed query (a value too long gives
    // ERROR_MORE_DATA) may leave anything in its buffer, and a shorter value
    // must leave the caller's tail bytes as they were.
    BYTE *copy = static_cast<BYTE *>(std::malloc(size != 0 ? size : 1));
    if (copy == nullptr) {
        RegCloseKey(key);
        return 0;
    }
    std::memcpy(copy, buffer, size);
    DWORD type = REG_BINARY;
    DWORD got = size;
    LONG rc = RegQueryValueExA(key, valueName, nullptr, &type, copy, &got);
    RegCloseKey(key);
    int ok = rc == ERROR_SUCCESS && type == REG_BINARY && got <= size;
    if (ok)
        std::memcpy(buffer, copy, size);
    std::free(copy);
    return ok;
}

int ctl_reg_write(const char *keyPath, const char *valueName, const void *data, DWORD size)
{
    if (keyPath == nullptr || (data == nullptr && size != 0))
        return 0;
    HKEY key;
    if (RegOpenKeyA(HKEY_CURRENT_USER, keyPath, &key) != ERROR_SUCCESS &&
        RegCreateKeyA(HKEY_CURRENT_USER, keyPath, &key) != ERROR_SUCCESS)
        return 0;
    LONG rc = RegSetValueExA(key, valueName, 0, REG_BINARY, static_cast<const BYTE *>(data), size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

// One persisted setting: its value name and the variable it fills.
struct Setting {
    const char *name; // registry value name
    void *variable;   // the process-wide variable, stored byte for byte
    DWORD size;       // bytes of the variable
    bool boolean;     // any non-zero value read becomes 1
};

// The five values in the order they are read and written.
static const std::array<Setting, 5> kSettings = {{
    {"Rot_Mode", &g_rotMode, sizeof g_rotMode, false},
    {"S_capture", &g_sCapture, sizeof g_sCapture, true},
    {"S_settopos", &g_sSetToPos, sizeof g_sSetToPos, true},
    {"A_imode", &g_aIMode, sizeof g_aIMode, true},
    {"Dial_tCtx", &g_timeContext, sizeof g_timeContext, false},
}};

// Reads every setting that is stored; the others keep their defaults.
static void read_settings(void)
{
    for (const Setting &s : kSettings) {
        ctl_reg_read(g_keyPath, s.name, s.variable, s.size);
        if (s.boolean) {
            int32_t *flag = static_cast<int32_t *>(s.variable);
            *flag = *flag != 0 ? 1 : 0;
        }
    }
}

// Writes all five settings, changed or not; failures are ignored.
static void write_settings(void)
{
    for (const Setting &s : kSettings)
        ctl_reg_write(g_keyPath, s.name, s.variable, s.size);
}

// ---------------------------------------------------------------------------
// 3. The seven window classes, in registration order.
// ---------------------------------------------------------------------------

struct ClassEntry {
    const char *name; // class name ending in 0xA9 "Tarnix"
    UINT style;       // class style
    WNDPROC proc;     // window procedure
    uint16_t error;   // start-up error code when registration fails
};

static const UINT kRedraw = CS_HREDRAW | CS_VREDRAW;

static const std::array<ClassEntry, 7> kClasses = {{
    {CTL_CLASS_ROTATIF, kRedraw | CS_DBLCLKS, ctl_rotatif_proc, CTL_ERR_ROTATIF},
    {CTL_CLASS_I2P, kRedraw, ctl_i2p_proc, CTL_ERR_I2P},
    {CTL_CLASS_FREE, kRedraw | CS_DBLCLKS, ctl_free_proc, CTL_ERR_FREE},
    {CTL_CLASS_SLIDE, kRedraw | CS_DBLCLKS, ctl_slide_proc, CTL_ERR_SLIDE},
    {CTL_CLASS_3DLIST, kRedraw, ctl_list3d_proc, CTL_ERR_3DLIST},
    {CTL_CLASS_VGRID, kRedraw, ctl_vgrid_proc, CTL_ERR_VGRID},
    {CTL_CLASS_2DLIST, kRedraw, ctl_list2d_proc, CTL_ERR_2DLIST},
}};

// The instance each class was registered under by this toolkit, or null:
// shutdown never unregisters a class of the same name that someone else
// owns. A class whose windows outlive the final shutdown (an application
// that stops the toolkit from its main window's WM_DESTROY, before the
// children go) cannot be unregistered then; it stays noted here, and the
// next start-up unregisters it once its windows are gone, or goes on using
// it while they live.
static std::array<HINSTANCE, kClasses.size()> g_classOwner = {};

// Unregisters class i if this toolkit registered it and no window of it is
// left. Returns 1 when it is no longer registered by the toolkit.
static int release_class(size_t i)
{
    if (g_classOwner[i] != nullptr && UnregisterClassA(kClasses[i].name, g_classOwner[i]))
        g_classOwner[i] = nullptr;
    return g_classOwner[i] == nullptr;
}

// Registers the classes in order. Returns 1, or 0 with the error code of the
// first class that cannot be registered (the earlier ones stay).
static int register_classes(void)
{
    for (size_t i = 0; i < kClasses.size(); ++i) {
        if (!release_class(i) && g_classOwner[i] == g_toolkitInstance)
            continue; // still ours from before, with windows: in use as it is
        WNDCLASSA wc = {};
        wc.style = kClasses[i].style;
        wc.lpfnWndProc = kClasses[i].proc;
        wc.cbClsExtra = 0;
        wc.cbWndExtra = 4; // the instance record pointer
        wc.hInstance = g_toolkitInstance;
        wc.hIcon = nullptr;
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = nullptr; // each control paints its whole client area
        wc.lpszMenuName = nullptr;
        wc.lpszClassName = kClasses[i].name;
        if (RegisterClassA(&wc) == 0) {
            g_errorCode = kClasses[i].error;
            return 0;
        }
        g_classOwner[i] = g_toolkitInstance;
    }
    return 1;
}

static void unregister_classes(void)
{
    for (size_t i = 0; i < kClasses.size(); ++i)
        release_class(i);
}

// ---------------------------------------------------------------------------
// 4. Start-up
// ---------------------------------------------------------------------------

// Sets every setting, flag and popup handle to its start-up value.
static void reset_state(void)
{
    g_errorCode = CTL_ERR_NONE;
    g_rotMode = 1;
    g_aIMode = 0;
    g_toolkitActive = 1;
    g_openEditDialog = nullptr;
    g_openTimeDialog = nullptr;
    g_openAdjustPopup = nullptr;
    g_sCapture = 1;
    g_sSetToPos = 0;
    g_timeContext = CTL_TIME_CONTEXT_BUILTIN;
}

// Stores the name (cut to 127 characters; none is the empty name) and builds
// the key path from it.
static void set_app_name(const char *name)
{
    if (name == nullptr)
        name = "";
    size_t n = strnlen(name, kMaxAppName);
    std::memcpy(g_appName, name, n);
    g_appName[n] = '\0';
    std::memcpy(g_keyPath, kKeyPrefix, sizeof kKeyPrefix - 1);
    std::memcpy(g_keyPath + sizeof kKeyPrefix - 1, g_appName, n + 1);
}

int ctl_init(HINSTANCE instance, const char *appName)
{
    if (++g_refCount != 1)
        return 1;
    g_toolkitInstance = instance;
    reset_state();
    set_app_name(appName);
    read_settings();
    ctl_mask_cache_forget();
    ctl_resources_build(instance);
    if (!register_classes())
        return 0;
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    return InitCommonControlsEx(&icc) ? 1 : 0;
}

// ---------------------------------------------------------------------------
// 5. Shutdown
// ---------------------------------------------------------------------------

// Closes the open toolkit popups: edit dialog, time dialog, adjust popup.
static void close_popups(void)
{
    HWND *popups[] = {&g_openEditDialog, &g_openTimeDialog, &g_openAdjustPopup};
    for (HWND *popup : popups) {
        if (*popup != nullptr)
            SendMessageA(*popup, WM_CLOSE, 0, 0);
        *popup = nullptr;
    }
}

void ctl_shutdown(void)
{
    if (g_refCount <= 0) // more shutdowns than start-ups: nothing left to undo
        return;
    if (--g_refCount != 0)
        return;
    g_toolkitActive = 0;
    close_popups();
    ctl_resources_release();
    unregister_classes();
    ctl_mask_cache_release();
    write_settings();
}
