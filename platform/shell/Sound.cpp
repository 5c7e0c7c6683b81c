#include "platform/shell/Sound.h"

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"
#include "platform/shell/TWaveData.h"
#include "platform/shell/WaveOutput.h"

namespace {

constexpr DWORD ResourceBit = 0x00040000;  // SND_RESOURCE without its SND_MEMORY bit
constexpr std::int64_t LargestWaveFile = 256ll << 20;

using Bytes = std::shared_ptr<const std::vector<std::uint8_t>>;

std::string UpperCase(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return text;
}

struct ResourceTable {
    std::mutex Mutex;
    std::map<std::string, Bytes> Waves;
};

ResourceTable& Resources()
{
    static ResourceTable* table = new ResourceTable();
    return *table;
}

Bytes FindResource(const std::string& name)
{
    std::lock_guard lock(Resources().Mutex);
    auto found = Resources().Waves.find(UpperCase(name));
    return found == Resources().Waves.end() ? nullptr : found->second;
}

Bytes ReadWaveFile(const std::string& fileName)
{
    std::int64_t size = FileSize(fileName);
    if (size < 0 || size > LargestWaveFile)
        return nullptr;
    std::ifstream in(ToSystemPath(fileName), std::ios::binary);
    if (!in)
        return nullptr;
    auto bytes = std::make_shared<std::vector<std::uint8_t>>(std::istreambuf_iterator<char>(in),
                                                             std::istreambuf_iterator<char>());
    return bytes;
}

// The one sound of the process. Its worker starts with the first asynchronous
// sound and lives as long as the process, waiting for the next one.
class SoundPlayer {
public:
    static SoundPlayer& Instance()
    {
        static SoundPlayer* player = new SoundPlayer();
        return *player;
    }

    void PlayAsync(std::shared_ptr<const TWaveData> wave, bool loop)
    {
        std::lock_guard lock(FMutex);
        FNext = std::move(wave);
        FLoop = loop;
        FStop = true;  // cuts the playing one
        if (!FWorker.joinable())
            FWorker = std::thread([this] { Work(); });
        FSignal.notify_all();
    }

    void Stop()
    {
        std::lock_guard lock(FMutex);
        FNext.reset();
        FStop = true;
        FSignal.notify_all();
    }

    bool Playing() const { return FPlaying; }

private:
    SoundPlayer() = default;

    void Work()
    {
        std::unique_lock lock(FMutex);
        for (;;) {
            FSignal.wait(lock, [this] { return FNext != nullptr; });
            std::shared_ptr<const TWaveData> wave = std::move(FNext);
            FNext.reset();
            bool loop = FLoop;
            FStop = false;
            lock.unlock();
            bool audible = true;
            do {
                FPlaying = true;
                audible = PlayOnSoundDevice(*wave, FStop);
                FPlaying = false;
            } while (loop && audible && !FStop);
            lock.lock();
        }
    }

    std::mutex FMutex;
    std::condition_variable FSignal;
    std::thread FWorker;
    std::shared_ptr<const TWaveData> FNext;
    bool FLoop = false;
    std::atomic<bool> FStop{false};
    std::atomic<bool> FPlaying{false};
};

}  // namespace

void RegisterWaveResource(const std::string& name, std::vector<std::uint8_t> bytes)
{
    auto shared = std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
    std::lock_guard lock(Resources().Mutex);
    Resources().Waves[UpperCase(name)] = std::move(shared);
}

void RegisterWaveResourceFile(const std::string& name, const std::string& fileName)
{
    Bytes bytes = ReadWaveFile(fileName);
    if (!bytes)
        throw EFOpenError(fileName, errno);
    RegisterWaveResource(name, *bytes);
}

void UnregisterWaveResource(const std::string& name)
{
    std::lock_guard lock(Resources().Mutex);
    Resources().Waves.erase(UpperCase(name));
}

bool PlaySound(const char* name, DWORD flags)
{
    SoundPlayer& player = SoundPlayer::Instance();
    if (!name || (flags & SND_PURGE)) {
        player.Stop();
        return true;
    }
    bool resource = (flags & ResourceBit) != 0;
    bool file = (flags & SND_FILENAME) != 0;
    if ((flags & SND_MEMORY) && !resource)
        return false;
    if ((flags & SND_NOSTOP) && player.Playing())
        return false;

    Bytes bytes;
    if (resource || !file)
        bytes = FindResource(name);
    if (!bytes && (file || !resource))
        bytes = ReadWaveFile(name);
    if (!bytes)
        return false;
    std::shared_ptr<const TWaveData> wave;
    try {
        wave = std::make_shared<const TWaveData>(ReadWave(*bytes));
    } catch (const Exception&) {
        return false;
    }

    if (flags & SND_ASYNC) {
        player.PlayAsync(std::move(wave), (flags & SND_LOOP) != 0);
        return true;
    }
    player.Stop();
    std::atomic<bool> never{false};
    PlayOnSoundDevice(*wave, never);
    return true;
}

bool SoundPlaying() { return SoundPlayer::Instance().Playing(); }
