#pragma once

namespace os
{

// Whether the system's default language is German (any regional variant).
bool IsSystemLanguageGerman();

} // namespace os
