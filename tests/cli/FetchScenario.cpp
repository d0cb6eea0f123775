#include "FetchScenario.h"

#include "wire/ItemListReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

CFetchScenario::CFetchScenario()
    : VarnoxContent(PatternBytes(300 * 1024 + 17, 11)), KellidContent(PatternBytes(200 * 1024 + 5, 12))
{
    m_scratch.MakeDirectory("download");
    m_scratch.MakeDirectory("depot");
    m_scratch.WriteFile(std::string("depot/") + VarnoxName, VarnoxContent);
    m_scratch.WriteFile(std::string("depot/") + KellidName, KellidContent);
}

CFetchScenario::~CFetchScenario()
{
    if (m_recorder != nullptr)
        m_recorder->Stop();
}

bool CFetchScenario::StartRecorder(CRecorderSimulator::Options options)
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

int CFetchScenario::ClosedPort()
{
    // Listened on once and closed again: nobody answers there now.
    CRecorderSimulator::Options options;
    options.port = 0;
    CRecorderSimulator probe(options);
    std::string error;
    EXPECT_TRUE(probe.Listen(error)) << error;
    return probe.Port();
}

int CFetchScenario::Port() const
{
    return m_recorder != nullptr ? m_recorder->Port() : 0;
}

std::vector<std::string> CFetchScenario::RequestedPaths() const
{
    std::vector<std::string> paths;
    if (m_recorder == nullptr)
        return paths;
    for (const CRecorderSimulator::ReceivedPacket& packet : m_recorder->ReceivedPackets())
    {
        if (!Commands::FileRequest.Matches(packet.header))
            continue;
        // One item: the path with its terminating zero.
        const uint16_t pathTag[] = {Tags::FilePath};
        CItemListReader reader;
        if (!reader.Open(packet.payload.data(), static_cast<int32_t>(packet.payload.size()), pathTag, 1) ||
            reader.Tag() != Tags::FilePath || reader.Length() == 0)
            continue;
        const char* value = reinterpret_cast<const char*>(reader.Value());
        paths.emplace_back(value, strnlen(value, reader.Length()));
    }
    return paths;
}

std::vector<std::string> CFetchScenario::DownloadedNames() const
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(DownloadDirectory()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
