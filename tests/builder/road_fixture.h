#pragma once

// Shared by the tests of the roads that leave the gallery folder: a program
// folder of its own (the wizard's ProgramFolder) with the viewer and the two
// work folders the build writes into.

#include <string>

#include "platform/core/Files.h"
#include "tests/builder/build_fixture.h"

namespace buildertest {

class RoadTest : public BuildTest {
protected:
    RoadTest()
    {
        Wizard->ProgramFolder = Program.Path();
        ForceDirectories(Program.Path() + "PictureViewer");
    }

    const std::string& ProgramFolder() const { return Program.Path(); }
    std::string ViewerPath() const { return Program.Path() + "PictureViewer/glimra.exe"; }
    void PutViewer(const std::string& bytes) const { WriteFileBytes(ViewerPath(), bytes); }
    // An executable stand-in in the program folder (started only when the
    // shell is not in record-only mode).
    void PutProgram(const std::string& name) const
    {
        ForceDirectories(ExtractFilePath(Program.Path() + name));
        WriteFileBytes(Program.Path() + name, "#!/bin/sh\nexit 0\n");
        MakeExecutable(Program.Path() + name);
    }

    void ChooseExe()
    {
        Wizard->RadioButton10->SetChecked(true);
        Wizard->ExeGalleryMode = true;
    }
    void ChoosePdf()
    {
        Wizard->RadioButton10->SetChecked(true);
        Wizard->ExeGalleryMode = false;
    }
    void ChooseMail() { Wizard->RadioButton4->SetChecked(true); }

    // Runs the build; every scripted answer must have been used.
    void RunBuild()
    {
        Wizard->BitBtn2Click(Wizard->BitBtn2);
        EXPECT_EQ(Script.Pending(), 0u) << "a scripted question was not asked";
    }

    TempFolder Program;
};

}  // namespace buildertest
