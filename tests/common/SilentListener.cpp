#include "SilentListener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

CSilentListener::CSilentListener()
{
    m_socket = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        listen(m_socket, 4) == 0)
    {
        socklen_t length = sizeof address;
        getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
    }
}

CSilentListener::~CSilentListener()
{
    Close();
}

void CSilentListener::Close()
{
    if (m_socket >= 0)
        close(m_socket);
    m_socket = -1;
}
