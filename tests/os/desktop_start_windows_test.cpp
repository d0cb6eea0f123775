#include "CurrentDirectory.h"
#include "ScratchDirectory.h"
#include "StandInSetup.h"
#include "os/DesktopStart.h"

#include <gtest/gtest.h>

namespace
{

using EState = os::CDesktopStart::EState;

// ShellExecute answers at once: the outcome is there when the constructor returns, never pending.
TEST(DesktopStart, StartsTheProgramInTheWorkingDirectoryAndKnowsAtOnce)
{
    CScratchDirectory scratch;
    const std::string setup = scratch.WriteFile("varnoxsetup.exe", CStandInSetup::Bytes("varnox"));
    const std::string workingDirectory = scratch.MakeDirectory("work");

    os::CDesktopStart start(setup.c_str(), workingDirectory.c_str());
    EXPECT_EQ(start.Poll(), EState::Started);
    EXPECT_EQ(CStandInSetup::WaitForRun(workingDirectory, "varnoxsetup.exe"), setup);
}

TEST(DesktopStart, RelativeDocumentIsResolvedAgainstTheCallersDirectory)
{
    CScratchDirectory scratch;
    const std::string setup = scratch.WriteFile("kellidsetup.exe", CStandInSetup::Bytes("kellid"));
    const std::string elsewhere = scratch.MakeDirectory("elsewhere");
    CCurrentDirectory here(scratch.Path());

    // No working directory: the started program inherits ours.
    os::CDesktopStart inHere("kellidsetup.exe", "");
    EXPECT_EQ(inHere.Poll(), EState::Started);
    EXPECT_EQ(CStandInSetup::WaitForRun(scratch.Path(), "kellidsetup.exe"), setup);
    os::CDesktopStart inElsewhere("kellidsetup.exe", elsewhere.c_str());
    EXPECT_EQ(inElsewhere.Poll(), EState::Started);
    EXPECT_EQ(CStandInSetup::WaitForRun(elsewhere, "kellidsetup.exe"), setup);
}

TEST(DesktopStart, FailsWhereNothingCanStart)
{
    CScratchDirectory scratch;
    // A setup that arrived damaged: the system finds no program in it.
    const std::string damaged = scratch.WriteFile("varnoxsetup.exe", PatternBytes(4096, 1));
    const std::string setup = scratch.WriteFile("kellidsetup.exe", CStandInSetup::Bytes("kellid"));
    const std::string missingFile = scratch / "missing.exe";
    const std::string missingDirectory = scratch / "no-such-directory";
    const struct
    {
        const char* name;
        const char* path;
        const char* workingDirectory;
    } cases[] = {
        {"no program in the file", damaged.c_str(), scratch.Path().c_str()},
        {"no such file", missingFile.c_str(), scratch.Path().c_str()},
        {"no such working directory", setup.c_str(), missingDirectory.c_str()},
        {"empty path", "", scratch.Path().c_str()},
        {"no path", nullptr, scratch.Path().c_str()},
    };
    for (const auto& c : cases)
    {
        os::CDesktopStart start(c.path, c.workingDirectory);
        EXPECT_EQ(start.Poll(), EState::Failed) << c.name;
    }
}

} // namespace
