#include "RecorderScenario.h"

#include "SilentListener.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

CRecorderScenario::CRecorderScenario()
    : VarnoxContent(PatternBytes(300 * 1024 + 17, 11)), KellidContent(PatternBytes(200 * 1024 + 5, 12))
{
    m_scratch.MakeDirectory("download");
    m_scratch.MakeDirectory("depot");
    m_scratch.WriteFile(std::string("depot/") + VarnoxName, VarnoxContent);
    m_scratch.WriteFile(std::string("depot/") + KellidName, KellidContent);
}

CRecorderScenario::~CRecorderScenario()
{
    if (m_recorder != nullptr)
        m_recorder->Stop();
}

bool CRecorderScenario::StartRecorder(CRecorderSimulator::Options options)
{
    options.root = DepotDirectory();
    options.port = 0;
    options.password = Password;
    m_recorder = std::make_unique<CRecorderSimulator>(options);
    std::string error;
    if (!m_recorder->Start(error))
    {
        ADD_FAILURE() << "recorder simulator: " << error;
        return false;
    }
    return true;
}

int CRecorderScenario::ClosedPort()
{
    return CSilentListener::ClosedPort();
}

int CRecorderScenario::Port() const
{
    return m_recorder != nullptr ? m_recorder->Port() : 0;
}

std::vector<std::string> CRecorderScenario::RequestedPaths() const
{
    return m_recorder != nullptr ? m_recorder->RequestedFilePaths() : std::vector<std::string>{};
}

std::vector<std::string> CRecorderScenario::DownloadedNames() const
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(DownloadDirectory()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
