// The system's default sound on Windows.
#pragma once

#include "platform/Beeper.h"

namespace tw::platform::win32 {

class WinBeeper : public Beeper {
public:
    void beep() override;
};

} // namespace tw::platform::win32
