#include "DemoOperator.h"

#include "DemoBoxHook.h"
#include "DemoCamera.h"
#include "DemoDialog.h"
#include "DemoTranscript.h"
#include "app/Resources.h"
#include "support/TextTranslator.h"
#include "ui/StandardIds.h"
#include "ui/wx/WxDialogWindow.h"

#include <fstream>

#include <wx/msgdlg.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

namespace
{

constexpr int PeriodMilliseconds = 50;
// Long enough for a window to be drawn before it is photographed.
constexpr int SettleMilliseconds = 500;
// After the first progress text, when the bar stands near the middle of the first file.
constexpr int ProgressShotDelayMilliseconds = 700;
// A key that did not close its box is pressed again after this long.
constexpr int RepressMilliseconds = 2000;
// Native boxes open centred over the dialog; this much room around it shows them whole.
constexpr int BoxMargin = 120;

const char SetupQuestionKey[] = "Soll das Setup jetzt ausgeführt werden?";
const char ConfirmationKey[] = "Bitte drücken Sie 'OK', wenn die Installation abgeschlossen ist.\n"
                               "Die Setup-Dateien werden dann wieder entfernt.";

} // namespace

CDemoOperator::CDemoOperator(CDemoDialog& dialog, CDemoBoxHook& boxes, CDemoCamera& camera,
                             CDemoTranscript& transcript, const SDemoSettings& settings)
    : m_dialog(dialog), m_boxes(boxes), m_camera(camera), m_transcript(transcript), m_settings(settings)
{
    m_steps = {
        // The window is up and has drawn itself.
        [this]
        {
            return Control(IDC_DOWNLOAD) != nullptr && Control(IDC_DOWNLOAD)->IsShownOnScreen() &&
                   Waited(SettleMilliseconds);
        },
        [this]
        {
            m_camera.Shoot("start", DialogArea());
            Type(IDC_RECORDER_ADDRESS, "127.0.0.1", "127.0.0.1");
            Type(IDC_PASSWORD, m_settings.password, std::string(m_settings.password.size(), '*'));
            Type(IDC_TEMP_DIRECTORY, m_settings.downloadFolder, m_settings.downloadFolder);
            return true;
        },
        [this] { return Waited(SettleMilliseconds); },
        [this]
        {
            m_camera.Shoot("filled-in", DialogArea());
            Click(IDC_DOWNLOAD, "Download");
            return true;
        },
        // A progress text ("varnoxsetup.exe: 1024 / 3072 KB ( 33.3% )") shows the transfer under way;
        // a moment later the bar has moved far enough to be seen.
        [this] { return m_dialog.HasShownStatusStartingWith("varnoxsetup.exe: "); },
        [this] { return m_dialog.IsIdle() || Waited(ProgressShotDelayMilliseconds); },
        [this]
        {
            if (!m_dialog.IsIdle())
                m_camera.Shoot("downloading", DialogArea());
            return true;
        },
        // Both setups offered, started and removed: the dialog is idle again.
        [this] { return m_dialog.IsIdle() && m_boxes.OpenBox() == nullptr; },
        [this] { return m_starts.size() >= 2 || Waited(3000); },
        [this] { return Waited(SettleMilliseconds); },
        [this]
        {
            m_camera.Shoot("finished", DialogArea());
            Click(IdCancel, m_dialog.GetDlgItemText(IdCancel));
            return true;
        },
    };
}

void CDemoOperator::Begin()
{
    m_begin = Clock::now();
    Start(PeriodMilliseconds);
}

void CDemoOperator::Notify()
{
    ReadOpenerLog();
    if (!m_gaveUp && Clock::now() - m_begin > std::chrono::seconds(m_settings.timeoutSeconds))
    {
        m_gaveUp = true;
        m_transcript.Problem("the demo did not finish within " + std::to_string(m_settings.timeoutSeconds) +
                             " s");
    }
    if (m_gaveUp)
    {
        GiveUp();
        return;
    }
    if (HandleOpenBox() || m_nextStep >= m_steps.size())
        return;
    if (m_steps[m_nextStep]())
    {
        ++m_nextStep;
        m_waiting = false;
    }
}

bool CDemoOperator::Waited(int milliseconds)
{
    if (!m_waiting)
    {
        m_waiting = true;
        m_waitStart = Clock::now();
    }
    return Clock::now() - m_waitStart >= std::chrono::milliseconds(milliseconds);
}

bool CDemoOperator::HandleOpenBox()
{
    if (m_boxes.OpenBox() == nullptr)
        return false;
    const Clock::time_point now = Clock::now();
    if (m_boxes.Texts().size() != m_boxNumber)
    {
        m_boxNumber = m_boxes.Texts().size();
        m_boxOpenedAt = now;
        m_boxAnswered = false;
    }
    if (now - m_boxOpenedAt < std::chrono::milliseconds(SettleMilliseconds))
        return true;
    if (m_boxAnswered)
    {
        // Still open: the key went astray, so it is pressed again.
        if (now - m_boxAnsweredAt >= std::chrono::milliseconds(RepressMilliseconds))
        {
            m_transcript.Line("operator", "presses the key again");
            m_boxAnsweredAt = now;
            PressAnswerKey(!m_gaveUp);
        }
        return true;
    }

    const std::string text = m_boxes.Texts().back();
    const std::string setupQuestion = std::string(g_translator.Translate(SetupQuestionKey)) + "\n<";
    std::string phase = "message-box";
    bool acceptDefault = false;
    if (m_gaveUp)
    {
        phase = "message-box-after-time-out";
    }
    else if (text.rfind(setupQuestion, 0) == 0)
    {
        phase = "setup-question";
        acceptDefault = true;
    }
    else if (text == g_translator.Translate(ConfirmationKey))
    {
        phase = "confirmation";
        acceptDefault = true;
    }
    else
    {
        m_transcript.Problem("a message box the demo does not expect");
    }
    const wxRect dialogArea = DialogArea();
    m_camera.Shoot(phase, wxRect(dialogArea).Inflate(BoxMargin));
    // The box's default button is Yes or OK; Escape closes it with its most cautious answer.
    const long style = m_boxes.OpenBox()->GetMessageDialogStyle();
    const char* button = acceptDefault ? ((style & wxYES_NO) != 0 ? "Yes" : "OK")
                                       : ((style & wxYES_NO) != 0   ? "No"
                                          : (style & wxCANCEL) != 0 ? "Cancel"
                                                                    : "OK");
    m_transcript.Line("operator", std::string("answers \"") + button + "\"");
    m_boxAnswered = true;
    m_boxAnsweredAt = now;
    PressAnswerKey(acceptDefault);
    return true;
}

void CDemoOperator::PressAnswerKey(bool acceptDefault)
{
    wxUIActionSimulator keyboard;
    // Without a window manager the keyboard follows the pointer: it goes where the box is.
    const wxRect dialogArea = DialogArea();
    keyboard.MouseMove(dialogArea.GetLeft() + dialogArea.GetWidth() / 2,
                       dialogArea.GetTop() + dialogArea.GetHeight() / 2);
    keyboard.Char(acceptDefault ? WXK_RETURN : WXK_ESCAPE);
}

void CDemoOperator::GiveUp()
{
    // Every box that still comes is backed out of (HandleOpenBox), until the dialog's own loop
    // has ended.
    if (!HandleOpenBox())
        m_dialog.EndDialog(-1);
}

void CDemoOperator::ReadOpenerLog()
{
    std::ifstream log(m_settings.openerLog);
    std::string line;
    size_t index = 0;
    while (std::getline(log, line))
    {
        if (index++ < m_openerLogLines)
            continue;
        const size_t tab = line.find('\t');
        SStart start{line.substr(0, tab), tab == std::string::npos ? std::string() : line.substr(tab + 1)};
        m_transcript.Line("setup started", start.document + " (working directory " + start.workingDirectory +
                                               "), through the demo's stand-in opener");
        m_starts.push_back(start);
        m_openerLogLines = index;
    }
}

wxWindow* CDemoOperator::Control(int id) const
{
    auto* window = dynamic_cast<CWxDialogWindow*>(m_dialog.GetWindow());
    return window != nullptr ? window->GetControlWindow(window->FindControl(id)) : nullptr;
}

wxRect CDemoOperator::DialogArea() const
{
    auto* window = dynamic_cast<CWxDialogWindow*>(m_dialog.GetWindow());
    wxDialog* native = window != nullptr ? window->GetNativeDialog() : nullptr;
    return native != nullptr ? native->GetScreenRect() : wxRect();
}

void CDemoOperator::Type(int id, const std::string& text, const std::string& shownAs)
{
    auto* edit = dynamic_cast<wxTextCtrl*>(Control(id));
    if (edit == nullptr || !edit->IsEnabled())
    {
        m_transcript.Problem("field " + std::to_string(id) + " cannot be typed into");
        return;
    }
    edit->SetFocus();
    edit->SetValue(wxString::FromUTF8(text.c_str()));
    m_transcript.Line("operator", "types \"" + shownAs + "\" into field " + std::to_string(id));
}

void CDemoOperator::Click(int id, const std::string& caption)
{
    wxWindow* button = Control(id);
    if (button == nullptr || !button->IsEnabled())
    {
        m_transcript.Problem("button \"" + caption + "\" cannot be clicked");
        return;
    }
    m_transcript.Line("operator", "clicks \"" + caption + "\"");
    wxCommandEvent click(wxEVT_BUTTON, button->GetId());
    click.SetEventObject(button);
    wxPostEvent(button, click);
}
