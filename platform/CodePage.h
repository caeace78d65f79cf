// Conversion between the single-byte ANSI code page of the reminder files and window titles, and
// UTF-8 for everything that shows text. Windows-1252 on Linux, the system's ANSI code page on Windows.
#pragma once

#include <string>
#include <string_view>

namespace tw::platform {

class CodePage {
public:
    virtual ~CodePage() = default;
    // Every byte value maps to a character; nothing is lost.
    virtual std::string toUtf8(std::string_view ansi) const = 0;
    // Characters the code page cannot hold become '?'. Invalid UTF-8 bytes become '?' as well.
    virtual std::string fromUtf8(std::string_view utf8) const = 0;
};

} // namespace tw::platform
