#include "ui/Dialog.h"

#include "ui/DialogTemplate.h"
#include "ui/DialogWindow.h"
#include "ui/PaintContext.h"
#include "ui/ResourceTable.h"
#include "ui/StandardIds.h"
#include "ui/Static.h"
#include "ui/UiBackend.h"

#include <algorithm>

CDialog::CDialog(const CResourceTable& resources, int templateId, CDialog* parent)
    : m_resources(resources), m_template(resources.FindDialog(templateId)), m_parent(parent)
{
}

CDialog::~CDialog()
{
    DestroyWindow();
}

int CDialog::DoModal()
{
    CUiBackend* backend = CUiBackend::Current();
    if (backend == nullptr || m_template == nullptr || m_window != nullptr)
        return -1;
    CDialogWindow* parentWindow = m_parent != nullptr ? m_parent->GetWindow() : nullptr;
    m_window = backend->CreateDialogWindow(*this, *m_template, parentWindow);
    if (m_window == nullptr)
        return -1;
    const int result = m_window->RunModal();
    DestroyWindow();
    return result;
}

bool CDialog::Create()
{
    CUiBackend* backend = CUiBackend::Current();
    if (backend == nullptr || m_template == nullptr || m_window != nullptr)
        return false;
    CDialogWindow* parentWindow = m_parent != nullptr ? m_parent->GetWindow() : nullptr;
    m_window = backend->CreateDialogWindow(*this, *m_template, parentWindow);
    if (m_window == nullptr || !m_window->Create())
    {
        DestroyWindow();
        return false;
    }
    return true;
}

void CDialog::DestroyWindow()
{
    DetachBoundControls();
    m_window.reset();
}

void CDialog::EndDialog(int result)
{
    if (m_window != nullptr)
        m_window->EndModal(result);
}

bool CDialog::HandleInitDialog()
{
    return OnInitDialog();
}

void CDialog::HandleCommand(int id, ECommandCode code)
{
    OnCommand(id, code);
}

void CDialog::HandleSysCommand(unsigned id, long parameter)
{
    OnSysCommand(id, parameter);
}

void CDialog::HandleTimer(unsigned id)
{
    OnTimer(id);
}

bool CDialog::OnInitDialog()
{
    DoDataExchange();
    return true;
}

void CDialog::DoDataExchange() {}

bool CDialog::OnCommand(int id, ECommandCode code)
{
    if (code != ECommandCode::Clicked)
        return false;
    if (id == IdOk)
    {
        OnOK();
        return true;
    }
    if (id == IdCancel)
    {
        OnCancel();
        return true;
    }
    return false;
}

void CDialog::OnOK()
{
    EndDialog(IdOk);
}

void CDialog::OnCancel()
{
    EndDialog(IdCancel);
}

void CDialog::OnSysCommand(unsigned id, long)
{
    if ((id & SysCommandMask) == SysCommandClose)
        OnCommand(IdCancel, ECommandCode::Clicked);
}

void CDialog::OnTimer(unsigned) {}

void CDialog::OnPaint(CPaintContext&) {}

bool CDialog::OnEraseBkgnd(CPaintContext&)
{
    return false;
}

const SIconResource* CDialog::OnQueryDragIcon()
{
    return nullptr;
}

void CDialog::BindControl(int id, CStatic& control)
{
    const int index = ControlIndex(id);
    if (index < 0 || control.IsBound())
        return;
    control.Attach(*this, index);
    m_boundControls.push_back(&control);
    m_window->SubclassLabel(index, &control);
}

void CDialog::UnbindControl(CStatic& control)
{
    auto found = std::find(m_boundControls.begin(), m_boundControls.end(), &control);
    if (found == m_boundControls.end())
        return;
    m_boundControls.erase(found);
    if (m_window != nullptr)
        m_window->SubclassLabel(control.m_index, nullptr);
    control.Detach();
}

void CDialog::DetachBoundControls()
{
    for (CStatic* control : m_boundControls)
    {
        if (m_window != nullptr)
            m_window->SubclassLabel(control->m_index, nullptr);
        control->Detach();
    }
    m_boundControls.clear();
}

int CDialog::ControlIndex(int id) const
{
    return m_window != nullptr ? m_window->FindControl(id) : -1;
}

bool CDialog::IsChildIndex(int childIndex) const
{
    return m_window != nullptr && childIndex >= 0 && childIndex < m_window->GetControlCount();
}

std::string CDialog::GetWindowText() const
{
    return m_window != nullptr ? m_window->GetCaption() : std::string();
}

void CDialog::SetWindowText(const std::string& text)
{
    if (m_window != nullptr)
        m_window->SetCaption(text);
}

std::string CDialog::GetDlgItemText(int id) const
{
    return GetChildText(ControlIndex(id));
}

void CDialog::SetDlgItemText(int id, const std::string& text)
{
    SetChildText(ControlIndex(id), text);
}

bool CDialog::IsDlgItemEnabled(int id) const
{
    const int index = ControlIndex(id);
    return index >= 0 && m_window->IsControlEnabled(index);
}

void CDialog::EnableDlgItem(int id, bool enable)
{
    const int index = ControlIndex(id);
    if (index >= 0)
        m_window->EnableControl(index, enable);
}

bool CDialog::IsDlgButtonChecked(int id) const
{
    const int index = ControlIndex(id);
    return index >= 0 && m_window->IsControlChecked(index);
}

void CDialog::CheckDlgButton(int id, bool checked)
{
    const int index = ControlIndex(id);
    if (index >= 0)
        m_window->CheckControl(index, checked);
}

int CDialog::GetFocusId() const
{
    const int index = m_window != nullptr ? m_window->GetFocusControl() : -1;
    return index >= 0 ? m_window->GetControlTemplate(index).id : 0;
}

void CDialog::GotoDlgCtrl(int id)
{
    const int index = ControlIndex(id);
    if (index >= 0)
        m_window->SetFocusControl(index);
}

void CDialog::SetProgressRange(int id, int lower, int upper)
{
    const int index = ControlIndex(id);
    if (index >= 0)
        m_window->SetProgressRange(index, lower, upper);
}

void CDialog::SetProgressPos(int id, int position)
{
    const int index = ControlIndex(id);
    if (index >= 0)
        m_window->SetProgressPosition(index, position);
}

bool CDialog::EnumChildWindows(const std::function<bool(int childIndex)>& visit) const
{
    const int count = m_window != nullptr ? m_window->GetControlCount() : 0;
    for (int index = 0; index < count; ++index)
    {
        if (!visit(index))
            return false;
    }
    return true;
}

int CDialog::GetChildId(int childIndex) const
{
    return IsChildIndex(childIndex) ? m_window->GetControlTemplate(childIndex).id : 0;
}

std::string CDialog::GetChildClassName(int childIndex) const
{
    return IsChildIndex(childIndex) ? m_window->GetControlTemplate(childIndex).ClassName() : std::string();
}

std::string CDialog::GetChildText(int childIndex) const
{
    return IsChildIndex(childIndex) ? m_window->GetControlText(childIndex) : std::string();
}

void CDialog::SetChildText(int childIndex, const std::string& text)
{
    if (IsChildIndex(childIndex))
        m_window->SetControlText(childIndex, text);
}

SRect CDialog::GetWindowRect() const
{
    return m_window != nullptr ? m_window->GetWindowRect() : SRect{};
}

SRect CDialog::GetClientRect() const
{
    return m_window != nullptr ? m_window->GetClientRect() : SRect{};
}

SRgbColour CDialog::GetSysColor(ESystemColour colour) const
{
    return m_window != nullptr ? m_window->GetSystemColour(colour) : SRgbColour{};
}

bool CDialog::IsIconic() const
{
    return m_window != nullptr && m_window->IsMinimised();
}

int CDialog::GetSystemIconWidth() const
{
    return m_window != nullptr ? m_window->GetSystemIconWidth() : 0;
}

int CDialog::GetSystemIconHeight() const
{
    return m_window != nullptr ? m_window->GetSystemIconHeight() : 0;
}

void CDialog::SetIcon(const SIconResource* icon, bool big)
{
    if (m_window != nullptr && icon != nullptr)
        m_window->SetIcon(*icon, big);
}

void CDialog::Invalidate()
{
    if (m_window != nullptr)
        m_window->Invalidate();
}

void CDialog::SendIconEraseBackground(CPaintContext& dc)
{
    dc.FillRect(dc.GetClientRect(), GetSysColor(ESystemColour::ButtonFace));
}

unsigned CDialog::SetTimer(unsigned id, unsigned intervalMilliseconds)
{
    if (m_window == nullptr || !m_window->StartTimer(id, intervalMilliseconds))
        return 0;
    // Like the window timers this stands in for: any non-zero value means "running".
    return id != 0 ? id : 1;
}

bool CDialog::KillTimer(unsigned id)
{
    return m_window != nullptr && m_window->StopTimer(id);
}

bool CDialog::HasSystemMenu() const
{
    return m_window != nullptr && m_window->HasSystemMenu();
}

void CDialog::AppendSystemMenuSeparator()
{
    if (m_window != nullptr)
        m_window->AppendSystemMenuItem(0, std::string());
}

void CDialog::AppendSystemMenuItem(unsigned id, const std::string& text)
{
    if (m_window != nullptr && !text.empty())
        m_window->AppendSystemMenuItem(id, text);
}

const char* CDialog::LoadString(int id) const
{
    return m_resources.LoadString(id);
}

const SIconResource* CDialog::LoadIcon(int id) const
{
    return m_resources.LoadIcon(id);
}

EMessageBoxResult CDialog::MessageBox(const std::string& text, EMessageBoxIcon icon,
                                      EMessageBoxButtons buttons)
{
    CUiBackend* backend = CUiBackend::Current();
    if (backend == nullptr)
        return EMessageBoxResult::None;
    return backend->ShowMessageBox(m_window.get(), text, m_resources.AppTitle(), icon, buttons);
}

SFolderChoice CDialog::ChooseFolder(const std::string& title)
{
    CUiBackend* backend = CUiBackend::Current();
    if (backend == nullptr)
        return SFolderChoice{EFolderChoiceResult::Unavailable, std::string()};
    return backend->ChooseFolder(m_window.get(), title);
}

void CDialog::WaitWhile(const std::function<bool()>& busy, unsigned maxMilliseconds)
{
    CUiBackend* backend = CUiBackend::Current();
    if (backend != nullptr)
        backend->WaitWhile(busy, maxMilliseconds);
}
