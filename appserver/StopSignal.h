// The server's request that a session end, seen by the statement the session
// runs: SQLite's progress handler polls it; a PostgreSQL statement, which
// waits inside the client library, leaves a canceller that the request runs.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>

namespace kelm24 {

class TStopSignal {
public:
    bool Requested() const { return requested_; }

    // Runs the canceller, if one is set, on the requesting thread; once.
    void Request()
    {
        if (requested_.exchange(true)) return;
        std::lock_guard<std::mutex> guard(lock_);
        if (cancel_) cancel_();
    }

    // While set, a request runs it; set after a request, it runs at once.
    // Cleared (empty function) before what it cancels is gone.
    void SetCanceller(std::function<void()> cancel)
    {
        std::lock_guard<std::mutex> guard(lock_);
        cancel_ = std::move(cancel);
        if (requested_ && cancel_) cancel_();
    }

private:
    std::atomic<bool> requested_{false};
    std::mutex lock_;
    std::function<void()> cancel_;
};

}  // namespace kelm24
