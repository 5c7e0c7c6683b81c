#pragma once

// A PCM wave file read from bytes: RIFF "WAVE" with a "fmt " chunk of format 1
// (integer PCM, 8 or 16 bits, 1 to 8 channels) and a "data" chunk. Chunk sizes
// are checked against the bytes there before anything is read; a data chunk
// that claims more than the file holds is cut to what is there, as players do
// with truncated recordings.

#include <cstdint>
#include <span>
#include <vector>

struct TWaveData {
    unsigned Channels = 0;
    unsigned SampleRate = 0;
    unsigned BitsPerSample = 0;
    std::vector<std::uint8_t> Samples;  // interleaved frames, little-endian

    unsigned FrameBytes() const { return Channels * (BitsPerSample / 8); }
    std::size_t FrameCount() const { return FrameBytes() ? Samples.size() / FrameBytes() : 0; }
};

// Throws Exception naming what is wrong.
TWaveData ReadWave(std::span<const std::uint8_t> bytes);
