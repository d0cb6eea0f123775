#pragma once

#include "RecorderSimulator.h"

#include <string>

// The command line of quorvel-recorder-sim.
class CSimulatorCommandLine
{
public:
    enum class Outcome
    {
        Run,
        ShowHelp,
        ShowVersion,
        Error,
    };

    // Fills `options` from the arguments; on Error, `error` says what was wrong.
    static Outcome Parse(int argc, const char* const* argv, CRecorderSimulator::Options& options,
                         std::string& error);
    static const char* Usage();
};
