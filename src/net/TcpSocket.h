#pragma once

#include "net/ByteBuffer.h"
#include "os/Sockets.h"

#include <cstdint>

// Starts the sockets interface the first time it is called; later calls after a success do nothing.
bool StartSocketsOnce();

// One non-blocking TCP stream socket. It never waits: the poller finds out when it is readable,
// writable or failed and calls the event operations below. Failures are reported by return values
// and LastError(), with the Windows-sockets error numbers of os/Sockets.h.
class CTcpSocket
{
public:
    enum SocketState : int32_t
    {
        StateFresh = 0,
        StateIdle = 1,
        StateConnecting = 4,
        StateConnected = 5,
        StateClosing = 6,
    };

    // The peer closed the connection; distinct from every sockets-interface error.
    static constexpr int32_t ErrorClosedByPeer = 11000;

    CTcpSocket() = default;
    CTcpSocket(const CTcpSocket&) = delete;
    CTcpSocket& operator=(const CTcpSocket&) = delete;
    virtual ~CTcpSocket();

    virtual bool WantsWrite();
    virtual void OnAccept(int unused);
    virtual void OnReceive(int unused);
    virtual void OnSend(int unused);
    virtual void OnConnect(int unused);
    virtual void OnClose(int code);
    virtual void OnError(int code);
    virtual bool WantsRead();
    virtual void AfterEvents();

    // Makes the socket. Does not close a handle already held; callers close first.
    bool Create();
    // Starts a non-blocking connect to a dotted address or host name. True when it is under way;
    // the outcome arrives through the poller.
    bool Connect(const char* host, int port);
    // One read: byte count, 0 when it would block, -1 after a failure or the peer's close, which
    // also closes the socket through OnError.
    int Receive(void* buffer, int size);
    // One send of the whole outgoing block; with `consume` the sent bytes leave the block.
    int SendPending(bool consume);
    // A forced close drops unsent bytes; a graceful one keeps a connected socket open until its
    // outgoing block has been sent.
    void Close(bool force);

    // Appends bytes to the outgoing block; false when memory cannot be had (nothing changes).
    bool AppendOutgoing(const void* data, int32_t length);
    const uint8_t* OutgoingData() const { return m_outgoing.Data(); }
    int32_t OutgoingLength() const { return m_outgoing.Length(); }

    bool IsOpen() const { return m_handle != os::InvalidSocket; }
    bool IsConnecting() const { return m_state == StateConnecting; }
    int32_t LastError() const { return m_lastError; }
    os::SocketHandle Handle() const { return m_handle; }
    int32_t State() const { return m_state; }
    bool IsPollerOwned() const { return m_pollerOwned; }

    // Only the poller moves a socket from Connecting to Connected.
    void MarkConnected() { m_state = StateConnected; }

protected:
    // One send of `length` bytes from `data`: the byte count, 0 when it would block (last error
    // stays ErrorWouldBlock), -1 after a failure, which closes the socket through OnError.
    int SendBlock(const void* data, int32_t length);

    void SetLastError(int32_t code) { m_lastError = code; }
    void SetPollerOwned(bool owned) { m_pollerOwned = owned; }

private:
    CByteBuffer m_outgoing;
    bool m_pollerOwned = true;
    os::SocketHandle m_handle = os::InvalidSocket;
    int32_t m_lastError = 0;
    int32_t m_state = StateFresh;
};
