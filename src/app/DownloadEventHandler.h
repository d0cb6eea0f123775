#pragma once

#include "protocol/EventRecords.h"

#include <cstdint>

// What a download does with the session's events, shared by the dialog and quorvel-fetch:
// DispatchEvent sorts an event to the handler of its type.
class CDownloadEventHandler
{
public:
    CDownloadEventHandler() = default;
    CDownloadEventHandler(const CDownloadEventHandler&) = delete;
    CDownloadEventHandler& operator=(const CDownloadEventHandler&) = delete;
    virtual ~CDownloadEventHandler() = default;

    // `latestRequestTimeMs` is the request time of the latest file request. A file's final progress
    // report is posted after the file itself, when the next file may already be requested: shown
    // then, it would carry the previous file's figures under the new name, so it is dropped. A report
    // without its request time counts as the latest request's; one without both numbers is dropped.
    void DispatchEvent(const uint8_t* event, int64_t latestRequestTimeMs);

    virtual void OnStatusEvent(int32_t code) = 0;
    virtual void OnLoginResult(int32_t code) = 0;
    virtual void OnDataEvent(int32_t code, const uint8_t* payload, int32_t length) = 0;
    virtual void OnProgressEvent(const SProgressRecord& progress) = 0;
};
