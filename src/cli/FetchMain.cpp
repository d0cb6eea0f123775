#include "cli/FetchCommandLine.h"
#include "cli/FetchDownload.h"
#include "cli/FetchOutput.h"
#include "cli/PasswordSource.h"
#include "os/ProgramArguments.h"
#include "os/StandardStreamBuffer.h"
#include "os/Terminal.h"
#include "support/Diagnostics.h"
#include "support/StandardOptions.h"

#include <iostream>
#include <ostream>
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
        CStandardOptions::PrintText(CFetchCommandLine::Usage());
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

    // A console shows the German texts only when they reach it as UTF-16; pipes and files get UTF-8.
    os::CStandardStreamBuffer outputBuffer(os::EStandardStream::Output);
    os::CStandardStreamBuffer errorBuffer(os::EStandardStream::Error);
    std::ostream standardOutput(&outputBuffer);
    std::ostream standardError(&errorBuffer);

    std::string password;
    if (!CPasswordSource::Read(options, password, error))
    {
        standardError << Program << ": " << error << '\n' << std::flush;
        return static_cast<int>(EFetchStatus::Usage);
    }

    // Standard output carries what a script reads; the protocol's own lines stay out of it.
    SetDiagnosticSink(
        [&options, &standardError](const std::string& text)
        {
            if (options.verbose)
                standardError << text << std::flush;
        });
    CFetchOutput output(standardOutput, standardError, os::IsTerminal(os::EStandardStream::Output));
    CFetchDownload download(output);
    return static_cast<int>(download.Run(options, password, std::cin));
}
