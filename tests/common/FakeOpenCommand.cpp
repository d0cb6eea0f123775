#include "FakeOpenCommand.h"

#include <chrono>
#include <fstream>
#include <functional>
#include <sys/stat.h>
#include <thread>

namespace
{

bool WaitFor(const std::function<bool()>& done, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done())
    {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

} // namespace

CFakeOpenCommand::CFakeOpenCommand(const CScratchDirectory& scratch, bool installed)
    : m_directory(scratch.MakeDirectory("opener-bin")), m_log(scratch / "opener.log"),
      m_release(scratch / "opener.release"), m_finished(scratch / "opener.finished")
{
    if (installed)
        WriteScript();
}

CFakeOpenCommand::~CFakeOpenCommand()
{
    // A held script must not outlive the test by more than a moment.
    Release();
}

void CFakeOpenCommand::WriteScript() const
{
    const std::string script = m_directory + "/xdg-open";
    std::ofstream file(script, std::ios::trunc);
    // The test's PATH names only the script's directory; the script's own tools are the system's.
    file << "#!/bin/sh\n"
         << "PATH=/usr/bin:/bin\n"
         << "printf '%s\\t%s\\n' \"$1\" \"$(pwd -P)\" >> '" << m_log << "'\n";
    if (m_holding)
    {
        file << "n=0\n"
             << "while [ ! -e '" << m_release << "' ] && [ $n -lt 50 ]; do sleep 0.1; n=$((n+1)); done\n"
             << ": > '" << m_finished << "'\n";
    }
    file << "exit " << m_exitStatus << "\n";
    file.close();
    chmod(script.c_str(), 0755);
}

void CFakeOpenCommand::HoldUntilReleased()
{
    m_holding = true;
    WriteScript();
}

void CFakeOpenCommand::ExitWith(int status)
{
    m_exitStatus = status;
    WriteScript();
}

void CFakeOpenCommand::Release() const
{
    std::ofstream(m_release).put('\n');
}

bool CFakeOpenCommand::HasFinished() const
{
    return FileExists(m_finished);
}

std::vector<CFakeOpenCommand::SCall> CFakeOpenCommand::Calls() const
{
    std::vector<SCall> calls;
    std::ifstream log(m_log);
    std::string line;
    while (std::getline(log, line))
    {
        const size_t tab = line.find('\t');
        if (tab == std::string::npos)
            continue;
        calls.push_back(SCall{line.substr(0, tab), line.substr(tab + 1)});
    }
    return calls;
}

bool CFakeOpenCommand::WaitForCalls(size_t count, int timeoutMs) const
{
    return WaitFor([&] { return Calls().size() >= count; }, timeoutMs);
}

bool CFakeOpenCommand::WaitUntilFinished(int timeoutMs) const
{
    return WaitFor([&] { return HasFinished(); }, timeoutMs);
}
