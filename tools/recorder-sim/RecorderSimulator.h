#pragma once

#include "os/Sockets.h"
#include "wire/CommandPacket.h"
#include "wire/Commands.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// The recorder's side of the command protocol, for tests, benchmarks and demos: listens on
// 127.0.0.1, serves one connection after another, answers the version request, the login, the
// device-information requests, the session time-out, the keep-alive and file requests from a local
// folder, logs every packet it receives, and injects faults on request.
class CRecorderSimulator
{
public:
    // A command chosen by its Target and Com, or none.
    struct CommandId
    {
        int target = -1;
        int com = -1;

        CommandId() = default;
        CommandId(const SCommand& command) : target(command.target), com(command.com) {}
        bool Matches(const CCommandPacket& header) const
        {
            return header.Target() == target && header.Com() == com;
        }
    };

    enum class MalformedFile
    {
        None,
        DataLenZero,      // header with DataLen 0 and nothing behind it
        MissingEndMarker, // the item list without its end marker, no file bytes
        NegativeSize,     // tag 2 = -5
        ShortSizeItem,    // tag 2 with a 2-byte value
        OverflowingSize,  // tag 2 so large that list length + size overflows 32 bits
        DataLenMismatch,  // DataLen covers the list and 3 file bytes, neither the list nor everything
    };

    struct ReceivedPacket
    {
        int connection = 0;                    // 1 for the first accepted connection
        std::array<uint8_t, 18> headerBytes{}; // as received
        CCommandPacket header;
        bool checksumValid = false;
        std::vector<uint8_t> payload;
    };

    struct Options
    {
        std::string root = ".";                         // served as /home/depot/software/
        int port = 30000;                               // 0 picks a free port
        std::string password;                           // UTF-8; compared as Windows-1252 bytes
        int userLevel = Parameters::AdministratorLevel; // LParam of the accepted login
        std::string version = "2.1.0";                  // item 4
        std::string firstText = "Recorder Süd";         // item 1, sent as CP850
        std::string thirdText = "Gerät 1";              // item 3, sent as CP850
        bool switchOn = true;                           // item 2

        int loginRefusalAck = 0;  // non-zero: the login is answered with this Ack
        int denyForeignCount = 0; // answer the chosen command with Ack 5 this often first
        CommandId denyForeignCommand{Commands::Login};
        CommandId ack27Command;            // answered with Ack 27 every time
        CommandId corruptChecksumCommand;  // its answers carry a wrong header checksum
        long long dropAfterFileBytes = -1; // close the connection after this many file bytes
        long long throttleBytesPerSecond = 0;
        bool byteByByte = false;         // one send per byte
        int unsolicitedTimeLayout = -1;  // 0 or 1: a Target 3 Com 4 answer follows the login answer
        bool fileBytesInDataLen = false; // the file answer's DataLen covers the file bytes too
        MalformedFile malformedFile = MalformedFile::None;
        bool verbose = false; // one line per received packet on stdout

        // For tests: raw bytes sent right after an accepted login's answer.
        std::vector<uint8_t> extraAfterLogin;
        // For tests: when set and returning true, `reply` (possibly empty) is sent instead of the
        // normal answer to `packet`.
        std::function<bool(const ReceivedPacket& packet, std::vector<uint8_t>& reply)> replyOverride;
    };

    // A file is read and sent in blocks of this size: its first byte goes out at once, and the
    // simulator's memory stays small whatever the file's size.
    static constexpr size_t FileBlockSize = 256 * 1024;

    explicit CRecorderSimulator(Options options);
    CRecorderSimulator(const CRecorderSimulator&) = delete;
    CRecorderSimulator& operator=(const CRecorderSimulator&) = delete;
    ~CRecorderSimulator();

    // Binds and listens on 127.0.0.1; false with an explanation in `error`.
    bool Listen(std::string& error);
    // Serves connections until RequestStop.
    void Serve();
    // Listen, then Serve on a background thread.
    bool Start(std::string& error);
    void RequestStop() { m_stopRequested = true; }
    // RequestStop and wait for the background thread.
    void Stop();

    int Port() const { return m_port; }
    std::vector<ReceivedPacket> ReceivedPackets() const;
    // The remote paths of the file requests received so far, in order.
    std::vector<std::string> RequestedFilePaths() const;
    // Waits until at least `count` packets were logged; false after `timeoutMs`.
    bool WaitForPacketCount(size_t count, int timeoutMs) const;
    int ConnectionCount() const { return m_connectionCount; }

    // Header bytes with a correct checksum.
    static std::array<uint8_t, 18> EncodeHeader(uint16_t target, uint16_t com, uint16_t ident, uint16_t ack,
                                                int32_t lParam, int32_t dataLen);
    // The recorder's local date and time as a Target 3 Com 4 answer in the given layout
    // (LParam 1: six 16-bit numbers day, month, year, hour, minute, second; otherwise six bytes
    // hour, minute, day, month, year - 1900, second).
    static std::vector<uint8_t> TimeAnswer(int layout, uint16_t ident, int day, int month, int year, int hour,
                                           int minute, int second);

private:
    // The file bytes that follow an answer's head on the wire: the first `length` bytes of the file.
    struct FileTail
    {
        std::string path;
        size_t length = 0;
    };

    struct ConnectionState
    {
        os::SocketHandle socket = os::InvalidSocket;
        bool loggedIn = false;
        int denyForeignLeft = 0;
    };

    void ServeConnection(os::SocketHandle socket);
    // Builds and sends the answer; false when the connection is to be closed.
    bool Answer(ConnectionState& connection, const ReceivedPacket& packet);
    std::vector<uint8_t> DeviceInformation(const ReceivedPacket& packet) const;
    std::vector<uint8_t> LoginAnswer(ConnectionState& connection, const ReceivedPacket& packet) const;
    bool PasswordMatches(const std::vector<uint8_t>& payload) const;
    bool ExpectsItemListLogin() const;
    // The file answer's head (header and item list); `tail` receives the file bytes that follow it.
    std::vector<uint8_t> FileAnswer(const ReceivedPacket& packet, FileTail& tail) const;
    // The remote path a file request names; false when it names none.
    static bool RequestedPath(const ReceivedPacket& packet, std::string& remotePath);
    // Resolves a requested remote path to a local file; false for anything outside the folder.
    bool LocalPathFor(const ReceivedPacket& packet, std::string& localPath) const;
    // Sends `head` and then `tail` (read from its file block by block) with the configured pacing;
    // stops after `dropAfter` bytes when that is not negative. False when the connection failed or
    // was cut on purpose.
    bool Deliver(os::SocketHandle socket, const std::vector<uint8_t>& head, const FileTail& tail,
                 long long dropAfter);
    bool Deliver(os::SocketHandle socket, const std::vector<uint8_t>& bytes, long long dropAfter)
    {
        return Deliver(socket, bytes, FileTail(), dropAfter);
    }
    bool SendChunk(os::SocketHandle socket, const uint8_t* data, size_t length);
    void Log(const ReceivedPacket& packet);

    Options m_options;
    os::SocketHandle m_listenSocket = os::InvalidSocket;
    bool m_socketsStarted = false;
    int m_port = 0;
    std::atomic<bool> m_stopRequested{false};
    std::atomic<int> m_connectionCount{0};
    std::thread m_thread;
    mutable std::mutex m_logMutex;
    std::vector<ReceivedPacket> m_log;
};
