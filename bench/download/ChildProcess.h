#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

// A program the benchmark starts and stops itself: its standard output is read through a pipe,
// its standard error goes to a file (or nowhere), and it is only ever signalled by its own id.
class CChildProcess
{
public:
    CChildProcess() = default;
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;
    // Stops the program if it still runs.
    ~CChildProcess();

    // `environment` entries ("NAME=value") are added to this process's environment. An empty
    // `errorFile` discards the program's standard error.
    bool Start(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
               const std::string& errorFile);
    // The next line of output without its newline; empty when none came within the time.
    std::string ReadLine(int timeoutMilliseconds);
    // Collects the output until the program ends; after the time-out it is terminated. The exit
    // status, or -1 when it did not exit normally.
    int Wait(int timeoutSeconds);
    // SIGTERM, then SIGKILL if it does not end within a second.
    void Terminate();

    const std::string& Output() const { return m_output; }
    pid_t Pid() const { return m_pid; }

private:
    // Reads what is available within the time; false at the end of the output.
    bool ReadSome(int timeoutMilliseconds);
    int Reap(bool block);

    pid_t m_pid = -1;
    int m_outputPipe = -1;
    std::string m_output;
    size_t m_lineStart = 0;
    int m_status = -1;
};
