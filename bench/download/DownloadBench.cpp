// The download benchmark of the real path: Quorvel's main dialog in the wx window with its real
// 10 ms window timer, on a virtual display of its own, fetches files of 8, 64 and 256 MiB from the
// recorder simulator running in a separate process on 127.0.0.1. Next to it, in the same run, a
// reference reader fetches the same bytes from the same simulator, and a floor program does only
// what the design needs while idle. Every measuring program runs in its own process and measures
// itself; this program starts them, checks the saved bytes and prints one table.
//
//   download [--sizes 8,64,256] [--rounds 3] [--idle-seconds 20]

#include "ChildProcess.h"
#include "FloorProgram.h"
#include "ReferenceReader.h"
#include "ResultRecord.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace
{

namespace fs = std::filesystem;

constexpr double MiB = 1024.0 * 1024.0;
constexpr double GiB = 1024.0 * MiB;
// 20 reads of 16 KiB per 10 ms tick.
constexpr double CeilingMiBPerSecond = 20.0 * 16.0 / 1024.0 / 0.010;
constexpr int IdleSettleSeconds = 2;
const char Password[] = "bench";
const char SetupName[] = "varnoxsetup.exe";
const char RemoteFolder[] = "/home/depot/software/";

struct SOptions
{
    std::vector<int> sizesMiB{8, 64, 256};
    int idleSeconds = 20;
    // Downloads per size; each figure is the median over them.
    int rounds = 3;
};

struct SSizeRun
{
    long long bytes = 0;
    CResultRecord client;
    CResultRecord reference;
    std::string problem;
};

bool ParseOptions(int argc, char** argv, SOptions& options)
{
    for (int index = 1; index < argc; ++index)
    {
        const std::string option = argv[index];
        if (index + 1 >= argc)
            return false;
        const std::string value = argv[++index];
        if (option == "--sizes")
        {
            options.sizesMiB.clear();
            std::istringstream list(value);
            std::string size;
            while (std::getline(list, size, ','))
            {
                const int mebibytes = std::atoi(size.c_str());
                if (mebibytes <= 0 || mebibytes > 1024)
                    return false;
                options.sizesMiB.push_back(mebibytes);
            }
        }
        else if (option == "--rounds")
        {
            options.rounds = std::atoi(value.c_str());
            if (options.rounds <= 0)
                return false;
        }
        else if (option == "--idle-seconds")
        {
            options.idleSeconds = std::atoi(value.c_str());
            if (options.idleSeconds <= 0)
                return false;
        }
        else
        {
            return false;
        }
    }
    return !options.sizesMiB.empty();
}

std::string FindProgram(const std::string& name)
{
    const char* path = std::getenv("PATH");
    std::istringstream folders(path != nullptr ? path : "/usr/bin:/bin");
    std::string folder;
    while (std::getline(folders, folder, ':'))
    {
        const fs::path candidate = fs::path(folder) / name;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate.string();
    }
    return std::string();
}

// A file opened with C stdio, closed when it goes out of scope.
class CStdioFile
{
public:
    CStdioFile(const fs::path& path, const char* mode) : m_file(std::fopen(path.c_str(), mode)) {}
    CStdioFile(const CStdioFile&) = delete;
    CStdioFile& operator=(const CStdioFile&) = delete;
    ~CStdioFile()
    {
        if (m_file != nullptr)
            std::fclose(m_file);
    }
    FILE* Get() const { return m_file; }
    // Closes the file; false when it was not open or the close failed.
    bool Close()
    {
        FILE* file = m_file;
        m_file = nullptr;
        return file != nullptr && std::fclose(file) == 0;
    }

private:
    FILE* m_file;
};

std::string ReadText(const fs::path& path)
{
    CStdioFile file(path, "r");
    std::string text;
    char buffer[4096];
    size_t count = 0;
    while (file.Get() != nullptr && (count = std::fread(buffer, 1, sizeof buffer, file.Get())) > 0)
        text.append(buffer, count);
    return text;
}

std::string LoadAverage()
{
    const std::string text = ReadText("/proc/loadavg");
    // The first three fields: the averages over 1, 5 and 15 minutes.
    size_t end = 0;
    for (int field = 0; field < 3 && end != std::string::npos; ++field)
        end = text.find(' ', end + 1);
    return text.substr(0, end);
}

// Pseudo-random bytes that no layer can compress or recognise, the same in every run.
bool GenerateFile(const fs::path& path, long long bytes)
{
    CStdioFile file(path, "wb");
    if (file.Get() == nullptr)
        return false;
    std::vector<uint64_t> block(1 << 17);
    uint64_t state = 0x5175'6f72'7665'6c00ull + static_cast<uint64_t>(bytes);
    for (long long written = 0; written < bytes;)
    {
        for (uint64_t& word : block)
        {
            state += 0x9e3779b97f4a7c15ull;
            uint64_t mixed = state;
            mixed = (mixed ^ (mixed >> 30)) * 0xbf58476d1ce4e5b9ull;
            mixed = (mixed ^ (mixed >> 27)) * 0x94d049bb133111ebull;
            word = mixed ^ (mixed >> 31);
        }
        const size_t piece = static_cast<size_t>(
            std::min<long long>(bytes - written, static_cast<long long>(block.size() * sizeof block[0])));
        if (std::fwrite(block.data(), 1, piece, file.Get()) != piece)
            return false;
        written += static_cast<long long>(piece);
    }
    return file.Close();
}

bool IdenticalFiles(const fs::path& first, const fs::path& second)
{
    CStdioFile a(first, "rb");
    CStdioFile b(second, "rb");
    if (a.Get() == nullptr || b.Get() == nullptr)
        return false;
    std::vector<char> blockA(1 << 20);
    std::vector<char> blockB(1 << 20);
    for (;;)
    {
        const size_t countA = std::fread(blockA.data(), 1, blockA.size(), a.Get());
        const size_t countB = std::fread(blockB.data(), 1, blockB.size(), b.Get());
        if (countA != countB || std::memcmp(blockA.data(), blockB.data(), countA) != 0)
            return false;
        if (countA == 0)
            return true;
    }
}

std::string ErrorTail(const fs::path& log)
{
    const std::string text = ReadText(log);
    return text.size() > 2000 ? text.substr(text.size() - 2000) : text;
}

// Runs one measuring program to its end and takes its RESULT line; `problem` says what went wrong.
CResultRecord Measure(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
                      const fs::path& log, int timeoutSeconds, std::string& problem)
{
    CChildProcess program;
    CResultRecord result;
    if (!program.Start(arguments, environment, log.string()))
    {
        problem = "cannot start " + arguments[0];
        return result;
    }
    const int status = program.Wait(timeoutSeconds);
    if (!result.ParseFrom(program.Output()) || status != 0 || result.Has("failed"))
        problem = fs::path(arguments[0]).filename().string() + " failed (exit " + std::to_string(status) +
                  "): " + ErrorTail(log);
    return result;
}

// One row of the table: a label, a unit and a value for each file size, with `decimals` places.
void PrintRow(const char* label, const char* unit, const std::vector<SSizeRun>& runs,
              double (*value)(const SSizeRun&), int decimals)
{
    std::printf("%-38s %-8s", label, unit);
    for (const SSizeRun& run : runs)
    {
        if (run.problem.empty())
            std::printf(" %10.*f", decimals, value(run));
        else
            std::printf(" %10s", "failed");
    }
    std::printf("\n");
}

double FileMiB(const SSizeRun& run)
{
    return static_cast<double>(run.bytes) / MiB;
}

double FileGiB(const SSizeRun& run)
{
    return static_cast<double>(run.bytes) / GiB;
}

double ClickToDiskMiBPerSecond(const SSizeRun& run)
{
    return FileMiB(run) / run.client.Get("click_to_disk_s");
}

double TransferMiBPerSecond(const SSizeRun& run)
{
    return FileMiB(run) / run.client.Get("transfer_s");
}

double ClientCpuPerGiB(const SSizeRun& run)
{
    return run.client.Get("cpu_s") / FileGiB(run);
}

double ReferenceCpuPerGiB(const SSizeRun& run)
{
    return run.reference.Get("cpu_s") / FileGiB(run);
}

void PrintDownloadTable(const std::vector<SSizeRun>& runs)
{
    std::printf("%-38s %-8s", "", "");
    for (const SSizeRun& run : runs)
        std::printf(" %6.0f MiB", FileMiB(run));
    std::printf("\n");
    PrintRow(
        "click -> file on disk", "s", runs,
        [](const SSizeRun& run) { return run.client.Get("click_to_disk_s"); }, 3);
    PrintRow("", "MiB/s", runs, ClickToDiskMiBPerSecond, 1);
    PrintRow(
        "  ratio to 31.25 MiB/s", "", runs,
        [](const SSizeRun& run) { return ClickToDiskMiBPerSecond(run) / CeilingMiBPerSecond; }, 2);
    PrintRow(
        "handshake (click -> file requested)", "ms", runs,
        [](const SSizeRun& run) { return run.client.Get("handshake_ms"); }, 0);
    PrintRow(
        "", "ticks", runs, [](const SSizeRun& run) { return run.client.Get("handshake_ticks"); }, 0);
    PrintRow("transfer phase (requested -> saving)", "MiB/s", runs, TransferMiBPerSecond, 1);
    PrintRow(
        "  ratio to 31.25 MiB/s", "", runs,
        [](const SSizeRun& run) { return TransferMiBPerSecond(run) / CeilingMiBPerSecond; }, 2);
    PrintRow(
        "  ticks reading the full 20 x 16 KiB", "%", runs,
        [](const SSizeRun& run)
        {
            const double ticks = run.client.Get("transfer_ticks");
            return ticks > 0 ? 100.0 * run.client.Get("full_read_ticks") / ticks : 0.0;
        },
        0);
    PrintRow(
        "  saving (one write)", "s", runs, [](const SSizeRun& run) { return run.client.Get("save_s"); }, 3);
    PrintRow(
        "tick period during the transfer", "mean ms", runs,
        [](const SSizeRun& run) { return run.client.Get("tick_mean_ms"); }, 2);
    PrintRow(
        "", "p99 ms", runs, [](const SSizeRun& run) { return run.client.Get("tick_p99_ms"); }, 2);
    PrintRow("client CPU (click -> file on disk)", "s/GiB", runs, ClientCpuPerGiB, 2);
    PrintRow(
        "  of which the one write", "s/GiB", runs,
        [](const SSizeRun& run) { return run.client.Get("save_cpu_s") / FileGiB(run); }, 2);
    PrintRow("reference reader CPU", "s/GiB", runs, ReferenceCpuPerGiB, 2);
    PrintRow(
        "  of which the one write", "s/GiB", runs,
        [](const SSizeRun& run) { return run.reference.Get("write_cpu_s") / FileGiB(run); }, 2);
    PrintRow(
        "  ratio client / reference", "", runs,
        [](const SSizeRun& run) { return ClientCpuPerGiB(run) / ReferenceCpuPerGiB(run); }, 2);
    PrintRow(
        "client peak memory growth / file", "", runs,
        [](const SSizeRun& run)
        { return run.client.Get("peak_growth_kib") * 1024.0 / static_cast<double>(run.bytes); },
        2);
    PrintRow(
        "memory held after the save", "MiB", runs,
        [](const SSizeRun& run) { return run.client.Get("held_kib") / 1024.0; }, 1);
}

// The idle dialog against the floor program and against the same timer in a bare toolkit dialog.
void PrintIdleTable(const CResultRecord& dialog, const CResultRecord& floor, const CResultRecord& toolkit,
                    int idleSeconds)
{
    const std::string title = "idle, dialog open, " + std::to_string(idleSeconds) + " s";
    std::printf("\n%-47s %10s %10s %10s %10s %10s\n", title.c_str(), "dialog", "floor", "ratio", "toolkit",
                "ratio");
    const auto row = [&](const char* label, const char* name, int decimals)
    {
        const double value = dialog.Get(name);
        const double floorValue = floor.Get(name);
        const double toolkitValue = toolkit.Get(name);
        std::printf("%-47s %10.*f %10.*f %10.2f %10.*f %10.2f\n", label, decimals, value, decimals,
                    floorValue, floorValue > 0 ? value / floorValue : 0.0, decimals, toolkitValue,
                    toolkitValue > 0 ? value / toolkitValue : 0.0);
    };
    row("  CPU % of a core", "cpu_percent", 3);
    row("  wake-ups per second", "wakeups_per_s", 1);
    row("  timer ticks per second", "ticks_per_s", 1);
}

int TimeoutSeconds(long long bytes)
{
    return 60 + static_cast<int>(bytes >> 20);
}

// The reference reader fetches the served file once; its copy must be the recorder's.
CResultRecord FetchWithReference(const std::string& self, int port, long long bytes, const fs::path& served,
                                 const fs::path& downloads, const fs::path& folder, std::string& problem)
{
    const fs::path copy = downloads / "reference.bin";
    const CResultRecord result = Measure({self, "--reference", std::to_string(port), Password,
                                          std::string(RemoteFolder) + SetupName, copy.string()},
                                         {}, folder / "reference.log", TimeoutSeconds(bytes), problem);
    if (problem.empty() && !IdenticalFiles(served, copy))
        problem = "the reference reader's copy differs";
    fs::remove(copy);
    return result;
}

// The client downloads the served file once through the dialog; the saved file must be the recorder's.
CResultRecord FetchWithClient(int port, long long bytes, const fs::path& served, const fs::path& downloads,
                              const fs::path& folder, const std::vector<std::string>& environment,
                              std::string& problem)
{
    const fs::path saved = downloads / SetupName;
    const int timeout = TimeoutSeconds(bytes);
    const CResultRecord result = Measure(
        {QUORVEL_BENCH_CLIENT_PATH, "--port", std::to_string(port), "--password", Password, "--folder",
         downloads.string(), "--expect-size", std::to_string(bytes), "--timeout", std::to_string(timeout)},
        environment, folder / "client.log", timeout + 30, problem);
    if (problem.empty() && !IdenticalFiles(served, saved))
        problem = "the saved file differs from the recorder's";
    fs::remove(saved);
    return result;
}

// Waits for a program started alongside others and takes its RESULT line.
CResultRecord Collect(CChildProcess& program, int timeoutSeconds, const fs::path& log, const char* name,
                      int& status)
{
    const int exitStatus = program.Wait(timeoutSeconds);
    CResultRecord result;
    if (exitStatus != 0 || !result.ParseFrom(program.Output()))
    {
        std::fprintf(stderr, "download: %s failed (exit %d): %s\n", name, exitStatus, ErrorTail(log).c_str());
        status = 1;
    }
    return result;
}

int Orchestrate(const SOptions& options, const std::string& self)
{
    const std::string xvfb = FindProgram("Xvfb");
    if (xvfb.empty())
    {
        std::fputs("download: Xvfb is needed for the window (Debian package xvfb).\n", stderr);
        return 2;
    }
    char folderTemplate[] = "/tmp/quorvel-download-bench-XXXXXX";
    if (mkdtemp(folderTemplate) == nullptr)
    {
        std::perror("download: mkdtemp");
        return 2;
    }
    const fs::path folder = folderTemplate;
    const fs::path software = folder / "software";
    const fs::path downloads = folder / "downloads";
    fs::create_directories(software);
    fs::create_directories(downloads);
    const std::string loadAtStart = LoadAverage();

    int status = 0;
    {
        CChildProcess display;
        display.Start({xvfb, "-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"}, {}, "");
        const std::string displayNumber = display.ReadLine(15000);
        CChildProcess simulator;
        simulator.Start({QUORVEL_RECORDER_SIM_PATH, "--root", software.string(), "--port", "0", "--password",
                         Password, "--quiet"},
                        {}, (folder / "simulator.log").string());
        const std::string listening = simulator.ReadLine(10000);
        const size_t colon = listening.rfind(':');
        const int port = colon != std::string::npos ? std::atoi(listening.c_str() + colon + 1) : 0;
        if (displayNumber.empty() || port <= 0)
        {
            std::fprintf(stderr, "download: %s\n",
                         displayNumber.empty() ? "the virtual display did not start"
                                               : "the simulator did not start");
            fs::remove_all(folder);
            return 2;
        }
        const std::vector<std::string> clientEnvironment{"DISPLAY=:" + displayNumber};

        std::printf(
            "Quorvel download benchmark: the real path\n"
            "  client     the main dialog in the wx window with its real 10 ms window timer, on a virtual\n"
            "             display of its own (Xvfb :%s); it measures itself in its own process\n"
            "  recorder   quorvel-recorder-sim in a separate process on 127.0.0.1:%d\n"
            "  reference  a plain blocking recv() loop into one buffer and one write, same simulator\n"
            "  floor      a 10 ms timer on a monotonic cadence whose tick sleeps 10 ms, nothing else\n"
            "  toolkit    the same timer and sleep in an empty dialog of the same toolkit (idle only)\n"
            "  rounds     each download figure is the median of %d downloads, reference and client in turn\n"
            "  machine    %ld cores, shared; load average %s at the start\n\n",
            displayNumber.c_str(), port, options.rounds, sysconf(_SC_NPROCESSORS_ONLN), loadAtStart.c_str());
        std::fflush(stdout);

        std::vector<SSizeRun> runs;
        const fs::path served = software / SetupName;
        for (int mebibytes : options.sizesMiB)
        {
            SSizeRun run;
            run.bytes = static_cast<long long>(mebibytes) << 20;
            if (!GenerateFile(served, run.bytes))
                run.problem = "cannot write " + served.string();
            // Reference and client take turns, so that the machine's other load falls on both alike.
            std::vector<CResultRecord> references;
            std::vector<CResultRecord> clients;
            for (int round = 0; round < options.rounds && run.problem.empty(); ++round)
            {
                references.push_back(
                    FetchWithReference(self, port, run.bytes, served, downloads, folder, run.problem));
                if (run.problem.empty())
                    clients.push_back(FetchWithClient(port, run.bytes, served, downloads, folder,
                                                      clientEnvironment, run.problem));
            }
            if (run.problem.empty())
            {
                run.reference = CResultRecord::Median(references);
                run.client = CResultRecord::Median(clients);
            }
            else
            {
                std::fprintf(stderr, "download: %d MiB: %s\n", mebibytes, run.problem.c_str());
                status = 1;
            }
            runs.push_back(run);
        }
        fs::remove(served);

        // Side by side, so that all three see the same load.
        const std::string idleSeconds = std::to_string(options.idleSeconds);
        CChildProcess idleDialog;
        CChildProcess toolkitFloor;
        CChildProcess floorProgram;
        idleDialog.Start({QUORVEL_BENCH_CLIENT_PATH, "--idle", idleSeconds}, clientEnvironment,
                         (folder / "idle.log").string());
        toolkitFloor.Start({QUORVEL_BENCH_CLIENT_PATH, "--toolkit-floor", idleSeconds}, clientEnvironment,
                           (folder / "toolkit.log").string());
        floorProgram.Start({self, "--floor", std::to_string(IdleSettleSeconds), idleSeconds}, {},
                           (folder / "floor.log").string());
        const int idleWait = options.idleSeconds + 60;
        const CResultRecord idle =
            Collect(idleDialog, idleWait, folder / "idle.log", "the idle dialog", status);
        const CResultRecord toolkit =
            Collect(toolkitFloor, idleWait, folder / "toolkit.log", "the toolkit floor", status);
        const CResultRecord floor =
            Collect(floorProgram, idleWait, folder / "floor.log", "the floor", status);

        PrintDownloadTable(runs);
        PrintIdleTable(idle, floor, toolkit, options.idleSeconds);
        std::printf("\nload average at the end: %s\n", LoadAverage().c_str());
        std::printf(
            "handshake: from the click to the end of the tick in which the dialog asked for the file;\n"
            "transfer phase: from there until the file is handed to the one write; the tick figures are\n"
            "the start-to-start periods of the ticks in that phase; memory is the client's resident size\n"
            "against the moment of the click; \"of which the one write\" is the CPU of creating, writing\n"
            "and closing the file. The toolkit column is the toolkit's own share of idling.\n");
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return status;
}

std::string OwnPath(const char* fallback)
{
    std::error_code error;
    const fs::path path = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string(fallback) : path.string();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 6 && std::strcmp(argv[1], "--reference") == 0)
    {
        const CResultRecord result = CReferenceReader::Run(std::atoi(argv[2]), argv[3], argv[4], argv[5]);
        result.Print();
        return result.Has("failed") ? 1 : 0;
    }
    if (argc == 4 && std::strcmp(argv[1], "--floor") == 0)
    {
        CFloorProgram::Run(std::atoi(argv[2]), std::atoi(argv[3])).Print();
        return 0;
    }
    SOptions options;
    if (!ParseOptions(argc, argv, options))
    {
        std::fputs("usage: download [--sizes 8,64,256] [--rounds 3] [--idle-seconds 20]\n", stderr);
        return 2;
    }
    return Orchestrate(options, OwnPath(argv[0]));
}
