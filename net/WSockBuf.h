#pragma once

// One block of a socket's send queue: filled from the front, emptied from the
// front, never used as a ring. Space already sent is reused only once the
// whole block is empty (both counts then go back to 0).

#include <memory>

class TBuffer {
public:
    // A size of 0 or less means 1514.
    explicit TBuffer(int size);

    // Keeps the first WriteCount bytes (already-read ones included). A size
    // below WriteCount is refused: the block stays as it is.
    void ResizeBuffer(int size);
    // Copies what fits and answers that count (0 when the block is full).
    int Write(const void* data, int length);
    // The first unread byte and their number, or nullptr and 0.
    const char* Peek(int& length) const;
    // Takes out up to `length` unread bytes and answers how many.
    int Remove(int length);

    int Size() const { return FSize; }
    int WriteCount() const { return FWrCount; }
    int ReadCount() const { return FRdCount; }

private:
    std::unique_ptr<char[]> FBuf;
    int FSize = 0;
    int FWrCount = 0;
    int FRdCount = 0;
};
