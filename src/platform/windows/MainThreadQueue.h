#pragma once
// TMainThreadQueue: hands calls from any thread to the user-interface thread, which runs them from
// its message loop.

#include <functional>
#include <memory>

// Contract:
// - It is made and destroyed on the user-interface thread, while the application object exists.
// - Post may be called from any thread. Each call runs once on the user-interface thread, from the
//   message loop (ProcessMessages and HandleMessage included), in the order it was posted; never
//   inside Post itself, even when Post is called on the user-interface thread. An exception that
//   leaves a call is shown by the application, as one from an event handler, and the loop goes on.
// - Calls still waiting when the queue is destroyed are dropped. The owner makes sure no thread
//   posts during or after destruction (join the posting threads first).
class TMainThreadQueue {
public:
    TMainThreadQueue();
    ~TMainThreadQueue();
    TMainThreadQueue(const TMainThreadQueue&) = delete;
    TMainThreadQueue& operator=(const TMainThreadQueue&) = delete;

    void Post(std::function<void()> Call);

private:
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
};
