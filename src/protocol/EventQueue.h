#pragma once

#include <cstdint>

// Event types posted from the protocol session to the dialog.
constexpr int32_t StatusEvent = 0;
constexpr int32_t LoginResultEvent = 4;
constexpr int32_t DataEvent = 8;
constexpr int32_t ProgressEvent = 10;

// The only path from the protocol to the dialog: variable-length events back to back in one block.
// Each event is a 12-byte header (int32 type, int32 code, int32 payload length) and its payload.
// Producer and consumer share one thread, so there is no locking.
class CEventQueue
{
public:
    static constexpr int32_t EventHeaderSize = 12;

    CEventQueue() = default;
    CEventQueue(const CEventQueue&) = delete;
    CEventQueue& operator=(const CEventQueue&) = delete;
    ~CEventQueue();

    // Appends one event with a copy of the payload (which may be null only with length 0).
    // False, with the queue unchanged, when memory cannot be had or the length is negative or
    // would not fit a 32-bit block.
    bool Post(int32_t type, int32_t code, int32_t length, const void* payload);
    // The first event's header, or null when the block holds no complete event.
    const uint8_t* Front() const;
    // Removes the first event; the block is kept for later posts.
    void Pop();
    bool HasEvents() const { return m_length > 0; }
    // Frees the block.
    void Release();

    int32_t UsedLength() const { return m_length; }
    int32_t Capacity() const { return m_capacity; }

    // Fields of an event returned by Front (copied out: events need not be aligned).
    static int32_t EventType(const uint8_t* event);
    static int32_t EventCode(const uint8_t* event);
    static int32_t EventLength(const uint8_t* event);
    // Null when the event has no payload.
    static const uint8_t* EventPayload(const uint8_t* event);

private:
    uint8_t* m_data = nullptr;
    int32_t m_length = 0;
    int32_t m_capacity = 0;
};
