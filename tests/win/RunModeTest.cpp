// Run mode's start-up on the main window. It ends the application (the task
// cannot be loaded), so it runs in a process of its own: see the test list.

#include <gtest/gtest.h>

#include "app/Globals.h"
#include "ui/MainForm.h"
#include "win32/Application.h"

TEST(RunMode, TrayIconAndMenuNameTheTaskAndAFailedLoadEndsTheRun)
{
    ProgramArgs = {"-RUN", "Say \"hi\""};
    MainForm = new TMainForm;
    ASSERT_TRUE(Application.CreateForm(MainForm));

    EXPECT_FALSE(Application.ShowMainForm);
    EXPECT_EQ(MainForm->Caption(), "Say \"hi\"");
    EXPECT_EQ(Application.Title(), "Scheduler");
    EXPECT_EQ(MainForm->PopupMenuRunTask.Caption(0), "Stop task \"Say \"hi\"\"");
    TTrayIcon* tray = MainForm->TrayIconRunTask();
    ASSERT_NE(tray, nullptr);
    EXPECT_EQ(tray->Hint(), "Scheduler is running task \"Say \"hi\"\"");
    // Shown, or retried by the timer until the notification area takes it.
    EXPECT_TRUE(tray->Visible() || MainForm->TrayiconTimer.Enabled());
    EXPECT_TRUE(Application.Terminated());

    Application.Run(); // ends at once and destroys the forms
    EXPECT_EQ(RunTask, nullptr);
}
