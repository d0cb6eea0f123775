#include "net/SendQueue.h"

#include "support/LittleEndian.h"
#include "wire/Commands.h"

#include <cstring>

namespace
{
constexpr int32_t HeaderSize = CCommandPacket::HeaderSize();
} // namespace

bool CSendQueue::Append(const CCommandPacket& header, const void* payload, int32_t payloadLength)
{
    if (!payload || payloadLength < 0)
        payloadLength = 0;
    const int64_t entryLength = int64_t{EntryRecordSize} + HeaderSize + payloadLength;
    if (entryLength > INT32_MAX || !m_buffer.Reserve(static_cast<int32_t>(entryLength)))
        return false;

    const auto* payloadBytes = static_cast<const uint8_t*>(payload);
    uint8_t* entry = m_buffer.End();
    std::memset(entry, 0, EntryRecordSize);
    if (payloadLength >= 2)
        std::memcpy(entry + 4, payloadBytes, 2);
    entry[6] = Commands::ProgressReportedSend.Matches(header) ? 1 : 0;
    WriteUint32LE(entry + 8, header.Ident());
    WriteInt32LE(entry + 12, static_cast<int32_t>(entryLength));

    CCommandPacket checked;
    header.CopyTo(checked);
    checked.WriteTo(entry + EntryRecordSize);
    if (payloadLength > 0)
        std::memcpy(entry + EntryRecordSize + HeaderSize, payloadBytes, static_cast<size_t>(payloadLength));
    m_buffer.Grow(static_cast<int32_t>(entryLength));
    return true;
}

int32_t CSendQueue::FrontEntryLength() const
{
    if (m_buffer.Length() < EntryRecordSize)
        return 0;
    return ReadInt32LE(m_buffer.Data() + 12);
}

int32_t CSendQueue::LocatedPosition() const
{
    if (m_sendPosition != 0)
        return m_sendPosition;
    return m_buffer.Length() >= EntryRecordSize ? EntryRecordSize : 0;
}

int32_t CSendQueue::PendingBytes() const
{
    const int32_t position = LocatedPosition();
    if (position == 0)
        return 0;
    const int32_t entryLength = CurrentEntryLength();
    return position < entryLength ? entryLength - position : 0;
}

const uint8_t* CSendQueue::CurrentData() const
{
    return PendingBytes() > 0 ? m_buffer.Data() + LocatedPosition() : nullptr;
}

int32_t CSendQueue::CurrentEntryLength() const
{
    return m_sendPosition != 0 ? m_entryLength : FrontEntryLength();
}

bool CSendQueue::Consume(int32_t count)
{
    if (m_sendPosition == 0)
    {
        if (m_buffer.Length() < EntryRecordSize)
            return false;
        m_sendPosition = EntryRecordSize;
        m_entryLength = FrontEntryLength();
    }
    // Never account more than the entry holds, so FinishCurrent removes exactly this entry.
    if (count > 0)
        m_sendPosition = count < m_entryLength - m_sendPosition ? m_sendPosition + count : m_entryLength;
    if (m_sendPosition < m_entryLength)
        return false;
    m_ready = false;
    return true;
}

void CSendQueue::FinishCurrent()
{
    if (m_ready)
        return;
    if (m_sendPosition != 0)
    {
        m_buffer.RemoveFront(m_sendPosition);
        m_sendPosition = 0;
    }
    m_ready = true;
}

void CSendQueue::Rewind()
{
    m_sendPosition = 0;
    m_ready = true;
}

bool CSendQueue::ProgressFlag() const
{
    return m_buffer.Length() >= EntryRecordSize && m_buffer.Data()[6] != 0;
}

bool CSendQueue::MatchesAnswer(const CCommandPacket& answer) const
{
    if (m_buffer.Length() < EntryRecordSize + HeaderSize || m_sendPosition == 0 ||
        m_sendPosition != m_entryLength)
        return false;
    CCommandPacket sent;
    if (!sent.ReadFrom(m_buffer.Data() + EntryRecordSize))
        return false;
    return sent.Target() == answer.Target() && sent.Com() == answer.Com();
}

void CSendQueue::Clear()
{
    m_buffer.Free();
    m_sendPosition = 0;
    m_entryLength = 0;
    m_ready = true;
}
