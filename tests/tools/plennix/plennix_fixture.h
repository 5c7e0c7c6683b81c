#pragma once

// The real converter run as the shell starts it, from a work folder of its
// own, with a stand-in xdg-open on the path that notes what it was given.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/core/Files.h"
#include "tests/pdf/pdf_peers.h"

namespace plennixtest {

using pdftest::RunCommand;

class PlennixRun {
public:
    PlennixRun()
    {
        Work = Folder.Path() + "PDFIMAGES/";
        ForceDirectories(Work);
        std::filesystem::copy_file(PLENNIX_PROGRAM, Work + "plennix.exe");
        ForceDirectories(Folder.Path() + "bin");
        WriteFileBytes(Folder.Path() + "bin/xdg-open", "#!/bin/sh\necho \"$@\" >> '" + Folder.Path() + "opened'\n");
        MakeExecutable(Folder.Path() + "bin/xdg-open");
    }

    // Runs the converter with the argument line split as the shell splits it; answers its status.
    int Run(const std::string& arguments, std::string* output = nullptr) const
    {
        // No desktop: what the converter has to tell goes to its error output.
        const auto result = RunCommand("cd / && env -u DISPLAY PATH='" + Folder.Path() + "bin':\"$PATH\" '" + Work +
                                       "plennix.exe' " + arguments);
        if (output)
            *output = result.Output;
        return result.Status;
    }
    // The desktop has no program for PDF files: the opener fails as xdg-open does.
    void WithoutViewer() const { WriteFileBytes(Folder.Path() + "bin/xdg-open", "#!/bin/sh\nexit 3\n"); }
    std::string Pdf() const { return Work + "gallery.pdf"; }
    std::string Opened() const { return FileExists(Folder.Path() + "opened") ? ReadFileBytes(Folder.Path() + "opened") : ""; }
    std::string Log() const { return ReadFileBytes(Work + "plennix.log"); }

    pdftest::TempFolder Folder;
    std::string Work;
};

}  // namespace plennixtest
