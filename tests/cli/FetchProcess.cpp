#include "FetchProcess.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

[[noreturn]] void Execute(const std::vector<std::string>& arguments,
                          const std::vector<std::string>& environment)
{
    for (const std::string& assignment : environment)
        putenv(const_cast<char*>(assignment.c_str()));
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(QUORVEL_FETCH_PATH));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(QUORVEL_FETCH_PATH, argv.data());
    _exit(127);
}

} // namespace

CFetchProcess::CFetchProcess(const std::vector<std::string>& arguments,
                             const std::vector<std::string>& environment, EStreams streams)
{
    if (streams == EStreams::Terminal)
    {
        int terminal = -1;
        m_child = forkpty(&terminal, nullptr, nullptr, nullptr);
        if (m_child == 0)
            Execute(arguments, environment);
        m_input = terminal;
        m_outputStream = terminal;
    }
    else
    {
        int input[2], output[2], errors[2];
        if (pipe(input) != 0 || pipe(output) != 0 || pipe(errors) != 0)
        {
            ADD_FAILURE() << "no pipes";
            return;
        }
        m_child = fork();
        if (m_child == 0)
        {
            dup2(input[0], STDIN_FILENO);
            dup2(output[1], STDOUT_FILENO);
            dup2(errors[1], STDERR_FILENO);
            for (int descriptor : {input[0], input[1], output[0], output[1], errors[0], errors[1]})
                close(descriptor);
            Execute(arguments, environment);
        }
        close(input[0]);
        close(output[1]);
        close(errors[1]);
        m_input = input[1];
        m_outputStream = output[0];
        m_errorStream = errors[0];
    }
    if (m_child < 0)
        ADD_FAILURE() << "cannot start " << QUORVEL_FETCH_PATH;
}

CFetchProcess::~CFetchProcess()
{
    if (m_child > 0 && m_status < 0)
    {
        kill(m_child, SIGKILL);
        waitpid(m_child, nullptr, 0);
    }
    // On a terminal, input and output are one descriptor.
    if (m_outputStream >= 0 && m_outputStream != m_input)
        close(m_outputStream);
    for (int descriptor : {m_input, m_errorStream})
    {
        if (descriptor >= 0)
            close(descriptor);
    }
}

void CFetchProcess::Type(const std::string& text)
{
    ASSERT_GE(m_input, 0);
    EXPECT_EQ(write(m_input, text.data(), text.size()), static_cast<ssize_t>(text.size()));
}

bool CFetchProcess::Collect(int waitMs)
{
    pollfd streams[2];
    nfds_t count = 0;
    for (int descriptor : {m_outputStream, m_errorStream})
    {
        if (descriptor >= 0)
            streams[count++] = pollfd{descriptor, POLLIN, 0};
    }
    if (count == 0 || poll(streams, count, waitMs) <= 0)
        return count != 0;
    for (nfds_t index = 0; index < count; ++index)
    {
        if (streams[index].revents == 0)
            continue;
        char buffer[4096];
        const ssize_t received = read(streams[index].fd, buffer, sizeof buffer);
        if (received > 0)
        {
            (streams[index].fd == m_outputStream ? m_output : m_errors)
                .append(buffer, static_cast<size_t>(received));
            continue;
        }
        if (received < 0 && errno == EINTR)
            continue;
        // The end of a pipe, or EIO from a terminal whose program has closed it.
        int& descriptor = streams[index].fd == m_outputStream ? m_outputStream : m_errorStream;
        if (descriptor != m_input)
            close(descriptor);
        descriptor = -1;
    }
    return true;
}

bool CFetchProcess::WaitForOutput(const std::string& text, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (m_output.find(text) == std::string::npos)
    {
        if (std::chrono::steady_clock::now() >= deadline || !Collect(50))
            return m_output.find(text) != std::string::npos;
    }
    return true;
}

int CFetchProcess::Finish(int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Collect(50))
    {
        if (std::chrono::steady_clock::now() >= deadline)
            return -1;
    }
    int status = 0;
    while (waitpid(m_child, &status, 0) < 0 && errno == EINTR)
    {
    }
    m_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return m_status;
}
