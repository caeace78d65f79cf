// The system's ANSI code page (CP_ACP): the code page of the reminder files' notes and of the
// titles read with GetWindowTextA. What the code page cannot hold becomes "?", never a look-alike.
#pragma once

#include "platform/CodePage.h"

namespace tw::platform {

class WinCodePage : public CodePage {
public:
    std::string toUtf8(std::string_view ansi) const override;
    std::string fromUtf8(std::string_view utf8) const override;
};

} // namespace tw::platform
