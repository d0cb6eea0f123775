#pragma once

#include "support/TextTranslator.h"

#include <cstdint>

// Shows the program's texts in `language` for the object's lifetime and restores the language the
// translator had before, so that no test leaves its choice to the next one.
class CScopedLanguage
{
public:
    explicit CScopedLanguage(int32_t language);
    CScopedLanguage(const CScopedLanguage&) = delete;
    CScopedLanguage& operator=(const CScopedLanguage&) = delete;
    ~CScopedLanguage();

    // Switches within the scope; the destructor still restores the language from before it.
    void Set(int32_t language);

private:
    int32_t m_saved;
};
