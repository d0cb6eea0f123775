#include "ui/headless/HeadlessDialogWindow.h"

#include "ui/Dialog.h"

CHeadlessDialogWindow::CHeadlessDialogWindow(CHeadlessBackend& backend, CDialog& dialog,
                                             const SDialogTemplate& dialogTemplate)
    : CDialogWindow(dialog, dialogTemplate), m_backend(backend)
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
    for (int index = 0; index < GetControlCount(); ++index)
    {
        const SControlTemplate& definition = GetControlTemplate(index);
        m_state.push_back(SState{definition.text != nullptr ? definition.text : "", true, false});
        const int left = DialogUnitsToPixels(definition.x, BaseUnitX, 4);
        const int top = DialogUnitsToPixels(definition.y, BaseUnitY, 8);
        SetControlRect(index, SRect{left, top, left + DialogUnitsToPixels(definition.width, BaseUnitX, 4),
                                    top + DialogUnitsToPixels(definition.height, BaseUnitY, 8)});
    }
    m_backend.RegisterWindow(*this);
    InitDialog();
    return true;
}

int CHeadlessDialogWindow::RunModal()
{
    if (!Create())
        return -1;
    while (!IsEnded())
    {
        CHeadlessBackend::ScriptStep step;
        if (!m_backend.TakeStep(step))
        {
            m_backend.Fail("the modal loop of \"" + m_caption + "\" has no scripted step left");
            return -1;
        }
        // What needs painting is painted before the loop takes the next input, as a toolkit's does.
        PaintIfInvalid();
        step(*this);
    }
    return GetResult();
}

bool CHeadlessDialogWindow::Known(int id) const
{
    if (FindControl(id) >= 0)
        return true;
    m_backend.Fail("no control with id " + std::to_string(id) + " in \"" + m_caption + "\"");
    return false;
}

int CHeadlessDialogWindow::EnabledIndex(int id) const
{
    return IsEnabled(id) ? FindControl(id) : -1;
}

void CHeadlessDialogWindow::SetFocusControl(int index)
{
    const int previous = m_focus;
    if (previous == index)
        return;
    // The focus has moved by the time the field that lost it reports so.
    m_focus = index;
    if (previous >= 0)
        RouteFocusLost(previous);
}

bool CHeadlessDialogWindow::Click(int id)
{
    const int index = EnabledIndex(id);
    if (index < 0)
        return false;
    const SControlTemplate& definition = GetControlTemplate(index);
    if (definition.kind != EControlKind::PushButton && definition.kind != EControlKind::CheckBox)
        return false;
    // Pressing the mouse on a button gives it the focus before the click is reported.
    SetFocusControl(index);
    if (definition.kind == EControlKind::CheckBox && definition.HasStyle(StyleAutoCheck))
        m_state[index].checked = !m_state[index].checked;
    m_dialog.HandleCommand(id, ECommandCode::Clicked);
    return true;
}

bool CHeadlessDialogWindow::Type(int id, const std::string& text)
{
    const int index = EnabledIndex(id);
    if (index < 0 || GetControlTemplate(index).kind != EControlKind::Edit)
        return false;
    SetFocusControl(index);
    m_state[index].text = text;
    return true;
}

bool CHeadlessDialogWindow::MoveFocus(int id)
{
    const int index = EnabledIndex(id);
    if (index >= 0)
        SetFocusControl(index);
    return index >= 0;
}

void CHeadlessDialogWindow::PressEnter()
{
    // A focused push button takes Enter itself.
    if (!RouteEnter())
        m_dialog.HandleCommand(GetControlTemplate(m_focus).id, ECommandCode::Clicked);
}

bool CHeadlessDialogWindow::ChooseSystemMenuItem(unsigned id)
{
    for (const SSystemMenuItem& item : GetSystemMenu())
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
    m_invalid = false;
    std::vector<SPaintOperation> operations;
    const SFontHandle font{DialogFontTag};
    CHeadlessPaintContext dialogContext(operations, 0, GetClientRect(), font);
    PaintDialog(dialogContext);
    for (int index = 0; index < GetControlCount(); ++index)
    {
        const SRect rect = GetControlRect(index);
        CHeadlessPaintContext labelContext(operations, GetControlTemplate(index).id,
                                           SRect{0, 0, rect.Width(), rect.Height()}, font);
        PaintLabel(index, labelContext);
    }
    return operations;
}

void CHeadlessDialogWindow::PaintIfInvalid()
{
    if (m_invalid)
        Paint();
}

unsigned CHeadlessDialogWindow::GetTimerInterval(unsigned id) const
{
    const auto found = m_timers.find(id);
    return found != m_timers.end() ? found->second : 0;
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

bool CHeadlessDialogWindow::StartTimer(unsigned id, unsigned intervalMilliseconds)
{
    m_timers[id] = intervalMilliseconds;
    return true;
}
