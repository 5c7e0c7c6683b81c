#include "builder/pages/PageFile.h"

#include "platform/core/Files.h"

void WritePageText(const std::string& fileName, const std::string& text, bool finalLineEnd)
{
    if (!finalLineEnd) {
        WriteFileBytes(fileName, text);
        return;
    }
    std::string bytes;
    bytes.reserve(text.size() + 2);
    bytes += text;
    bytes += "\r\n";
    WriteFileBytes(fileName, bytes);
}

void WritePageFile(const std::string& folder, const TPageFile& file)
{
    WritePageText(folder + file.Name, file.Text, file.FinalLineEnd);
}
