#include "platform/win32/WinCodePage.h"

#include <windows.h>

#include "platform/win32/WinText.h"

namespace tw::platform::win32 {

std::string WinCodePage::toUtf8(std::string_view ansi) const {
    if (ansi.empty())
        return {};
    const int size = static_cast<int>(ansi.size());
    const int n = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, wide.data(), n);
    return NarrowUtf8(wide);
}

std::string WinCodePage::fromUtf8(std::string_view utf8) const {
    // Invalid UTF-8 turns into U+FFFD here, which no ANSI code page holds: it becomes "?" below.
    const std::wstring wide = WidenUtf8(utf8);
    if (wide.empty())
        return {};
    const int size = static_cast<int>(wide.size());
    // WC_NO_BEST_FIT_CHARS: "ā" must become "?", not "a", so that a note never changes silently.
    const int n = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr, 0, "?", nullptr);
    if (n <= 0)
        return std::string(wide.size(), '?');
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, out.data(), n, "?", nullptr);
    return out;
}

} // namespace tw::platform::win32
