#include "platform/core/Files.h"

#include <cerrno>
#include <chrono>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/support/TempFolder.h"
#include "platform/core/Exceptions.h"

namespace {

using Names = std::vector<std::string>;

TEST(Files, PathParts)
{
    struct Case {
        const char* fileName;
        const char* path;
        const char* name;
        const char* ext;
    };
    const Case cases[] = {
        {"/a/b/pic.jpg", "/a/b/", "pic.jpg", ".jpg"},
        {"/a/b.tar.gz", "/a/", "b.tar.gz", ".gz"},
        {"/a.dir/file", "/a.dir/", "file", ""},
        {"/a/", "/a/", "", ""},
        {"name", "", "name", ""},
        {"name.", "", "name.", "."},
        {".hidden", "", ".hidden", ".hidden"},
        {"", "", "", ""},
        {"/", "/", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fileName);
        EXPECT_EQ(ExtractFilePath(c.fileName), c.path);
        EXPECT_EQ(ExtractFileName(c.fileName), c.name);
        EXPECT_EQ(ExtractFileExt(c.fileName), c.ext);
    }
}

TEST(Files, ChangeFileExtAndDelimiters)
{
    EXPECT_EQ(ChangeFileExt("a/b.txt", ".jpg"), "a/b.jpg");
    EXPECT_EQ(ChangeFileExt("a.b/c", ".x"), "a.b/c.x");
    EXPECT_EQ(ChangeFileExt("f.tar.gz", ""), "f.tar");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a"), "/a/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a/"), "/a/");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/a/"), "/a");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/a"), "/a");
}

TEST(Files, ExpandFileNameFoldsDotsByText)
{
    EXPECT_EQ(ExpandFileName("/a/./b/../c"), "/a/c");
    EXPECT_EQ(ExpandFileName("/a//b/"), "/a/b/");
    EXPECT_EQ(ExpandFileName("/../x"), "/x");
    EXPECT_EQ(ExpandFileName("/"), "/");
    EXPECT_EQ(ExpandFileName("sub/../f.txt"), IncludeTrailingPathDelimiter(GetCurrentDir()) + "f.txt");
}

TEST(Files, MaskMatching)
{
    struct Case {
        const char* name;
        const char* mask;
        bool expected;
    };
    const Case cases[] = {
        {"x.jpg", "*.jpg", true},
        {"X.JPG", "*.jpg", true},
        {"x.Jpg", "*.JPG", true},
        {"x.jpeg", "*.jpg", false},
        {"x.jpg.bak", "*.jpg", false},
        {"jpg", "*.jpg", false},
        {".jpg", "*.jpg", true},
        {"readme", "*.*", true},
        {"a.b.c", "*.*", true},
        {"readme", "readme.*", true},
        {"readme.txt", "readme.*", true},
        {"readmes", "readme.*", false},
        {"abc", "a?c", true},
        {"ac", "a?c", false},
        {"abbc", "a?c", false},
        {"", "*", true},
        {"abc", "", false},
        {"aXbXc", "*b*c", true},
        {"abcbd", "*b?", true},
        {"th_12.jpg", "th_*.jpg", true},
        {"\xE4.gif", "\xE4.GIF", true},
        {"@", "`", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " ~ " + c.mask);
        EXPECT_EQ(MatchesMask(c.name, c.mask), c.expected);
    }
}

TEST(Files, MaskMatchingStaysFastOnManyStars)
{
    // A naive recursive matcher needs exponential time here.
    const std::string name(5000, 'a');
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(MatchesMask(name, "*a*a*a*a*a*a*a*a*a*a*b"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(Files, SeveralMasks)
{
    struct Case {
        const char* name;
        const char* masks;
        bool expected;
    };
    const Case cases[] = {
        {"x.GIF", "*.gif;*.jpg", true}, {"x.jpg", "*.gif;*.jpg", true}, {"x.png", "*.gif;*.jpg", false},
        {"x.jpg", "*.gif; *.jpg ", true}, {"x.jpg", "", false},          {"x.jpg", ";;", false},
        {"x.cnt", "*.cnt", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " ~ " + c.masks);
        EXPECT_EQ(MatchesMasks(c.name, c.masks), c.expected);
    }
}

class TFilesTest : public ::testing::Test {
protected:
    testsupport::TempFolder FFolder;
    std::string Name(const std::string& leaf) const { return FFolder.Path() + leaf; }
};

TEST_F(TFilesTest, FindFilesByMaskKindAndVisibility)
{
    for (const char* leaf : {"b.JPG", "a.jpg", ".hidden.jpg", "c.gif", "d.txt", "noext", "caf\xE9.jpg"})
        WriteFileBytes(Name(leaf), "x");
    ASSERT_TRUE(CreateDir(Name("sub.jpg")));
    ASSERT_TRUE(CreateDir(Name(".git")));
    ASSERT_EQ(::symlink("a.jpg", (FFolder.Path() + "link.jpg").c_str()), 0);
    ASSERT_EQ(::symlink("gone", (FFolder.Path() + "broken.jpg").c_str()), 0);

    const std::string dir = FFolder.Path();
    EXPECT_EQ(FindFiles(dir, "*.jpg"), (Names{"a.jpg", "b.JPG", "caf\xE9.jpg", "link.jpg"}));
    EXPECT_EQ(FindFiles(dir, "*.gif;*.jpg"), (Names{"a.jpg", "b.JPG", "c.gif", "caf\xE9.jpg", "link.jpg"}));
    EXPECT_EQ(FindFiles(dir, "*.jpg", TFindKind::Files, true),
              (Names{".hidden.jpg", "a.jpg", "b.JPG", "caf\xE9.jpg", "link.jpg"}));
    EXPECT_EQ(FindFiles(dir, "*.*"),
              (Names{"a.jpg", "b.JPG", "c.gif", "caf\xE9.jpg", "d.txt", "link.jpg", "noext"}));
    EXPECT_EQ(FindFiles(dir, "*", TFindKind::Directories), (Names{"sub.jpg"}));
    EXPECT_EQ(FindFiles(dir, "*", TFindKind::Directories, true), (Names{".git", "sub.jpg"}));
    EXPECT_EQ(FindFiles(dir, "*.jpg", TFindKind::Both),
              (Names{"a.jpg", "b.JPG", "caf\xE9.jpg", "link.jpg", "sub.jpg"}));
    EXPECT_EQ(FindFiles(ExcludeTrailingPathDelimiter(dir), "d.*"), (Names{"d.txt"}));
    EXPECT_TRUE(FindFiles(Name("missing"), "*").empty());
}

TEST_F(TFilesTest, ListFolderGivesWhatCp1252HoldsAndTellsTheRestOnce)
{
    // Written by their UTF-8 names directly, as another program would:
    // Cyrillic, Polish and CJK letters, and a name that is not UTF-8 at all.
    for (const char* leaf : {"\xD0\x9C\xD0\xB8\xD1\x80.jpg", "\xC5\x81\xC3\xB3" "d\xC5\xBA.jpg", "\xE6\x97\xA5.jpg",
                             "\xFF.jpg", "\xE6\x97\xA5.txt"})
        ASSERT_EQ(::close(::creat((FFolder.Path() + leaf).c_str(), 0644)), 0) << leaf;
    WriteFileBytes(Name("ok.jpg"), "x");
    WriteFileBytes(Name("caf\xE9.jpg"), "x");

    const TFolderListing listing = ListFolder(FFolder.Path(), "*.jpg");
    EXPECT_EQ(listing.Names, (Names{"caf\xE9.jpg", "ok.jpg"}));
    EXPECT_EQ(listing.Unrepresentable,
              (Names{"\\xC5\\x81\\xC3\\xB3d\\xC5\\xBA.jpg", "\\xD0\\x9C\\xD0\\xB8\\xD1\\x80.jpg", "\\xE6\\x97\\xA5.jpg",
                      "\\xFF.jpg"}))
        << "the .txt name the mask leaves out is not told";
    EXPECT_EQ(FindFiles(FFolder.Path(), "*.jpg"), listing.Names);
    EXPECT_TRUE(ListFolder(FFolder.Path(), "*.gif").Unrepresentable.empty());
}

TEST_F(TFilesTest, SystemPathConversion)
{
    EXPECT_EQ(ToSystemPath("/tmp/caf\xE9 \x80"), "/tmp/caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(FromSystemPath("/tmp/caf\xC3\xA9"), "/tmp/caf\xE9");
    EXPECT_THROW(FromSystemPath("/tmp/\xE9"), EEncodingError);
}

TEST_F(TFilesTest, ExistenceSizeAndDeletion)
{
    const std::string file = Name("f.bin");
    WriteFileBytes(file, std::string("ab\0cd", 5));
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(DirectoryExists(file));
    EXPECT_FALSE(FileExists(FFolder.Path()));
    EXPECT_TRUE(DirectoryExists(FFolder.Path()));
    EXPECT_EQ(FileSize(file), 5);
    EXPECT_EQ(FileSize(FFolder.Path()), -1);
    EXPECT_EQ(FileSize(Name("none")), -1);
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(DirectoryExists(""));

    EXPECT_TRUE(DeleteFile(file));
    EXPECT_FALSE(DeleteFile(file));
    EXPECT_FALSE(FileExists(file));
}

TEST_F(TFilesTest, FoldersAndRenames)
{
    EXPECT_TRUE(CreateDir(Name("d")));
    EXPECT_FALSE(CreateDir(Name("d"))) << "it exists";
    EXPECT_FALSE(CreateDir(Name("x/y"))) << "a missing parent";
    EXPECT_TRUE(ForceDirectories(Name("p/q/r/")));
    EXPECT_TRUE(DirectoryExists(Name("p/q/r")));
    EXPECT_TRUE(ForceDirectories(Name("p/q")));
    WriteFileBytes(Name("plain"), "");
    EXPECT_FALSE(ForceDirectories(Name("plain/sub"))) << "a file stands in the way";
    EXPECT_FALSE(ForceDirectories(""));

    EXPECT_FALSE(RemoveDir(Name("p"))) << "not empty";
    EXPECT_TRUE(RemoveDir(Name("p/q/r")));
    EXPECT_FALSE(DirectoryExists(Name("p/q/r")));

    WriteFileBytes(Name("old"), "content");
    EXPECT_TRUE(RenameFile(Name("old"), Name("new")));
    EXPECT_FALSE(FileExists(Name("old")));
    EXPECT_EQ(ReadFileBytes(Name("new")), "content");
    EXPECT_FALSE(RenameFile(Name("old"), Name("other")));
}

TEST_F(TFilesTest, ReplaceFileBytesKeepsTheOldFileWholeUntilTheRename)
{
    ReplaceFileBytes(Name("kept"), "first");
    ASSERT_EQ(::chmod(Name("kept").c_str(), 0640), 0);
    ReplaceFileBytes(Name("kept"), "second");
    EXPECT_EQ(ReadFileBytes(Name("kept")), "second");
    struct stat kept {};
    ASSERT_EQ(::stat(Name("kept").c_str(), &kept), 0);
    EXPECT_EQ(kept.st_mode & 07777, 0640u) << "the replaced file keeps its permissions";
    EXPECT_FALSE(FileExists(Name("kept.new")));
    // A folder where the new file would be renamed to: the file's own name is told.
    CreateDir(Name("folder"));
    WriteFileBytes(Name("folder/inside"), "");
    try {
        ReplaceFileBytes(Name("folder"), "bytes");
        ADD_FAILURE() << "no error";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.FileName(), Name("folder"));
    }
    EXPECT_FALSE(FileExists(Name("folder.new")));
    EXPECT_TRUE(FileExists(Name("folder/inside")));
}

// As a user who may write the folder but not the file: the rename would
// succeed, opening the file would not.
TEST_F(TFilesTest, ReplaceFileBytesRefusesAFileItsUserMayNotWrite)
{
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to become another user";
    WriteFileBytes(Name("theirs"), "kept");
    ASSERT_EQ(::chmod(Name("theirs").c_str(), 0644), 0);
    ASSERT_EQ(::chmod(FFolder.Path().c_str(), 0777), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        int code = 1;
        if (::setgid(65534) == 0 && ::setuid(65534) == 0) {
            try {
                ReplaceFileBytes(Name("theirs"), "replaced");
                code = 2;
            } catch (const EFCreateError& e) {
                code = e.SystemError() == EACCES && e.FileName() == Name("theirs") ? 0 : 3;
            }
            ReplaceFileBytes(Name("mine"), "new");  // a new file is still written
        }
        ::_exit(code);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadFileBytes(Name("theirs")), "kept");
    EXPECT_EQ(ReadFileBytes(Name("mine")), "new");
    EXPECT_FALSE(FileExists(Name("theirs.new")));
}

TEST_F(TFilesTest, CopyFileToCopiesBytesAndPermissions)
{
    std::string bytes(150 * 1024, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i % 253);
    WriteFileBytes(Name("src"), bytes);
    ASSERT_EQ(::chmod(Name("src").c_str(), 0750), 0);
    WriteFileBytes(Name("dst"), "an older, longer target content");
    EXPECT_TRUE(CopyFileTo(Name("src"), Name("dst")));
    EXPECT_EQ(ReadFileBytes(Name("dst")), bytes);
    EXPECT_TRUE(CopyFileTo(Name("src"), Name("fresh")));
    struct stat info {};
    ASSERT_EQ(::stat(Name("fresh").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0100, 0100u);
    EXPECT_FALSE(CopyFileTo(Name("none"), Name("x")));
    EXPECT_FALSE(FileExists(Name("x"))) << "a failed copy leaves no target";
    EXPECT_FALSE(CopyFileTo(Name("src"), Name("no/folder/x")));
    EXPECT_FALSE(CopyFileTo(FFolder.Path(), Name("y")));
}

TEST_F(TFilesTest, SameFileSeesThroughNamesAndLinks)
{
    ASSERT_TRUE(CreateDir(Name("sub")));
    WriteFileBytes(Name("a.jpg"), "a");
    WriteFileBytes(Name("b.jpg"), "a");
    ASSERT_EQ(::symlink(Name("a.jpg").c_str(), Name("link.jpg").c_str()), 0);
    struct Case {
        const char* first;
        const char* second;
        bool same;
    };
    const Case cases[] = {
        {"a.jpg", "a.jpg", true},
        {"a.jpg", "sub/../a.jpg", true},
        {"a.jpg", "link.jpg", true},
        {"a.jpg", "b.jpg", false},     // equal bytes, another file
        {"a.jpg", "none.jpg", false},  // a target not there yet
        {"none.jpg", "none.jpg", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.first) + " / " + c.second);
        EXPECT_EQ(SameFile(Name(c.first), Name(c.second)), c.same);
    }
}

TEST_F(TFilesTest, WholeFileErrorsNameTheFile)
{
    const std::string missing = Name("missing.dat");
    try {
        ReadFileBytes(missing);
        ADD_FAILURE() << "no exception";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.FileName(), missing);
        EXPECT_EQ(e.SystemError(), ENOENT);
    }
    const std::string inMissingFolder = Name("no/x.dat");
    try {
        WriteFileBytes(inMissingFolder, "x");
        ADD_FAILURE() << "no exception";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.FileName(), inMissingFolder);
    }
    EXPECT_THROW(ReadFileBytes(FFolder.Path()), EFOpenError);
}

TEST_F(TFilesTest, MakeExecutableFollowsTheReadBits)
{
    struct Case {
        mode_t before;
        mode_t after;
    };
    const Case cases[] = {{0644, 0755}, {0640, 0750}, {0600, 0700}, {0200, 0200}, {0755, 0755}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before);
        const std::string file = Name("exe");
        WriteFileBytes(file, "#!/bin/sh\n");
        ASSERT_EQ(::chmod(file.c_str(), c.before), 0);
        MakeExecutable(file);
        struct stat info {};
        ASSERT_EQ(::stat(file.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, c.after);
    }
    EXPECT_THROW(MakeExecutable(Name("none")), EInOutError);
}

TEST_F(TFilesTest, CurrentDirRoundTrip)
{
    const std::string before = GetCurrentDir();
    ASSERT_TRUE(CreateDir(Name("caf\xE9")));
    ASSERT_TRUE(SetCurrentDir(Name("caf\xE9")));
    const std::string inside = GetCurrentDir();
    EXPECT_TRUE(SetCurrentDir(before));
    EXPECT_EQ(ExtractFileName(inside), "caf\xE9");
    EXPECT_FALSE(SetCurrentDir(Name("none")));
    EXPECT_EQ(GetCurrentDir(), before);
}

}  // namespace
