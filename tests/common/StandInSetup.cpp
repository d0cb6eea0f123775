#include "StandInSetup.h"

#include "ScratchDirectory.h"

#include "os/Paths.h"

#include <windows.h>

#include <tlhelp32.h>

#include <cwchar>

namespace
{

bool IsRunning(const std::string& programName)
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return true;
    const std::wstring wanted(programName.begin(), programName.end());
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    bool running = false;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !running;
         more = Process32NextW(snapshot, &entry))
        running = _wcsicmp(entry.szExeFile, wanted.c_str()) == 0;
    CloseHandle(snapshot);
    return running;
}

} // namespace

std::vector<uint8_t> CStandInSetup::Bytes(const std::string& tail)
{
    std::vector<uint8_t> bytes = ReadWholeFile(QUORVEL_MARKER_SETUP_PATH);
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    return bytes;
}

std::string CStandInSetup::WaitForRun(const std::string& directory, const std::string& setupName,
                                      int timeoutMs)
{
    const std::string marker =
        directory + os::PathSeparator() + setupName.substr(0, setupName.rfind('.')) + ".marker";
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    for (;;)
    {
        // Read only once the program has ended, so that the marker is complete.
        bool exists = false;
        const std::vector<uint8_t> ranFrom =
            IsRunning(setupName) ? std::vector<uint8_t>() : ReadWholeFile(marker, &exists);
        if (exists)
            return std::string(ranFrom.begin(), ranFrom.end());
        if (GetTickCount64() > deadline)
            return std::string();
        Sleep(20);
    }
}
