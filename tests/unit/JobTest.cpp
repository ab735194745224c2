#include <gtest/gtest.h>

#include "actions/Job.h"
#include "app/Global.h"

TEST(Job, CloneOfKeyCopiesEveryField)
{
    JobKey key;
    key.Enabled = false;
    key.Comment = "type the password";
    key.Pause = 1234;
    key.AppName = "notepad.exe";
    key.WndName = "Untitled";
    key.ClassName = "Notepad";
    key.Event = 0x241;
    key.Chars = "secret";
    key.UseChar = true;
    key.SendToWnd = true;
    key.State = 1;
    JobBeep next;
    key.Next = &next;

    MyJob* copy = nullptr;
    ASSERT_TRUE(CloneJob(&key, &copy));
    ASSERT_NE(copy, nullptr);
    ASSERT_NE(copy, &key);
    auto* k = static_cast<JobKey*>(copy);
    EXPECT_EQ(k->Type, JOB_KEY);
    EXPECT_FALSE(k->Enabled);
    EXPECT_EQ(k->Comment, "type the password");
    EXPECT_EQ(k->Pause, 1234);
    EXPECT_EQ(k->AppName, "notepad.exe");
    EXPECT_EQ(k->WndName, "Untitled");
    EXPECT_EQ(k->ClassName, "Notepad");
    EXPECT_EQ(k->Event, 0x241);
    EXPECT_EQ(k->Chars, "secret");
    EXPECT_TRUE(k->UseChar);
    EXPECT_TRUE(k->SendToWnd);
    EXPECT_EQ(k->State, 1);
    EXPECT_EQ(k->Next, &next); // the caller re-links the copy

    // Texts are copied, not shared.
    key.Chars = "changed";
    EXPECT_EQ(k->Chars, "secret");
    FreeJob(&copy);
    EXPECT_EQ(copy, nullptr);
}

TEST(Job, CloneOfEveryKindKeepsItsKind)
{
    for (int type = 0; type < JobTypeCount; ++type) {
        MyJob* job = NewJob(type);
        ASSERT_NE(job, nullptr) << type;
        job->Comment = "c" + std::to_string(type);
        MyJob* copy = nullptr;
        EXPECT_TRUE(CloneJob(job, &copy));
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(copy->Type, type);
        EXPECT_EQ(copy->Comment, job->Comment);
        FreeJob(&copy);
        FreeJob(&job);
    }
}

TEST(Job, CloneRefusesUnknownTypeAndNullArguments)
{
    MyJob bad(11);
    MyJob* copy = reinterpret_cast<MyJob*>(0x1);
    EXPECT_FALSE(CloneJob(&bad, &copy));
    EXPECT_EQ(copy, nullptr);

    JobBeep beep;
    EXPECT_FALSE(CloneJob(&beep, nullptr));
    MyJob* untouched = &beep;
    EXPECT_FALSE(CloneJob(nullptr, &untouched));
    EXPECT_EQ(untouched, &beep);
}

TEST(Job, FreeJobDeletesOnlyThatAction)
{
    MyJob* first = NewJob(JOB_BEEP);
    MyJob* middle = NewJob(JOB_MSG);
    MyJob* last = NewJob(JOB_EXEC);
    first->Next = middle;
    middle->Next = last;

    // The caller unlinks the action before freeing it.
    first->Next = last;
    MyJob* place = middle;
    FreeJob(&place);
    EXPECT_EQ(place, nullptr);
    EXPECT_EQ(first->Next, last);
    EXPECT_EQ(CountJobs(first), 2);
    FreeJobList(&first);
    EXPECT_EQ(first, nullptr);
}

TEST(Job, FreeJobKeepsTheRestOfTheChain)
{
    MyJob* head = NewJob(JOB_BEEP);
    MyJob* second = NewJob(JOB_WAVE);
    head->Next = second;
    MyJob* place = head;
    FreeJob(&place);
    EXPECT_EQ(CountJobs(second), 1);
    FreeJobList(&second);
}

TEST(Job, FreeOnEmptyPlacesDoesNothing)
{
    MyJob* head = nullptr;
    FreeJobList(&head);
    EXPECT_EQ(head, nullptr);
    FreeJob(&head);
    FreeJobList(nullptr);
    FreeJob(nullptr);
}

TEST(Job, FreeJobListReleasesRecordsOfUnknownType)
{
    // Runs clean under a leak checker: a bare record is freed as one.
    MyJob* head = new MyJob(42);
    head->Comment = "odd";
    head->Next = NewJob(JOB_SHUT);
    FreeJobList(&head);
    EXPECT_EQ(head, nullptr);
}

TEST(NameTables, HelpPageFallsBackToErrorPage)
{
    EXPECT_STREQ(JobHelpPage(JOB_BGMUSIC), "bgmusic.htm");
    EXPECT_STREQ(JobHelpPage(-1), "error.htm");
    EXPECT_STREQ(JobHelpPage(JobTypeCount), "error.htm");
}
