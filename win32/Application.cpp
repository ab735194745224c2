#include "win32/Application.h"

#include <commctrl.h>

#include <algorithm>

#include "win32/Form.h"
#include "win32/Timer.h"

TApplication Application;

namespace {

const char UtilityClass[] = "SchedulerUtilityWindow";
const UINT WM_SYNCHRONIZE = WM_APP + 0x3F00;
// Timer of the utility window that makes waiting forms while the loop idles;
// TTimer identifiers are object addresses and never this small.
const UINT_PTR PendingFormsTimer = 1;

} // namespace

bool TApplication::Initialize(HINSTANCE instance)
{
    m_instance = instance;
    m_mainThreadId = GetCurrentThreadId();

    // Lay windows out in real pixels rather than let the system stretch them.
    SetProcessDPIAware();
    HDC screen = GetDC(nullptr);
    m_dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    if (m_dpi <= 0)
        m_dpi = 96;

    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES |
                                                ICC_HOTKEY_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);

    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = UtilityProc;
    wc.hInstance = instance;
    wc.lpszClassName = UtilityClass;
    if (!RegisterClassExA(&wc))
        return false;
    m_utility = CreateWindowExA(0, UtilityClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                instance, nullptr);
    return m_utility != nullptr;
}

bool TApplication::CreateForm(TForm* form)
{
    m_forms.push_back(form);
    if (!m_mainForm) {
        m_mainForm = form;
        return form->CreateHandle();
    }
    form->SetCreateOnDemand();
    return true;
}

bool TApplication::CreateNextPendingForm()
{
    for (TForm* form : m_forms)
        if (!form->HandleAllocated() && form != m_mainForm) {
            form->Handle();
            // A window that cannot be made is not tried again.
            if (!form->HandleAllocated())
                continue;
            return true;
        }
    return false;
}

void TApplication::CreatePendingForms()
{
    while (CreateNextPendingForm()) {
    }
}

HFONT TApplication::SharedFont(const char* face, int pixelHeight)
{
    for (const FontEntry& entry : m_fonts)
        if (entry.Height == pixelHeight && entry.Face == face)
            return entry.Font.Get();
    HFONT font = CreateFontA(-pixelHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                             DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS, face);
    m_fonts.push_back(FontEntry{face, pixelHeight, UniqueFont(font)});
    return font;
}

void TApplication::Run()
{
    if (!m_terminated && ShowMainForm && m_mainForm)
        m_mainForm->Show();
    // The other forms' windows are made when nothing else waits: a timer
    // message comes after input and painting.
    if (!m_terminated && m_utility)
        SetTimer(m_utility, PendingFormsTimer, 0, nullptr);
    while (!m_terminated && HandleMessage()) {
    }
    m_terminated = true;
    DestroyForms();
}

void TApplication::Terminate()
{
    if (!m_terminated)
        PostQuitMessage(0);
    m_terminated = true;
}

void TApplication::Dispatch(MSG& msg)
{
    // Tab, arrow keys, mnemonics, Enter and Escape in every form.
    if (msg.hwnd) {
        HWND root = GetAncestor(msg.hwnd, GA_ROOT);
        TForm* form = TForm::FromHandle(root);
        if (form && form->WantsDialogKeys() && IsDialogMessageA(root, &msg))
            return;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

bool TApplication::HandleMessage()
{
    MSG msg;
    if (GetMessageA(&msg, nullptr, 0, 0) <= 0) {
        m_terminated = true;
        return false;
    }
    Dispatch(msg);
    return true;
}

void TApplication::ProcessMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Keep the quit request for the loop that owns it.
            m_terminated = true;
            PostQuitMessage(int(msg.wParam));
            return;
        }
        Dispatch(msg);
    }
}

void TApplication::DestroyForms()
{
    if (m_formsDestroyed)
        return;
    m_formsDestroyed = true;
    for (auto it = m_forms.rbegin(); it != m_forms.rend(); ++it)
        (*it)->DestroyHandle();
}

void TApplication::Synchronize(const std::function<void()>& fn)
{
    if (OnMainThread() || !m_utility) {
        fn();
        return;
    }
    // A sent message runs on the main thread while this thread waits.
    SendMessageA(m_utility, WM_SYNCHRONIZE, 0, reinterpret_cast<LPARAM>(&fn));
}

void TApplication::AddTimer(TTimer* timer) { m_timers.push_back(timer); }

void TApplication::RemoveTimer(TTimer* timer)
{
    m_timers.erase(std::remove(m_timers.begin(), m_timers.end(), timer), m_timers.end());
}

LRESULT CALLBACK TApplication::UtilityProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_SYNCHRONIZE: {
        auto* fn = reinterpret_cast<const std::function<void()>*>(lParam);
        try {
            (*fn)();
        } catch (...) {
            // Nothing crosses back into the waiting thread.
        }
        return 0;
    }
    case WM_TIMER: {
        if (wParam == PendingFormsTimer) {
            if (!Application.CreateNextPendingForm())
                KillTimer(hwnd, PendingFormsTimer);
            return 0;
        }
        auto* timer = reinterpret_cast<TTimer*>(wParam);
        auto& timers = Application.m_timers;
        if (std::find(timers.begin(), timers.end(), timer) != timers.end())
            timer->Fire();
        return 0;
    }
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
