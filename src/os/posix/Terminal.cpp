#include "os/Terminal.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <termios.h>
#include <unistd.h>

namespace os
{

namespace
{

// The settings to restore, for the signal handler too.
struct termios g_savedSettings;

const int InterruptingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// Echo back on, then the signal's usual end.
void RestoreAndRaise(int signalNumber)
{
    tcsetattr(STDIN_FILENO, TCSANOW, &g_savedSettings);
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

int Descriptor(EStandardStream stream)
{
    switch (stream)
    {
    case EStandardStream::Input:
        return STDIN_FILENO;
    case EStandardStream::Output:
        return STDOUT_FILENO;
    case EStandardStream::Error:
        break;
    }
    return STDERR_FILENO;
}

} // namespace

void WriteStandardText(EStandardStream stream, const std::string& text)
{
    FILE* file = stream == EStandardStream::Error ? stderr : stdout;
    std::fwrite(text.data(), 1, text.size(), file);
    std::fflush(file);
}

bool IsTerminal(EStandardStream stream)
{
    return isatty(Descriptor(stream)) == 1;
}

bool ReadLineWithoutEcho(const char* prompt, std::string& line)
{
    line.clear();
    if (tcgetattr(STDIN_FILENO, &g_savedSettings) != 0)
        return false;
    struct sigaction previous[sizeof InterruptingSignals / sizeof InterruptingSignals[0]];
    struct sigaction restoring = {};
    restoring.sa_handler = RestoreAndRaise;
    sigemptyset(&restoring.sa_mask);
    for (size_t index = 0; index < sizeof InterruptingSignals / sizeof InterruptingSignals[0]; ++index)
        sigaction(InterruptingSignals[index], &restoring, &previous[index]);

    // Echo goes off before the prompt shows, so nothing typed after it can appear. The line end
    // still echoes, so that what follows starts on a line of its own.
    struct termios silent = g_savedSettings;
    silent.c_lflag &= static_cast<tcflag_t>(~ECHO);
    silent.c_lflag |= ECHONL;
    tcsetattr(STDIN_FILENO, TCSANOW, &silent);
    WriteStandardText(EStandardStream::Error, prompt);

    // Byte by byte, so that nothing behind the line is taken from standard input.
    bool complete = false;
    for (;;)
    {
        char c = 0;
        const ssize_t received = read(STDIN_FILENO, &c, 1);
        if (received < 0 && errno == EINTR)
            continue;
        if (received != 1)
            break;
        if (c == '\n')
        {
            complete = true;
            break;
        }
        line += c;
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();

    tcsetattr(STDIN_FILENO, TCSANOW, &g_savedSettings);
    for (size_t index = 0; index < sizeof InterruptingSignals / sizeof InterruptingSignals[0]; ++index)
        sigaction(InterruptingSignals[index], &previous[index], nullptr);
    return complete;
}

} // namespace os
