#include "net/SocketConnection.h"
#include "os/Locale.h"
#include "support/TextTranslator.h"

#include <gtest/gtest.h>

#include <cstdlib>
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

// Sets LC_ALL, LC_MESSAGES and LANG (null: unset) and restores them afterwards.
class LocaleEnvironment
{
public:
    explicit LocaleEnvironment(const char* const (&values)[3])
    {
        for (int i = 0; i < 3; ++i)
        {
            const char* current = std::getenv(Names[i]);
            m_saved[i] = current ? current : "";
            m_wasSet[i] = current != nullptr;
            Set(i, values[i]);
        }
    }
    ~LocaleEnvironment()
    {
        for (int i = 0; i < 3; ++i)
        {
            Set(i, m_wasSet[i] ? m_saved[i].c_str() : nullptr);
        }
    }

private:
    static constexpr const char* Names[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    static void Set(int i, const char* value) { value ? setenv(Names[i], value, 1) : unsetenv(Names[i]); }
    std::string m_saved[3];
    bool m_wasSet[3];
};

TEST(SystemLanguage, FirstNonEmptyLocaleVariableDecides)
{
    const struct
    {
        const char* values[3];
        bool german;
    } cases[] = {
        {{nullptr, nullptr, "de_DE.UTF-8"}, true},
        {{nullptr, nullptr, "de_CH@euro"}, true},
        {{nullptr, nullptr, "de"}, true},
        {{nullptr, nullptr, "dea_XX"}, false},
        {{nullptr, nullptr, "en_US"}, false},
        {{nullptr, nullptr, nullptr}, false},
        {{"C", nullptr, "de_DE"}, false},
        {{"", "de_AT", "en_GB"}, true},
        {{"", "", "de_LU"}, true},
        {{nullptr, "fr_FR", "de_DE"}, false},
    };
    for (const auto& c : cases)
    {
        LocaleEnvironment environment(c.values);
        EXPECT_EQ(os::IsSystemLanguageGerman(), c.german) << (c.values[2] ? c.values[2] : "-");
    }
}

TEST(TextTranslator, LanguageIsChosenAtTheFirstLookupAndKept)
{
    CTextTranslator translator;
    EXPECT_EQ(translator.Language(), CTextTranslator::LanguageUndetermined);
    {
        LocaleEnvironment german({nullptr, nullptr, "de_DE.UTF-8"});
        EXPECT_STREQ(translator.Translate("Bereit."), "Bereit.");
    }
    LocaleEnvironment english({nullptr, nullptr, "en_US.UTF-8"});
    EXPECT_STREQ(translator.Translate("Bereit."), "Bereit.");
    CTextTranslator later;
    EXPECT_STREQ(later.Translate("Bereit."), "Ready.");
}

TEST(ConnectionErrorText, KnownCodesInBothLanguagesAndNoTextForOthers)
{
    const struct
    {
        int code;
        const char* english;
        const char* german;
    } cases[] = {
        {10061, "The connect request has been rejected.", "Die Verbindungsanfrage wurde abgelehnt."},
        {10060, "A timeout occured.", "Ein Zeitüberlauf ist aufgetreten."},
        {10035, "There is already a connect in progress.", "Eine Verbindungsanfrage läuft bereits."},
        {10054, "Connection reset by server.", "Die Verbindung wurde vom Server getrennt."},
    };
    for (const auto& c : cases)
    {
        g_translator.SetLanguageForTesting(CTextTranslator::LanguageEnglish);
        EXPECT_STREQ(ConnectionErrorText(c.code), c.english);
        g_translator.SetLanguageForTesting(CTextTranslator::LanguageGerman);
        EXPECT_STREQ(ConnectionErrorText(c.code), c.german);
    }
    for (int code : {0, 10053, 10058, 10065, 11000})
    {
        EXPECT_EQ(ConnectionErrorText(code), nullptr) << code;
    }
}

} // namespace
