// Toolkit start-up and shutdown under Wine: settings read from and written to
// the real registry, reference counting, the seven classes and the start-up
// error codes, and the popups closed by the final shutdown.
#include "tests/win/harness.h"
#include "toolkit/qk2ctl.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes bytes_of(const void *p, size_t n)
{
    const uint8_t *b = static_cast<const uint8_t *>(p);
    return Bytes(b, b + n);
}

Bytes le32(uint32_t v) { return bytes_of(&v, 4); }

// The value as the registry holds it (empty when missing or not REG_BINARY).
Bytes stored(const HarnessApp &app, const char *name)
{
    DWORD type = 0;
    Bytes data;
    if (!harness_reg_get(app.keyPath, name, &type, &data) || type != REG_BINARY)
        return {};
    return data;
}

bool class_registered(const char *name)
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    return GetClassInfoExA(harness_instance(), name, &wc) != 0;
}

struct ClassRow {
    const char *name; // full class name
    UINT style;       // expected class style
    int error;        // start-up error code when it cannot be registered
};

const UINT kRedraw = CS_HREDRAW | CS_VREDRAW;

// Registration order.
const std::array<ClassRow, 7> kClassRows = {{
    {CTL_CLASS_ROTATIF, kRedraw | CS_DBLCLKS, 2},
    {CTL_CLASS_I2P, kRedraw, 3},
    {CTL_CLASS_FREE, kRedraw | CS_DBLCLKS, 4},
    {CTL_CLASS_SLIDE, kRedraw | CS_DBLCLKS, 5},
    {CTL_CLASS_3DLIST, kRedraw, 6},
    {CTL_CLASS_VGRID, kRedraw, 7},
    {CTL_CLASS_2DLIST, kRedraw, 8},
}};

// --- Defaults and the final write -----------------------------------------

TEST(ToolkitSettings, DefaultsWithoutAKeyAndAllFiveWrittenAtShutdown)
{
    HarnessApp app;
    ASSERT_EQ(harness_toolkit_start(&app, "defaults"), 1);
    EXPECT_EQ(ctl_error_code(), 0);
    EXPECT_STREQ(ctl_error_message(), "[QK2CTL] No error");
    EXPECT_EQ(g_rotMode, 1);
    EXPECT_EQ(g_sCapture, 1);
    EXPECT_EQ(g_sSetToPos, 0);
    EXPECT_EQ(g_aIMode, 0);
    EXPECT_EQ(std::memcmp(&g_timeContext, &CTL_TIME_CONTEXT_BUILTIN, 44), 0);
    EXPECT_EQ(g_toolkitActive, 1);
    EXPECT_EQ(g_openEditDialog, nullptr);
    EXPECT_EQ(g_openTimeDialog, nullptr);
    EXPECT_EQ(g_openAdjustPopup, nullptr);
    EXPECT_STREQ(ctl_key_path(), app.keyPath);
    EXPECT_EQ(ctl_instance(), harness_instance());
    EXPECT_FALSE(harness_key_exists(app.keyPath)) << "reading never creates the key";

    ctl_shutdown();
    EXPECT_EQ(g_toolkitActive, 0);
    EXPECT_EQ(stored(app, "Rot_Mode"), le32(1));
    EXPECT_EQ(stored(app, "S_capture"), le32(1));
    EXPECT_EQ(stored(app, "S_settopos"), le32(0));
    EXPECT_EQ(stored(app, "A_imode"), le32(0));
    EXPECT_EQ(stored(app, "Dial_tCtx"), bytes_of(&CTL_TIME_CONTEXT_BUILTIN, 44));
    harness_app_end(&app);
}

TEST(ToolkitSettings, ChangesInMemoryAreWrittenAtShutdown)
{
    HarnessApp app;
    ASSERT_EQ(harness_toolkit_start(&app, "changes"), 1);
    g_rotMode = 2;
    g_sCapture = 0;
    g_sSetToPos = 1;
    g_aIMode = 1;
    g_timeContext.tempo = 90.0f;
    TimeContext expected = g_timeContext;
    ctl_shutdown();
    EXPECT_EQ(stored(app, "Rot_Mode"), le32(2));
    EXPECT_EQ(stored(app, "S_capture"), le32(0));
    EXPECT_EQ(stored(app, "S_settopos"), le32(1));
    EXPECT_EQ(stored(app, "A_imode"), le32(1));
    EXPECT_EQ(stored(app, "Dial_tCtx"), bytes_of(&expected, 44));

    // Read back by the next start-up, and written again though unchanged.
    ASSERT_EQ(ctl_init(harness_instance(), app.name), 1);
    EXPECT_EQ(g_rotMode, 2);
    EXPECT_EQ(g_sCapture, 0);
    EXPECT_EQ(g_sSetToPos, 1);
    EXPECT_EQ(g_aIMode, 1);
    EXPECT_EQ(g_timeContext.tempo, 90.0f);
    ASSERT_TRUE(harness_delete_key(app.keyPath));
    ctl_shutdown();
    EXPECT_EQ(stored(app, "Rot_Mode"), le32(2));
    EXPECT_EQ(stored(app, "Dial_tCtx"), bytes_of(&expected, 44));
    harness_app_end(&app);
}

// --- Reading the four 32-bit settings --------------------------------------

struct IntRow {
    const char *value; // registry value name
    DWORD type;        // type it is stored with
    Bytes data;        // bytes stored
    int32_t expected;  // setting after start-up (also what shutdown writes)
};

int32_t *setting(const char *name)
{
    if (std::strcmp(name, "Rot_Mode") == 0)
        return &g_rotMode;
    if (std::strcmp(name, "S_capture") == 0)
        return &g_sCapture;
    if (std::strcmp(name, "S_settopos") == 0)
        return &g_sSetToPos;
    return &g_aIMode;
}

TEST(ToolkitSettings, StoredValuesAreReadNormalisedOrIgnored)
{
    const IntRow rows[] = {
        {"Rot_Mode", REG_BINARY, le32(3), 3},            // both bits stay
        {"Rot_Mode", REG_BINARY, le32(0x12345678), 0x12345678}, // taken as stored
        {"S_capture", REG_BINARY, le32(5), 1},           // non-zero becomes 1
        {"S_capture", REG_BINARY, le32(0), 0},
        {"S_settopos", REG_BINARY, le32(0xFFFFFFFF), 1},
        {"A_imode", REG_BINARY, le32(0x80000000), 1},
        {"Rot_Mode", REG_DWORD, le32(3), 1},             // wrong type: default
        {"S_settopos", REG_SZ, {'1', 0}, 0},
        {"S_capture", REG_BINARY, {0, 0, 0, 0, 0}, 1},   // too long: default
        {"Rot_Mode", REG_BINARY, {2, 0}, 2},             // short: tail of the default
        {"Rot_Mode", REG_BINARY, {0}, 0},
        {"A_imode", REG_BINARY, {}, 0},                  // empty: all default
        {"S_capture", REG_BINARY, {}, 1},
    };
    for (const IntRow &r : rows) {
        SCOPED_TRACE(std::string(r.value) + " row " + std::to_string(&r - rows));
        HarnessApp app;
        harness_app_begin(&app, "ints");
        ASSERT_TRUE(harness_reg_set(app.keyPath, r.value, r.type, r.data.data(),
                                    (DWORD)r.data.size()));
        ASSERT_EQ(ctl_init(harness_instance(), app.name), 1);
        EXPECT_EQ(*setting(r.value), r.expected);
        ctl_shutdown();
        EXPECT_EQ(stored(app, r.value), le32((uint32_t)r.expected));
        harness_app_end(&app);
    }
}

// --- The time-dialog context ------------------------------------------------

struct ContextRow {
    const char *what; // description
    DWORD type;       // type it is stored with
    Bytes data;       // bytes stored
    Bytes expected;   // the 44 bytes of g_timeContext after start-up
};

Bytes builtin_bytes() { return bytes_of(&CTL_TIME_CONTEXT_BUILTIN, 44); }

Bytes pattern(size_t n, uint8_t seed)
{
    Bytes b(n);
    for (size_t i = 0; i < n; ++i)
        b[i] = (uint8_t)(seed + 37 * i);
    return b;
}

// The first n bytes of a pattern over the built-in tail.
Bytes pattern_over_builtin(size_t n, uint8_t seed)
{
    Bytes b = builtin_bytes();
    Bytes p = pattern(n, seed);
    std::copy(p.begin(), p.end(), b.begin());
    return b;
}

TEST(ToolkitSettings, TimeContextIsCopiedWholeOrIgnored)
{
    const ContextRow rows[] = {
        {"arbitrary 44 bytes", REG_BINARY, pattern(44, 1), pattern(44, 1)},
        {"all ones", REG_BINARY, Bytes(44, 0xFF), Bytes(44, 0xFF)},
        {"stored as REG_DWORD", REG_DWORD, le32(7), builtin_bytes()},
        {"45 bytes", REG_BINARY, pattern(45, 2), builtin_bytes()},
        {"20 bytes", REG_BINARY, pattern(20, 3), pattern_over_builtin(20, 3)},
    };
    for (const ContextRow &r : rows) {
        SCOPED_TRACE(r.what);
        HarnessApp app;
        harness_app_begin(&app, "tctx");
        ASSERT_TRUE(harness_reg_set(app.keyPath, "Dial_tCtx", r.type, r.data.data(),
                                    (DWORD)r.data.size()));
        ASSERT_EQ(ctl_init(harness_instance(), app.name), 1);
        EXPECT_EQ(bytes_of(&g_timeContext, 44), r.expected);
        ctl_shutdown();
        EXPECT_EQ(stored(app, "Dial_tCtx"), r.expected);
        harness_app_end(&app);
    }
}

// --- Arbitrary registry content ------------------------------------------------

TEST(ToolkitSettings, ArbitraryStoredValuesNeverLeaveASettingUndefined)
{
    static const char *const kNames[] = {"Rot_Mode", "S_capture", "S_settopos", "A_imode",
                                         "Dial_tCtx"};
    static const DWORD kTypes[] = {REG_BINARY, REG_BINARY, REG_DWORD, REG_SZ, REG_NONE,
                                   REG_MULTI_SZ};
    uint32_t seed = 12345;
    auto next = [&seed]() { return seed = seed * 1103515245u + 12345u, seed >> 8; };
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        HarnessApp app;
        harness_app_begin(&app, "random");
        for (const char *name : kNames) {
            if (next() % 5 == 0)
                continue; // sometimes absent
            Bytes data(next() % 60);
            for (uint8_t &b : data)
                b = (uint8_t)next();
            DWORD type = kTypes[next() % 6];
            ASSERT_TRUE(harness_reg_set(app.keyPath, name, type, data.data(), (DWORD)data.size()));
        }
        ASSERT_EQ(ctl_init(harness_instance(), app.name), 1);
        EXPECT_TRUE(g_sCapture == 0 || g_sCapture == 1);
        EXPECT_TRUE(g_sSetToPos == 0 || g_sSetToPos == 1);
        EXPECT_TRUE(g_aIMode == 0 || g_aIMode == 1);
        ctl_shutdown();
        for (const char *name : kNames) {
            DWORD type = 0;
            Bytes data;
            ASSERT_TRUE(harness_reg_get(app.keyPath, name, &type, &data)) << name;
            EXPECT_EQ(type, (DWORD)REG_BINARY) << name;
            EXPECT_EQ(data.size(), std::strcmp(name, "Dial_tCtx") == 0 ? 44u : 4u) << name;
        }
        harness_app_end(&app);
    }
}

// --- Reference counting -------------------------------------------------------

TEST(ToolkitLifecycle, TwoStartUpsNeedTwoShutdownsAndWriteOnce)
{
    HarnessApp first, second;
    harness_app_begin(&first, "first");
    harness_app_begin(&second, "second");
    uint32_t three = 3, two = 2;
    ASSERT_TRUE(harness_reg_set(first.keyPath, "Rot_Mode", REG_BINARY, &three, 4));
    ASSERT_TRUE(harness_reg_set(second.keyPath, "Rot_Mode", REG_BINARY, &two, 4));

    ASSERT_EQ(ctl_init(harness_instance(), first.name), 1);
    ASSERT_EQ(ctl_init(harness_instance(), second.name), 1) << "another name only counts";
    EXPECT_STREQ(ctl_key_path(), first.keyPath);
    EXPECT_EQ(g_rotMode, 3) << "settings already read stay";

    ASSERT_TRUE(harness_delete_key(first.keyPath));
    ctl_shutdown();
    EXPECT_FALSE(harness_key_exists(first.keyPath)) << "nothing written before the last shutdown";
    EXPECT_EQ(g_toolkitActive, 1);
    EXPECT_NE(ctl_brush(3), nullptr);
    EXPECT_EQ(ctl_kept_picture_count(), CTL_BITMAPS);
    for (const ClassRow &c : kClassRows)
        EXPECT_TRUE(class_registered(c.name)) << c.name;

    ctl_shutdown();
    EXPECT_EQ(stored(first, "Rot_Mode"), le32(3));
    EXPECT_EQ(stored(first, "Dial_tCtx").size(), 44u);
    EXPECT_TRUE(stored(second, "S_capture").empty()) << "the second name is never used";
    EXPECT_EQ(stored(second, "Rot_Mode"), le32(2));
    EXPECT_EQ(g_toolkitActive, 0);
    EXPECT_EQ(ctl_brush(3), nullptr);
    EXPECT_EQ(ctl_font(0), nullptr);
    EXPECT_EQ(ctl_bitmap(0), nullptr);
    EXPECT_EQ(ctl_kept_picture_count(), 0) << "every kept picture let go";
    for (const ClassRow &c : kClassRows)
        EXPECT_FALSE(class_registered(c.name)) << c.name;
    harness_app_end(&first);
    harness_app_end(&second);
}

TEST(ToolkitLifecycle, AnExtraShutdownDoesNothing)
{
    HarnessApp app;
    ASSERT_EQ(harness_toolkit_start(&app, "extra"), 1);
    ctl_shutdown();
    ASSERT_TRUE(harness_delete_key(app.keyPath));
    ctl_shutdown(); // unpaired
    EXPECT_FALSE(harness_key_exists(app.keyPath));
    ASSERT_EQ(ctl_init(harness_instance(), app.name), 1) << "the count did not go negative";
    ctl_shutdown();
    EXPECT_TRUE(harness_key_exists(app.keyPath));
    EXPECT_FALSE(class_registered(CTL_CLASS_FREE));
    harness_app_end(&app);
}

TEST(ToolkitLifecycle, LongNamesAreCutTo127Characters)
{
    std::string name = "ktest_long_" + std::string(200, 'n');
    std::string cut = "Varkel_Audio\\QK2CTL\\" + name.substr(0, 127);
    harness_delete_key(cut.c_str());
    ASSERT_EQ(ctl_init(harness_instance(), name.c_str()), 1);
    EXPECT_EQ(std::string(ctl_key_path()), cut);
    ctl_shutdown();
    EXPECT_TRUE(harness_key_exists(cut.c_str()));
    EXPECT_TRUE(harness_delete_key(cut.c_str()));
}

// --- Classes and start-up errors ----------------------------------------------

TEST(ToolkitClasses, SevenClassesWithTheirStylesAndFourExtraBytes)
{
    HarnessApp app;
    ASSERT_EQ(harness_toolkit_start(&app, "classes"), 1);
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    for (const ClassRow &c : kClassRows) {
        SCOPED_TRACE(c.name);
        WNDCLASSEXA wc = {};
        wc.cbSize = sizeof wc;
        ASSERT_TRUE(GetClassInfoExA(harness_instance(), c.name, &wc));
        EXPECT_EQ(wc.style, c.style);
        EXPECT_EQ(wc.cbClsExtra, 0);
        EXPECT_EQ(wc.cbWndExtra, 4);
        EXPECT_EQ(wc.hIcon, nullptr);
        EXPECT_EQ(wc.hCursor, arrow);
        EXPECT_EQ(wc.hbrBackground, nullptr);
        EXPECT_EQ(wc.lpszMenuName, nullptr);
        // The visible name alone is not a class: the 0xA9 "Tarnix" tail belongs to it.
        std::string visible(c.name, (size_t)(std::strchr(c.name, '\xA9') - c.name));
        EXPECT_FALSE(class_registered(visible.c_str()));
        EXPECT_STREQ(std::strchr(c.name, '\xA9'), "\xA9Tarnix");
    }
    harness_toolkit_stop(&app);
}

TEST(ToolkitClasses, AFailedRegistrationGivesItsCodeAndKeepsTheEarlierClasses)
{
    static const char *const kMessages[] = {
        "[QK2CTL] Failed to register rotatif class", "[QK2CTL] Failed to register I2P class",
        "[QK2CTL] Failed to register FREE class",    "[QK2CTL] Failed to register slide class",
        "[QK2CTL] Failed to register 3Dlist class",  "[QK2CTL] Failed to register Vgrid class",
        "[QK2CTL] Failed to register 2Dgrid class",
    };
    for (size_t taken = 0; taken < kClassRows.size(); ++taken) {
        SCOPED_TRACE(kClassRows[taken].name);
        // Someone else owns the class name already.
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = harness_instance();
        wc.lpszClassName = kClassRows[taken].name;
        ASSERT_NE(RegisterClassA(&wc), 0);

        HarnessApp app;
        EXPECT_EQ(harness_toolkit_start(&app, "regfail"), 0);
        EXPECT_EQ(ctl_error_code(), kClassRows[taken].error);
        EXPECT_STREQ(ctl_error_message(), kMessages[taken]);
        EXPECT_EQ(g_toolkitActive, 1);
        EXPECT_NE(ctl_pen(0), nullptr) << "resources were built before the classes";
        for (size_t i = 0; i < kClassRows.size(); ++i)
            EXPECT_EQ(class_registered(kClassRows[i].name), i <= taken) << kClassRows[i].name;

        ctl_shutdown();
        EXPECT_TRUE(harness_key_exists(app.keyPath)) << "settings are written all the same";
        EXPECT_EQ(ctl_error_code(), kClassRows[taken].error) << "the code outlives shutdown";
        for (size_t i = 0; i < kClassRows.size(); ++i)
            EXPECT_EQ(class_registered(kClassRows[i].name), i == taken)
                << "only the foreign class stays: " << kClassRows[i].name;
        EXPECT_TRUE(UnregisterClassA(kClassRows[taken].name, harness_instance()));
        harness_app_end(&app);
    }

    HarnessApp app;
    EXPECT_EQ(harness_toolkit_start(&app, "regok"), 1);
    EXPECT_EQ(ctl_error_code(), 0);
    harness_toolkit_stop(&app);
}

// --- Popups closed by the final shutdown ---------------------------------------

struct PopupLog {
    std::vector<HWND> closed;  // popups in the order they got WM_CLOSE
    std::vector<int> active;   // g_toolkitActive at each WM_CLOSE
    int delivered = 0;         // notifications that got through
};
PopupLog *g_popupLog = nullptr;

int32_t count_delivery(void *, uint32_t, int32_t)
{
    ++g_popupLog->delivered;
    return 1;
}

// A popup that tries to notify its owner as it closes.
LRESULT CALLBACK popup_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE) {
        g_popupLog->closed.push_back(window);
        g_popupLog->active.push_back(g_toolkitActive);
        NotifyTarget target = {nullptr, count_delivery, CTL_NOTIFY_CALLBACK, nullptr};
        ctl_notify(&target, 1, 0);
        DestroyWindow(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(ToolkitLifecycle, ShutdownClosesThePopupsSilentlyInOrder)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = popup_proc;
    wc.hInstance = harness_instance();
    wc.lpszClassName = "KeldoranTestPopup";
    ASSERT_NE(RegisterClassA(&wc), 0);
    PopupLog log;
    g_popupLog = &log;

    HarnessApp app;
    ASSERT_EQ(harness_toolkit_start(&app, "popups"), 1);
    HWND popups[3];
    for (HWND &p : popups)
        p = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                            harness_instance(), nullptr);
    g_openEditDialog = popups[0];
    g_openTimeDialog = popups[1];
    g_openAdjustPopup = popups[2];
    harness_toolkit_stop(&app);

    EXPECT_EQ(log.closed, std::vector<HWND>(popups, popups + 3));
    EXPECT_EQ(log.active, std::vector<int>(3, 0));
    EXPECT_EQ(log.delivered, 0);
    for (HWND p : popups)
        EXPECT_FALSE(IsWindow(p));
    EXPECT_EQ(g_openEditDialog, nullptr);
    g_popupLog = nullptr;
    UnregisterClassA(wc.lpszClassName, harness_instance());
}

} // namespace
