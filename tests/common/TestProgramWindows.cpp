#include "TestProgram.h"

#include "os/win32/WideText.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cwchar>

struct CTestProgram::SProgram
{
    PROCESS_INFORMATION process{};
    HANDLE input = nullptr;
    HANDLE output = nullptr;
    HANDLE errors = nullptr;
};

namespace
{

// One argument as the program's command-line splitting reads it back: quoted when it holds blanks
// or quotes, backslashes doubled before a quote.
std::wstring Quoted(const std::wstring& argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos)
        return argument;
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (const wchar_t character : argument)
    {
        if (character == L'\\')
        {
            ++backslashes;
            continue;
        }
        quoted.append(character == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += character;
    }
    quoted.append(2 * backslashes, L'\\');
    return quoted + L"\"";
}

// Ours, with `assignments` ("NAME=value") added or replacing ours, as the system wants a block.
std::wstring EnvironmentBlock(const std::vector<std::string>& assignments)
{
    std::vector<std::wstring> variables;
    wchar_t* own = GetEnvironmentStringsW();
    for (const wchar_t* entry = own; entry != nullptr && *entry != L'\0'; entry += wcslen(entry) + 1)
        variables.emplace_back(entry);
    FreeEnvironmentStringsW(own);
    for (const std::string& assignment : assignments)
    {
        const std::wstring wide = os::WideText(assignment.c_str());
        const std::wstring name = wide.substr(0, wide.find(L'=') + 1);
        for (std::wstring& variable : variables)
        {
            if (_wcsnicmp(variable.c_str(), name.c_str(), name.size()) == 0)
                variable.clear();
        }
        variables.push_back(wide);
    }
    std::wstring block;
    for (const std::wstring& variable : variables)
    {
        if (!variable.empty())
            block += variable + L'\0';
    }
    return block + L'\0';
}

// Both ends of a pipe; the child's end is inherited, ours is not.
bool MakePipe(HANDLE& ours, HANDLE& theirs, bool theyRead)
{
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherited, 0))
        return false;
    ours = theyRead ? writeEnd : readEnd;
    theirs = theyRead ? readEnd : writeEnd;
    SetHandleInformation(ours, HANDLE_FLAG_INHERIT, 0);
    return true;
}

// Moves what the pipe holds into `collected` without waiting, its line ends read as text (CR LF as
// LF); false (and the handle closed) once the program has closed its end.
bool Drain(HANDLE& pipe, std::string& collected)
{
    for (;;)
    {
        DWORD available = 0;
        if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr))
        {
            CloseHandle(pipe);
            pipe = nullptr;
            return false;
        }
        if (available == 0)
            return true;
        char buffer[4096];
        DWORD received = 0;
        if (!ReadFile(pipe, buffer, sizeof buffer, &received, nullptr))
            return true;
        collected.append(buffer, received);
        for (size_t end = collected.find("\r\n"); end != std::string::npos; end = collected.find("\r\n", end))
            collected.erase(end, 1);
    }
}

} // namespace

CTestProgram::CTestProgram(const std::string& path, const std::vector<std::string>& arguments,
                           const std::vector<std::string>& environment, EStreams streams)
    : m_program(std::make_unique<SProgram>())
{
    if (streams == EStreams::Terminal)
    {
        ADD_FAILURE() << "no pseudo-terminal on Windows";
        return;
    }
    SProgram& program = *m_program;
    HANDLE theirs[3] = {};
    const bool piped = streams == EStreams::Pipes || streams == EStreams::ErrorsOnly;
    if ((streams == EStreams::Pipes &&
         (!MakePipe(program.input, theirs[0], true) || !MakePipe(program.output, theirs[1], false))) ||
        (piped && !MakePipe(program.errors, theirs[2], false)))
    {
        ADD_FAILURE() << "no pipes";
        return;
    }
    std::wstring commandLine = Quoted(os::WideText(path.c_str()));
    for (const std::string& argument : arguments)
        commandLine += L" " + Quoted(os::WideText(argument.c_str()));
    std::wstring block = EnvironmentBlock(environment);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = piped ? STARTF_USESTDHANDLES : 0;
    startup.hStdInput = theirs[0];
    startup.hStdOutput = theirs[1];
    startup.hStdError = theirs[2];
    const DWORD console = streams == EStreams::Pipes        ? CREATE_NO_WINDOW
                          : streams == EStreams::OwnConsole ? CREATE_NEW_CONSOLE
                                                            : 0;
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, piped,
                        CREATE_UNICODE_ENVIRONMENT | console, environment.empty() ? nullptr : &block[0],
                        nullptr, &startup, &program.process))
    {
        program.process = PROCESS_INFORMATION{};
        ADD_FAILURE() << "cannot start " << path << " (system error " << GetLastError() << ")";
    }
    for (HANDLE handle : theirs)
    {
        if (handle != nullptr)
            CloseHandle(handle);
    }
}

CTestProgram::~CTestProgram()
{
    SProgram& program = *m_program;
    if (IsStarted())
    {
        if (m_status < 0)
        {
            Kill();
            WaitForSingleObject(program.process.hProcess, 5000);
        }
        CloseHandle(program.process.hThread);
        CloseHandle(program.process.hProcess);
    }
    for (HANDLE ours : {program.input, program.output, program.errors})
    {
        if (ours != nullptr)
            CloseHandle(ours);
    }
}

bool CTestProgram::IsStarted() const
{
    return m_program->process.hProcess != nullptr;
}

long CTestProgram::Id() const
{
    return static_cast<long>(m_program->process.dwProcessId);
}

unsigned long CTestProgram::ThreadId() const
{
    return m_program->process.dwThreadId;
}

void CTestProgram::Type(const std::string& text)
{
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(m_program->input, text.data(), static_cast<DWORD>(text.size()), &written, nullptr));
    EXPECT_EQ(written, text.size());
}

void CTestProgram::Kill()
{
    if (IsStarted())
        TerminateProcess(m_program->process.hProcess, 1);
}

// Anonymous pipes cannot be waited on together; they are looked at every few milliseconds.
bool CTestProgram::Collect(int waitMs)
{
    SProgram& program = *m_program;
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(waitMs);
    for (;;)
    {
        const size_t before = m_output.size() + m_errors.size();
        if (program.output != nullptr)
            Drain(program.output, m_output);
        if (program.errors != nullptr)
            Drain(program.errors, m_errors);
        if (program.output == nullptr && program.errors == nullptr)
            return false;
        if (m_output.size() + m_errors.size() != before || GetTickCount64() >= deadline)
            return true;
        Sleep(5);
    }
}

int CTestProgram::ExitStatus(int waitMs)
{
    DWORD status = 0;
    if (!IsStarted() ||
        WaitForSingleObject(m_program->process.hProcess, static_cast<DWORD>(waitMs)) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(m_program->process.hProcess, &status))
        return -1;
    return static_cast<int>(status);
}
