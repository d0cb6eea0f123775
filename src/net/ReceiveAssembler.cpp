#include "net/ReceiveAssembler.h"

#include <cstdint>

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
    return m_headerHeld ? m_buffer.Data() : nullptr;
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
    m_buffer.RemoveFront(m_header.DataLen());
    m_headerHeld = false;
}

bool CReceiveAssembler::Extend(int32_t count)
{
    if (!m_headerHeld || count < 0 || int64_t{m_header.DataLen()} + count > INT32_MAX)
        return false;
    if (!m_buffer.Reserve(count))
        return false;
    m_header.AddDataLen(count);
    return true;
}

void CReceiveAssembler::Clear()
{
    m_buffer.Free();
    m_headerHeld = false;
}
