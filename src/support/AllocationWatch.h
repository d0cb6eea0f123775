#pragma once

#include <cstddef>
#include <cstdint>

// While it exists, watches the blocks this thread asks for through ResizeBlock and can make those
// requests fail: tests and fuzzers reach the no-memory paths with it and measure what a transfer
// holds. Watches nest; the innermost one sees the requests.
class CAllocationWatch
{
public:
    CAllocationWatch();
    CAllocationWatch(const CAllocationWatch&) = delete;
    CAllocationWatch& operator=(const CAllocationWatch&) = delete;
    ~CAllocationWatch();

    // The nth request from now on fails (1: the next one); 0 fails none by count.
    void FailRequestNumber(int64_t number);
    // Every request for more than `bytes` fails.
    void FailAbove(size_t bytes);

    // Requests seen, the failed ones included.
    int64_t Requests() const { return m_requests; }
    int64_t Failures() const { return m_failures; }
    size_t LargestRequest() const { return m_largestRequest; }
    // The most this thread's blocks held at any moment of the watch, above what they held at its start.
    int64_t PeakGrowth() const { return m_peakLiveBytes - m_startLiveBytes; }
    // Bytes of blocks that moved when they were resized: what an allocator that cannot remap copies.
    int64_t RelocatedBytes() const { return m_relocatedBytes; }

    static CAllocationWatch* Current();

private:
    friend void* ResizeBlock(void* block, size_t size);

    // Counts a request; false when it is to fail.
    bool Admit(size_t size);
    void NoteResized(int64_t liveBytes, size_t relocatedBytes);

    CAllocationWatch* m_outer;
    int64_t m_failNumber = 0;
    size_t m_failAbove = SIZE_MAX;
    int64_t m_requests = 0;
    int64_t m_failures = 0;
    size_t m_largestRequest = 0;
    int64_t m_startLiveBytes;
    int64_t m_peakLiveBytes;
    int64_t m_relocatedBytes = 0;
};
