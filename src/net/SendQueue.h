#pragma once

#include "net/ByteBuffer.h"
#include "wire/CommandPacket.h"

#include <cstdint>

// Outgoing packets, stop-and-wait: the front entry is sent piece by piece and, once sent, nothing
// further goes out until its answer is settled (FinishCurrent) or it is sent again (Rewind).
//
// Each packet is stored behind a 16-byte record that never goes to the socket:
//   0 u32 0 | 4 u16 first payload word | 6 u8 progress flag | 7 u8 0 | 8 u32 Ident | 12 i32 entry length
// followed by the 18-byte header and the payload.
class CSendQueue
{
public:
    static constexpr int32_t EntryRecordSize = 16;

    CSendQueue() = default;
    CSendQueue(const CSendQueue&) = delete;
    CSendQueue& operator=(const CSendQueue&) = delete;
    virtual ~CSendQueue() = default;

    // Appends one packet; its checksum is computed here. False, with the queue unchanged, when
    // memory cannot be had. A null payload counts as empty.
    bool Append(const CCommandPacket& header, const void* payload, int32_t payloadLength);

    // Bytes of the front entry not yet sent; 0 while it waits for its answer.
    int32_t PendingBytes() const;
    // First unsent byte of the front entry, null when nothing is pending.
    const uint8_t* CurrentData() const;
    // Length of the front entry (record, header and payload), 0 without an entry.
    int32_t CurrentEntryLength() const;
    // All queued bytes, records included.
    int32_t BufferedBytes() const { return m_buffer.Length(); }

    // Accounts `count` bytes of the front entry as sent (never past its end). True when the entry is
    // now completely sent; the queue then waits for the answer.
    bool Consume(int32_t count);
    // Removes the completely sent front entry and lets the next one go.
    void FinishCurrent();
    // Sends the front entry again from its first header byte.
    void Rewind();
    bool IsReady() const { return m_ready; }
    // True when the front entry is marked for send-progress reports.
    bool ProgressFlag() const;
    // True when the front entry is completely sent, intact, and has the answer's Target and Com.
    bool MatchesAnswer(const CCommandPacket& answer) const;
    void Clear();
    // Gives back the room behind the queued entries.
    bool Compact() { return m_buffer.ShrinkToFit(); }

private:
    // The send position with the front entry located: its record is never sent, so sending starts
    // behind it. 0 when there is no entry.
    int32_t LocatedPosition() const;
    // The entry length stored in the front entry's record, 0 without an entry.
    int32_t FrontEntryLength() const;

    CByteBuffer m_buffer;
    int32_t m_sendPosition = 0;
    int32_t m_entryLength = 0;
    bool m_ready = true;
};
