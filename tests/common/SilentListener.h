#pragma once

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
    int m_socket = -1;
    int m_port = 0;
};
