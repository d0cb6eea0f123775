#include "ScopedLocaleEnvironment.h"
#include "support/TextTranslator.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

// Rows with umlauts, a format text, line breaks, identical columns, the empty text, and a key
// (row 37) that a later row repeats.
const char* const Rows[][2] = {
    {"Temporäres Verzeichnis", "Temporary directory"},
    {"Ungültige Daten für Verbindung!", "Invalid data for connect!"},
    {"Unbekanntes Zerrix Kommando %s: Target %d Com %d Ident %d Ack %d LParam %d DataLen %d",
     "Unknown Zerrix command %s: Target %d Com %d Ident %d Ack %d LParam %d DataLen %d"},
    {"Sie benötigen die Authentifizierung als Administrator!\nDer Vorgang wird abgebrochen.",
     "You need an authentification as administrator!\nThe procedure is cancelled."},
    {"Verbindung besteht.", "Connected."},
    {"Verbindung besteht. Die Gerätedaten werden ermittelt.", "Device information is requested."},
    {"Sie haben kein Verzeichnis angegeben!", "You did not select a directory!"},
    {"Quorvel", "Quorvel"},
    {"", ""},
};

TEST(TextTranslator, LooksUpByContentInTheChosenLanguage)
{
    for (int language : {CTextTranslator::LanguageGerman, CTextTranslator::LanguageEnglish})
    {
        CTextTranslator translator;
        translator.SetLanguageForTesting(language);
        for (const auto& row : Rows)
        {
            const std::string key = row[0]; // a copy: the lookup must compare contents, not pointers
            EXPECT_STREQ(translator.Translate(key.c_str()), row[language]) << key;
        }
    }
}

TEST(TextTranslator, TextsThatAreNotKeysComeBackAsTheSamePointer)
{
    CTextTranslator translator;
    translator.SetLanguageForTesting(CTextTranslator::LanguageEnglish);
    for (const char* text : {"Download", "herunterladen", "Bereit", "Bereit. ", "Quorvel V1.0"})
    {
        EXPECT_EQ(translator.Translate(text), text) << text;
    }
    EXPECT_EQ(translator.Translate(nullptr), nullptr);
}

#ifndef _WIN32
// The language comes from the locale variables here; on Windows from the system's language id,
// which the German window test under Wine sets (tests/win32).
TEST(TextTranslator, LanguageIsChosenAtTheFirstLookupAndKept)
{
    CTextTranslator translator;
    EXPECT_EQ(translator.Language(), CTextTranslator::LanguageUndetermined);
    {
        CScopedLocaleEnvironment german({nullptr, nullptr, "de_DE.UTF-8"});
        EXPECT_STREQ(translator.Translate("Bereit."), "Bereit.");
    }
    CScopedLocaleEnvironment english({nullptr, nullptr, "en_US.UTF-8"});
    EXPECT_STREQ(translator.Translate("Bereit."), "Bereit.");
    CTextTranslator later;
    EXPECT_STREQ(later.Translate("Bereit."), "Ready.");
}
#endif

} // namespace
