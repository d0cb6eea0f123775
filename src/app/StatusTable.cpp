#include "app/StatusTable.h"

namespace
{

using EClass = CStatusTable::EClass;

const CStatusTable::SRow Rows[] = {
    {EStatus::NoMemory, "Kein Speicher mehr verfügbar!", EClass::Fatal},
    {EStatus::NoConnection, "Es besteht keine Verbindung!", EClass::Fatal},
    {EStatus::Refused, "Verbindungsanfrage wurde abgelehnt!", EClass::Fatal},
    {EStatus::Unreachable, "Auf das Netzwerk kann nicht zugegriffen werden!", EClass::Fatal},
    {EStatus::TimedOut, "Es konnte keine Verbindung aufgebaut werden!", EClass::Fatal},
    {EStatus::SocketError, "Unbekannter Fehler bei der Socket-Verbindung.", EClass::Fatal},
    {EStatus::ConnectionError, "Es ist ein Verbindungsfehler aufgetreten!", EClass::Fatal},
    {EStatus::InvalidConnectData, "Ungültige Daten für Verbindung!", EClass::Fatal},
    {EStatus::ClosedByPeer, "Verbindung wurde beendet.", EClass::Fatal},
    {EStatus::NotExecuted, "Protokoll-Befehl wurde nicht ausgeführt.", EClass::Fatal},
    {EStatus::LoginRefused, "Zugriff auf das System nicht erlaubt.", EClass::Fatal},
    {EStatus::NoRight, "Der Zugriff auf das System ist für den angemeldeten Benutzer nicht gestattet.",
     EClass::Fatal},
    {EStatus::Connecting, "Verbindungsaufbau...", EClass::Information},
    {EStatus::DeviceInfoRequested, "Verbindung besteht. Die Gerätedaten werden ermittelt.",
     EClass::Information},
    {EStatus::Connected, "Verbindung besteht.", EClass::Information},
    {EStatus::UnknownTarget, "Unbekanntes Zerrix-Ziel!", EClass::Question},
    {EStatus::UnknownCommand, "Unbekanntes Zerrix-Commando!", EClass::Question},
    {EStatus::Ready, "Bereit.", EClass::Information},
    {EStatus::InternalError, "Interner Fehler: Kommando kann nicht ausgeführt werden!", EClass::Question},
    {EStatus::FileCannotBeOpened, "Öffnen des Files schlug fehl!", EClass::Question},
    {EStatus::EndedByControl, "Die Verbindung wurde kontrolliert beendet.", EClass::Information},
    {EStatus::Message, "Meldung", EClass::Information},
    // The session repeats a reported failure with it on every later tick.
    {EStatus::Idle, nullptr, EClass::Silent},
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
