#pragma once

// Every picture and sound of the programs, made in memory and written into a
// resources folder (art/ and sounds/ below it). The same bytes come out on
// every run as long as the fonts are the same files.

#include <filesystem>
#include <span>
#include <string>
#include <vector>

struct TArtFile {
    std::string Path;   // relative to the resources folder, '/' separated
    std::string Bytes;
};

std::vector<TArtFile> MakeArt();

// Creates the folders as needed and replaces the files.
void WriteArt(std::span<const TArtFile> files, const std::filesystem::path& resources);

// Where the record of the fonts the pictures were drawn with is kept, and what
// it holds for the fonts installed now: one line per face, its file's name,
// size and checksum. A fresh run equals the committed pictures only when this
// record matches.
inline constexpr const char* FontRecordPath = "art/fonts-used.txt";
std::string FontRecord();
