#include "protocol/EventRecords.h"

#include "support/LittleEndian.h"

namespace
{

bool Holds(const uint8_t* payload, int32_t length, int32_t size)
{
    return payload != nullptr && length >= size;
}

} // namespace

std::array<uint8_t, SValueRecord::Size> SValueRecord::Encode() const
{
    std::array<uint8_t, Size> bytes{};
    WriteInt32LE(bytes.data(), value);
    return bytes;
}

bool SValueRecord::Decode(const uint8_t* payload, int32_t length, SValueRecord& record)
{
    if (!Holds(payload, length, Size))
        return false;
    record.value = ReadInt32LE(payload);
    return true;
}

std::array<uint8_t, STimeRecord::Size> STimeRecord::Encode() const
{
    std::array<uint8_t, Size> bytes{};
    WriteInt64LE(bytes.data(), milliseconds);
    return bytes;
}

bool STimeRecord::Decode(const uint8_t* payload, int32_t length, STimeRecord& record)
{
    if (!Holds(payload, length, Size))
        return false;
    record.milliseconds = ReadInt64LE(payload);
    return true;
}

std::array<uint8_t, SProgressRecord::Size> SProgressRecord::Encode() const
{
    std::array<uint8_t, Size> bytes{};
    WriteInt32LE(bytes.data(), total);
    WriteInt32LE(bytes.data() + 4, done);
    WriteInt64LE(bytes.data() + NumbersSize, requestTimeMs);
    return bytes;
}

bool SProgressRecord::Decode(const uint8_t* payload, int32_t length, SProgressRecord& record)
{
    if (!Holds(payload, length, NumbersSize))
        return false;
    record.total = ReadInt32LE(payload);
    record.done = ReadInt32LE(payload + 4);
    if (length >= Size)
        record.requestTimeMs = ReadInt64LE(payload + NumbersSize);
    return true;
}
