#include "CurrentDirectory.h"
#include "FakeOpenCommand.h"
#include "ScratchDirectory.h"
#include "os/DesktopStart.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace
{

using EState = os::CDesktopStart::EState;

// True when this process has no child left, neither running nor a zombie.
bool HasNoChildren()
{
    int status = 0;
    return waitpid(-1, &status, WNOHANG) < 0 && errno == ECHILD;
}

// Polls until the start has come to an end, five seconds at most.
EState Outcome(os::CDesktopStart& start)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (start.Poll() == EState::Pending && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return start.Poll();
}

TEST(DesktopStart, StartsTheOpenerWithTheDocumentInTheWorkingDirectory)
{
    CScratchDirectory scratch;
    CFakeOpenCommand opener(scratch);
    const std::string document = scratch.WriteFile("varnoxsetup.exe", {1});
    const std::string workingDirectory = scratch.MakeDirectory("work");

    os::CDesktopStart start(document.c_str(), workingDirectory.c_str());
    EXPECT_EQ(Outcome(start), EState::Started);
    const auto calls = opener.Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].document, document);
    EXPECT_EQ(calls[0].workingDirectory, workingDirectory);
}

TEST(DesktopStart, RelativeDocumentIsResolvedAgainstTheCallersDirectory)
{
    CScratchDirectory scratch;
    CFakeOpenCommand opener(scratch);
    scratch.WriteFile("kellidsetup.exe", {1});
    const std::string elsewhere = scratch.MakeDirectory("elsewhere");
    CCurrentDirectory here(scratch.Path());

    // No working directory: the started program inherits ours.
    os::CDesktopStart inHere("kellidsetup.exe", "");
    EXPECT_EQ(Outcome(inHere), EState::Started);
    os::CDesktopStart inElsewhere("kellidsetup.exe", elsewhere.c_str());
    EXPECT_EQ(Outcome(inElsewhere), EState::Started);
    const auto calls = opener.Calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].document, scratch / "kellidsetup.exe");
    EXPECT_EQ(calls[0].workingDirectory, scratch.Path());
    EXPECT_EQ(calls[1].document, scratch / "kellidsetup.exe");
    EXPECT_EQ(calls[1].workingDirectory, elsewhere);
}

TEST(DesktopStart, AnOpenerThatEndsWithAFailureIsAFailedStart)
{
    CScratchDirectory scratch;
    CFakeOpenCommand opener(scratch);
    const std::string document = scratch.WriteFile("setup.exe", {1});
    for (const int status : {3, 1, 127})
    {
        opener.ExitWith(status);
        os::CDesktopStart start(document.c_str(), scratch.Path().c_str());
        EXPECT_EQ(Outcome(start), EState::Failed) << "exit status " << status;
    }
    EXPECT_EQ(opener.Calls().size(), 3u);
    EXPECT_TRUE(HasNoChildren());
}

TEST(DesktopStart, ReturnsAtOnceStaysPendingWhileTheOpenerRunsAndLeavesNoChild)
{
    CScratchDirectory scratch;
    CFakeOpenCommand opener(scratch);
    opener.HoldUntilReleased();
    const std::string document = scratch.WriteFile("setup.exe", {1});
    // Open in every process forked from here on, as a socket of ours would be.
    int ours[2];
    ASSERT_EQ(pipe(ours), 0);

    os::CDesktopStart start(document.c_str(), scratch.Path().c_str());
    ASSERT_TRUE(opener.WaitForCalls(1));
    // The opener still runs: not waited for, still pending, and nobody's child here.
    EXPECT_FALSE(opener.HasFinished());
    EXPECT_EQ(start.Poll(), EState::Pending);
    EXPECT_TRUE(HasNoChildren());
    // Nothing that runs on for the start holds our descriptors: closing ours ends the pipe.
    close(ours[1]);
    fcntl(ours[0], F_SETFL, O_NONBLOCK);
    char byte = 0;
    EXPECT_EQ(read(ours[0], &byte, 1), 0);
    close(ours[0]);
    opener.Release();
    EXPECT_EQ(Outcome(start), EState::Started);
    EXPECT_TRUE(opener.HasFinished());
}

TEST(DesktopStart, AStartGivenUpOnGoesOnAlone)
{
    CScratchDirectory scratch;
    CFakeOpenCommand opener(scratch);
    opener.HoldUntilReleased();
    const std::string document = scratch.WriteFile("setup.exe", {1});
    {
        os::CDesktopStart start(document.c_str(), scratch.Path().c_str());
        ASSERT_TRUE(opener.WaitForCalls(1));
    }
    EXPECT_FALSE(opener.HasFinished());
    opener.Release();
    EXPECT_TRUE(opener.WaitUntilFinished());
    EXPECT_TRUE(HasNoChildren());
}

TEST(DesktopStart, FailsWithoutAnOpenerOrWhereNothingCanStart)
{
    CScratchDirectory scratch;
    const std::string document = scratch.WriteFile("setup.exe", {1});
    {
        CFakeOpenCommand missing(scratch, false);
        os::CDesktopStart withoutOpener(document.c_str(), scratch.Path().c_str());
        EXPECT_EQ(withoutOpener.Poll(), EState::Failed);
        // A file of that name that may not be run is passed over like a missing one.
        scratch.WriteFile("opener-bin/xdg-open", {'#', '!', '/', 'b', 'i', 'n', '/', 's', 'h', '\n'});
        os::CDesktopStart notRunnable(document.c_str(), scratch.Path().c_str());
        EXPECT_EQ(notRunnable.Poll(), EState::Failed);
    }
    {
        CFakeOpenCommand opener(scratch);
        os::CDesktopStart noDirectory(document.c_str(), (scratch / "no-such-directory").c_str());
        EXPECT_EQ(Outcome(noDirectory), EState::Failed);
        os::CDesktopStart emptyPath("", scratch.Path().c_str());
        EXPECT_EQ(emptyPath.Poll(), EState::Failed);
        os::CDesktopStart noPath(nullptr, scratch.Path().c_str());
        EXPECT_EQ(noPath.Poll(), EState::Failed);
        EXPECT_TRUE(opener.Calls().empty());
    }
    EXPECT_TRUE(HasNoChildren());
}

} // namespace
