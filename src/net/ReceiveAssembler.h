#pragma once

#include "net/ByteBuffer.h"
#include "wire/CommandPacket.h"

#include <cstdint>

// Cuts the received byte stream into packets. A valid header is taken out of the stream as soon as
// its 18 bytes are there; the packet is complete when DataLen data bytes follow. A header that fails
// its check (bad checksum or negative DataLen) throws away every buffered byte: there is no
// resynchronisation marker in the stream to search for.
//
// Memory follows the bytes that arrive, not the lengths that headers claim: room for a packet grows
// by doubling as its data comes, never past its end. A complete packet's block can be handed over
// whole (TakeCurrent), so a large packet is never copied out of the buffer.
class CReceiveAssembler
{
public:
    // A buffer left this large by a removed packet is given back.
    static constexpr int32_t RetainedCapacity = 64 * 1024;

    CReceiveAssembler() = default;
    CReceiveAssembler(const CReceiveAssembler&) = delete;
    CReceiveAssembler& operator=(const CReceiveAssembler&) = delete;
    virtual ~CReceiveAssembler() = default;

    // Takes the header out of the stream when possible; returns the bytes still missing for the
    // current packet (18 - buffered while no header is held).
    int32_t BytesMissing();
    // A header is held and all its data bytes are buffered (or were handed over).
    bool HasComplete();
    // DataLen of the held header, 0 when none is held.
    int32_t PayloadLength() const;
    // The held packet's data bytes; null when no header is held or the data was handed over.
    const uint8_t* Payload() const;
    // The held header, null when none is held.
    const CCommandPacket* Header() const;
    // Bytes received behind the held header, handed-over ones included (all buffered bytes when none
    // is held).
    int32_t BufferedBytes() const { return (m_payloadTaken ? m_header.DataLen() : 0) + m_buffer.Length(); }
    // Removes the held packet's data (following packets move to the front); without a held header,
    // discards everything buffered.
    void DropCurrent();
    // The held packet expects `count` more data bytes. False, changing nothing, when no header is
    // held, its data was handed over, the count is negative or DataLen would overflow. No memory is
    // reserved for the claim: room comes as the bytes do.
    bool Extend(int32_t count);
    // Hands the complete held packet's data over: `block` receives the buffer's block, which begins
    // with the packet's DataLen bytes; the bytes of later packets stay buffered. The packet stays
    // held and complete until DropCurrent. False, changing nothing, when no complete packet is held,
    // its data was handed over already, or memory for the later bytes cannot be had.
    bool TakeCurrent(CByteBuffer& block);
    void Clear();
    // Gives back the room behind the buffered bytes.
    bool Compact() { return m_buffer.ShrinkToFit(); }

    // Makes room for the next read and says how many bytes it may write at Buffer().End(): up to
    // `chunk`, but while a held packet is incomplete never past its end, and once it is complete
    // only into room already there (0: leave the rest in the socket until the packet is removed).
    // False when memory cannot be had.
    bool PrepareRead(int32_t chunk, int32_t& readSize);
    // The connection's receive loop writes here directly: PrepareRead, write at End(), Grow.
    CByteBuffer& Buffer() { return m_buffer; }

private:
    CByteBuffer m_buffer;
    bool m_headerHeld = false;
    // The held packet's data was handed over; the buffer holds only bytes of later packets.
    bool m_payloadTaken = false;
    CCommandPacket m_header;
};
