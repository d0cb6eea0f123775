#pragma once

#include <memory>
#include <string>
#include <vector>

// A built program run by a test, with its arguments and extra environment variables ("NAME=value").
// What it writes on pipes is collected (on Windows read as text: CR LF as LF). Every wait is
// bounded; a program still running when the object goes is killed.
class CTestProgram
{
public:
    enum class EStreams
    {
        Inherited,  // the test's own
        Pipes,      // all three, output and errors collected
        Terminal,   // POSIX: all three on one pseudo-terminal, collected as output
        ErrorsOnly, // Windows: no input or output, errors collected, as a file manager starts a program
        OwnConsole, // Windows: a new console's
    };

    CTestProgram(const std::string& path, const std::vector<std::string>& arguments,
                 const std::vector<std::string>& environment = {}, EStreams streams = EStreams::Inherited);
    CTestProgram(const CTestProgram&) = delete;
    CTestProgram& operator=(const CTestProgram&) = delete;
    ~CTestProgram();

    bool IsStarted() const;
    // The system's id of the program.
    long Id() const;
#ifdef _WIN32
    // Its first thread's id, which runs a window program's windows.
    unsigned long ThreadId() const;
#endif
    // To its standard input (typed on the terminal).
    void Type(const std::string& text);
    // Collects output until `text` appears in it; false after `timeoutMs`.
    bool WaitForOutput(const std::string& text, int timeoutMs = 10000);
    // Collects output until the program ends; its exit status, or -1 when it did not end in time.
    int Finish(int timeoutMs = 20000);
    // Ends it at once; Finish() then collects the rest.
    void Kill();

    // Standard output; on a terminal, standard error too.
    const std::string& Output() const
    {
        return m_output;
    }
    const std::string& Errors() const
    {
        return m_errors;
    }

private:
    // The program and the ends of its streams, as the platform names them.
    struct SProgram;

    // Reads what is there within `waitMs`; false once every stream has ended.
    bool Collect(int waitMs);
    // Waits at most `waitMs` for the program's end; its exit status, or -1.
    int ExitStatus(int waitMs);

    std::unique_ptr<SProgram> m_program;
    std::string m_output;
    std::string m_errors;
    int m_status = -1;
};
