// The system's default sound (MessageBeep(0) on Windows, the X11 bell on Linux).
#pragma once

namespace tw::platform {

class Beeper {
public:
    virtual ~Beeper() = default;
    virtual void beep() = 0;
};

} // namespace tw::platform
