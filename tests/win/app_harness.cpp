// Calculator helpers for the window tests; see app_harness.h.
#include "tests/win/app_harness.h"

#include <cstdio>
#include <cstring>

#include "toolkit/qk2ctl.h"

// ---------------------------------------------------------------------------
// The calculator in the test process
// ---------------------------------------------------------------------------

HWND app_test_start(void)
{
    harness_delete_key(APP_TEST_KEY);
    g_instance = harness_instance();
    app_create_lcd_brush();
    if (!app_register_main_class(g_instance))
        return nullptr;
    HWND main = app_create_main_window(g_instance);
    if (!main)
        return nullptr;
    ShowWindow(main, SW_SHOW);
    UpdateWindow(main);
    harness_pump();
    return main;
}

void app_test_stop(void)
{
    app_close_about_boxes();
    if (g_mainWindow && IsWindow(g_mainWindow)) {
        // The calculator's own close, then the real destruction that the
        // process exit does for the program.
        PostMessageA(g_mainWindow, WM_CLOSE, 0, 0);
        harness_pump();
        DestroyWindow(g_mainWindow);
    }
    harness_pump();
    g_mainWindow = nullptr;
    UnregisterClassA(APP_MAIN_CLASS, harness_instance());
    app_delete_resources();
    harness_delete_key(APP_TEST_KEY);
}

// ---------------------------------------------------------------------------
// Recorder
// ---------------------------------------------------------------------------

// Recorder state; tests run on one thread.
static HHOOK g_recordHook;
static std::vector<AppPosted> g_recorded;

static LRESULT CALLBACK record_hook(int code, WPARAM wParam, LPARAM lParam)
{
    MSG *msg = (MSG *)lParam;
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->hwnd && msg->hwnd == g_mainWindow) {
        if (msg->message == WM_COMMAND) {
            g_recorded.push_back({msg->message, msg->wParam, msg->lParam});
        } else if (msg->message == WM_NCLBUTTONDOWN) {
            g_recorded.push_back({msg->message, msg->wParam, msg->lParam});
            msg->message = WM_NULL;
        }
    }
    return CallNextHookEx(g_recordHook, code, wParam, lParam);
}

void app_record_begin(void)
{
    g_recorded.clear();
    if (!g_recordHook)
        g_recordHook = SetWindowsHookExA(WH_GETMESSAGE, record_hook, nullptr,
                                         GetCurrentThreadId());
}

void app_record_end(void)
{
    if (g_recordHook)
        UnhookWindowsHookEx(g_recordHook);
    g_recordHook = nullptr;
}

void app_record_clear(void) { g_recorded.clear(); }

const std::vector<AppPosted> &app_recorded(void) { return g_recorded; }

std::vector<int> app_recorded_codes(void)
{
    std::vector<int> codes;
    for (const AppPosted &p : g_recorded)
        if (p.message == WM_COMMAND && p.wParam == 0)
            codes.push_back((int)p.lParam);
    return codes;
}

int app_recorded_drags(void)
{
    int n = 0;
    for (const AppPosted &p : g_recorded)
        if (p.message == WM_NCLBUTTONDOWN && p.wParam == HTCAPTION)
            n++;
    return n;
}

// ---------------------------------------------------------------------------
// Typing and reading
// ---------------------------------------------------------------------------

std::vector<int> app_codes(const char *labels)
{
    std::vector<int> codes;
    char copy[512];
    snprintf(copy, sizeof copy, "%s", labels);
    for (char *word = strtok(copy, " "); word; word = strtok(nullptr, " ")) {
        int code = capture_key_code(word);
        EXPECT_GE(code, 0) << "unknown key label " << word;
        if (code >= 0)
            codes.push_back(code);
    }
    return codes;
}

void app_post_code(WPARAM wParam, LPARAM code)
{
    PostMessageA(g_mainWindow, WM_COMMAND, wParam, code);
    harness_pump();
}

void app_type(const char *labels)
{
    for (int code : app_codes(labels))
        app_post_code(0, code);
}

std::string app_result_text(void)
{
    char text[CALC_TEXT_SIZE + 1] = "";
    GetWindowTextA((HWND)g_calc.resultLine, text, sizeof text);
    return text;
}

std::vector<std::string> app_engine_texts(const char *labels)
{
    static CalcState engine; // 48 kB: kept off the stack
    calc_init(&engine);
    std::vector<std::string> texts;
    for (int code : app_codes(labels))
        texts.push_back(calc_key(&engine, code));
    return texts;
}

// ---------------------------------------------------------------------------
// Pixels
// ---------------------------------------------------------------------------

int app_window_image(HWND window, CaptureImage *out)
{
    harness_pump();
    UpdateWindow(window);
    RECT r;
    if (!GetClientRect(window, &r))
        return 0;
    HDC dc = GetDC(window);
    int ok = dc ? capture_dc(dc, 0, 0, r.right, r.bottom, out) : 0;
    if (dc)
        ReleaseDC(window, dc);
    return ok;
}

int app_bitmap_image(HBITMAP bitmap, CaptureImage *out)
{
    BITMAP info;
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info))
        return 0;
    // A picture the toolkit keeps is selected in its DC and in no other.
    if (HDC kept = ctl_picture_dc(bitmap))
        return capture_dc(kept, 0, 0, info.bmWidth, info.bmHeight, out);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    int ok = capture_dc(memory, 0, 0, info.bmWidth, info.bmHeight, out);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

int app_count_differences(const CaptureImage *a, const CaptureImage *b, int left, int top,
                          int right, int bottom)
{
    int n = 0;
    for (int y = top; y < bottom; y++)
        for (int x = left; x < right; x++)
            if (capture_pixel(a, x, y) != capture_pixel(b, x, y))
                n++;
    return n;
}

// The pressed look is the key face shifted one pixel up and left.
void app_expect_key_look(HWND keypad, int key, bool pressed, const char *what)
{
    CaptureImage picture = {}, panel = {};
    ASSERT_TRUE(app_bitmap_image(g_keypadPicture, &picture));
    ASSERT_TRUE(app_window_image(keypad, &panel));
    const RECT &r = APP_KEY_RECTS[key];
    int wrong = 0, moved = 0;
    for (int y = r.top + 2; y <= r.bottom - 3; y++)
        for (int x = r.left + 2; x <= r.right - 3; x++) {
            int dx = pressed ? 1 : 0;
            COLORREF seen = capture_pixel(&panel, x, y);
            if (seen != capture_pixel(&picture, x + dx, y + dx))
                wrong++;
            if (seen != capture_pixel(&picture, x, y))
                moved++;
        }
    EXPECT_EQ(wrong, 0) << what << ": key " << key << (pressed ? " pressed" : " normal");
    if (pressed) { // the shift must show on this picture
        EXPECT_GT(moved, 0) << what << ": key " << key;
    }
}

// ---------------------------------------------------------------------------
// About box
// ---------------------------------------------------------------------------

struct AboutSearch {
    HWND found; // the first about box
    int all;    // 1 = destroy every one instead
};

static BOOL CALLBACK find_about(HWND window, LPARAM data)
{
    AboutSearch *search = (AboutSearch *)data;
    char cls[32] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (strcmp(cls, "#32770") != 0 || GetWindow(window, GW_OWNER) != g_mainWindow)
        return TRUE;
    if (search->all) {
        DestroyWindow(window);
        return TRUE;
    }
    if (!IsWindowVisible(window))
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND app_find_about_box(void)
{
    AboutSearch search = {nullptr, 0};
    if (g_mainWindow)
        EnumThreadWindows(GetCurrentThreadId(), find_about, (LPARAM)&search);
    return search.found;
}

void app_close_about_boxes(void)
{
    AboutSearch search = {nullptr, 1};
    if (g_mainWindow)
        EnumThreadWindows(GetCurrentThreadId(), find_about, (LPARAM)&search);
    ReleaseCapture();
    harness_pump();
}

// ---------------------------------------------------------------------------
// Fixture
// ---------------------------------------------------------------------------

void AppTest::SetUp()
{
    main = app_test_start();
    ASSERT_NE(main, nullptr) << "the main window was not created";
    display = (HWND)g_calc.displayPanel;
    keypad = (HWND)g_calc.keypadPanel;
    result = (HWND)g_calc.resultLine;
    app_record_begin();
}

// A failed test leaves the calculator's picture, frame included, as read
// back from the screen.
static void save_failure_shot(HWND window)
{
    const ::testing::TestInfo *info = ::testing::UnitTest::GetInstance()->current_test_info();
    CreateDirectoryA("failures", nullptr);
    char path[256];
    snprintf(path, sizeof path, "failures/%s.%s.bmp", info->test_suite_name(), info->name());
    harness_pump_for(100);
    CaptureImage image = {};
    if (capture_window(window, 1, &image) && capture_save_bmp(&image, path))
        printf("screenshot of the failure: %s\n", path);
}

void AppTest::TearDown()
{
    if (HasFailure() && main && IsWindow(main))
        save_failure_shot(main);
    app_record_end();
    app_test_stop();
}
