#pragma once

// A fixed set of worker threads that run jobs in the order they were given.
// Each job gets the number of the worker that runs it (0 .. Size() - 1), so a
// caller can keep scratch memory per worker; its result, or the exception it
// threw, arrives through the future Submit returns.
//
// Jobs must touch only what they own or what nobody changes while they run:
// value objects (bytes, bitmaps, pictures), never a control, a form or the
// message loop, which belong to the main thread.
//
// The destructor drops the jobs that have not started (their futures report
// a broken promise) and waits for those that run, so nothing a job captured
// is used after the pool is gone.

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <type_traits>
#include <vector>

class TWorkerPool {
public:
    // At least one worker; fewer than asked when the system refuses more
    // threads, EOutOfResources when it refuses every one.
    explicit TWorkerPool(int workers);
    ~TWorkerPool();
    TWorkerPool(const TWorkerPool&) = delete;
    TWorkerPool& operator=(const TWorkerPool&) = delete;

    int Size() const { return static_cast<int>(FThreads.size()); }

    // The machine's cores (at least 1).
    static int MachineWorkers();

    template <class F>
    auto Submit(F job) -> std::future<std::invoke_result_t<F&, int>>
    {
        using R = std::invoke_result_t<F&, int>;
        auto task = std::make_shared<std::packaged_task<R(int)>>(std::move(job));
        std::future<R> result = task->get_future();
        Queue([task](int worker) { (*task)(worker); });
        return result;
    }

private:
    void Queue(std::function<void(int)> job);
    void Work(int worker);

    std::mutex FLock;
    std::condition_variable FWake;
    std::deque<std::function<void(int)>> FJobs;
    bool FStopping = false;
    std::vector<std::thread> FThreads;
};
