#include "protocol/EventQueue.h"
#include "protocol/ProtocolSession.h"
#include "support/LittleEndian.h"
#include "support/TextCodec.h"
#include "support/TimeStamp.h"
#include "wire/ItemListReader.h"
#include "wire/ItemListWriter.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace
{

constexpr uint16_t kAckExecuted = 1;
constexpr uint16_t kAckCannotOpen = 10;
constexpr uint16_t kPathTag = 1;
constexpr uint16_t kSizeTag = 2;
constexpr int32_t kEndMarkerSize = 4;
constexpr int32_t kMaxItemValue = 0xFFFF;

// True when the four bytes at `offset` are the list's end marker (length 0, tag 0xFFFF).
bool IsEndMarkerAt(const uint8_t* data, int32_t length, int32_t offset)
{
    return data != nullptr && offset >= 0 && int64_t{offset} + kEndMarkerSize <= length &&
           ReadUint16LE(data + offset) == 0 && ReadUint16LE(data + offset + 2) == CItemListReader::EndTag;
}

} // namespace

bool CProtocolSession::RequestFile(const char* remotePath)
{
    // The dialog does not look at the result, so every failure is also posted.
    const std::string path = CTextCodec::Utf8ToWindows1252(remotePath != nullptr ? remotePath : "");
    if (static_cast<int64_t>(path.size()) + 1 > kMaxItemValue)
    {
        PostStatusWithValue(StatusFileCannotBeOpened, 0);
        return false;
    }
    CItemListWriter list;
    if (!list.Add(kPathTag, static_cast<uint16_t>(path.size() + 1), path.c_str()))
    {
        list.Free();
        PostStatusWithValue(CSocketConnection::StatusNoMemory, m_connection.LastError());
        return false;
    }
    const bool queued = SendCommand(4, 6, 0, 0, list.Data(), list.Length());
    list.Free();
    if (!queued)
        return false;
    m_progress.requestTimeMs = CTimeStamp::NowMilliseconds();
    return true;
}

void CProtocolSession::HandleFileAnswer(const CCommandPacket& header)
{
    if (header.Ack() == kAckCannotOpen)
    {
        PostStatusWithValue(StatusFileCannotBeOpened, 0);
        return;
    }
    if (header.Ack() != kAckExecuted)
    {
        PostNotExecuted(header);
        return;
    }

    static const uint16_t kAcceptedTags[] = {kPathTag, kSizeTag};
    // At most two passes: the list alone, then the list with the file once it is extended.
    for (;;)
    {
        const uint8_t* data = m_connection.CurrentPayload();
        const int32_t dataLength = m_connection.CurrentPayloadLength();
        CItemListReader reader;
        if (!reader.Open(data, dataLength, kAcceptedTags, 2))
        {
            PostNotExecuted(header);
            return;
        }
        int64_t size = 0;
        for (; reader.Tag() != CItemListReader::EndTag; reader.Next())
        {
            if (reader.Tag() != kSizeTag)
                continue;
            if (reader.Length() < 4)
            {
                PostNotExecuted(header);
                return;
            }
            size = ReadInt32LE(reader.Value());
        }

        // The file lies behind the end marker; a list cut short has no place where it begins.
        if (!IsEndMarkerAt(data, dataLength, reader.Offset()))
        {
            PostNotExecuted(header);
            return;
        }
        const int64_t fileStart = int64_t{reader.Offset()} + kEndMarkerSize;
        if (size < 0 || fileStart + size > INT32_MAX)
        {
            PostNotExecuted(header);
            return;
        }
        if (fileStart + size == dataLength)
        {
            Post(DataEvent, DataFile, static_cast<int32_t>(size), data + fileStart);
            return;
        }
        // Only an answer that covers exactly its list may be extended by the file; anything else
        // would be extended again on every pass.
        if (fileStart != dataLength)
        {
            PostNotExecuted(header);
            return;
        }
        if (!m_connection.ExtendCurrentPacket(static_cast<int32_t>(size)))
        {
            PostStatusWithValue(CSocketConnection::StatusNoMemory, m_connection.LastError());
            return;
        }
        if (!m_connection.HasCompletePacket())
            return;
    }
}

void CProtocolSession::PostProgress(int32_t code)
{
    uint8_t payload[ProgressRecordSize];
    WriteInt32LE(payload, m_progress.total);
    WriteInt32LE(payload + 4, m_progress.done);
    const auto requestTime = static_cast<uint64_t>(m_progress.requestTimeMs);
    WriteUint32LE(payload + 8, static_cast<uint32_t>(requestTime));
    WriteUint32LE(payload + 12, static_cast<uint32_t>(requestTime >> 32));
    Post(ProgressEvent, code, sizeof payload, payload);
}

void CProtocolSession::ReportProgress()
{
    const int64_t now = CTimeStamp::NowMilliseconds();
    const auto intervalPassed = [&] { return now - m_lastProgressMs > ProgressIntervalMs; };

    const CCommandPacket* header = m_connection.CurrentHeader();
    if (header != nullptr && header->Target() == 4 && header->Com() == 6)
    {
        m_progress.total = header->DataLen();
        // Bytes of a following packet may already be buffered; they are not part of this file.
        m_progress.done = std::min(m_connection.ReceiveAssembler().BufferedBytes(), m_progress.total);
        if (m_progress.done == m_progress.total || intervalPassed())
        {
            PostProgress(ProgressReceiving);
            m_lastProgressMs = now;
        }
    }

    CSendQueue& queue = m_connection.SendQueue();
    if (m_connection.WantsWrite() && queue.ProgressFlag())
    {
        m_progress.total = queue.CurrentEntryLength();
        m_progress.done = m_progress.total - queue.PendingBytes();
        if (intervalPassed())
        {
            PostProgress(ProgressSending);
            m_lastProgressMs = now;
        }
    }
}
