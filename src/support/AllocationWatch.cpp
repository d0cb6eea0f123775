#include "support/AllocationWatch.h"

#include "support/MemoryBlock.h"

namespace
{
thread_local CAllocationWatch* t_innermost = nullptr;
} // namespace

CAllocationWatch::CAllocationWatch()
    : m_outer(t_innermost), m_startLiveBytes(LiveBlockBytes()), m_peakLiveBytes(m_startLiveBytes)
{
    t_innermost = this;
}

CAllocationWatch::~CAllocationWatch()
{
    t_innermost = m_outer;
}

void CAllocationWatch::FailRequestNumber(int64_t number)
{
    m_failNumber = number > 0 ? m_requests + number : 0;
}

void CAllocationWatch::FailAbove(size_t bytes)
{
    m_failAbove = bytes;
}

CAllocationWatch* CAllocationWatch::Current()
{
    return t_innermost;
}

bool CAllocationWatch::Admit(size_t size)
{
    ++m_requests;
    if (size > m_largestRequest)
        m_largestRequest = size;
    if (m_requests == m_failNumber || size > m_failAbove)
    {
        ++m_failures;
        return false;
    }
    return true;
}

void CAllocationWatch::NoteResized(int64_t liveBytes, size_t relocatedBytes)
{
    if (liveBytes > m_peakLiveBytes)
        m_peakLiveBytes = liveBytes;
    m_relocatedBytes += static_cast<int64_t>(relocatedBytes);
}
