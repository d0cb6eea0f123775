#include "cli/FetchTexts.h"

#include "support/TextTranslator.h"

#include <cstring>

namespace
{

// Column 0 is the German key, column 1 the English text.
const char* const Texts[][2] = {
    {"Passwort: ", "Password: "},
    {"Gespeichert", "Saved"},
    {"Gestartet", "Started"},
    {"Gerätetext 1", "Device text 1"},
    {"Gerätetext 2", "Device text 2"},
    {"Schalter", "Switch"},
    {"ein", "on"},
    {"aus", "off"},
    {"Protokollversion", "Protocol version"},
    {"Versionscode", "Version code"},
    {"Benutzerstufe", "User level"},
    {"Bitte drücken Sie die Eingabetaste, wenn die Installation abgeschlossen ist.\n"
     "Die Setup-Dateien werden dann wieder entfernt.",
     "Please press Enter when the setup is complete.\n"
     "Then the setup files are removed from your computer."},
};

} // namespace

const char* CFetchTexts::Translate(const char* german)
{
    // The translator settles the display language on its first lookup.
    const char* viaTranslator = g_translator.Translate(german);
    for (const auto& row : Texts)
    {
        if (std::strcmp(row[0], german) == 0)
            return row[g_translator.Language() == CTextTranslator::LanguageGerman ? 0 : 1];
    }
    return viaTranslator;
}
