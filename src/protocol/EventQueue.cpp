#include "protocol/EventQueue.h"

#include "net/ByteBuffer.h"
#include "support/MemoryBlock.h"

#include <cstring>

namespace
{
// In the queue's own block, a handed-over event is represented by a note of this type.
constexpr int32_t HandedOverNote = CEventQueue::ReservedType;

struct SHandedOver
{
    uint8_t* block;
    int32_t eventOffset;
    int32_t capacity;
};

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

void WriteHeader(uint8_t* event, int32_t type, int32_t code, int32_t length)
{
    WriteField(event, type);
    WriteField(event + 4, code);
    WriteField(event + 8, length);
}

SHandedOver ReadNote(const uint8_t* event)
{
    SHandedOver note;
    std::memcpy(&note, event + CEventQueue::EventHeaderSize, sizeof note);
    return note;
}
} // namespace

CEventQueue::~CEventQueue()
{
    Release();
}

uint8_t* CEventQueue::Append(int32_t type, int32_t code, int32_t length)
{
    const int64_t needed = int64_t{m_length} + EventHeaderSize + length;
    if (needed > INT32_MAX)
        return nullptr;
    if (needed > m_capacity)
    {
        // Exactly the size needed: the queue is drained every tick and rarely holds more than a few
        // small events.
        void* block = ResizeBlock(m_data, static_cast<size_t>(needed));
        if (!block)
            return nullptr;
        m_data = static_cast<uint8_t*>(block);
        m_capacity = static_cast<int32_t>(needed);
    }
    uint8_t* event = m_data + m_length;
    WriteHeader(event, type, code, length);
    m_length = static_cast<int32_t>(needed);
    return event;
}

bool CEventQueue::Post(int32_t type, int32_t code, int32_t length, const void* payload)
{
    if (length < 0 || type == HandedOverNote)
        return false;
    // Without a payload the event is posted empty, and its length field says so: a length without
    // bytes behind it would make every later event unreadable.
    const int32_t payloadLength = payload ? length : 0;
    uint8_t* event = Append(type, code, payloadLength);
    if (event == nullptr)
        return false;
    if (payloadLength > 0)
        std::memcpy(event + EventHeaderSize, payload, static_cast<size_t>(payloadLength));
    return true;
}

bool CEventQueue::PostHandedOver(int32_t type, int32_t code, CByteBuffer& block, int32_t offset,
                                 int32_t length)
{
    if (type == HandedOverNote || length < 0 || offset < EventHeaderSize ||
        int64_t{offset} + length > block.Length())
        return false;
    const SHandedOver note{block.Data(), offset - EventHeaderSize, block.Capacity()};
    uint8_t* event = Append(HandedOverNote, 0, static_cast<int32_t>(sizeof note));
    if (event == nullptr)
        return false;
    std::memcpy(event + EventHeaderSize, &note, sizeof note);
    WriteHeader(block.Data() + note.eventOffset, type, code, length);
    m_handedOverBytes += note.capacity;
    block.Detach();
    return true;
}

const uint8_t* CEventQueue::Front() const
{
    if (m_length < EventHeaderSize)
        return nullptr;
    const int32_t payloadLength = ReadField(m_data + 8);
    if (payloadLength < 0 || payloadLength > m_length - EventHeaderSize)
        return nullptr;
    if (ReadField(m_data) == HandedOverNote)
    {
        const SHandedOver note = ReadNote(m_data);
        return note.block + note.eventOffset;
    }
    return m_data;
}

void CEventQueue::FreeHandedOver(int32_t offset)
{
    const SHandedOver note = ReadNote(m_data + offset);
    FreeBlock(note.block);
    m_handedOverBytes -= note.capacity;
}

void CEventQueue::Pop()
{
    if (m_length >= EventHeaderSize)
    {
        const int32_t payloadLength = ReadField(m_data + 8);
        if (ReadField(m_data) == HandedOverNote)
            FreeHandedOver(0);
        if (payloadLength >= 0 && payloadLength < m_length - EventHeaderSize)
        {
            const int32_t eventSize = EventHeaderSize + payloadLength;
            std::memmove(m_data, m_data + eventSize, static_cast<size_t>(m_length - eventSize));
            m_length -= eventSize;
            return;
        }
    }
    m_length = 0;
    // Files arrive handed over, so only a burst of events or a large copied payload grows the block;
    // it is not kept for the few small events of a tick.
    if (m_capacity > RetainedCapacity)
    {
        FreeBlock(m_data);
        m_data = nullptr;
        m_capacity = 0;
    }
}

void CEventQueue::Release()
{
    int32_t offset = 0;
    while (offset + EventHeaderSize <= m_length)
    {
        const int32_t payloadLength = ReadField(m_data + offset + 8);
        if (payloadLength < 0 || payloadLength > m_length - offset - EventHeaderSize)
            break;
        if (ReadField(m_data + offset) == HandedOverNote)
            FreeHandedOver(offset);
        offset += EventHeaderSize + payloadLength;
    }
    FreeBlock(m_data);
    m_data = nullptr;
    m_length = 0;
    m_capacity = 0;
}

SEventRecord CEventQueue::Read(const uint8_t* event)
{
    SEventRecord record;
    record.type = ReadField(event);
    record.code = ReadField(event + 4);
    record.length = ReadField(event + 8);
    record.payload = record.length > 0 ? event + EventHeaderSize : nullptr;
    return record;
}
