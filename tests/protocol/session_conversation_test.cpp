#include "ScopedDiagnosticCapture.h"
#include "ScopedLanguage.h"
#include "SessionDriver.h"
#include "support/TextTranslator.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace
{

// Target, Com, Ident, LParam of one command the recorder received.
using SentCommand = std::tuple<int, int, int, int32_t>;

std::vector<SentCommand> Commands(const std::vector<CRecorderSimulator::ReceivedPacket>& packets)
{
    std::vector<SentCommand> commands;
    for (const auto& packet : packets)
        commands.emplace_back(packet.header.Target(), packet.header.Com(), packet.header.Ident(),
                              packet.header.LParam());
    return commands;
}

const std::vector<uint8_t> kBareLogin = Bytes({'g', 'e', 'h', 'e', 'i', 'm', 0});
const std::vector<uint8_t> kListLogin =
    Bytes({9, 0, 0x7D, 0x08, 2, 0, 'g', 'e', 'h', 'e', 'i', 'm', 0, 0, 0, 0xFF, 0xFF});

struct ConversationCase
{
    std::string version;
    int32_t versionCode;
    bool itemListLogin;
    bool sessionTimeout; // the device information ends with the session time-out
    int userLevel = 3;
};

class Conversation : public ::testing::TestWithParam<ConversationCase>
{
};

TEST_P(Conversation, RunsVersionLoginAndDeviceInformationInOrder)
{
    const ConversationCase& sample = GetParam();
    CRecorderSimulator::Options options = Recorder(sample.version);
    options.userLevel = sample.userLevel;
    CSessionDriver driver(options);
    const CScopedDiagnosticCapture diagnostics;
    ASSERT_TRUE(driver.ConnectAndWaitUntilReady());

    std::vector<SentCommand> expected{{4, 2, 2, 4}, {4, 1, 0, 0}, {4, 2, 1, 2}, {4, 2, 1, 1}, {4, 2, 1, 3}};
    if (sample.sessionTimeout)
        expected.emplace_back(1, 6, 1, 3600);
    const auto received = driver.Received();
    ASSERT_EQ(Commands(received), expected);
    EXPECT_EQ(PacketBytes(received[0]), HeaderBytes(4, 2, 2, 0, 4, 0));
    EXPECT_EQ(received[1].payload, sample.itemListLogin ? kListLogin : kBareLogin);
    EXPECT_EQ(driver.Session().VersionCode(), sample.versionCode);
    EXPECT_NE(diagnostics.Text().find("RQX Protocol Version: " + sample.version + "\n"), std::string::npos)
        << diagnostics.Text();
    // The recorder sends its texts as CP850; they are kept as UTF-8.
    const CDeviceInfo& info = driver.Session().DeviceInfo();
    EXPECT_STREQ(info.FirstText(), options.firstText.c_str());
    EXPECT_STREQ(info.ThirdText(), options.thirdText.c_str());
    EXPECT_TRUE(info.SwitchOn());

    // The dialog learns the level first, then that the sequence runs, then that it is complete.
    const auto& events = driver.Events();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].type, LoginResultEvent);
    EXPECT_EQ(events[0].code, sample.userLevel);
    EXPECT_EQ(events[1].type, StatusEvent);
    EXPECT_EQ(events[1].code, StatusCode(EStatus::DeviceInfoRequested));
    EXPECT_EQ(events[2].code, StatusCode(EStatus::Connected));
    EXPECT_TRUE(driver.Session().IsLoggedIn());
    EXPECT_TRUE(driver.Session().IsDeviceInfoComplete());
    EXPECT_FALSE(driver.Session().HasUnsentData());
}

INSTANTIATE_TEST_SUITE_P(
    Versions, Conversation,
    ::testing::Values(ConversationCase{"2.0.29", 1, false, false}, ConversationCase{"2.0.30", 2, false, true},
                      ConversationCase{"2.0.79", 5, false, true}, ConversationCase{"2.0.80", 6, true, true},
                      ConversationCase{"2.1.0", 8, true, true, 2}, ConversationCase{"VUZ1.2", 10, true, true},
                      ConversationCase{"99999999999999999999.0.0", 8, true, true}),
    [](const ::testing::TestParamInfo<ConversationCase>& parameter)
    { return "Case" + std::to_string(parameter.index); });

TEST(Conversation, VersionAnswerWithoutVersionItemKeepsTheDefaultNotTheLastRecordersCode)
{
    CRecorderSimulator::Options options = Recorder("2.0.29");
    // The second connection's recorder leaves item 4 out of its version answer.
    options.replyOverride = [](const CRecorderSimulator::ReceivedPacket& packet, std::vector<uint8_t>& reply)
    {
        if (packet.connection != 2 || packet.header.Ident() != Idents::VersionRequest)
            return false;
        reply = Answer(4, 2, 2, 1, 4, Bytes({2, 0, 1, 0, 'X', 0, 0, 0, 0xFF, 0xFF}));
        return true;
    };
    CSessionDriver driver(options);
    ASSERT_TRUE(driver.ConnectAndWaitUntilReady());
    EXPECT_EQ(driver.Session().VersionCode(), 1);

    // Without a version text the item-list login and the full sequence are assumed; the simulator
    // still expects the bare password, so it refuses, which is what shows the login's form here.
    ASSERT_TRUE(driver.Connect());
    ASSERT_TRUE(driver.WaitForEvent(EStatus::LoginRefused));
    EXPECT_EQ(driver.Session().VersionCode(), 6);
    const auto received = driver.Received();
    ASSERT_FALSE(received.empty());
    EXPECT_TRUE(Commands::Login.Matches(received.back().header));
    EXPECT_EQ(received.back().payload, kListLogin);
}

// Too old, malformed, or an answer whose first item runs past its data: the version answer is refused
// as not executed, once, and no login follows.
TEST(UnsupportedVersion, EndsWithNotExecutedAndNoLogin)
{
    std::vector<CRecorderSimulator::Options> recorders;
    for (const char* version : {"1.0.99", "abc", "2.0.1.5", "2.1.0"})
        recorders.push_back(Recorder(version));
    recorders.back().replyOverride =
        [](const CRecorderSimulator::ReceivedPacket& packet, std::vector<uint8_t>& reply)
    {
        if (packet.header.Ident() != Idents::VersionRequest)
            return false;
        // Tag 9 claims 200 value bytes; the answer's data ends after two.
        reply = Answer(4, 2, 2, 1, 4, Bytes({200, 0, 9, 0, 'x', 0}));
        return true;
    };
    for (const auto& options : recorders)
    {
        SCOPED_TRACE(options.version);
        CSessionDriver driver(options);
        ASSERT_TRUE(driver.Connect());
        ASSERT_TRUE(driver.WaitForEvent(EStatus::NotExecuted));
        driver.RunFor(100);
        ExpectOneNotExecuted(driver, Commands::DeviceInformation, Idents::VersionRequest, Acks::Executed);
        EXPECT_EQ(driver.CountReceived(Commands::Login), 0u);
        EXPECT_EQ(driver.Events().size(), 1u);
    }
}

// Refused by the password or by the refusal Ack: reported as refused, and nothing follows.
TEST(Login, RefusalIsReportedAndEndsTheConversation)
{
    std::vector<CRecorderSimulator::Options> recorders{Recorder("2.1.0", "richtig"), Recorder("2.0.50")};
    recorders[1].loginRefusalAck = 3;
    for (const auto& options : recorders)
    {
        SCOPED_TRACE(options.version);
        CSessionDriver driver(options);
        ASSERT_TRUE(driver.Connect());
        ASSERT_TRUE(driver.WaitForEvent(EStatus::LoginRefused));
        driver.RunFor(50);
        EXPECT_TRUE(driver.EventsOf(LoginResultEvent).empty());
        EXPECT_FALSE(driver.Session().IsLoggedIn());
        EXPECT_EQ(driver.Received().size(), 2u) << "no device-information request after a refusal";
    }
}

struct CredentialCase
{
    std::string version;
    std::string password;         // as typed (UTF-8)
    std::string second;           // second login text
    std::vector<uint8_t> payload; // what the recorder must receive
};

class LoginBytes : public ::testing::TestWithParam<CredentialCase>
{
};

TEST_P(LoginBytes, CarryTheCredentialsInTheRecordersCodePage)
{
    const CredentialCase& sample = GetParam();
    // The simulator checks the password as well: it knows only the first 63 wire bytes.
    CSessionDriver driver(Recorder(sample.version, sample.password.substr(0, 63)));
    ASSERT_TRUE(driver.Connect(sample.password.c_str(), sample.second.c_str()));
    ASSERT_TRUE(driver.WaitForEvent(LoginResultEvent, 3));
    const auto received = driver.Received();
    ASSERT_GE(received.size(), 2u);
    EXPECT_EQ(
        PacketBytes(received[1]),
        Concat(HeaderBytes(4, 1, 0, 0, 0, static_cast<int32_t>(sample.payload.size())), sample.payload));
}

std::vector<uint8_t> ListItem(uint16_t kind, const std::vector<uint8_t>& text)
{
    std::vector<uint8_t> item = Bytes({static_cast<int>((text.size() + 3) & 0xFF),
                                       static_cast<int>((text.size() + 3) >> 8), 0x7D, 0x08, kind, 0});
    item.insert(item.end(), text.begin(), text.end());
    item.push_back(0);
    return item;
}

const std::vector<uint8_t> kEndMarker = Bytes({0, 0, 0xFF, 0xFF});
const std::vector<uint8_t> kSixtyThreeX(63, 'x');

INSTANTIATE_TEST_SUITE_P(
    Credentials, LoginBytes,
    ::testing::Values(
        // Umlauts and the euro sign go out as Windows-1252 bytes.
        CredentialCase{"2.0.79", "Pässwort€", "", Bytes({'P', 0xE4, 's', 's', 'w', 'o', 'r', 't', 0x80, 0})},
        CredentialCase{
            "2.0.80", "Pässwort€", "",
            Concat(ListItem(2, Bytes({'P', 0xE4, 's', 's', 'w', 'o', 'r', 't', 0x80})), kEndMarker)},
        // A second login text adds a second item.
        CredentialCase{
            "2.0.80", "pw", "Zweit",
            Concat(Concat(ListItem(2, Bytes({'p', 'w'})), ListItem(3, Bytes({'Z', 'w', 'e', 'i', 't'}))),
                   kEndMarker)},
        // 70 characters are cut to 63 in both forms.
        CredentialCase{"2.0.79", std::string(70, 'x'), "", Concat(kSixtyThreeX, Bytes({0}))},
        CredentialCase{"2.0.80", std::string(70, 'x'), "", Concat(ListItem(2, kSixtyThreeX), kEndMarker)}));

TEST(DenyForeign, RefusedLoginIsResentUnchangedWithoutEvents)
{
    auto options = Recorder();
    options.denyForeignCount = 2;
    options.denyForeignCommand = Commands::Login;
    CSessionDriver driver(options);
    const CScopedDiagnosticCapture diagnostics;
    ASSERT_TRUE(driver.ConnectAndWaitUntilReady());
    const std::string& output = diagnostics.Text();

    std::vector<std::vector<uint8_t>> logins;
    for (const auto& packet : driver.Received())
    {
        if (Commands::Login.Matches(packet.header))
            logins.push_back(PacketBytes(packet));
    }
    ASSERT_EQ(logins.size(), 3u);
    EXPECT_EQ(logins[1], logins[0]);
    EXPECT_EQ(logins[2], logins[0]);

    const std::string line = "--> Deny Foreign: Resending Command\n";
    const size_t second = output.find(line, output.find(line) + 1);
    ASSERT_NE(second, std::string::npos) << output;
    EXPECT_EQ(output.find(line, second + 1), std::string::npos);
    // The refusals themselves are not the dialog's business.
    ASSERT_EQ(driver.Events().size(), 3u);
    EXPECT_EQ(driver.Events()[0].type, LoginResultEvent);
}

TEST(NoRight, Ack27IsReportedAndNotCountedInTheSequence)
{
    auto options = Recorder("2.0.30");
    options.ack27Command = Commands::SessionTimeout;
    CSessionDriver driver(options);
    ASSERT_TRUE(driver.Connect());
    ASSERT_TRUE(driver.WaitForEvent(EStatus::NoRight));
    driver.RunFor(100);
    EXPECT_TRUE(driver.EventsOf(EStatus::Connected).empty());
    EXPECT_EQ(driver.Session().PendingInfoAnswers(), 1);
    EXPECT_FALSE(driver.Session().IsDeviceInfoComplete());
}

struct SShortSwitch
{
    const char* name;
    int32_t requestedItem; // the device-information request whose answer carries the short item
    std::vector<uint8_t> value;
    bool endMarker; // without one, the packet ends right behind the value
};

// Nothing uses the switch, so a value shorter than its 16 bits is read as far as it goes (the
// missing byte as 0) and the login and the sequence go on.
TEST(Sequence, ShortSwitchItemIsReadAsFarAsItGoes)
{
    const SShortSwitch cases[] = {
        {"one byte in the version answer", Tags::DeviceVersion, {1}, false},
        {"no bytes in the version answer", Tags::DeviceVersion, {}, true},
        {"one byte in the sequence", Tags::DeviceSwitch, {0}, false},
    };
    for (const SShortSwitch& sample : cases)
    {
        SCOPED_TRACE(sample.name);
        CRecorderSimulator::Options options = Recorder();
        options.replyOverride =
            [&sample](const CRecorderSimulator::ReceivedPacket& packet, std::vector<uint8_t>& reply)
        {
            if (!Commands::DeviceInformation.Matches(packet.header) ||
                packet.header.LParam() != sample.requestedItem)
                return false;
            std::vector<uint8_t> data;
            if (sample.requestedItem == Tags::DeviceVersion)
                data = Bytes({6, 0, 4, 0, '2', '.', '1', '.', '0', 0});
            data =
                Concat(Concat(data, Bytes({static_cast<int>(sample.value.size()), 0, 2, 0})), sample.value);
            if (sample.endMarker)
                data = Concat(data, kEndMarker);
            reply = Answer(4, 2, packet.header.Ident(), 1, sample.requestedItem, data);
            return true;
        };
        CSessionDriver driver(options);
        ASSERT_TRUE(driver.ConnectAndWaitUntilReady());
        EXPECT_TRUE(driver.Session().IsLoggedIn());
        EXPECT_TRUE(driver.EventsOf(EStatus::NotExecuted).empty());
        if (sample.requestedItem == Tags::DeviceSwitch)
        {
            EXPECT_FALSE(driver.Session().DeviceInfo().SwitchOn()) << "the one byte there says off";
        }
    }
}

// Answers to commands this program does not know, and Ack 5 on Target 2 Com 9 (which is no
// deny-foreign refusal there): only written to standard output, nothing resent.
TEST(UnknownAnswers, AreOnlyWrittenToStandardOutput)
{
    const SCommand unknownTarget{7, 1};
    const SCommand unknownSessionCommand{Targets::Session, 9};
    CRecorderSimulator::Options options = Recorder();
    options.replyOverride = [=](const CRecorderSimulator::ReceivedPacket& packet, std::vector<uint8_t>& reply)
    {
        const CCommandPacket& header = packet.header;
        if (Commands::DenyForeignExempt.Matches(header))
            reply = Answer(Commands::DenyForeignExempt, header.Ident(), Acks::DenyForeign, 0, {});
        else if (unknownTarget.Matches(header) || unknownSessionCommand.Matches(header))
            reply = Answer(header.Target(), header.Com(), header.Ident(), Acks::Executed, -3, {});
        else
            return false;
        return true;
    };
    const CScopedLanguage english(CTextTranslator::LanguageEnglish);
    CSessionDriver driver(options);
    ASSERT_TRUE(driver.ConnectAndWaitUntilReady());
    driver.ClearEvents();
    const CScopedDiagnosticCapture diagnostics;
    ASSERT_TRUE(driver.Session().SendCommand(unknownTarget, 5, Parameters::None));
    ASSERT_TRUE(driver.Session().SendCommand(unknownSessionCommand, 65535, Parameters::None));
    ASSERT_TRUE(driver.Session().SendCommand(Commands::DenyForeignExempt, Idents::Plain, Parameters::None));
    ASSERT_TRUE(driver.RunUntil([&] { return !driver.Session().HasUnsentData(); }));
    driver.RunFor(50);
    const std::string& output = diagnostics.Text();
    for (const char* line : {"Target: Target 7 Com 1 Ident 5 Ack 1 LParam -3 DataLen 0\n",
                             "Command: Target 4 Com 9 Ident 65535 Ack 1 LParam -3 DataLen 0\n",
                             "Target: Target 2 Com 9 Ident 0 Ack 5 LParam 0 DataLen 0\n"})
        EXPECT_NE(output.find(std::string("Unknown Zerrix command ") + line), std::string::npos) << output;
    EXPECT_EQ(output.find("Deny Foreign"), std::string::npos);
    EXPECT_EQ(driver.CountReceived(Commands::DenyForeignExempt), 1u);
    EXPECT_TRUE(driver.Events().empty());
}

TEST(Reconnect, ConnectEndsTheRunningConversationFirst)
{
    CSessionDriver driver(Recorder());
    ASSERT_TRUE(driver.ConnectAndWaitUntilReady());
    driver.ClearEvents();
    ASSERT_TRUE(driver.ConnectAndWaitUntilReady());
    EXPECT_EQ(driver.Simulator().ConnectionCount(), 2);
    const auto received = driver.Received();
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received.back().connection, 2);
    driver.Session().Disconnect();
    driver.Session().Disconnect();
    EXPECT_FALSE(driver.Session().Connection().IsOpen());
    EXPECT_FALSE(driver.Session().IsLoggedIn());
}

} // namespace
