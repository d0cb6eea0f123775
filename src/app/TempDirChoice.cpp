#include "app/QuorvelDlg.h"

#include "app/Resources.h"
#include "support/TextTranslator.h"

namespace
{

// Neither text is translated: both read in German on every display.
const char FolderChooserTitle[] = "Wählen Sie das Zielverzeichnis:";
const char FolderChooserUnavailable[] = "COM-Initialisierung fehlgeschlagen";

// Tells the operator when the path is no usable directory; changes nothing.
void InformAboutDirectory(CDialog& dialog, const char* path)
{
    const char* problem = CDownloadWorkflow::DirectoryProblem(path);
    if (problem != nullptr)
        dialog.MessageBox(g_translator.Translate(problem), EMessageBoxIcon::Exclamation,
                          EMessageBoxButtons::Ok);
}

} // namespace

void CQuorvelDlg::OnBrowse()
{
    const SFolderChoice choice = ChooseFolder(FolderChooserTitle);
    switch (choice.result)
    {
    case EFolderChoiceResult::Unavailable:
        MessageBox(FolderChooserUnavailable, EMessageBoxIcon::None, EMessageBoxButtons::Ok);
        return;
    case EFolderChoiceResult::Cancelled:
        // The field keeps its text and was checked when it last lost the focus.
        return;
    case EFolderChoiceResult::Chosen:
        break;
    }
    // A download under way keeps the paths it formed; only its setups' working directory follows.
    m_tempDir = choice.path.c_str();
    SetDlgItemText(IDC_TEMP_DIRECTORY, choice.path);
    InformAboutDirectory(*this, choice.path.c_str());
}

void CQuorvelDlg::OnTempDirKillFocus()
{
    // Only informs: neither the field nor the directory of a download changes.
    const std::string path = GetDlgItemText(IDC_TEMP_DIRECTORY);
    InformAboutDirectory(*this, path.c_str());
}
