#include "app/DownloadWorkflow.h"

#include "app/SetupFileStore.h"
#include "support/TextTranslator.h"

#include <vector>

void CDownloadWorkflow::RunSetups()
{
    // Worked through as a copy: the messages below may run message loops of their own.
    const std::list<SFileEntry> savedFiles = m_downloadedFiles;
    // Every file the operator chose to execute, whether it started or not.
    std::vector<CRefString> pathsToRemove;
    for (const SFileEntry& entry : savedFiles)
    {
        CRefString question;
        question.Format("%s\n<%s>", g_translator.Translate("Soll das Setup jetzt ausgeführt werden?"),
                        entry.name.GetText());
        if (!ShowMessage(
                SWorkflowMessage::Plain(SWorkflowMessage::EKind::RunSetupQuestion, question.GetText())))
            continue;
        // The setups run side by side; none is waited for beyond the moment its start may fail.
        if (!StartSetup(entry))
        {
            CRefString failure;
            failure.Format("%s\n<%s>", g_translator.Translate("Das Setup konnte nicht ausgeführt werden!"),
                           entry.name.GetText());
            ShowMessage(SWorkflowMessage::Plain(SWorkflowMessage::EKind::Warning, failure.GetText(),
                                                EDownloadFailure::SetupNotStarted));
        }
        pathsToRemove.push_back(entry.localPath);
    }

    if (!pathsToRemove.empty())
    {
        const char* confirmation =
            g_translator.Translate("Bitte drücken Sie 'OK', wenn die Installation abgeschlossen ist.\n"
                                   "Die Setup-Dateien werden dann wieder entfernt.");
        ShowMessage(SWorkflowMessage::Plain(SWorkflowMessage::EKind::SetupsDone, confirmation));
        // A setup that still runs from its file may keep it; it stays, without a word.
        for (const CRefString& path : pathsToRemove)
            CSetupFileStore::Current().Remove(path.GetText());
    }

    m_downloadedFiles.clear();
    ResetToIdle();
}
