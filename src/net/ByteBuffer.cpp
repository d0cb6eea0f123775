#include "net/ByteBuffer.h"

#include "support/MemoryBlock.h"

#include <algorithm>
#include <cstring>
#include <utility>

CByteBuffer::CByteBuffer(int32_t granularity) : m_granularity(granularity > 0 ? granularity : 1) {}

CByteBuffer::~CByteBuffer()
{
    Free();
}

bool CByteBuffer::Resize(int64_t capacity)
{
    if (capacity % m_granularity != 0)
        capacity += m_granularity - capacity % m_granularity;
    if (capacity > INT32_MAX)
        return false;
    void* block = ResizeBlock(m_data, static_cast<size_t>(capacity));
    if (!block)
        return false;
    m_data = static_cast<uint8_t*>(block);
    m_capacity = static_cast<int32_t>(capacity);
    return true;
}

bool CByteBuffer::Reserve(int32_t count)
{
    if (count <= Room())
        return true;
    return Resize(int64_t{m_length} + count);
}

bool CByteBuffer::ReserveDoubling(int32_t count, int32_t limit)
{
    if (count <= Room())
        return true;
    const int64_t needed = int64_t{m_length} + count;
    const int64_t doubled = std::min(int64_t{m_capacity} * 2, int64_t{limit});
    return Resize(std::max(needed, doubled));
}

bool CByteBuffer::Grow(int32_t count)
{
    if (count < 0 || count > Room())
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

void CByteBuffer::Swap(CByteBuffer& other)
{
    std::swap(m_data, other.m_data);
    std::swap(m_capacity, other.m_capacity);
    std::swap(m_length, other.m_length);
    std::swap(m_granularity, other.m_granularity);
}

uint8_t* CByteBuffer::Detach()
{
    uint8_t* block = m_data;
    m_data = nullptr;
    m_capacity = 0;
    m_length = 0;
    return block;
}
