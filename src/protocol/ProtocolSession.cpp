#include "protocol/ProtocolSession.h"

#include "os/Clock.h"
#include "os/Sockets.h"
#include "protocol/EventQueue.h"
#include "support/Diagnostics.h"
#include "support/LittleEndian.h"
#include "support/TextCodec.h"
#include "wire/ItemListReader.h"
#include "wire/ItemListWriter.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

namespace
{

// From this version code on the recorder expects the login as an item list.
constexpr int32_t kItemListLoginVersion = 6;
// From this version code on the session time-out belongs to the device-information sequence.
constexpr int32_t kSessionTimeoutVersion = 2;
constexpr int kDisconnectPasses = 41;
constexpr int kDisconnectSleepMs = 5;

// Stores the text in the recorder's code page, cut to what the fixed field holds.
void StoreCredential(char (&field)[CProtocolSession::MaxCredentialLength + 1], const char* text)
{
    const std::string converted = CTextCodec::Utf8ToWindows1252(text, CProtocolSession::MaxCredentialLength);
    std::memcpy(field, converted.c_str(), converted.size() + 1);
}

// Adds a login item: the 16-bit kind, then the text with its NUL.
bool AddLoginItem(CItemListWriter& list, uint16_t kind, const char* text)
{
    uint8_t value[2 + CProtocolSession::MaxCredentialLength + 1];
    const size_t textLength = std::strlen(text);
    WriteUint16LE(value, kind);
    std::memcpy(value + 2, text, textLength + 1);
    return list.Add(Tags::Login, static_cast<uint16_t>(textLength + 3), value);
}

} // namespace

CProtocolSession::CProtocolSession() : m_disconnectPause(os::SleepMilliseconds)
{
    Reset();
}

CProtocolSession::~CProtocolSession()
{
    // The dialog's queue may already be gone when the session is destroyed; a farewell nobody
    // reads must not be posted into freed memory.
    m_eventQueue = nullptr;
    Disconnect();
}

bool CProtocolSession::CompactBuffers()
{
    const bool sendCompacted = m_connection.SendQueue().Compact();
    const bool receiveCompacted = m_connection.ReceiveAssembler().Compact();
    return sendCompacted && receiveCompacted;
}

bool CProtocolSession::HasUnsentData()
{
    return m_connection.SendQueue().BufferedBytes() > 0;
}

void CProtocolSession::Reset()
{
    m_pendingInfoAnswers = 0;
    m_sessionTimeout = Parameters::SessionTimeoutSeconds;
    m_keepAliveIdle = 60;
    m_lastProgressMs = 0;
    m_fileRequestsOutstanding = 0;
    m_fileAnswer = EFileAnswer::NotYetSeen;
    m_deviceInfoComplete = false;
    m_loggedIn = false;
    // Every conversation starts from the same assumption, not from the last recorder's version.
    m_versionCode = CDeviceInfo::DefaultVersionCode;
    m_connection.MarkTime(true);
    m_connection.MarkTime(false);
}

bool CProtocolSession::Post(int32_t type, int32_t code, int32_t length, const void* payload)
{
    return m_eventQueue != nullptr && m_eventQueue->Post(type, code, length, payload);
}

void CProtocolSession::PostStatus(EStatus status)
{
    Post(StatusEvent, StatusCode(status), 0, nullptr);
}

void CProtocolSession::PostStatusWithValue(EStatus status, int32_t value)
{
    const auto payload = SValueRecord{value}.Encode();
    Post(StatusEvent, StatusCode(status), SValueRecord::Size, payload.data());
}

bool CProtocolSession::ReportConnectionError()
{
    const int32_t error = m_connection.LastError();
    const EStatus status = m_connection.Status();
    const char* text = status == EStatus::SocketError ? ConnectionErrorText(error) : nullptr;
    if (text != nullptr)
        Post(StatusEvent, StatusCode(EStatus::ConnectionError), static_cast<int32_t>(std::strlen(text) + 1),
             text);
    else
        PostStatusWithValue(status, error);
    return false;
}

bool CProtocolSession::Connect(const char* address, const char* password, const char* secondCredential,
                               CEventQueue* events)
{
    Disconnect();
    m_connection.ResetStatus();
    m_eventQueue = events;
    StoreCredential(m_password, password != nullptr ? password : "");
    StoreCredential(m_secondCredential, secondCredential != nullptr ? secondCredential : "");

    // The transport records no status for failures at this point; each is posted here once, with
    // a code the dialog shows, and the connection is closed so that later ticks repeat it only as
    // the invisible idle status.
    if (!m_connection.Create())
    {
        PostStatusWithValue(EStatus::NoConnection, m_connection.LastError());
        return false;
    }
    if (!m_connection.Connect(address != nullptr ? address : "", m_port))
    {
        const int32_t error = m_connection.LastError();
        if (error == 0)
        {
            // Neither a dotted address nor a name that resolves.
            m_connection.Disconnect();
            PostStatusWithValue(EStatus::InvalidConnectData, 0);
        }
        else
        {
            // Treated like a failure the poller would have delivered: the transport's status.
            m_connection.OnError(error);
            ReportConnectionError();
            m_connection.Disconnect();
        }
        return false;
    }
    // The version item is asked for alone, and the recorder answers with all its items.
    return SendCommand(Commands::DeviceInformation, Idents::VersionRequest, Tags::DeviceVersion);
}

bool CProtocolSession::SendCommand(const SCommand& command, uint16_t ident, int32_t lParam, const void* data,
                                   int32_t length)
{
    CCommandPacket header;
    header.Set(command.target, command.com, ident, lParam, length);
    if (!m_connection.QueuePacket(header, data, length))
    {
        // Reported once: the conversation cannot go on without the command, and a closed
        // connection leaves no status for the next Step to report again.
        ReportConnectionError();
        m_connection.Disconnect();
        return false;
    }
    return true;
}

bool CProtocolSession::SendLogin()
{
    if (m_versionCode < kItemListLoginVersion)
    {
        const int32_t length = static_cast<int32_t>(std::strlen(m_password) + 1);
        return SendCommand(Commands::Login, Idents::Plain, Parameters::None, m_password, length);
    }

    CItemListWriter list;
    bool built = AddLoginItem(list, LoginKinds::Password, m_password);
    if (built && m_secondCredential[0] != '\0')
        built = AddLoginItem(list, LoginKinds::SecondText, m_secondCredential);
    if (!built)
    {
        // The writer failed for want of memory; the connection has no status for that yet.
        list.Free();
        PostStatusWithValue(EStatus::NoMemory, m_connection.LastError());
        return false;
    }
    const bool queued =
        SendCommand(Commands::Login, Idents::Plain, Parameters::None, list.Data(), list.Length());
    list.Free();
    return queued;
}

bool CProtocolSession::RequestDeviceInfo()
{
    static const struct
    {
        int32_t minimumVersion;
        SCommand command;
        bool sessionTimeout; // LParam is the session time-out rather than an item
        uint16_t item;
    } kSequence[] = {
        {0, Commands::DeviceInformation, false, Tags::DeviceSwitch},
        {0, Commands::DeviceInformation, false, Tags::DeviceFirstText},
        {0, Commands::DeviceInformation, false, Tags::DeviceThirdText},
        {kSessionTimeoutVersion, Commands::SessionTimeout, true, 0},
    };

    m_pendingInfoAnswers = 0;
    for (const auto& row : kSequence)
    {
        if (m_versionCode < row.minimumVersion)
            continue;
        const int32_t lParam = row.sessionTimeout ? m_sessionTimeout : row.item;
        if (!SendCommand(row.command, Idents::DeviceInfoSequence, lParam))
            return false;
        ++m_pendingInfoAnswers;
    }
    return true;
}

bool CProtocolSession::ParseDeviceInfo(const CCommandPacket& header)
{
    static const uint16_t kAcceptedTags[] = {Tags::DeviceFirstText, Tags::DeviceSwitch, Tags::DeviceThirdText,
                                             Tags::DeviceVersion};
    CItemListReader reader;
    if (!reader.Open(m_connection.CurrentPayload(), header.DataLen(), kAcceptedTags,
                     static_cast<int>(std::size(kAcceptedTags))))
        return false;

    bool executed = true;
    for (; reader.Tag() != CItemListReader::EndTag; reader.Next())
    {
        const uint8_t* value = reader.Value();
        const int32_t length = reader.Length();
        switch (reader.Tag())
        {
        case Tags::DeviceFirstText:
            m_deviceInfo.SetFirstText(value, length);
            break;
        case Tags::DeviceThirdText:
            m_deviceInfo.SetThirdText(value, length);
            break;
        case Tags::DeviceSwitch:
        {
            // Nothing uses the switch; a value shorter than its 16 bits reads as far as it goes.
            uint8_t bits[2] = {};
            if (length > 0)
                std::memcpy(bits, value, std::min(static_cast<size_t>(length), sizeof bits));
            m_deviceInfo.SetSwitch(ReadUint16LE(bits) != 0);
            break;
        }
        case Tags::DeviceVersion:
        {
            switch (CDeviceInfo::VersionCodeFromText(value, length, m_versionCode))
            {
            case CDeviceInfo::VersionParse::Malformed:
                return false;
            case CDeviceInfo::VersionParse::BelowThresholds:
                executed = false;
                break;
            case CDeviceInfo::VersionParse::Parsed:
                break;
            }
            m_deviceInfo.SetVersionCode(m_versionCode);
            m_deviceInfo.SetVersionText(value, length);
            Diagnostic("RQX Protocol Version: %s\n", m_deviceInfo.VersionText());
            break;
        }
        default:
            break;
        }
    }
    return executed;
}

bool CProtocolSession::CheckIdleConnection()
{
    if (m_connection.SecondsSinceLastSend() <= m_keepAliveIdle)
        return true;
    CSendQueue& queue = m_connection.SendQueue();
    if (queue.BufferedBytes() == 0 && queue.IsReady())
    {
        if (!SendCommand(Commands::SessionTimeout, Idents::KeepAlive, Parameters::KeepAliveTimeout))
            return false;
        m_connection.MarkTime(false);
    }
    else if (m_connection.SecondsSinceLastSend() > m_sessionTimeout / 2)
    {
        // The answer is not coming any more; give up on it so that the rest of the queue can go.
        if (queue.BufferedBytes() > 0 && !queue.IsReady())
            queue.FinishCurrent();
        m_connection.MarkTime(false);
    }
    return true;
}

bool CProtocolSession::Step()
{
    if (m_connection.IsOpen() && !m_connection.IsConnecting() && !CheckIdleConnection())
        return false;

    // A send that would block is not a failure: the transport keeps its code as the last error,
    // but the connection is fine and the rest goes out on the next writable event. A receive buffer
    // that could not grow leaves no socket error, only the status.
    const int32_t error = m_connection.LastError();
    if ((error != 0 && !(error == os::ErrorWouldBlock && m_connection.IsOpen())) ||
        m_connection.Status() == EStatus::NoMemory)
    {
        ReportConnectionError();
        m_connection.Disconnect();
        m_fileAnswer = EFileAnswer::NotYetSeen;
        return false;
    }

    bool result = true;
    while (m_connection.HasCompletePacket())
    {
        if (!ProcessAnswer())
            result = false;
        ReportProgress();
        // A file answer may have asked for more data; it then stays until the rest has arrived.
        if (m_connection.HasCompletePacket())
        {
            m_connection.FinishReceivedPacket();
            m_fileAnswer = EFileAnswer::NotYetSeen;
        }
    }
    ReportProgress();
    return result;
}

void CProtocolSession::Disconnect()
{
    if (!m_connection.IsConnecting())
    {
        // Lets answers that have already arrived be handled; no socket I/O happens here.
        for (int pass = 0; pass < kDisconnectPasses; ++pass)
        {
            if (m_connection.SendQueue().BufferedBytes() == 0 || !Step())
                break;
            if (m_disconnectPause)
                m_disconnectPause(kDisconnectSleepMs);
        }
    }
    m_connection.Disconnect();
    m_deviceInfo.Clear();
    Reset();
}
