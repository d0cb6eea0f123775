#pragma once

#include "wire/CommandPacket.h"

#include <cstdint>

// The protocol's words, each named once: targets, commands, answer states (Ack), idents, the values
// a command's LParam carries, and item tags. The session, the transport's send queue, the recorder
// simulator and the tests take them from here. The tag of the item lists' end marker belongs to the
// list itself (CItemListReader::EndTag).

// A command by its Target and Com; Ident and LParam are chosen when it is sent.
struct SCommand
{
    uint16_t target;
    uint16_t com;

    // True for a packet of this command, whether the command itself or its answer.
    bool Matches(const CCommandPacket& header) const
    {
        return header.Target() == target && header.Com() == com;
    }
};

namespace Targets
{
// Connection supervision: the session time-out and the keep-alive.
constexpr uint16_t Supervision = 1;
// The recorder's clock; this program never sends to it but handles its answers.
constexpr uint16_t Clock = 3;
// Login, device information and files.
constexpr uint16_t Session = 4;
} // namespace Targets

namespace Commands
{
// LParam: the session time-out in seconds; with KeepAliveTimeout it is the keep-alive.
constexpr SCommand SessionTimeout{Targets::Supervision, 6};
// Data: the password with its NUL, or a login item list for newer recorders.
constexpr SCommand Login{Targets::Session, 1};
// LParam: the item asked for; the version request asks for Tags::DeviceVersion.
constexpr SCommand DeviceInformation{Targets::Session, 2};
// Its sending is reported as progress. This program never sends it.
constexpr SCommand ProgressReportedSend{Targets::Session, 5};
// Data: an item list with the remote path; the answer carries the file behind its item list.
constexpr SCommand FileRequest{Targets::Session, 6};
// The answer carries the recorder's local date and time.
constexpr SCommand RecorderTime{Targets::Clock, 4};
// Answers the recorder may send of its own; executed means nothing to report.
constexpr SCommand ClockConfirmation{Targets::Clock, 5};
// Answers the recorder may send of its own; executed is reported to the dialog.
constexpr SCommand TimeAcknowledgement{Targets::Clock, 7};
// Its answers use Ack 5 for something else: they are never a refusal to be resent.
constexpr SCommand DenyForeignExempt{2, 9};
} // namespace Commands

// Answer states; commands carry 0.
namespace Acks
{
constexpr uint16_t Executed = 1;
// Any value not named here means the same; this is the one the simulator refuses with.
constexpr uint16_t NotExecuted = 2;
// "Deny Foreign": the recorder refused the command for now; it is sent again.
constexpr uint16_t DenyForeign = 5;
// The file of a file request cannot be opened.
constexpr uint16_t CannotOpen = 10;
// The logged-in user may not use this command.
constexpr uint16_t NoRight = 27;
} // namespace Acks

// The recorder returns a command's Ident unchanged in its answer.
namespace Idents
{
constexpr uint16_t Plain = 0;
// A request of the device-information sequence; its answers are counted.
constexpr uint16_t DeviceInfoSequence = 1;
// The version request; its answer leads on to the login.
constexpr uint16_t VersionRequest = 2;
// In an answer: the command queued after the answered one is dropped unsent.
constexpr uint16_t DiscardNext = 6;
// The keep-alive; a date and time answer carrying it was not asked for.
constexpr uint16_t KeepAlive = 11;
} // namespace Idents

// What LParam carries.
namespace Parameters
{
constexpr int32_t None = 0;
// The session time-out that makes the keep-alive.
constexpr int32_t KeepAliveTimeout = 0;
// The session time-out announced after the login, in seconds.
constexpr int32_t SessionTimeoutSeconds = 3600;
// In a date and time answer: six 16-bit numbers; any other value: six bytes.
constexpr int32_t TimeInWords = 1;
// In a login answer, the user level granted; only the administrator may fetch files.
constexpr int32_t AdministratorLevel = 3;
} // namespace Parameters

namespace Tags
{
// Items of the device information. A device-information request names the one it asks for.
constexpr uint16_t DeviceFirstText = 1;
constexpr uint16_t DeviceSwitch = 2;
constexpr uint16_t DeviceThirdText = 3;
constexpr uint16_t DeviceVersion = 4;
// Items of a file request (the path) and of its answer (the path echoed, the size).
constexpr uint16_t FilePath = 1;
constexpr uint16_t FileSize = 2;
// Every item of a login list; its value starts with one of LoginKinds.
constexpr uint16_t Login = 2173;
} // namespace Tags

// The 16-bit number at the start of a login item's value.
namespace LoginKinds
{
constexpr uint16_t Password = 2;
constexpr uint16_t SecondText = 3;
} // namespace LoginKinds
