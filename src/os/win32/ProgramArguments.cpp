#include "os/ProgramArguments.h"

#include "os/win32/WideText.h"

#include <windows.h>

#include <shellapi.h>

namespace os
{

// Split by the system's rules for quotes and backslashes.
CProgramArguments::CProgramArguments(int, const char* const*)
{
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide != nullptr)
    {
        for (int index = 0; index < count; ++index)
            m_texts.push_back(Utf8Text(wide[index]));
        LocalFree(wide);
    }
    PointAtTexts();
}

} // namespace os
