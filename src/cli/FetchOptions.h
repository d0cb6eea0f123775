#pragma once

#include <string>
#include <vector>

// What quorvel-fetch is asked to do.
struct SFetchOptions
{
    std::string address;
    int port = 0;
    // At most one of the two is given; with neither, the password is asked for on the terminal.
    std::string passwordFile;
    std::string passwordVariable;
    // Indexes into CSetupPackages::All, in the order of fetching, each once.
    std::vector<int> packages;
    std::string directory;
    bool run = false;
    // Only what the recorder says about itself; nothing is fetched.
    bool info = false;
    // The protocol's diagnostic lines on standard error.
    bool verbose = false;
};
