#include "ui/headless/HeadlessDialogWindow.h"

#include "ui/Dialog.h"
#include "ui/StandardIds.h"
#include "ui/Static.h"
#include "ui/TabOrder.h"
#include "ui/headless/HeadlessBackend.h"
#include "ui/headless/HeadlessPaintContext.h"

namespace
{

// Stands for the one dialog font; only its identity matters.
const char DialogFontTag[] = "dialog font";

} // namespace

CHeadlessDialogWindow::CHeadlessDialogWindow(CHeadlessBackend& backend, CDialog& dialog,
                                             const SDialogTemplate& dialogTemplate)
    : m_backend(backend), m_dialog(dialog), m_template(dialogTemplate)
{
}

CHeadlessDialogWindow::~CHeadlessDialogWindow()
{
    m_backend.UnregisterWindow(*this);
}

int CHeadlessDialogWindow::DialogUnitsToPixels(int units, int baseUnit, int divisor)
{
    // Rounded, as the conversion of dialog templates does it.
    return (units * baseUnit * 2 + divisor) / (2 * divisor);
}

bool CHeadlessDialogWindow::Create()
{
    if (m_created)
        return true;
    m_created = true;
    m_caption = m_template.caption != nullptr ? m_template.caption : "";
    for (int index = 0; index < m_template.controlCount; ++index)
    {
        SControl control;
        control.definition = m_template.controls[index];
        if (control.definition.kind != EControlKind::Icon && control.definition.text != nullptr)
            control.text = control.definition.text;
        const int left = DialogUnitsToPixels(control.definition.x, BaseUnitX, 4);
        const int top = DialogUnitsToPixels(control.definition.y, BaseUnitY, 8);
        control.rect = SRect{left, top, left + DialogUnitsToPixels(control.definition.width, BaseUnitX, 4),
                             top + DialogUnitsToPixels(control.definition.height, BaseUnitY, 8)};
        m_controls.push_back(control);
    }
    m_backend.RegisterWindow(*this);
    if (m_dialog.HandleInitDialog())
    {
        const int first = CTabOrder::NextEnabledTabStop(*this, -1);
        if (first >= 0)
            SetFocusControl(first);
    }
    return true;
}

int CHeadlessDialogWindow::RunModal()
{
    if (!Create())
        return -1;
    while (!m_ended)
    {
        CHeadlessBackend::ScriptStep step;
        if (!m_backend.TakeStep(step))
        {
            m_backend.Fail("the modal loop of \"" + m_caption + "\" has no scripted step left");
            m_result = -1;
            break;
        }
        step(*this);
    }
    return m_result;
}

void CHeadlessDialogWindow::EndModal(int result)
{
    m_ended = true;
    m_result = result;
}

int CHeadlessDialogWindow::FindControl(int id) const
{
    for (size_t index = 0; index < m_controls.size(); ++index)
    {
        if (m_controls[index].definition.id == id)
            return static_cast<int>(index);
    }
    return -1;
}

int CHeadlessDialogWindow::RequireControl(int id) const
{
    const int index = FindControl(id);
    if (index < 0)
        m_backend.Fail("no control with id " + std::to_string(id) + " in \"" + m_caption + "\"");
    return index;
}

int CHeadlessDialogWindow::DefaultButtonId() const
{
    for (const SControl& control : m_controls)
    {
        if (control.definition.kind == EControlKind::PushButton && control.definition.HasStyle(StyleDefault))
            return control.definition.id;
    }
    return IdOk;
}

void CHeadlessDialogWindow::EnableControl(int index, bool enable)
{
    if (!enable && index == m_focus)
        SetFocusControl(CTabOrder::NextEnabledTabStop(*this, index));
    m_controls[index].enabled = enable;
}

void CHeadlessDialogWindow::SetFocusControl(int index)
{
    const int previous = m_focus;
    if (previous == index)
        return;
    // The focus has moved by the time the field that lost it reports so.
    m_focus = index;
    if (previous >= 0 && m_controls[previous].definition.kind == EControlKind::Edit)
        m_dialog.HandleCommand(m_controls[previous].definition.id, ECommandCode::KillFocus);
}

bool CHeadlessDialogWindow::Click(int id)
{
    const int index = RequireControl(id);
    if (index < 0 || !m_controls[index].enabled)
        return false;
    const SControlTemplate& definition = m_controls[index].definition;
    if (definition.kind != EControlKind::PushButton && definition.kind != EControlKind::CheckBox)
        return false;
    // Pressing the mouse on a button gives it the focus before the click is reported.
    SetFocusControl(index);
    if (definition.kind == EControlKind::CheckBox && definition.HasStyle(StyleAutoCheck))
        m_controls[index].checked = !m_controls[index].checked;
    m_dialog.HandleCommand(id, ECommandCode::Clicked);
    return true;
}

bool CHeadlessDialogWindow::Type(int id, const std::string& text)
{
    const int index = RequireControl(id);
    if (index < 0 || !m_controls[index].enabled || m_controls[index].definition.kind != EControlKind::Edit)
        return false;
    SetFocusControl(index);
    m_controls[index].text = text;
    return true;
}

bool CHeadlessDialogWindow::MoveFocus(int id)
{
    const int index = RequireControl(id);
    if (index < 0 || !m_controls[index].enabled)
        return false;
    SetFocusControl(index);
    return true;
}

void CHeadlessDialogWindow::PressEscape()
{
    m_dialog.HandleCommand(IdCancel, ECommandCode::Clicked);
}

void CHeadlessDialogWindow::PressEnter()
{
    if (m_focus >= 0 && m_controls[m_focus].definition.kind == EControlKind::PushButton)
    {
        m_dialog.HandleCommand(m_controls[m_focus].definition.id, ECommandCode::Clicked);
        return;
    }
    m_dialog.HandleCommand(DefaultButtonId(), ECommandCode::Clicked);
}

void CHeadlessDialogWindow::PressClose()
{
    m_dialog.HandleSysCommand(SysCommandClose, 0);
}

bool CHeadlessDialogWindow::ChooseSystemMenuItem(unsigned id)
{
    for (const SSystemMenuItem& item : m_systemMenu)
    {
        if (item.id == id && id != 0)
        {
            m_dialog.HandleSysCommand(id, 0);
            return true;
        }
    }
    m_backend.Fail("the system menu of \"" + m_caption + "\" has no item " + std::to_string(id));
    return false;
}

int CHeadlessDialogWindow::Tick()
{
    std::vector<unsigned> running;
    for (const auto& timer : m_timers)
        running.push_back(timer.first);
    int delivered = 0;
    for (unsigned id : running)
    {
        // A handler may have stopped a later timer meanwhile.
        if (m_timers.count(id) == 0)
            continue;
        m_dialog.HandleTimer(id);
        ++delivered;
    }
    return delivered;
}

std::vector<SPaintOperation> CHeadlessDialogWindow::Paint()
{
    std::vector<SPaintOperation> operations;
    const SFontHandle font{DialogFontTag};
    CHeadlessPaintContext dialogContext(operations, 0, GetClientRect(), font);
    if (!m_dialog.HandleEraseBackground(dialogContext))
        dialogContext.FillRect(GetClientRect(), m_backend.GetSystemColour(ESystemColour::ButtonFace));
    m_dialog.HandlePaint(dialogContext);
    for (const SControl& control : m_controls)
    {
        if (control.label == nullptr)
            continue;
        const SRect client{0, 0, control.rect.Width(), control.rect.Height()};
        CHeadlessPaintContext labelContext(operations, control.definition.id, client, font);
        control.label->HandleEraseBackground(labelContext);
        control.label->HandlePaint(labelContext);
    }
    return operations;
}

std::string CHeadlessDialogWindow::GetText(int id) const
{
    const int index = RequireControl(id);
    return index >= 0 ? m_controls[index].text : std::string();
}

bool CHeadlessDialogWindow::IsEnabled(int id) const
{
    const int index = RequireControl(id);
    return index >= 0 && m_controls[index].enabled;
}

bool CHeadlessDialogWindow::IsChecked(int id) const
{
    const int index = RequireControl(id);
    return index >= 0 && m_controls[index].checked;
}

int CHeadlessDialogWindow::GetFocusId() const
{
    return m_focus >= 0 ? m_controls[m_focus].definition.id : 0;
}

int CHeadlessDialogWindow::GetProgressLower(int id) const
{
    const int index = RequireControl(id);
    return index >= 0 ? m_controls[index].progressLower : 0;
}

int CHeadlessDialogWindow::GetProgressUpper(int id) const
{
    const int index = RequireControl(id);
    return index >= 0 ? m_controls[index].progressUpper : 0;
}

int CHeadlessDialogWindow::GetProgressPosition(int id) const
{
    const int index = RequireControl(id);
    return index >= 0 ? m_controls[index].progressPosition : 0;
}

bool CHeadlessDialogWindow::IsSubclassed(int id) const
{
    const int index = RequireControl(id);
    return index >= 0 && m_controls[index].label != nullptr;
}

unsigned CHeadlessDialogWindow::GetTimerInterval(unsigned id) const
{
    const auto found = m_timers.find(id);
    return found != m_timers.end() ? found->second : 0;
}

void CHeadlessDialogWindow::SetProgressRange(int index, int lower, int upper)
{
    SControl& control = m_controls[index];
    control.progressLower = lower;
    control.progressUpper = upper;
    // A progress bar keeps its position inside its range.
    if (control.progressPosition < lower)
        control.progressPosition = lower;
    if (control.progressPosition > upper)
        control.progressPosition = upper;
}

void CHeadlessDialogWindow::SetProgressPosition(int index, int position)
{
    SControl& control = m_controls[index];
    if (position < control.progressLower)
        position = control.progressLower;
    if (position > control.progressUpper)
        position = control.progressUpper;
    control.progressPosition = position;
}

SFontHandle CHeadlessDialogWindow::GetControlFont(int) const
{
    return SFontHandle{DialogFontTag};
}

SRect CHeadlessDialogWindow::GetClientRect() const
{
    return SRect{0, 0, DialogUnitsToPixels(m_template.width, BaseUnitX, 4),
                 DialogUnitsToPixels(m_template.height, BaseUnitY, 8)};
}

SRect CHeadlessDialogWindow::GetWindowRect() const
{
    const SRect client = GetClientRect();
    return SRect{0, 0, client.Width() + 2 * FrameWidth, client.Height() + 2 * FrameWidth + CaptionHeight};
}

SRgbColour CHeadlessDialogWindow::GetSystemColour(ESystemColour colour) const
{
    return m_backend.GetSystemColour(colour);
}

int CHeadlessDialogWindow::GetSystemIconWidth() const
{
    return CHeadlessPaintContext::SystemIconSize;
}

int CHeadlessDialogWindow::GetSystemIconHeight() const
{
    return CHeadlessPaintContext::SystemIconSize;
}

void CHeadlessDialogWindow::SetIcon(const SIconResource& icon, bool big)
{
    (big ? m_bigIcon : m_smallIcon) = &icon;
}

bool CHeadlessDialogWindow::StartTimer(unsigned id, unsigned intervalMilliseconds)
{
    m_timers[id] = intervalMilliseconds;
    return true;
}

bool CHeadlessDialogWindow::StopTimer(unsigned id)
{
    return m_timers.erase(id) > 0;
}

bool CHeadlessDialogWindow::HasSystemMenu() const
{
    return m_template.HasStyle(DialogStyleSystemMenu);
}

void CHeadlessDialogWindow::AppendSystemMenuItem(unsigned id, const std::string& text)
{
    m_systemMenu.push_back(SSystemMenuItem{id, text});
}
