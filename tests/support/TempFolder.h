#pragma once

// A private temporary folder that goes with its owner.

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>

namespace testsupport {

class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "gallery-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("no temporary folder");
        FPath = pattern + "/";
    }
    ~TempFolder()
    {
        std::error_code error;
        std::filesystem::remove_all(FPath, error);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    // Ends with "/".
    const std::string& Path() const { return FPath; }
    // A file or folder in it.
    std::string operator/(const std::string& name) const { return FPath + name; }

private:
    std::string FPath;
};

}  // namespace testsupport
