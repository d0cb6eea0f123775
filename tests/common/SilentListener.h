#pragma once

#include "os/Sockets.h"

// A listener on 127.0.0.1 that answers nothing by itself: connections wait in its backlog until a
// test accepts one, and what is sent to those it never accepts fills the kernel's buffers until
// sending would block.
class CSilentListener
{
public:
    CSilentListener();
    CSilentListener(const CSilentListener&) = delete;
    CSilentListener& operator=(const CSilentListener&) = delete;
    ~CSilentListener();

    void Close();
    // 0 when no port could be had.
    int Port() const { return m_port; }
    // The next connection, non-blocking, within five seconds; InvalidSocket when none came.
    os::SocketHandle Accept();
    // A loopback port that nothing listens on now, so that connects to it are refused.
    static int ClosedPort();

private:
    os::SocketHandle m_socket = os::InvalidSocket;
    bool m_socketsStarted = false;
    int m_port = 0;
};
