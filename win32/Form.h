#pragma once
// The form base: one top-level window with its controls. A derived form sets
// its design values in its constructor, builds its controls in
// CreateControls, and overrides the events it handles. `this` is stored at
// WM_NCCREATE; every message goes through one switch in HandleMessage.
//
// The main form gets its window when it is created; the application makes
// the other forms' windows on first use (Show, ShowModal, Handle) or while
// it is idle, whichever comes first. A form therefore fills its controls in
// FormShow from its public fields, never from outside before it shows.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "win32/Handles.h"

class TControl;
class TButton;

enum class CloseAction { None, Hide, Free };
enum class FormPosition { Designed, ScreenCenter, OwnerFormCenter };
enum class FormBorder { Sizeable, Dialog, ToolWindow, SizeToolWindow };

enum ModalResults { mrNone = 0, mrOk = 1, mrCancel = 2 };

class TForm {
public:
    TForm();
    virtual ~TForm();
    TForm(const TForm&) = delete;
    TForm& operator=(const TForm&) = delete;

    static TForm* FromHandle(HWND hwnd);

    // Creates the window and its controls, then FormCreate runs.
    bool CreateHandle();
    // FormDestroy runs, then the window goes.
    void DestroyHandle();
    // The window; a form made on demand gets it here on first use (main
    // thread only).
    HWND Handle() const;
    bool HandleAllocated() const { return m_hwnd != nullptr; }
    // Lets Handle() create the window on first use.
    void SetCreateOnDemand() { m_createOnDemand = true; }

    void Show();
    void Hide();
    bool Visible() const;
    // Asks the form to close: FormClose decides; the main form's close ends
    // the application, a modal form's close ends its modal loop with cancel.
    void Close();
    // Shows the form modally over the active window; returns ModalResult.
    int ShowModal();
    bool Modal() const { return m_modal; }
    int ModalResult = mrNone;

    void SetCaption(const std::string& caption);
    std::string Caption() const;

    // Replaces the window procedure: the hook sees every message first and
    // returns true with *result set when it handled one; everything else goes
    // to DefaultWindowProc, the form's normal handling.
    using WindowProcHook = std::function<bool(UINT, WPARAM, LPARAM, LRESULT*)>;
    void SetWindowProcHook(WindowProcHook hook) { m_hook = std::move(hook); }
    LRESULT DefaultWindowProc(UINT msg, WPARAM wParam, LPARAM lParam);

    // Length in screen pixels of a length designed at 96 dots per inch.
    int Scale(int designPixels) const;
    HFONT Font() const { return m_font; }
    void AddControl(TControl* control);
    void SetDefaultButton(TButton* button) { m_defaultButton = button; }
    void SetCancelButton(TButton* button) { m_cancelButton = button; }
    bool WantsDialogKeys() const { return m_dialogKeys; }

protected:
    // Events.
    virtual void CreateControls() {}
    virtual void FormCreate() {}
    virtual void FormShow() {}
    virtual void FormClose(CloseAction& /*action*/) {}
    virtual void FormDestroy() {}
    virtual void FormCanResize(int& /*newWidth*/, int& /*newHeight*/, bool& /*resize*/) {}
    // Per-form messages before the common handling; true when handled.
    virtual bool OnMessage(UINT /*msg*/, WPARAM, LPARAM, LRESULT* /*result*/) { return false; }

    // Design values, set by the derived constructor.
    const char* FormClassName = "TForm"; // the window class, named after the form's class
    std::string DesignCaption;
    int DesignClientWidth = 400;
    int DesignClientHeight = 300;
    int MinWidth = 0;  // outer size limits, design pixels; 0: none
    int MinHeight = 0;
    FormPosition Position = FormPosition::ScreenCenter;
    FormBorder Border = FormBorder::Sizeable;
    bool MinimizeBox = true;
    bool MaximizeBox = true;
    bool HelpButton = false;
    bool TopMost = false;
    int FontHeight = 11; // pixels at 96 dpi: Tahoma 8 points
    const char* FontName = "Tahoma";
    HICON Icon = nullptr;

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static bool RegisterFormClass(const char* name);
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    TControl* ControlFor(HWND hwnd) const;
    void ApplyLayout();
    void PlaceOnFirstShow();
    void ClickButton(TButton* button);

    HWND m_hwnd = nullptr;
    WindowProcHook m_hook;
    std::vector<TControl*> m_controls;
    HFONT m_font = nullptr; // shared, owned by the application
    TButton* m_defaultButton = nullptr;
    TButton* m_cancelButton = nullptr;
    bool m_modal = false;
    bool m_placed = false;
    bool m_dialogKeys = true;
    bool m_destroyed = false;
    bool m_createOnDemand = false;
    bool m_createTried = false;
    int m_designClientPixelsW = 0;
    int m_designClientPixelsH = 0;
};
