#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Hands out a fuzz input piece by piece. Reading past the end yields zeros and empty pieces, so
// every input, however short, drives a whole run.
class CFuzzInput
{
public:
    CFuzzInput(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    uint8_t Byte();
    uint16_t Uint16();
    int32_t Int32();
    // The next `count` bytes, fewer at the end.
    std::vector<uint8_t> Bytes(size_t count);
    std::vector<uint8_t> Rest() { return Bytes(Remaining()); }

    size_t Remaining() const { return m_size - m_offset; }
    bool Empty() const { return m_offset == m_size; }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_offset = 0;
};
