#include "tools/make-art/src/Sounds.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

// A fixed noise source, so the same bytes come out every run.
class TNoise {
public:
    double Next()
    {
        FState = FState * 1664525u + 1013904223u;
        return (double(FState >> 8) / double(1u << 24)) * 2 - 1;
    }

private:
    std::uint32_t FState = 0x2545F491u;
};

struct TPartial {
    double Frequency;
    double Level;
    double Decay;  // seconds to fall to 1/e
};

std::vector<std::int16_t> Render(double seconds, std::span<const TPartial> partials, double noiseLevel,
                                 double noiseDecay, double attack)
{
    const std::size_t count = std::size_t(seconds * SoundRate);
    std::vector<std::int16_t> samples(count);
    TNoise noise;
    double low = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const double t = double(i) / SoundRate;
        double v = 0;
        for (const TPartial& partial : partials)
            v += partial.Level * std::exp(-t / partial.Decay) * std::sin(2 * std::numbers::pi * partial.Frequency * t);
        // Noise through a one-pole low pass, softer than raw white noise.
        low += 0.35 * (noise.Next() - low);
        v += noiseLevel * std::exp(-t / noiseDecay) * low;
        const double rise = std::min(1.0, t / attack);
        // The last 5 ms fade to silence, so the sound ends without a crack.
        const double fall = std::min(1.0, (seconds - t) / 0.005);
        v *= rise * fall;
        samples[i] = std::int16_t(std::lround(std::clamp(v, -1.0, 1.0) * 32767));
    }
    return samples;
}

void Put16(std::string& out, unsigned v)
{
    out.push_back(char(v & 0xFF));
    out.push_back(char((v >> 8) & 0xFF));
}

void Put32(std::string& out, std::uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

}  // namespace

std::string WaveFile(std::span<const std::int16_t> samples)
{
    const std::uint32_t dataBytes = std::uint32_t(samples.size() * 2);
    std::string out = "RIFF";
    Put32(out, 36 + dataBytes);
    out += "WAVEfmt ";
    Put32(out, 16);
    Put16(out, 1);                  // PCM
    Put16(out, 1);                  // mono
    Put32(out, SoundRate);
    Put32(out, SoundRate * 2);      // bytes per second
    Put16(out, 2);                  // bytes per frame
    Put16(out, 16);
    out += "data";
    Put32(out, dataBytes);
    for (std::int16_t s : samples) Put16(out, std::uint16_t(s));
    return out;
}

std::string MakeHoverTick()
{
    const TPartial partials[] = {{2600, 0.22, 0.006}, {3900, 0.08, 0.004}};
    return WaveFile(Render(0.050, partials, 0.05, 0.002, 0.0008));
}

std::string MakeButtonClick()
{
    const TPartial partials[] = {{1250, 0.35, 0.018}, {620, 0.28, 0.035}, {2500, 0.10, 0.008}};
    return WaveFile(Render(0.120, partials, 0.30, 0.004, 0.0005));
}
