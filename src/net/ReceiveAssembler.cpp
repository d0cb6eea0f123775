#include "net/ReceiveAssembler.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace
{
constexpr int32_t HeaderSize = CCommandPacket::HeaderSize();
} // namespace

int32_t CReceiveAssembler::BytesMissing()
{
    if (!m_headerHeld)
    {
        if (m_buffer.Length() < HeaderSize)
            return HeaderSize - m_buffer.Length();
        // A negative DataLen can never be satisfied and would make the packet's bounds meaningless,
        // so such a header is as unusable as one with a wrong checksum.
        if (!m_header.ReadFrom(m_buffer.Data()) || m_header.DataLen() < 0)
        {
            m_header = CCommandPacket();
            m_buffer.RemoveFront(m_buffer.Length());
            return HeaderSize;
        }
        m_buffer.RemoveFront(HeaderSize);
        m_headerHeld = true;
    }
    if (m_payloadTaken)
        return 0;
    const int32_t dataLength = m_header.DataLen();
    return dataLength > m_buffer.Length() ? dataLength - m_buffer.Length() : 0;
}

bool CReceiveAssembler::HasComplete()
{
    return BytesMissing() == 0 && m_headerHeld;
}

int32_t CReceiveAssembler::PayloadLength() const
{
    return m_headerHeld ? m_header.DataLen() : 0;
}

const uint8_t* CReceiveAssembler::Payload() const
{
    return m_headerHeld && !m_payloadTaken ? m_buffer.Data() : nullptr;
}

const CCommandPacket* CReceiveAssembler::Header() const
{
    return m_headerHeld ? &m_header : nullptr;
}

void CReceiveAssembler::DropCurrent()
{
    if (!m_headerHeld)
    {
        m_buffer.RemoveFront(m_buffer.Length());
        return;
    }
    if (!m_payloadTaken)
        m_buffer.RemoveFront(m_header.DataLen());
    m_headerHeld = false;
    m_payloadTaken = false;
    // A large packet is gone; its room is not kept for the small answers that usually follow.
    if (m_buffer.Capacity() > RetainedCapacity)
        m_buffer.ShrinkToFit();
}

bool CReceiveAssembler::Extend(int32_t count)
{
    if (!m_headerHeld || m_payloadTaken || count < 0 || int64_t{m_header.DataLen()} + count > INT32_MAX)
        return false;
    m_header.AddDataLen(count);
    return true;
}

bool CReceiveAssembler::TakeCurrent(CByteBuffer& block)
{
    if (!HasComplete() || m_payloadTaken)
        return false;
    const int32_t dataLength = m_header.DataLen();
    const int32_t laterBytes = m_buffer.Length() - dataLength;
    CByteBuffer rest;
    if (laterBytes > 0)
    {
        if (!rest.Reserve(laterBytes))
            return false;
        std::memcpy(rest.End(), m_buffer.Data() + dataLength, static_cast<size_t>(laterBytes));
        rest.Grow(laterBytes);
    }
    block.Free();
    block.Swap(m_buffer);
    m_buffer.Swap(rest);
    m_payloadTaken = true;
    return true;
}

void CReceiveAssembler::Clear()
{
    m_buffer.Free();
    m_headerHeld = false;
    m_payloadTaken = false;
}

bool CReceiveAssembler::PrepareRead(int32_t chunk, int32_t& readSize)
{
    readSize = 0;
    if (chunk <= 0)
        return true;
    if (m_headerHeld && !m_payloadTaken && m_header.DataLen() > m_buffer.Length())
    {
        // The packet's own bytes: room doubles toward its end, so a length that is claimed but
        // never sent costs nothing, and an honest one costs few reallocations.
        const int32_t missing = m_header.DataLen() - m_buffer.Length();
        if (!m_buffer.ReserveDoubling(std::min(chunk, missing), m_header.DataLen()))
            return false;
        readSize = std::min(chunk, m_buffer.Room());
        return true;
    }
    if (m_headerHeld)
    {
        // The packet is complete and waits to be taken; growing its block for the next packet's
        // bytes would only move it.
        readSize = std::min(chunk, m_buffer.Room());
        return true;
    }
    if (!m_buffer.ReserveDoubling(chunk, INT32_MAX))
        return false;
    readSize = chunk;
    return true;
}
