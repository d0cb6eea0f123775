#include "DemoSettings.h"

#include "CommandLineNumber.h"

const char* DemoUsage()
{
    return "Usage: quorvel-demo-driver --recorder-folder DIR --download-folder DIR --output DIR\n"
           "                           --opener-log FILE [--port N] [--password TEXT] [--timeout SECONDS]\n"
           "       quorvel-demo-driver --check-display\n"
           "Opens the Quorvel dialog and downloads both packages through it like an operator: types the\n"
           "address 127.0.0.1, the password and the folder, clicks Download, answers every message box,\n"
           "and prints what happens. Screenshots of the main phases go to the output folder.\n";
}

bool ParseDemoSettings(int argc, char** argv, SDemoSettings& settings, std::string& error)
{
    for (int index = 1; index < argc; ++index)
    {
        const std::string option = argv[index];
        if (option == "--check-display")
        {
            settings.checkDisplayOnly = true;
            continue;
        }
        if (index + 1 >= argc)
        {
            error = option + " needs a value";
            return false;
        }
        const std::string value = argv[++index];
        bool valid = true;
        if (option == "--port")
            valid = ParseCommandLineNumber(value.c_str(), 1, 65535, settings.recorderPort);
        else if (option == "--password")
            settings.password = value;
        else if (option == "--recorder-folder")
            settings.recorderFolder = value;
        else if (option == "--download-folder")
            settings.downloadFolder = value;
        else if (option == "--output")
            settings.outputFolder = value;
        else if (option == "--opener-log")
            settings.openerLog = value;
        else if (option == "--timeout")
            valid = ParseCommandLineNumber(value.c_str(), 1, 3600, settings.timeoutSeconds);
        else
        {
            error = "unknown option " + option;
            return false;
        }
        if (!valid)
        {
            error = "invalid value for " + option + ": " + value;
            return false;
        }
    }
    if (!settings.checkDisplayOnly && (settings.recorderFolder.empty() || settings.downloadFolder.empty() ||
                                       settings.outputFolder.empty() || settings.openerLog.empty()))
    {
        error = "--recorder-folder, --download-folder, --output and --opener-log are required";
        return false;
    }
    return true;
}
