#pragma once

// Line mode: received bytes are buffered and offered to OnDataAvailable one
// line at a time, up to and including LineEnd. Off by default.
//
// - A handler takes the line with Receive or ReceiveText, whole or in parts;
//   a line it leaves unread is offered again, and one it takes nothing of
//   waits in the buffer for the next arrival instead of being offered for
//   ever.
// - More than LineLimit bytes without a terminator fire OnLineLimitExceeded;
//   leaving ClearData true empties the buffer.
// - Switching LineMode posts a re-delivery of what is buffered in the new mode.
// - At the peer's close the buffered rest is offered as a last line.

#include <functional>
#include <string>
#include <vector>

#include "net/TCustomSocksWSocket.h"

using TLineLimitEvent = std::function<void(TObject* Sender, int RcvdLength, bool& ClearData)>;

class TCustomLineWSocket : public TCustomSocksWSocket {
public:
    explicit TCustomLineWSocket(TComponent* AOwner);

    const char* ClassName() const override { return "TCustomLineWSocket"; }

    void WndProc(TMessage& msg) override;

    bool LineMode() const { return FLineMode; }
    virtual void SetLineMode(bool value);
    int LineLimit() const { return FLineLimit; }
    void SetLineLimit(int value) { FLineLimit = value; }
    const std::string& LineEnd() const { return FLineEnd; }
    void SetLineEnd(const std::string& value) { FLineEnd = value; }
    bool LineEcho() const { return FLineEcho; }
    void SetLineEcho(bool value) { FLineEcho = value; }
    bool LineEdit() const { return FLineEdit; }
    void SetLineEdit(bool value) { FLineEdit = value; }
    int LineLength() const { return FLineLength; }
    int BufferedCount() const { return FRcvdCnt; }

    TLineLimitEvent OnLineLimitExceeded;

protected:
    int GetRcvdCount() override;
    bool FireDataAvailable(WORD error) override;
    void FireSessionClosed(WORD error) override;
    int RecvRaw(void* buffer, int length, int flags) override;

    virtual void FireLineLimitExceeded(int count, bool& clearData);
    virtual void EditLine(int& count);

private:
    bool LineDataAvailable(WORD error);
    // Offers the line of FLineLength bytes at the front until it is taken;
    // false when the handler took nothing (the line then stays buffered).
    bool OfferLine();
    void RemoveFront(int count);

    std::vector<char> FRcvdBuf;
    int FRcvdCnt = 0;
    std::string FLineEnd = "\r\n";
    bool FLineMode = false;
    int FLineLength = 0;
    int FLineLimit = 65536;
    bool FLineClearData = false;
    bool FLineEcho = false;
    bool FLineEdit = false;
    bool FRedelivering = false;
};
