#include "SessionDriver.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace
{

// Produces answers that look plausible enough to get past the header check and then go wrong in
// every way the session must survive: wrong lengths, cut item lists, absurd sizes, garbage.
class CGarbledAnswers
{
public:
    explicit CGarbledAnswers(uint32_t seed) : m_random(seed) {}

    std::vector<uint8_t> Next()
    {
        std::vector<uint8_t> out;
        const int packets = Pick(1, 12);
        for (int i = 0; i < packets; ++i)
            AppendPacket(out);
        return out;
    }

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }
    uint8_t Byte() { return static_cast<uint8_t>(Pick(0, 255)); }

    std::vector<uint8_t> RandomBytes(int count)
    {
        std::vector<uint8_t> bytes(static_cast<size_t>(count));
        for (auto& byte : bytes)
            byte = Byte();
        return bytes;
    }

    // Mostly sizes that a later extension can satisfy; now and then negative ones, ones that overflow
    // DataLen, and values too short to hold a size. (Huge but valid sizes would only allocate.)
    std::vector<uint8_t> SizeValue()
    {
        int32_t size = Pick(0, 400);
        switch (Pick(0, 5))
        {
        case 0:
            return RandomBytes(Pick(0, 3));
        case 1:
            size = Pick(-1000, -1);
            break;
        case 2:
            size = Pick(0x7FFFFFF4, 0x7FFFFFFF);
            break;
        default:
            break;
        }
        return {static_cast<uint8_t>(size), static_cast<uint8_t>(size >> 8), static_cast<uint8_t>(size >> 16),
                static_cast<uint8_t>(size >> 24)};
    }

    void AppendItem(std::vector<uint8_t>& data, uint16_t tag, const std::vector<uint8_t>& value, bool lie)
    {
        const uint16_t length =
            lie ? static_cast<uint16_t>(Pick(0, 0xFFFF)) : static_cast<uint16_t>(value.size());
        data.insert(data.end(), {static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8),
                                 static_cast<uint8_t>(tag), static_cast<uint8_t>(tag >> 8)});
        data.insert(data.end(), value.begin(), value.end());
    }

    std::vector<uint8_t> ItemList(std::initializer_list<uint16_t> tags)
    {
        std::vector<uint8_t> data;
        const int items = Pick(0, 5);
        for (int i = 0; i < items; ++i)
        {
            const uint16_t tag = Pick(0, 9) == 0
                                     ? static_cast<uint16_t>(Pick(0, 0xFFFF))
                                     : *(tags.begin() + Pick(0, static_cast<int>(tags.size()) - 1));
            std::vector<uint8_t> value = RandomBytes(Pick(0, 12));
            if (tag == 2)
                value = SizeValue();
            if (tag == 4 && Pick(0, 1) == 0)
            {
                const char* versions[] = {"2.0.80", "VUZ", "VUZ9", "1.0.99", "2..", "99999999999999999999"};
                const std::string text = versions[Pick(0, 5)];
                value.assign(text.begin(), text.end());
            }
            AppendItem(data, tag, value, Pick(0, 15) == 0);
        }
        if (Pick(0, 4) != 0)
            data.insert(data.end(), {0, 0, 0xFF, 0xFF});
        return data;
    }

    void AppendPacket(std::vector<uint8_t>& out)
    {
        uint16_t target = static_cast<uint16_t>(Pick(0, 8));
        uint16_t com = static_cast<uint16_t>(Pick(0, 10));
        std::vector<uint8_t> data;
        std::vector<uint8_t> trailing;
        switch (Pick(0, 5))
        {
        case 0: // file answers, including ones whose file bytes follow outside DataLen
            target = 4;
            com = 6;
            data = ItemList({1, 2});
            trailing = RandomBytes(Pick(0, 500));
            break;
        case 1: // device information
            target = 4;
            com = 2;
            data = ItemList({1, 2, 3, 4});
            break;
        case 2: // date and time
            target = 3;
            com = static_cast<uint16_t>(Pick(3, 8));
            data = RandomBytes(Pick(0, 14));
            break;
        case 3: // a header whose checksum is wrong
        {
            const auto bytes = RandomBytes(Pick(18, 60));
            out.insert(out.end(), bytes.begin(), bytes.end());
            return;
        }
        default:
            data = RandomBytes(Pick(0, 40));
            break;
        }
        const uint16_t acks[] = {0, 1, 1, 1, 5, 10, 27, 3};
        const uint16_t idents[] = {0, 1, 2, 6, 11};
        int32_t dataLen = static_cast<int32_t>(data.size());
        if (Pick(0, 7) == 0)
            dataLen = Pick(0, static_cast<int>(data.size()));
        const auto header = CRecorderSimulator::EncodeHeader(target, com, idents[Pick(0, 4)],
                                                             acks[Pick(0, 7)], Pick(-2, 5), dataLen);
        out.insert(out.end(), header.begin(), header.end());
        out.insert(out.end(), data.begin(), data.end());
        out.insert(out.end(), trailing.begin(), trailing.end());
    }

    std::mt19937 m_random;
};

TEST(ReceiveFuzz, GarbledAnswersNeverCrashTheSession)
{
    constexpr uint32_t kConversations = 12;
    auto answers = std::make_shared<CGarbledAnswers>(20240601);
    CRecorderSimulator::Options options = Recorder();
    // Every command draws a burst of garbled answers (the simulator's thread alone uses the generator).
    options.replyOverride = [answers](const CRecorderSimulator::ReceivedPacket&, std::vector<uint8_t>& reply)
    {
        reply = answers->Next();
        return true;
    };
    CSessionDriver driver(options);
    CClockShift clock;
    for (uint32_t conversation = 0; conversation < kConversations; ++conversation)
    {
        driver.Connect();
        for (int round = 0; round < 4; ++round)
        {
            driver.RunFor(40);
            // Keep the recorder talking: requests and keep-alives draw more answers.
            driver.Session().RequestFile("/home/depot/software/x.exe");
            clock.AdvanceSeconds(61);
            driver.RunFor(40);
            clock.AdvanceSeconds(1801);
        }
    }
    driver.Session().Disconnect();
    EXPECT_GT(driver.Simulator().ReceivedPackets().size(), kConversations) << "the answers were drawn";
    EXPECT_GT(driver.Events().size(), 0u);
}

} // namespace
