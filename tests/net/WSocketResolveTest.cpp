#include "net/WSocketResolve.h"

#include <gtest/gtest.h>

#include <functional>

#include "NetTestSupport.h"
#include "net/ESocketException.h"
#include "platform/winsock/Winsock.h"

TEST(IsDottedIPv4, Table)
{
    const std::pair<const char*, bool> table[] = {
        {"1.2.3.4", true}, {"  1.2.3.4  ", true}, {"255.255.255.255", true}, {"0.0.0.0", true},
        {"1.2.3", false}, {"1.2.3.4.5", false}, {"1.2.3.256", false}, {".1.2.3.4", false},
        {"1.2.3.4.", false}, {"1..2.3", false}, {"1.2.3.x", false}, {"", false}, {"a.b.c.d", false},
        {"1.2.3.4 x", false},
    };
    for (auto [text, dotted] : table)
        EXPECT_EQ(IsDottedIPv4(text), dotted) << "'" << text << "'";
}

TEST(WSocketResolve, PortsProtocolsAndHosts)
{
    EXPECT_EQ(WSocketResolvePort("21", "tcp"), 21);
    EXPECT_EQ(WSocketResolvePort(" 8080x", "tcp"), 8080);
    EXPECT_EQ(WSocketResolvePort("70000", "tcp"), 70000 & 0xFFFF);
    EXPECT_EQ(WSocketResolvePort("ftp", "tcp"), 21);
    EXPECT_EQ(WSocketResolvePort("http", " tcp "), 80);
    EXPECT_EQ(WSocketResolveProto("tcp"), 6);
    EXPECT_EQ(WSocketResolveProto("udp"), 17);
    EXPECT_EQ(WSocketResolveProto("17"), 17);
    EXPECT_EQ(WSocketResolveHost("127.0.0.1"), winsock::htonl(0x7F000001));
    EXPECT_EQ(WSocketResolveHost(" 10.0.0.1 "), winsock::htonl(0x0A000001));
    EXPECT_EQ(WSocketResolveHost("255.255.255.255"), 0xFFFFFFFFu);
    EXPECT_EQ(WSocketResolveHost("localhost"), winsock::htonl(0x7F000001));

    struct Refusal {
        std::function<void()> Call;
        std::string Text;
    };
    const Refusal refusals[] = {
        {[] { WSocketResolvePort(std::string(32, '1'), "tcp"); }, "WSocketResolvePort: Invalid Port."},
        {[] { WSocketResolvePort("", "tcp"); }, "WSocketResolvePort: Invalid Port."},
        {[] { WSocketResolvePort("21", ""); }, "WSocketResolvePort: Invalid Proto."},
        {[] { WSocketResolvePort("nosuchservice", "tcp"); },
         "WSocketResolvePort: Cannot convert port 'nosuchservice', Error #11004"},
        {[] { WSocketResolveProto(""); }, "WSocketResolveProto: Invalid Protocol."},
        {[] { WSocketResolveProto("nosuchproto"); },
         "WSocketResolveProto: Cannot convert protocol 'nosuchproto', Error #11004"},
        {[] { WSocketResolveHost(""); }, "WSocketResolveHost: '' Invalid Hostname."},
        {[] { WSocketResolveHost(std::string(257, 'a')); },
         "WSocketResolveHost: '" + std::string(257, 'a') + "' Invalid Hostname."},
    };
    for (const Refusal& refusal : refusals) {
        try {
            refusal.Call();
            ADD_FAILURE() << "no exception for " << refusal.Text;
        } catch (const ESocketException& e) {
            EXPECT_EQ(e.Message(), refusal.Text);
        }
    }
}

TEST(WSocketResolve, AHostThatDoesNotResolveNamesItsError)
{
    winsock::SetResolver([](const std::string& name, std::vector<winsock::in_addr>&) -> std::optional<int> {
        return name == "nowhere.test" ? std::optional<int>(winsock::WSAHOST_NOT_FOUND) : std::nullopt;
    });
    try {
        WSocketResolveHost("nowhere.test");
        ADD_FAILURE();
    } catch (const ESocketException& e) {
        EXPECT_EQ(e.Message(), "WSocketResolveHost: Cannot convert host address 'nowhere.test', Error #11001");
    }
    winsock::SetResolver(nettest::TestResolver());
}

TEST(SocketErrorText, KnownAndUnknownNumbers)
{
    EXPECT_EQ(SocketErrorText(0), "No Error");
    EXPECT_EQ(SocketErrorText(10057), "Socket is not connected");
    EXPECT_EQ(SocketErrorText(10061), "Connection refused");
    EXPECT_EQ(SocketErrorText(10069), "Disc quota exceeded");
    EXPECT_EQ(SocketErrorText(11001), "Host not found");
    EXPECT_EQ(SocketErrorText(12345), "Not a WinSock error");
}
