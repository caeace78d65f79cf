// The program's shared services, handed by reference to every window and engine part. The store is
// the one place of the shared state; the rest are the platform's back ends (or test doubles).
#pragma once

#include "platform/Beeper.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/EventPump.h"
#include "platform/ForeignWindows.h"
#include "platform/Help.h"
#include "platform/Locale.h"
#include "platform/MessageBox.h"
#include "store/Store.h"

namespace tw {

struct Services {
    Store& store;
    const platform::Clock& clock;
    const platform::Locale& locale;
    const platform::CodePage& codePage;
    platform::MessageBoxes& boxes;
    platform::Beeper& beeper;
    platform::EventPump& pump;
    platform::Help& help;
    // NoForeignWindows where the desktop gives no access to other programs' windows (Wayland without X11).
    platform::ForeignWindows& windows;
};

} // namespace tw
