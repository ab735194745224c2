#pragma once
// The main window: the task list in interactive mode, and in run mode the
// hidden owner of the tray icon and the target of every worker's message.

#include <memory>

#include "win32/Controls.h"
#include "win32/Form.h"
#include "win32/Handles.h"
#include "win32/Timer.h"
#include "win32/TrayIcon.h"

class TMainForm : public TForm {
public:
    TMainForm();
    ~TMainForm() override;

    TTrayIcon* TrayIconRunTask() const { return m_tray.get(); }
    TPopupMenu PopupMenuRunTask;
    TTimer TrayiconTimer;

protected:
    void CreateControls() override;
    void FormCreate() override;
    void FormClose(CloseAction& action) override;
    void FormDestroy() override;
    void FormCanResize(int& newWidth, int& newHeight, bool& resize) override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    bool MainWindowProc(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
    void StartRunMode();
    void StartInteractive();
    void TrayiconTimerTimer();
    void Close1Click();
    void UpdateChecked(bool succeeded);
    // The list owns the task records: each item's object.
    void FreeTaskRecords();
    void FillTaskList();

    TLabel lblTasks;
    TCheckListBox listTasks;
    TLabel lblSummary;
    TMemo memoComment;
    TSpeedButton btnHelp;
    TButton btnTaskNew;
    TButton btnTaskModify;
    TButton btnTaskDel;
    TButton btnTaskRun;
    TButton btnSettings;
    TButton btnAbout;
    TButton btnClose;

    std::unique_ptr<TTrayIcon> m_tray;
    UniqueHandle m_runningEvent;
    bool m_comInitialized = false;
    bool m_runMode = false;
};

extern TMainForm* MainForm;
