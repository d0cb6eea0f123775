#include "ui/wx/WxDialogWindow.h"

#include "ui/Dialog.h"
#include "ui/IconResource.h"
#include "ui/Static.h"
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

wxRect ToWxRect(const SRect& rect)
{
    return wxRect(rect.left, rect.top, rect.Width(), rect.Height());
}

} // namespace

CWxDialogWindow::CWxDialogWindow(CDialog& dialog, const SDialogTemplate& dialogTemplate,
                                 CWxDialogWindow* parent)
    : CDialogWindow(dialog, dialogTemplate), m_parent(parent),
      m_natives(static_cast<size_t>(GetControlCount()))
{
}

CWxDialogWindow::~CWxDialogWindow()
{
    MarkEnded();
    m_timers.clear();
    m_stoppedTimers.clear();
    // Deleting the window also drops its pending deferred calls.
    delete m_native;
}

wxWindow* CWxDialogWindow::GetControlWindow(int index) const
{
    return index >= 0 && index < GetControlCount() ? m_natives[index].window : nullptr;
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

    for (int index = 0; index < GetControlCount(); ++index)
    {
        const SControlTemplate& definition = GetControlTemplate(index);
        const wxPoint position = m_native->ConvertDialogToPixels(wxPoint(definition.x, definition.y));
        const wxSize size = m_native->ConvertDialogToPixels(wxSize(definition.width, definition.height));
        SetControlRect(index, SRect{position.x, position.y, position.x + size.x, position.y + size.y});
        m_natives[index].window = CreateControlWindow(index);
    }
    // Last among the children, so that the Tab key goes round from it to the first control.
    m_keyboardHolder = new CWxKeyboardHolder(m_native);

    m_native->Bind(wxEVT_PAINT, &CWxDialogWindow::OnPaint, this);
    auto clicked = [this](wxCommandEvent& event)
    {
        ReportFocusLost();
        m_dialog.HandleCommand(event.GetId(), ECommandCode::Clicked);
    };
    m_native->Bind(wxEVT_BUTTON, clicked);
    m_native->Bind(wxEVT_CHECKBOX, clicked);
    m_native->Bind(wxEVT_CHAR_HOOK, &CWxDialogWindow::OnCharHook, this);
    m_native->Bind(wxEVT_CLOSE_WINDOW, &CWxDialogWindow::OnClose, this);
    m_native->Bind(wxEVT_CONTEXT_MENU, &CWxDialogWindow::OnContextMenu, this);
    m_native->CentreOnScreen();
    InitDialog();
    return true;
}

wxWindow* CWxDialogWindow::CreateControlWindow(int index)
{
    const SControlTemplate& definition = GetControlTemplate(index);
    const int id = definition.id >= 0 ? definition.id : wxID_ANY;
    const wxRect rect = ToWxRect(GetControlRect(index));
    const wxString text = FromUtf8(definition.text != nullptr ? definition.text : "");
    switch (definition.kind)
    {
    case EControlKind::Label:
        return new CWxStaticText(m_native, id, text, rect.GetPosition(), rect.GetSize(),
                                 definition.HasStyle(StyleSunken));
    case EControlKind::Edit:
    {
        auto* edit = new wxTextCtrl(m_native, id, text, rect.GetPosition(), rect.GetSize(),
                                    definition.HasStyle(StylePassword) ? wxTE_PASSWORD : 0);
        edit->Bind(wxEVT_KILL_FOCUS, &CWxDialogWindow::OnEditKillFocus, this);
        return edit;
    }
    case EControlKind::CheckBox:
        return new wxCheckBox(m_native, id, text, rect.GetPosition(), rect.GetSize());
    case EControlKind::PushButton:
    {
        auto* button = new wxButton(m_native, id, text, rect.GetPosition(), rect.GetSize());
        if (definition.HasStyle(StyleDefault))
            button->SetDefault();
        return button;
    }
    case EControlKind::ProgressBar:
        return new wxGauge(m_native, id, 100, rect.GetPosition(), rect.GetSize(),
                           wxGA_HORIZONTAL | wxGA_SMOOTH);
    case EControlKind::Icon:
    {
        const SIconResource* icon = GetControlIcon(index);
        const wxBitmap bitmap =
            icon != nullptr ? CWxIconImages::Bitmap(*icon, DefaultSystemIconSize) : wxBitmap();
        return new wxStaticBitmap(m_native, id, bitmap, rect.GetPosition());
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
    if (!IsEnded())
        m_native->ShowModal();
    return GetResult();
}

void CWxDialogWindow::EndNative(int result)
{
    if (m_native == nullptr)
        return;
    if (m_native->IsModal())
        m_native->EndModal(result);
    else
        m_native->Hide();
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

std::string CWxDialogWindow::GetNativeText(int index) const
{
    const SNative& native = m_natives[index];
    if (native.window == nullptr)
        return native.text;
    if (GetControlTemplate(index).kind == EControlKind::Edit)
        return static_cast<wxTextCtrl*>(native.window)->GetValue().utf8_string();
    return native.window->GetLabel().utf8_string();
}

void CWxDialogWindow::SetNativeText(int index, const std::string& text)
{
    SNative& native = m_natives[index];
    if (native.window == nullptr)
    {
        native.text = text;
        RefreshControlArea(index);
    }
    else if (GetControlTemplate(index).kind == EControlKind::Edit)
        static_cast<wxTextCtrl*>(native.window)->ChangeValue(FromUtf8(text));
    else
        native.window->SetLabel(FromUtf8(text));
}

bool CWxDialogWindow::IsControlEnabled(int index) const
{
    const SNative& native = m_natives[index];
    return native.window != nullptr ? native.window->IsEnabled() : native.enabled;
}

void CWxDialogWindow::EnableNative(int index, bool enable)
{
    SNative& native = m_natives[index];
    native.enabled = enable;
    if (native.window != nullptr)
        native.window->Enable(enable);
}

bool CWxDialogWindow::IsNativeChecked(int index) const
{
    const wxWindow* window = m_natives[index].window;
    return window != nullptr && static_cast<const wxCheckBox*>(window)->GetValue();
}

void CWxDialogWindow::CheckNative(int index, bool checked)
{
    if (m_natives[index].window != nullptr)
        static_cast<wxCheckBox*>(m_natives[index].window)->SetValue(checked);
}

bool CWxDialogWindow::HasNativeFocus(int index) const
{
    wxWindow* focus = wxWindow::FindFocus();
    const wxWindow* window = m_natives[index].window;
    // The focus may sit in an inner part of a composite control.
    return focus != nullptr && window != nullptr && (focus == window || window->IsDescendant(focus));
}

void CWxDialogWindow::SetFocusControl(int index)
{
    wxWindow* window = index >= 0 ? m_natives[index].window : m_keyboardHolder;
    if (window != nullptr)
        window->SetFocus();
}

void CWxDialogWindow::ShowProgress(int index, const SProgress& progress)
{
    auto* gauge = static_cast<wxGauge*>(m_natives[index].window);
    if (gauge == nullptr)
        return;
    gauge->SetRange(progress.upper - progress.lower);
    gauge->SetValue(progress.position - progress.lower);
}

void CWxDialogWindow::SubclassNative(int index, bool subclassed)
{
    SNative& native = m_natives[index];
    if (subclassed && native.window != nullptr)
    {
        native.text = GetNativeText(index);
        native.enabled = native.window->IsEnabled();
        native.window->Destroy();
        native.window = nullptr;
    }
    else if (!subclassed && native.window == nullptr && m_native != nullptr && !IsEnded())
    {
        native.window = CreateControlWindow(index);
        native.window->Enable(native.enabled);
        SetNativeText(index, native.text);
    }
}

void CWxDialogWindow::InvalidateControl(int index)
{
    if (m_natives[index].window != nullptr)
        m_natives[index].window->Refresh();
    else
        RefreshControlArea(index);
}

void CWxDialogWindow::RefreshControlArea(int index)
{
    if (m_native != nullptr)
        m_native->RefreshRect(ToWxRect(GetControlRect(index)));
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
    const wxSize size = m_native != nullptr ? m_native->GetClientSize() : wxSize(0, 0);
    return SRect{0, 0, size.x, size.y};
}

SRgbColour CWxDialogWindow::GetSystemColour(ESystemColour colour) const
{
    static const wxSystemColour Native[] = {wxSYS_COLOUR_BTNSHADOW, wxSYS_COLOUR_BTNFACE,
                                            wxSYS_COLOUR_BTNHIGHLIGHT};
    return ToRgb(wxSystemSettings::GetColour(Native[static_cast<int>(colour)]));
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

void CWxDialogWindow::OnPaint(wxPaintEvent&)
{
    wxAutoBufferedPaintDC dc(m_native);
    const wxRegion& update = m_native->GetUpdateRegion();
    const SFontHandle font{&m_font};
    const int iconSize = GetSystemIconWidth();
    {
        CWxPaintContext context(dc, GetClientRect(), font, iconSize, m_paletteImage);
        PaintDialog(context);
    }
    for (int index = 0; index < GetControlCount(); ++index)
    {
        const SRect rect = GetControlRect(index);
        // A control's update (progress, status) repaints its own part; labels elsewhere stay.
        if (GetSubclassedLabel(index) == nullptr || update.Contains(ToWxRect(rect)) == wxOutRegion)
            continue;
        dc.SetDeviceOrigin(rect.left, rect.top);
        dc.SetClippingRegion(0, 0, rect.Width(), rect.Height());
        CWxPaintContext context(dc, SRect{0, 0, rect.Width(), rect.Height()}, font, iconSize, m_paletteImage);
        PaintLabel(index, context);
        dc.DestroyClippingRegion();
        dc.SetDeviceOrigin(0, 0);
    }
}

void CWxDialogWindow::OnCharHook(wxKeyEvent& event)
{
    const int key = event.GetKeyCode();
    if (key == WXK_ESCAPE)
        RouteEscape();
    else if ((key != WXK_RETURN && key != WXK_NUMPAD_ENTER) || !RouteEnter())
        event.Skip();
}

void CWxDialogWindow::OnClose(wxCloseEvent& event)
{
    if (!event.CanVeto())
    {
        event.Skip();
        return;
    }
    event.Veto();
    RouteCloseBox();
}

void CWxDialogWindow::OnContextMenu(wxContextMenuEvent& event)
{
    if (GetSystemMenu().empty())
    {
        event.Skip();
        return;
    }
    wxMenu menu;
    for (const SSystemMenuItem& item : GetSystemMenu())
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
    if (IsEnded())
        return;
    // Reported once the toolkit has finished moving the focus, since a message box opened from
    // inside its focus handling would disturb it; but before the click that moved it.
    m_focusLost.push_back(FindControl(event.GetId()));
    m_native->CallAfter([this]() { ReportFocusLost(); });
}

void CWxDialogWindow::ReportFocusLost()
{
    std::vector<int> lost;
    lost.swap(m_focusLost);
    for (int index : lost)
        RouteFocusLost(index);
}
