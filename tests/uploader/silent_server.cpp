#include "tests/uploader/silent_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sendarotest {

TSilentServer::TSilentServer()
{
    FListener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(FListener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(FListener, 1);
    socklen_t length = sizeof address;
    getsockname(FListener, reinterpret_cast<sockaddr*>(&address), &length);
    FPort = ntohs(address.sin_port);
    FThread = std::thread([this] {
        const int client = accept(FListener, nullptr, nullptr);
        if (client < 0)
            return;
        const char banner[] = "220 ready\r\n";
        send(client, banner, sizeof banner - 1, 0);
        char buffer[256];
        while (recv(client, buffer, sizeof buffer, 0) > 0) {
        }
        close(client);
    });
}

TSilentServer::~TSilentServer()
{
    // Ends a waiting accept; a served client ends when the uploader closes.
    shutdown(FListener, SHUT_RDWR);
    close(FListener);
    FThread.join();
}

}  // namespace sendarotest
