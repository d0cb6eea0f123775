#include "ui/win32/Win32Backend.h"

#include "os/win32/WideText.h"
#include "ui/win32/Win32DialogWindow.h"

#include "ui/win32/Win32Api.h"

#include <algorithm>
#include <cstdio>

namespace
{

HWND NativeOwner(CDialogWindow* owner)
{
    auto* window = dynamic_cast<CWin32DialogWindow*>(owner);
    return window != nullptr ? window->GetHandle() : nullptr;
}

UINT MessageBoxFlags(EMessageBoxIcon icon, EMessageBoxButtons buttons)
{
    UINT flags = MB_OK;
    switch (buttons)
    {
    case EMessageBoxButtons::Ok:
        break;
    case EMessageBoxButtons::OkCancel:
        flags = MB_OKCANCEL;
        break;
    case EMessageBoxButtons::YesNo:
        flags = MB_YESNO;
        break;
    }
    switch (icon)
    {
    case EMessageBoxIcon::None:
        break;
    case EMessageBoxIcon::Stop:
        flags |= MB_ICONHAND;
        break;
    case EMessageBoxIcon::Question:
        flags |= MB_ICONQUESTION;
        break;
    case EMessageBoxIcon::Exclamation:
        flags |= MB_ICONEXCLAMATION;
        break;
    }
    return flags;
}

EMessageBoxResult ToResult(int answer)
{
    switch (answer)
    {
    case IDOK:
        return EMessageBoxResult::Ok;
    case IDCANCEL:
        return EMessageBoxResult::Cancel;
    case IDYES:
        return EMessageBoxResult::Yes;
    case IDNO:
        return EMessageBoxResult::No;
    default:
        return EMessageBoxResult::None;
    }
}

// How long a wait sleeps at most before it looks at what it waits for again; well inside a window
// timer's period.
constexpr ULONGLONG WaitPollMilliseconds = 5;

// Removes and dispatches one waiting message in [first, last]; false when there is none.
bool DispatchOne(UINT first, UINT last)
{
    MSG message;
    if (!PeekMessageW(&message, nullptr, first, last, PM_REMOVE))
        return false;
    DispatchMessageW(&message);
    return true;
}

// Only file-system folders may be chosen, file-system ancestors are returned, the resizable browser.
constexpr UINT FolderBrowserFlags = BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS | BIF_NEWDIALOGSTYLE;

} // namespace

bool CWin32Backend::Start()
{
    if (m_started)
        return true;
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS;
    m_started = InitCommonControlsEx(&controls) != FALSE;
    return m_started;
}

std::unique_ptr<CDialogWindow> CWin32Backend::CreateDialogWindow(CDialog& dialog,
                                                                 const SDialogTemplate& dialogTemplate,
                                                                 CDialogWindow* parent)
{
    if (!m_started)
        return nullptr;
    return std::make_unique<CWin32DialogWindow>(*this, dialog, dialogTemplate,
                                                dynamic_cast<CWin32DialogWindow*>(parent));
}

EMessageBoxResult CWin32Backend::ShowMessageBox(CDialogWindow* owner, const std::string& text,
                                                const std::string& title, EMessageBoxIcon icon,
                                                EMessageBoxButtons buttons)
{
    if (!m_started)
        return EMessageBoxResult::None;
    // The box's own message loop keeps delivering the owner's timer messages.
    const int answer = MessageBoxW(NativeOwner(owner), os::WideText(text.c_str()).c_str(),
                                   os::WideText(title.c_str()).c_str(), MessageBoxFlags(icon, buttons));
    return ToResult(answer);
}

SFolderChoice CWin32Backend::ChooseFolder(CDialogWindow* owner, const std::string& title)
{
    const SFolderChoice unavailable{EFolderChoiceResult::Unavailable, std::string()};
    // Only a fresh initialisation counts: this thread must not already be using the component
    // object system in another way.
    const HRESULT initialised = CoInitialize(nullptr);
    if (initialised != S_OK)
    {
        if (SUCCEEDED(initialised))
            CoUninitialize();
        return unavailable;
    }
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator)) || allocator == nullptr)
    {
        CoUninitialize();
        return unavailable;
    }

    wchar_t displayName[MAX_PATH] = {};
    const std::wstring wideTitle = os::WideText(title.c_str());
    BROWSEINFOW browse{};
    browse.hwndOwner = NativeOwner(owner);
    browse.pszDisplayName = displayName;
    browse.lpszTitle = wideTitle.c_str();
    browse.ulFlags = FolderBrowserFlags;
    SFolderChoice choice;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
    if (chosen != nullptr)
    {
        wchar_t path[MAX_PATH] = {};
        if (SHGetPathFromIDListW(chosen, path))
            choice = SFolderChoice{EFolderChoiceResult::Chosen, os::Utf8Text(path)};
        allocator->Free(chosen);
    }
    allocator->Release();
    CoUninitialize();
    return choice;
}

void CWin32Backend::WaitWhile(const std::function<bool()>& busy, unsigned maxMilliseconds)
{
    const ULONGLONG deadline = GetTickCount64() + maxMilliseconds;
    while (busy())
    {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return;
        while (DispatchOne(WM_TIMER, WM_TIMER) || DispatchOne(WM_PAINT, WM_PAINT))
        {
        }
        // Messages sent by other threads are handled inside the wait as well.
        MsgWaitForMultipleObjects(0, nullptr, FALSE,
                                  static_cast<DWORD>(std::min(WaitPollMilliseconds, deadline - now)),
                                  QS_TIMER | QS_PAINT | QS_SENDMESSAGE);
    }
}

void CWin32Backend::ReportFailure(const std::string& title, const std::string& text) const
{
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    MessageBoxW(nullptr, os::WideText(text.c_str()).c_str(), os::WideText(title.c_str()).c_str(),
                MB_OK | MB_ICONHAND);
}
