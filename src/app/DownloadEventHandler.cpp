#include "app/DownloadEventHandler.h"

#include "protocol/EventQueue.h"

void CDownloadEventHandler::DispatchEvent(const uint8_t* event, int64_t latestRequestTimeMs)
{
    if (event == nullptr)
        return;
    switch (CEventQueue::EventType(event))
    {
    case StatusEvent:
        OnStatusEvent(CEventQueue::EventCode(event));
        break;
    case LoginResultEvent:
        OnLoginResult(CEventQueue::EventCode(event));
        break;
    case DataEvent:
        OnDataEvent(CEventQueue::EventCode(event), CEventQueue::EventPayload(event),
                    CEventQueue::EventLength(event));
        break;
    case ProgressEvent:
    {
        SProgressRecord progress;
        progress.requestTimeMs = latestRequestTimeMs;
        if (SProgressRecord::Decode(CEventQueue::EventPayload(event), CEventQueue::EventLength(event),
                                    progress) &&
            progress.requestTimeMs >= latestRequestTimeMs)
            OnProgressEvent(progress);
        break;
    }
    default:
        break;
    }
}
