#pragma once

#include "RecorderSimulator.h"
#include "ScratchDirectory.h"

#include <memory>
#include <string>
#include <vector>

// A recorder simulator on 127.0.0.1 serving the two setups from a scratch folder, and a directory to
// fetch them into: for the window's workflow, and for quorvel-fetch run in-process or as a program.
class CRecorderScenario
{
public:
    static constexpr const char* Password = "Pass wört";
    static constexpr const char* VarnoxName = "varnoxsetup.exe";
    static constexpr const char* KellidName = "kellidsetup.exe";

    CRecorderScenario();
    ~CRecorderScenario();

    // Root, port and password are filled in. False (with a test failure) when it cannot listen.
    bool StartRecorder(CRecorderSimulator::Options options = {});
    // A port on which nothing listens now.
    static int ClosedPort();

    int Port() const;
    // Remote paths of the file requests the recorder received, in order.
    std::vector<std::string> RequestedPaths() const;
    // The names of the files in the download directory.
    std::vector<std::string> DownloadedNames() const;

    CRecorderSimulator& Recorder() { return *m_recorder; }
    const CScratchDirectory& Scratch() const { return m_scratch; }
    std::string DepotDirectory() const { return m_scratch / "depot"; }
    std::string DownloadDirectory() const { return m_scratch / "download"; }

    const std::vector<uint8_t> VarnoxContent;
    const std::vector<uint8_t> KellidContent;

private:
    CScratchDirectory m_scratch;
    std::unique_ptr<CRecorderSimulator> m_recorder;
};
