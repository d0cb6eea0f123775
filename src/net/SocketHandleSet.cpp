#include "net/SocketHandleSet.h"

#include <cstdlib>

CSocketHandleSet::CSocketHandleSet()
{
    m_words = static_cast<os::SocketHandle*>(std::malloc(sizeof(os::SocketHandle) * InitialCapacity));
    if (m_words != nullptr)
    {
        m_words[0] = 0;
        m_capacity = InitialCapacity;
    }
}

CSocketHandleSet::~CSocketHandleSet()
{
    std::free(m_words);
}

bool CSocketHandleSet::Add(os::SocketHandle handle)
{
    if (Contains(handle))
    {
        return true;
    }
    const int32_t count = Count();
    if (count >= m_capacity - 1 && !Grow())
    {
        return false;
    }
    m_words[count + 1] = handle;
    m_words[0] = count + 1;
    return true;
}

bool CSocketHandleSet::Contains(os::SocketHandle handle) const
{
    const int32_t count = Count();
    for (int32_t i = 1; i <= count; ++i)
    {
        if (m_words[i] == handle)
        {
            return true;
        }
    }
    return false;
}

void CSocketHandleSet::Clear()
{
    if (m_words != nullptr)
    {
        m_words[0] = 0;
    }
}

int32_t CSocketHandleSet::Count() const
{
    return m_words ? static_cast<int32_t>(m_words[0]) : 0;
}

void CSocketHandleSet::Truncate(int32_t count)
{
    if (m_words != nullptr && count >= 0 && count < Count())
    {
        m_words[0] = count;
    }
}

bool CSocketHandleSet::Grow()
{
    const int32_t capacity = m_capacity + GrowthStep;
    auto* words = static_cast<os::SocketHandle*>(
        std::realloc(m_words, sizeof(os::SocketHandle) * static_cast<size_t>(capacity)));
    if (words == nullptr)
    {
        return false;
    }
    if (m_words == nullptr)
    {
        words[0] = 0;
    }
    m_words = words;
    m_capacity = capacity;
    return true;
}
