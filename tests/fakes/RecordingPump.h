// An event pump that records its calls, advances a fake clock on sleep() and can run a callback on
// each processMessages() (to play the events that would arrive meanwhile).
#pragma once

#include <functional>
#include <vector>

#include "platform/EventPump.h"
#include "tests/fakes/FakeClock.h"

namespace tw::fake {

class RecordingPump : public platform::EventPump {
public:
    explicit RecordingPump(FakeClock* clock = nullptr) : m_clock(clock) {}

    int processed = 0;
    std::vector<int> sleeps;
    long long sleptMs = 0;
    std::function<void()> onProcess;

    void processMessages() override {
        ++processed;
        if (onProcess)
            onProcess();
    }
    void sleep(int ms) override {
        sleeps.push_back(ms);
        sleptMs += ms;
        if (m_clock)
            m_clock->advanceMs(ms);
    }

private:
    FakeClock* m_clock;
};

} // namespace tw::fake
