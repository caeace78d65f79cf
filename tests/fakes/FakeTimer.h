// A one-shot timer that tests fire by hand; it remembers how it was last started.
#pragma once

#include "platform/Timer.h"

namespace tw::fake {

class FakeTimer : public platform::OneShotTimer {
public:
    int lastMs = 0;
    int starts = 0;
    void start(int ms) override {
        lastMs = ms;
        ++starts;
        m_active = true;
    }
    void stop() override { m_active = false; }
    bool isActive() const override { return m_active; }
    void setListener(platform::TimerListener* listener) override { m_listener = listener; }

    // The time is up: fires only when running, as a real timer does.
    bool fire() {
        if (!m_active)
            return false;
        m_active = false;
        if (m_listener)
            m_listener->timedOut();
        return true;
    }

private:
    bool m_active = false;
    platform::TimerListener* m_listener = nullptr;
};

} // namespace tw::fake
