#pragma once

#include <memory>
#include <string>
#include <vector>

// The built quorvel-fetch run as a program: arguments and extra environment variables given, its
// standard streams on pipes or (POSIX) all three on one pseudo-terminal, everything it writes
// collected. Every wait is bounded; a program still running at the end is killed.
class CFetchProcess
{
public:
    enum class EStreams
    {
        Pipes,
        Terminal,
    };

    CFetchProcess(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
                  EStreams streams);
    CFetchProcess(const CFetchProcess&) = delete;
    CFetchProcess& operator=(const CFetchProcess&) = delete;
    ~CFetchProcess();

    // The system's id of the program.
    long Id() const;
    // To its standard input (typed on the terminal).
    void Type(const std::string& text);
    // Collects output until `text` appears in it; false after `timeoutMs`.
    bool WaitForOutput(const std::string& text, int timeoutMs = 10000);
    // Collects output until the program ends; its exit status, or -1 when it did not end in time.
    int Finish(int timeoutMs = 20000);

    // Standard output; on a terminal, standard error too.
    const std::string& Output() const { return m_output; }
    const std::string& Errors() const { return m_errors; }

private:
    // The program and the ends of its streams, as the platform names them.
    struct SProgram;

    // Reads what is there within `waitMs`; false once every stream has ended.
    bool Collect(int waitMs);
    // Waits for the program's end once the streams have ended; its exit status.
    int ExitStatus();

    std::unique_ptr<SProgram> m_program;
    std::string m_output;
    std::string m_errors;
    int m_status = -1;
};
