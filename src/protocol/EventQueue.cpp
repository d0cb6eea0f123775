#include "protocol/EventQueue.h"

#include "support/MemoryBlock.h"

#include <cstring>

namespace
{
// Events lie back to back at any byte offset, so their fields are copied rather than dereferenced.
int32_t ReadField(const uint8_t* field)
{
    int32_t value;
    std::memcpy(&value, field, sizeof value);
    return value;
}

void WriteField(uint8_t* field, int32_t value)
{
    std::memcpy(field, &value, sizeof value);
}
} // namespace

CEventQueue::~CEventQueue()
{
    Release();
}

bool CEventQueue::Post(int32_t type, int32_t code, int32_t length, const void* payload)
{
    if (length < 0)
        return false;
    // Without a payload the event is posted empty, and its length field says so: a length without
    // bytes behind it would make every later event unreadable.
    const int32_t payloadLength = payload ? length : 0;
    const int64_t needed = int64_t{m_length} + EventHeaderSize + payloadLength;
    if (needed > INT32_MAX)
        return false;
    if (needed > m_capacity)
    {
        // Exactly the size needed: the queue is drained every tick and rarely holds more than a few
        // small events besides a file.
        void* block = ResizeBlock(m_data, static_cast<size_t>(needed));
        if (!block)
            return false;
        m_data = static_cast<uint8_t*>(block);
        m_capacity = static_cast<int32_t>(needed);
    }
    uint8_t* event = m_data + m_length;
    WriteField(event, type);
    WriteField(event + 4, code);
    WriteField(event + 8, payloadLength);
    if (payloadLength > 0)
        std::memcpy(event + EventHeaderSize, payload, static_cast<size_t>(payloadLength));
    m_length = static_cast<int32_t>(needed);
    return true;
}

const uint8_t* CEventQueue::Front() const
{
    if (m_length < EventHeaderSize)
        return nullptr;
    const int32_t payloadLength = EventLength(m_data);
    if (payloadLength < 0 || payloadLength > m_length - EventHeaderSize)
        return nullptr;
    return m_data;
}

void CEventQueue::Pop()
{
    if (m_length >= EventHeaderSize)
    {
        const int32_t payloadLength = EventLength(m_data);
        if (payloadLength >= 0 && payloadLength < m_length - EventHeaderSize)
        {
            const int32_t eventSize = EventHeaderSize + payloadLength;
            std::memmove(m_data, m_data + eventSize, static_cast<size_t>(m_length - eventSize));
            m_length -= eventSize;
            return;
        }
    }
    m_length = 0;
}

void CEventQueue::Release()
{
    FreeBlock(m_data);
    m_data = nullptr;
    m_length = 0;
    m_capacity = 0;
}

int32_t CEventQueue::EventType(const uint8_t* event)
{
    return ReadField(event);
}

int32_t CEventQueue::EventCode(const uint8_t* event)
{
    return ReadField(event + 4);
}

int32_t CEventQueue::EventLength(const uint8_t* event)
{
    return ReadField(event + 8);
}

const uint8_t* CEventQueue::EventPayload(const uint8_t* event)
{
    return EventLength(event) > 0 ? event + EventHeaderSize : nullptr;
}
