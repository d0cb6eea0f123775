#pragma once

#include "net/ByteBuffer.h"
#include "wire/CommandPacket.h"

#include <cstdint>

// Cuts the received byte stream into packets. A valid header is taken out of the stream as soon as
// its 18 bytes are there; the packet is complete when DataLen data bytes follow. A header that fails
// its check (bad checksum or negative DataLen) throws away every buffered byte: there is no
// resynchronisation marker in the stream to search for.
class CReceiveAssembler
{
public:
    CReceiveAssembler() = default;
    CReceiveAssembler(const CReceiveAssembler&) = delete;
    CReceiveAssembler& operator=(const CReceiveAssembler&) = delete;
    virtual ~CReceiveAssembler() = default;

    // Takes the header out of the stream when possible; returns the bytes still missing for the
    // current packet (18 - buffered while no header is held).
    int32_t BytesMissing();
    // A header is held and all its data bytes are buffered.
    bool HasComplete();
    // DataLen of the held header, 0 when none is held.
    int32_t PayloadLength() const;
    // The held packet's data bytes, null when no header is held.
    const uint8_t* Payload() const;
    // The held header, null when none is held.
    const CCommandPacket* Header() const;
    // Bytes buffered behind the held header (all buffered bytes when none is held).
    int32_t BufferedBytes() const { return m_buffer.Length(); }
    // Removes the held packet's data (following packets move to the front); without a held header,
    // discards everything buffered.
    void DropCurrent();
    // The held packet expects `count` more data bytes. False, changing nothing, when no header is
    // held, the count is negative, DataLen would overflow, or memory cannot be had.
    bool Extend(int32_t count);
    void Clear();
    // Gives back the room behind the buffered bytes (also the room an Extend reserved).
    bool Compact() { return m_buffer.ShrinkToFit(); }

    // The connection's receive loop writes here directly: Reserve, write at End(), Grow.
    CByteBuffer& Buffer() { return m_buffer; }

private:
    CByteBuffer m_buffer;
    bool m_headerHeld = false;
    CCommandPacket m_header;
};
