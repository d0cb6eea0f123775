#include "net/ByteBuffer.h"
#include "protocol/EventQueue.h"
#include "protocol/ProtocolSession.h"
#include "support/Diagnostics.h"
#include "support/LittleEndian.h"
#include "support/TextCodec.h"
#include "support/TimeStamp.h"
#include "wire/ItemListReader.h"
#include "wire/ItemListWriter.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>

namespace
{

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
        PostStatusWithValue(EStatus::FileCannotBeOpened, 0);
        return false;
    }
    CItemListWriter list;
    if (!list.Add(Tags::FilePath, static_cast<uint16_t>(path.size() + 1), path.c_str()))
    {
        list.Free();
        PostStatusWithValue(EStatus::NoMemory, m_connection.LastError());
        return false;
    }
    const bool queued =
        SendCommand(Commands::FileRequest, Idents::Plain, Parameters::None, list.Data(), list.Length());
    list.Free();
    if (!queued)
        return false;
    ++m_fileRequestsOutstanding;
    m_progress.requestTimeMs = CTimeStamp::NowMilliseconds();
    return true;
}

void CProtocolSession::HandleFileAnswer(const CCommandPacket& header)
{
    // An answer is matched with a request when it is first seen; its later pass, once the file's
    // bytes have arrived, belongs to the same request.
    if (m_fileAnswer == EFileAnswer::NotYetSeen)
    {
        m_fileAnswer = m_fileRequestsOutstanding > 0 ? EFileAnswer::Requested : EFileAnswer::Unrequested;
        if (m_fileRequestsOutstanding > 0)
            --m_fileRequestsOutstanding;
    }
    if (header.Ack() == Acks::CannotOpen)
    {
        PostStatusWithValue(EStatus::FileCannotBeOpened, 0);
        return;
    }
    if (header.Ack() != Acks::Executed)
    {
        PostNotExecuted(header);
        return;
    }

    static const uint16_t kAcceptedTags[] = {Tags::FilePath, Tags::FileSize};
    // At most two passes: the list alone, then the list with the file once it is extended.
    for (;;)
    {
        const uint8_t* data = m_connection.CurrentPayload();
        const int32_t dataLength = m_connection.CurrentPayloadLength();
        CItemListReader reader;
        if (!reader.Open(data, dataLength, kAcceptedTags, static_cast<int>(std::size(kAcceptedTags))))
        {
            PostNotExecuted(header);
            return;
        }
        int64_t size = 0;
        for (; reader.Tag() != CItemListReader::EndTag; reader.Next())
        {
            if (reader.Tag() != Tags::FileSize)
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
            DeliverFile(static_cast<int32_t>(fileStart), static_cast<int32_t>(size));
            return;
        }
        // Only an answer that covers exactly its list may be extended by the file; anything else
        // would be extended again on every pass.
        if (fileStart != dataLength)
        {
            PostNotExecuted(header);
            return;
        }
        // Only the expected length grows here; memory follows the bytes as they arrive.
        if (!m_connection.ExtendCurrentPacket(static_cast<int32_t>(size)))
        {
            PostNotExecuted(header);
            return;
        }
        if (!m_connection.HasCompletePacket())
            return;
    }
}

void CProtocolSession::DeliverFile(int32_t fileStart, int32_t size)
{
    if (m_fileAnswer == EFileAnswer::Unrequested)
    {
        // Received in full, so that the stream stays in step, but never passed on: the dialog would
        // save it under the name of the file it is about to ask for.
        Diagnostic("Unrequested file answer of %d bytes discarded\n", size);
        return;
    }
    if (m_eventQueue == nullptr)
        return;
    bool posted = false;
    if (size == 0)
    {
        posted = Post(DataEvent, DataFile, 0, nullptr);
    }
    else
    {
        // The receive buffer's block is handed over, not copied; the event's header takes the
        // 12 bytes in front of the file, which belong to the item list that gave the size.
        CByteBuffer block;
        posted = m_connection.TakeCurrentPayload(block) &&
                 m_eventQueue->PostHandedOver(DataEvent, DataFile, block, fileStart, size);
    }
    // No part of the file reaches the dialog, but the operator learns why.
    if (!posted)
        PostStatusWithValue(EStatus::NoMemory, m_connection.LastError());
}

void CProtocolSession::PostProgress(int32_t code)
{
    const auto payload = m_progress.Encode();
    Post(ProgressEvent, code, SProgressRecord::Size, payload.data());
}

void CProtocolSession::ReportProgress()
{
    const int64_t now = CTimeStamp::NowMilliseconds();
    const auto intervalPassed = [&] { return now - m_lastProgressMs > ProgressIntervalMs; };

    // An answer nobody asked for shows no progress either.
    const bool requested = m_fileAnswer == EFileAnswer::Requested ||
                           (m_fileAnswer == EFileAnswer::NotYetSeen && m_fileRequestsOutstanding > 0);
    const CCommandPacket* header = m_connection.CurrentHeader();
    if (header != nullptr && Commands::FileRequest.Matches(*header) && requested)
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
