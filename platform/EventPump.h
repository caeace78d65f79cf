// Yielding to the event loop and pausing the user-interface thread. The title-bar display and the
// activity sampler do both in the middle of their work; tests record the calls and advance a clock.
#pragma once

namespace tw::platform {

class EventPump {
public:
    virtual ~EventPump() = default;
    // Runs the handlers of the events that are waiting (timers, input, paint), then returns.
    virtual void processMessages() = 0;
    // Pauses the calling thread for about ms milliseconds.
    virtual void sleep(int ms) = 0;
};

} // namespace tw::platform
