#include "app/QuorvelDlg.h"

#include "app/SetupFileStore.h"
#include "os/DesktopStart.h"
#include "support/TextTranslator.h"

#include <vector>

bool CQuorvelDlg::StartSetup(const SFileEntry& entry)
{
    os::CDesktopStart start(entry.localPath.GetText(), m_tempDir.GetText());
    WaitWhile([&start] { return start.Poll() == os::CDesktopStart::EState::Pending; },
              os::CDesktopStart::FailureWaitMilliseconds);
    return start.Poll() != os::CDesktopStart::EState::Failed;
}

void CQuorvelDlg::RunSetups()
{
    // Worked through as a copy: the boxes below run message loops of their own.
    const std::list<SFileEntry> savedFiles = m_downloadedFiles;
    // Every file the operator chose to execute, whether it started or not.
    std::vector<CRefString> pathsToRemove;
    for (const SFileEntry& entry : savedFiles)
    {
        CRefString question;
        question.Format("%s\n<%s>", g_translator.Translate("Soll das Setup jetzt ausgeführt werden?"),
                        entry.name.GetText());
        if (MessageBox(question.GetText(), EMessageBoxIcon::Question, EMessageBoxButtons::YesNo) !=
            EMessageBoxResult::Yes)
            continue;
        // The setups run side by side; none is waited for beyond the moment its start may fail.
        if (!StartSetup(entry))
        {
            CRefString failure;
            failure.Format("%s\n<%s>", g_translator.Translate("Das Setup konnte nicht ausgeführt werden!"),
                           entry.name.GetText());
            MessageBox(failure.GetText(), EMessageBoxIcon::Exclamation, EMessageBoxButtons::Ok);
        }
        pathsToRemove.push_back(entry.localPath);
    }

    if (!pathsToRemove.empty())
    {
        MessageBox(g_translator.Translate("Bitte drücken Sie 'OK', wenn die Installation abgeschlossen ist.\n"
                                          "Die Setup-Dateien werden dann wieder entfernt."),
                   EMessageBoxIcon::None, EMessageBoxButtons::Ok);
        // A setup that still runs from its file may keep it; it stays, without a word.
        for (const CRefString& path : pathsToRemove)
            CSetupFileStore::Current().Remove(path.GetText());
    }

    m_downloadedFiles.clear();
    ResetToIdle();
}
