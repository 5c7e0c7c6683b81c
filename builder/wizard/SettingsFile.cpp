#include "builder/wizard/SettingsFile.h"

#include "platform/core/Files.h"

namespace {

void ApplySettingsLine(std::string_view line, TBuilderSettings& settings)
{
    if (line.find("SOUND") != std::string_view::npos)
        settings.SoundEffects = line == "SOUND=ON";
    if (line.find("COLOR") != std::string_view::npos)
        settings.ColorEffects = line == "COLOR=ON";
}

}  // namespace

void ApplySettingsText(std::string_view text, TBuilderSettings& settings)
{
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        ApplySettingsLine(text.substr(start, end - start), settings);
        // CR LF is one line end.
        if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
}

std::string SettingsText(const TBuilderSettings& settings, std::string_view language)
{
    std::string text;
    text += settings.SoundEffects ? "SOUND=ON\r\n" : "SOUND=OFF\r\n";
    text += settings.ColorEffects ? "COLOR=ON\r\n" : "COLOR=OFF\r\n";
    text += language == "eng" ? "LANG=eng\r\n" : "LANG=deu\r\n";
    return text;
}

void ReadSettingsFile(const std::string& fileName, TBuilderSettings& settings)
{
    if (!FileExists(fileName) && !DirectoryExists(fileName))
        return;
    ApplySettingsText(ReadFileBytes(fileName), settings);
}

void WriteSettingsFile(const std::string& fileName, const TBuilderSettings& settings, std::string_view language)
{
    WriteFileBytes(fileName, SettingsText(settings, language));
}
