#include "RecorderSimulator.h"

#include "os/Sockets.h"
#include "os/Terminal.h"
#include "support/LittleEndian.h"
#include "support/TextCodec.h"
#include "wire/Commands.h"
#include "wire/ItemListReader.h"
#include "wire/ItemListWriter.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace
{

constexpr int kPollSliceMs = 50;
const char kSoftwareDirectory[] = "/home/depot/software/";

void AppendBytes(std::vector<uint8_t>& out, const void* data, size_t length)
{
    const auto* bytes = static_cast<const uint8_t*>(data);
    out.insert(out.end(), bytes, bytes + length);
}

void AppendHeader(std::vector<uint8_t>& out, uint16_t target, uint16_t com, uint16_t ident, uint16_t ack,
                  int32_t lParam, int32_t dataLen)
{
    const auto header = CRecorderSimulator::EncodeHeader(target, com, ident, ack, lParam, dataLen);
    AppendBytes(out, header.data(), header.size());
}

// An answer without data that echoes the command's Target, Com and Ident.
std::vector<uint8_t> PlainAnswer(const CCommandPacket& command, uint16_t ack, int32_t lParam)
{
    std::vector<uint8_t> out;
    AppendHeader(out, command.Target(), command.Com(), command.Ident(), ack, lParam, 0);
    return out;
}

std::vector<uint8_t> AnswerWithData(const CCommandPacket& command, uint16_t ack, int32_t lParam,
                                    const uint8_t* data, int32_t length)
{
    std::vector<uint8_t> out;
    AppendHeader(out, command.Target(), command.Com(), command.Ident(), ack, lParam, length);
    AppendBytes(out, data, static_cast<size_t>(length));
    return out;
}

bool AddText(CItemListWriter& list, uint16_t tag, const std::string& utf8)
{
    const std::string cp850 = CTextCodec::Utf8ToCp850(utf8.c_str());
    return list.Add(tag, static_cast<uint16_t>(cp850.size() + 1), cp850.c_str());
}

// Reads a.b.c (or "VUZ...") the way the recorder's clients classify it: true when the client is
// expected to send the login as an item list.
bool VersionWantsItemList(const std::string& version)
{
    if (version.size() > 3 && version.compare(0, 3, "VUZ") == 0)
        return true;
    long long numbers[3] = {0, 0, 0};
    int index = 0;
    for (char c : version)
    {
        if (c == '.')
        {
            if (++index > 2)
                return false;
        }
        else if (c >= '0' && c <= '9')
        {
            numbers[index] = std::min(numbers[index] * 10 + (c - '0'), 1000000LL);
        }
        else
        {
            return false;
        }
    }
    return numbers[0] * 10000 + numbers[1] * 100 + numbers[2] >= 20080;
}

std::string Describe(const CCommandPacket& header, size_t payloadLength, bool checksumValid)
{
    char line[160];
    std::snprintf(line, sizeof line,
                  "recv Target %u Com %u Ident %u Ack %u LParam %d DataLen %d%s (%zu data bytes)",
                  header.Target(), header.Com(), header.Ident(), header.Ack(), header.LParam(),
                  header.DataLen(), checksumValid ? "" : " BAD CHECKSUM", payloadLength);
    return line;
}

} // namespace

CRecorderSimulator::CRecorderSimulator(Options options) : m_options(std::move(options)) {}

CRecorderSimulator::~CRecorderSimulator()
{
    Stop();
    os::CloseSocket(m_listenSocket);
    if (m_socketsStarted)
        os::StopSockets();
}

std::array<uint8_t, 18> CRecorderSimulator::EncodeHeader(uint16_t target, uint16_t com, uint16_t ident,
                                                         uint16_t ack, int32_t lParam, int32_t dataLen)
{
    std::array<uint8_t, 18> bytes{};
    WriteUint16LE(&bytes[0], target);
    WriteUint16LE(&bytes[2], com);
    WriteUint16LE(&bytes[4], ident);
    WriteUint16LE(&bytes[6], ack);
    WriteInt32LE(&bytes[8], lParam);
    WriteInt32LE(&bytes[12], dataLen);
    WriteUint16LE(&bytes[16], ComputeChecksum(bytes.data()));
    return bytes;
}

std::vector<uint8_t> CRecorderSimulator::TimeAnswer(int layout, uint16_t ident, int day, int month, int year,
                                                    int hour, int minute, int second)
{
    std::vector<uint8_t> data;
    if (layout == Parameters::TimeInWords)
    {
        // Byte by byte: an insert of a two-byte array trips a false overflow warning of GCC 12's
        // optimiser.
        data.resize(12);
        int offset = 0;
        for (int field : {day, month, year, hour, minute, second})
        {
            WriteUint16LE(&data[static_cast<size_t>(offset)], static_cast<uint16_t>(field));
            offset += 2;
        }
    }
    else
    {
        for (int field : {hour, minute, day, month, year - 1900, second})
            data.push_back(static_cast<uint8_t>(field));
    }
    std::vector<uint8_t> out;
    AppendHeader(out, Commands::RecorderTime.target, Commands::RecorderTime.com, ident, Acks::Executed,
                 layout, static_cast<int32_t>(data.size()));
    AppendBytes(out, data.data(), data.size());
    return out;
}

bool CRecorderSimulator::Listen(std::string& error)
{
    if (!m_socketsStarted)
    {
        const int started = os::StartSockets();
        if (started != 0 && started != os::ErrorVersionNotSupported)
        {
            error = "cannot start the sockets interface: error " + std::to_string(started);
            return false;
        }
        m_socketsStarted = true;
    }
    m_listenSocket = os::ListenOnLoopback(m_options.port, 4, m_port);
    if (m_listenSocket == os::InvalidSocket)
    {
        error = "cannot listen on 127.0.0.1:" + std::to_string(m_options.port) + ": socket error " +
                std::to_string(os::LastSocketError());
        return false;
    }
    return true;
}

bool CRecorderSimulator::Start(std::string& error)
{
    if (!Listen(error))
        return false;
    m_thread = std::thread([this] { Serve(); });
    return true;
}

void CRecorderSimulator::Stop()
{
    RequestStop();
    if (m_thread.joinable())
        m_thread.join();
}

void CRecorderSimulator::Serve()
{
    while (!m_stopRequested)
    {
        if (!os::WaitUntilReadable(m_listenSocket, kPollSliceMs))
            continue;
        const os::SocketHandle connection = os::AcceptConnection(m_listenSocket);
        if (connection == os::InvalidSocket)
            continue;
        ++m_connectionCount;
        ServeConnection(connection);
        os::CloseSocket(connection);
    }
}

void CRecorderSimulator::ServeConnection(os::SocketHandle socket)
{
    os::SetNoDelay(socket);

    ConnectionState connection;
    connection.socket = socket;
    connection.denyForeignLeft = m_options.denyForeignCount;
    std::vector<uint8_t> received;
    uint8_t chunk[65536];

    while (!m_stopRequested)
    {
        if (!os::WaitUntilReadable(socket, kPollSliceMs))
            continue;
        const int count = os::ReceiveBytes(socket, chunk, static_cast<int>(sizeof chunk));
        if (count <= 0)
            return;
        received.insert(received.end(), chunk, chunk + count);

        while (received.size() >= 18)
        {
            ReceivedPacket packet;
            packet.connection = m_connectionCount;
            std::copy(received.begin(), received.begin() + 18, packet.headerBytes.begin());
            packet.checksumValid = packet.header.ReadFrom(packet.headerBytes.data());
            if (!packet.checksumValid || packet.header.DataLen() < 0)
            {
                // Like the client: a broken header leaves no way to find the next packet.
                Log(packet);
                received.clear();
                break;
            }
            const size_t packetLength = 18 + static_cast<size_t>(packet.header.DataLen());
            if (received.size() < packetLength)
                break;
            packet.payload.assign(received.begin() + 18, received.begin() + static_cast<long>(packetLength));
            received.erase(received.begin(), received.begin() + static_cast<long>(packetLength));
            Log(packet);
            if (!Answer(connection, packet))
                return;
        }
    }
}

void CRecorderSimulator::Log(const ReceivedPacket& packet)
{
    if (m_options.verbose)
    {
        os::WriteStandardText(os::EStandardStream::Output,
                              Describe(packet.header, packet.payload.size(), packet.checksumValid) + "\n");
    }
    std::lock_guard<std::mutex> lock(m_logMutex);
    m_log.push_back(packet);
}

std::vector<CRecorderSimulator::ReceivedPacket> CRecorderSimulator::ReceivedPackets() const
{
    std::lock_guard<std::mutex> lock(m_logMutex);
    return m_log;
}

std::vector<std::string> CRecorderSimulator::RequestedFilePaths() const
{
    std::vector<std::string> paths;
    std::string path;
    for (const ReceivedPacket& packet : ReceivedPackets())
        if (Commands::FileRequest.Matches(packet.header) && RequestedPath(packet, path))
            paths.push_back(path);
    return paths;
}

bool CRecorderSimulator::WaitForPacketCount(size_t count, int timeoutMs) const
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline)
    {
        {
            std::lock_guard<std::mutex> lock(m_logMutex);
            if (m_log.size() >= count)
                return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

bool CRecorderSimulator::Answer(ConnectionState& connection, const ReceivedPacket& packet)
{
    const CCommandPacket& command = packet.header;
    std::vector<uint8_t> reply;
    FileTail tail;
    bool carriesFile = false;

    if (m_options.replyOverride && m_options.replyOverride(packet, reply))
    {
        return Deliver(connection.socket, reply, -1);
    }
    if (connection.denyForeignLeft > 0 && m_options.denyForeignCommand.Matches(command))
    {
        --connection.denyForeignLeft;
        reply = PlainAnswer(command, Acks::DenyForeign, 0);
    }
    else if (m_options.ack27Command.Matches(command))
    {
        reply = PlainAnswer(command, Acks::NoRight, 0);
    }
    else if (Commands::DeviceInformation.Matches(command))
    {
        reply = DeviceInformation(packet);
    }
    else if (Commands::Login.Matches(command))
    {
        reply = LoginAnswer(connection, packet);
    }
    else if (!connection.loggedIn)
    {
        reply = PlainAnswer(command, Acks::NotExecuted, 0);
    }
    else if (Commands::SessionTimeout.Matches(command))
    {
        reply = PlainAnswer(command, Acks::Executed, command.LParam());
    }
    else if (Commands::FileRequest.Matches(command))
    {
        if (m_options.userLevel != Parameters::AdministratorLevel)
        {
            reply = PlainAnswer(command, Acks::NoRight, 0);
        }
        else
        {
            reply = FileAnswer(packet, tail);
            // Only a well-formed answer counts its file bytes for a cut.
            carriesFile = m_options.malformedFile == MalformedFile::None;
        }
    }
    else
    {
        reply = PlainAnswer(command, Acks::NotExecuted, 0);
    }

    if (m_options.corruptChecksumCommand.Matches(command) && reply.size() >= 18)
        reply[16] = static_cast<uint8_t>(reply[16] + 1);

    long long dropAfter = -1;
    if (carriesFile && m_options.dropAfterFileBytes >= 0)
        dropAfter = static_cast<long long>(reply.size()) + m_options.dropAfterFileBytes;
    if (!Deliver(connection.socket, reply, tail, dropAfter))
        return false;

    if (!Commands::Login.Matches(command) || !connection.loggedIn)
        return true;
    if (m_options.unsolicitedTimeLayout >= 0 &&
        !Deliver(connection.socket, TimeAnswer(m_options.unsolicitedTimeLayout, 0, 6, 5, 2002, 20, 30, 0),
                 -1))
        return false;
    return m_options.extraAfterLogin.empty() || Deliver(connection.socket, m_options.extraAfterLogin, -1);
}

std::vector<uint8_t> CRecorderSimulator::DeviceInformation(const ReceivedPacket& packet) const
{
    const CCommandPacket& command = packet.header;
    const int requested = command.LParam();
    if (requested < Tags::DeviceFirstText || requested > Tags::DeviceVersion)
        return PlainAnswer(command, Acks::NotExecuted, requested);

    // The version request (the version item) is answered with everything; the others with their item.
    const bool everything = requested == Tags::DeviceVersion;
    CItemListWriter list;
    bool ok = true;
    if (everything || requested == Tags::DeviceFirstText)
        ok = ok && AddText(list, Tags::DeviceFirstText, m_options.firstText);
    if (everything || requested == Tags::DeviceSwitch)
    {
        uint8_t value[2];
        WriteUint16LE(value, m_options.switchOn ? 1 : 0);
        ok = ok && list.Add(Tags::DeviceSwitch, sizeof value, value);
    }
    if (everything || requested == Tags::DeviceThirdText)
        ok = ok && AddText(list, Tags::DeviceThirdText, m_options.thirdText);
    if (everything)
        ok = ok && list.Add(Tags::DeviceVersion, static_cast<uint16_t>(m_options.version.size() + 1),
                            m_options.version.c_str());
    if (!ok)
        return PlainAnswer(command, Acks::NotExecuted, requested);
    return AnswerWithData(command, Acks::Executed, requested, list.Data(), list.Length());
}

bool CRecorderSimulator::ExpectsItemListLogin() const
{
    return VersionWantsItemList(m_options.version);
}

bool CRecorderSimulator::PasswordMatches(const std::vector<uint8_t>& payload) const
{
    const std::string expected = CTextCodec::Utf8ToWindows1252(m_options.password.c_str());
    std::string offered;
    if (ExpectsItemListLogin())
    {
        const uint16_t accepted[] = {Tags::Login};
        CItemListReader reader;
        if (payload.empty() ||
            !reader.Open(payload.data(), static_cast<int32_t>(payload.size()), accepted, 1))
            return false;
        bool found = false;
        for (; reader.Tag() != CItemListReader::EndTag; reader.Next())
        {
            const uint8_t* value = reader.Value();
            const uint16_t length = reader.Length();
            if (reader.Tag() != Tags::Login || length < 3 || ReadUint16LE(value) != LoginKinds::Password)
                continue;
            if (value[length - 1] != 0)
                return false;
            offered.assign(reinterpret_cast<const char*>(value + 2), length - 3);
            found = true;
        }
        if (!found)
            return false;
    }
    else
    {
        if (payload.empty() || payload.back() != 0)
            return false;
        offered.assign(reinterpret_cast<const char*>(payload.data()), payload.size() - 1);
    }
    return offered == expected;
}

std::vector<uint8_t> CRecorderSimulator::LoginAnswer(ConnectionState& connection,
                                                     const ReceivedPacket& packet) const
{
    if (m_options.loginRefusalAck != 0)
        return PlainAnswer(packet.header, static_cast<uint16_t>(m_options.loginRefusalAck), 0);
    if (!PasswordMatches(packet.payload))
        return PlainAnswer(packet.header, Acks::NotExecuted, 0);
    connection.loggedIn = true;
    return PlainAnswer(packet.header, Acks::Executed, m_options.userLevel);
}

bool CRecorderSimulator::RequestedPath(const ReceivedPacket& packet, std::string& remotePath)
{
    // One item: the path with its terminating zero.
    const uint16_t accepted[] = {Tags::FilePath};
    CItemListReader reader;
    if (packet.payload.empty() ||
        !reader.Open(packet.payload.data(), static_cast<int32_t>(packet.payload.size()), accepted, 1))
        return false;
    if (reader.Tag() != Tags::FilePath || reader.Length() == 0)
        return false;
    const auto* value = reinterpret_cast<const char*>(reader.Value());
    remotePath.assign(value, strnlen(value, reader.Length()));
    return true;
}

bool CRecorderSimulator::LocalPathFor(const ReceivedPacket& packet, std::string& localPath) const
{
    std::string remote;
    if (!RequestedPath(packet, remote))
        return false;

    const size_t prefixLength = sizeof kSoftwareDirectory - 1;
    if (remote.compare(0, prefixLength, kSoftwareDirectory) != 0)
        return false;
    const std::string name = remote.substr(prefixLength);
    if (name.empty() || name.find('/') != std::string::npos || name.find('\\') != std::string::npos ||
        name.find("..") != std::string::npos)
        return false;
    localPath = m_options.root + "/" +
                CTextCodec::Windows1252ToUtf8(reinterpret_cast<const uint8_t*>(name.data()), name.size());
    std::error_code ignored;
    return std::filesystem::is_regular_file(std::filesystem::u8path(localPath), ignored);
}

std::vector<uint8_t> CRecorderSimulator::FileAnswer(const ReceivedPacket& packet, FileTail& tail) const
{
    const CCommandPacket& command = packet.header;
    std::string localPath;
    if (!LocalPathFor(packet, localPath))
        return PlainAnswer(command, Acks::CannotOpen, 0);
    std::ifstream file(std::filesystem::u8path(localPath), std::ios::binary | std::ios::ate);
    if (!file)
        return PlainAnswer(command, Acks::CannotOpen, 0);
    const std::streamoff size = file.tellg();
    if (size < 0 || size > 0x7FFFFF00)
        return PlainAnswer(command, Acks::CannotOpen, 0);

    // The path item echoes the requested path; the size item announces the size.
    const uint16_t accepted[] = {Tags::FilePath};
    CItemListReader request;
    request.Open(packet.payload.data(), static_cast<int32_t>(packet.payload.size()), accepted, 1);
    CItemListWriter list;
    list.Add(Tags::FilePath, request.Length(), request.Value());

    int32_t announced = static_cast<int32_t>(size);
    uint8_t sizeValue[4];
    switch (m_options.malformedFile)
    {
    case MalformedFile::NegativeSize:
        announced = -5;
        break;
    case MalformedFile::OverflowingSize:
        announced = 0x7FFFFFF0;
        break;
    default:
        break;
    }
    WriteInt32LE(sizeValue, announced);
    list.Add(Tags::FileSize, m_options.malformedFile == MalformedFile::ShortSizeItem ? 2 : sizeof sizeValue,
             sizeValue);

    std::vector<uint8_t> out;
    switch (m_options.malformedFile)
    {
    case MalformedFile::DataLenZero:
        AppendHeader(out, command.Target(), command.Com(), command.Ident(), Acks::Executed, 0, 0);
        return out;
    case MalformedFile::MissingEndMarker:
        AppendHeader(out, command.Target(), command.Com(), command.Ident(), Acks::Executed, 0,
                     list.Length() - 4);
        AppendBytes(out, list.Data(), static_cast<size_t>(list.Length() - 4));
        return out;
    case MalformedFile::NegativeSize:
    case MalformedFile::ShortSizeItem:
    case MalformedFile::OverflowingSize:
        out = AnswerWithData(command, Acks::Executed, 0, list.Data(), list.Length());
        return out;
    case MalformedFile::None:
    case MalformedFile::DataLenMismatch:
        break;
    }

    int32_t dataLen = list.Length() + (m_options.fileBytesInDataLen ? announced : 0);
    if (m_options.malformedFile == MalformedFile::DataLenMismatch)
        dataLen = list.Length() + 3;
    AppendHeader(out, command.Target(), command.Com(), command.Ident(), Acks::Executed, 0, dataLen);
    AppendBytes(out, list.Data(), static_cast<size_t>(list.Length()));
    tail.path = localPath;
    tail.length = static_cast<size_t>(size);
    // Only what DataLen announces goes out, so that no stray file bytes follow.
    if (m_options.malformedFile == MalformedFile::DataLenMismatch)
        tail.length = std::min(tail.length, static_cast<size_t>(dataLen - list.Length()));
    return out;
}

bool CRecorderSimulator::SendChunk(os::SocketHandle socket, const uint8_t* data, size_t length)
{
    while (length > 0)
    {
        if (m_stopRequested)
            return false;
        if (!os::WaitUntilWritable(socket, kPollSliceMs))
            continue;
        const int piece = static_cast<int>(std::min<size_t>(length, 1u << 30));
        const int sent = os::SendBytes(socket, data, piece);
        if (sent < 0)
        {
            if (os::LastSocketError() == os::ErrorWouldBlock)
                continue;
            return false;
        }
        data += sent;
        length -= static_cast<size_t>(sent);
    }
    return true;
}

bool CRecorderSimulator::Deliver(os::SocketHandle socket, const std::vector<uint8_t>& head,
                                 const FileTail& tail, long long dropAfter)
{
    const size_t length = head.size() + tail.length;
    size_t total = length;
    const bool cut = dropAfter >= 0 && static_cast<size_t>(dropAfter) < total;
    if (cut)
        total = static_cast<size_t>(dropAfter);

    // The bytes being sent, from `blockStart` on (counted from the head's first byte): first the head
    // with the file's first block behind it, so that a small answer still goes out in one piece,
    // then the file block by block.
    std::ifstream file;
    std::vector<uint8_t> block(head);
    size_t blockStart = 0;
    const auto readBlock = [&](size_t offset, size_t count)
    {
        block.resize(offset + count);
        file.read(reinterpret_cast<char*>(block.data() + offset), static_cast<std::streamsize>(count));
        // The file shrank after its size was announced: the answer cannot be completed.
        return file.gcount() == static_cast<std::streamsize>(count);
    };
    if (total > head.size())
    {
        file.open(std::filesystem::u8path(tail.path), std::ios::binary);
        if (!file || !readBlock(head.size(), std::min(FileBlockSize, tail.length)))
            return false;
    }

    const auto start = std::chrono::steady_clock::now();
    size_t sent = 0;
    while (sent < total)
    {
        if (sent == blockStart + block.size())
        {
            blockStart = sent;
            if (!readBlock(0, std::min(FileBlockSize, length - sent)))
                return false;
        }
        const uint8_t* data = block.data() + (sent - blockStart);
        size_t piece = std::min(blockStart + block.size(), total) - sent;
        if (m_options.byteByByte)
        {
            piece = 1;
        }
        else if (m_options.throttleBytesPerSecond > 0)
        {
            // Send what the rate allows so far, in slices of about 20 ms.
            const double elapsed =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            const auto allowed =
                static_cast<size_t>(elapsed * static_cast<double>(m_options.throttleBytesPerSecond));
            if (allowed <= sent)
            {
                if (m_stopRequested)
                    return false;
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                continue;
            }
            piece = std::min(piece, allowed - sent);
        }
        if (!SendChunk(socket, data, piece))
            return false;
        sent += piece;
        if (m_options.byteByByte)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    if (cut)
    {
        os::ShutdownSocket(socket);
        return false;
    }
    return true;
}
