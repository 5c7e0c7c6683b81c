// A gallery of 200 files (30 MB) published to pyftpdlib on loopback through
// the uploader's own road (its windows headless, "Send.." clicked, the chain
// run to its finish), next to lftp's "mirror -R" of the same folder to the
// same server in the same run, both passive (lftp's time includes its start,
// ours leaves the windows' start-up out). Last line: upload/peer.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/controls/HeadlessInteraction.h"
#include "platform/controls/LayoutReader.h"
#include "platform/controls/TApplication.h"
#include "platform/core/Files.h"
#include "platform/core/Program.h"
#include "uploader/AccountStore.h"
#include "uploader/SendaroWindows.h"
#include "uploader/UploaderWindow.h"

namespace {

namespace fs = std::filesystem;

pid_t StartServer(const std::string& root, std::string& port)
{
    const std::string portFile = root + ".port";
    const pid_t pid = fork();
    if (pid == 0) {
        std::freopen("/dev/null", "w", stderr);
        execl("/usr/bin/python3", "python3", GALLERY_SOURCE_DIR "/tests/uploader/ftp_server.py", "--root",
              root.c_str(), "--port-file", portFile.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    for (int i = 0; i < 100 && !FileExists(portFile); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (FileExists(portFile))
        port = ReadFileBytes(portFile);
    return pid;
}

// One publish through the uploader's windows into the server folder `name`;
// `ms` is the time from "Send.." to the finish (the windows' start-up left out).
bool Publish(const std::string& programDir, const std::string& gallery, const std::string& name, double& ms)
{
    THeadlessScript script;
    script.AnswerMessage(IDOK, "Um Ihre Galerie zu starten");
    std::string argument = gallery;
    std::vector<char*> argv{const_cast<char*>("sendaro.exe"), argument.data(), nullptr};
    InitProgram(2, argv.data());
    TApplication application;
    CreateSendaroWindows(application);
    UploaderWindow->ProgramFolder = programDir;
    UploaderWindow->ReadProgramFiles();
    UploaderWindow->ComboBox1->SelectAsUser(0);
    UploaderWindow->RadioButton2->SetChecked(true);
    UploaderWindow->Edit1->SetText(name);
    const auto start = std::chrono::steady_clock::now();
    UploaderWindow->Button2->Click();
    const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (UploaderWindow->UploadRunning() && !application.Terminated() && std::chrono::steady_clock::now() < end)
        application.ProcessMessages();
    ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return application.Terminated() && script.Pending() == 0;
}

}  // namespace

int main()
{
    if (access("/usr/bin/python3", X_OK) != 0 || access("/usr/bin/lftp", X_OK) != 0) {
        std::printf("python3-pyftpdlib or lftp missing: no figures\n");
        return 0;
    }
    const fs::path work = fs::temp_directory_path() / ("bench-upload-" + std::to_string(getpid()));
    const std::string root = (work / "server").string();
    const std::string gallery = (work / "gallery").string() + "/";
    const std::string program = (work / "program").string() + "/";
    fs::create_directories(root);
    fs::create_directories(gallery);
    fs::create_directories(program);
    std::mt19937 generator(21);
    std::size_t total = 0;
    for (int i = 0; i < 200; ++i) {
        const std::size_t size = 60 * 1024 + generator() % (180 * 1024);
        std::string bytes(size, '\0');
        for (char& c : bytes) c = static_cast<char>(generator() & 0xFF);
        WriteFileBytes(gallery + (i % 2 ? "th_" : "page") + std::to_string(i) + (i % 2 ? ".jpg" : ".html"), bytes);
        total += size;
    }
    std::string port;
    const pid_t server = StartServer(root, port);
    if (port.empty()) {
        std::printf("pyftpdlib did not start: no figures\n");
        return 1;
    }
    WriteAccountLines(program + "kto.dat",
                      {ScrambledAccountLine({"bench", "127.0.0.1", "anna", "secret", port, "/", "no"})});
    SetLayoutDirectory(GALLERY_SOURCE_DIR "/resources");

    bool ok = true;
    const int run = 5;
    std::vector<double> oursTimes, peerTimes;
    for (int i = 0; i < run; ++i) {
        double ms = 0;
        ok = Publish(program, gallery, "ours" + std::to_string(i), ms) && ok;
        oursTimes.push_back(ms);
        const std::string command = "lftp -u anna,secret -p " + port +
                                    " -e 'set ftp:passive-mode on; mirror -R --no-perms " + gallery + " /peer" +
                                    std::to_string(i) + "; quit' 127.0.0.1 > /dev/null 2>&1";
        const auto start = std::chrono::steady_clock::now();
        ok = std::system(command.c_str()) == 0 && ok;
        peerTimes.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(oursTimes.begin(), oursTimes.end());
    std::sort(peerTimes.begin(), peerTimes.end());
    const double ours = oursTimes[run / 2];
    const double peer = peerTimes[run / 2];
    for (int i = 0; i < run && ok; ++i)
        for (const auto& entry : fs::directory_iterator(gallery))
            ok = ReadFileBytes(root + "/ours" + std::to_string(i) + "/" + entry.path().filename().string()) ==
                     ReadFileBytes(entry.path().string()) && ok;
    kill(server, SIGTERM);
    waitpid(server, nullptr, 0);
    std::error_code error;
    fs::remove_all(work, error);
    if (!ok) {
        std::printf("an upload failed: no figures\n");
        return 1;
    }
    std::printf("200 files, %.1f MB: sendaro %6.0f ms, lftp mirror -R %6.0f ms\n", total / 1048576.0, ours, peer);
    std::printf("upload/peer: %.2f\n", ours / peer);
    return 0;
}
