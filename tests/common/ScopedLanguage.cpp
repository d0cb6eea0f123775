#include "ScopedLanguage.h"

CScopedLanguage::CScopedLanguage(int32_t language) : m_saved(g_translator.Language())
{
    Set(language);
}

CScopedLanguage::~CScopedLanguage()
{
    g_translator.SetLanguageForTesting(m_saved);
}

void CScopedLanguage::Set(int32_t language)
{
    g_translator.SetLanguageForTesting(language);
}
