#pragma once

#include <map>
#include <string>
#include <vector>

// The figures one measuring process hands to the benchmark: a line "RESULT name=value ..." on its
// standard output, among whatever else the process prints.
class CResultRecord
{
public:
    void Set(const std::string& name, double value) { m_values[name] = value; }
    // The value, or `fallback` when the process did not report it.
    double Get(const std::string& name, double fallback = 0) const;
    bool Has(const std::string& name) const { return m_values.count(name) != 0; }

    // Prints the line and flushes it.
    void Print() const;
    // Takes the values of the first RESULT line in `output`; false when there is none.
    bool ParseFrom(const std::string& output);
    // Each value the median of the records that have it (of two middle values, their mean).
    static CResultRecord Median(const std::vector<CResultRecord>& records);

private:
    std::map<std::string, double> m_values;
};
