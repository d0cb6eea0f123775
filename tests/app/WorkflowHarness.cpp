#include "WorkflowHarness.h"

#include "app/Resources.h"
#include "ui/StandardIds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

CWorkflowHarness::CWorkflowHarness()
    : VarnoxContent(PatternBytes(300 * 1024 + 17, 1)), KellidContent(PatternBytes(200 * 1024 + 5, 2))
{
    m_backend.SetFailureHandler([](const std::string& message) { ADD_FAILURE() << message; });
    m_scratch.MakeDirectory("download");
    m_scratch.MakeDirectory("depot");
    m_scratch.WriteFile(std::string("depot/") + VarnoxName, VarnoxContent);
    m_scratch.WriteFile(std::string("depot/") + KellidName, KellidContent);

    m_dialog = std::make_unique<CTestQuorvelDlg>();
    m_window = m_backend.Open(*m_dialog);
}

CWorkflowHarness::~CWorkflowHarness()
{
    // The dialog ends its conversation before the recorder goes away.
    m_dialog.reset();
    if (m_recorder != nullptr)
        m_recorder->Stop();
}

bool CWorkflowHarness::StartRecorder(CRecorderSimulator::Options options)
{
    options.root = m_scratch / "depot";
    options.port = 0;
    options.password = Password;
    m_recorder = std::make_unique<CRecorderSimulator>(options);
    std::string error;
    if (!m_recorder->Start(error))
    {
        ADD_FAILURE() << "recorder simulator: " << error;
        return false;
    }
    m_dialog->UseRecorderPort(m_recorder->Port());
    return true;
}

void CWorkflowHarness::UseClosedPort()
{
    // Listened on once and closed again: nobody answers there now.
    CRecorderSimulator::Options options;
    options.port = 0;
    int port = 0;
    {
        CRecorderSimulator probe(options);
        std::string error;
        ASSERT_TRUE(probe.Listen(error)) << error;
        port = probe.Port();
    }
    m_dialog->UseRecorderPort(port);
}

void CWorkflowHarness::StartDownload(const std::string& directory, bool varnox, bool kellid,
                                     const std::string& password)
{
    ASSERT_NE(m_window, nullptr);
    m_window->Type(IDC_RECORDER_ADDRESS, "127.0.0.1");
    m_window->Type(IDC_PASSWORD, password);
    m_window->Type(IDC_TEMP_DIRECTORY, directory);
    if (m_window->IsChecked(IDC_VARNOX) != varnox)
        m_window->Click(IDC_VARNOX);
    if (m_window->IsChecked(IDC_KELLID) != kellid)
        m_window->Click(IDC_KELLID);
    ASSERT_TRUE(m_window->Click(IDC_DOWNLOAD));
}

bool CWorkflowHarness::RunUntil(const std::function<bool()>& done, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done())
    {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        // Each tick waits up to the poller's 10 ms for the socket.
        m_window->Tick();
        const std::string status = m_window->GetText(IDC_STATUS);
        if (!status.empty() && (m_statusHistory.empty() || m_statusHistory.back() != status))
            m_statusHistory.push_back(status);
        m_highestProgress = std::max(m_highestProgress, m_window->GetProgressPosition(IDC_PROGRESS));
    }
    return true;
}

bool CWorkflowHarness::RunUntilIdle(int timeoutMs)
{
    return RunUntil([this] { return m_dialog->IsIdle(); }, timeoutMs);
}

void CWorkflowHarness::ExpectIdleEnd(bool statusCleared) const
{
    EXPECT_TRUE(m_dialog->IsIdle());
    EXPECT_EQ(m_window->GetText(IdCancel), "Close");
    EXPECT_EQ(m_dialog->PendingFileCount(), 0u);
    EXPECT_EQ(m_dialog->DownloadedFileCount(), 0u);
    EXPECT_FALSE(m_dialog->HasQueuedEvents());
    if (statusCleared)
    {
        EXPECT_EQ(m_window->GetText(IDC_STATUS), "");
    }
    EXPECT_EQ(m_window->GetProgressPosition(IDC_PROGRESS), 0);
    for (int id :
         {IDC_RECORDER_ADDRESS, IDC_PASSWORD, IDC_TEMP_DIRECTORY, IDC_DOWNLOAD, IDC_KELLID, IDC_VARNOX})
        EXPECT_TRUE(m_window->IsEnabled(id)) << "control " << id;
    EXPECT_EQ(m_backend.GetPendingAnswerCount(), 0u) << "a scripted answer was not asked for";
}

std::vector<std::string> CWorkflowHarness::RequestedPaths() const
{
    return m_recorder != nullptr ? m_recorder->RequestedFilePaths() : std::vector<std::string>{};
}

std::vector<std::string> CWorkflowHarness::BoxTexts() const
{
    std::vector<std::string> texts;
    for (const SMessageBoxRecord& box : m_backend.GetMessageBoxes())
        texts.push_back(box.text);
    return texts;
}
