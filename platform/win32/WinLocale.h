// Month and day names and the date and time separators of the user's locale (GetLocaleInfoEx),
// read once at start; English where the system gives nothing.
#pragma once

#include "platform/Locale.h"

namespace tw::platform {

class WinLocale : public TableLocale {
public:
    WinLocale();
};

} // namespace tw::platform
