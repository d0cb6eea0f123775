#include "WireBytes.h"

#include "support/LittleEndian.h"
#include "wire/CommandPacket.h"
#include "wire/ItemListWriter.h"

#include <algorithm>
#include <cstdlib>

namespace
{
constexpr size_t kHeaderSize = CCommandPacket::HeaderSize();
constexpr size_t kChecksumOffset = 16;
constexpr size_t kDataLenOffset = 12;
} // namespace

std::vector<uint8_t> PacketBytes(const SCommand& command, uint16_t ident, uint16_t ack, int32_t lParam,
                                 const std::vector<uint8_t>& data)
{
    CCommandPacket fields;
    fields.Set(command.target, command.com, ident, lParam, static_cast<int32_t>(data.size()), ack);
    CCommandPacket header;
    fields.CopyTo(header);
    std::vector<uint8_t> bytes(kHeaderSize);
    header.WriteTo(bytes.data());
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

std::vector<uint8_t> ItemListBytes(const std::vector<std::pair<uint16_t, std::vector<uint8_t>>>& items)
{
    CItemListWriter list;
    for (const auto& [tag, value] : items)
    {
        if (!list.Add(tag, static_cast<uint16_t>(value.size()), value.data()))
            std::abort();
    }
    std::vector<uint8_t> bytes(list.Data(), list.Data() + list.Length());
    list.Free();
    return bytes;
}

std::vector<uint8_t> TextValue(const std::string& text)
{
    std::vector<uint8_t> value(text.begin(), text.end());
    value.push_back(0);
    return value;
}

std::vector<uint8_t> Int32Value(int32_t value)
{
    std::vector<uint8_t> bytes(4);
    WriteInt32LE(bytes.data(), value);
    return bytes;
}

void RepairChecksums(std::vector<uint8_t>& stream)
{
    size_t offset = 0;
    while (stream.size() - offset >= kHeaderSize)
    {
        uint8_t* header = stream.data() + offset;
        WriteUint16LE(header + kChecksumOffset, ComputeChecksum(header));
        const int32_t dataLength = ReadInt32LE(header + kDataLenOffset);
        offset += kHeaderSize;
        offset += std::min(static_cast<size_t>(std::max(dataLength, 0)), stream.size() - offset);
    }
}
