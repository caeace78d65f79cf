// Windows-1252, the ANSI code page of the reminder files on Linux. Every byte value maps to a
// character (the five bytes Windows-1252 leaves undefined map to U+0081, U+008D, U+008F, U+0090 and
// U+009D), so reading and writing back keeps every byte.
#pragma once

#include "platform/CodePage.h"

namespace tw::platform {

class Cp1252 : public CodePage {
public:
    std::string toUtf8(std::string_view ansi) const override;
    std::string fromUtf8(std::string_view utf8) const override;
};

} // namespace tw::platform
