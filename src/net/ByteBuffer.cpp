#include "net/ByteBuffer.h"

#include "support/MemoryBlock.h"

#include <cstring>

CByteBuffer::CByteBuffer(int32_t granularity) : m_granularity(granularity > 0 ? granularity : 1) {}

CByteBuffer::~CByteBuffer()
{
    Free();
}

bool CByteBuffer::Reserve(int32_t count)
{
    if (count <= m_capacity - m_length)
        return true;
    int64_t newCapacity = int64_t{m_length} + count;
    if (newCapacity % m_granularity != 0)
        newCapacity += m_granularity - newCapacity % m_granularity;
    if (newCapacity > INT32_MAX)
        return false;
    void* block = ResizeBlock(m_data, static_cast<size_t>(newCapacity));
    if (!block)
        return false;
    m_data = static_cast<uint8_t*>(block);
    m_capacity = static_cast<int32_t>(newCapacity);
    return true;
}

bool CByteBuffer::Grow(int32_t count)
{
    if (count < 0 || count > m_capacity - m_length)
        return false;
    m_length += count;
    return true;
}

void CByteBuffer::RemoveFront(int32_t count)
{
    if (count < 0 || count >= m_length)
    {
        m_length = 0;
        return;
    }
    std::memmove(m_data, m_data + count, static_cast<size_t>(m_length - count));
    m_length -= count;
}

bool CByteBuffer::ShrinkToFit()
{
    if (m_capacity == m_length)
        return true;
    if (m_length == 0)
    {
        Free();
        return true;
    }
    void* block = ResizeBlock(m_data, static_cast<size_t>(m_length));
    if (!block)
        return false;
    m_data = static_cast<uint8_t*>(block);
    m_capacity = m_length;
    return true;
}

void CByteBuffer::Free()
{
    FreeBlock(m_data);
    m_data = nullptr;
    m_capacity = 0;
    m_length = 0;
}
