#include "protocol/EventQueue.h"
#include "protocol/ProtocolSession.h"
#include "support/LittleEndian.h"
#include "support/TextTranslator.h"
#include "support/TimeStamp.h"

#include <cstdio>

namespace
{

constexpr uint16_t kAckExecuted = 1;
constexpr uint16_t kAckDenyForeign = 5;
constexpr uint16_t kAckNoRight = 27;

constexpr uint16_t kIdentDeviceInfoSequence = 1;
constexpr uint16_t kIdentVersionRequest = 2;
constexpr uint16_t kIdentKeepAlive = 11;

// Answers of the recorder's date and time: six 16-bit fields with LParam 1, else six bytes.
constexpr int32_t kWordTimeLayout = 1;
constexpr int32_t kWordTimeLength = 12;
constexpr int32_t kByteTimeLength = 6;

} // namespace

bool CProtocolSession::ProcessAnswer()
{
    const CCommandPacket* current = m_connection.CurrentHeader();
    if (current == nullptr)
        return true;
    // A copy: the file transfer may extend the held header while it is being handled.
    const CCommandPacket header = *current;

    // Target 2 Com 9 uses Ack 5 for something else: it is never a refusal to be resent.
    const bool resendExempt = header.Target() == 2 && header.Com() == 9;
    if (header.Ack() == kAckDenyForeign && !resendExempt && m_connection.SendQueue().MatchesAnswer(header))
    {
        m_connection.ResendCurrent();
        std::printf("--> Deny Foreign: Resending Command\n");
        std::fflush(stdout);
        return true;
    }
    if (header.Ack() == kAckNoRight)
    {
        Post(StatusEvent, StatusNoRight, 0, nullptr);
        return false;
    }

    bool result = true;
    switch (header.Target())
    {
    case 1:
        result = HandleTarget1Answer(header);
        break;
    case 3:
        result = HandleTarget3Answer(header);
        break;
    case 4:
        result = HandleTarget4Answer(header);
        break;
    default:
        ReportUnknown(UnknownKind::Target, header);
        break;
    }
    if (!result)
        return false;

    if (header.Ident() == kIdentDeviceInfoSequence)
    {
        --m_pendingInfoAnswers;
        if (m_pendingInfoAnswers == 0)
            result = OnDeviceInfoComplete();
    }
    return result;
}

bool CProtocolSession::HandleTarget1Answer(const CCommandPacket& header)
{
    if (header.Com() != 6)
    {
        ReportUnknown(UnknownKind::Command, header);
        return true;
    }
    if (header.Ack() == kAckExecuted)
        return true;
    PostNotExecuted(header);
    return false;
}

bool CProtocolSession::ReadRecorderTime(const CCommandPacket& header, int64_t& milliseconds) const
{
    const uint8_t* data = m_connection.CurrentPayload();
    const bool words = header.LParam() == kWordTimeLayout;
    if (data == nullptr || header.DataLen() < (words ? kWordTimeLength : kByteTimeLength))
        return false;

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
    CTimeStamp time;
    time.SetLocal(day, month, year, hour, minute, second, 0);
    milliseconds = time.GetMilliseconds();
    return true;
}

bool CProtocolSession::HandleTarget3Answer(const CCommandPacket& header)
{
    const bool executed = header.Ack() == kAckExecuted;
    switch (header.Com())
    {
    case 4:
    {
        if (!executed)
        {
            PostNotExecuted(header);
            break;
        }
        // Our own keep-alive traffic may draw the time; nobody asked for it then.
        if (header.Ident() == kIdentKeepAlive)
            break;
        int64_t milliseconds = 0;
        if (!ReadRecorderTime(header, milliseconds))
        {
            PostNotExecuted(header);
            break;
        }
        uint8_t payload[8];
        WriteUint32LE(payload, static_cast<uint32_t>(milliseconds));
        WriteUint32LE(payload + 4, static_cast<uint32_t>(static_cast<uint64_t>(milliseconds) >> 32));
        Post(DataEvent, DataRecorderTime, sizeof payload, payload);
        break;
    }
    case 5:
        if (!executed)
            PostNotExecuted(header);
        break;
    case 7:
        if (executed)
        {
            uint8_t payload[4];
            WriteInt32LE(payload, 10);
            Post(DataEvent, DataTimeAcknowledged, sizeof payload, payload);
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

bool CProtocolSession::HandleTarget4Answer(const CCommandPacket& header)
{
    switch (header.Com())
    {
    case 1:
        if (header.Ack() != kAckExecuted)
        {
            Post(StatusEvent, StatusLoginRefused, 0, nullptr);
            return false;
        }
        m_loggedIn = true;
        Post(LoginResultEvent, header.LParam(), 0, nullptr);
        if (!RequestDeviceInfo())
            return false;
        Post(StatusEvent, StatusDeviceInfoRequested, 0, nullptr);
        return true;
    case 2:
        if (header.Ack() != kAckExecuted || !ParseDeviceInfo(header))
        {
            PostNotExecuted(header);
            return false;
        }
        if (header.Ident() == kIdentVersionRequest)
            return SendLogin();
        return true;
    case 6:
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
    Post(StatusEvent, StatusConnected, 0, nullptr);
    return true;
}

void CProtocolSession::ReportUnknown(UnknownKind kind, const CCommandPacket& header)
{
    const char* format = g_translator.Translate(
        "Unbekanntes Zerrix Kommando %s: Target %d Com %d Ident %d Ack %d LParam %d DataLen %d");
    std::printf(format, kind == UnknownKind::Target ? "Target" : "Command", header.Target(), header.Com(),
                header.Ident(), header.Ack(), header.LParam(), header.DataLen());
    std::printf("\n");
    std::fflush(stdout);
}

void CProtocolSession::PostNotExecuted(const CCommandPacket& header)
{
    uint8_t payload[CCommandPacket::HeaderSize()];
    header.WriteTo(payload);
    Post(StatusEvent, StatusNotExecuted, sizeof payload, payload);
}
