#include "OperatorInput.h"
#include "ScratchDirectory.h"
#include "StandInSetup.h"
#include "WindowProgram.h"
#include "os/Sockets.h"
#include "os/win32/WideText.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace
{

// Quorvel always calls the recorder's port.
constexpr int RecorderPort = 30000;

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool RecorderAnswers()
{
    const os::SocketHandle probe = os::CreateTcpSocket();
    uint32_t loopback = 0;
    const bool connected = probe != os::InvalidSocket && os::ParseIPv4Address("127.0.0.1", loopback) &&
                           os::ConnectIPv4(probe, loopback, RecorderPort);
    os::CloseSocket(probe);
    return connected;
}

TEST(QuorvelDownload, BothSetupsArriveByteIdenticalRunAndAreRemovedAfterTheConfirmation)
{
    ASSERT_EQ(os::StartSockets(), 0);
    ASSERT_FALSE(RecorderAnswers()) << "port 30000 is taken; the test needs it for the simulator";

    CScratchDirectory scratch;
    const std::string served = scratch.MakeDirectory("served");
    const std::string downloads = scratch.MakeDirectory("downloads");
    const std::vector<uint8_t> varnox = CStandInSetup::Bytes("varnox");
    const std::vector<uint8_t> kellid = CStandInSetup::Bytes("kellid");
    ASSERT_GT(varnox.size(), 1000u) << "the stand-in setup was not built";
    scratch.WriteFile("served\\varnoxsetup.exe", varnox);
    scratch.WriteFile("served\\kellidsetup.exe", kellid);

    CWindowProgram recorder(QUORVEL_RECORDER_SIM_EXE_PATH,
                            {"--port", "30000", "--password", "geheim", "--root", served});
    ASSERT_TRUE(recorder.IsStarted());
    ASSERT_TRUE(COperatorInput::WaitFor(RecorderAnswers, 20000)) << "the simulator does not listen";

    CWindowProgram quorvel(QUORVEL_EXE_PATH, {});
    const HWND window = quorvel.WaitForWindow(L"Quorvel V1.0");
    ASSERT_NE(window, nullptr);

    // The operator types address and password, then the directory, and presses Download.
    COperatorInput::Type(L"127.0.0.1");
    COperatorInput::Press(VK_TAB);
    COperatorInput::Type(L"geheim");
    COperatorInput::ClickCentreOf(GetDlgItem(window, 1008));
    COperatorInput::Press(VK_HOME);
    COperatorInput::PressWith(VK_SHIFT, VK_END);
    COperatorInput::Type(os::WideText(downloads.c_str()));
    COperatorInput::ClickCentreOf(GetDlgItem(window, 1007));

    const std::filesystem::path directory = std::filesystem::u8path(downloads);
    for (const char* name : {"varnoxsetup.exe", "kellidsetup.exe"})
    {
        SCOPED_TRACE(name);
        const std::wstring question = L"Do you want to execute the setup?\n<" + os::WideText(name) + L">";
        HWND box = nullptr;
        ASSERT_TRUE(COperatorInput::WaitFor(
            [&]
            {
                box = quorvel.FindWindowTitled(L"Quorvel");
                return box != nullptr && CWindowProgram::MessageOf(box) == question;
            },
            60000))
            << (box != nullptr ? std::string("a box shows something else") : std::string("no question"));
        if (std::string(name) == "varnoxsetup.exe")
        {
            // Both files were saved before the first question.
            EXPECT_EQ(ReadBytes(directory / "varnoxsetup.exe"), varnox);
            EXPECT_EQ(ReadBytes(directory / "kellidsetup.exe"), kellid);
        }
        SetForegroundWindow(box);
        COperatorInput::Press(VK_RETURN); // Yes is the box's default button
        ASSERT_TRUE(COperatorInput::WaitFor([&] { return !IsWindow(box); }));
    }

    const std::wstring confirmation = L"Please press the 'OK' button when the setup is complete.\n"
                                      L"Then the setup files are removed from your computer.";
    HWND box = nullptr;
    ASSERT_TRUE(COperatorInput::WaitFor(
        [&]
        {
            box = quorvel.FindWindowTitled(L"Quorvel");
            return box != nullptr && CWindowProgram::MessageOf(box) == confirmation;
        },
        20000));
    // The setups ran in the temporary directory, each from its saved file, and have ended.
    for (const char* name : {"varnoxsetup.exe", "kellidsetup.exe"})
        EXPECT_EQ(CStandInSetup::WaitForRun(downloads, name), downloads + "\\" + name);
    EXPECT_TRUE(FileExists(downloads + "\\varnoxsetup.exe")) << "removed only after the confirmation";

    SetForegroundWindow(box);
    COperatorInput::Press(VK_RETURN);
    EXPECT_TRUE(COperatorInput::WaitFor(
        [&] {
            return !FileExists(downloads + "\\varnoxsetup.exe") &&
                   !FileExists(downloads + "\\kellidsetup.exe");
        }));
    EXPECT_TRUE(
        COperatorInput::WaitFor([&] { return CWindowProgram::TextOf(GetDlgItem(window, 2)) == L"Close"; }));

    SetForegroundWindow(window);
    COperatorInput::Press(VK_ESCAPE);
    EXPECT_NE(quorvel.Finish(10000), -1) << "still running";
    os::StopSockets();
}

} // namespace
