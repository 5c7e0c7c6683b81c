#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "platform/core/Exceptions.h"
#include "platform/shell/Sound.h"
#include "platform/shell/TWaveData.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put32(Bytes& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void Put16(Bytes& out, std::uint16_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutTag(Bytes& out, const char* tag)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(tag[i]));
}

struct WaveSpec {
    std::uint16_t Format = 1;
    std::uint16_t Channels = 1;
    std::uint32_t Rate = 8000;
    std::uint16_t Bits = 8;
    std::uint32_t DataBytes = 16;      // what the data chunk holds
    std::uint32_t DataClaimed = 0;     // what its size field says (0: the truth)
    std::uint32_t FormatSize = 16;
    bool OddChunkFirst = false;        // a 3-byte "LIST" chunk padded to 4
    bool DataFirst = false;
};

Bytes MakeWave(const WaveSpec& spec)
{
    // Room reserved up front: GCC 12 at -O3 misreads appends to an empty vector.
    Bytes fmt;
    fmt.reserve(64);
    PutTag(fmt, "fmt ");
    Put32(fmt, spec.FormatSize);
    Put16(fmt, spec.Format);                                      // 1 = PCM
    Put16(fmt, spec.Channels);
    Put32(fmt, spec.Rate);
    Put32(fmt, spec.Rate * spec.Channels * spec.Bits / 8);        // bytes per second
    Put16(fmt, static_cast<std::uint16_t>(spec.Channels * spec.Bits / 8));  // frame bytes
    Put16(fmt, spec.Bits);
    Bytes data;
    data.reserve(spec.DataBytes + 8);
    PutTag(data, "data");
    Put32(data, spec.DataClaimed ? spec.DataClaimed : spec.DataBytes);
    for (std::uint32_t i = 0; i < spec.DataBytes; ++i)
        data.push_back(static_cast<std::uint8_t>(i));

    Bytes body;
    body.reserve(fmt.size() + data.size() + 16);
    PutTag(body, "WAVE");
    if (spec.OddChunkFirst) {
        PutTag(body, "LIST");
        Put32(body, 3);
        body.insert(body.end(), {'a', 'b', 'c', 0});  // 3 bytes and the pad byte
    }
    const Bytes& first = spec.DataFirst ? data : fmt;
    const Bytes& second = spec.DataFirst ? fmt : data;
    body.insert(body.end(), first.begin(), first.end());
    body.insert(body.end(), second.begin(), second.end());
    Bytes out;
    out.reserve(body.size() + 8);
    PutTag(out, "RIFF");
    Put32(out, static_cast<std::uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

TEST(TWaveData, ReadsPcmWaves)
{
    struct Case {
        const char* Name;
        WaveSpec Spec;
        unsigned FrameBytes;
        std::size_t Frames;
    };
    const Case cases[] = {
        {"8-bit mono", {}, 1, 16},
        {"16-bit stereo", {.Channels = 2, .Rate = 44100, .Bits = 16, .DataBytes = 40}, 4, 10},
        {"odd chunk before the format", {.OddChunkFirst = true}, 1, 16},
        {"data claims more than there is", {.DataBytes = 10, .DataClaimed = 1000000}, 1, 10},
        {"a partial last frame is left out", {.Channels = 2, .Bits = 16, .DataBytes = 10}, 4, 2},
        {"format chunk with extra bytes", {.FormatSize = 18}, 1, 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Bytes bytes = MakeWave(c.Spec);
        if (c.Spec.FormatSize == 18) {
            // Give the longer format chunk its two extra bytes.
            auto at = bytes.begin() + 12 + 8 + 16;
            bytes.insert(at, {0, 0});
            bytes[4] = static_cast<std::uint8_t>(bytes[4] + 2);
        }
        TWaveData wave = ReadWave(bytes);
        EXPECT_EQ(wave.Channels, c.Spec.Channels);
        EXPECT_EQ(wave.SampleRate, c.Spec.Rate);
        EXPECT_EQ(wave.BitsPerSample, c.Spec.Bits);
        EXPECT_EQ(wave.FrameBytes(), c.FrameBytes);
        EXPECT_EQ(wave.FrameCount(), c.Frames);
        ASSERT_FALSE(wave.Samples.empty());
        EXPECT_EQ(wave.Samples[0], 0);
        EXPECT_EQ(wave.Samples.back(), static_cast<std::uint8_t>(wave.Samples.size() - 1));
    }
}

TEST(TWaveData, RefusesWhatIsNoPlayableWave)
{
    struct Case {
        const char* Name;
        Bytes Data;
    };
    Bytes notRiff = MakeWave({});
    notRiff[0] = 'X';
    Bytes headerOnly = MakeWave({});
    headerOnly.resize(12);
    Bytes noData = MakeWave({});
    noData.resize(12 + 8 + 16);
    Bytes lyingFormat = MakeWave({.FormatSize = 0x7FFFFFF0});
    Bytes lyingChunk = MakeWave({});
    lyingChunk.insert(lyingChunk.begin() + 12, {'J', 'U', 'N', 'K', 0xF0, 0xFF, 0xFF, 0x7F});
    const Case cases[] = {
        {"empty", {}},
        {"not RIFF", notRiff},
        {"header only", headerOnly},
        {"float samples", MakeWave({.Format = 3, .Bits = 32})},
        {"24 bits", MakeWave({.Bits = 24})},
        {"no channels", MakeWave({.Channels = 0})},
        {"nine channels", MakeWave({.Channels = 9})},
        {"rate zero", MakeWave({.Rate = 0})},
        {"data before format", MakeWave({.DataFirst = true})},
        {"no data chunk", noData},
        {"format size beyond the file", lyingFormat},
        {"unknown chunk beyond the file", lyingChunk},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_THROW(ReadWave(c.Data), Exception);
    }
}

class SoundTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        PlaySound(nullptr, SND_PURGE);
        UnregisterWaveResource("PLAY1");
        UnregisterWaveResource("BROKEN");
    }
};

TEST_F(SoundTest, PlaysRegisteredResourcesAndReturnsWithoutADevice)
{
    RegisterWaveResource("PLAY1", MakeWave({.Rate = 8000, .DataBytes = 80}));  // 10 ms
    auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(PlaySound("play1", SND_RESOURCE | SND_ASYNC)) << "names compare case-insensitively";
    EXPECT_TRUE(PlaySound("PLAY1", SND_RESOURCE | SND_ASYNC)) << "a new sound cuts the playing one";
    EXPECT_TRUE(PlaySound("PLAY1", SND_RESOURCE | SND_SYNC));
    EXPECT_TRUE(PlaySound(nullptr, 0));
    EXPECT_TRUE(PlaySound("PLAY1", SND_PURGE));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
}

TEST_F(SoundTest, RefusesWhatItCannotPlay)
{
    RegisterWaveResource("BROKEN", Bytes{'R', 'I', 'F', 'F'});
    struct Case {
        const char* Name;
        const char* Sound;
        DWORD Flags;
    };
    const Case cases[] = {
        {"unknown resource", "PLAY9", SND_RESOURCE | SND_ASYNC},
        {"no wave inside", "BROKEN", SND_RESOURCE | SND_ASYNC},
        {"missing file", "/nonexistent/sound.wav", SND_FILENAME | SND_ASYNC},
        {"memory sounds", "PLAY1", SND_MEMORY},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_FALSE(PlaySound(c.Sound, c.Flags));
    }
}

TEST_F(SoundTest, FilesPlayAndBecomeResources)
{
    std::string path = ::testing::TempDir() + "sound-test.wav";
    Bytes bytes = MakeWave({});
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
    EXPECT_TRUE(PlaySound(path.c_str(), SND_FILENAME | SND_ASYNC));
    EXPECT_TRUE(PlaySound(path.c_str(), SND_ASYNC)) << "neither flag: a resource, then a file";
    RegisterWaveResourceFile("PLAY1", path);
    EXPECT_TRUE(PlaySound("PLAY1", SND_RESOURCE | SND_ASYNC));
    std::remove(path.c_str());
    EXPECT_THROW(RegisterWaveResourceFile("PLAY1", path), EFOpenError);
}

}  // namespace
