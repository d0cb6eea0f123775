#include "RecorderSimulator.h"
#include "ScratchDirectory.h"
#include "SimulatorCommandLine.h"
#include "net/SocketPoller.h"
#include "os/Sockets.h"
#include "protocol/EventQueue.h"
#include "protocol/ProtocolSession.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

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

#ifndef _WIN32
// On Windows the executable is started by the end-to-end test of the real window (tests/win32).

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
                ready = ready || CEventQueue::Read(queue.Front()).code == StatusCode(EStatus::Connected);
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
#endif

// An item of a list: 16-bit length, 16-bit tag, value.
std::vector<uint8_t> Item(uint16_t tag, const std::string& value)
{
    std::vector<uint8_t> item(4 + value.size());
    item[0] = static_cast<uint8_t>(value.size());
    item[1] = static_cast<uint8_t>(value.size() >> 8);
    item[2] = static_cast<uint8_t>(tag);
    item[3] = static_cast<uint8_t>(tag >> 8);
    std::copy(value.begin(), value.end(), item.begin() + 4);
    return item;
}

std::vector<uint8_t> Packet(const SCommand& command, const std::vector<uint8_t>& items)
{
    std::vector<uint8_t> data = items;
    data.insert(data.end(), {0, 0, 0xFF, 0xFF});
    const auto header = CRecorderSimulator::EncodeHeader(command.target, command.com, 0, 0, 0,
                                                         static_cast<int32_t>(data.size()));
    std::vector<uint8_t> packet(header.begin(), header.end());
    packet.insert(packet.end(), data.begin(), data.end());
    return packet;
}

// Logs in with a plain socket, asks for the file and keeps every byte of the answer until the
// simulator closes the connection or `limit` bytes have come, waiting at most `timeoutMs`.
std::vector<uint8_t> FetchRaw(int port, const std::string& password, const std::string& name, size_t limit,
                              bool& closedByPeer, int timeoutMs = 10000)
{
    closedByPeer = false;
    const os::SocketHandle socket = os::CreateTcpSocket();
    uint32_t loopback = 0;
    std::vector<uint8_t> received;
    if (!os::ParseIPv4Address("127.0.0.1", loopback) || !os::ConnectIPv4(socket, loopback, port))
    {
        os::CloseSocket(socket);
        return received;
    }
    const std::vector<uint8_t> login =
        Packet(Commands::Login, Item(Tags::Login, std::string("\x02\x00", 2) + password + '\0'));
    const std::vector<uint8_t> request =
        Packet(Commands::FileRequest, Item(Tags::FilePath, "/home/depot/software/" + name + '\0'));
    std::vector<uint8_t> toSend = login;
    size_t loginAnswer = CCommandPacket::HeaderSize();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::vector<uint8_t> chunk(65536);
    while (received.size() < limit + loginAnswer && std::chrono::steady_clock::now() < deadline)
    {
        if (!toSend.empty())
        {
            os::SendBytes(socket, toSend.data(), static_cast<int>(toSend.size()));
            toSend.clear();
        }
        if (!os::WaitUntilReadable(socket, 50))
            continue;
        const int count = os::ReceiveBytes(socket, chunk.data(), static_cast<int>(chunk.size()));
        if (count <= 0)
        {
            closedByPeer = count == 0;
            break;
        }
        received.insert(received.end(), chunk.begin(), chunk.begin() + count);
        // The file is asked for once the login's answer is complete.
        if (loginAnswer > 0 && received.size() >= loginAnswer)
        {
            received.erase(received.begin(), received.begin() + static_cast<long>(loginAnswer));
            loginAnswer = 0;
            toSend = request;
        }
    }
    os::CloseSocket(socket);
    return received;
}

struct StreamCase
{
    const char* name;
    size_t size;
    long long dropAfterFileBytes; // -1: the whole file
    long long throttleBytesPerSecond;
};

class FileStream : public ::testing::TestWithParam<StreamCase>
{
};

// Files are read and sent in blocks; across their boundaries every byte arrives, in order, and
// the faults still cut and pace the stream where they should.
TEST_P(FileStream, CrossesBlockBoundariesByteForByte)
{
    const StreamCase& sample = GetParam();
    CScratchDirectory folder;
    const std::vector<uint8_t> content = PatternBytes(sample.size, 3);
    folder.WriteFile("big.exe", content);
    Options options;
    options.root = folder.Path();
    options.port = 0;
    options.password = "pw";
    options.verbose = false;
    options.dropAfterFileBytes = sample.dropAfterFileBytes;
    options.throttleBytesPerSecond = sample.throttleBytesPerSecond;
    CRecorderSimulator simulator(options);
    std::string error;
    ASSERT_TRUE(simulator.Start(error)) << error;

    const size_t listLength = 4 + std::string("/home/depot/software/big.exe").size() + 1 + 4 + 4 + 4;
    const size_t head = CCommandPacket::HeaderSize() + listLength;
    const bool cut = sample.dropAfterFileBytes >= 0;
    const size_t expectedFileBytes = cut ? static_cast<size_t>(sample.dropAfterFileBytes) : sample.size;
    bool closedByPeer = false;
    const std::vector<uint8_t> answer =
        FetchRaw(simulator.Port(), "pw", "big.exe", head + sample.size, closedByPeer);
    simulator.Stop();

    ASSERT_EQ(answer.size(), head + expectedFileBytes);
    CCommandPacket header;
    ASSERT_TRUE(header.ReadFrom(answer.data()));
    EXPECT_EQ(header.DataLen(), static_cast<int32_t>(listLength));
    EXPECT_TRUE(std::equal(answer.begin() + static_cast<long>(head), answer.end(), content.begin()));
    EXPECT_EQ(closedByPeer, cut);
}

constexpr size_t Block = CRecorderSimulator::FileBlockSize;

INSTANTIATE_TEST_SUITE_P(
    Blocks, FileStream,
    ::testing::Values(StreamCase{"SeveralBlocks", 2 * Block + Block / 2 + 7, -1, 0},
                      StreamCase{"CutInsideTheSecondBlock", 2 * Block + 7,
                                 static_cast<long long>(Block) + 100, 0},
                      StreamCase{"CutAtABlockBoundary", 2 * Block, static_cast<long long>(Block), 0},
                      StreamCase{"ThrottledAcrossABlock", Block + 1000, -1, 16 * 1024 * 1024}),
    [](const ::testing::TestParamInfo<StreamCase>& parameter) { return std::string(parameter.param.name); });

} // namespace
