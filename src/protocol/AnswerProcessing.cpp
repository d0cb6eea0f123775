#include "protocol/EventQueue.h"
#include "protocol/ProtocolSession.h"
#include "support/Diagnostics.h"
#include "support/LittleEndian.h"
#include "support/RefString.h"
#include "support/TextTranslator.h"
#include "support/TimeStamp.h"

#include <algorithm>
#include <cstring>

namespace
{

// Lengths of the recorder's date and time: six 16-bit fields or six bytes.
constexpr int32_t kWordTimeLength = 12;
constexpr int32_t kByteTimeLength = 6;
// What an acknowledged time reports.
constexpr int32_t kTimeAcknowledgedValue = 10;

} // namespace

bool CProtocolSession::ProcessAnswer()
{
    const CCommandPacket* current = m_connection.CurrentHeader();
    if (current == nullptr)
        return true;
    // A copy: the file transfer may extend the held header while it is being handled.
    const CCommandPacket header = *current;

    if (header.Ack() == Acks::DenyForeign && !Commands::DenyForeignExempt.Matches(header) &&
        m_connection.SendQueue().MatchesAnswer(header))
    {
        m_connection.ResendCurrent();
        Diagnostic("--> Deny Foreign: Resending Command\n");
        return true;
    }
    if (header.Ack() == Acks::NoRight)
    {
        PostStatus(EStatus::NoRight);
        return false;
    }

    bool result = true;
    switch (header.Target())
    {
    case Targets::Supervision:
        result = HandleSupervisionAnswer(header);
        break;
    case Targets::Clock:
        result = HandleClockAnswer(header);
        break;
    case Targets::Session:
        result = HandleSessionAnswer(header);
        break;
    default:
        ReportUnknown(UnknownKind::Target, header);
        break;
    }
    if (!result)
        return false;

    if (header.Ident() == Idents::DeviceInfoSequence)
    {
        --m_pendingInfoAnswers;
        if (m_pendingInfoAnswers == 0)
            result = OnDeviceInfoComplete();
    }
    return result;
}

bool CProtocolSession::HandleSupervisionAnswer(const CCommandPacket& header)
{
    if (!Commands::SessionTimeout.Matches(header))
    {
        ReportUnknown(UnknownKind::Command, header);
        return true;
    }
    if (header.Ack() == Acks::Executed)
        return true;
    PostNotExecuted(header);
    return false;
}

int64_t CProtocolSession::ReadRecorderTime(const CCommandPacket& header) const
{
    // An answer shorter than its layout is read as far as it goes, the missing bytes as 0: the time
    // is only passed on, and a short one must not stop a download.
    const bool words = header.LParam() == Parameters::TimeInWords;
    uint8_t data[kWordTimeLength] = {};
    const int32_t available = std::min(header.DataLen(), words ? kWordTimeLength : kByteTimeLength);
    if (available > 0 && m_connection.CurrentPayload() != nullptr)
        std::memcpy(data, m_connection.CurrentPayload(), static_cast<size_t>(available));

    int day, month, year, hour, minute, second;
    if (words)
    {
        day = ReadUint16LE(data);
        month = ReadUint16LE(data + 2);
        year = ReadUint16LE(data + 4);
        hour = ReadUint16LE(data + 6);
        minute = ReadUint16LE(data + 8);
        second = ReadUint16LE(data + 10);
    }
    else
    {
        hour = data[0];
        minute = data[1];
        day = data[2];
        month = data[3];
        year = data[4] + 1900;
        second = data[5];
    }
    // Impossible fields (a month of 0, say) give the time 0.
    CTimeStamp time;
    time.SetLocal(day, month, year, hour, minute, second, 0);
    return time.GetMilliseconds();
}

bool CProtocolSession::HandleClockAnswer(const CCommandPacket& header)
{
    const bool executed = header.Ack() == Acks::Executed;
    switch (header.Com())
    {
    case Commands::RecorderTime.com:
    {
        if (!executed)
        {
            PostNotExecuted(header);
            break;
        }
        // Our own keep-alive traffic may draw the time; nobody asked for it then.
        if (header.Ident() == Idents::KeepAlive)
            break;
        const auto payload = STimeRecord{ReadRecorderTime(header)}.Encode();
        Post(DataEvent, DataRecorderTime, STimeRecord::Size, payload.data());
        break;
    }
    case Commands::ClockConfirmation.com:
        if (!executed)
            PostNotExecuted(header);
        break;
    case Commands::TimeAcknowledgement.com:
        if (executed)
        {
            const auto payload = SValueRecord{kTimeAcknowledgedValue}.Encode();
            Post(DataEvent, DataTimeAcknowledged, SValueRecord::Size, payload.data());
        }
        else
        {
            PostNotExecuted(header);
        }
        break;
    default:
        ReportUnknown(UnknownKind::Command, header);
        break;
    }
    return true;
}

bool CProtocolSession::HandleSessionAnswer(const CCommandPacket& header)
{
    switch (header.Com())
    {
    case Commands::Login.com:
        if (header.Ack() != Acks::Executed)
        {
            PostStatus(EStatus::LoginRefused);
            return false;
        }
        m_loggedIn = true;
        m_deviceInfo.SetUserLevel(header.LParam());
        // The user level; the dialog decides whether it is enough.
        Post(LoginResultEvent, header.LParam(), 0, nullptr);
        if (!RequestDeviceInfo())
            return false;
        PostStatus(EStatus::DeviceInfoRequested);
        return true;
    case Commands::DeviceInformation.com:
        if (header.Ack() != Acks::Executed || !ParseDeviceInfo(header))
        {
            PostNotExecuted(header);
            return false;
        }
        if (header.Ident() == Idents::VersionRequest)
            return SendLogin();
        return true;
    case Commands::FileRequest.com:
        HandleFileAnswer(header);
        return true;
    default:
        ReportUnknown(UnknownKind::Command, header);
        return true;
    }
}

bool CProtocolSession::OnDeviceInfoComplete()
{
    m_deviceInfoComplete = true;
    PostStatus(EStatus::Connected);
    return true;
}

void CProtocolSession::ReportUnknown(UnknownKind kind, const CCommandPacket& header)
{
    CRefString line;
    line.Format(g_translator.Translate(
                    "Unbekanntes Zerrix Kommando %s: Target %d Com %d Ident %d Ack %d LParam %d DataLen %d"),
                kind == UnknownKind::Target ? "Target" : "Command", header.Target(), header.Com(),
                header.Ident(), header.Ack(), header.LParam(), header.DataLen());
    Diagnostic("%s\n", line.GetText());
}

void CProtocolSession::PostNotExecuted(const CCommandPacket& header)
{
    uint8_t payload[CCommandPacket::HeaderSize()];
    header.WriteTo(payload);
    Post(StatusEvent, StatusCode(EStatus::NotExecuted), sizeof payload, payload);
}
