#pragma once

#include "net/SocketPoller.h"
#include "os/Sockets.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

// Test-side sockets on 127.0.0.1 only. Every wait is bounded; everything is closed on destruction.
namespace loopback
{

constexpr int TimeoutMs = 5000;
using Bytes = std::vector<uint8_t>;

// The peer end of a connection accepted by a CSilentListener.
class Peer
{
public:
    explicit Peer(os::SocketHandle descriptor = os::InvalidSocket) : m_descriptor(descriptor) {}
    Peer(Peer&& other) noexcept : m_descriptor(other.m_descriptor) { other.m_descriptor = os::InvalidSocket; }
    Peer& operator=(Peer&& other) noexcept;
    ~Peer() { Close(); }

    bool IsOpen() const { return m_descriptor != os::InvalidSocket; }
    bool SendAll(const Bytes& bytes);
    // Appends what can be read without waiting; false once the connection has ended.
    bool ReadAvailable(Bytes& out);
    // Reads until `out` holds `length` bytes; false when the connection ends or time runs out.
    bool ReadUntil(Bytes& out, size_t length);
    // Whether a byte arrives within `timeoutMs` (left unread).
    bool DataArrivesWithin(int timeoutMs);
    void Close();
    // Closes with a reset instead of an orderly shutdown.
    void Abort();

private:
    os::SocketHandle m_descriptor;
};

// Bytes waiting on the socket's receive queue, up to `limit`, left unread.
int PeekAvailable(int64_t handle, int limit);
// A packet as it travels on the wire: header with checksum, then the payload; its DataLen is the
// payload's length unless `dataLen` says otherwise.
Bytes PacketBytes(uint16_t target, uint16_t com, uint16_t ident, int32_t lParam, const Bytes& payload = {},
                  uint16_t ack = 0, std::optional<int32_t> dataLen = {});

// Runs poll cycles until `done` holds; false after the time-out.
template <typename Condition> bool PollUntil(CSocketPoller& poller, Condition done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(TimeoutMs);
    while (!done())
    {
        if (std::chrono::steady_clock::now() > deadline)
        {
            return false;
        }
        poller.Poll(false, true);
    }
    return true;
}

} // namespace loopback
