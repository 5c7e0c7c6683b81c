#pragma once

// The uploader's five windows made as the program makes them, headless, with
// a scripted user-interaction, its program folder a temporary one.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/HeadlessInteraction.h"
#include "platform/controls/LayoutReader.h"
#include "platform/controls/TApplication.h"
#include "platform/core/Files.h"
#include "platform/core/Program.h"
#include "tests/support/TempFolder.h"
#include "uploader/AccountChooser.h"
#include "uploader/AccountEditor.h"
#include "uploader/AccountStore.h"
#include "uploader/ProtocolWindow.h"
#include "uploader/SendaroWindows.h"
#include "uploader/UploaderWindow.h"

namespace sendarotest {

class SendaroTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetLayoutDirectory(GALLERY_SOURCE_DIR "/resources");
        ProgramDir = Folder.Path() + "ftp/";
        ASSERT_TRUE(CreateDir(ProgramDir));
        StartFolder = std::filesystem::current_path();
    }
    void TearDown() override
    {
        Windows.reset();
        InitProgram(0, nullptr);
        std::filesystem::current_path(StartFolder);
    }
    // Makes the windows with these start arguments, reading the program
    // folder's files as the start-up does.
    void Start(std::vector<std::string> arguments = {})
    {
        Windows.reset();
        std::vector<char*> argv{const_cast<char*>("sendaro.exe")};
        for (std::string& a : arguments) argv.push_back(a.data());
        argv.push_back(nullptr);
        InitProgram(static_cast<int>(argv.size() - 1), argv.data());
        Windows = std::make_unique<TApplication>();
        CreateSendaroWindows(*Windows);
        UploaderWindow->ProgramFolder = ProgramDir;
        UploaderWindow->ReadProgramFiles();
    }
    // "New", the fields, "save ->".
    void AddAccount(const TAccount& a)
    {
        UploaderWindow->Neu1->Click();
        Type(a);
        Script.AnswerMessage(IDOK, "enter account");
        AccountEditor->Button2->Click();
    }
    static void Type(const TAccount& a)
    {
        AccountEditor->Edit1->SetText(a.Name);
        AccountEditor->Edit2->SetText(a.Host);
        AccountEditor->Edit3->SetText(a.User);
        AccountEditor->Edit4->SetText(a.Password);
        AccountEditor->Edit5->SetText(a.Port);
        AccountEditor->Edit6->SetText(a.Directory);
    }
    std::vector<std::string> BoxNames(const TComboBox& box) const { return box.Items().Items(); }
    std::vector<std::string> ProtocolLines() const { return ProtocolWindow->Memo1->Lines().Items(); }
    std::vector<TAccount> StoredAccounts() const
    {
        std::vector<TAccount> accounts;
        for (const std::string& line : ReadAccountLines(ProgramDir + "kto.dat"))
            accounts.push_back(UnscrambledAccount(line));
        return accounts;
    }

    testsupport::TempFolder Folder;
    std::string ProgramDir;
    std::filesystem::path StartFolder;
    THeadlessScript Script;
    std::unique_ptr<TApplication> Windows;
};

}  // namespace sendarotest
