#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/core/Files.h"
#include "tests/support/TempFolder.h"
#include "uploader/AccountStore.h"
#include "uploader/UploadPlan.h"

namespace {

using testsupport::TempFolder;

const std::string Key = "4k7wq2ne8vz1mx5tr3ja9hd6yb0ul2pc8fg";

// out[i] = (text[i] + key[i mod 35]) mod 256, written out independently.
std::string ByFormula(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i)
        out += static_cast<char>((static_cast<unsigned char>(text[i]) + static_cast<unsigned char>(Key[i % 35])) & 0xFF);
    return out;
}

TEST(AccountLines, GoldenLineAndFormula)
{
    const TAccount home{"home", "ftp.example.org", "anna", "secret", "21", "/", "no"};
    EXPECT_EQ(PlainAccountRecord(home), "home~ftp.example.org~anna~secret~21~/~no");
    // Worked out by hand from the formula above.
    EXPECT_EQ(ScrambledAccountLine(home),
              "\x9C\xDA\xA4\xDC\xEF\x98\xE2\xD5\x66\xDB\xF2\x92\xDA\xE8\xA1\xD9\xA0\xA2\xDC\xC8\xB7\xC9\xD2\xA4\xDA"
              "\xE0\xA3\xDA\xCF\xA4\xD5\xD7\xB6\x98\x98\xB2\x9A\xB5\xE5\xE0");
    // Past the key's length, with letters above 127.
    const TAccount longer{"Gal\xE9rie M\xFCnchen", "very.long.host.name.example.com", "user\xDF", "p\xE4ss w\xF6rd",
                          "2121", "/www/htdocs/", "yes"};
    EXPECT_EQ(ScrambledAccountLine(longer), ByFormula(PlainAccountRecord(longer)));
}

TEST(AccountLines, RoundTripAndSplitting)
{
    for (const TAccount& a : {TAccount{"a", "h", "u", "p", "21", "/", "no"}, TAccount{"", "", "", "", "", "", ""},
                              TAccount{"Gal\xE9rie", "127.0.0.1", "x y", "\x01\xFF", "2121", "/www/", "yes"}}) {
        const std::string line = ScrambledAccountLine(a);
        EXPECT_EQ(UnscrambledAccount(line), a);
        EXPECT_EQ(StoredAccountName(line), a.Name);
        EXPECT_TRUE(IsWholeAccountLine(line));
    }
    // A short line: a field without its "~" is the rest, which ends as the flag.
    const TAccount shortOne = SplitAccountRecord("name~host~user");
    EXPECT_EQ(shortOne.Host, "host");
    EXPECT_EQ(shortOne.User, "");
    EXPECT_EQ(shortOne.Flag, "user");
    EXPECT_FALSE(IsWholeAccountLine(ByFormula("name~host~user")));
    EXPECT_FALSE(IsWholeAccountLine("home~ftp.example.org~anna~secret~21~/~no"));
    // A "~" in the flag stays in the flag.
    EXPECT_EQ(SplitAccountRecord("a~b~c~d~e~f~g~h").Flag, "g~h");
}

TEST(AccountLines, FieldsThatCannotBeReadBackAreRefusedByName)
{
    const TAccount good{"home", "ftp.example.org", "anna", "secret", "21", "/", "no"};
    EXPECT_EQ(AccountRefusal(good), "");
    struct Case {
        std::string TAccount::*field;
        std::string value;
        const char* label;
    } cases[] = {
        {&TAccount::Name, "my~site", "Account name"},
        {&TAccount::Host, "host\r", "FTP Host"},
        {&TAccount::User, "an\nna", "User name"},
        {&TAccount::Password, "se~cret", "Password"},
        {&TAccount::Port, "2~1", "Port"},
        {&TAccount::Directory, "/www/\r\n", "Directory"},
    };
    for (const Case& c : cases) {
        TAccount a = good;
        a.*c.field = c.value;
        const std::string refusal = AccountRefusal(a);
        EXPECT_NE(refusal.find(std::string("\"") + c.label + "\""), std::string::npos) << refusal;
    }
    // Letters whose scrambled byte is CR or LF at their place in the line:
    // 0x0D - '4' at the first place, 0x0A - key[17] = 0x0A - 'r' in the password.
    TAccount first = good;
    first.Name = "\xD9";
    EXPECT_NE(AccountRefusal(first).find("\"Account name\""), std::string::npos);
    TAccount password = good;  // "home~ftp.example.org~anna~" is 26 bytes: key[26..]
    password.Password = std::string(1, static_cast<char>((0x0A - static_cast<unsigned char>(Key[26])) & 0xFF));
    ASSERT_NE(ScrambledAccountLine(password).find('\n'), std::string::npos);
    EXPECT_NE(AccountRefusal(password).find("\"Password\""), std::string::npos) << AccountRefusal(password);
}

TEST(AccountFile, ReadAppendAndRewriteThroughANewFile)
{
    TempFolder folder;
    const std::string file = folder.Path() + "kto.dat";
    EXPECT_TRUE(ReadAccountLines(file).empty());
    AppendAccountLine(file, "one");
    AppendAccountLine(file, "two");
    EXPECT_EQ(ReadFileBytes(file), "one\r\ntwo\r\n");
    // Lines ending in LF only, and a last line without an end, are kept.
    WriteFileBytes(file, "a\nb");
    AppendAccountLine(file, "c");
    EXPECT_EQ(ReadFileBytes(file), "a\nb\r\nc\r\n");
    EXPECT_EQ(ReadAccountLines(file), (std::vector<std::string>{"a", "b", "c"}));
    WriteAccountLines(file, {"x", "y"});
    EXPECT_EQ(ReadFileBytes(file), "x\r\ny\r\n");
    EXPECT_FALSE(FileExists(file + ".new"));
    // A file that cannot be replaced raises, and the old one stays whole.
    CreateDir(file + ".new");
    EXPECT_ANY_THROW(WriteAccountLines(file, {"z"}));
    EXPECT_EQ(ReadFileBytes(file), "x\r\ny\r\n");
}

TEST(TransferModeFile, OnlyZeroMeansActive)
{
    TempFolder folder;
    const std::string file = folder.Path() + "ftpmod.dat";
    EXPECT_EQ(ReadTransferMode(file), std::nullopt);
    struct Case {
        const char* bytes;
        bool passive;
    } cases[] = {{"0\r\n", false}, {"0", false}, {"1\r\n", true}, {"yes\r\n", true}, {"\r\n0\r\n", true},
                 {"", true},       {"00", true}};
    for (const Case& c : cases) {
        WriteFileBytes(file, c.bytes);
        EXPECT_EQ(ReadTransferMode(file), std::optional<bool>(c.passive)) << c.bytes;
    }
    WriteTransferMode(file, true);
    EXPECT_EQ(ReadFileBytes(file), "1\r\n");
    WriteTransferMode(file, false);
    EXPECT_EQ(ReadFileBytes(file), "0\r\n");
    // A folder of that name cannot be read: no choice, the default stays.
    TempFolder other;
    CreateDir(other.Path() + "ftpmod.dat");
    EXPECT_EQ(ReadTransferMode(other.Path() + "ftpmod.dat"), std::nullopt);
}

TEST(UploadPlan, FoldersPathsAndNames)
{
    EXPECT_EQ(GalleryFolderFromArgument("/home/anna/My*Holiday*2024/"), "/home/anna/My Holiday 2024/");
    EXPECT_EQ(GalleryFolderFromArgument("/g"), "/g");
    // Joined as they are: no separator is added after the account's directory.
    EXPECT_EQ(RemoteGalleryFolder("/", "mygallery"), "/mygallery");
    EXPECT_EQ(RemoteGalleryFolder("/www", "mygallery"), "/wwwmygallery");
    EXPECT_EQ(RemoteGalleryFile("/www/", "my gallery", "th_0.jpg"), "/www/my gallery/th_0.jpg");
    // The server gets the names as the file system holds them.
    EXPECT_EQ(RemoteGalleryFile("/", "G\xE4rten", "K\xF6ln.jpg"), "/G\xC3\xA4rten/K\xC3\xB6ln.jpg");
    EXPECT_EQ(LocalGalleryFile("/g", "a.jpg"), "/g/a.jpg");
    EXPECT_EQ(LocalGalleryFile("/g/", "a.jpg"), "/g/a.jpg");

    const TUploadPlan plan = PlanUpload({"a b.jpg", "bad\r\n.jpg", "K\xF6ln.jpg", "x\ny.html"});
    EXPECT_EQ(plan.Names, (std::vector<std::string>{"a b.jpg", "K\xF6ln.jpg"}));
    EXPECT_EQ(plan.Refused, (std::vector<std::string>{"bad\r\n.jpg", "x\ny.html"}));
    const std::string message = RefusedFilesMessage(plan);
    EXPECT_NE(message.find("bad<CR><LF>.jpg"), std::string::npos);
    EXPECT_NE(message.find("x<LF>y.html"), std::string::npos);
    EXPECT_EQ(RefusedFilesMessage(PlanUpload({"a.jpg"})), "");
}

TEST(UploadPlan, OneMessageNamesEveryLeftOutFileAndSaysWhenNothingGoes)
{
    const std::string lineBreak =
        "These files cannot be sent by FTP, their names hold a line break; they are left out:\r\nx<LF>y.jpg";
    const std::string letters = "These files cannot be sent, their names hold letters outside Windows-1252 "
                                "(shown by their bytes); they are left out:\r\n\\xD0\\x9C.jpg\r\n\\xE6\\x97\\xA5.jpg";
    const std::string nothing = "There is no gallery file to send in this folder; nothing was sent.";
    const std::vector<std::string> unrepresentable{"\\xD0\\x9C.jpg", "\\xE6\\x97\\xA5.jpg"};
    const struct {
        const char* name;
        TUploadPlan plan;
        std::string message;
    } cases[] = {
        {"line breaks alone, as before", PlanUpload({"a.jpg", "x\ny.jpg"}), lineBreak},
        {"unrepresentable names beside the rest", PlanUpload({"a.jpg"}, unrepresentable), letters},
        {"both kinds in one message", PlanUpload({"a.jpg", "x\ny.jpg"}, unrepresentable),
         lineBreak + "\r\n\r\n" + letters},
        {"nothing left", PlanUpload({}, unrepresentable), letters + "\r\n\r\n" + nothing},
        {"an empty folder", PlanUpload({}), nothing},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RefusedFilesMessage(c.plan), c.message);
    }
}

}  // namespace
