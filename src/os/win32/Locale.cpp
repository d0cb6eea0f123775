#include "os/Locale.h"

#include <windows.h>

namespace os
{

bool IsSystemLanguageGerman()
{
    // The system-wide default, not the current user's; the primary language id is the low 10 bits.
    return PRIMARYLANGID(GetSystemDefaultLangID()) == LANG_GERMAN;
}

} // namespace os
