#include <gtest/gtest.h>

#include <cstring>

#include "platform/classes/file_stream.h"
#include "platform/classes/file_utils.h"
#include "platform/classes/memory_stream.h"
#include "platform/rtl/exception.h"
#include "tests/platform/classes/temp_dir.h"

TEST(Streams, MemoryStreamGrowsSeeksAndFillsGaps) {
    TMemoryStream stream;
    stream.WriteBuffer("abc", 3);
    EXPECT_EQ(stream.Size(), 3);
    EXPECT_EQ(stream.Seek(5, soBeginning), 5);
    stream.WriteBuffer("z", 1);
    EXPECT_EQ(stream.Size(), 6);
    EXPECT_EQ(std::memcmp(stream.Memory(), "abc\0\0z", 6), 0);

    stream.SetPosition(1);
    char buffer[8] = {};
    EXPECT_EQ(stream.Read(buffer, 8), 5);
    EXPECT_EQ(stream.Read(buffer, 8), 0);
    stream.SetPosition(4);
    try {
        stream.ReadBuffer(buffer, 3);
        FAIL();
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), "Stream read error");
    }
    stream.SetSize(2);
    EXPECT_EQ(stream.Position(), 2);
    stream.Clear();
    EXPECT_EQ(stream.Size(), 0);
    EXPECT_EQ(stream.Memory(), nullptr);
}

TEST(Streams, FileStreamRoundTripAndCopyFrom) {
    TempDir dir;
    std::string file = dir.File("data.bin");
    {
        TFileStream out(file, fmCreate);
        out.WriteBuffer("hello world", 11);
        EXPECT_EQ(out.Size(), 11);
    }
    {
        TFileStream io(file, fmOpenReadWrite | fmShareDenyNone);
        io.Seek(-5, soEnd);
        io.WriteBuffer("WORLD", 5);
        io.SetSize(8);
    }
    TMemoryStream copy;
    {
        TFileStream in(file, fmOpenRead | fmShareDenyWrite);
        in.SetPosition(3);
        EXPECT_EQ(copy.CopyFrom(&in, 0), 8);  // 0: all of it, from the beginning
    }
    EXPECT_EQ(std::string(static_cast<char*>(copy.Memory()), 8), "hello WO");

    copy.SaveToFile(dir.File("copy.bin"));
    TMemoryStream loaded;
    loaded.LoadFromFile(dir.File("copy.bin"));
    EXPECT_EQ(loaded.Size(), 8);

    TStringStream text("abcdef");
    text.SetPosition(2);
    EXPECT_EQ(text.ReadString(3), "cde");
    text.WriteString("XYZ");
    EXPECT_EQ(text.DataString(), "abcdeXYZ");
}

TEST(Streams, FileErrorsNameTheFileAndTheReason) {
    TempDir dir;
    std::string missing = dir.File("missing.bin");
    try {
        TFileStream in(missing, fmOpenRead);
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), "Cannot open file \"" + missing + "\". No such file or directory");
    }
    EXPECT_THROW(TFileStream(dir.Path(), fmOpenRead), EFOpenError);
    EXPECT_THROW(TFileStream(dir.File("no/dir.bin"), fmCreate), EFCreateError);

    TFileStream reader(dir.File("empty.bin"), fmCreate);
    TFileStream read_only(dir.File("empty.bin"), fmOpenRead);
    EXPECT_THROW(read_only.WriteBuffer("x", 1), EWriteError);
}

TEST(FileUtils, NamesAndCaseInsensitiveLookup) {
    EXPECT_EQ(ExtractFilePath("/a/b/c.txt"), "/a/b/");
    EXPECT_EQ(ExtractFileName("/a/b/c.txt"), "c.txt");
    EXPECT_EQ(ExtractFileExt("/a/b.d/c"), "");
    EXPECT_EQ(ExtractFileExt("c.tar.gz"), ".gz");
    EXPECT_EQ(ChangeFileExt("/a/b.d/c", ".ini"), "/a/b.d/c.ini");
    EXPECT_EQ(ChangeFileExt("x.log", ""), "x");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a"), "/a/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a/"), "/a/");

    TempDir dir;
    ASSERT_TRUE(ForceDirectories(dir.File("x/y/z")));
    EXPECT_TRUE(DirectoryExists(dir.File("x/y")));
    EXPECT_FALSE(FileExists(dir.File("x/y")));
    TempDir::Write(dir.File("Türen.INI"), "1");
    TempDir::Write(dir.File("other.ini"), "2");
    EXPECT_EQ(FindFileCaseInsensitive(dir.Path(), "türen.ini"), dir.File("Türen.INI"));
    EXPECT_EQ(FindFileCaseInsensitive(dir.Path(), "other.ini"), dir.File("other.ini"));
    EXPECT_EQ(FindFileCaseInsensitive(dir.Path(), "none.ini"), "");
    EXPECT_TRUE(RenameFile(dir.File("other.ini"), dir.File("moved.ini")));
    EXPECT_TRUE(DeleteFile(dir.File("moved.ini")));
    EXPECT_FALSE(FileExists(dir.File("moved.ini")));
}

TEST(FileUtils, AtomicWriteKeepsPermissionsAndFollowsLinks) {
    TempDir dir;
    std::string target = dir.File("real.ini");
    TempDir::Write(target, "old");
    ::chmod(target.c_str(), 0640);
    ASSERT_EQ(::symlink(target.c_str(), dir.File("link.ini").c_str()), 0);
    WriteFileAtomic(dir.File("link.ini"), "new");
    EXPECT_EQ(TempDir::Read(target), "new");
    struct stat st {};
    ASSERT_EQ(::lstat(dir.File("link.ini").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    // A file its owner made read-only is not replaced behind its back, not even by root.
    ::chmod(target.c_str(), 0444);
    EXPECT_THROW(WriteFileAtomic(dir.File("link.ini"), "newer"), EFCreateError);
    EXPECT_EQ(TempDir::Read(target), "new");
    EXPECT_TRUE(IsReadOnlyFile(dir.File("link.ini")));
    EXPECT_FALSE(IsReadOnlyFile(dir.File("none.ini")));
}
