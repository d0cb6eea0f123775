#pragma once

#include <array>
#include <cstdint>

// The payloads of the session's events, laid out (little-endian, no alignment needed) and read back
// only here. Readers take an event's payload pointer and length and never read past them: a payload
// too short for its record reads as false. Two payloads need no record of their own: the connection
// error text goes with its NUL, and a refused answer's header as CCommandPacket writes it.

// One event as the queue holds it: its type and code, and where its payload lies. Events are read
// through it, never by offset.
struct SEventRecord
{
    int32_t type = 0;
    int32_t code = 0;
    // Null when the event has no payload.
    const uint8_t* payload = nullptr;
    int32_t length = 0;
};

// One 32-bit number: the socket error of a transport failure, 0 for a file that cannot be opened,
// 10 for an acknowledged time.
struct SValueRecord
{
    static constexpr int32_t Size = 4;

    int32_t value = 0;

    std::array<uint8_t, Size> Encode() const;
    static bool Decode(const uint8_t* payload, int32_t length, SValueRecord& record);
};

// The recorder's date and time, in milliseconds since 1601-01-01 UTC.
struct STimeRecord
{
    static constexpr int32_t Size = 8;

    int64_t milliseconds = 0;

    std::array<uint8_t, Size> Encode() const;
    static bool Decode(const uint8_t* payload, int32_t length, STimeRecord& record);
};

// The progress of a transfer in bytes, and when the file request it belongs to was queued.
struct SProgressRecord
{
    static constexpr int32_t Size = 16;
    // Total and done, without the request time.
    static constexpr int32_t NumbersSize = 8;

    int32_t total = 0;
    int32_t done = 0;
    int64_t requestTimeMs = 0; // milliseconds since 1601 UTC

    std::array<uint8_t, Size> Encode() const;
    // False when the payload does not hold both numbers. A payload that ends behind them leaves
    // `requestTimeMs` as the caller set it.
    static bool Decode(const uint8_t* payload, int32_t length, SProgressRecord& record);
};
