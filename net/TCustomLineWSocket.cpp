#include "net/TCustomLineWSocket.h"

#include <algorithm>
#include <cstring>

TCustomLineWSocket::TCustomLineWSocket(TComponent* AOwner) : TCustomSocksWSocket(AOwner) {}

void TCustomLineWSocket::SetLineMode(bool value)
{
    if (value == FLineMode)
        return;
    FLineMode = value;
    if (FRcvdCnt > 0 || FLineLength > 0)
        PostMessage(FWindowHandle, WM_TRIGGER_DATA_AVAILABLE, 0, 0);
}

void TCustomLineWSocket::WndProc(TMessage& msg)
{
    if (msg.Msg != WM_TRIGGER_DATA_AVAILABLE) {
        TCustomSocksWSocket::WndProc(msg);
        return;
    }
    // Repeats only while a pass takes bytes, so buffered bytes nobody takes
    // end the re-delivery.
    FRedelivering = true;
    try {
        while (FRcvdCnt > 0) {
            int before = FRcvdCnt;
            FireDataAvailable(0);
            if (FRcvdCnt >= before)
                break;
        }
    } catch (const Exception& e) {
        FRedelivering = false;
        HandleEventException(e);
        return;
    }
    FRedelivering = false;
}

void TCustomLineWSocket::RemoveFront(int count)
{
    count = std::clamp(count, 0, FRcvdCnt);
    std::memmove(FRcvdBuf.data(), FRcvdBuf.data() + count, static_cast<std::size_t>(FRcvdCnt - count));
    FRcvdCnt -= count;
}

bool TCustomLineWSocket::OfferLine()
{
    while (FLineMode && FLineLength > 0) {
        int before = FLineLength;
        if (!TCustomSocksWSocket::FireDataAvailable(0)) {
            // Nobody listens: the line is dropped.
            RemoveFront(FLineLength);
            FLineLength = 0;
            return true;
        }
        if (FLineLength == before && FLineMode) {
            FLineLength = 0;
            return false;
        }
    }
    if (!FLineMode)
        FLineLength = 0;
    return true;
}

bool TCustomLineWSocket::FireDataAvailable(WORD error)
{
    if (!FLineMode || FLineEnd.empty() || SocksState() != 0)
        return TCustomSocksWSocket::FireDataAvailable(error);
    return LineDataAvailable(error);
}

bool TCustomLineWSocket::LineDataAvailable(WORD error)
{
    int wanted = TCustomSocksWSocket::GetRcvdCount();
    if (wanted < 0)
        return true;
    if (wanted == 0)
        wanted = 255;
    if (static_cast<int>(FRcvdBuf.size()) < FRcvdCnt + wanted + 1)
        FRcvdBuf.resize(static_cast<std::size_t>(FRcvdCnt + wanted + 1));
    int count = Receive(FRcvdBuf.data() + FRcvdCnt, wanted);
    int searchFrom;
    if (count <= 0) {
        // Only a re-delivery looks again at what is already buffered.
        if (!FRedelivering || FRcvdCnt == 0)
            return true;
        searchFrom = 0;
    } else {
        if (FLineEdit)
            EditLine(count);
        else if (FLineEcho)
            Send(FRcvdBuf.data() + FRcvdCnt, count);
        searchFrom = std::max(0, FRcvdCnt - static_cast<int>(FLineEnd.size()));
        FRcvdCnt += count;
    }
    while (FLineMode) {
        std::string_view buffered(FRcvdBuf.data(), static_cast<std::size_t>(FRcvdCnt));
        std::size_t found = buffered.find(FLineEnd, static_cast<std::size_t>(searchFrom));
        if (found == std::string_view::npos) {
            if (FLineLimit > 0 && FLineLimit < FRcvdCnt) {
                FLineClearData = true;
                FireLineLimitExceeded(FRcvdCnt, FLineClearData);
                if (FLineClearData) {
                    FLineLength = 0;
                    FRcvdCnt = 0;
                }
            }
            break;
        }
        FLineLength = static_cast<int>(found + FLineEnd.size());
        if (!OfferLine())
            break;
        searchFrom = 0;
    }
    return true;
}

int TCustomLineWSocket::RecvRaw(void* buffer, int length, int flags)
{
    if (FLineMode && FLineLength > 0) {
        int count = std::min(std::max(length, 0), FLineLength);
        std::memcpy(buffer, FRcvdBuf.data(), static_cast<std::size_t>(count));
        RemoveFront(count);
        FLineLength -= count;
        return count;
    }
    if (!FLineMode && FRcvdCnt > 0) {
        int count = std::min(std::max(length, 0), FRcvdCnt);
        std::memcpy(buffer, FRcvdBuf.data(), static_cast<std::size_t>(count));
        RemoveFront(count);
        return count;
    }
    return TCustomSocksWSocket::RecvRaw(buffer, length, flags);
}

int TCustomLineWSocket::GetRcvdCount()
{
    return FLineMode ? FLineLength : TCustomSocksWSocket::GetRcvdCount();
}

void TCustomLineWSocket::FireSessionClosed(WORD error)
{
    if (FLineMode && FRcvdCnt > 0) {
        FLineLength = FRcvdCnt;
        OfferLine();
    }
    FRcvdBuf.clear();
    FRcvdBuf.shrink_to_fit();
    FRcvdCnt = 0;
    FLineLength = 0;
    TCustomSocksWSocket::FireSessionClosed(error);
}

void TCustomLineWSocket::FireLineLimitExceeded(int count, bool& clearData)
{
    if (OnLineLimitExceeded) {
        TLineLimitEvent handler = OnLineLimitExceeded;
        handler(this, count, clearData);
    }
}

void TCustomLineWSocket::EditLine(int& count)
{
    const int start = FRcvdCnt;
    std::vector<char> edited;
    bool editing = false;
    int out = start;
    int lowest = start;
    auto put = [&](char c) {
        if (editing) {
            if (out >= static_cast<int>(edited.size()))
                edited.resize(edited.size() + 256);
            edited[static_cast<std::size_t>(out)] = c;
        }
        ++out;
    };
    for (int i = 0; i < count; ++i) {
        char c = FRcvdBuf[static_cast<std::size_t>(start + i)];
        if ((c == '\b' || c == '\t') && !editing) {
            editing = true;
            int size = (start + count + 256) / 256 * 256;
            edited.assign(static_cast<std::size_t>(size), '\0');
            std::memcpy(edited.data(), FRcvdBuf.data(), static_cast<std::size_t>(out));
        }
        if (c == '\b') {
            if (FLineEcho && out > 0)
                Send(BackspaceEcho, 3);
            out = std::max(0, out - 1);
            lowest = std::min(lowest, out);
        } else if (c == '\t') {
            while (out % 8 != 0) {
                if (FLineEcho)
                    Send(" ", 1);
                put(' ');
            }
        } else {
            if (FLineEcho)
                Send(&c, 1);
            put(c);
        }
    }
    if (!editing)
        return;
    if (static_cast<int>(FRcvdBuf.size()) < out + 1)
        FRcvdBuf.resize(static_cast<std::size_t>(out + 1));
    std::memcpy(FRcvdBuf.data(), edited.data(), static_cast<std::size_t>(out));
    FRcvdCnt = std::min(lowest, start);
    count = out - FRcvdCnt;
}
