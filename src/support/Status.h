#pragma once

#include <cstdint>

// Where a status code comes from. The transport records its codes in the connection and the session
// posts them unchanged beside its own; the dialog posts one itself, and its status table knows a
// few that nothing in this program posts.
enum class EStatusSource
{
    Transport,
    Session,
    Dialog,
};

// Every status code that travels in a status event: name, number, source. This one list makes the
// enumeration and AllStatuses below, so that a check over every code cannot miss a new one.
#define QUORVEL_STATUS_CODES(STATUS)                                                                         \
    STATUS(NoMemory, 0, Transport)                                                                           \
    STATUS(Refused, 6, Transport)                                                                            \
    STATUS(Unreachable, 7, Transport)                                                                        \
    STATUS(TimedOut, 8, Transport)                                                                           \
    STATUS(SocketError, 9, Transport)                                                                        \
    STATUS(ClosedByPeer, 12, Transport)                                                                      \
    /* No failure recorded: repeated by the session after a failure, shown by nobody. */                     \
    STATUS(Idle, 64, Transport)                                                                              \
    /* No socket could be made. */                                                                           \
    STATUS(NoConnection, 5, Session)                                                                         \
    /* A socket error that has a text; the text is the payload. */                                           \
    STATUS(ConnectionError, 10, Session)                                                                     \
    /* The address is neither dotted nor a name that resolves. */                                            \
    STATUS(InvalidConnectData, 11, Session)                                                                  \
    /* The payload is the refused answer's header. */                                                        \
    STATUS(NotExecuted, 13, Session)                                                                         \
    STATUS(LoginRefused, 14, Session)                                                                        \
    STATUS(NoRight, 16, Session)                                                                             \
    STATUS(DeviceInfoRequested, 35, Session)                                                                 \
    STATUS(Connected, 36, Session)                                                                           \
    STATUS(FileCannotBeOpened, 39, Session)                                                                  \
    STATUS(Connecting, 32, Dialog)                                                                           \
    STATUS(UnknownTarget, 33, Dialog)                                                                        \
    STATUS(UnknownCommand, 34, Dialog)                                                                       \
    STATUS(Ready, 37, Dialog)                                                                                \
    STATUS(InternalError, 38, Dialog)                                                                        \
    STATUS(Message, 52, Dialog)                                                                              \
    STATUS(EndedByControl, 63, Dialog)

// The code of a status event.
enum class EStatus : int32_t
{
#define QUORVEL_STATUS_ENUMERATOR(name, code, source) name = code,
    QUORVEL_STATUS_CODES(QUORVEL_STATUS_ENUMERATOR)
#undef QUORVEL_STATUS_ENUMERATOR
};

struct SStatusCode
{
    EStatus status;
    EStatusSource source;
};

// Every code with its source, in the order of the list above.
constexpr SStatusCode AllStatuses[] = {
#define QUORVEL_STATUS_ENTRY(name, code, source) {EStatus::name, EStatusSource::source},
    QUORVEL_STATUS_CODES(QUORVEL_STATUS_ENTRY)
#undef QUORVEL_STATUS_ENTRY
};

// The number an event carries.
constexpr int32_t StatusCode(EStatus status)
{
    return static_cast<int32_t>(status);
}
