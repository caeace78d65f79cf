// Month and day names and separators from the session's LC_TIME locale (nl_langinfo). Names come
// from a UTF-8 locale only; any other falls back to English.
#pragma once

#include "platform/Locale.h"

namespace tw::platform {

class PosixLocale : public TableLocale {
public:
    PosixLocale();
};

} // namespace tw::platform
