#pragma once

// A fresh folder under the system's temporary folder, removed with everything
// in it when the test ends. Path() ends with "/".

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

class TTempFolder {
public:
    TTempFolder()
    {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/gallery-core-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        FPath = pattern + "/";
    }
    ~TTempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(FPath, ignored);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    const std::string& Path() const { return FPath; }

private:
    std::string FPath;
};
