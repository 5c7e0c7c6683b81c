#include "platform/shell/TWaveData.h"

#include <string>
#include <string_view>

#include "platform/core/Exceptions.h"

namespace {

std::uint32_t Read32(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::uint16_t Read16(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

bool TagIs(std::span<const std::uint8_t> bytes, std::size_t at, std::string_view tag)
{
    for (std::size_t i = 0; i < 4; ++i)
        if (bytes[at + i] != static_cast<std::uint8_t>(tag[i]))
            return false;
    return true;
}

[[noreturn]] void Fail(const std::string& why) { throw Exception("Not a playable wave sound: " + why); }

}  // namespace

TWaveData ReadWave(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < 12 || !TagIs(bytes, 0, "RIFF") || !TagIs(bytes, 8, "WAVE"))
        Fail("no RIFF WAVE header");
    TWaveData wave;
    bool haveFormat = false;
    bool haveData = false;
    std::size_t at = 12;
    while (at + 8 <= bytes.size() && !haveData) {
        std::uint32_t size = Read32(bytes, at + 4);
        std::size_t body = at + 8;
        std::size_t available = bytes.size() - body;
        if (TagIs(bytes, at, "fmt ")) {
            if (size < 16 || size > available)
                Fail("format chunk too short");
            std::uint16_t format = Read16(bytes, body);
            wave.Channels = Read16(bytes, body + 2);
            wave.SampleRate = Read32(bytes, body + 4);
            wave.BitsPerSample = Read16(bytes, body + 14);
            if (format != 1)
                Fail("format " + std::to_string(format) + " is not PCM");
            if (wave.Channels < 1 || wave.Channels > 8)
                Fail(std::to_string(wave.Channels) + " channels");
            if (wave.BitsPerSample != 8 && wave.BitsPerSample != 16)
                Fail(std::to_string(wave.BitsPerSample) + " bits per sample");
            if (wave.SampleRate < 1000 || wave.SampleRate > 384000)
                Fail("sample rate " + std::to_string(wave.SampleRate));
            haveFormat = true;
        } else if (TagIs(bytes, at, "data")) {
            if (!haveFormat)
                Fail("data before format");
            std::size_t length = size < available ? size : available;
            length -= length % wave.FrameBytes();
            wave.Samples.assign(bytes.begin() + static_cast<std::ptrdiff_t>(body),
                                bytes.begin() + static_cast<std::ptrdiff_t>(body + length));
            haveData = true;
        } else if (size > available) {
            Fail("chunk larger than the file");
        }
        // Chunks are padded to an even length.
        std::size_t next = body + static_cast<std::size_t>(size) + (size & 1);
        if (next <= at)
            break;
        at = next;
    }
    if (!haveFormat)
        Fail("no format chunk");
    if (!haveData)
        Fail("no data chunk");
    return wave;
}
