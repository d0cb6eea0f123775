#pragma once

#include "os/Sockets.h"

// A loopback listener that accepts nothing and reads nothing: connections wait in its backlog, and
// what is sent to them fills the kernel's buffers until sending would block.
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

private:
    os::SocketHandle m_socket = os::InvalidSocket;
    bool m_socketsStarted = false;
    int m_port = 0;
};
