#pragma once

#include "support/PrintfFormat.h"

#include <cstdint>

// Turns the German texts written throughout the program into the display language. German is shown
// when the system's default language is German, English otherwise; the choice is made once, at the
// first lookup, and kept for the life of the program.
class CTextTranslator
{
public:
    static constexpr int32_t LanguageUndetermined = -1;
    static constexpr int32_t LanguageGerman = 0;
    static constexpr int32_t LanguageEnglish = 1;

    CTextTranslator() = default;

    // The display-language text of the first table row whose German key equals `german` exactly,
    // or `german` itself (the same pointer) when no row matches. Table texts live forever. A
    // translated printf format keeps the key's conversions, so the compiler checks the key.
    const char* Translate(const char* german) QUORVEL_FORMAT_ARG(2);
    // Chooses the display language from the system's default language.
    void DetectLanguage();

    int32_t Language() const { return m_language; }
    // Lets tests pick the language regardless of the machine's locale; the program never calls it.
    void SetLanguageForTesting(int32_t language) { m_language = language; }

private:
    int32_t m_language = LanguageUndetermined;
};

// The program's one translator.
extern CTextTranslator g_translator;
