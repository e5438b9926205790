// A test fixture with the toolkit started under a clean registry key and one
// host window of the given client size, both undone after the test.
#pragma once
#include "tests/win/harness.h"

#include <gtest/gtest.h>

template <int Width, int Height>
class ToolkitHostTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char *suite = ::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name();
        ASSERT_EQ(harness_toolkit_start(&app, suite), 1);
        host = harness_create_host(Width, Height);
        ASSERT_NE(host, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(host);
        harness_pump();
        harness_toolkit_stop(&app);
    }
    HarnessApp app;
    HWND host = nullptr;
};
