#pragma once
// The slideshow's tick: a Qt timer in the program, a clock the tests move by hand.

#include <QTimer>

#include <functional>

namespace tellavine::ui {

class SlideshowClock {
public:
    virtual ~SlideshowClock() = default;
    // Calls `tick` every `periodMs` from now on, until stop().
    virtual void start(int periodMs, std::function<void()> tick) = 0;
    virtual void stop() = 0;
};

class TimerSlideshowClock : public SlideshowClock {
public:
    TimerSlideshowClock() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (tick_) tick_();
        });
    }
    void start(int periodMs, std::function<void()> tick) override {
        tick_ = std::move(tick);
        timer_.start(periodMs);
    }
    // Keeps the tick function: stop() may be called from inside it.
    void stop() override { timer_.stop(); }

private:
    QTimer timer_;
    std::function<void()> tick_;
};

}  // namespace tellavine::ui
