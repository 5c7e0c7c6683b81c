#include "GifTestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/core/TStream.h"

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
    output.clear();
    FILE* pipe = popen(("timeout 60 " + command + " 2>&1").c_str(), "r");
    if (!pipe)
        return -1;
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, n);
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool HaveTool(const std::string& name)
{
    std::string output;
    return RunCommand("sh -c \"command -v " + name + "\"", output) == 0;
}

std::string TempFolder(const std::string& name)
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("gallery-gif-" + name + "-" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    static std::vector<fs::path> made;
    static struct TCleanup {
        ~TCleanup()
        {
            for (const auto& f : made) {
                std::error_code ignored;
                fs::remove_all(f, ignored);
            }
        }
    } cleanup;
    made.push_back(folder);
    return folder.string();
}

std::string TestDataDir()
{
    return GALLERY_TESTDATA_DIR;
}
