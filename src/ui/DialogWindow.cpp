#include "ui/DialogWindow.h"

#include "ui/Dialog.h"
#include "ui/DialogTemplate.h"
#include "ui/PaintContext.h"
#include "ui/StandardIds.h"
#include "ui/Static.h"
#include "ui/TabOrder.h"

#include <algorithm>
#include <cstdlib>

namespace
{

bool HasText(EControlKind kind)
{
    return kind != EControlKind::ProgressBar && kind != EControlKind::Icon;
}

} // namespace

CDialogWindow::CDialogWindow(CDialog& dialog, const SDialogTemplate& dialogTemplate)
    : m_dialog(dialog), m_template(dialogTemplate)
{
    for (int index = 0; index < dialogTemplate.controlCount; ++index)
        m_controls.push_back(SControl{dialogTemplate.controls[index], SRect{}, SProgress{}, nullptr});
}

CDialogWindow::~CDialogWindow() = default;

void CDialogWindow::EndModal(int result)
{
    m_result = result;
    m_ended = true;
    EndNative(result);
}

int CDialogWindow::FindControl(int id) const
{
    for (size_t index = 0; index < m_controls.size(); ++index)
    {
        if (m_controls[index].definition.id == id)
            return static_cast<int>(index);
    }
    return -1;
}

std::string CDialogWindow::GetControlText(int index) const
{
    return HasText(m_controls[index].definition.kind) ? GetNativeText(index) : std::string();
}

void CDialogWindow::SetControlText(int index, const std::string& text)
{
    if (HasText(m_controls[index].definition.kind))
        SetNativeText(index, text);
}

void CDialogWindow::EnableControl(int index, bool enable)
{
    // Toolkits differ in where a disabled control leaves the focus, often nowhere, where keys do
    // not reach the dialog: it moves on, as a dialog manager moves it. Only after the control is
    // disabled, since a window manager may hand the focus back to it meanwhile.
    const bool movesFocus = !enable && GetFocusControl() == index;
    EnableNative(index, enable);
    if (movesFocus)
        SetFocusControl(CTabOrder::NextEnabledTabStop(*this, index));
}

bool CDialogWindow::IsControlChecked(int index) const
{
    return m_controls[index].definition.kind == EControlKind::CheckBox && IsNativeChecked(index);
}

void CDialogWindow::CheckControl(int index, bool checked)
{
    if (m_controls[index].definition.kind == EControlKind::CheckBox)
        CheckNative(index, checked);
}

int CDialogWindow::GetFocusControl() const
{
    for (int index = 0; index < GetControlCount(); ++index)
    {
        if (HasNativeFocus(index))
            return index;
    }
    return -1;
}

void CDialogWindow::SetProgressRange(int index, int lower, int upper)
{
    SControl& control = m_controls[index];
    if (control.definition.kind != EControlKind::ProgressBar || upper < lower)
        return;
    control.progress.lower = lower;
    control.progress.upper = upper;
    SetProgressPosition(index, control.progress.position);
}

void CDialogWindow::SetProgressPosition(int index, int position)
{
    SControl& control = m_controls[index];
    if (control.definition.kind != EControlKind::ProgressBar)
        return;
    control.progress.position = std::min(std::max(position, control.progress.lower), control.progress.upper);
    ShowProgress(index, control.progress);
}

void CDialogWindow::SubclassLabel(int index, CStatic* label)
{
    SControl& control = m_controls[index];
    if (control.definition.kind != EControlKind::Label)
        return;
    const bool changes = (label != nullptr) != (control.label != nullptr);
    control.label = label;
    if (changes)
        SubclassNative(index, label != nullptr);
    InvalidateControl(index);
}

const SIconResource* CDialogWindow::GetControlIcon(int index) const
{
    const SControlTemplate& definition = m_controls[index].definition;
    if (definition.kind != EControlKind::Icon || definition.text == nullptr)
        return nullptr;
    char* end = nullptr;
    const long id = std::strtol(definition.text, &end, 10);
    return *end == '\0' && id > 0 && id <= 0xFFFF ? m_dialog.LoadIcon(static_cast<int>(id)) : nullptr;
}

bool CDialogWindow::HasSystemMenu() const
{
    return m_template.HasStyle(DialogStyleSystemMenu);
}

void CDialogWindow::AppendSystemMenuItem(unsigned id, const std::string& text)
{
    m_systemMenu.push_back(SSystemMenuItem{id, text});
}

bool CDialogWindow::InitDialog()
{
    if (!m_dialog.HandleInitDialog())
        return false;
    const int first = CTabOrder::NextEnabledTabStop(*this, -1);
    if (first >= 0)
        SetFocusControl(first);
    return true;
}

int CDialogWindow::DefaultButtonId() const
{
    for (const SControl& control : m_controls)
    {
        if (control.definition.kind == EControlKind::PushButton && control.definition.HasStyle(StyleDefault))
            return control.definition.id;
    }
    return IdOk;
}

void CDialogWindow::RouteEscape()
{
    m_dialog.HandleCommand(IdCancel, ECommandCode::Clicked);
}

bool CDialogWindow::RouteEnter()
{
    const int focus = GetFocusControl();
    if (focus >= 0 && m_controls[focus].definition.kind == EControlKind::PushButton)
        return false;
    m_dialog.HandleCommand(DefaultButtonId(), ECommandCode::Clicked);
    return true;
}

void CDialogWindow::RouteCloseBox()
{
    m_dialog.HandleSysCommand(SysCommandClose, 0);
}

void CDialogWindow::RouteFocusLost(int index)
{
    if (!m_ended && m_controls[index].definition.kind == EControlKind::Edit)
        m_dialog.HandleCommand(m_controls[index].definition.id, ECommandCode::KillFocus);
}

void CDialogWindow::EraseDialog(CPaintContext& dc)
{
    if (!m_dialog.HandleEraseBackground(dc))
        dc.FillRect(dc.GetClientRect(), GetSystemColour(ESystemColour::ButtonFace));
}

void CDialogWindow::PaintDialog(CPaintContext& dc)
{
    EraseDialog(dc);
    m_dialog.HandlePaint(dc);
}

void CDialogWindow::PaintLabel(int index, CPaintContext& dc)
{
    CStatic* label = m_controls[index].label;
    if (label == nullptr)
        return;
    label->HandleEraseBackground(dc);
    label->HandlePaint(dc);
}
