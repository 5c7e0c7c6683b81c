#include "platform/shell/WaveOutput.h"

#ifdef GALLERY_HAVE_ALSA

#include <alsa/asoundlib.h>

#include <algorithm>
#include <mutex>

namespace {

// ALSA reports a missing card on stderr; without a device we are silent.
void QuietAlsaErrors(const char*, int, const char*, int, const char*, ...) {}

struct PcmCloser {
    snd_pcm_t* Pcm;
    ~PcmCloser() { snd_pcm_close(Pcm); }
};

}  // namespace

bool PlayOnSoundDevice(const TWaveData& wave, const std::atomic<bool>& stop)
{
    static std::once_flag quiet;
    std::call_once(quiet, [] { snd_lib_error_set_handler(QuietAlsaErrors); });

    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, 0) < 0)
        return false;
    PcmCloser closer{pcm};
    snd_pcm_format_t format = wave.BitsPerSample == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE;
    constexpr unsigned latencyUs = 100000;
    if (snd_pcm_set_params(pcm, format, SND_PCM_ACCESS_RW_INTERLEAVED, wave.Channels,
                           wave.SampleRate, 1, latencyUs) < 0)
        return false;

    const std::size_t frameBytes = wave.FrameBytes();
    const std::size_t total = wave.FrameCount();
    const std::size_t slice = std::max<std::size_t>(wave.SampleRate / 50, 1);  // 20 ms
    std::size_t done = 0;
    while (done < total && !stop) {
        std::size_t count = std::min(slice, total - done);
        snd_pcm_sframes_t written =
            snd_pcm_writei(pcm, wave.Samples.data() + done * frameBytes, count);
        if (written < 0) {
            if (snd_pcm_recover(pcm, static_cast<int>(written), 1) < 0)
                return false;
            continue;
        }
        done += static_cast<std::size_t>(written);
    }
    if (stop)
        snd_pcm_drop(pcm);
    else
        snd_pcm_drain(pcm);
    return true;
}

#else

bool PlayOnSoundDevice(const TWaveData&, const std::atomic<bool>&) { return false; }

#endif
