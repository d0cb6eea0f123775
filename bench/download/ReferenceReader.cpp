#include "ReferenceReader.h"

#include "ProcessUsage.h"
#include "support/LittleEndian.h"
#include "wire/CommandPacket.h"
#include "wire/Commands.h"
#include "wire/ItemListReader.h"
#include "wire/ItemListWriter.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <iterator>
#include <memory>
#include <vector>

namespace
{

bool SendAll(int socket, const uint8_t* data, size_t length)
{
    while (length > 0)
    {
        const ssize_t sent = send(socket, data, length, MSG_NOSIGNAL);
        if (sent <= 0)
            return false;
        data += sent;
        length -= static_cast<size_t>(sent);
    }
    return true;
}

bool ReceiveAll(int socket, uint8_t* data, size_t length)
{
    while (length > 0)
    {
        const ssize_t received = recv(socket, data, length, 0);
        if (received <= 0)
            return false;
        data += received;
        length -= static_cast<size_t>(received);
    }
    return true;
}

bool SendCommand(int socket, const SCommand& command, const CItemListWriter& list)
{
    CCommandPacket fields;
    fields.Set(command.target, command.com, Idents::Plain, Parameters::None, list.Length());
    CCommandPacket header;
    fields.CopyTo(header);
    std::vector<uint8_t> packet(CCommandPacket::HeaderSize() + static_cast<size_t>(list.Length()));
    header.WriteTo(packet.data());
    std::memcpy(packet.data() + CCommandPacket::HeaderSize(), list.Data(),
                static_cast<size_t>(list.Length()));
    return SendAll(socket, packet.data(), packet.size());
}

// The answer's header and its DataLen bytes; false unless the command was executed.
bool ReceiveAnswer(int socket, std::vector<uint8_t>& data)
{
    uint8_t bytes[CCommandPacket::HeaderSize()];
    CCommandPacket header;
    if (!ReceiveAll(socket, bytes, sizeof bytes) || !header.ReadFrom(bytes) ||
        header.Ack() != Acks::Executed || header.DataLen() < 0)
        return false;
    data.resize(static_cast<size_t>(header.DataLen()));
    return ReceiveAll(socket, data.data(), data.size());
}

// The size item of a file answer's list, or -1.
int64_t AnnouncedSize(const std::vector<uint8_t>& list)
{
    static const uint16_t accepted[] = {Tags::FilePath, Tags::FileSize};
    CItemListReader reader;
    if (!reader.Open(list.data(), static_cast<int32_t>(list.size()), accepted,
                     static_cast<int>(std::size(accepted))))
        return -1;
    int64_t size = -1;
    for (; reader.Tag() != CItemListReader::EndTag; reader.Next())
    {
        if (reader.Tag() == Tags::FileSize && reader.Length() >= 4)
            size = ReadInt32LE(reader.Value());
    }
    return size;
}

bool Fetch(int socket, int port, const std::string& password, const std::string& remotePath,
           const std::string& outputPath, int64_t& size, double& writeCpuSeconds)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        return false;

    std::vector<uint8_t> login(2 + password.size() + 1);
    WriteUint16LE(login.data(), LoginKinds::Password);
    std::memcpy(login.data() + 2, password.c_str(), password.size() + 1);
    CItemListWriter loginList;
    CItemListWriter fileList;
    std::vector<uint8_t> answer;
    const bool asked =
        loginList.Add(Tags::Login, static_cast<uint16_t>(login.size()), login.data()) &&
        SendCommand(socket, Commands::Login, loginList) && ReceiveAnswer(socket, answer) &&
        fileList.Add(Tags::FilePath, static_cast<uint16_t>(remotePath.size() + 1), remotePath.c_str()) &&
        SendCommand(socket, Commands::FileRequest, fileList) && ReceiveAnswer(socket, answer);
    loginList.Free();
    fileList.Free();
    size = asked ? AnnouncedSize(answer) : -1;
    if (size < 0)
        return false;

    // One fresh buffer for the whole file, as the client's receive buffer is.
    std::unique_ptr<uint8_t[]> file(new uint8_t[static_cast<size_t>(size)]);
    if (!ReceiveAll(socket, file.get(), static_cast<size_t>(size)))
        return false;
    const double beforeWrite = SProcessUsage::Now().cpuSeconds;
    const int output = open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (output < 0)
        return false;
    const ssize_t written = write(output, file.get(), static_cast<size_t>(size));
    const bool closed = close(output) == 0;
    writeCpuSeconds = SProcessUsage::Now().cpuSeconds - beforeWrite;
    return closed && written == size;
}

} // namespace

CResultRecord CReferenceReader::Run(int port, const std::string& password, const std::string& remotePath,
                                    const std::string& outputPath)
{
    const SProcessUsage start = SProcessUsage::Now();
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    int64_t size = -1;
    double writeCpuSeconds = 0;
    const bool fetched =
        socket >= 0 && Fetch(socket, port, password, remotePath, outputPath, size, writeCpuSeconds);
    const SProcessUsage end = SProcessUsage::Now();
    if (socket >= 0)
        close(socket);

    CResultRecord result;
    result.Set("size", static_cast<double>(size));
    result.Set("cpu_s", end.cpuSeconds - start.cpuSeconds);
    result.Set("write_cpu_s", writeCpuSeconds);
    result.Set("wall_s", static_cast<double>(end.monotonicMicroseconds - start.monotonicMicroseconds) / 1e6);
    result.Set("peak_growth_kib", static_cast<double>(end.peakResidentKiB - start.residentKiB));
    if (!fetched)
        result.Set("failed", 1);
    return result;
}
