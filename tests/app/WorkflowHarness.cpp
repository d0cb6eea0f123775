#include "WorkflowHarness.h"

#include "app/Resources.h"
#include "ui/StandardIds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

CWorkflowHarness::CWorkflowHarness()
{
    m_backend.SetFailureHandler([](const std::string& message) { ADD_FAILURE() << message; });
    m_dialog = std::make_unique<CTestQuorvelDlg>();
    m_window = m_backend.Open(*m_dialog);
}

CWorkflowHarness::~CWorkflowHarness()
{
    // The dialog ends its conversation before the recorder goes away.
    m_dialog.reset();
}

bool CWorkflowHarness::StartRecorder(CRecorderSimulator::Options options)
{
    if (!CRecorderScenario::StartRecorder(options))
        return false;
    m_dialog->UseRecorderPort(Port());
    return true;
}

void CWorkflowHarness::UseClosedPort()
{
    m_dialog->UseRecorderPort(ClosedPort());
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

std::vector<std::string> CWorkflowHarness::BoxTexts() const
{
    std::vector<std::string> texts;
    for (const SMessageBoxRecord& box : m_backend.GetMessageBoxes())
        texts.push_back(box.text);
    return texts;
}
