#include "cli/FetchCommandLine.h"
#include "cli/FetchDownload.h"
#include "cli/FetchOutput.h"
#include "cli/PasswordSource.h"
#include "os/ProgramArguments.h"
#include "os/Terminal.h"
#include "support/Diagnostics.h"
#include "support/StandardOptions.h"

#include <cstdio>
#include <iostream>
#include <string>

namespace
{

const char Program[] = "quorvel-fetch";

} // namespace

int main(int argc, char** argv)
{
    const os::CProgramArguments arguments(argc, argv);
    SFetchOptions options;
    std::string error;
    switch (CFetchCommandLine::Parse(arguments.Count(), arguments.Values(), options, error))
    {
    case CFetchCommandLine::Outcome::ShowHelp:
        std::fputs(CFetchCommandLine::Usage(), stdout);
        return 0;
    case CFetchCommandLine::Outcome::ShowVersion:
        CStandardOptions::PrintVersion(Program);
        return 0;
    case CFetchCommandLine::Outcome::Error:
        CStandardOptions::PrintUsageError(Program, error.c_str());
        return static_cast<int>(EFetchStatus::Usage);
    case CFetchCommandLine::Outcome::Run:
        break;
    }

    std::string password;
    if (!CPasswordSource::Read(options, password, error))
    {
        std::fprintf(stderr, "%s: %s\n", Program, error.c_str());
        return static_cast<int>(EFetchStatus::Usage);
    }

    // Standard output carries what a script reads; the protocol's own lines stay out of it.
    SetDiagnosticSink(
        [&options](const std::string& text)
        {
            if (options.verbose)
                std::cerr << text << std::flush;
        });
    CFetchOutput output(std::cout, std::cerr, os::IsTerminal(os::EStandardStream::Output));
    CFetchDownload download(output);
    return static_cast<int>(download.Run(options, password, std::cin));
}
