#include "ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

extern char** environ;

CChildProcess::~CChildProcess()
{
    Terminate();
}

bool CChildProcess::Start(const std::vector<std::string>& arguments,
                          const std::vector<std::string>& environment, const std::string& errorFile)
{
    int pipeEnds[2];
    if (arguments.empty() || pipe2(pipeEnds, O_CLOEXEC) != 0)
        return false;
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> variables;
    for (char** variable = environ; *variable != nullptr; ++variable)
        variables.emplace_back(*variable);
    variables.insert(variables.end(), environment.begin(), environment.end());
    std::vector<char*> envp;
    for (std::string& variable : variables)
        envp.push_back(variable.data());
    envp.push_back(nullptr);

    m_pid = fork();
    if (m_pid < 0)
    {
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        return false;
    }
    if (m_pid == 0)
    {
        dup2(pipeEnds[1], STDOUT_FILENO);
        const int error =
            open(errorFile.empty() ? "/dev/null" : errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (error >= 0)
            dup2(error, STDERR_FILENO);
        const int input = open("/dev/null", O_RDONLY);
        if (input >= 0)
            dup2(input, STDIN_FILENO);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    m_outputPipe = pipeEnds[0];
    return true;
}

bool CChildProcess::ReadSome(int timeoutMilliseconds)
{
    if (m_outputPipe < 0)
        return false;
    pollfd readable{m_outputPipe, POLLIN, 0};
    if (poll(&readable, 1, timeoutMilliseconds) <= 0)
        return true;
    char buffer[4096];
    const ssize_t count = read(m_outputPipe, buffer, sizeof buffer);
    if (count <= 0)
    {
        close(m_outputPipe);
        m_outputPipe = -1;
        return false;
    }
    m_output.append(buffer, static_cast<size_t>(count));
    return true;
}

std::string CChildProcess::ReadLine(int timeoutMilliseconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
    for (;;)
    {
        const size_t newline = m_output.find('\n', m_lineStart);
        if (newline != std::string::npos)
        {
            std::string line = m_output.substr(m_lineStart, newline - m_lineStart);
            m_lineStart = newline + 1;
            return line;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
                .count();
        if (left <= 0 || !ReadSome(static_cast<int>(left)))
            return std::string();
    }
}

int CChildProcess::Reap(bool block)
{
    if (m_pid <= 0)
        return m_status;
    int status = 0;
    if (waitpid(m_pid, &status, block ? 0 : WNOHANG) != m_pid)
        return -2;
    m_pid = -1;
    m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return m_status;
}

int CChildProcess::Wait(int timeoutSeconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    // The output ends when the program does.
    while (m_outputPipe >= 0 && std::chrono::steady_clock::now() < deadline)
        ReadSome(100);
    while (Reap(false) == -2 && std::chrono::steady_clock::now() < deadline)
        usleep(10000);
    if (m_pid > 0)
        Terminate();
    return m_status;
}

void CChildProcess::Terminate()
{
    if (m_pid > 0)
    {
        kill(m_pid, SIGTERM);
        for (int wait = 0; wait < 100 && Reap(false) == -2; ++wait)
            usleep(10000);
        if (m_pid > 0)
        {
            kill(m_pid, SIGKILL);
            Reap(true);
        }
    }
    if (m_outputPipe >= 0)
    {
        close(m_outputPipe);
        m_outputPipe = -1;
    }
}
