#pragma once

#include <cstdint>

// Builds an item list: items of (u16 length, u16 tag, value) ended by the marker 00 00 FF FF.
// Every Add keeps exactly one end marker at the end, so Data/Length are always ready to send.
class CItemListWriter
{
public:
    CItemListWriter() = default;
    CItemListWriter(const CItemListWriter&) = delete;
    CItemListWriter& operator=(const CItemListWriter&) = delete;
    ~CItemListWriter();

    // Appends one item. False only when memory cannot be had; the list is then unchanged.
    // A null value with a non-zero length writes that many zero bytes.
    bool Add(uint16_t tag, uint16_t length, const void* value);
    // Empties the list but keeps the block for the next one.
    void Clear() { m_length = 0; }
    // Releases the block.
    void Free();

    const uint8_t* Data() const { return m_data; }
    int32_t Length() const { return m_length; }

private:
    uint8_t* m_data = nullptr;
    int32_t m_length = 0;
    int32_t m_capacity = 0;
};
