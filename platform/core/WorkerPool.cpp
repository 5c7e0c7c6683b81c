#include "platform/core/WorkerPool.h"

#include <algorithm>
#include <string>
#include <system_error>

#include "platform/core/Exceptions.h"

TWorkerPool::TWorkerPool(int workers)
{
    const int count = std::max(workers, 1);
    FThreads.reserve(static_cast<std::size_t>(count));
    try {
        for (int worker = 0; worker < count; ++worker)
            FThreads.emplace_back([this, worker] { Work(worker); });
    } catch (const std::system_error& e) {
        // A machine out of threads works with those it gave.
        if (FThreads.empty())
            throw EOutOfResources(std::string("No worker thread could be started: ") + e.what());
    }
}

TWorkerPool::~TWorkerPool()
{
    {
        std::lock_guard guard(FLock);
        FStopping = true;
        FJobs.clear();
    }
    FWake.notify_all();
    for (std::thread& thread : FThreads)
        thread.join();
}

int TWorkerPool::MachineWorkers()
{
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

void TWorkerPool::Queue(std::function<void(int)> job)
{
    {
        std::lock_guard guard(FLock);
        FJobs.push_back(std::move(job));
    }
    FWake.notify_one();
}

void TWorkerPool::Work(int worker)
{
    for (;;) {
        std::function<void(int)> job;
        {
            std::unique_lock guard(FLock);
            FWake.wait(guard, [this] { return FStopping || !FJobs.empty(); });
            if (FStopping)
                return;
            job = std::move(FJobs.front());
            FJobs.pop_front();
        }
        job(worker);
    }
}
