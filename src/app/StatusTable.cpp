#include "app/StatusTable.h"

namespace
{

using EClass = CStatusTable::EClass;
using EFailure = EDownloadFailure;

const CStatusTable::SRow Rows[] = {
    {EStatus::NoMemory, "Kein Speicher mehr verfügbar!", EClass::Fatal, EFailure::Other},
    {EStatus::NoConnection, "Es besteht keine Verbindung!", EClass::Fatal, EFailure::Connection},
    {EStatus::Refused, "Verbindungsanfrage wurde abgelehnt!", EClass::Fatal, EFailure::Connection},
    {EStatus::Unreachable, "Auf das Netzwerk kann nicht zugegriffen werden!", EClass::Fatal,
     EFailure::Connection},
    {EStatus::TimedOut, "Es konnte keine Verbindung aufgebaut werden!", EClass::Fatal, EFailure::Connection},
    {EStatus::SocketError, "Unbekannter Fehler bei der Socket-Verbindung.", EClass::Fatal,
     EFailure::Connection},
    {EStatus::ConnectionError, "Es ist ein Verbindungsfehler aufgetreten!", EClass::Fatal,
     EFailure::Connection},
    {EStatus::InvalidConnectData, "Ungültige Daten für Verbindung!", EClass::Fatal, EFailure::Connection},
    {EStatus::ClosedByPeer, "Verbindung wurde beendet.", EClass::Fatal, EFailure::Connection},
    {EStatus::NotExecuted, "Protokoll-Befehl wurde nicht ausgeführt.", EClass::Fatal, EFailure::Protocol},
    {EStatus::LoginRefused, "Zugriff auf das System nicht erlaubt.", EClass::Fatal, EFailure::Login},
    {EStatus::NoRight, "Der Zugriff auf das System ist für den angemeldeten Benutzer nicht gestattet.",
     EClass::Fatal, EFailure::Login},
    {EStatus::Connecting, "Verbindungsaufbau...", EClass::Information, EFailure::None},
    {EStatus::DeviceInfoRequested, "Verbindung besteht. Die Gerätedaten werden ermittelt.",
     EClass::Information, EFailure::None},
    {EStatus::Connected, "Verbindung besteht.", EClass::Information, EFailure::None},
    {EStatus::UnknownTarget, "Unbekanntes Zerrix-Ziel!", EClass::Question, EFailure::Protocol},
    {EStatus::UnknownCommand, "Unbekanntes Zerrix-Commando!", EClass::Question, EFailure::Protocol},
    {EStatus::Ready, "Bereit.", EClass::Information, EFailure::None},
    {EStatus::InternalError, "Interner Fehler: Kommando kann nicht ausgeführt werden!", EClass::Question,
     EFailure::Protocol},
    {EStatus::FileCannotBeOpened, "Öffnen des Files schlug fehl!", EClass::Question, EFailure::FileMissing},
    {EStatus::EndedByControl, "Die Verbindung wurde kontrolliert beendet.", EClass::Information,
     EFailure::None},
    {EStatus::Message, "Meldung", EClass::Information, EFailure::None},
    // The session repeats a reported failure with it on every later tick.
    {EStatus::Idle, nullptr, EClass::Silent, EFailure::None},
};

} // namespace

const CStatusTable::SRow* CStatusTable::Find(int32_t code)
{
    for (const SRow& row : Rows)
    {
        if (StatusCode(row.status) == code)
            return &row;
    }
    return nullptr;
}
