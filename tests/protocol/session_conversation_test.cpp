#include "ScopedDiagnosticCapture.h"
#include "ScopedLanguage.h"
#include "SessionDriver.h"
#include "support/TextTranslator.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

// Target, Com, Ident, LParam of one command the recorder received.
struct SentCommand
{
    uint16_t target;
    uint16_t com;
    uint16_t ident;
    int32_t lParam;
    bool operator==(const SentCommand& other) const
    {
        return target == other.target && com == other.com && ident == other.ident && lParam == other.lParam;
    }
};

std::ostream& operator<<(std::ostream& out, const SentCommand& command)
{
    return out << "{T" << command.target << " C" << command.com << " I" << command.ident << " L"
               << command.lParam << "}";
}

std::vector<SentCommand> Commands(const std::vector<CRecorderSimulator::ReceivedPacket>& packets)
{
    std::vector<SentCommand> commands;
    for (const auto& packet : packets)
        commands.push_back(
            {packet.header.Target(), packet.header.Com(), packet.header.Ident(), packet.header.LParam()});
    return commands;
}

std::vector<uint8_t> PacketBytes(const CRecorderSimulator::ReceivedPacket& packet)
{
    std::vector<uint8_t> bytes(packet.headerBytes.begin(), packet.headerBytes.end());
    bytes.insert(bytes.end(), packet.payload.begin(), packet.payload.end());
    return bytes;
}

const CRecorderSimulator::ReceivedPacket*
FindPacket(const std::vector<CRecorderSimulator::ReceivedPacket>& packets, const SCommand& command)
{
    for (const auto& packet : packets)
    {
        if (command.Matches(packet.header))
            return &packet;
    }
    return nullptr;
}

CRecorderSimulator::Options WithVersion(const std::string& version, const std::string& password = "geheim")
{
    CRecorderSimulator::Options options;
    options.version = version;
    options.password = password;
    return options;
}

const SentCommand kVersionRequest{4, 2, 2, 4};
const SentCommand kLogin{4, 1, 0, 0};
const SentCommand kItem2{4, 2, 1, 2};
const SentCommand kItem1{4, 2, 1, 1};
const SentCommand kItem3{4, 2, 1, 3};
const SentCommand kSessionTimeout{1, 6, 1, 3600};

struct ConversationCase
{
    std::string version;
    int32_t versionCode;
    bool itemListLogin;
    std::vector<SentCommand> sequence; // after version request and login
};

class Conversation : public ::testing::TestWithParam<ConversationCase>
{
};

TEST_P(Conversation, RunsVersionLoginAndDeviceInformationInOrder)
{
    const ConversationCase& sample = GetParam();
    CSessionDriver driver(WithVersion(sample.version));
    ASSERT_TRUE(driver.ConnectAndWaitUntilReady("geheim"));

    std::vector<SentCommand> expected{kVersionRequest, kLogin};
    expected.insert(expected.end(), sample.sequence.begin(), sample.sequence.end());
    const auto received = driver.Received();
    EXPECT_EQ(Commands(received), expected);
    EXPECT_EQ(driver.Session().VersionCode(), sample.versionCode);

    const auto* login = FindPacket(received, Commands::Login);
    ASSERT_NE(login, nullptr);
    const std::vector<uint8_t> bareLogin = Bytes({'g', 'e', 'h', 'e', 'i', 'm', 0});
    const std::vector<uint8_t> listLogin =
        Bytes({9, 0, 0x7D, 0x08, 2, 0, 'g', 'e', 'h', 'e', 'i', 'm', 0, 0, 0, 0xFF, 0xFF});
    EXPECT_EQ(login->payload, sample.itemListLogin ? listLogin : bareLogin);

    // The dialog learns the level first, then that the sequence runs, then that it is complete.
    const auto& events = driver.Events();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].type, LoginResultEvent);
    EXPECT_EQ(events[0].code, 3);
    EXPECT_EQ(events[1].type, StatusEvent);
    EXPECT_EQ(events[1].code, StatusCode(EStatus::DeviceInfoRequested));
    EXPECT_EQ(events[2].code, StatusCode(EStatus::Connected));
    EXPECT_TRUE(driver.Session().IsLoggedIn());
    EXPECT_TRUE(driver.Session().IsDeviceInfoComplete());
    EXPECT_FALSE(driver.Session().HasUnsentData());
}

INSTANTIATE_TEST_SUITE_P(
    Versions, Conversation,
    ::testing::Values(ConversationCase{"2.0.29", 1, false, {kItem2, kItem1, kItem3}},
                      ConversationCase{"2.0.30", 2, false, {kItem2, kItem1, kItem3, kSessionTimeout}},
                      ConversationCase{"2.0.79", 5, false, {kItem2, kItem1, kItem3, kSessionTimeout}},
                      ConversationCase{"2.0.80", 6, true, {kItem2, kItem1, kItem3, kSessionTimeout}},
                      ConversationCase{"VUZ1.2", 10, true, {kItem2, kItem1, kItem3, kSessionTimeout}},
                      ConversationCase{
                          "99999999999999999999.0.0", 8, true, {kItem2, kItem1, kItem3, kSessionTimeout}}),
    [](const ::testing::TestParamInfo<ConversationCase>& parameter)
    { return "Case" + std::to_string(parameter.index); });

TEST(Conversation, VersionAnswerWithoutVersionItemKeepsTheDefaultNotTheLastRecordersCode)
{
    CRecorderSimulator::Options options = WithVersion("2.0.29");
    // The second connection's recorder leaves item 4 out of its version answer.
    options.replyOverride = [](const CRecorderSimulator::ReceivedPacket& packet, std::vector<uint8_t>& reply)
    {
        if (packet.connection != 2 || packet.header.Ident() != Idents::VersionRequest)
            return false;
        reply = Answer(4, 2, 2, 1, 4, Bytes({2, 0, 1, 0, 'X', 0, 0, 0, 0xFF, 0xFF}));
        return true;
    };
    CSessionDriver driver(options);
    ASSERT_TRUE(driver.ConnectAndWaitUntilReady("geheim"));
    EXPECT_EQ(driver.Session().VersionCode(), 1);

    // Without a version text the item-list login and the full sequence are assumed; the simulator
    // still expects the bare password, so it refuses, which is what shows the login's form here.
    ASSERT_TRUE(driver.Connect("geheim"));
    ASSERT_TRUE(driver.WaitForEvent(EStatus::LoginRefused));
    EXPECT_EQ(driver.Session().VersionCode(), 6);
    const auto received = driver.Received();
    ASSERT_FALSE(received.empty());
    EXPECT_TRUE(Commands::Login.Matches(received.back().header));
    EXPECT_EQ(received.back().payload,
              Bytes({9, 0, 0x7D, 0x08, 2, 0, 'g', 'e', 'h', 'e', 'i', 'm', 0, 0, 0, 0xFF, 0xFF}));
}

TEST(Conversation, VersionRequestIsTheDocumentedEighteenBytes)
{
    CSessionDriver driver(WithVersion("2.1.0"));
    ASSERT_TRUE(driver.Connect("geheim"));
    ASSERT_TRUE(driver.RunUntil([&] { return !driver.Received().empty(); }));
    EXPECT_EQ(PacketBytes(driver.Received()[0]),
              Bytes({0x04, 0x00, 0x02, 0x00, 0x02, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                     0x00, 0x0C, 0x00}));
}

TEST(Conversation, RecorderTextsAreStoredAsUtf8)
{
    auto options = WithVersion("2.1.0");
    options.firstText = "Aufnahme Süd";
    options.thirdText = "Gerät Ö";
    options.switchOn = true;
    CSessionDriver driver(options);
    ASSERT_TRUE(driver.ConnectAndWaitUntilReady("geheim"));
    const CDeviceInfo& info = driver.Session().DeviceInfo();
    ASSERT_NE(info.FirstText(), nullptr);
    ASSERT_NE(info.ThirdText(), nullptr);
    EXPECT_STREQ(info.FirstText(), "Aufnahme Süd");
    EXPECT_STREQ(info.ThirdText(), "Gerät Ö");
    EXPECT_TRUE(info.SwitchOn());
    EXPECT_EQ(info.VersionCode(), 8);
}

TEST(Conversation, VersionLineGoesToStandardOutput)
{
    CSessionDriver driver(WithVersion("2.0.80"));
    const CScopedDiagnosticCapture diagnostics;
    ASSERT_TRUE(driver.ConnectAndWaitUntilReady("geheim"));
    EXPECT_NE(diagnostics.Text().find("RQX Protocol Version: 2.0.80\n"), std::string::npos)
        << diagnostics.Text();
}

// Connects and expects the version answer to be refused as not executed, once, with no login.
void ExpectVersionAnswerNotExecuted(CSessionDriver& driver)
{
    ASSERT_TRUE(driver.Connect("geheim"));
    ASSERT_TRUE(driver.WaitForEvent(EStatus::NotExecuted));
    driver.RunFor(100);
    ExpectOneNotExecuted(driver, Commands::DeviceInformation, Idents::VersionRequest, Acks::Executed);
    EXPECT_EQ(driver.CountReceived(Commands::Login), 0u);
    EXPECT_EQ(driver.Events().size(), 1u);
}

class UnsupportedVersion : public ::testing::TestWithParam<std::string>
{
};

TEST_P(UnsupportedVersion, EndsWithNotExecutedAndNoLogin)
{
    CSessionDriver driver(WithVersion(GetParam()));
    ExpectVersionAnswerNotExecuted(driver);
}

INSTANTIATE_TEST_SUITE_P(Versions, UnsupportedVersion, ::testing::Values("1.0.99", "abc", "2.0.1.5"));

TEST(UnreadableVersionAnswer, UnknownFirstItemRunningPastTheDataIsNotExecuted)
{
    CRecorderSimulator::Options options = WithVersion("2.1.0");
    options.replyOverride = [](const CRecorderSimulator::ReceivedPacket& packet, std::vector<uint8_t>& reply)
    {
        if (packet.header.Ident() != Idents::VersionRequest)
            return false;
        // Tag 9 claims 200 value bytes; the answer's data ends after two.
        reply = Answer(4, 2, 2, 1, 4, Bytes({200, 0, 9, 0, 'x', 0}));
        return true;
    };
    CSessionDriver driver(options);
    ExpectVersionAnswerNotExecuted(driver);
}

TEST(Login, WrongPasswordIsRefused)
{
    CSessionDriver driver(WithVersion("2.1.0", "richtig"));
    ASSERT_TRUE(driver.Connect("falsch"));
    ASSERT_TRUE(driver.WaitForEvent(EStatus::LoginRefused));
    driver.RunFor(50);
    EXPECT_TRUE(driver.EventsOf(LoginResultEvent).empty());
    EXPECT_FALSE(driver.Session().IsLoggedIn());
    EXPECT_EQ(driver.Received().size(), 2u) << "no device-information request after a refusal";
}

TEST(Login, RefusalAckIsReportedAsRefused)
{
    auto options = WithVersion("2.0.50");
    options.loginRefusalAck = 3;
    CSessionDriver driver(options);
    ASSERT_TRUE(driver.Connect("geheim"));
    EXPECT_TRUE(driver.WaitForEvent(EStatus::LoginRefused));
}

TEST(Login, LowerUserLevelIsReportedBeforeTheSequenceStatus)
{
    auto options = WithVersion("2.1.0");
    options.userLevel = 2;
    CSessionDriver driver(options);
    ASSERT_TRUE(driver.Connect("geheim"));
    ASSERT_TRUE(driver.WaitForEvent(EStatus::DeviceInfoRequested));
    const auto& events = driver.Events();
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events[0].type, LoginResultEvent);
    EXPECT_EQ(events[0].code, 2);
    EXPECT_EQ(events[1].type, StatusEvent);
    EXPECT_EQ(events[1].code, StatusCode(EStatus::DeviceInfoRequested));
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
    std::string accepted = sample.password;
    if (accepted.size() > 63)
        accepted.resize(63);
    CSessionDriver driver(WithVersion(sample.version, accepted));
    ASSERT_TRUE(driver.Connect(sample.password.c_str(), sample.second.c_str()));
    ASSERT_TRUE(driver.WaitForEvent(LoginResultEvent, 3));

    const auto received = driver.Received();
    const auto* login = FindPacket(received, Commands::Login);
    ASSERT_NE(login, nullptr);
    EXPECT_EQ(
        PacketBytes(*login),
        Concat(HeaderBytes(4, 1, 0, 0, 0, static_cast<int32_t>(sample.payload.size())), sample.payload));
}

std::vector<uint8_t> Repeated(uint8_t byte, size_t count)
{
    return std::vector<uint8_t>(count, byte);
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
        // 70 characters are cut to 63, also where each takes two UTF-8 bytes.
        CredentialCase{"2.0.79", std::string(70, 'x'), "", Concat(Repeated('x', 63), Bytes({0}))},
        CredentialCase{"2.0.80", std::string(70, 'x'), "",
                       Concat(ListItem(2, Repeated('x', 63)), kEndMarker)}));

TEST(DenyForeign, RefusedLoginIsResentUnchangedWithoutEvents)
{
    auto options = WithVersion("2.1.0");
    options.denyForeignCount = 2;
    options.denyForeignCommand = Commands::Login;
    CSessionDriver driver(options);
    const CScopedDiagnosticCapture diagnostics;
    ASSERT_TRUE(driver.ConnectAndWaitUntilReady("geheim"));
    const std::string& output = diagnostics.Text();

    const auto received = driver.Received();
    std::vector<std::vector<uint8_t>> logins;
    for (const auto& packet : received)
    {
        if (Commands::Login.Matches(packet.header))
            logins.push_back(PacketBytes(packet));
    }
    ASSERT_EQ(logins.size(), 3u);
    EXPECT_EQ(logins[1], logins[0]);
    EXPECT_EQ(logins[2], logins[0]);

    const std::string line = "--> Deny Foreign: Resending Command\n";
    const size_t first = output.find(line);
    ASSERT_NE(first, std::string::npos) << output;
    EXPECT_NE(output.find(line, first + 1), std::string::npos);
    EXPECT_EQ(output.find(line, output.find(line, first + 1) + 1), std::string::npos);
    // The refusals themselves are not the dialog's business.
    ASSERT_EQ(driver.Events().size(), 3u);
    EXPECT_EQ(driver.Events()[0].type, LoginResultEvent);
}

TEST(DenyForeign, Target2Com9IsDispatchedInsteadOfResent)
{
    CRecorderSimulator::Options options = WithVersion("2.1.0");
    options.replyOverride = [](const CRecorderSimulator::ReceivedPacket& packet, std::vector<uint8_t>& reply)
    {
        if (!Commands::DenyForeignExempt.Matches(packet.header))
            return false;
        reply = Answer(Commands::DenyForeignExempt, packet.header.Ident(), Acks::DenyForeign, 0, {});
        return true;
    };
    const CScopedLanguage english(CTextTranslator::LanguageEnglish);
    CSessionDriver driver(options);
    ASSERT_TRUE(driver.ConnectAndWaitUntilReady("geheim"));
    const CScopedDiagnosticCapture diagnostics;
    ASSERT_TRUE(driver.Session().SendCommand(Commands::DenyForeignExempt, Idents::Plain, Parameters::None));
    ASSERT_TRUE(driver.RunUntil([&] { return !driver.Session().HasUnsentData(); }));
    driver.RunFor(50);
    const std::string& output = diagnostics.Text();
    EXPECT_EQ(driver.CountReceived(Commands::DenyForeignExempt), 1u);
    EXPECT_EQ(output.find("Deny Foreign"), std::string::npos);
    EXPECT_NE(output.find("Unknown Zerrix command Target: Target 2 Com 9 Ident 0 Ack 5 LParam 0 DataLen 0"),
              std::string::npos)
        << output;
}

TEST(NoRight, Ack27IsReportedAndNotCountedInTheSequence)
{
    auto options = WithVersion("2.0.30");
    options.ack27Command = Commands::SessionTimeout;
    CSessionDriver driver(options);
    ASSERT_TRUE(driver.Connect("geheim"));
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
        CRecorderSimulator::Options options = WithVersion("2.1.0");
        options.switchOn = true;
        options.replyOverride =
            [&sample](const CRecorderSimulator::ReceivedPacket& packet, std::vector<uint8_t>& reply)
        {
            if (!Commands::DeviceInformation.Matches(packet.header) ||
                packet.header.LParam() != sample.requestedItem)
                return false;
            std::vector<uint8_t> data;
            if (sample.requestedItem == Tags::DeviceVersion)
                data = Bytes({6, 0, 4, 0, '2', '.', '1', '.', '0', 0});
            data = Concat(data, Bytes({static_cast<int>(sample.value.size()), 0, 2, 0}));
            data = Concat(data, sample.value);
            if (sample.endMarker)
                data = Concat(data, Bytes({0, 0, 0xFF, 0xFF}));
            reply = Answer(4, 2, packet.header.Ident(), 1, sample.requestedItem, data);
            return true;
        };
        CSessionDriver driver(options);
        ASSERT_TRUE(driver.ConnectAndWaitUntilReady("geheim"));
        EXPECT_TRUE(driver.Session().IsLoggedIn());
        EXPECT_TRUE(driver.EventsOf(EStatus::NotExecuted).empty());
        if (sample.requestedItem == Tags::DeviceSwitch)
        {
            EXPECT_FALSE(driver.Session().DeviceInfo().SwitchOn()) << "the one byte there says off";
        }
    }
}

// Commands this program does not know, and Idents to see in the diagnostic line.
const SCommand kUnknownTarget{7, 1};
const SCommand kUnknownSessionCommand{Targets::Session, 9};
constexpr uint16_t kSomeIdent = 5;
constexpr uint16_t kHighestIdent = 65535;

TEST(UnknownAnswers, AreOnlyWrittenToStandardOutput)
{
    CRecorderSimulator::Options options = WithVersion("2.1.0");
    options.replyOverride = [](const CRecorderSimulator::ReceivedPacket& packet, std::vector<uint8_t>& reply)
    {
        if (!kUnknownTarget.Matches(packet.header) && !kUnknownSessionCommand.Matches(packet.header))
            return false;
        reply = Answer(packet.header.Target(), packet.header.Com(), packet.header.Ident(), Acks::Executed, -3,
                       {});
        return true;
    };
    const CScopedLanguage english(CTextTranslator::LanguageEnglish);
    CSessionDriver driver(options);
    ASSERT_TRUE(driver.ConnectAndWaitUntilReady("geheim"));
    driver.ClearEvents();
    const CScopedDiagnosticCapture diagnostics;
    ASSERT_TRUE(driver.Session().SendCommand(kUnknownTarget, kSomeIdent, Parameters::None));
    ASSERT_TRUE(driver.Session().SendCommand(kUnknownSessionCommand, kHighestIdent, Parameters::None));
    ASSERT_TRUE(driver.RunUntil([&] { return !driver.Session().HasUnsentData(); }));
    const std::string& output = diagnostics.Text();
    EXPECT_NE(
        output.find("Unknown Zerrix command Target: Target 7 Com 1 Ident 5 Ack 1 LParam -3 DataLen 0\n"),
        std::string::npos)
        << output;
    EXPECT_NE(
        output.find("Unknown Zerrix command Command: Target 4 Com 9 Ident 65535 Ack 1 LParam -3 DataLen 0\n"),
        std::string::npos)
        << output;
    EXPECT_TRUE(driver.Events().empty());
}

TEST(Reconnect, ConnectEndsTheRunningConversationFirst)
{
    CSessionDriver driver(WithVersion("2.1.0"));
    ASSERT_TRUE(driver.ConnectAndWaitUntilReady("geheim"));
    driver.ClearEvents();
    ASSERT_TRUE(driver.ConnectAndWaitUntilReady("geheim"));
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
