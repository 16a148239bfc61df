#pragma once

// Holds a worker thread at a chosen point until the test lets it go, so that a test can act
// while the worker is known to be in the middle of its work. Open() before the worker's
// owner is destroyed (a fixture's TearDown), or the owner waits for the worker forever.

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace testsupport {

class WorkerGate {
public:
    // Called on the worker: blocks until Open().
    void Hold()
    {
        std::unique_lock lock(mutex_);
        ++held_;
        changed_.notify_all();
        changed_.wait(lock, [this] { return open_; });
    }
    // Called by the test: true once the worker has reached Hold() (within 30 seconds).
    bool WaitUntilHeld()
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(30), [this] { return held_ > 0; });
    }
    void Open()
    {
        const std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    int TimesHeld()
    {
        const std::lock_guard lock(mutex_);
        return held_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = false;
    int held_ = 0;
};

} // namespace testsupport
