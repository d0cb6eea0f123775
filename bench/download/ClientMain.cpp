// The measured client of the download benchmark: Quorvel's real main dialog in the wx window, with
// its real 10 ms window timer, driven by a scripted operator. It measures itself (CPU, resident
// memory, context switches) and prints one RESULT line; the benchmark runs it in its own process.
//
//   quorvel-bench-client --port N --password P --folder DIR --expect-size BYTES
//   quorvel-bench-client --idle SECONDS
//   quorvel-bench-client --toolkit-floor SECONDS   (an empty dialog of the toolkit, for comparison)

#include "BenchDialog.h"
#include "BenchOperator.h"
#include "BoxRefusal.h"
#include "TimedFileStore.h"
#include "ToolkitFloor.h"
#include "ui/wx/WxBackend.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace
{

// The operator lets the idle dialog settle this long before it measures; the floors do the same.
constexpr int IdleSettleSeconds = 2;

bool ParseArguments(int argc, char** argv, int& port, CBenchOperator::SSettings& settings)
{
    for (int index = 1; index + 1 < argc; index += 2)
    {
        const std::string option = argv[index];
        const char* value = argv[index + 1];
        if (option == "--port")
            port = std::atoi(value);
        else if (option == "--password")
            settings.password = value;
        else if (option == "--folder")
            settings.folder = value;
        else if (option == "--expect-size")
            settings.expectedSize = std::atoll(value);
        else if (option == "--idle")
            settings.idleSeconds = std::atoi(value);
        else if (option == "--timeout")
            settings.timeoutSeconds = std::atoi(value);
        else
            return false;
    }
    return settings.idleSeconds > 0 || (port > 0 && !settings.folder.empty() && settings.expectedSize >= 0);
}

} // namespace

int main(int argc, char** argv)
{
    int toolkitFloorSeconds = 0;
    if (argc == 3 && std::string(argv[1]) == "--toolkit-floor")
        toolkitFloorSeconds = std::atoi(argv[2]);
    int port = 0;
    CBenchOperator::SSettings settings;
    if (toolkitFloorSeconds <= 0 && (argc % 2 == 0 || !ParseArguments(argc, argv, port, settings)))
    {
        std::fputs("usage: quorvel-bench-client --port N --password P --folder DIR --expect-size BYTES "
                   "[--timeout S]\n       quorvel-bench-client --idle SECONDS\n       quorvel-bench-client "
                   "--toolkit-floor SECONDS\n",
                   stderr);
        return 2;
    }

    CWxBackend backend;
    int toolkitArgc = 1;
    if (!backend.Start(toolkitArgc, argv))
    {
        std::fputs("quorvel-bench-client: no graphical display can be opened.\n", stderr);
        return 3;
    }
    if (toolkitFloorSeconds > 0)
    {
        const CResultRecord result = CToolkitFloor::Run(IdleSettleSeconds, toolkitFloorSeconds);
        result.Print();
        return result.Has("cpu_percent") ? 0 : 1;
    }
    CTimedFileStore store;
    CBenchDialog dialog(port, store);
    CBoxRefusal boxes;
    boxes.Register();
    settings.idleSettleSeconds = IdleSettleSeconds;
    CBenchOperator benchOperator(dialog, store, boxes, settings);
    benchOperator.Begin();
    dialog.DoModal();
    boxes.Unregister();
    return benchOperator.Succeeded() ? 0 : 1;
}
