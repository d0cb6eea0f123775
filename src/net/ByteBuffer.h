#pragma once

#include <cstdint>

// A growable byte block with its used bytes at the front. Growth is exact (rounded to the
// granularity), so large transfers reallocate once per enlargement and never double.
class CByteBuffer
{
public:
    explicit CByteBuffer(int32_t granularity = 1);
    CByteBuffer(const CByteBuffer&) = delete;
    CByteBuffer& operator=(const CByteBuffer&) = delete;
    ~CByteBuffer();

    // Makes room for `count` more bytes behind the used ones. False, with the buffer unchanged,
    // when memory cannot be had or the size would not fit 32 bits.
    bool Reserve(int32_t count);
    // Where the next bytes are written; valid for the room made by Reserve.
    uint8_t* End() { return m_data ? m_data + m_length : nullptr; }
    // Accounts `count` bytes written at End(). False, changing nothing, when they exceed the room.
    bool Grow(int32_t count);
    // Drops `count` bytes from the front; a negative count or one not below the length empties it.
    void RemoveFront(int32_t count);
    // Shrinks the block to the used bytes. False, with the buffer unchanged, when no smaller block
    // can be had.
    bool ShrinkToFit();
    // Releases the block.
    void Free();

    uint8_t* Data() { return m_data; }
    const uint8_t* Data() const { return m_data; }
    int32_t Length() const { return m_length; }
    int32_t Capacity() const { return m_capacity; }

private:
    uint8_t* m_data = nullptr;
    int32_t m_capacity = 0;
    int32_t m_length = 0;
    int32_t m_granularity = 1;
};
