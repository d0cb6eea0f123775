#include "support/StandardOptions.h"

#include "os/Terminal.h"
#include "support/Version.h"

#include <cstring>
#include <string>

int CStandardOptions::Answer(int argc, const char* const* argv, const char* program, const char* usage)
{
    for (int index = 1; index < argc; ++index)
    {
        if (std::strcmp(argv[index], "--help") == 0)
        {
            PrintText(usage);
            return 0;
        }
        if (std::strcmp(argv[index], "--version") == 0)
        {
            PrintVersion(program);
            return 0;
        }
    }
    return GoOn;
}

void CStandardOptions::ReportIgnoredArguments(int argc, const char* const* argv, const char* program)
{
    if (argc < 2)
        return;
    const std::string problem = argv[1][0] == '-' ? std::string("unknown option ") + argv[1]
                                                  : std::string("unexpected argument ") + argv[1];
    os::WriteStandardText(os::EStandardStream::Error, std::string(program) + ": " + problem +
                                                          " ignored (see '" + program + " --help')\n");
}

void CStandardOptions::PrintVersion(const char* program)
{
    PrintText((std::string(program) + " " + QuorvelVersion + "\n").c_str());
}

void CStandardOptions::PrintUsageError(const char* program, const char* problem)
{
    os::WriteStandardText(os::EStandardStream::Error,
                          std::string(program) + ": " + problem + " (see '" + program + " --help')\n");
}

void CStandardOptions::PrintText(const char* text)
{
    os::WriteStandardText(os::EStandardStream::Output, text);
}
