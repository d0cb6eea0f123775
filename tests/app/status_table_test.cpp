#include "app/StatusTable.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

const char* SourceName(EStatusSource source)
{
    switch (source)
    {
    case EStatusSource::Transport:
        return "transport";
    case EStatusSource::Session:
        return "session";
    case EStatusSource::Dialog:
        return "dialog";
    }
    return "?";
}

// Whatever the transport or the session posts reaches a row: shown with its class, or silent on
// purpose. A code added to the enumeration without a row fails here instead of vanishing quietly.
TEST(StatusTable, EveryCodeTheProgramNamesHasItsRow)
{
    for (const SStatusCode& code : AllStatuses)
    {
        SCOPED_TRACE(std::string(SourceName(code.source)) + " code " +
                     std::to_string(StatusCode(code.status)));
        const CStatusTable::SRow* row = CStatusTable::Find(code.status);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->status, code.status);
        EXPECT_EQ(row->text == nullptr, row->statusClass == CStatusTable::EClass::Silent);
    }
}

} // namespace
