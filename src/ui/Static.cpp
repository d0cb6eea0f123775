#include "ui/Static.h"

#include "ui/Dialog.h"
#include "ui/DialogWindow.h"
#include "ui/PaintContext.h"

CStatic::~CStatic()
{
    if (m_dialog != nullptr)
        m_dialog->UnbindControl(*this);
}

void CStatic::Attach(CDialog& dialog, int index)
{
    m_dialog = &dialog;
    m_index = index;
}

void CStatic::Detach()
{
    m_dialog = nullptr;
    m_index = -1;
}

int CStatic::GetDlgCtrlID() const
{
    CDialogWindow* window = m_dialog != nullptr ? m_dialog->GetWindow() : nullptr;
    return window != nullptr ? window->GetControlTemplate(m_index).id : 0;
}

std::string CStatic::GetWindowText() const
{
    CDialogWindow* window = m_dialog != nullptr ? m_dialog->GetWindow() : nullptr;
    return window != nullptr ? window->GetControlText(m_index) : std::string();
}

SFontHandle CStatic::GetFont() const
{
    CDialogWindow* window = m_dialog != nullptr ? m_dialog->GetWindow() : nullptr;
    return window != nullptr ? window->GetControlFont(m_index) : SFontHandle{};
}

SRect CStatic::GetClientRect() const
{
    CDialogWindow* window = m_dialog != nullptr ? m_dialog->GetWindow() : nullptr;
    if (window == nullptr)
        return SRect{};
    const SRect rect = window->GetControlRect(m_index);
    return SRect{0, 0, rect.Width(), rect.Height()};
}

bool CStatic::OnEraseBkgnd(CPaintContext& dc)
{
    CDialogWindow* window = m_dialog != nullptr ? m_dialog->GetWindow() : nullptr;
    if (window == nullptr)
        return false;
    dc.FillRect(dc.GetClientRect(), window->GetSystemColour(ESystemColour::ButtonFace));
    return true;
}

void CStatic::OnPaint(CPaintContext& dc)
{
    const SFontHandle previousFont = dc.SelectFont(GetFont());
    dc.SetTransparentBackground(false);
    dc.DrawText(GetWindowText(), dc.GetClientRect());
    dc.SelectFont(previousFont);
}
