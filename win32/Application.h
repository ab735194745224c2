#pragma once
// The application object: the forms, the main form, the message loop, and
// the main thread's hidden utility window that carries timers and
// synchronised calls.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "win32/Handles.h"

class TForm;
class TTimer;

class TApplication {
public:
    // Common controls, window classes, DPI. False when a class cannot be registered.
    bool Initialize(HINSTANCE instance);
    HINSTANCE Instance() const { return m_instance; }

    void SetTitle(const std::string& title) { m_title = title; }
    const std::string& Title() const { return m_title; }

    // Set during start-up to keep the main form hidden (run and service mode).
    bool ShowMainForm = true;

    // The first form created is the main form and gets its window at once;
    // the others get theirs on first use, or one by one while the message
    // loop is idle after the main form has shown. False when the main form's
    // window could not be made.
    bool CreateForm(TForm* form);
    // Makes the windows of the forms still waiting for first use.
    void CreatePendingForms();
    TForm* MainForm() const { return m_mainForm; }

    // Shows the main form (unless told not to) and runs the message loop until
    // Terminate; then destroys every form, last created first.
    void Run();
    void Terminate();
    bool Terminated() const { return m_terminated; }
    // Handles the messages waiting now; used by modal loops and long waits.
    void ProcessMessages();
    // Takes one message (waiting for it) and dispatches it; false on WM_QUIT.
    bool HandleMessage();

    // Runs fn on the main thread and returns when it has run; runs it at once
    // when called on the main thread.
    void Synchronize(const std::function<void()>& fn);
    bool OnMainThread() const { return GetCurrentThreadId() == m_mainThreadId; }
    HWND UtilityWindow() const { return m_utility; }

    // Screen pixels for a length designed at 96 dots per inch.
    int Scale(int designPixels) const { return MulDiv(designPixels, m_dpi, 96); }
    int Dpi() const { return m_dpi; }

    // One font per face and pixel height, shared by every form.
    HFONT SharedFont(const char* face, int pixelHeight);

    void AddTimer(TTimer* timer);
    void RemoveTimer(TTimer* timer);

private:
    static LRESULT CALLBACK UtilityProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void Dispatch(MSG& msg);
    void DestroyForms();
    bool CreateNextPendingForm();

    struct FontEntry {
        std::string Face;
        int Height;
        UniqueFont Font;
    };

    HINSTANCE m_instance = nullptr;
    std::string m_title;
    TForm* m_mainForm = nullptr;
    std::vector<TForm*> m_forms;
    std::vector<TTimer*> m_timers;
    std::vector<FontEntry> m_fonts;
    HWND m_utility = nullptr;
    DWORD m_mainThreadId = 0;
    int m_dpi = 96;
    bool m_terminated = false;
    bool m_formsDestroyed = false;
};

extern TApplication Application;
