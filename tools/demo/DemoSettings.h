#pragma once

#include <string>

// What the demo driver is told on its command line.
struct SDemoSettings
{
    // Only checks that a display can be opened, then ends.
    bool checkDisplayOnly = false;
    int recorderPort = 30000;
    std::string password = "demo";
    // The recorder's software folder, to compare the saved files with.
    std::string recorderFolder;
    // Typed into the directory field; the setups land here.
    std::string downloadFolder;
    // Screenshots go here.
    std::string outputFolder;
    // Where the stand-in opener notes each file it was asked to open.
    std::string openerLog;
    int timeoutSeconds = 120;
};

// False with a message in `error` when the arguments make no sense.
bool ParseDemoSettings(int argc, char** argv, SDemoSettings& settings, std::string& error);
const char* DemoUsage();
