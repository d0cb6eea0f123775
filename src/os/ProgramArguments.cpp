#include "os/ProgramArguments.h"

namespace os
{

void CProgramArguments::PointAtTexts()
{
    m_values.clear();
    for (const std::string& text : m_texts)
        m_values.push_back(text.c_str());
    m_values.push_back(nullptr);
}

} // namespace os
