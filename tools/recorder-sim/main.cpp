#include "RecorderSimulator.h"
#include "SimulatorCommandLine.h"
#include "os/ProgramArguments.h"
#include "support/StandardOptions.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    const os::CProgramArguments arguments(argc, argv);
    CRecorderSimulator::Options options;
    std::string error;
    switch (CSimulatorCommandLine::Parse(arguments.Count(), arguments.Values(), options, error))
    {
    case CSimulatorCommandLine::Outcome::ShowHelp:
        std::fputs(CSimulatorCommandLine::Usage(), stdout);
        return 0;
    case CSimulatorCommandLine::Outcome::ShowVersion:
        CStandardOptions::PrintVersion("quorvel-recorder-sim");
        return 0;
    case CSimulatorCommandLine::Outcome::Error:
        CStandardOptions::PrintUsageError("quorvel-recorder-sim", error.c_str());
        return CStandardOptions::UsageErrorStatus;
    case CSimulatorCommandLine::Outcome::Run:
        break;
    }

    CRecorderSimulator simulator(options);
    if (!simulator.Listen(error))
    {
        std::fprintf(stderr, "quorvel-recorder-sim: %s\n", error.c_str());
        return 1;
    }
    std::printf("listening on 127.0.0.1:%d\n", simulator.Port());
    std::fflush(stdout);
    simulator.Serve();
    return 0;
}
