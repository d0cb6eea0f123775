#include "TestProgram.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

struct CTestProgram::SProgram
{
    pid_t child = -1;
    int input = -1;
    int output = -1;
    int errors = -1;
};

namespace
{

[[noreturn]] void Execute(const std::string& path, const std::vector<std::string>& arguments,
                          const std::vector<std::string>& environment)
{
    for (const std::string& assignment : environment)
        putenv(const_cast<char*>(assignment.c_str()));
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(path.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(path.c_str(), argv.data());
    _exit(127);
}

} // namespace

CTestProgram::CTestProgram(const std::string& path, const std::vector<std::string>& arguments,
                           const std::vector<std::string>& environment, EStreams streams)
    : m_program(std::make_unique<SProgram>())
{
    SProgram& program = *m_program;
    if (streams == EStreams::Terminal)
    {
        int terminal = -1;
        program.child = forkpty(&terminal, nullptr, nullptr, nullptr);
        if (program.child == 0)
            Execute(path, arguments, environment);
        program.input = terminal;
        program.output = terminal;
    }
    else if (streams == EStreams::Pipes)
    {
        int input[2], output[2], errors[2];
        if (pipe(input) != 0 || pipe(output) != 0 || pipe(errors) != 0)
        {
            ADD_FAILURE() << "no pipes";
            return;
        }
        program.child = fork();
        if (program.child == 0)
        {
            dup2(input[0], STDIN_FILENO);
            dup2(output[1], STDOUT_FILENO);
            dup2(errors[1], STDERR_FILENO);
            for (int descriptor : {input[0], input[1], output[0], output[1], errors[0], errors[1]})
                close(descriptor);
            Execute(path, arguments, environment);
        }
        close(input[0]);
        close(output[1]);
        close(errors[1]);
        program.input = input[1];
        program.output = output[0];
        program.errors = errors[0];
    }
    else if (streams == EStreams::Inherited)
    {
        program.child = fork();
        if (program.child == 0)
            Execute(path, arguments, environment);
    }
    else
    {
        ADD_FAILURE() << "Windows' streams only";
        return;
    }
    if (program.child < 0)
        ADD_FAILURE() << "cannot start " << path;
}

CTestProgram::~CTestProgram()
{
    SProgram& program = *m_program;
    if (program.child > 0 && m_status < 0)
    {
        Kill();
        waitpid(program.child, nullptr, 0);
    }
    // On a terminal, input and output are one descriptor.
    if (program.output >= 0 && program.output != program.input)
        close(program.output);
    for (int descriptor : {program.input, program.errors})
    {
        if (descriptor >= 0)
            close(descriptor);
    }
}

bool CTestProgram::IsStarted() const
{
    return m_program->child > 0;
}

long CTestProgram::Id() const
{
    return m_program->child;
}

void CTestProgram::Type(const std::string& text)
{
    ASSERT_GE(m_program->input, 0);
    EXPECT_EQ(write(m_program->input, text.data(), text.size()), static_cast<ssize_t>(text.size()));
}

void CTestProgram::Kill()
{
    if (m_program->child > 0)
        kill(m_program->child, SIGKILL);
}

bool CTestProgram::Collect(int waitMs)
{
    SProgram& program = *m_program;
    pollfd streams[2];
    nfds_t count = 0;
    for (int descriptor : {program.output, program.errors})
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
            (streams[index].fd == program.output ? m_output : m_errors)
                .append(buffer, static_cast<size_t>(received));
            continue;
        }
        if (received < 0 && errno == EINTR)
            continue;
        // The end of a pipe, or EIO from a terminal whose program has closed it.
        int& descriptor = streams[index].fd == program.output ? program.output : program.errors;
        if (descriptor != program.input)
            close(descriptor);
        descriptor = -1;
    }
    return true;
}

int CTestProgram::ExitStatus(int waitMs)
{
    int status = 0;
    for (int waited = 0;; waited += 5)
    {
        const pid_t ended = waitpid(m_program->child, &status, WNOHANG);
        if (ended == m_program->child)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if ((ended < 0 && errno != EINTR) || waited >= waitMs)
            return -1;
        usleep(5000);
    }
}
