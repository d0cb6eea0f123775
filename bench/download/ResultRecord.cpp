#include "ResultRecord.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace
{
const char Marker[] = "RESULT";
} // namespace

double CResultRecord::Get(const std::string& name, double fallback) const
{
    const auto found = m_values.find(name);
    return found != m_values.end() ? found->second : fallback;
}

void CResultRecord::Print() const
{
    std::string line = Marker;
    char number[64];
    for (const auto& [name, value] : m_values)
    {
        std::snprintf(number, sizeof number, "%.9g", value);
        line += " " + name + "=" + number;
    }
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

bool CResultRecord::ParseFrom(const std::string& output)
{
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line))
    {
        // Other output may end its lines with a carriage return of its own.
        const size_t start = line.find(std::string(Marker) + " ");
        if (start == std::string::npos || line.find_first_not_of('\r') != start)
            continue;
        std::istringstream fields(line.substr(start + sizeof Marker));
        std::string field;
        while (fields >> field)
        {
            const size_t equals = field.find('=');
            if (equals != std::string::npos)
                m_values[field.substr(0, equals)] = std::strtod(field.c_str() + equals + 1, nullptr);
        }
        return true;
    }
    return false;
}
