#pragma once

// The files of a folder tree, by their names relative to its root (as the
// system spells them), with their bytes: two trees compare as maps.

#include <filesystem>
#include <map>
#include <string>

#include "platform/core/Files.h"

namespace testsupport {

inline std::map<std::string, std::string> FolderTree(const std::string& root)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            files[std::filesystem::relative(entry.path(), root).string()] =
                ReadFileBytes(FromSystemPath(entry.path().string()));
    return files;
}

}  // namespace testsupport
