#include "platform/core/Program.h"

#include <climits>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"

namespace {

std::string RealExecutable()
{
    char resolved[PATH_MAX];
    return ::realpath("/proc/self/exe", resolved) ? resolved : "";
}

TEST(Program, ProgramFileIsTheRealExecutable)
{
    const std::string expected = RealExecutable();
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(ProgramFileName(), expected);
    EXPECT_EQ(ParamStr(0), expected);
    EXPECT_TRUE(FileExists(ParamStr(0)));
}

TEST(Program, ArgumentsAreConvertedFromUtf8)
{
    std::string program = "./anything";
    std::string plain = "--flag";
    std::string accented = "caf\xC3\xA9 \xE2\x82\xAC";
    std::string foreign = "\xE6\x97\xA5";
    char* argv[] = {program.data(), plain.data(), accented.data(), foreign.data(), nullptr};
    InitProgram(4, argv);
    EXPECT_EQ(ParamCount(), 3);
    EXPECT_EQ(ParamStr(0), RealExecutable()) << "the program file, not argv[0]";
    EXPECT_EQ(ParamStr(1), "--flag");
    EXPECT_EQ(ParamStr(2), "caf\xE9 \x80");
    EXPECT_THROW(ParamStr(3), EEncodingError);
    EXPECT_EQ(ParamStr(4), "");
    EXPECT_EQ(ParamStr(-1), "");
}

}  // namespace
