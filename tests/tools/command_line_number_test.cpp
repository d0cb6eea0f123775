#include "CommandLineNumber.h"

#include <gtest/gtest.h>

#include <climits>

namespace
{

TEST(CommandLineNumber, TakesOnlyAWholeNumberWithinTheRange)
{
    const struct
    {
        const char* text;
        bool accepted;
        int value;
    } cases[] = {
        {"0", true, 0},   {"-5", true, -5},  {"10", true, 10}, {"+7", true, 7},
        {"-6", false, 0}, {"11", false, 0},  {"", false, 0},   {"4x", false, 0},
        {"x4", false, 0}, {"1.0", false, 0}, {"5 ", false, 0}, {nullptr, false, 0},
    };
    for (const auto& c : cases)
    {
        int value = 99;
        EXPECT_EQ(ParseCommandLineNumber(c.text, -5, 10, value), c.accepted) << (c.text ? c.text : "null");
        EXPECT_EQ(value, c.accepted ? c.value : 99) << (c.text ? c.text : "null");
    }
}

TEST(CommandLineNumber, NumbersTooLargeToReadAreRefusedNotClamped)
{
    long long wide = 1;
    EXPECT_TRUE(ParseCommandLineNumber("9223372036854775807", 0, LLONG_MAX, wide));
    EXPECT_EQ(wide, LLONG_MAX);
    EXPECT_FALSE(ParseCommandLineNumber("9223372036854775808", 0, LLONG_MAX, wide));
    EXPECT_FALSE(ParseCommandLineNumber("-9223372036854775809", LLONG_MIN, 0, wide));

    int narrow = 1;
    EXPECT_TRUE(ParseCommandLineNumber("-2147483648", INT_MIN, INT_MAX, narrow));
    EXPECT_EQ(narrow, INT_MIN);
    EXPECT_FALSE(ParseCommandLineNumber("2147483648", INT_MIN, INT_MAX, narrow));
    EXPECT_EQ(narrow, INT_MIN);
}

} // namespace
