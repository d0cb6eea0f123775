#pragma once

#include "protocol/EventRecords.h"

#include <cstdint>

class CByteBuffer;

// Event types posted from the protocol session to the dialog.
constexpr int32_t StatusEvent = 0;
constexpr int32_t LoginResultEvent = 4;
constexpr int32_t DataEvent = 8;
constexpr int32_t ProgressEvent = 10;

// The only path from the protocol to the dialog: variable-length events back to back in one block.
// Each event is a 12-byte header (int32 type, int32 code, int32 payload length) and its payload.
// A received file is not copied in: its block is handed over and the event lives there, the queue's
// own block holding only a note of where (PostHandedOver). Producer and consumer share one thread,
// so there is no locking.
class CEventQueue
{
public:
    static constexpr int32_t EventHeaderSize = 12;
    // The queue notes a handed-over block in its own block under this type, so no event may have it.
    static constexpr int32_t ReservedType = INT32_MIN;
    // An emptied queue keeps a block up to this size for the next events and gives a larger one back.
    static constexpr int32_t RetainedCapacity = 4096;

    CEventQueue() = default;
    CEventQueue(const CEventQueue&) = delete;
    CEventQueue& operator=(const CEventQueue&) = delete;
    ~CEventQueue();

    // Appends one event with a copy of the payload (which may be null only with length 0).
    // False, with the queue unchanged, when memory cannot be had, the length is negative or would
    // not fit a 32-bit block, or the type is ReservedType.
    bool Post(int32_t type, int32_t code, int32_t length, const void* payload);
    // Appends one event whose payload is the `length` bytes at `offset` in `block`, taking the
    // block over instead of copying them; the event's header is written into the 12 bytes in front
    // of the payload, and the block is freed when the event is popped. False, with `block` left
    // as it was, when there are not 12 bytes in front, the payload runs past the block's bytes,
    // the type is ReservedType, or memory for the queue's note cannot be had.
    bool PostHandedOver(int32_t type, int32_t code, CByteBuffer& block, int32_t offset, int32_t length);
    // The first event's header, or null when the block holds no complete event.
    const uint8_t* Front() const;
    // Removes the first event (freeing a handed-over block); an emptied queue keeps at most
    // RetainedCapacity bytes.
    void Pop();
    bool HasEvents() const { return m_length > 0; }
    // Frees the block and every handed-over one.
    void Release();

    int32_t UsedLength() const { return m_length; }
    int32_t Capacity() const { return m_capacity; }
    // Everything the queue holds: its block and the handed-over ones.
    int64_t HeldBytes() const { return m_capacity + m_handedOverBytes; }

    // The event whose header Front returned (its fields copied out: events need not be aligned).
    static SEventRecord Read(const uint8_t* event);

private:
    // Appends an event header and `length` bytes of room; null when memory cannot be had.
    uint8_t* Append(int32_t type, int32_t code, int32_t length);
    // Frees the handed-over block that the note at `offset` of the queue's block points to.
    void FreeHandedOver(int32_t offset);

    uint8_t* m_data = nullptr;
    int32_t m_length = 0;
    int32_t m_capacity = 0;
    int64_t m_handedOverBytes = 0;
};
