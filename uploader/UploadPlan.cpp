#include "uploader/UploadPlan.h"

#include "net/LineBreaks.h"
#include "platform/core/AnsiString.h"
#include "platform/core/Files.h"
#include "shared/veskotools.h"

std::string GalleryFolderFromArgument(const std::string& argument)
{
    std::string folder = argument;
    ReplaceText("*", " ", folder, 1);
    return folder;
}

std::string RemoteGalleryFolder(const std::string& hostDir, const std::string& destination)
{
    return Cp1252ToUtf8(hostDir + destination);
}

std::string RemoteGalleryFile(const std::string& hostDir, const std::string& destination, const std::string& name)
{
    return Cp1252ToUtf8(hostDir + destination + "/" + name);
}

std::string LocalGalleryFile(const std::string& folder, const std::string& name)
{
    return IncludeTrailingPathDelimiter(folder) + name;
}

std::vector<std::string> WithServerRules(const std::string& folder, std::vector<std::string> listed)
{
    const std::string rules = ".htaccess";
    if (FileExists(LocalGalleryFile(folder, rules)))
        listed.push_back(rules);
    return listed;
}

bool FtpCannotCarry(const std::string& name)
{
    return HoldsLineBreak(name);
}

TUploadPlan PlanUpload(const std::vector<std::string>& listed, const std::vector<std::string>& unrepresentable)
{
    TUploadPlan plan;
    for (const std::string& name : listed)
        (FtpCannotCarry(name) ? plan.Refused : plan.Names).push_back(name);
    plan.Unrepresentable = unrepresentable;
    return plan;
}

std::string RefusedFilesMessage(const TUploadPlan& plan)
{
    std::string text;
    const auto paragraph = [&text](const std::string& part) { text += (text.empty() ? "" : "\r\n\r\n") + part; };
    if (!plan.Refused.empty()) {
        std::string part = "These files cannot be sent by FTP, their names hold a line break; they are left out:";
        for (std::string name : plan.Refused) {
            ReplaceText("\r", "<CR>", name, 1);
            ReplaceText("\n", "<LF>", name, 1);
            part += "\r\n" + name;
        }
        paragraph(part);
    }
    if (!plan.Unrepresentable.empty()) {
        std::string part = "These files cannot be sent, their names hold letters outside Windows-1252 "
                           "(shown by their bytes); they are left out:";
        for (const std::string& name : plan.Unrepresentable)
            part += "\r\n" + name;
        paragraph(part);
    }
    if (plan.Names.empty())
        paragraph("There is no gallery file to send in this folder; nothing was sent.");
    return text;
}
