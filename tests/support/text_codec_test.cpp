#include "support/TextCodec.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

std::string Raw(std::initializer_list<int> values)
{
    std::string bytes;
    for (int value : values)
        bytes += static_cast<char>(value);
    return bytes;
}

struct CodePageCase
{
    const char* utf8;
    std::string windows1252;
    std::string cp850;
};

class TextCodecUmlauts : public ::testing::TestWithParam<CodePageCase>
{
};

TEST_P(TextCodecUmlauts, ConvertsToTheRecordersCodePagesAndBack)
{
    const CodePageCase& sample = GetParam();
    EXPECT_EQ(CTextCodec::Utf8ToWindows1252(sample.utf8), sample.windows1252);
    EXPECT_EQ(CTextCodec::Utf8ToCp850(sample.utf8), sample.cp850);
    EXPECT_EQ(
        CTextCodec::Cp850ToUtf8(reinterpret_cast<const uint8_t*>(sample.cp850.data()), sample.cp850.size()),
        sample.utf8);
    EXPECT_EQ(CTextCodec::Windows1252ToUtf8(reinterpret_cast<const uint8_t*>(sample.windows1252.data()),
                                            sample.windows1252.size()),
              sample.utf8);
}

INSTANTIATE_TEST_SUITE_P(
    GermanLetters, TextCodecUmlauts,
    ::testing::Values(
        CodePageCase{"ä", Raw({0xE4}), Raw({0x84})}, CodePageCase{"ö", Raw({0xF6}), Raw({0x94})},
        CodePageCase{"ü", Raw({0xFC}), Raw({0x81})}, CodePageCase{"ß", Raw({0xDF}), Raw({0xE1})},
        CodePageCase{"Ä", Raw({0xC4}), Raw({0x8E})}, CodePageCase{"Ö", Raw({0xD6}), Raw({0x99})},
        CodePageCase{"Ü", Raw({0xDC}), Raw({0x9A})},
        CodePageCase{"Grüße aus Köln", "Gr" + Raw({0xFC, 0xDF}) + "e aus K" + Raw({0xF6}) + "ln",
                     "Gr" + Raw({0x81, 0xE1}) + "e aus K" + Raw({0x94}) + "ln"}));

// The euro sign exists only in Windows-1252; what has no place becomes a question mark.
TEST(TextCodec, CharactersWithoutAPlaceBecomeQuestionMarks)
{
    EXPECT_EQ(CTextCodec::Utf8ToWindows1252("5 €"), "5 " + Raw({0x80}));
    EXPECT_EQ(CTextCodec::Windows1252ToUtf8(reinterpret_cast<const uint8_t*>("\x80"), 1), "€");
    EXPECT_EQ(CTextCodec::Utf8ToCp850("5 €"), "5 ?");
    EXPECT_EQ(CTextCodec::Utf8ToWindows1252("日本"), "??");
    EXPECT_EQ(CTextCodec::Utf8ToWindows1252("a😀b"), "a?b");
    EXPECT_EQ(CTextCodec::Utf8ToCp850("Œuvre"), "?uvre");
}

TEST(TextCodec, MalformedUtf8NeverSwallowsTheFollowingText)
{
    // A lone lead byte, a stray continuation byte, an overlong encoding and an encoded surrogate.
    EXPECT_EQ(CTextCodec::Utf8ToWindows1252(Raw({'a', 0xC3, 'b'}).c_str()), "a?b");
    EXPECT_EQ(CTextCodec::Utf8ToWindows1252(Raw({'a', 0x80, 'b'}).c_str()), "a?b");
    EXPECT_EQ(CTextCodec::Utf8ToWindows1252(Raw({0xC0, 0xAF}).c_str()), "??");
    EXPECT_EQ(CTextCodec::Utf8ToWindows1252(Raw({0xED, 0xA0, 0x80}).c_str()), "???");
    // A sequence cut off by the terminator stops there.
    EXPECT_EQ(CTextCodec::Utf8ToWindows1252(Raw({'x', 0xE2, 0x82}).c_str()), "x??");
}

TEST(TextCodec, CutsAfterWholeCharactersOnly)
{
    const std::string seventy(70, 'p');
    EXPECT_EQ(CTextCodec::Utf8ToWindows1252(seventy.c_str(), 63), std::string(63, 'p'));
    // 70 umlauts are 140 UTF-8 bytes but 70 wire bytes; the cut counts wire bytes.
    std::string umlauts;
    for (int i = 0; i < 70; ++i)
        umlauts += "ü";
    EXPECT_EQ(CTextCodec::Utf8ToWindows1252(umlauts.c_str(), 63), std::string(63, static_cast<char>(0xFC)));
    EXPECT_EQ(CTextCodec::Utf8ToWindows1252(nullptr), "");
}

// Every byte but NUL, and in Windows-1252 the five unassigned ones, comes back from UTF-8 unchanged.
TEST(TextCodec, EveryByteSurvivesTheRoundTrip)
{
    for (int byte = 1; byte < 256; ++byte)
    {
        const uint8_t original = static_cast<uint8_t>(byte);
        const std::string expected(1, static_cast<char>(byte));
        EXPECT_EQ(CTextCodec::Utf8ToCp850(CTextCodec::Cp850ToUtf8(&original, 1).c_str()), expected) << byte;
        if (byte != 0x81 && byte != 0x8D && byte != 0x8F && byte != 0x90 && byte != 0x9D)
        {
            EXPECT_EQ(CTextCodec::Utf8ToWindows1252(CTextCodec::Windows1252ToUtf8(&original, 1).c_str()),
                      expected)
                << byte;
        }
    }
}

} // namespace
