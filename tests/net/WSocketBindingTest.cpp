#include "net/WSocketBinding.h"

#include <gtest/gtest.h>

#include "net/TCustomSyncWSocket.h"
#include "platform/winsock/Winsock.h"

TEST(WSocketBinding, TheLastSocketReleasesTheLibraryAndTheClass)
{
    {
        TWSocket first(nullptr);
        TWSocket second(nullptr);
        first.DnsLookup("127.0.0.1");  // binds the library
        EXPECT_TRUE(winsock::WSAIsStarted());
        EXPECT_EQ(WSocketCount(), 2);
        WNDCLASS found;
        EXPECT_TRUE(GetWindowClassInfo(SocketWindowClassName, found));
        EXPECT_EQ(GetWindowClassName(first.Handle()), SocketWindowClassName);
        EXPECT_NE(first.Handle(), second.Handle());
    }
    EXPECT_EQ(WSocketCount(), 0);
    EXPECT_FALSE(winsock::WSAIsStarted());
    WNDCLASS found;
    EXPECT_FALSE(GetWindowClassInfo(SocketWindowClassName, found));

    TWSocket again(nullptr);
    again.DnsLookup("10.0.0.1");
    EXPECT_EQ(again.DnsResult(), "10.0.0.1");
    EXPECT_TRUE(winsock::WSAIsStarted());
}

TEST(WSocketBinding, AWindowWhoseObjectWordIsClearedAnswersByDefault)
{
    TWSocket socket(nullptr);
    int lookups = 0;
    socket.OnDnsLookupDone = [&](TObject*, WORD) { ++lookups; };
    HWND window = SocketWindowCreate(nullptr);
    ASSERT_NE(window, 0u);
    EXPECT_EQ(GetWindowLongPtr(window, 0), 0);
    EXPECT_EQ(SocketWindowEntry(window, WM_USER + 99, 0, 0), 0);
    // The socket's own window reaches the object through the word.
    EXPECT_EQ(reinterpret_cast<TCustomWSocket*>(GetWindowLongPtr(socket.Handle(), 0)), &socket);
    DestroyWindow(window);
}
