#pragma once

#include "os/Sockets.h"

#include <cstdint>

// A growable set of socket handles laid out like the sockets interface's fd_set: word 0 holds the
// count, the following words the handles. Unlike fd_set it has no fixed upper bound. Membership
// tests are linear, which suits the handful of sockets in play.
class CSocketHandleSet
{
public:
    static constexpr int32_t InitialCapacity = 64;
    static constexpr int32_t GrowthStep = 10;

    CSocketHandleSet();
    CSocketHandleSet(const CSocketHandleSet&) = delete;
    CSocketHandleSet& operator=(const CSocketHandleSet&) = delete;
    ~CSocketHandleSet();

    // Adds the handle unless it is already present; false when the set cannot grow.
    bool Add(os::SocketHandle handle);
    bool Contains(os::SocketHandle handle) const;
    void Clear();

    int32_t Count() const;
    // Capacity in words, the count word included.
    int32_t Capacity() const { return m_capacity; }
    // The handles, Count() of them.
    os::SocketHandle* Handles() { return m_words ? m_words + 1 : nullptr; }
    // Keeps the first `count` handles, after a readiness wait has moved the ready ones there.
    void Truncate(int32_t count);

private:
    bool Grow();

    os::SocketHandle* m_words = nullptr;
    int32_t m_capacity = 0;
};
