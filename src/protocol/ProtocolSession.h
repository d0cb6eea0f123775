#pragma once

#include "net/SocketConnection.h"
#include "protocol/DeviceInfo.h"
#include "protocol/EventRecords.h"
#include "support/Status.h"
#include "wire/CommandPacket.h"
#include "wire/Commands.h"

#include <cstdint>
#include <functional>
#include <utility>

class CEventQueue;

// This program's side of one conversation with one recorder: connects, asks for the protocol
// version, logs in, reads the device information, keeps an idle connection alive, fetches files,
// and reports everything as events into the dialog's queue. It never calls the dialog; the dialog
// drives it with Step on every timer tick, after the poller has moved the bytes.
class CProtocolSession
{
public:
    // Codes of data and progress events; their payloads are the records of EventRecords.h.
    static constexpr int32_t DataRecorderTime = 0;     // STimeRecord
    static constexpr int32_t DataFile = 1;             // the file's bytes
    static constexpr int32_t DataTimeAcknowledged = 3; // SValueRecord
    static constexpr int32_t ProgressReceiving = 0;    // SProgressRecord
    static constexpr int32_t ProgressSending = 1;      // SProgressRecord

    static constexpr int RecorderPort = 30000;
    // Password and second login text are cut to this many bytes of their wire encoding.
    static constexpr int MaxCredentialLength = 63;
    static constexpr int32_t ProgressIntervalMs = 500;

    // Waits the given number of milliseconds (the real sleep unless another is set).
    using Pause = std::function<void(int milliseconds)>;

    CProtocolSession();
    CProtocolSession(const CProtocolSession&) = delete;
    CProtocolSession& operator=(const CProtocolSession&) = delete;
    virtual ~CProtocolSession();

    // Shrinks the connection's buffers to their contents; true when both could be.
    virtual bool CompactBuffers();
    // True while the send queue holds any bytes.
    virtual bool HasUnsentData();

    // For registration with the poller, once, before any socket exists.
    CSocketConnection& Connection() { return m_connection; }

    // Ends any earlier conversation, then starts connecting and queues the version request. On
    // false the failure has been posted as a status event already.
    bool Connect(const char* address, const char* password, const char* secondCredential,
                 CEventQueue* events);
    // One timer tick; false when an answer was refused or a failure was reported.
    bool Step();
    // Queues a command with Ack 0, its fields in the order of CCommandPacket::Set. On false the
    // failure has been posted.
    bool SendCommand(const SCommand& command, uint16_t ident, int32_t lParam, const void* data = nullptr,
                     int32_t length = 0);
    // Queues the request for one file (UTF-8 path). The outcome arrives as events.
    bool RequestFile(const char* remotePath);
    // Ends the conversation; safe at any time, also repeatedly.
    void Disconnect();
    void Reset();
    // Posts the connection's current failure; always false.
    bool ReportConnectionError();

    // The recorder's command port is fixed; a simulator on a free port needs another.
    void SetPort(int port) { m_port = port; }
    // Disconnect sleeps between its passes; tests and fuzzers need not. An empty pause does not wait.
    void SetDisconnectPause(Pause pause) { m_disconnectPause = std::move(pause); }

    // State, for diagnostics and tests.
    bool IsLoggedIn() const { return m_loggedIn; }
    bool IsDeviceInfoComplete() const { return m_deviceInfoComplete; }
    int32_t VersionCode() const { return m_versionCode; }
    int32_t PendingInfoAnswers() const { return m_pendingInfoAnswers; }
    const CDeviceInfo& DeviceInfo() const { return m_deviceInfo; }
    const SProgressRecord& Progress() const { return m_progress; }

private:
    enum class UnknownKind
    {
        Target,
        Command,
    };

    // Whether the file answer being received is one that a file request asked for.
    enum class EFileAnswer
    {
        NotYetSeen,
        Requested,
        Unrequested,
    };

    // Conversation (ProtocolSession.cpp).
    bool SendLogin();
    bool RequestDeviceInfo();
    bool ParseDeviceInfo(const CCommandPacket& header);
    // Keep-alive after a minute without sending, and the give-up on an answer that never comes.
    // False when the keep-alive could not be queued.
    bool CheckIdleConnection();
    // False when the event could not be posted.
    bool Post(int32_t type, int32_t code, int32_t length, const void* payload);
    void PostStatus(EStatus status);
    void PostStatusWithValue(EStatus status, int32_t value);

    // Answers (AnswerProcessing.cpp).
    bool ProcessAnswer();
    bool HandleSupervisionAnswer(const CCommandPacket& header);
    bool HandleClockAnswer(const CCommandPacket& header);
    bool HandleSessionAnswer(const CCommandPacket& header);
    bool OnDeviceInfoComplete();
    void ReportUnknown(UnknownKind kind, const CCommandPacket& header);
    void PostNotExecuted(const CCommandPacket& header);
    // The recorder's local date and time from its answer, in milliseconds since 1601 UTC.
    int64_t ReadRecorderTime(const CCommandPacket& header) const;

    // File transfer (FileTransfer.cpp).
    void HandleFileAnswer(const CCommandPacket& header);
    // The complete file answer's `size` bytes at `fileStart` go to the dialog, unless nobody asked.
    void DeliverFile(int32_t fileStart, int32_t size);
    void ReportProgress();
    void PostProgress(int32_t code);

    CSocketConnection m_connection;
    CDeviceInfo m_deviceInfo;
    bool m_deviceInfoComplete = false;
    CEventQueue* m_eventQueue = nullptr;
    bool m_loggedIn = false;
    char m_password[MaxCredentialLength + 1] = {};
    char m_secondCredential[MaxCredentialLength + 1] = {};
    int32_t m_versionCode = CDeviceInfo::DefaultVersionCode;
    int32_t m_pendingInfoAnswers = 0;
    int32_t m_sessionTimeout = Parameters::SessionTimeoutSeconds;
    int32_t m_keepAliveIdle = 60;
    int64_t m_lastProgressMs = 0;
    // File requests queued and not yet answered, and what the file answer being received is.
    int32_t m_fileRequestsOutstanding = 0;
    EFileAnswer m_fileAnswer = EFileAnswer::NotYetSeen;
    SProgressRecord m_progress;
    int m_port = RecorderPort;
    Pause m_disconnectPause;
};
