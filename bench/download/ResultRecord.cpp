#include "ResultRecord.h"

#include <algorithm>
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

CResultRecord CResultRecord::Median(const std::vector<CResultRecord>& records)
{
    std::map<std::string, std::vector<double>> values;
    for (const CResultRecord& record : records)
    {
        for (const auto& [name, value] : record.m_values)
            values[name].push_back(value);
    }
    CResultRecord median;
    for (auto& [name, list] : values)
    {
        std::sort(list.begin(), list.end());
        const size_t middle = list.size() / 2;
        median.Set(name, list.size() % 2 == 1 ? list[middle] : (list[middle - 1] + list[middle]) / 2.0);
    }
    return median;
}
