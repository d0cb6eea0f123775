#include "ui/win32/Win32DialogWindow.h"

#include "os/win32/WideText.h"
#include "ui/Dialog.h"
#include "ui/ResourceTable.h"
#include "ui/Static.h"
#include "ui/TabOrder.h"
#include "ui/win32/Win32Backend.h"
#include "ui/win32/Win32DialogTemplate.h"
#include "ui/win32/Win32PaintContext.h"

#include <cstdlib>

namespace
{

// System commands from this value on are the system's own (move, size, minimise, ...); below it
// are the entries that the application appended.
constexpr unsigned FirstSystemOwnCommand = 0xF000;

std::string WindowText(HWND window)
{
    if (window == nullptr)
        return std::string();
    const int length = GetWindowTextLengthW(window);
    if (length <= 0)
        return std::string();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(window, &text[0], length + 1);
    return os::Utf8Text(text.c_str());
}

SRgbColour ToRgb(COLORREF colour)
{
    return SRgbColour{GetRValue(colour), GetGValue(colour), GetBValue(colour)};
}

SRect ToRect(const RECT& rect)
{
    return SRect{rect.left, rect.top, rect.right, rect.bottom};
}

} // namespace

CWin32DialogWindow::CWin32DialogWindow(CWin32Backend& backend, CDialog& dialog,
                                       const SDialogTemplate& dialogTemplate, CWin32DialogWindow* parent)
    : m_backend(backend), m_dialog(dialog), m_template(dialogTemplate), m_parent(parent)
{
    for (int index = 0; index < m_template.controlCount; ++index)
        m_controls.push_back(SControl{m_template.controls[index], nullptr, nullptr});
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
    if (index < 0 || index >= GetControlCount())
        return nullptr;
    return m_controls[index].window;
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
    if (!m_ending)
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
    if (result == -1 && !m_ending)
    {
        ReportCreationFailure();
        return -1;
    }
    return m_result;
}

void CWin32DialogWindow::EndModal(int result)
{
    m_result = result;
    m_ending = true;
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
        return self->OnInitDialog() ? TRUE : FALSE;
    }
    auto* self = reinterpret_cast<CWin32DialogWindow*>(GetWindowLongPtrW(window, DWLP_USER));
    if (self == nullptr)
        return FALSE;
    if (message == WM_NCDESTROY)
    {
        SetWindowLongPtrW(window, DWLP_USER, 0);
        self->m_window = nullptr;
        for (SControl& control : self->m_controls)
            control.window = nullptr;
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

bool CWin32DialogWindow::OnInitDialog()
{
    // The dialog manager makes the children in template order, which is their order among siblings.
    size_t index = 0;
    for (HWND child = GetWindow(m_window, GW_CHILD); child != nullptr && index < m_controls.size();
         child = GetWindow(child, GW_HWNDNEXT))
        m_controls[index++].window = child;

    for (const SControl& control : m_controls)
    {
        if (control.definition.kind != EControlKind::Icon || control.window == nullptr)
            continue;
        const SIconResource* icon =
            m_dialog.LoadIcon(std::atoi(control.definition.text != nullptr ? control.definition.text : "0"));
        if (icon != nullptr)
            SendMessageW(control.window, STM_SETICON,
                         reinterpret_cast<WPARAM>(m_icons.Get(*icon, GetSystemIconWidth())), 0);
    }
    return m_dialog.HandleInitDialog();
}

void CWin32DialogWindow::OnCommand(int id, int notification)
{
    if (!IsReporting())
        return;
    if (notification == EN_KILLFOCUS)
    {
        // Leaving the window as it closes is no longer the operator's doing.
        const int index = FindControl(id);
        if (!m_ending && index >= 0 && m_controls[index].definition.kind == EControlKind::Edit)
            m_dialog.HandleCommand(id, ECommandCode::KillFocus);
        return;
    }
    // Buttons, check boxes, and Escape and Enter as the dialog manager turns them into commands.
    if (notification == BN_CLICKED)
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
    const SRect client = GetClientRect();
    CWin32PaintContext context(dc, client, m_icons, GetSystemIconWidth(), m_paletteImage);
    if (!IsReporting() || !m_dialog.HandleEraseBackground(context))
        context.FillRect(client, GetSystemColour(ESystemColour::ButtonFace));
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
    auto* self = reinterpret_cast<CWin32DialogWindow*>(data);
    if (message == WM_NCDESTROY)
    {
        RemoveWindowSubclass(window, LabelProcedure, subclassId);
        return DefSubclassProc(window, message, wParam, lParam);
    }
    return self->OnLabelMessage(self->m_controls[subclassId], message, wParam, lParam);
}

LRESULT CWin32DialogWindow::OnLabelMessage(SControl& control, UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND window = control.window;
    if (control.label == nullptr || !IsReporting())
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
        if (control.label->HandleEraseBackground(context))
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
        control.label->HandlePaint(context);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_SETTEXT:
    {
        // The static control would paint the new text at once over its own background; the
        // label paints it, over the dialog's background, which must be drawn first.
        const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
        RedrawUnderLabel(control);
        return result;
    }
    default:
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

void CWin32DialogWindow::RedrawUnderLabel(const SControl& control)
{
    if (m_window == nullptr || control.window == nullptr)
        return;
    RECT rect;
    ::GetWindowRect(control.window, &rect);
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

int CWin32DialogWindow::FindControl(int id) const
{
    for (size_t index = 0; index < m_controls.size(); ++index)
    {
        if (m_controls[index].definition.id == id)
            return static_cast<int>(index);
    }
    return -1;
}

std::string CWin32DialogWindow::GetControlText(int index) const
{
    const SControl& control = m_controls[index];
    switch (control.definition.kind)
    {
    case EControlKind::ProgressBar:
    case EControlKind::Icon:
        return std::string();
    case EControlKind::Label:
    case EControlKind::Edit:
    case EControlKind::CheckBox:
    case EControlKind::PushButton:
        break;
    }
    return WindowText(control.window);
}

void CWin32DialogWindow::SetControlText(int index, const std::string& text)
{
    const SControl& control = m_controls[index];
    if (control.window == nullptr || control.definition.kind == EControlKind::ProgressBar ||
        control.definition.kind == EControlKind::Icon)
        return;
    SetWindowTextW(control.window, os::WideText(text.c_str()).c_str());
}

bool CWin32DialogWindow::IsControlEnabled(int index) const
{
    const HWND window = m_controls[index].window;
    return window != nullptr && IsWindowEnabled(window) != FALSE;
}

void CWin32DialogWindow::EnableControl(int index, bool enable)
{
    const HWND window = m_controls[index].window;
    if (window == nullptr)
        return;
    // A disabled window loses the focus, and with the focus nowhere keys reach the dialog only as
    // system keys, which the dialog manager does not turn into commands: the focus moves on, to the
    // next control that can take it, or to the dialog itself.
    const bool hadFocus = !enable && GetFocusControl() == index;
    EnableWindow(window, enable ? TRUE : FALSE);
    if (hadFocus)
        SetFocusControl(CTabOrder::NextEnabledTabStop(*this, index));
}

bool CWin32DialogWindow::IsControlChecked(int index) const
{
    const SControl& control = m_controls[index];
    if (control.definition.kind != EControlKind::CheckBox || control.window == nullptr)
        return false;
    return SendMessageW(control.window, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CWin32DialogWindow::CheckControl(int index, bool checked)
{
    const SControl& control = m_controls[index];
    if (control.definition.kind == EControlKind::CheckBox && control.window != nullptr)
        SendMessageW(control.window, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

int CWin32DialogWindow::GetFocusControl() const
{
    const HWND focus = GetFocus();
    for (size_t index = 0; focus != nullptr && index < m_controls.size(); ++index)
    {
        const HWND window = m_controls[index].window;
        if (window != nullptr && (focus == window || IsChild(window, focus)))
            return static_cast<int>(index);
    }
    return -1;
}

void CWin32DialogWindow::SetFocusControl(int index)
{
    if (m_window == nullptr)
        return;
    // The dialog itself holds the focus for no control: Escape and Enter still reach it as keys.
    if (index < 0)
    {
        SetFocus(m_window);
        return;
    }
    // Through the dialog manager, so that the default button follows the focus.
    const HWND window = m_controls[index].window;
    if (window != nullptr)
        SendMessageW(m_window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(window), TRUE);
}

void CWin32DialogWindow::SetProgressRange(int index, int lower, int upper)
{
    const SControl& control = m_controls[index];
    if (control.definition.kind == EControlKind::ProgressBar && control.window != nullptr)
        SendMessageW(control.window, PBM_SETRANGE32, static_cast<WPARAM>(lower), static_cast<LPARAM>(upper));
}

void CWin32DialogWindow::SetProgressPosition(int index, int position)
{
    const SControl& control = m_controls[index];
    if (control.definition.kind == EControlKind::ProgressBar && control.window != nullptr)
        SendMessageW(control.window, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

SRect CWin32DialogWindow::GetControlRect(int index) const
{
    const HWND window = index >= 0 ? m_controls[index].window : nullptr;
    if (window == nullptr || m_window == nullptr)
        return SRect{};
    RECT rect;
    ::GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, m_window, reinterpret_cast<POINT*>(&rect), 2);
    return ToRect(rect);
}

SFontHandle CWin32DialogWindow::GetControlFont(int index) const
{
    const HWND window = m_controls[index].window;
    if (window == nullptr)
        return SFontHandle{};
    return SFontHandle{reinterpret_cast<const void*>(SendMessageW(window, WM_GETFONT, 0, 0))};
}

void CWin32DialogWindow::SubclassLabel(int index, CStatic* label)
{
    SControl& control = m_controls[index];
    const bool wasSubclassed = control.label != nullptr;
    control.label = label;
    if (control.window == nullptr)
        return;
    const auto subclassId = static_cast<UINT_PTR>(index);
    if (label != nullptr && !wasSubclassed)
        SetWindowSubclass(control.window, LabelProcedure, subclassId, reinterpret_cast<DWORD_PTR>(this));
    else if (label == nullptr && wasSubclassed)
        RemoveWindowSubclass(control.window, LabelProcedure, subclassId);
    RedrawUnderLabel(control);
}

void CWin32DialogWindow::InvalidateControl(int index)
{
    const SControl& control = m_controls[index];
    if (control.label != nullptr)
        RedrawUnderLabel(control);
    else if (control.window != nullptr)
        InvalidateRect(control.window, nullptr, TRUE);
}

SRect CWin32DialogWindow::GetWindowRect() const
{
    RECT rect{};
    if (m_window == nullptr || !::GetWindowRect(m_window, &rect))
        return SRect{};
    return ToRect(rect);
}

SRect CWin32DialogWindow::GetClientRect() const
{
    RECT rect{};
    if (m_window == nullptr || !::GetClientRect(m_window, &rect))
        return SRect{};
    return ToRect(rect);
}

SRgbColour CWin32DialogWindow::GetSystemColour(ESystemColour colour) const
{
    switch (colour)
    {
    case ESystemColour::ButtonShadow:
        return ToRgb(GetSysColor(COLOR_BTNSHADOW));
    case ESystemColour::ButtonFace:
        return ToRgb(GetSysColor(COLOR_BTNFACE));
    case ESystemColour::ButtonHighlight:
        break;
    }
    return ToRgb(GetSysColor(COLOR_BTNHIGHLIGHT));
}

bool CWin32DialogWindow::IsMinimised() const
{
    return m_window != nullptr && IsIconic(m_window) != FALSE;
}

int CWin32DialogWindow::GetSystemIconWidth() const
{
    return GetSystemMetrics(SM_CXICON);
}

int CWin32DialogWindow::GetSystemIconHeight() const
{
    return GetSystemMetrics(SM_CYICON);
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
    return m_window != nullptr && GetSystemMenu(m_window, FALSE) != nullptr;
}

void CWin32DialogWindow::AppendSystemMenuItem(unsigned id, const std::string& text)
{
    const HMENU menu = m_window != nullptr ? GetSystemMenu(m_window, FALSE) : nullptr;
    if (menu == nullptr)
        return;
    if (text.empty())
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    else
        AppendMenuW(menu, MF_STRING, id, os::WideText(text.c_str()).c_str());
}
