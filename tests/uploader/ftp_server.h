#pragma once

// The pyftpdlib server of ftp_server.py on 127.0.0.1, in a folder of its own,
// started and stopped by the test; every wait is bounded.

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/core/Files.h"

namespace sendarotest {

class TFtpServer {
public:
    TFtpServer() = default;
    TFtpServer(const TFtpServer&) = delete;
    TFtpServer& operator=(const TFtpServer&) = delete;
    ~TFtpServer() { Stop(); }

    static bool Available() { return FileExists("/usr/bin/python3") && std::system("/usr/bin/python3 -c 'import pyftpdlib' 2>/dev/null") == 0; }

    // Serves `root`; false when it did not listen within five seconds.
    bool Start(const std::string& root, const std::vector<std::string>& options = {})
    {
        const std::string portFile = root + ".port";
        DeleteFile(portFile);
        std::vector<std::string> args{"/usr/bin/python3", GALLERY_SOURCE_DIR "/tests/uploader/ftp_server.py",
                                      "--root", root, "--port-file", portFile};
        args.insert(args.end(), options.begin(), options.end());
        FPid = fork();
        if (FPid == 0) {
            std::vector<char*> argv;
            for (std::string& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            // The server never outlives the test, however the test ends.
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            // The server's own log is not the test's.
            freopen("/dev/null", "w", stderr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        for (int i = 0; i < 100; ++i) {
            if (FileExists(portFile)) {
                FPort = ReadFileBytes(portFile);
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }
    void Stop()
    {
        if (FPid > 0) {
            if (waitpid(FPid, nullptr, WNOHANG) == 0) {
                kill(FPid, SIGTERM);
                waitpid(FPid, nullptr, 0);
            }
            FPid = 0;
        }
    }
    const std::string& Port() const { return FPort; }

private:
    pid_t FPid = 0;
    std::string FPort;
};

}  // namespace sendarotest
