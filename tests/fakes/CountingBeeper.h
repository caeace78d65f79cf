// A beeper that counts.
#pragma once

#include "platform/Beeper.h"

namespace tw::fake {

class CountingBeeper : public platform::Beeper {
public:
    int beeps = 0;
    void beep() override { ++beeps; }
};

} // namespace tw::fake
