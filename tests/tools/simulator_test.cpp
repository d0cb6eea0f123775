#include "RecorderSimulator.h"
#include "ScratchDirectory.h"
#include "SimulatorCommandLine.h"
#include "TestProgram.h"
#include "net/SocketPoller.h"
#include "os/Sockets.h"
#include "protocol/EventQueue.h"
#include "protocol/ProtocolSession.h"
#include "wire/ItemListWriter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <iterator>
#include <sstream>
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

TEST(SimulatorCommandLine, ReadsAndDocumentsEveryOption)
{
    // Every option, with a value where it takes one.
    std::istringstream line("--root /srv/x --port 0 --password Pässwort --level 2 --protocol-version VUZ1.2 "
                            "--first-text A --third-text B --switch 0 --refuse-login 4 --deny-foreign 3 "
                            "--deny-command 4/6 --ack27 1/6 --corrupt-checksum 4/2 --drop-after 1000 "
                            "--throttle 40000 --byte-by-byte --time-answer 1 --file-in-datalen "
                            "--malformed-file short-size --quiet");
    const std::vector<std::string> words{std::istream_iterator<std::string>(line),
                                         std::istream_iterator<std::string>()};
    std::vector<const char*> arguments;
    for (const std::string& word : words)
        arguments.push_back(word.c_str());
    Options options;
    std::string error;
    ASSERT_EQ(Parse(arguments, options, error), Outcome::Run) << error;
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

    EXPECT_EQ(Parse({"--port", "1", "--help"}, options, error), Outcome::ShowHelp);
    // The program's version; the protocol version the simulator reports has an option of its own.
    EXPECT_EQ(Parse({"--protocol-version", "2.0.30", "--version"}, options, error), Outcome::ShowVersion);
    const std::string usage = CSimulatorCommandLine::Usage();
    for (const char* option : {"--help", "--version"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    for (const std::string& word : words)
        EXPECT_TRUE(word.rfind("--", 0) != 0 || usage.find(word) != std::string::npos) << word;
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

TEST(SimulatorExecutable, AnnouncesAFreePortAndServesASession)
{
    CTestProgram simulator(QUORVEL_RECORDER_SIM_PATH, {"--port", "0", "--password", "pw"}, {},
                           CTestProgram::EStreams::Pipes);
    const std::string prefix = "listening on 127.0.0.1:";
    ASSERT_TRUE(simulator.WaitForOutput("\n")) << simulator.Errors();
    ASSERT_EQ(simulator.Output().rfind(prefix, 0), 0u) << simulator.Output();
    const int port = std::stoi(simulator.Output().substr(prefix.size()));
    ASSERT_GT(port, 0) << simulator.Output();

    CEventQueue queue;
    CProtocolSession session;
    CSocketPoller poller;
    poller.Register(&session.Connection());
    session.SetPort(port);
    session.Connect("127.0.0.1", "pw", "", &queue);
    bool ready = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!ready && std::chrono::steady_clock::now() < deadline)
    {
        poller.Poll(false, true);
        session.Step();
        for (; queue.HasEvents(); queue.Pop())
            ready = ready || CEventQueue::Read(queue.Front()).code == StatusCode(EStatus::Connected);
    }
    session.Disconnect();
    EXPECT_TRUE(ready);
    // Every packet is logged on the simulator's standard output.
    EXPECT_TRUE(simulator.WaitForOutput("recv Target 4 Com 2 Ident 2")) << simulator.Output();
}

// A command whose list holds one item.
std::vector<uint8_t> Packet(const SCommand& command, uint16_t tag, const std::string& value)
{
    CItemListWriter list;
    list.Add(tag, static_cast<uint16_t>(value.size()), value.data());
    const auto header = CRecorderSimulator::EncodeHeader(command.target, command.com, 0, 0, 0, list.Length());
    std::vector<uint8_t> packet(list.Data(), list.Data() + list.Length());
    packet.insert(packet.begin(), header.begin(), header.end());
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
        Packet(Commands::Login, Tags::Login, std::string("\x02\x00", 2) + password + '\0');
    const std::vector<uint8_t> request =
        Packet(Commands::FileRequest, Tags::FilePath, "/home/depot/software/" + name + '\0');
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
    ::testing::Values(StreamCase{"CutInsideTheSecondBlock", 2 * Block + 7,
                                 static_cast<long long>(Block) + 100, 0},
                      StreamCase{"CutAtABlockBoundary", 2 * Block, static_cast<long long>(Block), 0},
                      StreamCase{"ThrottledAcrossABlock", Block + 1000, -1, 16 * 1024 * 1024}),
    [](const ::testing::TestParamInfo<StreamCase>& parameter) { return std::string(parameter.param.name); });

} // namespace
