// Quorvel.exe as a file manager or a shortcut starts it: with an argument it does not know and
// without a standard output. The window opens all the same (the one line about the argument goes to
// the standard error it was given), and the diagnostic lines of a download go to
// %LOCALAPPDATA%\Quorvel\quorvel.log, time-stamped and without the password.
#include "RecorderSimulator.h"
#include "ScratchDirectory.h"
#include "TestProgram.h"
#include "os/win32/WideText.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <regex>
#include <sstream>
#include <string>

namespace
{

// The one dialog with this caption (the tests that start Quorvel.exe run one at a time); null after
// 60 seconds.
HWND WaitForWindow(const wchar_t* caption)
{
    HWND window = nullptr;
    for (int attempt = 0; attempt < 1200 && (window = FindWindowW(L"#32770", caption)) == nullptr; ++attempt)
        Sleep(50);
    return window;
}

void SetText(HWND dialog, int id, const std::string& text)
{
    SendMessageW(GetDlgItem(dialog, id), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(os::WideText(text.c_str()).c_str()));
}

TEST(QuorvelExe, OpensItsWindowDespiteAnUnknownArgumentAndLogsWithoutThePassword)
{
    CScratchDirectory scratch;
    scratch.MakeDirectory("depot");
    scratch.WriteFile("depot\\varnoxsetup.exe", PatternBytes(5000, 3));
    const std::string downloads = scratch.MakeDirectory("downloads");
    CRecorderSimulator::Options options;
    options.root = scratch / "depot";
    options.password = "geheim";
    CRecorderSimulator recorder(options);
    std::string error;
    ASSERT_TRUE(recorder.Start(error)) << "Quorvel calls port 30000: " << error;

    scratch.MakeDirectory("AppData");
    CTestProgram quorvel(QUORVEL_EXE_PATH, {"--no-such-option"}, {"LOCALAPPDATA=" + (scratch / "AppData")},
                         CTestProgram::EStreams::ErrorsOnly);
    ASSERT_TRUE(quorvel.IsStarted());

    const HWND window = WaitForWindow(L"Quorvel V1.0");
    EXPECT_NE(window, nullptr);
    if (window != nullptr)
    {
        // The operator's entries and the click, as the controls' own messages.
        SetText(window, 1001, "127.0.0.1");
        SetText(window, 1002, "geheim");
        SetText(window, 1008, downloads);
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(1007, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, 1007)));
        // Logged in and saved: the question whether to run the setup.
        EXPECT_NE(WaitForWindow(L"Quorvel"), nullptr);
    }
    quorvel.Kill();
    quorvel.Finish();
    recorder.Stop();

    EXPECT_EQ(quorvel.Errors(), "quorvel: unknown option --no-such-option ignored (see 'quorvel --help')\n");
    const std::vector<uint8_t> bytes = ReadWholeFile(scratch / "AppData\\Quorvel\\quorvel.log");
    const std::string log(bytes.begin(), bytes.end());
    EXPECT_NE(log.find(" RQX Protocol Version: 2.1.0\r\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("geheim"), std::string::npos) << log;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);)
        EXPECT_TRUE(std::regex_match(line, std::regex("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d \\S.*\r")))
            << line;
}

} // namespace
