#pragma once

#include "ScopedEnvironmentValue.h"
#include "ScratchDirectory.h"

#include <string>
#include <vector>

// Stands in for the desktop's xdg-open while it exists: a script first on PATH that notes each
// document it is asked to open together with its working directory, and opens nothing. Without
// the script (`installed` false) PATH names only an empty directory, so no opener can be found.
// PATH is restored afterwards. POSIX only: Windows starts documents through ShellExecute, which no
// program on PATH stands in for (tests there start real programs, CStandInSetup).
class CFakeOpenCommand
{
public:
    struct SCall
    {
        std::string document;
        std::string workingDirectory;
    };

    CFakeOpenCommand(const CScratchDirectory& scratch, bool installed = true);
    CFakeOpenCommand(const CFakeOpenCommand&) = delete;
    CFakeOpenCommand& operator=(const CFakeOpenCommand&) = delete;
    ~CFakeOpenCommand();

    // The script waits, after noting the call, until Release() (at most about five seconds),
    // then notes "finished"; shows that the caller does not wait for it.
    void HoldUntilReleased();
    // The script ends with this exit status after noting the call, as an opener does that finds
    // no program for the document (3 for xdg-open).
    void ExitWith(int status);
    void Release() const;
    bool HasFinished() const;

    // The calls noted so far, in the order they happened.
    std::vector<SCall> Calls() const;
    // Waits until at least `count` calls were noted; false after `timeoutMs`.
    bool WaitForCalls(size_t count, int timeoutMs = 5000) const;
    bool WaitUntilFinished(int timeoutMs = 5000) const;

private:
    void WriteScript() const;

    std::string m_directory;
    std::string m_log;
    std::string m_release;
    std::string m_finished;
    // The script runs under /bin/sh, found through its first line, so nothing else must be found.
    CScopedEnvironmentValue m_path{"PATH", m_directory.c_str()};
    bool m_holding = false;
    int m_exitStatus = 0;
};
