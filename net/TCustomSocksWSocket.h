#pragma once

// A TCP client socket that can pass through a SOCKS 4, 4A or 5 server.
//
// With SocksServer set, Connect goes to the server, negotiates the target
// Addr:Port there and only then fires OnSessionConnected; bytes that came
// with the final reply are handed on as ordinary data. Every negotiation
// failure is reported three times: OnSocksError, OnSessionConnected(code),
// OnSessionClosed(code); so is a close by the server before the negotiation
// ended (its error, or 10053 for an orderly close). Requests that would not
// fit the 128-byte request area are refused with 20017 before anything is
// sent. The SOCKS settings (not the credentials) are cleared at every close.

#include <cstdint>
#include <functional>
#include <string>

#include "net/TCustomWSocket.h"

enum TSocksAuthentication { socksNoAuthentication, socksAuthenticateUsercode };
enum TSocksAuthState { socksAuthStarted, socksAuthSucceeded, socksAuthFailed, socksAuthNotNeeded };

using TSocksErrorEvent = std::function<void(TObject* Sender, int Error, const std::string& Msg)>;
using TSocksAuthStateEvent = std::function<void(TObject* Sender, TSocksAuthState AuthState)>;

class TCustomSocksWSocket : public TCustomWSocket {
public:
    explicit TCustomSocksWSocket(TComponent* AOwner);

    const char* ClassName() const override { return "TCustomSocksWSocket"; }

    void Connect() override;
    void Listen() override;

    const std::string& SocksServer() const { return FSocksServer; }
    virtual void SetSocksServer(const std::string& value);
    const std::string& SocksLevel() const { return FSocksLevel; }
    void SetSocksLevel(const std::string& value);
    const std::string& SocksPort() const { return FSocksPort; }
    virtual void SetSocksPort(const std::string& value);
    const std::string& SocksUsercode() const { return FSocksUsercode; }
    void SetSocksUsercode(const std::string& value) { FSocksUsercode = value; }
    const std::string& SocksPassword() const { return FSocksPassword; }
    void SetSocksPassword(const std::string& value) { FSocksPassword = value; }
    TSocksAuthentication SocksAuthentication() const { return FSocksAuthentication; }
    void SetSocksAuthentication(TSocksAuthentication value) { FSocksAuthentication = value; }
    int SocksState() const { return FSocksState; }

    TSocksErrorEvent OnSocksError;
    TSessionConnected OnSocksConnected;
    TSocksAuthStateEvent OnSocksAuthState;

protected:
    void ResetToDefaults() override;
    int GetRcvdCount() override;
    bool FireDataAvailable(WORD error) override;
    void FireSessionConnected(WORD error) override;
    void FireSessionClosed(WORD error) override;
    int RecvRaw(void* buffer, int length, int flags) override;

    virtual void FireSocksConnected(WORD error);
    virtual void FireSocksError(int error, const std::string& message);
    void FireSocksAuthState(TSocksAuthState state);
    void SendSocksAuth();
    void SendSocksRequest();
    void FailSocks(int error, const std::string& message);

    static constexpr int SocksBufferSize = 128;

private:
    void ResetSocks();
    bool HandleSocksData(WORD error);
    // Reads behind the reply bytes already there, at most up to `limit`.
    bool ReadReply(int limit);
    // Sends a request built in the 128-byte area; too long a request is
    // refused before anything is sent.
    void SendRequest(const std::string& request);

    int FSocksState = 0;
    std::string FSocksServer;
    std::string FSocksLevel = "5";
    std::string FSocksPort;
    bool FSocksPortAssigned = false;
    bool FSocksServerAssigned = false;
    std::string FSocksUsercode;
    std::string FSocksPassword;
    TSocksAuthentication FSocksAuthentication = socksNoAuthentication;
    std::uint8_t FSocksAuthNumber = 0;
    std::uint8_t FRcvBuf[SocksBufferSize] = {};
    int FRcvCnt = 0;
    int FSocksRcvdCnt = 0;
    int FSocksRcvdPtr = 0;
};
