#pragma once
// A manual-reset event: once set it stays set, releasing every waiter, until reset.
// The build's cancel signal is one of these.

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace tellavine {

class Event {
public:
    Event() = default;
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void set();
    void reset();
    bool isSet() const;
    void wait() const;
    // True when the event was set before the time ran out.
    bool waitFor(std::chrono::milliseconds timeout) const;

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool signalled_ = false;  // guarded by mutex_
};

}  // namespace tellavine
