#include "ui/wx/WxBackend.h"

#include "support/TextTranslator.h"
#include "ui/wx/WxApplication.h"
#include "ui/wx/WxDialogWindow.h"

#include <wx/dirdlg.h>
#include <wx/evtloop.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/intl.h>
#include <wx/msgdlg.h>
#include <wx/stockitem.h>
#include <wx/translation.h>
#include <wx/utils.h>

#include <chrono>

namespace
{

// How often a wait looks at what it waits for; well inside a window timer's period.
constexpr unsigned long WaitPollMilliseconds = 5;

wxWindow* NativeOwner(CDialogWindow* owner)
{
    auto* window = dynamic_cast<CWxDialogWindow*>(owner);
    return window != nullptr ? window->GetNativeDialog() : nullptr;
}

long MessageBoxStyle(EMessageBoxIcon icon, EMessageBoxButtons buttons)
{
    long style = 0;
    switch (buttons)
    {
    case EMessageBoxButtons::Ok:
        style = wxOK;
        break;
    case EMessageBoxButtons::OkCancel:
        style = wxOK | wxCANCEL;
        break;
    case EMessageBoxButtons::YesNo:
        style = wxYES_NO;
        break;
    }
    switch (icon)
    {
    case EMessageBoxIcon::None:
        return style | wxICON_NONE;
    case EMessageBoxIcon::Stop:
        return style | wxICON_ERROR;
    case EMessageBoxIcon::Question:
        return style | wxICON_QUESTION;
    case EMessageBoxIcon::Exclamation:
        return style | wxICON_EXCLAMATION;
    }
    return style;
}

// The toolkit's own words for the buttons, from its catalogue for the display language. Given as
// text, since the native box would otherwise take them from the desktop's language.
void LabelButtons(wxMessageDialog& box, EMessageBoxButtons buttons)
{
    switch (buttons)
    {
    case EMessageBoxButtons::Ok:
        box.SetOKLabel(wxGetStockLabel(wxID_OK));
        return;
    case EMessageBoxButtons::OkCancel:
        box.SetOKCancelLabels(wxGetStockLabel(wxID_OK), wxGetStockLabel(wxID_CANCEL));
        return;
    case EMessageBoxButtons::YesNo:
        box.SetYesNoLabels(wxGetStockLabel(wxID_YES), wxGetStockLabel(wxID_NO));
        return;
    }
}

EMessageBoxResult ToResult(int answer, EMessageBoxButtons buttons)
{
    switch (answer)
    {
    case wxID_OK:
        return EMessageBoxResult::Ok;
    case wxID_YES:
        return EMessageBoxResult::Yes;
    case wxID_NO:
        return EMessageBoxResult::No;
    case wxID_CANCEL:
    default:
        break;
    }
    // Closed without a button (Escape or the window manager): the box's most cautious answer.
    switch (buttons)
    {
    case EMessageBoxButtons::YesNo:
        return EMessageBoxResult::No;
    case EMessageBoxButtons::OkCancel:
        return EMessageBoxResult::Cancel;
    case EMessageBoxButtons::Ok:
        break;
    }
    return EMessageBoxResult::Ok;
}

} // namespace

CWxBackend::~CWxBackend()
{
    if (m_started)
        wxEntryCleanup();
}

bool CWxBackend::Start(int& argc, char** argv)
{
    if (m_started)
        return true;
    wxApp::SetInstance(new CWxApplication());
    if (!wxEntryStart(argc, argv))
        return false;
    m_started = true;
    if (!wxTheApp->CallOnInit())
        return false;
    wxImage::AddHandler(new wxPNGHandler());
    return true;
}

void CWxBackend::UseDisplayLanguage()
{
    if (g_translator.Language() == CTextTranslator::LanguageUndetermined)
        g_translator.DetectLanguage();
    const int32_t language = g_translator.Language();
    if (language == m_toolkitLanguage)
        return;
    // Independent of the process's locale, which may not exist on the system (setlocale fails,
    // and the toolkit's texts would stay English).
    auto* translations = new wxTranslations();
    translations->SetLanguage(language == CTextTranslator::LanguageGerman ? wxLANGUAGE_GERMAN
                                                                          : wxLANGUAGE_ENGLISH);
    translations->AddStdCatalog();
    wxTranslations::Set(translations);
    m_toolkitLanguage = language;
}

std::unique_ptr<CDialogWindow>
CWxBackend::CreateDialogWindow(CDialog& dialog, const SDialogTemplate& dialogTemplate, CDialogWindow* parent)
{
    if (!m_started)
        return nullptr;
    return std::make_unique<CWxDialogWindow>(dialog, dialogTemplate, dynamic_cast<CWxDialogWindow*>(parent));
}

EMessageBoxResult CWxBackend::ShowMessageBox(CDialogWindow* owner, const std::string& text,
                                             const std::string& title, EMessageBoxIcon icon,
                                             EMessageBoxButtons buttons)
{
    if (!m_started)
        return EMessageBoxResult::None;
    UseDisplayLanguage();
    wxMessageDialog box(NativeOwner(owner), wxString::FromUTF8(text.c_str()),
                        wxString::FromUTF8(title.c_str()), MessageBoxStyle(icon, buttons));
    LabelButtons(box, buttons);
    return ToResult(box.ShowModal(), buttons);
}

SFolderChoice CWxBackend::ChooseFolder(CDialogWindow* owner, const std::string& title)
{
    if (!m_started)
        return SFolderChoice{EFolderChoiceResult::Unavailable, std::string()};
    UseDisplayLanguage();
    wxDirDialog chooser(NativeOwner(owner), wxString::FromUTF8(title.c_str()), wxEmptyString,
                        wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
    if (chooser.ShowModal() != wxID_OK)
        return SFolderChoice{EFolderChoiceResult::Cancelled, std::string()};
    return SFolderChoice{EFolderChoiceResult::Chosen, chooser.GetPath().utf8_string()};
}

void CWxBackend::WaitWhile(const std::function<bool()>& busy, unsigned maxMilliseconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(maxMilliseconds);
    while (busy() && std::chrono::steady_clock::now() < deadline)
    {
        // Timers and painting go on; the operator's input is kept for after the wait.
        wxEventLoopBase* loop = m_started ? wxEventLoopBase::GetActive() : nullptr;
        if (loop != nullptr)
            loop->YieldFor(wxEVT_CATEGORY_UI | wxEVT_CATEGORY_TIMER);
        wxMilliSleep(WaitPollMilliseconds);
    }
}
