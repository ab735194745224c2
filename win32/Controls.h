#pragma once
// Thin wrappers over the standard and common controls. Each control is a
// child window of its form, placed in design pixels (96 dpi) and anchored to
// the form's edges. Controls are created in tab order. Events are plain
// function members named as the forms use them (OnClick, OnChange, ...).

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "win32/Anchors.h"
#include "win32/Handles.h"

class TForm;

class TControl {
public:
    TControl() = default;
    virtual ~TControl() = default;
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;

    HWND Handle() const { return m_hwnd; }
    TForm* Form() const { return m_form; }
    int Id() const { return m_id; }

    void SetText(const std::string& text);
    std::string Text() const;
    void SetEnabled(bool enabled);
    bool Enabled() const;
    void SetVisible(bool visible);
    bool Visible() const;
    void SetFocus();
    bool Focused() const;
    // Design rectangle; the form keeps it anchored from here on.
    void SetBounds(int left, int top, int width, int height);
    void SetAnchors(int anchors) { Anchors = anchors; }

    // Called by the form for the control's notifications; true when handled.
    virtual bool OnCommand(WORD /*code*/) { return false; }
    virtual bool OnNotify(NMHDR* /*header*/, LRESULT* /*result*/) { return false; }
    virtual bool OnScroll(WORD /*code*/) { return false; }
    virtual bool OnDrawItem(DRAWITEMSTRUCT* /*item*/) { return false; }
    virtual bool OnMeasureItem(MEASUREITEMSTRUCT* /*item*/) { return false; }

    LayoutRect Design;
    int Anchors = AnchorTopLeft;

protected:
    bool CreateWindowFor(TForm* form, const char* className, const std::string& text,
                         DWORD style, DWORD exStyle, int left, int top, int width, int height);
    // Receives the control's own messages first (keys, mouse); return true
    // with *result set to stop the normal handling.
    virtual bool OnControlMessage(UINT /*msg*/, WPARAM, LPARAM, LRESULT* /*result*/)
    {
        return false;
    }
    void Subclass();

    HWND m_hwnd = nullptr;
    TForm* m_form = nullptr;
    int m_id = 0;

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR data);
};

class TLabel : public TControl {
public:
    // "&" in the caption moves the focus to the control created after it.
    bool Create(TForm* form, const std::string& caption, int left, int top, int width,
                int height, DWORD extraStyle = 0);
};

class TButton : public TControl {
public:
    bool Create(TForm* form, const std::string& caption, int left, int top, int width,
                int height, DWORD extraStyle = 0);
    void Click();
    // Closes a modal form with this result when clicked (0: no effect).
    int ModalResult = 0;
    std::function<void()> OnClick;
    bool OnCommand(WORD code) override;
};

class TCheckBox : public TControl {
public:
    bool Create(TForm* form, const std::string& caption, int left, int top, int width,
                int height, DWORD extraStyle = 0);
    bool Checked() const;
    void SetChecked(bool checked);
    std::function<void()> OnClick;
    bool OnCommand(WORD code) override;
};

class TRadioButton : public TCheckBox {
public:
    // The first button of a group starts a new group.
    bool Create(TForm* form, const std::string& caption, int left, int top, int width,
                int height, bool firstOfGroup);
};

class TGroupBox : public TControl {
public:
    bool Create(TForm* form, const std::string& caption, int left, int top, int width,
                int height);
};

class TEdit : public TControl {
public:
    enum Options { Plain = 0, ReadOnly = 1, NumbersOnly = 2, Password = 4 };
    bool Create(TForm* form, int left, int top, int width, int height, int options = Plain);
    void SetMaxLength(int length);
    void SetReadOnly(bool readOnly);
    void SelectAll();
    std::function<void()> OnChange;
    std::function<bool(UINT vk)> OnKeyDown; // true: the key was handled
    bool OnCommand(WORD code) override;

protected:
    bool OnControlMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};

class TMemo : public TEdit {
public:
    bool Create(TForm* form, int left, int top, int width, int height, bool readOnly,
                bool wantReturns = true);
};

class TRichEdit : public TEdit {
public:
    bool Create(TForm* form, int left, int top, int width, int height, bool readOnly);
};

class TComboBox : public TControl {
public:
    enum Style { DropDownList, DropDown };
    bool Create(TForm* form, int left, int top, int width, int height, Style style,
                int visibleItems = 8);
    int Add(const std::string& item);
    void Clear();
    int Count() const;
    int ItemIndex() const;
    void SetItemIndex(int index);
    std::string Item(int index) const;
    std::function<void()> OnChange;
    bool OnCommand(WORD code) override;
};

class TListBox : public TControl {
public:
    bool Create(TForm* form, int left, int top, int width, int height, int itemHeight = 0);
    int Add(const std::string& item, void* object = nullptr);
    void Delete(int index);
    void Clear();
    int Count() const;
    int ItemIndex() const;
    void SetItemIndex(int index);
    std::string Item(int index) const;
    void SetItem(int index, const std::string& text);
    virtual void* Object(int index) const;
    virtual void SetObject(int index, void* object);
    std::function<void()> OnClick;
    std::function<void()> OnDblClick;
    std::function<void(UINT vk)> OnKeyDown;
    bool OnCommand(WORD code) override;

protected:
    bool CreateList(TForm* form, int left, int top, int width, int height, DWORD style);
    bool OnControlMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    int m_itemHeight = 0;
};

// A list box with a check box before each item.
class TCheckListBox : public TListBox {
public:
    bool Create(TForm* form, int left, int top, int width, int height, int itemHeight = 0);
    bool Checked(int index) const;
    void SetChecked(int index, bool checked);
    int Add(const std::string& item, void* object = nullptr, bool checked = false);
    void* Object(int index) const override;
    void SetObject(int index, void* object) override;
    std::function<void()> OnClickCheck;
    bool OnDrawItem(DRAWITEMSTRUCT* item) override;
    bool OnMeasureItem(MEASUREITEMSTRUCT* item) override;

protected:
    bool OnControlMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    void Toggle(int index);
    int CheckWidth() const;
};

class TTrackBar : public TControl {
public:
    bool Create(TForm* form, int left, int top, int width, int height, int min, int max);
    int Position() const;
    void SetPosition(int position);
    std::function<void()> OnChange;
    bool OnScroll(WORD code) override;
};

// The hot-key control: virtual key in the low byte, HOTKEYF_* flags above.
class THotKey : public TControl {
public:
    bool Create(TForm* form, int left, int top, int width, int height);
    WORD HotKey() const;
    void SetHotKey(WORD value);
    std::function<void()> OnChange;
    bool OnCommand(WORD code) override;
};

// A button showing an icon; with AllowUp toggles between up and down.
class TSpeedButton : public TControl {
public:
    bool Create(TForm* form, HICON icon, const std::string& hint, int left, int top, int width,
                int height, bool toggle = false);
    bool Down() const;
    void SetDown(bool down);
    std::function<void()> OnClick;
    bool OnCommand(WORD code) override;

private:
    bool m_toggle = false;
};

// Pages of controls shown one at a time; the controls belong to the form and
// are listed here by page.
class TNotebook {
public:
    int AddPage();
    void AddToPage(int page, TControl* control);
    void SetPageIndex(int page);
    int PageIndex() const { return m_page; }
    int PageCount() const { return int(m_pages.size()); }

private:
    std::vector<std::vector<TControl*>> m_pages;
    int m_page = -1;
};
