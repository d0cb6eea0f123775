#include "app/QuorvelDlg.h"

#include "app/AboutDlg.h"
#include "app/ProgressReport.h"
#include "app/Resources.h"
#include "app/SetupPackages.h"
#include "app/WindowTextTranslation.h"
#include "os/DesktopStart.h"
#include "os/Paths.h"
#include "support/BackgroundGenerator.h"
#include "support/TextTranslator.h"
#include "ui/PaintContext.h"
#include "ui/StandardIds.h"

namespace
{

// The labels in the order DoDataExchange binds them to m_labels.
constexpr int LabelIds[CQuorvelDlg::LabelCount] = {IDC_LABEL_TEMP_DIRECTORY, IDC_LABEL_STATUS,
                                                   IDC_LABEL_SOFTWARE,       IDC_LABEL_ADDRESS,
                                                   IDC_LABEL_PASSWORD,       IDC_LABEL_PROGRESS};

// The check box of each package, in the packages' order (which is also the order of fetching).
const int PackageCheckBoxes[] = {IDC_VARNOX, IDC_KELLID};
static_assert(sizeof PackageCheckBoxes / sizeof PackageCheckBoxes[0] == CSetupPackages::Count,
              "one check box per package");

// Disabled while a download runs and enabled again afterwards, in this order. The browse button
// stays usable throughout.
const int DownloadLockedControls[] = {IDC_RECORDER_ADDRESS, IDC_PASSWORD, IDC_TEMP_DIRECTORY,
                                      IDC_DOWNLOAD,         IDC_KELLID,   IDC_VARNOX};

constexpr unsigned WindowTimerId = 0;
constexpr unsigned WindowTimerMilliseconds = 10;
constexpr int32_t PollIntervalMilliseconds = 10;

constexpr uint8_t BackgroundNoise = 8;
constexpr int BackgroundTintPercentage = 1;
// Red 0, green 0, blue 100.
constexpr uint32_t BackgroundTintColour = 0x640000;

} // namespace

CQuorvelDlg::CQuorvelDlg(CDialog* parent) : CDialog(AppResources(), IDD_QUORVEL_DIALOG, parent)
{
    m_hIcon = LoadIcon(IDR_MAINFRAME);
}

CQuorvelDlg::~CQuorvelDlg() = default;

void CQuorvelDlg::DoDataExchange()
{
    CDialog::DoDataExchange();
    for (int index = 0; index < LabelCount; ++index)
        BindControl(LabelIds[index], m_labels[index]);
}

bool CQuorvelDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    TranslateWindowTexts(*this);

    if (HasSystemMenu())
    {
        const std::string aboutEntry = LoadString(IDS_ABOUTBOX);
        if (!aboutEntry.empty())
        {
            AppendSystemMenuSeparator();
            AppendSystemMenuItem(IDM_ABOUTBOX, aboutEntry);
        }
    }

    SetIcon(m_hIcon, true);
    SetIcon(m_hIcon, false);

    CheckDlgButton(IDC_VARNOX, true);
    CheckDlgButton(IDC_KELLID, true);
    SetDlgItemText(IDC_TEMP_DIRECTORY, os::DefaultTempDirectory());

    m_timerId = SetTimer(WindowTimerId, WindowTimerMilliseconds);
    m_inTimer = false;

    RegisterConnection(PollIntervalMilliseconds);

    GotoDlgCtrl(IDC_RECORDER_ADDRESS);
    SetProgressRange(IDC_PROGRESS, 0, 100);
    m_idle = true;
    UpdateDownloadButton();
    GenerateBackground(BackgroundNoise, BackgroundTintPercentage, BackgroundTintColour);
    return true;
}

bool CQuorvelDlg::OnCommand(int id, ECommandCode code)
{
    if (code == ECommandCode::KillFocus)
    {
        if (id != IDC_TEMP_DIRECTORY)
            return false;
        OnTempDirKillFocus();
        return true;
    }
    switch (id)
    {
    case IDC_VARNOX:
    case IDC_KELLID:
        OnCheckBox();
        return true;
    case IDC_DOWNLOAD:
        OnDownload();
        return true;
    case IDC_BROWSE:
        OnBrowse();
        return true;
    default:
        return CDialog::OnCommand(id, code);
    }
}

void CQuorvelDlg::OnSysCommand(unsigned id, long parameter)
{
    if ((id & SysCommandMask) == IDM_ABOUTBOX)
    {
        CAboutDlg about(this);
        about.DoModal();
        return;
    }
    CDialog::OnSysCommand(id, parameter);
}

void CQuorvelDlg::OnPaint(CPaintContext& dc)
{
    if (!IsIconic())
    {
        CDialog::OnPaint(dc);
        return;
    }
    SendIconEraseBackground(dc);
    const SRect client = GetClientRect();
    const int x = (client.Width() - GetSystemIconWidth() + 1) / 2;
    const int y = (client.Height() - GetSystemIconHeight() + 1) / 2;
    if (m_hIcon != nullptr)
        dc.DrawIcon(x, y, *m_hIcon);
}

const SIconResource* CQuorvelDlg::OnQueryDragIcon()
{
    return m_hIcon;
}

bool CQuorvelDlg::OnEraseBkgnd(CPaintContext& dc)
{
    m_background.Draw(dc, 0, 0);
    return true;
}

void CQuorvelDlg::OnCheckBox()
{
    UpdateDownloadButton();
}

void CQuorvelDlg::UpdateDownloadButton()
{
    EnableDlgItem(IDC_DOWNLOAD, IsDlgButtonChecked(IDC_VARNOX) || IsDlgButtonChecked(IDC_KELLID));
}

void CQuorvelDlg::OnCancel()
{
    if (m_idle)
    {
        CDialog::OnCancel();
        return;
    }
    m_session.Disconnect();
    ResetToIdle();
}

void CQuorvelDlg::GenerateBackground(uint8_t noiseAmplitude, int tintPercentage, uint32_t tintColour)
{
    const SRect window = GetWindowRect();
    CBackgroundGenerator::SColours colours;
    colours.shadow = GetSysColor(ESystemColour::ButtonShadow);
    colours.face = GetSysColor(ESystemColour::ButtonFace);
    colours.highlight = GetSysColor(ESystemColour::ButtonHighlight);
    CBackgroundGenerator::Generate(m_background, window.Width(), window.Height(), colours, noiseAmplitude,
                                   tintPercentage, tintColour);
}

void CQuorvelDlg::OnDownload()
{
    bool chosen[CSetupPackages::Count];
    for (int index = 0; index < CSetupPackages::Count; ++index)
        chosen[index] = IsDlgButtonChecked(PackageCheckBoxes[index]);
    StartDownload(GetDlgItemText(IDC_RECORDER_ADDRESS).c_str(), GetDlgItemText(IDC_PASSWORD).c_str(),
                  GetDlgItemText(IDC_TEMP_DIRECTORY).c_str(), chosen);
}

void CQuorvelDlg::OnTimer(unsigned id)
{
    // A message box opened inside a tick runs its own loop, which delivers further ticks.
    if (!m_inTimer)
    {
        m_inTimer = true;
        Tick();
        m_inTimer = false;
    }
    CDialog::OnTimer(id);
}

void CQuorvelDlg::ShowStatus(const char* text)
{
    SetDlgItemText(IDC_STATUS, text);
}

void CQuorvelDlg::ShowProgress(const CProgressReport& report)
{
    SetDlgItemText(IDC_STATUS, report.Text());
    SetProgressPos(IDC_PROGRESS, report.BarPosition());
}

void CQuorvelDlg::ResetProgressBar()
{
    SetProgressPos(IDC_PROGRESS, 0);
}

bool CQuorvelDlg::ShowMessage(const SWorkflowMessage& message)
{
    EMessageBoxIcon icon = EMessageBoxIcon::Exclamation;
    EMessageBoxButtons buttons = EMessageBoxButtons::Ok;
    switch (message.kind)
    {
    case SWorkflowMessage::EKind::Fatal:
        icon = EMessageBoxIcon::Stop;
        break;
    case SWorkflowMessage::EKind::GoOnQuestion:
        icon = EMessageBoxIcon::Question;
        buttons = EMessageBoxButtons::OkCancel;
        break;
    case SWorkflowMessage::EKind::Warning:
        break;
    case SWorkflowMessage::EKind::RunSetupQuestion:
        icon = EMessageBoxIcon::Question;
        buttons = EMessageBoxButtons::YesNo;
        break;
    case SWorkflowMessage::EKind::SetupsDone:
        icon = EMessageBoxIcon::None;
        break;
    }
    const EMessageBoxResult answer = MessageBox(message.text, icon, buttons);
    return answer == EMessageBoxResult::Ok || answer == EMessageBoxResult::Yes;
}

void CQuorvelDlg::OnDownloadStarted()
{
    SetDlgItemText(IdCancel, g_translator.Translate("Abbrechen"));
    m_idle = false;
    for (int id : DownloadLockedControls)
        EnableDlgItem(id, false);
}

bool CQuorvelDlg::StartSetup(const SFileEntry& file)
{
    os::CDesktopStart start(file.localPath.GetText(), m_tempDir.GetText());
    WaitWhile([&start] { return start.Poll() == os::CDesktopStart::EState::Pending; },
              os::CDesktopStart::FailureWaitMilliseconds);
    return start.Poll() != os::CDesktopStart::EState::Failed;
}

void CQuorvelDlg::OnIdle()
{
    SetDlgItemText(IdCancel, g_translator.Translate("Schliessen"));
    m_idle = true;
    // The download button too, whatever the boxes show: one of them was ticked when it began.
    for (int id : DownloadLockedControls)
        EnableDlgItem(id, true);
}
