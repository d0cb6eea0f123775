#pragma once

#include <string>

namespace os
{

// The program's texts are UTF-8; the wide Windows functions take any text the system can hold.
std::wstring WideText(const char* text);

} // namespace os
