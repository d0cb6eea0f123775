#include "RecorderSimulator.h"
#include "SimulatorCommandLine.h"
#include "os/ProgramArguments.h"
#include "os/Terminal.h"
#include "support/StandardOptions.h"

#include <string>

int main(int argc, char** argv)
{
    const os::CProgramArguments arguments(argc, argv);
    CRecorderSimulator::Options options;
    std::string error;
    switch (CSimulatorCommandLine::Parse(arguments.Count(), arguments.Values(), options, error))
    {
    case CSimulatorCommandLine::Outcome::ShowHelp:
        CStandardOptions::PrintText(CSimulatorCommandLine::Usage());
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
        os::WriteStandardText(os::EStandardStream::Error, "quorvel-recorder-sim: " + error + "\n");
        return 1;
    }
    os::WriteStandardText(os::EStandardStream::Output,
                          "listening on 127.0.0.1:" + std::to_string(simulator.Port()) + "\n");
    simulator.Serve();
    return 0;
}
