#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/shell/ShellExecute.h"
#include "tests/support/TempFolder.h"

namespace {

namespace fs = std::filesystem;

class ShellExecuteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FDir = FTemp.Path().substr(0, FTemp.Path().size() - 1);
        ClearRecordedShellStarts();
        SetShellRecordOnly(true);
    }
    void TearDown() override
    {
        SetShellRecordOnly(false);
        ClearRecordedShellStarts();
    }
    std::string MakeFile(const std::string& name, const std::string& content, bool executable)
    {
        std::string path = FDir + "/" + name;
        std::ofstream(path) << content;
        chmod(path.c_str(), executable ? 0755 : 0644);
        return path;
    }
    TShellStart LastStart()
    {
        std::vector<TShellStart> starts = RecordedShellStarts();
        EXPECT_FALSE(starts.empty());
        return starts.empty() ? TShellStart{} : starts.back();
    }
    static bool WaitForFile(const std::string& path)
    {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!fs::exists(path)) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    }

    testsupport::TempFolder FTemp;
    std::string FDir;  // FTemp's, without the final "/"
};

// Writes its arguments after the first, one a line, into the file named by the
// first, then its parent and session ids.
constexpr const char* ReportingScript =
    "#!/bin/sh\n"
    "out=\"$1\"; shift\n"
    "read -r _ _ _ ppid _ sid _ < /proc/$$/stat\n"
    "{ printf '%s\\n' \"$@\"; echo \"ppid=$ppid\"; echo \"sid=$sid\"; } > \"$out.tmp\"\n"
    "mv \"$out.tmp\" \"$out\"\n";

TEST(SplitShellParameters, SplitsAtBlanksOnly)
{
    struct Case {
        const char* Line;
        std::vector<std::string> Expected;
    };
    const Case cases[] = {
        {"", {}},
        {"   ", {}},
        {"one", {"one"}},
        {"  a  b\tc ", {"a", "b", "c"}},
        {"C:/My%20Pictures *Gallery*Name* -x", {"C:/My%20Pictures", "*Gallery*Name*", "-x"}},
        {"\"quoted words\"", {"\"quoted", "words\""}},  // no quoting rules
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Line);
        EXPECT_EQ(SplitShellParameters(c.Line), c.Expected);
    }
}

TEST_F(ShellExecuteTest, RecordOnlyModeRecordsWhatWouldStartAndStartsNothing)
{
    std::string script = MakeFile("tool.exe", ReportingScript, true);
    std::string out = FDir + "/out.txt";
    std::intptr_t result = ShellExecute(0, "open", script, out + "  first\tsecond", "", SW_SHOW);
    EXPECT_GT(result, 32);
    TShellStart start = LastStart();
    EXPECT_EQ(start.Target, TShellTarget::Program);
    EXPECT_EQ(start.Program, script);
    EXPECT_EQ(start.Arguments, (std::vector<std::string>{out, "first", "second"}));
    EXPECT_EQ(start.Parameters, out + "  first\tsecond");
    EXPECT_EQ(start.ShowCommand, SW_SHOW);
    EXPECT_FALSE(start.Started);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(fs::exists(out)) << "nothing may run in record-only mode";
}

TEST_F(ShellExecuteTest, TargetsAreTold)
{
    std::string program = MakeFile("prog", "#!/bin/sh\n", true);
    std::string document = MakeFile("start.html", "<html></html>", false);
    fs::create_directory(FDir + "/sub");
    MakeFile("sub/inner.exe", "#!/bin/sh\n", true);
    struct Case {
        const char* Name;
        std::string Verb;
        std::string File;
        std::string Directory;
        TShellTarget Target;
        bool Success;
        std::string Program;
        std::vector<std::string> Arguments;
    };
    const Case cases[] = {
        {"program", "open", program, "", TShellTarget::Program, true, program, {}},
        {"verb in capitals", "Open", program, "", TShellTarget::Program, true, program, {}},
        {"empty verb", "", program, "", TShellTarget::Program, true, program, {}},
        {"relative to the directory", "open", "inner.exe", FDir + "/sub", TShellTarget::Program, true,
         FDir + "/sub/inner.exe", {}},
        {"document", "open", document, "", TShellTarget::Document, true, "xdg-open", {document}},
        {"folder", "open", FDir + "/sub", "", TShellTarget::Document, true, "xdg-open", {FDir + "/sub"}},
        {"web address", "open", "http://example.org/a b", "", TShellTarget::Address, true, "xdg-open",
         {"http://example.org/a b"}},
        {"mail address", "open", "mailto:someone@example.org", "", TShellTarget::Address, true,
         "xdg-open", {"mailto:someone@example.org"}},
        {"missing file", "open", FDir + "/nothing.exe", "", TShellTarget::Missing, false, "", {}},
        {"empty file", "open", "", "", TShellTarget::Missing, false, "", {}},
        {"unknown verb", "print", document, "", TShellTarget::Unsupported, false, "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        std::intptr_t result = ShellExecute(0, c.Verb, c.File, "", c.Directory, SW_SHOWNORMAL);
        EXPECT_EQ(result > 32, c.Success) << result;
        TShellStart start = LastStart();
        EXPECT_EQ(start.Target, c.Target);
        EXPECT_EQ(start.Program, c.Program);
        EXPECT_EQ(start.Arguments, c.Arguments);
        EXPECT_EQ(start.Result, result);
    }
    EXPECT_EQ(ShellExecute(0, "open", FDir + "/nothing.exe", "", "", 5), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ShellExecute(0, "print", document, "", "", 5), SE_ERR_NOASSOC);
}

TEST_F(ShellExecuteTest, EnvironmentSwitchesRecordOnlyModeOn)
{
    SetShellRecordOnly(false);
    const char* old = std::getenv("GALLERY_SHELL");
    std::string saved = old ? old : "";
    unsetenv("GALLERY_SHELL");
    EXPECT_FALSE(ShellRecordOnly());
    setenv("GALLERY_SHELL", "record", 1);
    EXPECT_TRUE(ShellRecordOnly());
    setenv("GALLERY_SHELL", "run", 1);
    EXPECT_FALSE(ShellRecordOnly());
    if (old)
        setenv("GALLERY_SHELL", saved.c_str(), 1);
    else
        unsetenv("GALLERY_SHELL");
}

class RealStartTest : public ShellExecuteTest {
protected:
    // These start only the harmless scripts they write, so they lift a
    // process-wide record-only setting for their own duration.
    void SetUp() override
    {
        ShellExecuteTest::SetUp();
        SetShellRecordOnly(false);
        if (const char* mode = std::getenv("GALLERY_SHELL")) {
            FSavedMode = mode;
            unsetenv("GALLERY_SHELL");
        }
    }
    void TearDown() override
    {
        if (FSavedMode)
            setenv("GALLERY_SHELL", FSavedMode->c_str(), 1);
        ShellExecuteTest::TearDown();
    }

    std::optional<std::string> FSavedMode;
};

TEST_F(RealStartTest, AProgramStartsDetachedWithItsArgumentsAndLeavesNoChild)
{
    std::string script = MakeFile("writer.exe", ReportingScript, true);
    std::string out = FDir + "/out.txt";
    std::intptr_t result = ShellExecute(0, "open", script, out + " hello  world", "", SW_SHOW);
    ASSERT_GT(result, 32);
    EXPECT_TRUE(LastStart().Started);

    // The middle child was reaped inside the call and the program is not ours.
    int status = 0;
    EXPECT_EQ(waitpid(-1, &status, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);

    ASSERT_TRUE(WaitForFile(out));
    std::ifstream in(out);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "hello");
    EXPECT_EQ(lines[1], "world");
    EXPECT_NE(lines[2], "ppid=" + std::to_string(getpid()));
    EXPECT_NE(lines[3], "sid=" + std::to_string(getsid(0))) << "it runs in its own session";
}

TEST_F(RealStartTest, TheProgramStartsInTheGivenDirectory)
{
    MakeFile("pwd.exe", "#!/bin/sh\npwd > here.tmp && mv here.tmp here.txt\n", true);
    ASSERT_GT(ShellExecute(0, "open", "pwd.exe", "", FDir, SW_SHOW), 32);
    ASSERT_TRUE(WaitForFile(FDir + "/here.txt"));
    std::ifstream in(FDir + "/here.txt");
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(fs::canonical(line), fs::canonical(FDir));
}

TEST_F(RealStartTest, AFileThatCannotBeExecutedFailsTheCall)
{
    std::string broken = MakeFile("broken.exe", "this is no program\n", true);
    std::intptr_t result = ShellExecute(0, "open", broken, "", "", SW_SHOW);
    EXPECT_EQ(result, ERROR_BAD_FORMAT);
    EXPECT_FALSE(LastStart().Started);
}

TEST_F(RealStartTest, ADocumentTheOpenerCannotOpenFailsTheCallAsWithoutAnAssociation)
{
    const std::string bin = FDir + "/bin";
    fs::create_directories(bin);
    const std::string document = MakeFile("gallery.eml", "Subject: x\r\n", false);
    const std::string savedPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    struct Case {
        const char* name;
        const char* opener;
        std::intptr_t result;
    } cases[] = {
        {"no program for the type", "#!/bin/sh\necho 'x-terminal-emulator: not found' >&2\nexit 3\n", SE_ERR_NOASSOC},
        {"opened and done", "#!/bin/sh\nexit 0\n", SHELL_SUCCESS},
        {"still showing it", "#!/bin/sh\nsleep 5\n", SHELL_SUCCESS},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::ofstream(bin + "/xdg-open") << c.opener;
        fs::permissions(bin + "/xdg-open", fs::perms::owner_all);
        setenv("PATH", (bin + ":" + savedPath).c_str(), 1);
        const std::intptr_t result = ShellExecute(0, "open", document, "", "", SW_SHOW);
        setenv("PATH", savedPath.c_str(), 1);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(LastStart().Started, c.result == SHELL_SUCCESS);
    }
}

}  // namespace
