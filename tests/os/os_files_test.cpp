#include "ScratchDirectory.h"
#include "os/Files.h"

#include <gtest/gtest.h>

namespace
{

int64_t WriteNew(const std::string& path, const std::vector<uint8_t>& bytes)
{
    const os::FileHandle file = os::CreateFileForWriting(path.c_str());
    if (file == os::InvalidFile)
        return -1;
    const int64_t written = os::WriteToFile(file, bytes.data(), static_cast<int64_t>(bytes.size()));
    EXPECT_TRUE(os::CloseFile(file));
    return written;
}

TEST(Files, CreateTruncatesAnExistingFileAndWritesInOneGo)
{
    CScratchDirectory scratch;
    const std::string path = scratch / "setup.exe";
    const std::vector<uint8_t> large = PatternBytes(3 * 1024 * 1024 + 3, 7);
    const std::vector<uint8_t> small = PatternBytes(10, 8);

    EXPECT_EQ(WriteNew(path, large), static_cast<int64_t>(large.size()));
    EXPECT_EQ(ReadWholeFile(path), large);
    // Rewritten shorter: nothing of the old content may remain behind the new one.
    EXPECT_EQ(WriteNew(path, small), 10);
    EXPECT_EQ(ReadWholeFile(path), small);
    EXPECT_EQ(WriteNew(path, {}), 0);
    bool exists = false;
    EXPECT_TRUE(ReadWholeFile(path, &exists).empty());
    EXPECT_TRUE(exists);
}

TEST(Files, CreationFailsWhereNoFileCanBe)
{
    CScratchDirectory scratch;
    const std::string directory = scratch.MakeDirectory("taken");
    for (const std::string& path : {scratch / "missing/setup.exe", directory, std::string()})
        EXPECT_EQ(os::CreateFileForWriting(path.c_str()), os::InvalidFile) << "\"" << path << "\"";
    EXPECT_EQ(os::CreateFileForWriting(nullptr), os::InvalidFile);
    EXPECT_EQ(os::WriteToFile(os::InvalidFile, "x", 1), 0);
    EXPECT_FALSE(os::CloseFile(os::InvalidFile));
}

TEST(Files, RemoveDeletesOnceAndReportsWhatIsNotThere)
{
    CScratchDirectory scratch;
    const std::string path = scratch.WriteFile("setup.exe", {1, 2, 3});
    EXPECT_TRUE(os::RemoveFile(path.c_str()));
    EXPECT_FALSE(FileExists(path));
    EXPECT_FALSE(os::RemoveFile(path.c_str()));
    EXPECT_FALSE(os::RemoveFile(nullptr));
}

TEST(Files, PathKindTellsDirectoriesFromFilesAndMissingPaths)
{
    CScratchDirectory scratch;
    const std::string directory = scratch.MakeDirectory("dir");
    const std::string file = scratch.WriteFile("file.txt", {'a'});
    const struct
    {
        std::string path;
        os::EPathKind expected;
    } cases[] = {
        {directory, os::EPathKind::Directory},     {directory + "/", os::EPathKind::Directory},
        {file, os::EPathKind::NotDirectory},       {scratch / "nothing", os::EPathKind::Missing},
        {file + "/below", os::EPathKind::Missing}, {"", os::EPathKind::Missing},
    };
    for (const auto& entry : cases)
        EXPECT_EQ(os::QueryPathKind(entry.path.c_str()), entry.expected) << "\"" << entry.path << "\"";
    EXPECT_EQ(os::QueryPathKind(nullptr), os::EPathKind::Missing);
}

} // namespace
