#include <gtest/gtest.h>

#include "app/Service.h"
#include "win32/Application.h"
#include "win32/Handles.h"

namespace {

LRESULT CALLBACK PlainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

} // namespace

TEST(Service, NothingToDoFromVistaOnAndOnNt4)
{
    testing::internal::CaptureStdout();
    EXPECT_EQ(EnsureTaskSchedulerServiceFor(VER_PLATFORM_WIN32_NT, 6), 0u);
    EXPECT_EQ(EnsureTaskSchedulerServiceFor(VER_PLATFORM_WIN32_NT, 10), 0u);
    EXPECT_EQ(EnsureTaskSchedulerServiceFor(VER_PLATFORM_WIN32_NT, 4), 0u);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(Service, WindowsXpStartsTheScheduleService)
{
    testing::internal::CaptureStdout();
    EXPECT_EQ(EnsureTaskSchedulerServiceFor(VER_PLATFORM_WIN32_NT, 5), 0u);
    std::string first = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(first == "Task Scheduler has been started.\n" ||
                first == "Task Scheduler is already running.\n")
        << first;
    // Once started, it is found running.
    testing::internal::CaptureStdout();
    EXPECT_EQ(EnsureTaskSchedulerServiceFor(VER_PLATFORM_WIN32_NT, 5), 0u);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Task Scheduler is already running.\n");
}

TEST(Service, Windows9xFindsTheAgentWindowOrStartsTheAgent)
{
    // No agent program on this system: the search fails with its error code.
    EXPECT_NE(EnsureTaskSchedulerServiceFor(VER_PLATFORM_WIN32_WINDOWS, 4), 0u);

    WNDCLASSA wc = {};
    wc.lpfnWndProc = PlainProc;
    wc.hInstance = Application.Instance();
    wc.lpszClassName = "SAGEWINDOWCLASS";
    ASSERT_TRUE(RegisterClassA(&wc));
    UniqueWindow agent(CreateWindowA("SAGEWINDOWCLASS", "SYSTEM AGENT COM WINDOW", 0, 0, 0, 0, 0,
                                     nullptr, nullptr, Application.Instance(), nullptr));
    ASSERT_TRUE(agent);
    testing::internal::CaptureStdout();
    EXPECT_EQ(EnsureTaskSchedulerServiceFor(VER_PLATFORM_WIN32_WINDOWS, 4), 0u);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Task Scheduler is already running.\n");
}
