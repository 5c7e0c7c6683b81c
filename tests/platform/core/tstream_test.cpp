#include "platform/core/TStream.h"

#include <cerrno>
#include <cstdint>
#include <string>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/support/TempFolder.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"

namespace {

TEST(TMemoryStream, ReadStopsAtTheEndAndReadBufferRaises)
{
    TMemoryStream stream(std::string("abcdef"));
    char buffer[8] = {};
    EXPECT_EQ(stream.Read(buffer, 4), 4u);
    EXPECT_EQ(std::string(buffer, 4), "abcd");
    EXPECT_EQ(stream.Read(buffer, 8), 2u);
    EXPECT_EQ(std::string(buffer, 2), "ef");
    EXPECT_EQ(stream.Read(buffer, 8), 0u);

    stream.SetPosition(4);
    try {
        stream.ReadBuffer(buffer, 3);
        ADD_FAILURE() << "no exception";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), "Stream read error");
    }
    // Past the end a read gives nothing rather than touching memory.
    stream.SetPosition(100);
    EXPECT_EQ(stream.Read(buffer, 1), 0u);
    stream.ReadBuffer(buffer, 0);  // nothing asked, nothing to fail
}

TEST(TMemoryStream, SeekFromEveryOriginAndRefusesNegativePositions)
{
    TMemoryStream stream(std::string("0123456789"));
    EXPECT_EQ(stream.Seek(3, soBeginning), 3);
    EXPECT_EQ(stream.Seek(2, soCurrent), 5);
    EXPECT_EQ(stream.Seek(-1, soEnd), 9);
    EXPECT_EQ(stream.Position(), 9);
    EXPECT_EQ(stream.Size(), 10);
    EXPECT_THROW(stream.Seek(-11, soEnd), EStreamError);
    EXPECT_EQ(stream.Position(), 9) << "a refused seek keeps the position";
    EXPECT_THROW(stream.Seek(INT64_MIN, soCurrent), EStreamError);
}

TEST(TMemoryStream, WritePastTheEndFillsTheGapWithZeros)
{
    TMemoryStream stream;
    stream.WriteString("ab");
    stream.SetPosition(5);
    stream.WriteString("xy");
    EXPECT_EQ(stream.Bytes(), std::string("ab\0\0\0xy", 7));
    stream.SetPosition(1);
    stream.WriteString("Q");
    EXPECT_EQ(stream.Bytes(), std::string("aQ\0\0\0xy", 7));
    EXPECT_EQ(stream.Position(), 2);
}

TEST(TMemoryStream, SetSizeShrinksAndPullsThePositionBack)
{
    TMemoryStream stream(std::string("abcdef"));
    stream.SetPosition(6);
    stream.SetSize(2);
    EXPECT_EQ(stream.Bytes(), "ab");
    EXPECT_EQ(stream.Position(), 2);
    stream.SetSize(4);
    EXPECT_EQ(stream.Bytes(), std::string("ab\0\0", 4));
    EXPECT_THROW(stream.SetSize(-1), EStreamError);
    stream.Clear();
    EXPECT_EQ(stream.Size(), 0);
    EXPECT_EQ(stream.Position(), 0);
}

TEST(TStream, CopyFromZeroCopiesTheWholeSourceFromItsStart)
{
    TMemoryStream source(std::string("hello world"));
    source.SetPosition(source.Size());  // wherever the source stands
    TMemoryStream target;
    target.WriteString(">");
    EXPECT_EQ(target.CopyFrom(source, 0), 11);
    EXPECT_EQ(target.Bytes(), ">hello world");
}

TEST(TStream, CopyFromACountStartsAtTheSourcePosition)
{
    TMemoryStream source(std::string("hello world"));
    source.SetPosition(6);
    TMemoryStream target;
    EXPECT_EQ(target.CopyFrom(source, 3), 3);
    EXPECT_EQ(target.Bytes(), "wor");
    EXPECT_EQ(source.Position(), 9);
    EXPECT_THROW(target.CopyFrom(source, 5), EReadError) << "only two bytes are left";
}

TEST(TStream, CopyFromCrossesTheChunkSize)
{
    std::string big(200 * 1024 + 7, '\0');
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7 + i / 251);
    TMemoryStream source(big);
    TMemoryStream target;
    EXPECT_EQ(target.CopyFrom(source, 0), static_cast<std::int64_t>(big.size()));
    EXPECT_EQ(target.Bytes(), big);
}

TEST(TStream, ReadRestReadsFromThePosition)
{
    TMemoryStream stream(std::string("abcdef"));
    stream.SetPosition(2);
    EXPECT_EQ(stream.ReadRest(), "cdef");
    EXPECT_EQ(stream.ReadRest(), "");
}

class TFileStreamTest : public ::testing::Test {
protected:
    testsupport::TempFolder FFolder;
    std::string Name(const std::string& leaf) const { return FFolder.Path() + leaf; }
};

TEST_F(TFileStreamTest, CreateWritesAndReopenReads)
{
    const std::string name = Name("data.bin");
    {
        TFileStream file(name, fmCreate);
        file.WriteString(std::string("abc\0def", 7));
        EXPECT_EQ(file.Size(), 7);
        EXPECT_EQ(file.Position(), 7) << "Size must not move the position";
    }
    TFileStream file(name, fmOpenRead | fmShareDenyWrite);
    EXPECT_EQ(file.FileName(), name);
    EXPECT_EQ(file.Size(), 7);
    file.Seek(-3, soEnd);
    EXPECT_EQ(file.ReadRest(), "def");
    char buffer[4];
    EXPECT_EQ(file.Read(buffer, 4), 0u);
    EXPECT_THROW(file.ReadBuffer(buffer, 1), EReadError);
}

TEST_F(TFileStreamTest, CreateTruncatesAnExistingFileWithUsualPermissions)
{
    const std::string name = Name("old.txt");
    WriteFileBytes(name, "a long old content");
    const mode_t oldMask = ::umask(022);
    {
        TFileStream file(name, fmCreate);
        file.WriteString("new");
    }
    const std::string fresh = Name("fresh.txt");
    { TFileStream file(fresh, fmCreate); }
    ::umask(oldMask);
    EXPECT_EQ(ReadFileBytes(name), "new");
    struct stat info {};
    ASSERT_EQ(::stat(fresh.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
}

TEST_F(TFileStreamTest, ReadWriteModeKeepsTheContent)
{
    const std::string name = Name("rw.bin");
    WriteFileBytes(name, "0123456789");
    {
        TFileStream file(name, fmOpenReadWrite);
        file.SetPosition(2);
        file.WriteString("AB");
        file.SetSize(6);
        EXPECT_EQ(file.Position(), 4);
        file.SetPosition(6);
        file.SetSize(3);
        EXPECT_EQ(file.Position(), 3) << "a shrink pulls the position back to the end";
    }
    EXPECT_EQ(ReadFileBytes(name), "01A");
}

TEST_F(TFileStreamTest, OpenErrorsNameTheFileAndKeepErrno)
{
    const std::string missing = Name("missing.txt");
    try {
        TFileStream file(missing, fmOpenRead);
        ADD_FAILURE() << "no exception";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), "Cannot open file \"" + missing + "\". No such file or directory");
        EXPECT_EQ(e.FileName(), missing);
        EXPECT_EQ(e.SystemError(), ENOENT);
    }
    const std::string noFolder = Name("no/such/folder.txt");
    try {
        TFileStream file(noFolder, fmCreate);
        ADD_FAILURE() << "no exception";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), "Cannot create file \"" + noFolder + "\". No such file or directory");
        EXPECT_EQ(e.SystemError(), ENOENT);
    }
    // A folder opens on Linux; a stream on it would only fail later.
    try {
        TFileStream file(FFolder.Path(), fmOpenRead);
        ADD_FAILURE() << "no exception";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.SystemError(), EISDIR);
    }
}

TEST_F(TFileStreamTest, IoFailuresRaiseInOutErrors)
{
    const std::string name = Name("wo.txt");
    WriteFileBytes(name, "abc");
    TFileStream file(name, fmOpenWrite);
    char buffer[4];
    try {
        file.Read(buffer, sizeof buffer);
        ADD_FAILURE() << "no exception";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.SystemError(), EBADF);
        EXPECT_NE(e.Message().find(name), std::string::npos) << e.Message();
    }
    EXPECT_THROW(file.Seek(-1, soBeginning), EInOutError);
}

// The descriptor the stream holds, found by the file it points to.
int DescriptorOf(const std::string& path)
{
    DIR* fds = ::opendir("/proc/self/fd");
    if (!fds)
        return -1;
    int found = -1;
    while (const dirent* entry = ::readdir(fds)) {
        char target[4096];
        const std::string link = std::string("/proc/self/fd/") + entry->d_name;
        const ssize_t length = ::readlink(link.c_str(), target, sizeof target);
        if (length > 0 && std::string(target, static_cast<std::size_t>(length)) == path)
            found = std::stoi(entry->d_name);
    }
    ::closedir(fds);
    return found;
}

TEST_F(TFileStreamTest, DescriptorsAreNotInheritedByStartedPrograms)
{
    const std::string name = Name("cloexec.txt");
    for (const unsigned mode : {unsigned{fmCreate}, unsigned{fmOpenRead}, unsigned{fmOpenReadWrite}}) {
        SCOPED_TRACE(mode);
        TFileStream file(name, mode);
        const int fd = DescriptorOf(name);
        ASSERT_GE(fd, 0);
        EXPECT_NE(::fcntl(fd, F_GETFD) & FD_CLOEXEC, 0);
    }
}

TEST_F(TFileStreamTest, Cp1252NamesReachTheDiskAsUtf8)
{
    const std::string name = Name("caf\xE9.txt");
    { TFileStream file(name, fmCreate); }
    struct stat info {};
    EXPECT_EQ(::stat((FFolder.Path() + "caf\xC3\xA9.txt").c_str(), &info), 0);
}

TEST_F(TFileStreamTest, MemoryStreamFileRoundTrip)
{
    const std::string name = Name("m.bin");
    TMemoryStream out(std::string("\x00\xFF\r\n", 4));
    out.SetPosition(3);  // saving writes the whole stream regardless
    out.SaveToFile(name);
    TMemoryStream in;
    in.LoadFromFile(name);
    EXPECT_EQ(in.Bytes(), out.Bytes());
    EXPECT_EQ(in.Position(), 0);
    EXPECT_THROW(in.LoadFromFile(Name("none")), EFOpenError);
}

}  // namespace
