#include "SilentListener.h"

CSilentListener::CSilentListener()
{
    m_socketsStarted = os::StartSockets() == 0;
    int port = 0;
    m_socket = os::ListenOnLoopback(0, 4, port);
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
