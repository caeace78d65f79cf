// UTF-8 <-> UTF-16 for the Win32 back ends: the program's texts are UTF-8, the W functions of the
// system take UTF-16. Invalid UTF-8 becomes U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace tw::platform {

std::wstring WidenUtf8(std::string_view utf8);
std::string NarrowUtf8(std::wstring_view utf16);

} // namespace tw::platform
