#include "support/RefString.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

TEST(RefString, DefaultStringHasNoBlockAndSharesTheEmptyText)
{
    const CRefString first;
    const CRefString second;
    EXPECT_EQ(first.GetLength(), 0);
    EXPECT_EQ(first.BlockSize(), 0);
    ASSERT_NE(first.GetText(), nullptr);
    EXPECT_STREQ(first.GetText(), "");
    EXPECT_EQ(first.GetText(), second.GetText());
}

TEST(RefString, BlockSizeIsSmallestMultipleOf64AboveRequestPlusHeader)
{
    struct Case
    {
        size_t characters; // terminator not counted
        int32_t blockSize;
    };
    const Case cases[] = {{0, 64}, {54, 64}, {55, 128}, {99, 128}, {118, 128}, {119, 192}, {200, 256}};
    for (const Case& c : cases)
    {
        const std::string text(c.characters, 'x');
        const CRefString s(text.c_str());
        EXPECT_EQ(s.BlockSize(), c.blockSize) << c.characters << " characters";
        EXPECT_EQ(s.GetLength(), static_cast<int32_t>(c.characters));
    }
}

TEST(RefString, AssignNullKeepsTextAndAssignEmptyMakesABlock)
{
    CRefString s("abc");
    s.Assign(nullptr, 0);
    EXPECT_STREQ(s.GetText(), "abc");

    CRefString empty;
    empty = "";
    EXPECT_EQ(empty.BlockSize(), 64);
    EXPECT_EQ(empty.GetLength(), 0);

    s.Assign("defghi", 2);
    EXPECT_STREQ(s.GetText(), "de");
}

TEST(RefString, CopySharesUntilTheFirstChange)
{
    CRefString a("hello");
    CRefString b;
    b = a;
    EXPECT_EQ(a.ShareCount(), 2);
    EXPECT_EQ(a.GetText(), b.GetText());

    const char* oldText = a.GetText();
    const int32_t oldSize = a.BlockSize();
    b += "!";
    EXPECT_STREQ(b.GetText(), "hello!");
    EXPECT_EQ(b.ShareCount(), 1);
    EXPECT_GE(b.BlockSize(), oldSize);
    EXPECT_NE(b.GetText(), oldText);
    EXPECT_STREQ(a.GetText(), "hello");
    EXPECT_EQ(a.GetText(), oldText);
    EXPECT_EQ(a.ShareCount(), 1);

    CRefString c(a);
    c = "other";
    EXPECT_STREQ(a.GetText(), "hello");
    c = c; // self-assignment must neither free nor change the count
    EXPECT_EQ(c.ShareCount(), 1);
    EXPECT_STREQ(c.GetText(), "other");
}

TEST(RefString, ExclusiveBlockIsReusedWhenTheTextFits)
{
    CRefString s(std::string(100, 'a').c_str());
    ASSERT_EQ(s.BlockSize(), 128);
    const char* block = s.GetText();
    s = "0123456789";
    EXPECT_EQ(s.GetText(), block);
    EXPECT_EQ(s.BlockSize(), 128);
    s = std::string(200, 'b').c_str();
    EXPECT_EQ(s.BlockSize(), 256);
    EXPECT_EQ(s.GetLength(), 200);
}

TEST(RefString, AppendAndAssignAcceptTheStringsOwnCharacters)
{
    CRefString s(std::string(60, 'x').c_str());
    s.Append(s.GetText()); // forces a new block while reading from the old one
    EXPECT_EQ(std::string(s.GetText()), std::string(120, 'x'));

    CRefString t("abcdef");
    t.Assign(t.GetText() + 2, 0);
    EXPECT_STREQ(t.GetText(), "cdef");
}

TEST(RefString, FormatCutsLongOutputAt4095Characters)
{
    CRefString s;
    const std::string longText(5000, 'z');
    s.Format("%s", longText.c_str());
    EXPECT_EQ(s.GetLength(), 4095);

    s.Format("%s: %d / %d KB ( %.1f%% )", "varnoxsetup.exe", 12, 100, 12.0);
    EXPECT_STREQ(s.GetText(), "varnoxsetup.exe: 12 / 100 KB ( 12.0% )");
}

TEST(RefString, PlusJoinsAndLeavesTheLeftOperandAlone)
{
    const CRefString directory("C:\\Temp\\");
    const CRefString file("varnoxsetup.exe");
    const CRefString path = directory + file;
    EXPECT_STREQ(path.GetText(), "C:\\Temp\\varnoxsetup.exe");
    EXPECT_STREQ(directory.GetText(), "C:\\Temp\\");
    EXPECT_EQ(directory.ShareCount(), 1);

    const CRefString unchanged = directory + CRefString();
    EXPECT_STREQ(unchanged.GetText(), "C:\\Temp\\");
}

TEST(RefString, LastOfThreeSharersOwnsTheBlock)
{
    auto first = std::make_unique<CRefString>("shared");
    auto second = std::make_unique<CRefString>(*first);
    const CRefString third(*second);
    EXPECT_EQ(third.ShareCount(), 3);
    first.reset();
    second.reset();
    EXPECT_EQ(third.ShareCount(), 1);
    EXPECT_STREQ(third.GetText(), "shared");
}
