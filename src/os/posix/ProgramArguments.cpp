#include "os/ProgramArguments.h"

namespace os
{

CProgramArguments::CProgramArguments(int argc, const char* const* argv)
{
    for (int index = 0; index < argc && argv != nullptr; ++index)
        m_texts.emplace_back(argv[index] != nullptr ? argv[index] : "");
    PointAtTexts();
}

} // namespace os
