#include "FakeOpenCommand.h"

#include <gtest/gtest.h>

// Windows starts documents through ShellExecute, which no stand-in on PATH can take over, so the
// tests that watch an opener's calls are POSIX-only; on Windows the real setups' start is proven
// by the end-to-end test with real programs (tests/win32). What remains here is the opener that
// cannot start anything: test files are no programs, and Windows refuses them just the same.
CFakeOpenCommand::CFakeOpenCommand(const CScratchDirectory&, bool installed)
{
    if (installed)
        ADD_FAILURE() << "no stand-in opener on Windows";
}

CFakeOpenCommand::~CFakeOpenCommand() = default;

void CFakeOpenCommand::HoldUntilReleased() {}

void CFakeOpenCommand::Release() const {}

bool CFakeOpenCommand::HasFinished() const
{
    return false;
}

std::vector<CFakeOpenCommand::SCall> CFakeOpenCommand::Calls() const
{
    return {};
}

bool CFakeOpenCommand::WaitForCalls(size_t, int) const
{
    return false;
}

bool CFakeOpenCommand::WaitUntilFinished(int) const
{
    return false;
}
