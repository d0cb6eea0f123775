#include "ui/wx/WxDialogWindow.h"

#include "ui/Dialog.h"
#include "ui/IconResource.h"
#include "ui/StandardIds.h"
#include "ui/Static.h"
#include "ui/TabOrder.h"
#include "ui/wx/WxIconImages.h"
#include "ui/wx/WxKeyboardHolder.h"
#include "ui/wx/WxPaintContext.h"
#include "ui/wx/WxStaticText.h"
#include "ui/wx/WxWindowTimer.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dcbuffer.h>
#include <wx/gauge.h>
#include <wx/menu.h>
#include <wx/settings.h>
#include <wx/statbmp.h>
#include <wx/textctrl.h>

#include <cstdlib>

namespace
{

constexpr int DefaultSystemIconSize = 32;

wxString FromUtf8(const std::string& text)
{
    return wxString::FromUTF8(text.c_str());
}

SRgbColour ToRgb(const wxColour& colour)
{
    return SRgbColour{colour.Red(), colour.Green(), colour.Blue()};
}

} // namespace

CWxDialogWindow::CWxDialogWindow(CDialog& dialog, const SDialogTemplate& dialogTemplate,
                                 CWxDialogWindow* parent)
    : m_dialog(dialog), m_template(dialogTemplate), m_parent(parent)
{
}

CWxDialogWindow::~CWxDialogWindow()
{
    m_ending = true;
    m_timers.clear();
    m_stoppedTimers.clear();
    // Deleting the window also drops its pending deferred calls.
    delete m_native;
}

wxWindow* CWxDialogWindow::GetControlWindow(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_controls.size()))
        return nullptr;
    return m_controls[index].window;
}

bool CWxDialogWindow::Build()
{
    if (m_built)
        return m_native != nullptr;
    m_built = true;

    long style = wxCAPTION | wxCLOSE_BOX;
    if (m_template.HasStyle(DialogStyleSystemMenu))
        style |= wxSYSTEM_MENU;
    wxWindow* owner = m_parent != nullptr ? m_parent->GetNativeDialog() : nullptr;
    m_native =
        new wxDialog(owner, wxID_ANY, FromUtf8(m_template.caption != nullptr ? m_template.caption : ""),
                     wxDefaultPosition, wxDefaultSize, style);
    // The default GUI font stands in for the template's font; dialog units follow from it.
    m_font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    m_native->SetFont(m_font);
    m_native->SetBackgroundStyle(wxBG_STYLE_PAINT);
    m_native->SetClientSize(m_native->ConvertDialogToPixels(wxSize(m_template.width, m_template.height)));

    for (int index = 0; index < m_template.controlCount; ++index)
    {
        SControl control;
        control.definition = m_template.controls[index];
        const wxPoint position =
            m_native->ConvertDialogToPixels(wxPoint(control.definition.x, control.definition.y));
        const wxSize size =
            m_native->ConvertDialogToPixels(wxSize(control.definition.width, control.definition.height));
        control.rect = SRect{position.x, position.y, position.x + size.x, position.y + size.y};
        control.window = CreateControlWindow(control);
        m_controls.push_back(control);
    }
    // Last among the children, so that the Tab key goes round from it to the first control.
    m_keyboardHolder = new CWxKeyboardHolder(m_native);

    m_native->Bind(wxEVT_PAINT, &CWxDialogWindow::OnPaint, this);
    m_native->Bind(wxEVT_BUTTON, &CWxDialogWindow::OnCommandEvent, this);
    m_native->Bind(wxEVT_CHECKBOX, &CWxDialogWindow::OnCommandEvent, this);
    m_native->Bind(wxEVT_CHAR_HOOK, &CWxDialogWindow::OnCharHook, this);
    m_native->Bind(wxEVT_CLOSE_WINDOW, &CWxDialogWindow::OnClose, this);
    m_native->Bind(wxEVT_CONTEXT_MENU, &CWxDialogWindow::OnContextMenu, this);
    m_native->CentreOnScreen();

    if (m_dialog.HandleInitDialog())
        FocusFirstTabStop();
    return true;
}

wxWindow* CWxDialogWindow::CreateControlWindow(const SControl& control)
{
    const SControlTemplate& definition = control.definition;
    const int id = definition.id >= 0 ? definition.id : wxID_ANY;
    const wxPoint position(control.rect.left, control.rect.top);
    const wxSize size(control.rect.Width(), control.rect.Height());
    const wxString text = FromUtf8(definition.text != nullptr ? definition.text : "");
    switch (definition.kind)
    {
    case EControlKind::Label:
        return new CWxStaticText(m_native, id, text, position, size, definition.HasStyle(StyleSunken));
    case EControlKind::Edit:
    {
        auto* edit = new wxTextCtrl(m_native, id, text, position, size,
                                    definition.HasStyle(StylePassword) ? wxTE_PASSWORD : 0);
        edit->Bind(wxEVT_KILL_FOCUS, &CWxDialogWindow::OnEditKillFocus, this);
        return edit;
    }
    case EControlKind::CheckBox:
        return new wxCheckBox(m_native, id, text, position, size);
    case EControlKind::PushButton:
    {
        auto* button = new wxButton(m_native, id, text, position, size);
        if (definition.HasStyle(StyleDefault))
            button->SetDefault();
        return button;
    }
    case EControlKind::ProgressBar:
        return new wxGauge(m_native, id, 100, position, size, wxGA_HORIZONTAL | wxGA_SMOOTH);
    case EControlKind::Icon:
    {
        const SIconResource* icon =
            m_dialog.LoadIcon(std::atoi(definition.text != nullptr ? definition.text : "0"));
        const wxBitmap bitmap =
            icon != nullptr ? CWxIconImages::Bitmap(*icon, DefaultSystemIconSize) : wxBitmap();
        return new wxStaticBitmap(m_native, id, bitmap, position);
    }
    }
    return nullptr;
}

bool CWxDialogWindow::Create()
{
    if (!Build())
        return false;
    m_native->Show();
    return true;
}

int CWxDialogWindow::RunModal()
{
    if (!Build())
        return -1;
    // The initialisation may already have ended the dialog.
    if (m_ending)
        return m_result;
    m_native->ShowModal();
    return m_result;
}

void CWxDialogWindow::EndModal(int result)
{
    m_result = result;
    m_ending = true;
    if (m_native == nullptr)
        return;
    if (m_native->IsModal())
        m_native->EndModal(result);
    else
        m_native->Hide();
}

int CWxDialogWindow::DefaultButtonId() const
{
    for (const SControl& control : m_controls)
    {
        if (control.definition.kind == EControlKind::PushButton && control.definition.HasStyle(StyleDefault))
            return control.definition.id;
    }
    return IdOk;
}

void CWxDialogWindow::FocusFirstTabStop()
{
    const int first = CTabOrder::NextEnabledTabStop(*this, -1);
    if (first >= 0)
        SetFocusControl(first);
}

std::string CWxDialogWindow::GetCaption() const
{
    return m_native != nullptr ? m_native->GetTitle().utf8_string() : std::string();
}

void CWxDialogWindow::SetCaption(const std::string& caption)
{
    if (m_native != nullptr)
        m_native->SetTitle(FromUtf8(caption));
}

int CWxDialogWindow::FindControl(int id) const
{
    for (size_t index = 0; index < m_controls.size(); ++index)
    {
        if (m_controls[index].definition.id == id)
            return static_cast<int>(index);
    }
    return -1;
}

std::string CWxDialogWindow::GetControlText(int index) const
{
    const SControl& control = m_controls[index];
    if (control.window == nullptr)
        return control.text;
    switch (control.definition.kind)
    {
    case EControlKind::Edit:
        return static_cast<wxTextCtrl*>(control.window)->GetValue().utf8_string();
    case EControlKind::ProgressBar:
    case EControlKind::Icon:
        return std::string();
    case EControlKind::Label:
    case EControlKind::CheckBox:
    case EControlKind::PushButton:
        break;
    }
    return control.window->GetLabel().utf8_string();
}

void CWxDialogWindow::SetControlText(int index, const std::string& text)
{
    SControl& control = m_controls[index];
    if (control.window == nullptr)
    {
        control.text = text;
        m_native->RefreshRect(
            wxRect(control.rect.left, control.rect.top, control.rect.Width(), control.rect.Height()));
        return;
    }
    switch (control.definition.kind)
    {
    case EControlKind::Edit:
        static_cast<wxTextCtrl*>(control.window)->ChangeValue(FromUtf8(text));
        return;
    case EControlKind::ProgressBar:
    case EControlKind::Icon:
        return;
    case EControlKind::Label:
    case EControlKind::CheckBox:
    case EControlKind::PushButton:
        control.window->SetLabel(FromUtf8(text));
        return;
    }
}

bool CWxDialogWindow::IsControlEnabled(int index) const
{
    const SControl& control = m_controls[index];
    return control.window != nullptr ? control.window->IsEnabled() : control.enabled;
}

void CWxDialogWindow::EnableControl(int index, bool enable)
{
    // GTK would leave the focus nowhere, where no key reaches the dialog: it moves on first, to
    // the next control that can take it, as a native dialog moves it.
    if (!enable && GetFocusControl() == index)
    {
        const int next = CTabOrder::NextEnabledTabStop(*this, index);
        if (next >= 0)
            SetFocusControl(next);
        else
            m_keyboardHolder->SetFocus();
    }
    SControl& control = m_controls[index];
    control.enabled = enable;
    if (control.window != nullptr)
        control.window->Enable(enable);
}

bool CWxDialogWindow::IsControlChecked(int index) const
{
    const SControl& control = m_controls[index];
    if (control.definition.kind != EControlKind::CheckBox || control.window == nullptr)
        return false;
    return static_cast<wxCheckBox*>(control.window)->GetValue();
}

void CWxDialogWindow::CheckControl(int index, bool checked)
{
    const SControl& control = m_controls[index];
    if (control.definition.kind == EControlKind::CheckBox && control.window != nullptr)
        static_cast<wxCheckBox*>(control.window)->SetValue(checked);
}

int CWxDialogWindow::GetFocusControl() const
{
    const wxWindow* focus = wxWindow::FindFocus();
    for (size_t index = 0; focus != nullptr && index < m_controls.size(); ++index)
    {
        const wxWindow* window = m_controls[index].window;
        // The focus may sit in an inner part of a composite control.
        if (window != nullptr && (focus == window || window->IsDescendant(const_cast<wxWindow*>(focus))))
            return static_cast<int>(index);
    }
    return -1;
}

void CWxDialogWindow::SetFocusControl(int index)
{
    if (index < 0)
    {
        if (m_keyboardHolder != nullptr)
            m_keyboardHolder->SetFocus();
        return;
    }
    if (m_controls[index].window != nullptr)
        m_controls[index].window->SetFocus();
}

void CWxDialogWindow::SetProgressRange(int index, int lower, int upper)
{
    SControl& control = m_controls[index];
    if (control.definition.kind != EControlKind::ProgressBar || upper < lower)
        return;
    control.progressLower = lower;
    control.progressUpper = upper;
    auto* gauge = static_cast<wxGauge*>(control.window);
    gauge->SetRange(upper - lower);
    SetProgressPosition(index, control.progressPosition);
}

void CWxDialogWindow::SetProgressPosition(int index, int position)
{
    SControl& control = m_controls[index];
    if (control.definition.kind != EControlKind::ProgressBar)
        return;
    if (position < control.progressLower)
        position = control.progressLower;
    if (position > control.progressUpper)
        position = control.progressUpper;
    control.progressPosition = position;
    static_cast<wxGauge*>(control.window)->SetValue(position - control.progressLower);
}

SFontHandle CWxDialogWindow::GetControlFont(int) const
{
    return SFontHandle{&m_font};
}

void CWxDialogWindow::SubclassLabel(int index, CStatic* label)
{
    SControl& control = m_controls[index];
    if (control.definition.kind != EControlKind::Label)
        return;
    if (label != nullptr && control.window != nullptr)
    {
        control.text = GetControlText(index);
        control.enabled = control.window->IsEnabled();
        control.window->Destroy();
        control.window = nullptr;
    }
    else if (label == nullptr && control.window == nullptr && !m_ending)
    {
        control.window = CreateControlWindow(control);
        control.window->Enable(control.enabled);
    }
    control.label = label;
    InvalidateControl(index);
}

void CWxDialogWindow::InvalidateControl(int index)
{
    const SControl& control = m_controls[index];
    if (control.window != nullptr)
        control.window->Refresh();
    else if (m_native != nullptr)
        m_native->RefreshRect(
            wxRect(control.rect.left, control.rect.top, control.rect.Width(), control.rect.Height()));
}

SRect CWxDialogWindow::GetWindowRect() const
{
    if (m_native == nullptr)
        return SRect{};
    const wxRect rect = m_native->GetRect();
    return SRect{rect.x, rect.y, rect.x + rect.width, rect.y + rect.height};
}

SRect CWxDialogWindow::GetClientRect() const
{
    if (m_native == nullptr)
        return SRect{};
    const wxSize size = m_native->GetClientSize();
    return SRect{0, 0, size.x, size.y};
}

SRgbColour CWxDialogWindow::GetSystemColour(ESystemColour colour) const
{
    switch (colour)
    {
    case ESystemColour::ButtonShadow:
        return ToRgb(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW));
    case ESystemColour::ButtonFace:
        return ToRgb(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
    case ESystemColour::ButtonHighlight:
        break;
    }
    return ToRgb(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNHIGHLIGHT));
}

bool CWxDialogWindow::IsMinimised() const
{
    return m_native != nullptr && m_native->IsIconized();
}

int CWxDialogWindow::GetSystemIconWidth() const
{
    const int width = wxSystemSettings::GetMetric(wxSYS_ICON_X, m_native);
    return width > 0 ? width : DefaultSystemIconSize;
}

int CWxDialogWindow::GetSystemIconHeight() const
{
    const int height = wxSystemSettings::GetMetric(wxSYS_ICON_Y, m_native);
    return height > 0 ? height : DefaultSystemIconSize;
}

void CWxDialogWindow::SetIcon(const SIconResource& icon, bool)
{
    // The toolkit takes all sizes at once and picks the big and the small one itself.
    if (m_native != nullptr)
        m_native->SetIcons(CWxIconImages::Bundle(icon));
}

void CWxDialogWindow::Invalidate()
{
    if (m_native != nullptr)
        m_native->Refresh();
}

bool CWxDialogWindow::StartTimer(unsigned id, unsigned intervalMilliseconds)
{
    if (m_native == nullptr)
        return false;
    StopTimer(id);
    auto timer = std::make_unique<CWxWindowTimer>(m_dialog, id, static_cast<int>(intervalMilliseconds));
    if (!timer->StartTicking())
        return false;
    m_timers[id] = std::move(timer);
    return true;
}

bool CWxDialogWindow::StopTimer(unsigned id)
{
    const auto found = m_timers.find(id);
    if (found == m_timers.end())
        return false;
    // The timer may be inside its own tick right now: keep the object until the window goes.
    found->second->Halt();
    m_stoppedTimers.push_back(std::move(found->second));
    m_timers.erase(found);
    return true;
}

bool CWxDialogWindow::HasSystemMenu() const
{
    return m_template.HasStyle(DialogStyleSystemMenu);
}

void CWxDialogWindow::AppendSystemMenuItem(unsigned id, const std::string& text)
{
    m_systemMenu.push_back(SMenuItem{id, text});
}

void CWxDialogWindow::OnPaint(wxPaintEvent&)
{
    wxAutoBufferedPaintDC dc(m_native);
    PaintDialog(dc, m_native->GetUpdateRegion());
}

void CWxDialogWindow::PaintDialog(wxDC& dc, const wxRegion& update)
{
    const SRect client = GetClientRect();
    const SFontHandle font{&m_font};
    const int iconSize = GetSystemIconWidth();
    {
        CWxPaintContext context(dc, client, font, iconSize, m_paletteImage);
        if (!m_dialog.HandleEraseBackground(context))
            context.FillRect(client, GetSystemColour(ESystemColour::ButtonFace));
        m_dialog.HandlePaint(context);
    }
    for (const SControl& control : m_controls)
    {
        const wxRect area(control.rect.left, control.rect.top, control.rect.Width(), control.rect.Height());
        // A control's update (progress, status) repaints its own part; labels elsewhere stay.
        if (control.label == nullptr || update.Contains(area) == wxOutRegion)
            continue;
        const SRect labelClient{0, 0, control.rect.Width(), control.rect.Height()};
        dc.SetDeviceOrigin(control.rect.left, control.rect.top);
        dc.SetClippingRegion(0, 0, labelClient.Width(), labelClient.Height());
        CWxPaintContext context(dc, labelClient, font, iconSize, m_paletteImage);
        control.label->HandleEraseBackground(context);
        control.label->HandlePaint(context);
        dc.DestroyClippingRegion();
        dc.SetDeviceOrigin(0, 0);
    }
}

void CWxDialogWindow::OnCommandEvent(wxCommandEvent& event)
{
    m_dialog.HandleCommand(event.GetId(), ECommandCode::Clicked);
}

void CWxDialogWindow::OnCharHook(wxKeyEvent& event)
{
    const int key = event.GetKeyCode();
    if (key == WXK_ESCAPE)
    {
        m_dialog.HandleCommand(IdCancel, ECommandCode::Clicked);
        return;
    }
    if (key == WXK_RETURN || key == WXK_NUMPAD_ENTER)
    {
        // A focused push button takes Enter itself; everywhere else it reaches the default button.
        const int focus = GetFocusControl();
        if (focus >= 0 && m_controls[focus].definition.kind == EControlKind::PushButton)
        {
            event.Skip();
            return;
        }
        m_dialog.HandleCommand(DefaultButtonId(), ECommandCode::Clicked);
        return;
    }
    event.Skip();
}

void CWxDialogWindow::OnClose(wxCloseEvent& event)
{
    if (!event.CanVeto())
    {
        event.Skip();
        return;
    }
    // The close box is a system command; the dialog decides whether to close.
    event.Veto();
    m_dialog.HandleSysCommand(SysCommandClose, 0);
}

void CWxDialogWindow::OnContextMenu(wxContextMenuEvent& event)
{
    if (m_systemMenu.empty())
    {
        event.Skip();
        return;
    }
    wxMenu menu;
    for (const SMenuItem& item : m_systemMenu)
    {
        if (item.id == 0)
            menu.AppendSeparator();
        else
            menu.Append(static_cast<int>(item.id), FromUtf8(item.text));
    }
    const int chosen = m_native->GetPopupMenuSelectionFromUser(menu);
    if (chosen != wxID_NONE)
        m_dialog.HandleSysCommand(static_cast<unsigned>(chosen), 0);
}

void CWxDialogWindow::OnEditKillFocus(wxFocusEvent& event)
{
    event.Skip();
    if (m_ending)
        return;
    // Reported after the toolkit has finished moving the focus: a message box opened from inside
    // its focus handling would disturb it.
    const int id = event.GetId();
    m_native->CallAfter(
        [this, id]()
        {
            if (!m_ending)
                m_dialog.HandleCommand(id, ECommandCode::KillFocus);
        });
}
