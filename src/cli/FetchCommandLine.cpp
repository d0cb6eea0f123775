#include "cli/FetchCommandLine.h"

#include "app/SetupPackages.h"
#include "os/Paths.h"
#include "protocol/ProtocolSession.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace
{

bool ParsePort(const std::string& text, int& port)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < 1 || value > 65535)
        return false;
    port = static_cast<int>(value);
    return true;
}

// "varnox,kellid" in any order and letter case; the result is in the order of fetching.
bool ParsePackages(const std::string& list, std::vector<int>& packages, std::string& error)
{
    packages.clear();
    size_t start = 0;
    for (;;)
    {
        const size_t comma = list.find(',', start);
        const std::string name =
            list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const int index = CSetupPackages::Find(name.c_str());
        if (index < 0)
        {
            error = "unknown package '" + name + "' (known: varnox, kellid)";
            return false;
        }
        if (std::find(packages.begin(), packages.end(), index) == packages.end())
            packages.push_back(index);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    std::sort(packages.begin(), packages.end());
    return true;
}

} // namespace

const char* CFetchCommandLine::Usage()
{
    return "Usage: quorvel-fetch --address HOST [--password-file FILE | --password-env NAME]\n"
           "                     [--package varnox,kellid] [--dir DIR] [--run | --info]\n"
           "Fetches setup packages from a recorder, the same conversation as the Quorvel window.\n"
           "\n"
           "  --address HOST        the recorder: a dotted IPv4 address or a host name\n"
           "  --password-file FILE  read the password from the first line of FILE\n"
           "  --password-env NAME   read the password from the environment variable NAME\n"
           "                        (with neither, it is asked for on the terminal without echo;\n"
           "                        it is never taken from the command line)\n"
           "  --package LIST        packages to fetch, comma-separated: varnox, kellid (default both)\n"
           "  --dir DIR             directory to save them in (default /tmp; C:\\Temp on Windows)\n"
           "  --run                 start each saved setup, wait for Enter, then remove the files\n"
           "  --info                fetch nothing: show what the recorder says about itself\n"
           "                        (its device texts, switch, protocol version, the user level)\n"
           "  --port N              the recorder's TCP port (default 30000)\n"
           "  --verbose             show the protocol's diagnostic lines on standard error\n"
           "  --help                show this text\n"
           "  --version             show the version\n"
           "\n"
           "Progress is redrawn in place on a terminal and written as plain lines otherwise.\n"
           "\n"
           "Exit status:\n"
           "  0  every requested file was saved (and, with --run, started; with --info, the\n"
           "     recorder told what it is)\n"
           "  1  another failure (out of memory)\n"
           "  2  the command line or the password source cannot be used\n"
           "  3  connection: the recorder cannot be reached, or the connection broke\n"
           "  4  login or rights: password refused, no administrator, command not permitted\n"
           "  5  a requested file does not exist on the recorder\n"
           "  6  a file could not be written into the directory\n"
           "  7  protocol: the recorder did not carry out a command, or answered unexpectedly\n"
           "  8  with --run: a saved setup could not be started\n"
           "A file that is missing or cannot be written is skipped and the next one is still\n"
           "fetched; any other failure ends the conversation. The status is that of the first.\n";
}

CFetchCommandLine::Outcome CFetchCommandLine::Parse(int argc, const char* const* argv, SFetchOptions& options,
                                                    std::string& error)
{
    options = SFetchOptions();
    options.port = CProtocolSession::RecorderPort;
    options.directory = os::DefaultTempDirectory();
    for (int index = 0; index < CSetupPackages::Count; ++index)
        options.packages.push_back(index);

    for (int i = 1; i < argc; ++i)
    {
        std::string option = argv[i];
        std::string value;
        bool hasValue = false;
        const size_t equals = option.find('=');
        if (option.rfind("--", 0) == 0 && equals != std::string::npos)
        {
            value = option.substr(equals + 1);
            option.resize(equals);
            hasValue = true;
        }

        if (option == "--help")
            return Outcome::ShowHelp;
        if (option == "--version")
            return Outcome::ShowVersion;
        bool* flag = option == "--run"       ? &options.run
                     : option == "--info"    ? &options.info
                     : option == "--verbose" ? &options.verbose
                                             : nullptr;
        if (flag != nullptr)
        {
            if (hasValue)
            {
                error = option + " takes no value";
                return Outcome::Error;
            }
            *flag = true;
            continue;
        }
        if (option == "--password")
        {
            error = "the password is never taken from the command line, where every user can see it; "
                    "use --password-file or --password-env";
            return Outcome::Error;
        }
        const bool takesValue = option == "--address" || option == "--password-file" ||
                                option == "--password-env" || option == "--package" || option == "--dir" ||
                                option == "--port";
        if (!takesValue)
        {
            error = (option.rfind("-", 0) == 0 ? "unknown option " : "unexpected argument ") + option;
            return Outcome::Error;
        }
        if (!hasValue)
        {
            if (i + 1 >= argc)
            {
                error = option + " needs a value";
                return Outcome::Error;
            }
            value = argv[++i];
        }
        if (value.empty())
        {
            error = option + " needs a value";
            return Outcome::Error;
        }

        if (option == "--address")
            options.address = value;
        else if (option == "--password-file")
            options.passwordFile = value;
        else if (option == "--password-env")
            options.passwordVariable = value;
        else if (option == "--dir")
            options.directory = value;
        else if (option == "--port" && !ParsePort(value, options.port))
        {
            error = "invalid port " + value;
            return Outcome::Error;
        }
        else if (option == "--package" && !ParsePackages(value, options.packages, error))
            return Outcome::Error;
    }

    if (options.address.empty())
    {
        error = "--address is missing";
        return Outcome::Error;
    }
    if (!options.passwordFile.empty() && !options.passwordVariable.empty())
    {
        error = "give either --password-file or --password-env, not both";
        return Outcome::Error;
    }
    if (options.run && options.info)
    {
        error = "--info fetches nothing, so there is nothing to --run";
        return Outcome::Error;
    }
    return Outcome::Run;
}
