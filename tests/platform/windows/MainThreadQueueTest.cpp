// Calls handed to the user-interface thread: where and in which order they run, and what a destroyed
// queue does with those still waiting.
#include <gtest/gtest.h>

#include <QApplication>
#include <QThread>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/windows/MainThreadQueue.h"

namespace {

// Handles messages until the predicate holds; false after a generous time without it.
template <class Pred> bool PumpUntil(Pred Done) {
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!Done()) {
        if (std::chrono::steady_clock::now() > Deadline) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return true;
}

TEST(MainThreadQueue, CallsFromAWorkerRunOnTheUserInterfaceThreadInPostedOrder) {
    TMainThreadQueue Queue;
    std::vector<int> Seen;
    bool AllOnMain = true;
    QThread* Main = QThread::currentThread();
    std::thread Worker([&] {
        for (int i = 0; i < 1000; ++i)
            Queue.Post([&, i] {
                AllOnMain = AllOnMain && QThread::currentThread() == Main;
                Seen.push_back(i);
            });
    });
    Worker.join();
    ASSERT_TRUE(PumpUntil([&] { return Seen.size() == 1000; }));
    EXPECT_TRUE(AllOnMain);
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(Seen[static_cast<size_t>(i)], i);
}

TEST(MainThreadQueue, APostFromTheUserInterfaceThreadWaitsForTheLoop) {
    TMainThreadQueue Queue;
    int Runs = 0;
    Queue.Post([&] { ++Runs; });
    EXPECT_EQ(Runs, 0);
    ASSERT_TRUE(PumpUntil([&] { return Runs == 1; }));
}

TEST(MainThreadQueue, CallsWaitingWhenTheQueueGoesAreDropped) {
    int Runs = 0;
    {
        TMainThreadQueue Queue;
        std::thread Worker([&] { Queue.Post([&] { ++Runs; }); });
        Worker.join();
    }
    // A later call on another queue runs, so the loop has had its chance at the dropped one.
    TMainThreadQueue Later;
    bool LaterRan = false;
    Later.Post([&] { LaterRan = true; });
    ASSERT_TRUE(PumpUntil([&] { return LaterRan; }));
    EXPECT_EQ(Runs, 0);
}

} // namespace
