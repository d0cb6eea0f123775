// Downloads a generated 64 MiB file from the in-process recorder simulator through the poller and
// the protocol session, each tick doing what the dialog's tick does (one Poll(false, true) with the
// 10 ms interval, one Step, the event queue drained) but with the ticks run back to back, without
// the 10 ms window timer and without the dialog; and times a plain loopback TCP copy of the same
// bytes as the reference. The real path, timer and window included, is bench/download.

#include "RecorderSimulator.h"
#include "net/SocketPoller.h"
#include "protocol/EventQueue.h"
#include "protocol/ProtocolSession.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace
{

constexpr size_t kFileSize = 64u << 20;
constexpr double kMiB = 1024.0 * 1024.0;

double Seconds(const timeval& time)
{
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

struct Usage
{
    double processCpu = 0;
    double threadCpu = 0;
    long peakResidentKiB = 0;
};

Usage CurrentUsage()
{
    Usage usage;
    rusage process{};
    getrusage(RUSAGE_SELF, &process);
    usage.processCpu = Seconds(process.ru_utime) + Seconds(process.ru_stime);
    usage.peakResidentKiB = process.ru_maxrss;
    rusage thread{};
    getrusage(RUSAGE_THREAD, &thread);
    usage.threadCpu = Seconds(thread.ru_utime) + Seconds(thread.ru_stime);
    return usage;
}

std::vector<uint8_t> GeneratedFile()
{
    std::vector<uint8_t> content(kFileSize);
    std::mt19937 generator(1601);
    for (size_t i = 0; i < content.size(); i += 4)
    {
        const uint32_t word = static_cast<uint32_t>(generator()); // mt19937 yields 32-bit values
        std::memcpy(&content[i], &word, 4);
    }
    return content;
}

struct SessionResult
{
    bool delivered = false;
    bool intact = false;
    long ticks = 0;
    double seconds = 0;
    int progressEvents = 0;
};

SessionResult DownloadThroughSession(int port, const std::vector<uint8_t>& expected)
{
    CEventQueue queue;
    CProtocolSession session;
    CSocketPoller poller;
    poller.Register(&session.Connection());
    poller.SetInterval(10);
    session.SetPort(port);

    SessionResult result;
    bool ready = false;
    bool failed = false;
    auto tick = [&]
    {
        poller.Poll(false, true);
        session.Step();
        for (; queue.HasEvents(); queue.Pop())
        {
            const SEventRecord event = CEventQueue::Read(queue.Front());
            const int32_t type = event.type;
            const int32_t code = event.code;
            if (type == StatusEvent && code == StatusCode(EStatus::Connected))
                ready = true;
            else if (type == StatusEvent && code != StatusCode(EStatus::DeviceInfoRequested))
                failed = true;
            else if (type == ProgressEvent)
                ++result.progressEvents;
            else if (type == DataEvent && code == CProtocolSession::DataFile)
            {
                result.delivered = true;
                result.intact = static_cast<size_t>(event.length) == expected.size() &&
                                std::memcmp(event.payload, expected.data(), expected.size()) == 0;
            }
        }
    };

    session.Connect("127.0.0.1", "bench", "", &queue);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (!ready && !failed && std::chrono::steady_clock::now() < deadline)
        tick();
    if (!ready)
        return result;

    const auto started = std::chrono::steady_clock::now();
    session.RequestFile("/home/depot/software/bench.bin");
    while (!result.delivered && !failed && std::chrono::steady_clock::now() < deadline)
    {
        tick();
        ++result.ticks;
    }
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    session.Disconnect();
    return result;
}

// The same bytes over a plain loopback TCP connection: one thread sends, this one receives.
double PlainTcpCopySeconds(const std::vector<uint8_t>& content)
{
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, 1) != 0)
        return -1;
    socklen_t length = sizeof address;
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);

    std::thread sender(
        [&]
        {
            const int connection = accept(listener, nullptr, nullptr);
            size_t sent = 0;
            while (connection >= 0 && sent < content.size())
            {
                const ssize_t count =
                    send(connection, content.data() + sent, content.size() - sent, MSG_NOSIGNAL);
                if (count <= 0)
                    break;
                sent += static_cast<size_t>(count);
            }
            close(connection);
        });

    const int receiver = socket(AF_INET, SOCK_STREAM, 0);
    std::vector<uint8_t> received(content.size());
    const auto started = std::chrono::steady_clock::now();
    size_t total = 0;
    if (connect(receiver, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
    {
        while (total < received.size())
        {
            const ssize_t count = recv(receiver, received.data() + total, received.size() - total, 0);
            if (count <= 0)
                break;
            total += static_cast<size_t>(count);
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    sender.join();
    close(receiver);
    close(listener);
    return total == content.size() && received == content ? seconds : -1;
}

} // namespace

int main()
{
    std::error_code fileError;
    const auto folder =
        std::filesystem::temp_directory_path(fileError) / ("quorvel-bench-" + std::to_string(getpid()));
    if (!std::filesystem::create_directories(folder, fileError))
    {
        std::fprintf(stderr, "cannot create %s\n", folder.c_str());
        return 1;
    }
    const std::vector<uint8_t> content = GeneratedFile();
    {
        std::ofstream file(folder / "bench.bin", std::ios::binary);
        file.write(reinterpret_cast<const char*>(content.data()),
                   static_cast<std::streamsize>(content.size()));
    }

    CRecorderSimulator::Options options;
    options.root = folder.string();
    options.port = 0;
    options.password = "bench";
    CRecorderSimulator simulator(options);
    std::string error;
    if (!simulator.Start(error))
    {
        std::fprintf(stderr, "simulator: %s\n", error.c_str());
        return 1;
    }

    const Usage before = CurrentUsage();
    const SessionResult session = DownloadThroughSession(simulator.Port(), content);
    const Usage after = CurrentUsage();
    simulator.Stop();
    std::filesystem::remove_all(folder, fileError);

    const double plainSeconds = PlainTcpCopySeconds(content);

    std::printf("Ticks back to back: no window timer, no dialog, simulator in this process. This is the\n"
                "session's own speed, not what the window reaches; build/bench/download measures that.\n");
    std::printf("file                 %.0f MiB\n", static_cast<double>(kFileSize) / kMiB);
    std::printf("session transfer     %s\n",
                session.delivered ? (session.intact ? "complete, bytes intact" : "CORRUPT") : "FAILED");
    if (session.delivered)
    {
        std::printf("  throughput         %.1f MiB/s (%.3f s)\n",
                    static_cast<double>(kFileSize) / kMiB / session.seconds, session.seconds);
        std::printf("  ticks              %ld\n", session.ticks);
        std::printf("  progress events    %d\n", session.progressEvents);
    }
    std::printf("  CPU seconds        %.3f (client thread %.3f; the rest is the simulator)\n",
                after.processCpu - before.processCpu, after.threadCpu - before.threadCpu);
    std::printf("  peak resident      %.1f MiB (process, simulator and generated file included)\n",
                static_cast<double>(after.peakResidentKiB) / 1024.0);
    if (plainSeconds > 0)
        std::printf("plain TCP copy       %.1f MiB/s (%.3f s)\n",
                    static_cast<double>(kFileSize) / kMiB / plainSeconds, plainSeconds);
    else
        std::printf("plain TCP copy       FAILED\n");
    return session.delivered && session.intact ? 0 : 1;
}
