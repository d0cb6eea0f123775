#include "CurrentDirectory.h"
#include "FakeOpenCommand.h"
#include "ScratchDirectory.h"
#include "os/Shell.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

// True when this process has no child left, neither running nor a zombie.
bool HasNoChildren()
{
    int status = 0;
    return waitpid(-1, &status, WNOHANG) < 0 && errno == ECHILD;
}

TEST(DesktopOpen, StartsTheOpenerWithTheDocumentInTheWorkingDirectory)
{
    CScratchDirectory scratch;
    CFakeOpenCommand opener(scratch);
    const std::string document = scratch.WriteFile("varnoxsetup.exe", {1});
    const std::string workingDirectory = scratch.MakeDirectory("work");

    ASSERT_TRUE(os::OpenWithDesktop(document.c_str(), workingDirectory.c_str()));
    ASSERT_TRUE(opener.WaitForCalls(1));
    const auto calls = opener.Calls();
    EXPECT_EQ(calls[0].document, document);
    EXPECT_EQ(calls[0].workingDirectory, workingDirectory);
}

TEST(DesktopOpen, RelativeDocumentIsResolvedAgainstTheCallersDirectory)
{
    CScratchDirectory scratch;
    CFakeOpenCommand opener(scratch);
    scratch.WriteFile("kellidsetup.exe", {1});
    const std::string elsewhere = scratch.MakeDirectory("elsewhere");
    CCurrentDirectory here(scratch.Path());

    // No working directory: the started program inherits ours.
    ASSERT_TRUE(os::OpenWithDesktop("kellidsetup.exe", ""));
    ASSERT_TRUE(os::OpenWithDesktop("kellidsetup.exe", elsewhere.c_str()));
    ASSERT_TRUE(opener.WaitForCalls(2));
    auto calls = opener.Calls();
    // Started detached, the two may note their calls in either order.
    if (calls[0].workingDirectory != scratch.Path())
        std::swap(calls[0], calls[1]);
    EXPECT_EQ(calls[0].document, scratch / "kellidsetup.exe");
    EXPECT_EQ(calls[0].workingDirectory, scratch.Path());
    EXPECT_EQ(calls[1].document, scratch / "kellidsetup.exe");
    EXPECT_EQ(calls[1].workingDirectory, elsewhere);
}

TEST(DesktopOpen, ReturnsAtOnceAndLeavesNoZombie)
{
    CScratchDirectory scratch;
    CFakeOpenCommand opener(scratch);
    opener.HoldUntilReleased();
    const std::string document = scratch.WriteFile("setup.exe", {1});

    const auto before = std::chrono::steady_clock::now();
    ASSERT_TRUE(os::OpenWithDesktop(document.c_str(), scratch.Path().c_str()));
    const auto took = std::chrono::steady_clock::now() - before;
    ASSERT_TRUE(opener.WaitForCalls(1));
    // The opener still runs: it was not waited for, and it is nobody's child here.
    EXPECT_FALSE(opener.HasFinished());
    EXPECT_LT(took, std::chrono::seconds(2));
    EXPECT_TRUE(HasNoChildren());

    opener.Release();
    EXPECT_TRUE(opener.WaitUntilFinished());
    EXPECT_TRUE(HasNoChildren());
}

TEST(DesktopOpen, FailsWithoutAnOpenerOrWhereNothingCanStart)
{
    CScratchDirectory scratch;
    const std::string document = scratch.WriteFile("setup.exe", {1});
    {
        CFakeOpenCommand missing(scratch, false);
        EXPECT_FALSE(os::OpenWithDesktop(document.c_str(), scratch.Path().c_str()));
        // A file of that name that may not be run is passed over like a missing one.
        scratch.WriteFile("opener-bin/xdg-open", {'#', '!', '/', 'b', 'i', 'n', '/', 's', 'h', '\n'});
        EXPECT_FALSE(os::OpenWithDesktop(document.c_str(), scratch.Path().c_str()));
    }
    {
        CFakeOpenCommand opener(scratch);
        EXPECT_FALSE(os::OpenWithDesktop(document.c_str(), (scratch / "no-such-directory").c_str()));
        EXPECT_FALSE(os::OpenWithDesktop("", scratch.Path().c_str()));
        EXPECT_FALSE(os::OpenWithDesktop(nullptr, scratch.Path().c_str()));
        EXPECT_TRUE(opener.Calls().empty());
    }
    EXPECT_TRUE(HasNoChildren());
}

} // namespace
