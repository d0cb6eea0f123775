#include "app/DownloadEventHandler.h"
#include "protocol/EventQueue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

// Writes down each handler call as one line.
class CRecordingHandler : public CDownloadEventHandler
{
public:
    std::vector<std::string> calls;

    void OnStatusEvent(int32_t code) override { calls.push_back("status " + std::to_string(code)); }
    void OnLoginResult(int32_t code) override { calls.push_back("login " + std::to_string(code)); }
    void OnDataEvent(int32_t code, const uint8_t* payload, int32_t length) override
    {
        calls.push_back("data " + std::to_string(code) + " " +
                        std::string(reinterpret_cast<const char*>(payload), static_cast<size_t>(length)));
    }
    void OnProgressEvent(const SProgressRecord& progress) override
    {
        calls.push_back("progress " + std::to_string(progress.done) + "/" + std::to_string(progress.total) +
                        " @" + std::to_string(progress.requestTimeMs));
    }
};

constexpr int64_t LatestRequestMs = 13'000'000'000'000;

// Posts each event to a real queue and dispatches what the queue hands back.
std::vector<std::string> Dispatched(const std::vector<std::vector<uint8_t>>& payloads,
                                    const std::vector<int32_t>& types)
{
    CEventQueue queue;
    for (size_t i = 0; i < types.size(); ++i)
        EXPECT_TRUE(queue.Post(types[i], 7, static_cast<int32_t>(payloads[i].size()),
                               payloads[i].empty() ? nullptr : payloads[i].data()));
    CRecordingHandler handler;
    while (queue.HasEvents())
    {
        handler.DispatchEvent(queue.Front(), LatestRequestMs);
        queue.Pop();
    }
    return handler.calls;
}

std::vector<uint8_t> Progress(int32_t done, int32_t total, int64_t requestTimeMs, int32_t length)
{
    SProgressRecord record;
    record.done = done;
    record.total = total;
    record.requestTimeMs = requestTimeMs;
    const auto bytes = record.Encode();
    return std::vector<uint8_t>(bytes.begin(), bytes.begin() + length);
}

} // namespace

TEST(DownloadEventHandler, EachEventTypeReachesItsHandlerAndUnknownTypesNone)
{
    const std::vector<uint8_t> none;
    const std::vector<uint8_t> file = {'a', 'b', 'c'};
    EXPECT_EQ(Dispatched({none, none, file, none}, {StatusEvent, LoginResultEvent, DataEvent, 99}),
              (std::vector<std::string>{"status 7", "login 7", "data 7 abc"}));

    CRecordingHandler handler;
    handler.DispatchEvent(nullptr, LatestRequestMs);
    EXPECT_TRUE(handler.calls.empty());
}

// A file's last report arrives after the next request went out; it must not show under the new name.
TEST(DownloadEventHandler, ProgressOfAnEarlierRequestIsDroppedAndShortReportsAreReadAsFarAsTheyGo)
{
    const std::vector<std::string> calls =
        Dispatched({Progress(5, 10, LatestRequestMs - 1, SProgressRecord::Size),
                    Progress(6, 10, LatestRequestMs, SProgressRecord::Size),
                    Progress(7, 10, LatestRequestMs + 1, SProgressRecord::Size),
                    Progress(8, 10, 0, SProgressRecord::NumbersSize),
                    Progress(9, 10, 0, SProgressRecord::NumbersSize - 1)},
                   {ProgressEvent, ProgressEvent, ProgressEvent, ProgressEvent, ProgressEvent});
    const std::string latest = std::to_string(LatestRequestMs);
    EXPECT_EQ(calls, (std::vector<std::string>{"progress 6/10 @" + latest,
                                               "progress 7/10 @" + std::to_string(LatestRequestMs + 1),
                                               "progress 8/10 @" + latest}));
}
