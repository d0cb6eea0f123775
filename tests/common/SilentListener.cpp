#include "SilentListener.h"

CSilentListener::CSilentListener()
{
    m_socketsStarted = os::StartSockets() == 0;
    int port = 0;
    m_socket = os::ListenOnLoopback(0, 16, port);
    if (m_socket != os::InvalidSocket)
        m_port = port;
}

CSilentListener::~CSilentListener()
{
    Close();
    if (m_socketsStarted)
        os::StopSockets();
}

void CSilentListener::Close()
{
    os::CloseSocket(m_socket);
    m_socket = os::InvalidSocket;
}

os::SocketHandle CSilentListener::Accept()
{
    if (m_socket == os::InvalidSocket || !os::WaitUntilReadable(m_socket, 5000))
        return os::InvalidSocket;
    const os::SocketHandle accepted = os::AcceptConnection(m_socket);
    if (accepted != os::InvalidSocket)
        os::SetNonBlocking(accepted);
    return accepted;
}

int CSilentListener::ClosedPort()
{
    // Released again at once; another bind of it in between is very unlikely.
    return CSilentListener().Port();
}
