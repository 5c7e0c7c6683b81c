// Multicast and raw sockets need what loopback alone does not give: a route
// for the group and the right to open raw sockets. These tests run in a
// network namespace of their own (tests/net/in-own-network), where nothing
// can leave the machine; elsewhere they skip.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "SocketFixture.h"
#include "net/TCustomSyncWSocket.h"

using namespace nettest;
using namespace winsock;

namespace {

class OwnNetworkTest : public SocketFixture {
protected:
    void SetUp() override
    {
        if (!std::getenv("GALLERY_OWN_NETWORK"))
            GTEST_SKIP() << "runs only in its own network namespace (ctest net_own_network)";
    }
};

std::uint16_t InternetChecksum(const std::string& bytes)
{
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        sum += static_cast<std::uint8_t>(bytes[i]) << 8 | static_cast<std::uint8_t>(bytes[i + 1]);
    if (bytes.size() % 2)
        sum += static_cast<std::uint8_t>(bytes.back()) << 8;
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint16_t>(~sum);
}

std::string EchoRequest(std::uint16_t id, const std::string& payload)
{
    std::string packet = {8, 0, 0, 0, static_cast<char>(id >> 8), static_cast<char>(id & 0xFF), 0, 1};
    packet += payload;
    std::uint16_t sum = InternetChecksum(packet);
    packet[2] = static_cast<char>(sum >> 8);
    packet[3] = static_cast<char>(sum & 0xFF);
    return packet;
}

}  // namespace

TEST_F(OwnNetworkTest, ADatagramSentToTheGroupReachesAMemberAndNoOneElse)
{
    const std::string group = "239.255.42.99";
    TWSocket member(nullptr), stranger(nullptr);
    std::string got, strangerGot;
    auto listen = [&](TWSocket& socket, bool joins, std::string& into) {
        socket.SetProto("udp");
        socket.SetAddr("0.0.0.0");
        socket.SetPort("0");
        socket.SetMultiCast(joins);
        socket.SetMultiCastAddrStr(group);
        socket.OnDataAvailable = [&socket, &into](TObject*, WORD) {
            char buffer[200];
            int n = socket.Receive(buffer, sizeof buffer);
            if (n > 0)
                into.assign(buffer, static_cast<std::size_t>(n));
        };
        socket.Listen();
        ASSERT_EQ(socket.State(), wsConnected);
    };
    listen(member, true, got);
    // The stranger shares no port with the member, so it hears nothing sent
    // to the group whether or not it joined; it shows that the datagram went
    // to the port of the group's member only.
    listen(stranger, false, strangerGot);
    for (int ttl : {1, 3}) {
        got.clear();
        TWSocket sender(nullptr);
        sender.SetProto("udp");
        sender.SetAddr(group);
        sender.SetPort(member.GetBoundPort());
        sender.SetMultiCast(true);
        sender.SetMultiCastIpTTL(ttl);
        sender.Connect();
        ASSERT_EQ(sender.State(), wsConnected) << "ttl " << ttl;
        sender.SendText("to the group, ttl " + std::to_string(ttl));
        ASSERT_TRUE(PumpUntil([&] { return !got.empty(); }, 3000)) << "ttl " << ttl;
        EXPECT_EQ(got, "to the group, ttl " + std::to_string(ttl));
    }
    PumpFor(100);
    EXPECT_EQ(strangerGot, "");
}

TEST_F(OwnNetworkTest, ARawSocketSendsAnEchoRequestAndReadsTheReply)
{
    TWSocket raw(nullptr);
    raw.SetProto("icmp");
    raw.SetAddr("127.0.0.1");
    raw.SetPort("0");
    std::string failure;
    raw.OnError = [&](TObject*) { failure = "error " + std::to_string(raw.LastError()); };
    bool replied = false;
    const std::uint16_t id = 0x4754;
    const std::string payload = "gallery raw socket";
    raw.OnDataAvailable = [&](TObject*, WORD) {
        char buffer[1500];
        int n = raw.Receive(buffer, sizeof buffer);
        if (n < 20)
            return;
        // The IP header comes first; its length is in the low nibble.
        std::size_t header = (static_cast<std::uint8_t>(buffer[0]) & 0x0F) * 4u;
        std::string icmp(buffer + header, buffer + n);
        if (icmp.size() >= 8 && icmp[0] == 0 && static_cast<std::uint8_t>(icmp[4]) == id >> 8 &&
            static_cast<std::uint8_t>(icmp[5]) == (id & 0xFF) && icmp.substr(8) == payload)
            replied = true;
    };
    // A raw socket connects as a stream does: the outcome comes as a notice.
    bool connected = false;
    raw.OnSessionConnected = [&](TObject*, WORD error) { connected = error == 0; };
    raw.Connect();
    ASSERT_TRUE(PumpUntil([&] { return connected || !failure.empty(); }, 3000));
    ASSERT_EQ(failure, "");
    ASSERT_EQ(raw.State(), wsConnected);
    EXPECT_EQ(raw.SendText(EchoRequest(id, payload)), static_cast<int>(payload.size() + 8));
    EXPECT_TRUE(PumpUntil([&] { return replied; }, 3000));
}
