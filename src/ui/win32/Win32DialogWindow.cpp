#include "ui/win32/Win32DialogWindow.h"

#include "os/win32/WideText.h"
#include "ui/Dialog.h"
#include "ui/ResourceTable.h"
#include "ui/Static.h"
#include "ui/TabOrder.h"
#include "ui/win32/Win32Backend.h"
#include "ui/win32/Win32DialogTemplate.h"
#include "ui/win32/Win32PaintContext.h"

#include <algorithm>

namespace
{

// System commands from this value on are the system's own (move, size, minimise, ...); below it
// are the entries that the application appended.
constexpr unsigned FirstSystemOwnCommand = 0xF000;

std::string WindowText(HWND window)
{
    const int length = window != nullptr ? GetWindowTextLengthW(window) : 0;
    if (length <= 0)
        return std::string();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(window, &text[0], length + 1);
    return os::Utf8Text(text.c_str());
}

SRect ToRect(const RECT& rect)
{
    return SRect{rect.left, rect.top, rect.right, rect.bottom};
}

} // namespace

CWin32DialogWindow::CWin32DialogWindow(CWin32Backend& backend, CDialog& dialog,
                                       const SDialogTemplate& dialogTemplate, CWin32DialogWindow* parent)
    : CDialogWindow(dialog, dialogTemplate), m_backend(backend), m_parent(parent),
      m_controls(static_cast<size_t>(GetControlCount()), nullptr)
{
}

CWin32DialogWindow::~CWin32DialogWindow()
{
    m_destroying = true;
    // A modal window is gone already; a window made by Create goes here.
    if (m_window != nullptr)
        DestroyWindow(m_window);
}

HWND CWin32DialogWindow::GetControlHandle(int index) const
{
    return index >= 0 && index < GetControlCount() ? m_controls[index] : nullptr;
}

bool CWin32DialogWindow::Create()
{
    if (m_window != nullptr)
        return true;
    const CWin32DialogTemplate nativeTemplate(m_template);
    const HWND owner = m_parent != nullptr ? m_parent->GetHandle() : nullptr;
    const HWND window = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), nativeTemplate.Get(), owner,
                                                   DialogProcedure, reinterpret_cast<LPARAM>(this));
    if (window == nullptr)
    {
        ReportCreationFailure();
        return false;
    }
    // The initialisation may already have ended the dialog.
    if (!IsEnded())
        ShowWindow(window, SW_SHOW);
    return true;
}

int CWin32DialogWindow::RunModal()
{
    // A window made by Create runs without a loop of the system's; it cannot turn modal.
    if (m_window != nullptr)
        return -1;
    const CWin32DialogTemplate nativeTemplate(m_template);
    const HWND owner = m_parent != nullptr ? m_parent->GetHandle() : nullptr;
    m_modal = true;
    const INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), nativeTemplate.Get(), owner,
                                                   DialogProcedure, reinterpret_cast<LPARAM>(this));
    m_modal = false;
    if (result == -1 && !IsEnded())
    {
        ReportCreationFailure();
        return -1;
    }
    return GetResult();
}

void CWin32DialogWindow::EndNative(int result)
{
    if (m_window == nullptr)
        return;
    if (m_modal)
        EndDialog(m_window, result);
    else
        ShowWindow(m_window, SW_HIDE);
}

void CWin32DialogWindow::ReportCreationFailure()
{
    const DWORD error = GetLastError();
    const std::string caption = m_template.caption != nullptr ? m_template.caption : "";
    m_backend.ReportFailure(m_dialog.GetResources().AppTitle(), "The window \"" + caption +
                                                                    "\" cannot be created (system error " +
                                                                    std::to_string(error) + ").");
}

INT_PTR CALLBACK CWin32DialogWindow::DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
    {
        auto* self = reinterpret_cast<CWin32DialogWindow*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        self->m_window = window;
        self->OnInitDialog();
        // The focus is set (or left to the dialog's own choice) already.
        return FALSE;
    }
    auto* self = reinterpret_cast<CWin32DialogWindow*>(GetWindowLongPtrW(window, DWLP_USER));
    if (self == nullptr)
        return FALSE;
    if (message == WM_NCDESTROY)
    {
        SetWindowLongPtrW(window, DWLP_USER, 0);
        self->m_window = nullptr;
        std::fill(self->m_controls.begin(), self->m_controls.end(), nullptr);
        return FALSE;
    }
    return self->OnMessage(message, wParam, lParam);
}

INT_PTR CWin32DialogWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_SYSCOMMAND:
        return OnSysCommand(wParam, lParam) ? TRUE : FALSE;
    case WM_TIMER:
        if (IsReporting())
            m_dialog.HandleTimer(static_cast<unsigned>(wParam));
        return TRUE;
    case WM_ERASEBKGND:
        OnEraseBackground(reinterpret_cast<HDC>(wParam));
        SetWindowLongPtrW(m_window, DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_PAINT:
        OnPaint();
        return TRUE;
    case WM_SETFOCUS:
        // The dialog manager hands the dialog's focus on to the control that last had it, also
        // when that one is disabled now; with no control that can take it, the dialog keeps it.
        return CTabOrder::NextEnabledTabStop(*this, -1) < 0 ? TRUE : FALSE;
    case WM_QUERYDRAGICON:
    {
        const SIconResource* icon = IsReporting() ? m_dialog.HandleQueryDragIcon() : nullptr;
        return icon != nullptr ? reinterpret_cast<INT_PTR>(m_icons.Get(*icon, GetSystemIconWidth())) : 0;
    }
    default:
        return FALSE;
    }
}

void CWin32DialogWindow::OnInitDialog()
{
    // The dialog manager makes the children in template order, which is their order among siblings.
    int index = 0;
    for (HWND child = GetWindow(m_window, GW_CHILD); child != nullptr && index < GetControlCount();
         child = GetWindow(child, GW_HWNDNEXT), ++index)
    {
        m_controls[index] = child;
        RECT rect;
        ::GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, m_window, reinterpret_cast<POINT*>(&rect), 2);
        SetControlRect(index, ToRect(rect));
        const SIconResource* icon = GetControlIcon(index);
        if (icon != nullptr)
            SendMessageW(child, STM_SETICON,
                         reinterpret_cast<WPARAM>(m_icons.Get(*icon, GetSystemIconWidth())), 0);
    }
    InitDialog();
}

void CWin32DialogWindow::OnCommand(int id, int notification)
{
    if (!IsReporting())
        return;
    const int index = FindControl(id);
    if (notification == EN_KILLFOCUS && index >= 0)
        RouteFocusLost(index);
    // Buttons, check boxes, and Escape and Enter as the dialog manager turns them into commands.
    else if (notification == BN_CLICKED)
        m_dialog.HandleCommand(id, ECommandCode::Clicked);
}

bool CWin32DialogWindow::OnSysCommand(WPARAM command, LPARAM parameter)
{
    const auto id = static_cast<unsigned>(command);
    // The close box goes to the dialog, which decides whether to close; so do the entries that the
    // application appended. The system's own commands keep their default handling.
    if ((id & 0xFFF0) != SC_CLOSE && id >= FirstSystemOwnCommand)
        return false;
    if (IsReporting())
        m_dialog.HandleSysCommand(id, static_cast<long>(parameter));
    return true;
}

void CWin32DialogWindow::OnEraseBackground(HDC dc)
{
    CWin32PaintContext context(dc, GetClientRect(), m_icons, GetSystemIconWidth(), m_paletteImage);
    if (IsReporting())
        EraseDialog(context);
    else
        context.FillRect(GetClientRect(), GetSystemColour(ESystemColour::ButtonFace));
}

void CWin32DialogWindow::OnPaint()
{
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(m_window, &paint);
    if (dc == nullptr)
        return;
    CWin32PaintContext context(dc, GetClientRect(), m_icons, GetSystemIconWidth(), m_paletteImage);
    if (IsReporting())
        m_dialog.HandlePaint(context);
    EndPaint(m_window, &paint);
}

LRESULT CALLBACK CWin32DialogWindow::LabelProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                                    UINT_PTR subclassId, DWORD_PTR data)
{
    if (message == WM_NCDESTROY)
    {
        RemoveWindowSubclass(window, LabelProcedure, subclassId);
        return DefSubclassProc(window, message, wParam, lParam);
    }
    return reinterpret_cast<CWin32DialogWindow*>(data)->OnLabelMessage(static_cast<int>(subclassId), message,
                                                                       wParam, lParam);
}

LRESULT CWin32DialogWindow::OnLabelMessage(int index, UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND window = m_controls[index];
    CStatic* label = GetSubclassedLabel(index);
    if (label == nullptr || !IsReporting())
        return DefSubclassProc(window, message, wParam, lParam);
    RECT clientRect{};
    ::GetClientRect(window, &clientRect);
    const SRect client = ToRect(clientRect);
    switch (message)
    {
    case WM_ERASEBKGND:
    {
        CWin32PaintContext context(reinterpret_cast<HDC>(wParam), client, m_icons, GetSystemIconWidth(),
                                   m_paletteImage);
        if (label->HandleEraseBackground(context))
            return TRUE;
        break;
    }
    case WM_PAINT:
    {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(window, &paint);
        if (dc == nullptr)
            return 0;
        CWin32PaintContext context(dc, client, m_icons, GetSystemIconWidth(), m_paletteImage);
        label->HandlePaint(context);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_SETTEXT:
    {
        // The static control would paint the new text at once over its own background; the
        // label paints it, over the dialog's background, which must be drawn first.
        const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
        RedrawUnderLabel(index);
        return result;
    }
    default:
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

void CWin32DialogWindow::RedrawUnderLabel(int index)
{
    if (m_window == nullptr || m_controls[index] == nullptr)
        return;
    RECT rect;
    ::GetWindowRect(m_controls[index], &rect);
    MapWindowPoints(nullptr, m_window, reinterpret_cast<POINT*>(&rect), 2);
    RedrawWindow(m_window, &rect, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

std::string CWin32DialogWindow::GetCaption() const
{
    return WindowText(m_window);
}

void CWin32DialogWindow::SetCaption(const std::string& caption)
{
    if (m_window != nullptr)
        SetWindowTextW(m_window, os::WideText(caption.c_str()).c_str());
}

std::string CWin32DialogWindow::GetNativeText(int index) const
{
    return WindowText(m_controls[index]);
}

void CWin32DialogWindow::SetNativeText(int index, const std::string& text)
{
    if (m_controls[index] != nullptr)
        SetWindowTextW(m_controls[index], os::WideText(text.c_str()).c_str());
}

bool CWin32DialogWindow::IsControlEnabled(int index) const
{
    return m_controls[index] != nullptr && IsWindowEnabled(m_controls[index]) != FALSE;
}

void CWin32DialogWindow::EnableNative(int index, bool enable)
{
    if (m_controls[index] != nullptr)
        EnableWindow(m_controls[index], enable ? TRUE : FALSE);
}

bool CWin32DialogWindow::IsNativeChecked(int index) const
{
    return m_controls[index] != nullptr && SendMessageW(m_controls[index], BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CWin32DialogWindow::CheckNative(int index, bool checked)
{
    if (m_controls[index] != nullptr)
        SendMessageW(m_controls[index], BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool CWin32DialogWindow::HasNativeFocus(int index) const
{
    const HWND focus = GetFocus();
    const HWND window = m_controls[index];
    return focus != nullptr && window != nullptr && (focus == window || IsChild(window, focus));
}

void CWin32DialogWindow::SetFocusControl(int index)
{
    if (m_window == nullptr)
        return;
    // With the focus nowhere keys reach the dialog only as system keys, which the dialog manager
    // does not turn into commands: the dialog itself takes it.
    if (index < 0)
        SetFocus(m_window);
    // Through the dialog manager, so that the default button follows the focus.
    else if (m_controls[index] != nullptr)
        SendMessageW(m_window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_controls[index]), TRUE);
}

void CWin32DialogWindow::ShowProgress(int index, const SProgress& progress)
{
    const HWND window = m_controls[index];
    if (window == nullptr)
        return;
    SendMessageW(window, PBM_SETRANGE32, static_cast<WPARAM>(progress.lower),
                 static_cast<LPARAM>(progress.upper));
    SendMessageW(window, PBM_SETPOS, static_cast<WPARAM>(progress.position), 0);
}

SFontHandle CWin32DialogWindow::GetControlFont(int index) const
{
    const HWND window = m_controls[index];
    return SFontHandle{
        window != nullptr ? reinterpret_cast<const void*>(SendMessageW(window, WM_GETFONT, 0, 0)) : nullptr};
}

void CWin32DialogWindow::SubclassNative(int index, bool subclassed)
{
    const HWND window = m_controls[index];
    const auto subclassId = static_cast<UINT_PTR>(index);
    if (window != nullptr && subclassed)
        SetWindowSubclass(window, LabelProcedure, subclassId, reinterpret_cast<DWORD_PTR>(this));
    else if (window != nullptr)
        RemoveWindowSubclass(window, LabelProcedure, subclassId);
}

void CWin32DialogWindow::InvalidateControl(int index)
{
    if (GetSubclassedLabel(index) != nullptr)
        RedrawUnderLabel(index);
    else if (m_controls[index] != nullptr)
        InvalidateRect(m_controls[index], nullptr, TRUE);
}

SRect CWin32DialogWindow::GetWindowRect() const
{
    RECT rect{};
    return m_window != nullptr && ::GetWindowRect(m_window, &rect) ? ToRect(rect) : SRect{};
}

SRect CWin32DialogWindow::GetClientRect() const
{
    RECT rect{};
    return m_window != nullptr && ::GetClientRect(m_window, &rect) ? ToRect(rect) : SRect{};
}

SRgbColour CWin32DialogWindow::GetSystemColour(ESystemColour colour) const
{
    static const int Native[] = {COLOR_BTNSHADOW, COLOR_BTNFACE, COLOR_BTNHIGHLIGHT};
    const COLORREF value = GetSysColor(Native[static_cast<int>(colour)]);
    return SRgbColour{GetRValue(value), GetGValue(value), GetBValue(value)};
}

void CWin32DialogWindow::SetIcon(const SIconResource& icon, bool big)
{
    if (m_window == nullptr)
        return;
    const int size = GetSystemMetrics(big ? SM_CXICON : SM_CXSMICON);
    SendMessageW(m_window, WM_SETICON, big ? ICON_BIG : ICON_SMALL,
                 reinterpret_cast<LPARAM>(m_icons.Get(icon, size)));
}

void CWin32DialogWindow::Invalidate()
{
    if (m_window != nullptr)
        InvalidateRect(m_window, nullptr, TRUE);
}

// The system's periodic timer already keeps the cadence that other backends build on CTickCadence:
// its next expiry is set when it expires, not when the tick's work is done, so the work does not
// stretch the period; expiries that pass while a tick runs late come as one WM_TIMER, never a
// burst; and WM_TIMER is made only when no input or paint is waiting, so ticks cannot starve
// either. Its expiries fall on the system's clock ticks (15.6 ms unless a program asks for finer).
bool CWin32DialogWindow::StartTimer(unsigned id, unsigned intervalMilliseconds)
{
    return m_window != nullptr && SetTimer(m_window, id, intervalMilliseconds, nullptr) != 0;
}

bool CWin32DialogWindow::StopTimer(unsigned id)
{
    return m_window != nullptr && KillTimer(m_window, id) != FALSE;
}

bool CWin32DialogWindow::HasSystemMenu() const
{
    return m_window != nullptr && ::GetSystemMenu(m_window, FALSE) != nullptr;
}

void CWin32DialogWindow::AppendSystemMenuItem(unsigned id, const std::string& text)
{
    const HMENU menu = m_window != nullptr ? ::GetSystemMenu(m_window, FALSE) : nullptr;
    if (menu == nullptr)
        return;
    if (text.empty())
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    else
        AppendMenuW(menu, MF_STRING, id, os::WideText(text.c_str()).c_str());
}
