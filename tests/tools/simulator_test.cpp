#include "RecorderSimulator.h"
#include "SimulatorCommandLine.h"
#include "net/SocketPoller.h"
#include "protocol/EventQueue.h"
#include "protocol/ProtocolSession.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

namespace
{

using Options = CRecorderSimulator::Options;
using Outcome = CSimulatorCommandLine::Outcome;

Outcome Parse(std::vector<const char*> arguments, Options& options, std::string& error)
{
    arguments.insert(arguments.begin(), "quorvel-recorder-sim");
    return CSimulatorCommandLine::Parse(static_cast<int>(arguments.size()), arguments.data(), options, error);
}

TEST(SimulatorCommandLine, ReadsEveryOption)
{
    Options options;
    std::string error;
    ASSERT_EQ(Parse({"--root",
                     "/srv/x",
                     "--port",
                     "0",
                     "--password",
                     "Pässwort",
                     "--level",
                     "2",
                     "--protocol-version",
                     "VUZ1.2",
                     "--first-text",
                     "A",
                     "--third-text",
                     "B",
                     "--switch",
                     "0",
                     "--refuse-login",
                     "4",
                     "--deny-foreign",
                     "3",
                     "--deny-command",
                     "4/6",
                     "--ack27",
                     "1/6",
                     "--corrupt-checksum",
                     "4/2",
                     "--drop-after",
                     "1000",
                     "--throttle",
                     "40000",
                     "--byte-by-byte",
                     "--time-answer",
                     "1",
                     "--file-in-datalen",
                     "--malformed-file",
                     "short-size",
                     "--quiet"},
                    options, error),
              Outcome::Run)
        << error;
    EXPECT_EQ(options.root, "/srv/x");
    EXPECT_EQ(options.port, 0);
    EXPECT_EQ(options.password, "Pässwort");
    EXPECT_EQ(options.userLevel, 2);
    EXPECT_EQ(options.version, "VUZ1.2");
    EXPECT_EQ(options.firstText, "A");
    EXPECT_EQ(options.thirdText, "B");
    EXPECT_FALSE(options.switchOn);
    EXPECT_EQ(options.loginRefusalAck, 4);
    EXPECT_EQ(options.denyForeignCount, 3);
    EXPECT_EQ(options.denyForeignCommand.target, 4);
    EXPECT_EQ(options.denyForeignCommand.com, 6);
    EXPECT_EQ(options.ack27Command.target, 1);
    EXPECT_EQ(options.corruptChecksumCommand.com, 2);
    EXPECT_EQ(options.dropAfterFileBytes, 1000);
    EXPECT_EQ(options.throttleBytesPerSecond, 40000);
    EXPECT_TRUE(options.byteByByte);
    EXPECT_EQ(options.unsolicitedTimeLayout, 1);
    EXPECT_TRUE(options.fileBytesInDataLen);
    EXPECT_EQ(options.malformedFile, CRecorderSimulator::MalformedFile::ShortSizeItem);
    EXPECT_FALSE(options.verbose);
}

TEST(SimulatorCommandLine, RejectsWhatItCannotUse)
{
    const std::vector<std::vector<const char*>> wrong = {
        {"--bogus"},
        {"--port"},
        {"--port", "70000"},
        {"--port", "12x"},
        {"--refuse-login", "1"},
        {"--deny-command", "4"},
        {"--ack27", "a/b"},
        {"--malformed-file", "weird"},
        {"--throttle", "0"},
        {"stray"},
    };
    for (const auto& arguments : wrong)
    {
        Options options;
        std::string error;
        EXPECT_EQ(Parse(arguments, options, error), Outcome::Error) << arguments[0];
        EXPECT_FALSE(error.empty());
    }
}

TEST(SimulatorCommandLine, HelpDocumentsEveryOption)
{
    Options options;
    std::string error;
    EXPECT_EQ(Parse({"--port", "1", "--help"}, options, error), Outcome::ShowHelp);
    // The program's version; the protocol version the simulator reports has an option of its own.
    EXPECT_EQ(Parse({"--protocol-version", "2.0.30", "--version"}, options, error), Outcome::ShowVersion);
    const std::string usage = CSimulatorCommandLine::Usage();
    for (const char* option :
         {"--root",         "--port",        "--password",         "--level",          "--protocol-version",
          "--first-text",   "--third-text",  "--switch",           "--refuse-login",   "--deny-foreign",
          "--deny-command", "--ack27",       "--corrupt-checksum", "--drop-after",     "--throttle",
          "--byte-by-byte", "--time-answer", "--file-in-datalen",  "--malformed-file", "--quiet",
          "--help",         "--version"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
}

// Reads one line from the descriptor, waiting at most `timeoutMs` in total.
std::string ReadLine(int descriptor, int timeoutMs)
{
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline)
    {
        pollfd readable{descriptor, POLLIN, 0};
        if (poll(&readable, 1, 50) <= 0)
            continue;
        char c = 0;
        if (read(descriptor, &c, 1) != 1 || c == '\n')
            break;
        line += c;
    }
    return line;
}

TEST(SimulatorExecutable, AnnouncesAFreePortAndServesASession)
{
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
    {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        execl(QUORVEL_RECORDER_SIM_PATH, "quorvel-recorder-sim", "--port", "0", "--password", "pw", nullptr);
        _exit(127);
    }
    close(pipeEnds[1]);

    const std::string line = ReadLine(pipeEnds[0], 5000);
    const std::string prefix = "listening on 127.0.0.1:";
    int port = 0;
    if (line.rfind(prefix, 0) == 0)
        port = std::stoi(line.substr(prefix.size()));
    EXPECT_GT(port, 0) << line;

    bool ready = false;
    if (port > 0)
    {
        CEventQueue queue;
        CProtocolSession session;
        CSocketPoller poller;
        poller.Register(&session.Connection());
        session.SetPort(port);
        session.Connect("127.0.0.1", "pw", "", &queue);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!ready && std::chrono::steady_clock::now() < deadline)
        {
            poller.Poll(false, true);
            session.Step();
            for (; queue.HasEvents(); queue.Pop())
                ready = ready || CEventQueue::EventCode(queue.Front()) == StatusCode(EStatus::Connected);
        }
        session.Disconnect();
        // Every packet is logged on the simulator's standard output.
        EXPECT_NE(ReadLine(pipeEnds[0], 2000).find("recv Target 4 Com 2 Ident 2"), std::string::npos);
    }
    EXPECT_TRUE(ready);

    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    close(pipeEnds[0]);
}

} // namespace
