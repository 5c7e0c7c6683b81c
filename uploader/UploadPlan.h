#pragma once

// The planning of a gallery upload: the gallery folder from the start
// argument, the files that go, and where they go on the server.

#include <string>
#include <vector>

// The files of a gallery folder that are uploaded.
inline constexpr const char* GalleryMasks = "*.jpg;*.html;*.gif;*.php;*.cnt;*.ctt;*.ctx";

// The listed files and, last, the server rules file that the builder lays
// into a PHP gallery, which the file list leaves out with the dot-files.
std::vector<std::string> WithServerRules(const std::string& folder, std::vector<std::string> listed);

// The builder writes every blank of the folder as "*".
std::string GalleryFolderFromArgument(const std::string& argument);

// The server's folder of the gallery: the account's directory and the
// destination name joined as they are (the directory is expected to end
// with "/"), in the UTF-8 form the server's file system gets.
std::string RemoteGalleryFolder(const std::string& hostDir, const std::string& destination);
std::string RemoteGalleryFile(const std::string& hostDir, const std::string& destination, const std::string& name);
std::string LocalGalleryFile(const std::string& folder, const std::string& name);

// A name an FTP command line cannot carry (a line break or a zero byte in it).
bool FtpCannotCarry(const std::string& name);

struct TUploadPlan {
    std::vector<std::string> Names;            // uploaded, in list order
    std::vector<std::string> Refused;          // left out for a line break, named to the user
    std::vector<std::string> Unrepresentable;  // not listed at all, named to the user
};
// `unrepresentable`: the names the folder listing could not give.
TUploadPlan PlanUpload(const std::vector<std::string>& listed, const std::vector<std::string>& unrepresentable = {});
// The one message naming every left-out file, which also says so when no file
// is left to send; empty when every file goes.
std::string RefusedFilesMessage(const TUploadPlan& plan);
