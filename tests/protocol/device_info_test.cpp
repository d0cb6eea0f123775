#include "protocol/DeviceInfo.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

using Parse = CDeviceInfo::VersionParse;

struct VersionCase
{
    std::string text; // the item's value bytes, exactly
    Parse outcome;
    int32_t code; // expected when Parsed
};

class VersionTexts : public ::testing::TestWithParam<VersionCase>
{
};

TEST_P(VersionTexts, MapToTheirVersionCode)
{
    const VersionCase& sample = GetParam();
    int32_t code = -1;
    const auto outcome = CDeviceInfo::VersionCodeFromText(
        reinterpret_cast<const uint8_t*>(sample.text.data()), static_cast<int32_t>(sample.text.size()), code);
    EXPECT_EQ(outcome, sample.outcome);
    EXPECT_EQ(code, sample.outcome == Parse::Parsed ? sample.code : -1) << "the code is left alone otherwise";
}

INSTANTIATE_TEST_SUITE_P(
    Thresholds, VersionTexts,
    ::testing::Values(VersionCase{std::string("1.1.0\0", 6), Parse::Parsed, 0},
                      VersionCase{"1.0.99", Parse::BelowThresholds, 0}, VersionCase{"2.0", Parse::Parsed, 1},
                      VersionCase{"2.0.29", Parse::Parsed, 1}, VersionCase{"2.0.30", Parse::Parsed, 2},
                      VersionCase{"2.0.50", Parse::Parsed, 3}, VersionCase{"2.0.60", Parse::Parsed, 4},
                      VersionCase{"2.0.79", Parse::Parsed, 5}, VersionCase{"2.0.80", Parse::Parsed, 6},
                      VersionCase{"2.0.99", Parse::Parsed, 7}, VersionCase{"2.1.0", Parse::Parsed, 8},
                      VersionCase{"17.3.2", Parse::Parsed, 8}, VersionCase{"", Parse::BelowThresholds, 0}));

INSTANTIATE_TEST_SUITE_P(
    Prefixes, VersionTexts,
    ::testing::Values(VersionCase{"VUZ1.2", Parse::Parsed, 10},
                      VersionCase{std::string("VUZ\0", 4), Parse::Parsed, 10},
                      // Exactly three characters are not a prefix: read as digits, and V is none.
                      VersionCase{"VUZ", Parse::Malformed, 0}, VersionCase{"VUZ1.x", Parse::Malformed, 0},
                      VersionCase{"vuz1.2", Parse::Malformed, 0}));

INSTANTIATE_TEST_SUITE_P(Malformed, VersionTexts,
                         ::testing::Values(VersionCase{"abc", Parse::Malformed, 0},
                                           VersionCase{"2.0.1.5", Parse::Malformed, 0},
                                           VersionCase{"2.0-80", Parse::Malformed, 0},
                                           VersionCase{" 2.0.80", Parse::Malformed, 0}));

INSTANTIATE_TEST_SUITE_P(
    Bounds, VersionTexts,
    ::testing::Values(
        // The text ends at its first NUL, whatever follows in the item.
        VersionCase{std::string("2.0.80\0junk", 11), Parse::Parsed, 6},
        VersionCase{std::string("1.0\0"
                                "9.9.9",
                                9),
                    Parse::BelowThresholds, 0},
        // Absurdly long numbers saturate instead of wrapping round to something small or negative.
        VersionCase{"99999999999999999999999999999999.0.0", Parse::Parsed, 8},
        VersionCase{"0.0.99999999999999999999999999999999999", Parse::Parsed, 8},
        VersionCase{"1.0.184467440737095516160000", Parse::Parsed, 8}));

TEST(VersionTexts, LengthLimitsTheTextWithoutATerminator)
{
    const char text[] = "2.0.8099"; // only "2.0.80" belongs to the item
    int32_t code = -1;
    EXPECT_EQ(CDeviceInfo::VersionCodeFromText(reinterpret_cast<const uint8_t*>(text), 6, code),
              Parse::Parsed);
    EXPECT_EQ(code, 6);
    EXPECT_EQ(CDeviceInfo::VersionCodeFromText(nullptr, 5, code), Parse::BelowThresholds);
}

TEST(DeviceInfo, StoresRecorderTextsAsUtf8AndClearsBackToTheStart)
{
    CDeviceInfo info;
    EXPECT_EQ(info.FirstText(), nullptr);
    EXPECT_EQ(info.VersionCode(), 6);

    const uint8_t first[] = {'S', 0x81, 'd', 0, 'x'};   // "Süd" in CP850, then bytes behind the NUL
    const uint8_t third[] = {'G', 'e', 'r', 0x84, 't'}; // "Gerät" without a terminator
    info.SetFirstText(first, sizeof first);
    info.SetThirdText(third, sizeof third);
    info.SetSwitch(true);
    info.SetVersionCode(10);
    ASSERT_NE(info.FirstText(), nullptr);
    EXPECT_STREQ(info.FirstText(), "Süd");
    EXPECT_STREQ(info.ThirdText(), "Gerät");

    info.Clear();
    EXPECT_EQ(info.FirstText(), nullptr);
    EXPECT_EQ(info.ThirdText(), nullptr);
    EXPECT_FALSE(info.SwitchOn());
    EXPECT_EQ(info.VersionCode(), 6);
}

} // namespace
