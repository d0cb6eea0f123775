#include "support/TextTranslator.h"

#include "os/Locale.h"

#include <cstring>

CTextTranslator g_translator;

namespace
{

// Column 0 is the German key, column 1 the English text. The first matching row wins, which is why
// the repeated directory messages near the end never take effect.
const char* const TranslationTable[][2] = {
    {"Quorvel", "Quorvel"},
    {"Recorder TCP/IP Addresse", "Recorder TCP/IP address"},
    {"Passwort", "Password"},
    {"Software herunterladen", "Download software"},
    {"Varnox", "Varnox"},
    {"Kellid", "Kellid"},
    {"Temporäres Verzeichnis", "Temporary directory"},
    {"...", "..."},
    {"Fortschritt", "Progress"},
    {"Status", "Status"},
    {"Herunterladen", "Download"},
    {"Schliessen", "Close"},
    {"Kein Speicher mehr verfügbar!", "No memory available!"},
    {"Es besteht keine Verbindung!", "No connection!"},
    {"Verbindungsanfrage wurde abgelehnt!", "Connection request rejected!"},
    {"Auf das Netzwerk kann nicht zugegriffen werden!", "There is no accessible network!"},
    {"Es konnte keine Verbindung aufgebaut werden!", "The connection could not be established!"},
    {"Unbekannter Fehler bei der Socket-Verbindung.", "Unknown error while connecting."},
    {"Es ist ein Verbindungsfehler aufgetreten!", "A connection error occured!"},
    {"Ungültige Daten für Verbindung!", "Invalid data for connect!"},
    {"Verbindung wurde beendet.", "The connection has been reset."},
    {"Protokoll-Befehl wurde nicht ausgeführt.", "Protocol command not processed."},
    {"Zugriff auf das System nicht erlaubt.", "System access has not been granted."},
    {"Der Zugriff auf das System ist für den angemeldeten Benutzer nicht gestattet.",
     "Access on the system is not permitted vor the logged-on user."},
    {"Verbindungsaufbau...", "Connecting..."},
    {"Verbindung besteht. Die Gerätedaten werden ermittelt.", "Device information is requested."},
    {"Verbindung besteht.", "Connected."},
    {"Unbekanntes Zerrix-Ziel!", "Unknown Zerrix target!"},
    {"Unbekanntes Zerrix-Commando!", "Unknown Zerrix command!"},
    {"Bereit.", "Ready."},
    {"Interner Fehler: Kommando kann nicht ausgeführt werden!",
     "Internal error: Command could not be processed."},
    {"Öffnen des Files schlug fehl!", "Opening the file failed!"},
    {"Die Verbindung wurde kontrolliert beendet.", "The connection ended by control."},
    {"Meldung", "Message"},
    {"Unbekanntes Zerrix Kommando %s: Target %d Com %d Ident %d Ack %d LParam %d DataLen %d",
     "Unknown Zerrix command %s: Target %d Com %d Ident %d Ack %d LParam %d DataLen %d"},
    {"Abbrechen", "Cancel"},
    {"Sie haben kein Verzeichnis angegeben!", "You did not select a directory!"},
    {"Das angegebene Verzeichnis existiert nicht!", "The selected directory does not exist!"},
    {"Es ist ein schwerwiegender Fehler aufgetreten", "A fatal error occured"},
    {"Der Download kann nicht fortgesetzt werden!", "The download can not be continued!"},
    {"Datei", "File"},
    {"Es ist ein Fehler aufgetreten.", "An error occured."},
    {"Wollen Sie fortfahren?", "Do you want to continue?"},
    {"Die Datei konnte nicht unter folgendem Namen abgespeichert werden!",
     "The file could not be saved with following name!"},
    {"Die Datei konnte nicht geschrieben werden!", "The file could not be written!"},
    {"Möglicherweise haben Sie in dem angegebenen Verzeichnis zuwenig freien Speicherplatz!",
     "Possibly there is not enough space available in that directory!"},
    {"Soll das Setup jetzt ausgeführt werden?", "Do you want to execute the setup?"},
    {"Das Setup konnte nicht ausgeführt werden!", "The Setup could not be executed!"},
    {"Sie haben kein Verzeichnis angegeben!", "You did not select a directory!"},
    {"Das angegebene Verzeichnis existiert nicht!", "The selected directory does not exist!"},
    {"Die Verbindungsanfrage wurde abgelehnt.", "The connect request has been rejected."},
    {"Ein Zeitüberlauf ist aufgetreten.", "A timeout occured."},
    {"Eine Verbindungsanfrage läuft bereits.", "There is already a connect in progress."},
    {"Die Verbindung wurde vom Server getrennt.", "Connection reset by server."},
    {"Sie benötigen die Authentifizierung als Administrator!\nDer Vorgang wird abgebrochen.",
     "You need an authentification as administrator!\nThe procedure is cancelled."},
    {"Bitte drücken Sie 'OK', wenn die Installation abgeschlossen ist.\nDie Setup-Dateien werden dann wieder "
     "entfernt.",
     "Please press the 'OK' button when the setup is complete.\nThen the setup files are removed from your "
     "computer."},
    {"", ""},
};

static_assert(sizeof TranslationTable / sizeof TranslationTable[0] == 57, "the table has 57 rows");

} // namespace

const char* CTextTranslator::Translate(const char* german)
{
    if (m_language < 0)
    {
        DetectLanguage();
    }
    if (german == nullptr)
    {
        return nullptr;
    }
    for (const auto& row : TranslationTable)
    {
        if (std::strcmp(row[0], german) == 0)
        {
            return row[m_language == LanguageGerman ? 0 : 1];
        }
    }
    return german;
}

void CTextTranslator::DetectLanguage()
{
    m_language = os::IsSystemLanguageGerman() ? LanguageGerman : LanguageEnglish;
}
