#include "platform/core/WorkerPool.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "platform/core/Files.h"
#include "tests/support/TempFolder.h"

namespace {

TEST(WorkerPool, ResultsComeInTheOrderOfTheJobsFromEveryWorker)
{
    TWorkerPool pool(4);
    EXPECT_EQ(pool.Size(), 4);
    std::vector<std::future<std::pair<int, int>>> results;
    for (int i = 0; i < 64; ++i)
        results.push_back(pool.Submit([i](int worker) {
            // Early jobs take longest, so later ones finish first.
            std::this_thread::sleep_for(std::chrono::microseconds((64 - i) * 20));
            return std::pair{i, worker};
        }));
    for (int i = 0; i < 64; ++i) {
        const auto [job, worker] = results[static_cast<std::size_t>(i)].get();
        EXPECT_EQ(job, i);
        EXPECT_GE(worker, 0);
        EXPECT_LT(worker, 4);
    }
    EXPECT_EQ(TWorkerPool(0).Size(), 1);
    EXPECT_GE(TWorkerPool::MachineWorkers(), 1);
}

TEST(WorkerPool, AJobsExceptionArrivesWithItsResult)
{
    TWorkerPool pool(2);
    auto failing = pool.Submit([](int) -> int { throw std::runtime_error("broken picture"); });
    auto fine = pool.Submit([](int) { return 7; });
    EXPECT_THROW(failing.get(), std::runtime_error);
    EXPECT_EQ(fine.get(), 7);
}

TEST(WorkerPool, TheEndDropsJobsNotBegunAndWaitsForRunningOnes)
{
    std::atomic<bool> release{false};
    std::atomic<int> ran{0};
    std::future<void> later;
    std::thread releaser;
    {
        TWorkerPool pool(1);
        std::atomic<bool> started{false};
        pool.Submit([&](int) {
            started = true;
            while (!release)
                std::this_thread::yield();
            ++ran;
        });
        later = pool.Submit([&](int) { ++ran; });
        while (!started)
            std::this_thread::yield();
        // Released only while the pool is already ending.
        releaser = std::thread([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            release = true;
        });
    }
    releaser.join();
    EXPECT_EQ(ran, 1);
    EXPECT_THROW(later.get(), std::future_error);
}

// The file of a multi-threaded program that has just ended can be written
// at once, as on Windows.
TEST(WorkerPool, AProgramFileIsWritableRightAfterAThreadedRunEnds)
{
    testsupport::TempFolder folder;
    const std::string program = folder.Path() + "copy";
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const std::string bytes = ReadFileBytes(self);
    for (int round = 0; round < 5; ++round) {
        WriteFileBytes(program, bytes);
        MakeExecutable(program);
        const std::string command =
            "'" + program + "' --gtest_filter=WorkerPool.ResultsComeInTheOrderOfTheJobsFromEveryWorker >/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }
    WriteFileBytes(program, "done");
    EXPECT_EQ(ReadFileBytes(program), "done");
}

}  // namespace
