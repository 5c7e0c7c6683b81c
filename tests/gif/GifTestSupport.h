#pragma once

// Loading and saving through the codec with its warnings caught, and the
// peer tools run as programs.

#include <memory>
#include <string>
#include <vector>

#include "gif/GIFImage.h"

struct TLoadResult {
    std::unique_ptr<TGIFImage> Image = std::make_unique<TGIFImage>();
    std::vector<std::string> Warnings;
    // The message of the exception that ended the load; empty when none.
    std::string Error;
    std::int64_t PositionAfter = 0;
};

TLoadResult LoadGif(const std::string& bytes);
std::string SaveGif(TGIFImage& image);
std::string ReadBinaryFile(const std::string& path);
void WriteBinaryFile(const std::string& path, const std::string& bytes);

// Runs a shell command; its exit code, stdout and stderr together in `output`.
int RunCommand(const std::string& command, std::string& output);
bool HaveTool(const std::string& name);
// A fresh folder below the system's temporary folder, removed at exit.
std::string TempFolder(const std::string& name);
std::string TestDataDir();
