#include "GifTestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "platform/core/TStream.h"
#include "tests/support/TempFolder.h"
#include "tests/support/CommandOutput.h"

TLoadResult LoadGif(const std::string& bytes)
{
    TLoadResult result;
    result.Image->OnGIFWarning = [&result](TObject*, int, const std::string& message) {
        result.Warnings.push_back(message);
    };
    TMemoryStream stream(bytes);
    try {
        result.Image->LoadFromStream(stream);
    } catch (const GIFException& e) {
        result.Error = e.what();
    }
    result.PositionAfter = stream.Position();
    result.Image->OnGIFWarning = nullptr;
    return result;
}

std::string SaveGif(TGIFImage& image)
{
    TMemoryStream stream;
    image.SaveToStream(stream);
    return stream.Bytes();
}

std::string ReadBinaryFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteBinaryFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

int RunCommand(const std::string& command, std::string& output)
{
    testsupport::TCommandResult result = testsupport::RunShellCommand("timeout 60 " + command + " 2>&1");
    output = std::move(result.Output);
    return result.Status;
}

bool HaveTool(const std::string& name)
{
    std::string output;
    return RunCommand("sh -c \"command -v " + name + "\"", output) == 0;
}

std::string TempFolder(const std::string&)
{
    // Each lives until the test program ends.
    static std::vector<std::unique_ptr<testsupport::TempFolder>> made;
    made.push_back(std::make_unique<testsupport::TempFolder>());
    const std::string& path = made.back()->Path();
    return path.substr(0, path.size() - 1);
}

std::string TestDataDir()
{
    return GALLERY_TESTDATA_DIR;
}
