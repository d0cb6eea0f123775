#include "os/Shell.h"

#include <cerrno>
#include <climits>
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

// In a forked child: tells the waiting parent why the start failed, then ends.
[[noreturn]] void ReportFailureAndExit(int reportPipe, int error)
{
    ssize_t ignored = write(reportPipe, &error, sizeof error);
    (void)ignored;
    _exit(127);
}

// In the grandchild: a session of its own, no terminal input, no descriptor of ours, then the
// program. Only async-signal-safe calls from here on.
[[noreturn]] void RunDetached(int reportPipe, const char* program, char* const arguments[],
                              const char* workingDirectory, long descriptorLimit)
{
    if (workingDirectory[0] != '\0' && chdir(workingDirectory) != 0)
        ReportFailureAndExit(reportPipe, errno);
    const int nullInput = open("/dev/null", O_RDONLY);
    if (nullInput > 0)
    {
        dup2(nullInput, 0);
        close(nullInput);
    }
    for (long descriptor = 3; descriptor < descriptorLimit; ++descriptor)
    {
        if (descriptor != reportPipe)
            close(static_cast<int>(descriptor));
    }
    execve(program, arguments, environ);
    ReportFailureAndExit(reportPipe, errno);
}

} // namespace

bool OpenWithDesktop(const char* path, const char* workingDirectory)
{
    if (path == nullptr || *path == '\0')
        return false;
    const std::string program = FindOnSearchPath(OpenCommand);
    if (program.empty())
        return false;
    std::string document = AbsolutePath(path);
    std::string programName = OpenCommand;
    char* const arguments[] = {&programName[0], &document[0], nullptr};
    const char* directory = workingDirectory != nullptr ? workingDirectory : "";
    const long descriptorLimit = DescriptorLimit();

    // The child writes an errno here when it cannot start the program; a successful exec closes
    // the pipe without a word.
    int reportPipe[2];
    if (pipe2(reportPipe, O_CLOEXEC) != 0)
        return false;

    // Forked twice so that the started program is adopted by init: it is never waited for and
    // leaves no zombie behind; only the short-lived middle process is reaped here.
    const pid_t middle = fork();
    if (middle == 0)
    {
        close(reportPipe[0]);
        setsid();
        const pid_t starter = fork();
        if (starter < 0)
            ReportFailureAndExit(reportPipe[1], errno);
        if (starter == 0)
            RunDetached(reportPipe[1], program.c_str(), arguments, directory, descriptorLimit);
        _exit(0);
    }
    close(reportPipe[1]);
    if (middle < 0)
    {
        close(reportPipe[0]);
        return false;
    }
    int middleStatus = 0;
    while (waitpid(middle, &middleStatus, 0) < 0 && errno == EINTR)
    {
    }

    int childError = 0;
    ssize_t received = -1;
    do
        received = read(reportPipe[0], &childError, sizeof childError);
    while (received < 0 && errno == EINTR);
    close(reportPipe[0]);
    return received == 0;
}

} // namespace os
