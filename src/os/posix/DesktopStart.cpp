#include "os/DesktopStart.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace os
{

namespace
{

// The freedesktop.org command that opens a file with the application registered for its type.
constexpr char OpenCommand[] = "xdg-open";
// Used when PATH is not set, as the shell would.
constexpr char FallbackSearchPath[] = "/usr/local/bin:/usr/bin:/bin";
// Upper end of the descriptors closed in the started program, when the system names no limit.
constexpr long FallbackDescriptorLimit = 1024;
constexpr long DescriptorLimitCap = 65536;
// The wait status reported when the opener could not even be forked.
constexpr int NotForkedStatus = 127 << 8;

bool IsExecutableFile(const std::string& candidate)
{
    struct stat status = {};
    return stat(candidate.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
           access(candidate.c_str(), X_OK) == 0;
}

// The program's full path from the directories of PATH, or empty. Looked up before forking, since
// the child of a threaded process may only make async-signal-safe calls.
std::string FindOnSearchPath(const char* program)
{
    const char* searchPath = std::getenv("PATH");
    if (searchPath == nullptr)
        searchPath = FallbackSearchPath;
    const std::string directories = searchPath;
    size_t start = 0;
    while (start <= directories.size())
    {
        size_t end = directories.find(':', start);
        if (end == std::string::npos)
            end = directories.size();
        // An empty entry stands for the current directory.
        std::string directory = directories.substr(start, end - start);
        if (directory.empty())
            directory = ".";
        const std::string candidate = directory + "/" + program;
        if (IsExecutableFile(candidate))
            return candidate;
        start = end + 1;
    }
    return std::string();
}

std::string AbsolutePath(const char* path)
{
    if (path[0] == '/')
        return path;
    char directory[PATH_MAX];
    if (getcwd(directory, sizeof directory) == nullptr)
        return path;
    return std::string(directory) + "/" + path;
}

long DescriptorLimit()
{
    const long limit = sysconf(_SC_OPEN_MAX);
    if (limit <= 0)
        return FallbackDescriptorLimit;
    return limit < DescriptorLimitCap ? limit : DescriptorLimitCap;
}

// From here on, in forked children: only async-signal-safe calls.

// Closes every descriptor above the standard three but `keep` (-1: none), so that no socket or file
// of ours stays open in a process that may outlive them.
void CloseInheritedDescriptors(int keep, long descriptorLimit)
{
    for (long descriptor = 3; descriptor < descriptorLimit; ++descriptor)
    {
        if (descriptor != keep)
            close(static_cast<int>(descriptor));
    }
}

// Tells the starting process how the opener ended (a wait status), then ends.
[[noreturn]] void ReportAndExit(int reportPipe, int waitStatus)
{
    // The starting process may have stopped listening; that must not kill us before _exit.
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, nullptr);
    ssize_t written = -1;
    do
        written = write(reportPipe, &waitStatus, sizeof waitStatus);
    while (written < 0 && errno == EINTR);
    _exit(0);
}

// The opener: no terminal input, no descriptor of ours, then the program. Any failure on the way
// is its exit status 127.
[[noreturn]] void RunOpener(const char* program, char* const arguments[], const char* workingDirectory,
                            long descriptorLimit)
{
    if (workingDirectory[0] != '\0' && chdir(workingDirectory) != 0)
        _exit(127);
    const int nullInput = open("/dev/null", O_RDONLY);
    if (nullInput > 0)
    {
        dup2(nullInput, 0);
        close(nullInput);
    }
    CloseInheritedDescriptors(-1, descriptorLimit);
    execve(program, arguments, environ);
    _exit(127);
}

// The watcher, an orphan that nobody here has to wait for: starts the opener as its own child,
// waits for its end, however long that takes, and reports it.
[[noreturn]] void WatchOpener(int reportPipe, const char* program, char* const arguments[],
                              const char* workingDirectory, long descriptorLimit)
{
    CloseInheritedDescriptors(reportPipe, descriptorLimit);
    const pid_t opener = fork();
    if (opener < 0)
        ReportAndExit(reportPipe, NotForkedStatus);
    if (opener == 0)
        RunOpener(program, arguments, workingDirectory, descriptorLimit);
    int status = 0;
    while (waitpid(opener, &status, 0) < 0)
    {
        if (errno != EINTR)
            ReportAndExit(reportPipe, NotForkedStatus);
    }
    ReportAndExit(reportPipe, status);
}

} // namespace

CDesktopStart::CDesktopStart(const char* path, const char* workingDirectory)
{
    if (path == nullptr || *path == '\0')
        return;
    const std::string program = FindOnSearchPath(OpenCommand);
    if (program.empty())
        return;
    std::string document = AbsolutePath(path);
    std::string programName = OpenCommand;
    char* const arguments[] = {&programName[0], &document[0], nullptr};
    const char* directory = workingDirectory != nullptr ? workingDirectory : "";
    const long descriptorLimit = DescriptorLimit();

    int reportPipe[2];
    if (pipe2(reportPipe, O_CLOEXEC) != 0)
        return;

    // Forked twice: the short-lived middle process is reaped here at once, so the watcher and the
    // opener belong to init and leave nothing behind in this process, however long they run.
    const pid_t middle = fork();
    if (middle == 0)
    {
        close(reportPipe[0]);
        setsid();
        const pid_t watcher = fork();
        if (watcher < 0)
            ReportAndExit(reportPipe[1], NotForkedStatus);
        if (watcher == 0)
            WatchOpener(reportPipe[1], program.c_str(), arguments, directory, descriptorLimit);
        _exit(0);
    }
    close(reportPipe[1]);
    if (middle < 0)
    {
        close(reportPipe[0]);
        return;
    }
    int middleStatus = 0;
    while (waitpid(middle, &middleStatus, 0) < 0 && errno == EINTR)
    {
    }
    fcntl(reportPipe[0], F_SETFL, fcntl(reportPipe[0], F_GETFL) | O_NONBLOCK);
    m_report = reportPipe[0];
    m_state = EState::Pending;
}

CDesktopStart::~CDesktopStart()
{
    if (m_report >= 0)
        close(m_report);
}

CDesktopStart::EState CDesktopStart::Poll()
{
    if (m_state != EState::Pending)
        return m_state;
    int waitStatus = 0;
    ssize_t received = -1;
    do
        received = read(m_report, &waitStatus, sizeof waitStatus);
    while (received < 0 && errno == EINTR);
    if (received < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
        return m_state;
    // A report, or the pipe closed without one (the watcher was killed): nothing says it started.
    const bool succeeded = received == static_cast<ssize_t>(sizeof waitStatus) && WIFEXITED(waitStatus) &&
                           WEXITSTATUS(waitStatus) == 0;
    m_state = succeeded ? EState::Started : EState::Failed;
    close(m_report);
    m_report = -1;
    return m_state;
}

} // namespace os
