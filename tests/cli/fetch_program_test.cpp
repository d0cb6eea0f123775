#include "RecorderScenario.h"
#include "TestProgram.h"
#include "os/Locale.h"
#include "os/Paths.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace
{

using EStreams = CTestProgram::EStreams;

const std::string English = "LC_ALL=C.UTF-8";

std::vector<std::string> Arguments(const CRecorderScenario& scenario, std::vector<std::string> more)
{
    std::vector<std::string> arguments = {"--address", "127.0.0.1",
                                          "--port",    std::to_string(scenario.Port()),
                                          "--dir",     scenario.DownloadDirectory()};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return arguments;
}

std::string InDownloads(const CRecorderScenario& scenario, const char* name)
{
    return scenario.DownloadDirectory() + os::PathSeparator() + name;
}

TEST(FetchProgram, WritesPlainLinesIntoAPipe)
{
    CRecorderScenario scenario;
    ASSERT_TRUE(scenario.StartRecorder());
    CTestProgram fetch(QUORVEL_FETCH_PATH, Arguments(scenario, {"--password-env", "RECORDER_PASSWORD"}),
                       {English, std::string("RECORDER_PASSWORD=") + CRecorderScenario::Password},
                       EStreams::Pipes);

    ASSERT_EQ(fetch.Finish(), 0) << fetch.Errors();
    EXPECT_EQ(fetch.Errors(), "");
    EXPECT_EQ(fetch.Output().find('\r'), std::string::npos);
    EXPECT_EQ(fetch.Output().rfind("Connecting...\nDevice information is requested.\nConnected.\n", 0), 0u)
        << fetch.Output();
    EXPECT_NE(fetch.Output().find("\nvarnoxsetup.exe: 300 / 300 KB ( 100.0% )\nSaved: " +
                                  InDownloads(scenario, "varnoxsetup.exe") + "\n"),
              std::string::npos)
        << fetch.Output();
    EXPECT_EQ(ReadWholeFile(InDownloads(scenario, "varnoxsetup.exe")), scenario.VarnoxContent);
    EXPECT_EQ(ReadWholeFile(InDownloads(scenario, "kellidsetup.exe")), scenario.KellidContent);
}

// The translator's German texts leave as UTF-8 bytes, whatever the system's code page (a console
// gets them as UTF-16, tried in tests/os).
TEST(FetchProgram, WritesGermanTextsAsUtf8IntoAPipe)
{
#ifdef _WIN32
    // Wine gives a program Windows' language from the locale variables it was started with, not from
    // those handed to the programs it starts: the run with LC_ALL German does this test.
    if (!os::IsSystemLanguageGerman())
        GTEST_SKIP() << "Windows' language is German in FetchProgram.WritesGermanTextsAsUtf8IntoAPipe.German";
#endif
    CRecorderScenario scenario;
    ASSERT_TRUE(scenario.StartRecorder());
    std::filesystem::remove(std::filesystem::u8path(scenario.DepotDirectory()) /
                            CRecorderScenario::VarnoxName);
    CTestProgram fetch(
        QUORVEL_FETCH_PATH, Arguments(scenario, {"--password-env", "RECORDER_PASSWORD"}),
        {"LC_ALL=de_DE.UTF-8", std::string("RECORDER_PASSWORD=") + CRecorderScenario::Password},
        EStreams::Pipes);

    EXPECT_EQ(fetch.Finish(), 5);
    EXPECT_EQ(fetch.Output().rfind("Verbindungsaufbau...\n"
                                   "Verbindung besteht. Die Ger\xc3\xa4tedaten werden ermittelt.\n"
                                   "Verbindung besteht.\n",
                                   0),
              0u)
        << fetch.Output();
    EXPECT_EQ(fetch.Errors(), "quorvel-fetch: Es ist ein Fehler aufgetreten. <\xc3\x96"
                              "ffnen des Files schlug "
                              "fehl!> Datei: varnoxsetup.exe\n");
}

// The first failure decides the status; the message is one line on standard error.
TEST(FetchProgram, EndsWithTheStatusOfTheFailure)
{
    CRecorderScenario scenario;
    ASSERT_TRUE(scenario.StartRecorder());
    const struct
    {
        std::vector<std::string> arguments;
        int status;
        std::string error;
    } cases[] = {
        {Arguments(scenario, {"--password-env", "WRONG_PASSWORD"}), 4,
         "quorvel-fetch: A fatal error occured: <System access has not been granted.> The download can not "
         "be "
         "continued! File: varnoxsetup.exe\n"},
        {{"--address", "127.0.0.1", "--port", std::to_string(CRecorderScenario::ClosedPort()), "--dir",
          scenario.DownloadDirectory(), "--password-env", "RECORDER_PASSWORD"},
         3,
         "quorvel-fetch: A fatal error occured: <Connection request rejected!> The download can not be "
         "continued! File: varnoxsetup.exe\n"},
    };
    for (const auto& c : cases)
    {
        CTestProgram fetch(QUORVEL_FETCH_PATH, c.arguments,
                           {English, std::string("RECORDER_PASSWORD=") + CRecorderScenario::Password,
                            "WRONG_PASSWORD=wrong"},
                           EStreams::Pipes);
        EXPECT_EQ(fetch.Finish(), c.status) << fetch.Errors();
        EXPECT_EQ(fetch.Errors(), c.error);
    }
    EXPECT_TRUE(scenario.DownloadedNames().empty());
}

// Names from the command line reach the system whole, whatever their characters (Windows hands a
// program's main only what its ANSI code page can hold).
TEST(FetchProgram, SavesIntoADirectoryNamedInAnyScript)
{
    CRecorderScenario scenario;
    ASSERT_TRUE(scenario.StartRecorder());
    const std::string directory = scenario.Scratch() / "Ger\xc3\xa4te \xce\xb1\xce\xb2";
    std::filesystem::create_directory(std::filesystem::u8path(directory));
    std::vector<std::string> arguments =
        Arguments(scenario, {"--password-env", "RECORDER_PASSWORD", "--package", "kellid"});
    arguments[5] = directory;
    CTestProgram fetch(QUORVEL_FETCH_PATH, arguments,
                       {English, std::string("RECORDER_PASSWORD=") + CRecorderScenario::Password},
                       EStreams::Pipes);

    ASSERT_EQ(fetch.Finish(), 0) << fetch.Errors();
    const std::string saved = directory + os::PathSeparator() + "kellidsetup.exe";
    EXPECT_NE(fetch.Output().find("Saved: " + saved + "\n"), std::string::npos) << fetch.Output();
    std::ifstream file(std::filesystem::u8path(saved), std::ios::binary);
    EXPECT_EQ(std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()),
              scenario.KellidContent);
}

#ifndef _WIN32
// A pseudo-terminal and /proc are POSIX's; the console's password prompt is tried in tests/os.

bool WaitFor(const std::atomic<bool>& flag, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!flag && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return flag;
}

TEST(FetchProgram, AsksForThePasswordWithoutEchoAndRedrawsProgressOnATerminal)
{
    CRecorderScenario scenario;
    ASSERT_TRUE(scenario.StartRecorder());
    CTestProgram fetch(QUORVEL_FETCH_PATH, Arguments(scenario, {"--package", "varnox"}), {English},
                       EStreams::Terminal);

    ASSERT_TRUE(fetch.WaitForOutput("Password: ")) << fetch.Output();
    fetch.Type(std::string(CRecorderScenario::Password) + "\n");
    ASSERT_EQ(fetch.Finish(), 0) << fetch.Output();

    const std::string& output = fetch.Output();
    EXPECT_EQ(output.find(CRecorderScenario::Password), std::string::npos) << output;
    // The terminal turns each line end into "\r\n"; a status line starts with a bare "\r".
    EXPECT_NE(output.find("\rConnecting..."), std::string::npos) << output;
    EXPECT_NE(output.find("\r[####################] varnoxsetup.exe: 300 / 300 KB ( 100.0% )\r\nSaved: "),
              std::string::npos)
        << output;
    EXPECT_EQ(ReadWholeFile(InDownloads(scenario, "varnoxsetup.exe")), scenario.VarnoxContent);
}

TEST(FetchProgram, ThePasswordNeverShowsInTheProcessList)
{
    CRecorderScenario scenario;
    // The recorder holds the login's answer until the test has looked at the waiting program.
    std::atomic<bool> loginArrived{false};
    std::atomic<bool> looked{false};
    CRecorderSimulator::Options options;
    options.replyOverride = [&](const CRecorderSimulator::ReceivedPacket& packet, std::vector<uint8_t>&)
    {
        if (Commands::Login.Matches(packet.header))
        {
            loginArrived = true;
            WaitFor(looked, 10000);
        }
        return false;
    };
    ASSERT_TRUE(scenario.StartRecorder(options));
    const std::string password = CRecorderScenario::Password;
    const std::string passwordFile =
        scenario.Scratch().WriteFile("password", std::vector<uint8_t>(password.begin(), password.end()));

    const std::vector<std::string> sources[] = {{"--password-file", passwordFile},
                                                {"--password-env", "RECORDER_PASSWORD"}};
    for (const std::vector<std::string>& source : sources)
    {
        SCOPED_TRACE(source[0]);
        loginArrived = false;
        looked = false;
        CTestProgram fetch(QUORVEL_FETCH_PATH, Arguments(scenario, source),
                           {English, std::string("RECORDER_PASSWORD=") + CRecorderScenario::Password},
                           EStreams::Pipes);
        ASSERT_TRUE(WaitFor(loginArrived, 10000));
        bool readable = false;
        const std::vector<uint8_t> commandLine =
            ReadWholeFile("/proc/" + std::to_string(fetch.Id()) + "/cmdline", &readable);
        looked = true;
        ASSERT_TRUE(readable);
        const std::string arguments(commandLine.begin(), commandLine.end());
        EXPECT_NE(arguments.find(source[0]), std::string::npos);
        EXPECT_EQ(arguments.find(CRecorderScenario::Password), std::string::npos);
        // The recorder accepted the password it was sent.
        EXPECT_EQ(fetch.Finish(), 0) << fetch.Errors();
    }
}

#endif

TEST(FetchProgram, RefusesAPasswordOnTheCommandLine)
{
    CRecorderScenario scenario;
    ASSERT_TRUE(scenario.StartRecorder());
    CTestProgram fetch(QUORVEL_FETCH_PATH, Arguments(scenario, {"--password", CRecorderScenario::Password}),
                       {English}, EStreams::Pipes);

    EXPECT_EQ(fetch.Finish(), 2);
    EXPECT_EQ(fetch.Errors(), "quorvel-fetch: the password is never taken from the command line, where every "
                              "user can see it; use --password-file or --password-env (see 'quorvel-fetch "
                              "--help')\n");
    EXPECT_EQ(scenario.Recorder().ConnectionCount(), 0);
}

} // namespace
