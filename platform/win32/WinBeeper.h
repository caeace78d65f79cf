// The system's default sound on Windows.
#pragma once

#include "platform/Beeper.h"

namespace tw::platform {

class WinBeeper : public Beeper {
public:
    void beep() override;
};

} // namespace tw::platform
