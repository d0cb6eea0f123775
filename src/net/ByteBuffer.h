#pragma once

#include <cstdint>

// A growable byte block with its used bytes at the front. Reserve grows exactly (rounded to the
// granularity); ReserveDoubling grows geometrically up to a limit, for a stream whose length is
// claimed but not yet proven. The block comes from ResizeBlock, so it may be handed to another owner.
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
    // Like Reserve, but a block that must grow at least doubles, up to `limit` bytes in all (more
    // only when `count` needs it): a long stream costs few reallocations, and the block never
    // holds much more than twice what arrived.
    bool ReserveDoubling(int32_t count, int32_t limit);
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
    // Exchanges blocks and contents with `other`.
    void Swap(CByteBuffer& other);
    // Gives up the block without freeing it: the caller owns it now and frees it with FreeBlock.
    // The buffer is empty afterwards.
    uint8_t* Detach();

    uint8_t* Data() { return m_data; }
    const uint8_t* Data() const { return m_data; }
    int32_t Length() const { return m_length; }
    int32_t Capacity() const { return m_capacity; }
    int32_t Room() const { return m_capacity - m_length; }

private:
    // Moves the bytes into a block of `capacity` bytes, rounded up to the granularity.
    bool Resize(int64_t capacity);

    uint8_t* m_data = nullptr;
    int32_t m_capacity = 0;
    int32_t m_length = 0;
    int32_t m_granularity = 1;
};
