#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "WinTestUtil.h"
#include "win32/Application.h"
#include "win32/Controls.h"
#include "win32/Form.h"
#include "win32/Thread.h"
#include "win32/Timer.h"

namespace {

class TestForm : public TForm {
public:
    TestForm()
    {
        FormClassName = "TTestForm";
        DesignCaption = "Test form";
        DesignClientWidth = 300;
        DesignClientHeight = 200;
        MinWidth = 250;
        MinHeight = 180;
    }

    TEdit edtName;
    TCheckListBox listItems;
    TButton btnOk;
    TButton btnCancel;
    int Created = 0, Shown = 0, Closed = 0, Destroyed = 0;
    int RefuseCloses = 0; // FormClose keeps the form open this many times

protected:
    void CreateControls() override
    {
        edtName.Create(this, 8, 8, 120, 21);
        listItems.Create(this, 8, 36, 284, 120);
        listItems.SetAnchors(AnchorAll);
        btnOk.Create(this, "&OK", 150, 167, 68, 25);
        btnOk.SetAnchors(AnchorRight | AnchorBottom);
        btnOk.ModalResult = mrOk;
        btnCancel.Create(this, "&Cancel", 224, 167, 68, 25);
        btnCancel.SetAnchors(AnchorRight | AnchorBottom);
        btnCancel.ModalResult = mrCancel;
        SetDefaultButton(&btnOk);
        SetCancelButton(&btnCancel);
    }
    void FormCreate() override { ++Created; }
    void FormDestroy() override { ++Destroyed; }
    void FormShow() override
    {
        ++Shown;
        edtName.SetFocus();
    }
    void FormClose(CloseAction& action) override
    {
        ++Closed;
        if (RefuseCloses > 0) {
            --RefuseCloses;
            action = CloseAction::None;
        }
    }
};

RECT ChildRect(HWND parent, HWND child)
{
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

class FormTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(form.CreateHandle()); }
    TestForm form;
};

} // namespace

TEST_F(FormTest, CreateRunsOnceAndModalReturnsTheButtonsResult)
{
    EXPECT_EQ(form.Created, 1);
    PostMessageA(form.btnOk.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_EQ(form.Shown, 1);
    EXPECT_EQ(form.Closed, 1);
    EXPECT_FALSE(form.Visible());

    PostMessageA(form.btnCancel.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(form.ShowModal(), mrCancel);
    EXPECT_EQ(form.Shown, 2);
}

TEST_F(FormTest, EnterPressesTheDefaultButtonAndEscapeCancels)
{
    PostMessageA(form.edtName.Handle(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(form.ShowModal(), mrOk);
    PostMessageA(form.edtName.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(form.ShowModal(), mrCancel);
}

TEST_F(FormTest, ClosingAModalFormCancelsIt)
{
    PostMessageA(form.Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(form.ShowModal(), mrCancel);
}

TEST_F(FormTest, FormCloseCanKeepTheFormOpen)
{
    form.RefuseCloses = 1;
    PostMessageA(form.btnOk.Handle(), BM_CLICK, 0, 0);
    PostMessageA(form.btnCancel.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(form.ShowModal(), mrCancel);
    EXPECT_EQ(form.Closed, 2);
}

TEST_F(FormTest, ControlsFollowTheirAnchorsAndTheFormKeepsItsMinimum)
{
    form.Show();
    RECT before = ChildRect(form.Handle(), form.btnOk.Handle());
    RECT listBefore = ChildRect(form.Handle(), form.listItems.Handle());
    RECT wr;
    GetWindowRect(form.Handle(), &wr);
    SetWindowPos(form.Handle(), nullptr, 0, 0, wr.right - wr.left + 100, wr.bottom - wr.top + 50,
                 SWP_NOMOVE | SWP_NOZORDER);
    RECT after = ChildRect(form.Handle(), form.btnOk.Handle());
    RECT listAfter = ChildRect(form.Handle(), form.listItems.Handle());
    EXPECT_EQ(after.left - before.left, 100);
    EXPECT_EQ(after.top - before.top, 50);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(listAfter.left, listBefore.left);
    EXPECT_EQ(listAfter.right - listBefore.right, 100);
    EXPECT_EQ(listAfter.bottom - listBefore.bottom, 50);
    RECT editRect = ChildRect(form.Handle(), form.edtName.Handle());
    EXPECT_EQ(editRect.left, form.Scale(8));

    // The user cannot make it smaller than its minimum.
    MINMAXINFO info = {};
    SendMessageA(form.Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, form.Scale(250));
    EXPECT_EQ(info.ptMinTrackSize.y, form.Scale(180));
    form.Hide();
}

TEST_F(FormTest, CheckListBoxKeepsObjectsAndChecks)
{
    int a = 1, b = 2;
    int clicks = 0;
    form.listItems.OnClickCheck = [&] { ++clicks; };
    EXPECT_EQ(form.listItems.Add("first", &a, true), 0);
    EXPECT_EQ(form.listItems.Add("second", &b), 1);
    EXPECT_TRUE(form.listItems.Checked(0));
    EXPECT_FALSE(form.listItems.Checked(1));
    EXPECT_EQ(form.listItems.Object(1), &b);

    // Space flips the selected item's check and tells the form.
    form.listItems.SetItemIndex(1);
    SendMessageA(form.listItems.Handle(), WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(form.listItems.Checked(1));
    EXPECT_EQ(clicks, 1);

    // A new text keeps the object and the check.
    form.listItems.SetItem(1, "renamed");
    EXPECT_EQ(form.listItems.Item(1), "renamed");
    EXPECT_EQ(form.listItems.Object(1), &b);
    EXPECT_TRUE(form.listItems.Checked(1));

    form.listItems.Delete(0);
    EXPECT_EQ(form.listItems.Count(), 1);
    EXPECT_EQ(form.listItems.Object(0), &b);
    form.listItems.Clear();
    EXPECT_EQ(form.listItems.Count(), 0);
}

TEST_F(FormTest, WindowProcHookSeesMessagesFirst)
{
    int seen = 0;
    form.SetWindowProcHook([&](UINT msg, WPARAM, LPARAM, LRESULT* result) {
        if (msg != WM_APP + 7)
            return false;
        ++seen;
        *result = 42;
        return true;
    });
    EXPECT_EQ(SendMessageA(form.Handle(), WM_APP + 7, 0, 0), 42);
    EXPECT_EQ(seen, 1);
    // Other messages still get the normal handling.
    form.SetCaption("Renamed");
    EXPECT_EQ(form.Caption(), "Renamed");
}

namespace {

class SyncThread : public TThread {
public:
    SyncThread(std::atomic<int>* deleted) : TThread(true), m_deleted(deleted) {}
    ~SyncThread() override
    {
        if (m_deleted)
            ++*m_deleted;
    }
    DWORD RanOn = 0;
    std::atomic<bool> Ran{false};

protected:
    void Execute() override
    {
        Ran = true;
        Synchronize([this] { RanOn = GetCurrentThreadId(); });
    }

private:
    std::atomic<int>* m_deleted;
};

} // namespace

TEST(FormOnDemand, GetsItsWindowAtFirstUseAndOnlyThen)
{
    TestForm form;
    form.SetCreateOnDemand();
    EXPECT_FALSE(form.HandleAllocated());
    EXPECT_EQ(form.Created, 0);

    HWND hwnd = form.Handle();
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(form.Created, 1);
    EXPECT_EQ(form.Handle(), hwnd);
    EXPECT_EQ(form.Created, 1);
    EXPECT_NE(form.edtName.Handle(), nullptr);
    form.DestroyHandle();
    EXPECT_EQ(form.Destroyed, 1);
    // A destroyed form is not made again behind the caller's back.
    EXPECT_EQ(form.Handle(), nullptr);
}

TEST(FormOnDemand, ShowModalMakesTheWindowAndANeverUsedFormIsNotTornDown)
{
    TestForm used, unused;
    used.SetCreateOnDemand();
    unused.SetCreateOnDemand();
    TTimer ok;
    ok.SetInterval(10);
    ok.OnTimer = [&] {
        if (used.HandleAllocated() && used.Visible())
            used.btnOk.Click();
    };
    ok.SetEnabled(true);
    EXPECT_EQ(used.ShowModal(), mrOk);
    ok.SetEnabled(false);
    EXPECT_EQ(used.Created, 1);
    EXPECT_EQ(used.Shown, 1);

    unused.DestroyHandle();
    EXPECT_EQ(unused.Created, 0);
    EXPECT_EQ(unused.Destroyed, 0);
}

TEST(FormOnDemand, OtherThreadsNeverMakeTheWindow)
{
    TestForm form;
    form.SetCreateOnDemand();
    HWND seen = reinterpret_cast<HWND>(1);
    std::thread([&] { seen = form.Handle(); }).join();
    EXPECT_EQ(seen, nullptr);
    EXPECT_FALSE(form.HandleAllocated());
    EXPECT_NE(form.Handle(), nullptr);
}

TEST(FormOnDemand, ApplicationMakesTheMainFormAtOnceAndTheRestWhenAsked)
{
    TApplication app; // a second application object: no loop, no utility window
    TestForm main, second, third;
    ASSERT_TRUE(app.CreateForm(&main));
    EXPECT_TRUE(main.HandleAllocated());
    EXPECT_EQ(app.MainForm(), &main);
    ASSERT_TRUE(app.CreateForm(&second));
    ASSERT_TRUE(app.CreateForm(&third));
    EXPECT_FALSE(second.HandleAllocated());
    EXPECT_FALSE(third.HandleAllocated());

    app.CreatePendingForms();
    EXPECT_TRUE(second.HandleAllocated());
    EXPECT_TRUE(third.HandleAllocated());
    EXPECT_EQ(second.Created + third.Created, 2);
    // Every form draws with one font of its face and size.
    EXPECT_EQ(second.Font(), main.Font());
    EXPECT_EQ(third.Font(), main.Font());
    third.DestroyHandle();
    second.DestroyHandle();
    main.DestroyHandle();
}

TEST(Thread, StartsSuspendedAndSynchronizesOnTheMainThread)
{
    SyncThread thread(nullptr);
    Sleep(50);
    EXPECT_FALSE(thread.Ran);
    thread.Resume();
    thread.WaitFor();
    EXPECT_TRUE(thread.Ran);
    EXPECT_EQ(thread.RanOn, GetCurrentThreadId());
}

TEST(Thread, FreeOnTerminateDeletesItself)
{
    std::atomic<int> deleted{0};
    auto* thread = new SyncThread(&deleted);
    thread->FreeOnTerminate = true;
    thread->Resume();
    EXPECT_TRUE(PumpUntil([&] { return deleted == 1; }));
}

TEST(Thread, DeletingAnUnstartedThreadDoesNotRunIt)
{
    auto* thread = new SyncThread(nullptr);
    delete thread; // must neither hang nor run Execute
    SUCCEED();
}

TEST(Timer, FiresOnTheMainThreadUntilDisabled)
{
    TTimer timer;
    int fired = 0;
    timer.SetInterval(10);
    timer.OnTimer = [&] {
        if (++fired == 3)
            timer.SetEnabled(false);
    };
    timer.SetEnabled(true);
    EXPECT_TRUE(PumpUntil([&] { return fired >= 3; }));
    EXPECT_FALSE(timer.Enabled());
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(fired, 3);
}
