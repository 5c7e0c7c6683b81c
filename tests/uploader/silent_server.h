#pragma once

// A server on 127.0.0.1 that sends an FTP greeting and then never answers;
// it ends with its owner.

#include <string>
#include <thread>

namespace sendarotest {

class TSilentServer {
public:
    TSilentServer();
    ~TSilentServer();
    TSilentServer(const TSilentServer&) = delete;
    TSilentServer& operator=(const TSilentServer&) = delete;
    std::string Port() const { return std::to_string(FPort); }

private:
    int FListener = -1;
    int FPort = 0;
    std::thread FThread;
};

}  // namespace sendarotest
