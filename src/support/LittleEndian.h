#pragma once

#include <cstdint>

// Byte-wise little-endian access: wire numbers and queued records are read and written one byte at
// a time, so neither the host's byte order nor the alignment of the bytes matters.

inline uint16_t ReadUint16LE(const uint8_t* bytes)
{
    return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}

inline uint32_t ReadUint32LE(const uint8_t* bytes)
{
    return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
           (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

inline int32_t ReadInt32LE(const uint8_t* bytes)
{
    return static_cast<int32_t>(ReadUint32LE(bytes));
}

inline void WriteUint16LE(uint8_t* bytes, uint16_t value)
{
    bytes[0] = static_cast<uint8_t>(value);
    bytes[1] = static_cast<uint8_t>(value >> 8);
}

inline void WriteUint32LE(uint8_t* bytes, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<uint8_t>(value >> (8 * i));
}

inline void WriteInt32LE(uint8_t* bytes, int32_t value)
{
    WriteUint32LE(bytes, static_cast<uint32_t>(value));
}

inline int64_t ReadInt64LE(const uint8_t* bytes)
{
    const uint64_t low = ReadUint32LE(bytes);
    const uint64_t high = ReadUint32LE(bytes + 4);
    return static_cast<int64_t>(low | high << 32);
}

inline void WriteInt64LE(uint8_t* bytes, int64_t value)
{
    const auto bits = static_cast<uint64_t>(value);
    WriteUint32LE(bytes, static_cast<uint32_t>(bits));
    WriteUint32LE(bytes + 4, static_cast<uint32_t>(bits >> 32));
}
