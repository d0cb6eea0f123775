#pragma once

#include <string>

namespace os
{

// The program's texts are UTF-8; the wide Windows functions take any text the system can hold.
std::wstring WideText(const char* text);
// The way back, for texts that Windows hands out (window texts, chosen paths).
std::string Utf8Text(const wchar_t* text);

} // namespace os
